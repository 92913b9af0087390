// The army code that terrain features call back into. Armies, divisions and
// battalions implement these small interfaces; the battlefield model knows
// them only through here, so it builds and is tested before they exist.
#pragma once

#include "platform/afx/AfxTypes.h"

class CKeyPoint;

// Where the battle's sounds go. The battle screen implements it over its
// sound manager; a battle run without a screen has none, and every element
// then plays nothing and counts nothing.
class IBattleSounds {
public:
    virtual ~IBattleSounds() = default;
    virtual BOOL Play(int id, DWORD flags, int volume, int pan) = 0;
    // One more event of a counted kind; TRUE when the count calls for its sound.
    virtual BOOL CountEvent(int id) = 0;
};

// One side's army as key points and garrison features see it.
class IBattleArmy {
public:
    virtual ~IBattleArmy() = default;
    // The army's tick counter (key points stamp their visits with it).
    virtual int GetTick() const = 0;
    // Both of the army's message flags are set: its battle messages show.
    virtual bool ShowsBattleMessages() const = 0;
    virtual void AddBattleMessage(int id, int speaker, int division) = 0;
    virtual void AdjustMorale(double delta) = 0;
    virtual IBattleArmy* GetOpposingArmy() const = 0;
    // Headquarters place 0..3: 0 and 1 the army's own, 2 and 3 the enemy's;
    // null when empty.
    virtual CKeyPoint* GetHeadquarters(int place) const = 0;
    virtual void AssignRearGuard() = 0;
};

class IBattleDivision {
public:
    virtual ~IBattleDivision() = default;
    virtual IBattleArmy* GetArmyLink() const = 0;
    // The division's index in its army.
    virtual int GetIndex() const = 0;
    virtual void AddBattleMessage(int id, int speaker, int index) = 0;
};

class IBattleBattalion {
public:
    virtual ~IBattleBattalion() = default;
    virtual IBattleDivision* GetDivisionLink() const = 0;
    virtual void AdjustMorale(double delta) = 0;
    // One more key point captured by the battalion.
    virtual void AddCapture() = 0;
};
