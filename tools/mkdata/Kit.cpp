#include "tools/mkdata/Kit.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {
std::vector<KitGeneratorEntry>& Registry() {
    static std::vector<KitGeneratorEntry> entries;
    return entries;
}
}  // namespace

KitRegistrar::KitRegistrar(const char* name, KitGeneratorFn fn) { Registry().push_back({name, fn}); }

std::vector<KitGeneratorEntry> KitGenerators() {
    std::vector<KitGeneratorEntry> all = Registry();
    std::sort(all.begin(), all.end(),
              [](const KitGeneratorEntry& a, const KitGeneratorEntry& b) { return std::strcmp(a.name, b.name) < 0; });
    return all;
}

std::string KitContext::PathFor(const std::string& gameName) const {
    std::string rel;
    for (char c : gameName) {
        char d = (c == '\\') ? '/' : c;
        if (d == '/' && (rel.empty() || rel.back() == '/')) continue;
        rel += d;
    }
    fs::path p = fs::path(m_root) / rel;
    fs::create_directories(p.parent_path());
    return p.string();
}

void KitContext::MakeFolder(const std::string& gameName) const {
    fs::create_directories(PathFor(gameName + "\\."));
}

void KitContext::WriteBytes(const std::string& gameName, const std::vector<uint8_t>& bytes) const {
    std::string path = PathFor(gameName);
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (old == bytes) return;
        }
    }
    std::string tmp = path + ".part";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + path);
    }
    fs::rename(tmp, path);
}
