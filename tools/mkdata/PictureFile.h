// The kit's picture writer below SavePicture: a picture as the game stores it
// (bottom-up rows padded to four bytes, 256-entry palette) and its encodings.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkdata/Style.h"

namespace kit {

struct DibImage {
    int width = 0, height = 0;
    int bitCount = 24;  // 8 or 24
    int coloursUsed = 0;
    std::array<std::array<uint8_t, 3>, 256> palette{};  // red, green, blue
    std::vector<uint8_t> bits;                          // bottom row first; 24-bit pixels blue, green, red
    uint32_t Stride() const;
};

// A drawn picture as stored: 24-bit as drawn, or 8-bit through a median-cut
// palette, optionally with the rounding error diffused to the neighbours so
// that soft shading keeps its look. Alpha pictures follow the sprite rule of
// SavePicture.
DibImage ToDib(const Picture& p, bool eightBit, bool dither = false);

std::vector<uint8_t> EncodeGiz(const DibImage& d);
std::vector<uint8_t> EncodeBmp(const DibImage& d);
std::vector<uint8_t> EncodeJpeg(const DibImage& d);

}  // namespace kit
