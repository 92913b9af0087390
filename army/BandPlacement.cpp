// The hold and press placements of the two wings and the centre: each runs
// the rows of the army's root formation in table order, every row turning
// one slot target into an order by a division target rule.
#include <algorithm>
#include <vector>

#include "army/Army.h"
#include "army/Deployment.h"
#include "army/DivisionState.h"
#include "core/Helpers.h"

using namespace ArmyDivision;

// One placement: division (its slot is the same number), offset for an
// army facing east, side mode, radius, the two reach distances (0: the
// plain rule), facing mode, order code and the flag passed to the order.
// A near row keeps its point by the near rule with distances 600, 200, 100.
struct CDeployment::Row {
    int division, dx, dy, side, radius, reachA, reachB, facing, order, flag;
    bool near = false;
};

namespace {

using Row = CDeployment::Row;
using Rows = std::vector<Row>;

constexpr int kFacingWest = 6;

// Three rows of one offset and one rule for the three divisions given.
Rows Same(std::initializer_list<int> divisions, int dx, int dy, int side, int radius, int reach, int facing, int order,
          int flag) {
    Rows out;
    for (int d : divisions) out.push_back({d, dx, dy, side, radius, reach, reach, facing, order, flag});
    return out;
}

Rows Join(Rows a, const Rows& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Rows* Lookup(const std::vector<std::pair<int, Rows>>& table, int id) {
    for (const auto& [key, rows] : table)
        if (key == id) return &rows;
    return nullptr;
}

// ---- the rows that need no choosing ------------------------------------

const std::vector<std::pair<int, Rows>>& HoldARows() {
    static const std::vector<std::pair<int, Rows>> t = {
        {10, {{2, -400, -500, 2, 400, 0, 0, 1, 128, 0}, {5, -300, -400, 2, 300, 0, 0, 1, 512, 0},
              {9, -150, 300, 0, 200, 0, 0, 7, 512, 0}}},
        {26, {{9, -200, 0, 1, 200, 400, 400, 0, 2, 0}, {2, -200, 0, 3, 200, 400, 400, 0, 128, 0},
              {5, -200, 0, 3, 200, 400, 400, 0, 128, 0}}},
        {70, {{2, -800, 0, 1, 300, 0, 0, 0, 2, 0}, {5, -700, 0, 1, 300, 0, 0, 0, 2, 0}, {9, -700, 0, 1, 300, 0, 0, 0, 2, 0}}},
        {94, {{5, -200, 200, 0, 200, 0, 0, 7, 128, 0}, {9, -200, 0, 1, 200, 0, 0, 0, 512, 0},
              {2, -150, 150, 0, 150, 0, 0, 7, 512, 0}}},
        {97, {{5, -200, 0, 0, 200, 0, 0, 0, 128, 0}, {9, 0, -50, 0, 450, 0, 0, 0, 512, 0}}},
        {98, {{2, -50, -300, 2, 200, 0, 0, 1, 2, 0}, {5, -200, -400, 2, 200, 0, 0, 1, 2, 0},
              {9, -200, 100, 0, 200, 0, 0, 0, 2, 0}}},
        {99, {{2, -400, 0, 2, 400, 0, 0, 0, 128, 0}, {5, -300, 0, 2, 300, 0, 0, 7, 512, 0},
              {9, -150, 0, 0, 200, 0, 0, 0, 512, 0}}},
        {101, Same({2, 5, 9}, -300, 0, 1, 300, 0, 0, 128, 0)},
        {102, {{5, 0, 0, 0, 200, 0, 0, 0, 128, 0}, {2, 0, 0, 0, 300, 0, 0, 0, 512, 0}}},
    };
    return t;
}

const std::vector<std::pair<int, Rows>>& HoldBRows() {
    static const std::vector<std::pair<int, Rows>> t = {
        {10, {{3, -400, 500, 0, 400, 0, 0, 7, 128, 0}, {6, -300, 400, 0, 300, 0, 0, 7, 512, 0},
              {10, -150, -300, 2, 200, 0, 0, 1, 512, 0}}},
        {26, {{10, -200, 0, 1, 200, 400, 400, 0, 2, 0}, {3, -200, 0, 3, 200, 400, 400, 0, 128, 0},
              {6, -200, 0, 3, 200, 400, 400, 0, 128, 0}}},
        {70, {{3, -800, 0, 1, 300, 0, 0, 0, 2, 0}, {6, -700, 0, 1, 300, 0, 0, 0, 2, 0}, {10, -700, 0, 1, 300, 0, 0, 0, 2, 0}}},
        {94, {{6, -200, -200, 2, 200, 0, 0, 1, 128, 0}, {10, -200, 0, 1, 200, 0, 0, 0, 512, 0},
              {3, -150, -150, 2, 150, 0, 0, 1, 512, 0}}},
        {97, {{6, -200, 0, 2, 200, 0, 0, 0, 128, 0}, {10, 0, 50, 2, 450, 0, 0, 0, 512, 0}}},
        {98, {{3, -50, 300, 0, 300, 0, 0, 7, 2, 0}, {6, -300, 400, 0, 300, 0, 0, 7, 2, 0},
              {10, -150, -100, 2, 200, 0, 0, 1, 2, 0}}},
        {99, {{3, -400, 0, 0, 400, 0, 0, 0, 128, 0}, {6, -300, 0, 0, 300, 0, 0, 7, 512, 0},
              {10, -150, 0, 2, 200, 0, 0, 0, 512, 0}}},
        {101, Same({3, 6, 10}, -300, 0, 1, 300, 0, 0, 128, 0)},
        {102, {{6, 0, 0, 2, 200, 0, 0, 0, 128, 0}, {10, 0, 0, 2, 300, 0, 0, 0, 512, 0}}},
    };
    return t;
}

Rows Formation103Hold() {
    Rows r = Same({2, 5, 3}, -200, 0, 3, 200, 500, 0, 512, 0);
    Row nearOne{1, -200, 0, 1, 600, 200, 100, 0, 512, 0, true};
    r.push_back(nearOne);
    r.push_back({6, -200, 0, 3, 200, 500, 500, 0, 2, 0});
    Row nearFour = nearOne;
    nearFour.division = 4;
    r.push_back(nearFour);
    return Join(r, Same({9, 10, 8}, -200, 0, 1, 200, 500, 0, 2, 0));
}

const std::vector<std::pair<int, Rows>>& HoldCRows() {
    static const std::vector<std::pair<int, Rows>> t = {
        {3, {{1, -300, 0, 1, 300, 0, 0, 0, 512, 0}, {4, -300, -200, 1, 300, 0, 0, 0, 512, 0},
             {8, -300, 200, 1, 300, 0, 0, 0, 512, 0}}},
        {10, Same({1, 8, 4}, -400, 0, 1, 400, 0, 0, 512, 0)},
        {26, Same({1, 4, 8}, -300, 0, 1, 300, 0, 0, 128, 0)},
        {70, {{1, -800, 0, 1, 300, 0, 0, 0, 2, 0}, {4, -700, 0, 1, 300, 0, 0, 0, 2, 0}, {8, -700, 0, 1, 300, 0, 0, 0, 2, 0}}},
        {92, {{1, -300, 0, 1, 300, 0, 0, 0, 512, 0}}},
        {93, {{1, -300, 0, 1, 300, 0, 0, 0, 128, 0}, {4, -300, 0, 1, 300, 0, 0, 0, 512, 0},
              {8, -300, 0, 1, 300, 0, 0, 0, 2, 0}}},
        {94, {{8, -300, 0, 1, 300, 0, 0, 0, 512, 0}}},
        {95, {{1, -400, 0, 1, 200, 0, 0, 0, 8, 1}, {8, 0, -250, 2, 200, 0, 0, 6, 512, 0},
              {4, 0, 250, 0, 200, 0, 0, 2, 512, 0}}},
        {97, {{1, -600, 0, 1, 400, 0, 0, 0, 512, 0}, {8, -100, 0, 1, 400, 0, 0, 0, 512, 0},
              {4, -100, 0, 1, 400, 0, 0, 0, 512, 0}, {2, -250, 50, 2, 200, 0, 0, 0, 2, 0},
              {3, -250, -50, 0, 200, 0, 0, 0, 2, 0}}},
        {98, {{8, -200, 0, 0, 200, 0, 0, 0, 512, 0}, {4, -200, 0, 2, 200, 0, 0, 0, 512, 0},
              {1, -400, 0, 1, 400, 0, 0, 0, 512, 0}}},
        {99, {{1, -600, 0, 1, 400, 0, 0, 0, 512, 0}, {8, -100, 0, 1, 300, 0, 0, 0, 512, 0},
              {4, -400, 0, 1, 300, 0, 0, 0, 512, 0}}},
        {100, Same({1, 4, 8}, -300, 0, 1, 300, 0, 0, 2, 0)},
        {101, Same({1, 4, 8}, -300, 0, 1, 300, 0, 0, 128, 0)},
        {102, {{1, -200, 0, 1, 200, 0, 0, 0, 128, 0}, {8, -200, 0, 0, 200, 0, 0, 0, 512, 0},
               {4, -200, 0, 2, 200, 0, 0, 0, 512, 0}}},
        {103, Formation103Hold()},
    };
    return t;
}

Rows PressARowsOf10() {
    return {{2, 100, -100, 1, 300, 0, 0, 0, 2, 0}, {5, 700, -200, 2, 300, 0, 0, 1, 2, 0},
            {9, 900, -100, 2, 300, 0, 0, 2, 2, 1}};
}
Rows PressARowsOf95() {
    return {{2, 200, -100, 1, 300, 0, 0, 1, 2, 0}, {5, 700, -200, 2, 300, 0, 0, 1, 2, 0},
            {9, 900, -100, 2, 300, 0, 0, 1, 2, 1}};
}
Rows PressARowsOf90() { return {{5, 600, -100, 1, 200, 0, 0, 0, 512, 0}, {9, 800, -200, 2, 300, 0, 0, 1, 2, 1}}; }

const std::vector<std::pair<int, Rows>>& PressARows() {
    static const std::vector<std::pair<int, Rows>> t = {
        {3, {{2, 200, -100, 1, 300, 400, 500, 1, 2, 0}, {5, 700, -200, 2, 300, 400, 500, 1, 1, 0},
             {9, 900, -100, 2, 300, 400, 500, 1, 2, 1}}},
        {10, PressARowsOf10()},
        {26, Same({2, 5, 9}, 600, 0, 1, 300, 500, 0, 2, 1)},
        {70, Join({{1, 500, -300, 0, 200, 400, 400, 0, 2, 0}, {2, 500, 300, 1, 200, 400, 400, 0, 2, 0}},
                  Same({5, 9}, 500, 0, 1, 200, 400, 0, 2, 0))},
        {90, PressARowsOf90()},
        {92, {{2, -200, -100, 1, 200, 400, 400, 0, 2, 0}, {5, -200, 0, 0, 200, 500, 500, 0, 2, 0},
              {9, 900, -100, 3, 200, 400, 400, 2, 2, 1}}},
        {93, PressARowsOf90()},
        {94, PressARowsOf10()},
        {95, PressARowsOf95()},
        {96, Same({2, 5, 9}, -300, 0, 1, 300, 0, 0, 2, 0)},
        {97, {{5, 700, -300, 2, 200, 700, 700, 1, 2, 0}, {9, 900, -400, 2, 300, 700, 700, 1, 2, 1}}},
        {98, PressARowsOf95()},
        {99, {{2, 300, -200, 1, 300, 0, 0, 0, 2, 0}, {5, 700, -250, 1, 300, 0, 0, 0, 2, 0},
              {9, 900, -100, 1, 300, 0, 0, 0, 2, 1}}},
        {101, Same({2, 5, 9}, 600, 0, 1, 300, 0, 0, 2, 1)},
        {102, {{5, 600, 0, 2, 200, 0, 0, 1, 512, 0}, {9, 800, 0, 2, 300, 0, 0, 1, 2, 1}}},
    };
    return t;
}

Rows PressBRowsOf10() {
    return {{3, 100, 100, 1, 300, 0, 0, 0, 2, 0}, {6, 700, 200, 0, 300, 0, 0, 7, 2, 0},
            {10, 900, 100, 0, 300, 0, 0, 6, 2, 1}};
}
Rows PressBRowsOf95() {
    return {{3, 200, 100, 1, 300, 0, 0, 7, 2, 0}, {6, 700, 200, 0, 300, 0, 0, 7, 2, 0},
            {10, 900, 100, 0, 300, 0, 0, 7, 2, 1}};
}
Rows PressBRowsOf90() { return {{6, 600, 100, 1, 200, 0, 0, 0, 512, 0}, {10, 800, 200, 0, 300, 0, 0, 7, 2, 0}}; }

const std::vector<std::pair<int, Rows>>& PressBRows() {
    static const std::vector<std::pair<int, Rows>> t = {
        {3, {{3, 200, 100, 1, 300, 400, 500, 7, 2, 0}, {6, 700, 200, 0, 300, 400, 500, 7, 1, 0},
             {10, 900, 100, 0, 300, 400, 500, 7, 2, 1}}},
        {10, PressBRowsOf10()},
        {26, Same({3, 6, 10}, 600, 0, 1, 300, 500, 0, 2, 1)},
        {70, {{1, 500, 300, 2, 200, 400, 400, 0, 2, 0}, {3, 500, 300, 1, 200, 400, 400, 0, 2, 0},
              {6, 500, 0, 1, 200, 400, 400, 0, 2, 0}, {10, 500, 0, 1, 200, 0, 0, 0, 2, 0}}},
        {90, PressBRowsOf90()},
        {92, {{3, -200, 100, 1, 200, 400, 400, 0, 2, 0}, {6, -200, 0, 2, 200, 500, 500, 0, 2, 0},
              {10, 900, 100, 3, 200, 400, 400, 2, 2, 1}}},
        {93, PressBRowsOf90()},
        {94, PressBRowsOf10()},
        {95, PressBRowsOf95()},
        {96, Same({3, 6, 10}, -300, 0, 1, 300, 0, 0, 2, 0)},
        {97, {{6, 700, 300, 0, 200, 700, 700, 7, 2, 0}, {10, 900, 400, 0, 300, 700, 700, 7, 2, 0}}},
        {98, PressBRowsOf95()},
        {99, {{3, 300, 200, 1, 300, 0, 0, 0, 2, 0}, {6, 700, 300, 0, 300, 0, 0, 7, 2, 0},
              {10, 900, 200, 0, 300, 0, 0, 0, 2, 1}}},
        {101, Same({3, 6, 10}, 600, 0, 1, 300, 0, 0, 2, 1)},
        {102, {{6, 600, 0, 0, 200, 0, 0, 7, 512, 0}, {3, 800, 0, 0, 300, 0, 0, 7, 2, 0}}},
    };
    return t;
}

const std::vector<std::pair<int, Rows>>& PressCRows() {
    static const std::vector<std::pair<int, Rows>> t = {
        {3, {{1, 500, 0, 1, 300, 400, 500, 0, 512, 0}, {4, 700, -200, 1, 300, 400, 500, 0, 1, 0},
             {8, 900, 200, 1, 300, 400, 500, 0, 512, 0}}},
        {10, Same({1, 4, 8}, 500, 0, 1, 200, 0, 0, 2, 0)},
        {26, Same({1, 4, 8}, 600, 0, 1, 300, 0, 0, 2, 1)},
        {70, Join(Same({1, 4, 8}, 500, 0, 1, 200, 400, 0, 2, 0),
                  {{2, 500, 300, 2, 200, 400, 400, 0, 2, 0}, {3, 500, -300, 0, 200, 400, 400, 0, 2, 0}})},
        {92, {{1, 500, 0, 1, 200, 0, 0, 0, 2, 0}, {4, 500, 0, 0, 200, 0, 0, 7, 2, 0}, {8, 500, 0, 2, 200, 0, 0, 1, 2, 0}}},
        {93, Same({1, 4, 8}, 500, 0, 1, 200, 0, 0, 2, 0)},
        {94, Same({1, 4, 8}, 500, 0, 1, 200, 0, 0, 2, 0)},
        {95, Same({1, 4, 8}, 700, 0, 1, 200, 0, 0, 2, 0)},
        {96, Same({1, 4, 8}, -300, 0, 1, 300, 0, 0, 2, 0)},
        {97, Same({4, 8}, 800, 0, 1, 200, 0, 0, 2, 0)},
        {98, Same({1, 4, 8}, 700, 0, 1, 200, 0, 0, 2, 0)},
        {101, Same({1, 4, 8}, 600, 0, 1, 300, 0, 0, 2, 1)},
        {102, Join(Same({1, 4, 8}, 500, 0, 1, 200, 0, 0, 2, 1),
                   {{2, 500, 100, 1, 200, 0, 0, 0, 2, 1}, {3, 500, -100, 1, 200, 0, 0, 0, 2, 1}})},
    };
    return t;
}

Rows Formation103Press(bool wingB) {
    const int first = wingB ? 2 : 3, second = wingB ? 5 : 6, side = wingB ? 0 : 2;
    Rows r = {{first, -200, 0, 3, 300, 700, 700, 0, 512, 0},
              {second, -200, 0, 3, 300, 1500, 1500, 0, 512, 0},
              {wingB ? 3 : 2, -200, 0, side, 200, 500, 500, 0, 512, 0},
              {1, -200, 0, side, 200, 500, 500, 0, 512, 0}};
    return Join(r, Same({wingB ? 6 : 5, 4, 9, 10, 8}, -200, 0, 1, 200, 500, 0, 2, 0));
}

// The hold rows of formations 93 and 100 by which of the middle and rear
// divisions of a wing stand: both, only the middle one, only the rear one.
struct ByPresence {
    Rows both, middle, rear;
};

const ByPresence& HoldByPresence(int id, bool wingB) {
    static const ByPresence a93{{{5, 0, 0, 0, 200, 0, 0, 6, 128, 0}, {9, -50, 200, 0, 300, 0, 0, 0, 512, 0}},
                                {{5, -100, -100, 0, 200, 0, 0, 7, 512, 0}},
                                {{9, 150, 300, 0, 300, 0, 0, 7, 512, 0}}};
    static const ByPresence b93{{{6, 0, 0, 2, 200, 0, 0, 2, 128, 0}, {10, -50, -200, 2, 300, 0, 0, 0, 512, 0}},
                                {{6, -100, 100, 2, 300, 0, 0, 1, 512, 0}},
                                {{10, 150, -300, 2, 300, 0, 0, 1, 512, 0}}};
    static const ByPresence a100{{{5, -200, 0, 0, 200, 0, 0, 6, 512, 0}, {9, -300, 0, 0, 300, 0, 0, 6, 2, 0}},
                                 {{5, -200, 0, 0, 200, 0, 0, 7, 512, 0}},
                                 {{9, -300, 0, 0, 300, 0, 0, 7, 512, 0}}};
    static const ByPresence b100{{{6, -200, 0, 2, 200, 0, 0, 2, 512, 0}, {10, -300, 0, 2, 300, 0, 0, 2, 2, 0}},
                                 {{6, -200, 0, 2, 200, 0, 0, 1, 512, 0}},
                                 {{10, -300, 0, 2, 300, 0, 0, 1, 512, 0}}};
    if (id == 93) return wingB ? b93 : a93;
    return wingB ? b100 : a100;
}

}  // namespace

// ------------------------------------------------------------------ helpers

CDivision* CDeployment::Own(int index) const { return a.m_divisions.FindByID(index, TRUE, FALSE); }

CPoint CDeployment::SlotTarget(int slot, int dx, int dy) const {
    const CPoint s = a.m_formation ? a.m_formation->GetSlotPoint(slot, a.m_facing) : CPoint(0, 0);
    if (a.m_facing == kFacingWest) dx = -dx, dy = -dy;
    return CPoint(s.x + a.m_x + a.m_frontOffset.x + dx, s.y + a.m_y + a.m_frontOffset.y + dy);
}

CRect CDeployment::Cells(int row0, int row1, int column0, int column1) const {
    CRect u = a.GetCell(row0, column0);
    for (int r = row0; r <= row1; ++r)
        for (int c = column0; c <= column1; ++c) {
            const CRect& x = a.GetCell(r, c);
            u = CRect(std::min(u.left, x.left), std::min(u.top, x.top), std::max(u.right, x.right),
                      std::max(u.bottom, x.bottom));
        }
    return u;
}

void CDeployment::PlaceRow(const Row& row) {
    CDivision* d = Own(row.division);
    if (!d) return;
    const CPoint t = SlotTarget(row.division, row.dx, row.dy);
    if (row.near)
        SetDivisionTargetNear(a, d, row.side, t.x, t.y, row.radius, row.reachA, row.reachB, row.facing, row.order,
                              row.flag);
    else if (row.reachA > 0)
        SetDivisionTargetEx(a, d, row.side, t.x, t.y, row.radius, row.reachA, row.reachB, row.facing, row.order,
                            row.flag);
    else
        SetDivisionTarget(a, d, row.side, t.x, t.y, row.radius, row.facing, row.order, row.flag);
}

void CDeployment::PlaceRows(const Row* rows, int count) {
    for (int i = 0; i < count; ++i) PlaceRow(rows[i]);
}

namespace {
void Place(CDeployment& dep, const Rows* rows) {
    if (rows) dep.PlaceRows(rows->data(), int(rows->size()));
}
void Place(CDeployment& dep, std::initializer_list<Row> rows) {
    for (const Row& r : rows) dep.PlaceRow(r);
}
}  // namespace

// The wing's chase row: once an enemy has been seen in the wing's zone the
// row's division stalks it near the army's rear corner of that wing; until
// then it keeps the listed row. A stored target that has been lost is let
// go, so that the wing looks for another.
void CDeployment::ChaseRow(const Row& fallback, int wing, int orderCode) {
    CDivision* d = Own(fallback.division);
    if (!d) return;
    CDivision*& target = a.m_chaseTargets[wing];
    if (target && IsLost(target)) target = nullptr;
    if (!target) target = FindNearestTargetInRect(a.GetZone(wing ? CArmy::kRightWing : CArmy::kLeftWing), false, true);
    if (!target) {
        PlaceRow(fallback);
        return;
    }
    const int r0 = wing ? 3 : 0;
    ChaseTarget(d, target, 300, orderCode, Cells(r0, r0 + 2, 0, 2), Cells(r0, r0 + 2, 0, 4), 0);
}

// ---------------------------------------------------------------- the holds

void CDeployment::HoldWingA() {
    const int id = a.m_formationList ? a.m_formationList->GetRootIDOf(a.m_formation) : -1;
    switch (id) {
    case 3:
        if (a.m_aiLevel > 1) {
            ChaseRow({5, -300, 200, 1, 300, 0, 0, 1, 512, 0}, 0, 512);
            PlaceRow({2, -200, 0, 1, 200, 0, 0, 0, 512, 0});
            PlaceRow({9, -200, 200, 1, 200, 0, 0, 0, 512, 0});
        } else {
            PlaceRow({2, -200, 0, 1, 200, 0, 0, 0, 512, 0});
            PlaceRow({5, -200, -200, 1, 200, 0, 0, 0, 512, 0});
            PlaceRow({9, -200, 200, 1, 200, 0, 0, 0, 512, 0});
        }
        return;
    case 90:
        if (a.m_aiLevel > 1) {
            ChaseRow({5, -300, -200, 0, 300, 0, 0, 7, 512, 0}, 0, 2);
            PlaceRow({9, -300, -100, 0, 300, 0, 0, 7, 2, 0});
        } else {
            PlaceRow({5, -300, 200, 0, 300, 0, 0, 1, 512, 0});
            PlaceRow({9, -300, 100, 0, 300, 0, 0, 1, 2, 0});
        }
        return;
    case 92: {
        const bool middle = Own(5), front = Own(2);
        PlaceRow({5, -200, -200, 2, 200, 0, 0, 2, 128, 0});
        if (front) PlaceRow({2, -150, -150, 2, 150, 0, 0, 0, 128, 0});
        if (!front && !middle) {
            PlaceRow({9, -100, 300, 1, 300, 0, 0, 0, 2, 1});
            return;
        }
        PlaceRow({9, -200, 100, 0, 200, 0, 0, 0, 2, 1});
        return;
    }
    case 93:
    case 100: {
        const ByPresence& p = HoldByPresence(id, false);
        const bool middle = Own(5), rear = Own(9);
        Place(*this, middle && rear ? &p.both : middle ? &p.middle : rear ? &p.rear : nullptr);
        return;
    }
    case 95:
        if (a.m_randomTie != 1) {
            PlaceRow({2, -200, 0, 2, 200, 500, 500, 1, 2, 0});
            PlaceRow({9, -300, 0, 1, 300, 300, 300, 1, 2, 0});
        } else {
            PlaceRow({2, -200, -100, 2, 200, 0, 0, 1, 2, 0});
            PlaceRow({9, -300, 0, 1, 300, 0, 0, 1, 2, 0});
        }
        return;
    case 96:
        if (a.m_randomTie == 2) {
            PlaceRow({2, -300, 0, 1, 300, 0, 0, 0, 128, 0});
            PlaceRow({5, -300, 0, 3, 300, 600, 600, 0, 512, 0});
            PlaceRow({9, -300, 0, 0, 300, 600, 600, 0, 2, 0});
        } else if (a.m_randomTie == 1) {
            Place(*this, {{2, -300, 0, 1, 300, 0, 0, 0, 128, 0}, {5, -300, 0, 1, 300, 0, 0, 0, 512, 0},
                          {9, -300, 0, 1, 300, 0, 0, 0, 2, 0}});
        }
        return;
    default: Place(*this, Lookup(HoldARows(), id));
    }
}

void CDeployment::HoldWingB() {
    const int id = a.m_formationList ? a.m_formationList->GetRootIDOf(a.m_formation) : -1;
    switch (id) {
    case 3:
        if (a.m_aiLevel > 1) {
            ChaseRow({6, -300, -200, 1, 300, 0, 0, 7, 512, 0}, 1, 512);
            PlaceRow({3, -200, 0, 1, 200, 0, 0, 0, 512, 0});
            PlaceRow({10, -300, -100, 1, 300, 0, 0, 7, 2, 0});
        } else {
            Place(*this, {{3, -200, 0, 1, 200, 0, 0, 0, 512, 0}, {6, -200, -200, 1, 200, 0, 0, 0, 512, 0},
                          {10, -200, 200, 1, 200, 0, 0, 0, 512, 0}});
        }
        return;
    case 90:
        if (a.m_aiLevel > 1) {
            ChaseRow({6, -300, -200, 0, 300, 0, 0, 7, 512, 0}, 1, 2);
            PlaceRow({10, -300, -100, 0, 300, 0, 0, 7, 2, 0});
        } else {
            Place(*this, {{6, -300, -200, 0, 300, 500, 1000, 7, 512, 0}, {10, -300, -100, 0, 300, 500, 1000, 7, 2, 0}});
        }
        return;
    case 92: {
        const bool middle = Own(6), front = Own(3);
        PlaceRow({6, -200, 200, 0, 200, 0, 0, 2, 128, 0});
        if (front) PlaceRow({3, -150, 150, 0, 150, 0, 0, 0, 128, 0});
        if (!front && !middle) {
            PlaceRow({10, -100, -300, 1, 300, 0, 0, 0, 2, 1});
            return;
        }
        PlaceRow({10, -200, -100, 0, 200, 0, 0, 0, 2, 1});
        return;
    }
    case 93:
    case 100: {
        const ByPresence& p = HoldByPresence(id, true);
        const bool middle = Own(6), rear = Own(10);
        Place(*this, middle && rear ? &p.both : middle ? &p.middle : rear ? &p.rear : nullptr);
        return;
    }
    case 95:
        if (a.m_randomTie != 1)
            Place(*this, {{3, 200, 100, 0, 200, 500, 500, 7, 128, 0}, {10, 300, 0, 2, 300, 300, 300, 7, 512, 0}});
        else
            Place(*this, {{3, 200, 100, 0, 200, 0, 0, 7, 128, 0}, {10, 300, 0, 2, 300, 0, 0, 7, 512, 0}});
        return;
    case 96:
        if (a.m_randomTie != 1)
            Place(*this, {{3, -300, 0, 1, 300, 0, 0, 0, 128, 0}, {6, -300, 0, 3, 300, 600, 600, 0, 512, 0},
                          {10, -300, 0, 2, 300, 600, 600, 0, 2, 0}});
        else
            Place(*this, {{3, -300, 0, 1, 300, 0, 0, 0, 128, 0}, {6, -300, 0, 1, 300, 0, 0, 0, 512, 0},
                          {10, -300, 0, 1, 300, 0, 0, 0, 2, 0}});
        return;
    default: Place(*this, Lookup(HoldBRows(), id));
    }
}

void CDeployment::HoldCentre() {
    const int id = a.m_formationList ? a.m_formationList->GetRootIDOf(a.m_formation) : -1;
    switch (id) {
    case 90: {
        const bool three = Own(3), two = Own(2);
        PlaceRow({3, 0, -300, 2, 300, 0, 0, 2, 128, 0});
        PlaceRow({2, 0, 300, 0, 300, 0, 0, 6, 128, 0});
        // The centre's lead division stands back behind whichever wing
        // fronts remain: square behind both, turned to cover a missing one.
        const int division = Own(1) ? 1 : 4;
        int side = 1, facing = 0, order = 512;
        if (two && three) order = 128;
        else if (two) side = 2, facing = 2;
        else if (three) side = 0, facing = 6;
        PlaceRow({division, -300, 0, side, 300, 0, 0, facing, order, 0});
        return;
    }
    case 96:
        if (a.m_randomTie == 1)
            Place(*this, {{1, -300, 0, 1, 300, 0, 0, 0, 128, 0}, {4, -300, 0, 1, 300, 0, 0, 0, 512, 0},
                          {8, -300, 0, 1, 300, 0, 0, 0, 2, 0}});
        else
            Place(*this, {{1, -300, 0, 1, 300, 0, 0, 0, 128, 0}, {4, -100, 0, 1, 100, 400, 400, 0, 512, 0},
                          {8, -100, 0, 1, 100, 500, 500, 0, 2, 0}});
        return;
    default: Place(*this, Lookup(HoldCRows(), id));
    }
}

// ---------------------------------------------------------------- the press

// The wedge family advances in stages: into the family member of the wing's
// flag, then one step further each time the divisions stand in their slots,
// then the front moves and every division takes its place in the wedge.
void CDeployment::PressFamily(DWORD familyFlag, bool wingB) {
    CArmyFormationList* list = a.m_formationList;
    if (!list || !a.m_formation) return;
    if (!a.m_formation->HasFlag(familyFlag)) {
        if (CArmyFormation* root = list->GetRoot(a.m_formation)) a.m_formation = root;
        a.m_pressStage = 1;
    }
    switch (a.m_pressStage) {
    case 1: {
        CArmyFormation* member = list->FindEquivalent(a.m_formation, familyFlag);
        if (member && member != a.m_formation) a.RepositionDivisions(member, TRUE);
        a.m_pressStage = 2;
        return;
    }
    case 2: {
        if (!a.CheckSlots(100)) {
            if (!wingB || a.m_tickCount > 1000) a.m_pressHalt = 1;
            return;
        }
        CArmyFormation* next = list->FindInFamily(a.m_formation, familyFlag, a.m_formation->m_nLevel + 1);
        if (!next) return;
        a.RepositionDivisions(next, TRUE);
        if (next->m_nLevel == 4) a.m_pressStage = 3;
        return;
    }
    case 3:
        if (a.CheckSlots(30)) {
            a.AdvanceFront(TRUE, TRUE, 200);
            a.m_pressStage = 4;
        }
        return;
    case 4: {
        a.AdvanceFront(TRUE, TRUE, 200);
        const Rows rows = Formation103Press(wingB);
        Place(*this, &rows);
        return;
    }
    default: return;
    }
}

void CDeployment::PressFormation100(const int* divisions) {
    for (int i = 0; i < 3; ++i) {
        CDivision* d = Own(divisions[i]);
        if (!d) continue;
        const CPoint t = SlotTarget(divisions[i], 1000, -300);
        a.OrderDivision(d, 2, t.x, t.y, 0x4000, 0, FALSE, 500, 20);
    }
}

void CDeployment::PressWingA() {
    const int id = a.m_formationList ? a.m_formationList->GetRootIDOf(a.m_formation) : -1;
    static const int kWing[3] = {2, 5, 9};
    if (id == 103) return PressFamily(0x10000, false);
    if (id == 100) return PressFormation100(kWing);
    Place(*this, Lookup(PressARows(), id));
}

void CDeployment::PressWingB() {
    const int id = a.m_formationList ? a.m_formationList->GetRootIDOf(a.m_formation) : -1;
    static const int kWing[3] = {3, 6, 10};
    if (id == 103) return PressFamily(0x20000, true);
    if (id == 100) return PressFormation100(kWing);
    Place(*this, Lookup(PressBRows(), id));
}

void CDeployment::PressCentre() {
    const int id = a.m_formationList ? a.m_formationList->GetRootIDOf(a.m_formation) : -1;
    Place(*this, Lookup(PressCRows(), id));
}

// ---------------------------------------------------------------- measures

namespace {
// Own strength weighted towards the front against the opposing strength,
// over two grid rows and the columns 2 to 9.
bool BandFavourable(const CArmy& a, int row0, DWORD fallbackMask, double ratio) {
    if (ratio <= 0.0) return (a.m_posture & int(fallbackMask)) != 0;
    long weighted = 0, opposing = 0;
    for (int r = row0; r <= row0 + 1; ++r)
        for (int c = 2; c <= 9; ++c) {
            const int i = r * CArmy::kGridColumns + c;
            weighted += Round((1.0 + 0.1 * c) * a.m_ownA[i]);
            opposing += a.m_enemyA[i];
        }
    return double(weighted) / double(opposing + 1) > ratio;
}
}  // namespace

bool CDeployment::IsWingAFavourable(double ratio) const { return BandFavourable(a, 0, 0xC0, ratio); }
bool CDeployment::IsWingBFavourable(double ratio) const { return BandFavourable(a, 4, 0x03, ratio); }
bool CDeployment::IsCentreFavourable(double ratio) const { return BandFavourable(a, 2, 0x18, ratio); }

namespace {
// The extreme x over the six rows of `cell`, rows answering `skip` left out,
// `none` when every row is.
template <typename Cell>
int Extreme(Cell cell, bool greatest, int skip, int none) {
    int best = none;
    bool any = false;
    for (int r = 0; r < CArmy::kGridRows; ++r) {
        const int x = cell(r).x;
        if (x == skip) continue;
        if (!any || (greatest ? x > best : x < best)) best = x;
        any = true;
    }
    return best;
}
}  // namespace

int CDeployment::GetFrontEdgeA() const {
    auto cell = [&](int r) { return a.FindGridColumn(r); };
    if (a.m_facing == 2) return Extreme(cell, false, 3000, 3000);
    if (a.m_facing == kFacingWest) return Extreme(cell, true, 0, 0);
    return -1;
}

int CDeployment::GetFrontEdgeB() const {
    auto cell = [&](int r) { return a.FindOwnFrontCell(r); };
    if (a.m_facing == 2) return Extreme(cell, true, 3000, 0);
    if (a.m_facing == kFacingWest) return Extreme(cell, false, 0, 3000);
    return -1;
}
