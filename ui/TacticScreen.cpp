// The deployment screen: entering it, the division slots, the army
// formation and its preview, placing the armies for the battle.
#include "ui/TacticScreen.h"

#include <algorithm>
#include <climits>

#include "Animate/TacticPictureNames.h"
#include "army/Army.h"
#include "core/Random.h"
#include "field/BattlefieldTables.h"
#include "shell/OrvaneView.h"
#include "Units/Battalion.h"
#include "Units/Division.h"

namespace {
// Slot rectangles, narrow layout (screens up to 1024 wide) then wide.
const CRect kNarrowSlots[kTacticSlots] = {
    {24, 137, 88, 236},   {300, 137, 364, 236}, {300, 27, 364, 126},  {300, 246, 364, 345}, {218, 137, 282, 236},
    {218, 27, 282, 126},  {218, 246, 282, 345}, {31, 27, 95, 126},    {136, 137, 200, 236}, {136, 27, 200, 126},
    {136, 246, 200, 345}, {31, 246, 95, 345},   {218, 353, 282, 452}, {300, 353, 364, 452}, {136, 353, 200, 452},
};
const CRect kWideSlots[kTacticSlots] = {
    {40, 190, 104, 289},  {348, 190, 412, 289}, {348, 60, 412, 159},  {348, 320, 412, 419}, {264, 190, 328, 289},
    {264, 60, 328, 159},  {264, 320, 328, 419}, {50, 60, 114, 159},   {180, 190, 244, 289}, {180, 60, 244, 159},
    {180, 320, 244, 419}, {50, 320, 114, 419},  {264, 470, 328, 569}, {348, 470, 412, 569}, {180, 470, 244, 569},
};
const CRect kNarrowMap(394, 32, 982, 421);
const CRect kWideMap(456, 38, 1245, 564);

// The formations a player never cycles to: the alias of the half moon, the
// one general's own, and one kept for a single battlefield.
bool SkippedInCycle(int id) { return id == 91 || id == 103 || id == 122; }

// The posture masks a posture cycle steps through, in order.
const DWORD kPostureCycle[] = {0x1000000, 0x20000, 0x80000, 4096, 0x40000, 0x10000, 0x20000000, 0x2000000, 0x800000};

// The scaled map third an army is previewed in.
struct PreviewFrame {
    CPoint origin;
    float xFactor = 0, yFactor = 0;
    int facing = 2;
};
PreviewFrame FrameFor(const CRect& map, int side) {
    PreviewFrame f;
    int left = side == 0 ? map.left : map.left + 2 * (map.right - map.left) / 3;
    int right = side == 0 ? map.left + (map.right - map.left) / 3 : map.right;
    f.xFactor = float((right - left) * 0.001);
    f.yFactor = float((map.bottom - map.top) * 0.0005);
    f.origin = CPoint((left + right) / 2, (map.top + map.bottom) / 2);
    f.facing = side == 0 ? 2 : 6;
    return f;
}
}  // namespace

// ---------------------------------------------------------------------------
// State

void CTacticState::Reset() {
    for (int i = 0; i < kTacticSlots; ++i) {
        slotGenerals[i] = -1;
        slotHome[i] = CPoint(-1, -1);
    }
    armyFormationId = postureFormationId = -1;
    postureMask = kFirstPostureMask;
    selectedSlot = previousSlot = -1;
    draggedIcon = hitIcon = pressedButton = -1;
    commanderId = -1;
    offered.clear();
    pageGenerals.clear();
    page = pageCount = 1;
    commanderPlaced = 0;
    rowCounts[0] = rowCounts[1] = 0;
    lines[0] = lines[1] = nullptr;
    sideChoice = 2;
    lastPopup = -1;
}

int CTacticState::SlotAt(CPoint p) const {
    for (int i = 0; i < kTacticSlots; ++i)
        if (slotRects[i].PtInRect(p)) return i;
    return -1;
}

int CTacticState::FilledSlots() const {
    return int(std::count_if(std::begin(slotGenerals), std::end(slotGenerals), [](int g) { return g != -1; }));
}

CTacticState& COrvaneView::GetTacticState() {
    if (!m_pTactic) m_pTactic = std::make_unique<CTacticState>();
    return *m_pTactic;
}

// ---------------------------------------------------------------------------
// Entry and exit

BOOL COrvaneView::InitTacticMode() {
    CTacticState& t = GetTacticState();
    COrvaneDoc* doc = GetDocument();
    // The screen deploys a chosen battle: both clans and their generals.
    if (!doc || doc->m_nations.GetNameByID(BattleClans[0]).IsEmpty() ||
        doc->m_nations.GetNameByID(BattleClans[1]).IsEmpty())
        return FALSE;
    // A battle of its own: the generator starts from the clock.
    GameSrand(uint32_t(CTime::GetCurrentTime().GetTime()));
    t.Reset();
    t.scenario = BattleMap;
    bool narrow = m_nScreenWidth <= 1024;
    for (int i = 0; i < kTacticSlots; ++i) t.slotRects[i] = narrow ? kNarrowSlots[i] : kWideSlots[i];
    t.mapArea = narrow ? kNarrowMap : kWideMap;
    t.portraitCount = narrow ? 13 : 19;

    CString pictures = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    for (const TacticPreviewSet& s : kTacticPreviewSets)
        LoadSpriteSet(pictures + s.name + ".giz", FALSE, s.set, kTacticPreviewFacings, 1, -1);
    LoadTacticButtons();
    AddTacticLines();
    SetupSideGenerals();
    CString data = doc ? doc->GetDataPath() : CString("Data\\");
    ShowTacticMap(GetMapDataName(data, BattleMap, m_nScreenWidth), FALSE);

    // A new army for the player: divisions 0..14, one per slot.
    int own = LocalSide & 1;
    SelectDivision(nullptr, TRUE, FALSE);
    OwnedArmies[own] = std::make_unique<CArmy>(own, kTacticSlots - 1, true);
    Armies[own] = OwnedArmies[own].get();
    for (int slot = 0; slot < kTacticPreviewSlots; ++slot) CreateSlotSprites(slot, own);
    SetupEnemyArmy(FALSE);

    DeployDivisions(FALSE, FALSE, TRUE);
    ShowFormationPicture(FALSE);
    return TRUE;
}

void COrvaneView::ExitTacticMode() {
    SelectDivision(nullptr, TRUE, FALSE);
    GetButtons().DeleteAll();
    GetIcons().DeleteAll();
    GetSprites().DeleteAll();
    CTacticState& t = GetTacticState();
    t.lines[0] = t.lines[1] = nullptr;
    t.draggedIcon = t.hitIcon = t.pressedButton = -1;
}

void COrvaneView::LoadTacticButtons() {
    struct Button {
        int id;
        const char* picture;
        int x1024, y1024, x1280, y1280;
    };
    static const Button kFixed[] = {
        {kTacticStrike, "Cmb Strike", 24, 387, 47, 502},
        {kTacticDelay, "Cmb Delay", 24, 412, 47, 529},
        {kTacticOK, "Cmb OK Med", 806, 435, 1055, 585},
    };
    GetButtons().DeleteAll();
    bool narrow = m_nScreenWidth <= 1024;
    for (const Button& b : kFixed)
        AddCommandButton(b.id, b.picture, narrow ? b.x1024 : b.x1280, narrow ? b.y1024 : b.y1280, TRUE);
    COrvaneDoc* doc = GetDocument();
    int own = LocalSide & 1;
    CString clan = doc ? doc->m_nations.GetNameByID(BattleClans[own]) : CString();
    CString flip = CString(kTacticFlipPrefix) + clan;
    AddCommandButton(kTacticNextPage, flip, narrow ? 38 : 670, narrow ? 484 : 652, TRUE);
    AddCommandButton(kTacticPreviousPage, flip, narrow ? 38 : 52, narrow ? 676 : 652, TRUE);
    GetButtons().LoadAll(doc ? doc->GetCmbPath() : CString("Pictures\\Cmb\\"), m_nColourDepth, nullptr);
}

void COrvaneView::AddTacticLines() {
    if (m_nScreenWidth > 1024) return;
    CTacticState& t = GetTacticState();
    COrvaneDoc* doc = GetDocument();
    CString pictures = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    const int ys[2] = {531, 600};
    for (int i = 0; i < 2; ++i) {
        CSprite* s = LoadSpriteSet(pictures + kTacticLinePictures[i] + ".giz", TRUE, 0, 1, 1, -1);
        if (!s) continue;
        t.lines[i] = AddIcon(s, 112, ys[i], 0, TRUE, 0, 24, 40, 29, 42);
        t.lines[i]->m_bEnabled = FALSE;
    }
}

// ---------------------------------------------------------------------------
// Slots

void COrvaneView::ReleaseTacticSlot(int slot) {
    CTacticState& t = GetTacticState();
    CArmy* army = Armies[LocalSide & 1];
    PlaceDivisionFormation(slot, kPreviewEmpty, LocalSide & 1);
    if (CDivision* d = army ? army->GetDivision(slot, FALSE) : nullptr) d->ReleaseGeneral();
    if (slot == 0 && army) army->SetCommander(nullptr);
    t.slotGenerals[slot] = -1;
}

void COrvaneView::AssignDivisionSlots(int general, int slot, BOOL moveMarkers) {
    CTacticState& t = GetTacticState();
    if (moveMarkers) {
        for (int i = 0; i < kTacticSlots; ++i) {
            if (i == slot || t.slotGenerals[i] != general) continue;
            ReleaseTacticSlot(i);
            break;
        }
    }
    if (slot < 0 || slot >= kTacticSlots) return;
    t.slotGenerals[slot] = general;
    CArmy* army = Armies[LocalSide & 1];
    COrvaneDoc* doc = GetDocument();
    CDivision* d = army ? army->GetDivision(slot, FALSE) : nullptr;
    if (d && doc) {
        d->CreateBattalions(general, doc->m_persons);
        if (slot == 0) army->SetCommander(d->m_general);
    }
    if (moveMarkers) PlaceDivisionFormation(slot, kPreviewSelected, LocalSide & 1);
    t.previousSlot = t.selectedSlot;
    t.selectedSlot = slot;
}

void COrvaneView::CreateSlotSprites(int slot, int side) {
    if (slot < 0 || slot >= kTacticPreviewSlots) return;
    bool own = side == (LocalSide & 1);
    CSprite* set = GetSprites().Find(own ? kPreviewPlaced : kPreviewEnemy);
    if (!set) return;
    int base = (own ? kOwnPreviewBase : kEnemyPreviewBase) + 40 * slot;
    for (int i = 0; i < 40; ++i) {
        CIcon* icon = AddIcon(set, -1000, -1000, base + i, TRUE, 0, 24, 40, 29, 42);
        icon->m_nPhaseRow = 0;
        icon->m_nPhaseColumn = icon->m_nFacing = own ? 2 : 6;
        icon->m_dKey = -1.0;
        icon->m_bEnabled = FALSE;
    }
}

// Moves the preview soldiers of one slot to where the formation puts them,
// scaled into the army's third of the map; `pictureSet` (0: keep) decides
// their look, by whether the division has that battalion and unit.
static void PlacePreviewSlot(COrvaneView& view, CIconList& icons, const CFormationLists& lists,
                             const CArmyFormation& army, int slot, const PreviewFrame& f, const CRect& mapArea, int base,
                             const CDivision* division, CSprite* look, CSprite* empty) {
    const CDivFormation* div = lists.div.FindByID(army.GetDivFormationID(slot));
    if (!div) return;
    CPoint s = army.GetSlotPoint(slot, f.facing);
    int divFacing = army.GetSlotValue(slot, f.facing);
    std::vector<const CBattalion*> battalions;
    if (division)
        for (POSITION pos = division->m_battalions.GetHeadPosition(); pos;)
            battalions.push_back(division->m_battalions.GetBattalion(pos));
    for (int row = 0; row < CDivFormation::kRows; ++row) {
        const CBattFormation* batt = lists.batt.FindByID(div->GetBattFormationID(row));
        if (!batt) continue;
        CPoint r = div->GetSlotPoint(row, divFacing);
        int battFacing = div->GetSlotCode(row, divFacing);
        for (int u = 0; u < CBattFormation::kRows; ++u) {
            CIcon* icon = icons.FindById(base + 40 * slot + 10 * row + u);
            if (!icon) continue;
            CPoint p = batt->GetSlotPoint(u, battFacing);
            int x = f.origin.x + int((s.x + r.x + p.x) * f.xFactor);
            int y = f.origin.y + int((s.y + r.y + p.y) * f.yFactor);
            if (look) {
                bool exists = row < int(battalions.size()) && u < battalions[size_t(row)]->m_units.GetCount();
                icon->m_pSprite = exists ? look : empty;
            }
            icon->m_nPhaseRow = 0;
            icon->m_nPhaseColumn = icon->m_nFacing = f.facing;
            icon->SetPosition(x, y, TRUE);
            icon->m_dKey = double(slot);
            CRect rect = icon->GetRect();
            icon->m_bEnabled = LiesWhollyInside(rect, mapArea);
            icon->SetDepth(y, TRUE);
        }
    }
    (void)view;
}

void COrvaneView::PlaceDivisionFormation(int slot, int pictureSet, int side) {
    if (slot < 0 || slot >= kTacticPreviewSlots) return;
    CTacticState& t = GetTacticState();
    CIcon* map = GetIcons().FindById(kTacticMapIcon);
    CRect mapRect = map ? map->GetRect() : t.mapArea;
    PreviewFrame f = FrameFor(mapRect, side);
    const CArmyFormation* formation = nullptr;
    if (side == (LocalSide & 1) && t.armyFormationId != -1)
        formation = FormationLists.army.GetFormation(t.armyFormationId);
    if (!formation) formation = FormationLists.army.PickRandom(0x20000000, nullptr);
    if (!formation) return;
    CArmy* army = Armies[side & 1];
    const CDivision* division = army ? army->GetDivision(slot, FALSE) : nullptr;
    PlacePreviewSlot(*this, GetIcons(), FormationLists, *formation, slot, f, t.mapArea,
                     side == (LocalSide & 1) ? kOwnPreviewBase : kEnemyPreviewBase, division,
                     GetSprites().Find(pictureSet), GetSprites().Find(kPreviewEmpty));
    DrawAllSprites(FALSE);
}

void COrvaneView::DeployDivisions(BOOL postureCycle, BOOL redraw, BOOL forward) {
    CTacticState& t = GetTacticState();
    int side = LocalSide & 1;
    CArmy* army = Armies[side];
    if (!army) return;
    CArmyFormationList& list = FormationLists.army;
    CIcon* map = GetIcons().FindById(kTacticMapIcon);
    CRect mapRect = map ? map->GetRect() : t.mapArea;
    PreviewFrame f = FrameFor(mapRect, side);

    CArmyFormation* choice = nullptr;
    bool postureFound = false;
    if (t.armyFormationId != -1 && !postureCycle) {
        auto step = [&](int id) {
            return forward ? list.GetNextFormation(id, t.scenario, 0, side) : list.GetPreviousFormation(id, t.scenario, 0, side);
        };
        choice = step(t.armyFormationId);
        for (int guard = list.GetCount(); choice && SkippedInCycle(choice->m_nID) && guard > 0; --guard)
            choice = step(choice->m_nID);
        if (choice && SkippedInCycle(choice->m_nID)) choice = nullptr;
        if (!choice) choice = list.GetFormation(t.armyFormationId);
        t.postureFormationId = -1;
    } else if (t.armyFormationId != -1) {
        if (t.postureFormationId == -1) {
            const DWORD* at = std::find(std::begin(kPostureCycle), std::end(kPostureCycle), t.postureMask);
            size_t next = at == std::end(kPostureCycle) ? 0 : size_t(at - kPostureCycle + 1) % std::size(kPostureCycle);
            t.postureMask = kPostureCycle[next];
            choice = list.ApplyFormation(t.armyFormationId, t.postureMask);
        } else {
            choice = list.ApplyFormation(t.postureFormationId, 0);
        }
        postureFound = choice != nullptr;
        if (!choice) {
            choice = list.GetFormation(t.armyFormationId);
            t.postureFormationId = -1;
        }
    } else {
        CPerson* commander = army->GetCommander();
        int field = BattleMap;
        if (GetBattlefieldFlag(side, field) || GetBattlefieldWeatherFlag(side, field))
            choice = list.GetByTypeAndSide(field, 0, commander, side);
        else
            choice = list.GetByTypeAndSide(-1, 0, commander, side);
        t.postureFormationId = -1;
    }
    if (!choice) return;
    army->m_formation = choice;
    army->m_formationList = &list;
    if (postureFound)
        t.postureFormationId = choice->m_nID;
    else
        t.armyFormationId = choice->m_nID;

    for (int slot = 0; slot < kTacticPreviewSlots; ++slot)
        PlacePreviewSlot(*this, GetIcons(), FormationLists, *choice, slot, f, t.mapArea, kOwnPreviewBase, nullptr,
                         nullptr, nullptr);
    RedrawRect(&mapRect, &GetIcons());
    if (redraw) Render(&mapRect, FALSE);
}

BOOL COrvaneView::PlaceArmyAt(int side, int x, int y, int facing) {
    CArmy* army = Armies[side & 1];
    if (!army) return TRUE;
    int formationId = army->m_formation ? army->m_formation->m_nID : -2;
    army->m_armyPoint = CPoint(x, y);
    army->Setup(&FormationLists.army, formationId, nullptr, x, y, facing);
    const CArmyFormation* formation = army->m_formation;
    for (POSITION pos = army->m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = army->m_divisions.GetDivision(pos);
        int index = d->GetIndex();
        CPoint at(-5000, -5000);
        int divFacing = facing;
        int divFormation = -1;
        if (index < kTacticPreviewSlots && formation) {
            CPoint s = formation->GetSlotPoint(index, facing);
            at = CPoint(s.x + x, s.y + y);
            divFormation = formation->GetDivFormationID(index);
            divFacing = formation->GetSlotValue(index, facing);
        } else if (index < kTacticSlots) {
            // A detachment waits off the field behind the enemy and arrives
            // after 600 to 720 ticks.
            if (const CDivFormation* pick = FormationLists.div.PickRandom(2)) divFormation = pick->m_nID;
            if (facing == 2 || facing == 6) {
                int across = CountedRand() % 751;
                at.x = across + (facing == 2 ? 2000 : 250);
                bool south = CountedRand() % 2 == 0;
                at.y = south ? -1000 : 3000;
                divFacing = south ? 4 : 0;
                int delay = CountedRand() % 21 + 100;
                d->m_detachCountdown = int(delay * 6.0);
            }
        }
        d->Setup(&FormationLists.div, divFormation, nullptr, at.x, at.y, divFacing);
        d->SetupBattalions(&FormationLists.batt);
    }
    return TRUE;
}

// ---------------------------------------------------------------------------
// The generals of the player's side

void COrvaneView::SetupSideGenerals() {
    CTacticState& t = GetTacticState();
    COrvaneDoc* doc = GetDocument();
    if (!doc) return;
    bool narrow = m_nScreenWidth <= 1024;
    int clan = BattleClans[LocalSide & 1];
    if (t.commanderId == -1) {
        CPersonList candidates;
        doc->m_persons.CollectCandidates(clan, candidates, INT_MAX, 0, true);
        if (candidates.IsEmpty()) return;
        POSITION head = candidates.GetHeadPosition();
        CPerson* commander = candidates.GetPerson(head);
        t.commanderId = commander->id;
        for (POSITION pos = doc->m_persons.GetHeadPosition(); pos;) {
            CPerson* p = doc->m_persons.GetPerson(pos);
            if (p != commander && p->clan == clan && p->alive && p->IsVeteran() &&
                (p->commanderId == commander->id ||
                 (commander->commanderId != 0 && p->commanderId == commander->commanderId)))
                t.offered.push_back(p->id);
        }
        int perPage = narrow ? 12 : 18;
        t.pageCount = std::max(1, int((t.offered.size() + size_t(perPage) - 1) / size_t(perPage)));
        CPerson* shown = doc->m_persons.FindByID(t.commanderId);
        if (!GetIcons().FindById(kPortraitIconBase + t.commanderId))
            ShowPortrait(shown, narrow ? 38 : 358, narrow ? 564 : 655, FALSE);
    }
    // The page: two rows of portraits.
    int perRow = narrow ? 6 : 9;
    int perPage = 2 * perRow;
    t.pageGenerals.clear();
    t.rowCounts[0] = t.rowCounts[1] = 0;
    size_t first = size_t((t.page - 1) * perPage);
    for (size_t i = first; i < t.offered.size() && i < first + size_t(perPage); ++i) {
        int k = int(i - first);
        int row = k / perRow, column = k % perRow;
        int x = narrow ? 167 + 74 * column : 50 + 77 * column;
        int y = narrow ? (row == 0 ? 497 : 634) : (row == 0 ? 770 : 886);
        int id = t.offered[i];
        t.pageGenerals.push_back(id);
        // A general already in a slot shows there, not on the page.
        if (std::find(std::begin(t.slotGenerals), std::end(t.slotGenerals), id) != std::end(t.slotGenerals)) continue;
        ++t.rowCounts[row];
        if (!GetIcons().FindById(kPortraitIconBase + id)) ShowPortrait(doc->m_persons.FindByID(id), x, y, FALSE);
    }
    for (int i = 0; i < 2; ++i)
        if (t.lines[i]) t.lines[i]->m_bEnabled = t.rowCounts[i] > 0 && !t.commanderPlaced;
}
