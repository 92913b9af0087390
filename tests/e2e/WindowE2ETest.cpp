// The real program in a real window: Xvfb, the velmor binary on the data
// kit, clicks through xdotool and screenshots through xwd. The screenshot of
// the main menu must match what the same game draws headless.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ChosenBattle.h"
#include "Units/Division.h"
#include "Units/Objective.h"
#include "Units/Unit.h"
#include "tests/support/BattleChoice.h"
#include "tests/support/BattleGame.h"
#include "tests/support/GameRun.h"
#include "tests/support/HistoricalBattle.h"
#include "Animate/GameDialog.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv, int stdoutFd = -1) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // The given variables replace inherited ones of the same name.
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) {
        std::string var = *e;
        bool replaced = false;
        for (const std::string& x : extraEnv)
            replaced = replaced || var.compare(0, x.find('=') + 1, x, 0, x.find('=') + 1) == 0;
        if (!replaced) envStrings.push_back(var);
    }
    for (const std::string& e : extraEnv) envStrings.push_back(e);
    std::vector<char*> envp;
    for (std::string& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits up to `seconds` for the child; its exit status, or -1 when it runs on.
int WaitFor(pid_t pid, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
    return out;
}

// A screenshot of the X display as 0x00RRGGBB pixels.
struct Shot {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

uint32_t BigEndian(const std::string& d, size_t at) {
    return (uint32_t(uint8_t(d[at])) << 24) | (uint32_t(uint8_t(d[at + 1])) << 16) |
           (uint32_t(uint8_t(d[at + 2])) << 8) | uint32_t(uint8_t(d[at + 3]));
}

bool TakeShot(const std::string& display, Shot& shot) {
    std::string d = RunCommand("xwd -root -silent -display " + display);
    if (d.size() < 100) return false;
    uint32_t headerSize = BigEndian(d, 0), width = BigEndian(d, 16), height = BigEndian(d, 20);
    uint32_t byteOrder = BigEndian(d, 28), bitsPerPixel = BigEndian(d, 44), bytesPerLine = BigEndian(d, 48);
    uint32_t colours = BigEndian(d, 76);
    size_t offset = size_t(headerSize) + size_t(colours) * 12;
    if (bitsPerPixel != 32 || d.size() < offset + size_t(bytesPerLine) * height) return false;
    shot.width = int(width);
    shot.height = int(height);
    shot.pixels.resize(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const char* p = d.data() + offset + size_t(y) * bytesPerLine + size_t(x) * 4;
            uint8_t b0 = uint8_t(p[0]), b1 = uint8_t(p[1]), b2 = uint8_t(p[2]), b3 = uint8_t(p[3]);
            uint32_t v = byteOrder == 0 ? (uint32_t(b2) << 16 | uint32_t(b1) << 8 | b0)
                                        : (uint32_t(b1) << 16 | uint32_t(b2) << 8 | b3);
            shot.pixels[size_t(y) * width + x] = v;
        }
    }
    return true;
}

// The share of sampled pixels that differ from `expected` by more than a
// few steps in some channel.
double Mismatch(const Shot& shot, const CPixelSurface& expected) {
    int total = 0, off = 0;
    for (int y = 2; y < expected.GetHeight() && y < shot.height; y += 7) {
        for (int x = 3; x < expected.GetWidth() && x < shot.width; x += 7) {
            uint32_t a = shot.At(x, y), b = expected.GetPixel(x, y);
            auto diff = [&](int s) { return std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)); };
            ++total;
            if (diff(0) > 3 || diff(8) > 3 || diff(16) > 3) ++off;
        }
    }
    return total ? double(off) / total : 1.0;
}

bool WaitForShot(const std::string& display, const CPixelSurface& expected, Shot& shot, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (TakeShot(display, shot) && Mismatch(shot, expected) < 0.01) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

// A display of its own: Xvfb picks a free number and writes it back. The
// server's process id (-1 when it could not start) and its display name.
pid_t StartXvfb(std::string& display) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    pid_t xvfb =
        Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1024x768x24", "-nolisten", "tcp"}, {});
    close(fds[1]);
    std::string number;
    char c;
    while (xvfb > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    display = number.empty() ? std::string() : ":" + number;
    return xvfb;
}

std::set<std::string> Listing(const fs::path& folder) {
    std::set<std::string> names;
    std::error_code ec;
    for (auto& e : fs::recursive_directory_iterator(folder, ec)) names.insert(e.path().string());
    return names;
}

// What the game draws headless: the introduction, the main menu and the
// closing credits on a 1024 x 768 screen.
struct Expected {
    CPixelSurface intro, menu, closing;
};

Expected DrawHeadless() {
    Expected e;
    CGameRun run;
    if (!run.Start()) return e;
    e.intro = AfxGetScreen();
    run.Click(500, 500);
    e.menu = AfxGetScreen();
    run.View()->ChangeMode(MODE_CLOSING_CREDITS);
    e.closing = AfxGetScreen();
    return e;
}

// Starts the game binary in the folder `work` on `display`, with the
// player's folders `config` and `data`. Under the sanitizers, the X and GL
// libraries keep allocations of their own to the end; leaks of the game's
// own code are found by the headless tests, which run the same code in
// process.
pid_t SpawnGame(const std::string& binary, const std::string& display, const fs::path& work,
                const fs::path& config, const fs::path& data) {
    std::string cwd = fs::current_path().string();
    fs::current_path(work);
    pid_t game = Spawn({binary}, {"DISPLAY=" + display, "XDG_CONFIG_HOME=" + config.string(),
                                  "XDG_DATA_HOME=" + data.string(), "SDL_AUDIODRIVER=dummy", "SDL_VIDEODRIVER=x11",
                                  "VELMOR_HEADLESS=0", "ASAN_OPTIONS=detect_leaks=0"});
    fs::current_path(cwd);
    return game;
}

}  // namespace

TEST(WindowE2E, TheRealWindowShowsTheMainMenuAndExitEndsTheProgram) {
    std::string binary = std::string(VELMOR_BINARY_DIR) + "/velmor";
    ASSERT_TRUE(fs::exists(binary));
    Expected expected = DrawHeadless();
    ASSERT_FALSE(expected.menu.IsEmpty());

    std::string display;
    pid_t xvfb = StartXvfb(display);
    ASSERT_GT(xvfb, 0);
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";

    // The player's folders: the game writes its profile into the data
    // folder and its settings into the configuration folder.
    CScratchFolder config("velmor-e2e-config"), data("velmor-e2e-data");
    // The game runs in a folder of its own that links to the kit, so what it
    // writes can be checked and nothing lands in the shared kit.
    fs::path work = MakeScratchGameFolder();
    ASSERT_FALSE(work.empty());
    std::set<std::string> workBefore = Listing(work);

    pid_t game = SpawnGame(binary, display, work, config.Path(), data.Path());
    ASSERT_GT(game, 0);

    // The waits end as soon as the screen matches; they are long only so
    // that a loaded two-core machine cannot fail the test.
    Shot shot;
    EXPECT_TRUE(WaitForShot(display, expected.intro, shot, 90)) << "the introduction never appeared";
    RunCommand("DISPLAY=" + display + " xdotool mousemove 500 500 click 1");
    bool menu = WaitForShot(display, expected.menu, shot, 45);
    EXPECT_TRUE(menu) << "the main menu never appeared (mismatch " << Mismatch(shot, expected.menu) << ")";
    // Exit (470, 621), then a click on the closing credits ends the program.
    RunCommand("DISPLAY=" + display + " xdotool mousemove 500 635 click 1");
    EXPECT_TRUE(WaitForShot(display, expected.closing, shot, 45)) << "no closing credits";
    RunCommand("DISPLAY=" + display + " xdotool mousemove 500 500 click 1");
    int status = WaitFor(game, 45);
    if (status < 0) kill(game, SIGKILL), waitpid(game, nullptr, 0);
    EXPECT_EQ(status, 0);

    kill(xvfb, SIGTERM);
    if (WaitFor(xvfb, 5) < 0) kill(xvfb, SIGKILL), waitpid(xvfb, nullptr, 0);

    // Nothing left behind: the working folder gained nothing, the data
    // folder holds only the player profile and the configuration folder
    // only the settings file.
    EXPECT_EQ(Listing(work), workBefore);
    fs::remove_all(work);
    EXPECT_EQ(Listing(data.Path()),
              (std::set<std::string>{data.Name("velmor"), (data.Path() / "velmor" / "Profile.VLM").string()}));
    EXPECT_EQ(Listing(config.Path()),
              (std::set<std::string>{config.Name("velmor"), (config.Path() / "velmor" / "settings").string()}));
}

TEST(WindowE2E, WithoutADisplayTheProgramSaysSoAndFails) {
    std::string binary = std::string(VELMOR_BINARY_DIR) + "/velmor";
    ASSERT_TRUE(fs::exists(binary));
    CScratchFolder user("velmor-e2e-user");
    std::string out = RunCommand("cd '" + KitFolder().string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER" +
                                 " VELMOR_HEADLESS=0 SDL_AUDIODRIVER=dummy XDG_DATA_HOME='" + user.Name("data") +
                                 "' XDG_CONFIG_HOME='" + user.Name("config") + "' timeout 60 '" + binary +
                                 "' 2>&1; echo \"exit $?\"");
    EXPECT_NE(out.find("ERROR: no display could be opened"), std::string::npos) << out;
    EXPECT_NE(out.find("exit 1"), std::string::npos) << out;
}

namespace {
// Switches the game's display to an SDL window on the test's X server for
// the scope and puts the environment back afterwards; `ok` when the window
// back end could be made.
struct CWindowOnDisplay {
    explicit CWindowOnDisplay(const std::string& display) {
        const char* old = std::getenv("DISPLAY");
        restore = old ? old : "";
        setenv("DISPLAY", display.c_str(), 1);
        setenv("SDL_VIDEODRIVER", "x11", 1);
        std::unique_ptr<CDisplayBackend> window = AfxCreateDefaultBackend();
        ok = window != nullptr;
        if (ok) AfxSetDisplayBackend(std::move(window));
    }
    ~CWindowOnDisplay() {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        if (restore.empty()) unsetenv("DISPLAY");
        else setenv("DISPLAY", restore.c_str(), 1);
    }
    bool ok = false;
    std::string restore;
};

// Runs the game's loop for `ms` of real time.
void RunRealTime(CGameRun& run, int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    run.App().RunUntil([&] { return std::chrono::steady_clock::now() >= end; });
}

// Writes a screenshot as a PNG for a person to look at (stored, not
// compressed: it is read once).
void SaveShot(const Shot& shot, const std::string& path) {
    auto crc = [](const std::string& bytes) {
        uint32_t c = 0xFFFFFFFFu;
        for (unsigned char b : bytes) {
            c ^= b;
            for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return c ^ 0xFFFFFFFFu;
    };
    auto be32 = [](uint32_t v) {
        return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    auto chunk = [&](const char* type, const std::string& data) {
        std::string body = std::string(type) + data;
        return be32(uint32_t(data.size())) + body + be32(crc(body));
    };
    std::string raw;
    for (int y = 0; y < shot.height; ++y) {
        raw += '\0';
        for (int x = 0; x < shot.width; ++x) {
            uint32_t p = shot.At(x, y);
            raw += {char(p >> 16), char(p >> 8), char(p)};
        }
    }
    // A zlib stream of stored blocks.
    std::string z = "\x78\x01";
    uint32_t a = 1, b = 0;
    for (unsigned char ch : raw) a = (a + ch) % 65521, b = (b + a) % 65521;
    for (size_t at = 0; at < raw.size(); at += 65535) {
        size_t n = std::min<size_t>(65535, raw.size() - at);
        z += char(at + n == raw.size() ? 1 : 0);
        z += {char(n), char(n >> 8), char(~n), char(~n >> 8)};
        z += raw.substr(at, n);
    }
    z += be32((b << 16) | a);
    std::string header = be32(uint32_t(shot.width)) + be32(uint32_t(shot.height)) + std::string("\x08\x02\0\0\0", 5);
    std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", z) + chunk("IEND", "");
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(png.data(), 1, png.size(), f);
        std::fclose(f);
    }
}
}  // namespace

// The game itself in an SDL window on Xvfb, taken to the deployment screen
// of a kit battle as the battle catalogue leaves it. The window must show
// what the headless game draws. With VELMOR_TACTIC_SHOT set, the screenshot
// is written there as a PNG.
TEST(WindowE2E, TheRealWindowShowsTheDeploymentScreenOfAKitBattle) {
    CPixelSurface expected;
    {
        // The screen seeds its generator from the clock: the window and the
        // headless run deploy the same battle.
        AfxSetWallClock([] { return kFixedWallClock; });
        CGameRun run;
        ASSERT_TRUE(run.Start());
        run.Click(500, 500);
        ASSERT_TRUE(ChooseBattle(*run.View(), CChosenBattle{}));
        run.View()->ChangeMode(MODE_TACTIC);
        ASSERT_EQ(run.View()->GameMode, MODE_TACTIC);
        run.Run(200);
        expected = AfxGetScreen();
    }

    std::string display;
    pid_t xvfb = StartXvfb(display);
    ASSERT_GT(xvfb, 0);
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";

    Shot shot;
    bool shown = false;
    {
        CGameRun run;
        // The real display instead of the headless one: the game's SDL
        // window on the Xvfb screen, in real time.
        CWindowOnDisplay window(display);
        ASSERT_TRUE(window.ok);
        ASSERT_TRUE(run.Start());
        auto pump = [&](int ms) { RunRealTime(run, ms); };
        AfxInputMouseButton(0, true, 500, 500);
        AfxInputMouseButton(0, false, 500, 500);
        pump(500);
        ASSERT_EQ(run.View()->GameMode, MODE_MAIN_MENU);
        ASSERT_TRUE(ChooseBattle(*run.View(), CChosenBattle{}));
        run.View()->ChangeMode(MODE_TACTIC);
        for (int i = 0; i < 50 && !shown; ++i) {
            pump(200);
            shown = TakeShot(display, shot) && Mismatch(shot, expected) < 0.01;
        }
        EXPECT_TRUE(shown) << "the window never showed the deployment screen (mismatch " << Mismatch(shot, expected)
                           << ")";
        if (const char* path = std::getenv("VELMOR_TACTIC_SHOT")) SaveShot(shot, path);
        run.Close();
        AfxSetWallClock(nullptr);
    }
    kill(xvfb, SIGTERM);
    if (WaitFor(xvfb, 5) < 0) kill(xvfb, SIGKILL), waitpid(xvfb, nullptr, 0);
}

namespace {
// The middle of the units of both armies that still stand.
CPoint Fighting(COrvaneView& view) {
    long long x = 0, y = 0, n = 0;
    for (POSITION pos = view.BattleUnits.GetHeadPosition(); pos;) {
        const CUnit* u = view.BattleUnits.GetUnit(pos);
        if (u->m_dead || u->m_lost) continue;
        x += u->m_x, y += u->m_y, ++n;
    }
    return n ? CPoint(int(x / n), int(y / n)) : CPoint(1500, 1000);
}

// The game in its SDL window on an Xvfb display of its own, taken into a
// kit battle and run in real time; the window closed and the server ended
// however the test ends.
struct CXvfbServer {
    std::string display;
    pid_t pid = StartXvfb(display);
    ~CXvfbServer() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        if (WaitFor(pid, 5) < 0) kill(pid, SIGKILL), waitpid(pid, nullptr, 0);
    }
};
struct CWindowBattle {
    // The server outlives the game that draws on it.
    CXvfbServer server;
    const std::string& display = server.display;
    CGameRun run;
    std::unique_ptr<CWindowOnDisplay> window;
    COrvaneView* view = nullptr;
    // False, with `error` saying why, when the battle could not be shown.
    bool Start(const CBattleChoice& choice, std::string& error) {
        if (server.pid <= 0 || display.empty()) return error = "Xvfb did not start", false;
        window = std::make_unique<CWindowOnDisplay>(display);
        if (!window->ok) return error = "no window on " + display, false;
        // Every run fights the same battle.
        AfxSetWallClock([] { return kFixedWallClock; });
        if (!run.Start()) return error = "the game did not start", false;
        RunRealTime(run, 500);
        view = run.View();
        if (!view) return error = "no view", false;
        if (!ChooseBattle(*view, choice, error)) return false;
        view->ChangeMode(MODE_BATTLE);
        if (view->GameMode != MODE_BATTLE) return error = "no battle", false;
        return true;
    }
    ~CWindowBattle() {
        run.Close();
        AfxSetWallClock(nullptr);
    }
};
}  // namespace

// A battle on "A1M" in the game's SDL window on Xvfb, both armies ordered to
// attack, run in real time with the view following them. The window shows
// the frame the game composed last. With VELMOR_BATTLE_SHOT set, the
// screenshot is written there as a PNG.
TEST(WindowE2E, TheRealWindowShowsABattleOfA1MInProgress) {
    CWindowBattle game;
    CBattleChoice choice;
    choice.clans[1] = 2;
    choice.divisions = 6;
    choice.frontX[0] = 1300;
    choice.frontX[1] = 1700;
    choice.rowGap = 120;
    std::string error;
    ASSERT_TRUE(game.Start(choice, error)) << error;
    COrvaneView* view = game.view;
    for (int side = 0; side < 2; ++side)
        for (POSITION pos = view->Armies[side]->m_divisions.GetHeadPosition(); pos;) {
            CDivision* d = view->Armies[side]->m_divisions.GetDivision(pos);
            view->QueueTargetOrder(d, new CObjective(2, choice.frontX[1 - side], d->m_y), side, view->BattleTick, 255,
                                   0, 1, 1);
        }
    for (int i = 0; i < 18; ++i) {
        RunRealTime(game.run, 1000);
        const CPoint centre = Fighting(*view);
        view->ScrollBattleTo(centre.x, centre.y);
    }
    ASSERT_EQ(view->GameMode, MODE_BATTLE);
    EXPECT_GT(view->BattleTick, 20u);
    RunRealTime(game.run, 200);
    Shot shot;
    ASSERT_TRUE(TakeShot(game.display, shot));
    EXPECT_LT(Mismatch(shot, AfxGetScreen()), 0.05);
    if (const char* path = std::getenv("VELMOR_BATTLE_SHOT")) SaveShot(shot, path);
}

namespace {
// The share of sampled pixels inside `r` that differ between two pictures
// by more than a few steps in some channel.
template <typename Picture>
double MismatchIn(const Shot& shot, const Picture& other, const CRect& r) {
    int total = 0, off = 0;
    for (int y = r.top + 1; y < r.bottom && y < shot.height; y += 5) {
        for (int x = r.left + 2; x < r.right && x < shot.width; x += 5) {
            uint32_t a = shot.At(x, y), b = other(x, y);
            auto diff = [&](int s) { return std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)); };
            ++total;
            if (diff(0) > 3 || diff(8) > 3 || diff(16) > 3) ++off;
        }
    }
    return total ? double(off) / total : 1.0;
}
double MismatchIn(const Shot& shot, const CPixelSurface& expected, const CRect& r) {
    return MismatchIn(shot, [&](int x, int y) { return expected.GetPixel(x, y); }, r);
}

// Waits until the part `r` of the screen matches `expected` to within
// `tolerance`.
bool WaitForPart(const std::string& display, const CPixelSurface& expected, const CRect& r, double tolerance,
                 Shot& shot, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (TakeShot(display, shot) && MismatchIn(shot, expected, r) < tolerance) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

void Xdo(const std::string& display, const std::string& what) { RunCommand("DISPLAY=" + display + " xdotool " + what); }
void XClick(const std::string& display, CPoint p, int button = 1) {
    Xdo(display, "mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) + " sleep 0.1 click " +
                     std::to_string(button));
}

// The historical battle as the headless game plays it: the screens to
// expect and the points to click.
struct CReferencePlay {
    CPixelSurface menu, sbttl, deployment, battle, results;
    CHistoricalBattleWay way;
    CPoint retreat, yes, resultsOk;
    bool ok = false;
};

CReferencePlay PlayHeadless() {
    CReferencePlay p;
    CGameRun run;
    if (!run.Start()) return p;
    COrvaneView* view = run.View();
    if (!p.way.ToMenu(run)) return p;
    p.sbttl = AfxGetScreen();
    if (!p.way.ToDeployment(run)) return p;
    p.deployment = AfxGetScreen();
    if (!p.way.PlaceCommander(run) || !p.way.StartBattle(run)) return p;
    p.battle = AfxGetScreen();
    p.retreat = view->GetButtons().FindById(32)->GetRect().CenterPoint();
    // The question, answered yes by its button.
    run.Display().After(300, [&] {
        auto* dlg = dynamic_cast<CGameDialog*>(CWnd::GetCapture());
        if (!dlg) return;
        CRect r;
        dlg->GetWindowRect(&r);
        p.yes = r.TopLeft() + dlg->GetButtons().FindById(1)->GetRect().CenterPoint();
        AfxInputMouseButton(0, true, p.yes.x, p.yes.y);
        AfxInputMouseButton(0, false, p.yes.x, p.yes.y);
    });
    run.Click(p.retreat.x, p.retreat.y);
    for (int s = 0; s < 120 && view->GameMode == MODE_BATTLE; ++s) run.Run(1000);
    if (view->GameMode != MODE_AFTER_BATTLE) return p;
    p.results = AfxGetScreen();
    p.resultsOk = view->GetButtons().FindById(1)->GetRect().CenterPoint();
    p.ok = true;
    return p;
}
}  // namespace

// The real program under Xvfb, played with xdotool: the main menu's
// "Historical Battle", a spot of the map, the commander dragged into the
// first slot, OK; in the battle the army's retreat, answered yes, ends it;
// the results, OK, the map again;
// Cancel, Exit and a click end the program with status 0. Each screen is
// checked by its pixels against the same play headless.
TEST(WindowE2E, TheRealProgramPlaysAHistoricalBattleFromTheMenuToTheResultsAndBack) {
    std::string binary = std::string(VELMOR_BINARY_DIR) + "/velmor";
    ASSERT_TRUE(fs::exists(binary));
    Expected expected = DrawHeadless();
    CReferencePlay ref = PlayHeadless();
    ASSERT_TRUE(ref.ok) << "the headless play did not reach the results";

    std::string display;
    pid_t xvfb = StartXvfb(display);
    ASSERT_GT(xvfb, 0);
    ASSERT_FALSE(display.empty()) << "Xvfb did not start";
    CScratchFolder config("velmor-e2e-config"), data("velmor-e2e-data");
    // The player "Ann" of the Velmor, as the headless play has her.
    {
        CPlayerRoster roster;
        roster.Players[0].Name = "Ann";
        roster.Players[0].Clan = 1;
        roster.CurrentPlayer = 0;
        fs::create_directories(data.Path() / "velmor");
        CFile file;
        ASSERT_TRUE(file.Open((data.Path() / "velmor" / "Profile.VLM").string().c_str(),
                              CFile::modeCreate | CFile::modeWrite));
        CArchive ar(&file, CArchive::store);
        roster.Serialize(ar);
        ar.Close();
        file.Close();
    }
    fs::path work = MakeScratchGameFolder();
    ASSERT_FALSE(work.empty());
    pid_t game = SpawnGame(binary, display, work, config.Path(), data.Path());
    ASSERT_GT(game, 0);
    const CRect whole(0, 0, 1024, 768);
    Shot shot;
    auto finish = [&] {
        int status = WaitFor(game, 45);
        if (status < 0) kill(game, SIGKILL), waitpid(game, nullptr, 0);
        kill(xvfb, SIGTERM);
        if (WaitFor(xvfb, 5) < 0) kill(xvfb, SIGKILL), waitpid(xvfb, nullptr, 0);
        fs::remove_all(work);
        return status;
    };

    bool ok = WaitForShot(display, expected.intro, shot, 90);
    EXPECT_TRUE(ok) << "the introduction never appeared";
    XClick(display, CPoint(500, 500));
    ok = ok && WaitForShot(display, expected.menu, shot, 45);
    EXPECT_TRUE(ok) << "no main menu";
    XClick(display, ref.way.menuButton);
    ok = ok && WaitForShot(display, ref.sbttl, shot, 45);
    EXPECT_TRUE(ok) << "no map of the historical battles (mismatch " << Mismatch(shot, ref.sbttl) << ")";
    XClick(display, ref.way.spotCentre);
    // The deployment's enemy depends on the clock: the list of generals
    // and the buttons below the map are compared.
    const CRect list(0, 470, 1024, 768);
    ok = ok && WaitForPart(display, ref.deployment, list, 0.1, shot, 45);
    EXPECT_TRUE(ok) << "no deployment (mismatch " << MismatchIn(shot, ref.deployment, list) << ")";
    auto at = [](CPoint p) { return std::to_string(p.x) + " " + std::to_string(p.y); };
    Xdo(display, "mousemove " + at(ref.way.commander) + " sleep 0.2 mousedown 1 sleep 0.2 mousemove " +
                     at(CPoint((ref.way.commander.x + ref.way.firstSlot.x) / 2, (ref.way.commander.y + ref.way.firstSlot.y) / 2)) + " sleep 0.2 mousemove " + at(ref.way.firstSlot) +
                     " sleep 0.2 mouseup 1 sleep 1");
    XClick(display, ref.way.ok);
    // The battle: its panel at the bottom, the army's buttons and the
    // portrait of the one division.
    const CRect panel(0, 650, 1024, 768);
    ok = ok && WaitForPart(display, ref.battle, panel, 0.2, shot, 60);
    EXPECT_TRUE(ok) << "no battle (mismatch " << MismatchIn(shot, ref.battle, panel) << ")";

    if (ok) {
        // The retreat, answered yes by its button.
        XClick(display, ref.retreat);
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        XClick(display, ref.yes);
        const CRect heading(0, 0, 1024, 120);
        ok = WaitForPart(display, ref.results, heading, 0.1, shot, 60);
        EXPECT_TRUE(ok) << "no results (mismatch " << MismatchIn(shot, ref.results, heading) << ")";
        XClick(display, ref.resultsOk);
        // The map above the bottom panel's place.
        const CRect map(0, 0, 1024, 630);
        ok = ok && WaitForPart(display, ref.sbttl, map, 0.02, shot, 45);
        if (const char* path = std::getenv("VELMOR_FLOW_SHOT")) SaveShot(shot, path);
        EXPECT_TRUE(ok) << "not back on the map (mismatch " << MismatchIn(shot, ref.sbttl, map) << ")";
    }
    // Cancel, Exit, and a click on the closing credits.
    XClick(display, CPoint(806 + 60, 722 + 16));
    ok = ok && WaitForShot(display, expected.menu, shot, 45);
    XClick(display, CPoint(500, 635));
    ok = ok && WaitForShot(display, expected.closing, shot, 45);
    XClick(display, CPoint(500, 500));
    EXPECT_EQ(finish(), 0);
}

// A battle on "A1M" in the game's SDL window on Xvfb, commanded with
// xdotool as a player would: a click on a division's marker in the panel
// brings the division into view and selects it, a right click opens its
// panel, Move and a click on the field send it there. The division takes
// the move and sets off towards the point; the window shows what the game
// drew. With VELMOR_COMMAND_SHOT set, the screenshot is written there as a
// PNG.
TEST(WindowE2E, XdotoolClicksSelectADivisionAndMoveIt) {
    CWindowBattle game;
    std::string error;
    ASSERT_TRUE(game.Start(CBattleChoice{}, error)) << error;
    COrvaneView* view = game.view;
    const std::string& display = game.display;
    auto pump = [&](int ms) { RunRealTime(game.run, ms); };
    pump(500);
    CDivision* d = view->Armies[0]->m_divisions.FindByID(2, 0, 0);
    ASSERT_NE(d, nullptr);
    ASSERT_NE(view->DivisionSlots[2].PortraitIcon, nullptr);
    ASSERT_FALSE(view->m_rcVisible.PtInRect(CPoint(d->m_x, d->m_y))) << "the battle opens away from the army";
    const CPoint marker = view->DivisionSlots[2].PortraitIcon->GetRect().CenterPoint() + view->m_frameOffset;

    XClick(display, marker);
    pump(500);
    ASSERT_EQ(view->SelectedDivisions.GetCount(), 1);
    EXPECT_EQ(view->SelectedDivisions.GetAt(0), d);
    EXPECT_TRUE(view->m_rcVisible.PtInRect(CPoint(d->m_x, d->m_y))) << "the division is not in view";

    XClick(display, marker, 3);
    pump(500);
    ASSERT_EQ(view->PanelDivision, 2) << "no panel";
    CCommandButton* move = view->GetButtons().FindById(9);
    ASSERT_TRUE(move && move->m_bEnabled);
    XClick(display, move->GetRect().CenterPoint());
    pump(300);
    ASSERT_EQ(view->CommandPending, 1);

    const CPoint target(d->m_x + 300, d->m_y - 40);
    CPoint at = target;
    view->FieldToScreen(at);
    ASSERT_TRUE(view->m_rcFieldArea.PtInRect(at));
    const CPoint from = UnitsCentre(d);
    XClick(display, at);
    pump(500);
    EXPECT_EQ(view->CommandPending, 0);
    EXPECT_EQ(d->m_order.m_type, ORDER_MOVE);
    EXPECT_EQ(d->m_order.GetPoint(), target) << "the division holds no move to the clicked point";
    // The battle keeps the real clock, and a loaded machine runs fewer
    // ticks a second: the march is judged after the ticks eight seconds
    // give, however long they take here. Men on foot cover about a pixel
    // a tick.
    const uint32_t clicked = view->BattleTick;
    for (int waited = 0; view->BattleTick < clicked + 70 && waited < 40000; waited += 250) pump(250);
    auto distance = [&](CPoint p) { return std::hypot(double(p.x - target.x), double(p.y - target.y)); };
    EXPECT_LT(distance(UnitsCentre(d)), distance(from) - 40) << "the division did not set off";

    pump(200);
    Shot shot;
    ASSERT_TRUE(TakeShot(display, shot));
    EXPECT_LT(Mismatch(shot, AfxGetScreen()), 0.05);
    if (const char* path = std::getenv("VELMOR_COMMAND_SHOT")) SaveShot(shot, path);
}
