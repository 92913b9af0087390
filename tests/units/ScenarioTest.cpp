// Headless battles on the kit's battlefields: divisions ordered across the
// field, around walls, into each other and under fire. Each runs twice and
// must give the same positions and the same draws at every tick.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tests/units/BattleFixture.h"

namespace {

int64_t Dist2(CPoint a, CPoint b) {
    int64_t dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

TEST(Scenario, DivisionCrossesTheFieldInFormation) {
    auto run = [](std::vector<TickRecord>* out, CPoint* end) {
        CHeadlessBattle battle(0);
        CPoint from = battle.field.grid.FindFreePointNear(400, 900, nullptr, 300, FALSE);
        CPoint to = battle.field.grid.FindFreePointNear(1400, 900, nullptr, 300, FALSE);
        CDivision* d = battle.AddDivision(0, from.x, from.y, 2);
        ASSERT_NE(d, nullptr);
        battle.Order(d, ORDER_MOVE, to.x, to.y, 2);
        int blocked = 0;
        *out = battle.Run(1500, [&] {
            blocked += battle.UnitsOnBlockedGround();
            if (getenv("TRACE") && battle.armies[0].tick % 100 == 1) {
                CBattalion* b = d->m_battalions.GetBattalion(*new POSITION(d->m_battalions.GetHeadPosition()));
                CUnit* u = b->m_units.GetHead();
                std::printf("t%d div %d,%d act %d (%d,%d) idle %d plan %d | batt %d,%d act %d (%d,%d) halted %d reached %d | unit %d,%d beh %d act(%d,%d) steps %d pend %d blk %d speed %.1f arr %d\n",
                    battle.armies[0].tick, d->m_x, d->m_y, d->m_action.m_type, d->m_action.m_x, d->m_action.m_y, d->m_idle, d->m_plan.GetCount(),
                    b->m_x, b->m_y, b->m_action.m_type, b->m_action.m_x, b->m_action.m_y, b->m_halted, b->m_standingReached,
                    u->m_x, u->m_y, u->GetBehaviour(), u->m_action.m_x, u->m_action.m_y, u->m_steps.GetCount(), u->m_pending.GetCount(), u->m_blockedTicks, u->m_speed, u->m_arrived);
            }
            return false;
        });
        EXPECT_EQ(blocked, 0);
        *end = d->GetPosition();
        int far = 0, units = 0;
        CHeadlessBattle::ForUnits(d, [&](CUnit* u) {
            ++units;
            if (Dist2(u->GetPosition(), to) > 350 * 350) ++far;
            if (getenv("TRACE")) {
                CRect r = u->GetTestRect();
                r.OffsetRect(u->m_x, u->m_y);
                CRect n = r; n.OffsetRect(int(u->m_heading.x * 3), int(u->m_heading.y * 3));
                std::printf("  unit %d at %d,%d beh %d act %d,%d steps %d blk %d flags %x next %x h %.2f,%.2f arr %d\n", u->m_number, u->m_x, u->m_y,
                    u->GetBehaviour(), u->m_action.m_x, u->m_action.m_y, u->m_steps.GetCount(), u->m_blockedTicks,
                    battle.field.grid.GetEnemiesInRect(r, u), battle.field.grid.GetEnemiesInRect(n, u), u->m_heading.x, u->m_heading.y, u->m_arrived);
            }
        });
        std::printf("division at %d,%d target %d,%d, %d of %d units far\n", end->x, end->y, to.x, to.y, far, units);
        EXPECT_EQ(far, 0);
    };
    std::vector<TickRecord> a, b;
    CPoint ea, eb;
    run(&a, &ea);
    run(&b, &eb);
    ASSERT_EQ(a.size(), b.size());
    for (size_t t = 0; t < a.size(); ++t) ASSERT_TRUE(a[t] == b[t]) << "tick " << t;
}

}  // namespace
