// velmor-mkdata [--only NAME,...] [--contact-sheet FILE.png] [OUTDIR]
//
// Writes the game's working folder into OUTDIR, every generator in parallel,
// and reports the time each took. --only runs just the named generators.
// --contact-sheet renders every picture of the kit into one PNG for review;
// without OUTDIR the kit is generated into a temporary folder, removed after.
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
#include "tools/mkdata/Kit.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: velmor-mkdata [--only NAME,...] [--contact-sheet FILE.png] [OUTDIR]\n");
    return 2;
}

int Generate(const std::string& root, const std::vector<std::string>& only) {
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
    unsigned n = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> pool;
    for (unsigned i = 0; i < n; ++i) pool.emplace_back(worker);
    for (auto& t : pool) t.join();
    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("mkdata: whole kit in %.2f s\n", total);
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir, sheet;
    std::vector<std::string> only;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--only") && i + 1 < argc) {
            std::stringstream list(argv[++i]);
            for (std::string name; std::getline(list, name, ',');)
                if (!name.empty()) only.push_back(name);
        } else if (!std::strcmp(argv[i], "--contact-sheet") && i + 1 < argc) {
            sheet = argv[++i];
        } else if (argv[i][0] == '-' || !outDir.empty()) {
            return Usage();
        } else {
            outDir = argv[i];
        }
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
    int rc = Generate(outDir, only);
    if (rc == 0 && !sheet.empty()) rc = kit::WriteContactSheet(outDir, sheet);
    if (temporary) std::filesystem::remove_all(outDir);
    return rc;
}
