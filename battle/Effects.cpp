// Short-lived pictures on the battlefield: dust and gun smoke, splashes, and
// the fog banks that drift across the field. They are icons of the view's
// icon list, which owns and deletes them; the effect and fog lists only keep
// them at hand. Nothing here changes the simulation: the puffs' pictures and
// the fog's entry points and wraps draw from this machine's own stream.
#include "battle/UnitPuff.h"

#include <algorithm>
#include <vector>

#include "Units/Unit.h"
#include "Units/UnitList.h"
#include "core/Random.h"
#include "field/BattleGrid.h"
#include "shell/OrvaneView.h"

namespace {
constexpr UINT kPuffState = 4;
constexpr UINT kFogState = 1;
constexpr int kDustDepth = 19000, kSplashDepth = 16004, kFogDepth = 21000;
}  // namespace

int COrvaneView::LocalRand() {
    // The view makes its first stream when it is built; a view without one
    // still never touches the counted generator.
    static CSyncRandom fallback(1);
    if (StreamIndex1 >= 0 && RandomStreams.GetAt(StreamIndex1)) return StreamRand(StreamIndex1);
    return fallback.Next();
}

void COrvaneView::KeepInViewList(CIcon* icon) { icon->SetOwnerLink(GetIcons().GetLink()); }

// One puff whose picture's bottom centre stands on (x, y). The picture is
// the k-th of four from `firstId`; a picture the battle did not load makes
// no puff.
static void SpawnPuff(COrvaneView& view, int firstId, int depth, int x, int y, double fade, double step) {
    int k = view.LocalRand() & 3;
    int id = firstId + k;
    CSprite* sprite = view.GetSprites().Find(id);
    if (!sprite) return;
    CIcon* icon = view.AddIcon(sprite, 0, 0, id, TRUE, UINT(id), 24, 40, 29, 42, &view.GetIcons());
    view.EffectIcons.Insert(icon);
    view.KeepInViewList(icon);
    icon->m_nPhaseColumn = icon->m_nPhaseRow = 0;
    icon->m_nState = kPuffState;
    icon->SetDepth(depth, TRUE);
    int w = sprite->GetWidth(), h = sprite->GetHeight();
    icon->SetPosition(x - w / 2, y - h, FALSE);
    icon->m_dKey = step;
    icon->m_dFactor = fade;
    icon->m_bEnabled = TRUE;
}

void COrvaneView::SpawnDust(int x, int y, double fade, double step) {
    SpawnPuff(*this, 430, kDustDepth, x, y, fade, step);
}

void COrvaneView::SpawnSplash(int x, int y, double fade, double step, BYTE mounted) {
    SpawnPuff(*this, mounted ? 440 : 444, kSplashDepth, x, y, fade, step);
}

namespace {
// The icon the battle screen draws a unit with stands where it stood
// before its last placement. An icon of another kind never counts as still.
bool IconStoodStill(const CUnit& unit) {
    const CIcon* icon = dynamic_cast<const CIcon*>(unit.m_icon);
    if (const auto* link = dynamic_cast<const CUnitIconLink*>(unit.m_icon)) icon = link->Icon();
    return icon && icon->GetPreviousPosition() == icon->GetPosition();
}
}  // namespace

bool ChooseUnitPuff(const CUnit& unit, CUnitPuff& puff) {
    bool water = unit.m_onWater != 0;
    int behaviour = unit.m_action.m_type;
    if (behaviour == 2 && unit.IsMounted() && unit.m_speed > 6.0 && unit.m_readiness > 12) {
        puff = water ? CUnitPuff{0.75, 0.1, false} : CUnitPuff{0.65, 0.045, false};
        return true;
    }
    if (behaviour == 7 && IconStoodStill(unit)) {
        puff = water ? CUnitPuff{0.65, 0.15, false} : CUnitPuff{0.25, 0.02, false};
        return true;
    }
    if (water) {
        puff = {0.6, 0.1, false};
        return true;
    }
    int first = unit.m_frames.rangeF[0];
    if (unit.m_kind == 7 && unit.m_readiness == 0 && (unit.m_frame == first + 2 || unit.m_frame == first + 3)) {
        puff = {0.75, 0.03, true};
        return true;
    }
    return false;
}

namespace {
// Whether a feature standing about the unit hides its puff at `p`: one that
// counts down or is about to, whose picture covers the point's small box
// (edges included). Gun smoke rises above walls and fences.
bool PuffHidden(const CBattleGrid* grid, const CUnit& unit, CPoint p, bool smoke) {
    if (!grid) return false;
    std::vector<CTerrain*> near;
    grid->NotifyElementsInRect(CRect(unit.m_x - 50, unit.m_y - 30, unit.m_x + 50, unit.m_y + 100), near);
    const CRect box(p.x - 3, p.y - 3, p.x + 3, p.y + 3);
    for (const CTerrain* t : near) {
        if (!t->m_countdownActive && t->m_countdown <= 0) continue;
        if (smoke && t->GetFlagBit3()) continue;
        const auto* link = dynamic_cast<const CTerrainIconLink*>(t->m_icon);
        if (!link) continue;
        const CRect r = link->Icon()->GetRect();
        if (std::max(r.left, box.left) <= std::min(r.right, box.right) &&
            std::max(r.top, box.top) <= std::min(r.bottom, box.bottom))
            return true;
    }
    return false;
}
}  // namespace

void COrvaneView::UpdateUnitEffects() {
    for (POSITION pos = BattleUnits.GetHeadPosition(); pos;) {
        const CUnit* unit = BattleUnits.GetUnit(pos);
        if (!unit->m_active || !unit->m_placed) continue;
        CUnitPuff puff;
        if (!ChooseUnitPuff(*unit, puff)) continue;
        CPoint p = unit->GetEffectPoint(puff.smoke ? TRUE : FALSE);
        if (unit->m_onWater) SpawnSplash(p.x, p.y, puff.fade, puff.step, unit->IsMounted() ? 1 : 0);
        else if (!PuffHidden(BattleGrid, *unit, p, puff.smoke)) SpawnDust(p.x, p.y, puff.fade, puff.step);
    }
}

void COrvaneView::FadeEffectSprites() {
    for (POSITION pos = EffectIcons.GetHeadPosition(); pos;) {
        auto* icon = static_cast<CIcon*>(EffectIcons.GetNext(pos));
        if (icon->m_nState != kPuffState) continue;
        icon->m_dFactor -= icon->m_dKey;
        if (icon->m_dFactor < 0.2) {
            EffectIcons.Remove(icon, FALSE);
            GetIcons().Remove(icon, TRUE);
        }
    }
}

void COrvaneView::AddFogSprite() {
    const CWeatherState& w = Weather;
    if (FogIcons.CountByState(kFogState) > w.fogSpriteCount) return;
    if (LocalRand() % 11 < 7) return;
    int id = 401 + LocalRand() % 3;
    CSprite* sprite = GetSprites().Find(id);
    if (!sprite) return;
    CIcon* icon = AddIcon(sprite, 0, 0, id, TRUE, UINT(id), 0, 0, 0, 0, &GetIcons());
    FogIcons.Insert(icon);
    KeepInViewList(icon);
    icon->m_nPhaseColumn = icon->m_nPhaseRow = 0;
    icon->m_nState = kFogState;
    icon->SetDepth(kFogDepth, FALSE);
    int width = sprite->GetWidth(), height = sprite->GetHeight();
    int dx = w.cloudDx, dy = w.cloudDy;
    int x, y;
    if ((dx >= 0 && dy < 0)) x = LocalRand() % 2981, y = 2000;            // bottom
    else if (dx <= 0 && dy > 0) x = LocalRand() % 2981, y = -height;      // top
    else if (dx > 0) x = -width, y = LocalRand() % 1981;                  // left
    else if (dx < 0) x = 3000, y = LocalRand() % 1981;                    // right
    else {
        // Clouds that do not drift would never come in from an edge: the
        // bank appears where it stands.
        x = LocalRand() % 2981;
        y = LocalRand() % 1981;
    }
    icon->m_dFactor = w.visibility;
    icon->SetPosition(x, y, FALSE);
    icon->m_bEnabled = w.fogToggle ? TRUE : FALSE;
}

void COrvaneView::MoveClouds() {
    int dx = Weather.cloudDx, dy = Weather.cloudDy;
    for (POSITION pos = FogIcons.GetHeadPosition(); pos;) {
        auto* icon = static_cast<CIcon*>(FogIcons.GetNext(pos));
        if (!(icon->m_nState & kFogState)) continue;
        int w = icon->m_nWidth, h = icon->m_nHeight;
        int x = icon->m_x + dx, y = icon->m_y + dy;
        if ((x > 3000 && dx > 0) || (x < -w && dx < 0)) {
            x = dx > 0 ? -w : 3000;
            y = LocalRand() % 1801 + 100;
        }
        if ((y > 2000 && dy > 0) || (y < -h && dy < 0)) {
            y = dy > 0 ? -h : 2000;
            x = LocalRand() % 2801 + 100;
        }
        icon->SetPosition(x, y, FALSE);
        icon->SetDepth(kFogDepth, TRUE);
    }
}

void COrvaneView::ClearBattleEffects() {
    for (CIconList* list : {&EffectIcons, &FogIcons}) {
        while (!list->IsEmpty()) {
            auto* icon = static_cast<CIcon*>(list->RemoveHead());
            GetIcons().Remove(icon, TRUE);
        }
    }
}
