// The results screen (mode 16): both clans' result panels, a heading, the
// player's divisions in a row with a red cross over every division lost,
// and the figures of the battle. Its OK button returns to the single-battle
// menu.
#include <cstdio>

#include "Animate/DialogPictureNames.h"
#include "core/WorldNames.h"
#include "shell/OrvaneView.h"
#include "world/Nation.h"

namespace {

// Where the panels stand, by layout.
struct Place {
    int x1024, y1024, xLarge, yLarge;
};
constexpr Place kPanelA = {201, 49, 205, 225};
constexpr Place kPanelB = {632, 49, 886, 225};
constexpr Place kHeading = {435, 137, 558, 304};
// The row of the player's divisions, below the panels.
constexpr Place kDivisionRow = {512, 300, 640, 460};
constexpr int kDivisionGap[2] = {44, 56};  // 1024, large
constexpr Place kFigures = {201, 560, 205, 780};

// Sprite and icon ids of the screen.
constexpr int kPanelId = 50, kHeadingId = 52, kCrossId = 53, kDivisionIconId = 60, kDivisionCrossId = 80;
constexpr int kPanelDepth = 100, kIconDepth = 200, kCrossDepth = 300;

CPoint At(const Place& p, bool small) { return small ? CPoint(p.x1024, p.y1024) : CPoint(p.xLarge, p.yLarge); }

}  // namespace

BOOL COrvaneView::InitAfterBattleMode() {
    COrvaneDoc* doc = GetDocument();
    m_bFullWindow = TRUE;
    ++ResultsShown;
    FillSideResults();
    const bool small = m_nScreenWidth <= 1024;
    CString pictures = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    auto clanName = [&](int side) -> CString {
        const CNation* n = doc && side >= 0 && side <= 1 ? doc->m_nations.FindByID(BattleClans[side]) : nullptr;
        return n ? n->name : CString(kClanNames[1]);
    };

    // The two clans' panels and the heading.
    const Place* panels[2] = {&kPanelA, &kPanelB};
    for (int side = 0; side < 2; ++side) {
        CString name = pictures + "Battle Results " + clanName(side) + ".giz";
        if (CSprite* panel = LoadSpriteSet(name, TRUE, kPanelId + side, 1, 1, -1)) {
            CPoint at = At(*panels[side], small);
            AddIcon(panel, at.x, at.y, kPanelId + side, TRUE, 0, 24, 40, 29, 42)->SetDepth(kPanelDepth, FALSE);
        }
    }
    if (CSprite* heading = LoadSpriteSet(pictures + "Battle Results Div Heading.giz", TRUE, kHeadingId, 1, 1, -1)) {
        CPoint at = At(kHeading, small);
        AddIcon(heading, at.x, at.y, kHeadingId, TRUE, 0, 24, 40, 29, 42)->SetDepth(kPanelDepth, FALSE);
    }
    CSprite* cross = LoadSpriteSet(pictures + "AFBT Big Red X.giz", TRUE, kCrossId, 1, 1, -1);

    // The player's divisions in a row centred under the heading: his
    // marshal first, then his generals; a lost one under a red cross.
    const int side = LocalSide >= 0 && LocalSide <= 1 ? LocalSide : 0;
    const CSideResult& own = SideResults[side];
    const int count = own.Divisions();
    const int gap = kDivisionGap[small ? 0 : 1];
    CPoint row = At(kDivisionRow, small);
    int index = 0;
    CString clan = clanName(side);
    for (const CSideResultEntry* e : own.slots) {
        if (!e) continue;
        CString name = pictures + UnitIconName(clan.GetString(), index == 0 ? "Marshall" : "General").c_str() + ".giz";
        int id = kDivisionIconId + index;
        CSprite* icon = GetSprites().Find(index == 0 ? kDivisionIconId : kDivisionIconId + 1);
        if (!icon) icon = LoadSpriteSet(name, TRUE, index == 0 ? kDivisionIconId : kDivisionIconId + 1, 1, 1, -1);
        if (icon) {
            int x = row.x - (count * gap) / 2 + index * gap;
            AddIcon(icon, x, row.y, id, TRUE, 0, 24, 40, 29, 42)->SetDepth(kIconDepth, FALSE);
            if (e->lost && cross)
                AddIcon(cross, x - 5, row.y, kDivisionCrossId + index, TRUE, 0, 24, 40, 29, 42)
                    ->SetDepth(kCrossDepth, FALSE);
        }
        ++index;
    }

    AddStrengthButton();
    LoadLetterSet("Letter Set");
    RedrawRect(nullptr, &GetIcons());

    // The figures of the battle under the panels.
    int lost = 0;
    for (const CSideResultEntry* e : own.slots) lost += e && e->lost;
    char text[160];
    std::snprintf(text, sizeof text, "%s  -  %s\nDIVISIONS: %d  LOST: %d\nSCORE: %d", own.won ? "VICTORY" : "DEFEAT",
                  (const char*)clanName(1 - side), count, lost, own.score);
    CPoint figures = At(kFigures, small);
    DrawLetterText(text, figures.x, figures.y);
    SetButtonState(0, TRUE, FALSE, FALSE);
    Render();
    return TRUE;
}

void COrvaneView::OnLButtonDownAfterBattle(UINT, CPoint point) {
    int id = GetButtons().HitTestId(point.x, point.y, FALSE);
    if (id == 0) return;
    PressedButton = id;
    SetButtonState(id, FALSE, FALSE, TRUE);
}

void COrvaneView::OnLButtonUpAfterBattle(UINT, CPoint point) {
    int pressed = PressedButton;
    PressedButton = -1;
    if (pressed > 0) SetButtonState(pressed, TRUE, FALSE, TRUE);
    if (pressed != 1 || GetButtons().HitTestId(point.x, point.y, FALSE) != 1) return;
    if (PlayKind == 2) {
        PrintMessage("ERROR: The world map is not available.");
        return;
    }
    ChangeMode(MODE_SBTTL_MENU);
}

void COrvaneView::ExitAfterBattle() {
    SetTimerInterval3(0);
    GetIcons().DeleteAll();
    GetSprites().DeleteAll();
    GetButtons().DeleteAll();
    PressedButton = -1;
    for (CSideResult& r : SideResults) r.Clear();
}
