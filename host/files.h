// The device's file calls. Paths are device paths (see host/module.h), mapped
// into the root folder; a path that would leave the root is refused like a
// missing file (badPath): through "..", or through a link in any of its
// names. Links that stay inside the root are followed; a dangling link or a
// loop finds nothing, and nothing is created through a link. Only regular
// files are opened, and an open never waits (on a FIFO, say). Handles are
// small numbers; kInvalidFileHandle marks a failed open and is never a valid
// handle.
#pragma once
#include "host/handles.h"

#include <cstdint>

namespace host {

// Access.
constexpr uint32_t kFileAccessRead = 0x80000000u;
constexpr uint32_t kFileAccessWrite = 0x40000000u;

// Share mode: what other opens of the same file may do while this one is open.
constexpr uint32_t kFileShareRead = 1;
constexpr uint32_t kFileShareWrite = 2;

// Dispositions.
constexpr uint32_t kFileCreateNew = 1;        // fails if the file exists
constexpr uint32_t kFileCreateAlways = 2;     // creates or empties
constexpr uint32_t kFileOpenExisting = 3;     // fails if the file is missing
constexpr uint32_t kFileOpenAlways = 4;       // opens or creates
constexpr uint32_t kFileTruncateExisting = 5; // empties; fails if missing; needs write access

constexpr uint32_t kFileAttributeNormal = 0x80;

// Seek methods.
constexpr uint32_t kFileBegin = 0;
constexpr uint32_t kFileCurrent = 1;
constexpr uint32_t kFileEnd = 2;

constexpr uint32_t kInvalidFileSize = 0xFFFFFFFFu;
constexpr uint32_t kInvalidFilePosition = 0xFFFFFFFFu;

// Why the last call on this thread failed.
enum class FileError {
    none,
    notFound,         // missing file or folder
    exists,           // create-new over an existing file
    badPath,          // leaves the root (by ".." or a link), loops, or a name the device refuses
    sharingViolation, // the file is open elsewhere without the sharing needed
    accessDenied,     // a folder, or no permission on this machine
    invalidHandle,
    invalidArgument,
    ioError,
};
FileError LastFileError();

// Opens or creates a file. security and templateFile are accepted and ignored
// (the device's file system keeps neither); attributes are accepted too.
FileHandle OpenFile(const char16_t* path, uint32_t access, uint32_t shareMode, void* security,
                    uint32_t disposition, uint32_t attributes, FileHandle templateFile);

// The size's low 32 bits; the high 32 bits go to *high when it is given.
uint32_t FileSize(FileHandle handle, uint32_t* high);

// Transfers up to count bytes at the file position and moves it on. The count
// actually moved is stored in *done (0 on failure). Reads at or past the end
// succeed with 0 bytes.
bool ReadFile(FileHandle handle, void* buffer, uint32_t count, uint32_t* done, void* overlapped);
bool WriteFile(FileHandle handle, const void* buffer, uint32_t count, uint32_t* done,
               void* overlapped);

// Moves the file position by distance (with *high as the upper 32 bits when it
// is given) from the start, the current position or the end. Returns the new
// position's low 32 bits (its high bits go to *high), or
// kInvalidFilePosition when the position would fall before the start.
uint32_t SeekFile(FileHandle handle, int32_t distance, int32_t* high, uint32_t method);

// Closes an open handle. Refuses (false) the invalid handle, 0, and handles
// that are not open.
bool CloseFile(FileHandle handle);

// Open handles, for tests that check nothing is left open.
int OpenFileCount();

} // namespace host
