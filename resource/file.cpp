// The file layer: the program's directory, full paths formed from it, and thin
// wrappers over the device's file calls, with whole-file load and write.
#include "resource/file.h"

#include "host/files.h"
#include "host/module.h"
#include "resource/debug.h"
#include "resource/memory.h"

#include <climits>
#include <cstring>

char16_t programDirectory[kPathCharacters];

namespace {

constexpr uint32_t kModulePathCharacters = 256;
// Room for a long path in a refusal message (the debug line is 512 wide).
constexpr size_t kMessagePathCharacters = 512;
// The block FileLoad hands out holds this much after the file's bytes.
constexpr int32_t kLoadSlack = 16;

// Set while programDirectory was refused: no path formed from it is right.
bool directoryRefused = false;

size_t WideLength(const char16_t* text) {
    size_t length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}

// Forms the full path of name into out (kPathCharacters); false when it does
// not fit (or the directory was refused). The caller then fails like a missing
// file rather than open a cut name, which would be another file.
bool FullPath(char16_t* out, const char* name) {
    const size_t length = FilePathForm(out, kPathCharacters, name, programDirectory);
    return !directoryRefused && length < static_cast<size_t>(kPathCharacters);
}

// Prints a line with the whole path of name, as much as a debug line holds.
void PrintWholePath(const char16_t* format, const char* name) {
    char16_t whole[kMessagePathCharacters];
    FilePathForm(whole, kMessagePathCharacters, name, programDirectory);
    DebugPrint(format, whole);
}

} // namespace

void FileInitDirectory() {
    char16_t module[kModulePathCharacters];
    char16_t directory[kModulePathCharacters];
    const uint32_t length = host::GetModuleFileName(module, kModulePathCharacters - 1);
    if (length >= kModulePathCharacters - 1) {
        // The name was cut: any directory taken from it would be wrong.
        programDirectory[0] = 0;
        directoryRefused = true;
        DebugPrint(u"FilePathTooLong[%s]", module);
        return;
    }
    size_t afterBackslash = 0;
    size_t i = 0;
    for (; module[i] != 0; ++i) {
        directory[i] = module[i];
        if (module[i] == u'\\') afterBackslash = i + 1;
    }
    directory[i] = 0;
    if (afterBackslash != 0) directory[afterBackslash] = 0;
    FileSetDirectory(directory);
}

void FileSetDirectory(const char16_t* text) {
    if (text == nullptr) text = u"";
    const size_t length = WideLength(text);
    if (length >= static_cast<size_t>(kPathCharacters)) {
        // Refused rather than cut: a cut directory is some other folder.
        programDirectory[0] = 0;
        directoryRefused = true;
        DebugPrint(u"FilePathTooLong[%s]", text);
        return;
    }
    std::memcpy(programDirectory, text, (length + 1) * sizeof(char16_t));
    directoryRefused = false;
}

size_t FilePathForm(char16_t* out, size_t capacity, const char* name, const char16_t* directory) {
    size_t length = 0;
    const auto put = [&](char16_t c) {
        if (length + 1 < capacity) out[length] = c;
        ++length;
    };
    for (const char16_t* d = directory; d != nullptr && *d != 0; ++d)
        put(*d);
    for (const char* n = name; n != nullptr && *n != 0; ++n) {
        // Bytes widen as signed 8-bit values, as the device's tools did.
        put(*n == '/' ? u'\\' : static_cast<char16_t>(static_cast<signed char>(*n)));
    }
    if (capacity != 0) out[length < capacity ? length : capacity - 1] = 0;
    return length;
}

char16_t* FileMakePath(char16_t* out, const char* name, const char16_t* directory) {
    FilePathForm(out, kPathCharacters, name, directory);
    return out;
}

int FileOpen(File* file, const char* name) {
    char16_t path[kPathCharacters];
    if (!FullPath(path, name)) {
        PrintWholePath(u"al:FileOpen[%s]", name);
        PrintWholePath(u"FilePathTooLong[%s]", name);
        file->handle = host::kInvalidFileHandle;
        return 0;
    }
    DebugPrint(u"al:FileOpen[%s]", path);
    file->handle =
        host::OpenFile(path, host::kFileAccessRead, 0, nullptr, host::kFileOpenExisting, 0, 0);
    if (file->handle == host::kInvalidFileHandle) return 0;
    uint32_t high = 0;
    const uint32_t low = host::FileSize(file->handle, &high);
    // A size that 31 bits cannot hold is not passed on as a wrapped value.
    file->size =
        (high != 0 || low > static_cast<uint32_t>(INT32_MAX)) ? -1 : static_cast<int32_t>(low);
    return 1;
}

int FileCreate(File* file, const char* name) {
    char16_t path[kPathCharacters];
    if (!FullPath(path, name)) {
        PrintWholePath(u"FilePathTooLong[%s]", name);
        file->handle = host::kInvalidFileHandle;
        return 0;
    }
    file->handle = host::OpenFile(path, host::kFileAccessWrite, 0, nullptr, host::kFileCreateNew,
                                  host::kFileAttributeNormal, 0);
    if (file->handle == host::kInvalidFileHandle) {
        file->handle = host::OpenFile(path, host::kFileAccessWrite, 0, nullptr,
                                      host::kFileTruncateExisting, host::kFileAttributeNormal, 0);
    }
    return file->handle != host::kInvalidFileHandle ? 1 : 0;
}

void FileClose(File* file) {
    if (file->handle == 0) return;
    host::CloseFile(file->handle); // refused for the invalid handle
    file->handle = 0;
}

int32_t FileRead(File* file, void* buffer, int32_t count) {
    if (count <= 0) return 0;
    uint32_t done = 0;
    host::ReadFile(file->handle, buffer, static_cast<uint32_t>(count), &done, nullptr);
    return static_cast<int32_t>(done);
}

int32_t FileWrite(File* file, const void* buffer, int32_t count) {
    if (count <= 0) return 0;
    uint32_t done = 0;
    host::WriteFile(file->handle, buffer, static_cast<uint32_t>(count), &done, nullptr);
    return static_cast<int32_t>(done);
}

int32_t FileReadAt(const char* name, int32_t offset, void* buffer, int32_t count) {
    File file{0, 0};
    if (!FileOpen(&file, name)) {
        FileClose(&file);
        return -1;
    }
    int32_t result = 0;
    // A position before the start is refused by the device; reading from
    // wherever the file stands would hand back the wrong bytes.
    if (host::SeekFile(file.handle, offset, nullptr, host::kFileCurrent) !=
        host::kInvalidFilePosition) {
        result = FileRead(&file, buffer, count);
    }
    FileClose(&file);
    FileClose(&file);
    return result;
}

int32_t FileWriteAll(const char* name, const void* buffer, int32_t count) {
    File file{0, 0};
    int32_t result = -1;
    if (FileCreate(&file, name)) {
        result = FileWrite(&file, buffer, count);
        FileClose(&file);
    }
    FileClose(&file);
    return result;
}

int FileGetSize(const char* name, int32_t* size) {
    File file{0, 0};
    if (!FileOpen(&file, name)) {
        FileClose(&file);
        return 0;
    }
    if (size != nullptr) *size = file.size;
    FileClose(&file);
    FileClose(&file);
    return 1;
}

void* FileLoad(const char* name, int32_t* size) {
    File file{0, 0};
    if (!FileOpen(&file, name)) {
        FileClose(&file);
        return nullptr;
    }
    if (size != nullptr) *size = file.size;
    // A size too large for the block (or unknown, -1) is a request no heap can
    // meet: the allocator then reports it as such.
    const int32_t request =
        (file.size < 0 || file.size > INT32_MAX - kLoadSlack) ? -1 : file.size + kLoadSlack;
    auto* block = static_cast<unsigned char*>(MemoryAlloc(request, 0, 4));
    if (block == nullptr) {
        FileClose(&file);
        FileClose(&file);
        return nullptr;
    }
    // A short read hands back only what arrived: the count read becomes the
    // size, and the rest of the block is cleared so it holds no stale bytes.
    const int32_t read = FileRead(&file, block, file.size);
    std::memset(block + read, 0, static_cast<size_t>(request - read));
    if (size != nullptr) *size = read;
    FileClose(&file);
    FileClose(&file);
    return block;
}

int FileLoadTo(void** place, const char* name) {
    *place = FileLoad(name, nullptr);
    return *place != nullptr ? 1 : 0;
}

void PathCutDirectory(char16_t* out, const char16_t* path) {
    size_t cut = 0;
    bool found = false;
    size_t i = 0;
    for (; path[i] != 0; ++i) {
        out[i] = path[i];
        if (path[i] == u':' || path[i] == u'/' || path[i] == u'\\') {
            cut = i;
            found = true;
        }
    }
    out[found ? cut : 0] = 0;
}

const char16_t* PathFileName(const char16_t* path) {
    const char16_t* name = path;
    for (const char16_t* p = path; *p != 0; ++p) {
        if (*p == u':' || *p == u'/' || *p == u'\\') name = p + 1;
    }
    return name;
}
