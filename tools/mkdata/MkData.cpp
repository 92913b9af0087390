// velmor-mkdata OUTDIR: writes the game's working folder, every generator in
// parallel, and reports the time each took.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <mutex>
#include <thread>
#include <atomic>

#include "tools/mkdata/Kit.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: velmor-mkdata OUTDIR\n");
        return 2;
    }
    std::filesystem::create_directories(argv[1]);
    KitContext kit(argv[1]);
    std::vector<KitGeneratorEntry> gens = KitGenerators();
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
