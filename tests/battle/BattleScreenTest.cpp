// The battle screen of the real game, headless on the data kit: a battle
// chosen as the menus hand it over, entered in both layouts, drawn and run.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "Units/Missile.h"
#include "Units/Unit.h"
#include "core/GameTables.h"
#include "field/BattlefieldTables.h"
#include "Units/UnitSets.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/PathResolver.h"
#include "tests/support/BattleGame.h"
#include "tests/support/BattleChoice.h"
#include "tests/support/GameRun.h"
#include "tests/support/ScreenLayouts.h"

namespace {

namespace fs = std::filesystem;

using Layout = CScreenLayout;

// The real game at the introduction, a battle chosen.
struct BattleGame : CBattleGame {
    using CBattleGame::CBattleGame;
    // What the battlefield picture holds at a field point.
    uint32_t Field(int x, int y) {
        const BYTE* p = view->GetBackground().GetPixelAddress(x, y);
        return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
    }
    // Screen pixels of the field rectangle `r` that differ from the
    // battlefield there: what is drawn over it.
    int CountDrawn(const CRect& r) {
        int drawn = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                CPoint w(x, y);
                view->FieldToScreen(w);
                drawn += (Screen(w.x, w.y) & 0xFFFFFF) != Field(x, y);
            }
        return drawn;
    }
    // Whether any drawn icon covers the field point.
    bool Covered(int x, int y) {
        for (POSITION pos = view->GetIcons().GetHeadPosition(); pos;) {
            CIcon* icon = static_cast<CIcon*>(view->GetIcons().GetNext(pos));
            if (icon->m_bEnabled && icon->m_pSprite && icon->GetRect().PtInRect(CPoint(x, y))) return true;
        }
        return false;
    }
    // Every field-area window point on a coarse grid that no icon covers
    // shows the battlefield at that point plus the scroll offset.
    int CountWrongFieldPixels() {
        int wrong = 0;
        const CRect v = view->m_rcVisible;
        for (int y = 5; y < v.Height(); y += 37)
            for (int x = 5; x < v.Width(); x += 41) {
                if (Covered(v.left + x, v.top + y)) continue;
                if ((Screen(x, y) & 0xFFFFFF) != Field(v.left + x, v.top + y)) ++wrong;
            }
        return wrong;
    }
};

class BattleScreen : public ::testing::TestWithParam<Layout> {};


// Every unit's icon shows its unit: the side's set for its kind, its frame
// across and its facing's row down, centred on the unit (mounted units a
// little higher), in front of what stands above it on the field.
void ExpectIconsFollowUnits(COrvaneView& view) {
    int units = 0;
    for (POSITION pos = view.BattleUnits.GetHeadPosition(); pos;) {
        CUnit* u = view.BattleUnits.GetUnit(pos);
        ++units;
        auto* link = dynamic_cast<CUnitIconLink*>(u->m_icon);
        ASSERT_NE(link, nullptr) << "unit " << u->m_number << " has no picture";
        CIcon* icon = link->Icon();
        const UnitSets::Spec* set = UnitSets::ForKind(u->m_kind);
        ASSERT_NE(set, nullptr);
        const int side = u->GetArmy() == static_cast<IUnitsArmy*>(view.Armies[0]) ? 0 : 1;
        EXPECT_EQ(icon->m_pSprite, view.UnitSetSlots[side * 10 + set->slot]) << "kind " << u->m_kind;
        EXPECT_EQ(icon->m_nWidth, set->cellWidth);
        EXPECT_EQ(icon->m_nHeight, set->cellHeight);
        EXPECT_EQ(icon->m_nPhaseRow, u->m_facing);
        EXPECT_EQ(icon->m_nPhaseColumn, u->m_frame);
        if (u->m_dead || u->m_lost) continue;
        const CPoint centre = icon->GetRect().CenterPoint();
        EXPECT_EQ(centre.x, u->m_x) << "unit " << u->m_number;
        const int lift = int(-(5 * u->m_height)) - (u->IsMounted() ? 10 : 0);
        EXPECT_EQ(centre.y, u->m_y + lift) << "unit " << u->m_number;
        EXPECT_EQ(icon->GetDepth(), u->m_y + 16020);
    }
    EXPECT_GT(units, 20);
}

TEST_P(BattleScreen, ABattleLoadsWithEveryFileAndShowsTheFieldAndItsUnits) {
    BattleGame g(GetParam());
    ASSERT_TRUE(g.Enter()) << ::testing::PrintToString(AfxGetShownMessages());
    EXPECT_THAT(AfxGetMissingNames(), ::testing::IsEmpty());
    EXPECT_THAT(AfxGetShownMessages(), ::testing::IsEmpty());
    COrvaneView& v = *g.view;
    EXPECT_EQ(v.GetBackground().PictureWidth(), 3000);
    EXPECT_EQ(v.GetBackground().PictureHeight(), 2000);
    EXPECT_EQ(v.m_rcFieldArea, CRect(0, 0, GetParam().width, GetParam().height - 128));
    // The armed clock: the first step runs on the next idle pass.
    EXPECT_EQ(v.Channels[0].Interval, -1);
    EXPECT_EQ(v.Channels[2].Interval, 50);
    ASSERT_NE(v.OrientationPointer, nullptr);
    EXPECT_EQ(v.OrientationPointer->GetDepth(), 32767);
    EXPECT_EQ(v.OrientationPointer->GetPosition(), CPoint(-1000, -1000));

    ExpectIconsFollowUnits(v);
    // The middle of the field is shown, the battlefield where no icon
    // stands, and the units where they stand.
    EXPECT_EQ(v.m_rcVisible.CenterPoint(), CPoint(1500, 1000));
    EXPECT_EQ(g.CountWrongFieldPixels(), 0);
    // Terrain objects stand on the field with their pictures.
    int features = 0;
    for (POSITION pos = v.BattleTerrain->GetHeadPosition(); pos;)
        features += v.BattleTerrain->GetTerrain(pos)->m_icon != nullptr;
    EXPECT_GT(features, 0);
}

TEST_P(BattleScreen, UnitsAreDrawnInTheirClansSetsAndFollowTheBattleAsItRuns) {
    BattleGame g(GetParam());
    ASSERT_TRUE(g.Enter());
    COrvaneView& v = *g.view;
    // Both armies in view: look at one unit of each side.
    for (int side = 0; side < 2; ++side) {
        CUnit* u = nullptr;
        for (POSITION pos = v.BattleUnits.GetHeadPosition(); pos && !u;) {
            CUnit* c = v.BattleUnits.GetUnit(pos);
            if (c->GetArmy() == static_cast<IUnitsArmy*>(v.Armies[side]) && c->m_kind == KIND_SWORDMAN) u = c;
        }
        ASSERT_NE(u, nullptr) << side;
        v.ScrollBattleTo(u->m_x, u->m_y);
        CIcon* icon = static_cast<CUnitIconLink*>(u->m_icon)->Icon();
        const CRect r = icon->GetRect();
        EXPECT_GT(g.CountDrawn(r), r.Width() * r.Height() / 8) << "side " << side;
        // A click on a drawn pixel of the unit finds a unit drawn there; a
        // click on bare field finds none.
        CPoint on(-1, -1);
        for (int y = r.top; y < r.bottom && on.x < 0; ++y)
            for (int x = r.left; x < r.right && on.x < 0; ++x)
                if (icon->HitTest(x, y, FALSE)) on = CPoint(x, y);
        ASSERT_GE(on.x, 0);
        CPoint w = on;
        v.FieldToScreen(w);
        CUnit* hit = v.HitTestUnitAt(w.x, w.y);
        ASSERT_NE(hit, nullptr);
        EXPECT_TRUE(static_cast<CUnitIconLink*>(hit->m_icon)->Icon()->HitTest(on.x, on.y, FALSE));
        CPoint bare(v.m_rcVisible.left + 3, v.m_rcVisible.top + 3);
        if (!g.Covered(bare.x, bare.y)) {
            v.FieldToScreen(bare);
            EXPECT_EQ(v.HitTestUnitAt(bare.x, bare.y), nullptr);
        }
    }
    // A unit that walks is drawn where it now stands and no longer where it
    // stood.
    CUnit* walker = v.BattleUnits.GetHead();
    v.ScrollBattleTo(walker->m_x, walker->m_y);
    const CRect stood = static_cast<CUnitIconLink*>(walker->m_icon)->Icon()->GetRect();
    walker->m_x += 60;
    walker->UpdateSprite();
    v.DrawBattleScene();
    const CRect after = static_cast<CUnitIconLink*>(walker->m_icon)->Icon()->GetRect();
    EXPECT_EQ(after.TopLeft(), stood.TopLeft() + CPoint(60, 0));
    int changedBefore = 0, changedAfter = 0;
    for (int y = stood.top; y < stood.bottom; ++y)
        for (int x = 0; x < stood.Width(); ++x) {
            if (g.Covered(stood.left + x, y)) continue;
            CPoint w(stood.left + x, y), n(after.left + x, y);
            v.FieldToScreen(w);
            v.FieldToScreen(n);
            changedBefore += (g.Screen(w.x, w.y) & 0xFFFFFF) != g.Field(stood.left + x, y);
            changedAfter += (g.Screen(n.x, n.y) & 0xFFFFFF) != g.Field(after.left + x, y);
        }
    EXPECT_EQ(changedBefore, 0);
    EXPECT_GT(changedAfter, 0);

    // A few seconds of battle: the simulation steps, the pictures follow.
    const uint32_t before = v.BattleTick;
    ASSERT_TRUE(g.run.Run(3000));
    ASSERT_EQ(v.GameMode, MODE_BATTLE);
    EXPECT_GT(v.BattleTick, before + 10);
    ExpectIconsFollowUnits(v);
    EXPECT_EQ(g.CountWrongFieldPixels(), 0);
}

TEST_P(BattleScreen, EachCornerOfTheFieldShowsItsOwnPart) {
    BattleGame g(GetParam());
    ASSERT_TRUE(g.Enter());
    COrvaneView& v = *g.view;
    const int w = GetParam().width, h = GetParam().height - 128;
    struct Corner {
        CPoint aim, topLeft;
    };
    const Corner corners[] = {{{0, 0}, {0, 0}},
                              {{3000, 0}, {3000 - w, 0}},
                              {{0, 2000}, {0, 2000 - h}},
                              {{3000, 2000}, {3000 - w, 2000 - h}}};
    for (const Corner& c : corners) {
        v.ScrollBattleTo(c.aim.x, c.aim.y);
        EXPECT_EQ(v.m_rcVisible, CRect(c.topLeft, CSize(w, h))) << c.aim.x << "," << c.aim.y;
        EXPECT_EQ(g.CountWrongFieldPixels(), 0) << c.aim.x << "," << c.aim.y;
    }
}

// A battlefield whose picture cannot be read is no battle: the player hears
// why and is back at the menu, with nothing of the battle left behind.
TEST_P(BattleScreen, ABattlefieldWithoutItsPictureGoesBackToTheMenu) {
    BattleGame g(GetParam());
    // The scratch game folder's map data, without the battlefield's picture.
    const fs::path mapData = g.run.WorkFolder() / "Data" / "MapData";
    const fs::path kitMapData = fs::read_symlink(mapData);
    fs::remove(mapData);
    fs::create_directory(mapData);
    for (const fs::directory_entry& e : fs::directory_iterator(kitMapData))
        if (e.path().filename() != "Bkgnd A1M.giz") fs::create_symlink(e.path(), mapData / e.path().filename());
    EXPECT_FALSE(g.Enter());
    EXPECT_EQ(g.view->GameMode, MODE_MAIN_MENU);
    EXPECT_THAT(AfxGetShownMessages(), ::testing::Contains(::testing::HasSubstr("ERROR: ")));
    EXPECT_EQ(g.view->Battle, nullptr);
    EXPECT_EQ(g.view->BattleUnits.GetCount(), 0);
    EXPECT_EQ(g.view->Armies[0], nullptr);
    EXPECT_EQ(g.view->Channels[0].Interval, 0);
}

// A screenshot is the next free numbered JPEG of the player's screenshots
// folder, never one that is there; the whole battlefield goes to its own
// numbers, searched from the first.
TEST_P(BattleScreen, ScreenshotsLandAsNumberedJpegsInThePlayersFolder) {
    BattleGame g(GetParam());
    ASSERT_TRUE(g.Enter());
    ASSERT_TRUE(g.run.Run(500));
    const fs::path folder = fs::path(AfxGetUserDataFolder()) / "Screenshots";
    fs::create_directories(folder);
    { std::ofstream(folder / "shot0000.jpg") << "the player's own"; }
    g.view->ShotCounter = 0;
    g.view->SaveScreenshot(0, 1);
    EXPECT_EQ(g.view->ShotCounter, 1);
    ASSERT_TRUE(fs::exists(folder / "shot0001.jpg"));
    EXPECT_EQ(fs::file_size(folder / "shot0000.jpg"), 16u);  // left alone
    CDIB shot;
    ASSERT_TRUE(shot.LoadPicture(24, (folder / "shot0001.jpg").c_str(), nullptr));
    EXPECT_EQ(shot.PictureWidth(), GetParam().width);
    EXPECT_EQ(shot.PictureHeight(), GetParam().height);
    // JPEG is lossy: the middle of the shot is close to the screen there.
    const BYTE* p = shot.GetPixelAddress(GetParam().width / 2, 100);
    const uint32_t screen = g.Screen(GetParam().width / 2, 100);
    EXPECT_NEAR(p[2], int(screen >> 16 & 0xFF), 40);
    EXPECT_NEAR(p[1], int(screen >> 8 & 0xFF), 40);

    g.view->ShotCounter = 7;
    g.view->SaveScreenshot(1, 0);
    EXPECT_TRUE(fs::exists(folder / "wholeshot0000.jpg"));
    CDIB whole;
    ASSERT_TRUE(whole.LoadPicture(24, (folder / "wholeshot0000.jpg").c_str(), nullptr));
    EXPECT_EQ(whole.PictureWidth(), 3000);
    EXPECT_EQ(whole.PictureHeight(), 2000);
    fs::remove_all(folder);
}

// The division panel opens beside the division's portrait column and holds
// the clock while it is open; each division of the player's army lights
// the marker of its standing order.
TEST_P(BattleScreen, PanelsAndMarkersShowTheSelectedDivision) {
    BattleGame g(GetParam());
    ASSERT_TRUE(g.Enter());
    COrvaneView& v = *g.view;
    const bool narrow = GetParam().width <= 1024;
    for (int k = 0; k < 4; ++k) EXPECT_EQ(v.DivisionSlots[k].Column, k);
    EXPECT_EQ(v.DivisionSlots[4].Column, 255);
    // The portraits stand in the panel, one column each.
    ASSERT_NE(v.DivisionSlots[3].PortraitIcon, nullptr);
    EXPECT_EQ(v.DivisionSlots[3].PortraitIcon->GetPosition(), CPoint(3 * (narrow ? 66 : 68) + (narrow ? 171 : 235), 12));

    // Each portrait has its strength bar: a segment and a half a unit.
    for (int k = 0; k < 4; ++k) {
        const CDivisionMeter* meter = v.DivisionSlots[k].Meter.get();
        ASSERT_NE(meter, nullptr) << k;
        EXPECT_EQ(meter->GetSegmentCount(), 60);
        EXPECT_EQ(meter->GetCount(), std::min(60, int(meter->m_pDivision->GetStrength() * 1.5))) << k;
        EXPECT_GT(meter->GetCount(), 0);
    }
    EXPECT_EQ(CDivisionMeter::RowForRatio(1.3), 1);
    EXPECT_EQ(CDivisionMeter::RowForRatio(0.99), 3);
    EXPECT_EQ(CDivisionMeter::RowForRatio(0.39), 5);

    ASSERT_TRUE(v.PlaceDivisionPanel(TRUE, 3, -1000, -1000));
    const int x = narrow ? 352 : 422, y = GetParam().height - 160;
    EXPECT_EQ(v.PanelDivision, 3);
    EXPECT_EQ(v.OverlayFlags & 8, 8);
    EXPECT_EQ(v.Channels[0].Interval, 0);  // the battle waits for the player
    for (int i = 0; i < 8; ++i) {
        CCommandButton* b = v.GetButtons().FindById(9 + i);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->GetRect().TopLeft(), CPoint(x, y + 20 * i)) << i;
    }
    // The first order button is drawn where it stands.
    CCommandButton* move = v.GetButtons().FindById(9);
    EXPECT_TRUE(move->m_bEnabled);
    const uint32_t drawn = g.Screen(x + move->GetRect().Width() / 2, y + 10);
    v.PlaceDivisionPanel(FALSE, -1, 0, 0);
    EXPECT_EQ(v.OverlayFlags & 8, 0);
    EXPECT_EQ(v.Channels[0].Interval, -1);
    EXPECT_FALSE(v.GetButtons().FindById(9)->m_bEnabled);
    EXPECT_NE(g.Screen(x + move->GetRect().Width() / 2, y + 10), drawn);

    v.UpdateOrderMarkers();
    for (POSITION pos = v.Armies[0]->m_divisions.GetHeadPosition(); pos;) {
        const CDivision* d = v.Armies[0]->m_divisions.GetDivision(pos);
        int lit = 0, litId = 0;
        for (int id = d->m_number * 8 + 59; id <= d->m_number * 8 + 66; ++id)
            if (v.GetButtons().FindById(id)->m_bEnabled) ++lit, litId = id;
        EXPECT_EQ(lit, 1) << "division " << d->m_number;
        const int kind = litId - d->m_number * 8 - 50;
        const int type = d->GetStandingOrder();
        const int expected = type == 1 ? 11 : type == 2 ? 12 : type == 16 ? 9 : type == 64 ? 15 : type == 128 ? 14
                           : type == 256 ? 16 : 13;
        EXPECT_EQ(kind, expected) << "division " << d->m_number << " order " << type;
    }
}

// Each side's two headquarters stand on the field as key points with the
// side's flags: kept by the battlefield's terrain list, by their army and
// as the enemy's targets, in the map's flag places where it has them and
// behind the commander where it has not; no placeholder is left.
TEST_P(BattleScreen, HeadquartersFlyTheirSidesFlags) {
    BattleGame g(GetParam());
    ASSERT_TRUE(g.Enter());
    COrvaneView& v = *g.view;
    // The first clan's own flags share their types with the placeholders:
    // what remains of those types are headquarters.
    for (POSITION pos = v.BattleTerrain->GetHeadPosition(); pos;) {
        CTerrain* t = v.BattleTerrain->GetTerrain(pos);
        const int type = GetObjectTypeFromResource(t->m_objectType);
        if (type < 361 || type > 364) continue;
        bool hq = false;
        for (CArmy* a : {v.Armies[0], v.Armies[1]}) hq = hq || a->m_headquarters[0] == t || a->m_headquarters[1] == t;
        EXPECT_TRUE(hq) << "a placeholder of type " << type << " is left";
    }
    for (int side = 0; side < 2; ++side)
        for (int kind = 1; kind <= 2; ++kind) {
            SCOPED_TRACE(::testing::Message() << "side " << side << " kind " << kind);
            CKeyPoint* hq = v.Armies[side]->m_headquarters[kind - 1];
            ASSERT_NE(hq, nullptr);
            EXPECT_EQ(v.Armies[1 - side]->GetHeadquarters(kind + 1), hq);
            EXPECT_NE(v.BattleTerrain->Find(hq), nullptr);
            const int type = GetSideFlagObjectType(v.BattleClanName(side), side, kind);
            EXPECT_EQ(hq->m_objectType, GetObjectResourceNumber(type));
            EXPECT_EQ(type - GetFlagObjectType(NationIdFromName(v.BattleClanName(side)), 1), kind + 1 - 2 * side);
            CIcon* flag = v.GetIcons().FindById(700 + side + 2 * (kind - 1));
            ASSERT_NE(flag, nullptr);
            EXPECT_EQ(flag->m_pSprite, v.GetSprites().Find(hq->m_objectType));
            auto* link = dynamic_cast<CTerrainIconLink*>(hq->m_icon);
            ASSERT_NE(link, nullptr);
            EXPECT_EQ(link->Icon(), flag);
        }
    // A clan with no flags of its own flies the first clan's: its
    // headquarters is the first clan's flag object, never none.
    v.BattleClans[1] = 11;
    CKeyPoint* monks = v.PlaceSideFlag(1, 2, 1500, 300);
    ASSERT_NE(monks, nullptr);
    EXPECT_EQ(monks->m_objectType, GetObjectResourceNumber(GetFlagObjectType(1, 2)));
    EXPECT_EQ(v.Armies[1]->m_headquarters[1], monks);
}

// Arrows and shots in flight are drawn where they fly: the arrow turned to
// its heading, the shot as a ball, each in the middle of its picture at
// its height above the ground, and gone with the missile when it comes
// down. The missiles are loosed here by hand, as a shooting unit looses
// them.
TEST_P(BattleScreen, MissilesInFlightAreDrawnWhereTheyFly) {
    BattleGame g(GetParam());
    ASSERT_TRUE(g.Enter());
    COrvaneView& v = *g.view;
    CUnit* shooter = v.BattleUnits.GetHead();
    const int x = 1500, y = 300;
    const double ground = v.Battle->altitude.GetAltitude(x, y);
    struct Case {
        bool arrow;
        int dx, dy;
    };
    for (const Case& c : {Case{true, 100, -40}, Case{false, 0, -100}}) {
        SCOPED_TRACE(c.arrow ? "arrow" : "shot");
        const int icons = v.GetIcons().GetCount();
        auto* m = c.arrow ? new CMissile(FALSE, ground + 2, 30.0, 30, 5, c.dx, c.dy, x, y, shooter)
                          : CMissile::MakeAimed(TRUE, ground + 2, 20.0, 0.0, 5, c.dx, c.dy, x, y, shooter, 6);
        shooter->m_pendingMissile = m;
        v.GiveMissileSprite(shooter);
        v.BattleMissiles.TakeFrom(shooter);
        auto* link = dynamic_cast<CMissileIconLink*>(m->m_sprite);
        ASSERT_NE(link, nullptr);
        CIcon* icon = link->Icon();
        EXPECT_EQ(v.GetIcons().GetCount(), icons + 1);
        EXPECT_EQ(icon->m_pSprite, v.GetSprites().Find(c.arrow ? 22 : 23));
        if (c.arrow) {
            EXPECT_EQ(icon->m_nPhaseRow, Heading8(m->m_stepX, m->m_stepY));
        }
        v.BattleMissiles.StepAll(v.BattleGrid);
        ASSERT_EQ(v.BattleMissiles.GetCount(), 1);
        // The missile's point is the middle of its picture.
        const CPoint middle = icon->GetRect().CenterPoint();
        EXPECT_EQ(middle.x, m->m_x);
        EXPECT_EQ(middle.y, m->m_y - int(5 * m->m_height));
        v.ScrollBattleTo(m->m_x, m->m_y);
        v.DrawBattleScene();
        EXPECT_GT(g.CountDrawn(icon->GetRect()), 3);
        // It comes down and its picture goes; the field shows again.
        for (int i = 0; i < 40 && v.BattleMissiles.GetCount() > 0; ++i) v.BattleMissiles.StepAll(v.BattleGrid);
        EXPECT_EQ(v.BattleMissiles.GetCount(), 0);
        EXPECT_EQ(v.GetIcons().GetCount(), icons);
        v.DrawBattleScene();
        EXPECT_EQ(g.CountWrongFieldPixels(), 0);
    }
}

// The dust of a man in melee rises where he stands, unless a feature that
// counts down stands over that spot: then the feature hides it.
TEST_P(BattleScreen, DustBehindAFeatureIsHidden) {
    BattleGame g(GetParam());
    ASSERT_TRUE(g.Enter());
    COrvaneView& v = *g.view;
    CTerrain* feature = nullptr;
    for (POSITION pos = v.BattleTerrain->GetHeadPosition(); pos && !feature;) {
        CTerrain* t = v.BattleTerrain->GetTerrain(pos);
        if (dynamic_cast<CTerrainIconLink*>(t->m_icon) && !t->GetFlagBit3() && !dynamic_cast<CKeyPoint*>(t)) feature = t;
    }
    ASSERT_NE(feature, nullptr);
    feature->m_countdown = 5;
    CUnit* man = nullptr;
    for (POSITION pos = v.BattleUnits.GetHeadPosition(); pos && !man;) {
        CUnit* u = v.BattleUnits.GetUnit(pos);
        if (u->m_kind == KIND_SWORDMAN && !u->m_onWater) man = u;
    }
    ASSERT_NE(man, nullptr);
    CIcon* icon = static_cast<CUnitIconLink*>(man->m_icon)->Icon();
    // Stands the man in melee, his icon still, with the puff's point at
    // `target`; true when a puff then stands on that point.
    auto dustAt = [&](CPoint target) {
        const CPoint p = man->GetEffectPoint(FALSE);
        const CPoint at = icon->GetPosition() + (target - p);
        icon->SetPosition(at.x, at.y, FALSE);
        icon->SetPosition(at.x, at.y, FALSE);
        man->m_x = target.x, man->m_y = target.y;
        man->m_action.m_type = 7;
        v.ClearBattleEffects();
        v.UpdateUnitEffects();
        for (POSITION pos = v.EffectIcons.GetHeadPosition(); pos;) {
            const CRect r = static_cast<CIcon*>(v.EffectIcons.GetNext(pos))->GetRect();
            if (r.left + r.Width() / 2 == target.x && r.bottom == target.y) return true;
        }
        return false;
    };
    const CRect covered = static_cast<CTerrainIconLink*>(feature->m_icon)->Icon()->GetRect();
    EXPECT_FALSE(dustAt(covered.CenterPoint()));
    CPoint open(-1, -1);
    for (int y = 200; y < 1800 && open.x < 0; y += 50)
        for (int x = 200; x < 2800 && open.x < 0; x += 50)
            if (!g.Covered(x, y) && !g.Covered(x, y - 20)) open = CPoint(x, y);
    ASSERT_GE(open.x, 0);
    EXPECT_TRUE(dustAt(open));
}

TEST(BattlePanels, DivisionSymbolsFollowTheirTable) {
    struct Case {
        int arm, grade, symbol;
    };
    for (const Case& c : {Case{0, 0, 6}, {4, 3, 22}, {2, 1, 14}, {5, 0, -1}, {0, 4, -1}, {-1, 0, -1}})
        EXPECT_EQ(COrvaneView::TacticSymbolIndex(c.arm, c.grade), c.symbol) << c.arm << "," << c.grade;
}

INSTANTIATE_TEST_SUITE_P(Layouts, BattleScreen, ::testing::ValuesIn(kScreenLayouts));

}  // namespace
