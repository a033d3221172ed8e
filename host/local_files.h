// Files on this machine, for the device shell and the tools (the device's own
// files go through host/files.h): plain files read without ever waiting, and
// whole files written so that nothing is lost.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace host {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePointer = std::unique_ptr<std::FILE, FileCloser>;

// Opens a regular file for reading and gives its size. A FIFO, device,
// socket or folder is refused before a byte is read, and the open never waits
// for a writer: null, with one line naming the path in *error.
std::FILE* OpenPlainFile(const std::string& path, uint64_t* size, std::string* error);

// Writes a whole file: fill(file, error) writes it into a temporary file in
// the target's folder, which is flushed to the disk and renamed over the
// target only when everything was written. On any failure the temporary is
// removed and the target is as it was. A target that exists and is not a
// regular file (FIFO, device, socket, folder) is refused untouched; a link is
// followed to the file it names. A new file gets the usual permissions, a
// replaced one keeps its own. A file-size limit fails the write instead of
// ending the program. False with one line naming the path in *error.
using FileFiller = std::function<bool(std::FILE* file, std::string* error)>;
bool WriteWholeFile(const std::string& path, const FileFiller& fill, std::string* error);

// Whether two paths name one existing file (through links too).
bool SameFile(const std::string& a, const std::string& b);

} // namespace host
