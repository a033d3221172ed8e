#include "host/module.h"

#include "host/text.h"

#include <climits>
#include <mutex>
#include <unistd.h>

namespace host {
namespace {

std::mutex moduleMutex;
std::string rootOverride;
std::u16string moduleOverride;

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return std::string();
    return std::string(buffer, static_cast<size_t>(n));
}

std::string DefaultRoot() {
    const std::string exe = ExecutablePath();
    const size_t slash = exe.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : exe.substr(0, slash);
}

std::u16string DefaultModuleName() {
    const std::string exe = ExecutablePath();
    const size_t slash = exe.rfind('/');
    const std::string base = slash == std::string::npos ? exe : exe.substr(slash + 1);
    return u"\\" + FromUtf8(base.empty() ? std::string("program") : base);
}

// Characters the device refuses in a file or folder name.
bool IsAllowedInName(char16_t c) {
    if (c < 0x20) return false;
    switch (c) {
    case u'<':
    case u'>':
    case u':':
    case u'"':
    case u'|':
    case u'?':
    case u'*':
        return false;
    default:
        return true;
    }
}

} // namespace

uint32_t GetModuleFileName(char16_t* out, uint32_t limit) {
    if (out == nullptr || limit == 0) return 0;
    std::u16string name;
    {
        std::lock_guard<std::mutex> lock(moduleMutex);
        name = moduleOverride;
    }
    if (name.empty()) name = DefaultModuleName();
    if (name.size() >= limit) {
        name.copy(out, limit - 1);
        out[limit - 1] = 0;
        return limit;
    }
    name.copy(out, name.size());
    out[name.size()] = 0;
    return static_cast<uint32_t>(name.size());
}

void SetDeviceRoot(const std::string& folder) {
    std::lock_guard<std::mutex> lock(moduleMutex);
    rootOverride = folder;
}

void SetModuleFileName(const char16_t* devicePath) {
    std::lock_guard<std::mutex> lock(moduleMutex);
    moduleOverride = devicePath == nullptr ? std::u16string() : std::u16string(devicePath);
}

std::string DeviceRoot() {
    {
        std::lock_guard<std::mutex> lock(moduleMutex);
        if (!rootOverride.empty()) return rootOverride;
    }
    return DefaultRoot();
}

bool MapDevicePath(const char16_t* devicePath, std::string* hostPath) {
    if (devicePath == nullptr || hostPath == nullptr) return false;
    std::string mapped = DeviceRoot();
    bool namesSomething = false;
    const char16_t* p = devicePath;
    while (*p != 0) {
        while (*p == u'\\' || *p == u'/')
            ++p;
        if (*p == 0) break;
        std::u16string component;
        for (; *p != 0 && *p != u'\\' && *p != u'/'; ++p) {
            if (!IsAllowedInName(*p)) return false;
            component += *p;
        }
        if (component == u".") continue;
        // No component may climb: the root is the device's whole world.
        if (component == u"..") return false;
        if (mapped.empty() || mapped.back() != '/') mapped += '/';
        mapped += ToUtf8(component);
        namesSomething = true;
    }
    if (!namesSomething) return false;
    *hostPath = mapped;
    return true;
}

} // namespace host
