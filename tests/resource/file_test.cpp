#include "device_folder.h"

#include "host/files.h"
#include "resource/file.h"
#include "resource/memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

using FileLayer = DeviceFolderTest;

TEST_F(FileLayer, DirectoryIsTheModulePathUpToItsLastBackslash) {
    host::SetModuleFileName(u"\\Programs\\clock.exe");
    FileInitDirectory();
    EXPECT_EQ(std::u16string(programDirectory), u"\\Programs\\");
    host::SetModuleFileName(u"clock.exe");
    FileInitDirectory();
    EXPECT_EQ(std::u16string(programDirectory), u"clock.exe");
    // By default the module is the executable, lying in the root itself.
    host::SetModuleFileName(nullptr);
    FileInitDirectory();
    EXPECT_EQ(std::u16string(programDirectory), u"\\");
}

TEST_F(FileLayer, DirectoriesThatDoNotFitAreRefusedNotCut) {
    WriteHostFile("a.txt", "x");
    const std::u16string longFolder = u"\\" + std::u16string(130, u'd') + u"\\";
    host::SetModuleFileName((longFolder + u"clock.exe").c_str());
    FileInitDirectory();
    EXPECT_EQ(programDirectory[0], 0);
    EXPECT_TRUE(HasLine(u"FilePathTooLong[" + longFolder + u"]"));
    // With no usable directory nothing opens, not even a file in the root.
    File file{0, 0};
    EXPECT_EQ(FileOpen(&file, "a.txt"), 0);
    EXPECT_EQ(file.handle, host::kInvalidFileHandle);
    EXPECT_EQ(FileWriteAll("b.txt", "y", 1), -1);
    EXPECT_FALSE(std::filesystem::exists(root_ / "b.txt"));

    // A module name longer than the 255 characters asked for is cut by the
    // device: no directory is taken from it.
    host::SetModuleFileName((u"\\" + std::u16string(300, u'm')).c_str());
    FileInitDirectory();
    EXPECT_EQ(programDirectory[0], 0);
    EXPECT_EQ(FileOpen(&file, "a.txt"), 0);

    // 127 characters fit exactly; a good directory lifts the refusal.
    const std::u16string fits = u"\\" + std::u16string(125, u'f') + u"\\";
    FileSetDirectory(fits.c_str());
    EXPECT_EQ(std::u16string(programDirectory), fits);
    FileSetDirectory(u"\\");
    EXPECT_EQ(FileOpen(&file, "a.txt"), 1);
    FileClose(&file);
}

TEST_F(FileLayer, PathsAreFormedWithBackslashes) {
    char16_t out[kPathCharacters];
    EXPECT_EQ(std::u16string(FileMakePath(out, "data/a.zit", u"\\Programs\\")),
              u"\\Programs\\data\\a.zit");
    // Bytes above 0x7F widen as signed values.
    EXPECT_EQ(std::u16string(FileMakePath(out, "\xE9", u"")), u"\xFFE9");

    // The bounded form never writes past its buffer and tells the whole length.
    char16_t small[9];
    small[8] = 0x5A5A;
    EXPECT_EQ(FilePathForm(small, 8, "abcdef", u"\\dir\\"), 11u);
    EXPECT_EQ(std::u16string(small), u"\\dir\\ab");
    EXPECT_EQ(small[8], 0x5A5A);
}

TEST_F(FileLayer, MissingFileLogsTheFullPathAndLeavesTheInvalidHandle) {
    FileSetDirectory(u"\\sub\\");
    File file{0, 0};
    EXPECT_EQ(FileOpen(&file, "missing.zit"), 0);
    EXPECT_EQ(file.handle, host::kInvalidFileHandle);
    EXPECT_TRUE(HasLine(u"al:FileOpen[\\sub\\missing.zit]")) << Lines();
    FileClose(&file);
    EXPECT_EQ(file.handle, 0u);
    FileClose(&file); // twice is harmless
    EXPECT_EQ(file.handle, 0u);

    int32_t size = 77;
    EXPECT_EQ(FileGetSize("missing.zit", &size), 0);
    EXPECT_EQ(size, 77);
    EXPECT_EQ(FileReadAt("missing.zit", 0, &size, 4), -1);
    size = 77;
    EXPECT_EQ(FileLoad("missing.zit", &size), nullptr);
    EXPECT_EQ(size, 77);
    void* place = &size;
    EXPECT_EQ(FileLoadTo(&place, "missing.zit"), 0);
    EXPECT_EQ(place, nullptr);
    EXPECT_EQ(host::OpenFileCount(), 0);
}

TEST_F(FileLayer, CreateMakesNewFilesAndEmptiesExistingOnes) {
    EXPECT_EQ(FileWriteAll("a.bin", "0123456789", 10), 10);
    EXPECT_EQ(ReadHostFile("a.bin"), "0123456789");
    EXPECT_EQ(FileWriteAll("a.bin", "abc", 3), 3);
    EXPECT_EQ(ReadHostFile("a.bin"), "abc");
    // Writing opens nothing for reading, so it prints nothing.
    EXPECT_TRUE(lines_.empty()) << Lines();

    File file{0, 0};
    ASSERT_EQ(FileCreate(&file, "a.bin"), 1);
    EXPECT_EQ(ReadHostFile("a.bin"), "");
    EXPECT_EQ(FileWrite(&file, "xy", 2), 2);
    EXPECT_EQ(FileWrite(&file, "xy", -2), 0);
    EXPECT_EQ(FileRead(&file, &file.size, 4), 0); // opened for writing only
    FileClose(&file);
    EXPECT_EQ(ReadHostFile("a.bin"), "xy");

    // '/' separates folders; a missing folder cannot be created into.
    std::filesystem::create_directory(root_ / "sub");
    EXPECT_EQ(FileWriteAll("sub/b.bin", "b", 1), 1);
    EXPECT_EQ(ReadHostFile("sub/b.bin"), "b");
    EXPECT_EQ(FileWriteAll("nowhere/b.bin", "b", 1), -1);
    EXPECT_EQ(host::OpenFileCount(), 0);
}

TEST_F(FileLayer, WholeFileReadsAndSizes) {
    WriteHostFile("ten.bin", "0123456789");
    int32_t size = -5;
    EXPECT_EQ(FileGetSize("ten.bin", &size), 1);
    EXPECT_EQ(size, 10);
    EXPECT_EQ(FileGetSize("ten.bin", nullptr), 1);
    EXPECT_TRUE(HasLine(u"al:FileOpen[\\ten.bin]"));

    char buffer[32] = {};
    EXPECT_EQ(FileReadAt("ten.bin", 4, buffer, 100), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(FileReadAt("ten.bin", 10, buffer, 4), 0);
    EXPECT_EQ(FileReadAt("ten.bin", 20, buffer, 4), 0);
    // A position before the start reads nothing rather than the first bytes.
    std::memset(buffer, '.', sizeof buffer);
    EXPECT_EQ(FileReadAt("ten.bin", -1, buffer, 4), 0);
    EXPECT_EQ(buffer[0], '.');

    const int32_t before = allocCount;
    auto* block = static_cast<char*>(FileLoad("ten.bin", &size));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(size, 10);
    EXPECT_EQ(std::string(block, 10), "0123456789");
    for (int i = 10; i < 26; ++i)
        EXPECT_EQ(block[i], 0) << i;
    MemoryFree(block);

    void* place = nullptr;
    EXPECT_EQ(FileLoadTo(&place, "ten.bin"), 1);
    ASSERT_NE(place, nullptr);
    MemoryFree(place);
    EXPECT_EQ(allocCount, before);
    EXPECT_EQ(host::OpenFileCount(), 0);
}

TEST_F(FileLayer, EmptyFileLoadsAsASixteenByteBlock) {
    WriteHostFile("empty.bin", "");
    const int32_t bytesBefore = allocBytes;
    int32_t size = -1;
    void* block = FileLoad("empty.bin", &size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(allocBytes - bytesBefore, 16);
    MemoryFree(block);
    EXPECT_EQ(allocBytes, bytesBefore);
}

TEST_F(FileLayer, TooLongNamesFailRatherThanOpenAnotherFile) {
    // Directory "\" and 126 name characters make 127: that fits.
    const std::string fits(126, 'n');
    EXPECT_EQ(FileWriteAll(fits.c_str(), "ok", 2), 2);
    int32_t size = 0;
    EXPECT_EQ(FileGetSize(fits.c_str(), &size), 1);
    EXPECT_EQ(size, 2);

    // One more character would be cut back to the name above: refused.
    const std::string tooLong = fits + "x";
    lines_.clear();
    File file{0, 0};
    EXPECT_EQ(FileOpen(&file, tooLong.c_str()), 0);
    EXPECT_EQ(file.handle, host::kInvalidFileHandle);
    const std::u16string whole = u"\\" + host::FromUtf8(tooLong);
    ASSERT_EQ(lines_.size(), 2u) << Lines();
    EXPECT_EQ(lines_[0], u"al:FileOpen[" + whole + u"]\r\n");
    EXPECT_EQ(lines_[1], u"FilePathTooLong[" + whole + u"]\r\n");
    FileClose(&file);
    EXPECT_EQ(file.handle, 0u);

    EXPECT_EQ(FileCreate(&file, tooLong.c_str()), 0);
    EXPECT_EQ(file.handle, host::kInvalidFileHandle);
    FileClose(&file);
    EXPECT_EQ(FileWriteAll(tooLong.c_str(), "bad", 3), -1);
    EXPECT_EQ(FileLoad(std::string(600, 'z').c_str(), &size), nullptr);
    EXPECT_EQ(ReadHostFile(fits), "ok");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root_),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(FileLayer, NamesCannotLeaveTheProgramFolder) {
    std::filesystem::create_directory(root_ / "inner");
    WriteHostFile("secret.txt", "s");
    FileSetDirectory(u"\\inner\\");
    File file{0, 0};
    EXPECT_EQ(FileOpen(&file, "../secret.txt"), 0);
    FileClose(&file);
    EXPECT_EQ(FileWriteAll("../escaped.txt", "e", 1), -1);
    EXPECT_EQ(FileWriteAll("a/../../escaped.txt", "e", 1), -1);
    EXPECT_FALSE(std::filesystem::exists(root_ / "escaped.txt"));
    EXPECT_FALSE(std::filesystem::exists(root_.parent_path() / "escaped.txt"));
}

TEST_F(FileLayer, FilesTooLargeForTheSizeFieldAreNotLoaded) {
    // A sparse file of 4 GiB + 5 bytes: its size does not fit 31 bits, and its
    // low 32 bits (5) must not pass for the size.
    { std::ofstream out(root_ / "huge.bin", std::ios::binary); }
    std::error_code error;
    std::filesystem::resize_file(root_ / "huge.bin", (uint64_t{1} << 32) + 5, error);
    if (error) GTEST_SKIP() << "no sparse files here: " << error.message();
    File file{0, 0};
    ASSERT_EQ(FileOpen(&file, "huge.bin"), 1);
    EXPECT_EQ(file.size, -1);
    FileClose(&file);

    const int32_t before = allocCount;
    int32_t size = 0;
    EXPECT_EQ(FileLoad("huge.bin", &size), nullptr);
    EXPECT_EQ(size, -1);
    EXPECT_NE(Lines().find("not enough memory"), std::string::npos) << Lines();
    EXPECT_EQ(allocCount, before);
    EXPECT_EQ(host::OpenFileCount(), 0);
}

TEST(PathNames, FileNameAndDirectoryPart) {
    const char16_t* path = u"a/b\\c.zit";
    EXPECT_EQ(PathFileName(path), path + 4);
    EXPECT_EQ(std::u16string(PathFileName(u"d:x")), u"x");
    EXPECT_EQ(std::u16string(PathFileName(u"c.zit")), u"c.zit");
    char16_t out[32];
    PathCutDirectory(out, path);
    EXPECT_EQ(std::u16string(out), u"a/b");
    PathCutDirectory(out, u"c.zit");
    EXPECT_EQ(std::u16string(out), u"");
    PathCutDirectory(out, u"\\c.zit");
    EXPECT_EQ(std::u16string(out), u"");
}
