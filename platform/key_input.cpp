#include "platform/key_input.h"

GXKeyList defaultKeys{};

namespace {

struct Button {
    GXKeyEntry GXKeyList::*entry;
    uint32_t bit;
};

// In the key list's order: the first entry with the code gives the bit.
constexpr Button kButtons[] = {
    {&GXKeyList::up, KeyUp},       {&GXKeyList::down, KeyDown},   {&GXKeyList::left, KeyLeft},
    {&GXKeyList::right, KeyRight}, {&GXKeyList::a, KeyA},         {&GXKeyList::b, KeyB},
    {&GXKeyList::c, KeyC},         {&GXKeyList::start, KeyStart},
};

} // namespace

KeyInput::KeyInput() {
    KeyInputOpen(this);
}

KeyInput::~KeyInput() {
    KeyInputClose(this);
}

void KeyInputOpen(KeyInput* input) {
    input->keys = 0;
    if (input->opened == 1) return;
    GXOpenInput();
    input->opened = 1;
    defaultKeys = GXGetDefaultKeys(kGXNormalKeys);
}

void KeyInputClose(KeyInput* input) {
    if (input->opened != 1) return;
    GXCloseInput();
    input->opened = 0;
}

// The stored codes are signed 16-bit values and the message's code runs from
// 0 to 65535, so a stored code with its high bit set never matches.
void KeyInputSetKey(KeyInput* input, int32_t down, uint32_t code) {
    uint32_t bit = 0;
    for (const Button& button : kButtons) {
        if (static_cast<int32_t>((defaultKeys.*button.entry).code) == static_cast<int32_t>(code)) {
            bit = button.bit;
            break;
        }
    }
    if (down != 0) {
        input->keys |= bit;
    } else {
        input->keys &= ~bit;
    }
}
