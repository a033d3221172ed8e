#include "host/device.h"
#include "host/gx.h"
#include "host/input_storm.h"
#include "host/messages.h"
#include "host/window.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

struct Taken {
    uint32_t message;
    uint32_t wordParam;
};
std::vector<Taken> taken;

int32_t Recorder(host::WindowHandle window, uint32_t message, uint32_t wordParam,
                 int32_t longParam) {
    taken.push_back({message, wordParam});
    return host::DefWindowProc(window, message, wordParam, longParam);
}

// The messages a storm of `count` leaves in the queue of a focused window,
// taken one at a time as a program's loop takes them.
std::vector<Taken> Storm(uint64_t count, uint32_t seed, uint64_t* posted) {
    host::DeviceReset();
    host::WindowClass windowClass{};
    windowClass.procedure = Recorder;
    windowClass.className = u"storm";
    EXPECT_NE(host::RegisterWindowClass(windowClass), 0);
    EXPECT_NE(host::CreateWindow(0, u"storm", u"storm", host::kStylePopup | host::kStyleVisible, 0,
                                 0, 240, 320, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    host::Message message{};
    // The window's first paint and the rest of its creation, as a loop takes them.
    while (host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove))
        host::DispatchMessage(&message);
    taken.clear();
    host::InputStorm storm;
    host::InputStormStart(&storm, count, 16, seed);
    while (!host::InputStormOver(storm)) {
        host::InputStormBurst(&storm);
        if (host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove))
            host::DispatchMessage(&message);
    }
    while (host::PendingMessageCount() > 0 &&
           host::PeekMessage(&message, nullptr, 0, 0, host::kPeekRemove))
        host::DispatchMessage(&message);
    *posted = storm.posted;
    host::DeviceReset();
    return taken;
}

TEST(InputStorm, PostsEveryKindButTheButtonsThatEndAProgramAndEndsWithTheFocusBack) {
    uint64_t posted = 0;
    const std::vector<Taken> messages = Storm(5000, 7, &posted);
    std::map<uint32_t, int> counts;
    for (const Taken& t : messages)
        ++counts[t.message];
    // Paint messages the window system makes on its own come on top.
    EXPECT_GE(messages.size(), posted);
    EXPECT_GE(posted, 5000u);
    for (uint32_t kind : {host::kMessageKeyDown, host::kMessageKeyUp, host::kMessageStylusMove,
                          host::kMessageStylusDown, host::kMessageStylusUp, host::kMessagePaint,
                          host::kMessageSettingChange, host::kMessageCommand,
                          host::kMessageFocusLost, host::kMessageFocusGained})
        EXPECT_GE(counts[kind], 20) << kind;

    const GXKeyList keys = host::GxCurrentKeys();
    bool focused = true;
    for (const Taken& t : messages) {
        if (t.message == host::kMessageKeyDown || t.message == host::kMessageKeyUp) {
            const auto code = static_cast<int16_t>(t.wordParam & 0xFFFF);
            EXPECT_NE(code, keys.a.code);
            EXPECT_NE(code, keys.b.code);
            EXPECT_NE(code, keys.c.code);
            EXPECT_NE(code, keys.start.code);
        }
        // Lost and gained alternate, lost first.
        if (t.message == host::kMessageFocusLost) {
            EXPECT_TRUE(focused);
            focused = false;
        }
        if (t.message == host::kMessageFocusGained) {
            EXPECT_FALSE(focused);
            focused = true;
        }
    }
    EXPECT_TRUE(focused);

    // The seed fixes the sequence.
    uint64_t again = 0;
    const std::vector<Taken> same = Storm(5000, 7, &again);
    ASSERT_EQ(same.size(), messages.size());
    for (size_t i = 0; i < same.size(); ++i) {
        EXPECT_EQ(same[i].message, messages[i].message);
        EXPECT_EQ(same[i].wordParam, messages[i].wordParam);
    }
    const std::vector<Taken> other = Storm(5000, 8, &again);
    bool differs = other.size() != messages.size();
    for (size_t i = 0; !differs && i < other.size(); ++i)
        differs = other[i].message != messages[i].message;
    EXPECT_TRUE(differs);
}

TEST(InputStorm, ALostFocusIsRegainedEvenWhenTheCountRunsOutFirst) {
    // Small counts end inside a focus loss now and then; each must end focused.
    for (uint32_t seed = 1; seed <= 64; ++seed) {
        uint64_t posted = 0;
        const std::vector<Taken> messages = Storm(40, seed, &posted);
        int balance = 0;
        for (const Taken& t : messages) {
            if (t.message == host::kMessageFocusLost) ++balance;
            if (t.message == host::kMessageFocusGained) --balance;
        }
        EXPECT_EQ(balance, 0) << seed;
    }
}

} // namespace
