// CMissile: an arrow on its arc or a shot on its timed flight. The shooting
// unit builds it (CUnit::Fire) and keeps it until the battle's tick takes it
// into its missile list; every tick the missile is tested against what lies
// on its way, moves, and when it comes down without a hit may strike what
// stands where it lands.
//
// CMissileList: the battle's missiles in flight; it owns them.
#pragma once

#include "core/Helpers.h"
#include "platform/afx/Afx.h"

class CBattalion;
class CBattleGrid;
class CUnit;

// The sprite that draws a missile (the battle screens implement it).
class IMissileSprite {
public:
    virtual ~IMissileSprite() = default;
    virtual void SetFrame(int column, int row) = 0;
    virtual void MoveTo(int x, int y) = 0;
    virtual void SetDepth(int depth) = 0;
};

// The eight-way frame of a direction (0 north, 2 east; screen y grows down).
int Heading8(int dx, int dy);

class CMissile : public CObject {
public:
    static constexpr int kBallistic = -1000;

    // An arrow: its speeds come from the launch angle.
    CMissile(BOOL noHeading, double height, double speed, int angleDegrees, int strength, int dx, int dy, int x,
             int y, CUnit* shooter);
    // A shot of `flightTicks` ticks with the given speeds.
    static CMissile* MakeAimed(BOOL noHeading, double height, double groundSpeed, double verticalSpeed, int strength,
                               int dx, int dy, int x, int y, CUnit* shooter, int flightTicks);

    BOOL Attach(IMissileSprite* sprite);
    // One tick of flight; FALSE once the missile has come down.
    BOOL Step(const CBattleGrid* grid);
    // TRUE when the missile is spent on what lies on this tick's way.
    BOOL CheckImpact(CBattleGrid* grid);
    // Strikes one unit round the landing point: an enemy before a friend.
    void Explode(int halfSize, CBattleGrid* grid);
    CBattalion* GetShooterBattalion() const;

    CUnit* m_shooter = nullptr;
    int32_t m_flightTicks = kBallistic;
    IMissileSprite* m_sprite = nullptr;
    int32_t m_stepX = 0, m_stepY = 0;
    double m_verticalSpeed = 0.0;
    double m_groundSpeed = 0.0;
    int32_t m_strength = 0;
    double m_height = 0.0;
    int32_t m_noHeading = 0;
    int32_t m_x = 0, m_y = 0;

private:
    CMissile() = default;
    void SetStep(int dx, int dy);
    void PlaceSprite(int depth);
};

class CMissileList {
public:
    CMissileList() = default;
    CMissileList(const CMissileList&) = delete;
    CMissileList& operator=(const CMissileList&) = delete;
    ~CMissileList() { RemoveAll(); }

    // Takes the unit's pending missile, if any.
    void TakeFrom(CUnit* unit);
    // Tests, moves and lands every missile in flight, head to tail.
    void StepAll(CBattleGrid* grid);
    void RemoveAll();
    int GetCount() const { return int(m_missiles.GetCount()); }

    // Called with every missile that leaves the list, before it is deleted
    // (the screens take its sprite away).
    void (*m_onRemove)(CMissile*) = nullptr;

private:
    CPtrList m_missiles;
};
