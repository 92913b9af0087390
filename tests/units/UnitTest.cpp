// Units: their starting figures by kind, their body, facing and frames, and
// the engager lists their actions keep.
#include <gtest/gtest.h>

#include "Units/Unit.h"
#include "Units/UnitSets.h"
#include "tests/units/UnitsFixtures.h"

namespace {

TEST(UnitTest, StartingFiguresOfEveryKind) {
    struct Case {
        int kind;
        int reach, headCount, combat, combat2, range, defence, level;
        double speed, morale, rear, flank, parry;
    };
    // Base figures scaled: heads x1.7, melee x1.4, missile x1.2, defence x1.5
    // rounded down, morale x2.5; the parry reserve is a seventh of defence.
    const Case cases[] = {
        {0, 25, 340, 56, 0, 0, 52, 50, 4.0, 1750, 0.5, 0.7, 7},
        {1, 25, 425, 86, 0, 0, 82, 65, 4.0, 2000, 0.6, 0.9, 11},
        {2, 30, 408, 98, 0, 0, 120, 80, 7.0, 2000, 0.8, 1.0, 17},
        {3, 30, 510, 98, 0, 0, 120, 85, 7.0, 2250, 0.8, 1.0, 17},
        {4, 55, 408, 84, 0, 0, 78, 60, 7.0, 1750, 0.8, 0.9, 11},
        {5, 25, 340, 35, 108, 300, 15, 50, 4.0, 1500, 0.1, 0.2, 2},
        {6, 45, 340, 77, 0, 0, 55, 50, 4.0, 1500, 0.1, 0.1, 7},
        {7, 25, 340, 35, 300, 500, 7, 50, 3.5, 1375, 0.1, 0.2, 1},
        {8, 30, 425, 91, 0, 0, 105, 70, 7.0, 1875, 0.8, 1.0, 15},
    };
    for (const Case& c : cases) {
        CUnit u(0, nullptr, 0, 100, 100);
        u.SetKindAndIcon(c.kind, nullptr, 0);
        SCOPED_TRACE(c.kind);
        EXPECT_EQ(u.m_reach, c.reach);
        EXPECT_EQ(u.m_headCount, c.headCount);
        EXPECT_EQ(u.m_combat, c.combat);
        EXPECT_EQ(u.m_combat2, c.combat2);
        EXPECT_EQ(u.m_range, c.range);
        EXPECT_EQ(u.m_defence, c.defence);
        EXPECT_EQ(u.m_level, c.level);
        EXPECT_EQ(u.m_baseSpeed, c.speed);
        EXPECT_EQ(u.m_morale, c.morale);
        EXPECT_EQ(u.m_rearDivisor, c.rear);
        EXPECT_EQ(u.m_flankDivisor, c.flank);
        EXPECT_EQ(u.m_frontDivisor, 1.0);
        EXPECT_EQ(u.m_parryMax, c.parry);
        EXPECT_EQ(u.m_parry, c.parry);
        EXPECT_EQ(u.m_condition, 1.0);
        EXPECT_EQ(u.m_speed, 0.0);
    }

    // A kind outside 0..8 has nothing, and keeps the frames it had.
    CUnit odd;
    odd.SetKindAndIcon(7, nullptr, 0);
    odd.SetKindAndIcon(9, nullptr, 0);
    EXPECT_EQ(odd.m_headCount, 0);
    EXPECT_EQ(odd.m_morale, 0.0);
    EXPECT_EQ(odd.m_frames.death[0], 24);
}

TEST(UnitTest, NewUnitStandsWhereItsBattalionPutItAsASwordman) {
    CUnit u(3, nullptr, 1, 130, 40);
    EXPECT_EQ(u.m_kind, 0);
    EXPECT_EQ(u.GetPosition(), CPoint(130, 40));
    EXPECT_EQ(u.m_exactPos.x, 130.0);
    EXPECT_EQ(u.m_number, 3);
    EXPECT_EQ(u.m_slotIndex, 3);
    EXPECT_FALSE(u.m_isFirst);
    EXPECT_EQ(u.m_atSlot, 1);
    EXPECT_EQ(u.m_bodyRect, CRect(-3, -3, 3, 3));
    EXPECT_EQ(u.m_fieldRect, CRect(-1000, -1000, -1000, -1000));

    CUnit* created = static_cast<CUnit*>(RUNTIME_CLASS(CUnit)->CreateObject());
    EXPECT_EQ(created->GetPosition(), CPoint(-1000, -1000));
    EXPECT_EQ(created->m_headCount, 340);
    delete created;
}

TEST(UnitTest, BodyIsTheFrameOfItsUnitSet) {
    for (int kind = 0; kind < 9; ++kind) {
        SCOPED_TRACE(kind);
        const UnitSets::Spec* set = UnitSets::ForKind(kind);
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(set->mounted, CUnit::IsMountedKind(kind));
        CFakeIcon icon(set->cellWidth, set->cellHeight);
        CUnit withIcon, without;
        withIcon.SetKindAndIcon(kind, &icon, 40 + kind);
        without.SetKindAndIcon(kind, nullptr, 0);
        EXPECT_EQ(withIcon.m_bodyRect, without.m_bodyRect);
        EXPECT_EQ(withIcon.m_bodyRect.Width(), set->cellWidth);
        EXPECT_EQ(withIcon.m_bodyRect.Height(), set->cellHeight);
        EXPECT_EQ(withIcon.m_bodyRect.CenterPoint(), CPoint(0, 0));
        EXPECT_EQ(icon.id, 40 + kind);
        int grow = CUnit::IsMountedKind(kind) ? 8 : 0;
        EXPECT_EQ(withIcon.m_moveRect.Width(), set->cellWidth + grow);
        EXPECT_EQ(withIcon.m_moveRect.Height(), set->cellHeight + grow);
    }
    // An odd-sized picture is centred by integer halves.
    CFakeIcon odd(25, 31);
    CUnit u;
    u.SetKindAndIcon(0, &odd, 1);
    EXPECT_EQ(u.m_bodyRect, CRect(-12, -15, 13, 16));
}

TEST(UnitTest, FacingWrapsAndFramesCycle) {
    CUnit u;
    const int facings[][2] = {{9, 1}, {-1, 7}, {8, 0}, {-9, 7}, {3, 3}};
    for (auto [in, out] : facings) {
        u.SetFacing(in);
        EXPECT_EQ(u.m_facing, out) << in;
    }
    u.SetFacing(0);
    u.TurnOneStep(FALSE);
    EXPECT_EQ(u.m_facing, 7);

    // first, last, frame before, frame after
    const int frames[][4] = {
        {39, 32, 35, 34}, {39, 32, 32, 39}, {39, 32, 50, 39}, {0, 7, 3, 4}, {0, 7, 7, 0}, {5, 5, 2, 2},
    };
    for (auto [first, last, before, after] : frames) {
        u.m_frame = before;
        u.StepFrame(first, last);
        EXPECT_EQ(u.m_frame, after) << first << ".." << last << " from " << before;
    }

    // Toward its action target: same row to the left or on it is west.
    u.SetPosition(100, 100);
    u.m_action.m_x = 100, u.m_action.m_y = 100;
    u.SetDesiredFacing(-1000);
    EXPECT_EQ(u.m_desiredFacing, 6);
    u.m_action.m_x = 100, u.m_action.m_y = 50;
    u.SetDesiredFacing(-1000);
    EXPECT_EQ(u.m_desiredFacing, 0);
    u.SetDesiredFacing(-3);
    EXPECT_EQ(u.m_desiredFacing, 5);
}

TEST(UnitTest, MeleeStrengthNeverFallsBelowFourteen) {
    CUnit u;
    u.m_trainingFactor = 1.0;  // the level sets it; this test is about the floor
    u.m_condition = 0.01;
    EXPECT_EQ(u.GetMeleeStrength(), 14);
    u.m_condition = 1.0;
    EXPECT_EQ(u.GetMeleeStrength(), 56);
    u.m_condition = 0.0;
    EXPECT_EQ(u.GetDefenceStrength(1.0), 1);
}

TEST(ActionTest, TargetsKeepAtMostThreeCloseEngagers) {
    CUnit target, a, b, c, d;
    for (CUnit* u : {&a, &b, &c}) EXPECT_TRUE(u->m_action.SetTarget(u, &target, TRUE, TRUE));
    EXPECT_EQ(target.m_engagers.GetCount(), 3);

    // A fourth is refused with the limit and nothing changes ...
    d.m_tickCount = 42;
    EXPECT_FALSE(d.m_action.SetTarget(&d, &target, TRUE, TRUE));
    EXPECT_EQ(d.m_action.m_target, nullptr);
    EXPECT_EQ(d.m_action.m_targetStamp, -1000);
    // ... and taken without it.
    EXPECT_TRUE(d.m_action.SetTarget(&d, &target, TRUE, FALSE));
    EXPECT_EQ(target.m_engagers.GetCount(), 4);
    EXPECT_EQ(d.m_action.m_targetStamp, 42);

    // The same target again with the other flag only restamps.
    d.m_tickCount = 50;
    EXPECT_TRUE(d.m_action.SetTarget(&d, &target, FALSE, FALSE));
    EXPECT_EQ(d.m_action.m_targetStamp, 50);
    EXPECT_EQ(d.m_action.m_closeEngager, 1);
    EXPECT_EQ(target.m_engagers.GetCount(), 4);
    EXPECT_EQ(target.m_engagers2.GetCount(), 0);

    // Clearing leaves the old target's list.
    EXPECT_TRUE(a.m_action.SetTarget(&a, nullptr, FALSE, TRUE));
    EXPECT_EQ(a.m_action.m_targetStamp, -1000);
    EXPECT_EQ(target.m_engagers.GetCount(), 3);

    // A second-list engager moves lists when it changes target.
    CUnit other;
    EXPECT_TRUE(a.m_action.SetTarget(&a, &target, FALSE, FALSE));
    EXPECT_EQ(target.m_engagers2.GetCount(), 1);
    EXPECT_TRUE(a.m_action.SetTarget(&a, &other, TRUE, TRUE));
    EXPECT_EQ(target.m_engagers2.GetCount(), 0);
    EXPECT_EQ(other.m_engagers.GetCount(), 1);
}

TEST(ActionTest, AUnitThatGoesLeavesNoEngagerBehind) {
    CUnit target;
    {
        CUnit attacker;
        attacker.m_action.SetTarget(&attacker, &target, TRUE, TRUE);
        CUnit victim;
        target.m_action.SetTarget(&target, &victim, FALSE, TRUE);
        ASSERT_EQ(target.m_engagers.GetCount(), 1);
        // victim goes first (declared last): the target's action forgets it.
    }
    EXPECT_EQ(target.m_engagers.GetCount(), 0);
    EXPECT_EQ(target.m_action.m_target, nullptr);
}

}  // namespace
