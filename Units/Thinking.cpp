#include "Units/Thinking.h"

#include <cstring>

IMPLEMENT_SERIAL(CThinking, CObject, VERSIONABLE_SCHEMA | 1)

void CThinking::Serialize(CArchive& ar) {
    // Little-endian bytes of the two values, then the two pairs of flags.
    BYTE bytes[12];
    if (ar.IsStoring()) {
        for (int i = 0; i < 2; ++i)
            for (int b = 0; b < 4; ++b) bytes[4 * i + b] = BYTE(m_values[i] >> (8 * b));
        std::memcpy(bytes + 8, m_flagsA, 2);
        std::memcpy(bytes + 10, m_flagsB, 2);
        ar.Write(bytes, sizeof bytes);
        return;
    }
    ar.ReadExact(bytes, sizeof bytes);
    for (int i = 0; i < 2; ++i) {
        m_values[i] = 0;
        for (int b = 0; b < 4; ++b) m_values[i] |= uint32_t(bytes[4 * i + b]) << (8 * b);
    }
    std::memcpy(m_flagsA, bytes + 8, 2);
    std::memcpy(m_flagsB, bytes + 10, 2);
}
