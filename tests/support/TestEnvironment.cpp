// Linked into every test program: the environment a test run relies on,
// set before any test starts, whatever started the program (ctest, a
// debugger, a shell).
#include <cstdlib>

namespace {
struct TestEnvironment {
    TestEnvironment() {
        // Existing values win, so a developer can point a run elsewhere.
        setenv("VELMOR_KIT", VELMOR_BINARY_DIR "/kit", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("SDL_VIDEODRIVER", "dummy", 0);
    }
} g_testEnvironment;
}  // namespace
