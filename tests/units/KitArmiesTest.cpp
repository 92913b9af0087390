// Both armies of a battle built from the kit's world: each clan's generals
// make divisions from their commands as the tactic screen assigns them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "Units/Battalion.h"
#include "Units/DivList.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "world/WorldLists.h"
#include "tests/support/TestFolders.h"
#include "tests/units/UnitsFixtures.h"

namespace fs = std::filesystem;

namespace {

TEST(KitArmiesTest, TwoClansGeneralsMakeFullArmiesWithoutAMessage) {
    fs::path path = KitFile("Data\\Default.STE");
    ASSERT_TRUE(fs::exists(path)) << path;

    CWorldLists world;
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    {
        CArchive ar(&file, CArchive::load);
        world.Serialize(ar);
    }
    CPersonList& persons = world.persons;

    // The clans' veterans, in list order.
    std::map<int, std::vector<CPerson*>> byClan;
    for (POSITION pos = persons.GetHeadPosition(); pos;) {
        CPerson* p = persons.GetPerson(pos);
        if (p->IsVeteran() && p->alive) byClan[p->clan].push_back(p);
    }
    std::vector<std::vector<CPerson*>*> sides;
    for (auto& [clan, generals] : byClan)
        if (sides.size() < 2 && generals.size() >= 2) sides.push_back(&generals);
    ASSERT_EQ(sides.size(), 2u) << "the kit's world has two clans with generals";

    AfxClearShownMessages();
    CFakeArmy armies[2];
    CDivList lists[2];
    for (int side = 0; side < 2; ++side) {
        armies[side].number = side;
        const auto& generals = *sides[side];
        int made = 0;
        for (size_t i = 0; i < generals.size() && made < 15; ++i) {
            auto* d = new CDivision(made, side ? 2500 : 500, 200 + 100 * made, &armies[side]);
            ASSERT_TRUE(d->CreateBattalions(generals[i]->id, persons));
            d->Setup(nullptr, 15, nullptr, d->m_x, d->m_y, side ? 6 : 2);
            for (POSITION pos = d->m_battalions.GetHeadPosition(); pos;)
                d->m_battalions.GetBattalion(pos)->Setup(nullptr, 0, nullptr, d->m_x, d->m_y, d->m_facing);
            lists[side].Add(d);
            ++made;
        }
        SCOPED_TRACE(side);
        EXPECT_EQ(armies[side].commander, generals[0]);
        EXPECT_GE(lists[side].GetCount(), 2);
        EXPECT_LE(lists[side].GetCount(), 15);
        for (POSITION pos = lists[side].GetHeadPosition(); pos;) {
            const CDivision* d = lists[side].GetDivision(pos);
            int battalions = d->m_battalions.GetCount();
            EXPECT_GE(battalions, 1);
            EXPECT_LE(battalions, 4);
            EXPECT_EQ(d->GetBattalionCount(FALSE), battalions);
            EXPECT_EQ(d->m_ownerNumber, side);
            EXPECT_GE(d->m_type, 0);
            EXPECT_LE(d->m_type, 4);
            for (POSITION b = d->m_battalions.GetHeadPosition(); b;) {
                const CBattalion* bt = d->m_battalions.GetBattalion(b);
                EXPECT_GE(bt->m_units.GetCount(), 1);
                EXPECT_LE(bt->m_units.GetCount(), 10);
                EXPECT_EQ(bt->m_liveUnits, bt->m_units.GetCount());
                EXPECT_EQ(bt->m_ownerNumber, side);
                EXPECT_NE(bt->m_general, nullptr);
            }
        }
    }
    EXPECT_TRUE(AfxGetShownMessages().empty());
    EXPECT_GT(lists[0].GetTotalStrength(), 0);
    EXPECT_GT(lists[1].GetTotalStrength(), 0);
    lists[0].RemoveAll(TRUE);
    lists[1].RemoveAll(TRUE);
}

}  // namespace
