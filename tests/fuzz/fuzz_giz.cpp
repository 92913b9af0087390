// Reads arbitrary bytes as the game's own ".giz" picture format.
#include <cstdint>

#include "Animate/DIB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemFile file(data, size);
    CDIB p;
    if (p.ReadGiz(&file)) {
        // Touch the corners: a loaded picture must be addressable everywhere.
        volatile BYTE sink = *p.GetPixelAddress(0, 0);
        sink = *p.GetPixelAddress(p.GetWidth() - 1, p.GetHeight() - 1);
        (void)sink;
    }
    return 0;
}
