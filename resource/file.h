// Files in the program's own directory, named by short relative ASCII names
// ('/' accepted as the separator), over the device's file calls.
#pragma once
#include "host/handles.h"

#include <cstdint>

struct File {
    host::FileHandle handle; // 0 closed, kInvalidFileHandle after a failed open
    int32_t size;
};

constexpr int kPathCharacters = 128; // 127 characters and the terminator

extern char16_t programDirectory[kPathCharacters];

void FileInitDirectory();
void FileSetDirectory(const char16_t* text);
char16_t* FileMakePath(char16_t* out, const char* name, const char16_t* directory);
int FileOpen(File* file, const char* name);
int FileCreate(File* file, const char* name);
void FileClose(File* file);
int32_t FileRead(File* file, void* buffer, int32_t count);
int32_t FileWrite(File* file, const void* buffer, int32_t count);
int32_t FileReadAt(const char* name, int32_t offset, void* buffer, int32_t count);
int32_t FileWriteAll(const char* name, const void* buffer, int32_t count);
int FileGetSize(const char* name, int32_t* size);
void* FileLoad(const char* name, int32_t* size);
int FileLoadTo(void** place, const char* name);
void PathCutDirectory(char16_t* out, const char16_t* path);
const char16_t* PathFileName(const char16_t* path);
