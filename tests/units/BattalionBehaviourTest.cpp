// Battalion behaviours: when a watch zone is in contact, how the battalion
// sends its units at the enemy there, and how it answers shooters.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Units/Battalion.h"
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

}  // namespace
