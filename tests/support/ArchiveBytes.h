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

// Little-endian byte builders for fixtures.
inline void PutW(std::vector<BYTE>& v, WORD w) {
    v.push_back(BYTE(w));
    v.push_back(BYTE(w >> 8));
}
inline void PutD(std::vector<BYTE>& v, DWORD d) {
    PutW(v, WORD(d));
    PutW(v, WORD(d >> 16));
}
inline void PutS(std::vector<BYTE>& v, const char* s) { v.insert(v.end(), s, s + strlen(s)); }
