// The setting of the resource tests: the lines sent to the device's debug
// output, kept off standard error since most are provoked on purpose; and a
// fresh temporary folder as the device's root, with a started allocator.
#pragma once
#include "host/debug_output.h"
#include "host/module.h"
#include "resource/file.h"
#include "resource/memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using Lines = std::vector<std::u16string>;

class DebugLines {
  public:
    DebugLines() {
        host::SetDebugToStderr(false);
        host::SetDebugListener(
            [](const char16_t* text, void* lines) { static_cast<Lines*>(lines)->push_back(text); },
            &lines_);
    }
    ~DebugLines() {
        host::SetDebugListener(nullptr, nullptr);
        host::SetDebugToStderr(true);
    }
    DebugLines(const DebugLines&) = delete;
    DebugLines& operator=(const DebugLines&) = delete;

    // Hands over the lines so far and starts afresh.
    Lines Take() {
        Lines taken;
        taken.swap(lines_);
        return taken;
    }

  private:
    Lines lines_;
};

class DeviceFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kq3d-device-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        host::SetDeviceRoot(root_.string());
        host::SetModuleFileName(u"\\kq3d-clock");
        FileInitDirectory();
        MemoryInit();
        MemoryLevelSetup(1024, 0);
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
