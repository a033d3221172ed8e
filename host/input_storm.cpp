#include "host/input_storm.h"

#include "host/device.h"
#include "host/gx.h"
#include "host/messages.h"
#include "host/window.h"

namespace host {
namespace {

// The storm has a generator of its own: the program's pseudo-random numbers
// must not move because the device was busy.
uint32_t Next(InputStorm* storm) {
    storm->state = storm->state * 1664525u + 1013904223u;
    return storm->state >> 8;
}

uint32_t Below(InputStorm* storm, uint32_t n) {
    return Next(storm) % n;
}

bool EndsProgram(uint16_t code) {
    const GXKeyList& keys = GxCurrentKeys();
    for (int16_t quit : {keys.a.code, keys.b.code, keys.c.code, keys.start.code}) {
        if (static_cast<uint16_t>(quit) == code) return true;
    }
    return false;
}

uint16_t KeyCode(InputStorm* storm) {
    static constexpr uint16_t kDirections[] = {kKeyCodeUp, kKeyCodeDown, kKeyCodeLeft,
                                               kKeyCodeRight};
    if (Below(storm, 4) != 0) return kDirections[Below(storm, 4)];
    uint16_t code;
    do {
        code = static_cast<uint16_t>(Next(storm));
    } while (EndsProgram(code));
    return code;
}

void PostToInputWindow(uint32_t message, uint32_t wordParam, int32_t longParam) {
    const WindowHandle window = DeviceInputWindow();
    if (window != nullptr) PostMessage(window, message, wordParam, longParam);
}

// One message; a focus loss counts two (lost now, gained a little later).
void PostOne(InputStorm* storm) {
    if (storm->regainIn != 0 && --storm->regainIn == 0) {
        if (!DeviceFocus(true)) storm->regainIn = 1; // the queue is full: at the next message
        return;
    }
    const uint32_t kind = Below(storm, 100);
    if (kind < 40) {
        DevicePressKey(KeyCode(storm), Below(storm, 2) == 0);
    } else if (kind < 75) {
        static constexpr uint32_t kStylus[] = {kMessageStylusMove, kMessageStylusDown,
                                               kMessageStylusUp};
        const int32_t x = static_cast<int32_t>(Below(storm, 2000)) - 1000;
        const int32_t y = static_cast<int32_t>(Below(storm, 2000)) - 1000;
        DeviceStylus(kStylus[Below(storm, 3)], x, y);
    } else if (kind < 85) {
        PostToInputWindow(kMessagePaint, 0, 0);
    } else if (kind < 90) {
        PostToInputWindow(kMessageSettingChange, Next(storm), static_cast<int32_t>(Next(storm)));
    } else if (kind < 93) {
        PostToInputWindow(kMessageCommand, Next(storm), static_cast<int32_t>(Next(storm)));
    } else if (storm->regainIn == 0 && storm->remaining >= 2) {
        DeviceFocus(false);
        storm->regainIn = 1 + Below(storm, 40);
    } else {
        DevicePressKey(KeyCode(storm), false);
    }
}

} // namespace

void InputStormStart(InputStorm* storm, uint64_t messages, uint32_t burst, uint32_t seed) {
    *storm = InputStorm{};
    storm->remaining = messages;
    storm->burst = burst == 0 ? 1 : burst;
    storm->state = seed;
}

void InputStormBurst(InputStorm* storm) {
    for (uint32_t i = 0; i < storm->burst && storm->remaining != 0; ++i) {
        PostOne(storm);
        --storm->remaining;
        ++storm->posted;
    }
    if (storm->remaining == 0 && storm->regainIn != 0 && DeviceFocus(true)) {
        storm->regainIn = 0;
        ++storm->posted;
    }
}

bool InputStormOver(const InputStorm& storm) {
    return storm.remaining == 0 && storm.regainIn == 0;
}

} // namespace host
