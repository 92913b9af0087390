// The data kit generator's registry. Each area of the game adds its files by
// defining a generator in its own source file:
//
//     KIT_GENERATOR(Sounds) {
//         kit.WriteBytes("Sound\\Drum 11h.wav", bytes);
//     }
//
// Generators are independent of each other and run in parallel, so a
// generator must not read what another one writes and must not touch global
// state. Output must be the same bytes on every run: no clocks, no
// std::rand, no iteration over pointers or unordered containers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class KitContext {
public:
    explicit KitContext(std::string root) : m_root(std::move(root)) {}

    // The machine path for a game file name ("Pictures\\Cmb\\x.giz"),
    // with its folders created. Names keep the case the game asks for.
    std::string PathFor(const std::string& gameName) const;
    const std::string& Root() const { return m_root; }

    // Creates a game folder ("Data\\Saved Data") that may stay empty: one
    // the game writes into.
    void MakeFolder(const std::string& gameName) const;

    // Writes bytes to a game file name, leaving an identical file untouched.
    void WriteBytes(const std::string& gameName, const std::vector<uint8_t>& bytes) const;

private:
    std::string m_root;
};

typedef void (*KitGeneratorFn)(KitContext& kit);

struct KitRegistrar {
    KitRegistrar(const char* name, KitGeneratorFn fn);
};

struct KitGeneratorEntry {
    const char* name;
    KitGeneratorFn fn;
};
// Every registered generator, sorted by name.
std::vector<KitGeneratorEntry> KitGenerators();

#define KIT_GENERATOR(name)                                        \
    static void KitGen_##name(KitContext& kit);                    \
    static KitRegistrar kitRegistrar_##name(#name, KitGen_##name); \
    static void KitGen_##name([[maybe_unused]] KitContext& kit)
