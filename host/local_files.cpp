#include "host/local_files.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {
namespace {

std::string Reason(int error) {
    return std::strerror(error);
}

// What a path that is not a regular file names, in the words of the messages.
const char* KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "of an unknown kind";
}

std::string NotRegular(const std::string& path, mode_t mode) {
    return path + ": not a regular file (" + KindOf(mode) + ")";
}

// The permissions of a new file: all the mask of the process leaves.
mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Where a write goes: the file a path names, links followed, and the
// permissions it is to have. False with the message when the target is
// refused.
bool FindTarget(const std::string& path, std::string* target, mode_t* mode, std::string* error) {
    *target = path;
    *mode = NewFileMode();
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return true; // a new file
        *error = path + ": cannot create: " + Reason(errno);
        return false;
    }
    if (S_ISLNK(info.st_mode)) {
        char* real = realpath(path.c_str(), nullptr);
        if (real == nullptr) {
            *error = path + ": a link to nothing that can be written (" + Reason(errno) + ")";
            return false;
        }
        *target = real;
        std::free(real);
        if (stat(target->c_str(), &info) != 0) {
            *error = path + ": cannot create: " + Reason(errno);
            return false;
        }
    }
    if (!S_ISREG(info.st_mode)) {
        *error = NotRegular(path, info.st_mode);
        return false;
    }
    *mode = info.st_mode & 07777;
    return true;
}

// The rename reaches the disk with its folder.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

} // namespace

std::FILE* OpenPlainFile(const std::string& path, uint64_t* size, std::string* error) {
    struct stat info {};
    // A named node is judged before it is opened: opening a device can act.
    if (stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        *error = NotRegular(path, info.st_mode);
        return nullptr;
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = path + ": cannot open: " + Reason(errno);
        return nullptr;
    }
    // What counts is the file that was opened, whatever the path names now.
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        *error = NotRegular(path, info.st_mode);
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        *error = path + ": cannot open: " + Reason(errno);
        close(fd);
        return nullptr;
    }
    *size = static_cast<uint64_t>(info.st_size);
    return file;
}

bool WriteWholeFile(const std::string& path, const FileFiller& fill, std::string* error) {
    // Past a file-size limit a write then fails with an error, which the
    // program can clean up after, instead of ending the program.
    static const bool limitFailsWrites = std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
    (void)limitFailsWrites;

    std::string target;
    mode_t mode = 0;
    if (!FindTarget(path, &target, &mode, error)) return false;
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : target.substr(0, slash);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temporary = folder + "/." + name + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        *error = path + ": cannot create: " + Reason(errno);
        return false;
    }
    std::FILE* file = fdopen(fd, "wb");
    if (file == nullptr) {
        *error = path + ": cannot create: " + Reason(errno);
        close(fd);
        unlink(temporary.c_str());
        return false;
    }
    std::string why;
    errno = 0;
    bool written = fchmod(fd, mode) == 0 && fill(file, &why) && std::fflush(file) == 0 &&
                   std::ferror(file) == 0 && fsync(fd) == 0;
    int failure = written ? 0 : errno;
    if (std::fclose(file) != 0 && written) {
        written = false;
        failure = errno;
    }
    if (written && rename(temporary.c_str(), target.c_str()) != 0) {
        written = false;
        failure = errno;
    }
    if (!written) {
        unlink(temporary.c_str());
        *error = !why.empty() ? why
                              : path + ": cannot write: " +
                                    (failure != 0 ? Reason(failure) : std::string("write failed"));
        return false;
    }
    SyncFolder(folder);
    return true;
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace host
