// The setting of the resource and clock tests: the lines sent to the device's
// debug output, kept off standard error since most are provoked on purpose;
// and a fresh temporary folder as the device's root, with the allocator
// started.
#pragma once
#include "../debug_lines.h"
#include "../temp_folder.h"
#include "../zit_bytes.h"
#include "host/messages.h"
#include "host/module.h"
#include "host/window.h"
#include "resource/file.h"
#include "resource/memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// Whether the program posted the quit message; the queue is emptied.
inline bool QuitPosted() {
    host::Message message{};
    bool quit = false;
    while (host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove))
        quit |= message.message == host::kMessageQuit;
    return quit;
}

class DeviceFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = MakeTempFolder("kq3d-device");
        ASSERT_FALSE(root_.empty());
        host::SetDeviceRoot(root_.string());
        host::SetModuleFileName(u"\\kq3d-clock");
        FileInitDirectory();
        // Once only: a fresh level 0 would free blocks that outlive a test.
        static const bool started = (MemoryInit(), MemoryLevelSetup(1024, 0), true);
        (void)started;
    }
    void TearDown() override {
        host::SetModuleFileName(nullptr);
        host::SetDeviceRoot("");
        std::filesystem::remove_all(root_);
    }

    // Files in the device's root folder, as this machine sees them.
    void WriteHostFile(const std::string& name, const std::string& bytes) {
        std::ofstream(root_ / name, std::ios::binary) << bytes;
    }
    std::string ReadHostFile(const std::string& name) {
        std::ifstream in(root_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path root_;
    DebugLines lines_;
};
