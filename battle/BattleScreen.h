// What the battle screen holds for one battle: the battlefield it loaded
// (terrain, heights, zones, the battle grid with its path grids), the two
// armies with the view's links to them, and the pictures that stand for
// units and terrain features on screen. The main view owns one for the life
// of a battle; whoever chooses a battle (the menus, the deployment screen, a
// test) builds the armies on its grid and the view's formation lists and
// hands them over before the battle mode is entered.
//
// The pictures only follow the simulation: a unit icon takes the position,
// depth, frame and facing the unit gives it and is never read back for a
// rule, except for its frame rectangle (the unit set's cell, the same
// headless).
#pragma once

#include <memory>
#include <vector>

#include "Animate/Icon.h"
#include "Units/ArmyInterfaces.h"
#include "Units/Missile.h"
#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "field/BattlefieldFiles.h"
#include "field/PathGrid.h"
#include "field/Terrain.h"
#include "field/TerrainDB.h"
#include "field/TerrainList.h"
#include "field/ZoneGrid.h"

class CArmy;
class CArmyLink;

// A unit's picture: an icon of the view's icon list showing one cell of the
// side's unit set, the column being the unit's frame and the row its facing.
class CUnitIconLink : public IUnitIcon {
public:
    // `icon` belongs to the view's icon list.
    explicit CUnitIconLink(CIcon* icon) : m_icon(icon) {}

    CRect GetRect() const override { return CRect(0, 0, m_icon->m_nWidth, m_icon->m_nHeight); }
    CPoint GetPosition() const override { return m_icon->GetPosition(); }
    void SetId(int id) override { m_icon->m_nId = id; }
    void MoveTo(int x, int y) override;
    int GetDepth() const override { return m_icon->GetDepth(); }
    void SetDepth(int depth) override;
    void SetFrame(int frame, int facing) override;
    void SetClip(const CRect& clip) override { m_clip = clip; }
    void SetVisible(bool visible) override;

    CIcon* Icon() const { return m_icon; }
    const CRect& Clip() const { return m_clip; }

private:
    CIcon* m_icon;
    CRect m_clip;
};

// A missile's picture in flight: an icon of the arrow (one row a heading)
// or the shot sprite in the view's icon list. It takes its icon out of the
// list when it goes, the missile's place redrawn.
class CMissileIconLink : public IMissileSprite {
public:
    // `icon` belongs to `icons`; `sink` is told where it stood at the end.
    CMissileIconLink(CIcon* icon, CIconList* icons, CDirtyRectSink* sink) : m_icon(icon), m_icons(icons), m_sink(sink) {}
    ~CMissileIconLink() override;
    CMissileIconLink(const CMissileIconLink&) = delete;
    CMissileIconLink& operator=(const CMissileIconLink&) = delete;

    void SetFrame(int column, int row) override;
    void MoveTo(int x, int y) override;
    void SetDepth(int depth) override;
    CIcon* Icon() const { return m_icon; }

private:
    CIcon* m_icon;
    CIconList* m_icons;
    CDirtyRectSink* m_sink;
};

// A terrain feature's picture: an icon of the feature's object sprite, one
// row of frames.
class CTerrainIconLink : public ITerrainIcon {
public:
    explicit CTerrainIconLink(CIcon* icon) : m_icon(icon) {}
    void SetAnimation(int, int frame) override { SetFrame(frame); }
    void SetFrame(int frame) override;
    void SetDepth(int depth) override { m_icon->SetDepth(depth, TRUE); }
    CIcon* Icon() const { return m_icon; }

private:
    CIcon* m_icon;
};

struct CBattleState {
    CBattleState();
    ~CBattleState();
    CBattleState(const CBattleState&) = delete;
    CBattleState& operator=(const CBattleState&) = delete;

    // The battlefield: loaded by the battle mode's entry into a grid that
    // already exists when the armies are built on it.
    CTerrainDB terrainDB;
    CTerrainList terrain;
    CTerrainFileInfo terrainInfo;
    CAltitudeMap altitude;
    CZoneGrid zones;
    CBattleGrid grid;
    // The coarse grid the units plan their routes on, made from the grid.
    CPathGrid routes{15, 15, "", 0};

    // The pictures of units and features (their icons are the view's).
    std::vector<std::unique_ptr<CUnitIconLink>> unitIcons;
    std::vector<std::unique_ptr<CTerrainIconLink>> terrainIcons;
    // Where the puffs and fog banks stood when last drawn: they fade, come
    // and go every step, so each frame redraws where they were and are.
    std::vector<CRect> effectAreas;
    // The step whose scene was drawn last (-1: none yet).
    int32_t drawnFrame = -1;

    // The armies by side, with the view's links to them. Declared last:
    // they go first, while the grid and the pictures they use still stand.
    std::unique_ptr<CArmy> armies[2];
    std::unique_ptr<CArmyLink> links[2];
};
