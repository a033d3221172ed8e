// A storm of device input for reliability runs: bursts of button presses and
// releases (any key code but those of the buttons that end a program: A, B, C
// and Start), stylus touches anywhere (off the screen too), the focus lost and
// regained, paint, setting-change and command messages. The sequence is fixed
// by its seed, so a run can be repeated; it ends with the focus regained.
#pragma once
#include <cstdint>

namespace host {

struct InputStorm {
    uint64_t remaining = 0; // messages still to post
    uint32_t burst = 0;     // messages per burst
    uint32_t state = 0;     // the sequence's generator
    uint32_t regainIn = 0;  // messages until the lost focus comes back; 0: focus held
    uint64_t posted = 0;    // messages posted so far
};

void InputStormStart(InputStorm* storm, uint64_t messages, uint32_t burst, uint32_t seed);
// Posts the next burst to the device's input window; what a full queue
// refuses is lost, but a lost focus is posted again until it is regained.
// Once the count is used up the focus is regained and nothing more is posted.
void InputStormBurst(InputStorm* storm);
bool InputStormOver(const InputStorm& storm);

} // namespace host
