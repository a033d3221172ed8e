#include "fuzz/fuzz_files.h"

#include "host/debug_output.h"
#include "host/files.h"
#include "host/module.h"
#include "resource/file.h"
#include "resource/memory.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

std::string root;

void RemoveRoot() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

} // namespace

void FuzzFilesStart() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kq3d-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("kq3d-fuzz: no temporary folder");
        std::abort();
    }
    root = pattern;
    std::atexit(RemoveRoot);
    host::SetDeviceRoot(root);
    FileSetDirectory(u"\\");
    host::SetDebugToStderr(false);
    MemoryInit();
    MemoryLevelSetup(1024, 0);
}

const char* FuzzFolder() {
    return root.c_str();
}

void FuzzFileWrite(const char* name, const uint8_t* data, size_t size) {
    std::string path = root + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file || (size > 0 && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0) {
        std::perror("kq3d-fuzz: cannot write the input file");
        std::abort();
    }
}

void FuzzCheckNothingLeft() {
    FuzzCheck(MemoryLevelCount(0) == 0, "a tracked block was left");
    FuzzCheck(host::OpenFileCount() == 0, "a file was left open");
}

void FuzzCheck(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "kq3d-fuzz: %s\n", what);
        std::abort();
    }
}
