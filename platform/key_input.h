// Key input: the device's buttons as a word of key bits, set and cleared by
// the key messages that the application's message hook passes on.
#pragma once
#include "host/gx.h"

#include <cstdint>

constexpr uint32_t KeyUp = 1;
constexpr uint32_t KeyDown = 2;
constexpr uint32_t KeyLeft = 4;
constexpr uint32_t KeyRight = 8;
constexpr uint32_t KeyA = 16;
constexpr uint32_t KeyB = 32;
constexpr uint32_t KeyC = 64;
constexpr uint32_t KeyStart = 4096;

class KeyInput {
  public:
    KeyInput(); // opens the input
    virtual ~KeyInput();
    KeyInput(const KeyInput&) = delete;
    KeyInput& operator=(const KeyInput&) = delete;

    int32_t opened = 0;
    uint32_t keys = 0;
};

// The library's default key list, shared by every KeyInput; all zero until
// the first KeyInputOpen.
extern GXKeyList defaultKeys;

void KeyInputOpen(KeyInput* input);
void KeyInputClose(KeyInput* input);
// down non-zero sets, zero clears the bit of the button whose code this is.
void KeyInputSetKey(KeyInput* input, int32_t down, uint32_t code);
