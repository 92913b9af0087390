// The computer's deployment: the division target rules on a bare field, the
// routines' main decisions, the finishing pass, and every formation
// deploying on three kit battlefields.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "army/Army.h"
#include "army/Deployment.h"
#include "army/DivisionState.h"
#include "Units/Battalion.h"
#include "core/Helpers.h"
#include "core/Random.h"
#include "field/PathGrid.h"
#include "tests/support/KitFormations.h"
#include "world/WorldLists.h"

namespace {

using namespace ArmyDivision;

// `p` pushed `length` along `facing`, as the rules push a target.
CPoint Pushed(CPoint p, int facing, int length) {
    const CPoint v = GetDirectionVector(facing, length);
    return CPoint(p.x + v.x, p.y + v.y);
}

// Two armies of bare divisions on a field without terrain: army `a` faces
// east, `b` west. Orders keep their points (no passable ground to find).
class Bare : public ::testing::Test {
protected:
    void SetUp() override {
        GameSrand(7);
        a.m_opponent = &b;
        b.m_opponent = &a;
        a.m_facing = 2;
        b.m_facing = 6;
        a.BuildGrid();
        b.BuildGrid();
        for (CArmy* army : {&a, &b})
            for (POSITION pos = army->m_divisions.GetHeadPosition(); pos;) army->m_divisions.GetDivision(pos)->m_present = 1;
    }
    CDivision* Own(int i) { return a.GetDivision(i, FALSE); }
    // Every enemy division but `keep` lost; `keep` stands at (x, y).
    CDivision* OneEnemy(int keep, int x, int y) {
        for (POSITION pos = b.m_divisions.GetHeadPosition(); pos;) {
            CDivision* e = b.m_divisions.GetDivision(pos);
            if (e->m_number == keep) {
                e->SetPosition(x, y);
                e->m_routed = 0;
            } else {
                MarkLost(e);
            }
        }
        return b.GetDivision(keep, FALSE);
    }
    void NoEnemy() {
        for (POSITION pos = b.m_divisions.GetHeadPosition(); pos;) MarkLost(b.m_divisions.GetDivision(pos));
    }
    CArmy a{0, 14, true};
    CArmy b{1, 14, true};
};

TEST_F(Bare, TargetRuleGatesClampsAndPushesWithNoEnemyNear) {
    NoEnemy();
    CDivision* d = Own(1);
    d->SetPosition(500, 1000);
    struct Case {
        int tick;
        bool ordered;
    } cases[] = {{10, true}, {100, true}, {200, true}, {50, false}, {150, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tick);
        d->m_order = CObjective();
        a.m_tickCount = c.tick;
        SetDivisionTarget(a, d, 1, 10, 1995, 300, 0, 512, 0);
        EXPECT_EQ(d->m_order.HasPoint(), c.ordered);
    }
    // (10, 1995) becomes (50, 1950), pushed 300 east.
    a.m_tickCount = 100;
    SetDivisionTarget(a, d, 1, 10, 1995, 300, 0, 512, 0);
    EXPECT_EQ(d->m_order.GetPoint(), Pushed(CPoint(50, 1950), 2, 300));
    EXPECT_EQ(d->m_order.m_type, 512);
    // Facing west the push goes west; facing mode 2 turns it south.
    b.m_tickCount = 100;
    for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) MarkLost(a.m_divisions.GetDivision(pos));
    CDivision* w = b.GetDivision(2, FALSE);
    w->m_routed = 0;
    SetDivisionTarget(b, w, 1, 1500, 1000, 200, 0, 2, 0);
    EXPECT_EQ(w->m_order.GetPoint(), Pushed(CPoint(1500, 1000), 6, 200));
    EXPECT_LT(w->m_order.m_x, 1500);
    SetDivisionTarget(b, w, 1, 1500, 1000, 200, 2, 2, 0);
    EXPECT_EQ(w->m_order.GetPoint(), Pushed(CPoint(1500, 1000), 0, 200));
}

TEST_F(Bare, TargetRuleHoldsShiftsAndCharges) {
    a.m_tickCount = 100;
    CDivision* d = Own(1);
    struct Case {
        const char* what;
        CPoint own, enemy;
        int reachA, reachB;  // 0: the plain rule
        CPoint expected;
        int type;
    } cases[] = {
        // Inside the radius, the division nearer the slot than the enemy:
        // the target moves away from the enemy by the difference.
        {"hold, own nearer", {1000, 1000}, {1250, 1000}, 0, 0, {750, 1000}, 512},
        {"hold, enemy nearer", {1400, 1000}, {1100, 1000}, 0, 0, {1000, 1000}, 512},
        // At the radius exactly: the next row, shift by the radius.
        {"at the radius", {1000, 1000}, {1300, 1000}, 0, 0, {1300, 1000}, 512},
        {"charge between radius and reach A", {1000, 1000}, {1350, 1000}, 400, 500, {1350, 1000}, 512},
        {"approach between the reaches", {1000, 1000}, {1450, 1000}, 400, 500, {1300, 1000}, 512},
        {"push beyond reach B", {1000, 1000}, {1550, 1000}, 400, 500, Pushed({1000, 1000}, 2, 300), 512},
        // The enemy stands on the slot: no way to shift, the slot is kept.
        {"enemy on the slot", {1400, 1000}, {1000, 1000}, 0, 0, {1000, 1000}, 512},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        d->SetPosition(c.own.x, c.own.y);
        OneEnemy(3, c.enemy.x, c.enemy.y);
        if (c.reachA)
            SetDivisionTargetEx(a, d, 1, 1000, 1000, 300, c.reachA, c.reachB, 0, 512, 0);
        else
            SetDivisionTarget(a, d, 1, 1000, 1000, 300, 0, 512, 0);
        EXPECT_EQ(d->m_order.GetPoint(), c.expected);
        EXPECT_EQ(d->m_order.m_type, c.type);
    }
}

TEST_F(Bare, NearRuleKeepsCloseChargesAndBacksOff) {
    a.m_tickCount = 100;
    CDivision* d = Own(1);
    struct Case {
        const char* what;
        CPoint own, enemy;
        CPoint expected;
    } cases[] = {
        {"hold facing an enemy at 90", {800, 1000}, {1090, 1000}, {1000, 1000}},
        {"charge one at 150", {1000, 1000}, {1150, 1000}, {1150, 1000}},
        {"back off from one at distance 2 exactly", {1000, 1000}, {1200, 1000}, {700, 1000}},
        {"back off from one at 400", {1000, 1000}, {1400, 1000}, {700, 1000}},
        // The enemy on the division's own spot gives no way back: it stays.
        {"enemy on the division", {1200, 1000}, {1200, 1000}, {1200, 1000}},
        {"push along with none inside 600", {1000, 1000}, {1700, 1000}, Pushed({1000, 1000}, 2, 100)},
        // Straight north of the point fails the side test facing east.
        {"enemy failing the side test", {1000, 1000}, {1000, 950}, Pushed({1000, 1000}, 2, 100)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        d->SetPosition(c.own.x, c.own.y);
        d->m_order = CObjective();
        OneEnemy(3, c.enemy.x, c.enemy.y);
        SetDivisionTargetNear(a, d, 1, 1000, 1000, 600, 200, 100, 0, 512, 0);
        EXPECT_EQ(d->m_order.GetPoint(), c.expected);
    }
    d->m_order = CObjective();
    a.m_tickCount = 50;
    SetDivisionTargetNear(a, d, 1, 1000, 1000, 600, 200, 100, 0, 512, 0);
    EXPECT_FALSE(d->m_order.HasPoint());
}

TEST(DeploymentSideOffset, SwapsAndTurnsWithTheFacing) {
    CArmy army(0, -1, true);
    army.m_facing = 2;
    EXPECT_EQ(GetSideOffset(army, 100, 300), CPoint(300, 100));
    army.m_facing = 6;
    EXPECT_EQ(GetSideOffset(army, 100, 300), CPoint(-300, -100));
}

// An AI that only records the postures the deployment hands over to.
class PostureLog : public CDeploymentAI {
public:
    void RunPosture(CArmy&, int code) override { postures.push_back(code); }
    std::vector<int> postures;
};

// The army in a one-formation list of root id `id` with its slots spread.
struct OneFormation {
    CArmyFormationList list;
    explicit OneFormation(int id) {
        auto* f = new CArmyFormation(id);
        list.AddTail(f);
    }
};

TEST_F(Bare, ShareCountsTheDivisionsOnTheFieldAndLatchesContact) {
    EXPECT_EQ(GetDivisionShare(a), 0.0);
    UpdateDivisionShare(a);
    EXPECT_FALSE(a.m_battleJoined);
    // One division of the eleven in the line in contact; detachments out
    // of play do not count.
    Own(3)->m_contact = 1;
    Own(12)->m_contact = 1;
    UpdateDivisionShare(a);
    EXPECT_NEAR(a.m_divisionShare, 1.0 / 12, 1e-9);
    EXPECT_TRUE(a.m_battleJoined);
    Own(3)->m_contact = 0;
    UpdateDivisionShare(a);
    EXPECT_EQ(a.m_divisionShare, 0.0);
    EXPECT_TRUE(a.m_battleJoined);  // the latch stays
}

TEST_F(Bare, QuietFormation93OutsideCombatReformsInto94) {
    CArmyFormationList list;
    list.AddTail(new CArmyFormation(93));
    list.AddTail(new CArmyFormation(94));
    a.Setup(&list, 93, nullptr, 500, 1000, 2);
    a.m_posture = 1024;
    a.m_divisionShare = 0.01;
    PostureLog ai;
    CDeployment(a, ai).RunRoutine(93);
    EXPECT_EQ(a.m_formation->m_nID, 94);
}

// Quiet, posture 64, tick 100, the two lines 750 apart: formation 10
// re-forms into 93 when its centre is strong enough, and otherwise does
// nothing at all.
TEST_F(Bare, QuietFormation10ReformsEarlyOnlyWithAStrongCentre) {
    for (int enemy : {300, 1000}) {
        SCOPED_TRACE(enemy);
        CArmyFormationList list;
        list.AddTail(new CArmyFormation(10));
        list.AddTail(new CArmyFormation(93));
        a.Setup(&list, 10, nullptr, 500, 1000, 2);
        a.m_posture = 64;
        a.m_tickCount = 100;
        a.m_divisionShare = 0.0;
        for (int r = 0; r < CArmy::kGridRows; ++r) {
            a.m_ownA[r * CArmy::kGridColumns + 5] = 1000;
            a.m_enemyA[r * CArmy::kGridColumns + 8] = enemy;
        }
        for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) a.m_divisions.GetDivision(pos)->m_order = CObjective();
        PostureLog ai;
        CDeployment dep(a, ai);
        EXPECT_EQ(dep.GetFrontEdgeB() - dep.GetFrontEdgeA(), 1374 - 2124);
        dep.RunRoutine(10);
        const bool strong = enemy == 300;
        EXPECT_EQ(a.m_formation->m_nID, strong ? 93 : 10);
        EXPECT_EQ(Own(1)->m_order.HasPoint(), strong);  // the re-forming orders, or none
    }
}

TEST_F(Bare, FinishingPassPlacesTheReserveOrHunts) {
    OneFormation f(10);
    a.Setup(&f.list, 10, nullptr, 500, 1000, 2);
    PostureLog ai;
    a.m_tickCount = 100;
    a.m_divisionShare = 0.05;  // exactly the threshold still runs
    a.m_posture = 1024;
    NoEnemy();
    CDeployment(a, ai).FinishDeployment();
    // Both reserves to slot 0, pushed east by
    // their radii 400 and 600.
    const CPoint slot0 = CDeployment(a, ai).SlotTarget(0, 0, 0);
    EXPECT_EQ(Own(7)->m_order.GetPoint(), Pushed(slot0, 2, 400));
    EXPECT_EQ(Own(11)->m_order.GetPoint(), Pushed(slot0, 2, 600));
    EXPECT_EQ(Own(7)->m_order.m_type, 2);

    // Only division 11 left, tie 3, nobody to hunt: the tie falls to 2.
    a.RemoveDivision(7);
    a.m_randomTie = 3;
    Own(11)->m_order = CObjective();
    CDeployment(a, ai).FinishDeployment();
    EXPECT_EQ(a.m_randomTie, 2);
    EXPECT_FALSE(Own(11)->m_order.HasPoint());

    // Tie 3 with an enemy: a hunter 499 away attacks all-out (code 1 when
    // fresh), at 500 it attacks.
    a.m_randomTie = 3;
    a.m_posture = 4;
    CDivision* e = OneEnemy(4, 1000, 1000);
    CDivision* h = Own(11);
    h->m_type = 0;
    for (int distance : {499, 500}) {
        SCOPED_TRACE(distance);
        a.m_hunted = nullptr;
        h->SetPosition(1000 - distance, 1000);
        CDeployment(a, ai).FinishDeployment();
        EXPECT_EQ(a.m_hunted, e);
        EXPECT_EQ(h->m_order.GetPoint(), CPoint(1000, 1000));
        EXPECT_EQ(h->m_order.m_type, distance < 500 ? 1 : 2);
        EXPECT_EQ(h->m_flags, 0x4000);
    }
}

// The spare division that changes formation may stand in none: it counts
// as formation -1 and still takes the slot's division formation and its
// attack.
TEST_F(Bare, SpareDivisionWithoutAFormationStillTakesItsSlot) {
    OneFormation f(97);
    a.Setup(&f.list, 97, nullptr, 500, 1000, 2);
    PostureLog ai;
    a.m_tickCount = 100;
    a.m_posture = 4;
    for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = a.m_divisions.GetDivision(pos);
        d->m_formation = nullptr;
        d->SetPosition(400 + 10 * d->m_number, 900 + 10 * d->m_number);
    }
    OneEnemy(1, 1000, 1000);  // in the middle band seen from the west
    CDeployment(a, ai).PlaceForm97();
    for (int i : {1, 4, 8, 2, 3}) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(Own(i)->m_order.HasPoint());
    }
    EXPECT_TRUE(ai.postures.empty());

    // Posture 2 gives up the formation and hands over to the postures.
    a.m_posture = 2;
    Own(4)->m_flags = 0x4000;
    CDeployment(a, ai).PlaceForm97();
    EXPECT_EQ(ai.postures, std::vector<int>{2});
    EXPECT_EQ(a.m_aiMode, 1);
    EXPECT_EQ(Own(4)->m_flags & 0x4000, 0);
}

TEST_F(Bare, Formation133SupportersWaitForContact) {
    OneFormation f(133);
    a.Setup(&f.list, 133, nullptr, 500, 1000, 2);
    PostureLog ai;
    a.m_tickCount = 100;
    NoEnemy();
    CDeployment(a, ai).RunRoutine(133);
    EXPECT_FALSE(Own(10)->m_order.HasPoint());
    EXPECT_FALSE(Own(5)->m_order.HasPoint());
    // In contact, divisions 3 and 6 gone, tie 3: 10 goes to its slot.
    a.m_battleJoined = 1;
    a.m_randomTie = 3;
    a.RemoveDivision(3);
    a.RemoveDivision(6);
    CDeployment(a, ai).RunRoutine(133);
    const CDeployment dep(a, ai);
    EXPECT_EQ(Own(10)->m_order.GetPoint(), Pushed(dep.SlotTarget(10, 0, 0), 2, 300));
    EXPECT_EQ(Own(5)->m_order.GetPoint(), Pushed(dep.SlotTarget(5, -300, 0), 2, 300));
}

// ------------------------------------------------------------ on the kit

struct World {
    CWorldLists lists;
    std::vector<CPerson*> generals[2];
    World() {
        CFile file;
        EXPECT_TRUE(file.Open((KitFolder() / "Data" / "Default.STE").string().c_str(), CFile::modeRead));
        CArchive ar(&file, CArchive::load);
        lists.Serialize(ar);
        // Twelve veterans a side, in list order.
        for (POSITION pos = lists.persons.GetHeadPosition(); pos;) {
            CPerson* p = lists.persons.GetPerson(pos);
            if (!p->IsVeteran() || !p->alive) continue;
            if (generals[0].size() < 12) generals[0].push_back(p);
            else if (generals[1].size() < 12) generals[1].push_back(p);
        }
    }
};

World& KitWorld() {
    static World* world = new World;
    return *world;
}

// Puts `army` in formation `id` at `origin`, one general to each division.
void Deploy(CArmy& army, CFormationLists& lists, LoadedField& field, int id, CPoint origin, int facing,
            const std::vector<CPerson*>& generals) {
    army.Setup(&lists.army, id, &field.grid, origin.x, origin.y, facing);
    for (int i = 0; i < 12; ++i) {
        CDivision* d = army.GetDivision(i, FALSE);
        if (i >= int(generals.size())) {
            army.RemoveDivision(i);
            continue;
        }
        d->CreateBattalions(generals[size_t(i)]->id, KitWorld().lists.persons);
        const CPoint slot = army.m_formation->GetSlotPoint(i, facing);
        d->Setup(&lists.div, army.m_formation->GetDivFormationID(i), &field.grid, origin.x + slot.x,
                 origin.y + slot.y, army.m_formation->GetSlotValue(i, facing));
        d->m_present = 1;
    }
    army.RecountDivisions();
    army.RepositionDivisions(army.m_formation, TRUE);
}

bool Passable(const LoadedField& field, CPoint p) {
    const CPathGrid* g = field.grid.GetCoarseGrid();
    if (!g) return true;
    const CPoint c = g->WorldToCell(p.x, p.y);
    return g->IsPassableCell(c.x, c.y);
}

// Runs the deployment of `id` (the AI army facing `facing`) against a
// fixed opponent through postures, contact and ties; each division walks
// to its order at once. Returns the AI army's division places.
std::vector<CPoint> DeployAgainstFixedOpponent(LoadedField& field, int id, int facing, int tie) {
    CFormationLists& lists = KitFormationLists();
    GameSrand(uint32_t(1000 + id));
    auto aiArmy = std::make_unique<CArmy>(0, 11, true);
    auto otherArmy = std::make_unique<CArmy>(1, 11, true);
    CArmy& ai = *aiArmy;
    CArmy& other = *otherArmy;
    ai.m_opponent = &other;
    other.m_opponent = &ai;
    const CPoint west(600, 1000), east(2400, 1000);
    Deploy(ai, lists, field, id, facing == 2 ? west : east, facing, KitWorld().generals[0]);
    Deploy(other, lists, field, 10, facing == 2 ? east : west, facing == 2 ? 6 : 2, KitWorld().generals[1]);
    EXPECT_NE(ai.m_formation, nullptr);
    if (!ai.m_formation) return {};
    EXPECT_EQ(lists.army.GetRootIDOf(ai.m_formation), id);
    ai.m_randomTie = tie;
    ai.m_aiLevel = 1 + id % 5;
    ai.m_armyPoint = ai.GetPosition();
    other.m_armyPoint = other.GetPosition();
    PostureLog brain;
    int moves = 0;
    static const int kPostures[] = {4, 64, 128, 256, 512, 1024, 2048, 4};
    for (int step = 0; step < 24; ++step) {
        const int tick = step == 0 ? 10 : 100 * step;
        ai.m_tickCount = tick;
        ai.m_posture = kPostures[step % 8];
        // Contact from the ninth step on.
        for (POSITION pos = ai.m_divisions.GetHeadPosition(); pos;) ai.m_divisions.GetDivision(pos)->m_contact = step >= 8;
        UpdateDivisionShare(ai);
        ai.EvaluateGrid();
        CDeployment dep(ai, brain);
        dep.RunRoutine(ai.m_formationList->GetRootIDOf(ai.m_formation));
        dep.FinishDeployment();
        for (POSITION pos = ai.m_divisions.GetHeadPosition(); pos;) {
            CDivision* d = ai.m_divisions.GetDivision(pos);
            if (IsLost(d) || !d->m_order.HasPoint()) continue;
            const CPoint t = d->m_order.GetPoint();
            SCOPED_TRACE(testing::Message() << "formation " << id << " tick " << tick << " division " << d->m_number);
            EXPECT_TRUE(CRect(0, 0, 3001, 2001).PtInRect(t)) << t.x << "," << t.y;
            EXPECT_TRUE(Passable(field, t)) << t.x << "," << t.y;
            if (d->GetPosition() != t) ++moves;
            d->SetPosition(t.x, t.y);
        }
    }
    EXPECT_GT(moves, 0) << "the deployment never moved a division";
    std::vector<CPoint> places;
    for (POSITION pos = ai.m_divisions.GetHeadPosition(); pos;) places.push_back(ai.m_divisions.GetDivision(pos)->GetPosition());
    return places;
}

class KitDeployment : public ::testing::TestWithParam<int> {};

TEST_P(KitDeployment, EveryFormationDeploysInsideTheFieldOnPassableGround) {
    ASSERT_GE(KitWorld().generals[1].size(), 7u);
    LoadedField field(GetParam());
    static const int kFormations[] = {3, 10, 26, 70, 90, 92, 93, 94, 95, 96, 97, 98, 99, 100, 101, 102, 133, 134};
    int n = 0;
    for (int id : kFormations) {
        for (int facing : {2, 6}) {
            const int tie = 1 + n++ % 3;
            SCOPED_TRACE(testing::Message() << "formation " << id << " facing " << facing << " tie " << tie);
            const std::vector<CPoint> first = DeployAgainstFixedOpponent(field, id, facing, tie);
            EXPECT_FALSE(first.empty());
            for (CPoint p : first) {
                EXPECT_TRUE(CRect(0, 0, 3001, 2001).PtInRect(p));
                EXPECT_TRUE(Passable(field, p));
            }
            if (id % 3 == 0) {  // some cells again: the same draws give the same places
                EXPECT_EQ(DeployAgainstFixedOpponent(field, id, facing, tie), first);
            }
        }
    }
}

// A1M, C1M and A4L.
INSTANTIATE_TEST_SUITE_P(Battlefields, KitDeployment, ::testing::Values(0, 1, 7));

}  // namespace
