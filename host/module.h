// The program's own module and the device's file system root.
//
// The device names files with wide paths separated by backslashes, all hung
// from one root "\". On this machine that root is a folder: by default the one
// that holds the running executable, so a program finds the files that lie
// beside it. The module's own name, in the device's form, is "\" followed by
// the executable's file name, so the program's directory is the root itself.
#pragma once
#include <cstdint>
#include <string>

namespace host {

// Copies the module's device path into out, at most limit - 1 characters and a
// terminator. Returns the number of characters copied without the terminator;
// limit when the name had to be cut (out then holds limit - 1 characters and
// the terminator); 0 when limit is 0.
uint32_t GetModuleFileName(char16_t* out, uint32_t limit);

// The device shell and tests choose another root folder or module name. An
// empty folder or a null name returns to the default.
void SetDeviceRoot(const std::string& folder);
void SetModuleFileName(const char16_t* devicePath);
std::string DeviceRoot();

// Maps a device path to a path on this machine, inside the root folder.
// Backslashes and slashes both separate; a path without a leading separator is
// taken from the root as well (the device has no current directory). Returns
// false for a path that could leave the root (a ".." component), names no file
// (empty), or holds characters the device does not allow in names.
bool MapDevicePath(const char16_t* devicePath, std::string* hostPath);

} // namespace host
