// A division ordered the way the computer orders it, through its army's
// OrderDivision, on a kit battlefield with the kit's formations: it walks
// the steps of its plan and comes to stand on the point it was sent to,
// and the same order given twice draws alike at every tick.
#include <gtest/gtest.h>

#include <vector>

#include "Units/Division.h"
#include "army/Army.h"
#include "battle/BattleRunner.h"
#include "core/Helpers.h"
#include "core/Random.h"
#include "shell/OrvaneView.h"
#include "tests/support/TestFolders.h"

namespace {

struct Walk {
    uint32_t arrived = 0;  // the tick the division stood idle on its point; 0: never
    CPoint target{-1, -1};
    CPoint at{-1, -1};
    std::vector<int32_t> calls;  // the random-call count after every tick
};

// Division `number` of the right-hand army, neither army commanded by the
// computer, is sent `distance` west of where it stands with an attack.
Walk OrderThroughTheArmy(const char* field, int number, int distance, uint32_t ticks) {
    CBattleSetupSpec spec;
    spec.kitFolder = KitFolder().string();
    spec.battlefieldKey = field;
    spec.computer[0] = spec.computer[1] = false;
    spec.divisionsOf[0] = spec.divisionsOf[1] = 3;
    CBattleRunner run;
    std::string error;
    Walk walk;
    EXPECT_TRUE(run.Load(spec, error)) << error;
    if (!error.empty()) return walk;
    CArmy& army = *run.Army(1);
    CDivision* d = army.GetDivision(number, FALSE);
    EXPECT_TRUE(d);
    if (!d) return walk;
    for (uint32_t tick = 1; tick <= ticks && !walk.arrived; ++tick) {
        if (tick == 20) {
            army.OrderDivision(d, 2, d->m_x - distance, d->m_y, 0x4000, -2, FALSE, 50, 0);
            walk.target = d->m_order.GetPoint();
        }
        EXPECT_TRUE(run.Step());
        walk.calls.push_back(RandCallCount);
        if (tick > 20 && d->m_idle && Round(GetDistance(d->m_x, d->m_y, walk.target.x, walk.target.y, false)) <= 50)
            walk.arrived = tick;
    }
    walk.at = d->GetPosition();
    return walk;
}

TEST(ArmyOrder, ADivisionSentThroughItsArmyArrivesAndRepeats) {
    const Walk first = OrderThroughTheArmy("A4L", 2, 300, 2000);
    EXPECT_NE(first.arrived, 0u) << "the division stopped at " << first.at.x << "," << first.at.y << " short of "
                                 << first.target.x << "," << first.target.y;
    const Walk second = OrderThroughTheArmy("A4L", 2, 300, 2000);
    EXPECT_EQ(second.arrived, first.arrived);
    EXPECT_EQ(second.calls, first.calls);
}

}  // namespace
