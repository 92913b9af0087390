// Headless battles on the kit's battlefields: divisions ordered across the
// field, around walls, into each other and under fire. Each runs twice and
// must give the same positions and the same draws at every tick.
#include <gtest/gtest.h>

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
