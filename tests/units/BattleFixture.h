// A headless battle on a kit battlefield: two small test armies whose
// divisions are made from the kit world's generals, fixed formations, and
// the battle's per-tick order of updates (divisions, battalions, units,
// missiles, the units' ground). Every tick is recorded (unit positions and
// the counted draws) so that two runs can be compared.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "core/Random.h"
#include "Units/Battalion.h"
#include "Units/DivList.h"
#include "Units/Division.h"
#include "Units/Missile.h"
#include "Units/Unit.h"
#include "world/WorldLists.h"
#include "tests/support/LoadedBattlefield.h"
#include "tests/units/UnitsFixtures.h"

// Battalions side by side across the facing, 330 apart.
class CTestDivFormation : public IDivFormation {
public:
    int GetNumber() const override { return 1; }
    CPoint GetSlotPoint(int slot, int facing) const override { return Offset((slot - 1.5) * 330, 0, facing); }
    int GetSlotCode(int, int facing) const override { return facing; }
    int GetSlotValue(int) const override { return 1; }
    int LookupMappedID(int) const override { return 0; }

    // `across` to the right of the facing, `ahead` along it.
    static CPoint Offset(double across, double ahead, int facing) {
        CVector right = GetDirectionOffset(CArmyElement::NormalizeDirection(facing + 2), 1.0);
        CVector front = GetDirectionOffset(CArmyElement::NormalizeDirection(facing), 1.0);
        return CPoint(int(right.x * across + front.x * ahead), int(right.y * across + front.y * ahead));
    }
};

// Two ranks of five, 60 apart: a unit passes between two of the rank before it.
class CTestBattFormation : public IBattFormation {
public:
    int GetNumber() const override { return 1; }
    CPoint GetSlotPoint(int slot, int facing) const override {
        return CTestDivFormation::Offset((slot % 5 - 2) * 60, -(slot / 5) * 60, facing);
    }
    int GetSlotCode(int, int facing) const override { return facing; }
};

class CTestFormations : public IDivFormationList {
public:
    IDivFormation* FindByID(int id) const override { return id == 1 ? const_cast<CTestDivFormation*>(&div) : nullptr; }
    CTestDivFormation div;
    CTestBattFormation batt;
};

class CTestBattFormationList : public IBattFormationList {
public:
    explicit CTestBattFormationList(CTestBattFormation* f) : m_f(f) {}
    IBattFormation* FindByID(int id) const override { return id == 1 ? m_f : nullptr; }

private:
    CTestBattFormation* m_f;
};

// The fake army with a tick, an opponent, its divisions and the facing
// its units run toward when they break.
class CTestArmy : public CFakeArmy {
public:
    int GetTick() const override { return tick; }
    void AdjustMorale(double d) override {
        for (CDivision* division : divisions)
            for (POSITION pos = division->m_battalions.GetHeadPosition(); pos;)
                division->m_battalions.GetBattalion(pos)->AdjustMorale(d);
    }
    IBattleArmy* GetOpposingArmy() const override { return opponent; }
    UnitArmyConditions GetUnitConditions() const override {
        UnitArmyConditions c;
        c.facing = facing;
        c.commanderInField = commander != nullptr;
        return c;
    }

    int facing = 2, tick = 0;
    IBattleArmy* opponent = nullptr;
    std::vector<CDivision*> divisions;
};

// One tick's record: every unit's position and the draws so far.
struct TickRecord {
    std::vector<CPoint> positions;
    int32_t draws = 0;
    bool operator==(const TickRecord& o) const { return positions == o.positions && draws == o.draws; }
};

class CHeadlessBattle {
public:
    explicit CHeadlessBattle(int fieldId) : field(fieldId), routes(15, 15, "", 0), battList(&formations.batt) {
        CUnit::BuildRouteGrid(field.grid, routes);
        GameSrand(12345);
        RandCallCount = 0;
        std::string path = KitFile("Data\\Default.STE");
        CFile file;
        EXPECT_TRUE(file.Open(path.c_str(), CFile::modeRead)) << path;
        CArchive ar(&file, CArchive::load);
        world.Serialize(ar);
        for (POSITION pos = world.persons.GetHeadPosition(); pos;) {
            CPerson* p = world.persons.GetPerson(pos);
            if (p->IsVeteran() && p->alive) byClan[p->clan].push_back(p);
        }
        for (auto& [clan, generals] : byClan)
            if (generals.size() >= 2) clans.push_back(&generals);
        armies[0].number = 0, armies[0].facing = 2;
        armies[1].number = 1, armies[1].facing = 6;
        armies[0].opponent = &armies[1];
        armies[1].opponent = &armies[0];
    }
    ~CHeadlessBattle() {
        missiles.RemoveAll();
        for (CDivList& list : lists) list.RemoveAll(TRUE);
        allUnits.RemoveAll(FALSE);
    }

    // The first general of the side's clan whose command makes battalions
    // of `type` (-1: any), as a division at (x, y) facing `facing`.
    CDivision* AddDivision(int side, int x, int y, int facing, int armType = -1, int minBattalions = 1) {
        CTestArmy& army = armies[side];
        // The side's own clan first; an arm it lacks is lent by another clan.
        std::vector<CPerson*> generals = *clans.at(side);
        for (size_t c = 0; c < clans.size(); ++c)
            if (int(c) != side) generals.insert(generals.end(), clans[c]->begin(), clans[c]->end());
        for (CPerson* g : generals) {
            if (used.count(g) || (armType >= 0 && g->state != armType)) continue;
            used[g] = true;
            auto* d = new CDivision(int(army.divisions.size()), x, y, &army);
            if (!d->CreateBattalions(g->id, world.persons) || d->m_battalions.GetCount() < minBattalions) {
                used.erase(g);
                delete d;
                continue;
            }
            d->Setup(&formations, 1, &field.grid, x, y, facing);
            for (POSITION pos = d->m_battalions.GetHeadPosition(); pos;) {
                CBattalion* b = d->m_battalions.GetBattalion(pos);
                CPoint at = CPoint(x, y) + formations.div.GetSlotPoint(b->m_number, facing);
                b->Setup(&battList, 1, &field.grid, at.x, at.y, facing);
                b->m_commandFactor = 0.5;
                b->m_action.SetOrder(nullptr, &formations.batt);
                PlaceUnits(b, side, at, facing);
            }
            d->RecountBattalions();  // as the battle set-up counts every division's units
            d->m_action.m_x = x, d->m_action.m_y = y, d->m_action.m_facing = facing;
            d->m_facing = facing;
            lists[side].Add(d);
            army.divisions.push_back(d);
            return d;
        }
        ADD_FAILURE() << "no general of arm " << armType << " left on side " << side;
        return nullptr;
    }

    // The kit's generals command no riflemen: the division is armed with
    // rifles as the battle set-up would arm a rifle general's men.
    void MakeRiflemen(CDivision* d) {
        for (POSITION pos = d->m_battalions.GetHeadPosition(); pos;) {
            CBattalion* b = d->m_battalions.GetBattalion(pos);
            b->m_battType = 4;
            for (POSITION u = b->m_units.GetHeadPosition(); u;) {
                CUnit* unit = b->m_units.GetUnit(u);
                if (unit->m_number == 0) continue;
                CRect old = unit->m_rcOccupied;
                unit->SetKindAndIcon(KIND_RIFLEMAN, nullptr, 0);
                unit->m_typeValue = KIND_RIFLEMAN;
                (void)old;
            }
        }
    }

    static int KindFor(int battType, int number, int battalion) {
        if (number == 0) {
            if (battalion == 0) return KIND_GENERAL;
            return battType == 1 ? KIND_CAPTAIN_ON_HORSE : KIND_CAPTAIN;
        }
        static constexpr int kKinds[5] = {KIND_SWORDMAN, KIND_CAVALRY, KIND_ARCHER, KIND_SPEARMAN, KIND_RIFLEMAN};
        return kKinds[battType >= 0 && battType < 5 ? battType : 0];
    }

    void PlaceUnits(CBattalion* b, int side, CPoint at, int facing) {
        for (POSITION pos = b->m_units.GetHeadPosition(); pos;) {
            CUnit* u = b->m_units.GetUnit(pos);
            u->SetKindAndIcon(KindFor(b->m_battType, u->m_number, b->m_number), nullptr, 0);
            u->m_grid = &field.grid;
            u->m_routeGrid = &routes;
            u->m_sideId = u->m_armyId = u->m_ownerNumber = side;
            u->m_typeValue = u->m_kind;
            u->m_facing = facing;
            CPoint p = at + formations.batt.GetSlotPoint(u->m_number, facing);
            u->SetPositionExact(CVector(p.x, p.y), FALSE, FALSE);
            EXPECT_TRUE(u->PlaceFree()) << "no room for a unit at " << p.x << "," << p.y;
            u->m_slot = CObjective(11, u->m_x, u->m_y, -1, facing);
            u->m_action.SetOrder(&u->m_slot, nullptr);
            u->SetBehaviour(11);
            allUnits.AddTail(u);
        }
    }

    // Orders a division as its army would.
    void Order(CDivision* d, int type, int x, int y, int facing) {
        d->ReceiveOrder(new CObjective(type, x, y, 1, facing), TRUE);
    }

    void Trace() const {
        for (const CDivList& list : lists)
            for (POSITION pos = list.GetHeadPosition(); pos;) {
                const CDivision* d = list.GetDivision(pos);
                std::printf("t%d div%d %d,%d act %d (%d,%d) idle %d plan %d\n", armies[0].tick, d->m_number, d->m_x, d->m_y,
                            d->m_action.m_type, d->m_action.m_x, d->m_action.m_y, d->m_idle, d->m_plan.GetCount());
                for (POSITION b = d->m_battalions.GetHeadPosition(); b;) {
                    const CBattalion* bt = d->m_battalions.GetBattalion(b);
                    std::printf("  batt%d type %d %d,%d act %d (%d,%d) halted %d reached %d legs %d inc %d routed %d\n", bt->m_number,
                                bt->m_battType, bt->m_x, bt->m_y, bt->m_action.m_type, bt->m_action.m_x, bt->m_action.m_y,
                                bt->m_halted, bt->m_standingReached, bt->m_objectives.GetCount(), bt->m_incoming.GetCount(), bt->m_routed);
                    for (POSITION u = bt->m_units.GetHeadPosition(); u;) {
                        const CUnit* un = bt->m_units.GetUnit(u);
                        std::printf("    u%d k%d %d,%d beh %d act (%d,%d) steps %d pend %d blk %d arr %d hc %d mor %.0f\n", un->m_number,
                                    un->m_kind, un->m_x, un->m_y, un->GetBehaviour(), un->m_action.m_x, un->m_action.m_y,
                                    un->m_steps.GetCount(), un->m_pending.GetCount(), un->m_blockedTicks, un->m_arrived,
                                    un->m_headCount, un->m_morale);
                    }
                }
            }
    }

    void Tick() {
        if (getenv("TRACE") && armies[0].tick % atoi(getenv("TRACE")) == 0) Trace();
        ++armies[0].tick, ++armies[1].tick;
        for (CDivList& list : lists) list.UpdateAll();
        for (CDivList& list : lists)
            for (POSITION pos = list.GetHeadPosition(); pos;) list.GetDivision(pos)->m_battalions.UpdateAll();
        allUnits.SortByBlockedCount();
        for (POSITION pos = allUnits.GetHeadPosition(); pos;) {
            CUnit* u = allUnits.GetUnit(pos);
            u->Tick();
            missiles.TakeFrom(u);
        }
        missiles.StepAll(&field.grid);
        allUnits.UpdateAll();
    }

    // Runs `ticks` ticks (or until `done`), recording each.
    std::vector<TickRecord> Run(int ticks, const std::function<bool()>& done = nullptr) {
        std::vector<TickRecord> records;
        for (int t = 0; t < ticks; ++t) {
            Tick();
            records.push_back(Record());
            if (done && done()) break;
        }
        return records;
    }

    // Positions in the units' creation order (not the re-sorted list's).
    TickRecord Record() const {
        TickRecord r;
        for (const CDivList& list : lists)
            for (POSITION pos = list.GetHeadPosition(); pos;) {
                const CDivision* d = list.GetDivision(pos);
                for (POSITION b = d->m_battalions.GetHeadPosition(); b;) {
                    const CBattalion* bt = d->m_battalions.GetBattalion(b);
                    for (POSITION u = bt->m_units.GetHeadPosition(); u;) r.positions.push_back(bt->m_units.GetUnit(u)->GetPosition());
                }
            }
        r.draws = RandCallCount;
        return r;
    }

    // Units whose body stands on an obstacle or a feature of the ground.
    int UnitsOnBlockedGround() const {
        int n = 0;
        for (POSITION pos = allUnits.GetHeadPosition(); pos;) {
            const CUnit* u = allUnits.GetUnit(pos);
            if (!u->m_placed || !u->m_active) continue;
            CRect body = u->m_bodyRect;
            body.OffsetRect(u->m_x, u->m_y);
            if (u->IsGroundBlocked(body)) ++n;
        }
        return n;
    }

    static void ForUnits(const CDivision* d, const std::function<void(CUnit*)>& fn) {
        for (POSITION b = d->m_battalions.GetHeadPosition(); b;) {
            const CBattalion* bt = d->m_battalions.GetBattalion(b);
            for (POSITION u = bt->m_units.GetHeadPosition(); u;) fn(bt->m_units.GetUnit(u));
        }
    }

    LoadedField field;
    CPathGrid routes;
    CTestFormations formations;
    CTestBattFormationList battList;
    CWorldLists world;
    std::map<int, std::vector<CPerson*>> byClan;
    std::vector<std::vector<CPerson*>*> clans;
    std::map<CPerson*, bool> used;
    CTestArmy armies[2];
    CDivList lists[2];
    CUnitList allUnits;  // not owning
    CMissileList missiles;
};
