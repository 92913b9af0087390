// The one place the battlefield's data maps (altitude and zones) are read
// from pictures: an 8-bit picture of at least 600 x 400 pixels whose pixel
// (x, y) (y from the top) gives, through the red byte of its colour entry,
// the byte of the 5 x 5 field cell (x, y).
#pragma once

#include <vector>

#include "platform/afx/Afx.h"

constexpr int kMapColumns = 600;
constexpr int kMapRows = 400;

// Fills `cells` (600 x 400, column-major: cell (x, y) is x * 400 + y).
// A picture that cannot be read, or is not 8-bit, or is smaller than
// 600 x 400, is refused with an "ERROR: ..." message naming it (`what` says
// which map it was meant for) and `cells` is left alone.
BOOL ReadMapPicture(const char* name, const char* what, std::vector<BYTE>& cells);

class CDIB;
// The same from a picture already read (the file loader and the fuzzer).
BOOL MapBytesFromPicture(const CDIB& dib, const char* name, const char* what, std::vector<BYTE>& cells);
