// Runs the real game headless: the application, its document, frame and
// main view, with a virtual clock and scripted input. The working folder is
// a scratch copy of the data kit (VELMOR_KIT): links to its files, with a
// folder of its own for the temporary files the game writes ("cache"), so
// runs in parallel never share a written file. The player's files and the
// settings go to scratch user folders. All are removed afterwards.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "shell/OrvaneApp.h"
#include "shell/OrvaneView.h"
#include "tests/support/Headless.h"
#include "tests/support/TestFolders.h"
#include "world/PlayerRoster.h"

// A scratch working folder for one run of the game: links to the data
// kit's (VELMOR_KIT) files, with a folder of its own for the temporary
// files ("cache"). Empty when it cannot be made; the caller removes it.
inline std::filesystem::path MakeScratchGameFolder() {
    namespace fs = std::filesystem;
    char scratch[] = "/tmp/velmor-work-XXXXXX";
    if (!mkdtemp(scratch)) return fs::path();
    fs::path work = scratch;
    const fs::path kit = KitFolder();
    std::error_code ec;
    for (const fs::directory_entry& e : fs::directory_iterator(kit, ec)) {
        // The run's temporary files stay in the scratch folder, never in
        // the kit.
        if (e.path().filename() == "Data" || e.path().filename() == "cache") continue;
        fs::create_symlink(e.path(), work / e.path().filename(), ec);
    }
    fs::create_directories(work / "Data", ec);
    for (const fs::directory_entry& e : fs::directory_iterator(kit / "Data", ec)) {
        if (e.path().filename() == "Saved Data") continue;
        fs::create_symlink(e.path(), work / "Data" / e.path().filename(), ec);
    }
    return work;
}

// The player's profile chooses the large (1280 x 1024) layout; written
// before the game starts, in the run's user data folder. False when the
// profile cannot be written.
inline bool ChooseLargeLayout() {
    CPlayerRoster roster;
    roster.GraphicChoice = 1;
    CFile file;
    if (!file.Open("Data\\Saved Data\\Profile.vlm", CFile::modeCreate | CFile::modeWrite)) return false;
    CArchive ar(&file, CArchive::store);
    roster.Serialize(ar);
    ar.Close();
    file.Close();
    return true;
}

// The wall clock a run of the game is given where a test needs the same
// battle every time: the game seeds its random streams from the wall clock
// (`AfxSetWallClock`).
inline constexpr int64_t kFixedWallClock = 1700000006;

class CGameRun {
public:
    // `user`: the player's folders of an earlier run, for a run that starts
    // the game again on the profile it left; fresh ones when null.
    explicit CGameRun(DisplayMode desktop = {1024, 768, 32}, std::vector<std::string> args = {"velmor"},
                      std::shared_ptr<CScratchUserFolders> user = nullptr)
        : m_user(user ? std::move(user) : std::make_shared<CScratchUserFolders>()), m_headless(desktop) {
        namespace fs = std::filesystem;
        m_oldFolder = fs::current_path();
        fs::current_path(MakeWorkFolder());
        std::vector<const char*> argv;
        for (const std::string& a : args) argv.push_back(a.c_str());
        AfxSetCommandLine(int(argv.size()), argv.data());
        AfxClearShownMessages();
    }
    ~CGameRun() {
        Close();
        if (m_app.m_pMainWnd) m_app.m_pMainWnd->DestroyWindow();
        m_app.ExitInstance();
        std::error_code ec;
        std::filesystem::current_path(m_oldFolder, ec);
        if (!m_work.empty()) std::filesystem::remove_all(m_work, ec);
    }
    CGameRun(const CGameRun&) = delete;
    CGameRun& operator=(const CGameRun&) = delete;

    // Starts the program as the entry point would; false when it refuses.
    bool Start() { return m_app.InitInstance() != FALSE; }

    COrvaneApp& App() { return m_app; }
    CHeadlessDisplay& Display() { return m_headless.Display(); }
    DWORD Now() const { return m_headless.Now(); }
    std::string ConfigFolder() const { return m_user->Config().string(); }
    // The player's Saved Data folder (in the scratch user data folder).
    std::filesystem::path SavedDataFolder() const { return m_user->SavedData(); }
    const std::shared_ptr<CScratchUserFolders>& UserFolders() const { return m_user; }

    COrvaneView* View() {
        CWnd* main = m_app.m_pMainWnd;
        auto* frame = main ? dynamic_cast<CFrameWnd*>(main) : nullptr;
        return frame ? dynamic_cast<COrvaneView*>(frame->GetActiveView()) : nullptr;
    }

    // Runs the message loop, idle passes included, for `ms` of virtual time;
    // false when the program ended meanwhile.
    bool Run(DWORD ms) {
        DWORD end = Now() + ms;
        return m_app.RunUntil([&] { return int32_t(Now() - end) >= 0; }) != FALSE;
    }
    // A left click at a screen point, then a little time to handle it.
    bool Click(int x, int y) {
        Display().ClickAfter(1, x, y);
        return Run(20);
    }
    bool MoveMouse(int x, int y) {
        Display().After(1, [x, y] { AfxInputMouseMove(x, y); });
        return Run(20);
    }
    // The left button held from `from` to `to`, by way of the middle.
    void Drag(CPoint from, CPoint to) {
        Display().After(1, [from] { AfxInputMouseButton(0, true, from.x, from.y); });
        Run(20);
        MoveMouse((from.x + to.x) / 2, (from.y + to.y) / 2);
        MoveMouse(to.x, to.y);
        Display().After(1, [to] { AfxInputMouseButton(0, false, to.x, to.y); });
        Run(20);
    }
    // Closes the main window and runs the loop to its end.
    void Close() {
        if (m_app.m_pMainWnd && AfxIsWindow(m_app.m_pMainWnd)) {
            m_app.m_pMainWnd->PostMessage(WM_CLOSE);
            m_app.RunUntil(nullptr);
        }
    }
    uint32_t ScreenPixel(int x, int y) const { return AfxGetScreen().GetPixel(x, y); }
    // The scratch working folder.
    const std::filesystem::path& WorkFolder() const { return m_work; }

private:
    std::filesystem::path MakeWorkFolder() {
        m_work = MakeScratchGameFolder();
        return m_work.empty() ? std::filesystem::current_path() : m_work;
    }

    std::shared_ptr<CScratchUserFolders> m_user;
    std::filesystem::path m_work;
    CHeadlessScope m_headless;
    COrvaneApp m_app;
    std::filesystem::path m_oldFolder;
};

// A game started and taken to the main menu by a click on the
// introduction.
struct CMenuGame {
    CGameRun run;
    COrvaneView* view = nullptr;
    CMenuGame() {
        EXPECT_TRUE(run.Start());
        view = run.View();
        EXPECT_NE(view, nullptr);
        run.Click(500, 500);
        if (view) {
            EXPECT_EQ(view->GameMode, MODE_MAIN_MENU);
        }
    }
};

// Whether a line of the view's message log starts with `start`.
inline bool LogHas(COrvaneView* view, const char* start) {
    for (int i = 0; i < view->GetMessageLog().GetCount(); ++i)
        if (view->GetMessageLog().GetAt(i)->Text.Find(start) == 0) return true;
    return false;
}
