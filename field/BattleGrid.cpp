#include "field/BattleGrid.h"

#include <algorithm>
#include <cmath>

#include "field/AltitudeMap.h"
#include "field/RouteDatabase.h"
#include "field/Terrain.h"
#include "field/TerrainDB.h"
#include "field/TerrainList.h"
#include "field/ZoneGrid.h"
#include "core/Helpers.h"
#include "core/PointList.h"
#include "core/Random.h"
#include "field/ArmyElement.h"

// The larger left is at most the smaller right, and the same down: each
// edge against both of the other's, so an inside-out rectangle meets none.
static inline bool Meets(const CRect& a, const CRect& b) {
    return a.left <= b.right && b.left <= a.right && a.left <= a.right && b.left <= b.right &&
           a.top <= b.bottom && b.top <= a.bottom && a.top <= a.bottom && b.top <= b.bottom;
}

// Field-by-field equality (the rectangle class's own operator is ambiguous
// between two rectangles under C++20's reversed candidates).
static bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static bool Contains(const CRect& r, int x, int y) {
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

template <typename T>
static void AddOnce(std::vector<T*>& v, T* p) {
    if (std::find(v.begin(), v.end(), p) == v.end()) v.push_back(p);
}

static void AddOnce(CObList* list, CObject* p) {
    if (list && !list->Find(p)) list->AddTail(p);
}

BOOL CGridCell::Collides(const CRect& rect, const CArmyElement* except) const {
    for (size_t i = 0; i < elementRects.size(); ++i)
        if (Meets(elementRects[i], rect) && elements[i] != except) return TRUE;
    for (const CRect& r : obstacleRects)
        if (Meets(r, rect)) return TRUE;
    for (const CTerrain* t : terrain) {
        if (const CTerrainRegion* region = t->GetCurrentRegion())
            for (const CRect& r : region->rects)
                if (Meets(r, rect)) return TRUE;
    }
    return FALSE;
}

CBattleGrid::CBattleGrid() : m_pathSearch(std::make_unique<CPathSearch>()), m_cells(size_t(kColumns) * kRows) {
    RemoveAll();
}

CBattleGrid::~CBattleGrid() { RemoveAll(); }

void CBattleGrid::RemoveAll() {
    m_obstacles.clear();
    m_fineGrid.reset();
    m_coarseGrid.reset();
    for (CGridCell& cell : m_cells) cell.Clear();
    m_offField.Clear();
    m_listA.clear(), m_listB.clear(), m_listC.clear();
    m_value = 0;
    m_altitude = nullptr;
    m_zones = nullptr;
}

template <typename F>
void CBattleGrid::ForCells(const CRect& rect, F&& fn) const {
    CRect clipped(std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, 2999),
                  std::min(rect.bottom, 1999));
    if (clipped.left <= clipped.right && clipped.top <= clipped.bottom) {
        for (int c = clipped.left / kCellSize; c <= clipped.right / kCellSize; ++c)
            for (int r = clipped.top / kCellSize; r <= clipped.bottom / kCellSize; ++r)
                if (!fn(m_cells[size_t(c) * kRows + size_t(r)])) return;
    }
    if (ReachesOutside(rect)) fn(m_offField);
}

template <typename F>
void CBattleGrid::ForCellsMutable(const CRect& rect, F&& fn) {
    const CBattleGrid* self = this;
    self->ForCells(rect, [&](const CGridCell& cell) { return fn(const_cast<CGridCell&>(cell)); });
}

void CBattleGrid::AddTerrain(CTerrain* terrain) {
    std::vector<CRect> rects;
    terrain->TraverseRegion(rects, -1);
    for (const CRect& r : rects)
        ForCellsMutable(r, [&](CGridCell& cell) {
            AddOnce(cell.terrain, terrain);
            return true;
        });
}

void CBattleGrid::MoveTerrain(const std::vector<CRect>& oldRects, const std::vector<CRect>& newRects,
                              CTerrain* terrain) {
    for (const CRect& r : oldRects)
        ForCellsMutable(r, [&](CGridCell& cell) {
            cell.terrain.erase(std::remove(cell.terrain.begin(), cell.terrain.end(), terrain), cell.terrain.end());
            return true;
        });
    for (const CRect& r : newRects)
        ForCellsMutable(r, [&](CGridCell& cell) {
            AddOnce(cell.terrain, terrain);
            return true;
        });
}

static const CRect kOffGrid(-1000, -1000, -1000, -1000);

void CBattleGrid::AddElement(CArmyElement* element) {
    if (Same(element->m_rcOccupied, kOffGrid)) return;
    ForCellsMutable(element->m_rcOccupied, [&](CGridCell& cell) {
        auto at = std::find(cell.elements.begin(), cell.elements.end(), element);
        if (at == cell.elements.end()) {
            cell.elements.push_back(element);
            cell.elementRects.push_back(element->m_rcOccupied);
        } else {
            cell.elementRects[size_t(at - cell.elements.begin())] = element->m_rcOccupied;
        }
        return true;
    });
}

void CBattleGrid::RemoveElementFromCells(CArmyElement* element, const CRect& rect) {
    if (Same(rect, kOffGrid)) return;
    ForCellsMutable(rect, [&](CGridCell& cell) {
        size_t kept = 0;
        for (size_t i = 0; i < cell.elements.size(); ++i) {
            if (cell.elements[i] == element) continue;
            cell.elements[kept] = cell.elements[i];
            cell.elementRects[kept] = cell.elementRects[i];
            ++kept;
        }
        cell.elements.resize(kept);
        cell.elementRects.resize(kept);
        return true;
    });
}

BOOL CBattleGrid::MoveElement(const CRect& rect, CArmyElement* element) {
    if (Same(rect, kOffGrid)) {
        RemoveElementFromCells(element, element->m_rcOccupied);
        element->m_rcOccupied = rect;
        return TRUE;
    }
    if (IsRectOccupied(rect, element)) return FALSE;
    CRect old = element->m_rcOccupied;
    element->m_rcOccupied = rect;
    auto cellSpan = [](const CRect& r) {
        return CRect(std::max(r.left, 0) / kCellSize, std::max(r.top, 0) / kCellSize,
                     std::min(r.right, 2999) / kCellSize, std::min(r.bottom, 1999) / kCellSize);
    };
    if (Same(old, kOffGrid) || !Same(cellSpan(old), cellSpan(rect)) || ReachesOutside(old) != ReachesOutside(rect)) {
        RemoveElementFromCells(element, old);
        AddElement(element);
    } else {
        // The same cells: only the rectangles beside the element change.
        ForCellsMutable(rect, [&](CGridCell& cell) {
            for (size_t i = 0; i < cell.elements.size(); ++i)
                if (cell.elements[i] == element) cell.elementRects[i] = rect;
            return true;
        });
    }
    return TRUE;
}

void CBattleGrid::Rebuild(CAltitudeMap* altitude) {
    m_altitude = altitude;
    if (!altitude) return;
    for (int x = 0; x < 3000; x += 5) {
        for (int y = 0; y < 2000; y += 5) {
            if (!altitude->IsPassableFlatAt(x / 5, y / 5, TRUE)) continue;
            CRect r(RoundDownToMultiple(x, 15), RoundDownToMultiple(y, 15), RoundUpToMultiple(x + 4, 15) - 1,
                    RoundUpToMultiple(y + 4, 15) - 1);
            bool known = false;
            ForCells(r, [&](const CGridCell& cell) {
                for (const CRect& o : cell.obstacleRects)
                    if (Same(o, r)) known = true;
                return !known;
            });
            if (known) continue;
            auto record = std::make_unique<CObstacleRect>();
            record->rect = r;
            AddObstacle(record.get());
            m_obstacles.push_back(std::move(record));
        }
    }
}

void CBattleGrid::AddObstacle(CObstacleRect* record) {
    ForCellsMutable(record->rect, [&](CGridCell& cell) {
        if (std::find(cell.obstacles.begin(), cell.obstacles.end(), record) != cell.obstacles.end()) return true;
        cell.obstacles.push_back(record);
        cell.obstacleRects.push_back(record->rect);
        return true;
    });
}

// Stamps of the rectangle queries; 0 is never used, so a fresh element
// carries no query's stamp.
static uint32_t NextQueryStamp() {
    static thread_local uint32_t last = 0;
    if (++last == 0) ++last;
    return last;
}

template <typename F>
void CBattleGrid::ForElementsInRect(const CRect& rect, F&& fn) const {
    const uint32_t stamp = NextQueryStamp();
    ForCells(rect, [&](const CGridCell& cell) {
        for (size_t i = 0; i < cell.elements.size(); ++i) {
            if (!Meets(cell.elementRects[i], rect)) continue;
            CArmyElement* e = cell.elements[i];
            if (e->m_queryStamp == stamp || !e->m_present) continue;
            e->m_queryStamp = stamp;
            fn(e);
        }
        return true;
    });
}

void CBattleGrid::GetElementsInRect(const CRect& rect, CObList* own, CObList* others, int army) const {
    // Lists that arrive holding elements keep each element once.
    if ((own && !own->IsEmpty()) || (others && !others->IsEmpty())) {
        ForElementsInRect(rect, [&](CArmyElement* e) { AddOnce(e->m_armyId == army ? own : others, e); });
        return;
    }
    ForElementsInRect(rect, [&](CArmyElement* e) {
        if (CObList* list = e->m_armyId == army ? own : others) list->AddTail(e);
    });
}

void CBattleGrid::GetElementsInRect(const CRect& rect, std::vector<CArmyElement*>& out) const {
    out.clear();
    ForElementsInRect(rect, [&](CArmyElement* e) { out.push_back(e); });
}

BOOL CBattleGrid::AnyElementInRect(const CRect& rect) const {
    bool any = false;
    ForCells(rect, [&](const CGridCell& cell) {
        for (const CRect& r : cell.elementRects)
            if (Meets(r, rect)) any = true;
        return !any;
    });
    return any;
}

float CBattleGrid::GetForceRatio(int army, const CRect& rect, int& ownA, int& ownB, int& enemyA,
                                 int& enemyB) const {
    ownA = ownB = enemyA = enemyB = 0;
    CObList own, others;
    GetElementsInRect(rect, &own, &others, army);
    for (POSITION pos = own.GetHeadPosition(); pos;) {
        auto* e = static_cast<CArmyElement*>(own.GetNext(pos));
        ownA += e->GetStrengthA(), ownB += e->GetStrengthB();
    }
    for (POSITION pos = others.GetHeadPosition(); pos;) {
        auto* e = static_cast<CArmyElement*>(others.GetNext(pos));
        enemyA += e->GetStrengthA(), enemyB += e->GetStrengthB();
    }
    int ownSum = ownA + ownB, enemySum = enemyA + enemyB;
    if (enemySum == 0) return ownSum == 0 ? 0.5f : 1.0f;
    if (ownSum == 0) return 0.0f;
    return float(ownSum) / float(ownSum + enemySum);
}

void CBattleGrid::GetArmyElementsNear(int x, int y, int radius, int army, CObList& out) const {
    GetElementsInRect(CRect(x - radius, y - radius, x + radius, y + radius), &out, nullptr, army);
}

void CBattleGrid::GetDivisionsInRect(int facing, int depth, int army, int x, int y, CObList& out) const {
    int d = depth, h = depth / 2;
    CRect r;
    switch (facing) {
    case 0: r = CRect(x - h, y - d, x + h, y); break;
    case 1: r = CRect(x, y - d, x + d, y); break;
    case 2: r = CRect(x, y - h, x + d, y + h); break;
    case 3: r = CRect(x, y, x + d, y + d); break;
    case 4: r = CRect(x - h, y, x + h, y + d); break;
    case 5: r = CRect(x - d, y, x, y + d); break;
    case 6: r = CRect(x - d, y - h, x, y + h); break;
    case 7: r = CRect(x - d, y - d, x, y); break;
    default: return;
    }
    GetElementsInRect(r, &out, nullptr, army);
}

DWORD CBattleGrid::GetEnemiesInRect(const CRect& rect, const CArmyElement* element) const {
    static const DWORD kTypeBits[9] = {0x100, 0x10, 0x8, 0x4, 0x20, 0x400, 0x80, 0x200, 0x40};
    DWORD mask = 0;
    CPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ForCells(rect, [&](const CGridCell& cell) {
        for (size_t i = 0; i < cell.elements.size(); ++i) {
            if (!Meets(cell.elementRects[i], rect)) continue;
            const CArmyElement* e = cell.elements[i];
            if (e == element) continue;
            mask |= 0x2000;
            if (element && e->m_armyId == element->m_armyId)
                mask |= 0x2;
            else if (e->IsFacingToward(centre.x, centre.y, 1) && e->m_typeValue >= 0 && e->m_typeValue <= 8)
                mask |= kTypeBits[e->m_typeValue];
        }
        for (const CTerrain* t : cell.terrain) {
            const CTerrainRegion* region = t->GetCurrentRegion();
            if (!region) continue;
            for (const CRect& r : region->rects) {
                if (!Meets(r, rect)) continue;
                mask |= t->GetFlagBit2() ? (0x1 | 0x800 | 0x3000) : (0x1 | 0x2000);
                break;
            }
        }
        for (const CRect& r : cell.obstacleRects)
            if (Meets(r, rect)) mask |= 0x2000;
        return true;
    });
    if (ReachesOutside(rect) && !(mask & 0x2000) && IsRectBlocked(rect)) mask |= 0x2000;
    return mask;
}

BOOL CBattleGrid::IsRectOccupied(const CRect& rect, const CArmyElement* element) const {
    bool occupied = false;
    ForCells(rect, [&](const CGridCell& cell) {
        occupied = cell.Collides(rect, element);
        return !occupied;
    });
    return occupied || (ReachesOutside(rect) && IsRectBlocked(rect));
}

void CBattleGrid::NotifyElementsInRect(const CRect& rect, std::vector<CTerrain*>& out) const {
    ForCells(rect, [&](const CGridCell& cell) {
        for (CTerrain* t : cell.terrain) {
            const CTerrainRegion* region = t->GetCurrentRegion();
            if (!region) continue;
            for (const CRect& r : region->rects)
                if (Meets(r, rect)) {
                    AddOnce(out, t);
                    break;
                }
        }
        return true;
    });
}

CArmyElement* CBattleGrid::FindElementAt(int x, int y, const CArmyElement* excluded) const {
    CArmyElement* found = nullptr;
    ForCells(CRect(x, y, x, y), [&](const CGridCell& cell) {
        for (size_t i = 0; i < cell.elements.size(); ++i)
            if (cell.elements[i] != excluded && Contains(cell.elementRects[i], x, y)) {
                found = cell.elements[i];
                return false;
            }
        return true;
    });
    return found;
}

double CBattleGrid::GroundHeight(int x, int y) const { return m_altitude ? m_altitude->GetAltitude(x, y) : 0.0; }

static const CGridCell& CellAt(const std::vector<CGridCell>& cells, const CGridCell& offField, int x, int y) {
    if (x < 0 || y < 0 || x >= 3000 || y >= 2000) return offField;
    return cells[size_t(x / CBattleGrid::kCellSize) * CBattleGrid::kRows + size_t(y / CBattleGrid::kCellSize)];
}

CArmyElement* CBattleGrid::FindElementOnLine(int x1, int y1, int x2, int y2, const CArmyElement* excluded,
                                             double height) const {
    // The same walk as a shot, without the features.
    double length = GetDistance(x1, y1, x2, y2, false);
    int steps = m_lineStep > 0 ? int(length / m_lineStep) : 0;
    for (int i = 1; i <= steps; ++i) {
        double t = double(i * m_lineStep) / length;
        int x = x1 + Round((x2 - x1) * t), y = y1 + Round((y2 - y1) * t);
        const CGridCell& cell = CellAt(m_cells, m_offField, x, y);
        for (size_t k = 0; k < cell.elements.size(); ++k) {
            if (!Contains(cell.elementRects[k], x, y)) continue;
            CArmyElement* e = cell.elements[k];
            if (e == excluded) continue;
            if (height != -1.0 && std::fabs(GroundHeight(e->m_x, e->m_y) - height) >= 3.0) continue;
            return e;
        }
    }
    return nullptr;
}

// A feature with a facing lets by, without a roll, the shots heading
// within two eighths of it.
static bool PassesShotsAlong(const CTerrain& f, int facing) {
    if (f.m_facing < 0 || f.m_facing > 7) return false;
    int diff = std::abs(facing - f.m_facing) % 8;
    if (diff > 4) diff = 8 - diff;
    return diff < 3;
}

// Calls `roll(feature, region)` for each feature at the step point (x, y)
// against whose cover a shot heading `facing` at `height` rolls: its region
// holds the point, it stands at the shot's height (height -1.0: any) and
// does not face along the shot. Stops when `roll` returns false.
template <class Roll>
bool CBattleGrid::ForCoverAt(const CGridCell& cell, int x, int y, int facing, double height, Roll&& roll) const {
    for (CTerrain* f : cell.terrain) {
        const CTerrainRegion* region = f->GetCurrentRegion();
        if (!region) continue;
        bool inside = false;
        for (const CRect& r : region->rects) inside = inside || Contains(r, x, y);
        if (!inside) continue;
        if (height != -1.0 && std::fabs(GroundHeight(f->m_x, f->m_y) - height) >= 3.0) continue;
        if (PassesShotsAlong(*f, facing)) continue;
        if (!roll(f, *region)) return false;
    }
    return true;
}

void CBattleGrid::TraceShot(CArmyElement*& hitElement, CTerrain*& hitFeature, int x1, int y1, int x2, int y2,
                            const CArmyElement* excluded, double height, BOOL& covered) const {
    hitElement = nullptr;
    hitFeature = nullptr;
    int facing = GetDirection(x1, y1, x2, y2);
    double length = GetDistance(x1, y1, x2, y2, false);
    int steps = m_lineStep > 0 ? int(length / m_lineStep) : 0;
    for (int i = 1; i <= steps; ++i) {
        double t = double(i * m_lineStep) / length;
        int x = x1 + Round((x2 - x1) * t), y = y1 + Round((y2 - y1) * t);
        const CGridCell& cell = CellAt(m_cells, m_offField, x, y);
        bool through = ForCoverAt(cell, x, y, facing, height, [&](CTerrain* f, const CTerrainRegion& region) {
            int roll = CountedRand();
            if (roll % 1500 + 1 < region.valueC) {
                hitFeature = f;
                return false;
            }
            covered = TRUE;
            return true;
        });
        if (!through) return;
        for (size_t k = 0; k < cell.elements.size(); ++k) {
            if (!Contains(cell.elementRects[k], x, y)) continue;
            CArmyElement* e = cell.elements[k];
            if (e == excluded) continue;
            if (height != -1.0 && std::fabs(GroundHeight(e->m_x, e->m_y) - height) >= 3.0) continue;
            hitElement = e;
            return;
        }
    }
}

double CBattleGrid::ShotClearance(int x1, int y1, int x2, int y2, double height, double climb, double floor) const {
    const int facing = GetDirection(x1, y1, x2, y2);
    const double length = GetDistance(x1, y1, x2, y2, false);
    const int steps = m_lineStep > 0 ? int(length / m_lineStep) : 0;
    if (steps == 0) return 1.0;
    // The step points are those of TraceShot; step i lies within half a
    // unit of the exact point (x1 + i sx, y1 + i sy). Rather than visit them
    // all, the walk goes from cell to cell and, in a cell with features,
    // looks only at the steps that may fall in a feature's rectangles.
    const int dx = x2 - x1, dy = y2 - y1;
    const double sx = dx * m_lineStep / length, sy = dy * m_lineStep / length;
    auto pointAt = [&](int i) {
        double t = double(i * m_lineStep) / length;
        return CPoint(x1 + Round(dx * t), y1 + Round(dy * t));
    };
    // Narrows [lo, hi] to the steps whose point may lie within [a, b] on an axis.
    auto narrow = [](double from, double speed, int a, int b, int& lo, int& hi) {
        if (speed == 0) {
            if (from < a - 1.0 || from > b + 1.0) hi = lo - 1;
            return;
        }
        double s0 = (a - 1.0 - from) / speed, s1 = (b + 1.0 - from) / speed;
        if (s0 > s1) std::swap(s0, s1);
        // Whole steps, rounded inward; beyond the walk either way is as good.
        s0 = std::clamp(s0, -1.0, double(hi) + 1.0), s1 = std::clamp(s1, -1.0, double(hi) + 1.0);
        int up = int(s0), down = int(s1);
        lo = std::max(lo, up + (up < s0));
        hi = std::min(hi, down - (down > s1));
    };
    double share = 1.0;
    // A roll of 1..1500 below the cover value stops the shot; the walk ends
    // once the share is below the floor.
    auto cover = [&](CTerrain*, const CTerrainRegion& region) {
        share *= 1.0 - std::clamp(region.valueC - 1, 0, 1500) / 1500.0;
        return share >= floor;
    };
    auto heightAt = [&](int i) { return height == -1.0 ? -1.0 : height + climb * i * m_lineStep; };
    const CGridCell* done = nullptr;
    for (int i = 1; i <= steps;) {
        const CPoint p = pointAt(i);
        const CGridCell& cell = CellAt(m_cells, m_offField, p.x, p.y);
        if (&cell == &m_offField) {
            if (!ForCoverAt(cell, p.x, p.y, facing, heightAt(i), cover)) return share;
            ++i;
            continue;
        }
        const int left = p.x / kCellSize * kCellSize, top = p.y / kCellSize * kCellSize;
        if (&cell != done && !cell.terrain.empty()) {
            done = &cell;
            int first = i, last = steps;
            narrow(x1, sx, left, left + kCellSize - 1, first, last);
            narrow(y1, sy, top, top + kCellSize - 1, first, last);
            for (CTerrain* f : cell.terrain) {
                const CTerrainRegion* region = f->GetCurrentRegion();
                if (!region) continue;
                if (PassesShotsAlong(*f, facing)) continue;
                double ground = -1.0e9;  // the feature's ground height, looked up when first needed
                const auto& rects = region->rects;
                for (size_t r = 0; r < rects.size(); ++r) {
                    int a = first, b = last;
                    narrow(x1, sx, rects[r].left, rects[r].right, a, b);
                    narrow(y1, sy, rects[r].top, rects[r].bottom, a, b);
                    for (int k = a; k <= b; ++k) {
                        const CPoint q = pointAt(k);
                        if (!Contains(rects[r], q.x, q.y) || &CellAt(m_cells, m_offField, q.x, q.y) != &cell) continue;
                        bool seen = false;  // one roll a step, however many rectangles hold it
                        for (size_t e = 0; e < r && !seen; ++e) seen = Contains(rects[e], q.x, q.y);
                        if (seen) continue;
                        if (height != -1.0) {
                            if (ground == -1.0e9) ground = GroundHeight(f->m_x, f->m_y);
                            if (std::fabs(ground - heightAt(k)) >= 3.0) continue;
                        }
                        if (!cover(f, *region)) return share;
                    }
                }
            }
        }
        // On to the last step that cannot yet have left the cell.
        auto inside = [](double at, double speed, int low) {
            if (speed > 0) return (low + kCellSize - 1.0 - at) / speed;
            if (speed < 0) return (at - (low + 1.0)) / -speed;
            return 1e9;
        };
        double stay = std::min(inside(x1 + sx * i, sx, left), inside(y1 + sy * i, sy, top));
        i += std::max(1, int(std::min(stay, double(steps))));
    }
    return share;
}

BOOL CBattleGrid::IsLineBlocked(int x1, int y1, int x2, int y2) const {
    return m_fineGrid ? m_fineGrid->IsLineBlocked(x1, y1, x2, y2, TRUE) : FALSE;
}

BOOL CBattleGrid::IsRectBlocked(const CRect& rect) const {
    if (!m_fineGrid) return FALSE;
    const CPathGrid& g = *m_fineGrid;
    int c0 = std::max(0, rect.left / 15), c1 = std::min(g.GetColumns() - 1, rect.right / 15);
    int r0 = std::max(0, rect.top / 15), r1 = std::min(g.GetRows() - 1, rect.bottom / 15);
    for (int c = c0; c <= c1; ++c)
        for (int r = r0; r <= r1; ++r)
            if (!g.IsPassableCell(c, r)) return TRUE;
    return FALSE;
}

BOOL CBattleGrid::IsPointFree(int x, int y) const {
    if (!m_altitude) return TRUE;
    static const int kDx[9] = {0, 0, 25, 25, 25, 0, -25, -25, -25};
    static const int kDy[9] = {0, -25, -25, 0, 25, 25, 25, 0, -25};
    for (int i = 0; i < 9; ++i)
        if (m_altitude->IsBlockedAt(x + kDx[i], y + kDy[i], FALSE)) return FALSE;
    return TRUE;
}

BOOL CBattleGrid::IsAreaBlocked(const CRect& rect) const {
    bool blocked = false;
    bool obstacle = false;
    ForCells(rect, [&](const CGridCell& cell) {
        for (const CTerrain* t : cell.terrain) {
            if (!t->m_snapToCells) continue;
            const CTerrainRegion* region = t->GetCurrentRegion();
            if (!region) continue;
            bool meets = false;
            for (const CRect& r : region->rects) meets = meets || Meets(r, rect);
            if (meets && t->IntersectsRect(rect.left, rect.top, rect.right, rect.bottom)) blocked = true;
        }
        for (const CRect& o : cell.obstacleRects)
            if (Meets(o, rect)) obstacle = true;
        return !blocked;
    });
    return blocked || obstacle;
}

void CBattleGrid::BuildPathGrids(const char* databaseName) {
    BuildFinePathGrid(databaseName);
    BuildCoarsePathGrid();
    FixTerrainPoints();
    m_listA.clear(), m_listB.clear(), m_listC.clear();
    if (!m_terrain) return;
    for (POSITION pos = m_terrain->GetHeadPosition(); pos;) {
        CTerrain* t = m_terrain->GetTerrain(pos);
        if (t->m_facing < 0 || t->m_facing > 7) continue;
        bool garrison = t->GetFlagBit2(), bit3 = t->GetFlagBit3(), bit4 = (t->m_flags & CTerrain::kFlagBit4) != 0;
        if (garrison) m_listA.push_back(t);
        if (garrison || bit3 || bit4) m_listB.push_back(t);
        else if (t->m_flags & CTerrain::kFlagBit13) m_listC.push_back(t);
    }
}

static void FillGateAreas(const CZoneGrid* zones, CPathGrid& grid, int grow, BYTE code, BOOL raiseOnly) {
    if (!zones) return;
    CObList gates;
    zones->CollectNodes(gates);
    for (POSITION pos = gates.GetHeadPosition(); pos;) {
        CRect area;
        static_cast<CTerrain*>(gates.GetNext(pos))->CollectRegion(area, FALSE);
        area.InflateRect(grow, grow);
        grid.FillRect(area.left, area.top, area.right, area.bottom, code, raiseOnly);
    }
}

void CBattleGrid::BuildFinePathGrid(const char* databaseName) {
    m_fineGrid = std::make_unique<CPathGrid>(15, 15, databaseName, 0);
    CPathGrid& g = *m_fineGrid;
    const int columns = g.GetColumns(), rows = g.GetRows();
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            g.SetCode(c, r, IsAreaBlocked(CRect(c * 15, r * 15, c * 15 + 14, r * 15 + 14)) ? 5 : 0);
    // Flood fill from the west edge: ground that cannot be reached from it
    // is enclosed.
    std::vector<CPoint> queue;
    for (int r = 0; r < rows; ++r) {
        if (g.GetCode(0, r) != 5) {
            g.SetCode(0, r, 1);
            queue.push_back(CPoint(0, r));
            break;
        }
    }
    for (size_t head = 0; head < queue.size(); ++head) {
        CPoint p = queue[head];
        g.SetCode(p.x, p.y, 2);
        static const int kDc[4] = {0, 1, 0, -1}, kDr[4] = {-1, 0, 1, 0};
        for (int k = 0; k < 4; ++k) {
            int c = p.x + kDc[k], r = p.y + kDr[k];
            if (c < 0 || r < 0 || c >= columns || r >= rows || g.GetCode(c, r) != 0) continue;
            g.SetCode(c, r, 1);
            queue.push_back(CPoint(c, r));
        }
    }
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            if (g.GetCode(c, r) == 0) g.SetCode(c, r, 4);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            if (g.GetCode(c, r) != 5) continue;
            for (int dc = -2; dc <= 2; ++dc)
                for (int dr = -2; dr <= 2; ++dr) {
                    int nc = c + dc, nr = r + dr;
                    if (nc < 0 || nr < 0 || nc >= columns || nr >= rows) continue;
                    if (g.GetCode(nc, nr) == 2) g.SetCode(nc, nr, 3);
                }
        }
    FillGateAreas(m_zones, g, 0, 3, TRUE);
}

void CBattleGrid::BuildCoarsePathGrid() {
    m_coarseGrid = std::make_unique<CPathGrid>(100, 100, "", 0);
    CPathGrid& g = *m_coarseGrid;
    for (int c = 0; c < g.GetColumns(); ++c)
        for (int r = 0; r < g.GetRows(); ++r) g.SetCode(c, r, 2);
    if (m_terrain) {
        for (POSITION pos = m_terrain->GetHeadPosition(); pos;) {
            CTerrain* t = m_terrain->GetTerrain(pos);
            if (!t->m_snapToCells) continue;
            CRect b;
            t->CollectRegion(b, FALSE);
            if (m_zones && m_zones->CrossesZones(b.left, b.top, b.right, b.bottom))
                g.FillRect(b.left, b.top, b.right, b.bottom, 5, FALSE);
            else
                g.FillRect(b.left, b.top, b.right, b.bottom, 3, TRUE);
        }
    }
    FillGateAreas(m_zones, g, 30, 2, FALSE);
}

void CBattleGrid::FixTerrainPoints() {
    if (!m_terrain) return;
    for (POSITION pos = m_terrain->GetHeadPosition(); pos;) {
        CTerrain* t = m_terrain->GetTerrain(pos);
        std::vector<CPoint> points;
        while (!t->m_slotRoute.IsEmpty()) points.push_back(t->m_slotRoute.RemoveHead());
        for (CPoint p : points) {
            CPoint s = SnapToPassable(p.x, p.y, t->m_facing);
            t->m_slotRoute.InsertOrdered(s.x, s.y);
        }
        CPoint anchor;
        t->GetAnchorPoint(anchor);
        CPoint s = SnapToPassable(anchor.x, anchor.y, t->m_facing);
        t->m_anchorX = s.x, t->m_anchorY = s.y;
        t->m_slotRoute.targetX = s.x, t->m_slotRoute.targetY = s.y;
    }
}

void CBattleGrid::FindPath(CPointList& out, int x1, int y1, int x2, int y2, BOOL useArea) {
    CPointList route;
    if (m_zones)
        m_zones->FindRoute(route, x1, y1, x2, y2, useArea);
    else
        route.AddTail(x2, y2);
    CPoint current(x1, y1);
    while (!route.IsEmpty()) {
        CPoint leg = route.PopHead();
        if (IsLineBlocked(current.x, current.y, leg.x, leg.y) && m_coarseGrid) {
            int zone = m_zones ? m_zones->GetZone(current.x, current.y) : 200;
            CPoint start = FindNearestPassable(current.x, current.y, nullptr, 10000, zone);
            m_pathSearch->FindPath(start.x, start.y, leg.x, leg.y, TRUE, out, *m_coarseGrid, 500, nullptr);
        } else {
            out.AddTail(leg.x, leg.y);
        }
        current = leg;
    }
}

BOOL CBattleGrid::FindPathForElement(int x1, int y1, int x2, int y2, CPointList& out, int budget) {
    if (!m_fineGrid) return FALSE;
    if (!m_fineGrid->GetDatabase() || !m_fineGrid->GetDatabase()->IsLoaded())
        return m_pathSearch->FindPath(x1, y1, x2, y2, TRUE, out, *m_fineGrid, budget, nullptr);
    CPointList legs;
    PlanLegs(x1, y1, x2, y2, legs);
    CPoint current(x1, y1);
    while (!legs.IsEmpty()) {
        CPoint leg = legs.PopHead();
        if (m_fineGrid->IsLineBlocked(current.x, current.y, leg.x, leg.y, TRUE)) {
            int flags = 0;
            if (!m_pathSearch->FindPath(current.x, current.y, leg.x, leg.y, TRUE, out, *m_fineGrid, budget, &flags))
                return FALSE;
            budget -= flags;
        } else {
            out.AddTail(leg.x, leg.y);
        }
        current = leg;
    }
    return TRUE;
}

CRect CBattleGrid::GetLegSearchRect(CPoint from, CPoint goal) const {
    static const int kDx[8] = {0, 150, 150, 150, 0, -150, -150, -150};
    static const int kDy[8] = {-150, -150, 0, 150, 150, 150, 0, -150};
    int facing = GetDirection(from.x, from.y, goal.x, goal.y);
    CRect r(from.x - 140, from.y - 140, from.x + 140, from.y + 140);
    r.OffsetRect(kDx[facing], kDy[facing]);
    return r;
}

// Enough legs to cross the field many times over: a walk that has not
// reached the goal by then ends there, and the search of the last leg takes
// the rest of the way.
static const int kMaxLegs = 64;

void CBattleGrid::PlanLegs(int x1, int y1, int x2, int y2, CPointList& out) const {
    CPoint current(x1, y1), goal(x2, y2);
    for (int legs = 0; legs < kMaxLegs; ++legs) {
        if (std::abs(goal.x - current.x) < 301 && std::abs(goal.y - current.y) < 301) break;
        CVector v(goal.x - current.x, goal.y - current.y);
        v.Normalize();
        v = v * 295.0;
        int dx = int(v.x), dy = int(v.y);
        CPoint candidates[6];
        candidates[0] = CPoint(current.x + dx, current.y + dy);
        candidates[1] = CPoint(current.x + dx / 2, current.y + dy / 2);
        CVector turned = v;
        turned.Rotate(20);
        candidates[2] = CPoint(current.x + int(turned.x), current.y + int(turned.y));
        turned = v;
        turned.Rotate(-20);
        candidates[3] = CPoint(current.x + int(turned.x), current.y + int(turned.y));
        CVector half = v * 0.5;
        turned = half;
        turned.Rotate(20);
        candidates[4] = CPoint(current.x + int(turned.x), current.y + int(turned.y));
        turned = half;
        turned.Rotate(-20);
        candidates[5] = CPoint(current.x + int(turned.x), current.y + int(turned.y));
        CPoint next(-1000, -1000);
        bool found = false;
        for (const CPoint& c : candidates) {
            if (m_fineGrid && m_fineGrid->IsPassableAt(c.x, c.y)) {
                next = c;
                found = true;
                break;
            }
        }
        if (!found && m_fineGrid) {
            CRect r = GetLegSearchRect(current, goal);
            int gx = std::clamp<int>(goal.x, r.left, r.right), gy = std::clamp<int>(goal.y, r.top, r.bottom);
            next = m_fineGrid->FindPassableInRect(r.left, r.top, r.right, r.bottom, gx, gy, TRUE);
        }
        if (next == goal) break;
        out.AddTail(next.x, next.y);
        current = next;
    }
    out.AddTail(goal.x, goal.y);
}

template <typename Accept>
CPoint CBattleGrid::RingSearch(const CPathGrid& grid, int x, int y, const CArmyElement* element, int radius,
                               Accept&& accept) const {
    CPoint cell = grid.WorldToCell(x, y);
    int rings = radius / grid.GetCellWidth() + 1;
    auto inGrid = [&](int c, int r) { return c >= 0 && r >= 0 && c < grid.GetColumns() && r < grid.GetRows(); };
    if (inGrid(cell.x, cell.y) && accept(cell.x, cell.y)) return CPoint(x, y);
    auto tryCell = [&](int c, int r, CPoint& out) {
        if (!inGrid(c, r) || !accept(c, r)) return false;
        out = grid.CellToWorld(c, r);
        return true;
    };
    CPoint found;
    const int c = cell.x, r = cell.y;
    for (int k = 1; k <= rings; ++k) {
        for (int i = c - k; i <= c + k - 1; ++i)
            if (tryCell(i, r - k, found)) return found;
        for (int j = r - k; j <= r + k - 1; ++j)
            if (tryCell(c + k, j, found)) return found;
        for (int i = c + k; i >= c - k + 1; --i)
            if (tryCell(i, r + k, found)) return found;
        for (int j = r + k; j >= r - k + 1; --j)
            if (tryCell(c - k, j, found)) return found;
    }
    return element ? CPoint(element->m_x, element->m_y) : CPoint(-1000, -1000);
}

CPoint CBattleGrid::FindFreePointNear(int x, int y, const CArmyElement* element, int radius, BOOL strict) const {
    if (!m_fineGrid) return CPoint(x, y);
    const CPathGrid& g = *m_fineGrid;
    if (radius == 10000 && element) {
        CPoint own = g.WorldToCell(element->m_x, element->m_y);
        if (g.IsPassableCellEx(own.x, own.y, strict))
            radius = Round(GetDistance(element->m_x, element->m_y, x, y, false));
    }
    return RingSearch(g, x, y, element, radius, [&](int c, int r) { return g.IsPassableCellEx(c, r, strict) != 0; });
}

CPoint CBattleGrid::FindNearestPassable(int x, int y, const CArmyElement* element, int radius, int zone) const {
    if (!m_coarseGrid) return CPoint(x, y);
    const CPathGrid& g = *m_coarseGrid;
    if (radius == 10000 && element && zone == 200) {
        CPoint own = g.WorldToCell(element->m_x, element->m_y);
        if (g.IsPassableCell(own.x, own.y)) radius = Round(GetDistance(element->m_x, element->m_y, x, y, false));
    }
    return RingSearch(g, x, y, element, radius, [&](int c, int r) {
        if (!g.IsPassableCell(c, r)) return false;
        if (zone == 200 || !m_zones) return true;
        CPoint w = g.CellToWorld(c, r);
        return m_zones->GetZone(w.x, w.y) == zone;
    });
}

CPoint CBattleGrid::GetUnitsNear(int x, int y, const CArmyElement* element, int radius, int value) const {
    (void)value;
    if (!m_coarseGrid) return CPoint(x, y);
    const CPathGrid& g = *m_coarseGrid;
    if (radius == 10000 && element) radius = Round(GetDistance(element->m_x, element->m_y, x, y, false));
    return RingSearch(g, x, y, element, radius, [&](int c, int r) { return g.IsPassableCell(c, r) != 0; });
}

// The jitter grows by 3 each try; after this many the spread covers the
// whole field, and the point asked for is given back unchanged.
static const int kMaxSpotTries = 1000;

CPoint CBattleGrid::FindFreeSpot(int x, int y) const {
    CRect base(x - 5, y - 5, x + 5, y + 5), trial = base;
    int s = 0;
    for (int tries = 0; tries < kMaxSpotTries; ++tries) {
        bool collides = false;
        ForCells(trial, [&](const CGridCell& cell) {
            collides = cell.Collides(trial, nullptr);
            return !collides;
        });
        if (!collides && ReachesOutside(trial) && IsRectBlocked(trial)) collides = true;
        if (!collides) return CPoint((trial.left + trial.right) / 2, (trial.top + trial.bottom) / 2);
        s += 3;
        int dy = CountedRand() % (2 * s + 1) - s;
        int dx = RandomRange(-s, s, -1);
        trial = base;
        trial.OffsetRect(dx, dy);
    }
    return CPoint(x, y);
}

CPoint CBattleGrid::SnapToPassable(int x, int y, int facing) const {
    if (!m_fineGrid || m_fineGrid->IsPassableAt(x, y)) return CPoint(x, y);
    if (facing >= 0 && facing <= 7) {
        CPoint step = GetDirectionVector(facing, 5.0);
        CPoint p(x, y);
        for (int i = 0; i < 99; ++i) {
            p -= step;
            if (m_fineGrid->IsPassableAt(p.x, p.y)) return p;
        }
        return CPoint(x, y);
    }
    if (facing < 0) {
        for (int k = 1; k <= 99; ++k)
            for (int f = 0; f < 8; ++f) {
                CPoint step = GetDirectionVector(f, 5.0);
                CPoint p(x - k * step.x, y - k * step.y);
                if (m_fineGrid->IsPassableAt(p.x, p.y)) return p;
            }
    }
    return CPoint(x, y);
}

bool CBattleGrid::SegmentHits(int x1, int y1, int x2, int y2, bool keepAll) const {
    long long ddx = x1 - x2, ddy = y1 - y2;
    if (ddx * ddx + ddy * ddy <= 64) return false;
    int xa = x1, ya = y1, xb = x2, yb = y2;
    if (x1 > x2) std::swap(xa, xb), std::swap(ya, yb);
    CRect grown(xa, std::min(ya, yb), xb, std::max(ya, yb));
    grown.InflateRect(10, 10);
    std::vector<CTerrain*> gathered;
    ForCells(grown, [&](const CGridCell& cell) {
        for (CTerrain* t : cell.terrain) {
            if (!t->m_snapToCells) continue;
            const CTerrainRegion* region = t->GetCurrentRegion();
            if (!region) continue;
            for (const CRect& r : region->rects)
                if (Meets(r, grown)) {
                    AddOnce(gathered, t);
                    break;
                }
        }
        return true;
    });
    for (CTerrain* t : gathered) {
        if (!keepAll && !t->GetFlagBit2() && !t->GetFlagBit3()) continue;
        for (const CRect& r : t->GetCurrentRegion()->rects) {
            if (xa == xb) {
                if (std::max(ya, yb) > r.top && std::min(ya, yb) < r.bottom) return true;
                continue;
            }
            double m = double(ya - yb) / double(xa - xb);
            int yL = ya + int(double(std::max<int>(r.left, xa) - xa) * m);
            int yR = ya + int(double(std::min<int>(xb, r.right) - xa) * m);
            if ((r.top <= yL && yL <= r.bottom) || (r.top <= yR && yR <= r.bottom) || (yL > r.bottom && yR < r.top) ||
                (yR > r.bottom && yL < r.top))
                return true;
        }
    }
    return false;
}

BOOL CBattleGrid::IsSegmentBlocked(int x1, int y1, int x2, int y2) const { return SegmentHits(x1, y1, x2, y2, false); }

BOOL CBattleGrid::CollideElement(int x1, int y1, int x2, int y2) const { return SegmentHits(x1, y1, x2, y2, true); }
