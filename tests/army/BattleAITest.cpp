// The computer's command of an army: the posture it chooses, the war drum
// and its messages, the roles the engagement evaluation gives, and the rule
// that turns a slot target into an order.
#include <gtest/gtest.h>

#include "army/ArmyAI.h"
#include "army/Army.h"
#include "army/DivisionState.h"
#include "Units/Battalion.h"
#include "Units/Unit.h"
#include "core/Random.h"
#include "field/Terrain.h"
#include "world/Person.h"

namespace {

using namespace ArmyDivision;

void SetMorale(CArmy& army, double morale) {
    for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = army.m_divisions.GetDivision(pos);
        for (POSITION b = d->m_battalions.GetHeadPosition(); b;) {
            CBattalion* bt = d->m_battalions.GetBattalion(b);
            for (POSITION u = bt->m_units.GetHeadPosition(); u;) bt->m_units.GetUnit(u)->m_morale = morale;
        }
    }
}

void KillAllUnits(CArmy& army) {
    for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = army.m_divisions.GetDivision(pos);
        for (POSITION b = d->m_battalions.GetHeadPosition(); b;) {
            CBattalion* bt = d->m_battalions.GetBattalion(b);
            for (POSITION u = bt->m_units.GetHeadPosition(); u;) bt->m_units.GetUnit(u)->m_lost = 1;
        }
    }
}

// Two armies face each other on the field: `a` (side 0) faces east from the
// west edge, `b` (side 1) faces west. Every division has a general, so that
// divisions at full strength are strong enough to fight.
class AIArmies : public ::testing::Test {
protected:
    void SetUp() override {
        GameSrand(7);
        a.m_opponent = &b;
        b.m_opponent = &a;
        a.m_facing = 2;
        b.m_facing = 6;
        int n = 0;
        for (CArmy* army : {&a, &b}) {
            army->BuildGrid();
            army->RecountDivisions();
            army->SetCommander(&people[n++]);
            for (POSITION pos = army->m_divisions.GetHeadPosition(); pos;) {
                CDivision* d = army->m_divisions.GetDivision(pos);
                d->m_general = &people[n++ % 32];
                d->RecountBattalions();
            }
        }
        ClearGrid(a);
    }
    static void ClearGrid(CArmy& army) {
        for (int i = 0; i < CArmy::kCells; ++i)
            army.m_ownA[i] = army.m_ownB[i] = army.m_enemyA[i] = army.m_enemyB[i] = 0;
    }
    // Own (or opposing) value A in cells of rows r0..r1 and columns c0..c1.
    static void Fill(CArmy& army, bool own, int r0, int r1, int c0, int c1, int value) {
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) (own ? army.m_ownA : army.m_enemyA)[r * CArmy::kGridColumns + c] = value;
    }
    CPerson people[32];
    CArmy a{0, 14, true};
    CArmy b{1, 14, true};
    CArmyAI ai;
};

// ---------------------------------------------------------------- postures

TEST_F(AIArmies, PostureChoiceFollowsTheBandsTheLevelAndTheTie) {
    struct Case {
        const char* what;
        int level, tie, posture;
        float force;
        bool reach;
        int fill;  // 0 none, 1 own left band, 2 own middle band, 3 enemy rear, 4 enemy rear + own front
        int expected;
    };
    const Case cases[] = {
        {"even field, level 5, tie 1", 5, 1, 1, 0.5f, true, 0, 4},
        {"even field, level 5, tie 2", 5, 2, 1, 0.5f, true, 0, 256},
        {"even field, level 4, tie 3", 4, 3, 1, 0.5f, true, 0, 512},
        {"even field, level 3, tie 1", 3, 1, 1, 0.5f, true, 0, 4},
        {"even field, level 3, tie 2", 3, 2, 1, 0.5f, true, 0, 64},
        {"even field, level 3, tie 3", 3, 3, 1, 0.5f, true, 0, 128},
        {"even field, level 2, tie 1", 2, 1, 1, 0.5f, true, 0, 1024},
        {"even field, level 1, tie 1", 1, 1, 1, 0.5f, true, 0, 2},
        {"even field, level 1, tie 2", 1, 2, 1, 0.5f, true, 0, 4},
        {"even field, level 1, tie 3", 1, 3, 1, 0.5f, true, 0, 1024},
        {"level 0 attacks at once", 0, 2, 1, 0.5f, true, 0, 2},
        {"strong, commander out of reach", 3, 1, 1, 0.7f, false, 0, 4096},
        {"very strong", 3, 1, 1, 0.9f, true, 0, 2},
        {"strong, flanks even, centre even", 3, 1, 1, 0.7f, true, 0, 128},
        {"strong on the left band", 3, 1, 1, 0.7f, true, 1, 256},
        {"strong in the middle band", 3, 1, 1, 0.7f, true, 2, 4},
        {"a general attack keeps going at 0.55", 3, 1, 2, 0.55f, true, 0, 128},
        {"enemy at the rear edge", 3, 1, 1, 0.5f, true, 3, 1024},
        {"enemy at the rear edge, own front strong", 3, 1, 1, 0.5f, true, 4, 2},
    };
    // The opposing commander stands far from this army's own half: only its
    // headquarters decide the reach.
    b.GetDivision(0, FALSE)->GetLeadUnit()->SetPosition(2900, 1000);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearGrid(a);
        a.m_aiLevel = c.level;
        a.m_randomTie = c.tie;
        a.m_posture = c.posture;
        a.m_aiMode = 1;
        a.m_forceRatio = c.force;
        b.m_headquartersIntact = c.reach;
        if (c.fill == 1) Fill(a, true, 0, 1, 4, 7, 100);
        if (c.fill == 2) Fill(a, true, 2, 3, 4, 7, 100);
        if (c.fill >= 3) Fill(a, false, 0, 5, 0, 1, 100);
        if (c.fill == 4) Fill(a, true, 0, 5, 10, 11, 100);
        EXPECT_EQ(ai.ChoosePosture(a), c.expected);
    }
}

TEST_F(AIArmies, PostureChoiceSpecialCases) {
    a.m_aiLevel = 3;
    a.m_randomTie = 2;
    a.m_aiMode = 1;
    a.m_detachmentsInPlay = 1;
    a.m_aiLevel = 4;
    EXPECT_EQ(ai.ChoosePosture(a), 1024) << "detachments in play hold the line at level 4";
    a.m_detachmentsInPlay = 0;
    a.m_battlefieldFlag = 1;
    EXPECT_EQ(ai.ChoosePosture(a), 1024) << "the battlefield's flag holds the line";
    a.m_battlefieldFlag = 0;

    // An opponent without divisions is pursued whatever the grid holds.
    CArmy empty(1, -1, true);
    a.m_opponent = &empty;
    Fill(a, false, 0, 5, 0, 11, 1000);
    EXPECT_EQ(ai.ChoosePosture(a), 4096);
    a.m_opponent = &b;

    // The scenario families hold the line until the battle runs long.
    ClearGrid(a);
    a.m_aiMode = 2;
    a.m_rootFormationId = 133;
    struct Case {
        int tick;
        bool joined;
        int expected;
    };
    for (const Case& c : {Case{7200, false, 1024}, Case{7201, false, 256}, Case{3600, true, 1024},
                          Case{3601, true, 256}}) {
        a.m_tickCount = c.tick;
        a.m_battleJoined = c.joined;
        a.m_forceRatio = 0.5f;
        a.m_randomTie = 2;
        EXPECT_EQ(ai.ChoosePostureSpecial(a), c.expected) << c.tick << " joined " << c.joined;
    }
}

TEST_F(AIArmies, ANewPostureWaitsForTheNextThinkOnAHundredthTick) {
    a.m_aiLevel = 3;
    a.m_randomTie = 2;  // the even field gives 64
    a.m_aiMode = 1;
    a.m_tickCount = 100;
    ai.ApplyPosture(a);
    EXPECT_EQ(a.m_posture, 1);
    EXPECT_EQ(a.m_postureChanged, 1);
    EXPECT_EQ(a.m_postureOrderMask, 0x10000u);
    EXPECT_EQ(a.GetDivision(0, FALSE)->m_flags, 0x100) << "the roles were given anyway";
    a.m_tickCount = 110;
    ai.ApplyPosture(a);
    EXPECT_EQ(a.m_posture, 64);
}

TEST_F(AIArmies, AHumanArmyIsMeasuredButGivesNoOrders) {
    a.m_humanControlled = 1;
    a.m_aiLevel = 1;
    a.m_battleJoined = 1;
    a.m_forceRatio = 0.5f;
    const int before = RandCallCount;
    ai.Think(a);
    EXPECT_EQ(a.m_forceRatio, 0.5f) << "an empty grid is an even battle";
    EXPECT_NE(a.m_situationWord & 0x2000u, 0u);
    EXPECT_EQ(a.m_warDrum.m_beatsUsed, 0);
    EXPECT_EQ(a.m_posture, 1);
    for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) EXPECT_FALSE(Ordered(a.m_divisions.GetDivision(pos)));
    EXPECT_EQ(RandCallCount, before);
}

TEST_F(AIArmies, TheForceRatioWeighsOwnAgainstOpposingStrength) {
    a.m_aiLevel = 1;
    a.m_postureOrderMask = 0;
    struct Case {
        int own, opposing;
        float ratio;
        DWORD bits;
    };
    for (const Case& c : {Case{0, 0, 0.5f, 0x18000}, Case{0, 100, 0.0f, 0x38000}, Case{100, 0, 1.0f, 0x8000},
                          Case{300, 100, 0.75f, 0x8000}}) {
        ClearGrid(a);
        a.m_ownA[0] = c.own;
        a.m_enemyA[0] = c.opposing;
        ai.AssessSituation(a);
        EXPECT_FLOAT_EQ(a.m_forceRatio, c.ratio) << c.own << " against " << c.opposing;
        EXPECT_EQ(a.m_situationWord & 0x38000u, c.bits);
    }
}

// ---------------------------------------------------------------- war drum

class Drum : public AIArmies {
protected:
    void SetUp() override {
        AIArmies::SetUp();
        a.m_headquarters[0] = &hq[0];
        a.m_headquarters[1] = &hq[1];
        SetMorale(a, 2000);
        a.m_tickCount = 1000;
    }
    CKeyPoint hq[2] = {CKeyPoint(1, 0, 100, 100, nullptr), CKeyPoint(1, 0, 100, 300, nullptr)};
};

TEST_F(Drum, BeatsGainLessWhenCloseTogetherAndRunOutAfterThree) {
    a.m_messageFlags[0] = a.m_messageFlags[1] = 1;
    // First beat: t = 15, 15 beats' worth left: 30% of 2000 is 600, times
    // the leadership 0.25 + 0.7.
    EXPECT_EQ(a.BeatDrum(), 570);
    EXPECT_EQ(a.GetAverageMorale(), 2570);
    a.m_tickCount += 10;  // t = -10, left 10: no gain
    EXPECT_EQ(a.BeatDrum(), 0);
    a.m_tickCount += 10;  // t = -10, left 5: a loss
    EXPECT_EQ(a.BeatDrum(), -123);  // -0.05 x 2570 = -128.5 -> -129; x 0.95 = -122.55 -> -123
    EXPECT_EQ(a.GetAverageMorale(), 2447);
    EXPECT_EQ(a.BeatDrum(), CWarDrum::kNoBeatsLeft);
    EXPECT_EQ(a.GetAverageMorale(), 2447);
    EXPECT_EQ(a.m_warDrum.m_beatsUsed, 3);

    std::vector<int> ids;
    for (CBattleMessage m; a.TakeBattleMessage(m);) {
        EXPECT_EQ(m.speaker, a.GetDivision(0, FALSE)->m_general->id) << "the commander speaks";
        ids.push_back(m.messageId);
    }
    EXPECT_EQ(ids, (std::vector<int>{kMsgMoraleUp, kMsgMoraleNoEffect, kMsgMoraleRunOut}));
}

TEST_F(Drum, LowMoraleNeverFallsFurther) {
    SetMorale(a, 999);
    a.m_warDrum.m_beatsUsed = 2;
    a.m_warDrum.m_lastBeatTick = a.m_tickCount - 10;
    EXPECT_EQ(a.BeatDrum(), 0);
    EXPECT_EQ(a.GetAverageMorale(), 999);
    EXPECT_EQ(a.m_warDrum.m_beatsUsed, 3);
}

TEST_F(Drum, AnArmyWithoutLiveUnitsGainsNothing) {
    a.m_messageFlags[0] = a.m_messageFlags[1] = 1;
    KillAllUnits(a);
    EXPECT_EQ(a.GetAverageMorale(), 0);
    EXPECT_EQ(a.BeatDrum(), 0);
    CBattleMessage m;
    ASSERT_TRUE(a.TakeBattleMessage(m));
    EXPECT_EQ(m.messageId, kMsgMoraleNoEffect);
}

TEST_F(Drum, ABrokenDrumUsesNoBeatOnEitherMachine) {
    hq[1].m_currentState = 3;
    for (bool shown : {true, false}) {
        a.m_messageFlags[0] = a.m_messageFlags[1] = shown;
        const int moraleBefore = a.GetAverageMorale();
        EXPECT_EQ(a.BeatDrum(), CWarDrum::kBroken) << "messages shown " << shown;
        EXPECT_EQ(a.m_warDrum.m_beatsUsed, 0);
        EXPECT_EQ(a.m_warDrum.m_lastBeatTick, CWarDrum::kNeverBeaten);
        EXPECT_EQ(a.GetAverageMorale(), moraleBefore);
    }
    CBattleMessage m;
    ASSERT_TRUE(a.TakeBattleMessage(m));
    EXPECT_EQ(m.messageId, kMsgDrumBroken);
    EXPECT_FALSE(a.TakeBattleMessage(m)) << "only the machine that shows messages hears of it";
}

TEST_F(AIArmies, MessagesSpeakWithTheArmysVoiceByItsSide) {
    a.AddBattleMessage(kMsgEnemyHqKilled, -2, -1);
    b.AddBattleMessage(kMsgEnemyHqKilled, -2, -1);
    a.AddBattleMessage(kMsgEnemyHqKilled, 42, -1);
    CBattleMessage m;
    ASSERT_TRUE(a.TakeBattleMessage(m));
    EXPECT_EQ(m.speaker, -3);
    ASSERT_TRUE(b.TakeBattleMessage(m));
    EXPECT_EQ(m.speaker, -4);
    ASSERT_TRUE(a.TakeBattleMessage(m));
    EXPECT_EQ(m.speaker, 42);
    // Messages still queued go with the army.
    for (int i = 0; i < 5; ++i) a.AddBattleMessage(kMsgMoraleUp, -2, -1);
}

TEST_F(AIArmies, TheDrumIsBeatenWhileMoraleSinks) {
    a.m_battleJoined = 1;
    a.m_headquarters[0] = a.m_headquarters[1] = nullptr;
    struct Case {
        int used, morale;
        bool beats;
    };
    for (const Case& c : {Case{0, 2500, true}, Case{1, 1700, false}, Case{1, 1699, true}, Case{2, 1200, false},
                          Case{2, 1199, true}, Case{3, 100, false}}) {
        a.m_warDrum.m_beatsUsed = c.used;
        SetMorale(a, c.morale);
        ai.UpdateAverageValue(a);
        ai.DrumStep(a);
        EXPECT_EQ(a.m_warDrum.m_beatsUsed, c.used + (c.beats ? 1 : 0)) << c.used << " used, morale " << c.morale;
    }
}

// -------------------------------------------------------------- engagement

TEST(WingCounts, FollowThePostureTheFightersAndTheOpposingBands) {
    struct Case {
        int code, m, e1, e2, e3;
        WingCounts expected;
    };
    const Case cases[] = {
        {64, 6, 50, 1, 1, {4, 1, 1}},    {64, 6, 1, 1, 50, {3, 1, 2}},   {64, 6, 1, 1, 1, {3, 2, 1}},
        {64, 3, 1, 9, 1, {2, 1, 0}},     {64, 11, 1, 1, 9, {6, 2, 3}},   {128, 6, 1, 1, 50, {1, 1, 4}},
        {128, 7, 9, 1, 1, {2, 1, 4}},    {4, 6, 1, 50, 1, {1, 4, 1}},    {4, 3, 9, 1, 1, {1, 2, 0}},
        {256, 6, 50, 1, 1, {4, 1, 1}},   {256, 11, 1, 1, 1, {6, 3, 2}},  {512, 9, 1, 1, 1, {2, 3, 4}},
        {2, 4, 1, 1, 1, {2, 1, 1}},      {2, 5, 1, 1, 1, {1, 2, 2}},     {2, 4, 1, 9, 1, {1, 2, 1}},
        {2, 5, 9, 1, 9, {2, 1, 2}},      {1024, 4, 9, 1, 1, {2, 1, 1}},  {1024, 4, 1, 1, 9, {1, 1, 2}},
        {1024, 5, 9, 1, 1, {2, 2, 1}},   {1024, 5, 1, 1, 1, {1, 2, 2}},  {64, 0, 1, 1, 1, {0, 0, 0}},
        {64, 12, 1, 1, 1, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const WingCounts w = WingCountsFor(c.code, c.m, c.e1, c.e2, c.e3);
        EXPECT_EQ(w, c.expected) << "code " << c.code << " m " << c.m << " -> " << w.left << "," << w.centre << ","
                                 << w.right;
    }
}

// Gives posture 2 to `a` with only divisions 0..`last` and 12 on the field.
class Engagement : public AIArmies {
protected:
    int Count(int flags) {
        int n = 0;
        for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) n += a.m_divisions.GetDivision(pos)->m_flags == flags;
        return n;
    }
    void KeepOnly(int last) {
        for (int i = last + 1; i <= 14; ++i)
            if (i != 12) a.RemoveDivision(i);
    }
};

TEST_F(Engagement, EvenWingsFromTheFighters) {
    a.m_aiMode = 3;  // no centre guards
    KeepOnly(4);     // four fighters: 1..4
    a.GetDivision(2, FALSE)->m_flags = 0x1000;
    ai.EvaluateEngagement(a, 2);
    EXPECT_EQ(a.GetDivision(0, FALSE)->m_flags, 0x100);
    EXPECT_EQ(a.GetDivision(12, FALSE)->m_flags, 0x808);
    EXPECT_EQ(Count(0x20) + Count(0x1020), 2);
    EXPECT_EQ(Count(0x80) + Count(0x1080), 1);
    EXPECT_EQ(Count(0x40) + Count(0x1040), 1);
    EXPECT_NE(a.GetDivision(2, FALSE)->m_flags & 0x1000, 0) << "the opportunity bit stays";
}

TEST_F(Engagement, SpecialOrdersAndWeakDivisionsKeepOutOfTheWings) {
    a.m_aiMode = 3;
    CDivision* special = a.GetDivision(3, FALSE);
    special->m_flags = 0x4000 | 0x20;
    CDivision* weak = a.GetDivision(4, FALSE);
    for (POSITION b = weak->m_battalions.GetHeadPosition(); b;) {
        CBattalion* bt = weak->m_battalions.GetBattalion(b);
        for (POSITION u = bt->m_units.GetHeadPosition(); u;) bt->m_units.GetUnit(u)->m_lost = 1;
    }
    for (POSITION b = weak->m_battalions.GetHeadPosition(); b;) {
        CBattalion* bt = weak->m_battalions.GetBattalion(b);
        bt->m_liveUnits = 0;
    }
    ai.EvaluateEngagement(a, 2);
    EXPECT_EQ(special->m_flags, 0x4020);
    EXPECT_EQ(weak->m_flags, 0x200);

    // With nobody strong enough only the commander, detachments and weak
    // divisions get roles.
    for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) a.m_divisions.GetDivision(pos)->m_general = nullptr;
    a.SetCommander(nullptr);
    ai.EvaluateEngagement(a, 2);
    EXPECT_EQ(Count(0x20) + Count(0x80) + Count(0x40), 0);
    EXPECT_EQ(Count(0x200), 10);
}

TEST_F(Engagement, CentreGuardsAreSevenThenEleven) {
    a.m_aiMode = 1;
    ai.EvaluateEngagement(a, 1024);  // eleven fighters
    EXPECT_EQ(a.GetDivision(7, FALSE)->m_flags, 0x101);
    EXPECT_EQ(Count(0x101), 2);
    EXPECT_EQ(a.GetDivision(11, FALSE)->m_flags, 0x101);
    struct Case {
        int code, count, detachments, expected;
    };
    for (const Case& c : {Case{2, 1, 0, 0}, Case{1024, 1, 0, 1}, Case{2, 2, 1, 1}, Case{2, 2, 0, 0},
                          Case{1024, 5, 0, 2}, Case{2, 5, 0, 1}, Case{2, 10, 1, 2}, Case{2, 10, 0, 1},
                          Case{2, 11, 0, 2}, Case{2, 0, 1, 0}}) {
        a.m_detachmentsInPlay = BYTE(c.detachments);
        EXPECT_EQ(ai.CountCentreGuards(a, c.code, c.count), c.expected) << c.code << " " << c.count;
    }
    a.m_battlefieldFlag = 1;
    EXPECT_EQ(ai.CountCentreGuards(a, 1024, 11), 0);
}

// ------------------------------------------------------------ target rule

class TargetRule : public AIArmies {
protected:
    void SetUp() override {
        AIArmies::SetUp();
        for (POSITION pos = b.m_divisions.GetHeadPosition(); pos;) MarkLost(b.m_divisions.GetDivision(pos));
        own = a.GetDivision(1, FALSE);
        own->SetPosition(1000, 1000);
        a.m_tickCount = 100;
    }
    CDivision* EnemyAt(int x, int y) {
        CDivision* e = b.GetDivision(3, FALSE);
        e->m_routed = 0;
        e->SetPosition(x, y);
        return e;
    }
    CObjective Sent() { return own->m_order; }
    CDivision* own = nullptr;
};

TEST_F(TargetRule, OnlyOnTheHundredthTicksAndTickTen) {
    for (int tick : {10, 100, 200, 50, 150}) {
        own->m_order = CObjective();
        a.m_tickCount = tick;
        a.SetDivisionTarget(own, 0, 1500, 1000, 300, 0, 512, 0);
        EXPECT_EQ(Sent().m_type, tick % 100 == 50 ? -1 : 512) << tick;
    }
    EnemyAt(1500, 1360);
    a.m_tickCount = 150;
    own->m_order = CObjective();
    a.SetDivisionTargetEx(own, 0, 1500, 1000, 300, 400, 500, 0, 2, 0);
    EXPECT_EQ(Sent().m_type, -1) << "no charge between the gates";
}

TEST_F(TargetRule, WithNoEnemyTheDivisionIsPushedAlongTheArmy) {
    a.SetDivisionTarget(own, 0, 10, 1995, 300, 0, 512, 0);
    EXPECT_EQ(Sent().m_x, 50 + 300) << "clamped to 50, pushed east";
    EXPECT_EQ(Sent().m_y, 1950);
    EXPECT_EQ(Sent().m_facing, 2);
    a.SetDivisionTarget(own, 0, 1500, 1000, 300, 2, 512, 0);
    EXPECT_EQ(Sent().m_x, 1500);
    EXPECT_EQ(Sent().m_y, 1300) << "facing mode 2 turns the push south";
    EXPECT_EQ(Sent().m_facing, 4);
}

TEST_F(TargetRule, TheNearestEnemyDecidesTheCase) {
    struct Case {
        const char* what;
        CPoint enemy;
        CPoint expected;
        int facing;
    };
    // Own division at (1000, 1000), slot at (1500, 1000), radius 300.
    const Case cases[] = {
        {"enemy nearer than the own division: hold the slot", {1500, 1200}, {1500, 1000}, 4},
        {"enemy exactly at the radius: shift by the radius", {1500, 1300}, {1500, 1300}, 4},
        {"enemy within 1500: shift toward it by the radius", {1500, 1800}, {1500, 1300}, 4},
        {"enemy east beyond its reach: pushed", {3000, 1000}, {1800, 1000}, 2},
        {"enemy on the slot: the slot itself", {1500, 1000}, {1500, 1000}, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EnemyAt(c.enemy.x, c.enemy.y);
        a.SetDivisionTarget(own, 0, 1500, 1000, 300, 0, 512, 0);
        EXPECT_EQ(CPoint(Sent().m_x, Sent().m_y), c.expected);
        EXPECT_EQ(Sent().m_facing, c.facing);
    }
    // Own division nearer than the enemy: the target moves away from it.
    own->SetPosition(1500, 1050);
    EnemyAt(1500, 1200);
    a.SetDivisionTarget(own, 0, 1500, 1000, 300, 0, 512, 0);
    EXPECT_EQ(CPoint(Sent().m_x, Sent().m_y), CPoint(1500, 850));
    // Both on the slot: a shift of no length leaves the slot.
    own->SetPosition(1500, 1000);
    EnemyAt(1500, 1000);
    a.SetDivisionTarget(own, 0, 1500, 1000, 300, 0, 512, 0);
    EXPECT_EQ(CPoint(Sent().m_x, Sent().m_y), CPoint(1500, 1000));
    a.SetDivisionTarget(own, 0, 1500, 1000, 0, 0, 512, 0);
    EXPECT_EQ(CPoint(Sent().m_x, Sent().m_y), CPoint(1500, 1000));
}

TEST_F(TargetRule, TheVariantChargesWithinItsFirstReach) {
    struct Case {
        int enemyY;
        CPoint expected;
        int type;
    };
    // The enemy stands one east of the slot's line, so the side test takes it.
    for (const Case& c : {Case{1350, {1501, 1350}, 2}, Case{1450, {1500, 1300}, 2}, Case{1600, {1800, 1000}, 2}}) {
        EnemyAt(1501, c.enemyY);
        a.SetDivisionTargetEx(own, 0, 1500, 1000, 300, 400, 500, 0, 2, 0);
        EXPECT_EQ(CPoint(Sent().m_x, Sent().m_y), c.expected) << "enemy at y " << c.enemyY;
    }
    // An enemy off the field is not charged.
    own->m_order = CObjective();
    EnemyAt(1501, 1350)->m_present = 0;
    a.SetDivisionTargetEx(own, 0, 1500, 1000, 300, 400, 500, 0, 2, 0);
    EXPECT_EQ(Sent().m_type, -1);
}

TEST_F(AIArmies, SideOffsetsSwapAndMirror) {
    EXPECT_EQ(a.GetSideOffset(100, 300), CPoint(300, 100));
    EXPECT_EQ(b.GetSideOffset(100, 300), CPoint(-300, -100));
}

TEST_F(AIArmies, TheLevelRedrawsTheTie) {
    for (int round = 0; round < 20; ++round) {
        a.m_aiMode = 2;
        const int before = RandCallCount;
        a.SetAILevel(1);
        EXPECT_EQ(RandCallCount - before, 1);
        EXPECT_EQ(a.m_aiMode, 1);
        EXPECT_TRUE(a.m_randomTie == 1 || a.m_randomTie == 2);
        a.m_aiMode = 2;
        a.SetAILevel(5);
        EXPECT_EQ(a.m_aiMode, 2);
        EXPECT_TRUE(a.m_randomTie == 2 || a.m_randomTie == 3);
    }
}

// --------------------------------------------------------------- behaviours

class Behaviour : public AIArmies {
protected:
    void SetUp() override {
        AIArmies::SetUp();
        for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) a.m_divisions.GetDivision(pos)->m_flags = 0;
        a.m_markers[0] = &marker[0];
        a.m_markers[1] = &marker[1];
        a.m_tickCount = 100;  // the turn of divisions 0, 5 and 10
    }
    CDivision* Wing(int index, int flags, int x, int y) {
        CDivision* d = a.GetDivision(index, FALSE);
        d->m_flags = flags;
        d->SetPosition(x, y);
        return d;
    }
    // The target the headquarters give: (2500, 1000).
    CKeyPoint marker[2] = {CKeyPoint(1, 0, 2500, 900, nullptr), CKeyPoint(1, 0, 2600, 1100, nullptr)};
};

TEST_F(Behaviour, AttackersGoStraightWhenNearAndStepWhenFar) {
    struct Case {
        int x;
        bool ordered;
        CPoint target;
    };
    for (const Case& c : {Case{2401, false, {}}, Case{2400, true, {2500, 1000}}, Case{2000, true, {2400, 1000}}}) {
        CDivision* d = Wing(5, 32, c.x, 1000);
        Ordered(d) = 0;
        d->m_order = CObjective();
        ai.RunPosture(a, 2);
        EXPECT_EQ(bool(Ordered(d)), c.ordered) << c.x;
        if (c.ordered) {
            EXPECT_EQ(CPoint(d->m_order.m_x, d->m_order.m_y), c.target) << c.x;
            EXPECT_EQ(d->m_order.m_type, 2);
        }
    }
}

TEST_F(Behaviour, OnlyWingDivisionsOnTheirTurnAreOrdered) {
    CDivision* offTurn = Wing(6, 32, 2000, 1000);
    CDivision* mixed = Wing(10, 32 | 0x1000, 2000, 1000);
    CDivision* onTurn = Wing(5, 64, 2000, 1000);
    for (int code : {2, 64, 128, 256, 512, 1024}) {
        for (CDivision* d : {offTurn, mixed, onTurn}) Ordered(d) = 0, d->m_ready = 1;
        onTurn->m_flags = 64;
        ai.RunPosture(a, code);
        EXPECT_FALSE(Ordered(offTurn)) << code;
        EXPECT_FALSE(Ordered(mixed)) << code;
        EXPECT_TRUE(Ordered(onTurn)) << code;
    }
}

TEST_F(Behaviour, ALoneCentreDivisionHoldsTheMiddleLine) {
    a.m_frontColumns[2] = 6;
    a.m_frontColumns[3] = 5;
    CDivision* d = Wing(5, 128, 1374, 800);
    ai.RunPosture(a, 1024);
    ASSERT_TRUE(Ordered(d));
    EXPECT_EQ(CPoint(d->m_order.m_x, d->m_order.m_y), CPoint(1374, 1000)) << "column 5, y 1000";
    EXPECT_EQ(d->m_order.m_type, 512);
    Ordered(d) = 0;
    d->m_flags = 128;
    d->SetPosition(1374, 950);
    d->m_facing = 2;
    ai.RunPosture(a, 1024);
    EXPECT_FALSE(Ordered(d)) << "in place and facing the army's way";
    d->m_facing = 4;
    ai.RunPosture(a, 1024);
    EXPECT_TRUE(Ordered(d)) << "in place but facing elsewhere";
}

TEST_F(Behaviour, TheFlankWingMeetsAnEnemyBehindIt) {
    struct Case {
        CPoint enemy;
        int type;
        CPoint target;
    };
    // Posture 64: the right-hand wing is the flank. An enemy in the rear
    // corner is met where it stands; one only on the flank band, matched one
    // to one, is held 400 east of it (a 400 step away); with no enemy the
    // flank attacks toward its far corner.
    for (const Case& c : {Case{{400, 1500}, 512, {400, 1500}}, Case{{1600, 1500}, 128, {1700, 1500}},
                          Case{{2900, 100}, 2, {1699, 1500}}}) {
        b.GetDivision(3, FALSE)->SetPosition(c.enemy.x, c.enemy.y);
        CDivision* d = Wing(5, 64, 1300, 1500);
        d->m_ready = 1;
        Ordered(d) = 0;
        ai.RunPosture(a, 64);
        ASSERT_TRUE(Ordered(d)) << c.enemy.x;
        EXPECT_EQ(d->m_order.m_type, c.type) << c.enemy.x;
        EXPECT_EQ(CPoint(d->m_order.m_x, d->m_order.m_y), c.target) << c.enemy.x;
    }
}

TEST_F(Behaviour, PursuitGoesForTheNearestEnemy) {
    for (POSITION pos = b.m_divisions.GetHeadPosition(); pos;) b.m_divisions.GetDivision(pos)->SetPosition(2800, 100);
    b.GetDivision(4, FALSE)->SetPosition(1500, 1500);
    CDivision* d = Wing(5, 8, 1000, 1500);
    ai.RunPosture(a, 4096);
    ASSERT_TRUE(Ordered(d));
    EXPECT_EQ(CPoint(d->m_order.m_x, d->m_order.m_y), CPoint(1500, 1500));
}

// Two computer armies on an open field think for 600 ticks: both runs make
// the same draws on the same ticks, and the armies give orders.
TEST(BattleAIRun, TwoComputerArmiesThinkRepeatably) {
    auto run = [] {
        GameSrand(3);
        CPerson people[32];
        CArmy a(0, 14, true), b(1, 14, true);
        a.m_opponent = &b;
        b.m_opponent = &a;
        a.m_facing = 2;
        b.m_facing = 6;
        int n = 0;
        for (CArmy* army : {&a, &b}) {
            army->BuildGrid();
            army->RecountDivisions();
            army->SetCommander(&people[n++]);
            army->SetBattleAI(std::make_unique<CArmyAI>());
            army->m_aiMode = 1;
            army->m_battleJoined = 1;
            int i = 0;
            for (POSITION pos = army->m_divisions.GetHeadPosition(); pos; ++i) {
                CDivision* d = army->m_divisions.GetDivision(pos);
                d->m_general = &people[n++ % 32];
                d->RecountBattalions();
                d->SetPosition(army == &a ? 300 + 40 * i : 2700 - 40 * i, 200 + 110 * i);
            }
            army->SetAILevel(army == &a ? 5 : 2);
        }
        std::vector<int> counts;
        const int start = RandCallCount;
        int ordered = 0;
        for (int tick = 0; tick < 600; ++tick) {
            a.Update();
            b.Update();
            counts.push_back(RandCallCount - start);
        }
        for (CArmy* army : {&a, &b})
            for (POSITION pos = army->m_divisions.GetHeadPosition(); pos;) ordered += Ordered(army->m_divisions.GetDivision(pos));
        return std::pair{counts, ordered};
    };
    const auto first = run();
    const auto second = run();
    EXPECT_EQ(first.first, second.first);
    EXPECT_GT(first.second, 0);
}

}  // namespace
