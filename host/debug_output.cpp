#include "host/debug_output.h"

#include "host/text.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace host {
namespace {

std::mutex outputMutex;
DebugListener currentListener = nullptr;
void* listenerContext = nullptr;
bool toStderr = true;
std::FILE* logFile = nullptr;

} // namespace

void DebugOutput(const char16_t* text) {
    if (text == nullptr) return;
    std::lock_guard<std::mutex> lock(outputMutex);
    if (currentListener != nullptr) currentListener(text, listenerContext);
    const std::string utf8 = ToUtf8(text);
    if (toStderr) {
        std::fwrite(utf8.data(), 1, utf8.size(), stderr);
        std::fflush(stderr);
    }
    if (logFile != nullptr) {
        std::fwrite(utf8.data(), 1, utf8.size(), logFile);
        std::fflush(logFile);
    }
}

void SetDebugListener(DebugListener listener, void* context) {
    std::lock_guard<std::mutex> lock(outputMutex);
    currentListener = listener;
    listenerContext = context;
}

void SetDebugToStderr(bool on) {
    std::lock_guard<std::mutex> lock(outputMutex);
    toStderr = on;
}

void SetDebugLogFile(const char* path) {
    std::lock_guard<std::mutex> lock(outputMutex);
    if (logFile != nullptr) std::fclose(logFile);
    logFile = (path != nullptr && *path != '\0') ? std::fopen(path, "ab") : nullptr;
}

} // namespace host
