// Headless battles on the kit's battlefields: divisions ordered across the
// field, around walls, into each other and under fire. Each runs twice and
// must give the same positions and the same draws at every tick.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>

#include "tests/units/BattleFixture.h"

namespace {

int64_t Dist2(CPoint a, CPoint b) {
    int64_t dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

// Runs the scenario twice; both runs must agree at every tick.
void RunTwice(const std::function<std::vector<TickRecord>()>& scenario) {
    std::vector<TickRecord> first = scenario();
    std::vector<TickRecord> second = scenario();
    ASSERT_EQ(first.size(), second.size());
    for (size_t t = 0; t < first.size(); ++t) ASSERT_TRUE(first[t] == second[t]) << "tick " << t;
}

TEST(Scenario, DivisionCrossesTheFieldInFormation) {
    RunTwice([] {
        CHeadlessBattle battle(0);
        CPoint from = battle.field.grid.FindFreePointNear(400, 900, nullptr, 300, FALSE);
        CPoint to = battle.field.grid.FindFreePointNear(1400, 900, nullptr, 300, FALSE);
        CDivision* d = battle.AddDivision(0, from.x, from.y, 2, -1, 2);
        EXPECT_NE(d, nullptr);
        if (!d) return std::vector<TickRecord>();
        battle.Order(d, ORDER_MOVE, to.x, to.y, 2);
        int blocked = 0;
        auto records = battle.Run(1500, [&] {
            blocked += battle.UnitsOnBlockedGround();
            return false;
        });
        EXPECT_EQ(blocked, 0);
        EXPECT_TRUE(d->m_idle);
        // The units stand in their battalions' formations: nearly all at
        // their slots, none astray.
        int units = 0, atSlot = 0;
        for (POSITION pos = d->m_battalions.GetHeadPosition(); pos;) {
            CBattalion* b = d->m_battalions.GetBattalion(pos);
            EXPECT_LT(Dist2(b->GetPosition(), to), 500 * 500);
            for (POSITION u = b->m_units.GetHeadPosition(); u;) {
                CUnit* unit = b->m_units.GetUnit(u);
                CPoint slot = b->m_action.GetPoint() + battle.formations.batt.GetSlotPoint(unit->m_number, 2);
                ++units;
                if (Dist2(unit->GetPosition(), slot) < 60 * 60) ++atSlot;
                EXPECT_LT(Dist2(unit->GetPosition(), slot), 150 * 150) << "battalion " << b->m_number << " unit " << unit->m_number;
            }
        }
        EXPECT_GE(atSlot * 10, units * 9) << atSlot << " of " << units;
        return records;
    });
}

}  // namespace

namespace {

int HeadCount(const CDivision* d) {
    int n = 0;
    CHeadlessBattle::ForUnits(d, [&](CUnit* u) { n += std::max(0, u->m_headCount); });
    return n;
}

TEST(Scenario, DivisionGoesAroundTheCastleWalls) {
    RunTwice([] {
        CHeadlessBattle battle(1);
        CPoint from = battle.field.grid.FindFreePointNear(1700, 950, nullptr, 300, FALSE);
        CPoint to = battle.field.grid.FindFreePointNear(2750, 950, nullptr, 300, FALSE);
        CDivision* d = battle.AddDivision(0, from.x, from.y, 2);
        EXPECT_NE(d, nullptr);
        if (!d) return std::vector<TickRecord>();
        battle.Order(d, ORDER_MOVE, to.x, to.y, 2);
        int blocked = 0;
        auto records = battle.Run(2500, [&] {
            blocked += battle.UnitsOnBlockedGround();
            return d->m_idle != 0;
        });
        EXPECT_EQ(blocked, 0);
        EXPECT_TRUE(d->m_idle);
        int near = 0, units = 0;
        CHeadlessBattle::ForUnits(d, [&](CUnit* u) {
            ++units;
            if (Dist2(u->GetPosition(), to) < 400 * 400) ++near;
        });
        EXPECT_EQ(near, units);
        return records;
    });
}

TEST(Scenario, TwoDivisionsFightUntilOneRouts) {
    RunTwice([] {
        CHeadlessBattle battle(0);
        CDivision* a = battle.AddDivision(0, 1500, 1000, 2, 0);
        CDivision* b = battle.AddDivision(1, 2200, 1000, 6, 0);
        EXPECT_TRUE(a && b);
        if (!a || !b) return std::vector<TickRecord>();
        // The second division is spent before the fight begins.
        CHeadlessBattle::ForUnits(b, [](CUnit* u) {
            u->m_morale = 700;
            u->m_headCount = 60;
        });
        int startA = HeadCount(a), startB = HeadCount(b);
        battle.Order(a, ORDER_ATTACK, 2100, 1000, 2);
        battle.Order(b, ORDER_ATTACK, 1600, 1000, 6);
        int strikes = 0;
        auto records = battle.Run(4000, [&] {
            CHeadlessBattle::ForUnits(a, [&](CUnit* u) { strikes += u->m_strikeTimer == 16; });
            return !battle.armies[1].lost.empty();
        });
        EXPECT_GT(strikes, 0);
        EXPECT_LT(HeadCount(a), startA);
        EXPECT_LT(HeadCount(b), startB);
        EXPECT_EQ(battle.armies[1].lost.size(), 1u);
        EXPECT_TRUE(battle.armies[0].lost.empty());
        return records;
    });
}

// Archers, then riflemen, on their own: riflemen beside the archers would
// break the division before it came within bowshot.
TEST(Scenario, ArchersAndRiflemenHitAnApproachingDivision) {
    for (int kind : {KIND_ARCHER, KIND_RIFLEMAN}) {
        SCOPED_TRACE(kind == KIND_ARCHER ? "archers" : "riflemen");
        RunTwice([kind] {
            CHeadlessBattle battle(0);
            CDivision* shooters = kind == KIND_ARCHER ? battle.AddDivision(0, 1500, 1400, 2, 2)  // first battalion at y 905
                                                      : battle.AddDivision(0, 1500, 1600, 2, 0);
            if (shooters && kind == KIND_RIFLEMAN) battle.MakeRiflemen(shooters);
            CDivision* target = battle.AddDivision(1, 2200, 1000, 6, 0);
            EXPECT_TRUE(shooters && target);
            if (!shooters || !target) return std::vector<TickRecord>();
            int start = HeadCount(target);
            battle.Order(target, ORDER_MOVE, 1640, 1000, 6);
            // Every missile spent, by the shooter's kind: arrows and shots
            // really loosed, not shooters merely aiming.
            static int spent[9];
            std::fill(std::begin(spent), std::end(spent), 0);
            battle.missiles.m_onRemove = [](CMissile* m) {
                if (m->m_shooter && m->m_shooter->m_kind >= 0 && m->m_shooter->m_kind < 9) ++spent[m->m_shooter->m_kind];
            };
            auto records = battle.Run(1200);
            battle.missiles.m_onRemove = nullptr;
            EXPECT_GT(spent[kind], 0);
            int melee = 0;
            CHeadlessBattle::ForUnits(target, [&](CUnit* u) { melee += u->m_meleeLosses; });
            EXPECT_LT(HeadCount(target) + melee, start) << "missiles struck the division";
            return records;
        });
    }
}

TEST(Scenario, RoutedBattalionRunsAwayAndDoesNotComeBack) {
    RunTwice([] {
        CHeadlessBattle battle(0);
        CDivision* enemy = battle.AddDivision(0, 1500, 1000, 2, 0);
        CDivision* broken = battle.AddDivision(1, 1800, 1000, 6, 0);
        EXPECT_TRUE(enemy && broken);
        if (!enemy || !broken) return std::vector<TickRecord>();
        CBattalion* b = broken->m_battalions.GetBattalion(*std::make_unique<POSITION>(broken->m_battalions.GetHeadPosition()));
        for (POSITION pos = b->m_units.GetHeadPosition(); pos;) b->m_units.GetUnit(pos)->m_morale = 0;
        std::map<CUnit*, int> farthest;  // the unit's greatest distance from the enemy since it broke
        bool cameBack = false;
        auto records = battle.Run(2500, [&] {
            for (POSITION pos = b->m_units.GetHeadPosition(); pos;) {
                CUnit* u = b->m_units.GetUnit(pos);
                if (u->GetBehaviour() != 5 || !u->m_active) continue;
                int d = u->m_x - enemy->m_x;  // the enemy stands west; flight runs east
                auto [it, fresh] = farthest.emplace(u, d);
                if (!fresh && d < it->second - 30) cameBack = true;
                it->second = std::max(it->second, d);
            }
            return false;
        });
        EXPECT_GE(int(farthest.size()) * 10, b->m_units.GetCount() * 8);
        EXPECT_FALSE(cameBack);
        // Every unit that broke has left the field or runs on far from the enemy.
        for (auto& [u, d] : farthest)
            EXPECT_TRUE(!u->m_active || u->m_x - enemy->m_x > 600)
                << u->m_number << " at " << u->m_x << "," << u->m_y << " beh " << u->GetBehaviour() << " act " << u->m_action.m_x
                << "," << u->m_action.m_y << " steps " << u->m_steps.GetCount() << " blk " << int(u->m_blockedTicks) << " kind " << u->m_kind;
        return records;
    });
}

// What the army does for a division each tick: its zones laid out afresh
// and the units standing in them listed, enemies and friends apart.
void WatchZones(CDivision* d, const CUnitList& units) {
    d->SetPerimiters(CRect());
    for (POSITION pos = units.GetHeadPosition(); pos;) {
        CUnit* u = units.GetUnit(pos);
        if (u->m_routed) continue;
        const CPoint c = u->m_rcOccupied.CenterPoint();
        const int group = u->m_ownerNumber == d->m_ownerNumber ? 1 : 0;
        for (int zone = 0; zone < 4; ++zone)
            for (int part = 0; part < 3; ++part)
                if (d->m_zones[zone][part].PtInRect(c)) d->m_zoneUnits[group][zone][part].AddUnique(u);
    }
}

TEST(Scenario, ADivisionHoldingUnderOrder1024FallsBackToDefendWhenPressed) {
    RunTwice([] {
        CHeadlessBattle battle(0);
        CDivision* holding = battle.AddDivision(0, 1500, 1000, 2, 0);
        CDivision* attacker = battle.AddDivision(1, 2100, 1000, 6, 0);
        EXPECT_TRUE(holding && attacker);
        if (!holding || !attacker) return std::vector<TickRecord>();
        battle.Order(holding, 1024, 1500, 1000, 2);
        battle.Order(attacker, ORDER_ATTACK, 1500, 1000, 6);
        int pressedTicks = 0, fellBackAt = -1;
        std::vector<TickRecord> records;
        for (int t = 0; t < 1500 && fellBackAt < 0; ++t) {
            WatchZones(holding, battle.allUnits);
            if (holding->IsZonePressed(1)) ++pressedTicks;
            battle.Tick();
            records.push_back(battle.Record());
            if (holding->GetStandingOrder() == ORDER_DEFENSE) fellBackAt = t;
        }
        EXPECT_GT(fellBackAt, 0) << "the enemy pressed on it for " << pressedTicks << " ticks";
        EXPECT_GT(pressedTicks, 60) << "it held first";
        // Its fall back is a move into its rear zone, which may lie off the
        // field when the division has been pushed about: it stops at the edge.
        EXPECT_EQ(holding->m_action.m_type, ORDER_MOVE);
        EXPECT_TRUE(CRect(0, 0, 3001, 2001).PtInRect(holding->m_order.GetPoint()))
            << holding->m_order.m_x << "," << holding->m_order.m_y;
        const CPoint from = holding->GetPosition();
        battle.Run(200);
        EXPECT_GT(Dist2(holding->GetPosition(), from), 50 * 50) << "it moved off";
        for (auto& group : holding->m_zoneUnits)
            for (auto& zone : group)
                for (auto& list : zone) list.RemoveAll(FALSE);
        return records;
    });
}

}  // namespace
