// One battle tick with two armies on a kit battlefield (A1M, the clans of
// "Default.STE"), at a quarter, half and the whole of fifteen divisions a
// side. The counters give the units on the field, so the growth can be read
// against them. Run from the build folder, or with VELMOR_KIT naming the
// kit.
#include <benchmark/benchmark.h>

#include <string>

#include "battle/BattleRunner.h"
#include "bench/KitField.h"

namespace {
void BM_BattleTick(benchmark::State& state) {
    CBattleRunner run;
    CBattleSetupSpec spec;
    std::string data = bench::KitData();  // the kit's "Data/" folder
    spec.kitFolder = data.empty() ? "" : data.substr(0, data.size() - 6);
    spec.divisionsPerSide = int(state.range(0));
    std::string error;
    if (!run.Load(spec, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (int side = 0; side < 2; ++side)
        for (int id = 0; id < 15; ++id)
            run.Script({uint32_t(1 + id), side, id, 2, side ? 900 : 2100, 300 + 100 * id});
    for (auto _ : state) {
        if (!run.Step()) {
            state.SkipWithError("the battle ended");
            return;
        }
    }
    state.counters["units"] = run.UnitCount();
}
BENCHMARK(BM_BattleTick)->Arg(4)->Arg(8)->Arg(15)->Unit(benchmark::kMicrosecond);
}  // namespace
