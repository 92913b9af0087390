#include "battle/BattleRunner.h"

#include <algorithm>
#include <map>

#include "Animate/BattlePictureNames.h"
#include "army/Army.h"
#include "army/ArmyAI.h"
#include "army/FormationList.h"
#include "battle/ArmyLink.h"
#include "core/Random.h"
#include "field/AltitudeMap.h"
#include "field/BattleGrid.h"
#include "field/BattlefieldFiles.h"
#include "field/BattlefieldTables.h"
#include "field/PathGrid.h"
#include "field/TerrainDB.h"
#include "field/TerrainList.h"
#include "shell/OrvaneView.h"
#include "world/WorldLists.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"

namespace {
// Where the two armies stand at the start, and which way they face.
constexpr int kArmyX[2] = {500, 2500};
constexpr int kFacing[2] = {2, 6};
constexpr int kArmyY = 1000;
// The clan year the battle is fought in, and its date: a summer morning.
constexpr int kYear = 1560 + 428;

}  // namespace

struct CBattleRunner::State {
    CTerrainDB db;
    CTerrainList terrain;
    CTerrainFileInfo info;
    CAltitudeMap altitude;
    CBattleGrid grid;
    CPathGrid routes{15, 15, "", 0};
    CWorldLists world;
    CFormationLists formations;
    std::unique_ptr<CArmy> armies[2];
    std::unique_ptr<CArmyLink> links[2];
    COrvaneView view;

    ~State() {
        view.BattleMissiles.RemoveAll();
        view.ClearOrderQueues();
        view.BattleDivisions.RemoveAll(FALSE);
        view.BattleBattalions.RemoveAll(FALSE);
        view.BattleUnits.RemoveAll(FALSE);
        for (auto& a : armies) a.reset();
        grid.RemoveAll();
    }
};

CBattleRunner::CBattleRunner() : m_state(std::make_unique<State>()) {}
CBattleRunner::~CBattleRunner() = default;

COrvaneView& CBattleRunner::View() { return m_state->view; }
CArmy* CBattleRunner::Army(int side) const { return m_state->armies[side].get(); }
const CBattleGrid& CBattleRunner::Grid() const { return m_state->grid; }
int CBattleRunner::UnitCount() const { return m_state->view.BattleUnits.GetCount(); }

int CBattleRunner::UnitsOnField() const {
    int n = 0;
    const CUnitList& units = m_state->view.BattleUnits;
    for (POSITION pos = units.GetHeadPosition(); pos;) {
        const CUnit* u = units.GetUnit(pos);
        n += u->m_active && u->m_x >= 0 && u->m_y >= 0;
    }
    return n;
}

bool CBattleRunner::Load(const CBattleSetupSpec& spec, std::string& error) {
    State& s = *m_state;
    int field = -1;
    for (int id = 0; id <= 38; ++id)
        if (GetBattlefieldKey(id) == spec.battlefieldKey.c_str()) field = id;
    if (field < 0) return error = "no battlefield " + spec.battlefieldKey, false;
    std::string data = spec.kitFolder + "/Data/";
    if (!s.db.Load((data + "terrain_rect_db.trm").c_str())) return error = "terrain database", false;
    if (!s.altitude.Load(GetDataMapName(data.c_str(), field))) return error = "altitude map", false;
    s.grid.Rebuild(&s.altitude);
    if (!LoadTerrainFile(GetTerrainName(data.c_str(), field), s.info, s.terrain)) return error = "terrain file", false;
    SetupTerrainFeatures(s.terrain, s.db, s.grid);
    BuildBattlefieldPaths(s.grid, GetPathDBName(data.c_str(), field));
    CUnit::BuildRouteGrid(s.grid, s.routes);
    if (!s.formations.Load((data + "Default Formation Lists A.fed").c_str())) return error = "formation lists", false;

    CFile file;
    if (!file.Open((data + spec.scenario).c_str(), CFile::modeRead)) return error = "no " + spec.scenario, false;
    try {
        CArchive ar(&file, CArchive::load);
        s.world.Serialize(ar);
    } catch (...) {
        return error = "cannot read " + spec.scenario, false;
    }

    // The generals of each clan, those with the most men first (in list
    // order among equals).
    std::map<int, std::vector<CPerson*>> byClan;
    for (POSITION pos = s.world.persons.GetHeadPosition(); pos;) {
        CPerson* p = s.world.persons.GetPerson(pos);
        if (p->IsVeteran() && p->alive) byClan[p->clan].push_back(p);
    }
    for (auto& [clan, generals] : byClan)
        std::stable_sort(generals.begin(), generals.end(),
                         [](const CPerson* a, const CPerson* b) { return a->units > b->units; });
    // Unless named, the two clans with the most generals (the lower number
    // among equals).
    int clans[2] = {spec.clans[0], spec.clans[1]};
    for (int side = 0; side < 2; ++side) {
        if (clans[side] >= 0) continue;
        size_t most = 1;
        for (auto& [clan, generals] : byClan)
            if (generals.size() > most && clan != clans[0] && clan != clans[1]) {
                clans[side] = clan;
                most = generals.size();
            }
    }

    GameSrand(spec.seed);
    RandCallCount = 0;
    COrvaneView& view = s.view;
    for (int side = 0; side < 2; ++side) {
        const std::vector<CPerson*>& generals = byClan[clans[side]];
        if (generals.empty()) return error = "a clan without generals", false;
        auto army = std::make_unique<CArmy>(side, -1, true);
        int count = std::min<int>(int(generals.size()), std::clamp(spec.divisionsOf[side] >= 0 ? spec.divisionsOf[side] : spec.divisionsPerSide, 1, 15));
        for (int i = 0; i < count; ++i) {
            auto* d = new CDivision(i, kArmyX[side], kArmyY, army.get());
            d->CreateBattalions(generals[size_t(i)]->id, s.world.persons);
            army->m_divisions.InsertSorted(d);
        }
        army->Setup(&s.formations.army, spec.formation[side], &s.grid, kArmyX[side], kArmyY, kFacing[side]);
        // Where the army was placed, as the tactic screen places it.
        army->m_armyPoint = CPoint(kArmyX[side], kArmyY);
        // The divisions stand in their slots of the army's formation; the
        // detachments wait off the field until they arrive.
        for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
            CDivision* d = army->m_divisions.GetDivision(dp);
            CPoint at(-1000, -1000);
            if (d->m_number < CArmyFormation::kSlots && army->m_formation) {
                at = CPoint(kArmyX[side], kArmyY) + army->m_formation->GetSlotPoint(d->m_number, kFacing[side]);
                at.x = std::clamp(int(at.x), 150, 2850);
                at.y = std::clamp(int(at.y), 150, 1850);
            }
            // Each division in the formation its slot names, facing the
            // slot's way.
            int formation = 15, facing = kFacing[side];
            if (d->m_number < CArmyFormation::kSlots && army->m_formation) {
                formation = army->m_formation->GetDivFormationID(d->m_number);
                facing = army->m_formation->GetSlotValue(d->m_number, kFacing[side]);
            }
            d->Setup(&s.formations.div, formation, &s.grid, at.x, at.y, facing);
            // The battalions on their slots, as the tactic screen places
            // them; the men stand once they know their kinds (below).
            d->SetupBattalions(&s.formations.batt);
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) d->m_battalions.GetBattalion(bp)->m_grid = &s.grid;
        }
        army->m_humanControlled = spec.computer[side] ? 0 : 1;
        army->SetBattleAI(std::make_unique<CArmyAI>());
        if (spec.computer[side]) army->SetAILevel(spec.aiLevel[side]);
        s.links[side] = std::make_unique<CArmyLink>(army.get());
        view.Armies[side] = army.get();
        view.BattleClans[side] = clans[side];
        view.BattleArmies[side] = s.links[side].get();
        s.armies[side] = std::move(army);
    }
    view.LocalSide = 0;
    view.OtherSide = 1;
    view.SetupBattleArmies();
    // Every unit now has its kind, and so its size: the men stand in their
    // battalions' places.
    for (auto& army : s.armies)
        for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
            CDivision* d = army->m_divisions.GetDivision(dp);
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
                CBattalion* b = d->m_battalions.GetBattalion(bp);
                b->StandUnits(b->m_facing);
            }
        }
    view.BattleTerrain = &s.terrain;
    view.PlaceBattleUnits(&s.grid, &s.routes);
    view.BattleTick = 0;
    view.StepCount = 1;
    // The pictures of the weather and the puffs, from the kit.
    std::string pictures = spec.kitFolder + "/Pictures/";
    static const int kWeatherIds[4] = {401, 402, 403, 421};
    for (int i = 0; i < 4; ++i)
        view.LoadSpriteSet((pictures + kWeatherPictures[i] + ".giz").c_str(), TRUE, kWeatherIds[i], 1, 1, -1);
    static const int kPuffIds[12] = {430, 431, 432, 433, 440, 441, 442, 443, 444, 445, 446, 447};
    for (int i = 0; i < 12; ++i)
        view.LoadSpriteSet((pictures + kBattleEffectPictures[i] + ".giz").c_str(), TRUE, kPuffIds[i], 1, 1, 0);
    view.Weather.clock = CGameTime(kYear, 6, 15, 8, 0);
    view.InitWeather(view.Weather.clock);
    view.IssueOpeningOrders();
    s.armies[0]->ResolveDetachments();
    return true;
}

void CBattleRunner::Script(const CScriptedOrder& order) {
    m_script.push_back(order);
    std::stable_sort(m_script.begin(), m_script.end(),
                     [](const CScriptedOrder& a, const CScriptedOrder& b) { return a.tick < b.tick; });
}

void CBattleRunner::ScriptAttackAcross(uint32_t tick, int only) {
    for (int side = 0; side < 2; ++side) {
        if (only >= 0 && side != only) continue;
        const CArmy* army = m_state->armies[side].get();
        if (!army) continue;
        for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
            const CDivision* d = army->m_divisions.GetDivision(dp);
            Script(CScriptedOrder{tick, side, d->m_number, ORDER_ALLOUT_ATTACK, 3000 - d->m_x, d->m_y});
        }
    }
}

bool CBattleRunner::Step() {
    COrvaneView& view = m_state->view;
    for (const CScriptedOrder& o : m_script) {
        if (o.tick != view.BattleTick || o.side < 0 || o.side > 1) continue;
        CDivision* d = view.BattleArmies[o.side]->FindDivision(o.divisionId);
        if (!d) continue;
        view.QueueTargetOrder(d, new CObjective(o.type, o.x, o.y), o.side, o.tick, 255, 0, 1, 1);
        m_saved.push_back(o);
    }
    return view.RunBattleStep() != FALSE;
}

CBattleResult CBattleRunner::Run(uint32_t tickLimit, std::vector<int32_t>* randCallsByTick) {
    bool going = true;
    while (going && m_state->view.BattleTick < tickLimit) {
        going = Step();
        if (randCallsByTick) randCallsByTick->push_back(RandCallCount);
    }
    CBattleResult r = Result();
    r.ended = !going;
    return r;
}

CBattleResult CBattleRunner::Result() const {
    CBattleResult r;
    r.ticks = m_state->view.BattleTick;
    r.randCalls = RandCallCount;
    for (int side = 0; side < 2; ++side) {
        const CArmy* army = m_state->armies[side].get();
        CBattleSideResult& s = r.sides[side];
        if (!army) continue;
        s.inBattle = army->m_active;
        s.divisions = army->m_divisions.GetCount();
        for (POSITION dp = army->m_divisions.GetHeadPosition(); dp;) {
            const CDivision* d = army->m_divisions.GetDivision(dp);
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
                const CBattalion* b = d->m_battalions.GetBattalion(bp);
                for (POSITION up = b->m_units.GetHeadPosition(); up;) {
                    const CUnit* u = b->m_units.GetUnit(up);
                    ++s.units;
                    if (!u->m_dead && !u->m_lost) ++s.liveUnits;
                    s.morale += u->m_morale;
                }
            }
        }
    }
    return r;
}

std::vector<double> CBattleRunner::Snapshot() const {
    std::vector<double> out;
    const CUnitList& units = m_state->view.BattleUnits;
    for (POSITION pos = units.GetHeadPosition(); pos;) {
        const CUnit* u = units.GetUnit(pos);
        out.push_back(u->m_exactPos.x);
        out.push_back(u->m_exactPos.y);
        out.push_back(u->m_x);
        out.push_back(u->m_y);
        out.push_back(u->m_morale);
    }
    return out;
}
