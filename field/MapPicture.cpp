#include "field/MapPicture.h"

#include "Animate/DIB.h"
#include "core/Helpers.h"

BOOL ReadMapPicture(const char* name, const char* what, std::vector<BYTE>& cells) {
    CDIB dib;
    if (!dib.Load(name)) {
        ShowMessage("ERROR: Cannot read the %s picture %s", what, name);
        return FALSE;
    }
    return MapBytesFromPicture(dib, name, what, cells);
}

BOOL MapBytesFromPicture(const CDIB& dib, const char* name, const char* what, std::vector<BYTE>& cells) {
    if (dib.GetBitCount() != 8 || dib.GetWidth() < kMapColumns || dib.GetHeight() < kMapRows) {
        ShowMessage("ERROR: The %s picture %s must be an 8-bit picture of at least 600 x 400 pixels (it is %d x %d, %d-bit)",
                    what, name, dib.GetWidth(), dib.GetHeight(), dib.GetBitCount());
        return FALSE;
    }
    const RGBQUAD* colors = dib.GetBitmapInfo()->bmiColors;
    std::vector<BYTE> out(size_t(kMapColumns) * kMapRows);
    for (int y = 0; y < kMapRows; ++y) {
        const BYTE* row = dib.GetPixelAddress(0, y);
        if (!row) return FALSE;
        for (int x = 0; x < kMapColumns; ++x) out[size_t(x) * kMapRows + size_t(y)] = colors[row[x]].rgbRed;
    }
    cells.swap(out);
    return TRUE;
}
