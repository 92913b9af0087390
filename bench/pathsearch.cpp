// Path search on the battlefields of the data kit: one search across the
// field on the fine grid round its obstacles (goal: under 1 ms corner to
// corner) and how the time grows with the length of the way. The path
// databases have their own program, bench_pathdatabase. Run from the build
// folder, or with VELMOR_KIT naming the kit.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <string>

#include "bench/KitField.h"
#include "field/PathSearch.h"
#include "core/PointList.h"

namespace {

using bench::KitField;

KitField& Loaded(int id) { return bench::LoadedField(id); }

CPoint Passable(const CPathGrid& g, int c, int r) {
    for (int d = 0; d < 40; ++d)
        for (int dc = -d; dc <= d; ++dc)
            for (int dr = -d; dr <= d; ++dr)
                if (g.IsPassableCell(c + dc, r + dr) && c + dc >= 0 && r + dr >= 0 && c + dc < g.GetColumns() &&
                    r + dr < g.GetRows())
                    return g.CellToWorld(c + dc, r + dr);
    return CPoint(-1000, -1000);
}

// The hardest way between two corners of a field: of the passable cells
// near the four corners, the pair across the field whose search takes the
// most nodes, so the way must go round walls, water and woods rather than
// straight along an open diagonal.
struct CornerPair {
    CPoint a, b;
    int nodes = 0;
};

CornerPair HardestCorners(CPathGrid& g) {
    CPathSearch search;
    CornerPair best;
    const int cols = g.GetColumns(), rows = g.GetRows();
    const CPoint corners[4] = {{2, 2}, {cols - 14, rows - 14}, {cols - 14, 2}, {2, rows - 14}};
    for (int diagonal = 0; diagonal < 2; ++diagonal)
        for (int i = 0; i < 16; ++i)
            for (int j = 0; j < 16; ++j) {
                CPoint ca = corners[2 * diagonal] + CPoint(i % 4 * 4, i / 4 * 4);
                CPoint cb = corners[2 * diagonal + 1] + CPoint(j % 4 * 4, j / 4 * 4);
                if (!g.IsPassableCell(ca.x, ca.y) || !g.IsPassableCell(cb.x, cb.y)) continue;
                CPoint a = g.CellToWorld(ca.x, ca.y), b = g.CellToWorld(cb.x, cb.y);
                CPointList out;
                int before = search.GetTotalNodes();
                if (!search.FindPath(a.x, a.y, b.x, b.y, TRUE, out, g, 100000, nullptr)) continue;
                int nodes = search.GetTotalNodes() - before;
                if (nodes > best.nodes) best = CornerPair{a, b, nodes};
            }
    return best;
}

}  // namespace

// Corner to corner round the obstacles of the castle fields with the most
// walls (ids 14, 28 and 5), against the goal of 1 ms; "detour" is the way's
// length against the straight line.
static void BM_SearchCornerToCorner(benchmark::State& state) {
    KitField& f = Loaded(int(state.range(0)));
    if (!f.ok) return state.SkipWithError("no data kit: run from the build folder or set VELMOR_KIT");
    CPathGrid& g = *f.grid.GetFineGrid();
    const CornerPair pair = HardestCorners(g);
    if (!pair.nodes) return state.SkipWithError("no way between the corners");
    CPathSearch search;
    double length = 0, seconds = 0;
    for (auto _ : state) {
        CPointList out;
        auto t0 = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(search.FindPath(pair.a.x, pair.a.y, pair.b.x, pair.b.y, TRUE, out, g, 100000, nullptr));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.PauseTiming();
        length = 0;
        CPoint from = pair.a;
        while (!out.IsEmpty()) {
            CPoint p = out.PopHead();
            length += std::hypot(p.x - from.x, p.y - from.y);
            from = p;
        }
        state.ResumeTiming();
    }
    state.counters["nodes"] = pair.nodes;
    state.counters["detour"] = length / std::hypot(pair.b.x - pair.a.x, pair.b.y - pair.a.y);
    state.counters["time/1ms goal"] = seconds / double(state.iterations()) / 1e-3;
}
BENCHMARK(BM_SearchCornerToCorner)->Arg(14)->Arg(28)->Arg(5)->Unit(benchmark::kMicrosecond);

// Growth with the way's length: from the castle field's west edge eastwards
// by the given number of cells, through the town and to the castle.
static void BM_SearchByLength(benchmark::State& state) {
    KitField& f = Loaded(1);
    if (!f.ok) return state.SkipWithError("no data kit: run from the build folder or set VELMOR_KIT");
    CPathGrid& g = *f.grid.GetFineGrid();
    int cells = int(state.range(0));
    CPoint a = Passable(g, 2, 66), b = Passable(g, 2 + cells, 66);
    CPathSearch search;
    for (auto _ : state) {
        CPointList out;
        benchmark::DoNotOptimize(search.FindPath(a.x, a.y, b.x, b.y, TRUE, out, g, 100000, nullptr));
    }
    state.SetComplexityN(cells);
}
BENCHMARK(BM_SearchByLength)->RangeMultiplier(2)->Range(8, 190)->Complexity(benchmark::oN)->Unit(benchmark::kMicrosecond);
