// CUnit: the army element that stands, moves and fights on the field, the
// smallest body of troops, drawn as one animated icon. A battalion creates
// its units, owns them in its unit list and hands them objectives.
//
// Kinds 0..8: 0 Swordman, 1 Captain, 2 General, 3 Marshall, 4 Cavalry,
// 5 Archer, 6 Spearman, 7 Rifleman, 8 Captain On Horse. Kinds 2, 3, 4 and 8
// are mounted; 5 and 7 shoot; 1, 2, 3 and 8 are officers.
//
// The unit's body is the frame of its unit set (Units/UnitSets.h): binding
// an icon, or a kind without one, takes that rectangle centred on the unit.
#pragma once

#include "field/ArmyElement.h"
#include "Units/Action.h"
#include "Units/ArmyInterfaces.h"
#include "Units/Objective.h"
#include "Units/UnitList.h"
#include "core/Helpers.h"

#include <algorithm>

class CBattalion;
class CDivision;
class CMissile;
class CPerson;
class CPathGrid;

enum UnitKind : int {
    KIND_SWORDMAN = 0,
    KIND_CAPTAIN = 1,
    KIND_GENERAL = 2,
    KIND_MARSHALL = 3,
    KIND_CAVALRY = 4,
    KIND_ARCHER = 5,
    KIND_SPEARMAN = 6,
    KIND_RIFLEMAN = 7,
    KIND_CAPTAIN_ON_HORSE = 8,
};

// Animation frame ranges, first and last frame of each (a pair whose first
// frame is larger runs backwards).
struct UnitFrames {
    BYTE route[2];    // following the route
    BYTE close[2];    // closing with a target, giving way
    BYTE back[2];     // backing
    BYTE charge[2];
    BYTE flee[2];
    BYTE rangeF[2];
    BYTE rangeG[2];
    BYTE rangeH[2];
    BYTE rest;
    BYTE death[2];
};

class CUnit : public CArmyElement {
    DECLARE_SERIAL(CUnit)
public:
    // An unplaced unit, as dynamic creation makes it.
    CUnit();
    CUnit(int index, CBattleGrid* grid, int sideId, int x, int y);
    ~CUnit() override;

    static bool IsMountedKind(int kind) { return kind == 2 || kind == 3 || kind == 4 || kind == 8; }
    static bool IsOfficerKind(int kind) { return kind == 1 || kind == 2 || kind == 3 || kind == 8; }
    static bool IsMissileKind(int kind) { return kind == 5 || kind == 7; }
    bool IsMounted() const { return IsMountedKind(m_kind); }
    // The melee kinds in the battalion's sense: the officer kinds.
    bool IsMeleeType() const { return IsOfficerKind(m_kind); }
    // The frame of the kind's unit set centred on (0, 0); (-3,-3,3,3) for
    // a kind outside 0..8.
    static CRect KindBodyRect(int kind);

    // Binds the icon (may be null: the kind's unit-set frame is the body)
    // and sets the kind with its figures and frame ranges afresh. TRUE.
    BOOL SetKindAndIcon(int kind, IUnitIcon* icon, int iconId);
    // Sets the kind's starting figures (a kind outside 0..8 zeroes them).
    void SetKindFigures(int kind);
    void SetFrameRanges(int kind);

    // Moves to the truncation of `v`; with `moveInGrid` the battle grid
    // files the unit there first (under its body or its move rectangle).
    void SetPositionExact(const CVector& v, BOOL moveInGrid, BOOL useBodyRect);
    void SetFacing(int facing) { m_facing = NormalizeDirection(facing); }
    void TurnOneStep(BOOL clockwise) { SetFacing(m_facing + (clockwise ? 1 : -1)); }
    // A facing 0..7 (wrapped), or -1000: the direction to the action target.
    void SetDesiredFacing(int facing);
    // Advances the frame one step from `first` toward `last`; outside the
    // range or at its end it starts again at `first`. TRUE.
    BOOL StepFrame(int first, int last);
    // Melee blow strength, at least 14.
    int GetMeleeStrength() const;
    // Defence strength under `stateFactor`, at least 1.
    int GetDefenceStrength(double stateFactor) const;
    // Where smoke or dust leaves the unit's icon.
    CPoint GetEffectPoint(BOOL facingOnly) const;
    // Places the icon for this tick: on the ground's height, cut at the
    // waterline when wading, drawn in front of what stands behind it; then
    // the strength marker. Nothing without an icon.
    void UpdateSprite();
    void PlaceMarker();
    // Changes morale by exactly `delta`, kept to 0..3000.
    void ShiftMorale(double delta) { m_morale = std::clamp(m_morale + delta, 0.0, 3000.0); }

    // --- owners -------------------------------------------------------------
    CDivision* GetDivision() const;
    IUnitsArmy* GetArmy() const;
    UnitArmyConditions GetArmyConditions() const;
    // The order type of the division's current order; -1 without one.
    int GetDivisionOrder() const;
    int GetBattType() const;
    CPerson* GetBattalionGeneral() const;

    // --- the tick and its steps -------------------------------------------
    // One battle tick. TRUE for an inactive unit, else the behaviour's result.
    BOOL Tick();
    // Takes the next step from the steps, the pending objectives or the slot.
    void NextStep(BOOL force);
    // Turns the objective into steps along a path; FALSE when none is found.
    BOOL PlanRoute(const CObjective& objective);
    // The grid the units' routes are searched on: the battle grid's fine
    // path grid with every cell closed where a unit's body would meet an
    // obstacle or a terrain feature. Built once per battle by its owner.
    static void BuildRouteGrid(const CBattleGrid& grid, CPathGrid& out);
    void SetSpeed(double factor);
    // Readiness of every moving behaviour: up to 10.
    void BuildReadiness();
    BOOL MeleeStrike(CUnit* target);
    void GiveWay(CUnit* other);
    void BackOff(CUnit* other);
    BOOL ReactToAttack(CUnit* attacker);
    BOOL Die();
    // CoverBonus from the ground at the action target.
    void UpdateCoverBonus();
    void RefreshNeighbours();

    // --- moving -------------------------------------------------------------
    BOOL MoveTo(int firstFrame, int lastFrame, int effort, int x, int y, BOOL backwards = FALSE,
                double arriveFactor = 1.0);
    BOOL ChooseHeading(double speed, int x, int y);
    DWORD ProbeHeading(const CVector& direction, int angle, double speed) const;
    BOOL StepForward();
    // The rectangle the moving unit tests: its body or its wider move rectangle.
    CRect GetTestRect() const;
    // One facing step toward `facing`, the shorter way (anticlockwise on a tie).
    void TurnToward(int facing);
    // The turn and rest of a unit that has arrived.
    void Rest();

    // --- behaviours ---------------------------------------------------------
    int GetBehaviour() const { return m_action.m_type; }
    // Sets the behaviour with its melee and fleeing flags; the unit's kind.
    int SetBehaviour(int code);
    BOOL RunBehaviour(int code);
    BOOL Advance();          // 0
    BOOL CloseWithTarget();  // 1
    BOOL Charge();           // 2
    // The charge meets enemy `e`: the strike it deals by `e`'s kind, or
    // the melee it turns into. TRUE when that ends the unit's tick.
    BOOL ChargeContact(CUnit* e);
    // When a draw of 1..100 (`ranged`: a ranged draw) is at most `chance`,
    // the unit comes to grips with `e`: TRUE.
    BOOL MeleeWithChance(CUnit* e, int chance, bool ranged);
    BOOL AttackArea();       // 3
    BOOL FallBack();         // 4
    BOOL Flee();             // 5
    BOOL BackOffStep();      // 6
    BOOL Melee();            // 7
    BOOL ShootBehaviour();   // 8
    BOOL HoldPlace();        // 11
    // Spearmen holding their place turn on every enemy coming at their
    // front that is not already fighting or regrouping.
    void AnswerEnemiesInFront();
    BOOL StepAside();        // 12
    BOOL Withdraw();         // 15
    BOOL GoToPoint();        // 9, 13, 14, 16
    BOOL LeaveField();
    BOOL PlaceFree();
    BOOL IsOutOfAction() const;
    int GetHoldChance(const CUnit* attacker) const;
    void RespondToAttack(CUnit* attacker);
    CUnit* ChooseTarget(const CRect& area, const CUnitList* candidates, BOOL ignoreReach);
    CUnit* FindEnemy(int x, int y, int reach, BOOL checkLine);
    double GetStanceFactor() const;
    BOOL IsFacingToward(int x, int y, int tolerance) const override;
    // Whether the rectangle meets the ground's obstacles or a terrain
    // feature (other units aside).
    BOOL IsGroundBlocked(const CRect& rect) const;
    // The nearest point to (x, y) where the unit's move rectangle stands
    // clear of the ground's obstacles and features; (x, y) when none is
    // found within 200.
    CPoint FindStandingPoint(int x, int y) const;
    // The nearest enemy of the neighbour list within `reach` (rounded); null.
    CUnit* NearestEnemy(int reach) const;

    // --- morale ---------------------------------------------------------------
    void AdjustMorale(double delta);
    double GetLeadershipFactor() const;
    void ComputeTrainingFactor();
    void ApplyBonus(double b);
    void UpdateCondition();
    void SetExertion(int delta);
    int GetRating() const;
    void CheckRout();
    void BreakAway();

    // --- combat -----------------------------------------------------------------
    int GetAttackChance(const CUnit* target) const;
    int GetDefenceChance() const;
    BOOL TakeBlow(double damage, CUnit* attacker);
    BOOL TakeHit(int strength, class CMissile* missile);
    void ApplyLastMan();
    void GiveKillCredits(CUnit* attacker);
    void RecomputeParryMax();

    // --- missiles -----------------------------------------------------------
    BOOL Fire(int targetX, int targetY);
    BOOL ShootAt(int targetX, int targetY);
    // Whether the first unit met on the first ranks toward the target is a friend.
    bool FriendInLineOfFire(int targetX, int targetY) const;
    // Whether an archer or rifleman at its place can reach the target.
    BOOL IsTargetInRange(const CUnit* target) const;
    // Whether enough of the unit's shots would get through the cover on the
    // way to the target (always for units whose missiles do not fly flat).
    bool HasLineOfFire(const CUnit* target) const;

    // Battle grid filing and terrain questions.
    int GetStrengthA() const override { return m_strengthA; }
    int GetStrengthB() const override { return m_strengthB; }
    IBattleBattalion* GetBattalionLink() const override;

    // --- identity and placement ------------------------------------------
    int32_t m_sideId = 0;
    BYTE m_lost = 0;
    BYTE m_placed = 1;
    BYTE m_inMelee = 0;
    int32_t m_indexInBattalion = 0;
    int32_t m_iconId = 0;
    CUnitList m_enemies;  // not owning
    CUnitList m_friends;  // not owning
    int32_t m_strikeTimer = 0;
    BYTE m_routeFailed = 0;
    BYTE m_onWater = 0;
    int32_t m_shotStage = 0;
    int32_t m_failedMoves = 0;
    int32_t m_slotIndex = 0;
    int32_t m_meleeLosses = 0;
    CRect m_bodyRect{-3, -3, 3, 3};
    double m_trainingFactor = 1.0;
    int32_t m_busyCounter = 0;
    CVector m_heading;
    // What the last heading choice worked out from the way to its target:
    // a unit held up asks again and again from the same place toward the
    // same point, and is given the same vectors without the trigonometry.
    // Turn k is k * 45 - 180 degrees; a bit of `probed` / `turned` says
    // that its probe / heading is known.
    struct HeadingMemo {
        double x = 0.0, y = 0.0;  // the way asked about
        double angle = 0.0, length = 0.0;
        uint16_t probed = 0, turned = 0;
        double probe[9][2] = {};
        double heading[9][2] = {};
        bool valid = false;
    };
    HeadingMemo m_headingMemo;
    CVector m_exactPos;
    CObjective m_slot;
    int32_t m_lastTick = 0;
    int32_t m_coverBonus = 0;
    int32_t m_tickCount = 0;
    double m_parryMax = 0.0;
    double m_parry = 0.0;
    BYTE m_isFirst = 0;
    CBattalion* m_battalion = nullptr;
    CUnitList m_engagers;   // close engagers, at most 3 (not owning)
    CUnitList m_engagers2;  // other engagers (not owning)
    BYTE m_dead = 0;
    CObjectiveList m_steps;
    CObjectiveList m_pending;
    CAction m_action;
    int32_t m_blockedSteps = 0;
    int32_t m_stepsSinceCheck = 0;
    BYTE m_headingCheck = 1;
    int32_t m_desiredFacing = 0;
    int32_t m_frame = 0;
    BYTE m_fleeing = 0;
    int8_t m_targetedCount = 0;
    CObject* m_pendingMissile = nullptr;
    UnitFrames m_frames{};
    IUnitIcon* m_marker = nullptr;
    BYTE m_atSlot = 1;
    double m_speed = 0.0;
    BYTE m_blockedTicks = 0;
    CRect m_fieldRect{-1000, -1000, -1000, -1000};
    BYTE m_reach = 0;
    double m_frontDivisor = 1.0;
    double m_rearDivisor = 0.0;
    double m_flankDivisor = 0.0;
    int32_t m_combat = 0;
    int32_t m_combat2 = 0;
    int32_t m_range = 0;
    int32_t m_defence = 0;
    int32_t m_level = 0;
    int32_t m_headCount = 0;
    int32_t m_kindFigure = 50;
    int8_t m_readiness = 0;
    int32_t m_exertion = 0;
    double m_baseSpeed = 0.0;
    CRect m_moveRect{-3, -3, 3, 3};
    double m_slope = 0.0;
    BYTE m_slopeHold = 0;
    double m_morale = 0.0;
    double m_prevHeight = -5000.0;
    double m_height = 0.0;
    double m_condition = 1.0;
    IUnitIcon* m_icon = nullptr;

    // --- what battalions and their behaviours read and write -------------
    int32_t m_state = -1;         // unit state: 7..10 fighting, 14 at a headquarters
    int32_t m_mode = 0;           // unit mode: 5 keeps a mounted leader where he is
    BYTE m_arrived = 0;           // within arrival distance of its objective
    BYTE m_outOfFormation = 0;
    BYTE m_held = 0;
    BYTE m_captured = 0;
    int32_t m_skill = 0;          // 0..100, from the generals
    int32_t m_limitValue = 0;     // 5000 less the generals' command share
    int32_t m_strengthA = 14;     // first strength counter
    int32_t m_strengthB = 0;      // second strength counter
    int32_t m_iconValue = 0;
    int32_t m_strengthValue = 0;  // set by a shock

    // --- the tick's own state -------------------------------------------
    CPathGrid* m_routeGrid = nullptr;  // not owned; null: the fine path grid
    BYTE m_newOrder = 0;          // an order came: take it at the next tick
    BYTE m_destroyed = 0;         // credited as destroyed
    BYTE m_removed = 0;           // broke away from the fight
    int32_t m_secondBehaviour = -1;
    CPoint m_engagePoint{-1000, -1000};
    int32_t m_shotCycle = 0;      // ticks into the drawing of a shot
    double m_lastDamage = 0.0;
};
