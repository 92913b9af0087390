// Lockstep play and demo playback need every random number to come from the
// game's own generators. This scans the source tree for the C library's
// generators and <random>, outside comments and string literals.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The text with comments and the contents of string and character literals
// blanked out, line breaks kept so that line numbers still hold.
std::string StripCommentsAndLiterals(const std::string& src) {
    std::string out;
    out.reserve(src.size());
    enum { Code, Line, Block, Str, Chr } state = Code;
    for (size_t i = 0; i < src.size(); ++i) {
        char c = src[i];
        char next = i + 1 < src.size() ? src[i + 1] : '\0';
        switch (state) {
        case Code:
            if (c == '/' && next == '/') state = Line, ++i;
            else if (c == '/' && next == '*') state = Block, ++i;
            else if (c == '"') state = Str, out += c;
            else if (c == '\'') state = Chr, out += c;
            else out += c;
            continue;
        case Line:
            if (c == '\n') state = Code, out += c;
            continue;
        case Block:
            if (c == '*' && next == '/') state = Code, ++i, out += ' ';
            else if (c == '\n') out += c;
            continue;
        case Str:
        case Chr:
            if (c == '\\') ++i;
            else if ((state == Str && c == '"') || (state == Chr && c == '\'')) state = Code, out += c;
            else if (c == '\n') out += c;
            continue;
        }
    }
    return out;
}

// Line numbers (from 1) of every use of a library generator; `<random>` is
// looked for in the raw text, since the include's name is not a literal.
std::vector<int> FindLibraryRandom(const std::string& src) {
    static const std::regex call(R"(\b(s?rand|rand_r|s?random|[dlm]rand48|srand48|random_shuffle|arc4random\w*)\s*\()");
    static const std::regex include(R"(^\s*#\s*include\s*<random>)");
    std::vector<int> lines;
    std::istringstream code(StripCommentsAndLiterals(src)), raw(src);
    std::string codeLine, rawLine;
    for (int n = 1; std::getline(code, codeLine) && std::getline(raw, rawLine); ++n)
        if (std::regex_search(codeLine, call) || std::regex_search(rawLine, include)) lines.push_back(n);
    return lines;
}

TEST(NoLibraryRandom, ScannerCatchesEveryForm) {
    struct Case {
        const char* code;
        bool flagged;
    } cases[] = {
        {"int v = rand();", true},
        {"int v = std::rand() % 6;", true},
        {"srand (time(nullptr));", true},
        {"long r = random();", true},
        {"#include <random>", true},
        {"std::random_shuffle(v.begin(), v.end());", true},  // draws from rand()
        {"uint32_t v = arc4random_uniform(6);", true},
        {"  #  include <random>  // engines", true},
        {"int v = CountedRand();", false},
        {"int v = GameRand();", false},
        {"int v = operand(3);", false},
        {"// rand() is not used here", false},
        {"/* srand(1);\n */ int x;", false},
        {"ShowMessage(\"rand() failed\");", false},
        {"char q = '\"'; int v = rand();", true},
    };
    for (const Case& c : cases) EXPECT_EQ(!FindLibraryRandom(c.code).empty(), c.flagged) << c.code;
}

TEST(NoLibraryRandom, GameSourceUsesOnlyTheGamesGenerators) {
    const fs::path root = VELMOR_SOURCE_DIR;
    std::vector<std::string> offences;
    int scanned = 0;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::end(it); ++it) {
        const fs::path& p = it->path();
        std::string name = p.filename().string();
        if (it->is_directory()) {
            // Build trees, version control and fuzz seeds hold no source of ours.
            bool topLevel = p.parent_path() == root;
            if (name.starts_with(".") || (topLevel && name.starts_with("build")) || name == "corpus")
                it.disable_recursion_pending();
            continue;
        }
        std::string ext = p.extension().string();
        if (ext != ".cpp" && ext != ".h" && ext != ".hpp" && ext != ".cc" && ext != ".c") continue;
        if (p.filename() == "NoLibraryRandomTest.cpp") continue;  // names the forms it looks for
        std::ifstream in(p, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        ++scanned;
        for (int line : FindLibraryRandom(text.str()))
            offences.push_back(fs::relative(p, root).string() + ":" + std::to_string(line));
    }
    EXPECT_GT(scanned, 0) << "no source found under " << root;
    for (const std::string& o : offences)
        ADD_FAILURE() << o << ": use CountedRand or a stream of RandomStreams (shell/Random.h)";
}

}  // namespace
