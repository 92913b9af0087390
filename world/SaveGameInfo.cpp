#include "world/SaveGameInfo.h"


bool CSaveGameInfo::Read(CFile& file) {
    BYTE b[12];
    if (file.Read(b, 12) != 12) {
        *this = CSaveGameInfo();
        return false;
    }
    year = AfxGetLE32(b);
    battle = AfxGetLE32(b + 4);
    saveTime = AfxGetLE32(b + 8);
    return true;
}

void CSaveGameInfo::Write(CFile& file) const {
    BYTE b[12];
    const int32_t v[3] = {year, battle, saveTime};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 4; ++k) b[4 * i + k] = BYTE(uint32_t(v[i]) >> (8 * k));
    file.Write(b, 12);
}
