#include "host/files.h"

#include "host/module.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace host {
namespace {

struct OpenFileRecord {
    int fd;
    uint32_t access;
    uint32_t shareMode;
    dev_t device;
    ino_t inode;
};

std::mutex filesMutex;
std::map<FileHandle, OpenFileRecord> openFiles;
FileHandle nextHandle = 1;
thread_local FileError lastError = FileError::none;

bool Fail(FileError error) {
    lastError = error;
    return false;
}

FileError FromErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileError::notFound;
    case EEXIST:
        return FileError::exists;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return FileError::accessDenied;
    case ENAMETOOLONG:
    case ELOOP:
        return FileError::badPath;
    default:
        return FileError::ioError;
    }
}

bool IsInside(const std::string& path, const std::string& root) {
    if (root == "/") return true;
    return path.compare(0, root.size(), root) == 0 &&
           (path.size() == root.size() || path[root.size()] == '/');
}

// The path on this machine that a mapped device path reaches, with every link
// followed, as long as it stays inside the root: links within the root work,
// and no link (to a file or to a folder, dangling or looping) leads out of it.
// A missing last name is allowed when its folder is inside the root and it is
// not a link itself, so files can be created, but never through a link.
bool ResolveInsideRoot(const std::string& mapped, std::string* resolved) {
    const auto real = [](const std::string& path, std::string* out) {
        char* result = realpath(path.c_str(), nullptr);
        if (result == nullptr) return false;
        *out = result;
        std::free(result);
        return true;
    };
    std::string root;
    if (!real(DeviceRoot(), &root)) return Fail(FromErrno(errno));
    if (real(mapped, resolved)) return IsInside(*resolved, root) || Fail(FileError::badPath);
    if (errno != ENOENT) return Fail(FromErrno(errno));
    struct stat info {};
    if (lstat(mapped.c_str(), &info) == 0) return Fail(FileError::notFound); // a dangling link
    const size_t slash = mapped.rfind('/');
    std::string folder;
    if (slash == std::string::npos || !real(mapped.substr(0, slash), &folder))
        return Fail(FileError::notFound);
    if (!IsInside(folder, root)) return Fail(FileError::badPath);
    *resolved = folder + mapped.substr(slash);
    return true;
}

// Two opens of one file must each allow what the other does.
bool SharingAllows(const OpenFileRecord& open, uint32_t access, uint32_t shareMode) {
    const auto needs = [](uint32_t acc) {
        return ((acc & kFileAccessRead) ? kFileShareRead : 0u) |
               ((acc & kFileAccessWrite) ? kFileShareWrite : 0u);
    };
    return (needs(access) & ~open.shareMode) == 0 && (needs(open.access) & ~shareMode) == 0;
}

// Handles are never 0 (a closed record) nor all bits set (a failed open).
FileHandle NewHandleLocked() {
    for (;;) {
        const FileHandle handle = nextHandle++;
        if (nextHandle == kInvalidFileHandle) nextHandle = 1;
        if (handle != 0 && handle != kInvalidFileHandle && openFiles.count(handle) == 0) {
            return handle;
        }
    }
}

const OpenFileRecord* FindLocked(FileHandle handle) {
    const auto it = openFiles.find(handle);
    return it == openFiles.end() ? nullptr : &it->second;
}

// The descriptor a read or write of `count` bytes at `buffer` goes through:
// that of an open file opened with `access`, or -1 with the error set.
int TransferDescriptor(FileHandle handle, uint32_t access, const void* buffer, uint32_t count) {
    int fd = -1;
    {
        std::lock_guard<std::mutex> lock(filesMutex);
        const OpenFileRecord* open = FindLocked(handle);
        if (open != nullptr && (open->access & access) != 0)
            fd = open->fd;
        else
            lastError = open == nullptr ? FileError::invalidHandle : FileError::accessDenied;
    }
    if (fd >= 0 && buffer == nullptr && count != 0) {
        lastError = FileError::invalidArgument;
        fd = -1;
    }
    return fd;
}

} // namespace

FileError LastFileError() {
    return lastError;
}

FileHandle OpenFile(const char16_t* path, uint32_t access, uint32_t shareMode, void* /*security*/,
                    uint32_t disposition, uint32_t /*attributes*/, FileHandle /*templateFile*/) {
    std::string mapped, hostPath;
    if (!MapDevicePath(path, &mapped)) {
        Fail(FileError::badPath);
        return kInvalidFileHandle;
    }
    if (!ResolveInsideRoot(mapped, &hostPath)) return kInvalidFileHandle;
    const bool reads = (access & kFileAccessRead) != 0;
    const bool writes = (access & kFileAccessWrite) != 0;
    // Never block on a pipe or device node: only plain files are opened. The
    // path is resolved already, so its last name must not turn into a link.
    int flags = O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW |
                (reads && writes ? O_RDWR
                 : writes        ? O_WRONLY
                                 : O_RDONLY);
    switch (disposition) {
    case kFileCreateNew:
        flags |= O_CREAT | O_EXCL;
        break;
    case kFileCreateAlways:
        flags |= O_CREAT;
        break;
    case kFileOpenExisting:
        break;
    case kFileOpenAlways:
        flags |= O_CREAT;
        break;
    case kFileTruncateExisting:
        if (!writes) {
            Fail(FileError::invalidArgument);
            return kInvalidFileHandle;
        }
        break;
    default:
        Fail(FileError::invalidArgument);
        return kInvalidFileHandle;
    }

    std::lock_guard<std::mutex> lock(filesMutex);
    // The file is emptied only once the sharing test has passed, so a refused
    // open never changes the file.
    const int fd = open(hostPath.c_str(), flags, 0644);
    if (fd < 0) {
        Fail(FromErrno(errno));
        return kInvalidFileHandle;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        Fail(FileError::accessDenied);
        return kInvalidFileHandle;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    for (const auto& entry : openFiles) {
        const OpenFileRecord& open = entry.second;
        if (open.device == info.st_dev && open.inode == info.st_ino &&
            !SharingAllows(open, access, shareMode)) {
            close(fd);
            Fail(FileError::sharingViolation);
            return kInvalidFileHandle;
        }
    }
    const bool empties =
        disposition == kFileTruncateExisting || (disposition == kFileCreateAlways && writes);
    if (empties && ftruncate(fd, 0) != 0) {
        const int error = errno;
        close(fd);
        Fail(FromErrno(error));
        return kInvalidFileHandle;
    }
    const FileHandle handle = NewHandleLocked();
    openFiles[handle] = OpenFileRecord{fd, access, shareMode, info.st_dev, info.st_ino};
    lastError = FileError::none;
    return handle;
}

uint32_t FileSize(FileHandle handle, uint32_t* high) {
    std::lock_guard<std::mutex> lock(filesMutex);
    const OpenFileRecord* open = FindLocked(handle);
    struct stat info {};
    if (open == nullptr || fstat(open->fd, &info) != 0) {
        lastError = FileError::invalidHandle;
        if (high != nullptr) *high = 0;
        return kInvalidFileSize;
    }
    const auto size = static_cast<uint64_t>(info.st_size);
    if (high != nullptr) *high = static_cast<uint32_t>(size >> 32);
    lastError = FileError::none;
    return static_cast<uint32_t>(size);
}

bool ReadFile(FileHandle handle, void* buffer, uint32_t count, uint32_t* done,
              void* /*overlapped*/) {
    if (done != nullptr) *done = 0;
    const int fd = TransferDescriptor(handle, kFileAccessRead, buffer, count);
    if (fd < 0) return false;
    auto* bytes = static_cast<unsigned char*>(buffer);
    uint32_t total = 0;
    while (total < count) {
        const ssize_t n = read(fd, bytes + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            if (done != nullptr) *done = total;
            return Fail(FileError::ioError);
        }
        if (n == 0) break; // the end of the file
        total += static_cast<uint32_t>(n);
    }
    if (done != nullptr) *done = total;
    lastError = FileError::none;
    return true;
}

bool WriteFile(FileHandle handle, const void* buffer, uint32_t count, uint32_t* done,
               void* /*overlapped*/) {
    if (done != nullptr) *done = 0;
    const int fd = TransferDescriptor(handle, kFileAccessWrite, buffer, count);
    if (fd < 0) return false;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    uint32_t total = 0;
    while (total < count) {
        const ssize_t n = write(fd, bytes + total, count - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (done != nullptr) *done = total;
            return Fail(n < 0 ? FromErrno(errno) : FileError::ioError);
        }
        total += static_cast<uint32_t>(n);
    }
    if (done != nullptr) *done = total;
    lastError = FileError::none;
    return true;
}

uint32_t SeekFile(FileHandle handle, int32_t distance, int32_t* high, uint32_t method) {
    std::lock_guard<std::mutex> lock(filesMutex);
    const OpenFileRecord* open = FindLocked(handle);
    if (open == nullptr) {
        lastError = FileError::invalidHandle;
        return kInvalidFilePosition;
    }
    // Without a high part the distance is a signed 32-bit value.
    const int64_t move =
        high != nullptr
            ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*high)) << 32) |
                                   static_cast<uint32_t>(distance))
            : static_cast<int64_t>(distance);
    int64_t base = 0;
    if (method == kFileCurrent) {
        base = lseek(open->fd, 0, SEEK_CUR);
    } else if (method == kFileEnd) {
        struct stat info {};
        base = fstat(open->fd, &info) == 0 ? static_cast<int64_t>(info.st_size) : -1;
    } else if (method != kFileBegin) {
        lastError = FileError::invalidArgument;
        return kInvalidFilePosition;
    }
    if (base < 0 || (move < 0 && base + move < 0) || (move > 0 && base > INT64_MAX - move)) {
        lastError = FileError::invalidArgument;
        return kInvalidFilePosition;
    }
    const off_t target = static_cast<off_t>(base + move);
    if (lseek(open->fd, target, SEEK_SET) != target) {
        lastError = FileError::ioError;
        return kInvalidFilePosition;
    }
    const auto position = static_cast<uint64_t>(target);
    if (high != nullptr) *high = static_cast<int32_t>(static_cast<uint32_t>(position >> 32));
    lastError = FileError::none;
    return static_cast<uint32_t>(position);
}

bool CloseFile(FileHandle handle) {
    std::lock_guard<std::mutex> lock(filesMutex);
    const auto it = openFiles.find(handle);
    if (it == openFiles.end()) return Fail(FileError::invalidHandle);
    close(it->second.fd);
    openFiles.erase(it);
    lastError = FileError::none;
    return true;
}

int OpenFileCount() {
    std::lock_guard<std::mutex> lock(filesMutex);
    return static_cast<int>(openFiles.size());
}

} // namespace host
