#include "ui/OptionsDlg.h"

#include <algorithm>
#include <ctime>

#include "Animate/DialogPictureNames.h"
#include "platform/win/Win.h"

namespace {
const char* const kExtension = ".giz";
// The program's version word: high byte major, low byte minor.
const int kVersionWord = 0x100;

struct ButtonPlace {
    int id;
    const char* picture;
    int x, y;
};
// Buttons 1..15 and their first places.
const ButtonPlace kButtons[] = {
    {1, "Cmb Option Graphic", 22, 22}, {2, "Cmb Option Sound", 404, 0}, {3, "Cmb Option Help", 302, 314},
    {4, "Cmb Option Save", 20, 319},   {5, "Cmb Option Exit", 201, 0},  {6, "Cmb OK Med", 145, 200},
    {7, "Cmb Cancel Med", 200, 200},   {8, "Cmb Tick", 47, 54},         {9, "Cmb Tick", 81, 97},
    {10, "Cmb Tick", 81, 104},         {11, "Cmb Tick", 165, 206},      {12, "Cmb Tick", 165, 246},
    {13, "Cmb Tick", 270, 280},        {14, "Cmb Tick", 81, 280},       {15, "Cmb Tick", 81, 240},
};
const int kSlotTops[6] = {68, 127, 189, 253, 315, 377};
const int kSlotLeft = 146;
const CPoint kBarAt[4] = {{118, 65}, {118, 130}, {229, 359}, {229, 405}};
const int kBarHeight = 40;
const CPoint kTopicAt{82, 58};
const int kTopicSpriteBase = 100;
const int kBarSpriteId = 50;

// Help buttons 22..47 by their picture; topics that each button opens.
int HelpTopicOf(int id) {
    static const int kTopics[] = {1, 2, 7, 16};
    if (id >= 24 && id <= 27) return kTopics[id - 24];
    if (id >= 28 && id <= 31) return 3 + (id - 28);
    if (id >= 32 && id <= 39) return 8 + (id - 32);
    if (id >= 40 && id <= 47) return 17 + (id - 40);
    return -1;
}
// The section a topic belongs to: where "back" goes.
int HelpSectionOf(int topic) {
    if (topic == 1 || topic == 2 || topic == 7 || topic == 16) return 0;
    if (topic >= 3 && topic <= 6) return 2;
    if (topic >= 8 && topic <= 15) return 7;
    if (topic >= 17) return 16;
    return 0;
}
// The buttons a topic shows.
void HelpButtonRange(int topic, int& first, int& last) {
    first = last = 0;
    switch (topic) {
    case 0: first = 24, last = 27; break;
    case 2: first = 28, last = 31; break;
    case 7: first = 32, last = 39; break;
    case 16: first = 40, last = 47; break;
    default: break;
    }
}
}  // namespace

COptionsDlg::COptionsDlg(BOOL askQuit, BOOL saveAllowed, BOOL bringToFront, const char* savedDataFolder,
                         CImagePalette* palette, CWnd* parent)
    : CGameDialog(163, parent),
      m_bAskQuit(askQuit),
      m_bSaveAllowed(saveAllowed),
      m_bBringToFront(bringToFront),
      m_strSavedData(savedDataFolder) {
    m_pPalette = palette;
}

CPoint COptionsDlg::BarPosition(int bar) { return kBarAt[bar]; }

int COptionsDlg::LevelAt(int bar, int x) const {
    // A click past the tenth step of a wide bar still gives the top level.
    return std::clamp((x - kBarAt[bar].x) / 20, 0, 9);
}

int* COptionsDlg::BarLevel(int bar) {
    switch (bar) {
    case kEffectsBar: return &SoundLevel;
    case kMusicBar: return &MusicLevel;
    case kSpeedBar: return &SpeedLevel;
    default: return &ScrollLevel;
    }
}

BOOL COptionsDlg::OnInitDialog() {
    LoadLetterSet();
    for (const ButtonPlace& b : kButtons) AddCommandButton(b.id, b.picture, b.x, b.y, FALSE);
    for (int i = 0; i < kSaveSlots; ++i)
        AddCommandButton(16 + i, (kSaveSlotButton + std::to_string(i)).c_str(), kSlotLeft, kSlotTops[i], FALSE);
    AddCommandButton(22, CString(kHelpFolder) + kHelpButtons[0], 81, 396, FALSE);
    AddCommandButton(23, CString(kHelpFolder) + kHelpButtons[1], 81, 426, FALSE);
    for (int id = 24; id <= 47; ++id) {
        int y = id <= 27 ? 57 + 40 * (id - 24) : id <= 31 ? 88 + 30 * (id - 28) : id <= 39 ? 88 + 30 * (id - 32)
                                                                                            : 88 + 30 * (id - 40);
        AddCommandButton(id, CString(kHelpFolder) + kHelpButtons[id - 22], 81, y, FALSE);
    }
    m_buttons.LoadAll(m_strButtonFolder, m_nColourDepth, nullptr);
    if (CSprite* bar = AddSprite(m_strPictureFolder + kOptionSlider + kExtension, TRUE, kBarSpriteId, 1, 1)) {
        for (int i = 0; i < kBars; ++i) {
            m_bars[i] = AddIcon(bar, kBarAt[i].x, kBarAt[i].y, 60 + i, TRUE, 0, CRect(0, 0, 0, 0));
            // Bars are drawn by their level, never whole.
            m_bars[i]->m_bEnabled = FALSE;
        }
    }
    CGameDialog::OnInitDialog();
    if (!m_bBringToFront && m_nTimer) {
        KillTimer(m_nTimerEvent);
        m_nTimer = 0;
    }
    ShowPage(kMain);
    return TRUE;
}

BOOL COptionsDlg::DestroyWindow() {
    m_pPalette = nullptr;
    m_pTopic = nullptr;
    for (CIcon*& bar : m_bars) bar = nullptr;
    if (GetCapture() == this) ReleaseCapture();
    return CGameDialog::DestroyWindow();
}

void COptionsDlg::OnSetFocus(CWnd* oldWnd) {
    CGameDialog::OnSetFocus(oldWnd);
    SetCapture();
}

void COptionsDlg::OnTimer(UINT_PTR id) {
    // The first tick brings the dialog to the top; then the timer goes.
    if (id != m_nTimerEvent) return;
    BringWindowToTop();
    SetFocus();
    KillTimer(m_nTimerEvent);
    m_nTimer = 0;
}

void COptionsDlg::ShowPage(int page) {
    if (m_nPage == kHelp && page != kHelp) m_nHelpTopic = -1;
    m_nPage = page;
    for (int id = 1; id <= 47; ++id) m_buttons.EnableButton(id, FALSE);
    m_nHover = 0;
    m_nSelectedSlot = -1;
    m_okPressed = m_cancelPressed = 0;
    CCommandButton* ok = m_buttons.FindById(6);
    CCommandButton* cancel = m_buttons.FindById(7);
    switch (page) {
    case kMain:
        LoadBackground(m_strPictureFolder + kOptionBackgrounds[0] + kExtension, FALSE);
        for (int id = 1; id <= 5; ++id) m_buttons.EnableButton(id, TRUE);
        if (ok) ok->SetPosition(195, 435);
        m_buttons.EnableButton(6, TRUE);
        break;
    case kGraphic:
        LoadBackground(m_strPictureFolder + kOptionBackgrounds[1] + kExtension, FALSE);
        if (ok) ok->SetPosition(447, 425);
        if (CCommandButton* b = m_buttons.FindById(10)) b->SetPosition(81, 140);
        for (int id : {6, 9, 10, 13, 14, 15}) m_buttons.EnableButton(id, TRUE);
        break;
    case kSound:
        LoadBackground(m_strPictureFolder + kOptionBackgrounds[2] + kExtension, FALSE);
        if (ok) ok->SetPosition(447, 425);
        for (int id : {6, 11, 12}) m_buttons.EnableButton(id, TRUE);
        break;
    case kHelp:
        LoadBackground(m_strPictureFolder + kOptionBackgrounds[3] + kExtension, FALSE);
        if (ok) ok->SetPosition(447, 425);
        m_buttons.EnableButton(6, TRUE);
        ShowHelpTopic(0);
        return;
    case kSave:
        LoadBackground(m_strPictureFolder + kOptionBackgrounds[4] + kExtension, FALSE);
        if (ok) ok->SetPosition(153, 422);
        if (cancel) cancel->SetPosition(330, 422);
        for (int id = 6; id <= 7; ++id) m_buttons.EnableButton(id, TRUE);
        for (int id = 16; id <= 21; ++id) m_buttons.EnableButton(id, TRUE);
        MakeSlotLabels();
        break;
    default: break;
    }
    Redraw();
}

void COptionsDlg::ShowHelpTopic(int topic) {
    if (topic < 0 || topic >= int(std::size(kHelpTopics))) return;
    if (m_pTopic) {
        m_icons.Remove(m_pTopic, TRUE);
        m_pTopic = nullptr;
    }
    for (int id = 22; id <= 47; ++id) m_buttons.EnableButton(id, FALSE);
    int spriteId = kTopicSpriteBase + topic;
    CSprite* sprite = m_sprites.Find(spriteId);
    if (!sprite)
        sprite = AddSprite(m_strPictureFolder + kHelpFolder + kHelpTopics[topic] + kExtension, TRUE, spriteId, 1, 1);
    if (sprite) m_pTopic = AddIcon(sprite, kTopicAt.x, kTopicAt.y, 200 + topic, TRUE, 0, CRect(0, 0, 0, 0));
    int first = 0, last = 0;
    HelpButtonRange(topic, first, last);
    for (int id = first; first && id <= last; ++id) m_buttons.EnableButton(id, TRUE);
    if (topic != 0) {
        m_buttons.EnableButton(22, TRUE);
        m_buttons.EnableButton(23, TRUE);
    }
    m_nHelpTopic = topic;
    Redraw();
}

void COptionsDlg::MakeSlotLabels() {
    m_slotLabels[0] = "Autosave";
    for (int i = 1; i < kSaveSlots; ++i) {
        m_slotLabels[i] = "Empty";
        CString name;
        name.Format("%sSaved Game %d.sav", (const char*)m_strSavedData, i);
        CFile file;
        CSaveGameInfo header;
        if (!file.Open(name, CFile::modeRead) || !header.Read(file) || header.IsEmpty()) continue;
        char when[64] = "";
        time_t t = time_t(uint32_t(header.saveTime));
        struct tm parts;
        if (gmtime_r(&t, &parts)) strftime(when, sizeof when, "%m/%d/%y    %H:%M:%S", &parts);
        CString stage;
        stage.Format("Stage %d", header.battle);
        m_slotLabels[i].Format("%d - %s\n%s", header.year, (const char*)stage, when);
    }
}

void COptionsDlg::DrawBar(int bar, int level) {
    CIcon* icon = m_bars[bar];
    if (!icon || !GetSurface()) return;
    CRect shown(kBarAt[bar].x, kBarAt[bar].y, kBarAt[bar].x + 20 + 20 * level, kBarAt[bar].y + kBarHeight);
    icon->m_bEnabled = TRUE;
    icon->Draw(GetSurface(), shown);
    icon->m_bEnabled = FALSE;
}

void COptionsDlg::Redraw() {
    if (!GetSurface()) return;
    ComposeRect(nullptr, &m_icons);
    auto draw = [&](int id, BOOL up) {
        if (CCommandButton* b = m_buttons.FindById(id))
            if (b->m_bEnabled) b->Draw(GetSurface(), up);
    };
    switch (m_nPage) {
    case kMain:
        // The page buttons are seen only under the mouse.
        if (m_nHover >= 1 && m_nHover <= 5) draw(m_nHover, TRUE);
        draw(6, TRUE);
        break;
    case kGraphic:
        draw(6, TRUE);
        draw(9, !DisplayOptionA);
        draw(10, !DisplayOptionB);
        for (int id = 13; id <= 15; ++id) draw(id, GraphicChoice != id - 13);
        DrawBar(kSpeedBar, SpeedLevel);
        DrawBar(kScrollBar, ScrollLevel);
        break;
    case kSound:
        draw(6, TRUE);
        draw(11, !SoundOn);
        draw(12, !MusicOn);
        DrawBar(kEffectsBar, SoundLevel);
        DrawBar(kMusicBar, MusicLevel);
        break;
    case kHelp:
        draw(6, TRUE);
        // A help button under the mouse shows its other picture.
        for (int id = 22; id <= 47; ++id) draw(id, id != m_nHover);
        if (m_nHelpTopic == 1 && m_pTopic && LoadLetterSet("Letter Sets Black")) {
            DrawLetterTextFormat(m_pTopic->m_x + 401, m_pTopic->m_y + 3, 1.0, nullptr, "%d.%0*d", kVersionWord >> 8,
                                 2, kVersionWord & 0xFF);
            LoadLetterSet();
        }
        break;
    case kSave:
        draw(6, !m_okPressed);
        draw(7, !m_cancelPressed);
        for (int i = 0; i < kSaveSlots; ++i) {
            draw(16 + i, m_nSelectedSlot != i);
            bool plain = m_slotLabels[i] == "Empty" || m_slotLabels[i] == "Autosave";
            DrawLetterText(m_slotLabels[i], kSlotLeft + 10, kSlotTops[i] + (plain ? 12 : 2), nullptr,
                           i == 0 ? 0.5 : 1.0);
        }
        break;
    default: break;
    }
    PaintRect(nullptr);
}

void COptionsDlg::OnLButtonDown(UINT, CPoint point) {
    int id = m_buttons.HitTestId(point.x, point.y, TRUE);
    if (m_nPage == kSave) {
        ClickSave(id);
        return;
    }
    if (m_nPage == kGraphic || m_nPage == kSound) {
        int first = m_nPage == kGraphic ? kSpeedBar : kEffectsBar;
        for (int bar = first; bar < first + 2; ++bar) {
            CIcon* icon = m_bars[bar];
            if (!icon || !icon->GetBoundingRect().PtInRect(point)) continue;
            *BarLevel(bar) = LevelAt(bar, point.x);
            m_drag[bar] = 1;
            Redraw();
            return;
        }
    }
    if (id == 0) return;
    switch (m_nPage) {
    case kMain:
        if (id == 1) ShowPage(kGraphic);
        else if (id == 2) ShowPage(kSound);
        else if (id == 3) ShowPage(kHelp);
        else if (id == 4) {
            if (!m_bSaveAllowed) AfxMessageBox("Use this to save the game in campaign mode");
            else ShowPage(kSave);
        } else if (id == 5) {
            if (!m_bAskQuit || AfxMessageBox("Quit to Main Menu?", MB_YESNO) == IDYES) EndDialog(kExit);
        } else if (id == 6 || id == 7) {
            EndDialog(kClosed);
        }
        break;
    case kGraphic: ClickGraphic(id); break;
    case kSound:
        if (id == 6) ShowPage(kMain);
        else if (id == 11) SoundOn = !SoundOn;
        else if (id == 12) MusicOn = !MusicOn;
        Redraw();
        break;
    case kHelp:
        if (id == 6) ShowPage(kMain);
        else if (id == 23) ShowHelpTopic(0);
        else if (id == 22) ShowHelpTopic(HelpSectionOf(m_nHelpTopic));
        else if (HelpTopicOf(id) >= 0) ShowHelpTopic(HelpTopicOf(id));
        break;
    default: break;
    }
}

void COptionsDlg::ClickGraphic(int id) {
    if (id == 6) {
        ShowPage(kMain);
        return;
    }
    if (id == 9) DisplayOptionA = !DisplayOptionA;
    else if (id == 10) DisplayOptionB = !DisplayOptionB;
    else if (id == 8) {
        BYTE on = (DisplayOptionA || DisplayOptionB) ? 0 : 1;
        DisplayOptionA = DisplayOptionB = on;
    } else if (id >= 13 && id <= 15) {
        int choice = id - 13;
        if (choice != GraphicChoice) {
            GraphicChoice = choice;
            Redraw();
            AfxMessageBox("You must restart Velmor before the changes will take effect.");
        }
    }
    Redraw();
}

void COptionsDlg::ClickSave(int id) {
    if (id == 6) m_okPressed = 1;
    else if (id == 7) m_cancelPressed = 1;
    else if (id == 16) m_nSelectedSlot = -1;
    else if (id >= 17 && id <= 21) m_nSelectedSlot = m_nSelectedSlot == id - 16 ? -1 : id - 16;
    else m_nSelectedSlot = -1;
    Redraw();
}

void COptionsDlg::OnLButtonUp(UINT, CPoint) {
    for (BYTE& d : m_drag) d = 0;
    if (m_nPage != kSave) return;
    if (m_okPressed) {
        m_okPressed = 0;
        if (m_nSelectedSlot < 1) {
            Redraw();
            AfxMessageBox("Please select a slot to save your game.");
            return;
        }
        int slot = m_nSelectedSlot;
        SaveHeaders[slot] = CSaveGameInfo(Year, Stage, int32_t(CTime::GetCurrentTime().GetTime()));
        SaveMarks[slot] = 1;
        ShowPage(kMain);
    } else if (m_cancelPressed) {
        m_cancelPressed = 0;
        ShowPage(kMain);
    }
}

void COptionsDlg::OnMouseMove(UINT, CPoint point) {
    for (int bar = 0; bar < kBars; ++bar) {
        if (!m_drag[bar]) continue;
        int level = LevelAt(bar, point.x);
        if (level != *BarLevel(bar)) {
            *BarLevel(bar) = level;
            Redraw();
        }
        return;
    }
    if (m_nPage != kMain && m_nPage != kHelp) return;
    int id = m_buttons.HitTestId(point.x, point.y, TRUE);
    if (m_nPage == kMain && (id < 1 || id > 5)) id = 0;
    if (m_nPage == kHelp && !IsHelpButton(id)) id = 0;
    if (id != m_nHover) {
        m_nHover = id;
        Redraw();
    }
}

void COptionsDlg::OnOK() {
    // Enter closes the main page only.
    if (m_nPage == kMain) EndDialog(kClosed);
}
