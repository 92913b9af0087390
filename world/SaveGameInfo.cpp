#include "world/SaveGameInfo.h"

static int32_t FromLE(const BYTE* b) { return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24); }

bool CSaveGameInfo::Read(CFile& file) {
    BYTE b[12];
    if (file.Read(b, 12) != 12) {
        *this = CSaveGameInfo();
        return false;
    }
    year = FromLE(b);
    battle = FromLE(b + 4);
    saveTime = FromLE(b + 8);
    return true;
}

void CSaveGameInfo::Write(CFile& file) const {
    BYTE b[12];
    const int32_t v[3] = {year, battle, saveTime};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 4; ++k) b[4 * i + k] = BYTE(uint32_t(v[i]) >> (8 * k));
    file.Write(b, 12);
}
