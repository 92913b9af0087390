// The single-battle menu (mode 4): a map of the country with sixteen battle
// spots. Hovering over a spot lights the fire marker on it and shows its
// battlefield's hint; a click chooses the battle and enters mode 5, which
// sets it up and goes on to the deployment. The right button shows a
// larger preview of the battlefield until the next click.
#include "Animate/MenuPictureNames.h"
#include "Animate/PhasedSprite.h"
#include "field/BattlefieldTables.h"
#include "shell/OrvaneView.h"
#include "world/Campaign.h"

namespace {

using MenuPictures::kSpotCount;
using MenuPictures::kSpotBattles;
using MenuPictures::kSpotsLarge;
using MenuPictures::kSpots1024;
using MenuPictures::SpotRect;

struct MenuButton {
    int id;
    const char* picture;
    int xLarge, yLarge, x1024, y1024;
};
constexpr int kCancel = 2, kRandom = 254, kTournament = 255;
const MenuButton kButtons[] = {
    {kCancel, "Cmb Cancel Med", 1026, 950, 806, 722},
    {kRandom, "Cmb Random", 876, 950, 656, 722},
    {kTournament, "Cmb Campaign Med", 726, 950, 506, 722},
};

// Sprite and icon ids of the screen: the hints 100..115, the fire marker,
// the preview.
constexpr int kHintId = 100, kFireId = 400, kPreviewId = 666;
constexpr int kFireFrames = MenuPictures::kFireFrames, kFireLoopFrame = 12;
// How often the fire marker flickers (ms).
constexpr int kFireInterval = 80;
constexpr int kButtonDepth = 32766;

}  // namespace

int COrvaneView::SpotBattle(int spot) { return spot >= 0 && spot < kSpotCount ? kSpotBattles[spot] : 9; }

BOOL COrvaneView::InitSingleBattleMenu() {
    COrvaneDoc* doc = GetDocument();
    GetButtons().DeleteAll();
    PressedButton = -1;
    HoveredSpot = -1;
    PreviewSpot = -1;
    PreviewLocked = 0;
    HoverSprite = nullptr;
    HoverIcon = nullptr;
    HoverByte = 0;

    const bool small = m_nScreenWidth <= 1024;
    delete SpotGrid;
    SpotGrid = new CBucketGrid;
    SpotGrid->Create((m_nScreenWidth + 29) / 30, (m_nScreenHeight + 29) / 30, m_nScreenWidth, m_nScreenHeight, 0);
    for (int spot = 0; spot < kSpotCount; ++spot) {
        const SpotRect& r = small ? kSpots1024[spot] : kSpotsLarge[spot];
        SpotGrid->Insert(new CRect(r.left, r.top, r.right, r.bottom));
    }

    // Each spot's battlefield hint, hidden under the spot until hovered.
    CString data = doc ? doc->GetDataPath() : CString("Data\\");
    for (int spot = 0; spot < kSpotCount; ++spot) {
        int map = CCampaign::getHostileATtackID(SpotBattle(spot));
        CSprite* hint = LoadSpriteSet(GetHintName(data, map, m_nScreenWidth), TRUE, kHintId + spot, 1, 1, -1);
        if (!hint) continue;
        const SpotRect& r = small ? kSpots1024[spot] : kSpotsLarge[spot];
        int x = r.left + (small ? 12 : 15) - hint->GetWidth() / 2;
        CIcon* icon = AddIcon(hint, x, r.top + 40, kHintId + spot, TRUE, 0, 0, 0, 0, 0);
        icon->m_bEnabled = FALSE;
        icon->SetDepth(1000, FALSE);
    }

    for (const MenuButton& b : kButtons) {
        // Without a session every button is offered.
        AddCommandButton(b.id, b.picture, small ? b.x1024 : b.xLarge, small ? b.y1024 : b.yLarge, TRUE, kButtonDepth);
    }

    CString pictures = doc ? doc->GetPicturesPath() : CString("Pictures\\");
    CString fireName = pictures + (small ? "1024" : "") + MenuPictures::kFireSet + ".giz";
    if (CSprite* fire = LoadSpriteSet(fireName, FALSE, kFireId, kFireFrames, 1, -1)) {
        const SpotRect& r = small ? kSpots1024[1] : kSpotsLarge[1];
        CIcon* icon = AddIcon(fire, r.left, r.top, kFireId, TRUE, 0, 0, 0, 0, 0);
        icon->m_bEnabled = FALSE;
        icon->m_nPhaseColumn = 0;
        icon->m_nPhaseRow = 0;
        icon->SetDepth(2000, FALSE);
    }

    return GetButtons().LoadAll(doc ? doc->GetCmbPath() : CString("Pictures\\Cmb\\"), m_nColourDepth, nullptr);
}

void COrvaneView::DrawWaitForBattle(int channel) {
    if (channel != 1) return;  // channel 3 serves a session only
    CIcon* fire = GetIcons().FindById(kFireId);
    auto* sprite = fire ? DYNAMIC_DOWNCAST(CPhasedSprite, fire->m_pSprite) : nullptr;
    if (!fire || !sprite || !fire->m_bEnabled) return;
    int next = fire->m_nPhaseColumn + 1;
    fire->m_nPhaseColumn = next < sprite->GetColumnCount() ? next : kFireLoopFrame;
    fire->Refresh(TRUE);
    DrawAllSprites(FALSE);
}

void COrvaneView::OnMouseMoveSbttlMenu(UINT, CPoint point) {
    if (PreviewLocked || !SpotGrid) return;
    int spot = SpotGrid->FindAt(point.x, point.y) ? SpotGrid->GetFoundId() : -1;
    if (spot == HoveredSpot) return;
    if (HoveredSpot >= 0)
        if (CIcon* hint = GetIcons().FindById(kHintId + HoveredSpot)) {
            hint->m_bEnabled = FALSE;
            hint->Refresh(TRUE);
        }
    HoveredSpot = spot;
    HoverByte = spot >= 0;
    HoverIcon = spot >= 0 ? GetIcons().FindById(kHintId + spot) : nullptr;
    HoverSprite = HoverIcon ? HoverIcon->m_pSprite : nullptr;
    if (HoverIcon) {
        HoverIcon->m_bEnabled = TRUE;
        HoverIcon->Refresh(TRUE);
    }
    if (CIcon* fire = GetIcons().FindById(kFireId)) {
        fire->Refresh(TRUE);
        if (spot >= 0) {
            const CRect* r = SpotGrid->FindById(spot);
            fire->SetPosition(r->CenterPoint().x - fire->GetRect().Width() / 2,
                              r->CenterPoint().y - fire->GetRect().Height() / 2, TRUE);
            fire->m_nPhaseColumn = 0;
        }
        fire->m_bEnabled = spot >= 0;
        fire->Refresh(TRUE);
        SetTimerInterval1(spot >= 0 ? kFireInterval : 0);
    }
    DrawAllSprites(FALSE);
}

void COrvaneView::OnRButtonDownSbttlMenu(UINT, CPoint point) {
    if (PreviewLocked || !SpotGrid || !SpotGrid->FindAt(point.x, point.y)) return;
    int spot = SpotGrid->GetFoundId();
    COrvaneDoc* doc = GetDocument();
    int map = CCampaign::getHostileATtackID(SpotBattle(spot));
    CString name = GetInfoName(doc ? doc->GetDataPath() : CString("Data\\"), map);
    CSprite* picture = LoadSpriteSet(name, TRUE, kPreviewId, 1, 1, -1);
    if (!picture) return;
    PreviewSpot = spot;
    PreviewLocked = 1;
    bool small = m_nScreenWidth <= 1024;
    CIcon* icon = AddIcon(picture, small ? 341 : 476, small ? 14 : 101, kPreviewId, TRUE, 0, 0, 0, 0, 0);
    icon->SetDepth(3000, TRUE);
    DrawAllSprites(FALSE);
}

void COrvaneView::OnLButtonDownSbttlMenu(UINT, CPoint point) {
    int id = GetButtons().HitTestId(point.x, point.y, FALSE);
    if (id == 0) return;
    PressedButton = id;
    SetButtonState(id, FALSE, FALSE, TRUE);
}

void COrvaneView::OnLButtonUpSbttlMenu(UINT, CPoint point) {
    if (PressedButton > 0) {
        int pressed = PressedButton;
        PressedButton = -1;
        SetButtonState(pressed, TRUE, FALSE, TRUE);
        if (GetButtons().HitTestId(point.x, point.y, FALSE) == pressed) {
            switch (pressed) {
            case kCancel: ChangeMode(MODE_MAIN_MENU); return;
            case kRandom: PrintMessage("ERROR: The random battle is not available."); return;
            case kTournament: PrintMessage("ERROR: The tournament is not available."); return;
            default: break;
            }
        }
    }
    if (PreviewLocked) {
        // The click only takes the preview down.
        GetIcons().RemoveById(kPreviewId, TRUE);
        GetSprites().RemoveById(kPreviewId, TRUE);
        PreviewLocked = 0;
        PreviewSpot = -1;
        RedrawRect(nullptr, &GetIcons());
        SetButtonState(0, TRUE, FALSE, FALSE);
        Render();
        return;
    }
    if (!SpotGrid || !SpotGrid->FindAt(point.x, point.y)) return;
    BattleNumber = SpotBattle(SpotGrid->GetFoundId());
    BattleMap = CCampaign::getHostileATtackID(BattleNumber);
    ChangeMode(MODE_SINGLE_BATTLE);
}

BOOL COrvaneView::EnterSingleBattle() {
    GameMode = MODE_SINGLE_BATTLE;
    NetworkScreen = IsConnected() ? 1 : 0;
    PlayKind = 1;
    if (SetupBattle(BattleNumber, true, nullptr)) {
        SinglePlayRoster = 0;
        ChangeMode(MODE_TACTIC);
        // Single play never stays here: without a deployment screen the
        // menu comes back.
        if (GameMode == MODE_SINGLE_BATTLE) ChangeMode(MODE_SBTTL_MENU);
    } else {
        ChangeMode(MODE_SBTTL_MENU);
    }
    return TRUE;
}

void COrvaneView::ExitSingleBattleMenu() {
    HoverIcon = nullptr;
    HoverSprite = nullptr;
    HoverByte = 0;
    HoveredSpot = -1;
    PreviewLocked = 0;
    PreviewSpot = -1;
    PressedButton = -1;
    SetTimerInterval1(0);
    GetIcons().DeleteAll();
    GetSprites().DeleteAll();
    GetButtons().DeleteAll();
    delete SpotGrid;
    SpotGrid = nullptr;
}
