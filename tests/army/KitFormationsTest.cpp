// The kit's formation list file as the game reads it: every formation the
// game asks for is there, every chain of ids it follows ends in a
// formation, and the shapes keep divisions apart and on the field.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

#include "Units/UnitSets.h"
#include "army/CommanderGuards.h"
#include "core/Helpers.h"
#include "core/Random.h"
#include "tests/support/KitFormations.h"

namespace {

std::vector<int> RootIDs() {
    std::vector<int> ids(std::begin(ArmyFormationID::kPresets), std::end(ArmyFormationID::kPresets));
    ids.push_back(ArmyFormationID::kHalfMoonAlias);
    ids.push_back(ArmyFormationID::kGeneralsOwn);
    for (int id = 113; id <= 134; ++id)
        if (IsScenarioFormation(id)) ids.push_back(id);
    return ids;
}

std::vector<const CArmyFormation*> AllArmyFormations(const CFormationLists& lists) {
    std::vector<const CArmyFormation*> all;
    for (POSITION pos = lists.army.GetHeadPosition(); pos;) all.push_back(lists.army.At(pos)), lists.army.GetNext(pos);
    return all;
}

TEST(KitFormations, EveryPresetScenarioAndGeneralsFormationIsARoot) {
    CFormationLists& lists = KitFormationLists();
    for (int id : RootIDs()) {
        const CArmyFormation* f = lists.army.GetFormation(id);
        ASSERT_NE(f, nullptr) << id;
        EXPECT_TRUE(f->IsRoot()) << id;
        EXPECT_EQ(lists.army.GetRootID(id), id);
    }
    // An army whose formation is missing stands in the list's first one.
    EXPECT_TRUE(lists.army.At(lists.army.GetHeadPosition())->IsRoot());
    // Every other army formation belongs to the family of one of them.
    const std::vector<int> roots = RootIDs();
    for (const CArmyFormation* f : AllArmyFormations(lists)) {
        int root = lists.army.GetRootIDOf(f);
        EXPECT_NE(std::find(roots.begin(), roots.end(), root), roots.end()) << f->m_nID << " has root " << root;
    }
}

TEST(KitFormations, EveryArmySlotFindsItsDivisionAndBattalionFormations) {
    CFormationLists& lists = KitFormationLists();
    for (const CArmyFormation* army : AllArmyFormations(lists)) {
        for (int slot = 0; slot < CArmyFormation::kSlots; ++slot) {
            const CDivFormation* div = lists.div.FindByID(army->GetDivFormationID(slot));
            ASSERT_NE(div, nullptr) << "army formation " << army->m_nID << " slot " << slot;
            for (int row = 0; row < CDivFormation::kRows; ++row)
                EXPECT_NE(lists.batt.FindByID(div->GetBattFormationID(row)), nullptr)
                    << "division formation " << div->m_nID << " row " << row;
        }
    }
    // The default division formation and the ones the units name, with
    // their links and mapped ids, are there too.
    for (int id : {15, 37, 38, 39}) ASSERT_NE(lists.div.FindByID(id), nullptr) << id;
    for (POSITION pos = lists.div.GetHeadPosition(); pos; lists.div.GetNext(pos)) {
        const CDivFormation* div = lists.div.At(pos);
        EXPECT_NE(lists.div.FindByID(div->GetLinkID()), nullptr) << div->m_nID;
        for (DWORD type = 0; type < 5; ++type)
            EXPECT_NE(lists.div.FindByID(div->LookupMappedID(int(type))), nullptr) << div->m_nID;
        for (int row = 0; row < CDivFormation::kRows; ++row)
            EXPECT_NE(lists.batt.FindByID(div->GetBattFormationID(row)), nullptr) << div->m_nID;
    }
}

TEST(KitFormations, EveryMaskTheGameDrawsWithFindsAFormation) {
    CFormationLists& lists = KitFormationLists();
    // Division orders draw by their order type, detachments by 2.
    for (DWORD type : {1u, 2u, 4u, 8u, 16u, 32u, 64u, 128u, 256u, 512u, 1024u, 2048u, 4096u})
        EXPECT_NE(lists.div.PickRandom(type), nullptr) << type;
    // The enemy's posture masks and the tactic screen's posture cycle find
    // a root that serves them rather than falling back to any preset.
    for (DWORD mask : {0x10000u, 0x20000u, 0x40000u, 0x80000u, 0x100000u, 0x200000u, 0x400000u, 0x800000u,
                       0x1000000u, 0x2000000u, 0x40000000u, 0x20000000u, 4096u}) {
        CArmyFormation* f = lists.army.PickRandom(mask, nullptr);
        ASSERT_NE(f, nullptr) << std::hex << mask;
        EXPECT_TRUE(f->HasFlag(mask)) << std::hex << mask;
    }
    for (int preset : ArmyFormationID::kPresets)
        for (DWORD mask : {0x1000000u, 0x20000u, 0x80000u, 4096u, 0x40000u, 0x10000u, 0x20000000u, 0x2000000u, 0x800000u}) {
            CArmyFormation* f = lists.army.ApplyFormation(preset, mask);
            ASSERT_NE(f, nullptr) << preset;
            EXPECT_TRUE(f->HasFlag(mask)) << preset << " " << std::hex << mask;
        }
}

TEST(KitFormations, EveryFamilyResolvesEachPostureFlagThroughItsGrades) {
    CFormationLists& lists = KitFormationLists();
    for (int id : RootIDs()) {
        CArmyFormation* root = lists.army.GetFormation(id);
        ASSERT_NE(root, nullptr);
        // Flags of one wing or the centre: three grades, then it stays.
        for (DWORD mask : {0x1000u, 0x10000u, 0x20000u, 0x40000u, 0x80000u}) {
            CArmyFormation* f = root;
            for (int grade = 2; grade <= 4; ++grade) {
                f = lists.army.FindEquivalent(f, mask);
                ASSERT_NE(f, nullptr) << id << " " << std::hex << mask << " grade " << grade;
                EXPECT_EQ(f->m_nLevel, grade);
                EXPECT_EQ(lists.army.GetRootIDOf(f), id);
            }
            EXPECT_EQ(lists.army.FindEquivalent(f, mask), f);
            // From the top grade a whole-army change falls back a long way.
            CArmyFormation* back = lists.army.FindEquivalent(f, 0x40000000);
            ASSERT_NE(back, nullptr);
            EXPECT_LT(back->m_nLevel, 2);
        }
        // Whole-army flags from any grade.
        for (DWORD mask : {0x20000000u, 0x40000000u}) {
            CArmyFormation* f = lists.army.FindEquivalent(root, mask);
            ASSERT_NE(f, nullptr) << id;
            EXPECT_EQ(f->m_nLevel, 1);
            EXPECT_TRUE(f->HasFlag(mask));
            EXPECT_EQ(lists.army.GetRootIDOf(f), id);
        }
    }
    // The general's own formation climbs its family one grade at a time.
    for (DWORD flag : {0x10000u, 0x20000u}) {
        CArmyFormation* f = lists.army.FindEquivalent(lists.army.GetFormation(103), flag);
        ASSERT_NE(f, nullptr);
        for (int grade = 3; grade <= 4; ++grade) {
            f = lists.army.FindInFamily(f, flag, f->m_nLevel + 1);
            ASSERT_NE(f, nullptr) << grade;
            EXPECT_EQ(f->m_nLevel, grade);
        }
    }
}

TEST(KitFormations, RandomPresetsAreNeverTheAliasTheGeneralsOwnOrAScenarioFormation) {
    CFormationLists& lists = KitFormationLists();
    GameSrand(1234);
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        const CArmyFormation* f = lists.army.GetFormation(-2);
        ASSERT_NE(f, nullptr);
        EXPECT_NE(f->m_nID, 91);
        EXPECT_NE(f->m_nID, 103);
        EXPECT_FALSE(IsScenarioFormation(f->m_nID));
        seen.insert(f->m_nID);
    }
    EXPECT_EQ(seen.size(), 16u);
}

// Bodies of the largest unit set: two divisions whose units' rectangles of
// this size never meet do not overlap whatever troops they hold.
int BodyWidth() {
    int w = 0;
    for (const auto& s : UnitSets::kSets) w = std::max(w, s.cellWidth);
    return w;
}
int BodyHeight() {
    int h = 0;
    for (const auto& s : UnitSets::kSets) h = std::max(h, s.cellHeight);
    return h;
}

TEST(KitFormations, DivisionsNeverOverlapAtAnyFacing) {
    CFormationLists& lists = KitFormationLists();
    const int w = BodyWidth(), h = BodyHeight();
    for (const CArmyFormation* army : AllArmyFormations(lists)) {
        for (int facing = 0; facing < 8; ++facing) {
            std::vector<std::vector<CPoint>> units(CArmyFormation::kSlots);
            for (int s = 0; s < CArmyFormation::kSlots; ++s)
                units[s] = UnitPlaces(lists, *army, s, facing, CPoint(0, 0));
            for (int a = 0; a < CArmyFormation::kSlots; ++a)
                for (int b = a + 1; b < CArmyFormation::kSlots; ++b)
                    for (const CPoint& p : units[a])
                        for (const CPoint& q : units[b])
                            ASSERT_FALSE(std::abs(p.x - q.x) < w && std::abs(p.y - q.y) < h)
                                << army->m_nID << " facing " << facing << ": slots " << a << " and " << b;
        }
    }
}

// A man jostled off his place in a block, the battalion formation divisions
// stand and defend in, steps back onto it only if the ranks before and
// behind leave him room: square on, every rank stands clear of the next by
// a man's depth on foot (32) and 8 more. The leader, alone ahead of the
// front rank, is not a rank.
TEST(KitFormations, TheBlocksRanksLeaveAJostledManRoomToStepBack) {
    constexpr int kFootWidth = 24, kFootDepth = 32, kRoom = 8;
    const CBattFormation* block = KitFormationLists().batt.FindByID(1);
    ASSERT_NE(block, nullptr);
    for (int a = 1; a < CBattFormation::kRows; ++a)
        for (int b = a + 1; b < CBattFormation::kRows; ++b) {
            const CPoint p = block->GetSlotPoint(a, 0), q = block->GetSlotPoint(b, 0);
            if (std::abs(p.x - q.x) < kFootWidth) {
                EXPECT_GE(std::abs(p.y - q.y), kFootDepth + kRoom) << "men " << a << " and " << b;
            }
        }
}

// The presets a player picks from on the tactic screen are shapes of their
// own: of any one of them at least three divisions stand farther than half
// a division's width from every division of any other. Two presets drawn
// alike, or one nudged a little from another, fail.
TEST(KitFormations, EveryPresetStandsItsDivisionsInAShapeOfItsOwn) {
    CFormationLists& lists = KitFormationLists();
    constexpr double kHalfDivision = 100;
    constexpr int kOwnPlaces = 3;
    for (size_t i = 0; i < std::size(ArmyFormationID::kPresets); ++i)
        for (size_t j = 0; j < std::size(ArmyFormationID::kPresets); ++j) {
            if (i == j) continue;
            const CArmyFormation* a = lists.army.GetFormation(ArmyFormationID::kPresets[i]);
            const CArmyFormation* b = lists.army.GetFormation(ArmyFormationID::kPresets[j]);
            ASSERT_TRUE(a && b);
            int own = 0;
            for (int s = 0; s < CArmyFormation::kSlots; ++s) {
                const CPoint p = a->GetSlotPoint(s, 0);
                double nearest = 1e9;
                for (int t = 0; t < CArmyFormation::kSlots; ++t) {
                    const CPoint q = b->GetSlotPoint(t, 0);
                    nearest = std::min(nearest, std::hypot(double(p.x - q.x), double(p.y - q.y)));
                }
                if (nearest > kHalfDivision) ++own;
            }
            EXPECT_GE(own, kOwnPlaces) << a->m_nID << " beside " << b->m_nID;
        }
}

TEST(KitFormations, TheOppositeFacingIsTheHalfTurn) {
    CFormationLists& lists = KitFormationLists();
    for (const CArmyFormation* army : AllArmyFormations(lists))
        for (int s = 0; s < CArmyFormation::kSlots; ++s)
            for (int f = 0; f < 4; ++f) {
                CPoint a = army->GetSlotPoint(s, f), b = army->GetSlotPoint(s, f + 4);
                EXPECT_EQ(b.x, -a.x) << army->m_nID;
                EXPECT_EQ(b.y, -a.y) << army->m_nID;
                EXPECT_EQ(army->GetSlotValue(s, f + 4), (army->GetSlotValue(s, f) + 4) % 8) << army->m_nID;
            }
}

// The computer's commander sends his guards (divisions 7 and 11) to posts
// diagonally ahead of his division on either side, or a lone guard
// straight ahead, measured from the army point while his division stands
// farther than the base radius from it. At both start points no other
// division's men stand within a division's reach of a post: a guard sent
// onto ground another division holds never gets there. The commander's own
// men stand nearer, so they are held to the guard's own shape: a guard
// holding a post, in any formation a defence order draws and facing the
// way the post sends it, keeps a marshal's body of room between his men
// and the commander's, or the guard coming up is caught on the commander's
// horse.
TEST(KitFormations, TheCommandersGuardPostsLieClearOfTheOtherDivisions) {
    using namespace CommanderGuards;
    constexpr int kMarshalWidth = 36, kMarshalDepth = 38;
    CFormationLists& lists = KitFormationLists();
    const CArmyFormation* any = lists.army.GetFormation(ArmyFormationID::kPresets[0]);
    ASSERT_NE(any, nullptr);
    const int headquarters = any->GetDivFormationID(0);
    // The formations a guard holds a post in, and their reach: the
    // farthest man from the centre, square on.
    std::vector<const CDivFormation*> holding;
    double reach = 0;
    for (POSITION pos = lists.div.GetHeadPosition(); pos; lists.div.GetNext(pos)) {
        const CDivFormation* div = lists.div.At(pos);
        if (!div->HasFlag(512) || div->m_nID == headquarters) continue;
        holding.push_back(div);
        for (const CPoint& p : DivisionPlaces(lists, *div, CPoint(0, 0), 0))
            reach = std::max(reach, std::hypot(double(p.x), double(p.y)));
    }
    ASSERT_GT(reach, 100);
    for (int id : RootIDs()) {
        const CArmyFormation* army = lists.army.GetFormation(id);
        ASSERT_NE(army, nullptr) << id;
        EXPECT_EQ(army->GetDivFormationID(0), headquarters) << id;
        for (auto [origin, facing] : {std::pair{CPoint(500, 1000), 2}, std::pair{CPoint(2500, 1000), 6}}) {
            const CPoint commander = origin + army->GetSlotPoint(0, facing);
            const double away = std::hypot(double(commander.x - origin.x), double(commander.y - origin.y));
            // Clear of the distance at which the base changes, by more
            // than a division settling on its place strays from it.
            ASSERT_GT(std::abs(away - kBaseRadius), 60) << id;
            const CPoint base = away <= kBaseRadius ? commander : origin;
            const struct {
                CPoint at;
                int turn;          // the guard's facing there, relative to the army
                int guard, other;  // the guard sent there, and the division the post is left to
            } posts[3] = {
                {base + GetDirectionVector((facing + kPairTurns[0]) & 7, kPairDistance), kPairTurns[0], 7, 11},
                {base + GetDirectionVector((facing + kPairTurns[1]) & 7, kPairDistance), kPairTurns[1], 7, 11},
                {base + GetDirectionVector(facing, kLoneDistance), 0, 7, 0}};
            const std::vector<CPoint> commandersMen = UnitPlaces(lists, *army, 0, facing, origin);
            for (const auto& post : posts) {
                for (int s = 0; s < CArmyFormation::kSlots; ++s) {
                    if (s == post.guard || s == post.other) continue;
                    for (const CPoint& p : UnitPlaces(lists, *army, s, facing, origin))
                        ASSERT_GT(std::hypot(double(p.x - post.at.x), double(p.y - post.at.y)), reach)
                            << id << " facing " << facing << ": division " << s << " stands on the post at "
                            << post.at.x << ", " << post.at.y;
                }
                for (const CDivFormation* div : holding)
                    for (const CPoint& g : DivisionPlaces(lists, *div, post.at, (facing + post.turn) & 7))
                        for (const CPoint& c : commandersMen)
                            ASSERT_FALSE(std::abs(g.x - c.x) < 2 * kMarshalWidth &&
                                         std::abs(g.y - c.y) < 2 * kMarshalDepth)
                                << id << " facing " << facing << ": a guard in " << div->m_nID << " at the post at "
                                << post.at.x << ", " << post.at.y << " stands at " << g.x << ", " << g.y
                                << " beside the commander's man at " << c.x << ", " << c.y;
            }
        }
    }
}

TEST(KitFormations, ArmiesAtTheBattleStartPointsStandOnTheField) {
    CFormationLists& lists = KitFormationLists();
    // The inner field: the ground a division may be ordered onto.
    const CRect inner(180, 180, 2820, 1820);
    for (int id : RootIDs()) {
        const CArmyFormation* army = lists.army.GetFormation(id);
        ASSERT_NE(army, nullptr) << "the kit's formation file has no formation " << id;
        for (auto [origin, facing] : {std::pair{CPoint(500, 1000), 2}, std::pair{CPoint(2500, 1000), 6}})
            for (int s = 0; s < CArmyFormation::kSlots; ++s)
                for (const CPoint& p : UnitPlaces(lists, *army, s, facing, origin))
                    ASSERT_TRUE(inner.PtInRect(p)) << id << " slot " << s << " at " << p.x << ", " << p.y;
    }
}

}  // namespace
