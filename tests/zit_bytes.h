// A ".zit" file made in memory for the tests: the header, then the texels,
// low byte first.
#pragma once
#include "resource/zit.h"

#include <string>
#include <vector>

inline std::string ZitBytes(uint16_t width, uint16_t height, const std::vector<uint16_t>& texels) {
    std::string bytes(kZitHeaderBytes, '\0');
    ZitWriteHeader(reinterpret_cast<uint8_t*>(bytes.data()), {width, height});
    for (uint16_t t : texels) {
        bytes += static_cast<char>(t & 0xFF);
        bytes += static_cast<char>(t >> 8);
    }
    return bytes;
}
