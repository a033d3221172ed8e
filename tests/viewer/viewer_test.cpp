#include "../resource/device_fixture.h"
#include "host/device.h"
#include "host/messages.h"
#include "host/screen.h"
#include "host/window.h"
#include "platform/display.h"
#include "resource/texture.h"
#include "viewer/viewer_app.h"
#include "viewer/viewer_options.h"

#include <memory>
#include <set>
#include <sstream>

namespace {

const char kCube[] = "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\n"
                     "v -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
                     "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";

// The frame as the screen shows it: at logical (40, 0), turned a quarter turn.
std::vector<uint16_t> Frame() {
    std::vector<uint16_t> pixels;
    for (int32_t y = 0; y < 240; ++y) {
        for (int32_t x = 0; x < 240; ++x)
            pixels.push_back(host::ScreenPixel(y, 279 - x));
    }
    return pixels;
}

// The lit pixels of a band of screen rows.
int LitPixels(int32_t top, int32_t bottom) {
    int lit = 0;
    for (int32_t y = top; y < bottom; ++y) {
        for (int32_t x = 0; x < 240; ++x)
            lit += host::ScreenPixel(x, y) != 0;
    }
    return lit;
}

} // namespace

class ViewerTest : public DeviceFolderTest {
  protected:
    void SetUp() override {
        DeviceFolderTest::SetUp();
        host::DeviceReset();
    }
    void TearDown() override {
        app_.reset();
        host::SetProgramWords(nullptr);
        host::DeviceReset();
        DeviceFolderTest::TearDown();
    }
    ViewerApp& StartApp() {
        WriteHostFile("cube.obj", kCube);
        ObjModel model;
        EXPECT_EQ(ObjModelLoad(&model, "cube.obj", kModelRadius), 1);
        static int instance;
        app_ = std::make_unique<ViewerApp>(&instance, "cube.obj", model, ViewerTexture(nullptr));
        EXPECT_TRUE(app_->Ready());
        return *app_;
    }
    void Key(uint16_t code, bool down) {
        host::SendMessage(app_->window->handle, down ? host::kMessageKeyDown : host::kMessageKeyUp,
                          code, 0);
    }
    // The device's command line with the viewer in it: the status, or -1
    // when the program would run.
    int Read(std::vector<std::string> words, std::string* out = nullptr,
             std::string* err = nullptr) {
        host::SetProgramWords(&ViewerProgramWords());
        words.insert(words.begin(), "/bin/kq3d-view");
        std::vector<const char*> argv;
        for (const std::string& word : words)
            argv.push_back(word.c_str());
        std::ostringstream said, wrong;
        int status = -1;
        if (!host::ReadShellCommandLine(static_cast<int>(argv.size()), argv.data(), &options_, said,
                                        wrong, &status))
            status = -1;
        if (out != nullptr) *out = said.str();
        if (err != nullptr) *err = wrong.str();
        return status;
    }

    std::unique_ptr<ViewerApp> app_;
    host::ShellOptions options_;
};

// The files the words name become names under the device's root: the
// deepest existing folder that holds them all, unless --root is given.
TEST_F(ViewerTest, ReadsItsWordsAmongTheDevicesAndPlacesItsFiles) {
    std::filesystem::create_directories(root_ / "models");
    std::filesystem::create_directories(root_ / "pictures");
    const std::string root = std::filesystem::canonical(root_).string();
    const struct {
        std::vector<std::string> words;
        std::string root, model, texture;
    } cases[] = {
        {{"--headless", root + "/models/a.obj", "--frames", "5"}, root + "/models", "a.obj", ""},
        {{root + "/models/a.obj", "--texture", root + "/pictures/p.zit"},
         root,
         "models/a.obj",
         "pictures/p.zit"},
        {{root + "/models/x/../b.obj"}, root + "/models", "b.obj", ""},
        {{root + "/none/deeper/a.obj"}, root, "none/deeper/a.obj", ""},
        {{"--root", root, "models/a.obj", "--texture", "p.zit"}, root, "models/a.obj", "p.zit"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(Read(c.words), -1) << c.words[0];
        EXPECT_EQ(options_.root, c.root) << c.words[0];
        EXPECT_EQ(ViewerCommandLine().model, c.model) << c.words[0];
        EXPECT_EQ(ViewerCommandLine().texture, c.texture) << c.words[0];
    }
}

TEST_F(ViewerTest, RefusesWrongWordsInOneLine) {
    const std::string a127(127, 'a');
    const struct {
        std::vector<std::string> words;
        std::string said;
    } cases[] = {
        {{}, "no MODEL.obj given"},
        {{"--headless"}, "no MODEL.obj given"},
        {{""}, "MODEL.obj needs a name, not an empty word"},
        {{"a.obj", "b.obj"}, "takes one MODEL.obj, not \"b.obj\" as well"},
        {{"a.obj", "--texture"}, "--texture needs a value: --texture PICTURE.zit"},
        {{"a.obj", "--wire"}, "unknown option \"--wire\""},
        {{"a.obj", "--frames", "x"}, "--frames takes N from 0 to 1000000000, not \"x\""},
        {{"--root", "/", "caf\xc3\xa9.obj"},
         "the device takes file names in printable ASCII only, not \"caf\xc3\xa9.obj\""},
        {{"--root", "/", a127},
         "\"" + a127 +
             "\" is longer than the device's paths allow (126 characters below its root)"},
    };
    for (const auto& c : cases) {
        std::string out, err;
        EXPECT_EQ(Read(c.words, &out, &err), host::kExitUsage) << c.said;
        EXPECT_EQ(err, "kq3d-view: " + c.said + "; try \"kq3d-view --help\"\n");
        EXPECT_EQ(out, "");
    }
    std::string help;
    EXPECT_EQ(Read({"--help"}, &help), host::kExitDone);
    EXPECT_EQ(help.rfind("usage: kq3d-view [OPTION...] MODEL.obj [--texture PICTURE.zit]\n", 0),
              0u);
    for (const char* row : {"\n  MODEL.obj    ", "\n  --texture PICTURE.zit  ", "\n  --headless  ",
                            "kq3d-view.png in the current folder", "200000"})
        EXPECT_NE(help.find(row), std::string::npos) << row;
}

TEST_F(ViewerTest, TakesSquarePicturesOfAPowerOfTwoSideOnly) {
    WriteHostFile("wide.zit", ZitBytes(8, 4, std::vector<uint16_t>(32, 0xFFFF)));
    WriteHostFile("six.zit", ZitBytes(6, 6, std::vector<uint16_t>(36, 0xFFFF)));
    WriteHostFile("good.zit", ZitBytes(16, 16, std::vector<uint16_t>(256, 0xFFFF)));
    const struct {
        const char* name;
        const char16_t* said;
    } refused[] = {
        {"missing.zit", u"missing.zit: no such picture, or it cannot be read\r\n"},
        {"wide.zit",
         u"wide.zit: a picture for triangles is square with a side of a power of two, not 8x4\r\n"},
        {"six.zit",
         u"six.zit: a picture for triangles is square with a side of a power of two, not 6x6\r\n"},
    };
    const int32_t blocks = allocCount;
    for (const auto& r : refused) {
        lines_.clear();
        EXPECT_EQ(ViewerTexture(r.name), nullptr) << r.name;
        const Lines said = lines_.Take();
        EXPECT_EQ(said.back(), r.said);
        EXPECT_EQ(allocCount, blocks) << r.name;
    }
    for (const char* name : {"good.zit", static_cast<const char*>(nullptr)}) {
        Texture* texture = ViewerTexture(name);
        ASSERT_NE(texture, nullptr);
        EXPECT_EQ(texture->levelCount, 16);
        EXPECT_EQ(texture->width, name != nullptr ? 16 : 64);
        TextureDelete(texture);
    }
    EXPECT_EQ(allocCount, blocks);
}

// A, B and C act once per press; the arrows while held; Start ends.
TEST_F(ViewerTest, KeysActWhenPressedOrWhileHeld) {
    ViewerApp& app = StartApp();
    EXPECT_EQ(app.mode, FillMode::kTexturedShaded);
    Key(host::kKeyCodeA, true);
    for (int k = 0; k < 3; ++k)
        app.OnFrame();
    EXPECT_EQ(app.mode, FillMode::kFlat);
    Key(host::kKeyCodeA, false);
    app.OnFrame();
    Key(host::kKeyCodeA, true);
    app.OnFrame();
    EXPECT_EQ(app.mode, FillMode::kShaded);
    Key(host::kKeyCodeA, false);
    for (uint16_t code : {host::kKeyCodeB, host::kKeyCodeC}) {
        Key(code, true);
        app.OnFrame();
        app.OnFrame();
        Key(code, false);
    }
    EXPECT_FALSE(app.lit);
    EXPECT_FALSE(app.spinning);

    const int32_t angle = app.angleY;
    app.OnFrame();
    EXPECT_EQ(app.angleY, angle); // still
    Key(host::kKeyCodeLeft, true);
    app.OnFrame();
    app.OnFrame();
    Key(host::kKeyCodeLeft, false);
    EXPECT_EQ(app.angleY, (angle - 64) & kAngleMask);
    const Fixed distance = app.distance;
    Key(host::kKeyCodeUp, true);
    app.OnFrame();
    EXPECT_EQ(app.distance, distance - (distance >> 5));
    for (int k = 0; k < 100; ++k)
        app.OnFrame();
    Key(host::kKeyCodeUp, false);
    EXPECT_EQ(app.distance, kModelRadius * 3 / 2);
    Key(host::kKeyCodeDown, true);
    for (int k = 0; k < 200; ++k)
        app.OnFrame();
    Key(host::kKeyCodeDown, false);
    EXPECT_EQ(app.distance, 16 * kModelRadius);

    EXPECT_FALSE(QuitPosted());
    Key(host::kKeyCodeStart, true);
    app.OnFrame();
    EXPECT_TRUE(QuitPosted());
}

// Each mode, lit and unlit, draws its own picture of the model on the
// background; the caption shows in both bands and follows the mode.
TEST_F(ViewerTest, DrawsEachModeItsOwnWayAndTheCaptionFollows) {
    ViewerApp& app = StartApp();
    app.spinning = false;
    std::set<std::vector<uint16_t>> pictures;
    for (bool lit : {true, false}) {
        for (int mode = 0; mode < kFillModes; ++mode) {
            app.mode = static_cast<FillMode>(mode);
            app.lit = lit;
            app.OnFrame();
            const std::vector<uint16_t> frame = Frame();
            EXPECT_NE(frame[120 * 240 + 120], frame[0]) << mode << lit; // the model, centred
            EXPECT_EQ(frame[0], PackRgb565(0x182838)) << mode << lit;
            pictures.insert(frame);
            if (mode == 0 && lit) {
                EXPECT_GT(LitPixels(0, 40), 100);
                EXPECT_GT(LitPixels(280, 320), 100);
            }
        }
    }
    // Unlit, both textured modes take the picture's brightest level.
    EXPECT_EQ(pictures.size(), 7u);
    // The caption's third line tells the mode.
    std::vector<uint16_t> band;
    for (int32_t x = 0; x < 240; ++x)
        band.push_back(host::ScreenPixel(x, 290));
    app.mode = FillMode::kFlat;
    app.OnFrame();
    int changed = 0;
    for (int32_t x = 0; x < 240; ++x)
        changed += host::ScreenPixel(x, 290) != band[static_cast<size_t>(x)];
    EXPECT_GT(changed, 0);
}
