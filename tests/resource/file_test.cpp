#include "device_fixture.h"

#include "host/files.h"
#include "host/text.h"

using FileLayer = DeviceFolderTest;

// A directory or name too long for its buffer is refused, never cut into
// another file's name; with no usable directory nothing opens.
TEST_F(FileLayer, DirectoryIsTheModulePathUpToItsLastBackslashIfItFits) {
    const std::u16string longFolder = u"\\" + std::u16string(130, u'd') + u"\\";
    const std::u16string cut = u"\\" + std::u16string(253, u'm'); // as the device cuts 300
    const struct {
        std::u16string module, directory;
    } cases[] = {{u"\\Programs\\clock.exe", u"\\Programs\\"},
                 {u"clock.exe", u"clock.exe"},
                 {u"", u"\\"}, // by default the module is the executable, in the root
                 {longFolder + u"clock.exe", u""},
                 {u"\\" + std::u16string(300, u'm'), u""}};
    for (const auto& c : cases) {
        host::SetModuleFileName(c.module.empty() ? nullptr : c.module.c_str());
        FileInitDirectory();
        EXPECT_EQ(std::u16string(programDirectory), c.directory) << host::ToUtf8(c.module);
    }
    EXPECT_EQ(lines_.Take(), (Lines{u"FilePathTooLong[" + longFolder + u"]\r\n",
                                    u"FilePathTooLong[" + cut + u"]\r\n"}));
    WriteHostFile("a.txt", "x");
    File file{0, 0};
    EXPECT_EQ(FileOpen(&file, "a.txt"), 0);
    EXPECT_EQ(FileWriteAll("b.txt", "y", 1), -1);
    EXPECT_FALSE(std::filesystem::exists(root_ / "b.txt"));
    // 127 characters fit exactly; a good directory lifts the refusal.
    const std::u16string fits = u"\\" + std::u16string(125, u'f') + u"\\";
    FileSetDirectory(fits.c_str());
    EXPECT_EQ(std::u16string(programDirectory), fits);
    FileSetDirectory(u"\\");
    EXPECT_EQ(FileOpen(&file, "a.txt"), 1);
    FileClose(&file);

    // "\" and 126 name characters make 127; one more would be cut back to it.
    const std::string name(126, 'n');
    EXPECT_EQ(FileWriteAll(name.c_str(), "ok", 2), 2);
    lines_.Take();
    EXPECT_EQ(FileOpen(&file, (name + "x").c_str()), 0);
    EXPECT_EQ(file.handle, host::kInvalidFileHandle);
    const std::u16string whole = u"\\" + std::u16string(126, u'n') + u"x";
    EXPECT_EQ(lines_.Take(),
              (Lines{u"al:FileOpen[" + whole + u"]\r\n", u"FilePathTooLong[" + whole + u"]\r\n"}));
    FileClose(&file);
    EXPECT_EQ(FileCreate(&file, (name + "x").c_str()), 0);
    FileClose(&file);
    EXPECT_EQ(FileWriteAll((name + "x").c_str(), "bad", 3), -1);
    EXPECT_EQ(FileLoad(std::string(600, 'z').c_str(), nullptr), nullptr);
    EXPECT_EQ(ReadHostFile(name), "ok");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root_), {}), 2);
}

TEST(Paths, FormedWithBackslashesAndTakenApart) {
    char16_t out[kPathCharacters];
    EXPECT_EQ(std::u16string(FileMakePath(out, "data/a.zit", u"\\Programs\\")),
              u"\\Programs\\data\\a.zit");
    // Bytes above 0x7F widen as signed values.
    EXPECT_EQ(std::u16string(FileMakePath(out, "\xE9", u"")), u"\xFFE9");
    const char16_t* path = u"a/b\\c.zit";
    EXPECT_EQ(PathFileName(path), path + 4);
    EXPECT_EQ(std::u16string(PathFileName(u"d:x")), u"x");
    PathCutDirectory(out, path);
    EXPECT_EQ(std::u16string(out), u"a/b");
    PathCutDirectory(out, u"\\c.zit");
    EXPECT_EQ(std::u16string(out), u"");
}

TEST_F(FileLayer, MissingFileLogsTheFullPathAndLeavesTheInvalidHandle) {
    FileSetDirectory(u"\\sub\\");
    File file{0, 0};
    EXPECT_EQ(FileOpen(&file, "missing.zit"), 0);
    EXPECT_EQ(file.handle, host::kInvalidFileHandle);
    EXPECT_EQ(lines_.Take(), Lines{u"al:FileOpen[\\sub\\missing.zit]\r\n"});
    FileClose(&file);
    FileClose(&file); // twice is harmless
    EXPECT_EQ(file.handle, 0u);
    int32_t size = 77;
    void* place = &size;
    EXPECT_EQ(FileGetSize("missing.zit", &size), 0);
    EXPECT_EQ(FileReadAt("missing.zit", 0, &size, 4), -1);
    EXPECT_EQ(FileLoad("missing.zit", &size), nullptr);
    EXPECT_EQ(FileLoadTo(&place, "missing.zit"), 0);
    EXPECT_EQ(size, 77);
    EXPECT_EQ(place, nullptr);
    EXPECT_EQ(host::OpenFileCount(), 0);
}

TEST_F(FileLayer, CreateMakesNewFilesAndEmptiesExistingOnes) {
    EXPECT_EQ(FileWriteAll("a.bin", "0123456789", 10), 10);
    EXPECT_EQ(FileWriteAll("a.bin", "abc", 3), 3);
    EXPECT_EQ(ReadHostFile("a.bin"), "abc");
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
    EXPECT_EQ(lines_.Take(), Lines{}); // nothing is opened for reading
}

TEST_F(FileLayer, ReadsAtAndBeyondTheEndAndLoadsWholeFiles) {
    WriteHostFile("ten.bin", "0123456789");
    WriteHostFile("empty.bin", "");
    int32_t size = -5;
    EXPECT_EQ(FileGetSize("ten.bin", &size), 1);
    EXPECT_EQ(size, 10);
    char buffer[8] = {'.'};
    // A position before the start reads nothing rather than the first bytes.
    EXPECT_EQ(FileReadAt("ten.bin", -1, buffer, 4), 0);
    EXPECT_EQ(FileReadAt("ten.bin", 10, buffer, 4), 0);
    EXPECT_EQ(FileReadAt("ten.bin", 20, buffer, 4), 0);
    EXPECT_EQ(buffer[0], '.');
    EXPECT_EQ(FileReadAt("ten.bin", 4, buffer, 8), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");

    // Loads end in 16 zero bytes; an empty file is such a block of size 0.
    const int32_t blocks = allocCount, bytes = allocBytes;
    void* place = nullptr;
    EXPECT_EQ(FileLoadTo(&place, "ten.bin"), 1);
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(std::string(static_cast<char*>(place), 26), "0123456789" + std::string(16, '\0'));
    MemoryFree(place);
    void* empty = FileLoad("empty.bin", &size);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(size, 0);
    EXPECT_EQ(allocBytes - bytes, 16);
    MemoryFree(empty);
    EXPECT_EQ(allocCount, blocks);
    EXPECT_EQ(host::OpenFileCount(), 0);
}

TEST_F(FileLayer, FilesTooLargeForTheSizeFieldAreNotLoaded) {
    // A sparse file of 4 GiB + 5 bytes: its low 32 bits must not pass for its size.
    WriteHostFile("huge.bin", "");
    std::error_code error;
    std::filesystem::resize_file(root_ / "huge.bin", (uint64_t{1} << 32) + 5, error);
    if (error) GTEST_SKIP() << "no sparse files here: " << error.message();
    const int32_t before = allocCount;
    int32_t size = 0;
    EXPECT_EQ(FileLoad("huge.bin", &size), nullptr);
    EXPECT_EQ(size, -1);
    EXPECT_EQ(lines_.Take(),
              (Lines{u"al:FileOpen[\\huge.bin]\r\n",
                     u"AL Failed(not enough memory) 0(0)\nresource/memory.cpp:202\r\n"}));
    EXPECT_EQ(allocCount, before);
    EXPECT_EQ(host::OpenFileCount(), 0);
}
