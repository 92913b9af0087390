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
    // Forget the last search: its cells lose their nodes and the buckets it
    // filled are emptied.
    for (int32_t cell : m_used) m_g[size_t(cell)] = kNoNode;
    if (!m_used.empty()) {
        std::fill(m_head.begin() + m_lowest, m_head.begin() + m_highest + 1, kNone);
        std::fill(m_filled.begin() + (m_lowest >> 6), m_filled.begin() + (m_highest >> 6) + 1, 0);
    }
    m_used.clear();
    m_stack.clear();
    m_open = 0;
    m_lowest = INT32_MAX;
    m_highest = 0;
    m_grid = &grid;
    const int rows = grid.GetRows();
    for (int k = 0; k < 8; ++k) m_step[k] = CPathGrid::kStepColumn[k] * rows + CPathGrid::kStepRow[k];
    m_rough = grid.GetPenalty() + 2;
    m_codes = grid.GetCodes();
    m_moves = grid.GetMoves();
    const size_t cells = size_t(grid.GetColumns()) * size_t(rows);
    if (m_g.size() < cells) {
        m_g.resize(cells, kNoNode);
        m_node.resize(cells);
        m_place.resize(cells);
        m_used.reserve(cells);
    }
}

inline void CPathSearch::NewNode(int cell, int c, int r, int g, int h, int parent) {
    m_g[size_t(cell)] = g;
    Node& node = m_node[size_t(cell)];
    node.f = g + h;
    node.parent = parent;
    m_place[size_t(cell)] = uint32_t(c) << 16 | uint32_t(r);
    m_used.push_back(cell);
    ++m_open;
    PushFront(cell, node.f);
}

void CPathSearch::GrowBuckets(int32_t key) {
    size_t size = size_t(key) + 64;
    m_head.resize(size, kNone);
    m_tail.resize(size, kNone);
    m_filled.resize(size / 64 + 1, 0);
}

inline void CPathSearch::PushFront(int n, int32_t key) {
    if (size_t(key) >= m_head.size()) GrowBuckets(key);
    Node& node = m_node[size_t(n)];
    node.key = key;
    node.next = m_head[size_t(key)];
    if (node.next < 0) {
        m_tail[size_t(key)] = n;
        m_filled[size_t(key) >> 6] |= uint64_t(1) << (key & 63);
        if (key < m_lowest) m_lowest = key;
        if (key > m_highest) m_highest = key;
    }
    m_head[size_t(key)] = n;
}

inline void CPathSearch::PushBack(int n, int32_t key) {
    // Only to a key below the node's own, whose bucket exists.
    Node& node = m_node[size_t(n)];
    node.key = key;
    node.next = kNone;
    const int32_t last = m_tail[size_t(key)];
    m_tail[size_t(key)] = n;
    if (m_head[size_t(key)] >= 0) {  // the tail of an empty bucket is stale
        m_node[size_t(last)].next = n;
        return;
    }
    m_head[size_t(key)] = n;
    m_filled[size_t(key) >> 6] |= uint64_t(1) << (key & 63);
    if (key < m_lowest) m_lowest = key;
}

inline void CPathSearch::PopFront(int32_t key) {
    const int32_t next = m_node[size_t(m_head[size_t(key)])].next;
    m_head[size_t(key)] = next;
    if (next < 0) m_filled[size_t(key) >> 6] &= ~(uint64_t(1) << (key & 63));
}

int32_t CPathSearch::LowestFilledFrom(int32_t key) const {
    size_t word = size_t(key) >> 6;
    uint64_t bits = m_filled[word] & (~uint64_t(0) << (key & 63));
    while (!bits) bits = m_filled[++word];  // called only while a node is open
    return int32_t((word << 6) + size_t(__builtin_ctzll(bits)));
}

int32_t CPathSearch::HighestFilledBelow(int32_t key) const {
    // No bucket below m_lowest holds a node.
    while (key > m_lowest) {
        size_t word = size_t(key - 1) >> 6;
        uint64_t bits = m_filled[word];
        unsigned top = unsigned((key - 1) & 63);
        if (top < 63) bits &= (uint64_t(2) << top) - 1;
        if (bits) return int32_t((word << 6) + size_t(63 - __builtin_clzll(bits)));
        key = int32_t(word << 6);
    }
    return kNone;
}

void CPathSearch::Refile(int x, int32_t base, bool stays) {
    const int32_t f = m_node[size_t(x)].key;  // the f of the bucket's first node
    PopFront(f);
    int32_t key = base;
    if (stays) {
        key = std::max(key, m_node[size_t(x)].f);
        PushBack(x, key);
    }
    // The nodes behind x took their key from it, up to the next node of its
    // f: each now takes the highest f before it.
    for (int y; (y = m_head[size_t(f)]) >= 0 && m_node[size_t(y)].f != f;) {
        PopFront(f);
        key = std::max(key, m_node[size_t(y)].f);
        PushBack(y, key);
    }
}

int CPathSearch::PopOpen() {
    if (m_open == 0) return -1;
    if (m_head[size_t(m_lowest)] < 0) m_lowest = LowestFilledFrom(m_lowest);
    const int n = m_head[size_t(m_lowest)];
    const int next = m_node[size_t(n)].next;
    // Commonly nothing behind the head moves: the bucket empties, or the
    // next node is of the bucket's own f.
    if (next < 0) {
        m_head[size_t(m_lowest)] = kNone;
        m_filled[size_t(m_lowest) >> 6] &= ~(uint64_t(1) << (m_lowest & 63));
    } else if (m_node[size_t(next)].f == m_lowest) {
        m_head[size_t(m_lowest)] = next;
    } else {
        Refile(n, kNone, false);
    }
    --m_open;
    return n;
}

void CPathSearch::SetCost(int n, int p, int g) {
    Node& node = m_node[size_t(n)];
    const int32_t f = node.f - m_g[size_t(n)] + g;
    m_g[size_t(n)] = g;
    node.parent = p;
    node.f = f;
    // An open node keeps its place; when it is the first of its bucket the
    // keys behind it may fall.
    if (node.key != kClosed && m_head[size_t(node.key)] == n) Refile(n, HighestFilledBelow(node.key), true);
}

void CPathSearch::Expand(int p, int goalC, int goalR) {
    const BYTE* codes = m_codes;
    const int32_t g = m_g[size_t(p)];
    const int c = int(m_place[size_t(p)] >> 16), r = int(m_place[size_t(p)] & 0xFFFF);
    const bool even = m_rough == 2;  // rough ground costs no more: no code is read
    for (unsigned moves = m_moves[p]; moves; moves &= moves - 1) {
        const int k = __builtin_ctz(moves);
        const int cell = p + m_step[k];
        int32_t ng = g + 2 + (k & 1);
        if (!even && codes[cell] != 2) ng += m_rough - 2;
        const int32_t known = m_g[size_t(cell)];
        if (ng >= known) continue;
        if (known == kNoNode) {
            const int nc = c + CPathGrid::kStepColumn[k], nr = r + CPathGrid::kStepRow[k];
            NewNode(cell, nc, nr, ng, PathEstimate(nc, nr, goalC, goalR), p);
        } else {
            MadeCheaper(cell, p, ng);
        }
    }
}

void CPathSearch::MadeCheaper(int n, int p, int g) {
    SetCost(n, p, g);
    if (m_node[size_t(n)].key != kClosed) return;
    // A closed node got cheaper: pass the saving on to every node that was
    // reached through it, and on through those that were expanded.
    const BYTE* codes = m_codes;
    m_stack.clear();
    m_stack.push_back(n);
    while (!m_stack.empty()) {
        const int from = m_stack.back();
        m_stack.pop_back();
        if (m_node[size_t(from)].key != kClosed) continue;
        for (unsigned moves = m_moves[from]; moves; moves &= moves - 1) {
            const int k = __builtin_ctz(moves);
            const int child = from + m_step[k];
            if (m_g[size_t(child)] == kNoNode) continue;
            const int32_t cg = m_g[size_t(from)] + (codes[child] == 2 ? 2 : m_rough) + (k & 1);
            if (cg < m_g[size_t(child)]) {
                SetCost(child, from, cg);
                m_stack.push_back(child);
            }
        }
    }
}

int CPathSearch::AStar(int c1, int r1, int c2, int r2, int limit, int& count) {
    const int columns = m_grid->GetColumns(), rows = m_grid->GetRows();
    c1 = std::clamp(c1, 0, columns - 1), r1 = std::clamp(r1, 0, rows - 1);
    c2 = std::clamp(c2, 0, columns - 1), r2 = std::clamp(r2, 0, rows - 1);
    const int goal = c2 * rows + r2;
    NewNode(c1 * rows + r1, c1, r1, 0, PathEstimate(c1, r1, c2, r2), -1);
    count = 0;
    int result = -1;
    for (;;) {
        int n = PopOpen();
        if (n < 0) break;
        m_node[size_t(n)].key = kClosed;
        ++count;
        if (n == goal) {
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

const std::vector<int>& CPathSearch::WayBack(int goal, bool turnsOnly, bool* turned) {
    std::vector<int>& way = m_way;
    way.clear();
    const Node& g = m_node[size_t(goal)];
    if (g.parent < 0) return way;
    auto facing = [&](int from, int to) {
        return GetDirection(int(m_place[size_t(from)] >> 16), int(m_place[size_t(from)] & 0xFFFF),
                            int(m_place[size_t(to)] >> 16), int(m_place[size_t(to)] & 0xFFFF));
    };
    int last = facing(g.parent, goal);
    for (int n = g.parent; m_node[size_t(n)].parent >= 0; n = m_node[size_t(n)].parent) {
        const Node& node = m_node[size_t(n)];
        int now = facing(node.parent, n);
        if (turnsOnly && now == last) continue;
        last = now;
        if (turned) *turned = true;
        way.push_back(n);
    }
    return way;
}

size_t CPathSearch::WayKeyHash::operator()(const WayKey& k) const {
    uint64_t h = k.revision * 0x9E3779B97F4A7C15ull;
    for (int32_t v : {k.c1, k.r1, k.c2, k.r2, k.limit, int32_t(k.simplify)})
        h = (h ^ uint32_t(v)) * 0x100000001B3ull;
    return size_t(h ^ (h >> 29));
}

// Enough answers for every way a battle's units are asking at once; when
// full the table starts again.
static const size_t kKnownWays = 4096;

const CPathSearch::KnownWay& CPathSearch::FindWay(CPoint a, CPoint b, int maxNodes, bool simplify) {
    const WayKey key{m_grid->GetRevision(), int32_t(a.x), int32_t(a.y), int32_t(b.x), int32_t(b.y), maxNodes, simplify};
    if (auto it = m_known.find(key); it != m_known.end()) {
        const KnownWay& way = it->second;
        m_totalNodes = int32_t(uint32_t(m_totalNodes) + uint32_t(way.count));  // as the search would
        m_lastCount = way.count;
        return way;
    }
    if (m_known.size() >= kKnownWays) m_known.clear();
    KnownWay way;
    int goal = AStar(a.x, a.y, b.x, b.y, maxNodes, way.count);
    way.found = goal >= 0;
    if (way.found)
        for (int n : WayBack(goal, simplify, nullptr)) way.cells.push_back(PlaceOf(n));
    return m_known.emplace(key, std::move(way)).first->second;
}

BOOL CPathSearch::SearchGrid(int x1, int y1, int x2, int y2, BOOL simplify, CPointList& out, int maxNodes) {
    if (maxNodes < 1) return FALSE;
    CPoint a = m_grid->WorldToCell(x1, y1), b = m_grid->WorldToCell(x2, y2);
    const KnownWay& way = FindWay(a, b, maxNodes, simplify != 0);
    if (!way.found) return FALSE;
    CPointList path;
    path.AddHead(x2, y2);
    for (CPoint cell : way.cells) {
        CPoint w = m_grid->CellToWorld(cell.x, cell.y);
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
    if (goal < 0) return FALSE;
    std::vector<CPoint>& cells = m_record;  // goal first
    cells.clear();
    bool turned = false;
    cells.push_back(PlaceOf(goal));
    for (int n : WayBack(goal, true, &turned)) cells.push_back(PlaceOf(n));
    if (m_node[size_t(goal)].parent >= 0) cells.push_back(CPoint(c1, r1));
    if (count < 500) {
        Reset(grid);
        int back = 0;
        // Only whether the way back takes fewer than 500 nodes matters: the
        // search stops at the 500th, which it takes in the same order.
        AStar(c2, r2, c1, r1, 499, back);
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
