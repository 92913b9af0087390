// One side's army as the battle view commands it: what the order queue, the
// weather and the battle step call. The army (army/ CArmy) stands behind it;
// the view reaches it only through here, so the queue and the weather are
// built and tested on their own.
#pragma once

#include "battle/OrderRecords.h"
#include "platform/afx/AfxTypes.h"

class CDivision;
class CObjective;

class IViewArmy {
public:
    virtual ~IViewArmy() = default;
    // The army's division with id `id`, null when it has none.
    virtual CDivision* FindDivision(int id) const = 0;
    // Hands `order` (now the army's) to `division`.
    virtual void SendOrder(CDivision* division, CObjective* order, BOOL optionA, BOOL optionB) = 0;
    virtual void ProcessQueuedDivision(int divisionId) = 0;
    virtual void BeatDrum() = 0;
    virtual void AdvanceFront(BOOL flagB, BOOL flagA, int amount) = 0;
    virtual void OrderAllWithdraw() = 0;
    virtual void ApplyFrontStep() = 0;
    // Moves the divisions into the formation `which` names on the army's own
    // formation list; nothing when the list has no such formation.
    virtual void RepositionDivisions(const CCommandFormation& which) = 0;
    // How far the army sees through fog and darkness, 0..1.
    virtual void SetVisibilityFactor(double factor) = 0;
    // The army's own step, once per simulation step after every unit's.
    virtual void Update() = 0;
    // FALSE once the army has left the battle: the battle is over.
    virtual BOOL IsInBattle() const = 0;
};

// Where the battle's orders go while a demo is recorded. The demo recorder
// implements it; the view calls it only while its recording byte is set.
class IDemoOrderSink {
public:
    virtual ~IDemoOrderSink() = default;
    virtual void RecordDemoOrder(int divisionId, const CObjective& objective, int side, uint32_t tick, BYTE slotFlag,
                                 BYTE runAtOnce, BYTE optionA, BYTE optionB) = 0;
    // The 9 bytes of a unit order, written and flushed; the recording then
    // holds something.
    virtual void WriteUnitOrder(const BYTE* bytes, int count) = 0;
};
