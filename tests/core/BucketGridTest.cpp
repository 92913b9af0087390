#include <gtest/gtest.h>

#include "core/BucketGrid.h"

namespace {

TEST(BucketGrid, CellsAndEdges) {
    CBucketGrid grid;
    grid.Create(5, 15, 1024, 768, 100);
    EXPECT_EQ(grid.GetCellWidth(), 204);
    EXPECT_EQ(grid.GetCellHeight(), 51);
    int id = grid.Insert(new CRect(1000, 760, 1024, 768));
    EXPECT_EQ(grid.CountInCell(5, 15), 1) << "the far corner has a cell of its own";
    EXPECT_TRUE(grid.FindAt(1024, 768));
    EXPECT_EQ(grid.GetFoundId(), id);
    EXPECT_FALSE(grid.FindAt(1025, 0));
    EXPECT_FALSE(grid.FindAt(0, -1));
}

TEST(BucketGrid, FirstInsertedWinsAndIdsCountUp) {
    CBucketGrid grid;
    grid.Create(4, 4, 400, 400, 7);
    EXPECT_EQ(grid.Insert(new CRect(10, 10, 50, 50)), 7);
    EXPECT_EQ(grid.Insert(new CRect(60, 60, 30, 30)), 8);  // reversed: normalised in place
    EXPECT_EQ(grid.Insert(new CRect(0, 0, 399, 399)), 9);  // spans every cell

    EXPECT_EQ(grid.CountInCell(0, 0), 3);
    EXPECT_EQ(grid.CountInCell(3, 3), 1);
    EXPECT_TRUE(grid.FindAt(40, 40));
    EXPECT_EQ(grid.GetFoundId(), 7);
    EXPECT_TRUE(grid.FindAt(50, 50)) << "edges are inclusive";
    EXPECT_EQ(grid.GetFoundId(), 7);
    EXPECT_TRUE(grid.FindAt(55, 55));
    EXPECT_EQ(grid.GetFoundId(), 8);
    EXPECT_EQ(*grid.FindById(8), CRect(30, 30, 60, 60));
    EXPECT_TRUE(grid.FindAt(300, 300));
    EXPECT_EQ(grid.GetFoundId(), 9);
    EXPECT_TRUE(grid.FindAt(400, 400) == false && grid.GetFoundId() == -1)
        << "a miss inside the area forgets the last find";

    grid.Clear();  // ASan catches a rectangle deleted twice or never
    EXPECT_EQ(grid.FindById(7), nullptr);
    EXPECT_FALSE(grid.FindAt(40, 40));
    EXPECT_EQ(grid.Insert(new CRect(1, 1, 2, 2)), 10) << "identifiers go on after Clear";
}

TEST(BucketGrid, UnevenCellsStayInsideTheTable) {
    // 10 wide in 4 columns: cells of 2, so x = 10 would be column 5 of 0..4.
    CBucketGrid grid;
    grid.Create(4, 3, 10, 7, 0);
    grid.Insert(new CRect(8, 5, 10, 7));
    EXPECT_TRUE(grid.FindAt(10, 7));
    // Rectangles reaching outside the area, a degenerate grid, and a grid
    // that was destroyed: no out-of-table access, nothing leaks.
    grid.Insert(new CRect(-50, -50, 500, 500));
    EXPECT_TRUE(grid.FindAt(0, 0));
    CBucketGrid tiny;
    tiny.Create(0, 0, 0, 0, 1);
    tiny.Insert(new CRect(0, 0, 3, 3));
    EXPECT_TRUE(tiny.FindAt(0, 0));
    tiny.Destroy();
    EXPECT_FALSE(tiny.FindAt(0, 0));
    EXPECT_EQ(tiny.Insert(new CRect(0, 0, 1, 1)), -1);
}

}  // namespace
