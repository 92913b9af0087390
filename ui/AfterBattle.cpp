// The results screen (mode 16): both clans' result panels, a heading, the
// player's divisions in a row with a red cross over every division lost,
// and the figures of the battle. Its OK button returns to the single-battle
// menu.
#include <algorithm>
#include <cstdio>
#include <string>

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
constexpr Place kFigures = {330, 190, 440, 365};

// Sprite and icon ids of the screen.
constexpr int kPanelId = 50, kHeadingId = 52, kCrossId = 53, kDivisionIconId = 60, kDivisionCrossId = 80;
constexpr int kPanelDepth = 100, kIconDepth = 200, kCrossDepth = 300;
// The hover's battalion rows: the first row's corner and the rows' pitch,
// and the ids of their pictures and icons.
constexpr Place kBattalionRows = {397, 411, 550, 634};
constexpr int kRowPitch = 94;
constexpr int kLittleCrossId = 54, kHoverSpriteId = 100, kHoverIconId = 200, kHoverIconLast = 399;

// The unit words of the icons: leaders, then the arms by battalion kind.
const char* const kArmIcons[5] = {"Swordman", "Cavalry", "Archer", "Spearman", "Rifleman"};
const char* LeaderIcon(int division, int row, int kind) {
    if (row == 0) return division == 0 ? "Marshall" : "General";
    return kind == 1 ? "Captain On Horse" : "Captain";
}

// Pads or cuts `text` to exactly `width` characters.
std::string Fit(std::string text, size_t width) {
    text.resize(width, ' ');
    return text;
}

CPoint At(const Place& p, bool small) { return small ? CPoint(p.x1024, p.y1024) : CPoint(p.xLarge, p.yLarge); }

}  // namespace

BOOL COrvaneView::InitAfterBattleMode() {
    COrvaneDoc* doc = GetDocument();
    m_bFullWindow = TRUE;
    ++ResultsShown;
    ResultsHover = -1;
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

    DrawResultFigures();
    SetButtonState(0, TRUE, FALSE, FALSE);
    Render();
    return TRUE;
}

void COrvaneView::DrawResultFigures() {
    COrvaneDoc* doc = GetDocument();
    const int side = LocalSide >= 0 && LocalSide <= 1 ? LocalSide : 0;
    const CSideResult& own = SideResults[side];
    const CNation* enemy = doc ? doc->m_nations.FindByID(BattleClans[1 - side]) : nullptr;
    int lost = 0;
    for (const CSideResultEntry* e : own.slots) lost += e && e->lost;
    char text[160];
    std::snprintf(text, sizeof text, "%s  -  %s\nDIVISIONS: %d  LOST: %d\nSCORE: %d", own.won ? "VICTORY" : "DEFEAT",
                  enemy ? enemy->name.GetString() : "", own.Divisions(), lost, own.score);
    CPoint figures = At(kFigures, m_nScreenWidth <= 1024);
    DrawLetterText(text, figures.x, figures.y);
}

void COrvaneView::OnMouseMoveAfterBattle(UINT, CPoint point) {
    int hit = -1;
    for (int i = 0; i < CSideResult::kSlots && hit < 0; ++i)
        if (CIcon* icon = GetIcons().FindById(kDivisionIconId + i))
            if (icon->GetRect().PtInRect(point)) hit = i;
    if (hit == ResultsHover) return;
    ClearResultsHighlight(ResultsHover);
    ResultsHover = hit;
    ShowResultsDivisionDetail(hit);
}

void COrvaneView::ShowResultsDivisionDetail(int division) {
    const int side = LocalSide >= 0 && LocalSide <= 1 ? LocalSide : 0;
    const CSideResultEntry* entry = nullptr;
    for (int i = 0, n = 0; i < CSideResult::kSlots && !entry; ++i)
        if (SideResults[side].slots[i] && n++ == division) entry = SideResults[side].slots[i];
    if (division < 0 || !entry) return;
    COrvaneDoc* doc = GetDocument();
    const bool small = m_nScreenWidth <= 1024;
    CString pictures = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    const CNation* clan = doc ? doc->m_nations.FindByID(BattleClans[side]) : nullptr;
    const std::string clanName = clan ? clan->name.GetString() : kClanNames[1];
    CSprite* cross = GetSprites().Find(kLittleCrossId);
    if (!cross) cross = LoadSpriteSet(pictures + "AFBT Little Red X.giz", TRUE, kLittleCrossId, 1, 1, -1);
    // One picture per unit word, loaded on the first hover that needs it.
    auto picture = [&](const char* unit) -> CSprite* {
        int id = kHoverSpriteId;
        for (const char* w : kUnitIconNames) {
            if (std::string(w) == unit) break;
            ++id;
        }
        if (CSprite* s = GetSprites().Find(id)) return s;
        return LoadSpriteSet(pictures + UnitIconName(clanName, unit).c_str() + ".giz", TRUE, id, 1, 1, -1);
    };
    const CPoint first = At(kBattalionRows, small);
    int nextId = kHoverIconId;
    auto place = [&](CSprite* sprite, int x, int y, int depth) {
        if (!sprite || nextId > kHoverIconLast) return;
        AddIcon(sprite, x, y, nextId++, TRUE, 0, 24, 40, 29, 42)->SetDepth(depth, FALSE);
    };
    for (int row = 0; row < entry->battalions && row < 4; ++row) {
        const CBattalionResult& b = entry->battalion[row];
        const int y = first.y + kRowPitch * row;
        int x = first.x;
        CSprite* leader = picture(LeaderIcon(division, row, b.kind));
        place(leader, x, y, kIconDepth);
        if (b.lost) place(cross, x + (b.kind == 3 ? 8 : 0), y, kCrossDepth);
        const int gap = b.kind == 1 ? -4 : b.kind == 3 ? -9 : 3;
        x += (leader ? leader->GetWidth() : 0) + gap;
        CSprite* unit = picture(kArmIcons[std::clamp(b.kind, 0, 4)]);
        const int width = unit ? unit->GetWidth() : 0;
        // The units that stood, then those lost and those fled, crossed.
        for (int run = 0; run < 3; ++run)
            for (int k = 0; k < std::clamp(b.runs[run], 0, 10); ++k) {
                place(unit, x, y, kIconDepth);
                if (run > 0) place(cross, x, y, kCrossDepth);
                x += width + (run == 0 ? 1 : gap);
            }
    }
    RedrawRect(nullptr, &GetIcons());
    DrawResultFigures();
    for (int row = 0; row < entry->battalions && row < 4; ++row) {
        const CBattalionResult& b = entry->battalion[row];
        const CPerson* general = b.commander ? b.commander : row == 0 ? entry->commander : nullptr;
        if (general) DrawResultLine(general, first.x, first.y + kRowPitch * row - 25, b);
    }
    Render();
}

void COrvaneView::ClearResultsHighlight(int division) {
    if (division < 0) return;
    for (int id = kHoverIconId; id <= kHoverIconLast; ++id) GetIcons().RemoveById(id, TRUE);
    RedrawRect(nullptr, &GetIcons());
    DrawResultFigures();
    SetButtonState(0, TRUE, FALSE, FALSE);
    Render();
}

void COrvaneView::DrawResultLine(const CPerson* general, int x, int y, const CBattalionResult& record) {
    std::string name = std::string(general->familyName.GetString()) + ", " + general->givenName.GetString();
    char flags[32], heads[32];
    std::snprintf(flags, sizeof flags, "FLAGS TAKEN:%d ", std::clamp(record.flagsTaken, 0, 99));
    std::snprintf(heads, sizeof heads, "HEADS TAKEN:%d ",
                  std::clamp(record.headsTaken[0] + record.headsTaken[1], 0, 99));
    std::string line = Fit(name, 20) + "\n " + Fit(flags, 14) + Fit(heads, 14);
    DrawLetterText(line.c_str(), x, y, FALSE, 0.75);
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
        // A campaign that has come to its end shows its ending.
        int battle = 0, stage = 0;
        GetCampaignEndState(battle, stage);
        if (IsShownEndStage(stage)) {
            ChangeMode(MODE_END_SCREENS);
            return;
        }
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
    ResultsHover = -1;
    for (CSideResult& r : SideResults) r.Clear();
}
