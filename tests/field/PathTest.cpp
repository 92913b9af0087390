// Path grid, path search and path database on small hand-made grids.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "field/PathGrid.h"
#include "field/PathSearch.h"
#include "field/RouteDatabase.h"
#include "core/Helpers.h"
#include "core/PointList.h"
#include "field/FileBytes.h"

namespace {

std::vector<CPoint> Drain(CPointList& list) {
    std::vector<CPoint> v;
    while (!list.IsEmpty()) v.push_back(list.PopHead());
    return v;
}

// A fine grid, all passable, with the given cells blocked.
std::unique_ptr<CPathGrid> OpenGrid(std::initializer_list<CPoint> blocked = {}) {
    auto g = std::make_unique<CPathGrid>(15, 15, "", 0);
    for (int c = 0; c < g->GetColumns(); ++c)
        for (int r = 0; r < g->GetRows(); ++r) g->SetCode(c, r, 2);
    for (CPoint p : blocked) g->SetCode(p.x, p.y, 5);
    return g;
}

std::string TempPath(const char* name) {
    std::filesystem::create_directories(VELMOR_BINARY_DIR "/test-tmp");
    return std::string(VELMOR_BINARY_DIR "/test-tmp/") + name;
}

void WriteFile(const std::string& path, const std::vector<BYTE>& bytes) {
    std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), std::streamsize(bytes.size()));
}

}  // namespace

TEST(PathGrid, SizesCoordinatesAndClamping) {
    CPathGrid fine(15, 15, "", 0), coarse(100, 100, "", 0);
    EXPECT_EQ(fine.GetColumns(), 200);
    EXPECT_EQ(fine.GetRows(), 133);
    EXPECT_EQ(coarse.GetColumns(), 30);
    EXPECT_EQ(coarse.GetRows(), 20);
    EXPECT_EQ(fine.CellToWorld(0, 0), CPoint(7, 7));
    EXPECT_EQ(coarse.CellToWorld(0, 0), CPoint(7, 7));
    fine.SetCode(0, 132, 2);
    EXPECT_TRUE(fine.IsPassableAt(-50, 5000));  // clamps to (0, rows - 1)
    fine.SetCode(3, 3, 3);
    EXPECT_TRUE(fine.IsPassableCellEx(3, 3, FALSE));
    EXPECT_FALSE(fine.IsPassableCellEx(3, 3, TRUE));
    EXPECT_EQ(fine.StepCost(3, 3, 2, 2), 3);  // code 3, penalty 0, diagonal
}

TEST(PathGrid, FillRectRaisesOnlyAndIgnoresTheCornerCell) {
    CPathGrid g(15, 15, "", 0);
    g.FillRect(30, 30, 59, 59, 3, FALSE);
    g.FillRect(0, 0, 14, 14, 5, FALSE);  // wholly inside cell (0, 0): nothing
    EXPECT_EQ(g.GetCode(0, 0), 0);
    g.SetCode(2, 2, 5);
    g.FillRect(30, 30, 59, 59, 2, TRUE);
    EXPECT_EQ(g.GetCode(2, 2), 5);  // never lowered
    EXPECT_EQ(g.GetCode(3, 3), 3);
}

TEST(PathGrid, LineTestAndFreeCellScan) {
    auto g = OpenGrid();
    EXPECT_FALSE(g->IsLineBlocked(2, 5, 40, 5, FALSE));
    g->SetCode(20, 5, 0);
    EXPECT_TRUE(g->IsLineBlocked(2, 5, 40, 5, FALSE));
    EXPECT_FALSE(g->IsLineBlocked(20, 5, 20, 5, FALSE));  // same cell
    // The scan goes down the column from the point, then wraps to the next.
    for (int r = 0; r < 10; ++r) g->SetCode(5, r, 0);
    EXPECT_EQ(g->FindPassableInRect(5, 0, 6, 9, 5, 3, FALSE), CPoint(6, 0));
    EXPECT_EQ(g->FindPassableInRect(5, 0, 5, 9, 5, 3, FALSE), CPoint(-1000, -1000));
}

TEST(PathGrid, TextDump) {
    CPathGrid g(100, 100, "", 0);
    g.SetCode(0, 0, 2), g.SetCode(1, 0, 3), g.SetCode(2, 0, 5), g.SetCode(3, 0, 4), g.SetCode(4, 0, 9);
    std::string path = TempPath("dump.txt");
    ASSERT_TRUE(g.SaveToFile(path.c_str()));
    std::ifstream in(path);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first.substr(0, 6), "0o*!?!");
    EXPECT_EQ(first.size(), 30u);
}

TEST(PathSearch, SameCellGivesTheGoalOnly) {
    auto g = OpenGrid();
    CPathSearch search;
    CPointList out;
    ASSERT_TRUE(search.FindPath(100, 100, 104, 103, TRUE, out, *g, 500, nullptr));
    EXPECT_EQ(Drain(out), std::vector<CPoint>{CPoint(104, 103)});
}

TEST(PathSearch, NeverCutsACornerBetweenTwoBlockedCells) {
    // (10,10) -> (11,11) diagonally is closed by (11,10) and (10,11).
    auto g = OpenGrid({CPoint(11, 10), CPoint(10, 11)});
    CPathSearch search;
    CPointList out;
    ASSERT_TRUE(search.FindPath(10 * 15 + 7, 10 * 15 + 7, 11 * 15 + 7, 11 * 15 + 7, FALSE, out, *g, 500, nullptr));
    auto path = Drain(out);
    EXPECT_GT(path.size(), 1u);  // had to walk round
    CPoint prev(10, 10);
    for (CPoint p : path) {
        CPoint cell = g->WorldToCell(p.x, p.y);
        if (cell.x != prev.x && cell.y != prev.y) {
            EXPECT_TRUE(g->IsPassableCell(prev.x, cell.y) || g->IsPassableCell(cell.x, prev.y));
        }
        prev = cell;
    }
}

TEST(PathSearch, WalledGoalFailsAndBlockedEndsAreRefused) {
    auto g = OpenGrid();
    for (int c = 49; c <= 51; ++c)
        for (int r = 49; r <= 51; ++r)
            if (c != 50 || r != 50) g->SetCode(c, r, 5);
    CPathSearch search;
    CPointList out;
    EXPECT_FALSE(search.FindPath(100, 100, 50 * 15 + 7, 50 * 15 + 7, TRUE, out, *g, 100000, nullptr));
    EXPECT_FALSE(search.FindPath(100, 100, 49 * 15 + 7, 49 * 15 + 7, TRUE, out, *g, 500, nullptr));  // blocked end
    EXPECT_FALSE(search.FindPath(100, 100, 2000, 1500, TRUE, out, *g, 0, nullptr));
    EXPECT_TRUE(out.IsEmpty());
}

TEST(PathSearch, SimplifiedPathKeepsTheTurnsAndIsRepeatable) {
    // A wall with a gap at its south end forces one detour.
    auto g = OpenGrid();
    for (int r = 0; r < 120; ++r) g->SetCode(100, r, 5);
    CPathSearch search;
    CPointList a, b;
    ASSERT_TRUE(search.FindPath(1000, 300, 2000, 300, TRUE, a, *g, 100000, nullptr));
    ASSERT_TRUE(search.FindPath(1000, 300, 2000, 300, TRUE, b, *g, 100000, nullptr));
    auto pa = Drain(a), pb = Drain(b);
    EXPECT_EQ(pa, pb);
    EXPECT_EQ(pa.back(), CPoint(2000, 300));
    EXPECT_LT(pa.size(), 8u);  // turns only
    bool passedGap = false;
    for (CPoint p : pa) passedGap = passedGap || g->WorldToCell(p.x, p.y).y >= 120;
    EXPECT_TRUE(passedGap);
}

TEST(PathSearch, BuilderStoresOnlyLongBlockedPairs) {
    auto g = OpenGrid();
    CPathSearch search;
    std::vector<BYTE> out;
    EXPECT_FALSE(search.Search(10, 10, 30, 10, *g, out));  // clear line
    g->SetCode(20, 10, 5);
    EXPECT_FALSE(search.Search(10, 10, 30, 10, *g, out));  // blocked but short both ways
    EXPECT_TRUE(out.empty());
    // A long wall with one gap far away makes the search long.
    for (int r = 0; r < 133; ++r) g->SetCode(20, r, r == 130 ? 2 : 5);
    ASSERT_TRUE(search.Search(10, 10, 30, 10, *g, out));
    ASSERT_GE(out.size(), 5u);
    EXPECT_EQ(out.size(), 1u + 2u * out[0]);
    EXPECT_EQ(CPoint(out[1], out[2]), CPoint(10, 10));
    EXPECT_EQ(CPoint(out[out.size() - 2], out.back()), CPoint(30, 10));
}

TEST(RouteDatabase, ReversedLookupAndSearchThroughTheDatabase) {
    // One stored path from cell (98, 10) to (102, 10) round the south end of
    // a wall at column 100: turning cells (98, 88), (101, 88), (102, 87).
    std::string path = TempPath("wall.pth");
    WriteFile(path, {2, 0, 0, 0, 1, 0, 0, 0, 5, 98, 10, 98, 88, 101, 88, 102, 87, 102, 10});
    CRouteDatabase db(path.c_str(), 200, 133);
    ASSERT_EQ(db.GetRecordCount(), 1);

    CPointList forward, backward;
    int flags = 0;
    ASSERT_TRUE(db.Lookup(98, 10, 102, 10, forward, &flags));
    EXPECT_EQ(flags, 0);
    EXPECT_EQ(Drain(forward), (std::vector<CPoint>{{98, 88}, {101, 88}, {102, 87}, {102, 10}}));
    ASSERT_TRUE(db.Lookup(102, 10, 98, 10, backward, &flags));
    EXPECT_EQ(flags, 4);
    EXPECT_EQ(Drain(backward), (std::vector<CPoint>{{102, 87}, {101, 88}, {98, 88}, {98, 10}}));
    EXPECT_FALSE(db.Lookup(98, 10, 102, 11, forward, &flags));

    // The search takes the stored way, reports the reversal and ends at the
    // goal point itself.
    auto g = OpenGrid();
    CPathGrid withDb(15, 15, path.c_str(), 0);
    for (int c = 0; c < 200; ++c)
        for (int r = 0; r < 133; ++r) withDb.SetCode(c, r, g->GetCode(c, r));
    CPathSearch search;
    CPointList way;
    flags = 0;
    ASSERT_TRUE(search.FindPath(102 * 15 + 3, 10 * 15 + 3, 98 * 15 + 9, 10 * 15 + 9, TRUE, way, withDb, 500, &flags));
    EXPECT_EQ(flags, 4);
    EXPECT_EQ(Drain(way), (std::vector<CPoint>{{1537, 1312}, {1522, 1327}, {1477, 1327}, {98 * 15 + 9, 10 * 15 + 9}}));
    // A pair it does not hold is searched on the grid and flagged.
    flags = 0;
    ASSERT_TRUE(search.FindPath(100, 100, 300, 100, TRUE, way, withDb, 5000, &flags));
    EXPECT_EQ(flags, 1);
    EXPECT_EQ(Drain(way), std::vector<CPoint>{CPoint(300, 100)});
}

TEST(RouteDatabase, RecordWrittenFromTheHigherCellReadsRightBothWays) {
    // The builder writes a pair of one column from the lower cell up as
    // well: (50, 40) to (50, 10) round turning cells (53, 35), (53, 15).
    CRouteDatabase db("", 200, 133);
    ASSERT_TRUE(db.LoadBytes({2, 0, 0, 0, 1, 0, 0, 0, 4, 50, 40, 53, 35, 53, 15, 50, 10}, "column.pth"));
    CPointList up, down;
    int flags = 0;
    ASSERT_TRUE(db.Lookup(50, 10, 50, 40, up, &flags));
    EXPECT_EQ(flags, 0);
    EXPECT_EQ(Drain(up), (std::vector<CPoint>{{53, 15}, {53, 35}, {50, 40}}));
    ASSERT_TRUE(db.Lookup(50, 40, 50, 10, down, &flags));
    EXPECT_EQ(flags, 4);
    EXPECT_EQ(Drain(down), (std::vector<CPoint>{{53, 35}, {53, 15}, {50, 10}}));
}

TEST(RouteDatabase, TwoCellRecordAndOldFileConversion) {
    std::string old = TempPath("old.pth");
    // Version 1: no count; one record of two cells, one of three.
    WriteFile(old, {1, 0, 0, 0, 2, 5, 6, 7, 8, 3, 1, 1, 2, 2, 3, 3});
    CRouteDatabase db(old.c_str(), 200, 133);
    EXPECT_EQ(db.GetRecordCount(), 2);
    std::string converted = TempPath("old_new.pth");
    std::ifstream in(converted, std::ios::binary);
    std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(bytes.size(), 8u + 5u + 7u);
    EXPECT_EQ(bytes[0], 2);
    EXPECT_EQ(bytes[4], 2);
    CPointList out;
    ASSERT_TRUE(db.Lookup(5, 6, 7, 8, out, nullptr));
    EXPECT_EQ(Drain(out), std::vector<CPoint>{CPoint(7, 8)});
}

TEST(RouteDatabase, DamagedFilesAreRefusedWhole) {
    struct Case {
        const char* fault;
        std::vector<BYTE> bytes;
    } cases[] = {
        {"unknown version", {3, 0, 0, 0, 0, 0, 0, 0}},
        {"record of one cell", {2, 0, 0, 0, 1, 0, 0, 0, 1, 5, 5}},
        {"more records than counted", {2, 0, 0, 0, 1, 0, 0, 0, 2, 1, 1, 2, 2, 2, 1, 1, 2, 2}},
        {"fewer records than counted", {2, 0, 0, 0, 3, 0, 0, 0, 2, 1, 1, 2, 2, 2, 1, 1, 2, 2}},
        {"record cut short", {2, 0, 0, 0, 1, 0, 0, 0, 3, 1, 1, 2}},
        {"cell outside the grid", {2, 0, 0, 0, 1, 0, 0, 0, 2, 250, 1, 2, 2}},
        {"huge count", {2, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 2, 1, 1, 2, 2}},
    };
    for (const Case& c : cases) {
        AfxClearShownMessages();
        CRouteDatabase db("", 200, 133);
        AfxClearShownMessages();
        EXPECT_FALSE(db.LoadBytes(c.bytes, "test.pth")) << c.fault;
        EXPECT_EQ(db.GetRecordCount(), 0) << c.fault;
        auto shown = AfxGetShownMessages();
        ASSERT_EQ(shown.size(), 1u) << c.fault;
        EXPECT_EQ(shown[0].rfind("ERROR: ", 0), 0u) << c.fault;
    }
    CPathSearch search;
    CPathGrid g(40, 15, "", 0);
    AfxClearShownMessages();
    std::string path = TempPath("never.pth");
    std::filesystem::remove(path);
    EXPECT_FALSE(CRouteDatabase::Build(path.c_str(), g, search));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(AfxGetShownMessages().size(), 1u);
}

namespace {

// The search written out plainly, as a reference: the open list one chain
// kept in order of f (a new node in front of the first whose f is not below
// its own; a node made cheaper keeps its place), searched from its head.
// Returns the cells from the goal back to the start, and the nodes taken
// from the open list.
struct PlainSearch {
    struct Node {
        int f, h, g, c, r, parent;
        bool closed;
        std::vector<int> children;
    };
    std::vector<Node> nodes;
    std::vector<int> open;
    std::vector<int> at;  // the node of each cell, -1 for none

    static int Estimate(int c1, int r1, int c2, int r2) {
        int dc = std::abs(c1 - c2), dr = std::abs(r1 - r2);
        return 3 * std::min(dc, dr) + 2 * (std::max(dc, dr) - std::min(dc, dr));
    }
    void Improve(int n, int parent, int g) {
        nodes[size_t(n)].parent = parent, nodes[size_t(n)].g = g, nodes[size_t(n)].f = nodes[size_t(n)].h + g;
    }
    void Insert(int n) {
        auto at = open.begin();
        while (at != open.end() && nodes[size_t(*at)].f < nodes[size_t(n)].f) ++at;
        open.insert(at, n);
    }
    std::vector<CPoint> Run(const CPathGrid& grid, int c1, int r1, int c2, int r2, int limit, int& count) {
        const int rows = grid.GetRows();
        at.assign(size_t(grid.GetColumns() * rows), -1);
        nodes.push_back({Estimate(c1, r1, c2, r2), Estimate(c1, r1, c2, r2), 0, c1, r1, -1, false, {}});
        at[size_t(c1 * rows + r1)] = 0;
        open = {0};
        count = 0;
        static const int kDc[8] = {0, 1, 1, 1, 0, -1, -1, -1}, kDr[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
        while (!open.empty()) {
            int p = open.front();
            open.erase(open.begin());
            nodes[size_t(p)].closed = true;
            ++count;
            if (nodes[size_t(p)].c == c2 && nodes[size_t(p)].r == r2) {
                std::vector<CPoint> way;
                for (int n = p; n >= 0; n = nodes[size_t(n)].parent)
                    way.push_back({nodes[size_t(n)].c, nodes[size_t(n)].r});
                return way;
            }
            if (count > limit) break;
            int c = nodes[size_t(p)].c, r = nodes[size_t(p)].r;
            auto inside = [&](int cc, int rr) {
                return cc >= 0 && rr >= 0 && cc < grid.GetColumns() && rr < grid.GetRows();
            };
            for (int k = 0; k < 8; ++k) {
                int nc = c + kDc[k], nr = r + kDr[k];
                if (!inside(nc, nr) || !grid.IsPassableCell(nc, nr)) continue;
                if ((k & 1) && !grid.IsPassableCell(c, nr) && !grid.IsPassableCell(nc, r)) continue;
                int g = nodes[size_t(p)].g + grid.StepCost(nc, nr, c, r);
                int n = at[size_t(nc * rows + nr)];
                if (n >= 0 && !nodes[size_t(n)].closed) {
                    if (g < nodes[size_t(n)].g) Improve(n, p, g);
                } else if (n >= 0) {
                    if (g < nodes[size_t(n)].g) {
                        Improve(n, p, g);
                        std::vector<int> stack = {n};
                        while (!stack.empty()) {
                            int from = stack.back();
                            stack.pop_back();
                            for (int ch : nodes[size_t(from)].children) {
                                Node& child = nodes[size_t(ch)];
                                const Node& parent = nodes[size_t(from)];
                                int cg = parent.g + grid.StepCost(child.c, child.r, parent.c, parent.r);
                                if (cg < child.g) {
                                    Improve(ch, from, cg);
                                    stack.push_back(ch);
                                }
                            }
                        }
                    }
                } else {
                    int h = Estimate(nc, nr, c2, r2);
                    nodes.push_back({g + h, h, g, nc, nr, p, false, {}});
                    n = int(nodes.size()) - 1;
                    at[size_t(nc * rows + nr)] = n;
                    Insert(n);
                }
                nodes[size_t(p)].children.push_back(n);
            }
        }
        return {};
    }
};

}  // namespace

TEST(PathSearch, TakesNodesInTheOrderOfThePlainSearch) {
    // Rough ground (code 3 with a penalty) and scattered blocks make nodes
    // cheaper while they wait in the open list; the way found and the nodes
    // taken must be those of the plain search, tie for tie.
    // One search object serves every field, and between two searches it
    // also searches a larger open grid, as the battle alternates the fine
    // and the coarse grid: what a larger grid left behind must not count.
    uint32_t seed = 12345;
    auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    CPathGrid wide(15, 15, "", 0);
    for (int c = 0; c < wide.GetColumns(); ++c)
        for (int r = 0; r < wide.GetRows(); ++r) wide.SetCode(c, r, 2);
    CPathSearch search;
    for (int field = 0; field < 6; ++field) {
        CPathGrid g(50, 50, "", field % 3);
        for (int c = 0; c < g.GetColumns(); ++c)
            for (int r = 0; r < g.GetRows(); ++r) {
                unsigned roll = next() % 10;
                g.SetCode(c, r, roll < 2 ? 5 : (roll < 5 ? 3 : 2));
            }
        // Walls and rough patches laid over it as terrain features lay them.
        g.FillRect(600, 300, 649, 1400, 5, FALSE);
        g.FillRect(1200, 900, 1999, 1049, 3, TRUE);
        g.FillRect(2200, 0, 2299, 1999, 2, FALSE);
        for (int trial = 0; trial < 40; ++trial) {
            int c1 = int(next() % 60), r1 = int(next() % 40), c2 = int(next() % 60), r2 = int(next() % 40);
            if (!g.IsPassableCell(c1, r1) || !g.IsPassableCell(c2, r2)) continue;
            CPointList across;
            ASSERT_TRUE(search.FindPath(7, 7 + 15 * trial, 7 + 15 * 17, 7 + 15 * (trial + 90), FALSE, across, wide,
                                        5000, nullptr));
            PlainSearch plain;
            int count = 0;
            std::vector<CPoint> expected = plain.Run(g, c1, r1, c2, r2, 5000, count);
            CPointList out;
            BOOL found =
                search.FindPath(c1 * 50 + 7, r1 * 50 + 7, c2 * 50 + 7, r2 * 50 + 7, FALSE, out, g, 5000, nullptr);
            ASSERT_EQ(found != 0, !expected.empty()) << field << " " << trial;
            EXPECT_EQ(search.GetLastNodeCount(), count) << field << " " << trial;
            if (!found) continue;
            std::vector<CPoint> got = Drain(out);
            std::vector<CPoint> want;  // world points after the start, ending at the goal
            for (size_t i = expected.size() - 1; i-- > 0;) want.push_back(g.CellToWorld(expected[i].x, expected[i].y));
            if (want.empty()) want.push_back(g.CellToWorld(c2, r2));
            EXPECT_EQ(got, want) << field << " " << trial;
        }
    }
}

namespace {

// The path database built the plain way, as a reference: every pair in the
// builder's order, the line walked with a division per cell, each search
// the plain one run to its end, the way back searched in full too.
struct PlainBuilder {
    const CPathGrid& grid;
    std::vector<BYTE> file = {2, 0, 0, 0, 0, 0, 0, 0};

    bool LineBlocked(int a, int b, int c, int d) const {
        if (a == c && b == d) return false;
        int dc = c - a, dr = d - b;
        if (std::abs(dc) > std::abs(dr)) {
            int from = std::min(a, c), to = std::max(a, c), start = a < c ? b : d, delta = a < c ? dr : -dr;
            for (int col = from; col <= to; ++col)
                if (!grid.IsPassableCell(col, start + (col - from) * delta / (to - from))) return true;
        } else {
            int from = std::min(b, d), to = std::max(b, d), start = b < d ? a : c, delta = b < d ? dc : -dc;
            for (int row = from; row <= to; ++row)
                if (!grid.IsPassableCell(start + (row - from) * delta / (to - from), row)) return true;
        }
        return false;
    }

    void Pair(int c1, int r1, int c2, int r2, DWORD& records) {
        if (!grid.IsPassableCell(c1, r1) || !grid.IsPassableCell(c2, r2) || !LineBlocked(c1, r1, c2, r2)) return;
        int count = 0, back = 0;
        std::vector<CPoint> way = PlainSearch().Run(grid, c1, r1, c2, r2, 100000, count);
        if (way.empty()) return;
        if (count < 500) {
            PlainSearch().Run(grid, c2, r2, c1, r1, 100000, back);
            if (back < 500) return;
        }
        std::vector<CPoint> cells = {way.front()};  // goal first, then the turns
        auto facing = [&](size_t i) { return GetDirection(way[i + 1].x, way[i + 1].y, way[i].x, way[i].y); };
        if (way.size() > 1) {
            int last = facing(0);
            for (size_t i = 1; i + 1 < way.size(); ++i)
                if (facing(i) != last) cells.push_back(way[i]), last = facing(i);
            cells.push_back(way.back());
        }
        file.push_back(BYTE(cells.size()));
        for (auto it = cells.rbegin(); it != cells.rend(); ++it) file.push_back(BYTE(it->x)), file.push_back(BYTE(it->y));
        ++records;
    }

    std::vector<BYTE> Build() {
        const int rangeC = 300 / grid.GetCellWidth() + 1, rangeR = 300 / grid.GetCellHeight() + 1;
        DWORD records = 0;
        for (int c = 0; c < grid.GetColumns(); ++c)
            for (int r = 0; r < grid.GetRows(); ++r) {
                if (!grid.IsPassableCell(c, r)) continue;
                for (int c2 = c; c2 <= std::min(c + rangeC, grid.GetColumns() - 1); ++c2)
                    for (int r2 = std::max(r - rangeR, 0); r2 <= std::min(r + rangeR, grid.GetRows() - 1); ++r2)
                        Pair(c, r, c2, r2, records);
            }
        for (int i = 0; i < 4; ++i) file[4 + size_t(i)] = BYTE(records >> (8 * i));
        return file;
    }
};

}  // namespace

TEST(RouteDatabase, BuildGivesTheBytesOfThePlainBuilderOnAnyNumberOfThreads) {
    // A field of 50 x 50 cells: a long wall whose only gap is at its east
    // end, so pairs across it take long searches and are stored; a walled
    // pocket no one reaches; rough ground (code 3) and scattered blocks, so
    // nodes get cheaper while they wait; lines at every slope. Rough ground
    // costs 2 more, or nothing more (the battle's own grids), where the
    // search finds the neighbours by another way.
    for (int penalty : {2, 0}) {
        CPathGrid g(50, 50, "", penalty);
        uint32_t seed = 99;
        auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
        for (int c = 0; c < g.GetColumns(); ++c)
            for (int r = 0; r < g.GetRows(); ++r) {
                unsigned roll = next() % 16;
                g.SetCode(c, r, c > 34 || r > 30 ? 0 : roll == 0 ? 5 : roll < 4 ? 3 : 2);
            }
        for (int c = 0; c <= 30; ++c) g.SetCode(c, 15, 4);
        for (int k = 0; k < 5; ++k) g.SetCode(20 + k, 24, 0), g.SetCode(20 + k, 28, 0), g.SetCode(20, 24 + k, 0),
                                    g.SetCode(24, 24 + k, 0);
        const std::vector<BYTE> plain = PlainBuilder{g}.Build();
        DWORD records = DWORD(plain[4]) | DWORD(plain[5]) << 8;
        ASSERT_GT(records, 10u) << penalty;  // the wall makes stored pairs
        for (int threads : {1, 3}) {
            std::string path = TempPath("plain-order.pth");
            CPathSearch search;
            ASSERT_TRUE(CRouteDatabase::Build(path.c_str(), g, search, nullptr, nullptr, threads));
            std::vector<BYTE> built;
            ASSERT_TRUE(ReadFileBytes(path.c_str(), built));
            EXPECT_EQ(built, plain) << threads << " threads, penalty " << penalty;
            std::filesystem::remove(path);
        }
    }
}
