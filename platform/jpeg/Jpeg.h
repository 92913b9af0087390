// JPEG reading and writing on libjpeg-turbo, in the layout the pictures use:
// 24-bit blue, green, red rows padded to a multiple of 4 bytes.
//
// Decoding refuses anything libjpeg would only half decode (corrupt or
// truncated data raise warnings, which count as errors here) and pictures
// larger than the game could ever show, so a hostile file cannot make it
// allocate without bound.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct JpegImage {
    int width = 0;
    int height = 0;
    uint32_t stride = 0;         // bytes per row: 3 x width rounded up to 4
    std::vector<uint8_t> rows;   // height rows, bottom row first
};

// The largest picture the decoder accepts, in pixels per side and in total.
constexpr int kJpegMaxSide = 16384;
constexpr int64_t kJpegMaxPixels = 32 * 1024 * 1024;

// Decodes a JPEG held in memory. False, with `error` describing why, for
// anything that is not a whole baseline or progressive JPEG of 1 or 3
// channels within the size limits.
bool JpegDecode(const uint8_t* data, size_t size, JpegImage& out, std::string& error);

// Encodes rows given top row first (stride bytes apart, blue, green, red)
// at the given quality with 2x2 chroma subsampling.
bool JpegEncode(const uint8_t* topDownRows, int width, int height, uint32_t stride, int quality,
                std::vector<uint8_t>& out, std::string& error);
