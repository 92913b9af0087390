// Runs one headless battle and prints a digest of it: the count of random
// draws after every tick and every unit's position and morale at the end,
// folded into one number. Two builds of the game that give the same digest
// computed the same battle; CI compares an unoptimised build with the
// optimised one.
//
//   velmor-battle-digest KIT [FIELD [TICKS [SEED [TRACE [SCRIPT]]]]]
//
// SCRIPT "attack" gives both armies to the script, every division ordered
// to attack straight across the field at tick 1; "ai" (the default) leaves
// both to the computer; "assault" sends only the first army across while
// the second holds its ground.
// With TRACE above 0 it prints, every TRACE ticks, what each side's units
// are doing: the questions to ask of a battle that does not end.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "army/Army.h"
#include "battle/BattleRunner.h"
#include "core/Random.h"
#include "shell/OrvaneView.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"

namespace {

struct Digest {
    uint64_t h = 1469598103934665603ull;
    void Add(const void* p, size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    }
};

void Trace(CBattleRunner& runner) {
    std::printf("tick %u draws %d", runner.View().BattleTick, RandCallCount);
    for (int side = 0; side < 2; ++side) {
        const CArmy* army = runner.Army(side);
        int live = 0, moving = 0, fighting = 0, fleeing = 0, shooting = 0, routedB = 0;
        double morale = 0;
        for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
            const CDivision* d = army->m_divisions.GetDivision(dp);
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
                const CBattalion* b = d->m_battalions.GetBattalion(bp);
                routedB += b->m_routed != 0;
                for (POSITION up = b->m_units.GetHeadPosition(); up;) {
                    const CUnit* u = b->m_units.GetUnit(up);
                    if (!u->m_active) continue;
                    ++live;
                    morale += u->m_morale;
                    int beh = u->GetBehaviour();
                    if ((beh == 5 || u->m_fleeing) && getenv("TRACE_FLEE") && fleeing < 25)
                        std::printf("    flee s%d %d,%d -> %d,%d steps %d blk %d failed %d speed %.2f field %d,%d,%d,%d\n", side,
                                    u->m_x, u->m_y, u->m_action.m_x, u->m_action.m_y, u->m_steps.GetCount(),
                                    u->m_blockedTicks, u->m_failedMoves, u->m_speed, u->m_fieldRect.left, u->m_fieldRect.top,
                                    u->m_fieldRect.right, u->m_fieldRect.bottom);
                    // A shooting unit counts as engaged too: shooting first.
                    if (beh == 5 || u->m_fleeing) ++fleeing;
                    else if (beh == 8) ++shooting;
                    else if (beh == 7 || u->m_inMelee) ++fighting;
                    else if (u->m_steps.GetCount() > 0) ++moving;
                }
            }
        }
        std::printf(" | side %d in %d posture %d live %d mov %d fight %d shoot %d flee %d routedB %d morale %.0f", side,
                    army->m_active, army->m_posture, live, moving, fighting, shooting, fleeing, routedB,
                    live ? morale / live : 0.0);
    }
    std::printf(" | missiles %d\n", runner.View().BattleMissiles.GetCount());
    if (getenv("TRACE_DIVISIONS"))
        for (int side = 0; side < 2; ++side)
            for (POSITION dp = runner.Army(side)->m_divisions.GetHeadPosition(); dp;) {
                const CDivision* d = runner.Army(side)->m_divisions.GetDivision(dp);
                std::printf("  s%d d%d at %d,%d order %d (%d,%d) idle %d contact %d routed %d active %d\n", side, d->m_number,
                            d->m_x, d->m_y, d->m_order.m_type, d->m_order.m_x, d->m_order.m_y, d->m_idle, d->m_contact,
                            d->m_routed, d->m_active);
                if (getenv("TRACE_UNITS") && d->m_number == std::atoi(getenv("TRACE_UNITS")))
                    for (POSITION b = d->m_battalions.GetHeadPosition(); b;) {
                        const CBattalion* bt = d->m_battalions.GetBattalion(b);
                        std::printf("    batt%d type %d %d,%d act %d (%d,%d) halted %d reached %d legs %d routed %d\n",
                                    bt->m_number, bt->m_battType, bt->m_x, bt->m_y, bt->m_action.m_type, bt->m_action.m_x,
                                    bt->m_action.m_y, bt->m_halted, bt->m_standingReached, bt->m_objectives.GetCount(),
                                    bt->m_routed);
                        for (POSITION u = bt->m_units.GetHeadPosition(); u;) {
                            const CUnit* un = bt->m_units.GetUnit(u);
                            std::printf("      u%d k%d %d,%d beh %d act (%d,%d) steps %d pend %d blk %d arr %d mor %.0f act %d\n",
                                        un->m_number, un->m_kind, un->m_x, un->m_y, un->GetBehaviour(), un->m_action.m_x,
                                        un->m_action.m_y, un->m_steps.GetCount(), un->m_pending.GetCount(),
                                        un->m_blockedTicks, un->m_arrived, un->m_morale, un->m_active);
                        }
                    }
            }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s KIT [FIELD [TICKS [SEED [TRACE]]]]\n", argv[0]);
        return 2;
    }
    CBattleSetupSpec spec;
    spec.kitFolder = argv[1];
    if (argc > 2) spec.battlefieldKey = argv[2];
    uint32_t ticks = argc > 3 ? uint32_t(std::strtoul(argv[3], nullptr, 10)) : 6000;
    if (argc > 4) spec.seed = uint32_t(std::strtoul(argv[4], nullptr, 10));
    int trace = argc > 5 ? std::atoi(argv[5]) : 0;
    const bool scripted = argc > 6 && std::strcmp(argv[6], "attack") == 0;
    const bool assault = argc > 6 && std::strcmp(argv[6], "assault") == 0;
    spec.computer[0] = spec.computer[1] = !(scripted || assault);

    CBattleRunner runner;
    std::string error;
    if (!runner.Load(spec, error)) {
        std::fprintf(stderr, "ERROR: %s\n", error.c_str());
        return 1;
    }
    if (scripted) runner.ScriptAttackAcross(1);
    if (assault) runner.ScriptAttackAcross(1, 0);
    Digest digest;
    bool going = true;
    while (going && runner.View().BattleTick < ticks) {
        going = runner.Step();
        int32_t draws = RandCallCount;
        digest.Add(&draws, sizeof draws);
        if (trace > 0 && runner.View().BattleTick % uint32_t(trace) == 0) Trace(runner);
    }
    for (double v : runner.Snapshot()) digest.Add(&v, sizeof v);
    CBattleResult r = runner.Result();
    std::printf("divisions %d %d units %d %d\n", r.sides[0].divisions, r.sides[1].divisions, r.sides[0].units, r.sides[1].units);
    std::printf("ticks %u ended %d draws %d live %d %d in %d %d digest %016llx\n", r.ticks, going ? 0 : 1, r.randCalls,
                r.sides[0].liveUnits, r.sides[1].liveUnits, r.sides[0].inBattle, r.sides[1].inBattle,
                static_cast<unsigned long long>(digest.h));
    return 0;
}
