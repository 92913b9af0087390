#include "field/Terrain.h"

#include <algorithm>

#include "field/BattleGrid.h"
#include "field/TerrainDB.h"
#include "core/GameTables.h"
#include "core/Helpers.h"
#include "field/ArmyElement.h"

IMPLEMENT_SERIAL(CTerrain, CObject, VERSIONABLE_SCHEMA | 1)
IMPLEMENT_SERIAL(CKeyPoint, CTerrain, VERSIONABLE_SCHEMA | 1)

CTerrainRegion::CTerrainRegion(int state, int x, int y, const CTerrainRectRecord& record) {
    const CTerrainStateRecord& s = record.states[state];
    depthMode = s.depthMode;
    valueB = s.valueB;
    valueC = s.valueC;
    blocking = s.blocking;
    valueD = s.valueD;
    loop = s.loop;
    firstFrame = s.firstFrame;
    lastFrame = s.lastFrame;
    stateIndex = state;
    spare = -1;
    for (const CRect& src : s.rects) {
        if (src.IsRectNull()) continue;
        CRect r = src;
        r.OffsetRect(x - record.originX, y - record.originY);
        if (record.snapToCells) {
            r.left = RoundDownToMultiple(r.left, 15);
            r.top = RoundDownToMultiple(r.top, 15);
            r.right = RoundUpToMultiple(r.right, 15) - 1;
            r.bottom = RoundUpToMultiple(r.bottom, 15) - 1;
        }
        rects.push_back(r);
    }
}

CRect CTerrainRegion::GetBounds() const {
    if (rects.empty()) return CRect(0, 0, 0, 0);
    CRect b = rects.front();
    for (const CRect& r : rects) {
        b.left = std::min(b.left, r.left);
        b.top = std::min(b.top, r.top);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

CTerrain::CTerrain() { Reset(); }

CTerrain::CTerrain(int objectType, int value, int facing, int x, int y, int anchorX, int anchorY)
    : m_x(x), m_y(y), m_objectType(objectType), m_value(value), m_facing(facing), m_anchorX(anchorX),
      m_anchorY(anchorY) {
    Reset();
}

CTerrain::~CTerrain() = default;

void CTerrain::Reset() {
    m_animated = 0;
    m_snapToCells = 0;
    m_countdownActive = 0;
    m_flags = 0;
    m_currentState = m_nextState = 0;
    m_frame = m_countdown = m_moralePenalty = m_facing = m_version = m_armyFilter = -1;
    for (auto& r : m_regions) r.reset();
}

void CTerrain::Setup(const CTerrainRectRecord& record, CBattleGrid* grid, ITerrainIcon* icon) {
    for (int s = 0; s < 5; ++s) {
        m_regions[s].reset();
        if (record.states[s].used) m_regions[s] = std::make_unique<CTerrainRegion>(s, m_x, m_y, record);
    }
    m_countdownActive = record.countdownActive;
    m_snapToCells = record.snapToCells;
    int type = GetObjectTypeFromResource(m_objectType);
    if ((type >= 115 && type <= 142) || (type >= 231 && type <= 239) || type == 160) m_flags |= kFlagGarrison;
    if (type >= 60 && type <= 114) m_flags |= kFlagBit7;
    if ((type >= 261 && type <= 292) || (type >= 167 && type <= 198)) m_flags |= kFlagBit3;
    if (type >= 327 && type <= 352) m_flags |= kFlagBit4;
    if (type >= 353 && type <= 358) m_flags |= kFlagBit13;
    m_currentState = m_nextState = 0;
    m_frame = record.states[0].lastFrame;
    m_countdown = record.countdown;
    m_moralePenalty = record.moralePenalty;
    m_animated = !(m_regions[1] == nullptr && m_regions[2] == nullptr && !m_countdownActive &&
                   !record.states[0].blocking);
    m_grid = grid;
    if (grid) grid->AddTerrain(this);
    m_icon = icon;
    if (icon) icon->SetAnimation(0, m_frame);
}

void CTerrain::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << LONG(7) << LONG(m_objectType) << LONG(m_value) << LONG(m_x) << LONG(m_y) << LONG(m_facing);
        return;
    }
    LONG version, v1, v2, v3, v4, skip;
    CString text;
    BYTE b;
    ar >> version;
    m_version = version;
    switch (version) {
    case 0:
        break;
    case 1:
        ar >> text >> v1 >> skip >> skip >> v2 >> skip >> v3 >> v4;
        m_value = v1, m_objectType = v2, m_x = v3, m_y = v4;
        break;
    case 2: {
        LONG l, t, r, bt;
        ar >> text >> v1 >> skip >> skip >> v2 >> skip >> l >> t >> r >> bt;
        m_value = v1, m_objectType = v2;
        m_x = int32_t((int64_t(l) + r) / 2);
        m_y = int32_t((int64_t(t) + bt) / 2);
        break;
    }
    case 3:
    case 4:
    case 5:
        ar >> v1 >> v2 >> v3 >> v4;
        m_objectType = GetObjectResourceNumber(v1), m_value = v2, m_x = v3, m_y = v4;
        if (version == 4) ar >> b;
        break;
    case 6:
    case 7:
        ar >> v1 >> v2 >> v3 >> v4;
        m_objectType = v1, m_value = v2, m_x = v3, m_y = v4;
        if (version == 7) {
            ar >> v1;
            m_facing = v1;
        }
        break;
    default:
        // Reading on would take the next feature's bytes for this one's.
        ShowMessage("ERROR: Unknown version of terrain file.");
        ar.Fail(CArchiveException::badSchema);
    }
}

void CTerrain::Update(int ticks, CArmyElement* unit) {
    if (!m_countdownActive || m_countdown <= 0) return;
    if (m_countdown > ticks) {
        m_countdown -= ticks;
        return;
    }
    m_countdown = 0;
    m_nextState = 3;
    if (!GetFlagBit2() || !unit) return;
    IBattleBattalion* battalion = unit->GetBattalionLink();
    IBattleDivision* division = battalion ? battalion->GetDivisionLink() : nullptr;
    IBattleArmy* army = division ? division->GetArmyLink() : nullptr;
    if (!army) return;
    if (army->ShowsBattleMessages()) division->AddBattleMessage(24, -2, division->GetIndex());
    if (IBattleArmy* enemy = army->GetOpposingArmy()) enemy->AdjustMorale(-double(m_moralePenalty));
}

int CTerrain::StepFrame(const CTerrainRegion& region, int frame, bool* inside) {
    *inside = true;
    if (frame == region.lastFrame) return region.loop ? region.firstFrame : region.lastFrame;
    if (region.lastFrame > region.firstFrame && region.firstFrame <= frame && frame < region.lastFrame)
        return frame + 1;
    if (region.lastFrame < region.firstFrame && region.lastFrame < frame && frame <= region.firstFrame)
        return frame - 1;
    *inside = false;
    return region.firstFrame;
}

void CTerrain::UpdateRegion() {
    if (!m_animated) return;
    const CTerrainRegion* current = GetRegion(m_currentState);
    const CTerrainRegion* next = GetRegion(m_nextState);
    if (m_currentState == m_nextState) {
        if (current) {
            if (m_frame == current->lastFrame) {
                if (m_currentState == 3)
                    m_nextState = 4;
                else if (current->loop)
                    m_frame = current->firstFrame;
            } else {
                bool inside;
                m_frame = StepFrame(*current, m_frame, &inside);
            }
        }
    } else if (!next) {
        // A state without rectangles: the feature leaves the grid's cells.
        if (m_grid && current) m_grid->MoveTerrain(current->rects, {}, this);
        m_currentState = m_nextState;
    } else {
        if (m_grid) {
            for (const CRect& r : next->rects)
                if (m_grid->AnyElementInRect(r)) return;
        }
        bool inside;
        int f = StepFrame(*next, m_frame, &inside);
        if (!inside && current) f = StepFrame(*current, m_frame, &inside);
        if (f == next->lastFrame) {
            if (m_grid) m_grid->MoveTerrain(current ? current->rects : std::vector<CRect>{}, next->rects, this);
            m_currentState = m_nextState;
        }
        m_frame = f;
    }
    if (const CTerrainRegion* now = GetRegion(m_currentState)) {
        m_depth = now->depthMode == 1 ? 16000 : (now->depthMode == 2 ? 18100 : m_y + 16020);
        if (m_icon) m_icon->SetDepth(m_depth);
    }
    if (m_icon) m_icon->SetFrame(m_frame);
}

void CTerrain::CheckOccupants() {
    if (!m_grid) return;
    CRect area;
    CollectRegion(area, FALSE);
    area.InflateRect(150, 150);
    CObList own, other;
    m_grid->GetElementsInRect(area, &own, &other, m_armyFilter);
    auto counted = [](CObList& list) {
        int n = 0;
        for (POSITION pos = list.GetHeadPosition(); pos;)
            if (static_cast<CArmyElement*>(list.GetNext(pos))->IsCountedOccupant()) ++n;
        return n;
    };
    m_ownCount = counted(own);
    m_otherCount = counted(other);
    if (m_currentState == 1 && m_countdown > 0) {
        if (m_graceTicks >= 1)
            --m_graceTicks;
        else if ((m_ownCount == 0 || m_otherCount > 0) && m_nextState != 3)
            m_nextState = 0;
    }
    if (m_otherCount > 0) m_flags |= kFlagEnemy; else m_flags &= ~kFlagEnemy;
    bool crowded = double(m_ownCount) > 1.5 * double(m_slotRoute.GetCount());
    if (crowded)
        m_flags |= kFlagCrowded;
    else if (!(m_otherCount > 0))
        m_flags &= ~kFlagCrowded;
}

void CTerrain::TraverseRegion(std::vector<CRect>& out, int state) const {
    const CTerrainRegion* region = GetRegion(state == -1 ? m_currentState : state);
    if (region) out.insert(out.end(), region->rects.begin(), region->rects.end());
}

void CTerrain::CollectCurrentRegion(std::vector<CRect>& out) const {
    TraverseRegion(out, GetFlagBit2() ? 0 : m_currentState);
}

void CTerrain::CollectRegion(CRect& out, BOOL flag) const {
    const CTerrainRegion* region = GetRegion(flag && GetFlagBit2() ? 0 : m_currentState);
    out = region ? region->GetBounds() : CRect(0, 0, 0, 0);
}

static bool Meets(const CRect& a, int left, int top, int right, int bottom) {
    return std::max<int>(a.left, left) <= std::min<int>(a.right, right) &&
           std::max<int>(a.top, top) <= std::min<int>(a.bottom, bottom);
}

BOOL CTerrain::IntersectsRect(int left, int top, int right, int bottom) const {
    const CTerrainRegion* region = GetRegion(GetFlagBit2() ? 1 : 0);
    if (!region) return FALSE;
    for (const CRect& r : region->rects)
        if (Meets(r, left, top, right, bottom)) return TRUE;
    return FALSE;
}

BOOL CTerrain::CrossesLine(const CTerrain& other) const {
    CRect a, b;
    const CTerrainRegion* ra = GetRegion(GetFlagBit2() ? 0 : m_currentState);
    const CTerrainRegion* rb = other.GetRegion(other.GetFlagBit2() ? 0 : other.m_currentState);
    if (!ra || !rb || ra->rects.empty() || rb->rects.empty()) return FALSE;
    a = ra->GetBounds(), b = rb->GetBounds();
    return Meets(a, b.left, b.top, b.right, b.bottom);
}

void CTerrain::GetAnchorPoint(CPoint& out) const {
    if (m_anchorX != -1000 || m_anchorY != -1000) {
        out = CPoint(m_anchorX, m_anchorY);
        return;
    }
    static const int kDx[8] = {0, -7, -10, -7, 0, 7, 10, 7};
    static const int kDy[8] = {10, 7, 0, -7, -10, -7, 0, 7};
    if (m_facing >= 0 && m_facing < 8)
        out = CPoint(m_x + kDx[m_facing], m_y + kDy[m_facing]);
    else
        out = CPoint(m_x, m_y);
}

void CTerrain::PrepareRoute() {
    if (GetFlagBit2() && m_facing > 0) m_slotRoute.Offset(m_facing, 10, FALSE);
    if (m_anchorX == -1000 && m_anchorY == -1000) {
        CPoint a;
        GetAnchorPoint(a);
        m_anchorX = a.x, m_anchorY = a.y;
    }
}

void CTerrain::SetState(int state) {
    if (m_nextState == 3 && state != 4) return;
    m_nextState = state;
}

CKeyPoint::CKeyPoint() = default;

CKeyPoint::CKeyPoint(int objectType, int value, int x, int y, IBattleArmy* owner)
    : CTerrain(objectType, value, -1, x, y, x, y), m_owner(owner) {}

void CKeyPoint::Update(int ticks, CArmyElement* unit) {
    m_previousMark = m_lastMark;
    m_lastMark = m_owner ? m_owner->GetTick() : 0;
    if (m_countdown <= 0) return;
    if (m_countdown > ticks) {
        m_countdown -= ticks;
        return;
    }
    m_countdown = 0;
    SetState(3);
    if (!unit) return;
    IBattleBattalion* battalion = unit->GetBattalionLink();
    if (!battalion) return;
    battalion->AdjustMorale(300.0);
    battalion->AddCapture();
    IBattleDivision* division = battalion->GetDivisionLink();
    IBattleArmy* army = division ? division->GetArmyLink() : nullptr;
    IBattleArmy* enemy = army ? army->GetOpposingArmy() : nullptr;
    if (!enemy) return;
    auto lost = [&](int place) {
        CKeyPoint* hq = enemy->GetHeadquarters(place);
        return hq && (hq->m_nextState == 3 || hq->m_nextState == 4);
    };
    if (!lost(0) || !lost(1)) return;
    if (army->ShowsBattleMessages()) {
        army->AddBattleMessage(15, -2, division->GetIndex());
    } else {
        enemy->AddBattleMessage(14, -2, 0);
        enemy->AssignRearGuard();
    }
}

BOOL CKeyPoint::IsReady() const {
    int tick = m_owner ? m_owner->GetTick() : 0;
    return tick - m_lastMark <= 100 && m_nextState != 3 && m_nextState != 4;
}

BOOL CKeyPoint::IsFresh() const { return IsReady() && m_lastMark - m_previousMark < 101; }
