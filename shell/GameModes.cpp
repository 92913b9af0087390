// The mode controller: leaving one screen and entering the next.
#include <cstdio>
#include <cstring>
#include <string>

#include "Animate/SoundNames.h"
#include "core/Helpers.h"
#include "shell/OrvaneView.h"
#include "core/Random.h"
#include "ui/MovieDlg.h"

namespace {
// The program's version, shown on the credits screens as "%d.%0*d".
const int kVersionMajor = 1;
const int kVersionMinor = 0;

// What the credits screens say, one line each.
const char* const kCreditsText =
    "A game of the warring clans\n"
    "\n"
    "Design and programming\n"
    "The Velmor team\n"
    "\n"
    "Pictures, letters, music and sounds\n"
    "Made by the Velmor data kit\n"
    "\n"
    "Thanks to every player\n"
    "who took the field";

const char* ModeTitle(int mode) {
    switch (mode) {
    case MODE_SBTTL_MENU: return "The historical battle menu";
    case MODE_SINGLE_BATTLE: return "The single battle screen";
    case MODE_NEW_CAMPAIGN: return "The new campaign screen";
    case MODE_CAMPAIGN_SETTING: return "The campaign setting screen";
    case MODE_LOAD_GAME: return "The load game screen";
    case MODE_WORLD_MAP: return "The world map";
    case MODE_REGION: return "The region screen";
    case MODE_OPTIONS: return "The options screen";
    case MODE_DUAL: return "Head to head play";
    case MODE_TACTIC: return "The deployment screen";
    case MODE_BATTLE: return "The battle screen";
    case MODE_AFTER_BATTLE: return "The battle results screen";
    case MODE_END_SCREENS: return "The end screen";
    default: return "That screen";
    }
}
}  // namespace

bool COrvaneView::IsModeAvailable(int mode) {
    switch (mode) {
    case MODE_LOGO:
    case MODE_INTRO:
    case MODE_DEMO_INTRO:
    case MODE_MAIN_MENU:
    case MODE_OPTIONS:
    case MODE_SBTTL_MENU:
    case MODE_SINGLE_BATTLE:
    case MODE_AFTER_BATTLE:
    case MODE_CREDITS:
    case MODE_TACTIC:
    case MODE_BATTLE:
    case 17:
    case 18:
    case MODE_END_SCREENS:
    case MODE_CLOSING_CREDITS: return true;
    default: return mode < 0 || mode > 20;
    }
}

CString COrvaneView::BackgroundName(const char* base, const char* extension) const {
    COrvaneDoc* doc = GetDocument();
    CString folder = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    return folder + (m_nScreenWidth > 1024 ? "" : "1024") + base + extension;
}

BOOL COrvaneView::LoadScreenBackground(const char* base, const char* extension) {
    CString name = BackgroundName(base, extension);
    if (LoadBackground(name, FALSE, FALSE, TRUE)) return TRUE;
    ReportFailedFile(name, "The background");
    return FALSE;
}

bool COrvaneView::ReportFailedFile(const CString& file, const char* what) {
    if (!m_failedFiles.insert(file.GetString()).second) return false;
    ShowMessage("ERROR: %s \"%s\" cannot be loaded.", what, (const char*)file);
    return true;
}

BOOL COrvaneView::ChangeMode(int newMode) {
    if (!IsModeAvailable(newMode)) {
        PrintMessage("ERROR: %s is not available.", ModeTitle(newMode));
        return TRUE;
    }
    RequestedMode = newMode;
    PopupWatch = 0;  // a popup that is up ends itself on its next timer tick

    if (IsConnected()) {
        // Let the peer's popups end first: a popup's own timers (4 and up)
        // run, and after ten of the view's ticks the wait is given up.
        int ticks = 0;
        MSG msg;
        while (PopupOpen && ticks < 10 && GetMessage(&msg, nullptr, WM_TIMER, WM_TIMER)) {
            if (msg.wParam >= 4) DispatchMessage(&msg);
            else ++ticks;
        }
        ChatEntry = 0;
        if (newMode == MODE_MAIN_MENU) {
            SetTimerInterval3(0);
            LocalSide = 0;
            OtherSide = 1;
            AfterConnection = 1;
            ChatEntry = 0;
        }
    }

    PreviousMode = GameMode;
    ::SetCursor(LoadCursor(nullptr, MAKEINTRESOURCE(IDC_WAIT)));
    ExitMode(-1);
    EnterMode(newMode);
    ::SetCursor(NormalCursor);
    RequestedMode = -1;
    ShiftHeld = 0;
    CtrlHeld = 0;
    return TRUE;
}

BOOL COrvaneView::EnterMode(int mode) {
    SetCapture();
    switch (mode) {
    case MODE_LOGO:
        GameMode = mode;
        // The sound device opens before the movie, which plays its own
        // sound on it.
        StartSound();
        LoadModeSounds();
        PlayLogoMovie();
        // The introduction follows at once; mode 0 is never left.
        return EnterMode(MODE_INTRO);

    case MODE_INTRO:
        GameMode = mode;
        LoadModeSounds();
        if (!LoadScreenBackground("Bkgnd Introduction Screen")) return FALSE;
        Render();
        m_bFullWindow = TRUE;
        PlayModeSound(kIntroMusicId);
        ::SetCursor(NormalCursor);
        EnableFrameAndView();
        return TRUE;

    case MODE_DEMO_INTRO:
        GameMode = mode;
        LoadModeSounds();
        if (!LoadScreenBackground("Bkgnd Demo Intro Screen", ".jpg")) return FALSE;
        Render();
        PlayModeSound(kIntroMusicId);
        ::SetCursor(NormalCursor);
        EnableFrameAndView();
        return TRUE;

    case MODE_MAIN_MENU:
        GameMode = mode;
        LoadModeSounds();
        NetworkScreen = 0;
        if (!LoadScreenBackground("Bkgnd Main Menu")) return FALSE;
        SetTimerInterval1(0);
        // One counted draw, as every entry of the menu has always made.
        CountedRand();
        LoadMainMenuButtons();
        if (COrvaneDoc* doc = GetDocument()) doc->m_campaign.Reset();
        m_bFullWindow = TRUE;
        SetButtonState(0, TRUE, FALSE, FALSE);
        Render();
        EnableFrameAndView();
        return TRUE;

    case MODE_OPTIONS:
        GameMode = mode;
        LoadModeSounds();
        m_bFullWindow = TRUE;
        return InitVolumeScreen();
    case MODE_SBTTL_MENU: {
        GameMode = mode;
        LoadModeSounds();
        NetworkScreen = 0;
        ShowCursor(FALSE);
        // The arrow sweeps over the map before the menu opens; a click ends
        // it at once.
        COrvaneDoc* doc = GetDocument();
        CString pictures = doc ? doc->GetPicturesPath() : CString("Pictures\\");
        CString clipName = pictures + (m_nScreenWidth > 1024 ? "" : "1024") + "Bkgnd Arrow.anm";
        if (CAnimClip* clip = LoadAnimClip(clipName, 60, 0, 0, FALSE)) {
            PlayAnimClip(clip, FALSE, FALSE);
            DeleteAnimClip(clip);
        }
        GetIcons().DeleteAll();
        GetSprites().DeleteAll();
        BOOL ok = LoadScreenBackground("Bkgnd Arrow");
        if (ok) InitSingleBattleMenu();
        MSG msg;
        while (PeekMessage(&msg, nullptr, WM_LBUTTONDOWN, WM_MBUTTONDBLCLK, PM_REMOVE)) {
        }
        ShowCursor(TRUE);
        m_bFullWindow = TRUE;
        RedrawRect(nullptr, &GetIcons());
        SetButtonState(0, TRUE, FALSE, FALSE);
        Render();
        EnableFrameAndView();
        return ok;
    }

    case MODE_SINGLE_BATTLE: return EnterSingleBattle();

    case MODE_AFTER_BATTLE:
        GameMode = mode;
        SetTimerInterval3(50);
        FillStatusSummaries();
        if (!LoadScreenBackground("Bkgnd After Battle")) return FALSE;
        InitAfterBattleMode();
        LoadModeSounds();
        PlayModeSound(kAfterBattleMusicId);
        EnableFrameAndView();
        return TRUE;

    case MODE_CREDITS:
    case MODE_CLOSING_CREDITS:
        GameMode = mode;
        LoadModeSounds();
        if (mode == MODE_CREDITS) NetworkScreen = 0;
        if (!LoadScreenBackground("Bkgnd Credits Screen")) return FALSE;
        DrawCredits();
        Render();
        return TRUE;

    case MODE_TACTIC:
        GameMode = mode;
        LoadModeSounds();
        if (!LoadScreenBackground("Bkgnd Tactic Mode")) return FALSE;
        if (!InitTacticMode()) {
            PrintMessage("ERROR: No battle has been chosen.");
            ChangeMode(MODE_MAIN_MENU);
            return FALSE;
        }
        SetButtonState(1, FALSE, FALSE, FALSE);
        SetButtonState(2, FALSE, FALSE, FALSE);
        SetButtonState(3, TRUE, FALSE, FALSE);
        SetButtonState(4, TRUE, FALSE, FALSE);
        SetButtonState(252, FALSE, FALSE, FALSE);
        SetButtonState(253, FALSE, FALSE, FALSE);
        m_bFullWindow = TRUE;
        Render();
        return TRUE;

    case MODE_BATTLE:
        // A battle that cannot be shown goes back to the menu, never on to
        // an empty field.
        if (InitBattleMode()) return TRUE;
        return EnterMode(MODE_MAIN_MENU);

    case 17:
    case 18:
        GameMode = mode;
        return TRUE;

    case MODE_END_SCREENS:
        // An ending that cannot be shown leaves the player at the menu, not
        // on an empty screen.
        if (RunEndScreens()) return TRUE;
        return EnterMode(MODE_MAIN_MENU);

    default:
        // A number past the last mode does nothing; a screen the game does
        // not have cannot be entered.
        return IsModeAvailable(mode) ? TRUE : FALSE;
    }
}

BOOL COrvaneView::ExitMode(int mode) {
    if (mode == -1) mode = GameMode;
    switch (mode) {
    case MODE_LOGO:
    case MODE_REGION:
    case 17:
    case 18: return FALSE;
    case MODE_DEMO_INTRO: EnableFrameAndView(); return TRUE;
    case MODE_TACTIC: ExitTacticMode(); return FALSE;
    case MODE_BATTLE:
        // The battle's consequences are settled before the results show,
        // while the armies still stand.
        ComputeBattleAftermath();
        ExitBattleMode();
        return TRUE;
    case MODE_MAIN_MENU:
        GetButtons().DeleteAll();
        HoverButton = 0;
        return TRUE;
    case MODE_OPTIONS:
        GetButtons().DeleteAll();
        GetIcons().DeleteAll();
        MusicDrag = EffectsDrag = 0;
        PressedVolumeButton = -1;
        return TRUE;
    case MODE_SBTTL_MENU: ExitSingleBattleMenu(); return TRUE;
    case MODE_SINGLE_BATTLE: return TRUE;
    case MODE_AFTER_BATTLE:
        ExitAfterBattle();
        ResetStatusSummaries();
        return TRUE;
    case MODE_CLOSING_CREDITS:
        if (DisplayRestore) ChangeDisplaySettings(nullptr, 0);
        if (ScreenSaverOff) SystemParametersInfo(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0);
        DisplayRestore = 0;
        ScreenSaverOff = 0;
        return TRUE;
    default: return TRUE;
    }
}

void COrvaneView::DrawCredits() {
    LoadLetterSet("Credits screen text");
    int lineHeight = GetLetterHeight();
    int lines = 1;
    for (const char* c = kCreditsText; *c; ++c) lines += *c == '\n';
    int top = (m_nScreenHeight - lines * lineHeight) / 2;
    // Each line centred on the screen.
    const char* start = kCreditsText;
    for (int i = 0; i < lines; ++i) {
        const char* end = std::strchr(start, '\n');
        std::string line(start, end ? size_t(end - start) : std::strlen(start));
        int x = (m_nScreenWidth - int(line.size()) * GetLetterWidth()) / 2;
        DrawLetterText(line.c_str(), x, top + i * lineHeight);
        if (!end) break;
        start = end + 1;
    }
    char version[32];
    std::snprintf(version, sizeof version, "%d.%0*d", kVersionMajor, 2, kVersionMinor);
    DrawLetterText(version, m_nScreenWidth - (int(std::strlen(version)) + 2) * GetLetterWidth(),
                   m_nScreenHeight - 2 * lineHeight);
    LoadLetterSet("Letter Set");
}

void COrvaneView::PlayLogoMovie() {
    COrvaneDoc* doc = GetDocument();
    CMovieDlg movie(nullptr, nullptr);
    movie.m_strMoviePath = (doc ? doc->GetSoundPath() : CString("Sound\\")) + "Publisher Logo.avi";
    movie.m_nColourDepth = m_nColourDepth;
    PopupWatch = 1;
    movie.m_pWatched = &PopupWatch;
    movie.m_nExpected = 1;
    if (CWnd* main = AfxGetMainWnd()) main->GetWindowRect(&movie.m_rcTarget);
    if (!doc || doc->GetFlagB()) movie.m_pSound = SoundManager.GetDirectSound();
    PopupOpen = 1;
    movie.DoModal();
    PopupOpen = 0;
}
