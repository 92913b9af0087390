// A battle run without a screen: a battlefield of the data kit, two clans'
// armies from a world file, a seed and a script of division orders at
// ticks. The battle runs through the main view's own step (orders, weather,
// divisions, battalions, units, armies, terrain) until one army leaves the
// field or a tick limit is reached. Tests prove determinism with it and the
// benchmarks time its step.
//
// The runner owns the view, the battlefield, the world, the formation lists
// and both armies; it is the one battle of the process while it lives (the
// counted generator is process-wide).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class COrvaneView;
class CBattleGrid;
class CArmy;

// One division order of the script: division `divisionId` of `side` is
// given order `type` toward (x, y) at `tick`.
struct CScriptedOrder {
    uint32_t tick = 0;
    int32_t side = 0;
    int32_t divisionId = 0;
    int32_t type = 16;
    int32_t x = 0, y = 0;
    bool operator==(const CScriptedOrder&) const = default;
};

struct CBattleSetupSpec {
    std::string kitFolder;                // the data kit's root
    std::string battlefieldKey = "A1M";
    std::string scenario = "Default.STE";  // a world file of the kit's "Data" folder
    int32_t clans[2] = {-1, -1};           // -1: the clans with the most generals
    uint32_t seed = 1;
    int32_t divisionsPerSide = 15;         // at most; the clan's generals may be fewer
    int32_t divisionsOf[2] = {-1, -1};     // per side, in place of divisionsPerSide when not -1
    bool computer[2] = {false, true};      // the computer commands the side; else the player's script
    int32_t aiLevel[2] = {3, 3};           // the computer's skill, 1..5
    int32_t formation[2] = {-2, -2};       // the army formation's id; -2: a preset at random
};

// What a battle leaves: per side whether its army is still in the battle,
// its divisions, its units still standing and their morale.
struct CBattleSideResult {
    int32_t inBattle = 0;
    int32_t divisions = 0;
    int32_t units = 0;
    int32_t liveUnits = 0;
    double morale = 0;
    bool operator==(const CBattleSideResult&) const = default;
};

struct CBattleResult {
    uint32_t ticks = 0;
    bool ended = false;
    int32_t randCalls = 0;
    CBattleSideResult sides[2];
};

class CBattleRunner {
public:
    CBattleRunner();
    ~CBattleRunner();
    CBattleRunner(const CBattleRunner&) = delete;
    CBattleRunner& operator=(const CBattleRunner&) = delete;

    // Loads the battlefield, the world and the formation lists, builds and
    // places both armies, seeds the generator, sets up the weather and
    // queues the opening orders.
    // FALSE, with `error` saying why, when something cannot be loaded.
    bool Load(const CBattleSetupSpec& spec, std::string& error);
    // Adds an order to the script (any order of ticks).
    void Script(const CScriptedOrder& order);
    // Scripts every division of `side` (-1: of both sides) to attack all out
    // straight across the field at `tick`.
    void ScriptAttackAcross(uint32_t tick, int side = -1);
    // Runs until an army leaves the battle or `tickLimit` ticks have run.
    // `randCallsByTick`, when given, receives the random-call count after
    // every step.
    CBattleResult Run(uint32_t tickLimit, std::vector<int32_t>* randCallsByTick = nullptr);
    // One simulation step; false when the battle is over.
    bool Step();

    // The orders as they entered the order queue: running them as a script
    // replays the battle.
    const std::vector<CScriptedOrder>& SavedOrders() const { return m_saved; }
    // Every unit's position and morale, in the unit list's order.
    std::vector<double> Snapshot() const;
    CBattleResult Result() const;
    COrvaneView& View();
    CArmy* Army(int side) const;
    // The battlefield's grid (its coarse path grid tells passable ground).
    const CBattleGrid& Grid() const;
    int UnitCount() const;
    // Units standing on the field: neither fallen, gone nor waiting off it.
    int UnitsOnField() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
    std::vector<CScriptedOrder> m_script;
    std::vector<CScriptedOrder> m_saved;
};
