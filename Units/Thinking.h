// CThinking: a small record of the computer commander's state, two slots of
// a value and two flags each. An army keeps them in a map by number; each
// record stores itself as 12 raw bytes with no version.
#pragma once

#include "platform/afx/Afx.h"

class CThinking : public CObject {
    DECLARE_SERIAL(CThinking)
public:
    CThinking() = default;
    ~CThinking() override = default;

    void Serialize(CArchive& ar) override;

    uint32_t m_values[2] = {0x66858585u, 0x66858585u};
    BYTE m_flagsA[2] = {0, 0};
    BYTE m_flagsB[2] = {0, 0};
};
