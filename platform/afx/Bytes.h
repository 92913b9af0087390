// Little-endian packing of the fixed-width numbers that files and messages
// hold, in one place: reads from bytes the caller has checked are there,
// appends to a byte vector. Nothing else in the game shifts bytes by hand.
#pragma once

#include <cstdint>
#include <vector>

inline uint16_t AfxGetLE16(const uint8_t* p) { return uint16_t(p[0] | (uint16_t(p[1]) << 8)); }
inline uint32_t AfxGetLE32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void AfxPutLE16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
inline void AfxPutLE32(std::vector<uint8_t>& out, uint32_t v) {
    AfxPutLE16(out, uint16_t(v));
    AfxPutLE16(out, uint16_t(v >> 16));
}
