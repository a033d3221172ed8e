// What every fuzz target shares: a temporary folder as the device's root, the
// tracked allocator started as the program starts it, and the debug output
// kept off the terminal.
#pragma once
#include <cstddef>
#include <cstdint>

// Called once, from LLVMFuzzerInitialize.
void FuzzFilesStart();
// The root folder on this machine.
const char* FuzzFolder();
// Writes the bytes to a file of that name in the root, replacing it.
void FuzzFileWrite(const char* name, const uint8_t* data, size_t size);
// Ends the run with a crash (a finding) when an input left a tracked block or
// a file handle behind.
void FuzzCheckNothingLeft();
// Ends the run with a crash when a property of the code under test fails.
void FuzzCheck(bool condition, const char* what);
