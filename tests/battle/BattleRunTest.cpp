// Whole battles on a kit battlefield, run headless: the same battle twice
// and a battle replayed from its saved orders compute the same thing.
#include <gtest/gtest.h>

#include <map>

#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "Units/Objective.h"
#include "army/Army.h"
#include "battle/BattleRunner.h"
#include "core/Random.h"
#include "shell/OrvaneView.h"
#include "tests/support/LoadedBattlefield.h"

namespace {
CBattleSetupSpec KitBattle(uint32_t seed) {
    CBattleSetupSpec spec;
    spec.kitFolder = KitFolder();
    spec.seed = seed;
    return spec;
}

// Both armies advance on each other with every division.
void ScriptAdvance(CBattleRunner& run) {
    for (int side = 0; side < 2; ++side)
        for (int id = 0; id < 15; ++id)
            run.Script({uint32_t(5 + id), side, id, id % 2 ? 2 : 16, side ? 900 : 2100, 300 + 100 * id});
}

struct Outcome {
    std::vector<int32_t> calls;
    std::vector<double> snapshot;
    CBattleResult result;
    std::vector<CScriptedOrder> saved;
};

Outcome RunBattle(uint32_t seed, const std::vector<CScriptedOrder>* script, uint32_t ticks) {
    CBattleRunner run;
    std::string error;
    EXPECT_TRUE(run.Load(KitBattle(seed), error)) << error;
    if (script)
        for (const CScriptedOrder& o : *script) run.Script(o);
    else
        ScriptAdvance(run);
    Outcome out;
    out.result = run.Run(ticks, &out.calls);
    out.snapshot = run.Snapshot();
    out.saved = run.SavedOrders();
    return out;
}
}  // namespace

TEST(BattleRun, TwoClansOfTheKitWorldTakeTheFieldAndTheirOrders) {
    CBattleRunner run;
    std::string error;
    ASSERT_TRUE(run.Load(KitBattle(7), error)) << error;
    ScriptAdvance(run);
    for (int side = 0; side < 2; ++side) {
        CArmy* army = run.Army(side);
        ASSERT_NE(army, nullptr);
        EXPECT_GE(army->m_divisions.GetCount(), 2) << side;
        EXPECT_EQ(army->m_opponent, run.Army(1 - side));
    }
    EXPECT_GT(run.UnitCount(), 0);
    CBattleResult r = run.Run(60);
    EXPECT_EQ(r.ticks, 60u);
    EXPECT_FALSE(r.ended);
    EXPECT_EQ(r.sides[0].inBattle, 1);
    EXPECT_EQ(r.sides[1].inBattle, 1);
    EXPECT_FALSE(run.SavedOrders().empty());
    // Every order reached its division: the queue is empty.
    EXPECT_TRUE(run.View().TargetOrders.IsEmpty());
}

// Two full armies of the kit world, both given to the script: every
// division of the first attacks straight across the field, the second holds
// its ground, and the battle runs on until one army has left it.
CBattleRunner* LoadFullBattle(CBattleRunner& run, uint32_t seed) {
    CBattleSetupSpec spec = KitBattle(seed);
    spec.computer[0] = spec.computer[1] = false;
    std::string error;
    EXPECT_TRUE(run.Load(spec, error)) << error;
    run.ScriptAttackAcross(1, 0);
    return &run;
}

TEST(BattleRun, TwoFullArmiesOnA1MFightUntilOneLeavesTheField) {
    CBattleRunner run;
    LoadFullBattle(run, 2);
    CBattleResult r = run.Run(15000);
    // The marshal's guard and fourteen divisions of up to four battalions.
    for (const CBattleSideResult& side : r.sides) {
        EXPECT_EQ(side.divisions, 15);
        EXPECT_GE(side.units, 15 + 14 * 36);
    }
    ASSERT_TRUE(r.ended) << "still fighting after " << r.ticks << " ticks";
    EXPECT_LT(r.ticks, 15000u);
    const int loser = r.sides[0].inBattle ? 1 : 0;
    EXPECT_EQ(r.sides[loser].inBattle, 0);
    EXPECT_EQ(r.sides[1 - loser].inBattle, 1) << "one army leaves, the other holds the field";
    const CBattleSideResult &lost = r.sides[loser], &won = r.sides[1 - loser];
    // An army breaks when its morale does, not by a count of the fallen: the
    // attacker that drives the other off often pays more than it takes.
    EXPECT_GT(lost.units - lost.liveUnits, 0) << "the loser lost nobody";
    EXPECT_LT(won.liveUnits, won.units) << "the winner paid for it";
}

// The kit's generals command no riflemen: the holding army's first archer
// battalion on the field (not a detachment waiting off it) is armed with
// rifles, as the battle set-up arms a rifle general's men. Its battalion,
// or null.
const CBattalion* ArmWithRifles(CArmy* army) {
    for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
        CDivision* d = army->m_divisions.GetDivision(dp);
        if (d->IsDetachment()) continue;
        for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
            CBattalion* b = d->m_battalions.GetBattalion(bp);
            if (b->m_battType != 2) continue;
            b->m_battType = 4;
            for (POSITION up = b->m_units.GetHeadPosition(); up;) {
                CUnit* u = b->m_units.GetUnit(up);
                if (u->m_kind != KIND_ARCHER) continue;
                u->SetKindAndIcon(KIND_RIFLEMAN, nullptr, 0);
                u->m_typeValue = KIND_RIFLEMAN;
            }
            return b;
        }
    }
    return nullptr;
}

// The archers and riflemen of both full armies loose their missiles as the
// first army comes on, and the missiles strike: the enemy's battalions are
// hit by shooters of the other side, riflemen among them, and lose men that
// no melee blow took.
TEST(BattleRun, ArchersAndRiflemenShootAndHitInAFullBattle) {
    CBattleRunner run;
    LoadFullBattle(run, 4);
    const CBattalion* rifles = ArmWithRifles(run.Army(1));
    ASSERT_NE(rifles, nullptr);
    COrvaneView& view = run.View();
    std::map<const CUnit*, int> startHeads;
    for (POSITION pos = view.BattleUnits.GetHeadPosition(); pos;) {
        const CUnit* u = view.BattleUnits.GetUnit(pos);
        startHeads[u] = u->m_headCount;
    }
    // Shooting units by side and kind (archers, riflemen); ticks with
    // missiles in flight; battalions struck by each side's archers and by
    // the riflemen.
    int shooting[2][2] = {}, flying = 0;
    std::map<const CBattalion*, int> struckBy;  // 1 archers, 2 riflemen, 3 both
    for (int t = 0; t < 1500 && run.Step(); ++t) {
        flying += view.BattleMissiles.GetCount() > 0;
        for (POSITION pos = view.BattleUnits.GetHeadPosition(); pos;) {
            const CUnit* u = view.BattleUnits.GetUnit(pos);
            if (u->m_active && u->GetBehaviour() == 8) ++shooting[u->m_sideId & 1][u->m_kind == KIND_RIFLEMAN];
            const CBattalion* b = u->m_battalion;
            if (u->m_number == 0 && b && b->m_lastShooter && b->m_lastShooter->m_ownerNumber != b->m_ownerNumber)
                struckBy[b] |= b->m_lastShooter->m_battType == 4 ? 2 : 1;
        }
    }
    EXPECT_GT(shooting[0][0], 0) << "the attacking archers shoot";
    EXPECT_GT(shooting[1][0], 0) << "the holding archers shoot";
    EXPECT_GT(shooting[1][1], 0) << "the riflemen shoot";
    EXPECT_GT(flying, 100) << "missiles fly on many ticks";
    int byRifles = 0;
    for (auto& [b, by] : struckBy) byRifles += b->m_ownerNumber == 0 && (by & 2);
    EXPECT_GT(byRifles, 0) << "the riflemen hit";
    for (int side = 0; side < 2; ++side) {
        int struck = 0, missileLosses = 0;
        const CArmy* army = run.Army(side);
        for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
            const CDivision* d = army->m_divisions.GetDivision(dp);
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
                const CBattalion* b = d->m_battalions.GetBattalion(bp);
                struck += struckBy.count(b) != 0;
                // Every head lost beyond the melee blows fell to a missile.
                for (POSITION up = b->m_units.GetHeadPosition(); up;) {
                    const CUnit* u = b->m_units.GetUnit(up);
                    missileLosses += std::max(0, startHeads[u] - u->m_headCount - u->m_meleeLosses);
                }
            }
        }
        EXPECT_GT(struck, 0) << "side " << side << " is shot at";
        EXPECT_GT(missileLosses, 0) << "side " << side << " loses men to missiles";
    }
}

TEST(BattleRun, TheSameFightTwiceDrawsAlikeAtEveryTickAndEndsAlike) {
    // Long enough for the lines to meet and the first units to fall.
    constexpr uint32_t kTicks = 1200;
    Outcome out[2];
    for (Outcome& o : out) {
        CBattleRunner run;
        LoadFullBattle(run, 9);
        o.result = run.Run(kTicks, &o.calls);
        o.snapshot = run.Snapshot();
    }
    ASSERT_EQ(out[0].calls.size(), kTicks);
    EXPECT_EQ(out[0].calls, out[1].calls);
    EXPECT_EQ(out[0].snapshot, out[1].snapshot);
    EXPECT_EQ(out[0].result.sides[0], out[1].result.sides[0]);
    EXPECT_EQ(out[0].result.sides[1], out[1].result.sides[1]);
    EXPECT_LT(out[0].result.sides[0].liveUnits + out[0].result.sides[1].liveUnits, 1200) << "they fought";
}

TEST(BattleRun, TheSameBattleTwiceDrawsAlikeAtEveryTickAndEndsAlike) {
    Outcome a = RunBattle(11, nullptr, 300), b = RunBattle(11, nullptr, 300);
    ASSERT_EQ(a.calls.size(), 300u);
    EXPECT_EQ(a.calls, b.calls);
    EXPECT_EQ(a.snapshot, b.snapshot);
    EXPECT_EQ(a.result.sides[0], b.result.sides[0]);
    EXPECT_EQ(a.result.sides[1], b.result.sides[1]);
}

TEST(BattleRun, ABattleReplayedFromItsSavedOrdersIsTheSame) {
    Outcome first = RunBattle(5, nullptr, 200);
    ASSERT_FALSE(first.saved.empty());
    Outcome replay = RunBattle(5, &first.saved, 200);
    EXPECT_EQ(replay.saved, first.saved);
    EXPECT_EQ(replay.calls, first.calls);
    EXPECT_EQ(replay.snapshot, first.snapshot);
    EXPECT_EQ(replay.result.sides[0], first.result.sides[0]);
}

TEST(BattleRun, UnknownBattlefieldOrScenarioIsRefused) {
    CBattleSetupSpec spec = KitBattle(1);
    spec.battlefieldKey = "ZZZ";
    CBattleRunner a;
    std::string error;
    EXPECT_FALSE(a.Load(spec, error));
    EXPECT_FALSE(error.empty());
    spec = KitBattle(1);
    spec.scenario = "No Such World.STE";
    CBattleRunner b;
    EXPECT_FALSE(b.Load(spec, error));
}

TEST(BattleRun, DivisionOrdersFromTheScreensByKind) {
    CBattleRunner run;
    std::string error;
    ASSERT_TRUE(run.Load(KitBattle(3), error)) << error;
    COrvaneView& view = run.View();
    view.ClearOrderQueues();
    CDivision* d = run.Army(0)->m_divisions.FindByID(1, 0, 0);
    ASSERT_NE(d, nullptr);
    struct Case {
        int side, kind, sendFlag;
        int type, x, facing;
    } cases[] = {
        {0, 9, 0, 16, -1, -1},     // move: where it stands, its own facing
        {0, 12, 0, 2, -1, -1},
        {0, 16, 0, 256, -1000, 6},  // the army faces east: retreat off the west edge
        {1, 16, 0, 256, 4000, 2},
        {0, 10, 7, 7, -1, -1},      // another kind: the send flag is the type
    };
    for (const Case& c : cases) {
        CDivision* div = run.Army(c.side)->m_divisions.FindByID(1, 0, 0);
        div->m_formationByte = 1;
        ASSERT_TRUE(view.IssueDivisionOrder(1, c.kind, 0, c.side, c.sendFlag));
        ASSERT_EQ(view.TargetOrders.GetCount(), 1);
        TargetOrderRecord* r = view.TargetOrders.GetAt(0);
        EXPECT_EQ(r->target->m_type, c.type) << c.kind;
        EXPECT_EQ(r->target->m_x, c.x == -1 ? div->m_x : c.x) << c.kind;
        EXPECT_EQ(r->target->m_facing, c.facing == -1 ? div->m_facing : c.facing) << c.kind;
        EXPECT_EQ(r->GetSide(), c.side);
        EXPECT_EQ(r->tick, view.BattleTick) << "not networked: this tick";
        EXPECT_EQ(div->m_formationByte, 0) << "outside network play the division leaves its slot";
        view.ClearOrderQueues();
    }
    EXPECT_FALSE(view.IssueDivisionOrder(99, 9, 0, 0, 0));
    EXPECT_TRUE(view.TargetOrders.IsEmpty());
    EXPECT_TRUE(view.IssueDivisionOrder(1, 9, 1, 0, 0)) << "markers only";
    EXPECT_TRUE(view.TargetOrders.IsEmpty());
}

TEST(BattleRun, OpeningOrdersGiveEveryLocalDivisionItsSlotsOrder) {
    CBattleRunner run;
    std::string error;
    ASSERT_TRUE(run.Load(KitBattle(3), error)) << error;
    COrvaneView& view = run.View();
    view.ClearOrderQueues();  // the load queued them once already
    view.Recording = 1;
    view.IssueOpeningOrders();
    EXPECT_EQ(view.Recording, 1);
    // Every division of the local side, and the other side's detachments
    // (12..14), which make for their region of the field.
    int divisions = run.Army(0)->m_divisions.GetCount();
    ASSERT_EQ(divisions, 15);
    int own = 0, other = 0;
    for (int i = 0; i < view.TargetOrders.GetCount(); ++i) ++(view.TargetOrders.GetAt(i)->GetSide() == 0 ? own : other);
    EXPECT_EQ(own, divisions);
    EXPECT_EQ(other, 3);
    run.Step();
    EXPECT_TRUE(view.TargetOrders.IsEmpty());
}
