#include "field/PathSearch.h"

#include <algorithm>
#include <cstdlib>

#include "field/RouteDatabase.h"
#include "core/Helpers.h"
#include "core/PointList.h"

int PathEstimate(int c1, int r1, int c2, int r2) {
    int dc = std::abs(c1 - c2), dr = std::abs(r1 - r2);
    int lo = std::min(dc, dr), hi = std::max(dc, dr);
    return 3 * lo + 2 * (hi - lo);
}

CPathSearch::CPathSearch() = default;
CPathSearch::~CPathSearch() = default;

void CPathSearch::Reset(const CPathGrid& grid) {
    m_grid = &grid;
    m_nodes.clear();
    m_stack.clear();
    // Only the buckets the last search reached can hold anything.
    size_t used = std::min(m_highest + 1, m_buckets.size());
    std::fill(m_buckets.begin(), m_buckets.begin() + long(used), -1);
    std::fill(m_bucketTails.begin(), m_bucketTails.begin() + long(used), -1);
    std::fill(m_filled.begin(), m_filled.begin() + long(std::min(used / 64 + 1, m_filled.size())), 0);
    m_lowest = 0;
    m_highest = 0;
    m_openHead = m_openTail = -1;
    // The table only grows: the battle alternates between the fine and the
    // coarse grid, and a smaller grid's cells hold older stamps only.
    size_t cells = size_t(grid.GetColumns()) * size_t(grid.GetRows());
    if (m_cells.size() < cells) {
        m_cells.assign(cells, CellSlot{0, -1, 0});
        m_stamp = 0;
    }
    if (++m_stamp == 0) {
        std::fill(m_cells.begin(), m_cells.end(), CellSlot{0, -1, 0});
        m_stamp = 1;
    }
}

int CPathSearch::NodeAt(int c, int r) const {
    size_t i = size_t(c) * size_t(m_grid->GetRows()) + size_t(r);
    return m_cells[i].stamp == m_stamp ? m_cells[i].node : -1;
}

int CPathSearch::NewNode(int c, int r, int g, int h, int parent) {
    return NewNodeAt(size_t(c) * size_t(m_grid->GetRows()) + size_t(r), c, r, g, h, parent);
}

int CPathSearch::NewNodeAt(size_t cell, int c, int r, int g, int h, int parent) {
    Node n;
    n.f = g + h, n.h = h, n.g = g, n.c = c, n.r = r, n.parent = parent;
    n.next = n.prev = n.after = n.before = -1;
    n.list = 0;
    n.moved = 0;
    m_nodes.push_back(n);
    int index = int(m_nodes.size()) - 1;
    m_cells[cell] = CellSlot{m_stamp, index, g};
    return index;
}

void CPathSearch::InsertOpen(int n) {
    const int32_t f = m_nodes[size_t(n)].f;
    size_t bucket = size_t(std::max(f, 0));
    if (bucket >= m_buckets.size()) {
        m_buckets.resize(bucket + 64, -1);
        m_bucketTails.resize(bucket + 64, -1);
        m_filled.resize((bucket + 64) / 64 + 1, 0);
    }
    // The chain is kept in order of f, and a new node goes in front of the
    // first node whose f is not below its own. Nodes that were never made
    // cheaper in place stay sorted, so the last of them below f is found
    // from the buckets; from there on only nodes made cheaper in place can
    // stand before that first node, and those are few.
    int from = m_openHead;
    bool below = false;
    if (m_openHead >= 0) {
        size_t b = HighestBucketBelow(std::min(bucket, m_highest + 1), m_lowest);
        if (b != kNoBucket) {
            from = m_nodes[size_t(m_bucketTails[b])].after;
            below = true;
        }
    }
    // No bucket below this one holds a node now.
    if (!below) m_lowest = bucket;
    int at = from;
    while (at >= 0 && m_nodes[size_t(at)].f < f) at = m_nodes[size_t(at)].after;
    Node& node = m_nodes[size_t(n)];
    node.list = 1;
    node.after = at;
    node.before = at >= 0 ? m_nodes[size_t(at)].before : m_openTail;
    if (node.before >= 0)
        m_nodes[size_t(node.before)].after = n;
    else
        m_openHead = n;
    if (at >= 0)
        m_nodes[size_t(at)].before = n;
    else
        m_openTail = n;
    // It stands in front of every other node of its own f: the head of its
    // bucket.
    node.prev = -1;
    node.next = m_buckets[bucket];
    if (node.next >= 0)
        m_nodes[size_t(node.next)].prev = n;
    else
        m_bucketTails[bucket] = n;
    m_buckets[bucket] = n;
    m_filled[bucket >> 6] |= uint64_t(1) << (bucket & 63);
    if (bucket > m_highest) m_highest = bucket;
}

size_t CPathSearch::HighestBucketBelow(size_t end, size_t lowest) const {
    // Bucket b is filled when bit b of m_filled is set.
    while (end > lowest) {
        size_t word = (end - 1) >> 6;
        uint64_t bits = m_filled[word];
        unsigned top = unsigned((end - 1) & 63);
        if (top < 63) bits &= (uint64_t(2) << top) - 1;
        if (bits) {
            size_t b = (word << 6) + size_t(63 - __builtin_clzll(bits));
            return b >= lowest ? b : kNoBucket;
        }
        end = word << 6;
    }
    return kNoBucket;
}

void CPathSearch::LeaveBucket(int n) {
    Node& node = m_nodes[size_t(n)];
    if (node.moved) return;
    size_t bucket = size_t(std::max(node.f, 0));
    if (node.prev >= 0)
        m_nodes[size_t(node.prev)].next = node.next;
    else
        m_buckets[bucket] = node.next;
    if (node.next >= 0)
        m_nodes[size_t(node.next)].prev = node.prev;
    else
        m_bucketTails[bucket] = node.prev;
    if (m_buckets[bucket] < 0) m_filled[bucket >> 6] &= ~(uint64_t(1) << (bucket & 63));
    node.next = node.prev = -1;
    node.moved = 1;
}

int CPathSearch::PopOpen() {
    int n = m_openHead;
    if (n < 0) return -1;
    Node& node = m_nodes[size_t(n)];
    LeaveBucket(n);
    // Every open node never made cheaper stands behind the head with an f
    // not below the head's.
    m_lowest = std::max(m_lowest, size_t(std::max(node.f, 0)));
    m_openHead = node.after;
    if (m_openHead >= 0)
        m_nodes[size_t(m_openHead)].before = -1;
    else
        m_openTail = -1;
    node.after = node.before = -1;
    node.list = 0;
    return n;
}

template <typename F>
void CPathSearch::ForEachNeighbour(int c, int r, F&& fn) const {
    const unsigned moves = m_grid->GetMovesInside(c, r);
    for (int k = 0; k < 8; ++k)
        if (moves & (1u << k)) fn(c + CPathGrid::kStepColumn[k], r + CPathGrid::kStepRow[k]);
}

void CPathSearch::Expand(int p, int goalC, int goalR) {
    const int rows = m_grid->GetRows();
    const BYTE* codes = m_grid->GetCodes();
    const int c = m_nodes[size_t(p)].c, r = m_nodes[size_t(p)].r, g = m_nodes[size_t(p)].g;
    const int rough = m_grid->GetPenalty() + 2;
    // ForEachNeighbour's steps, with the cell's index and the step's cost.
    const size_t here = size_t(c) * size_t(rows) + size_t(r);
    for (unsigned moves = m_grid->GetMovesInside(c, r); moves; moves &= moves - 1) {
        const int k = __builtin_ctz(moves);
        const size_t cell = here + size_t(ptrdiff_t(CPathGrid::kStepColumn[k]) * rows + CPathGrid::kStepRow[k]);
        const int ng = g + (codes[cell] == 2 ? 2 : rough) + (k & 1);
        const CellSlot& slot = m_cells[cell];
        if (slot.stamp != m_stamp) {
            const int nc = c + CPathGrid::kStepColumn[k], nr = r + CPathGrid::kStepRow[k];
            InsertOpen(NewNodeAt(cell, nc, nr, ng, PathEstimate(nc, nr, goalC, goalR), p));
        } else if (ng < slot.g) {
            MadeCheaper(slot.node, p, ng);
        }
    }
}

void CPathSearch::MadeCheaper(int n, int p, int g) {
    Node& node = m_nodes[size_t(n)];
    // An open node keeps its place in the open list.
    if (node.list == 1) LeaveBucket(n);
    node.parent = p;
    node.g = g;
    node.f = node.h + g;
    m_cells[size_t(node.c) * size_t(m_grid->GetRows()) + size_t(node.r)].g = g;
    if (node.list != 2) return;
    // A closed node got cheaper: pass the saving on to every node that was
    // reached through it, and on through those that were expanded.
    m_stack.clear();
    m_stack.push_back(n);
    while (!m_stack.empty()) {
        int from = m_stack.back();
        m_stack.pop_back();
        if (m_nodes[size_t(from)].list != 2) continue;
        ForEachNeighbour(m_nodes[size_t(from)].c, m_nodes[size_t(from)].r, [&](int cc, int rr) {
            int ch = NodeAt(cc, rr);
            if (ch < 0) return;
            Node& child = m_nodes[size_t(ch)];
            const Node& parent = m_nodes[size_t(from)];
            int cg = parent.g + m_grid->StepCost(child.c, child.r, parent.c, parent.r);
            if (cg < child.g) {
                if (child.list == 1) LeaveBucket(ch);
                child.parent = from;
                child.g = cg;
                m_cells[size_t(child.c) * size_t(m_grid->GetRows()) + size_t(child.r)].g = cg;
                child.f = child.h + cg;
                m_stack.push_back(ch);
            }
        });
    }
}

int CPathSearch::AStar(int c1, int r1, int c2, int r2, int limit, int& count) {
    const int columns = m_grid->GetColumns(), rows = m_grid->GetRows();
    c1 = std::clamp(c1, 0, columns - 1), r1 = std::clamp(r1, 0, rows - 1);
    c2 = std::clamp(c2, 0, columns - 1), r2 = std::clamp(r2, 0, rows - 1);
    int start = NewNode(c1, r1, 0, PathEstimate(c1, r1, c2, r2), -1);
    InsertOpen(start);
    count = 0;
    int result = -1;
    for (;;) {
        int n = PopOpen();
        if (n < 0) break;
        m_nodes[size_t(n)].list = 2;
        ++count;
        if (m_nodes[size_t(n)].c == c2 && m_nodes[size_t(n)].r == r2) {
            result = n;
            break;
        }
        if (count > limit) break;
        Expand(n, c2, r2);
    }
    m_totalNodes = int32_t(uint32_t(m_totalNodes) + uint32_t(count));  // a statistic: wraps, never traps
    m_lastCount = count;
    return result;
}

std::vector<int> CPathSearch::WayBack(int goal, bool turnsOnly, bool* turned) const {
    std::vector<int> way;
    const Node& g = m_nodes[size_t(goal)];
    if (g.parent < 0) return way;
    int last = GetDirection(m_nodes[size_t(g.parent)].c, m_nodes[size_t(g.parent)].r, g.c, g.r);
    for (int n = g.parent; m_nodes[size_t(n)].parent >= 0; n = m_nodes[size_t(n)].parent) {
        const Node& node = m_nodes[size_t(n)];
        const Node& p = m_nodes[size_t(node.parent)];
        int facing = GetDirection(p.c, p.r, node.c, node.r);
        if (turnsOnly && facing == last) continue;
        last = facing;
        if (turned) *turned = true;
        way.push_back(n);
    }
    return way;
}

BOOL CPathSearch::SearchGrid(int x1, int y1, int x2, int y2, BOOL simplify, CPointList& out, int maxNodes) {
    if (maxNodes < 1) return FALSE;
    CPoint a = m_grid->WorldToCell(x1, y1), b = m_grid->WorldToCell(x2, y2);
    int count = 0;
    int goal = AStar(a.x, a.y, b.x, b.y, maxNodes, count);
    if (goal < 0) return FALSE;
    CPointList path;
    path.AddHead(x2, y2);
    for (int n : WayBack(goal, simplify != 0, nullptr)) {
        CPoint w = m_grid->CellToWorld(m_nodes[size_t(n)].c, m_nodes[size_t(n)].r);
        path.AddHead(w.x, w.y);
    }
    out.AppendList(path);
    return TRUE;
}

BOOL CPathSearch::SearchWithDatabase(int x1, int y1, int x2, int y2, BOOL simplify, CPointList& out, int maxNodes,
                                     int* flags) {
    const int columns = m_grid->GetColumns(), rows = m_grid->GetRows();
    CPoint a = m_grid->WorldToCell(x1, y1), b = m_grid->WorldToCell(x2, y2);
    CPoint ca(std::clamp<int>(a.x, 0, columns - 1), std::clamp<int>(a.y, 0, rows - 1));
    CPoint cb(std::clamp<int>(b.x, 0, columns - 1), std::clamp<int>(b.y, 0, rows - 1));
    bool startMoved = ca != a, goalMoved = cb != b;
    int localFlags = 0;
    if (startMoved || goalMoved) localFlags |= 2;
    CPointList cells;
    if (m_grid->GetDatabase()->Lookup(ca.x, ca.y, cb.x, cb.y, cells, &localFlags)) {
        if (flags) *flags |= localFlags;
        CPoint startWorld = m_grid->CellToWorld(ca.x, ca.y);
        if (startMoved) out.AddTail(startWorld.x, startWorld.y);
        while (!cells.IsEmpty()) {
            CPoint cell = cells.PopHead();
            if (cell == ca) continue;
            CPoint w = m_grid->CellToWorld(cell.x, cell.y);
            if (cell == cb && cells.IsEmpty()) {
                // The goal cell ends the way at the goal point itself.
                if (goalMoved) out.AddTail(w.x, w.y);
                out.AddTail(x2, y2);
            } else {
                out.AddTail(w.x, w.y);
            }
        }
        return TRUE;
    }
    localFlags |= 1;
    if (flags) *flags |= localFlags;
    if (maxNodes > 500) maxNodes = 500;
    CPoint from = startMoved ? m_grid->CellToWorld(ca.x, ca.y) : CPoint(x1, y1);
    CPoint to = goalMoved ? m_grid->CellToWorld(cb.x, cb.y) : CPoint(x2, y2);
    CPointList legs;
    if (!SearchGrid(from.x, from.y, to.x, to.y, simplify, legs, maxNodes)) return FALSE;
    CPoint lastPoint(-1000, -1000);
    if (from != CPoint(x1, y1)) {
        out.AddTail(from.x, from.y);
        lastPoint = from;
    }
    while (!legs.IsEmpty()) {
        CPoint p = legs.PopHead();
        if (p == lastPoint) continue;
        out.AddTail(p.x, p.y);
        lastPoint = p;
    }
    if (lastPoint != CPoint(x2, y2)) out.AddTail(x2, y2);
    return TRUE;
}

BOOL CPathSearch::FindPath(int x1, int y1, int x2, int y2, BOOL simplify, CPointList& out, CPathGrid& grid,
                           int maxNodes, int* flags) {
    DWORD started = GetTickCount();
    ++m_calls;
    BOOL ok = FALSE;
    if (grid.IsPassableAt(x1, y1) && grid.IsPassableAt(x2, y2)) {
        Reset(grid);
        if (grid.GetDatabase() && grid.GetDatabase()->IsLoaded())
            ok = SearchWithDatabase(x1, y1, x2, y2, simplify, out, maxNodes, flags);
        else
            ok = SearchGrid(x1, y1, x2, y2, simplify, out, maxNodes);
        m_nodes.clear();
        m_grid = nullptr;
    }
    int elapsed = int(GetTickCount() - started);
    m_totalMillis += elapsed;
    m_maxMillis = std::max(m_maxMillis, elapsed);
    return ok;
}

BOOL CPathSearch::Search(int c1, int r1, int c2, int r2, const CPathGrid& grid, std::vector<BYTE>& out) {
    bool straight = false;
    BOOL stored = SearchRecord(c1, r1, c2, r2, grid, out, straight);
    if (stored && straight) ShowMessage("Warning:: saving empty path to path database.");
    return stored;
}

BOOL CPathSearch::SearchRecord(int c1, int r1, int c2, int r2, const CPathGrid& grid, std::vector<BYTE>& out,
                               bool& straight) {
    straight = false;
    if (!grid.IsPassableCell(c1, r1) || !grid.IsPassableCell(c2, r2)) return FALSE;
    if (!grid.IsLineBlocked(c1, r1, c2, r2, FALSE)) return FALSE;
    Reset(grid);
    int count = 0;
    int goal = AStar(c1, r1, c2, r2, 100000, count);
    if (goal < 0) {
        m_nodes.clear();
        return FALSE;
    }
    std::vector<CPoint> cells;  // goal first
    bool turned = false;
    cells.push_back(CPoint(m_nodes[size_t(goal)].c, m_nodes[size_t(goal)].r));
    for (int n : WayBack(goal, true, &turned)) cells.push_back(CPoint(m_nodes[size_t(n)].c, m_nodes[size_t(n)].r));
    if (m_nodes[size_t(goal)].parent >= 0) cells.push_back(CPoint(c1, r1));
    m_nodes.clear();
    if (count < 500) {
        Reset(grid);
        int back = 0;
        // Only whether the way back takes fewer than 500 nodes matters: the
        // search stops at the 500th, which it takes in the same order.
        AStar(c2, r2, c1, r1, 499, back);
        m_nodes.clear();
        if (back < 500) return FALSE;
    }
    // A record's count is one byte: a longer way is not stored.
    if (cells.size() > 255) return FALSE;
    straight = !turned;
    out.push_back(BYTE(cells.size()));
    for (auto it = cells.rbegin(); it != cells.rend(); ++it) {
        out.push_back(BYTE(it->x));
        out.push_back(BYTE(it->y));
    }
    return TRUE;
}
