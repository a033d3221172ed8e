// The input storm: every kind of message but the buttons that end a program,
// the focus lost and regained in turn and at the end, a sequence fixed by its seed.
#include "host/device.h"
#include "host/gx.h"
#include "host/input_storm.h"
#include "host/messages.h"
#include "host/window.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using Taken = std::vector<std::pair<uint32_t, uint32_t>>; // message, word parameter
uint64_t posted;

// The messages a storm of `count` leaves in the queue of a focused window,
// taken one at a time after each burst.
Taken Storm(uint64_t count, uint32_t seed) {
    host::DeviceReset();
    host::RegisterWindowClass(
        {0, host::DefWindowProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, u"storm"});
    host::CreateWindow(0, u"storm", u"storm", host::kStylePopup | host::kStyleVisible, 0, 0, 240,
                       320, nullptr, nullptr, nullptr, nullptr);
    Taken taken;
    const auto takeOne = [&taken] {
        host::Message message{};
        if (!host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove)) return false;
        taken.emplace_back(message.message, message.wordParam);
        host::DispatchMessage(&message);
        return true;
    };
    while (takeOne()) { // the window's first paint and the rest of its creation
    }
    taken.clear();
    host::InputStorm storm;
    host::InputStormStart(&storm, count, 16, seed);
    do {
        host::InputStormBurst(&storm);
        while (takeOne()) { // all of each burst: a full queue would refuse some
        }
    } while (!host::InputStormOver(storm));
    posted = storm.posted;
    host::DeviceReset();
    return taken;
}

// Lost and gained alternate, lost first, and the focus is back at the end.
bool EndsFocused(const Taken& messages) {
    bool focused = true;
    for (const auto& [message, wordParam] : messages) {
        if (message != host::kMessageFocusLost && message != host::kMessageFocusGained) continue;
        if (focused != (message == host::kMessageFocusLost)) return false;
        focused = !focused;
    }
    return focused;
}

TEST(InputStorm, PostsEveryKindButTheButtonsThatEndAProgramAndEndsWithTheFocusBack) {
    const Taken messages = Storm(5000, 7);
    // Paint messages the window system makes on its own come on top.
    EXPECT_GE(messages.size(), posted);
    EXPECT_GE(posted, 5000u);
    EXPECT_TRUE(EndsFocused(messages));
    const GXKeyList keys = host::GxCurrentKeys();
    std::map<uint32_t, int> counts;
    for (const auto& [message, wordParam] : messages) {
        ++counts[message];
        if (message != host::kMessageKeyDown && message != host::kMessageKeyUp) continue;
        for (int16_t ending : {keys.a.code, keys.b.code, keys.c.code, keys.start.code})
            EXPECT_NE(static_cast<int16_t>(wordParam & 0xFFFF), ending);
    }
    for (uint32_t kind : {host::kMessageKeyDown, host::kMessageKeyUp, host::kMessageStylusMove,
                          host::kMessageStylusDown, host::kMessageStylusUp, host::kMessagePaint,
                          host::kMessageSettingChange, host::kMessageCommand,
                          host::kMessageFocusLost, host::kMessageFocusGained})
        EXPECT_GE(counts[kind], 20) << kind;

    // Small counts end inside a focus loss now and then; each must end focused.
    for (uint32_t seed = 1; seed <= 64; ++seed)
        EXPECT_TRUE(EndsFocused(Storm(40, seed))) << seed;
    // The seed fixes the sequence.
    EXPECT_EQ(Storm(5000, 7), messages);
    EXPECT_NE(Storm(5000, 8), messages);
}

} // namespace
