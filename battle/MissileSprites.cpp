// The pictures of arrows and shots in flight. The battle's step gives each
// missile a unit looses its picture before the missile joins the flight;
// the missile moves and turns it, and its picture goes with it.
#include "Units/Missile.h"
#include "Units/Unit.h"
#include "shell/OrvaneView.h"

namespace {
// The sprites of the arrow (a row a heading) and of the shot.
constexpr int kArrowSprite = 22, kBulletSprite = 23;
}  // namespace

CMissileIconLink::~CMissileIconLink() {
    if (m_sink) m_sink->AddDirtyRect(m_icon->GetRect());
    m_icons->Remove(m_icon, TRUE);
}

void CMissileIconLink::SetFrame(int column, int row) {
    m_icon->m_nPhaseColumn = column;
    m_icon->m_nPhaseRow = row;
    m_icon->Refresh(TRUE);
}

void CMissileIconLink::MoveTo(int x, int y) {
    m_icon->m_bEnabled = TRUE;
    if (m_icon->m_x != x || m_icon->m_y != y) m_icon->SetPosition(x, y, TRUE);
}

void CMissileIconLink::SetDepth(int depth) {
    if (m_icon->GetDepth() != depth) m_icon->SetDepth(depth, TRUE);
}

void COrvaneView::GiveMissileSprite(CUnit* unit) {
    auto* missile = unit ? static_cast<CMissile*>(unit->m_pendingMissile) : nullptr;
    if (!missile || missile->m_sprite) return;
    // Arrows fly on their arc; shots on their timed flight.
    const bool arrow = missile->m_flightTicks == CMissile::kBallistic;
    CSprite* sprite = GetSprites().Find(arrow ? kArrowSprite : kBulletSprite);
    if (!sprite || sprite == s_pFallbackSprite) return;
    // Hidden off the field until its first step places it.
    CIcon* icon = AddIcon(sprite, -1000, -1000, 0, FALSE, 0, 24, 40, 29, 42, &GetIcons());
    KeepInViewList(icon);
    icon->m_nPhaseColumn = icon->m_nPhaseRow = 0;
    icon->m_bEnabled = FALSE;
    missile->m_sprite = new CMissileIconLink(icon, &GetIcons(), this);
    BattleMissiles.m_onRemove = [](CMissile* m) {
        delete m->m_sprite;
        m->m_sprite = nullptr;
    };
}
