#include "Units/Missile.h"

#include <cmath>

#include "core/GameTables.h"
#include "core/Random.h"
#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "Units/Battalion.h"
#include "Units/Unit.h"

int Heading8(int dx, int dy) {
    int ny = -dy;
    if (dy == 0) return dx <= 0 ? 6 : 2;
    if (dx == 0) return ny > 0 ? 0 : 4;
    double r = double(ny) / dx;
    if (dx > 0) {
        if (ny > 0) return r <= 0.4142 ? 2 : r >= 2.4142 ? 0 : 1;
        return r <= -2.4142 ? 4 : r >= -0.4142 ? 2 : 3;
    }
    if (ny > 0) return r <= -2.4142 ? 0 : r >= -0.4142 ? 6 : 7;
    return r >= 2.4142 ? 4 : r <= 0.4142 ? 6 : 5;
}

namespace {

int RoundHalfAway(double v) { return int(v < 0 ? v - 0.5 : v + 0.5); }

double GroundAt(const CBattleGrid* grid, int x, int y) {
    const CAltitudeMap* a = grid ? grid->GetAltitudeMap() : nullptr;
    return a ? a->GetAltitude(x, y) : 0.0;
}

}  // namespace

CMissile::CMissile(BOOL noHeading, double height, double speed, int angleDegrees, int strength, int dx, int dy,
                   int x, int y, CUnit* shooter) {
    if (!SinCosTablesBuilt) BuildSinCosTables();
    int a = ((angleDegrees % 360) + 360) % 360;
    m_shooter = shooter;
    m_noHeading = noHeading ? 1 : 0;
    m_height = height;
    m_groundSpeed = CosTable[a] * speed / 3;
    m_verticalSpeed = SinTable[a] * speed / 3;
    m_strength = strength;
    m_x = x, m_y = y;
    SetStep(dx, dy);
}

CMissile* CMissile::MakeAimed(BOOL noHeading, double height, double groundSpeed, double verticalSpeed, int strength,
                              int dx, int dy, int x, int y, CUnit* shooter, int flightTicks) {
    auto* m = new CMissile();
    m->m_shooter = shooter;
    m->m_noHeading = noHeading ? 1 : 0;
    m->m_height = height;
    m->m_groundSpeed = groundSpeed;
    m->m_verticalSpeed = verticalSpeed;
    m->m_strength = strength;
    m->m_x = x, m->m_y = y;
    m->m_flightTicks = flightTicks;
    m->SetStep(dx, dy);
    return m;
}

void CMissile::SetStep(int dx, int dy) {
    double len2 = double(dx) * dx + double(dy) * dy;
    // A shot aimed at its own spot has no way to go: it falls where it is.
    if (len2 == 0) {
        m_stepX = m_stepY = 0;
        return;
    }
    double s = 5 * std::sqrt(m_groundSpeed * m_groundSpeed / len2);
    m_stepX = RoundHalfAway(dx * s);
    m_stepY = RoundHalfAway(dy * s);
}

BOOL CMissile::Attach(IMissileSprite* sprite) {
    m_sprite = sprite;
    if (sprite && !m_noHeading) {
        sprite->SetFrame(0, Heading8(m_stepX, m_stepY));
        sprite->SetDepth(19500);
    }
    return TRUE;
}

void CMissile::PlaceSprite(int depth) {
    if (!m_sprite) return;
    int sy = m_y - (int(5 * m_height) + 19);
    m_sprite->MoveTo(m_x - 15, sy);
    m_sprite->SetDepth(depth == 0 ? sy + 16020 : depth);
}

BOOL CMissile::Step(const CBattleGrid* grid) {
    if (m_flightTicks != kBallistic) {
        int before = m_flightTicks--;
        if (before <= 0) return FALSE;
        m_height += m_verticalSpeed;
        m_x += m_stepX, m_y += m_stepY;
        PlaceSprite(0);
        return TRUE;
    }
    m_height += m_verticalSpeed;
    m_x += m_stepX, m_y += m_stepY;
    if (GroundAt(grid, m_x, m_y) > m_height) return FALSE;
    PlaceSprite(19500);
    m_verticalSpeed -= 9.81 / 3.0;
    return TRUE;
}

BOOL CMissile::CheckImpact(CBattleGrid* grid) {
    if (!grid) return FALSE;
    CArmyElement* hit = nullptr;
    CTerrain* feature = nullptr;
    BOOL covered = FALSE;
    grid->TraceShot(hit, feature, m_x, m_y, m_x + m_stepX, m_y + m_stepY, m_shooter, m_height, covered);
    if (feature) return TRUE;
    if (auto* unit = dynamic_cast<CUnit*>(hit)) {
        unit->TakeHit(m_strength, this);
        return TRUE;
    }
    return hit != nullptr;
}

void CMissile::Explode(int halfSize, CBattleGrid* grid) {
    if (!grid) return;
    CObList own, others;
    int army = m_shooter ? m_shooter->m_armyId : -1;
    grid->GetElementsInRect(CRect(m_x - halfSize, m_y - halfSize, m_x + halfSize, m_y + halfSize), &own, &others,
                            army);
    auto firstActive = [](CObList& list) -> CUnit* {
        for (POSITION pos = list.GetHeadPosition(); pos;) {
            auto* u = dynamic_cast<CUnit*>(list.GetNext(pos));
            if (u && u->m_active) return u;
        }
        return nullptr;
    };
    CUnit* victim = firstActive(others);
    if (!victim) victim = firstActive(own);
    if (victim) victim->TakeHit(m_strength, this);
}

CBattalion* CMissile::GetShooterBattalion() const { return m_shooter ? m_shooter->m_battalion : nullptr; }

void CMissileList::TakeFrom(CUnit* unit) {
    if (!unit || !unit->m_pendingMissile) return;
    auto* m = static_cast<CMissile*>(unit->m_pendingMissile);
    unit->m_pendingMissile = nullptr;
    m->Attach(m->m_sprite);
    m_missiles.AddTail(m);
}

void CMissileList::StepAll(CBattleGrid* grid) {
    for (POSITION pos = m_missiles.GetHeadPosition(); pos;) {
        POSITION at = pos;
        auto* m = static_cast<CMissile*>(m_missiles.GetNext(pos));
        bool spent = m->CheckImpact(grid);
        if (!spent && !m->Step(grid)) {
            int roll = CountedRand() % 100 + 1;
            if (roll <= 25) m->Explode(15, grid);
            spent = true;
        }
        if (spent) {
            m_missiles.RemoveAt(at);
            if (m_onRemove) m_onRemove(m);
            delete m;
        }
    }
}

void CMissileList::RemoveAll() {
    for (POSITION pos = m_missiles.GetHeadPosition(); pos;) {
        auto* m = static_cast<CMissile*>(m_missiles.GetNext(pos));
        if (m_onRemove) m_onRemove(m);
        delete m;
    }
    m_missiles.RemoveAll();
}
