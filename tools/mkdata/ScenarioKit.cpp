// The historical battles' scenario files ("Sezawa.vmd" and the others): each
// a world file like "Default.STE", written by the game's own Serialize code,
// with the two clans of that battle ready for its year: every general of
// both clans alive, rested and at the strength of that year (the early
// battles were fought by smaller armies than the late ones).
#include <algorithm>
#include <iterator>
#include <string>

#include "Animate/MenuPictureNames.h"
#include "core/WorldNames.h"
#include "platform/afx/Afx.h"
#include "tools/mkdata/Kit.h"
#include "tools/mkdata/WorldKit.h"
#include "world/WorldLists.h"

namespace {

struct ScenarioSpec {
    const char* enemy;
    int year;  // the campaign year of the battle
};
// The enemy and the year of each scenario file (in the order of the files'
// table), as the battle catalogue names them.
const ScenarioSpec kScenarios[18] = {
    {"Quarnith", 1542},         {"Quarnith", 1542},
    {"Quarnith", 1548},  {"Quarnith", 1550},
    {"Zem", 1582},          {"Wenmarch", 1575},
    {"Quarnith", 1548},       {"Karsin", 1560},
    {"Quarnith", 1553},       {"Karsin", 1560},
    {"Lask", 1569},           {"Lask", 1569},
    {"Dorneth", 1568},           {"Wenmarch", 1572},
    {"Zem", 1575},           {"Zem", 1575},
    {"Sabe", 1600},         {"Sabe", 1570},
};

// Troops grow with the years: a tenth more every decade after 1542.
double StrengthOfYear(int year) { return 0.8 + 0.1 * (year - 1542) / 10.0; }

std::vector<uint8_t> MakeScenario(const std::vector<uint8_t>& world, const ScenarioSpec& spec) {
    CWorldLists lists;
    {
        CMemFile in(world.data(), world.size());
        CArchive ar(&in, CArchive::load);
        lists.Serialize(ar);
    }
    const int sides[2] = {lists.nations.FindIDByName(kClanNames[1]), lists.nations.FindIDByName(spec.enemy)};
    const double factor = StrengthOfYear(spec.year);
    for (POSITION pos = lists.persons.GetHeadPosition(); pos;) {
        CPerson* p = lists.persons.GetPerson(pos);
        if (p->clan != sides[0] && p->clan != sides[1]) continue;
        p->alive = 1;
        p->active = 1;
        p->value2 = -1;  // no year of death
        p->lastAction = spec.year - 20;
        p->units = std::max(5, int(p->units * factor));
        if (p->state == 1) p->horses = p->units;
    }
    CMemFile out;
    CArchive ar(&out, CArchive::store);
    lists.Serialize(ar);
    ar.Close();
    return out.Data();
}

}  // namespace

KIT_GENERATOR(Scenarios) {
    static_assert(std::size(kScenarios) == std::size(MenuPictures::kScenarioFiles));
    const std::vector<uint8_t> world = DefaultWorldBytes();
    for (size_t i = 0; i < std::size(kScenarios); ++i)
        kit.WriteBytes(std::string("Data\\") + MenuPictures::kScenarioFiles[i], MakeScenario(world, kScenarios[i]));
}
