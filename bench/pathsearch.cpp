// Path search on the battlefields of the data kit: one search across the
// field on the fine grid (goal: under 1 ms corner to corner), how the time
// grows with the length of the way, and the build of one battlefield's path
// database (goal: under 10 s). Run from the build folder, or with VELMOR_KIT
// naming the kit.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "field/BattlefieldFiles.h"
#include "field/BattlefieldTables.h"
#include "field/PathSearch.h"
#include "field/RouteDatabase.h"
#include "core/PointList.h"

namespace {

std::string KitData() {
    const char* kit = std::getenv("VELMOR_KIT");
    for (std::string root : {std::string(kit ? kit : ""), std::string("kit"), std::string("../kit"), std::string("build/kit")})
        if (!root.empty() && CFile::Exists((root + "/Data/terrain_rect_db.trm").c_str())) return root + "/Data/";
    return "";
}

// A kit battlefield loaded as the battle does, without its path database.
struct Field {
    CTerrainDB db;
    CTerrainList terrain;
    CAltitudeMap altitude;
    CBattleGrid grid;
    bool ok = false;
    explicit Field(int id) {
        AfxSetMessageBoxHandler([](const char*, const char*, UINT) { return IDOK; });
        std::string data = KitData();
        if (data.empty()) return;
        CTerrainFileInfo info;
        ok = db.Load((data + "terrain_rect_db.trm").c_str()) && altitude.Load(GetDataMapName(data.c_str(), id)) &&
             LoadTerrainFile(GetTerrainName(data.c_str(), id), info, terrain);
        if (!ok) return;
        grid.Rebuild(&altitude);
        SetupTerrainFeatures(terrain, db, grid);
        grid.BuildPathGrids("");
    }
    ~Field() { grid.RemoveAll(); }
};

Field& Loaded(int id) {
    static std::unique_ptr<Field> fields[39];
    if (!fields[id]) fields[id] = std::make_unique<Field>(id);
    return *fields[id];
}

CPoint Passable(const CPathGrid& g, int c, int r) {
    for (int d = 0; d < 40; ++d)
        for (int dc = -d; dc <= d; ++dc)
            for (int dr = -d; dr <= d; ++dr)
                if (g.IsPassableCell(c + dc, r + dr) && c + dc >= 0 && r + dr >= 0 && c + dc < g.GetColumns() &&
                    r + dr < g.GetRows())
                    return g.CellToWorld(c + dc, r + dr);
    return CPoint(-1000, -1000);
}

}  // namespace

// Corner to corner on the castle field (id 1), the hardest of the kit.
static void BM_SearchCornerToCorner(benchmark::State& state) {
    Field& f = Loaded(int(state.range(0)));
    if (!f.ok) return state.SkipWithError("no data kit: run from the build folder or set VELMOR_KIT");
    CPathGrid& g = *f.grid.GetFineGrid();
    CPoint a = Passable(g, 1, 1), b = Passable(g, g.GetColumns() - 2, g.GetRows() - 2);
    CPathSearch search;
    int nodes = 0;
    for (auto _ : state) {
        CPointList out;
        int before = search.GetTotalNodes();
        benchmark::DoNotOptimize(search.FindPath(a.x, a.y, b.x, b.y, TRUE, out, g, 100000, nullptr));
        nodes = search.GetTotalNodes() - before;
    }
    state.counters["nodes"] = nodes;
}
BENCHMARK(BM_SearchCornerToCorner)->Arg(0)->Arg(1)->Arg(7)->Unit(benchmark::kMicrosecond);

// Growth with the way's length: from the castle field's west edge eastwards
// by the given number of cells, through the town and to the castle.
static void BM_SearchByLength(benchmark::State& state) {
    Field& f = Loaded(1);
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

// One battlefield's path database, as the kit builds it.
static void BM_BuildPathDatabase(benchmark::State& state) {
    Field& f = Loaded(int(state.range(0)));
    if (!f.ok) return state.SkipWithError("no data kit: run from the build folder or set VELMOR_KIT");
    std::string name = "bench-paths.pth";
    for (auto _ : state) {
        CPathSearch search;
        benchmark::DoNotOptimize(CRouteDatabase::Build(name.c_str(), *f.grid.GetFineGrid(), search));
    }
    CRouteDatabase db(name.c_str(), 200, 133);
    state.counters["records"] = db.GetRecordCount();
    CFile::Remove(name.c_str());
}
BENCHMARK(BM_BuildPathDatabase)->Arg(0)->Arg(1)->Arg(7)->Iterations(1)->Unit(benchmark::kSecond);
