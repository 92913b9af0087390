#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/afx/MessageBox.h"
#include "core/GameTables.h"
#include "core/Helpers.h"

namespace {

TEST(Helpers, RoundSendsExactHalvesUp) {
    struct Case {
        double v;
        int expected;
    } cases[] = {{0.5, 1}, {-0.5, 0}, {-0.51, -1}, {2.5, 3}, {-2.5, -2}, {-2.6, -3}, {1.49, 1}, {0.0, 0}};
    for (const Case& c : cases) EXPECT_EQ(Round(c.v), c.expected) << c.v;
}

TEST(Helpers, DirectionSectors) {
    struct Case {
        int x1, y1, x2, y2, facing;
    } cases[] = {
        {10, 10, 10, 10, 6},  // the same point twice
        {0, 0, 0, -5, 0},     {0, 0, 10, -10, 1}, {0, 0, 5, 0, 2},   {0, 0, 10, 10, 3},
        {0, 0, 0, 5, 4},      {0, 0, -10, 10, 5}, {0, 0, -5, 0, 6},  {0, 0, -10, -10, 7},
        // Just inside a diagonal sector, and steep offsets that stay straight.
        {0, 0, 10, -5, 1},    {0, 0, 10, -4, 2},  {0, 0, 1, -3, 0},  {0, 0, -1, 3, 4},
        {0, 0, -10, 4, 6},    {0, 0, -10, -5, 7}, {0, 0, -10, 5, 5}, {0, 0, 3, 1, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetDirection(c.x1, c.y1, c.x2, c.y2), c.facing)
            << "(" << c.x1 << "," << c.y1 << ")->(" << c.x2 << "," << c.y2 << ")";
        // The vector form reads the same offset with y pointing down.
        EXPECT_EQ(CVector(c.x2 - c.x1, c.y2 - c.y1).GetDirection8(), c.facing);
    }
}

TEST(Helpers, DistanceAndScaling) {
    EXPECT_DOUBLE_EQ(GetDistance(0, 0, 30, 40, false), 50.0);
    EXPECT_DOUBLE_EQ(GetDistance(0, 0, 30, 40, true), 10.0);
    EXPECT_EQ(ScaleToLength(3, 4, 10), CPoint(6, 8));
    EXPECT_EQ(ScaleToLength(-3, 4, 10), CPoint(-6, 8));
    // The length is rounded before dividing: |(1,1)| = 1.41 -> 1.
    EXPECT_EQ(ScaleToLength(1, 1, 10), CPoint(10, 10));
    EXPECT_EQ(ScaleToLength(0, 0, 10), CPoint(0, 0)) << "no division by a zero length";
}

TEST(Helpers, VectorOperations) {
    CVector v(3, 4);
    EXPECT_DOUBLE_EQ(v.GetLength(), 5.0);
    CVector doubled = v * 2.0;
    EXPECT_DOUBLE_EQ(doubled.x, 6.0);
    EXPECT_DOUBLE_EQ(v.x, 3.0) << "multiplication leaves the vector alone";
    v.Normalize();
    EXPECT_DOUBLE_EQ(v.x, 0.6);
    EXPECT_DOUBLE_EQ(v.y, 0.8);

    CVector zero(0, 0);
    zero.Normalize();
    EXPECT_EQ(zero.x, 0.0);
    EXPECT_EQ(zero.y, 0.0);

    CVector r(10, 0);
    r.Rotate(90);  // towards +y
    EXPECT_NEAR(r.x, 0.0, 1e-6);
    EXPECT_NEAR(r.y, 10.0, 1e-6);
}

TEST(Helpers, OffsetsAlongFacings) {
    EXPECT_EQ(GetDirectionVector(2, 10), CPoint(10, 0));
    EXPECT_EQ(GetDirectionVector(0, 10), CPoint(0, -10));
    EXPECT_EQ(GetDirectionVector(4, 10), CPoint(0, 10));
    EXPECT_EQ(GetDirectionVector(3, 10), CPoint(7, 7));
    EXPECT_EQ(GetDirectionVector(8, 10), CPoint(0, 0));
    EXPECT_EQ(GetDirectionVector(-1, 10), CPoint(0, 0));
    CVector o = GetDirectionOffset(6, 2.0);
    EXPECT_DOUBLE_EQ(o.x, -2.0);
    EXPECT_NEAR(o.y, 0.0, 1e-12);
    // The offset reads the shared tables, bit for bit.
    EXPECT_EQ(GetDirectionOffset(1, 1.0).x, CosTable[45]);
    EXPECT_NE(CosTable[90], 0.0);
}

TEST(Helpers, ClampPointToRect) {
    CRect r(0, 0, 100, 50);
    EXPECT_EQ(ClampPointToRect(r, CPoint(150, -5), 10), CPoint(90, 10));
    EXPECT_EQ(ClampPointToRect(r, CPoint(-5, 70), 10), CPoint(10, 40));
    EXPECT_EQ(ClampPointToRect(r, CPoint(50, 25), 10), CPoint(50, 25));
}

TEST(Helpers, ShowMessageIsRecordedAndCut) {
    AfxClearShownMessages();
    std::vector<UINT> types;
    AfxSetMessageBoxHandler([&](const char*, const char*, UINT type) {
        types.push_back(type);
        return IDOK;
    });
    ShowMessage("ERROR: %s cannot be loaded!", "Data\\x.STE");
    std::string longText(5000, 'x');
    ShowMessage("%s", longText.c_str());
    auto shown = AfxGetShownMessages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], "ERROR: Data\\x.STE cannot be loaded!");
    EXPECT_EQ(shown[1].size(), 4095u);
    EXPECT_EQ(types, (std::vector<UINT>{MB_OK, MB_OK})) << "a plain OK box";
    AfxSetMessageBoxHandler(nullptr);
    AfxClearShownMessages();
}

}  // namespace
