#include "ui/DivisionSelectDlg.h"

#include <algorithm>
#include <cstdio>

#include "Animate/DialogPictureNames.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "platform/win/Win.h"
#include "ui/PopupMessageDlg.h"
#include "world/Person.h"
#include "world/PersonList.h"

namespace {
const char* const kExtension = ".giz";
const int kButtonDepth = 32766;
const UINT_PTR kDialogTimer = 4;
// The arm overview: one row per arm in this order.
const int kOverviewArms[5] = {1, 0, 3, 2, 4};
const int kSymbolsId = 13;
const CPoint kPortraitAt{12, 41};
const int kPortraitBase = 10000;
// Battalion rows of the preview.
const int kRowTops[4] = {72, 164, 256, 350};
const int kFirstRowY = 41, kRowPitch = 92;
const int kNotEnoughHorses = 12;
// A drag moves the window once the mouse has gone this far.
const int kDragThreshold = 4;

// The unit sprite, leader sprite and spacing of a battalion's row by arm.
struct RowLook {
    int unitSprite, leaderSprite, spacing;
};
RowLook LookOfArm(int arm) {
    switch (arm) {
    case 1: return {1, 7, -4};
    case 2: return {4, 6, 3};
    case 3: return {3, 6, -9};
    case 4: return {5, 6, 3};
    default: return {2, 6, 3};
    }
}
}  // namespace

CDivisionSelectDlg::CDivisionSelectDlg(CImagePalette* palette, CWnd* parent) : CGameDialog(132, parent) {
    m_pPalette = palette;
    m_nTimerEvent = kDialogTimer;
}

CDivisionSelectDlg::~CDivisionSelectDlg() = default;

int CDivisionSelectDlg::ButtonOfArm(int arm) {
    switch (arm) {
    case kCavalry: return 3;
    case kSpears: return 5;
    case kArchers:
    case kRifles: return 6;
    default: return 4;
    }
}

int CDivisionSelectDlg::GetArm() const { return m_pGeneral ? m_pGeneral->state : -1; }

void CDivisionSelectDlg::LoadClanSprites(const char* clan) {
    std::string house = clan ? clan : "";
    m_strPictureFolder = m_strPictures;
    for (int i = 0; i < 3; ++i) {
        const DialogSheet& s = kDivInfoSheets[i];
        static const int kIds[3] = {13, 11, 12};
        AddSprite(m_strPictures + s.name + kExtension, FALSE, kIds[i], s.rows, s.columns);
    }
    // Sprites 1..9: the unit icons the rows are drawn with.
    static const char* const kUnits[9] = {"Cavalry", "Swordman", "Spearman", "Archer",  "Rifleman",
                                          "Captain", "Captain On Horse", "General", "General"};
    for (int i = 0; i < 9; ++i)
        AddSprite(m_strPictures + UnitIconName(house, kUnits[i]).c_str() + kExtension, TRUE, i + 1, 1, 1);
}

void CDivisionSelectDlg::InitButtons() {
    static const CPoint kAt[6] = {{313, 412}, {443, 412}, {165, 10}, {266, 10}, {367, 10}, {468, 10}};
    for (int i = 0; i < 6; ++i) AddCommandButton(i + 1, kDivInfoButtons[i], kAt[i].x, kAt[i].y, TRUE, kButtonDepth);
    m_buttons.LoadAll(m_strButtons, m_nColourDepth, nullptr);
}

bool CDivisionSelectDlg::LoadBackground(const char* pictureName) {
    m_strBackgroundName = pictureName;
    return CGameDialog::LoadBackground(pictureName, FALSE) != FALSE;
}

BOOL CDivisionSelectDlg::OnInitDialog() {
    CGameDialog::OnInitDialog();
    LoadLetterSet();
    if (m_pGeneral) {
        // The arms he could field, one overview row each.
        int before = m_pGeneral->state;
        CSprite* symbols = m_sprites.Find(kSymbolsId);
        int y = 10;
        for (int arm : kOverviewArms) {
            if (m_pGeneral->PassesCheck(arm, 0.7, 1) && symbols) {
                auto* phased = DYNAMIC_DOWNCAST(CPhasedSprite, symbols);
                int grade = std::clamp(m_pGeneral->GetAbilityValue(arm) / 25, 0, 3);
                CIcon* icon = AddIcon(symbols, 10, y, 7000 + arm, TRUE, 0, CRect(0, 0, 0, 0));
                icon->m_nPhaseColumn = arm;
                icon->m_nPhaseRow = grade;
                (void)phased;
            }
            y += (symbols ? symbols->GetHeight() : 0) + 2;
        }
        m_pGeneral->state = before;
        // An arm he can no longer field falls back.
        if (m_pGeneral->state == kCavalry && !m_pGeneral->PassesCheck(kCavalry, 0.7, 1)) m_pGeneral->state = kSpears;
        if (m_pGeneral->state == kRifles && !m_pGeneral->PassesCheck(kRifles, 0.7, 1)) m_pGeneral->state = kArchers;
        CString portrait = m_strPortraits + m_pGeneral->text3 + kExtension;
        if (CSprite* s = AddSprite(portrait, TRUE, kPortraitBase + m_pGeneral->id, 1, 1))
            AddIcon(s, kPortraitAt.x, kPortraitAt.y, kPortraitBase + m_pGeneral->id, TRUE, 0, CRect(0, 0, 0, 0));
        BuildPreview();
        PressButton(ButtonOfArm(m_pGeneral->state));
    }
    ComposeRect(nullptr, &m_icons);
    for (int id = 1; id <= 6; ++id) DrawButton(id, id != m_nPressed, FALSE);
    PaintRect(nullptr);
    if (m_nTimer) KillTimer(m_nTimerEvent);
    m_nTimer = SetTimer(m_nTimerEvent, 1);
    return TRUE;
}

BOOL CDivisionSelectDlg::DestroyWindow() {
    m_pPalette = nullptr;
    if (GetCapture() == this) ReleaseCapture();
    return CGameDialog::DestroyWindow();
}

void CDivisionSelectDlg::OnSetFocus(CWnd* oldWnd) {
    CGameDialog::OnSetFocus(oldWnd);
    SetCapture();
    ::SetCursor(LoadCursor(nullptr, MAKEINTRESOURCE(IDC_ARROW)));
}

void CDivisionSelectDlg::OnTimer(UINT_PTR id) {
    if (id != m_nTimerEvent) return;
    if (!m_bShown) {
        BringWindowToTop();
        m_bShown = 1;
    }
    if (m_pWatched && *m_pWatched != m_nExpected) {
        KillTimer(m_nTimerEvent);
        m_nTimer = 0;
        EndDialog(kCancel);
    }
}

void CDivisionSelectDlg::PressButton(int id) {
    if (m_nPressed > 0 && m_nPressed != id && id > 2) DrawButton(m_nPressed, TRUE, TRUE);
    m_nPressed = id;
    DrawButton(id, FALSE, TRUE);
}

void CDivisionSelectDlg::SetArm(int arm) {
    m_pGeneral->state = arm;
    BuildPreview();
    ComposeRect(nullptr, &m_icons);
    for (int id = 1; id <= 6; ++id) DrawButton(id, id != m_nPressed, FALSE);
    PaintRect(nullptr);
}

void CDivisionSelectDlg::BuildPreview() {
    // Take down the last preview: its unit icons and commanders.
    for (int id = 100; id < 150; ++id) m_icons.RemoveById(id, TRUE);
    for (POSITION pos = m_icons.GetHeadPosition(); pos;) {
        auto* icon = static_cast<CIcon*>(m_icons.GetNext(pos));
        if (icon->m_nId >= kPortraitBase && m_pGeneral && icon->m_nId != kPortraitBase + m_pGeneral->id)
            icon->m_bEnabled = FALSE;
    }
    if (!m_pGeneral || !m_pPersons) return;
    m_pDivision = std::make_unique<CDivision>();
    if (!m_pDivision->CreateBattalions(m_pGeneral->id, *m_pPersons)) return;
    int place = 0;
    for (POSITION bp = m_pDivision->m_battalions.GetHeadPosition(); bp; ++place) {
        CBattalion* b = m_pDivision->m_battalions.GetBattalion(bp);
        int rowY = kFirstRowY + kRowPitch * place;
        CPerson* commander = b->m_general;
        if (commander && place > 0) {
            int id = kPortraitBase + commander->id;
            CSprite* s = m_sprites.Find(id);
            if (!s) s = AddSprite(m_strPortraits + commander->text3 + kExtension, TRUE, id, 1, 1);
            if (s) AddIcon(s, 76, rowY, id, TRUE, 0, CRect(0, 0, 0, 0));
        }
        if (commander) {
            CString text;
            text.Format("%-20.20s\n :%-3d", (const char*)commander->GetFullName(), std::min<int>(commander->sortKey, 99));
            DrawLetterText(text, 146, rowY + 4);
        }
        if (place >= 4) continue;
        RowLook look = LookOfArm(b->GetBattType());
        int leader = place == 0 ? 8 : look.leaderSprite;
        int x = 155, index = 0;
        for (POSITION up = b->m_units.GetHeadPosition(); up; ++index) {
            b->m_units.GetNext(up);
            CSprite* s = m_sprites.Find(index == 0 ? leader : look.unitSprite);
            if (!s) continue;
            AddIcon(s, x, kRowTops[place], (place + 10) * 10 + index, TRUE, 0, CRect(0, 0, 0, 0));
            x += s->GetWidth() + look.spacing;
        }
    }
}

void CDivisionSelectDlg::OnLButtonDown(UINT, CPoint point) {
    int id = m_buttons.HitTestId(point.x, point.y, TRUE);
    if (id == 0) {
        CRect client;
        GetClientRect(&client);
        if (client.PtInRect(point)) {
            m_dragArmed = 1;
            m_dragMoved = 0;
            m_press = point;
        }
        return;
    }
    int previous = m_nPressed;
    PressButton(id);
    if (!m_pGeneral) return;
    int arm = m_pGeneral->state;
    switch (id) {
    case 3:
        if (arm == kCavalry) break;
        if (m_pGeneral->PassesCheck(kCavalry, 0.7, 1)) {
            SetArm(kCavalry);
        } else {
            CPopupMessageDlg popup(m_strPictures, kNotEnoughHorses, "", nullptr, "", m_nColourDepth, nullptr, nullptr,
                                   TRUE, 5, -1, m_nTimerEvent + 1);
            popup.Show();
            popup.DoModal();
            DrawButton(3, TRUE, TRUE);
            m_nPressed = -1;
            if (previous > 0) PressButton(previous);
        }
        break;
    case 4:
        if (arm != kInfantry) SetArm(kInfantry);
        break;
    case 5:
        if (arm != kSpears) SetArm(kSpears);
        break;
    case 6:
        if (arm == kRifles) break;
        if (m_pGeneral->PassesCheck(kRifles, 0.7, 1)) SetArm(kRifles);
        else if (arm != kArchers) SetArm(kArchers);
        break;
    default: break;
    }
}

void CDivisionSelectDlg::OnMouseMove(UINT, CPoint point) {
    if (m_dragArmed && (std::abs(point.x - m_press.x) >= kDragThreshold ||
                        std::abs(point.y - m_press.y) >= kDragThreshold))
        m_dragMoved = 1;
}

void CDivisionSelectDlg::OnLButtonUp(UINT, CPoint point) {
    if (m_dragArmed) {
        if (m_dragMoved) {
            // The pressed spot follows the mouse; the window stays on the
            // screen.
            CRect r;
            GetWindowRect(&r);
            CPoint release(r.left + point.x, r.top + point.y);
            int w = r.Width(), h = r.Height();
            int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
            int left = std::clamp(int(release.x - m_press.x), 0, std::max(0, sw - w));
            int top = std::clamp(int(release.y - m_press.y), 0, std::max(0, sh - h));
            MoveWindow(left, top, w, h, TRUE);
        }
        m_dragArmed = m_dragMoved = 0;
        m_press = CPoint(-1000, -1000);
        return;
    }
    if (m_nPressed == 1) {
        EndDialog(kOK);
    } else if (m_nPressed == 2) {
        DrawButton(2, TRUE, TRUE);
        EndDialog(kCancel);
    }
}
