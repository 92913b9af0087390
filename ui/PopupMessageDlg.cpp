#include "ui/PopupMessageDlg.h"

#include <algorithm>
#include <strings.h>

#include "Animate/DialogPictureNames.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "platform/win/Win.h"

namespace {
const char* const kExtension = ".giz";
// Where the message picture stands, by kind.
const CPoint kMessageAt[5] = {{0, 0}, {90, 16}, {90, 16}, {12, 11}, {83, 18}};
const CPoint kPortraitAt{17, 16};
// The unit icon is centred here.
const CPoint kUnitIconCentre{47, 174};
// Every icon of the popup takes this frame.
const CRect kIconFrame(24, 49, 29, 42);
// The figures A..H and where they are written.
const CPoint kFigureAt[8] = {{195, 81}, {195, 98}, {195, 147}, {195, 164}, {195, 181}, {195, 198}, {50, 115}, {50, 216}};
// A figure is hidden ("?") at an information level at or below this.
const int kHiddenAtOrBelow[8] = {0, 30, 50, 50, 50, 50, 70, 70};
const int kMessageGeneralDead = 29;
}  // namespace

CPopupMessageDlg::CPopupMessageDlg(const char* picturesFolder, int messageId, const char* speakerName,
                                   CArmyElement* subject, const char* clanName, int colourDepth,
                                   CImagePalette* palette, CWnd* parent, BOOL autoClose, int autoCloseSeconds,
                                   int closeKey, UINT_PTR timerId)
    : CNoticeDlg(101, colourDepth, palette, parent, autoClose, autoCloseSeconds, timerId),
      m_strPictures(picturesFolder),
      m_nMessage(messageId),
      m_nKind(PopupKind(messageId)),
      m_strSpeaker(speakerName ? speakerName : ""),
      m_pSubject(subject),
      m_nCloseKey(closeKey) {
    m_strPictureFolder = m_strPictures;
    // The player's own house shows its soldiers without a clan name.
    if (clanName && *clanName && strcasecmp(clanName, kHomeClan) != 0) m_strClanPrefix = CString(clanName) + " ";
}

CString CPopupMessageDlg::UnitIconName(const char* clanPrefix, int unitKind) {
    const char* name = unitKind >= 0 && unitKind < int(std::size(kUnitIconNames)) ? kUnitIconNames[unitKind]
                                                                                   : " Swordman";
    return CString(kUnitIconPrefix) + clanPrefix + name;
}

CIcon* CPopupMessageDlg::PlacePicture(const CString& name, int id, int x, int y) {
    // A picture that cannot be loaded is reported by the loader; the popup
    // goes on without it.
    CSprite* sprite = AddSprite(m_strPictures + name + kExtension, TRUE, id, 1, 1);
    if (!sprite) return nullptr;
    return AddIcon(sprite, x, y, id, TRUE, UINT(id), kIconFrame);
}

void CPopupMessageDlg::Show() {
    if (m_nKind == 0) return;
    LoadNoticeBackground(m_strPictures + kPopupBackgrounds[m_nKind] + kExtension);
    PlacePicture(CString(kPopupMessagePrefix) + kPopupMessages[m_nMessage], 0, kMessageAt[m_nKind].x,
                 kMessageAt[m_nKind].y);
    bool portrait = m_nKind == 4 || ((m_nKind == 1 || m_nKind == 2) && !m_strSpeaker.IsEmpty());
    if (portrait) PlacePicture("portrait//" + m_strSpeaker, 1, kPortraitAt.x, kPortraitAt.y);
    if (m_nKind != 4) return;
    if (m_nMessage == kMessageGeneralDead)
        if (CIcon* cross = PlacePicture("AFBT Big Red X", 2, kPortraitAt.x, kPortraitAt.y))
            cross->SetDepth(32767, FALSE);
    const CUnit* unit = dynamic_cast<const CUnit*>(m_pSubject);
    CString iconName = UnitIconName(m_strClanPrefix, unit ? unit->m_kind : 0);
    if (CSprite* sprite = AddSprite(m_strPictures + iconName + kExtension, TRUE, 3, 1, 1)) {
        int x = kUnitIconCentre.x - sprite->GetWidth() / 2, y = kUnitIconCentre.y - sprite->GetHeight() / 2;
        AddIcon(sprite, x, y, 3, TRUE, 3, kIconFrame);
    }
    m_icons.Resort();
}

void CPopupMessageDlg::MakeFigures() {
    const CUnit* unit = dynamic_cast<const CUnit*>(m_pSubject);
    if (!unit) return;
    const CDivision* division = unit->GetDivision();
    int divisionRating = 0;
    if (division) {
        int sum = 0, count = 0;
        for (POSITION bp = division->m_battalions.GetHeadPosition(); bp;) {
            const CBattalion* b = division->m_battalions.GetBattalion(bp);
            for (POSITION up = b->m_units.GetHeadPosition(); up; ++count) sum += b->m_units.GetUnit(up)->GetRating();
        }
        divisionRating = count ? sum / count : 0;
    }
    int values[6] = {
        division ? division->GetStrength() : 0,
        std::min(100, divisionRating / 30),
        unit->m_headCount,
        std::min(100, unit->GetRating() / 30),
        std::min(100, unit->m_strengthValue / 50),
        unit->m_kindFigure,
    };
    for (int i = 0; i < 6; ++i) m_figures[i].Format("%d", values[i]);
    m_figures[6].Format("%.0f%%", double(std::min(100, unit->GetAttackChance(nullptr) * 8)));
    m_figures[7].Format("%.0f%%", double(std::min(100, unit->GetDefenceChance())));
    for (int i = 0; i < 8; ++i)
        if (m_nInfoLevel <= kHiddenAtOrBelow[i]) m_figures[i] = "?";
}

BOOL CPopupMessageDlg::OnInitDialog() {
    CNoticeDlg::OnInitDialog();
    if (m_nKind == 4) {
        MakeFigures();
        if (LoadLetterSet("Letter Sets Black")) {
            for (int i = 0; i < 8; ++i) DrawLetterText(m_figures[i], kFigureAt[i].x, kFigureAt[i].y, nullptr, 1.0);
            FreeLetterSet();
            PaintRect(nullptr);
        }
    }
    return TRUE;
}

void CPopupMessageDlg::OnLButtonDown(UINT, CPoint) { EndDialog(kClosed); }

void CPopupMessageDlg::OnKeyUp(UINT ch, UINT, UINT) {
    if (m_nCloseKey == -1 || (m_nCloseKey != 0 && int(ch) == m_nCloseKey)) EndDialog(kClosed);
}
