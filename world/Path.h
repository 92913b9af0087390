// CPath: a stored path of the world (a name, an id, nine stored figures and
// a list of points); CPathList: the document's paths, stored with the world
// and saved-game files. The figures' meaning lies with the world data; they
// are kept and written unchanged.
#pragma once

#include <cstdint>
#include <vector>

#include "world/RecordIO.h"
#include "platform/afx/Afx.h"

class CPath : public CObject {
    DECLARE_SERIAL(CPath)
public:
    CPath() = default;

    // Id, the nine figures, the name, then the points (count, x and y each).
    void Serialize(CArchive& ar) override;

    CString name;
    int32_t id = 0;
    int32_t values[9] = {0, 0, 0, 50, 50, 1, 100000, 0, 0};
    std::vector<CPoint> points;
};

class CPathList : public CObList {
    DECLARE_SERIAL(CPathList)
public:
    ~CPathList() override { DeleteAll(); }
    void DeleteAll() { DeleteListElements(*this); }
    void Serialize(CArchive& ar) override;
};
