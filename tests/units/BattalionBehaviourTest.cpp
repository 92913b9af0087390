// Battalion behaviours: when a watch zone is in contact, how the battalion
// sends its units at the enemy there, and how it answers shooters.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "field/BattleGrid.h"
#include "field/Terrain.h"
#include "field/TerrainList.h"
#include "Units/Battalion.h"
#include "Units/DivList.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "core/Random.h"
#include "tests/units/UnitsFixtures.h"

namespace {

// A division of the army on side 0 with its first battalion of foot at
// (1000, 1000) facing east, and enemies made on demand.
struct Post {
    Post() : division(0, 1000, 1000, &army) {
        b = division.m_battalions.FindByID(0, FALSE, TRUE);
        b->m_ownerNumber = 0;
        b->SetPosition(1000, 1000);
        b->m_facing = 2;
        int i = 0;
        for (POSITION pos = b->m_units.GetHeadPosition(); pos; ++i) {
            CUnit* u = b->m_units.GetUnit(pos);
            u->SetKindAndIcon(KIND_SWORDMAN, nullptr, 0);
            u->SetPosition(1000, 950 + 10 * i);
        }
        for (int z = 0; z < ZONE_COUNT; ++z)
            for (int p = 0; p < 3; ++p) b->m_zones[z][p] = CRect(1100 + 300 * p, 800, 1400 + 300 * p, 1200);
    }
    ~Post() {
        for (auto& group : b->m_watch)
            for (auto& zone : group)
                for (auto& part : zone) part.RemoveAll(FALSE);
    }
    // `n` enemies of side 1 in part `part` of `zone`, inside its rectangle.
    void Enemies(WatchZone zone, int part, int n) {
        const CRect& r = b->m_zones[zone][part];
        for (int i = 0; i < n; ++i) {
            auto u = std::make_unique<CUnit>(i, nullptr, 1, r.left + 20 + 10 * i, (r.top + r.bottom) / 2);
            u->SetKindAndIcon(KIND_SWORDMAN, nullptr, 0);
            u->m_sideId = u->m_armyId = u->m_ownerNumber = 1;
            b->m_watch[0][zone][part].AddTail(u.get());
            enemies.push_back(std::move(u));
        }
    }
    void Friends(WatchZone zone, int n) {
        for (int i = 0; i < n; ++i) {
            friends.push_back(std::make_unique<CUnit>(i, nullptr, 0, 0, 0));
            b->m_watch[1][zone][1].AddTail(friends.back().get());
        }
    }
    const CObjective* Order(int number) const {
        const CUnit* u = b->m_units.FindById(number, TRUE, FALSE);
        return u ? u->m_pending.GetHead() : nullptr;
    }

    CFakeArmy army;
    CDivision division;
    CBattalion* b = nullptr;
    std::vector<std::unique_ptr<CUnit>> enemies, friends;
};

TEST(BattalionBehaviour, AZoneIsInContactWhileItsFriendsDoNotOutnumberItsEnemiesThreeToOne) {
    struct Case {
        int enemies, friends, contactMin, order;
        bool waiver, contact;
    } cases[] = {
        {5, 14, 1, -1, false, true},    // 14 / 5 = 2
        {5, 15, 1, -1, false, false},   // 15 / 5 = 3
        {10, 21, 1, -1, false, false},  // more than 20 friends: never
        {0, 0, 1, -1, false, false},    // no enemy
        {2, 0, 3, -1, false, false},    // fewer enemies than the contact minimum
        {1, 40, 1, 512, true, true},    // defending its own ground: the enemy alone counts
        {1, 40, 1, 128, true, true},    // standing its ground
        {1, 40, 1, 512, false, false},  // without the waiver the friends count
        {1, 40, 1, 2, true, false},     // the waiver holds only for defense and stand ground
    };
    for (const Case& c : cases) {
        Post post;
        post.Enemies(ZONE_OWN, 1, c.enemies);
        post.Friends(ZONE_OWN, c.friends);
        post.b->m_contactMin = c.contactMin;
        post.division.m_order.m_type = c.order;
        EXPECT_EQ(bool(post.b->InContact(ZONE_OWN, c.waiver)), c.contact)
            << c.enemies << " enemies " << c.friends << " friends order " << c.order;
    }
}

// An army holding the smaller share of the field needs more enemies in a
// zone before its battalions take it for contact: a third of their live
// units (at least one), unless the enemy has already broken.
TEST(BattalionBehaviour, AWeakerArmyWantsMoreEnemiesForContact) {
    struct Case {
        float balance;
        bool opponentRouted;
        int routedUnits, contactMin;
    } cases[] = {
        {1.0f, false, 0, 1}, {0.86f, false, 0, 1}, {0.85f, false, 0, 3},  // 10 live units
        {0.5f, false, 4, 2},                                               // 6 live
        {0.5f, false, 8, 1},                                               // 2 live: at least 1
        {0.5f, true, 0, 1},
    };
    for (const Case& c : cases) {
        Post post;
        post.army.conditions.balance = c.balance;
        post.army.conditions.opponentRouted = c.opponentRouted;
        int i = 0;
        for (POSITION pos = post.b->m_units.GetHeadPosition(); pos && i < c.routedUnits; ++i)
            post.b->m_units.GetUnit(pos)->m_routed = 1;
        post.b->UpdateFlags();
        EXPECT_EQ(post.b->m_contactMin, c.contactMin) << c.balance << " routed " << c.routedUnits;
    }
}

TEST(BattalionBehaviour, EngagingSendsTheFreeUnitsAtTheEnemyOfTheMostCrowdedPart) {
    struct Case {
        WatchZone zone;
        void (CBattalion::*engage)();
        int drawsPerUnit;  // the scatter of the aim point; none on the left
    } cases[] = {
        {ZONE_NEAR_FRONT, &CBattalion::EngageNearFront, 2},
        {ZONE_LEFT, &CBattalion::EngageLeft, 0},
        {ZONE_OWN, &CBattalion::EngageOwnGround, 2},
    };
    for (const Case& c : cases) {
        Post post;
        post.Enemies(c.zone, 0, 1);
        post.Enemies(c.zone, 2, 3);  // the right part holds the most
        CUnit* busy = post.b->m_units.FindById(3, TRUE, FALSE);
        busy->m_busyCounter = 5;  // out of action: keeps its orders
        int before = RandCallCount;
        (post.b->*c.engage)();
        const CRect& right = post.b->m_zones[c.zone][2];
        int sent = 0;
        for (POSITION pos = post.b->m_units.GetHeadPosition(); pos;) {
            CUnit* u = post.b->m_units.GetUnit(pos);
            const CObjective* o = u->m_pending.GetHead();
            if (u == busy) {
                EXPECT_EQ(o, nullptr);
                continue;
            }
            ASSERT_NE(o, nullptr) << "unit " << u->m_number;
            ++sent;
            EXPECT_EQ(o->m_type, 1) << "close with the enemy";
            EXPECT_EQ(u->m_busyCounter, 50);
            CRect aim = right;
            aim.InflateRect(c.drawsPerUnit ? 100 : 0, c.drawsPerUnit ? 100 : 0);
            EXPECT_TRUE(aim.PtInRect(o->GetPoint())) << o->m_x << "," << o->m_y;
        }
        EXPECT_EQ(sent, post.b->m_units.GetCount() - 1);
        EXPECT_EQ(RandCallCount - before, sent * c.drawsPerUnit);
    }
}

TEST(BattalionBehaviour, AtItsPostTheBattalionDoesNotChaseBeyondItsEngageRadius) {
    for (int radius : {300, 700}) {
        Post post;
        post.Enemies(ZONE_NEAR_FRONT, 1, 2);  // the centre part's centre lies 550 east
        post.b->m_standingOrder = CObjective(8, 1000, 1000, -1, 2);
        post.b->m_standingReached = 1;
        post.b->m_engageRadius = radius;
        post.b->EngageNearFront();
        EXPECT_EQ(post.Order(1) != nullptr, radius == 700) << radius;
    }
}

TEST(BattalionBehaviour, AHaltedBattalionUnderFireChargesTheShootersOnlyWhenTheyAreTheEnemy) {
    struct Case {
        int shooterSide, lowHits;
        bool halted, charges;
    } cases[] = {
        {1, 5, true, true},
        {1, 5, false, false},  // on the move it keeps its way
        {0, 5, true, false},   // its own side's stray arrows
        {1, 3, true, false},   // a few hits only: 10 live units, 3 needed and more
    };
    for (const Case& c : cases) {
        Post post;
        CBattalion shooters(0, 1600, 1000, 3, 0, nullptr);
        shooters.m_ownerNumber = c.shooterSide;
        post.b->m_lastShooter = &shooters;
        post.b->m_lowHits = BYTE(c.lowHits);
        post.b->m_halted = c.halted ? 1 : 0;
        EXPECT_EQ(bool(post.b->AnswerMissileFire()), c.charges);
        const CObjective* o = post.Order(2);
        ASSERT_EQ(o != nullptr, c.charges);
        if (!o) continue;
        EXPECT_EQ(o->m_type, 2) << "a charge";
        EXPECT_LE(std::abs(o->m_x - 1600), 100);
        EXPECT_LE(std::abs(o->m_y - 1000), 100);
    }
}

TEST(BattalionBehaviour, AdvancingGivesTheBattalionALegOnTheEnemyAndKeepsItBusy) {
    Post post;
    CFakeFormation line(1, 20, 0);
    post.b->m_formation = &line;
    post.b->m_action.SetOrder(nullptr, &line);
    post.Enemies(ZONE_FAR_FRONT, 1, 3);
    for (POSITION pos = post.b->m_units.GetHeadPosition(); pos;) post.b->m_units.GetUnit(pos)->m_morale = 1500;
    post.b->AdvanceFar();
    EXPECT_EQ(post.b->m_busy, 1);
    EXPECT_EQ(post.b->m_holdCountdown, 100);
    EXPECT_EQ(post.b->m_action.m_type, 4) << "the advance leg is taken at once";
    // Toward the enemy, past their mean point by a third.
    EXPECT_GT(post.b->m_action.m_x, 1400);
    const CObjective* o = post.Order(1);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->m_type, 2) << "foot charge on an advance";
    // Busy, it advances no further.
    int x = post.b->m_action.m_x;
    post.b->AdvanceFar();
    EXPECT_EQ(post.b->m_action.m_x, x);
}

// The units' objectives start where they stand.
void StandAtOwnPlaces(CBattalion* b) {
    for (POSITION pos = b->m_units.GetHeadPosition(); pos;) {
        CUnit* u = b->m_units.GetUnit(pos);
        u->m_action.m_x = u->m_x, u->m_action.m_y = u->m_y;
    }
}

// The numbers of the battalion's units given an order of `code`, in the
// order they were sent (their busy counters fall from the last one on).
std::vector<int> SentWith(const CBattalion* b, int code) {
    std::vector<int> sent;
    for (POSITION pos = b->m_units.GetHeadPosition(); pos;) {
        const CUnit* u = b->m_units.GetUnit(pos);
        const CObjective* o = u->m_pending.GetHead();
        if (o && o->m_type == code) sent.push_back(u->m_number);
    }
    return sent;
}

// Units 0..9 stand at (1000, 950 + 10 i); the enemy headquarters at
// (1060, 1000) is 60 from unit 5, 61 from units 4 and 6, 63 from 3 and 7.
TEST(BattalionRules, TheNearestFreeUnitsGoForAnEnemyHeadquartersStillStanding) {
    struct Case {
        const char* what;
        int state, lastLeg, hqX;
        std::vector<int> alreadyThere, inContact, sent;
    } cases[] = {
        {"three nearest, the earlier of equals first", 0, 2, 1060, {}, {}, {5, 4, 6}},
        {"taken", 3, 2, 1060, {}, {}, {}},
        {"burning", 4, 2, 1060, {}, {}, {}},
        {"on a march leg the units keep their way", 0, 32, 1060, {}, {}, {}},
        {"one already there takes a place", 0, 2, 1060, {0}, {}, {4, 5}},
        {"units in contact stay", 0, 4, 1060, {}, {5}, {4, 6, 3}},
        {"one place left goes to the earlier of equals", 0, 4, 1060, {0, 1}, {5}, {4}},
        {"out of reach of every unit", 0, 2, 1160, {}, {}, {}},
        {"more than 400 away", 0, 2, 1460, {}, {}, {}},
    };
    for (const Case& c : cases) {
        Post post;
        StandAtOwnPlaces(post.b);
        CKeyPoint hq(0, 0, c.hqX, 1000, nullptr);
        hq.m_currentState = c.state;
        post.army.headquarters[2] = &hq;
        post.b->m_action.m_spare = c.lastLeg;
        for (int n : c.alreadyThere) {
            CUnit* u = post.b->m_units.FindById(n, TRUE, FALSE);
            u->m_state = 14;
            u->m_action.m_x = hq.m_x, u->m_action.m_y = hq.m_y;
        }
        for (int n : c.inContact) post.b->m_units.FindById(n, TRUE, FALSE)->m_contact = 1;
        EXPECT_EQ(bool(post.b->AssaultHeadquarters()), !c.sent.empty()) << c.what;
        std::vector<int> sent = SentWith(post.b, 14);
        std::sort(sent.begin(), sent.end());
        std::vector<int> expected = c.sent;
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sent, expected) << c.what;
        for (int n : sent) {
            const CUnit* u = post.b->m_units.FindById(n, TRUE, FALSE);
            const CObjective* o = u->m_pending.GetHead();
            EXPECT_EQ(o->GetPoint(), CPoint(hq.m_x, hq.m_y)) << c.what;
            EXPECT_EQ(o->m_facing, GetDirection(u->m_x, u->m_y, hq.m_x, hq.m_y));
            EXPECT_EQ(u->m_busyCounter, 10);
            EXPECT_NE(u->m_action.m_type, 14) << "the order waits: it is not made current";
        }
    }
}

// An assault on a headquarters is told once to each army: the player's own
// army hears that it threatens the enemy's, the computer's player that
// his is threatened.
TEST(BattalionRules, AHeadquartersInDangerIsToldOncePerArmy) {
    for (bool shown : {true, false}) {
        for (int counter : {0, 1}) {
            Post post;
            CFakeArmy enemy;
            post.army.opposing = &enemy;
            post.army.showsMessages = shown;
            post.division.m_number = 3;
            (shown ? post.army : enemy).messageCounter = counter;
            StandAtOwnPlaces(post.b);
            CKeyPoint hq(0, 0, 1060, 1000, nullptr);
            post.army.headquarters[3] = &hq;
            post.b->m_action.m_spare = 8;
            for (int tick = 0; tick < 3; ++tick) post.b->UpdateBehaviour();
            ASSERT_FALSE(SentWith(post.b, 14).empty());
            CFakeArmy& told = shown ? post.army : enemy;
            CFakeArmy& other = shown ? enemy : post.army;
            std::vector<std::pair<int, int>> expected;
            if (counter == 0) expected.push_back(shown ? std::make_pair(17, 3) : std::make_pair(16, 0));
            EXPECT_EQ(told.messages, expected) << "shown " << shown << " counter " << counter;
            EXPECT_TRUE(other.messages.empty());
            EXPECT_EQ(told.messageCounter, 1);
        }
    }
}

// The enemy army's lead unit stands 100 east of the battalion; every unit
// stands within 150 of him.
TEST(BattalionRules, FootCloseWithTheEnemyLeaderWhileHeHasRoom) {
    struct Case {
        const char* what;
        int battType, engagers, onHim, leaderX, sent;
    } cases[] = {
        {"seven places: one more than that gathered", 0, 0, 0, 1100, 8},
        {"four engagers leave three places", 3, 4, 0, 1100, 4},
        {"five engagers leave too few", 0, 5, 0, 1100, 0},
        {"units already on him take places", 1, 0, 2, 1100, 6},
        {"archers stay", 2, 0, 0, 1100, 0},
        {"more than 150 away", 0, 0, 0, 1151, 0},
    };
    for (const Case& c : cases) {
        Post post;
        CFakeArmy enemy;
        post.army.opposing = &enemy;
        post.b->m_battType = c.battType;
        post.b->m_action.m_spare = 2;
        StandAtOwnPlaces(post.b);
        CUnit leader(0, nullptr, 1, c.leaderX, 1000);
        enemy.lead = &leader;
        std::vector<std::unique_ptr<CUnit>> engagers;
        for (int i = 0; i < c.engagers; ++i) {
            engagers.push_back(std::make_unique<CUnit>(i, nullptr, 0, 0, 0));
            leader.m_engagers.AddTail(engagers.back().get());
        }
        for (int n = 0; n < c.onHim; ++n) post.b->m_units.FindById(n, TRUE, FALSE)->m_action.m_target = &leader;
        post.b->AttackEnemyLeader();
        std::vector<int> sent = SentWith(post.b, 1);
        EXPECT_EQ(int(sent.size()), c.sent) << c.what;
        for (int n : sent) {
            const CUnit* u = post.b->m_units.FindById(n, TRUE, FALSE);
            EXPECT_EQ(u->m_pending.GetHead()->GetPoint(), leader.GetPosition());
            EXPECT_EQ(u->m_busyCounter, 100);
        }
        if (c.onHim == 2) {
            EXPECT_EQ(sent.front(), 2) << "those on him are not sent again";
        }
        leader.m_engagers.RemoveAll(FALSE);
        for (POSITION pos = post.b->m_units.GetHeadPosition(); pos;) post.b->m_units.GetUnit(pos)->m_action.m_target = nullptr;
    }
}

// The lead unit of an enemy division stands 140 east of the battalion,
// within 150 of every unit.
TEST(BattalionRules, FootCloseWithTheLeadersOfEnemyDivisionsNearThem) {
    struct Case {
        const char* what;
        int leaderX, standing, divisionOrder, engagers, sent;
    } cases[] = {
        {"five places: six gathered", 1140, 8, 2, 0, 6},
        {"three engagers leave two places", 1140, 8, 2, 3, 3},
        {"five engagers leave none", 1140, 8, 2, 5, 0},
        {"holding the line from the rear", 1140, 2048, 2, 0, 0},
        {"regrouping", 1140, 8, 64, 0, 0},
        {"more than 200 away", 1201, 8, 2, 0, 0},
    };
    for (const Case& c : cases) {
        Post post;
        CFakeArmy enemy;
        enemy.number = 1;
        CDivision enemyDivision(0, c.leaderX, 1000, &enemy);
        CDivList enemyDivisions;
        enemyDivisions.Add(&enemyDivision);
        enemy.divisionList = &enemyDivisions;
        post.army.opposing = &enemy;
        CUnit* leader = enemyDivision.GetLeadUnit();
        ASSERT_NE(leader, nullptr);
        leader->SetPosition(c.leaderX, 1000);
        std::vector<std::unique_ptr<CUnit>> engagers;
        for (int i = 0; i < c.engagers; ++i) {
            engagers.push_back(std::make_unique<CUnit>(i, nullptr, 0, 0, 0));
            leader->m_engagers.AddTail(engagers.back().get());
        }
        post.b->m_action.m_spare = 2;
        post.b->m_standingOrder = CObjective(c.standing, 1000, 1000, -1, 2);
        post.b->m_standingReached = 1;
        post.division.m_order.m_type = c.divisionOrder;
        StandAtOwnPlaces(post.b);
        // Unit 9 is busy: out of action, it is not sent.
        post.b->m_units.FindById(9, TRUE, FALSE)->m_busyCounter = 5;
        post.b->AttackNearbyLeaders();
        std::vector<int> sent = SentWith(post.b, 1);
        EXPECT_EQ(int(sent.size()), c.sent) << c.what;
        for (int n : sent) EXPECT_NE(n, 9);
        for (int n : sent)
            EXPECT_EQ(post.b->m_units.FindById(n, TRUE, FALSE)->m_pending.GetHead()->GetPoint(), leader->GetPosition());
        leader->m_engagers.RemoveAll(FALSE);
        enemyDivisions.RemoveAll(FALSE);
    }
}

// A battle grid holding the given features; the features are the test's.
struct FeatureGround {
    CTerrain* Add(DWORD flags, int x, int y, int facing) {
        auto* t = new CTerrain(0, 0, facing, x, y, -1000, -1000);
        t->m_flags |= flags;
        t->m_facing = facing;
        list.AddTail(t);
        return t;
    }
    CBattleGrid* Build() {
        grid.SetTerrainList(&list);
        grid.BuildPathGrids("");
        return &grid;
    }
    CTerrainList list;
    CBattleGrid grid;
};

// A garrison feature faces east with its anchor at (1060, 1000).
TEST(BattalionRules, FreeUnitsGoToTakeAKeyPointNotYetTaken) {
    struct Case {
        const char* what;
        int state;
        BYTE countingDown;
        bool terrainFlag;
        size_t sent;
    } cases[] = {
        {"three nearest", 0, 0, false, 3},
        {"already taken", 3, 0, false, 0},
        {"its capture already runs", 0, 1, false, 0},
        {"an army keeping its ground", 0, 0, true, 0},
    };
    for (const Case& c : cases) {
        Post post;
        FeatureGround ground;
        CTerrain* house = ground.Add(CTerrain::kFlagGarrison, 1070, 1000, 2);
        house->m_currentState = c.state;
        house->m_countdownActive = c.countingDown;
        post.b->m_grid = ground.Build();
        post.army.conditions.terrainFlag = c.terrainFlag;
        post.b->m_action.m_spare = 4;
        StandAtOwnPlaces(post.b);
        post.b->CaptureKeyPoints();
        std::vector<int> sent = SentWith(post.b, 16);
        std::sort(sent.begin(), sent.end());
        EXPECT_EQ(sent.size(), c.sent) << c.what;
        if (c.sent == 3) { EXPECT_EQ(sent, (std::vector<int>{4, 5, 6})); }
        for (int n : sent) {
            EXPECT_EQ(post.b->m_units.FindById(n, TRUE, FALSE)->m_pending.GetHead()->GetPoint(), CPoint(1060, 1000));
        }
    }
}

// Unit 0, an officer, leads; the others regroup on him a step after
// another, each step 50 to 100 across and along, four draws each.
TEST(BattalionRules, AWholeBattalionRegroupsOnItsLeadUntilOneAlreadyStandsThere) {
    struct Case {
        const char* what;
        int nearUnit, routedUnit;
        bool routedNear;
        std::vector<int> sent;
    } cases[] = {
        {"all astray", -1, -1, false, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"unit 1 already beside him", 1, -1, false, {}},
        {"a routed one is passed over", -1, 3, false, {1, 2, 4, 5, 6, 7, 8, 9}},
        {"a routed one beside him still stops the walk", -1, 1, true, {}},
    };
    for (const Case& c : cases) {
        Post post;
        CUnit* lead = post.b->m_units.FindById(0, TRUE, FALSE);
        lead->SetKindAndIcon(KIND_CAPTAIN, nullptr, 0);
        for (POSITION pos = post.b->m_units.GetHeadPosition(); pos;) {
            CUnit* u = post.b->m_units.GetUnit(pos);
            if (u != lead) u->SetPosition(2500, 1800);
        }
        if (c.nearUnit >= 0) post.b->m_units.FindById(c.nearUnit, TRUE, FALSE)->SetPosition(1030, 950);
        if (c.routedUnit >= 0) {
            CUnit* u = post.b->m_units.FindById(c.routedUnit, TRUE, FALSE);
            u->m_routed = 1;
            if (c.routedNear) u->SetPosition(1030, 950);
        }
        int before = RandCallCount;
        post.b->Regroup(nullptr);
        EXPECT_EQ(SentWith(post.b, 13), c.sent) << c.what;
        EXPECT_EQ(RandCallCount - before, 4 * int(c.sent.size())) << c.what;
        CPoint last = lead->GetPosition();
        for (int n : c.sent) {
            const CUnit* u = post.b->m_units.FindById(n, TRUE, FALSE);
            CPoint p = u->m_pending.GetHead()->GetPoint();
            EXPECT_GE(std::abs(p.x - last.x), 50) << c.what << " unit " << n;
            EXPECT_LE(std::abs(p.x - last.x), 100);
            EXPECT_GE(std::abs(p.y - last.y), 50);
            EXPECT_LE(std::abs(p.y - last.y), 100);
            EXPECT_EQ(u->m_busyCounter, 80);
            last = p;
        }
    }
}

// Six terrain places stand among the battalion's units. The commander's
// division of an army keeping its ground forms up among up to ten; any
// other battalion marches in column past more than three.
TEST(BattalionRules, TheCommandersDivisionFormsUpAmongUpToTenTerrainPlaces) {
    struct Case {
        int division, places;
        bool terrainFlag, direct;
    } cases[] = {
        {0, 6, true, true}, {0, 10, true, true}, {0, 11, true, false},
        {1, 6, true, false}, {0, 6, false, false}, {0, 3, false, true},
    };
    for (const Case& c : cases) {
        Post post;
        FeatureGround ground;
        CTerrain* wall = ground.Add(CTerrain::kFlagBit3, 1000, 1000, 2);
        for (int i = 0; i < c.places; ++i) wall->m_slotRoute.AddTail(CPoint(960 + 8 * i, 990));
        post.b->m_grid = ground.Build();
        post.division.m_number = c.division;
        post.army.conditions.terrainFlag = c.terrainFlag;
        CFakeFormation line(1, 20, 0);
        post.b->m_formation = &line;
        post.b->ReceiveOrder(new CObjective(8, 1500, 1000, 1, 2), TRUE);
        const CObjective* o = post.Order(3);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o->GetPoint() == CPoint(1560, 1000), c.direct)
            << "division " << c.division << " places " << c.places << " flag " << c.terrainFlag << ": " << o->m_x;
    }
}

// Under a defense order a foot battalion marching in column sends its
// followers to the places of the garrison features near its goal, one in
// every `stride` of them; those left over follow in column. Without such a
// feature the whole battalion follows in column.
TEST(BattalionRules, AColumnUnderADefenseOrderTakesTheTerrainPlacesNearItsGoal) {
    struct Case {
        int places, stride, onRoute;
    } cases[] = {{20, 2, 9}, {6, 0, 6}, {0, 0, 0}};
    for (const Case& c : cases) {
        Post post;
        FeatureGround ground;
        if (c.places > 0) {
            CTerrain* house = ground.Add(CTerrain::kFlagGarrison, 1500, 1100, 2);
            for (int i = 0; i < c.places; ++i) house->m_slotRoute.AddTail(CPoint(1400 + 10 * i, 1100));
        }
        post.b->m_grid = ground.Build();
        post.b->m_engageRadius = 300;
        post.division.m_order.m_type = 512;
        post.division.m_routeFlag = 1;  // march in column
        CFakeFormation line(1, 20, 0);
        post.b->m_formation = &line;
        post.b->ReceiveOrder(new CObjective(8, 1500, 1000, 1, 2), TRUE);
        EXPECT_EQ(post.b->m_column, c.places ? 1 : 0);
        // The route as the march gathers it.
        CRoute route;
        post.b->FindApproachPoint(2, 1500, 1000, ground.list, route, 1, 300, 0, FALSE, 10);
        std::vector<CPoint> points;
        for (POSITION pos = route.GetHeadPosition(); pos;) points.push_back(route.GetNext(pos));
        ASSERT_EQ(int(points.size()), c.places);
        EXPECT_EQ(post.Order(0)->GetPoint(), CPoint(1500, 1000)) << "unit 0 leads to the goal";
        for (int i = 1; i < 10; ++i) {
            CPoint p = post.Order(i)->GetPoint();
            if (i <= c.onRoute) {
                size_t at = c.stride ? size_t((i - 1) * c.stride) : size_t(i - 1);
                EXPECT_EQ(p, points[at]) << "places " << c.places << " follower " << i;
            } else {
                EXPECT_LT(p.x, 1500) << "a column place behind the goal, unit " << i;
            }
        }
    }
}

// Seeds the default generator with the first seed whose next raw draws
// satisfy `want`.
void SeedWhere(int n, const std::function<bool(const std::vector<int>&)>& want) {
    for (uint32_t seed = 1; seed < 200000; ++seed) {
        GameSrand(seed);
        std::vector<int> v;
        for (int i = 0; i < n; ++i) v.push_back(GameRand());
        if (want(v)) {
            GameSrand(seed);
            return;
        }
    }
    ADD_FAILURE() << "no seed gives those draws";
}

// A charge meeting an enemy strikes or comes to grips by the enemy's kind;
// the draws follow one another as the rules name them.
TEST(UnitCharge, TheChargeStrikesOrComesToGripsByTheEnemysKind) {
    struct Case {
        const char* what;
        int battType, chargerKind, enemyKind, enemyFacing, exertion;
        double morale;
        int draws;
        std::function<bool(const std::vector<int>&)> want;
        bool melee, chargerHurt, enemyHurt;
    } cases[] = {
        {"no nerve to spare: straight to grips", 0, KIND_SWORDMAN, KIND_SWORDMAN, 6, 0, 0.0, 1,
         [](const std::vector<int>&) { return true; }, true, false, false},
        {"swordmen struck in passing", 0, KIND_SWORDMAN, KIND_SWORDMAN, 6, 0, 1500.0, 2,
         [](const std::vector<int>& v) { return v[0] % 100 + 1 < 50 && v[1] % 100 + 1 < 20; }, false, false, true},
        {"spearmen facing the charge hold and hurt it", 0, KIND_SWORDMAN, KIND_SPEARMAN, 6, 0, 1500.0, 4,
         [](const std::vector<int>& v) {
             return v[0] % 100 + 1 < 50 && v[1] % 100 + 1 > 80 && v[2] % 100 + 1 < 100 && v[3] % 100 + 1 > 85;
         },
         true, true, false},
        {"spearmen taken in the flank are struck", 0, KIND_SWORDMAN, KIND_SPEARMAN, 0, 0, 1500.0, 2,
         [](const std::vector<int>& v) { return v[0] % 100 + 1 < 50 && v[1] % 100 + 1 <= 25; }, false, false, true},
        {"horsemen ride down archers", 1, KIND_CAVALRY, KIND_ARCHER, 2, 0, 1500.0, 3,
         [](const std::vector<int>& v) { return v[2] % 100 + 1 <= 70; }, false, false, true},
        {"blown horses strike nothing", 1, KIND_CAVALRY, KIND_ARCHER, 2, 4500, 1500.0, 1,
         [](const std::vector<int>& v) { return v[0] % 1501 < 1000; }, false, false, false},
    };
    for (const Case& c : cases) {
        Post post;
        post.b->m_battType = c.battType;
        CUnit* charger = post.b->m_units.FindById(0, TRUE, FALSE);
        charger->SetKindAndIcon(c.chargerKind, nullptr, 0);
        charger->SetFacing(2);
        charger->m_morale = c.morale;
        charger->m_readiness = 100;
        charger->m_exertion = c.exertion;
        charger->m_headCount = 100;
        CUnit enemy(0, nullptr, 1, 1010, charger->m_y);
        enemy.SetKindAndIcon(c.enemyKind, nullptr, 0);
        enemy.m_sideId = 1;
        enemy.SetFacing(c.enemyFacing);
        enemy.m_headCount = 100;
        enemy.m_condition = 1.0;
        SeedWhere(c.draws, c.want);
        int before = RandCallCount;
        charger->ChargeContact(&enemy);
        EXPECT_EQ(charger->GetBehaviour() == 7, c.melee) << c.what;
        EXPECT_EQ(charger->m_meleeLosses > 0, c.chargerHurt) << c.what;
        EXPECT_EQ(enemy.m_meleeLosses > 0, c.enemyHurt) << c.what;
        if (!c.chargerHurt && !c.enemyHurt) { EXPECT_EQ(RandCallCount - before, c.draws) << c.what; }
        charger->m_action.SetTarget(charger, nullptr, FALSE, FALSE);
    }
}

// A spearman holding his place facing east turns on each enemy at his front
// (one draw each for its answer) unless that enemy already fights.
TEST(UnitHold, SpearmenAnswerEveryEnemyComingAtTheirFront) {
    struct Case {
        const char* what;
        int dx, dy, behaviour, draws;
    } cases[] = {
        {"straight ahead", 60, 0, 0, 1},  {"one step aside", 60, -60, 1, 1},
        {"on the flank", 0, 60, 0, 0},    {"behind", -60, 0, 0, 0},
        {"already in melee", 60, 0, 7, 0}, {"at a headquarters", 60, 0, 14, 0},
        {"taking a key point", 60, 0, 16, 0},
    };
    for (const Case& c : cases) {
        Post post;
        post.b->m_battType = 3;
        CUnit* spearman = post.b->m_units.FindById(5, TRUE, FALSE);
        spearman->SetKindAndIcon(KIND_SPEARMAN, nullptr, 0);
        spearman->SetFacing(2);
        CUnit enemy(0, nullptr, 1, spearman->m_x + c.dx, spearman->m_y + c.dy);
        enemy.m_sideId = 1;
        enemy.m_action.m_type = c.behaviour;
        spearman->m_enemies.AddTail(&enemy);
        int before = RandCallCount;
        spearman->AnswerEnemiesInFront();
        EXPECT_EQ(RandCallCount - before, c.draws) << c.what;
        spearman->m_enemies.RemoveAll(FALSE);
        spearman->m_action.SetTarget(spearman, nullptr, FALSE, FALSE);
    }
}

class CHeardSounds : public IBattleSounds {
public:
    BOOL Play(int id, DWORD, int volume, int) override {
        played.push_back({id, volume});
        return TRUE;
    }
    BOOL CountEvent(int) override { return FALSE; }
    std::vector<std::pair<int, int>> played;
};

// One advance in three is acknowledged, a little louder in the local
// player's army.
TEST(BattalionBehaviour, AnAdvanceIsAcknowledgedLouderInThePlayersArmy) {
    for (bool local : {false, true}) {
        Post post;
        CHeardSounds sounds;
        post.b->m_sounds = &sounds;
        post.b->m_armyValue = 8000;
        post.army.conditions.localPlayer = local;
        CFakeFormation line(1, 20, 0);
        post.b->m_formation = &line;
        post.Enemies(ZONE_NEAR_FRONT, 1, 2);
        // The leg is taken without a draw; a first draw of 2 (mod 3)
        // acknowledges it.
        SeedWhere(1, [](const std::vector<int>& v) { return v[0] % 3 == 2; });
        post.b->AdvanceNear();
        ASSERT_EQ(sounds.played.size(), 1u) << local;
        EXPECT_EQ(sounds.played[0], std::make_pair(9, local ? 7600 : 7200));
    }
}

}  // namespace
