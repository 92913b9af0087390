// Start-up and shut-down of the real game, headless: the command line, the
// display check, the stored install folder, the temporary files and the
// application's key filter.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "shell/Settings.h"
#include "tests/support/ArchiveBytes.h"
#include "world/PlayerRoster.h"
#include "tests/support/GameRun.h"

namespace fs = std::filesystem;

TEST(StartUp, CommandLineSwitches) {
    struct Case {
        std::vector<std::string> args;
        bool networkStart, host;
        const char* address;
        const char* name;
        bool connectionError;
    } cases[] = {
        {{"velmor"}, false, false, "", "", false},
        {{"velmor", "-name", "Oda Nobunaga"}, false, false, "", "Oda Nobunaga", false},
        {{"velmor", "-join"}, false, false, "", "", false},  // a trailing switch is ignored
        {{"velmor", "-name"}, false, false, "", "", false},
        {{"velmor", "-host", "-join", "10.0.0.2", "-name", "Ieyasu"}, false, false, "", "", false},
        // A network start falls back to the menu, the client with an error.
        {{"velmor", "-join", "10.0.0.2"}, false, false, "", "", true},
        {{"velmor", "-host", "-name", "Ieyasu"}, false, false, "", "Ieyasu", false},
    };
    for (const Case& c : cases) {
        std::string label;
        for (const std::string& a : c.args) label += a + " ";
        CGameRun run({1024, 768, 32}, c.args);
        ASSERT_TRUE(run.Start()) << label;
        COrvaneView* v = run.View();
        EXPECT_EQ(v->JoinRequested != 0, c.networkStart) << label;
        EXPECT_EQ(v->HostRequested != 0, c.host) << label;
        EXPECT_STREQ(v->JoinAddress, c.address) << label;
        EXPECT_STREQ(v->PlayerName, c.name) << label;
        EXPECT_STREQ(v->GetDocument()->GetPlayerName(), c.name) << label;
        bool networkTried = std::find(c.args.begin(), c.args.end(), "-host") != c.args.end() ||
                            std::find(c.args.begin(), c.args.end(), "-join") != c.args.end();
        bool bothGiven = std::find(c.args.begin(), c.args.end(), "-host") != c.args.end() &&
                         std::find(c.args.begin(), c.args.end(), "-join") != c.args.end();
        bool trailing = c.args.back() == "-join";
        int expectedMode = networkTried && !bothGiven && !trailing ? MODE_MAIN_MENU : MODE_INTRO;
        EXPECT_EQ(v->GameMode, expectedMode) << label;
        bool logged = v->GetMessageLog().GetCount() > 0 &&
                      v->GetMessageLog().GetAt(0)->Text == "ERROR: Couldn't establish connection to 10.0.0.2";
        EXPECT_EQ(logged, c.connectionError) << label;
    }
}

TEST(StartUp, DisplayCheckSwitchesToTheTargetModeOrRefusesToStart) {
    struct Case {
        DisplayMode desktop;
        bool failSwitch;
        bool starts;
        int width;  // of the screen afterwards
    } cases[] = {
        {{1024, 768, 32}, false, true, 1024},   // already right: no switch
        {{1600, 1200, 32}, false, true, 1024},  // switched to the default target
        {{1280, 800, 32}, false, true, 1024},
        {{1024, 768, 8}, false, true, 1024},    // too few colours: switched
        {{1600, 1200, 32}, true, false, 1600},  // the switch fails: no start
    };
    for (const Case& c : cases) {
        CGameRun run(c.desktop);
        run.Display().SetFailModeSwitch(c.failSwitch);
        EXPECT_EQ(run.Start(), c.starts) << c.desktop.width << "x" << c.desktop.height;
        EXPECT_EQ(AfxGetScreen().GetWidth(), c.width);
        std::vector<std::string> shown = AfxGetShownMessages();
        bool refused = !shown.empty() && shown.back().rfind("ERROR: Velmor will only run with screen resolutions", 0) == 0;
        EXPECT_EQ(refused, !c.starts);
        if (c.starts) {
            EXPECT_EQ(run.View()->DisplayRestore != 0, c.desktop.width != 1024 || c.desktop.bitsPerPixel != 32);
        }
    }
}

namespace {
// Writes the profile the display check reads; `setting` -1 writes bytes
// that are no profile at all.
void WriteProfile(const fs::path& savedData, int setting) {
    std::vector<BYTE> bytes;
    if (setting >= 0) {
        CPlayerRoster roster;
        roster.GraphicChoice = setting;
        bytes = StoreBytes([&](CArchive& ar) { roster.Serialize(ar); });
    } else {
        bytes = {8, 0, 0, 0, 0xFF, 0xFF, 0x13};
    }
    fs::create_directories(savedData);
    std::ofstream(savedData / "Profile.VLM", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}
}  // namespace

TEST(StartUp, DisplayCheckFollowsTheProfilesResolutionSetting) {
    struct Case {
        int setting;  // -1: a damaged profile
        DisplayMode desktop;
        const char* refusal;  // start of the message, or null when it starts
        int screenWidth;      // the mode afterwards
        int viewWidth;        // the layout the view uses
    } cases[] = {
        {0, {1280, 1024, 32}, nullptr, 1024, 1024},
        {1, {1024, 768, 32}, nullptr, 1280, 1280},
        {2, {1600, 1200, 32}, nullptr, 1600, 1280},  // kept, laid out for 1280 x 1024
        {2, {1280, 1024, 32}, nullptr, 1280, 1280},
        {2, {1280, 800, 32}, "ERROR: Velmor will only run with screen resolutions", 1280, 0},
        {2, {1024, 768, 8}, "ERROR: Velmor will only run in 16-bit color mode", 1024, 0},
        {-1, {1280, 1024, 32}, nullptr, 1024, 1024},  // unreadable: the default
    };
    for (const Case& c : cases) {
        std::string label = std::to_string(c.setting) + " on " + std::to_string(c.desktop.width) + "x" +
                            std::to_string(c.desktop.height) + "x" + std::to_string(c.desktop.bitsPerPixel);
        CGameRun run(c.desktop);
        WriteProfile(run.SavedDataFolder(), c.setting);
        bool started = run.Start();
        EXPECT_EQ(started, c.refusal == nullptr) << label;
        EXPECT_EQ(AfxGetScreen().GetWidth(), c.screenWidth) << label;
        if (c.refusal) {
            std::vector<std::string> shown = AfxGetShownMessages();
            ASSERT_FALSE(shown.empty()) << label;
            EXPECT_EQ(shown.back().rfind(c.refusal, 0), 0u) << label << ": " << shown.back();
            continue;
        }
        EXPECT_EQ(run.View()->GetScreenWidth(), c.viewWidth) << label;
        if (c.desktop.width > 1280) {
            CRect frame;
            run.App().m_pMainWnd->GetWindowRect(&frame);
            EXPECT_EQ(frame, CRect(c.desktop.width / 2 - 642, c.desktop.height / 2 - 514,
                                   c.desktop.width / 2 + 642, c.desktop.height / 2 + 514))
                << label;
        }
    }
}

TEST(StartUp, ClosingCreditsPutBackTheDesktopAndTheScreenSaver) {
    CGameRun run({1600, 1200, 32});
    run.Display().SetScreenSaverInitially(true);
    ASSERT_TRUE(run.Start());
    COrvaneView* v = run.View();
    EXPECT_EQ(v->ScreenSaverOff, 1);
    EXPECT_FALSE(run.Display().GetScreenSaverActive());
    v->ChangeMode(MODE_CLOSING_CREDITS);
    run.Close();
    EXPECT_EQ(AfxGetScreen().GetWidth(), 1600);
    EXPECT_TRUE(run.Display().GetScreenSaverActive());
}

TEST(StartUp, InstallFolderIsStoredInTheSettingsFile) {
    CGameRun run;
    ASSERT_TRUE(run.Start());
    CString value;
    ASSERT_TRUE(ReadSettingString("SOFTWARE\\Pelliwar Corporation\\Velmor\\", "install_path", value));
    std::string stored = (const char*)value;
    while (!stored.empty() && (stored.back() == '\\' || stored.back() == '/')) stored.pop_back();
    EXPECT_EQ(fs::path(stored), fs::current_path());
    EXPECT_EQ(GetSettingsPath().rfind(run.ConfigFolder(), 0), 0u);
}

TEST(StartUp, TemporaryFilesGoFromTheCacheFolderOnlyAndTheFolderStays) {
    for (bool withCache : {true, false}) {
        CGameRun run;
        fs::path work = run.WorkFolder();
        auto touch = [](const fs::path& p) { std::ofstream(p) << "x"; };
        touch(work / "keep.tmp");  // beside the cache, never touched
        touch(work / "resync.dat");
        if (withCache) {
            fs::create_directory(work / "cache");
            touch(work / "cache" / "a.tmp");
            touch(work / "cache" / "B.TMP");
            touch(work / "cache" / "resync.dat");
            touch(work / "cache" / "army.sav");
        }
        touch(work / "listed.bin");
        ASSERT_TRUE(run.Start());
        run.View()->TempFiles.AddTail(new CString("listed.bin"));
        run.Close();  // the view goes, and with it the temporary files
        EXPECT_EQ(fs::current_path(), work);
        EXPECT_TRUE(fs::exists(work / "keep.tmp"));
        EXPECT_TRUE(fs::exists(work / "resync.dat"));
        EXPECT_FALSE(fs::exists(work / "listed.bin"));
        EXPECT_EQ(fs::exists(work / "cache"), withCache);
        if (withCache) {
            EXPECT_FALSE(fs::exists(work / "cache" / "a.tmp"));
            EXPECT_FALSE(fs::exists(work / "cache" / "B.TMP"));
            EXPECT_FALSE(fs::exists(work / "cache" / "resync.dat"));
            EXPECT_TRUE(fs::exists(work / "cache" / "army.sav"));
        }
    }
}

TEST(StartUp, CtrlSAndCtrlOReleasesNeverReachTheGame) {
    COrvaneApp app;
    struct Step {
        UINT message;
        WPARAM key;
        BOOL dropped;
    } steps[] = {
        {WM_KEYUP, 'S', FALSE},          {WM_KEYDOWN, VK_CONTROL, FALSE}, {WM_KEYUP, 'S', TRUE},
        {WM_KEYUP, 'o', TRUE},           {WM_KEYDOWN, 'S', FALSE},        {WM_KEYUP, 'A', FALSE},
        {WM_KEYUP, VK_CONTROL, FALSE},   {WM_KEYUP, 'O', FALSE},          {WM_KEYDOWN, VK_RCONTROL, FALSE},
        {WM_KEYUP, 'O', TRUE},
    };
    int i = 0;
    for (const Step& s : steps) {
        MSG msg;
        msg.message = s.message;
        msg.wParam = s.key;
        EXPECT_EQ(app.PreTranslateMessage(&msg), s.dropped) << "step " << i;
        ++i;
    }
    CtrlKeyHeld = 0;
}

namespace {
// Makes `gameName` (a kit file) a file of the run's own folder holding
// `bytes`, or removes it when `bytes` is null: the folders on its way stop
// being links to the kit and become folders of links.
void ReplaceKitFile(const fs::path& work, const std::string& gameName, const std::vector<BYTE>* bytes) {
    fs::path relative;
    std::string part;
    for (char c : gameName + "\\") {
        if (c != '\\') {
            part += c;
            continue;
        }
        fs::path here = work / relative;
        if (fs::is_symlink(here)) {
            fs::path target = fs::read_symlink(here);
            fs::remove(here);
            fs::create_directory(here);
            for (const fs::directory_entry& e : fs::directory_iterator(target))
                fs::create_symlink(e.path(), here / e.path().filename());
        }
        relative /= part;
        part.clear();
    }
    fs::path file = work / relative;
    fs::remove(file);
    if (bytes)
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes->data()),
                                                   std::streamsize(bytes->size()));
}
}  // namespace

TEST(StartUp, EveryStartUpFileThatFailsSaysSoOnce) {
    const std::vector<BYTE> junk = {'R', 'I', 'F', 'F', 9, 9, 9, 9, 'x'};
    // The logo movie declaring that each frame stays up for 71 minutes.
    std::ifstream in(KitFile("Sound\\Publisher Logo.avi"), std::ios::binary);
    std::vector<BYTE> slow((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(slow.size(), 36u);
    ASSERT_EQ(std::string(slow.begin() + 24, slow.begin() + 28), "avih");
    for (int i = 32; i < 36; ++i) slow[size_t(i)] = 0xFF;
    struct Case {
        const char* file;                // the kit file damaged or removed
        const std::vector<BYTE>* bytes;  // null: removed
        const char* said;                // in the one "ERROR: ..." message
        bool reachesMenu;
    } cases[] = {
        {"Pictures\\Letter Set.giz", &junk, "Letter Set.giz", true},
        {"Pictures\\1024Bkgnd Introduction Screen.giz", &junk, "Introduction Screen", false},
        {"Sound\\Publisher Logo.avi", &junk, "Publisher Logo.avi", true},
        {"Sound\\Publisher Logo.avi", nullptr, "Publisher Logo.avi", true},
        {"Sound\\Publisher Logo.avi", &slow, "longer than a second", true},
        {"Sound\\Music\\IBad.wav", nullptr, "IBad.wav", true},
        {"Sound\\Music\\IBad.wav", &junk, "IBad.wav", true},
    };
    for (const Case& c : cases) {
        std::string label = std::string(c.bytes ? "damaged " : "missing ") + c.file;
        CGameRun run;
        ReplaceKitFile(run.WorkFolder(), c.file, c.bytes);
        bool started = run.Start() && run.Click(500, 500);
        std::vector<std::string> errors;
        for (const std::string& m : AfxGetShownMessages())
            if (m.find("ERROR") != std::string::npos) errors.push_back(m);
        if (errors.size() != 1u) {
            ADD_FAILURE() << label << ": " << errors.size() << " errors" << (errors.empty() ? "" : ": " + errors[0] + " / " + errors.back());
            continue;
        }
        EXPECT_EQ(errors[0].rfind("ERROR: ", 0), 0u) << label << ": " << errors[0];
        EXPECT_NE(errors[0].find(c.said), std::string::npos) << label << ": " << errors[0];
        if (c.reachesMenu) {
            ASSERT_TRUE(started) << label;
            EXPECT_EQ(run.View()->GameMode, MODE_MAIN_MENU) << label;
        }
    }
}
