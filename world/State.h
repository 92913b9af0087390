// CState: a province, a castle with a further block of province data.
// CStateList: the world's provinces (owning).
#pragma once

#include <vector>

#include "world/Castle.h"

class CState : public CCastle {
    DECLARE_SERIAL(CState)
public:
    CState();

    // The castle part first, then the province part: stores version 3;
    // loads 3, 2, 1 and 0. Any other version throws with
    // "ERROR: Unknown version of state file.".
    void Serialize(CArchive& ar) override;

    int32_t stateVersion = -1;
    CString title;
    CString note;
    CString label;
    std::vector<int32_t> values;
    std::vector<CString> texts;
    int32_t figures[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    CMapDWordToDWord stateMap;
};

class CStateList : public CObList {
    DECLARE_SERIAL(CStateList)
public:
    ~CStateList() override { DeleteAll(); }
    void DeleteAll() { DeleteListElements(*this); }
    void Serialize(CArchive& ar) override;
};
