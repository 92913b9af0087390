// A division's own decisions: the retreat of a shaken, depleted division
// and the help a free front battalion brings a pressed one.
#include <gtest/gtest.h>

#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "core/Random.h"
#include "tests/units/UnitsFixtures.h"

namespace {

// Four battalions of ten at (1000, 1000), facing east, counted as the battle
// set-up counts them.
struct Staff {
    Staff() : division(3, 1000, 1000, &army) {
        division.m_facing = 2;
        division.RecountBattalions();
    }
    void ForUnits(void (*fn)(CUnit*)) {
        for (POSITION bp = division.m_battalions.GetHeadPosition(); bp;) {
            CBattalion* b = division.m_battalions.GetBattalion(bp);
            for (POSITION up = b->m_units.GetHeadPosition(); up;) fn(b->m_units.GetUnit(up));
        }
    }
    CBattalion* Battalion(int n) { return division.m_battalions.FindByID(n, FALSE, TRUE); }
    CFakeArmy army;
    CDivision division;
};

TEST(DivisionBehaviour, AShakenDepletedDivisionRetreatsAndASteadyOneStands) {
    {
        Staff steady;
        steady.ForUnits([](CUnit* u) { u->m_morale = 1600; });
        steady.division.UpdateFigures();
        // Without a general to lead it the division weighs its chances
        // every tick, but steady men never give up the field.
        for (int t = 0; t < 500; ++t) steady.division.UpdateBehaviour();
        EXPECT_NE(steady.division.m_order.m_type, 256);
    }
    Staff shaken;
    shaken.ForUnits([](CUnit* u) {
        u->m_morale = 300;
        u->m_headCount = 5;
    });
    shaken.division.UpdateFigures();
    ASSERT_LT(shaken.division.m_strength1, 1200);
    int tick = 0;
    while (tick < 500 && shaken.division.m_order.m_type != 256) {
        shaken.division.UpdateBehaviour();
        ++tick;
    }
    ASSERT_EQ(shaken.division.m_order.m_type, 256) << "it gave up the field";
    EXPECT_EQ(shaken.division.m_order.m_x, -1000) << "off the west edge behind an east-facing army";
    EXPECT_GE(shaken.division.m_order.m_y, 1);
    EXPECT_LE(shaken.division.m_order.m_y, 1999);
    EXPECT_EQ(shaken.division.m_busy, 1);
    // Retreating, it decides nothing more.
    int before = RandCallCount;
    shaken.division.UpdateBehaviour();
    EXPECT_EQ(RandCallCount, before);
}

TEST(DivisionBehaviour, AFreeFrontBattalionGoesToHelpAPressedOne) {
    struct Case {
        bool fighting[3];
        int sent, toward;  // -1: none is sent
    } cases[] = {
        {{false, true, true}, 0, 1},
        {{true, false, false}, 1, 0},
        {{true, true, false}, 2, 0},
        {{true, false, true}, 1, 0},
        {{false, false, true}, -1, -1},
        {{true, true, true}, -1, -1},
    };
    for (const Case& c : cases) {
        Staff staff;
        staff.ForUnits([](CUnit* u) { u->m_morale = 1600; });
        for (int i = 0; i < 4; ++i) {
            CBattalion* b = staff.Battalion(i);
            int k = 0;
            for (POSITION up = b->m_units.GetHeadPosition(); up; ++k) {
                CUnit* u = b->m_units.GetUnit(up);
                u->SetPosition(1000 + 200 * i, 1000 + 10 * k);
                if (i < 3 && c.fighting[i]) u->m_state = 7;
            }
            b->m_contact = i < 3 && c.fighting[i];
        }
        staff.division.m_order.m_type = 2;  // holding after an attack
        staff.division.m_idle = 1;
        staff.division.UpdateFigures();
        staff.division.UpdateBehaviour();
        for (int i = 0; i < 3; ++i) {
            const CBattalion* b = staff.Battalion(i);
            if (i != c.sent) {
                EXPECT_NE(b->m_action.m_type, 2) << "battalion " << i << " stays";
                continue;
            }
            EXPECT_EQ(b->m_action.m_type, 2) << "battalion " << i << " attacks";
            EXPECT_EQ(b->m_action.GetPoint(), staff.Battalion(c.toward)->GetUnitCentre());
        }
        EXPECT_EQ(staff.division.m_contactFlag, c.sent >= 0 ? 1 : 0);
    }
}

}  // namespace
