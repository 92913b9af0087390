// The generated kit's formation lists, loaded once per test program, and the
// walk from an army slot down to the places of its division's units.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "army/FormationList.h"
#include "tests/support/LoadedBattlefield.h"

inline std::string KitFormationFile() { return KitFolder().string() + "/Data/Default Formation Lists A.fed"; }

// The kit's three lists; a failed load fails the calling test.
inline CFormationLists& KitFormationLists() {
    static CFormationLists* lists = [] {
        auto* l = new CFormationLists;
        EXPECT_TRUE(l->Load(KitFormationFile().c_str()));
        return l;
    }();
    return *lists;
}

// Field points of every unit place of a division standing in `div` at `at`
// with `facing`: the division formation's row at the facing, then the
// battalion formation's unit rows at the row's code. Empty when a
// battalion formation is missing.
inline std::vector<CPoint> DivisionPlaces(const CFormationLists& lists, const CDivFormation& div, CPoint at,
                                          int facing) {
    std::vector<CPoint> out;
    for (int row = 0; row < CDivFormation::kRows; ++row) {
        const CBattFormation* batt = lists.batt.FindByID(div.GetBattFormationID(row));
        if (!batt) return {};
        const CPoint r = div.GetSlotPoint(row, facing);
        const int battFacing = div.GetSlotCode(row, facing);
        for (int u = 0; u < CBattFormation::kRows; ++u) {
            const CPoint p = batt->GetSlotPoint(u, battFacing);
            out.push_back(CPoint(at.x + r.x + p.x, at.y + r.y + p.y));
        }
    }
    return out;
}

// Field points of every unit place of the division in `slot` of an army
// standing at `origin` with `facing`: slot point, then the division
// formation's places at the slot's code. Empty when a formation of the
// chain is missing.
inline std::vector<CPoint> UnitPlaces(const CFormationLists& lists, const CArmyFormation& army, int slot, int facing,
                                      CPoint origin) {
    const CDivFormation* div = lists.div.FindByID(army.GetDivFormationID(slot));
    if (!div) return {};
    return DivisionPlaces(lists, *div, origin + army.GetSlotPoint(slot, facing), army.GetSlotValue(slot, facing));
}
