// Divisions: battalions made from a general's command, who owns what, and
// the division's counts.
#include <gtest/gtest.h>

#include <vector>

#include "Units/Battalion.h"
#include "Units/BattList.h"
#include "Units/DivList.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "world/PersonList.h"
#include "tests/units/UnitsFixtures.h"

namespace {

constexpr int kGeneralId = 100;

// A general of `kind` with `troops` men, horses and rifles, and under him
// one captain of each kind in `officerKinds`.
struct Command {
    CPersonList persons{true};
    CPerson* general = nullptr;
    std::vector<CPerson*> officers;

    Command(int kind, int troops, std::vector<int> officerKinds) {
        general = Add(kGeneralId, kind, 0, 500);
        general->units = general->horses = general->rifles = troops;
        int id = kGeneralId + 1;
        for (int k : officerKinds) officers.push_back(Add(id++, k, kGeneralId, 150));
    }
    CPerson* Add(int id, int kind, int commander, int merit) {
        auto* p = new CPerson;
        p->id = id;
        p->state = kind;
        p->commanderId = commander;
        p->merit = merit;
        persons.AddTail(p);
        return p;
    }
};

struct Made {
    std::vector<int> sizes, types;
};

Made MadeOf(const CDivision& d) {
    Made m;
    for (POSITION pos = d.m_battalions.GetHeadPosition(); pos;) {
        const CBattalion* b = d.m_battalions.GetBattalion(pos);
        m.sizes.push_back(b->m_units.GetCount());
        m.types.push_back(b->m_battType);
    }
    return m;
}

TEST(DivisionTest, BattalionsFromTheGeneralsCommand) {
    struct Case {
        const char* what;
        int kind, troops;
        std::vector<int> officerKinds;
        std::vector<int> sizes, types;
    };
    const Case cases[] = {
        {"20 troops fill two fifths", 0, 20, {0, 0, 2}, {6, 4, 4, 6}, {0, 0, 0, 3}},
        {"10 troops leave nothing for a second", 0, 10, {0, 0, 2}, {10}, {0}},
        {"12 troops leave two, too few", 0, 12, {0, 0, 2}, {10}, {0}},
        {"35 troops fill four fifths", 0, 35, {0, 0, 2}, {10, 9, 9, 7}, {0, 0, 0, 3}},
        {"cavalry with three cavalry captains", 1, 40, {1, 1, 1}, {10, 10, 10, 10}, {1, 1, 1, 1}},
        {"archers support with spearmen", 2, 30, {2, 2, 3}, {9, 6, 6, 9}, {2, 2, 2, 3}},
        {"spearmen support with archers", 3, 24, {3, 3, 2}, {9, 6, 6, 3}, {3, 3, 3, 2}},
        {"riflemen: 16 rifles, two left over", 4, 16, {4, 4, 3}, {6, 4, 4}, {4, 4, 4}},
        {"no captain, one battalion", 0, 40, {}, {10}, {0}},
        {"captains of the wrong kind", 1, 40, {0, 2, 3}, {10}, {1}},
        {"no support captain", 0, 40, {0, 0}, {10, 10, 10}, {0, 0, 0}},
        {"an unknown kind commands infantry", 9, 40, {0, 0, 0}, {10, 10, 10, 10}, {0, 0, 0, 0}},
        {"no troops still leads one unit", 0, 0, {0, 0, 2}, {1}, {0}},
        {"negative troops are none", 0, -50, {0, 0, 2}, {1}, {0}},
        {"a huge command is still four of ten", 0, 1 << 30, {0, 0, 2}, {10, 10, 10, 10}, {0, 0, 0, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Command cmd(c.kind, c.troops, c.officerKinds);
        CFakeArmy army;
        CDivision d(2, 500, 600, &army);
        ASSERT_TRUE(d.CreateBattalions(kGeneralId, cmd.persons));
        Made m = MadeOf(d);
        EXPECT_EQ(m.sizes, c.sizes);
        EXPECT_EQ(m.types, c.types);
        EXPECT_EQ(d.m_general, cmd.general);
        EXPECT_EQ(d.GetBattalionCount(FALSE), int(c.sizes.size()));
        int total = 0;
        for (int s : c.sizes) total += s;
        EXPECT_EQ(d.m_initialUnits, total);
        EXPECT_EQ(d.m_type, c.kind <= 4 ? c.kind : 0);
        EXPECT_EQ(army.commander, nullptr);  // only division 0 gives the army its commander
    }
}

TEST(DivisionTest, OfficersTakeTheirBattalionsKind) {
    Command cmd(0, 40, {0, 0, 2});
    // Not his captains: a veteran, one already commanding, a dead one and
    // another general's captain.
    cmd.Add(200, 0, kGeneralId, 300);
    cmd.Add(201, 0, kGeneralId, 150)->assigned = 1;
    cmd.Add(202, 0, kGeneralId, 150)->alive = 0;
    cmd.Add(203, 0, 999, 150);
    CFakeArmy army;
    CDivision d(0, 0, 0, &army);
    ASSERT_TRUE(d.CreateBattalions(kGeneralId, cmd.persons));
    EXPECT_EQ(army.commander, cmd.general);

    const CPerson* expected[] = {cmd.general, cmd.officers[0], cmd.officers[1], cmd.officers[2]};
    int i = 0;
    for (POSITION pos = d.m_battalions.GetHeadPosition(); pos; ++i) {
        const CBattalion* b = d.m_battalions.GetBattalion(pos);
        EXPECT_EQ(b->m_number, i);
        EXPECT_EQ(b->m_general, expected[i]);
        EXPECT_EQ(b->m_division, &d);
        EXPECT_EQ(b->m_lead, i == 0);
    }
    EXPECT_EQ(cmd.general->state, 0);
    EXPECT_EQ(cmd.officers[0]->state, 0);
    EXPECT_EQ(cmd.officers[2]->state, 3);  // the support captain leads spearmen now
    for (CPerson* o : cmd.officers) EXPECT_EQ(o->assigned, 1);
    EXPECT_EQ(cmd.persons.FindByID(200)->assigned, 0);

    // Used captains are not free for a second division of the same general.
    CDivision again(1, 0, 0, &army);
    ASSERT_TRUE(again.CreateBattalions(kGeneralId, cmd.persons));
    EXPECT_EQ(MadeOf(again).sizes, std::vector<int>{10});
}

TEST(DivisionTest, AnUnknownGeneralChangesNothing) {
    Command cmd(0, 40, {0, 0, 2});
    CDivision d(4, 0, 0, nullptr);
    EXPECT_FALSE(d.CreateBattalions(12345, cmd.persons));
    EXPECT_EQ(MadeOf(d).sizes, (std::vector<int>{10, 10, 10, 10}));
    EXPECT_EQ(d.m_general, nullptr);
    // Without an army and without a general the morale figure is its floor.
    EXPECT_EQ(d.GetMorale(), 0.1);
}

TEST(DivisionTest, NewDivisionHasFourDefaultBattalions) {
    CFakeArmy army;
    army.number = 1;
    CDivision d(0, 200, 300, &army);
    EXPECT_EQ(d.m_firstDivision, 1);
    EXPECT_EQ(d.GetStrength(), 40);
    EXPECT_EQ(d.GetBattalionCount(FALSE), 4);
    EXPECT_EQ(d.m_order.m_type, -1);
    EXPECT_EQ(d.m_phase, 4);
    int i = 0;
    for (POSITION pos = d.m_battalions.GetHeadPosition(); pos; ++i)
        EXPECT_EQ(d.m_battalions.GetBattalion(pos)->GetPosition(), CPoint(200 + 10 * i, 300));
    EXPECT_EQ(d.GetLeaderID(), -1);
    d.Setup(nullptr, 15, nullptr, 700, 800, 2);
    EXPECT_EQ(d.m_ownerNumber, 1);
    EXPECT_EQ(d.GetPosition(), CPoint(700, 800));
    EXPECT_EQ(d.m_formation, nullptr);  // a missing formation places every slot on the point
    EXPECT_EQ(d.RecountBattalions(), 40);
    EXPECT_EQ(d.GetStrengthRatio(FALSE), 1.0);
    EXPECT_FALSE(d.IsBelowStrength(1.0));
    EXPECT_TRUE(d.IsBelowStrength(1.01));
}

// The lists own as the division says: deleting a division (or rebuilding
// its battalions) frees every battalion and unit once; the lists that only
// gather elements free none. A freed unit is seen leaving the engager list
// of a unit it was attacking; a second free would stop the sanitizer build.
TEST(DivisionTest, DivisionsOwnTheirBattalionsAndListsOwnNothing) {
    CUnit watcher;
    auto attackAll = [&](CDivision& d) {
        for (POSITION pos = d.m_battalions.GetHeadPosition(); pos;) {
            CBattalion* b = d.m_battalions.GetBattalion(pos);
            for (POSITION u = b->m_units.GetHeadPosition(); u;) {
                CUnit* unit = b->m_units.GetUnit(u);
                unit->m_action.SetTarget(unit, &watcher, FALSE, FALSE);
            }
        }
    };

    auto* d = new CDivision(0, 0, 0, nullptr);
    attackAll(*d);
    EXPECT_EQ(watcher.m_engagers2.GetCount(), 40);

    {
        // Gathering lists, emptied or destroyed, free nothing.
        CDivList divisions;
        divisions.Add(d);
        CBattList battalions;
        CUnitList units;
        for (POSITION pos = d->m_battalions.GetHeadPosition(); pos;) {
            CBattalion* b = d->m_battalions.GetBattalion(pos);
            battalions.AddBattalion(b);
            for (POSITION u = b->m_units.GetHeadPosition(); u;) units.AddUnique(b->m_units.GetUnit(u));
        }
        units.RemoveAll(FALSE);
        battalions.RemoveAll(FALSE);
        divisions.RemoveAll(FALSE);
        units.AddTail(d->m_battalions.FindByID(1, FALSE, TRUE)->m_units.GetHead());
        divisions.Add(d);
    }
    EXPECT_EQ(watcher.m_engagers2.GetCount(), 40);

    // Rebuilding frees the default battalions.
    Command cmd(0, 20, {0, 0, 2});
    ASSERT_TRUE(d->CreateBattalions(kGeneralId, cmd.persons));
    EXPECT_EQ(watcher.m_engagers2.GetCount(), 0);
    attackAll(*d);
    EXPECT_EQ(watcher.m_engagers2.GetCount(), 20);

    // The owning list deletes its divisions, and they their battalions.
    CDivList owner;
    owner.Add(d);
    owner.RemoveAll(TRUE);
    EXPECT_EQ(watcher.m_engagers2.GetCount(), 0);
    EXPECT_TRUE(owner.IsEmpty());
}

TEST(DivisionTest, BattalionRoutedLowersTheOthersMoraleOnce) {
    CFakeArmy army;
    CDivision d(5, 0, 0, &army);
    CBattalion* b0 = d.m_battalions.FindByID(0, FALSE, TRUE);
    CBattalion* b1 = d.m_battalions.FindByID(1, FALSE, TRUE);
    double before = b1->m_units.GetHead()->m_morale;
    d.OnBattalionRouted(b0);
    d.OnBattalionRouted(b0);
    EXPECT_EQ(b1->m_units.GetHead()->m_morale, before - 120);
    EXPECT_EQ(d.GetBattalionCount(FALSE), 3);
    EXPECT_EQ(d.GetBattalionCount(TRUE), 3);
    EXPECT_EQ(d.m_battalions.FindByID(0, TRUE, TRUE), nullptr);
    EXPECT_EQ(d.m_battalions.FindByID(0, FALSE, TRUE), b0);
    EXPECT_TRUE(army.lost.empty());
}

}  // namespace
