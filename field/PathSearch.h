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
// numbers. Nodes are found by cell, and the place of a new node in the chain
// is found through buckets by cost, so a step of the search does not grow
// with the size of the search.
//
// One object serves the whole battle (the battle grid owns it); it is not
// re-entrant.
#pragma once

#include <cstdint>
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
    // The same without the warning: `straight` tells the caller that the
    // stored way has no turn, for it to show the warning in its own order.
    BOOL SearchRecord(int c1, int r1, int c2, int r2, const CPathGrid& grid, std::vector<BYTE>& out, bool& straight);

    int GetMaxMillis() const { return m_maxMillis; }
    int GetCalls() const { return m_calls; }
    int GetTotalMillis() const { return m_totalMillis; }
    int GetTotalNodes() const { return m_totalNodes; }
    // Nodes taken from the open list by the last search.
    int GetLastNodeCount() const { return m_lastCount; }

private:
    struct Node {
        int32_t f, h, g;
        int32_t c, r;
        int32_t parent;
        int32_t next, prev;     // links among the open nodes of its f, in chain order
        int32_t after, before;  // links in the open chain
        BYTE list;              // 1 open, 2 closed
        BYTE moved;             // made cheaper while open: out of its bucket, still in its place
    };

    // Returns the goal node or -1; `count` gets the nodes taken.
    int AStar(int c1, int r1, int c2, int r2, int limit, int& count);
    BOOL SearchGrid(int x1, int y1, int x2, int y2, BOOL simplify, CPointList& out, int maxNodes);
    BOOL SearchWithDatabase(int x1, int y1, int x2, int y2, BOOL simplify, CPointList& out, int maxNodes, int* flags);
    // The nodes between goal and start, goal side first; with `turnsOnly`
    // only those where the way turns.
    std::vector<int> WayBack(int goal, bool turnsOnly, bool* turned) const;
    void Reset(const CPathGrid& grid);
    int NodeAt(int c, int r) const;
    int NewNode(int c, int r, int g, int h, int parent);
    int NewNodeAt(size_t cell, int c, int r, int g, int h, int parent);
    void InsertOpen(int n);
    void LeaveBucket(int n);
    // The highest filled bucket in lowest..end-1, or kNoBucket.
    static constexpr size_t kNoBucket = size_t(-1);
    size_t HighestBucketBelow(size_t end, size_t lowest) const;
    int PopOpen();
    // Offers each neighbour of node p in the search's order: a new one is
    // opened, a known one reached more cheaply is made cheaper.
    void Expand(int p, int goalC, int goalR);
    // Node n is reached from p at cost g, below what it cost: an open node
    // keeps its place in the chain but leaves the sorted run of its old f;
    // a closed one passes the saving on to the nodes reached through it.
    void MadeCheaper(int n, int p, int g);
    // Calls fn(column, row) for each neighbour a node at (c, r) reaches, in
    // the search's order: the children of a node are exactly these.
    template <typename F>
    void ForEachNeighbour(int c, int r, F&& fn) const;

    int32_t m_maxMillis = 0;
    int32_t m_calls = 0;
    int32_t m_totalMillis = 0;
    int32_t m_totalNodes = 0;
    int32_t m_lastCount = 0;

    const CPathGrid* m_grid = nullptr;
    std::vector<Node> m_nodes;
    // The open list: one chain in the order of its f (a node made cheaper
    // in place keeps its place), taken from the head. Beside it, the open
    // nodes never made cheaper, by f: first and last in chain order.
    int32_t m_openHead = -1;
    int32_t m_openTail = -1;
    std::vector<int32_t> m_buckets;
    std::vector<int32_t> m_bucketTails;
    std::vector<uint64_t> m_filled;  // one bit a bucket: holds a node
    size_t m_lowest = 0;
    size_t m_highest = 0;
    std::vector<int32_t> m_stack;
    // Which node stands on a cell in the current search: cells whose stamp
    // is not the current one hold none.
    struct CellSlot {
        uint32_t stamp;
        int32_t node;
        int32_t g;  // the node's cost, beside it: most neighbours offered are turned down on it alone
    };
    std::vector<CellSlot> m_cells;
    uint32_t m_stamp = 0;
};

// The estimate between two cells: 3 per diagonal step, 2 per straight one.
int PathEstimate(int c1, int r1, int c2, int r2);
