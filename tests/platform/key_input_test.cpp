#include "platform/key_input.h"

#include "host/gx.h"

#include <gtest/gtest.h>

namespace {

class KeyInputTest : public ::testing::Test {
  protected:
    void SetUp() override { host::GxReset(); }
    void TearDown() override { host::GxReset(); }
};

TEST_F(KeyInputTest, KeyMessagesSetAndClearTheButtonsBits) {
    KeyInput input;
    KeyInputSetKey(&input, 1, host::kKeyCodeA);
    KeyInputSetKey(&input, 1, host::kKeyCodeA); // auto-repeat
    KeyInputSetKey(&input, 1, host::kKeyCodeStart);
    EXPECT_EQ(input.keys, 0x1010u);
    KeyInputSetKey(&input, 0, host::kKeyCodeA);
    EXPECT_EQ(input.keys, KeyStart);
    // The other buttons, and a code no button has, which changes nothing.
    for (uint16_t code : {host::kKeyCodeUp, host::kKeyCodeDown, host::kKeyCodeLeft,
                          host::kKeyCodeRight, host::kKeyCodeB, host::kKeyCodeC, uint16_t{0x1234}})
        KeyInputSetKey(&input, 1, code);
    KeyInputSetKey(&input, 0, 0x1234);
    EXPECT_EQ(input.keys, 0x106Fu); // bits 128..2048 are never set

    // Opening again only clears the bits; closing twice closes once.
    KeyInputOpen(&input);
    EXPECT_EQ(input.keys, 0u);
    EXPECT_EQ(host::GxCallCounts().openInput, 1);
    EXPECT_EQ(host::GxCallCounts().getDefaultKeys, 1);
    KeyInputClose(&input);
    KeyInputClose(&input);
    EXPECT_EQ(host::GxCallCounts().closeInput, 1);
}

TEST_F(KeyInputTest, TheFirstEntryWinsAndHighBitCodesNeverMatch) {
    GXKeyList keys{};
    keys.up.code = 0x41;
    keys.down.code = 0x42;
    keys.a.code = 0x42; // the same code as down: down wins
    keys.start.code = static_cast<int16_t>(0x8001);
    host::GxSetDefaultKeys(keys);
    KeyInput input;
    KeyInputSetKey(&input, 1, 0x42);
    KeyInputSetKey(&input, 1, 0x8001);
    EXPECT_EQ(input.keys, KeyDown);
    KeyInputSetKey(&input, 1, 0); // left, right, B and C hold code 0: left's
    EXPECT_EQ(input.keys, KeyDown | KeyLeft);
    defaultKeys = GXKeyList{}; // before any open all are 0: code 0 is up's
    KeyInputSetKey(&input, 1, 0);
    EXPECT_EQ(input.keys, KeyDown | KeyLeft | KeyUp);
    { KeyInput other; } // the destructor closes the input
    EXPECT_EQ(host::GxCallCounts().closeInput, 1);
}

} // namespace
