// A fresh temporary folder as the device's root, the debug lines printed while
// a test runs, and a started allocator: the setting of the file and texture
// tests.
#pragma once
#include "host/debug_output.h"
#include "host/module.h"
#include "host/text.h"
#include "resource/file.h"
#include "resource/memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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
        ASSERT_EQ(std::u16string(programDirectory), u"\\");
        MemoryInit();
        MemoryLevelSetup(1024, 0);
        host::SetDebugToStderr(false);
        host::SetDebugListener(
            [](const char16_t* text, void* context) {
                static_cast<std::vector<std::u16string>*>(context)->push_back(text);
            },
            &lines_);
    }

    void TearDown() override {
        host::SetDebugListener(nullptr, nullptr);
        host::SetDebugToStderr(true);
        host::SetModuleFileName(nullptr);
        host::SetDeviceRoot("");
        std::filesystem::remove_all(root_);
    }

    // A file in the device's root folder, written directly on this machine.
    void WriteHostFile(const std::string& name, const std::string& bytes) {
        std::ofstream out(root_ / name, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::string ReadHostFile(const std::string& name) {
        std::ifstream in(root_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool HasLine(const std::u16string& line) const {
        for (const auto& l : lines_) {
            if (l == line + u"\r\n") return true;
        }
        return false;
    }
    std::string Lines() const {
        std::string all;
        for (const auto& l : lines_)
            all += host::ToUtf8(l);
        return all;
    }

    std::filesystem::path root_;
    std::vector<std::u16string> lines_;
};
