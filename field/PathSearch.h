// CPathSearch: best-first search (A*) over a CPathGrid with eight neighbours
// and a node limit. A diagonal step is only taken when one of the two
// orthogonal cells beside it is passable, so no path cuts the corner
// between two blocked cells. The result keeps the cells where the way turns.
//
// The search is deterministic: nodes are expanded in a fixed neighbour order
// (north, then clockwise), the open list is one chain in order of cost where
// a new node goes in front of the first that costs as much or more (so among
// equal costs the newest comes first) and a node reached again more cheaply
// keeps its place, and nothing depends on addresses. It draws no random
// numbers.
//
// The chain is kept as buckets. A node's key is the highest f from the head
// of the chain up to it; keys never fall along the chain, so the chain is the
// buckets in order of key, and the first node of a bucket is one whose f is
// the key. A new node of cost f goes in front of the first node whose key
// reaches f: to the front of bucket f, found without a walk. Taking the head,
// or making the first node of a bucket cheaper, lowers the keys of the nodes
// behind it up to the next one of the bucket's f, and only those move, to the
// back of lower buckets. Nodes live in a table by cell, so a neighbour is
// found and turned down on one look-up.
//
// Searches repeat: the units of a battalion ask the same way again and
// again. A grid search's answer (its cells and the nodes it took) is kept
// by the grid's revision, the two cells and the limit, and given back while
// the grid is unchanged; it is the answer the search would find again.
//
// One object serves the whole battle (the battle grid owns it); it is not
// re-entrant.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "field/PathGrid.h"
#include "platform/afx/Afx.h"

class CPointList;

class CPathSearch {
public:
    CPathSearch();
    ~CPathSearch();
    CPathSearch(const CPathSearch&) = delete;
    CPathSearch& operator=(const CPathSearch&) = delete;

    // World points. Appends the waypoints from the first step after the
    // start to the goal point to `out`; FALSE when an end is not passable or
    // no way is found within `maxNodes`. With a path database the pair is
    // looked up there first. Out flags (may be null): 1 the database did not
    // hold the pair, 2 an end had to be moved into the database's grid, 4 the
    // pair is stored the other way round.
    BOOL FindPath(int x1, int y1, int x2, int y2, BOOL simplify, CPointList& out, CPathGrid& grid, int maxNodes,
                  int* flags);

    // The path database builder's search between two cells: appends one
    // record (count byte, then column and row bytes from start to goal) to
    // `out` and returns TRUE when the pair needs storing.
    BOOL Search(int c1, int r1, int c2, int r2, const CPathGrid& grid, std::vector<BYTE>& out);
    // What the builder's searches of a pair found besides its record: both
    // ends passable, the line blocked and a way found (`searched`), the way
    // there took fewer than 500 nodes, the way back (when it was searched)
    // too.
    struct PairSearches {
        bool searched = false;
        bool shortThere = false;
        bool shortBack = false;
    };
    // The same without the warning: `straight` tells the caller that the
    // stored way has no turn, for it to show the warning in its own order.
    // With `backIsLong` the caller knows that the way back takes 500 nodes
    // or more, and it is not searched. `found` (may be null) gets what the
    // searches found.
    BOOL SearchRecord(int c1, int r1, int c2, int r2, const CPathGrid& grid, std::vector<BYTE>& out, bool& straight,
                      bool backIsLong = false, PairSearches* found = nullptr);

    int GetMaxMillis() const { return m_maxMillis; }
    int GetCalls() const { return m_calls; }
    int GetTotalMillis() const { return m_totalMillis; }
    int GetTotalNodes() const { return m_totalNodes; }
    // Nodes taken from the open list by the last search.
    int GetLastNodeCount() const { return m_lastCount; }

private:
    // A cell's node in the current search; only cells whose m_g is below
    // the generation's base plus the span hold one.
    struct Node {
        int32_t f;
        int32_t next;    // the next node of its bucket, in chain order
        int32_t key;     // the bucket of an open node; kClosed once taken
        int32_t parent;  // the parent's cell, -1 for the start
    };
    static constexpr int32_t kClosed = -2;
    static constexpr int32_t kNoNode = INT32_MAX;
    static constexpr int32_t kNone = -1;

    // Returns the goal's cell or -1; `count` gets the nodes taken.
    int AStar(int c1, int r1, int c2, int r2, int limit, int& count);
    // The same; `kFast` when every step costs 2 straight and 3 diagonal and
    // the estimate is read from m_estimate.
    template <bool kFast>
    int AStarWith(int c1, int r1, int c2, int r2, int limit, int& count);
    BOOL SearchGrid(int x1, int y1, int x2, int y2, BOOL simplify, CPointList& out, int maxNodes);
    BOOL SearchWithDatabase(int x1, int y1, int x2, int y2, BOOL simplify, CPointList& out, int maxNodes, int* flags);
    // The cells between goal and start, goal side first; with `turnsOnly`
    // only those where the way turns.
    const std::vector<int>& WayBack(int goal, bool turnsOnly, bool* turned);
    // Forgets the last search (whatever grid it ran on) and readies one on
    // `grid`.
    void Reset(const CPathGrid& grid);
    // The column and row of a cell number, by a multiply in place of a
    // division by the rows.
    int ColumnOf(int cell) const { return int((uint64_t(uint32_t(cell)) * m_perRow) >> 40); }
    CPoint PlaceOf(int cell) const {
        const int c = ColumnOf(cell);
        return CPoint(c, cell - c * m_rows);
    }
    void GrowBuckets(int32_t key);

    int32_t m_maxMillis = 0;
    int32_t m_calls = 0;
    int32_t m_totalMillis = 0;
    int32_t m_totalNodes = 0;
    int32_t m_lastCount = 0;

    const CPathGrid* m_grid = nullptr;
    int32_t m_step[8] = {};  // the cell number's change of each direction
    // The estimate between two cells by the difference of their places,
    // column x m_placeStride + row: the entry of a difference (dc, dr) is at
    // (dc + m_tableColumns - 1) x m_placeStride + dr + m_tableRows - 1. It is
    // made for the largest grid searched so far, on grids up to
    // kTableSide a side (m_useTable).
    static constexpr int kTableSide = 256;
    std::vector<uint16_t> m_estimate;
    // By the same difference, bit k: a step in direction k lowers the
    // estimate by what the step costs, so f stays as it is.
    std::vector<BYTE> m_ahead;
    int32_t m_tableColumns = 0, m_tableRows = 0, m_placeStride = 0;
    int32_t m_placeStep[8] = {};  // a place's change of each direction
    bool m_useTable = false;
    int32_t m_rough = 2;     // the cost of entering a code-3 cell
    const BYTE* m_codes = nullptr;  // the grid's codes and steps, by cell
    const BYTE* m_moves = nullptr;
    // Both tables only grow: the battle alternates the fine and the coarse
    // grid, and Reset leaves the last search's cells to its generation.
    std::vector<int32_t> m_g;  // per cell after m_pad: the base plus the cost from the start
    int32_t m_pad = 0;
    int64_t m_span = 0;   // costs stay below it
    int64_t m_base = -1;  // this search's: a cell at the base plus the span or more has no node
    std::vector<Node> m_node;  // per cell
    int32_t m_rows = 1;
    uint64_t m_perRow = 0;  // 2^40 / rows, rounded up: exact for every cell number of a grid
    std::vector<int32_t> m_head, m_tail;  // per key: first and last node of its bucket
    int32_t m_lowest = INT32_MAX;  // no bucket below it holds a node
    int32_t m_highest = 0;  // no bucket above it was filled in this search
    std::vector<int32_t> m_stack;
    // A grid search's answer: the turning cells, goal side first.
    struct KnownWay {
        bool found = false;
        int32_t count = 0;
        std::vector<CPoint> cells;
    };
    struct WayKey {
        uint64_t revision;
        int32_t c1, r1, c2, r2, limit;
        bool simplify;
        bool operator==(const WayKey&) const = default;
    };
    struct WayKeyHash {
        size_t operator()(const WayKey& k) const;
    };
    const KnownWay& FindWay(CPoint a, CPoint b, int maxNodes, bool simplify);
    std::unordered_map<WayKey, KnownWay, WayKeyHash> m_known;

    std::vector<int> m_way;          // WayBack's answer, kept for its room
    std::vector<CPoint> m_record;    // SearchRecord's cells, the same
    std::unique_ptr<CPathSearch> m_back;  // SearchRecord's way back
};

// The estimate between two cells: 3 per diagonal step, 2 per straight one.
int PathEstimate(int c1, int r1, int c2, int r2);
