// The rules a unit lives by, case by case: morale and exertion, blows and
// hits, missiles and shooting ranges, engagement choices and the move step.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <tuple>

#include "core/GameTables.h"
#include "core/Random.h"
#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "field/Terrain.h"
#include "field/TerrainDB.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Missile.h"
#include "Units/Unit.h"

namespace {

// A division of one army holding battalions of `kind` units; unit(i) of
// battalion 0.
struct Troops {
    explicit Troops(int kind = KIND_SWORDMAN, int battType = 0) : division(0, 500, 500, nullptr) {
        for (POSITION pos = division.m_battalions.GetHeadPosition(); pos;) {
            CBattalion* b = division.m_battalions.GetBattalion(pos);
            b->m_battType = battType;
            for (POSITION u = b->m_units.GetHeadPosition(); u;) b->m_units.GetUnit(u)->SetKindAndIcon(kind, nullptr, 0);
        }
    }
    CBattalion* battalion(int n = 0) { return division.m_battalions.FindByID(n, FALSE, TRUE); }
    CUnit* unit(int i, int b = 0) { return battalion(b)->m_units.FindById(i, TRUE, FALSE); }
    CDivision division;
};

TEST(UnitMorale, GainsFollowTheBattalionAndLossesAreKeptInBounds) {
    Troops t;
    CUnit* u = t.unit(0);
    struct Case {
        double quality, morale, delta, expected;
    } cases[] = {
        {0.5, 1000, 10, 1010},  // a gain scales by quality + 0.5
        {0.0, 1000, 10, 1005},
        {0.5, 2990, 20, 3000},  // kept to 3000
        {0.5, 5, -20, 0},       // and to 0
    };
    for (const Case& c : cases) {
        t.battalion()->m_commandFactor = c.quality;
        u->m_morale = c.morale;
        u->AdjustMorale(c.delta);
        EXPECT_DOUBLE_EQ(u->m_morale, c.expected) << c.quality << " " << c.delta;
    }
    // A heavy loss weighs quality and training, never leadership, in daylight.
    t.battalion()->m_commandFactor = 0.5;
    u->m_morale = 2000;
    u->AdjustMorale(-300);
    double T = u->m_trainingFactor;
    EXPECT_NEAR(u->m_morale, 2000 + (0.5 * -300 * 0.2 + (2.2 - T) * -300 * 0.3 - 150), 1e-9);
}

TEST(UnitMorale, TrainingFactorFollowsTheLevel) {
    CUnit u;
    for (int kind : {KIND_SWORDMAN, KIND_SPEARMAN, KIND_ARCHER}) {
        u.m_kind = kind;
        u.m_level = 9;
        u.ComputeTrainingFactor();
        EXPECT_NEAR(u.m_trainingFactor, 0.0, 1e-15) << kind;
    }
    u.m_kind = KIND_SWORDMAN;
    u.m_level = 99;
    u.ComputeTrainingFactor();
    double l = 0.55 * std::log(10.0);
    EXPECT_NEAR(u.m_trainingFactor, 1.2 * l * l, 1e-12);
}

TEST(UnitMorale, ExertionNeverCrossesEightHundredInOneStep) {
    CUnit u;
    struct Case {
        int start, delta, expected;
    } cases[] = {{900, -200, 800}, {800, -200, 600}, {803, -3, 800}, {801, -3, 800}, {800, -3, 797},
                 {4990, 20, 5000}, {10, -20, 0}};
    for (const Case& c : cases) {
        u.m_exertion = c.start;
        u.SetExertion(c.delta);
        EXPECT_EQ(u.m_exertion, c.expected) << c.start << " " << c.delta;
    }
}

TEST(UnitMorale, ASteadyUnitDrawsNothingAndCalmsAboveTheCeiling) {
    Troops t;
    CUnit* u = t.unit(1);
    u->m_morale = 1600;
    int before = RandCallCount;
    u->CheckRout();
    EXPECT_EQ(RandCallCount, before);
    EXPECT_EQ(u->m_morale, 1599);
    EXPECT_EQ(u->GetBehaviour(), -1);
    // A shaken one rolls once and, when it breaks, runs for its own side.
    u->m_morale = 0;
    u->m_headCount = 1;
    bool broke = false;
    for (int i = 0; i < 2000 && !broke; ++i) {
        before = RandCallCount;
        u->CheckRout();
        broke = u->GetBehaviour() == 5;
        EXPECT_EQ(RandCallCount - before, broke ? 2 : 1);
    }
    ASSERT_TRUE(broke);
    EXPECT_EQ(u->m_slot.m_x, -1000);  // east-facing army: off the west edge
    EXPECT_EQ(u->m_fleeing, 1);
}

TEST(UnitCombat, AttackAndDefenceChancesStayInTheirBounds) {
    Troops t;
    CUnit* a = t.unit(1);
    Troops archers(KIND_ARCHER, 2);
    CUnit* archer = archers.unit(1);
    a->m_readiness = 10;
    a->m_condition = 1.0;
    int plain = a->GetAttackChance(nullptr);
    EXPECT_GE(plain, 5);
    EXPECT_EQ(a->GetAttackChance(archer), std::min(95, a->GetAttackChance(archer)));
    EXPECT_GT(a->GetAttackChance(archer), plain);  // missile troops are easy prey
    a->m_condition = 0.0;
    EXPECT_EQ(a->GetAttackChance(nullptr), 5);
    a->m_condition = 5.0;
    a->SetBehaviour(3);
    EXPECT_EQ(a->GetDefenceChance(), 95);
}

TEST(UnitCombat, FallingBelowTwentyFiveCostsMoraleOnce) {
    Troops t;
    Troops enemy;
    CUnit* u = t.unit(1);
    CUnit* e = enemy.unit(1);
    e->m_sideId = 1;
    e->m_facing = 4, u->m_facing = 0;  // face to face: the front divisor, 1
    u->m_parry = 0.0;  // nothing to turn a blow aside
    u->m_headCount = 30;
    u->m_morale = 2000;
    u->TakeBlow(10, e);
    double first = 2000 - u->m_morale;
    EXPECT_EQ(u->m_headCount, 20);
    double before = u->m_morale;
    u->TakeBlow(10, e);
    double second = before - u->m_morale;
    EXPECT_EQ(u->m_headCount, 10);
    EXPECT_GT(first, second + 20);
    // A dead unit takes no more blows and is credited once.
    u->TakeBlow(50, e);
    u->TakeBlow(50, e);
    EXPECT_EQ(enemy.battalion()->m_kills, 1);
}

TEST(Missiles, HeadingsFallToTheAxesOnTheirBorders) {
    struct Case {
        int dx, dy, heading;
    } cases[] = {{5, 0, 2}, {0, -5, 0}, {-3, 3, 5}, {0, 0, 6}, {0, 4, 4}, {-4, 0, 6}, {3, -3, 1}, {-3, -3, 7}, {3, 3, 3}};
    for (const Case& c : cases) EXPECT_EQ(Heading8(c.dx, c.dy), c.heading) << c.dx << "," << c.dy;
}

TEST(Missiles, ArrowsRiseByDistanceAndShotsFlyTheirRange) {
    if (!SinCosTablesBuilt) BuildSinCosTables();
    Troops archers(KIND_ARCHER, 2);
    CUnit* a = archers.unit(1);
    a->SetPositionExact(CVector(1000, 1000), FALSE, FALSE);
    struct Case {
        int distance, angle;
    } cases[] = {{99, 18}, {150, 30}, {230, 30}, {400, 30}};
    for (const Case& c : cases) {
        ASSERT_TRUE(a->Fire(1000 + c.distance, 1000));
        auto* m = static_cast<CMissile*>(a->m_pendingMissile);
        EXPECT_DOUBLE_EQ(m->m_verticalSpeed, SinTable[c.angle] * 30.0 / 3) << c.distance;
        EXPECT_EQ(m->m_flightTicks, CMissile::kBallistic);
    }
    Troops rifles(KIND_RIFLEMAN, 4);
    CUnit* r = rifles.unit(1);
    r->m_range = 0;
    ASSERT_TRUE(r->Fire(300, 0));
    auto* shot = static_cast<CMissile*>(r->m_pendingMissile);
    EXPECT_EQ(shot->m_flightTicks, 1);
    EXPECT_TRUE(shot->Step(nullptr));
    EXPECT_FALSE(shot->Step(nullptr));
    // A swordman fires nothing.
    CUnit sword;
    EXPECT_FALSE(sword.Fire(10, 10));
    EXPECT_EQ(sword.m_pendingMissile, nullptr);
}

TEST(Missiles, AMissileAimedAtItsOwnSpotStaysFinite) {
    CMissile m(FALSE, 0.0, 30.0, 30, 100, 0, 0, 50, 50, nullptr);
    EXPECT_EQ(m.m_stepX, 0);
    EXPECT_EQ(m.m_stepY, 0);
    EXPECT_TRUE(std::isfinite(m.m_verticalSpeed));
}

TEST(Missiles, ALandingMissileStrikesAnEnemyBeforeAFriend) {
    CBattleGrid grid;
    Troops own(KIND_ARCHER, 2), enemy;
    CUnit* shooter = own.unit(1);
    shooter->m_level = 99;
    shooter->ComputeTrainingFactor();
    CUnit* friendUnit = own.unit(2);
    CUnit* foe = enemy.unit(1);
    foe->m_sideId = foe->m_armyId = 1;
    for (CUnit* u : {friendUnit, foe}) {
        u->m_grid = &grid;
        u->SetPositionExact(CVector(500, 500), FALSE, FALSE);
        u->m_rcOccupied = CRect(495, 495, 505, 505);
        grid.AddElement(u);
    }
    CMissile m(FALSE, 0.0, 30.0, 30, 200, 10, 0, 500, 500, shooter);
    int friendBefore = friendUnit->m_headCount, foeBefore = foe->m_headCount;
    m.Explode(15, &grid);
    EXPECT_EQ(friendUnit->m_headCount, friendBefore);
    EXPECT_EQ(foe->m_headCount, foeBefore - 200);
    grid.RemoveAll();
}

TEST(Shooting, RangesFollowTheGround) {
    CAltitudeMap altitude;
    CBattleGrid grid;
    grid.Rebuild(&altitude);
    Troops archers(KIND_ARCHER, 2), enemy;
    CUnit* a = archers.unit(1);
    CUnit* target = enemy.unit(1);
    a->m_grid = &grid;
    a->SetPositionExact(CVector(1000, 1000), FALSE, FALSE);
    auto at = [&](int d, int byteHere, int byteThere) {
        altitude.SetByte(200, 200, BYTE(byteHere));
        for (int c = 201; c < 300; ++c) altitude.SetByte(c, 200, BYTE(byteThere));
        target->SetPositionExact(CVector(1000 + d, 1000), FALSE, FALSE);
        return a->IsTargetInRange(target) != 0;
    };
    struct Case {
        int distance, here, there;
        bool inRange;
    } cases[] = {
        {214, 0, 0, true},    {215, 0, 0, false},  // flat ground
        {255, 100, 23, true}, {265, 100, 23, false},  // 10 lower
        {50, 0, 127, true},   {60, 0, 127, false},    // up a high hill only close by
        {165, 0, 38, true},   {175, 0, 38, false},    // 5 higher
    };
    for (const Case& c : cases) EXPECT_EQ(at(c.distance, c.here, c.there), c.inRange) << c.distance << " " << c.there;
    Troops rifles(KIND_RIFLEMAN, 4);
    CUnit* r = rifles.unit(1);
    r->SetPositionExact(CVector(1000, 1000), FALSE, FALSE);
    target->SetPositionExact(CVector(1000 + r->m_range - 1, 1000), FALSE, FALSE);
    EXPECT_TRUE(r->IsTargetInRange(target));
    target->SetPositionExact(CVector(1000 + r->m_range, 1000), FALSE, FALSE);
    EXPECT_FALSE(r->IsTargetInRange(target));
    grid.RemoveAll();
}

TEST(Shooting, AnEnemyTooCloseSendsTheShooterBackAlongTheWayOrItsFacing) {
    Troops rifles(KIND_RIFLEMAN, 4), enemy;
    CUnit* r = rifles.unit(1);
    CUnit* e = enemy.unit(1);
    r->SetPositionExact(CVector(1000, 1000), FALSE, FALSE);
    rifles.battalion()->m_nearbyEnemies.AddTail(e);
    struct Case {
        int ex, ey, facing;
        CPoint back;
    } cases[] = {
        {960, 1000, 2, CPoint(1100, 1000)},   // 40 west: 100 east
        {1000, 1000, 2, CPoint(900, 1000)},   // on the spot: back against the facing
    };
    for (const Case& c : cases) {
        e->SetPositionExact(CVector(c.ex, c.ey), FALSE, FALSE);
        r->m_facing = c.facing;
        r->SetBehaviour(8);
        EXPECT_TRUE(r->ShootBehaviour());
        EXPECT_EQ(r->GetBehaviour(), 4);
        EXPECT_EQ(r->m_action.GetPoint(), c.back);
    }
    rifles.battalion()->m_nearbyEnemies.RemoveAll(FALSE);
    // Under a move order far from its place and its division it lets the target go.
    e->SetPositionExact(CVector(1200, 1000), FALSE, FALSE);
    rifles.division.m_order.m_type = ORDER_MOVE;
    rifles.division.SetPosition(1300, 1300);
    r->m_slot = CObjective(11, 1300, 1000, -1, 2);
    ASSERT_TRUE(r->m_action.SetTarget(r, e, FALSE, FALSE));
    r->SetBehaviour(8);
    r->ShootBehaviour();
    EXPECT_EQ(r->m_action.m_target, nullptr);
}

// Before a shot the first ranks on the line of fire are looked along: the
// first man met decides. A friend there holds the shot (it would fall on
// his back); an enemy before him takes it; a friend farther off, or beyond
// the target, does not hold it.
TEST(Shooting, TheFirstManOnTheLineOfFireDecidesWhetherAShotIsHeld) {
    struct Case {
        int friendX, enemyX, targetX;
        bool held;
    } cases[] = {
        {1050, 0, 1300, true},     // a rank ahead, past the single point at 30
        {1025, 0, 1300, true},
        {1084, 0, 1300, true},
        {1120, 0, 1300, false},    // beyond the first ranks
        {1070, 1040, 1300, false},  // an enemy stands before him
        {1062, 0, 1040, false},    // behind the target
        {0, 0, 1300, false},
    };
    for (const Case& c : cases) {
        CBattleGrid grid;
        Troops rifles(KIND_RIFLEMAN, 4), enemy;
        CUnit* r = rifles.unit(1);
        auto place = [&](CUnit* u, int x) {
            u->m_grid = &grid;
            u->SetPositionExact(CVector(x, 1000), FALSE, FALSE);
            u->m_rcOccupied = CRect(x - 12, 986, x + 12, 1014);
            grid.AddElement(u);
        };
        place(r, 1000);
        if (c.friendX) place(rifles.unit(2), c.friendX);
        if (c.enemyX) {
            CUnit* e = enemy.unit(1);
            e->m_sideId = e->m_armyId = 1;
            place(e, c.enemyX);
        }
        r->m_facing = 2;
        r->m_readiness = 0;
        EXPECT_EQ(r->ShootAt(c.targetX, 1000) == FALSE, c.held) << c.friendX << " " << c.enemyX << " " << c.targetX;
        delete static_cast<CMissile*>(r->m_pendingMissile);
        r->m_pendingMissile = nullptr;
        grid.RemoveAll();
    }
}

// A rifleman's shot flies flat and a wood stops most of them; an arrow
// rises over it. Of two enemies in range, the nearer behind a wood, the
// rifleman takes the one in the open and the archer the nearer. With only
// the hidden one about, the rifleman at his place holds his fire.
TEST(Shooting, ARiflemanTakesATargetHisShotsCanReachThroughTheCover) {
    CBattleGrid grid;
    CTerrainRectRecord wood;
    wood.states[0].used = 1;
    wood.states[0].rects[0] = CRect(-20, -20, 20, 20);
    wood.states[0].valueC = 700;
    CTerrain trees(GetObjectResourceNumber(0), 0, -1, 1100, 1000, -1000, -1000);
    trees.Setup(wood, &grid, nullptr);
    Troops enemy;
    CUnit* hidden = enemy.unit(1);
    CUnit* open = enemy.unit(2);
    hidden->SetPositionExact(CVector(1180, 1000), FALSE, FALSE);  // 180 east, behind the wood
    open->SetPositionExact(CVector(1000, 1200), FALSE, FALSE);    // 200 south
    for (CUnit* e : {hidden, open}) e->m_sideId = e->m_armyId = 1;
    CUnitList both, hiddenOnly;
    both.AddTail(hidden), both.AddTail(open);
    hiddenOnly.AddTail(hidden);
    const CRect field(0, 0, 3000, 2000);
    for (auto [kind, battType, chosen] : {std::tuple{KIND_RIFLEMAN, 4, open}, std::tuple{KIND_ARCHER, 2, hidden}}) {
        Troops shooters(kind, battType);
        CUnit* s = shooters.unit(1);
        s->m_grid = &grid;
        s->SetPositionExact(CVector(1000, 1000), FALSE, FALSE);
        EXPECT_EQ(s->ChooseTarget(field, &both, FALSE), chosen) << kind;
        EXPECT_EQ(s->HasLineOfFire(hidden), kind != KIND_RIFLEMAN) << kind;
    }
    Troops rifles(KIND_RIFLEMAN, 4);
    CUnit* r = rifles.unit(1);
    r->m_grid = &grid;
    r->SetPositionExact(CVector(1000, 1000), FALSE, FALSE);
    for (const CUnitList* about : {&hiddenOnly, &both}) {
        for (POSITION pos = about->GetHeadPosition(); pos;) rifles.battalion()->m_nearbyEnemies.AddTail(about->GetNext(pos));
        r->m_action = CAction();
        r->m_action.m_x = 1000, r->m_action.m_y = 1000;
        r->SetBehaviour(11);
        EXPECT_TRUE(r->HoldPlace());
        if (about == &hiddenOnly) {
            EXPECT_EQ(r->GetBehaviour(), 11) << "no shot into the wood";
        } else {
            EXPECT_EQ(r->GetBehaviour(), 8);
            EXPECT_EQ(r->m_action.m_target, open);
        }
        rifles.battalion()->m_nearbyEnemies.RemoveAll(FALSE);
    }
    grid.RemoveAll();
}

// A shooter with a target in range looses missile after missile: the
// archer on every drawing of his bow, the rifleman after each reload.
// Readiness regained while shooting must not hold the rifleman's reload
// short of its end, or he would never fire.
TEST(Shooting, ArchersAndRiflemenKeepFiringAtATargetInRange) {
    if (!SinCosTablesBuilt) BuildSinCosTables();
    struct Case {
        int kind, battType, readiness;
    } cases[] = {{KIND_ARCHER, 2, 0}, {KIND_RIFLEMAN, 4, 0}, {KIND_RIFLEMAN, 4, 11}, {KIND_RIFLEMAN, 4, 1}};
    for (const Case& c : cases) {
        Troops shooters(c.kind, c.battType), enemy;
        CUnit* s = shooters.unit(1);
        CUnit* e = enemy.unit(1);
        e->m_sideId = e->m_armyId = 1;
        s->SetPositionExact(CVector(1000, 1000), FALSE, FALSE);
        e->SetPositionExact(CVector(1150, 1000), FALSE, FALSE);
        s->m_facing = 2;
        s->m_readiness = int8_t(c.readiness);
        ASSERT_TRUE(s->m_action.SetTarget(s, e, FALSE, FALSE));
        s->SetBehaviour(8);
        int shots = 0;
        for (int tick = 0; tick < 200; ++tick) {
            ASSERT_TRUE(s->ShootBehaviour());
            ASSERT_EQ(s->GetBehaviour(), 8) << c.kind << " tick " << tick;
            if (s->m_pendingMissile) {
                ++shots;
                delete static_cast<CMissile*>(s->m_pendingMissile);
                s->m_pendingMissile = nullptr;
            }
        }
        EXPECT_GE(shots, 5) << "kind " << c.kind << " readiness " << c.readiness;
    }
}

TEST(Engagement, BehavioursKeepTheirFlagsAndKinds) {
    Troops foot, rifles(KIND_RIFLEMAN, 4), archers(KIND_ARCHER, 2);
    struct Case {
        CUnit* unit;
        int order, asked, taken, melee, fleeing;
    } cases[] = {
        {foot.unit(1), -1, 7, 7, 1, 0},          {foot.unit(1), ORDER_MOVE, 1, 0, 0, 0},
        {foot.unit(1), ORDER_REGROUP, 13, 0, 0, 0}, {foot.unit(1), -1, 5, 5, 0, 1},
        {rifles.unit(1), -1, 7, 11, 1, 0},       {archers.unit(1), -1, 7, 7, 1, 0},
        {archers.unit(1), -1, 3, 11, 0, 0},      {rifles.unit(1), -1, 9, 11, 1, 0},
    };
    for (const Case& c : cases) {
        c.unit->GetDivision()->m_order.m_type = c.order;
        c.unit->SetBehaviour(c.asked);
        EXPECT_EQ(c.unit->GetBehaviour(), c.taken) << c.asked;
        EXPECT_EQ(c.unit->m_inMelee, c.melee) << c.asked;
        EXPECT_EQ(c.unit->m_fleeing, c.fleeing) << c.asked;
    }
    CUnit* u = foot.unit(2);
    foot.division.m_order.m_type = -1;
    u->m_busyCounter = 0;
    u->SetBehaviour(1);
    u->m_atSlot = 0;
    EXPECT_TRUE(u->IsOutOfAction());
    u->m_atSlot = 1;
    EXPECT_FALSE(u->IsOutOfAction());
    EXPECT_EQ(u->GetHoldChance(foot.unit(3)), 100);  // a friend provokes nothing
    EXPECT_EQ(rifles.unit(1)->GetHoldChance(nullptr), 100);  // missile troops hold
}

TEST(Engagement, AUnitHoldingItsPlaceLooksFartherInADivisionLetLooseOnTheEnemy) {
    struct Case {
        int order, beyondReach;
        bool letLoose, engages;
    } cases[] = {
        {ORDER_ATTACK, 100, false, false}, {ORDER_ATTACK, 100, true, true},  {ORDER_ATTACK, 70, false, true},
        {512, 75, false, false},           {512, 75, true, true},            {128, 60, true, false},
        {128, 50, false, true},
    };
    for (const Case& c : cases) {
        Troops own, enemy;
        CUnit* u = own.unit(1);
        CUnit* e = enemy.unit(1);
        own.division.m_order.m_type = c.order;
        if (c.letLoose) own.division.m_flags |= 0x1000;
        u->m_reach = 20;
        u->SetPositionExact(CVector(1000, 1000), FALSE, FALSE);
        e->SetPositionExact(CVector(1000 + 20 + c.beyondReach, 1000), FALSE, FALSE);
        u->m_action = CAction();
        u->m_action.m_x = 1000, u->m_action.m_y = 1000, u->m_action.m_facing = 2;
        u->m_facing = 2;
        u->SetBehaviour(11);
        u->m_enemies.AddTail(e);
        u->HoldPlace();
        EXPECT_EQ(u->GetBehaviour(), c.engages ? 1 : 11)
            << "order " << c.order << ", " << c.beyondReach << " beyond reach, let loose " << c.letLoose;
        u->m_enemies.RemoveAll(FALSE);
        u->m_action.SetTarget(u, nullptr, FALSE, FALSE);
    }
}

TEST(MoveStep, AUnitTurnsBeforeItWalksAndRestsWhereItArrives) {
    Troops t;
    CUnit* u = t.unit(1);
    u->SetPositionExact(CVector(1000, 1000), FALSE, FALSE);
    u->m_facing = 0;
    u->m_speed = 4.0;
    u->m_action = CAction();
    u->m_action.m_x = 1200, u->m_action.m_y = 1000, u->m_action.m_facing = 2;
    u->SetBehaviour(0);
    u->m_slot = u->m_action;
    EXPECT_TRUE(u->MoveTo(0, 7, 1, -1000, -1000));
    EXPECT_EQ(u->m_facing, 1);
    EXPECT_EQ(u->GetPosition(), CPoint(1000, 1000));
    EXPECT_TRUE(u->MoveTo(0, 7, 1, -1000, -1000));
    EXPECT_EQ(u->m_facing, 2);
    EXPECT_EQ(u->GetPosition(), CPoint(1000, 1000));
    EXPECT_TRUE(u->MoveTo(0, 7, 1, -1000, -1000));
    EXPECT_EQ(u->GetPosition(), CPoint(1004, 1000));

    // Exertion by slope: effort 2 costs 6 uphill, 1 downhill, 2 on the flat.
    struct Case {
        double slope;
        int cost;
    } cases[] = {{1.0, 6}, {-1.0, 1}, {0.0, 2}};
    for (const Case& c : cases) {
        u->m_prevHeight = u->m_height = 5.0;
        u->m_slope = c.slope;
        u->m_exertion = 100;
        u->m_headingCheck = 0;
        u->m_stepsSinceCheck = 0;
        EXPECT_TRUE(u->MoveTo(0, 7, 2, -1000, -1000));
        EXPECT_EQ(u->m_exertion, 100 + c.cost) << c.slope;
    }

    // Arrived with nothing left to do: it only rests.
    u->SetPositionExact(CVector(1200, 1000), FALSE, FALSE);
    u->m_exertion = 803;
    EXPECT_TRUE(u->MoveTo(0, 7, 1, -1000, -1000));
    EXPECT_EQ(u->m_exertion, 800);
    EXPECT_EQ(u->GetPosition(), CPoint(1200, 1000));
}

TEST(MoveStep, AStepOffTheFieldIsBlockedOnFreeGround) {
    Troops t;
    CUnit* u = t.unit(1);
    u->SetPositionExact(CVector(2998, 1000), FALSE, FALSE);
    u->m_facing = 2;
    u->m_speed = 4.0;
    u->m_heading = CVector(1.0, 0.0);
    int before = RandCallCount;
    EXPECT_FALSE(u->StepForward());
    EXPECT_EQ(RandCallCount, before + 1);  // the step draws whether it goes or not
    EXPECT_EQ(u->GetPosition(), CPoint(2998, 1000));
    EXPECT_EQ(u->m_blockedSteps, 1);
    EXPECT_EQ(u->m_headingCheck, 1);
}

}  // namespace
