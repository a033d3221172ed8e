// Files in the program's own directory, named by short relative ASCII names
// ('/' accepted as the separator), over the device's file calls.
#pragma once
#include "host/handles.h"

#include <cstddef>
#include <cstdint>

struct File {
    host::FileHandle handle; // 0 closed, kInvalidFileHandle after a failed open
    int32_t size;            // set by FileOpen; -1 for a file of 2 GiB or more
};

constexpr int kPathCharacters = 128; // 127 characters and the terminator

extern char16_t programDirectory[kPathCharacters];

// The program's directory: the module path up to and with its last backslash.
// A directory that does not fit 127 characters is refused: programDirectory is
// left empty, "FilePathTooLong[%s]" is printed and every open fails until a
// directory that fits is set.
void FileInitDirectory();
void FileSetDirectory(const char16_t* text);

// Forms directory + name into out ('/' in the name becomes a backslash).
// FilePathForm writes at most capacity - 1 characters and a terminator and
// returns the length of the whole path, so a result of capacity or more means
// the path was cut. FileMakePath forms into a buffer of kPathCharacters.
size_t FilePathForm(char16_t* out, size_t capacity, const char* name, const char16_t* directory);
char16_t* FileMakePath(char16_t* out, const char* name, const char16_t* directory);

// Names whose full path does not fit 127 characters fail like missing files
// (FileOpen still prints its line), after "FilePathTooLong[%s]".
int FileOpen(File* file, const char* name);
int FileCreate(File* file, const char* name);
void FileClose(File* file);
int32_t FileRead(File* file, void* buffer, int32_t count);
int32_t FileWrite(File* file, const void* buffer, int32_t count);
int32_t FileReadAt(const char* name, int32_t offset, void* buffer, int32_t count);
int32_t FileWriteAll(const char* name, const void* buffer, int32_t count);
int FileGetSize(const char* name, int32_t* size);
// A tracked block of size + 16 bytes holding the file's bytes; the bytes after
// the data are zero. *size receives the count of bytes actually read.
void* FileLoad(const char* name, int32_t* size);
int FileLoadTo(void** place, const char* name);
// out must hold the whole path.
void PathCutDirectory(char16_t* out, const char16_t* path);
const char16_t* PathFileName(const char16_t* path);
