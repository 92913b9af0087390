// The shell's containers on the paths that run every frame: walking a
// pointer list by index (one rebuild of the index, then direct reads),
// emptying one, and finding the clickable region under the mouse.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/BucketGrid.h"
#include "core/LinkList.h"
#include "platform/afx/Afx.h"

static void BM_LinkListIndexedWalk(benchmark::State& state) {
    std::vector<int> values(size_t(state.range(0)));
    CLinkList<int> list;
    for (int& v : values) list.AddTail(&v);
    for (auto _ : state) {
        list.AddTail(&values[0]);  // a change, so each walk pays one rebuild
        long sum = 0;
        for (int i = 0; i < list.GetCount(); ++i) sum += *list.GetAt(i);
        list.RemoveTail();
        benchmark::DoNotOptimize(sum);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LinkListIndexedWalk)->Range(64, 16384)->Complexity(benchmark::oN);

// Emptying an owning list (a queue of received chunks at the end of a
// transfer): one pass, not one walk of the chain per node.
static void BM_LinkListRemoveAll(benchmark::State& state) {
    for (auto _ : state) {
        CLinkList<int> list(true);
        for (int i = 0; i < state.range(0); ++i) list.AddTail(new int(i));
        list.GetAt(0);
        list.RemoveAll();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LinkListRemoveAll)->Range(64, 16384)->Complexity(benchmark::oN);

static void BM_BucketGridFindAt(benchmark::State& state) {
    CBucketGrid grid;
    grid.Create(5, 15, 1024, 768, 0);
    for (int y = 0; y < 768; y += 24)
        for (int x = 0; x < 1024; x += 64) grid.Insert(new CRect(x, y, x + 60, y + 20));
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(grid.FindAt((i * 37) % 1024, (i * 53) % 768));
        ++i;
    }
}
BENCHMARK(BM_BucketGridFindAt);

// Loading a stored map whose keys all share one bucket, as a hostile world
// file or saved game may hold them: linear in the entries.
static void BM_MapLoadOneBucket(benchmark::State& state) {
    CMemFile out;
    {
        CArchive ar(&out, CArchive::store);
        ar.WriteCount(DWORD(state.range(0)));
        for (DWORD i = 0; i < DWORD(state.range(0)); ++i) ar << DWORD(i * 272) << i;
        ar.Close();
    }
    for (auto _ : state) {
        CMemFile in(out.Data().data(), out.Data().size());
        CArchive ar(&in, CArchive::load);
        CMapDWordToDWord map;
        map.Serialize(ar);
        benchmark::DoNotOptimize(map.GetCount());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MapLoadOneBucket)->Range(1024, 131072)->Complexity(benchmark::oN);
