// The deployment screen of the real game, headless on the data kit: a
// battle chosen as the catalogue leaves it, then mouse input as the player
// gives it.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

#include "Units/Battalion.h"
#include "army/Army.h"
#include "core/Random.h"
#include "tests/support/ChosenBattle.h"
#include "tests/support/GameRun.h"
#include "ui/TacticScreen.h"

namespace {

struct TacticGame {
    CGameRun run;
    COrvaneView* view = nullptr;
    int32_t drawsAtEntry = 0;
    // `wide`: the player chose the 1280 x 1024 layout. `prepare` runs on the
    // chosen battle before the screen is entered.
    explicit TacticGame(bool wide = false, const std::function<void(COrvaneView&)>& prepare = nullptr)
        : run(wide ? DisplayMode{1280, 1024, 32} : DisplayMode{1024, 768, 32}) {
        // The screen seeds its generator from the clock; this one gives a
        // battle in which the player's scouts see the enemy's set-up.
        AfxSetWallClock([] { return kFixedWallClock; });
        if (wide) {
            EXPECT_TRUE(ChooseLargeLayout());
        }
        EXPECT_TRUE(run.Start());
        view = run.View();
        run.Click(500, 500);
        EXPECT_TRUE(ChooseBattle(*view, CChosenBattle{}));
        if (prepare) prepare(*view);
        drawsAtEntry = RandCallCount;
        view->ChangeMode(MODE_TACTIC);
    }
    ~TacticGame() { AfxSetWallClock(nullptr); }
    CTacticState& State() { return view->GetTacticState(); }
    CArmy* Own() { return view->Armies[view->LocalSide]; }
    // Preview soldiers shown on the map whose icon numbers start at `base`;
    // `inside` counts those that lie wholly inside the map area.
    int Shown(int base, int* inside = nullptr) {
        int n = 0;
        for (int id = base; id < base + 40 * kTacticPreviewSlots; ++id) {
            CIcon* icon = view->GetIcons().FindById(id);
            if (!icon || !icon->m_bEnabled) continue;
            ++n;
            CRect r = icon->GetRect(), map = State().mapArea;
            if (inside && r.left >= map.left && r.top >= map.top && r.right <= map.right && r.bottom <= map.bottom)
                ++*inside;
        }
        return n;
    }
    CPoint Centre(int iconId) {
        CIcon* icon = view->GetIcons().FindById(iconId);
        EXPECT_NE(icon, nullptr) << "no icon " << iconId;
        return icon ? icon->GetRect().CenterPoint() : CPoint(-1, -1);
    }
    void Drag(CPoint from, CPoint to) { run.Drag(from, to); }
    void ClickOK() {
        CCommandButton* ok = view->GetButtons().FindById(kTacticOK);
        ASSERT_NE(ok, nullptr);
        CPoint c = ok->GetRect().CenterPoint();
        // Far enough in time from any click before to stay a single click.
        run.Run(1000);
        run.Click(c.x, c.y);
    }
    bool LogHas(const char* text) {
        for (int i = 0; i < view->GetMessageLog().GetCount(); ++i)
            if (view->GetMessageLog().GetAt(i)->Text.Find(text) >= 0) return true;
        return false;
    }
};

TEST(TacticScreen, EnteringForAKitBattleShowsBothArmiesOnTheMap) {
    TacticGame g;
    ASSERT_EQ(g.view->GameMode, MODE_TACTIC);
    CTacticState& t = g.State();
    // The map, the formation picture, the commander and his generals.
    EXPECT_NE(g.view->GetIcons().FindById(kTacticMapIcon), nullptr);
    EXPECT_NE(g.view->GetIcons().FindById(kTacticFormationIcon), nullptr);
    ASSERT_NE(t.commanderId, -1);
    EXPECT_NE(g.view->GetIcons().FindById(kPortraitIconBase + t.commanderId), nullptr);
    EXPECT_FALSE(t.offered.empty());
    for (int id : t.pageGenerals) EXPECT_NE(g.view->GetIcons().FindById(kPortraitIconBase + id), nullptr) << id;
    for (int id : {kTacticOK, kTacticStrike, kTacticDelay, kTacticNextPage, kTacticPreviousPage})
        EXPECT_NE(g.view->GetButtons().FindById(id), nullptr) << id;

    // Both armies stand on the map: the player's in the left third, the
    // enemy's in the right, every soldier shown wholly inside the map.
    int ownInside = 0, enemyInside = 0;
    int own = g.Shown(kOwnPreviewBase, &ownInside), enemy = g.Shown(kEnemyPreviewBase, &enemyInside);
    EXPECT_GT(own, 0);
    EXPECT_GT(enemy, 0);
    EXPECT_EQ(ownInside, own);
    EXPECT_EQ(enemyInside, enemy);
    CRect map = g.view->GetIcons().FindById(kTacticMapIcon)->GetRect();
    int third = (map.right - map.left) / 3;
    EXPECT_LT(g.Centre(kOwnPreviewBase).x, map.left + third + third / 2);
    for (int id = kEnemyPreviewBase; id < kEnemyPreviewBase + 40 * kTacticPreviewSlots; ++id)
        if (CIcon* icon = g.view->GetIcons().FindById(id); icon && icon->m_bEnabled) {
            EXPECT_GT(icon->GetRect().CenterPoint().x, map.left + third) << id;
        }
    // The screen shows them: taking the soldiers away changes its pixels.
    std::vector<uint32_t> before, after;
    auto grab = [&](std::vector<uint32_t>& out) {
        for (int y = map.top; y < map.bottom; y += 2)
            for (int x = map.left; x < map.right; x += 2) out.push_back(g.run.ScreenPixel(x, y));
    };
    grab(before);
    for (int id = kOwnPreviewBase; id < kEnemyPreviewBase + 40 * kTacticPreviewSlots; ++id)
        if (CIcon* icon = g.view->GetIcons().FindById(id)) icon->m_bEnabled = FALSE;
    g.view->RedrawRect(&map, &g.view->GetIcons());
    g.view->Render(&map, FALSE);
    grab(after);
    EXPECT_NE(before, after);

    // The enemy army is the computer's: a commander, divisions with
    // generals only, a formation.
    CArmy* enemyArmy = g.view->Armies[g.view->OtherSide];
    ASSERT_NE(enemyArmy, nullptr);
    EXPECT_NE(enemyArmy->GetCommander(), nullptr);
    EXPECT_NE(enemyArmy->m_formation, nullptr);
    EXPECT_GT(enemyArmy->m_divisions.GetCount(), 0);
    for (POSITION pos = enemyArmy->m_divisions.GetHeadPosition(); pos;)
        EXPECT_NE(enemyArmy->m_divisions.GetDivision(pos)->m_general, nullptr);
    // The player's army: fifteen divisions, one per slot, all empty.
    EXPECT_EQ(g.Own()->m_divisions.GetCount(), kTacticSlots);
}

// The computer's army as the player would meet it: each division's index,
// general and kind, and the formation.
std::vector<int> EnemySetUp(COrvaneView& view) {
    std::vector<int> out;
    CArmy* army = view.Armies[view.OtherSide];
    if (!army) return out;
    out.push_back(army->m_formation ? army->m_formation->m_nID : -1);
    out.push_back(army->m_detachmentMode);
    for (POSITION pos = army->m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = army->m_divisions.GetDivision(pos);
        out.push_back(d->GetIndex());
        out.push_back(d->m_general ? d->m_general->id : -1);
        out.push_back(d->m_general ? d->m_general->state : -1);
    }
    return out;
}

TEST(TacticScreen, TheComputersArmyIsTheSameForTheSameClockInCampaignAndSingleBattles) {
    for (int kind : {1, 2}) {
        TacticGame g(false, [kind](COrvaneView& view) { view.PlayKind = kind; });
        std::vector<int> first = EnemySetUp(*g.view);
        int32_t draws = RandCallCount;
        ASSERT_GT(first.size(), 2u);
        // Every division that stays has a general, each general leads one.
        std::set<int> generals;
        for (size_t i = 2; i < first.size(); i += 3) {
            EXPECT_NE(first[i + 1], -1) << "division " << first[i];
            EXPECT_TRUE(generals.insert(first[i + 1]).second) << "general " << first[i + 1] << " twice";
        }
        g.view->ChangeMode(MODE_TACTIC);
        EXPECT_EQ(EnemySetUp(*g.view), first) << "play kind " << kind;
        EXPECT_EQ(RandCallCount - draws, draws - g.drawsAtEntry) << "the same counted draws";
    }
}

TEST(TacticScreen, EachLayoutPlacesItsPicturesAndSlots) {
    struct Case {
        bool wide;
        CPoint map, formation, commander;
    };
    for (const Case& c : {Case{false, {393, 30}, {633, 488}, {38, 564}},
                          Case{true, {456, 38}, {791, 663}, {358, 655}}}) {
        TacticGame g(c.wide);
        ASSERT_EQ(g.view->GetScreenWidth(), c.wide ? 1280 : 1024);
        EXPECT_EQ(g.view->GetIcons().FindById(kTacticMapIcon)->GetPosition(), c.map);
        CIcon* card = g.view->GetIcons().FindById(kTacticFormationIcon);
        EXPECT_EQ(card->GetPosition(), c.formation);
        EXPECT_EQ(g.view->GetIcons().FindById(kPortraitIconBase + g.State().commanderId)->GetPosition(), c.commander);
        EXPECT_EQ(g.State().slotRects[0], c.wide ? CRect(40, 190, 104, 289) : CRect(24, 137, 88, 236));
        // Clicks on the map or the formation card are no hit for portraits.
        EXPECT_FALSE(g.view->HitTestIcons(card->GetRect().CenterPoint().x, card->GetRect().CenterPoint().y));
        EXPECT_TRUE(g.view->HitTestIcons(c.commander.x + 5, c.commander.y + 5));
        EXPECT_EQ(g.State().hitIcon, kPortraitIconBase + g.State().commanderId);
    }
}

TEST(TacticScreen, AGeneralWithoutAPortraitFileIsReportedAndTheRestOfThePageShows) {
    int missing = -1;
    TacticGame g(false, [&](COrvaneView& view) {
        // The first general the commander leads loses his portrait file.
        for (POSITION pos = view.GetDocument()->m_persons.GetHeadPosition(); pos;) {
            CPerson* p = view.GetDocument()->m_persons.GetPerson(pos);
            if (p->clan == view.BattleClans[0] && p->IsVeteran() && p->commanderId != 0) {
                p->text3 = "Nobody Drawn";
                missing = p->id;
                break;
            }
        }
    });
    ASSERT_NE(missing, -1);
    ASSERT_EQ(g.view->GameMode, MODE_TACTIC);
    bool said = false;
    for (const std::string& m : AfxGetShownMessages())
        said = said || (m.find("ERROR: Bitmap ") == 0 && m.find("Nobody Drawn.giz cannot be loaded!") != std::string::npos);
    EXPECT_TRUE(said);
    EXPECT_EQ(g.view->GetIcons().FindById(kPortraitIconBase + missing), nullptr);
    int shown = 0;
    for (int id : g.State().pageGenerals) shown += g.view->GetIcons().FindById(kPortraitIconBase + id) != nullptr;
    EXPECT_EQ(shown, int(g.State().pageGenerals.size()) - 1);
}

TEST(TacticScreen, CyclingTheFormationNeverShowsTheHiddenOnes) {
    TacticGame g;
    std::set<int> seen{g.State().armyFormationId};
    // Forward with the left button, back with the right: more steps than the
    // list has formations, so every one comes round.
    int steps = g.view->FormationLists.army.GetCount() + 2;
    for (int button : {0, 1}) {
        for (int i = 0; i < steps; ++i) {
            CPoint c = g.Centre(kTacticFormationIcon);
            g.run.Display().After(1, [c, button] {
                AfxInputMouseButton(button, true, c.x, c.y);
                AfxInputMouseButton(button, false, c.x, c.y);
            });
            g.run.Run(600);
            int id = g.State().armyFormationId;
            seen.insert(id);
            EXPECT_NE(id, 91);
            EXPECT_NE(id, 103);
            EXPECT_NE(id, 122);
            EXPECT_EQ(g.Own()->m_formation->m_nID, id);
        }
    }
    EXPECT_GE(seen.size(), 10u) << "the cycle walks the presets";
    EXPECT_NE(g.view->GetIcons().FindById(kTacticFormationIcon), nullptr);
}

TEST(TacticScreen, AGeneralDraggedIntoSlotZeroCommandsDivisionZeroInTheBattle) {
    TacticGame g;
    CTacticState& t = g.State();
    int commander = t.commanderId;
    g.Drag(g.Centre(kPortraitIconBase + commander), t.slotRects[0].CenterPoint());
    EXPECT_EQ(t.slotGenerals[0], commander);
    EXPECT_EQ(g.view->GetIcons().FindById(kPortraitIconBase + commander)->GetPosition(), t.slotRects[0].TopLeft());
    CDivision* first = g.Own()->GetDivision(0, FALSE);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(first->m_general, nullptr);
    EXPECT_EQ(first->m_general->id, commander);
    EXPECT_GT(first->m_battalions.GetCount(), 0);
    EXPECT_EQ(g.Own()->GetCommander(), first->m_general);
    // Slot 0's soldiers on the map take the selected look.
    CIcon* soldier = g.view->GetIcons().FindById(kOwnPreviewBase);
    EXPECT_EQ(soldier->m_pSprite, g.view->GetSprites().Find(kPreviewSelected));

    g.ClickOK();
    // The battle is asked for: the game is in it, or says it lacks it.
    EXPECT_TRUE(g.view->GameMode == MODE_BATTLE || g.LogHas("The battle screen is not available"));
    CArmy* own = g.view->Armies[g.view->LocalSide];
    ASSERT_NE(own, nullptr);
    // Only the filled slot's division goes to battle, led by the general.
    EXPECT_EQ(own->m_divisions.GetCount(), 1);
    ASSERT_NE(own->GetDivision(0, FALSE), nullptr);
    EXPECT_EQ(own->GetDivision(0, FALSE)->m_general->id, commander);
    EXPECT_NE(g.view->Armies[g.view->OtherSide], nullptr);
    EXPECT_EQ(own->m_armyPoint, CPoint(500, 1000));
    EXPECT_EQ(t.lastPopup, -1);
}

TEST(TacticScreen, OKWithSlotZeroEmptyShowsTheSelectGeneralPopupAndStays) {
    TacticGame g;
    CTacticState& t = g.State();
    // Another slot filled does not make a battle.
    int general = t.pageGenerals.at(0);
    g.Drag(g.Centre(kPortraitIconBase + general), t.slotRects[1].CenterPoint());
    ASSERT_EQ(t.slotGenerals[1], general);

    g.ClickOK();
    EXPECT_EQ(g.view->GameMode, MODE_TACTIC);
    EXPECT_EQ(t.lastPopup, kPopupSelectGeneral);
    EXPECT_NE(g.view->GetIcons().FindById(61), nullptr) << "the message is on the screen";
    EXPECT_EQ(g.Own()->m_divisions.GetCount(), kTacticSlots) << "no division was removed";
    EXPECT_EQ(t.slotGenerals[1], general);
    // The next click takes the popup down and nothing else.
    g.run.Run(1000);
    g.run.Click(700, 700);
    EXPECT_EQ(g.view->GetIcons().FindById(61), nullptr);
    EXPECT_EQ(g.view->GameMode, MODE_TACTIC);
}

TEST(TacticScreen, AGeneralMovesBetweenSlotsAndBackToTheList) {
    TacticGame g;
    CTacticState& t = g.State();
    int general = t.pageGenerals.at(0);
    CPoint listPlace = g.view->GetIcons().FindById(kPortraitIconBase + general)->GetPosition();
    g.Drag(g.Centre(kPortraitIconBase + general), t.slotRects[3].CenterPoint());
    ASSERT_EQ(t.slotGenerals[3], general);
    ASSERT_NE(g.Own()->GetDivision(3, FALSE)->m_general, nullptr);

    // Slot 3 to slot 5: 3 is emptied (no general, no battalions), 5 filled.
    g.run.Run(1000);
    g.Drag(g.Centre(kPortraitIconBase + general), t.slotRects[5].CenterPoint());
    EXPECT_EQ(t.slotGenerals[3], -1);
    EXPECT_EQ(t.slotGenerals[5], general);
    EXPECT_EQ(g.Own()->GetDivision(3, FALSE)->m_general, nullptr);
    EXPECT_EQ(g.Own()->GetDivision(3, FALSE)->m_battalions.GetCount(), 0);
    EXPECT_EQ(g.Own()->GetDivision(5, FALSE)->m_general->id, general);
    EXPECT_EQ(t.slotHome[5], listPlace);
    EXPECT_EQ(t.slotHome[3], CPoint(-1, -1));

    // Back to the list: the portrait returns where it was picked up.
    g.run.Run(1000);
    g.Drag(g.Centre(kPortraitIconBase + general), CPoint(500, 700));
    EXPECT_EQ(t.slotGenerals[5], -1);
    EXPECT_EQ(g.Own()->GetDivision(5, FALSE)->m_general, nullptr);
    EXPECT_EQ(g.view->GetIcons().FindById(kPortraitIconBase + general)->GetPosition(), listPlace);

    // The commander out of slot 0 takes the army's commander with him.
    g.view->AssignDivisionSlots(t.commanderId, 0, TRUE);
    ASSERT_NE(g.Own()->GetCommander(), nullptr);
    g.view->AssignDivisionSlots(t.commanderId, 2, TRUE);
    EXPECT_EQ(g.Own()->GetCommander(), nullptr);
    EXPECT_EQ(t.slotGenerals[0], -1);
    EXPECT_EQ(t.slotGenerals[2], t.commanderId);
}

TEST(TacticScreen, TheDivisionPanelKeepsOrRebuildsAGeneralsDivision) {
    struct Case {
        const char* what;
        bool inSlot;
        int result;     // what the panel answers
        bool changes;   // whether the panel changes his division type
        bool keptType;  // the type after it is the one before
        bool rebuilt;   // his slot's division was built again
    };
    for (const Case& c : {Case{"cancelled", true, 2, true, true, false},
                          Case{"accepted in a slot", true, 1, true, false, true},
                          Case{"accepted in the list", false, 1, true, false, false},
                          Case{"no pictures", true, 0, false, true, false}}) {
        SCOPED_TRACE(c.what);
        TacticGame g;
        CTacticState& t = g.State();
        int general = t.pageGenerals.at(0);
        if (c.inSlot) g.Drag(g.Centre(kPortraitIconBase + general), t.slotRects[4].CenterPoint());
        CPerson* person = g.view->GetDocument()->m_persons.FindByID(general);
        int before = person->state;
        int asked = 0;
        g.view->RunDivisionPanel = [&](CPerson& p) {
            ++asked;
            if (c.changes) p.state = (p.state + 1) % 5;
            return c.result;
        };
        // Leave the slot's selected look first, so a rebuild shows.
        t.selectedSlot = -1;
        auto firstBattalion = [&]() -> CBattalion* {
            CDivision* d = g.Own()->GetDivision(4, FALSE);
            POSITION pos = d ? d->m_battalions.GetHeadPosition() : nullptr;
            return pos ? d->m_battalions.GetBattalion(pos) : nullptr;
        };
        CBattalion* battalionBefore = firstBattalion();
        CPoint at = g.Centre(kPortraitIconBase + general);
        g.run.Run(1000);
        g.run.Display().After(1, [at] {
            AfxInputMouseButton(1, true, at.x, at.y);
            AfxInputMouseButton(1, false, at.x, at.y);
        });
        g.run.Run(50);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(person->state == before, c.keptType);
        EXPECT_EQ(t.selectedSlot == 4, c.rebuilt);
        if (c.inSlot) {
            CDivision* d = g.Own()->GetDivision(4, FALSE);
            ASSERT_NE(d->m_general, nullptr);
            EXPECT_EQ(d->m_general->id, general);
            // Left alone, the division keeps the very battalions it had.
            if (!c.rebuilt) {
                EXPECT_EQ(firstBattalion(), battalionBefore);
            }
        }
    }
}

TEST(TacticScreen, DetachmentSlotsHaveNoSoldiersAndThePostureCycleComesRound) {
    TacticGame g;
    CTacticState& t = g.State();
    for (int slot = 12; slot < kTacticSlots; ++slot)
        EXPECT_EQ(g.view->GetIcons().FindById(kOwnPreviewBase + 40 * slot), nullptr) << slot;
    // Nine steps of the posture mask bring it back to where it began.
    std::set<DWORD> masks;
    for (int i = 0; i < 9; ++i) {
        t.postureFormationId = -1;
        g.view->DeployDivisions(TRUE, FALSE, TRUE);
        masks.insert(t.postureMask);
    }
    EXPECT_EQ(t.postureMask, kFirstPostureMask);
    EXPECT_EQ(masks.size(), 9u);
}

TEST(TacticScreen, DeselectingADivisionReleasesExactlyItsOwnButtons) {
    TacticGame g;
    CArmy* own = g.Own();
    CDivision* second = own->GetDivision(2, FALSE);
    CDivision* third = own->GetDivision(3, FALSE);
    // Division 2 owns buttons 75..82; 83 and 84 are division 3's.
    for (int id = 70; id <= 90; ++id) {
        g.view->AddCommandButton(id, "Cmb OK Med", 0, 0, TRUE);
        g.view->GetButtons().FindById(id)->m_bPressed = TRUE;
    }
    g.view->SelectDivision(second, FALSE, FALSE);
    g.view->SelectDivision(third, FALSE, FALSE);
    g.view->SelectDivision(second, FALSE, FALSE);  // already selected: stays once
    EXPECT_EQ(g.view->SelectedDivisions.GetCount(), 2);

    g.view->SelectDivision(second, FALSE, TRUE);
    EXPECT_FALSE(g.view->IsDivisionSelected(second));
    EXPECT_TRUE(g.view->IsDivisionSelected(third));
    for (int id = 70; id <= 90; ++id)
        EXPECT_EQ(g.view->GetButtons().FindById(id)->m_bPressed != FALSE, id < 75 || id > 82) << id;

    // Exclusive selection drops the others first.
    g.view->SelectDivision(second, TRUE, FALSE);
    EXPECT_EQ(g.view->SelectedDivisions.GetCount(), 1);
    EXPECT_TRUE(g.view->IsDivisionSelected(second));
    EXPECT_FALSE(g.view->GetButtons().FindById(83)->m_bPressed);
    EXPECT_TRUE(g.view->GetButtons().FindById(74)->m_bPressed);
    g.view->SelectDivision(nullptr, TRUE, FALSE);
    EXPECT_EQ(g.view->SelectedDivisions.GetCount(), 0);
}

}  // namespace
