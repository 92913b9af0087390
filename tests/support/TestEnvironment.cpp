// Linked into every test program: the environment a test run relies on,
// set before any test starts, whatever started the program (ctest, a
// debugger, a shell).
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {
struct TestEnvironment {
    TestEnvironment() {
        // Existing values win, so a developer can point a run elsewhere.
        setenv("VELMOR_KIT", VELMOR_BINARY_DIR "/kit", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        // The player's files and settings never go to the real user's
        // folders: this program gets scratch ones, whatever was set.
        std::string name = (std::filesystem::temp_directory_path() / "velmor-user-XXXXXX").string();
        if (mkdtemp(name.data())) {
            m_scratch = name;
            std::filesystem::create_directories(m_scratch / "data");
            std::filesystem::create_directories(m_scratch / "config");
            setenv("XDG_DATA_HOME", (m_scratch / "data").c_str(), 1);
            setenv("XDG_CONFIG_HOME", (m_scratch / "config").c_str(), 1);
        } else {
            // Better no user folder at all than the real one.
            setenv("XDG_DATA_HOME", "/nonexistent/velmor-test-data", 1);
            setenv("XDG_CONFIG_HOME", "/nonexistent/velmor-test-config", 1);
        }
    }
    ~TestEnvironment() {
        std::error_code ec;
        if (!m_scratch.empty()) std::filesystem::remove_all(m_scratch, ec);
    }
    std::filesystem::path m_scratch;
} g_testEnvironment;
}  // namespace
