// Battles the computer commands, run headless on three kit battlefields
// (A1M, C1M, A4L): a computer army against a passive one, two computer
// armies against each other at every skill level, every preset formation
// deploying, and every preset against a fixed opponent. Each battle is run
// twice and must draw alike at every tick.
//
// The armies are small (a few divisions) so that whole battles stay cheap;
// the formation runs use the twelve divisions a formation has slots for.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <sstream>
#include <tuple>

#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "army/Army.h"
#include "army/DivisionState.h"
#include "battle/BattleRunner.h"
#include "core/Helpers.h"
#include "core/Random.h"
#include "field/BattleGrid.h"
#include "field/PathGrid.h"
#include "shell/OrvaneView.h"
#include "tests/support/TestFolders.h"

namespace {

using namespace ArmyDivision;

const char* const kFields[] = {"A1M", "C1M", "A4L"};
// Every battle ends by then: at the end of the day the men tire and go.
constexpr uint32_t kTickLimit = 12000;
// The computer's army is side 1 (facing west); the player's side 0.
constexpr int kComputer = 1, kPlayer = 0;

CBattleSetupSpec Battle(const char* field, uint32_t seed) {
    CBattleSetupSpec spec;
    spec.kitFolder = KitFolder().string();
    spec.battlefieldKey = field;
    spec.seed = seed;
    return spec;
}

// The computer's army of `divisions` at `level` against two divisions of
// the player's that are given no orders.
CBattleSetupSpec AgainstPassive(const char* field, uint32_t seed, int level, int divisions) {
    CBattleSetupSpec spec = Battle(field, seed);
    spec.computer[kPlayer] = false;
    spec.computer[kComputer] = true;
    spec.aiLevel[kComputer] = level;
    spec.divisionsOf[kComputer] = divisions;
    spec.divisionsOf[kPlayer] = 2;
    return spec;
}

// The mean x of the army's divisions on the field (0..11).
double MeanX(const CArmy& army) {
    double sum = 0;
    int n = 0;
    for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) {
        const CDivision* d = army.m_divisions.GetDivision(pos);
        if (d->m_number > 11 || IsLost(d) || d->m_x < 0) continue;
        sum += d->m_x;
        ++n;
    }
    return n ? sum / n : 0;
}

bool Passable(const CBattleGrid& grid, CPoint p) {
    const CPathGrid* g = grid.GetCoarseGrid();
    if (!g) return true;
    const CPoint c = g->WorldToCell(p.x, p.y);
    return g->IsPassableCell(c.x, c.y);
}

bool OnField(CPoint p) { return p.x >= 0 && p.x <= 3000 && p.y >= 0 && p.y <= 2000; }

// What a whole battle left, and what the computer's army did on its way.
struct Fought {
    CBattleResult result;
    std::vector<int32_t> calls;  // the random-call count after every tick
    double advance = 0;           // the farthest the computer's army came toward the other side
};

Fought Fight(const CBattleSetupSpec& spec, uint32_t limit = kTickLimit) {
    Fought out;
    CBattleRunner run;
    std::string error;
    EXPECT_TRUE(run.Load(spec, error)) << error;
    if (!error.empty()) return out;
    const CArmy& ai = *run.Army(kComputer);
    const double start = MeanX(ai);
    bool going = true;
    while (going && run.View().BattleTick < limit) {
        going = run.Step();
        out.calls.push_back(RandCallCount);
        if (run.View().BattleTick % 50 == 0) out.advance = std::max(out.advance, start - MeanX(ai));
    }
    out.result = run.Result();
    out.result.ended = !going;
    return out;
}

// The same battle twice draws alike at every tick and ends alike.
void ExpectRepeatable(const Fought& a, const CBattleSetupSpec& spec, uint32_t limit = kTickLimit) {
    const Fought b = Fight(spec, limit);
    ASSERT_EQ(a.calls.size(), b.calls.size());
    const auto split = std::mismatch(a.calls.begin(), a.calls.end(), b.calls.begin());
    EXPECT_TRUE(split.first == a.calls.end()) << "the runs part at tick " << (split.first - a.calls.begin()) + 1;
    for (int side = 0; side < 2; ++side) EXPECT_EQ(a.result.sides[side], b.result.sides[side]) << side;
}

// "A1M_3": the battlefield and the number (a level or a formation).
std::string CaseName(const ::testing::TestParamInfo<std::tuple<const char*, int>>& info) {
    return std::string(std::get<0>(info.param)) + "_" + std::to_string(std::get<1>(info.param));
}

std::string Describe(const CBattleResult& r) {
    std::ostringstream s;
    s << "tick " << r.ticks << (r.ended ? " ended" : " still fighting");
    for (int side = 0; side < 2; ++side)
        s << "; side " << side << (r.sides[side].inBattle ? " in" : " out") << ", " << r.sides[side].liveUnits << "/"
          << r.sides[side].units << " standing";
    return s.str();
}

// ------------------------------------------------- against a passive army

class ComputerAgainstPassive : public ::testing::TestWithParam<std::tuple<const char*, int>> {};

// The computer's six divisions take on two that only stand their ground:
// they march across, meet them and drive them off the field. The advance is
// the mean of all six, reserves included; a passive army may give up the
// field at the first blows, before the reserves have gone far, and then the
// blows it took (it stood on its own side) are the proof that the computer
// crossed.
TEST_P(ComputerAgainstPassive, AdvancesEngagesAndWins) {
    const auto [field, level] = GetParam();
    const CBattleSetupSpec spec = AgainstPassive(field, 20 + uint32_t(level), level, 6);
    const Fought f = Fight(spec);
    SCOPED_TRACE(Describe(f.result));
    const CBattleSideResult &passive = f.result.sides[kPlayer], &computer = f.result.sides[kComputer];
    const bool drivenOff = f.result.ended && passive.inBattle == 0 && passive.liveUnits < passive.units;
    if (!drivenOff) { EXPECT_GE(f.advance, 250) << "the computer's army kept to its side"; }
    EXPECT_LT(passive.liveUnits, passive.units) << "never engaged: the passive army lost nobody";
    ASSERT_TRUE(f.result.ended);
    EXPECT_EQ(passive.inBattle, 0);
    EXPECT_EQ(computer.inBattle, 1) << "the computer's army left the field first";
    ExpectRepeatable(f, spec);
}

INSTANTIATE_TEST_SUITE_P(FieldsAndLevels, ComputerAgainstPassive,
                         ::testing::Combine(::testing::ValuesIn(kFields), ::testing::Values(1, 2, 3, 4, 5)),
                         CaseName);

// ------------------------------------------------ two computer armies

class ComputerAgainstComputer : public ::testing::TestWithParam<std::tuple<const char*, int>> {};

// Two computer armies fight until one leaves the field, within the day.
// The levels pair up so that every level fights on every field: 1 against
// 5, 2 against 4, 3 against 3.
TEST_P(ComputerAgainstComputer, FightToAnEndRepeatably) {
    const auto [field, level] = GetParam();
    CBattleSetupSpec spec = Battle(field, 40 + uint32_t(level));
    spec.computer[0] = spec.computer[1] = true;
    spec.aiLevel[0] = level;
    spec.aiLevel[1] = 6 - level;
    spec.divisionsPerSide = 4;
    const Fought f = Fight(spec);
    SCOPED_TRACE(Describe(f.result));
    ASSERT_TRUE(f.result.ended);
    EXPECT_EQ(f.result.sides[0].inBattle + f.result.sides[1].inBattle, 1) << "one army holds the field";
    EXPECT_LT(f.result.sides[0].liveUnits + f.result.sides[1].liveUnits,
              f.result.sides[0].units + f.result.sides[1].units)
        << "nobody fell";
    ExpectRepeatable(f, spec);
}

INSTANTIATE_TEST_SUITE_P(FieldsAndLevels, ComputerAgainstComputer,
                         ::testing::Combine(::testing::ValuesIn(kFields), ::testing::Values(1, 2, 3)),
                         CaseName);

// ------------------------------------------------------ the formations

// The preset formations, and the two of the scenario family.
const int kFormations[] = {3, 10, 26, 70, 90, 91, 92, 93, 94, 95, 96, 97, 98, 99, 100, 101, 102, 133, 134};

// One stretch of a division's orders to the same placement point.
struct Placement {
    CPoint target{-1, -1};
    uint32_t from = 0;        // the think that first saw it
    int distance = 0;         // how far the division stood from it then
    int nearest = 1 << 30;    // the nearest it came since
    bool metEnemy = false;    // an enemy division came within reach of it on the way
    bool guard = false;       // a guard's post: the division stood guard by its commander when sent
    bool released = false;    // the army has since taken it off guard duty
};

class FormationDeployment : public ::testing::TestWithParam<std::tuple<const char*, int>> {
protected:
    // The computer's twelve divisions deploy from their slots in the
    // formation while the other army's twelve wait across the field, for
    // `ticks`. Every order keeps to the field and to passable ground.
    // Fills in, per division, whether the deployment moved it on from its
    // slot, and judges every placement point it was given (see Close).
    void Deploy(uint32_t ticks) {
        const auto [field, id] = GetParam();
        // Level 3 deploys (level 1 goes straight to its postures).
        CBattleSetupSpec spec = AgainstPassive(field, 60 + uint32_t(id), 3, 12);
        spec.formation[kComputer] = id;
        spec.divisionsOf[kPlayer] = 12;
        std::string error;
        ASSERT_TRUE(run.Load(spec, error)) << error;
        const CArmy& ai = *run.Army(kComputer);
        ASSERT_TRUE(ai.m_formation);
        ASSERT_EQ(ai.m_formationList->GetRootIDOf(ai.m_formation), id);
        CPoint first[12];
        std::fill(std::begin(first), std::end(first), CPoint(-1, -1));
        uint32_t tick = 1;
        for (; tick <= ticks; ++tick) {
            if (!run.Step()) break;  // the battle is over: what was placed so far is judged
            if (tick % 10 != 1) continue;  // just after the computer's think
            for (POSITION pos = ai.m_divisions.GetHeadPosition(); pos;) {
                const CDivision* d = ai.m_divisions.GetDivision(pos);
                if (d->m_number > 11 || IsLost(d) || !d->m_order.HasPoint()) continue;
                const CPoint target = d->m_order.GetPoint();
                SCOPED_TRACE(testing::Message() << "tick " << tick << " division " << d->m_number << " order "
                                                << d->m_order.m_type << " to " << target.x << "," << target.y);
                EXPECT_TRUE(OnField(target));
                EXPECT_TRUE(Passable(run.Grid(), target));
                EXPECT_TRUE(OnField(d->GetPosition()));
                const int i = d->m_number;
                if (first[i] == CPoint(-1, -1)) first[i] = target;
                if (target != first[i]) moved[i] = true;
                Follow(i, *d, tick);
            }
            if (HasFailure()) return;
        }
        for (int i = 0; i < 12; ++i) Close(i, tick);
    }

    // A placement point is one the deployment gave: a slot of the formation
    // (the army's own slot orders carry no mark) or the point the division
    // target rule made of it (marked 50). The army's orders aimed at an
    // enemy division (its attacks, and stand-ground orders at an enemy's
    // place) and its presses deep into the enemy's ground carry other marks.
    void Follow(int i, const CDivision& d, uint32_t tick) {
        Placement& p = current[i];
        const CPoint target = d.m_order.GetPoint();
        const bool placed = d.m_counters2[0] == 0 || d.m_counters2[0] == 50;
        const bool drift = placed && p.from != 0 &&
                           Round(GetDistance(p.target.x, p.target.y, target.x, target.y, false)) <= kDrift;
        if (!placed || (target != p.target && !drift)) {
            Close(i, tick);
            p = Placement{};
            if (!placed) return;
            p.from = tick;
            p.distance = Round(GetDistance(d.m_x, d.m_y, target.x, target.y, false));
            p.guard = d.m_flags == kCentreGuard;
        }
        if (p.guard && d.m_flags != kCentreGuard) p.released = true;
        p.target = target;
        p.nearest = std::min(p.nearest, Round(GetDistance(d.m_x, d.m_y, target.x, target.y, false)));
        if (MeetsEnemy(d, target)) p.metEnemy = true;
    }

    // An enemy division stands within kContact of the division, or on the
    // place it was sent to: the target rule holds a place facing an enemy
    // that stands nearer to it than the division, and the division has to
    // fight for it (the army's own divisions already fighting there stand
    // in its way).
    bool MeetsEnemy(const CDivision& d, CPoint target) const {
        const CArmy& enemy = *run.Army(kPlayer);
        for (POSITION pos = enemy.m_divisions.GetHeadPosition(); pos;) {
            const CDivision* e = enemy.m_divisions.GetDivision(pos);
            if (!IsLost(e) && (Round(GetDistance(d.m_x, d.m_y, e->m_x, e->m_y, false)) < kContact ||
                               Round(GetDistance(target.x, target.y, e->m_x, e->m_y, false)) <= kHeld))
                return true;
        }
        return false;
    }

    // A placement held long enough for the march is judged: the division
    // came within kArrived of its point, unless it met the enemy first (it
    // then stops to fight, as it should).
    void Close(int i, uint32_t tick) {
        Placement& p = current[i];
        if (p.from == 0) return;
        const uint32_t held = tick - p.from;
        if (!p.metEnemy && !p.released && held >= kSettle + uint32_t(p.distance) * kTicksPerPixel) {
            ++judged[i];
            if (p.nearest > kArrived) {
                const auto [holder, men] = HeldBy(i, p.target);
                ADD_FAILURE() << "division " << i << " sent at tick " << p.from << " to " << p.target.x << ","
                              << p.target.y << " from " << p.distance << " away came no nearer than " << p.nearest
                              << " in " << held << " ticks"
                              << (men ? "; " + std::to_string(men) + (men == 1 ? " man" : " men") + " of division " +
                                            std::to_string(holder) + (men == 1 ? " stands" : " stand") + " on that place"
                                      : std::string());
            }
        }
        p = Placement{};
    }
    const CArmy& Computer() const { return *run.Army(kComputer); }

    // The other division of the computer's army with the most men standing
    // within kHeld of `target`, and how many (0: nobody stands there). A
    // division sent onto ground another one holds stays short of it however
    // it moves: the message tells such a placement from a march that stalled.
    std::pair<int, int> HeldBy(int i, CPoint target) const {
        int holder = -1, most = 0;
        for (POSITION pos = Computer().m_divisions.GetHeadPosition(); pos;) {
            const CDivision* o = Computer().m_divisions.GetDivision(pos);
            if (o->m_number == i || IsLost(o)) continue;
            int men = 0;
            for (POSITION bp = o->m_battalions.GetHeadPosition(); bp;) {
                const CBattalion* b = o->m_battalions.GetBattalion(bp);
                for (POSITION up = b->m_units.GetHeadPosition(); up;) {
                    const CUnit* u = b->m_units.GetUnit(up);
                    if (!u->m_routed && !u->m_lost &&
                        Round(GetDistance(u->m_x, u->m_y, target.x, target.y, false)) <= kHeld)
                        ++men;
                }
            }
            if (men > most) holder = o->m_number, most = men;
        }
        return {holder, most};
    }

    // A division marches at two pixels in five ticks at the least (foot in
    // step, turning and waiting for its battalions) and settles on its point
    // within 400 ticks; it has arrived when its centre stands within half a
    // battalion's depth of the point.
    static constexpr uint32_t kSettle = 400, kTicksPerPixel = 3;
    static constexpr int kArrived = 60;
    // A point moved on by no more than this (the front creeping forward, the
    // placement turning to face a nearer enemy) is the same placement.
    static constexpr int kDrift = 100;
    // An enemy division nearer than this is in the way.
    static constexpr int kContact = 300;
    // The behaviour flags of a division standing guard by the commander.
    // The army counts its guards again at every evaluation: a guard it
    // takes off duty (its fighting divisions became fewer) joins a wing and
    // keeps its old order until its wing is ordered, while the one guard
    // left moves to the lone post; the post it was marching to is no
    // longer a placement of the army's.
    static constexpr int kCentreGuard = 0x101;
    // Men this near a placement point stand on the place (a division's
    // battalions stand about twice as far out from its centre).
    static constexpr int kHeld = 100;

    CBattleRunner run;
    bool moved[12] = {};
    Placement current[12];
    int judged[12] = {};
};

// The army keeps its formation while it deploys against a whole army, and
// its deployment sends divisions on from their slots.
TEST_P(FormationDeployment, OrdersKeepToTheFieldAndTheFormation) {
    ASSERT_NO_FATAL_FAILURE(Deploy(400));
    EXPECT_FALSE(Computer().m_formationAbandoned) << "an army facing a whole army keeps its formation while it deploys";
    EXPECT_GT(std::count(std::begin(moved), std::end(moved), true), 0) << "the deployment moved nobody";
}

// Every division reaches each point the deployment places it on and keeps
// it there long enough to march to, unless it meets the enemy on the way.
// C1M_90 passes narrowly: the circle's lone post lies inside the castle,
// reached through the east gate the commander stands before.
TEST_P(FormationDeployment, EveryDivisionReachesItsPlace) {
    ASSERT_NO_FATAL_FAILURE(Deploy(2500));
    EXPECT_GT(std::accumulate(std::begin(judged), std::end(judged), 0), 0) << "no placement was held long enough";
}

INSTANTIATE_TEST_SUITE_P(FieldsAndFormations, FormationDeployment,
                         ::testing::Combine(::testing::ValuesIn(kFields), ::testing::ValuesIn(kFormations)),
                         CaseName);

// Every preset against a computer army in formation 10: the battle ends
// within the day, and its opening, while the armies deploy and meet, draws
// alike when fought again.
class PresetAgainstComputer : public ::testing::TestWithParam<std::tuple<const char*, int>> {};

TEST_P(PresetAgainstComputer, EndsAndRepeats) {
    const auto [field, id] = GetParam();
    CBattleSetupSpec spec = Battle(field, 80 + uint32_t(id));
    spec.computer[0] = spec.computer[1] = true;
    spec.formation[kComputer] = id;
    spec.formation[kPlayer] = 10;
    spec.divisionsOf[kComputer] = 6;  // the fewest that keep a formation
    spec.divisionsOf[kPlayer] = 3;
    const Fought f = Fight(spec);
    SCOPED_TRACE(Describe(f.result));
    ASSERT_TRUE(f.result.ended);
    EXPECT_EQ(f.result.sides[0].inBattle + f.result.sides[1].inBattle, 1) << "one army holds the field";
    constexpr uint32_t kOpening = 1500;
    Fought opening = f;
    opening.calls.resize(std::min<size_t>(f.calls.size(), kOpening));
    const Fought again = Fight(spec, kOpening);
    EXPECT_EQ(again.calls, opening.calls);
}

INSTANTIATE_TEST_SUITE_P(FieldsAndFormations, PresetAgainstComputer,
                         ::testing::Combine(::testing::ValuesIn(kFields), ::testing::ValuesIn(kFormations)),
                         CaseName);

}  // namespace
