// velmor-mkdata [--only NAME,...] [--contact-sheet FILE.png [--existing]] [OUTDIR]
// velmor-mkdata [--only NAME,...] --render-fields DIR OUTDIR
//
// Writes the game's working folder into OUTDIR, every generator in parallel
// on as many workers as the CPUs this process may run on, the slowest
// generators first, and reports the time each took. --only runs just the
// named generators. --contact-sheet renders every picture of the kit into
// pages of thumbnails (FILE-01.png, ...) for review; with --existing it
// draws the kit already in OUTDIR without generating anything, and without
// OUTDIR the kit is generated into a temporary folder, removed after.
// --render-fields draws every battlefield of the kit in OUTDIR with its
// terrain objects into DIR (after running the --only generators, if any)
// and contact sheet pages of them (DIR/contact-sheet-01.png, ...).
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <thread>

#include "tools/mkdata/ContactSheet.h"
#include "tools/mkdata/FieldRender.h"
#include "tools/mkdata/Kit.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: velmor-mkdata [--only NAME,...] [--contact-sheet FILE.png [--existing]] [OUTDIR]\n"
                 "  --only NAME,...        run only the named generators\n"
                 "  --contact-sheet FILE   draw the kit's pictures as pages FILE-01.png, FILE-02.png, ...\n"
                 "  --existing             with --contact-sheet: draw the kit in OUTDIR, generate nothing\n"
                 "       velmor-mkdata [--only NAME,...] --render-fields DIR OUTDIR\n"
                 "  --render-fields DIR    draw every battlefield of the kit in OUTDIR with its terrain objects\n");
    return 2;
}

// The CPUs this process may run on: its affinity, not the machine's count.
unsigned WorkerCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return unsigned(CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

// The generators that take longest, slowest first, as measured on one core
// (the castle fields' path databases). They start first so that the last
// one to finish is not a long one begun late; the rest follow by name.
const char* const kSlowestFirst[] = {
    "Battlefield_C17M", "Battlefield_C3L",  "Battlefield_C18M", "Battlefield_C7L",  "Battlefield_C16L",
    "Battlefield_C2L",  "Battlefield_C4M",  "Battlefield_C5L",  "Battlefield_C6L",  "Battlefield_C10L",
    "Battlefield_C21L", "Battlefield_C20L", "Battlefield_C9L",  "Battlefield_C14L", "Battlefield_C12M",
    "Battlefield_C19L", "Battlefield_C13L", "Battlefield_C11L", "Battlefield_C15L", "Battlefield_C1M",
};

int SlownessRank(const char* name) {
    const int known = int(std::size(kSlowestFirst));
    for (int i = 0; i < known; ++i)
        if (!std::strcmp(name, kSlowestFirst[i])) return i;
    // Any other field before the small generators.
    return std::strncmp(name, "Battlefield", 11) == 0 ? known : known + 1;
}

int Generate(const std::string& root, const std::vector<std::string>& only, unsigned workers) {
    std::filesystem::create_directories(root);
    KitContext kit(root);
    const std::vector<KitGeneratorEntry> all = KitGenerators();
    for (const std::string& name : only) {
        if (std::any_of(all.begin(), all.end(), [&](const KitGeneratorEntry& g) { return name == g.name; })) continue;
        std::fprintf(stderr, "ERROR: unknown generator %s in --only; known:", name.c_str());
        for (const KitGeneratorEntry& g : all) std::fprintf(stderr, " %s", g.name);
        std::fprintf(stderr, "\n");
        return 2;
    }
    std::vector<KitGeneratorEntry> gens;
    for (const KitGeneratorEntry& g : all)
        if (only.empty() || std::find(only.begin(), only.end(), g.name) != only.end()) gens.push_back(g);
    std::stable_sort(gens.begin(), gens.end(), [](const KitGeneratorEntry& a, const KitGeneratorEntry& b) {
        return SlownessRank(a.name) < SlownessRank(b.name);
    });
    std::atomic<size_t> next{0};
    std::atomic<int> failures{0};
    std::mutex printLock;
    auto start = std::chrono::steady_clock::now();
    auto worker = [&] {
        for (size_t i; (i = next++) < gens.size();) {
            auto t0 = std::chrono::steady_clock::now();
            try {
                gens[i].fn(kit);
            } catch (const std::exception& e) {
                std::lock_guard<std::mutex> lock(printLock);
                std::fprintf(stderr, "mkdata: %s failed: %s\n", gens[i].name, e.what());
                ++failures;
                continue;
            }
            double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            std::lock_guard<std::mutex> lock(printLock);
            std::printf("mkdata: %-32s %7.2f s\n", gens[i].name, s);
        }
    };
    std::vector<std::thread> pool;
    for (unsigned i = 0; i < std::min<size_t>(workers, std::max<size_t>(1, gens.size())); ++i) pool.emplace_back(worker);
    for (auto& t : pool) t.join();
    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("mkdata: whole kit in %.2f s on %u workers\n", total, workers);
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir, sheet, renders;
    std::vector<std::string> only;
    bool existing = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--only") && i + 1 < argc) {
            std::stringstream list(argv[++i]);
            for (std::string name; std::getline(list, name, ',');)
                if (!name.empty()) only.push_back(name);
        } else if (!std::strcmp(argv[i], "--contact-sheet") && i + 1 < argc) {
            sheet = argv[++i];
        } else if (!std::strcmp(argv[i], "--existing")) {
            existing = true;
        } else if (!std::strcmp(argv[i], "--render-fields") && i + 1 < argc) {
            renders = argv[++i];
        } else if (argv[i][0] == '-' || !outDir.empty()) {
            return Usage();
        } else {
            outDir = argv[i];
        }
    }
    const unsigned workers = WorkerCount();
    if (existing) {
        if (sheet.empty() || outDir.empty() || !only.empty()) return Usage();
        if (!std::filesystem::is_directory(outDir)) {
            std::fprintf(stderr, "ERROR: no kit in %s\n", outDir.c_str());
            return 1;
        }
        return kit::WriteContactSheet(outDir, sheet, int(workers));
    }
    if (!renders.empty()) {
        if (outDir.empty() || !sheet.empty() || existing) return Usage();
        int rc = only.empty() ? 0 : Generate(outDir, only, workers);
        if (rc == 0) rc = kit::RenderBattlefields(outDir, renders);
        if (rc == 0) rc = kit::WriteContactSheet(renders, renders + "/contact-sheet.png", int(workers));
        return rc;
    }
    bool temporary = false;
    if (outDir.empty()) {
        if (sheet.empty()) return Usage();
        temporary = true;
        char tmpl[] = "/tmp/velmor-kit-XXXXXX";
        if (!mkdtemp(tmpl)) {
            std::perror("ERROR: temporary folder");
            return 1;
        }
        outDir = tmpl;
    }
    int rc = Generate(outDir, only, workers);
    if (rc == 0 && !sheet.empty()) rc = kit::WriteContactSheet(outDir, sheet, int(workers));
    if (temporary) std::filesystem::remove_all(outDir);
    return rc;
}
