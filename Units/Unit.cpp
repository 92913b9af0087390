#include "Units/Unit.h"

#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "Units/Battalion.h"
#include "Units/Missile.h"
#include "Units/UnitSets.h"

IMPLEMENT_SERIAL(CUnit, CArmyElement, 0)

namespace {

struct KindFigures {
    int reach;
    double rearDivisor, flankDivisor;
    int combat, combat2, range, defence, level, headCount;
    double speed, morale;
};

// Base figures by kind; SetKindFigures scales them.
constexpr KindFigures kFigures[9] = {
    {25, 0.5, 0.7, 40, 0, 0, 35, 50, 200, 4.0, 700},   // Swordman
    {25, 0.6, 0.9, 62, 0, 0, 55, 65, 250, 4.0, 800},   // Captain
    {30, 0.8, 1.0, 70, 0, 0, 80, 80, 240, 7.0, 800},   // General
    {30, 0.8, 1.0, 70, 0, 0, 80, 85, 300, 7.0, 900},   // Marshall
    {55, 0.8, 0.9, 60, 0, 0, 52, 60, 240, 7.0, 700},   // Cavalry
    {25, 0.1, 0.2, 25, 90, 300, 10, 50, 200, 4.0, 600},  // Archer
    {45, 0.1, 0.1, 55, 0, 0, 37, 50, 200, 4.0, 600},   // Spearman
    {25, 0.1, 0.2, 25, 250, 500, 5, 50, 200, 3.5, 550},  // Rifleman
    {30, 0.8, 1.0, 65, 0, 0, 70, 70, 250, 7.0, 750},   // Captain On Horse
};

// Frame ranges by drawing group: foot soldiers (kind 0), captains and
// spearmen, riders, archers, riflemen.
constexpr UnitFrames kFrames[5] = {
    {{0, 7}, {32, 39}, {39, 32}, {8, 15}, {48, 55}, {16, 23}, {24, 31}, {24, 31}, 0, {40, 47}},
    {{0, 7}, {32, 39}, {39, 32}, {8, 15}, {8, 15}, {16, 23}, {24, 31}, {24, 31}, 0, {40, 47}},
    {{0, 7}, {0, 7}, {7, 0}, {8, 15}, {8, 15}, {16, 23}, {24, 31}, {8, 15}, 0, {32, 39}},
    {{0, 7}, {0, 7}, {7, 0}, {0, 7}, {0, 7}, {8, 15}, {8, 15}, {16, 23}, 0, {32, 39}},
    {{0, 7}, {0, 7}, {7, 0}, {0, 7}, {0, 7}, {8, 17}, {8, 17}, {18, 23}, 0, {24, 31}},
};
constexpr int kFrameGroupOfKind[9] = {0, 1, 2, 2, 2, 3, 1, 4, 2};

CRect Centred(const CRect& r) {
    CRect c = r;
    c.OffsetRect(-(r.left + r.right) / 2, -(r.top + r.bottom) / 2);
    return c;
}

}  // namespace

CUnit::CUnit() : CUnit(0, nullptr, 0, -1000, -1000) {
    m_sideId = 0;
}

CUnit::CUnit(int index, CBattleGrid* grid, int sideId, int x, int y) {
    m_number = index;
    m_indexInBattalion = m_slotIndex = index;
    m_isFirst = index == 0;
    m_grid = grid;
    m_sideId = sideId;
    SetPositionExact(CVector(x, y), FALSE, FALSE);
    m_fieldRect = CRect(-1000, -1000, -1000, -1000);  // not on the field until placed
    m_kind = 0;
    SetKindFigures(0);
    SetFrameRanges(0);
}

CUnit::~CUnit() {
    // A missile the battle has not taken yet goes with its shooter.
    delete static_cast<CMissile*>(m_pendingMissile);
    m_pendingMissile = nullptr;
    // No other unit may keep pointing at this one: leave the target's
    // engager lists, and make the units engaging this one drop it.
    m_action.SetTarget(this, nullptr, FALSE, FALSE);
    for (CUnitList* list : {&m_engagers, &m_engagers2}) {
        for (POSITION pos = list->GetHeadPosition(); pos;) {
            CUnit* u = list->GetUnit(pos);
            if (u->m_action.m_target == this) {
                u->m_action.m_target = nullptr;
                u->m_action.m_targetStamp = -1000;
            }
        }
    }
    m_enemies.RemoveAll(FALSE);
    m_friends.RemoveAll(FALSE);
    m_engagers.RemoveAll(FALSE);
    m_engagers2.RemoveAll(FALSE);
}

CRect CUnit::KindBodyRect(int kind) {
    const UnitSets::Spec* set = UnitSets::ForKind(kind);
    if (!set) return CRect(-3, -3, 3, 3);
    return Centred(CRect(0, 0, set->cellWidth, set->cellHeight));
}

BOOL CUnit::SetKindAndIcon(int kind, IUnitIcon* icon, int iconId) {
    m_icon = icon;
    m_bodyRect = icon ? Centred(icon->GetRect()) : KindBodyRect(kind);
    m_moveRect = m_bodyRect;
    if (IsMountedKind(kind)) m_moveRect.InflateRect(4, 4);
    if (icon) icon->SetId(iconId);
    m_iconId = iconId;
    m_kind = kind;
    SetKindFigures(kind);
    SetFrameRanges(kind);
    return TRUE;
}

void CUnit::SetKindFigures(int kind) {
    KindFigures f{};
    if (kind >= 0 && kind < 9) f = kFigures[kind];
    m_reach = BYTE(f.reach);
    m_frontDivisor = kind >= 0 && kind < 9 ? 1.0 : 0.0;
    m_rearDivisor = f.rearDivisor;
    m_flankDivisor = f.flankDivisor;
    m_range = f.range;
    m_level = f.level;
    m_baseSpeed = f.speed;
    m_speed = 0;
    m_exertion = 0;
    m_readiness = 0;
    m_kindFigure = kind >= 0 && kind < 9 ? 50 : 0;
    m_headCount = int(f.headCount * 1.7);
    m_combat = int(f.combat * 1.4);
    m_combat2 = int(f.combat2 * 1.2);
    m_defence = (f.defence * 3) >> 1;
    m_morale = f.morale * 2.5;
    m_condition = 1.0;
    m_parryMax = m_parry = double(m_defence / 7);
    ComputeTrainingFactor();
}

void CUnit::SetFrameRanges(int kind) {
    if (kind >= 0 && kind < 9) m_frames = kFrames[kFrameGroupOfKind[kind]];
}

void CUnit::SetPositionExact(const CVector& v, BOOL moveInGrid, BOOL useBodyRect) {
    CPoint p(int(v.x), int(v.y));
    if (moveInGrid && m_grid) {
        CRect r = useBodyRect ? m_bodyRect : m_moveRect;
        r.OffsetRect(p);
        m_grid->MoveElement(r, this);
    }
    m_x = p.x;
    m_y = p.y;
    m_exactPos = v;
    m_fieldRect = m_bodyRect;
    m_fieldRect.OffsetRect(p);
}

void CUnit::SetDesiredFacing(int facing) {
    if (facing == -1000)
        m_desiredFacing = GetDirection(m_x, m_y, m_action.m_x, m_action.m_y);
    else
        m_desiredFacing = NormalizeDirection(facing % 8);
}

BOOL CUnit::StepFrame(int first, int last) {
    if (first == last) return TRUE;
    int step = first < last ? 1 : -1;
    int lo = std::min(first, last), hi = std::max(first, last);
    if (m_frame < lo || m_frame > hi || m_frame == last)
        m_frame = first;
    else
        m_frame += step;
    return TRUE;
}

int CUnit::GetMeleeStrength() const {
    return std::max(14, int(m_combat * m_condition * m_trainingFactor));
}

int CUnit::GetDefenceStrength(double stateFactor) const {
    return std::max(1, int(stateFactor * m_defence * m_condition * m_trainingFactor));
}

CPoint CUnit::GetEffectPoint(BOOL facingOnly) const {
    static constexpr int kFacing[8][2] = {{0, -10}, {4, -5}, {8, -15}, {4, 0}, {0, -30}, {-4, 0}, {-8, -15}, {-4, -5}};
    static constexpr int kFoot[8][2] = {{0, 10}, {1, 5}, {3, 15}, {1, -5}, {0, -10}, {-1, -5}, {-3, 15}, {-1, 5}};
    static constexpr int kSpear[8][2] = {{0, 5}, {1, 2}, {3, 15}, {1, -2}, {0, -5}, {-1, -2}, {-3, 15}, {-1, 2}};
    static constexpr int kRider[8][2] = {{0, 15}, {3, 15}, {5, 23}, {-3, 0}, {0, -10}, {0, 0}, {-5, 23}, {-3, 15}};
    CRect r = m_icon ? m_icon->GetRect() : m_bodyRect;
    CPoint at = m_icon ? m_icon->GetPosition() : CPoint(m_x + r.left, m_y + r.top);
    CPoint p(at.x + r.Width() / 2, at.y + r.Height() / 2);
    bool valid = m_facing >= 0 && m_facing < 8;
    int dx = 0, dy = -20;
    if (facingOnly) {
        if (valid) dx = kFacing[m_facing][0], dy = kFacing[m_facing][1];
    } else if (valid) {
        const int(*t)[2] = IsMounted() ? kRider : m_kind == KIND_SPEARMAN ? kSpear : kFoot;
        dx = t[m_facing][0], dy = t[m_facing][1];
    }
    if (m_onWater) {
        int h = r.Height();
        if (!(IsMounted() && m_facing == 4)) dy += h / 2 - h + 5;
        dy += m_kind == KIND_SPEARMAN ? 15 : IsMounted() ? 20 : 8;
        if (m_facing == 3 || m_facing == 5) dy += 8;
        if (m_facing == 4) dy += 15;
    }
    return CPoint(p.x + dx, p.y + dy);
}

IBattleBattalion* CUnit::GetBattalionLink() const { return m_battalion; }

void CUnit::UpdateSprite() {
    // The ground under the unit is the simulation's, with or without a
    // picture to place.
    const CAltitudeMap* altitude = m_grid ? m_grid->GetAltitudeMap() : nullptr;
    m_onWater = altitude && altitude->IsBlockedAt(m_x, m_y, FALSE);
    if (m_prevHeight != -5000.0) m_prevHeight = m_height;
    m_height = altitude ? altitude->GetAltitude(m_x, m_y) : 0.0;
    if (m_prevHeight == -5000.0) m_prevHeight = m_height;
    if (m_slopeHold > 0 && m_height == m_prevHeight)
        --m_slopeHold;
    else
        m_slope = m_height - m_prevHeight;
    if (m_slope != 0 && m_height != m_prevHeight) m_slopeHold = 24;
    if (!m_icon) return;

    CRect r = m_icon->GetRect();
    bool cut = m_onWater && !(IsMounted() && m_facing == 4);
    m_icon->SetClip(cut ? CRect(0, 0, r.Width(), r.Height() / 2 + 5) : CRect());
    int lift = int(-(5 * m_height)) - (IsMounted() ? 10 : 0);
    m_icon->MoveTo(m_x - (r.left + r.right) / 2, m_y - (r.top + r.bottom) / 2 + lift);
    if (m_active) m_icon->SetDepth(m_y + 16020);
    m_icon->SetFrame(m_frame, m_facing);
    PlaceMarker();
}

void CUnit::PlaceMarker() {
    if (!m_marker || m_lost) return;
    CRect r = m_marker->GetRect();
    CPoint c = m_fieldRect.CenterPoint();
    m_marker->MoveTo(c.x - r.Width() / 2, c.y - r.Height() / 2 + int(-(5 * m_height)));
    m_marker->SetFrame(m_headCount > 180 ? 0 : m_headCount > 90 ? 1 : 2, 0);
}
