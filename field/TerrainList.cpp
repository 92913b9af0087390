#include "field/TerrainList.h"

#include <unordered_set>

#include "core/Helpers.h"

IMPLEMENT_SERIAL(CTerrainList, CObList, 0)

CTerrainList::~CTerrainList() { DeleteAll(); }

void CTerrainList::DeleteAll() {
    while (!IsEmpty()) delete RemoveHead();
}

void CTerrainList::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        CObList::Serialize(ar);
        return;
    }
    DeleteAll();
    try {
        DWORD count = ar.ReadCount();
        std::unordered_set<CObject*> seen;  // membership only, never walked
        while (count--) {
            CObject* object = ar.ReadObject(RUNTIME_CLASS(CTerrain));
            if (!object) continue;
            // An archive may name an object it has already given: the list
            // owns each feature once.
            if (!seen.insert(object).second) ar.Fail(CArchiveException::badIndex);
            AddTail(object);
        }
    } catch (const CException&) {
        DeleteAll();
        throw;
    }
}

int CTerrainList::AddUnique(CTerrain* terrain, BOOL always) {
    if (!always && Find(terrain)) return 0;
    AddTail(terrain);
    return 1;
}

int CTerrainList::CountInRect(int left, int top, int right, int bottom) const {
    CRect r(left, top, right, bottom);
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CTerrain* t = GetTerrain(pos);
        if (r.PtInRect(CPoint(t->m_x, t->m_y))) ++n;
    }
    return n;
}

int CTerrainList::CountPointsInRect(int left, int top, int right, int bottom) const {
    CRect r(left, top, right, bottom);
    int n = 0;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CTerrain* t = GetTerrain(pos);
        for (POSITION p = t->m_slotRoute.GetHeadPosition(); p;)
            if (r.PtInRect(t->m_slotRoute.GetNext(p))) ++n;
    }
    return n;
}

void CTerrainList::ApplyBattlefieldFlag(int value) {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CTerrain* t = GetTerrain(pos);
        if (t->m_flags & (CTerrain::kFlagBit7 | CTerrain::kFlagGarrison | CTerrain::kFlagBit3)) {
            t->m_armyFilter = value;
            if (value == 0) t->m_flags |= CTerrain::kFlagBattlefield; else t->m_flags &= ~CTerrain::kFlagBattlefield;
        } else {
            t->m_flags &= ~CTerrain::kFlagBattlefield;
        }
    }
}

void CTerrainList::UpdateAll() {
    for (POSITION pos = GetHeadPosition(); pos;) {
        CTerrain* t = GetTerrain(pos);
        t->UpdateRegion();
        if (t->GetFlagBit2()) t->CheckOccupants();
    }
}

void CTerrainList::ClearMarks() {
    for (POSITION pos = GetHeadPosition(); pos;) GetTerrain(pos)->m_flags &= ~CTerrain::kFlagMark;
}

CTerrain* CTerrainList::DetachByType(int objectType) {
    for (POSITION pos = GetHeadPosition(); pos;) {
        POSITION at = pos;
        CTerrain* t = GetTerrain(pos);
        if (t->m_objectType == objectType) {
            RemoveAt(at);
            return t;
        }
    }
    return nullptr;
}

BOOL CTerrainList::AnyAreaCrosses(const CTerrain& terrain) const {
    for (POSITION pos = GetHeadPosition(); pos;)
        if (GetTerrain(pos)->CrossesLine(terrain)) return TRUE;
    return FALSE;
}

CTerrain* CTerrainList::FindNearest(int x, int y, int maxDistance, DWORD mask) const {
    CTerrain* best = nullptr;
    int bestDistance = maxDistance;
    for (POSITION pos = GetHeadPosition(); pos;) {
        CTerrain* t = GetTerrain(pos);
        if (t->m_flags & mask) continue;
        CPoint a;
        t->GetAnchorPoint(a);
        int d = Round(GetDistance(a.x, a.y, x, y, false));
        if (d <= bestDistance && (!best || d < bestDistance)) {
            bestDistance = d;
            best = t;
        }
    }
    return best;
}
