#include "field/PathSearch.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    // Forget the last search: its cells lose their nodes by the move to the
    // next generation, and the buckets it filled are emptied.
    if (m_highest >= m_lowest) {
        std::fill(m_head.begin() + m_lowest, m_head.begin() + m_highest + 1, kNone);
    }
    m_stack.clear();
    m_lowest = INT32_MAX;
    m_highest = 0;
    m_grid = &grid;
    const int rows = grid.GetRows();
    if (rows != m_rows || m_perRow == 0) {
        // Cell numbers stay below 2^23 and rows below 2^17 (the field is
        // 3000 x 2000 units), where rounding 2^40 / rows up gives the exact
        // quotient.
        m_rows = rows;
        m_perRow = ((uint64_t(1) << 40) + uint64_t(rows) - 1) / uint64_t(rows);
        for (int k = 0; k < 8; ++k) m_step[k] = CPathGrid::kStepColumn[k] * rows + CPathGrid::kStepRow[k];
    }
    m_rough = grid.GetPenalty() + 2;
    m_codes = grid.GetCodes();
    m_moves = grid.GetMoves();
    const size_t cells = size_t(grid.GetColumns()) * size_t(rows);
    // The costs are padded by a column and two cells on either side, so the
    // neighbours of any cell can be read without a test; the padding never
    // holds a node. A cost is kept as its generation's base plus the cost:
    // every search takes a base one span below the last one's, so whatever
    // an earlier search left is at least the span above the base, as if the
    // cell had no node. When the bases run out every cell is cleared.
    // A cost stays below the span: a parent chain steps through each cell
    // at most once, for at most 3 a step and the penalty. The span only
    // grows, so the battle's two grids share it.
    int64_t span = std::max<int64_t>(64, int64_t(cells) * (int64_t(std::max(grid.GetPenalty(), 0)) + 4));
    if (span > kNoNode / 3) span = kNoNode;  // no room for generations: every search clears
    if (m_pad < rows + 2 || m_g.size() < cells + 2 * size_t(m_pad) || span > m_span) {
        m_pad = std::max(m_pad, rows + 2);
        m_g.assign(std::max(m_g.size(), cells + 2 * size_t(m_pad)), kNoNode);
        m_span = std::max(m_span, span);
        m_base = -1;
    }
    if (m_base < m_span) {
        std::fill(m_g.begin(), m_g.end(), kNoNode);
        m_base = m_span == kNoNode ? 0 : int64_t(kNoNode) - 2 * m_span;
    } else {
        m_base -= m_span;
    }
    if (m_node.size() < cells) m_node.resize(cells);
    if (m_head.empty()) GrowBuckets(1024);
    const int columns = grid.GetColumns();
    m_useTable = columns <= kTableSide && rows <= kTableSide;
    if (m_useTable && (columns > m_tableColumns || rows > m_tableRows)) {
        m_tableColumns = std::max(m_tableColumns, columns);
        m_tableRows = std::max(m_tableRows, rows);
        m_placeStride = 2 * m_tableRows - 1;
        m_estimate.resize(size_t(2 * m_tableColumns - 1) * size_t(m_placeStride));
        m_ahead.resize(m_estimate.size());
        for (int dc = 1 - m_tableColumns; dc < m_tableColumns; ++dc)
            for (int dr = 1 - m_tableRows; dr < m_tableRows; ++dr) {
                const size_t at =
                    size_t(dc + m_tableColumns - 1) * size_t(m_placeStride) + size_t(dr + m_tableRows - 1);
                const int estimate = PathEstimate(dc, dr, 0, 0);
                m_estimate[at] = uint16_t(estimate);
                BYTE ahead = 0;
                for (int k = 0; k < 8; ++k) {
                    const int step = 2 + (k & 1);
                    const int there = PathEstimate(dc + CPathGrid::kStepColumn[k], dr + CPathGrid::kStepRow[k], 0, 0);
                    if (there + step == estimate) ahead = BYTE(ahead | 1u << k);
                }
                m_ahead[at] = ahead;
            }
        for (int k = 0; k < 8; ++k)
            m_placeStep[k] = CPathGrid::kStepColumn[k] * m_placeStride + CPathGrid::kStepRow[k];
    }
}

void CPathSearch::GrowBuckets(int32_t key) {
    size_t size = std::max(size_t(key) + 64, m_head.size() * 2);
    m_head.resize(size, kNone);
    m_tail.resize(size, kNone);
}

namespace {

struct NeighbourMasks {
    unsigned cheaper;  // bit k: neighbour k costs more than the step there
    unsigned fresh;    // bit k: neighbour k has no node
};

#if defined(__SSE2__)
// The first cost of a cell without a node, less one, in every lane.
using FreshAt = __m128i;
inline FreshAt MakeFreshAt(int32_t freshAt) { return _mm_set1_epi32(freshAt - 1); }
#else
using FreshAt = int32_t;
inline FreshAt MakeFreshAt(int32_t freshAt) { return freshAt; }
#endif

// The neighbours of cell p, reached at `g` (a stored cost: the base plus the
// cost), on ground where a straight step costs 2 and a diagonal one 3; a
// cell from `freshAt` on has no node. `cost` is readable a column and
// two cells beyond the grid on either side.
inline NeighbourMasks EvenNeighbours(const int32_t* cost, int p, int rows, int32_t g, FreshAt freshAt) {
#if defined(__SSE2__)
    // The neighbours in direction order, north to south-east in one vector
    // and south to north-west in the other: the east column read from a
    // cell above north-east, and the west column turned round, each with the
    // cell's own column's neighbour put in its first lane.
    const __m128i eastColumn = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cost + p + rows - 2));
    const __m128i westColumn = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cost + p - rows - 1));
    const __m128i westTurned = _mm_shuffle_epi32(westColumn, _MM_SHUFFLE(0, 1, 2, 3));
    const __m128i north = _mm_cvtsi32_si128(cost[p - 1]), south = _mm_cvtsi32_si128(cost[p + 1]);
    auto firstFrom = [](__m128i rest, __m128i first) {
        return _mm_castps_si128(_mm_move_ss(_mm_castsi128_ps(rest), _mm_castsi128_ps(first)));
    };
    const __m128i toSouthEast = firstFrom(eastColumn, north), toNorthWest = firstFrom(westTurned, south);
    // Straight and diagonal steps alternate in both.
    const __m128i steps = _mm_add_epi32(_mm_set1_epi32(g), _mm_setr_epi32(2, 3, 2, 3));
    const __m128i cheaper =
        _mm_packs_epi32(_mm_cmpgt_epi32(toSouthEast, steps), _mm_cmpgt_epi32(toNorthWest, steps));
    const __m128i fresh =
        _mm_packs_epi32(_mm_cmpgt_epi32(toSouthEast, freshAt), _mm_cmpgt_epi32(toNorthWest, freshAt));
    const unsigned bits = unsigned(_mm_movemask_epi8(_mm_packs_epi16(cheaper, fresh)));
    return {bits & 0xFF, bits >> 8};
#else
    const int step[8] = {-1, rows - 1, rows, rows + 1, 1, 1 - rows, -rows, -rows - 1};
    NeighbourMasks masks{0, 0};
    for (int k = 0; k < 8; ++k) {
        masks.cheaper |= unsigned(g + 2 + (k & 1) < cost[p + step[k]]) << k;
        masks.fresh |= unsigned(cost[p + step[k]] >= freshAt) << k;
    }
    return masks;
#endif
}

}  // namespace

// The search keeps its whole state in locals while it runs (the compiler can
// then hold it in registers: nothing it writes can change what it reads of
// the tables' places), and stores it back when it ends.
#define PATH_INLINE __attribute__((always_inline))

int CPathSearch::AStar(int c1, int r1, int c2, int r2, int limit, int& count) {
    // On even ground within the table's reach the search is the quicker one.
    return m_useTable && m_rough == 2 ? AStarWith<true>(c1, r1, c2, r2, limit, count)
                                      : AStarWith<false>(c1, r1, c2, r2, limit, count);
}

template <bool kFast>
int CPathSearch::AStarWith(int c1, int r1, int c2, int r2, int limit, int& count) {
    const int columns = m_grid->GetColumns(), rows = m_grid->GetRows();
    c1 = std::clamp(c1, 0, columns - 1), r1 = std::clamp(r1, 0, rows - 1);
    c2 = std::clamp(c2, 0, columns - 1), r2 = std::clamp(r2, 0, rows - 1);
    const int goal = c2 * rows + r2;

    // The base plus the cost from the start; a cell at freshAt or above has
    // no node.
    int32_t* const costOf = m_g.data() + m_pad;
    const int32_t base = int32_t(m_base), freshAt = int32_t(m_base + m_span);
    const FreshAt freshLanes = MakeFreshAt(freshAt);
    Node* const node = m_node.data();
    const uint64_t perRow = m_perRow;
    const BYTE* const codes = m_codes;
    const BYTE* const movesOf = m_moves;
    int32_t step[8], placeStep[8];
    for (int k = 0; k < 8; ++k) step[k] = m_step[k], placeStep[k] = m_placeStep[k];
    // The estimate of a place (column x stride + row), on the table.
    const int32_t stride = m_placeStride, strideMore = m_placeStride - rows;
    const size_t atGoal = size_t(m_tableColumns - 1) * size_t(stride) + size_t(m_tableRows - 1) -
                          size_t(c2 * stride + r2);
    const uint16_t* const estimate = kFast ? m_estimate.data() + atGoal : nullptr;
    const BYTE* const aheadOf = kFast ? m_ahead.data() + atGoal : nullptr;
    const int32_t rough = m_rough, extra = m_rough - 2;
    int32_t* head = m_head.data();
    int32_t* tail = m_tail.data();
    int32_t buckets = int32_t(m_head.size());
    int32_t lowest = m_lowest, highest = m_highest;
    // The first node of bucket `lowest`, kept beside the table: on even
    // ground the next node taken is then known from the steps that keep f
    // as it is, without waiting on the estimates of the nodes made.
    int32_t lowHead = lowest <= highest ? head[lowest] : kNone;

    // Makes room for buckets up to `key`, and counts them as filled.
    auto reach = [&](int32_t key) PATH_INLINE {
        if (key >= buckets) {
            GrowBuckets(key);
            head = m_head.data(), tail = m_tail.data();
            buckets = int32_t(m_head.size());
        }
        if (key > highest) highest = key;
    };
    // The open list. Nodes only ever leave a bucket from its front. On even
    // ground each expansion makes room for the nodes it makes first: those
    // cost at least what the head costs, and at most 6 more.
    auto pushFront = [&](int32_t n, int32_t key) PATH_INLINE {
        if constexpr (!kFast) reach(key);
        Node& x = node[n];
        x.key = key;
        const int32_t first = head[key];
        x.next = first;
        if (first < 0) {
            tail[key] = n;
            if (!kFast && key < lowest) lowest = key;
        }
        head[key] = n;
        // On even ground the caller keeps lowHead: a node made by expanding
        // the head costs at least as much as the head.
        if (!kFast && key == lowest) lowHead = n;
    };
    auto pushBack = [&](int32_t n, int32_t key) PATH_INLINE {
        // Only to a key below the node's own, whose bucket exists.
        Node& x = node[n];
        x.key = key;
        x.next = kNone;
        const int32_t last = tail[key];
        tail[key] = n;
        if (head[key] >= 0) {  // the tail of an empty bucket is stale
            node[last].next = n;
            return;
        }
        head[key] = n;
        if (key < lowest) lowest = key;
    };
    auto popFront = [&](int32_t key) PATH_INLINE { head[key] = node[head[key]].next; };
    // The first bucket from `key` that holds a node, kNone when none does.
    // Keys of the open nodes lie close together: the buckets are looked at
    // one by one.
    auto lowestFilledFrom = [&](int32_t key) PATH_INLINE {
        for (; key <= highest; ++key)
            if (head[key] >= 0) return key;
        return kNone;
    };
    // The last bucket below `key` that holds a node, kNone when none does.
    auto highestFilledBelow = [&](int32_t key) PATH_INLINE {
        // No bucket below `lowest` holds a node.
        while (--key >= lowest)
            if (head[key] >= 0) return key;
        return kNone;
    };
    // Takes the first node x out of its bucket, refiling it when it stays
    // open, and refiles the nodes behind it up to the next of the bucket's
    // f; `before` is the key of the chain before x (or kNone).
    auto refile = [&](int32_t x, int32_t before, bool stays) PATH_INLINE {
        const int32_t f = node[x].key;  // the f of the bucket's first node
        popFront(f);
        int32_t key = before;
        if (stays) {
            key = std::max(key, node[x].f);
            pushBack(x, key);
        }
        // The nodes behind x took their key from it, up to the next node of
        // its f: each now takes the highest f before it.
        for (int32_t y; (y = head[f]) >= 0 && node[y].f != f;) {
            popFront(f);
            key = std::max(key, node[y].f);
            pushBack(y, key);
        }
    };
    // Takes the head of the open list, at `lowest` with a node.
    // `kept` tells whether `lowest` is still the head's f.
    auto popOpen = [&](bool& kept) PATH_INLINE {
        const int32_t n = lowHead;
        const int32_t next = node[n].next;
        // Commonly nothing behind the head moves: the bucket empties, or the
        // next node is of the bucket's own f (the head's f is the key, so
        // one test tells both).
        kept = node[next < 0 ? n : next].f == lowest;
        if (kept) [[likely]] {
            head[lowest] = next;
            lowHead = next;
        } else {
            refile(n, kNone, false);  // the nodes behind it go to lower buckets
            lowHead = head[lowest];
        }
        return n;
    };
    // Gives `cell` a node of cost `g` (stored) and `f`.
    auto newNode = [&](int32_t cell, int32_t f, int32_t g, int32_t parent) PATH_INLINE {
        costOf[cell] = g;
        Node& x = node[cell];
        x.f = f;
        x.parent = parent;
        pushFront(cell, f);
    };
    // Node n is reached from p at cost g, below what it cost: an open node
    // keeps its place in the chain (when it is the first of its bucket the
    // keys behind it may fall).
    auto setCost = [&](int32_t n, int32_t p, int32_t g) PATH_INLINE {
        Node& x = node[n];
        x.f += g - costOf[n];
        costOf[n] = g;
        x.parent = p;
        if (x.key != kClosed && head[x.key] == n) refile(n, highestFilledBelow(x.key), true);
    };
    // A closed node got cheaper: the saving passes on to every node that was
    // reached through it, and on through those that were expanded.
    auto passOn = [&](int32_t n) PATH_INLINE {
        m_stack.clear();
        m_stack.push_back(n);
        while (!m_stack.empty()) {
            const int32_t from = m_stack.back();
            m_stack.pop_back();
            if (node[from].key != kClosed) continue;
            for (unsigned moves = movesOf[from]; moves; moves &= moves - 1) {
                const int k = __builtin_ctz(moves);
                const int32_t child = from + step[k];
                if (costOf[child] >= freshAt) continue;
                const int32_t cg = costOf[from] + (kFast || codes[child] == 2 ? 2 : rough) + (k & 1);
                if (cg < costOf[child]) {
                    setCost(child, from, cg);
                    m_stack.push_back(child);
                }
            }
        }
    };

    const int32_t startF = PathEstimate(c1, r1, c2, r2);
    reach(startF);
    lowest = std::min(lowest, startF);
    newNode(c1 * rows + r1, startF, base, -1);
    lowHead = head[lowest];
    int taken = 0;
    int result = -1;
    for (;;) {
        // Laid out for the common case (about five nodes in six): the head's
        // bucket still holds a node, and nothing behind the head moves.
        if (lowHead < 0) [[unlikely]] {
            const int32_t filledAt = lowestFilledFrom(lowest);
            if (filledAt < 0) break;  // the open list is empty
            lowest = filledAt;
            lowHead = head[lowest];
        }
        bool kept;
        const int32_t p = popOpen(kept);
        node[p].key = kClosed;
        ++taken;
        if (p == goal) {
            result = p;
            break;
        }
        if (taken > limit) break;
        if constexpr (kFast) reach(node[p].f + 6);
        const int32_t g = costOf[p], gf = g - base;  // stored, and as f counts it
        const int c = int((uint64_t(uint32_t(p)) * perRow) >> 40);
        // The estimate of neighbour k.
        int32_t r = 0;
        const uint16_t* estimated = nullptr;
        if constexpr (kFast) estimated = estimate + (p + c * strideMore);
        else r = p - c * rows;
        auto estimateOf = [&](int k) PATH_INLINE {
            if constexpr (kFast) return int32_t(estimated[placeStep[k]]);
            else return int32_t(PathEstimate(c + CPathGrid::kStepColumn[k], r + CPathGrid::kStepRow[k], c2, r2));
        };
        unsigned moves = movesOf[p], fresh = 0;
        if (kFast || extra == 0) {
            // Every step costs 2 straight and 3 diagonal: the neighbours it
            // makes cheaper, and those without a node, are found without a
            // branch a neighbour.
            const NeighbourMasks masks = EvenNeighbours(costOf, p, rows, g, freshLanes);
            moves &= masks.cheaper;
            fresh = moves & masks.fresh;
        }
        if (moves != fresh) [[unlikely]] {
            for (; moves; moves &= moves - 1) {
                const int k = __builtin_ctz(moves);
                const int32_t cell = p + step[k];
                // A cell without a node keeps it so until it is given one: only
                // cells with nodes get cheaper on the way.
                if (fresh >> k & 1) {
                    newNode(cell, gf + 2 + (k & 1) + estimateOf(k), g + 2 + (k & 1), p);
                    continue;
                }
                const int32_t stepCost = 2 + (k & 1) + (kFast ? 0 : extra * (codes[cell] != 2));
                const int32_t ng = g + stepCost;
                const int32_t known = costOf[cell];
                if (ng >= known) continue;  // a node made cheaper before may have passed the saving on
                if (!kFast && known >= freshAt) {
                    newNode(cell, gf + stepCost + estimateOf(k), ng, p);
                } else {
                    setCost(cell, p, ng);
                    if (node[cell].key == kClosed) passOn(cell);
                }
            }
            lowHead = head[lowest];  // nodes may have moved
            continue;
        }
        if constexpr (kFast) {
            // The last new node whose f is the head's goes to the front of
            // bucket `lowest`, when that is still the head's f.
            const unsigned same = moves & aheadOf[p + c * strideMore];
            if (kept && same) lowHead = p + step[31 - __builtin_clz(same)];
        }
        // Commonly every neighbour it makes cheaper is without a node.
        for (; moves; moves &= moves - 1) {
            const int k = __builtin_ctz(moves);
            newNode(p + step[k], gf + 2 + (k & 1) + estimateOf(k), g + 2 + (k & 1), p);
        }
    }
    m_lowest = lowest, m_highest = highest;
    count = taken;
    m_totalNodes = int32_t(uint32_t(m_totalNodes) + uint32_t(count));  // a statistic: wraps, never traps
    m_lastCount = count;
    return result;
}

const std::vector<int>& CPathSearch::WayBack(int goal, bool turnsOnly, bool* turned) {
    std::vector<int>& way = m_way;
    way.clear();
    const Node& g = m_node[size_t(goal)];
    if (g.parent < 0) return way;
    // The facing of a step between neighbouring cells, by the step.
    static const auto kFacing = [] {
        std::array<std::array<int, 3>, 3> facing{};
        for (int dc = -1; dc <= 1; ++dc)
            for (int dr = -1; dr <= 1; ++dr) facing[size_t(dc + 1)][size_t(dr + 1)] = GetDirection(0, 0, dc, dr);
        return facing;
    }();
    auto facing = [&](int from, int to) {
        const CPoint a = PlaceOf(from), b = PlaceOf(to);
        return kFacing[size_t(b.x - a.x + 1)][size_t(b.y - a.y + 1)];
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
                               bool& straight, bool backIsLong, PairSearches* found) {
    straight = false;
    PairSearches none;
    PairSearches& learnt = found ? *found : none;
    learnt = PairSearches();
    if (!grid.IsPassableCell(c1, r1) || !grid.IsPassableCell(c2, r2)) return FALSE;
    if (!grid.IsLineBlocked(c1, r1, c2, r2, FALSE)) return FALSE;
    Reset(grid);
    int count = 0;
    int goal = AStar(c1, r1, c2, r2, 100000, count);
    if (goal < 0) return FALSE;
    learnt.searched = true;
    learnt.shortThere = count < 500;
    if (count < 500 && !backIsLong) {
        // The way back is searched on tables of its own, so that the way
        // there is only walked when the pair is stored.
        if (!m_back) m_back = std::make_unique<CPathSearch>();
        m_back->Reset(grid);
        int back = 0;
        // Only whether the way back takes fewer than 500 nodes matters: the
        // search stops at the 500th, which it takes in the same order.
        m_back->AStar(c2, r2, c1, r1, 499, back);
        m_totalNodes = int32_t(uint32_t(m_totalNodes) + uint32_t(back));
        m_lastCount = back;
        learnt.shortBack = back < 500;
        if (back < 500) return FALSE;
    }
    std::vector<CPoint>& cells = m_record;  // goal first
    cells.clear();
    bool turned = false;
    cells.push_back(PlaceOf(goal));
    for (int n : WayBack(goal, true, &turned)) cells.push_back(PlaceOf(n));
    if (m_node[size_t(goal)].parent >= 0) cells.push_back(CPoint(c1, r1));
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
