// CMove: a small record of four doubles, a flag and a number that archives
// may hold; it is only ever read and written through its own Serialize.
#pragma once

#include "platform/afx/Afx.h"

class CMove : public CObject {
    DECLARE_SERIAL(CMove)
public:
    CMove() = default;
    ~CMove() override = default;

    // Stores version 1 (41 bytes). Loads any version; one other than 1
    // holds no Extra (37 bytes), which then reads as 0.
    void Serialize(CArchive& ar) override;

    double m_first = 0, m_second = 0, m_third = 0, m_fourth = 0;
    BYTE m_flag = 0;
    int32_t m_extra = 0;
    int32_t m_version = 1;
};
