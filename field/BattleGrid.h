// CBattleGrid: everything that stands on the 3000 x 2000 field filed into
// 60 x 40 cells of 50 x 50 field units (cell (c, r) is number c x 40 + r),
// plus one off-field cell for whatever reaches outside: army elements by
// their occupied rectangles, terrain features by the rectangles of their
// current regions, and obstacle rectangles made from the altitude map. It
// answers what lies in a rectangle, at a point or along a line, and owns
// the battle's path machinery: the fine (15 x 15, with the path database)
// and coarse (100 x 100) path grids and the path search.
//
// Rectangle tests are inclusive on all edges. Queries visit only the cells
// under the rectangle, in column order, and report each object once, in
// the order it was filed: nothing depends on addresses. The grid owns the
// obstacle records and the path grids; elements, features, the altitude map
// and the zone grid belong to others and must outlive their filing.
#pragma once

#include <memory>
#include <vector>

#include "field/PathGrid.h"
#include "field/PathSearch.h"
#include "platform/afx/Afx.h"

class CAltitudeMap;
class CArmyElement;
class CPointList;
class CTerrain;
class CTerrainList;
class CZoneGrid;

struct CObstacleRect {
    DWORD header = 0;
    CRect rect;
};

class CGridCell {
public:
    virtual ~CGridCell() = default;
    void Clear() {
        terrain.clear();
        elements.clear();
        elementRects.clear();
        obstacles.clear();
        obstacleRects.clear();
    }
    // TRUE when another element's rectangle, a feature's current region
    // rectangle or an obstacle rectangle meets `rect`.
    BOOL Collides(const CRect& rect, const CArmyElement* except) const;

    std::vector<CTerrain*> terrain;
    std::vector<CArmyElement*> elements;
    // Beside each element its occupied rectangle, kept by the grid as it
    // moves the element, and beside each obstacle its rectangle: a query
    // reads them in a row instead of visiting every element and record.
    std::vector<CRect> elementRects;
    std::vector<CObstacleRect*> obstacles;
    std::vector<CRect> obstacleRects;
};

class CBattleGrid : public CObject {
public:
    static constexpr int kColumns = 60;
    static constexpr int kRows = 40;
    static constexpr int kCellSize = 50;

    CBattleGrid();
    ~CBattleGrid() override;

    // Empties everything between battles (the obstacles and path grids are
    // deleted; what the cells list is not).
    void RemoveAll();

    // --- filing ----------------------------------------------------------
    void AddTerrain(CTerrain* terrain);
    void MoveTerrain(const std::vector<CRect>& oldRects, const std::vector<CRect>& newRects, CTerrain* terrain);
    // Files an element by its occupied rectangle, without collision test.
    void AddElement(CArmyElement* element);
    // FALSE, with nothing changed, when the new rectangle collides. The
    // rectangle (-1000, -1000, -1000, -1000) takes the element off the grid.
    BOOL MoveElement(const CRect& rect, CArmyElement* element);
    // Makes obstacle rectangles of the altitude map's passable-flat cells.
    void Rebuild(CAltitudeMap* altitude);
    void AddObstacle(CObstacleRect* record);
    void SetZoneGrid(CZoneGrid* zones) { m_zones = zones; }
    void SetTerrainList(CTerrainList* terrain) { m_terrain = terrain; }
    CAltitudeMap* GetAltitudeMap() const { return m_altitude; }
    CZoneGrid* GetZoneGrid() const { return m_zones; }

    // --- queries ---------------------------------------------------------
    // Present elements meeting the rectangle: those of `army` to `own`, the
    // others to `others` (either may be null).
    void GetElementsInRect(const CRect& rect, CObList* own, CObList* others, int army) const;
    // The same elements, of every army, into `out` (emptied first).
    void GetElementsInRect(const CRect& rect, std::vector<CArmyElement*>& out) const;
    BOOL AnyElementInRect(const CRect& rect) const;
    float GetForceRatio(int army, const CRect& rect, int& ownA, int& ownB, int& enemyA, int& enemyB) const;
    // Elements of `army` meeting the square of half-side `radius` round (x, y).
    void GetArmyElementsNear(int x, int y, int radius, int army, CObList& out) const;
    void GetDivisionsInRect(int facing, int depth, int army, int x, int y, CObList& out) const;
    DWORD GetEnemiesInRect(const CRect& rect, const CArmyElement* element) const;
    // Whether GetEnemiesInRect(rect, element) is not 0: another element, a
    // feature's current region or an obstacle meets the rectangle, or it
    // reaches outside the field onto blocked ground. Every part of the
    // answer carries 0x2000, so this is also its 0x2000 bit, found without
    // building the rest.
    BOOL IsRectOccupied(const CRect& rect, const CArmyElement* element) const;
    void NotifyElementsInRect(const CRect& rect, std::vector<CTerrain*>& out) const;
    // The first element, other than `excluded`, whose rectangle holds the point.
    CArmyElement* FindElementAt(int x, int y, const CArmyElement* excluded = nullptr) const;
    // Height -1.0 counts every element; otherwise only those whose ground
    // height differs from it by less than 3.0.
    CArmyElement* FindElementOnLine(int x1, int y1, int x2, int y2, const CArmyElement* excluded,
                                    double height) const;
    // As FindElementOnLine, and a feature under the line stops the shot by
    // its cover value (one counted draw per feature step met).
    void TraceShot(CArmyElement*& hitElement, CTerrain*& hitFeature, int x1, int y1, int x2, int y2,
                   const CArmyElement* excluded, double height, BOOL& covered) const;
    // The share of the shots flying flat from (x1, y1) to (x2, y2) that the
    // cover on the way lets through, as TraceShot rolls it, worked out
    // without a draw; the elements on the way are not counted. The shot
    // starts at `height` (-1.0: any feature counts) and climbs by `climb` a
    // field unit. Once the share is below `floor` the walk stops and
    // returns it.
    double ShotClearance(int x1, int y1, int x2, int y2, double height, double climb, double floor) const;
    BOOL IsLineBlocked(int x1, int y1, int x2, int y2) const;
    BOOL IsRectBlocked(const CRect& rect) const;
    BOOL IsPointFree(int x, int y) const;

    // --- path grids and paths ---------------------------------------------
    // Builds both path grids from the terrain list and zone grid (an empty
    // name: no path database), snaps the features' points onto passable
    // ground and sorts the features into lists A, B and C.
    void BuildPathGrids(const char* databaseName);
    void BuildFinePathGrid(const char* databaseName);
    void BuildCoarsePathGrid();
    void FixTerrainPoints();
    CPathGrid* GetFineGrid() const { return m_fineGrid.get(); }
    CPathGrid* GetCoarseGrid() const { return m_coarseGrid.get(); }
    CPathSearch& GetPathSearch() { return *m_pathSearch; }

    // A way through the zones' gates; blocked legs are searched on the
    // coarse grid.
    void FindPath(CPointList& out, int x1, int y1, int x2, int y2, BOOL useArea);
    BOOL FindPathForElement(int x1, int y1, int x2, int y2, CPointList& out, int budget);
    // The legs toward the goal, each under 301 units along both axes.
    void PlanLegs(int x1, int y1, int x2, int y2, CPointList& out) const;
    CRect GetLegSearchRect(CPoint from, CPoint goal) const;
    CPoint FindFreePointNear(int x, int y, const CArmyElement* element, int radius, BOOL strict) const;
    CPoint FindNearestPassable(int x, int y, const CArmyElement* element, int radius, int zone) const;
    CPoint GetUnitsNear(int x, int y, const CArmyElement* element, int radius, int value) const;
    // A free 10 x 10 spot near (x, y), found by counted random jitter.
    CPoint FindFreeSpot(int x, int y) const;
    CPoint SnapToPassable(int x, int y, int facing) const;
    BOOL IsAreaBlocked(const CRect& rect) const;
    BOOL IsSegmentBlocked(int x1, int y1, int x2, int y2) const;
    BOOL CollideElement(int x1, int y1, int x2, int y2) const;

    const std::vector<CTerrain*>& GetListA() const { return m_listA; }
    const std::vector<CTerrain*>& GetListB() const { return m_listB; }
    const std::vector<CTerrain*>& GetListC() const { return m_listC; }
    const CGridCell& GetCell(int c, int r) const { return m_cells[size_t(c) * kRows + size_t(r)]; }
    const CGridCell& GetOffFieldCell() const { return m_offField; }

    int m_lineStep = 3;

private:
    // Calls `fn` on each cell under the rectangle (clipped to the field) and
    // the off-field cell when the rectangle reaches outside; stops early
    // when `fn` returns false.
    template <typename F>
    void ForCells(const CRect& rect, F&& fn) const;
    template <typename F>
    void ForCellsMutable(const CRect& rect, F&& fn);
    static bool ReachesOutside(const CRect& r) {
        return r.left < 0 || r.right >= 3000 || r.top < 0 || r.bottom >= 2000;
    }
    void RemoveElementFromCells(CArmyElement* element, const CRect& rect);
    template <typename Accept>
    CPoint RingSearch(const CPathGrid& grid, int x, int y, const CArmyElement* element, int radius,
                      Accept&& accept) const;
    bool SegmentHits(int x1, int y1, int x2, int y2, bool keepAll) const;
    // Calls `fn` once on each present element meeting the rectangle, in the
    // order the cells list them.
    template <typename F>
    void ForElementsInRect(const CRect& rect, F&& fn) const;
    double GroundHeight(int x, int y) const;
    template <class Roll>
    bool ForCoverAt(const CGridCell& cell, int x, int y, int facing, double height, Roll&& roll) const;

    std::vector<CTerrain*> m_listA, m_listB, m_listC;
    std::unique_ptr<CPathSearch> m_pathSearch;
    std::unique_ptr<CPathGrid> m_fineGrid;
    std::unique_ptr<CPathGrid> m_coarseGrid;
    CTerrainList* m_terrain = nullptr;
    int32_t m_value = 0;
    std::vector<std::unique_ptr<CObstacleRect>> m_obstacles;
    CGridCell m_offField;
    std::vector<CGridCell> m_cells;
    CAltitudeMap* m_altitude = nullptr;
    CZoneGrid* m_zones = nullptr;
    CRect m_field{0, 0, 2999, 1999};
};
