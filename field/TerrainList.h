// CTerrainList: the owning list of every terrain feature of the battle in
// progress, in map order, and their per-tick work. Stored as the list's
// objects with their runtime classes, so key points come back as key points.
#pragma once

#include "field/Terrain.h"
#include "platform/afx/Afx.h"

class CTerrainList : public CObList {
    DECLARE_SERIAL(CTerrainList)
public:
    CTerrainList() : CObList(10) {}
    ~CTerrainList() override;

    // Deletes every feature and empties the list.
    void DeleteAll();
    // Loading replaces the content; a load that fails leaves the list empty
    // and the exception goes on to the caller.
    void Serialize(CArchive& ar) override;

    CTerrain* GetTerrain(POSITION& pos) const { return static_cast<CTerrain*>(GetNext(pos)); }

    // With `always` appends; otherwise only a feature not yet in the list.
    int AddUnique(CTerrain* terrain, BOOL always);
    // Features whose position lies in the rectangle (right and bottom out).
    int CountInRect(int left, int top, int right, int bottom) const;
    int CountPointsInRect(int left, int top, int right, int bottom) const;
    void ApplyBattlefieldFlag(int value);
    void UpdateAll();
    void ClearMarks();
    // Removes and returns the first feature of the object type; the caller
    // owns it then.
    CTerrain* DetachByType(int objectType);
    BOOL AnyAreaCrosses(const CTerrain& terrain) const;
    // The feature whose anchor lies nearest (rounded distance) to (x, y)
    // within `maxDistance`, skipping features whose flags share a bit with
    // `mask`; the earliest on ties; null when none.
    CTerrain* FindNearest(int x, int y, int maxDistance, DWORD mask) const;
};
