#include "../temp_folder.h"
#include "host/files.h"
#include "host/module.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

// The host's own rules (whole reads, writes and sizes: the file layer's tests).
namespace {

class HostFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = MakeTempFolder("kq3d-host");
        ASSERT_FALSE(root_.empty());
        host::SetDeviceRoot(root_.string());
    }
    void TearDown() override {
        host::SetDeviceRoot("");
        std::filesystem::remove_all(root_);
    }
    static host::FileHandle Open(const char16_t* path, uint32_t access, uint32_t disposition,
                                 uint32_t share = 0) {
        return host::OpenFile(path, access, share, nullptr, disposition, 0, 0);
    }
    std::filesystem::path root_;
};

} // namespace

TEST_F(HostFiles, DispositionsSharingSeeksAndClosedHandles) {
    using namespace host;
    EXPECT_EQ(Open(u"\\a.bin", kFileAccessRead, kFileOpenExisting), kInvalidFileHandle);
    const FileHandle w = Open(u"\\a.bin", kFileAccessWrite, kFileCreateNew);
    ASSERT_NE(w, kInvalidFileHandle);
    ASSERT_NE(w, FileHandle{0});
    uint32_t done = 0;
    EXPECT_TRUE(WriteFile(w, "hello", 5, &done, nullptr));
    EXPECT_TRUE(CloseFile(w));
    for (FileHandle stale : {w, kInvalidFileHandle, FileHandle{0}})
        EXPECT_FALSE(CloseFile(stale));
    EXPECT_EQ(Open(u"\\a.bin", kFileAccessWrite, kFileCreateNew), kInvalidFileHandle);
    // Emptying needs write access; a refused open leaves the file as it was.
    EXPECT_EQ(Open(u"\\a.bin", kFileAccessRead, kFileTruncateExisting), kInvalidFileHandle);
    EXPECT_EQ(std::filesystem::file_size(root_ / "a.bin"), 5u);

    const FileHandle r = Open(u"/a.bin", kFileAccessRead, kFileOpenExisting);
    ASSERT_NE(r, kInvalidFileHandle);
    char buffer[8] = {};
    EXPECT_EQ(SeekFile(r, 2, nullptr, kFileCurrent), 2u);
    EXPECT_TRUE(ReadFile(r, buffer, 8, &done, nullptr));
    EXPECT_EQ(std::string(buffer, done), "llo");
    EXPECT_TRUE(ReadFile(r, buffer, 8, &done, nullptr)); // at the end: 0 bytes
    EXPECT_EQ(done, 0u);
    EXPECT_EQ(SeekFile(r, -10, nullptr, kFileCurrent), kInvalidFilePosition);
    EXPECT_EQ(SeekFile(r, -1, nullptr, kFileEnd), 4u);
    EXPECT_FALSE(WriteFile(r, "x", 1, &done, nullptr)); // opened for reading
    EXPECT_EQ(done, 0u);
    // Without sharing, a second open of the same file is refused and empties nothing.
    EXPECT_EQ(Open(u"\\a.bin", kFileAccessRead, kFileOpenExisting), kInvalidFileHandle);
    EXPECT_EQ(Open(u"\\a.bin", kFileAccessWrite, kFileTruncateExisting), kInvalidFileHandle);
    EXPECT_EQ(std::filesystem::file_size(root_ / "a.bin"), 5u);
    EXPECT_TRUE(CloseFile(r));
    EXPECT_EQ(OpenFileCount(), 0);
}

TEST_F(HostFiles, PathsStayInsideTheRoot) {
    using namespace host;
    std::string mapped;
    // No current directory: a relative name starts at the root.
    for (const char16_t* good : {u"\\dir\\a.zit", u"dir\\a.zit", u"\\.\\dir\\a.zit"}) {
        EXPECT_TRUE(MapDevicePath(good, &mapped));
        EXPECT_EQ(mapped, root_.string() + "/dir/a.zit");
    }
    for (const char16_t* bad :
         {u"\\..\\a", u"..", u"\\dir\\..\\..\\a", u"\\", u"", u"\\a:b", u"\\a*", u"\\a\x01"}) {
        EXPECT_FALSE(MapDevicePath(bad, &mapped));
    }
    std::filesystem::create_directory(root_ / "dir");
    EXPECT_EQ(Open(u"\\dir", kFileAccessRead, kFileOpenExisting), kInvalidFileHandle);
    EXPECT_EQ(Open(u"\\..\\x", kFileAccessWrite, kFileCreateNew), kInvalidFileHandle);
    EXPECT_EQ(LastFileError(), FileError::badPath);
}

// Links inside the root are followed; none leads out of it (to a file or a
// folder, directly or by climbing); nothing is created through a link.
TEST_F(HostFiles, LinksAreFollowedOnlyWhileTheyStayInsideTheRoot) {
    using namespace host;
    namespace fs = std::filesystem;
    const fs::path outside = MakeTempFolder("kq3d-outside");
    ASSERT_FALSE(outside.empty());
    const auto write = [](const fs::path& path, const char* text) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(text, f);
        std::fclose(f);
    };
    write(outside / "secret.zit", "secret");
    fs::create_directory(outside / "dir");
    write(outside / "dir" / "b.zit", "secret");
    write(root_ / "real.zit", "inside");
    fs::create_directory(root_ / "sub");
    write(root_ / "sub" / "c.zit", "inside");
    fs::create_symlink("real.zit", root_ / "in.zit");
    fs::create_symlink("sub", root_ / "subLink");
    fs::create_symlink(outside / "secret.zit", root_ / "out.zit");
    fs::create_symlink(outside / "dir", root_ / "outDir");
    fs::create_symlink(fs::path("..") / outside.filename() / "secret.zit", root_ / "up.zit");
    fs::create_symlink(outside / "made.zit", root_ / "dangling.zit");
    fs::create_symlink("loop2", root_ / "loop1");
    fs::create_symlink("loop1", root_ / "loop2");

    const auto read = [](const char16_t* path) {
        const FileHandle h = Open(path, kFileAccessRead, kFileOpenExisting);
        if (h == kInvalidFileHandle) return std::string("refused");
        char buffer[16] = {};
        uint32_t done = 0;
        ReadFile(h, buffer, sizeof buffer, &done, nullptr);
        CloseFile(h);
        return std::string(buffer, done);
    };
    EXPECT_EQ(read(u"/in.zit"), "inside");
    EXPECT_EQ(read(u"/subLink/c.zit"), "inside");
    for (const char16_t* escape : {u"/out.zit", u"/outDir/b.zit", u"/up.zit"}) {
        EXPECT_EQ(read(escape), "refused");
        EXPECT_EQ(LastFileError(), FileError::badPath);
    }
    for (const char16_t* nothing : {u"/dangling.zit", u"/loop1", u"/loop1/x.zit"})
        EXPECT_EQ(read(nothing), "refused");
    for (const char16_t* target : {u"/out.zit", u"/outDir/new.zit", u"/dangling.zit", u"/up.zit"}) {
        for (uint32_t disposition : {kFileCreateNew, kFileCreateAlways, kFileOpenAlways}) {
            EXPECT_EQ(Open(target, kFileAccessWrite, disposition), kInvalidFileHandle);
        }
    }
    EXPECT_EQ(fs::file_size(outside / "secret.zit"), 6u);
    EXPECT_FALSE(fs::exists(outside / "dir" / "new.zit"));
    EXPECT_FALSE(fs::exists(outside / "made.zit"));
    EXPECT_EQ(OpenFileCount(), 0);
    fs::remove_all(outside);
}

// Its use (the program's folder, names too long): the file layer's tests.
TEST(HostModule, ModuleNameIsCutToTheLimit) {
    host::SetModuleFileName(u"\\Programs\\clock.exe");
    char16_t out[5] = {u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(host::GetModuleFileName(out, 0), 0u);
    EXPECT_EQ(out[0], u'x');
    EXPECT_EQ(host::GetModuleFileName(out, 5), 5u);
    EXPECT_EQ(std::u16string(out), u"\\Pro");
    host::SetModuleFileName(nullptr);
}
