// Getting pictures onto the screen: a rectangle of a bottom-up DIB (24-bit,
// or 8-bit through its colour table) is copied into a window's surface and
// that rectangle alone is presented. The views and dialogs call this once
// per changed rectangle; nothing else of the screen is touched.
#pragma once

#include <cstdint>

#include "platform/win/Wnd.h"

struct GfxPicture {
    const uint8_t* bits = nullptr;  // bottom row first
    int width = 0;
    int height = 0;
    int stride = 0;
    int bitCount = 24;                // 24, or 8 with `colours`
    const uint8_t* colours = nullptr;  // 256 entries of blue, green, red, 0
};

// Copies w x h pixels from (sx, sy) of `picture` (top-down coordinates) to
// (x, y) of the window's client area, clipped to both, and presents them
// unless `present` is false. Returns the client rectangle written (empty
// when nothing was).
CRect GfxBlit(CWnd* wnd, int x, int y, int w, int h, const GfxPicture& picture, int sx, int sy, bool present = true);
