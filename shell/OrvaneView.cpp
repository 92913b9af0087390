// The main view: construction, the display check, the first update with the
// command line, window handlers and teardown.
#include "shell/OrvaneView.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <strings.h>

#include "core/GameTables.h"
#include "core/Helpers.h"
#include "shell/OrvaneApp.h"
#include "shell/ProfileProbe.h"
#include "core/Random.h"
#include "shell/Settings.h"
#include "ui/TacticScreen.h"
#include "army/Army.h"

IMPLEMENT_DYNCREATE(COrvaneView, CAnimFocusView)

namespace {
const char* const kResolutionError =
    "ERROR: Velmor will only run with screen resolutions of 1024x768 or 1280x1024\nPlease adjust your display "
    "settings, and try again.";
const char* const kDepthError =
    "ERROR: Velmor will only run in 16-bit color mode or higher.\nPlease adjust your settings and try again.";
const char* const kRegistryKey = "SOFTWARE\\Pelliwar Corporation\\Velmor\\";
}  // namespace

COrvaneView::COrvaneView() {
    // The default generator and the view's two streams start from the clock.
    uint32_t seed = uint32_t(CTime::GetCurrentTime().GetTime());
    GameSrand(seed);
    StreamIndex1 = RandomStreams.AddStream(int32_t(seed));
    StreamIndex2 = RandomStreams.AddStream(int32_t(uint32_t(CTime::GetCurrentTime().GetTime())));
    RunDivisionPanel = [this](CPerson& general) { return RunDivisionSelectDlg(general); };
}

COrvaneView::~COrvaneView() {
    ExitMode(-1);
    ClearOrderQueues();
    ClearBattleEffects();
    ReleaseGameLists();
    DeleteTempFiles();
    m_messages.RemoveAll();
    delete m_pLetterSet;
    m_pLetterSet = nullptr;
    delete s_pFallbackSprite;
    s_pFallbackSprite = nullptr;
    RandomStreams.RemoveAll();
    StreamIndex1 = StreamIndex2 = -1;
}

COrvaneDoc* COrvaneView::GetDocument() const { return dynamic_cast<COrvaneDoc*>(m_pDocument); }

// ---------------------------------------------------------------------------
// Window creation and the display check

BOOL COrvaneView::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style &= ~LONG(WS_BORDER);
    cs.dwExStyle |= WS_EX_TOPMOST;
    if (!COrvaneViewBase::PreCreateWindow(cs)) return FALSE;
    return CheckDisplaySettings();
}

BOOL COrvaneView::CheckDisplaySettings() {
    int targetWidth = 1024, targetHeight = 768;
    int setting = 0;
    // A profile that is missing or cannot be read is no error: the default
    // target stands.
    if (ReadProfileResolution(GetProfileName(), setting)) {
        if (setting == 2) {
            // Keep the desktop's resolution; a larger desktop counts as
            // 1280 x 1024 with the frame centred on it.
            m_nScreenWidth = std::min(m_nScreenWidth, 1280);
            m_nScreenHeight = std::min(m_nScreenHeight, 1024);
            bool known = (m_nScreenWidth == 1024 && m_nScreenHeight == 768) ||
                         (m_nScreenWidth == 1280 && m_nScreenHeight == 1024);
            if (!known) {
                ShowMessage("%s", kResolutionError);
                return FALSE;
            }
            if (m_nColourDepth < 16) {
                ShowMessage("%s", kDepthError);
                return FALSE;
            }
            targetWidth = m_nScreenWidth;
            targetHeight = m_nScreenHeight;
        } else if (setting == 1) {
            targetWidth = 1280;
            targetHeight = 1024;
        }
    }

    if (m_nColourDepth < 16 || m_nScreenWidth != targetWidth || m_nScreenHeight != targetHeight) {
        // The first listed mode of the target size with 16 bits or more; a
        // mode the system refuses to switch to is passed over for the next.
        bool switched = false;
        DEVMODE mode;
        for (DWORD i = 0; !switched && EnumDisplaySettings(nullptr, i, &mode); ++i) {
            if (mode.dmBitsPerPel >= 16 && int(mode.dmPelsWidth) == targetWidth &&
                int(mode.dmPelsHeight) == targetHeight)
                switched = SwitchDisplayMode(int(mode.dmBitsPerPel), targetWidth, targetHeight);
        }
        if (!switched) {
            ShowMessage("%s", kResolutionError);
            return FALSE;
        }
    }

    BOOL saverActive = FALSE;
    if (SystemParametersInfo(SPI_GETSCREENSAVEACTIVE, 0, &saverActive, 0) && saverActive) {
        ScreenSaverOff = 1;
        SystemParametersInfo(SPI_SETSCREENSAVEACTIVE, FALSE, nullptr, 0);
    }
    return TRUE;
}

BOOL COrvaneView::SwitchDisplayMode(int bitsPerPixel, int width, int height) {
    DEVMODE mode;
    mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
    mode.dmBitsPerPel = DWORD(bitsPerPixel);
    mode.dmPelsWidth = DWORD(width);
    mode.dmPelsHeight = DWORD(height);
    if (ChangeDisplaySettings(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return FALSE;
    // The desktop's mode is put back when the closing credits are left.
    DisplayRestore = 1;
    m_nColourDepth = bitsPerPixel;
    m_nScreenWidth = width;
    m_nScreenHeight = height;
    return TRUE;
}

void COrvaneView::OnSize(UINT type, int cx, int cy) {
    COrvaneViewBase::OnSize(type, cx, cy);
    if (GameMode < 0 || GameMode > 17) return;
    CClientDC dc(this);
    m_nColourDepth = dc.GetDeviceCaps(BITSPIXEL);
    int width = dc.GetDeviceCaps(HORZRES) < 1280 ? 1024 : 1280;
    bool changed = width != m_nScreenWidth;
    m_nScreenWidth = width;
    m_nScreenHeight = width == 1024 ? 768 : 1024;
    if (GameMode <= 15 && GameMode != MODE_BATTLE && changed) ChangeMode(GameMode);
}

void COrvaneView::EnableFrameAndView() {
    if (CWnd* frame = GetParentFrame()) frame->EnableWindow(TRUE);
    EnableWindow(TRUE);
}

void COrvaneView::OnSetFocus(CWnd* oldWnd) {
    COrvaneViewBase::OnSetFocus(oldWnd);
    EnableFrameAndView();
    ::SetCursor(NormalCursor ? NormalCursor : LoadCursor(nullptr, MAKEINTRESOURCE(IDC_ARROW)));
    if (CWnd* frame = GetParentFrame()) frame->BringWindowToTop();
    SetCapture();
}

void COrvaneView::OnKillFocus(CWnd* newWnd) { COrvaneViewBase::OnKillFocus(newWnd); }

void COrvaneView::OnDestroy() {
    COrvaneViewBase::OnDestroy();
    SetTimerInterval1(0);
    SetTimerInterval2(0);
    SetTimerInterval3(0);
}

void COrvaneView::OnDraw(CDC* dc) { COrvaneViewBase::OnDraw(dc); }

// ---------------------------------------------------------------------------
// First update

void COrvaneView::OnInitialUpdate() {
    EnableFrameAndView();
    NormalCursor = LoadCursor(nullptr, MAKEINTRESOURCE(IDC_ARROW));
    COrvaneViewBase::OnInitialUpdate();
    COrvaneDoc* doc = GetDocument();

    // The install folder is kept where outside tools look for it.
    if (!WriteSettingString(kRegistryKey, "install_path", doc ? (const char*)doc->GetInstallPath() : "")) {
        ShowMessage(
            "ERROR: could not access the registry (insufficient security privaleges?).\nGamespy might not work "
            "properly until the situation is remedied\n");
    }

    // The frame covers the screen; a screen wider than 1280 keeps the
    // 1280 x 1024 game area centred on it. Our windows have no border, so
    // the client area already starts at the frame's corner.
    if (CWnd* frame = GetParentFrame()) {
        int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
        if (sw <= 1280) frame->MoveWindow(0, 0, sw, sh, TRUE);
        frame->BringWindowToTop();
    }

    ParseCommandLine();
    if (doc) {
        // A current player whose place is empty is no player.
        CPlayerRecord* current = doc->GetRoster().GetCurrent();
        if (current && current->Name.IsEmpty()) doc->GetRoster().CurrentPlayer = -1;
    }
    ReadCommandSwitches();

    // The empty sprite stands in for any picture that cannot be loaded.
    CString pictures = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    if (CSprite* empty = LoadSpriteSet(pictures + "null.giz", TRUE, 0, 1, 1, -1)) {
        GetSprites().Remove(empty, FALSE);
        delete s_pFallbackSprite;
        s_pFallbackSprite = empty;
    }
    LoadLetterSet("Letter Set");
    BuildSinCosTables();

    if (!JoinRequested) {
        EnterMode(MODE_LOGO);
        return;
    }
    StartSound();
    // A network start: the lobby asks for a player when the name given is
    // not one of the roster's.
    if (PlayerName.IsEmpty() && (!doc || doc->GetRoster().CurrentPlayer < 0)) {
        AskForPlayer = 1;
    } else if (doc) {
        CPlayerRoster& roster = doc->GetRoster();
        roster.CurrentPlayer = -1;
        for (int i = 0; i < 10; ++i) {
            if (!PlayerName.IsEmpty() && roster.Players[i].Name == PlayerName) {
                roster.CurrentPlayer = i;
                break;
            }
        }
        if (roster.CurrentPlayer < 0) AskForPlayer = 1;
    }
    if (!EnterMode(MODE_DUAL)) {
        JoinRequested = 0;
        ChangeMode(MODE_MAIN_MENU);
        if (!HostRequested) PrintMessage("ERROR: Couldn't establish connection to %s", (const char*)JoinAddress);
        HostRequested = 0;
        JoinAddress.Empty();
    }
}

void COrvaneView::ParseCommandLine() {
    Args.clear();
    const char* p = GetCommandLine();
    std::string word;
    bool quoted = false, inWord = false;
    for (; *p; ++p) {
        if (*p == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (*p == ' ' && !quoted) {
            if (inWord) Args.push_back(word.c_str());
            word.clear();
            inWord = false;
        } else {
            word += *p;
            inWord = true;
        }
    }
    if (inWord) Args.push_back(word.c_str());
    ArgCount = int(Args.size());
}

void COrvaneView::ReadCommandSwitches() {
    CString name;
    bool sawJoin = false, sawHost = false;
    for (int i = 1; i < ArgCount; ++i) {
        const CString& a = Args[size_t(i)];
        if (a == "-join") {
            if (i + 1 >= ArgCount) break;
            JoinRequested = 1;
            JoinAddress = Args[size_t(++i)];
            sawJoin = true;
        } else if (a == "-host") {
            JoinRequested = 1;
            HostRequested = 1;
            sawHost = true;
        } else if (a == "-name") {
            if (i + 1 >= ArgCount) break;
            name = Args[size_t(++i)];
        }
    }
    COrvaneDoc* doc = GetDocument();
    if (sawJoin && sawHost) {
        JoinRequested = 0;
        HostRequested = 0;
        JoinAddress.Empty();
        name = doc ? doc->GetPlayerName() : CString();
    }
    PlayerName = name;
    if (doc) doc->SetPlayerName(name);
}

// ---------------------------------------------------------------------------
// Teardown

void COrvaneView::ReleaseGameLists() {
    GetButtons().DeleteAll();
    GetIcons().DeleteAll();
    GetSprites().DeleteAll();
    HoverButton = 0;
    ResetStatusSummaries();
}

void COrvaneView::DeleteTempFiles() {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (int i = 0; i < TempFiles.GetCount(); ++i)
        if (CString* name = TempFiles.GetAt(i)) fs::remove(AfxResolvePath(*name), ec);
    TempFiles.RemoveAll();

    // The cache folder is addressed by its full path: the current folder is
    // never changed, so a missing cache folder deletes nothing elsewhere.
    COrvaneDoc* doc = GetDocument();
    CString cacheName = doc ? doc->GetCachePath() : CString("cache\\");
    if (!AfxPathExists(cacheName)) return;
    fs::path cache = AfxResolvePath(cacheName);
    if (!fs::is_directory(cache, ec)) return;
    std::vector<fs::path> doomed;
    for (const fs::directory_entry& e : fs::directory_iterator(cache, ec)) {
        if (!e.is_regular_file(ec)) continue;
        std::string file = e.path().filename().string();
        bool tmp = file.size() >= 4 && strcasecmp(file.c_str() + file.size() - 4, ".tmp") == 0;
        if (tmp || strcasecmp(file.c_str(), "resync.dat") == 0) doomed.push_back(e.path());
    }
    for (const fs::path& f : doomed) fs::remove(f, ec);
}
