// Reads arbitrary bytes as a battlefield's path database (".pth") and looks
// its pairs up both ways.
#include <cstdint>
#include <vector>

#include "field/RouteDatabase.h"
#include "core/PointList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = [] {
        AfxSetMessageBoxHandler([](const char*, const char*, UINT) { return IDOK; });
        return true;
    }();
    (void)quiet;
    CRouteDatabase db("", 200, 133);
    if (db.LoadBytes(std::vector<BYTE>(data, data + size), "fuzz.pth")) {
        for (size_t at = 8; at + 4 < size && at < 64; at += 4) {
            CPointList out;
            int flags = 0;
            db.Lookup(data[at] % 200, data[at + 1] % 133, data[at + 2] % 200, data[at + 3] % 133, out, &flags);
        }
    }
    return 0;
}
