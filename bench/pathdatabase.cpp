// The path database of every battlefield of the data kit, built one after
// the other, each compared byte for byte with the kit's own file. Prints
// each field's time, wall clock and processor time (on a busy machine the
// second is the fairer figure), and the slowest against the goal of 10 s a
// field on one core; --threads N shares each build among N threads (0: the
// CPUs this process may run on), to show what the split gains.
//
//     bench_pathdatabase [--threads N] [KEY ...]   (run from the build folder,
//                                                   or with VELMOR_KIT naming
//                                                   the kit)
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "bench/KitField.h"
#include "field/FileBytes.h"
#include "field/PathSearch.h"
#include "field/RouteDatabase.h"

namespace {

double ProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
    const double goal = 10.0;
    std::string data = bench::KitData();
    if (data.empty()) {
        std::fprintf(stderr, "ERROR: no data kit: run from the build folder or set VELMOR_KIT\n");
        return 1;
    }
    int threads = 1;
    std::set<std::string> only;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--threads") && i + 1 < argc) {
            threads = std::atoi(argv[++i]);
        } else if (argv[i][0] == '-') {
            const bool help = !std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h");
            std::fprintf(help ? stdout : stderr, "usage: bench_pathdatabase [--threads N] [KEY ...]\n");
            return help ? 0 : 2;
        } else {
            only.insert(argv[i]);
        }
    }
    if (threads < 1) threads = CRouteDatabase::BuildThreads();
    std::set<std::string> done;
    std::string out = "bench-paths.pth";
    double total = 0, totalCpu = 0, slowest = 0, slowestCpu = 0;
    std::string slowestKey;
    int differ = 0;
    for (int id = 0; id < kBattlefieldCount; ++id) {
        std::string key = GetBattlefieldKey(id).GetString();
        if (!done.insert(key).second || (!only.empty() && !only.count(key))) continue;
        bench::KitField field(id);
        if (!field.ok) {
            std::fprintf(stderr, "ERROR: battlefield %s cannot be loaded\n", key.c_str());
            return 1;
        }
        CPathSearch search;
        auto t0 = std::chrono::steady_clock::now();
        double cpu0 = ProcessorSeconds();
        BOOL built = CRouteDatabase::Build(out.c_str(), *field.grid.GetFineGrid(), search, nullptr, nullptr, threads);
        double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        double cpu = ProcessorSeconds() - cpu0;
        std::vector<BYTE> mine, kit;
        bool same = built && ReadFileBytes(out.c_str(), mine) &&
                    ReadFileBytes(GetPathDBName(data.c_str(), id), kit) && mine == kit;
        if (!same) ++differ;
        std::printf("%-5s %8.3f s %8.3f s cpu %10zu bytes  %s\n", key.c_str(), s, cpu, mine.size(),
                    same ? "same as the kit" : "DIFFERS from the kit");
        std::fflush(stdout);
        total += s;
        totalCpu += cpu;
        if (s > slowest) slowest = s, slowestCpu = cpu, slowestKey = key;
    }
    for (const std::string& key : only)
        if (!done.count(key)) {
            std::fprintf(stderr, "ERROR: no battlefield is called %s\n", key.c_str());
            ++differ;
        }
    if (CFile::Exists(out.c_str())) CFile::Remove(out.c_str());
    std::printf("all fields %.2f s (%.2f s cpu) on %d thread%s; slowest %s %.3f s = %.2f x the %.0f s goal "
                "(%.3f s cpu = %.2f x)\n",
                total, totalCpu, threads, threads == 1 ? "" : "s", slowestKey.c_str(), slowest, slowest / goal, goal,
                slowestCpu, slowestCpu / goal);
    return differ ? 1 : 0;
}
