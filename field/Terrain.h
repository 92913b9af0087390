// CTerrain: one feature placed on the battlefield (a building, gate, bridge,
// wall piece, key point...) at a position with a facing, an optional
// animated icon and up to five states. Each state owns a region, the
// rectangles the feature covers in that state, by which the battle grid
// files it. Features count down to state 3, walk their icon frames from one
// state to the next, and garrison features (flag bit 2) count the elements
// standing in them.
//
// CKeyPoint is a feature that is captured when its countdown runs out.
//
// Stored (schema 1, versionable) as: int32 version 7, objectType, value, x,
// y, facing. Older versions 0..6 load; any other version is reported and
// the load is aborted with an archive exception.
#pragma once

#include <memory>
#include <vector>

#include "field/ArmyLinks.h"
#include "field/Route.h"
#include "platform/afx/Afx.h"

class CArmyElement;
class CBattleGrid;
class CTerrainRectRecord;

// What a feature tells its icon on screen. The view's icon implements it;
// the feature never reads the icon back, so the simulation does not depend
// on drawing.
class ITerrainIcon {
public:
    virtual ~ITerrainIcon() = default;
    virtual void SetAnimation(int word0, int frame) = 0;
    virtual void SetFrame(int frame) = 0;
    // Depth with re-sort of the icon list.
    virtual void SetDepth(int depth) = 0;
};

// The rectangles one state of a feature covers, in field units, with what
// the state record says of them.
class CTerrainRegion {
public:
    // Builds the region of state `state` of `record` for a feature at (x, y).
    CTerrainRegion(int state, int x, int y, const CTerrainRectRecord& record);

    std::vector<CRect> rects;  // at most 10
    int32_t depthMode = 0;
    int32_t spare = -1;
    int32_t valueB = 15;
    int32_t valueC = 100;
    BYTE blocking = 0;
    int32_t valueD = 1;
    int32_t stateIndex = 0;
    BYTE loop = 0;
    int32_t firstFrame = 0;
    int32_t lastFrame = 0;

    CRect GetBounds() const;
};

class CTerrain : public CObject {
    DECLARE_SERIAL(CTerrain)
public:
    enum : DWORD {
        kFlagBattlefield = 1u << 0,
        kFlagGarrison = 1u << 2,
        kFlagBit3 = 1u << 3,
        kFlagBit4 = 1u << 4,
        kFlagBit7 = 1u << 7,
        kFlagMark = 1u << 9,
        kFlagCrowded = 1u << 11,
        kFlagEnemy = 1u << 12,
        kFlagBit13 = 1u << 13,
    };

    CTerrain();
    // Facing comes only from Serialize: the reset sets it back to -1.
    CTerrain(int objectType, int value, int facing, int x, int y, int anchorX, int anchorY);
    ~CTerrain() override;

    void Reset();
    // Builds the regions from the record, sets the family flags from the
    // object type and enters the feature into the grid. `grid` and `icon`
    // may be null (no filing, no picture).
    void Setup(const CTerrainRectRecord& record, CBattleGrid* grid, ITerrainIcon* icon);
    void Serialize(CArchive& ar) override;

    // The countdown step: the unit (may be null) is the one that triggers
    // the feature.
    virtual void Update(int ticks, CArmyElement* unit);
    void UpdateRegion();
    void CheckOccupants();

    void TraverseRegion(std::vector<CRect>& out, int state) const;
    void CollectCurrentRegion(std::vector<CRect>& out) const;
    // Bounds of the current region (state 0 with `flag` on a garrison); an
    // empty region gives (0, 0, 0, 0).
    void CollectRegion(CRect& out, BOOL flag) const;
    BOOL IntersectsRect(int left, int top, int right, int bottom) const;
    BOOL CrossesLine(const CTerrain& other) const;
    void GetAnchorPoint(CPoint& out) const;
    void PrepareRoute();
    void SetState(int state);

    BOOL GetFlagBit2() const { return (m_flags & kFlagGarrison) != 0; }
    BOOL GetFlagBit3() const { return (m_flags & kFlagBit3) != 0; }
    BOOL GetFlagBit7() const { return (m_flags & kFlagBit7) != 0; }
    BOOL GetFlagBit12() const { return (m_flags & kFlagEnemy) != 0; }

    int GetX() const { return m_x; }
    int GetY() const { return m_y; }
    const CTerrainRegion* GetRegion(int state) const {
        return state >= 0 && state < 5 ? m_regions[state].get() : nullptr;
    }
    const CTerrainRegion* GetCurrentRegion() const { return GetRegion(m_currentState); }
    int GetDepth() const { return m_depth; }

    int32_t m_version = -1;
    BYTE m_animated = 0;
    int32_t m_x = -1000, m_y = -1000;
    int32_t m_objectType = 0;
    int32_t m_value = 0;
    BYTE m_snapToCells = 0;
    int32_t m_facing = -1;
    int32_t m_frame = -1;
    BYTE m_countdownActive = 0;
    int32_t m_moralePenalty = -1;
    int32_t m_countdown = -1;
    int32_t m_currentState = 0;
    int32_t m_nextState = 0;
    std::unique_ptr<CTerrainRegion> m_regions[5];
    CBattleGrid* m_grid = nullptr;
    ITerrainIcon* m_icon = nullptr;
    int32_t m_ownCount = 0;
    int32_t m_otherCount = 0;
    int32_t m_graceTicks = 0;
    CRoute m_route;
    int32_t m_armyFilter = -1;
    DWORD m_flags = 0;
    int32_t m_anchorX = -1000, m_anchorY = -1000;
    CRoute m_slotRoute;
    // The icon depth last given (drawing reads it; the simulation does not).
    int32_t m_depth = 0;

protected:
    // The frame one step on from `frame` through the range of `region`.
    static int StepFrame(const CTerrainRegion& region, int frame, bool* atEnd);
};

class CKeyPoint : public CTerrain {
    DECLARE_SERIAL(CKeyPoint)
public:
    CKeyPoint();
    CKeyPoint(int objectType, int value, int x, int y, IBattleArmy* owner);

    void Update(int ticks, CArmyElement* unit) override;
    BOOL IsReady() const;
    BOOL IsFresh() const;

    int32_t m_previousMark = -2000;
    int32_t m_lastMark = -1000;
    IBattleArmy* m_owner = nullptr;
};
