// A temporary folder as the device's root, with the tracked allocator started,
// for tests of the text reader. Each test must leave no block and no file open.
#pragma once
#include "host/debug_output.h"
#include "host/files.h"
#include "host/module.h"
#include "resource/file.h"
#include "resource/memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class TextFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kq3d-text-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        host::SetDeviceRoot(root_);
        FileSetDirectory(u"\\");
        MemoryInit();
        MemoryLevelSetup(1024, 0);
        host::SetDebugToStderr(false);
        host::SetDebugListener(Collect, &debugLines);
    }

    void TearDown() override {
        host::SetDebugListener(nullptr, nullptr);
        host::SetDebugToStderr(true);
        EXPECT_EQ(MemoryLevelCount(0), 0) << "a tracked block was left";
        EXPECT_EQ(host::OpenFileCount(), 0) << "a file was left open";
        host::SetDeviceRoot("");
        std::filesystem::remove_all(root_);
    }

    void Write(const char* name, const std::string& bytes) {
        std::ofstream out(std::filesystem::path(root_) / name, std::ios::binary);
        out << bytes;
    }

    bool Printed(const std::u16string& line) const {
        for (const auto& printed : debugLines) {
            if (printed == line + u"\r\n") return true;
        }
        return false;
    }

    std::vector<std::u16string> debugLines;

  private:
    static void Collect(const char16_t* text, void* context) {
        static_cast<std::vector<std::u16string>*>(context)->push_back(text);
    }

    std::string root_;
};
