// The soldiers of the generated kit, read the way the battle reads them:
// every unit set of every clan that fights is cut by the game's own
// run-length loader into the grid and cells of the shared table, every
// cell holds a man, the eight facings are eight views of him, lit from the
// same side, and his walk moves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Animate/AnimView.h"
#include "Animate/DIB.h"
#include "Animate/RLESprite.h"
#include "Units/Unit.h"
#include "Units/UnitSets.h"
#include "core/WorldNames.h"

namespace {

std::string UnitSetFile(int clan, const UnitSets::Spec& spec) {
    const char* kit = std::getenv("VELMOR_KIT");
    return std::string(kit ? kit : "") + "\\Pictures\\Unit Sets\\" + kClanNames[clan] + spec.suffix + ".giz";
}

// The cell's pixels as palette indices, key pixels as -1, row by row.
std::vector<int> Cell(const RLESprite& s, int column, int row) {
    std::vector<int> px;
    for (int r = 0; r < s.GetHeight(); ++r) {
        const BYTE* tok = s.GetFrameRow(column, row, r);
        int col = 0;
        while (col < s.GetWidth()) {
            if (tok == nullptr) {
                px.push_back(-1), ++col;
            } else if (*tok == 0) {  // the key is index 0 in the kit's sprites
                for (int n = tok[1]; n > 0; --n) px.push_back(-1), ++col;
                tok += 2;
            } else {
                px.push_back(*tok++), ++col;
            }
        }
    }
    return px;
}

std::vector<int> Mirrored(const std::vector<int>& cell, int width) {
    std::vector<int> m(cell.size());
    for (size_t i = 0; i < cell.size(); ++i) m[i] = cell[i - i % width + (width - 1 - i % width)];
    return m;
}

TEST(UnitSetsKit, EveryClanLoadsEverySetInTheSharedGrid) {
    for (int clan = UnitSets::kFirstBattleClan; clan <= UnitSets::kLastBattleClan; ++clan) {
        CAnimView view;
        for (const UnitSets::Spec& spec : UnitSets::kSets) {
            const std::string file = UnitSetFile(clan, spec);
            SCOPED_TRACE(file);
            // The picture is exactly the grid: the loader would quietly drop
            // a remainder and shift every frame.
            CDIB picture;
            ASSERT_TRUE(picture.Load(file.c_str()));
            EXPECT_EQ(picture.PictureWidth(), spec.columns * spec.cellWidth);
            EXPECT_EQ(picture.PictureHeight(), spec.rows * spec.cellHeight);

            CSprite* loaded = view.LoadRLESprite(file.c_str(), spec.id, spec.rows, spec.columns);
            ASSERT_NE(loaded, CAnimView::s_pFallbackSprite);
            auto* set = dynamic_cast<RLESprite*>(loaded);
            ASSERT_NE(set, nullptr);
            ASSERT_TRUE(set->HasFrames()) << "not an 8-bit picture";
            EXPECT_EQ(set->GetRowCount(), spec.rows);
            EXPECT_EQ(set->GetColumnCount(), spec.columns);
            EXPECT_EQ(set->GetWidth(), spec.cellWidth);
            EXPECT_EQ(set->GetHeight(), spec.cellHeight);
            EXPECT_EQ(view.GetSprites().Find(spec.id), loaded);

            for (int facing = 0; facing < spec.rows; ++facing)
                for (int c = 0; c < spec.columns; ++c) {
                    const std::vector<int> cell = Cell(*set, c, facing);
                    int drawn = 0;
                    for (int v : cell) drawn += v >= 0;
                    EXPECT_GT(drawn, spec.cellWidth * spec.cellHeight / 30)
                        << "facing " << facing << " frame " << c << " is (nearly) empty";
                }
            // Each facing is its own view, and his walk moves in every one.
            for (int facing = 0; facing < spec.rows; ++facing) {
                EXPECT_NE(Cell(*set, 0, facing), Cell(*set, 0, (facing + 1) % spec.rows)) << "facing " << facing;
                for (int c = 0; c < 7; ++c)
                    EXPECT_NE(Cell(*set, c, facing), Cell(*set, c + 1, facing))
                        << "facing " << facing << " walk frame " << c;
            }
            // West is east turned about, not east mirrored: the light still
            // falls from the north-west.
            EXPECT_NE(Cell(*set, 0, 6), Mirrored(Cell(*set, 0, 2), spec.cellWidth));
        }
        // The dot that stands for a unit seen from afar.
        CSprite* dot = view.LoadSpriteSet(UnitSetFile(clan, UnitSets::kDot).c_str(), TRUE, UnitSets::kDot.id, 1, 1, -1);
        ASSERT_NE(dot, nullptr) << kClanNames[clan];
        EXPECT_EQ(dot->GetWidth(), UnitSets::kDot.cellWidth);
        EXPECT_EQ(dot->GetHeight(), UnitSets::kDot.cellHeight);
    }
}

// Every frame a unit of each kind steps through lies in its set: the kit's
// columns and the units' frame ranges agree.
TEST(UnitSetsKit, EveryFrameAUnitShowsIsInItsSet) {
    for (int kind = 0; kind < 9; ++kind) {
        const UnitSets::Spec* spec = UnitSets::ForKind(kind);
        ASSERT_NE(spec, nullptr) << "kind " << kind;
        CUnit unit;
        unit.SetKindAndIcon(kind, nullptr, 0);
        const UnitFrames& f = unit.m_frames;
        const BYTE* pairs[] = {f.route, f.close, f.back, f.charge, f.flee, f.rangeF, f.rangeG, f.rangeH, f.death};
        for (const BYTE* p : pairs) {
            EXPECT_LT(p[0], spec->columns) << spec->suffix;
            EXPECT_LT(p[1], spec->columns) << spec->suffix;
        }
        EXPECT_LT(f.rest, spec->columns) << spec->suffix;
    }
}

// The clans are told apart by colour: the same man of two clans is drawn
// in different colours.
TEST(UnitSetsKit, ClansWearTheirOwnColours) {
    const UnitSets::Spec& infantry = UnitSets::kSets[0];
    std::vector<std::vector<uint32_t>> men;
    for (int clan = UnitSets::kFirstBattleClan; clan <= UnitSets::kLastBattleClan; ++clan) {
        CDIB picture;
        ASSERT_TRUE(picture.Load(UnitSetFile(clan, infantry).c_str()));
        std::vector<uint32_t> colours;
        for (int y = 4 * infantry.cellHeight; y < 5 * infantry.cellHeight; ++y)
            for (int x = 0; x < infantry.cellWidth; ++x) {
                const RGBQUAD& q = picture.GetBitmapInfo()->bmiColors[*picture.GetPixelAddress(x, y)];
                colours.push_back(q.rgbRed << 16 | q.rgbGreen << 8 | q.rgbBlue);
            }
        for (const auto& other : men) EXPECT_NE(colours, other) << kClanNames[clan];
        men.push_back(colours);
    }
}

}  // namespace
