// One battle tick with two armies engaged on a kit battlefield (A1M, the
// clans of "Default.STE"), at a quarter, half and the whole of fifteen
// divisions a side. In the first benchmark every division attacks across
// the field and the clock starts once the lines have met (tick 600), for
// 500 ticks of fighting; in the second both armies are under the
// computer's command (each thinks every ten ticks, deploys into its
// formation and orders its divisions), timed from tick 600 as they close
// and meet. The counters give the units of the battle and those on the
// field, so the growth can be read against them. Run from the build
// folder, or with VELMOR_KIT naming the kit.
#include <benchmark/benchmark.h>

#include <string>

#include "battle/BattleRunner.h"
#include "bench/KitField.h"

namespace {
constexpr uint32_t kEngaged = 600;

void TimeTicks(benchmark::State& state, bool computer) {
    CBattleRunner run;
    CBattleSetupSpec spec;
    std::string data = bench::KitData();  // the kit's "Data/" folder
    spec.kitFolder = data.empty() ? "" : data.substr(0, data.size() - 6);
    spec.divisionsPerSide = int(state.range(0));
    // A battle that lasts the timed ticks at every size, scripted and under
    // the computer (with some seeds the four-division scripted battle is
    // over before the clock stops).
    spec.seed = 2;
    spec.computer[0] = spec.computer[1] = computer;
    std::string error;
    if (!run.Load(spec, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    if (!computer) run.ScriptAttackAcross(1);
    run.Run(kEngaged);
    for (auto _ : state) {
        if (!run.Step()) {
            state.SkipWithError("the battle ended");
            return;
        }
    }
    state.counters["units"] = run.UnitCount();
    state.counters["on field"] = run.UnitsOnField();
}

void BM_BattleTick(benchmark::State& state) { TimeTicks(state, false); }
void BM_BattleTickUnderAI(benchmark::State& state) { TimeTicks(state, true); }
BENCHMARK(BM_BattleTick)->Arg(4)->Arg(8)->Arg(15)->Iterations(500)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BattleTickUnderAI)->Arg(4)->Arg(8)->Arg(15)->Iterations(500)->Unit(benchmark::kMicrosecond);
}  // namespace
