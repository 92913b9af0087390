// Helpers that run Serialize through an in-memory archive, for round trips
// and hand-written byte fixtures.
#pragma once

#include <vector>

#include "platform/afx/Afx.h"

template <typename F>
std::vector<BYTE> StoreBytes(F&& write) {
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        write(ar);
        ar.Close();
    }
    return file.Data();
}

template <typename F>
void LoadBytes(const std::vector<BYTE>& bytes, F&& read) {
    CMemFile file(bytes.data(), bytes.size());
    CArchive ar(&file, CArchive::load);
    read(ar);
}

// Little-endian byte builders for fixtures (the game's own packing).
inline void PutW(std::vector<BYTE>& v, WORD w) { AfxPutLE16(v, w); }
inline void PutD(std::vector<BYTE>& v, DWORD d) { AfxPutLE32(v, d); }
inline void PutS(std::vector<BYTE>& v, const char* s) { v.insert(v.end(), s, s + strlen(s)); }
