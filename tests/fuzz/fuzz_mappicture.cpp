// Reads arbitrary bytes as a battlefield map picture (".giz") and takes the
// altitude or zone bytes from it.
#include <cstdint>
#include <vector>

#include "Animate/DIB.h"
#include "field/MapPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = [] {
        AfxSetMessageBoxHandler([](const char*, const char*, UINT) { return IDOK; });
        return true;
    }();
    (void)quiet;
    CMemFile file(data, size);
    CDIB dib;
    if (dib.ReadGiz(&file)) {
        std::vector<BYTE> cells;
        MapBytesFromPicture(dib, "fuzz.giz", "altitude", cells);
    }
    return 0;
}
