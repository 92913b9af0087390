// Around the options: running the options dialog from the profile and
// storing what it returns, the pause that Escape makes of it, and the
// volume screen (mode 11) with its two sliders.
#include <algorithm>

#include "Animate/DialogPictureNames.h"
#include "shell/OrvaneApp.h"
#include "shell/OrvaneView.h"
#include "ui/OptionsDlg.h"

namespace {
const char* const kExtension = ".giz";
const int kVolumeOk = 4;
// The volume screen's icons and the sample played when a slider is let go.
const int kMusicSliderId = 300, kEffectsSliderId = 301;
const int kSliderSpriteId = 300;
const int kSampleSound = 10;
}  // namespace

int COrvaneView::VolumeLevelOfSlider(int slider) { return (std::clamp(slider, 0, 100) * 9 + 50) / 100; }

void COrvaneView::ApplyVolumes(int music, int effects) {
    COrvaneDoc* doc = GetDocument();
    if (!doc) return;
    int oldMusicVolume = doc->GetMusicVolume();
    if (music == -1) music = doc->GetMusicLevel();
    if (effects == -1) effects = doc->GetSoundLevel();
    // The document's volume tables have ten steps: no other level is kept.
    doc->SetMusicLevel(std::clamp(music, 0, 9));
    doc->SetSoundLevel(std::clamp(effects, 0, 9));
    SoundManager.RestartLoop(doc->GetMusicVolume(), oldMusicVolume, doc->GetSoundVolume());
}

int COrvaneView::RunOptionsDialog(BOOL askQuit, BOOL bringToFront) {
    COrvaneDoc* doc = GetDocument();
    if (!doc) return 0;
    CPlayerRoster& profile = doc->GetRoster();
    BOOL saveAllowed = GameMode == MODE_WORLD_MAP;
    COptionsDlg dlg(askQuit, saveAllowed, bringToFront, doc->GetSavedDataPath(), nullptr, nullptr);
    if (saveAllowed) {
        dlg.Stage = doc->m_campaign.m_nStage;
        dlg.Year = doc->m_campaign.m_nYear;
    }
    dlg.m_strPictureFolder = doc->GetPicturesPath();
    dlg.m_strButtonFolder = doc->GetCmbPath();
    dlg.m_nColourDepth = m_nColourDepth;
    dlg.DisplayOptionA = DisplaySwitchA;
    dlg.DisplayOptionB = DisplaySwitchB;
    dlg.MusicLevel = std::clamp(doc->GetMusicLevel(), 0, 9);
    dlg.SoundLevel = std::clamp(doc->GetSoundLevel(), 0, 9);
    dlg.MusicOn = doc->GetFlagA() ? 1 : 0;
    dlg.SoundOn = doc->GetFlagB() ? 1 : 0;
    dlg.SpeedLevel = doc->GetSpeedLevel();
    dlg.ScrollLevel = doc->GetScrollLevel();
    dlg.GraphicChoice = std::clamp<int>(profile.GraphicChoice, 0, 2);
    if (!dlg.LoadBackground(doc->GetPicturesPath() + kOptionBackgrounds[0] + kExtension, FALSE)) {
        ReportFailedFile(doc->GetPicturesPath() + kOptionBackgrounds[0] + kExtension, "The options picture");
        return 0;
    }
    dlg.m_strBackgroundName = doc->GetPicturesPath() + kOptionBackgrounds[0] + kExtension;

    PopupOpen = 1;
    INT_PTR result = dlg.DoModal();
    PopupOpen = 0;

    // Whatever way it closed, what the player set holds.
    DisplaySwitchA = dlg.DisplayOptionA;
    DisplaySwitchB = dlg.DisplayOptionB;
    ApplyVolumes(dlg.MusicLevel, dlg.SoundLevel);
    doc->SetFlagA(dlg.MusicOn);
    SoundManager.EnableMusic(dlg.MusicOn);
    doc->SetFlagB(dlg.SoundOn);
    SoundManager.EnableEffects(dlg.SoundOn);
    if (dlg.SpeedLevel != -1) doc->SetSpeedLevel(dlg.SpeedLevel);
    if (dlg.ScrollLevel != -1) doc->SetScrollLevel(dlg.ScrollLevel);
    profile.DisplayOptionB = dlg.DisplayOptionB;
    profile.DisplayOptionA = dlg.DisplayOptionA;
    profile.GraphicChoice = std::clamp(dlg.GraphicChoice, 0, 2);
    doc->StoreProfile();
    DisplaySwitchA = profile.DisplayOptionA;
    DisplaySwitchB = profile.DisplayOptionB;
    for (int slot = 0; slot < 6; ++slot)
        if (dlg.SaveMarks[slot]) doc->SerializeGameSlot(slot, true, dlg.SaveHeaders[slot]);

    if (result == COptionsDlg::kExit && askQuit) {
        ChangeMode(MODE_MAIN_MENU);
        return 0;
    }
    return 1;
}

void COrvaneView::PauseForOptions() {
    if (GameMode == MODE_END_SCREENS) return;
    bool networked = IsConnected();
    if (!networked) {
        for (int i = 0; i < 3; ++i) SavedIntervals[i] = Channels[i].Interval;
        SetTimerInterval1(0);
        SetTimerInterval2(0);
        SetTimerInterval3(0);
        GamePaused = 1;
    }
    while (ShowCursor(TRUE) < 0) {
    }
    int result = 1;
    switch (GameMode) {
    case MODE_INTRO:
    case MODE_DEMO_INTRO: ChangeMode(MODE_MAIN_MENU); break;
    case MODE_CLOSING_CREDITS:
        if (CWnd* frame = GetParentFrame()) frame->PostMessage(WM_CLOSE);
        break;
    case MODE_BATTLE:
        if (DemoPlayback) {
            DemoPlayback = 0;
            ClearOrderQueues();
            ChangeMode(MODE_MAIN_MENU);
        } else {
            result = RunOptionsDialog(TRUE, networked);
        }
        break;
    case MODE_DUAL:
    case MODE_WORLD_MAP: result = RunOptionsDialog(TRUE, FALSE); break;
    default: result = RunOptionsDialog(GameMode != MODE_MAIN_MENU, FALSE); break;
    }
    if (result == 0) return;
    if (!networked) {
        GamePaused = 0;
        SetTimerInterval1(SavedIntervals[0]);
        SetTimerInterval2(SavedIntervals[1]);
        SetTimerInterval3(SavedIntervals[2]);
    }
}

// ---------------------------------------------------------------------------
// The volume screen

BOOL COrvaneView::InitVolumeScreen() {
    int W = m_nScreenWidth, H = m_nScreenHeight;
    CString pictures = GetPicturesFolder();
    if (!LoadScreenBackground("Bkgnd Main Menu")) return FALSE;
    auto place = [&](const char* name, int id, int x, int y) -> CIcon* {
        CSprite* sprite = LoadSpriteSet(pictures + name + kExtension, TRUE, id, 1, 1, -1);
        if (!sprite) return nullptr;
        return AddIcon(sprite, x, y, id, TRUE, 0, 0, 0, 0, 0);
    };
    place(kVolumePictures[0], 310, W / 2 - 350, H / 2 - 105);
    place(kVolumePictures[1], 311, W / 2 - 350, H / 2 + 5);
    if (CSprite* slider = LoadSpriteSet(pictures + kVolumeSlider + kExtension, TRUE, kSliderSpriteId, 1, 1, -1)) {
        // The sliders are drawn by their level, never whole.
        AddIcon(slider, W / 2 - 50, H / 2 - 105, kMusicSliderId, TRUE, 0, 0, 0, 0, 0)->m_bEnabled = FALSE;
        AddIcon(slider, W / 2 - 50, H / 2 + 5, kEffectsSliderId, TRUE, 0, 0, 0, 0, 0)->m_bEnabled = FALSE;
    }
    AddCommandButton(kVolumeOk, kVolumeOkButton, W - 124, H - 26, TRUE);
    COrvaneDoc* doc = GetDocument();
    GetButtons().LoadAll(doc ? doc->GetCmbPath() : CString("Pictures\\Cmb\\"), m_nColourDepth, nullptr);
    MusicDrag = EffectsDrag = 0;
    PressedVolumeButton = -1;
    DrawBackground(nullptr);
    DrawAllSprites(TRUE);
    SetButtonState(0, TRUE, FALSE, FALSE);
    OnVolumeSliderDrag(CPoint(-1, -1), FALSE);
    Render();
    return TRUE;
}

void COrvaneView::OnVolumeSliderDown(CPoint point) {
    if (CCommandButton* b = GetButtons().HitTest(point.x, point.y, TRUE)) {
        PressedVolumeButton = b->GetId();
        SetButtonState(PressedVolumeButton, FALSE, FALSE, TRUE);
        return;
    }
    CIcon* music = GetIcons().FindById(kMusicSliderId);
    CIcon* effects = GetIcons().FindById(kEffectsSliderId);
    if (music && music->GetBoundingRect().PtInRect(point)) MusicDrag = 1;
    else if (effects && effects->GetBoundingRect().PtInRect(point)) EffectsDrag = 1;
    if (MusicDrag || EffectsDrag) OnVolumeSliderDrag(point, TRUE);
}

void COrvaneView::OnVolumeSliderDrag(CPoint point, BOOL redraw) {
    COrvaneDoc* doc = GetDocument();
    CIcon* sliders[2] = {GetIcons().FindById(kMusicSliderId), GetIcons().FindById(kEffectsSliderId)};
    BYTE drags[2] = {MusicDrag, EffectsDrag};
    for (int i = 0; i < 2; ++i) {
        CIcon* slider = sliders[i];
        if (!slider || !doc) continue;
        int level = VolumeSliderLevel(i == 0 ? doc->GetMusicLevel() : doc->GetSoundLevel());
        if (drags[i]) {
            level = std::clamp((point.x - slider->m_x) / 4, 0, 100);
            if (i == 0) ApplyVolumes(VolumeLevelOfSlider(level), -1);
            else ApplyVolumes(-1, VolumeLevelOfSlider(level));
        } else if (point.x != -1 || point.y != -1) {
            continue;
        }
        CRect whole = slider->GetBoundingRect();
        RedrawRect(&whole, &GetIcons());
        CRect shown(whole.left, whole.top, whole.left + level * 4 + 4, whole.bottom);
        slider->m_bEnabled = TRUE;
        slider->Draw(GetBackBuffer(), shown);
        slider->m_bEnabled = FALSE;
        if (redraw) Render(&whole);
    }
}

void COrvaneView::OnVolumeSliderUp(CPoint point) {
    if (PressedVolumeButton > 0) {
        int id = PressedVolumeButton;
        PressedVolumeButton = -1;
        SetButtonState(id, TRUE, FALSE, TRUE);
        CCommandButton* b = GetButtons().HitTest(point.x, point.y, TRUE);
        if (id == kVolumeOk && b && b->GetId() == kVolumeOk) {
            ChangeMode(MODE_MAIN_MENU);
            return;
        }
    }
    if (MusicDrag || EffectsDrag) {
        MusicDrag = EffectsDrag = 0;
        COrvaneDoc* doc = GetDocument();
        SoundManager.Play(kSampleSound, 0, doc ? doc->GetSoundVolume() : 10000, 10000);
    }
}
