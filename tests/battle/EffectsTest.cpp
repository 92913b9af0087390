// Dust, smoke and splashes fade and go; fog banks come in at the edge the
// clouds drift from and wrap round the field. None of it draws a counted
// number.
#include <gtest/gtest.h>

#include "Units/Unit.h"
#include "battle/UnitPuff.h"
#include "tests/battle/BattleFixture.h"

TEST(Effects, PuffsFadeEachStepAndGoBelowOneFifth) {
    struct Case {
        bool splash;
        double fade, step;
        int stepsShown;  // fades after which the puff is still there
    } cases[] = {
        {true, 0.75, 0.1, 5},    // drawn at .65 .55 .45 .35 .25, gone at .15
        {false, 0.25, 0.02, 2},  // .23 .21, gone at .19
    };
    for (const Case& c : cases) {
        COrvaneView view;
        AddEffectPictures(view, 10, 30);
        if (c.splash) view.SpawnSplash(500, 600, c.fade, c.step, 1);
        else view.SpawnDust(500, 600, c.fade, c.step);
        ASSERT_EQ(view.EffectIcons.GetCount(), 1);
        auto* icon = static_cast<CIcon*>(view.EffectIcons.GetHead());
        EXPECT_EQ(icon->GetPosition(), CPoint(495, 570)) << "the picture stands on its bottom centre";
        EXPECT_EQ(icon->GetDepth(), c.splash ? 16004 : 19000);
        EXPECT_GE(icon->m_nId, c.splash ? 440 : 430);
        EXPECT_LE(icon->m_nId, c.splash ? 443 : 433);
        for (int n = 0; n < c.stepsShown; ++n) {
            view.FadeEffectSprites();
            EXPECT_EQ(view.EffectIcons.GetCount(), 1) << c.fade << " fade " << n + 1;
        }
        view.FadeEffectSprites();
        EXPECT_EQ(view.EffectIcons.GetCount(), 0);
        EXPECT_EQ(view.GetIcons().GetCount(), 0) << "the spent puff is deleted with the view's list";
    }
}

TEST(Effects, FootSplashesUseTheirOwnPictures) {
    COrvaneView view;
    AddEffectPictures(view);
    for (int i = 0; i < 20; ++i) view.SpawnSplash(100, 100, 0.6, 0.1, 0);
    POSITION pos = view.EffectIcons.GetHeadPosition();
    while (pos) {
        auto* icon = static_cast<CIcon*>(view.EffectIcons.GetNext(pos));
        EXPECT_GE(icon->m_nId, 444);
        EXPECT_LE(icon->m_nId, 447);
    }
}

namespace {
// Calls AddFogSprite until one comes in (its roll lets 4 in 11 through).
CIcon* AddOneFog(COrvaneView& view) {
    int before = view.FogIcons.GetCount();
    for (int i = 0; i < 500 && view.FogIcons.GetCount() == before; ++i) view.AddFogSprite();
    return view.FogIcons.GetCount() > before ? static_cast<CIcon*>(view.FogIcons.GetTail()) : nullptr;
}
}  // namespace

TEST(Effects, FogEntersAtTheEdgeTheCloudsComeFrom) {
    struct Case {
        int dx, dy;
        char edge;
    } cases[] = {{2, 3, 'L'}, {-2, -3, 'R'}, {0, -1, 'B'}, {3, -1, 'B'}, {0, 2, 'T'}, {-1, 2, 'T'}, {1, 0, 'L'}};
    for (const Case& c : cases) {
        COrvaneView view;
        AddEffectPictures(view, 40, 20);
        view.Weather.cloudDx = c.dx;
        view.Weather.cloudDy = c.dy;
        view.Weather.visibility = 0.7;
        int before = RandCallCount;
        CIcon* icon = AddOneFog(view);
        ASSERT_NE(icon, nullptr);
        EXPECT_EQ(RandCallCount, before);
        CPoint p = icon->GetPosition();
        if (c.edge == 'L') { EXPECT_EQ(p.x, -40) << c.dx << "," << c.dy; }
        if (c.edge == 'R') { EXPECT_EQ(p.x, 3000) << c.dx << "," << c.dy; }
        if (c.edge == 'B') { EXPECT_EQ(p.y, 2000) << c.dx << "," << c.dy; }
        if (c.edge == 'T') { EXPECT_EQ(p.y, -20) << c.dx << "," << c.dy; }
        EXPECT_EQ(icon->m_dFactor, 0.7);
        EXPECT_EQ(icon->GetDepth(), 21000);
    }
}

TEST(Effects, FogKeepsComingWhileNoMoreThanTheOptionArePresent) {
    COrvaneView view;
    AddEffectPictures(view);
    view.Weather.cloudDx = 1;
    view.Weather.fogSpriteCount = 3;
    for (int i = 0; i < 4; ++i) ASSERT_NE(AddOneFog(view), nullptr) << i;
    EXPECT_EQ(AddOneFog(view), nullptr) << "four present is above three";
}

TEST(Effects, FogWrapsRoundTheFieldWithANewCrossing) {
    COrvaneView view;
    AddEffectPictures(view, 40, 20);
    view.Weather.cloudDx = 2;
    view.Weather.cloudDy = 0;
    CIcon* icon = AddOneFog(view);
    ASSERT_NE(icon, nullptr);
    icon->SetPosition(2997, 500, FALSE);
    int before = RandCallCount;
    view.MoveClouds();
    EXPECT_EQ(icon->GetPosition(), CPoint(2999, 500));
    view.MoveClouds();
    EXPECT_EQ(icon->m_x, -40) << "passing 3001 re-enters at the left";
    EXPECT_GE(icon->m_y, 100);
    EXPECT_LE(icon->m_y, 1900);
    view.Weather.cloudDx = 0;
    view.Weather.cloudDy = -3;
    icon->SetPosition(700, -19, FALSE);
    view.MoveClouds();
    EXPECT_EQ(icon->m_y, 2000);
    EXPECT_GE(icon->m_x, 100);
    EXPECT_LE(icon->m_x, 2900);
    EXPECT_EQ(RandCallCount, before);
}

namespace {
// A unit's picture as the battle screen makes it: a view icon that draws
// the unit.
class CUnitPicture : public CIcon, public IUnitIcon {
public:
    CRect GetRect() const override { return CIcon::GetRect(); }
    CPoint GetPosition() const override { return CIcon::GetPosition(); }
    void SetId(int id) override { m_nId = id; }
    void MoveTo(int x, int y) override { SetPosition(x, y, FALSE); }
    int GetDepth() const override { return CIcon::GetDepth(); }
    void SetDepth(int depth) override { CIcon::SetDepth(depth, FALSE); }
    void SetFrame(int, int) override {}
    void SetClip(const CRect&) override {}
    void SetVisible(bool) override {}
};
}  // namespace

TEST(Effects, APuffByWhatTheUnitDoesAndWhereItStands) {
    struct Case {
        const char* what;
        int kind, behaviour;
        double speed;
        int readiness;
        bool water, still;
        bool puff;
        double fade, step;
    } cases[] = {
        {"charging rider", 4, 2, 7.0, 13, false, false, true, 0.65, 0.045},
        {"charging rider wading", 4, 2, 7.0, 13, true, false, true, 0.75, 0.1},
        {"rider too slow", 4, 2, 6.0, 13, false, false, false, 0, 0},
        {"rider not ready", 4, 2, 7.0, 12, false, false, false, 0, 0},
        {"charging foot soldier", 0, 2, 7.0, 13, false, false, false, 0, 0},
        {"melee standing", 0, 7, 0.0, 0, false, true, true, 0.25, 0.02},
        {"melee moving", 0, 7, 0.0, 0, false, false, false, 0, 0},
        {"melee standing in water", 0, 7, 0.0, 0, true, true, true, 0.65, 0.15},
        {"wading and doing nothing", 6, 0, 0.0, 5, true, false, true, 0.6, 0.1},
    };
    for (const Case& c : cases) {
        CUnit unit;
        unit.m_kind = c.kind;
        unit.m_action.m_type = c.behaviour;
        unit.m_speed = c.speed;
        unit.m_readiness = int8_t(c.readiness);
        unit.m_onWater = c.water;
        CUnitPicture icon;
        icon.MoveTo(50, 50);
        icon.MoveTo(c.still ? 50 : 51, 50);
        unit.m_icon = &icon;
        CUnitPuff puff;
        EXPECT_EQ(ChooseUnitPuff(unit, puff), c.puff) << c.what;
        unit.m_icon = nullptr;
        if (!c.puff) continue;
        EXPECT_EQ(puff.fade, c.fade) << c.what;
        EXPECT_EQ(puff.step, c.step) << c.what;
    }
}

TEST(Effects, ARiflemanSmokesOnTheTwoFiringFramesWhileReadinessIsZero) {
    CUnit unit;
    unit.m_kind = 7;
    unit.SetFrameRanges(7);
    ASSERT_EQ(unit.m_frames.rangeF[0], 8);
    for (int frame = 8; frame <= 17; ++frame) {
        unit.m_frame = frame;
        for (int readiness : {0, 1}) {
            unit.m_readiness = int8_t(readiness);
            CUnitPuff puff;
            bool smoke = readiness == 0 && (frame == 10 || frame == 11);
            EXPECT_EQ(ChooseUnitPuff(unit, puff), smoke) << frame << " " << readiness;
            if (smoke) { EXPECT_TRUE(puff.smoke); }
        }
    }
}
