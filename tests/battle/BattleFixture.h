// A main view without a window for the battle's own operations, an army
// that records what the view asks of it, and stand-in pictures for the
// effects and the fog.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Units/Division.h"
#include "Units/Objective.h"
#include "core/Random.h"
#include "shell/OrvaneView.h"

// Records every call as one line of text, in order, into a shared log.
class CRecordingArmy : public IViewArmy {
public:
    CRecordingArmy(int side, std::vector<std::string>* log) : m_side(side), m_log(log) {}
    ~CRecordingArmy() override {
        for (auto& d : m_divisions) delete d;
    }
    CDivision* AddDivision(int id) {
        auto* d = new CDivision;
        d->m_number = id;
        m_divisions.push_back(d);
        return d;
    }
    CDivision* FindDivision(int id) const override {
        for (CDivision* d : m_divisions)
            if (d->m_number == id) return d;
        return nullptr;
    }
    void SendOrder(CDivision* d, CObjective* order, BOOL a, BOOL b) override {
        Log("send d" + std::to_string(d->m_number) + " type " + std::to_string(order->m_type) + " a" +
            std::to_string(a) + " b" + std::to_string(b));
        delete order;
    }
    void ProcessQueuedDivision(int id) override { Log("process d" + std::to_string(id)); }
    void BeatDrum() override { Log("drum"); }
    void AdvanceFront(BOOL b, BOOL a, int amount) override {
        Log("front " + std::to_string(amount) + " b" + std::to_string(b) + " a" + std::to_string(a));
    }
    void OrderAllWithdraw() override { Log("withdraw"); }
    void ApplyFrontStep() override { Log("front step"); }
    void RepositionDivisions(const CCommandFormation& f) override {
        Log("reposition " + std::to_string(int(f.kind)) + " " + std::to_string(f.value));
    }
    void SetVisibilityFactor(double factor) override { visibility = factor; }
    void Update() override { Log("update"); }
    BOOL IsInBattle() const override { return inBattle; }

    double visibility = -1;
    BOOL inBattle = TRUE;

private:
    void Log(const std::string& s) { m_log->push_back("side" + std::to_string(m_side) + " " + s); }
    int m_side;
    std::vector<std::string>* m_log;
    std::vector<CDivision*> m_divisions;
};

// Pictures of `width` x `height` under the ids the effects and the fog use.
inline void AddEffectPictures(COrvaneView& view, int width = 40, int height = 20) {
    for (int id : {401, 402, 403, 421, 430, 431, 432, 433, 440, 441, 442, 443, 444, 445, 446, 447}) {
        auto* s = new CSprite;
        s->CreateEmpty(width, height);
        s->SetId(id);
        view.GetSprites().InsertByDepth(s);
    }
}

struct BattleViewFixture {
    BattleViewFixture() {
        for (int side = 0; side < 2; ++side) {
            armies.push_back(std::make_unique<CRecordingArmy>(side, &log));
            view.BattleArmies[side] = armies.back().get();
        }
    }
    CRecordingArmy& Army(int side) { return *armies[size_t(side)]; }

    std::vector<std::string> log;
    COrvaneView view;
    std::vector<std::unique_ptr<CRecordingArmy>> armies;
};
