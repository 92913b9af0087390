// The source folders are layers: a file may include headers of its own layer
// and of the layers below, never of a layer above. The simulation (core,
// world, field, Units, army) also stays clear of everything that needs a
// window, a display or a sound device, so that it runs the same headless, on
// screen, live and replayed. This reads every #include of the game's folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Folder -> layer. The screens and the shell form one library (the main
// view is one class whose screen members live in the screens' folders), so
// they share a layer.
const std::map<std::string, int> kLayers = {
    {"platform/afx", 1}, {"platform/win", 1}, {"platform/gfx", 1},  {"platform/audio", 1},
    {"platform/jpeg", 1}, {"platform/movie", 1}, {"platform/net", 1}, {"core", 2},
    {"Animate", 3},      {"world", 3},          {"field", 4},         {"Units", 5},
    {"army", 6},         {"ui", 7},             {"battle", 7},        {"campaign", 7},
    {"net", 7},          {"shell", 7},
};

// Within the platform layer and the two folders of layer 3, the sub-folders
// have their own order: a sub-folder may include only those listed for it.
const std::map<std::string, std::vector<std::string>> kSameLayerAllowed = {
    {"platform/afx", {}},
    {"platform/win", {"platform/afx"}},
    {"platform/gfx", {"platform/afx", "platform/win"}},
    {"platform/audio", {"platform/afx"}},
    {"platform/jpeg", {}},
    {"platform/movie", {"platform/afx", "platform/win", "platform/gfx", "platform/audio"}},
    {"platform/net", {"platform/afx"}},
    {"Animate", {}},
    {"world", {}},
};

const std::vector<std::string> kSimulation = {"core", "world", "field", "Units", "army"};

// What the simulation must never include: windows, the display, sound
// devices, movies, the network, SDL. Of the picture code it may read picture
// data (frame sizes, altitude and zone maps) through the bitmap class only.
bool ForbiddenInSimulation(const std::string& inc) {
    static const std::vector<std::string> banned = {"platform/win/", "platform/audio/", "platform/movie/",
                                                    "platform/net/", "SDL", "net/"};
    for (const auto& b : banned)
        if (inc.rfind(b, 0) == 0) return true;
    if (inc.rfind("Animate/", 0) == 0) return inc != "Animate/DIB.h";
    return false;
}

// The folder of a path relative to the source root, as kLayers names it;
// empty for folders outside the game (tools, tests, bench).
std::string FolderOf(const std::string& rel) {
    std::string best;
    for (const auto& [folder, layer] : kLayers)
        if (rel.rfind(folder + "/", 0) == 0 && folder.size() > best.size()) best = folder;
    return best;
}

bool IsSimulation(const std::string& folder) {
    for (const auto& s : kSimulation)
        if (folder == s) return true;
    return false;
}

// Every problem with one file's includes, as readable lines.
std::vector<std::string> CheckFile(const std::string& rel, const std::string& text) {
    static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<std::string> problems;
    std::string folder = FolderOf(rel);
    int layer = kLayers.at(folder);
    std::istringstream in(text);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        std::smatch m;
        if (!std::regex_search(line, m, include)) continue;
        std::string inc = m[2];
        std::string where = rel + ":" + std::to_string(n) + " includes " + inc;
        if (IsSimulation(folder) && ForbiddenInSimulation(inc)) {
            problems.push_back(where + " (the simulation needs no window, display or sound device)");
            continue;
        }
        if (m[1] == "<") continue;
        std::string target = FolderOf(inc);
        if (target.empty() || target == folder) continue;
        int targetLayer = kLayers.at(target);
        if (targetLayer > layer) {
            problems.push_back(where + " (layer " + std::to_string(targetLayer) + " above " + std::to_string(layer) + ")");
        } else if (targetLayer == layer && kSameLayerAllowed.count(folder)) {
            const auto& allowed = kSameLayerAllowed.at(folder);
            if (std::find(allowed.begin(), allowed.end(), target) == allowed.end())
                problems.push_back(where + " (a folder of the same layer it may not use)");
        }
    }
    return problems;
}

TEST(Layers, NoFileIncludesAFolderAboveItsOwn) {
    fs::path root = VELMOR_SOURCE_DIR;
    std::vector<std::string> problems;
    int files = 0;
    for (const auto& [folder, layer] : kLayers) {
        if (!fs::exists(root / folder)) continue;
        for (const auto& e : fs::recursive_directory_iterator(root / folder)) {
            auto ext = e.path().extension();
            if (ext != ".h" && ext != ".cpp") continue;
            std::string rel = fs::relative(e.path(), root).generic_string();
            if (FolderOf(rel) != folder) continue;  // a deeper folder of its own
            std::ifstream f(e.path());
            std::stringstream ss;
            ss << f.rdbuf();
            for (auto& p : CheckFile(rel, ss.str())) problems.push_back(p);
            ++files;
        }
    }
    EXPECT_GT(files, 100);
    for (const auto& p : problems) ADD_FAILURE() << p;
}

// The checker itself: each row is a file and an include, and whether the
// layers allow it.
TEST(Layers, TheCheckerTellsAllowedFromForbidden) {
    struct Case {
        const char* file;
        const char* include;
        bool allowed;
    } cases[] = {
        {"field/Terrain.cpp", "#include \"core/Helpers.h\"", true},
        {"field/Terrain.cpp", "#include \"Units/Unit.h\"", false},          // above
        {"core/Random.cpp", "#include \"world/Person.h\"", false},          // above
        {"world/Person.cpp", "#include \"Animate/DIB.h\"", false},          // same layer, other folder
        {"field/MapPicture.cpp", "#include \"Animate/DIB.h\"", true},       // picture data
        {"field/ArmyElement.cpp", "#include \"Animate/SoundManager.h\"", false},  // sound device
        {"army/Army.cpp", "#include <SDL2/SDL.h>", false},
        {"army/Army.cpp", "#include \"platform/win/Wnd.h\"", false},
        {"battle/BattleScreen.cpp", "#include \"shell/OrvaneView.h\"", true},
        {"platform/afx/File.cpp", "#include \"platform/win/Wnd.h\"", false},
        {"platform/gfx/Screen.cpp", "#include \"platform/win/Wnd.h\"", true},
    };
    for (const auto& c : cases) {
        bool ok = CheckFile(c.file, std::string(c.include) + "\n").empty();
        EXPECT_EQ(ok, c.allowed) << c.file << " " << c.include;
    }
}

}  // namespace
