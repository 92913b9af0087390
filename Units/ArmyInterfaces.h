// What the units, battalions and divisions ask of the layers above them:
// the formations that place them, the army that holds them, and the icon
// that draws a unit. The army (army/) implements the formation and army
// interfaces, the battle screens implement the icon; this layer knows them
// only through here, so it builds and is tested before they exist.
#pragma once

#include "field/ArmyLinks.h"
#include "platform/afx/Afx.h"

class CDivision;
class CDivList;
class CObjective;
class CUnit;
class CPerson;

// A formation as the elements that stand in it see it: slot offsets from the
// formation's reference point and the facing of each slot, by facing 0..7.
// Implemented by the army's battalion formation (CBattFormation, slots 0..9)
// and division formation (CDivFormation, slots 0..3).
class IFormation {
public:
    virtual ~IFormation() = default;
    // The formation's number (the identifier orders name it by).
    virtual int GetNumber() const = 0;
    // Offset of `slot` from the reference point at `facing`; (0, 0) outside.
    virtual CPoint GetSlotPoint(int slot, int facing) const = 0;
    // The slot's code at `facing`; its low byte is the facing there.
    virtual int GetSlotCode(int slot, int facing) const = 0;
};

// A division formation (army/ CDivFormation implements it).
class IDivFormation : public IFormation {
public:
    // The battalion formation number given to battalion `slot` 0..3.
    virtual int GetSlotValue(int slot) const = 0;
    // A mapped number; 0 when the formation maps none.
    virtual int LookupMappedID(int key) const = 0;
    // The number of the formation this one links to; 0 for none.
    virtual int GetLinkID() const { return 0; }
};

// A battalion formation (army/ CBattFormation implements it).
class IBattFormation : public IFormation {};

// The view's preset lists, searched by number (army/ CDivFormationList and
// CBattFormationList implement them). Null when no formation has the number.
class IDivFormationList {
public:
    virtual ~IDivFormationList() = default;
    virtual IDivFormation* FindByID(int id) const = 0;
};

class IBattFormationList {
public:
    virtual ~IBattFormationList() = default;
    virtual IBattFormation* FindByID(int id) const = 0;
};

// A formation that is missing places every slot on the reference point.
inline CPoint SlotPointOf(const IFormation* f, int slot, int facing) {
    return f ? f->GetSlotPoint(slot, facing) : CPoint(0, 0);
}
inline int SlotCodeOf(const IFormation* f, int slot, int facing) { return f ? f->GetSlotCode(slot, facing) : 0; }

// What a unit reads of its army every tick.
struct UnitArmyConditions {
    double visibility = 1.0;       // 1 in clear daylight, less in fog or dark
    double moraleOffset = 0.0;     // added to every unit's morale in its rating
    double routDivisor = 1.0;      // above 1.0 makes routs rarer
    bool raisedCeiling = false;    // calm units keep morale up to 1800, not 1500
    bool exertionRelief = false;   // late in the battle units tire by 3, not 4
    bool generalsExposed = false;  // only the marshall keeps his last man
    bool detachmentsInPlay = false;
    bool commanderInField = false; // the commander's own unit stands
    int facing = 2;                // 2 east, 6 west
    // The army's share of the strength on the field; at 0.85 or less, while
    // the enemy still stands, its battalions take a zone for contact only
    // with a third of their live units' number of enemies in it.
    float balance = 1.0f;
    bool opponentRouted = false;
    // The army keeps to the ground it holds (the castle of a castle's
    // field, as the side that leads the battle there): the commander's
    // division takes its places among up to 10 terrain points, and no
    // battalion charges the shooters that harass it or goes for the key
    // points.
    bool terrainFlag = false;
    // The local player's army: its battalions acknowledge an advance a
    // little louder.
    bool localPlayer = false;
};

// What a division's own decisions read of its army.
struct DivisionArmyFigures {
    bool control = false;      // a player commands the army
    bool acknowledge = false;  // the army's orders and events are told to its player
    bool opening = false;      // the battle has not begun for the army: no rear guard yet
    float morale = 1.0f;       // below 0.8 its divisions give up the field more readily
    double strength = 0.0;     // the army's strength figure
    double opposingStrength = 0.0;
    CRect homeRects[2];        // a division inside either does not regroup
    // How the army's detachments come (0 or 1; 2: they do not), whether
    // they are sent at all, and the same of the opposing army.
    int sideMode = 2;
    bool reinforcement = false;
    int opposingSideMode = 2;
    bool opposingEntry = false;
};

// The army's allowances for its divisions' morale events, each use spending
// one, and whether a detachment's arrival has been announced.
struct DivisionBudgets {
    int32_t rearGuards = 1;
    int32_t noRetreats = 1;
    int32_t selfRetreats = 1;
    int32_t selfRegroups = 1;
    BYTE arrivalAnnounced = 0;
};

// One side's army as its divisions and battalions see it (army/ CArmy
// implements it, together with the battlefield's IBattleArmy).
class IUnitsArmy : public IBattleArmy {
public:
    // The number that marks the army's elements (their owner number).
    virtual int GetArmyNumber() const = 0;
    // A division has no battalion left in the fight. The army counts a
    // division lost once; the division reports it once.
    virtual void OnDivisionLost(CDivision* division) = 0;
    // The general of division 0 commands the army.
    virtual void SetCommander(CPerson* general) = 0;
    virtual CPerson* GetCommander() const = 0;
    // The army's view value: how far its battalions look around them.
    virtual double GetViewValue() const = 0;
    // The army's home (deployment) rectangle and its field rectangle.
    virtual CRect GetHomeRect() const = 0;
    virtual CRect GetFieldRect() const = 0;
    // What the units read of the army; an army that sets none gives clear
    // daylight and no modifiers.
    virtual UnitArmyConditions GetUnitConditions() const { return {}; }
    // The share of the army value at which a division acknowledges an
    // order it takes with the order's sound; 0 when the army's orders go
    // unacknowledged.
    virtual double GetAcknowledgeVolume() const { return 0.0; }
    // The order type the army holds `division` to when it has nothing to
    // do; -1 when it holds it to none.
    virtual int GetPostureFor(const CDivision* /*division*/) const { return -1; }
    // What the divisions' own decisions read; an army that keeps none gives
    // a computer's army with nothing to read.
    virtual DivisionArmyFigures GetDivisionFigures() const { return {}; }
    // The morale-event allowances; null: the army allows none.
    virtual DivisionBudgets* GetDivisionBudgets() { return nullptr; }
    // A division hands its standing order (owned from here) back through
    // the army's order gate. Without a gate the division takes it at once.
    virtual void ResendOrder(CDivision* division, CObjective* order);
    // The army's lead unit: the head unit of the first battalion of
    // division 0 while it is active and able (routed too with
    // `allowRouted`); null without one.
    virtual CUnit* GetLeadUnit(BOOL /*allowRouted*/) const { return nullptr; }
    // The army's divisions; null for an army that has none to show.
    virtual const CDivList* GetDivisionList() const { return nullptr; }
    // Guards the headquarters-in-danger messages: above 0 once the army
    // has been told.
    virtual int GetMessageCounter() const { return 0; }
    virtual void SetMessageCounter(int /*value*/) {}
};

// The picture that draws one unit (the battle screens implement it over
// their icon). Coordinates are screen-field pixels; the rectangle is the
// picture's frame, (0, 0, cell width, cell height) for a unit set.
class IUnitIcon {
public:
    virtual ~IUnitIcon() = default;
    virtual CRect GetRect() const = 0;
    virtual CPoint GetPosition() const = 0;
    virtual void SetId(int id) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual int GetDepth() const = 0;
    virtual void SetDepth(int depth) = 0;
    virtual void SetFrame(int frame, int facing) = 0;
    // Only the part inside `clip` shows; an all-zero clip shows it whole.
    virtual void SetClip(const CRect& clip) = 0;
    virtual void SetVisible(bool visible) = 0;
};
