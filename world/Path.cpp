#include "world/Path.h"

IMPLEMENT_SERIAL(CPath, CObject, 1)

void CPath::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << id;
        for (int32_t v : values) ar << v;
        ar << name;
        ar.WriteCount(DWORD(points.size()));
        for (const CPoint& p : points) ar << int32_t(p.x) << int32_t(p.y);
        return;
    }
    ar >> id;
    for (int32_t& v : values) ar >> v;
    ar >> name;
    std::vector<CPoint> read;
    // Grows only as far as the file really holds points.
    for (DWORD n = ar.ReadCount(); n > 0; --n) {
        int32_t x, y;
        ar >> x >> y;
        read.push_back(CPoint(x, y));
    }
    points = std::move(read);
}

IMPLEMENT_SERIAL(CPathList, CObList, 1)

void CPathList::Serialize(CArchive& ar) { SerializeOwnedList(ar, *this, RUNTIME_CLASS(CPath)); }
