// Reads arbitrary bytes as the shell's small records: a calendar time, then
// a list of rectangles, then as many more times as remain.
#include <cstdint>

#include "platform/afx/Afx.h"
#include "core/GameTime.h"
#include "core/PointList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CMemFile file(data, size);
    CArchive ar(&file, CArchive::load);
    try {
        CGameTime t;
        t.Serialize(ar);
        (void)t.GetHour();
        CRectList rects;
        rects.Serialize(ar);
        (void)rects.GetBounds();
        for (int i = 0; i < 64; ++i) {
            CGameTime more;
            more.Serialize(ar);
            more.SetHour(more.GetRaw() & 0xFF);
            more.AddSpan(1, 2, 3, 4);
        }
    } catch (const CException&) {
    }
    return 0;
}
