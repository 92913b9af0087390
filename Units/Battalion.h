// CBattalion: the middle level of an army. A division owns a list of
// battalions; each battalion owns its units (deleted with it), a queue of
// objectives (the legs of its current order), its action, six watch zones
// with the friendly and enemy units found in each, and the counters its
// division and army read. Its division, formation list, formation, general
// and battle grid are only referenced.
//
// Battalion types: 0 infantry, 1 cavalry, 2 archers, 3 spearmen,
// 4 riflemen; 2 and 4 are the missile battalions.
#pragma once

#include <initializer_list>

#include "field/ArmyElement.h"
#include "world/BattleRecord.h"
#include "Units/Action.h"
#include "Units/ArmyInterfaces.h"
#include "Units/Objective.h"
#include "Units/UnitList.h"

class CBattleGrid;
class CDivision;
class CStatusSummary;
class CPerson;
class CUnit;

// The watch zones, in declaration order.
// Terrain areas of the grid's area list (B) anchored in the rectangle.
int CountAreaPoints(const CBattleGrid* grid, const CRect& r);

enum WatchZone : int { ZONE_NEAR_FRONT, ZONE_OWN, ZONE_REAR, ZONE_FAR_FRONT, ZONE_LEFT, ZONE_RIGHT, ZONE_COUNT };

class CBattalion : public CArmyElement, public IBattleBattalion {
    DECLARE_SERIAL(CBattalion)
public:
    // Number 0 at (-1000, -1000) with 10 units and no general.
    CBattalion();
    // Makes `units` units (clamped to 0..100) 10 field units apart from (x, y).
    CBattalion(int number, int x, int y, int units, int spare, CPerson* general);
    ~CBattalion() override;

    // The fields of a fresh battalion; units, lists and action stay.
    void Reset();
    // Places the battalion for a battle; a formation number that the list
    // does not hold leaves it without formation (its slots fall on the
    // action point). TRUE.
    BOOL Setup(IBattFormationList* formations, int formationId, CBattleGrid* grid, int x, int y, int facing);
    // Stands the units at their slots of the formation around the
    // battalion (all on its own place when it stands off the field), facing
    // `facing`, each holding its place: how a battle finds them at its
    // start.
    void StandUnits(int facing);

    int GetBattType() const { return m_battType; }
    BOOL IsMounted() const { return m_battType == 2 || m_battType == 4; }
    BOOL IsMissileBattalion() const { return IsMounted(); }
    void SetArmyValue(int value);
    void SetArmyValueOnly(int value) { m_armyValue = value; }
    void AdjustMorale(double delta) override;
    void ResetUnits();
    void RenumberUnits();
    void DisableAll();

    // Hands `order` (which the battalion owns from here) to a unit: the
    // order is deleted when the unit is null.
    BOOL OrderUnit(CUnit* unit, CObjective* order, BOOL clear, BOOL setCurrent, int busyTicks);
    BOOL OrderToUnit(int unitNumber, CObjective* order, BOOL clear, BOOL setCurrent, int busyTicks);

    // The per-tick update, run by the division's battalion list: the
    // battalion stands on its units' centre, counts down, runs its
    // behaviours, watches its exposure and takes its next leg once enough
    // of its units have arrived. FALSE when it was skipped (routed, not
    // able, or no unit left in the fight).
    BOOL Tick();
    // Takes `order` (owned from here; null: go on with what is queued),
    // plans its legs and orders the units for the first one.
    void ReceiveOrder(CObjective* order, BOOL replace);
    // The next leg from (x, y) facing `facing` toward `order`: an approach
    // march for a far order of type 131072, else the order itself.
    CObjective* PlanLeg(int x, int y, int facing, CObjective* order) const;
    // Unit 0 goes to (x, y); under a defense or stand-ground order the
    // others take the places of the terrain areas near it, one in every
    // few, and those left over follow in column behind it.
    void MarchInColumn(int unitCode, int x, int y);
    // A random place behind (x, y) for a unit of the column.
    CPoint GetColumnPoint(int x, int y, int unitX, int unitY, int facing, int s) const;
    void UpdateFlags();
    void UpdateExposure();
    void KeepLeaderBehind();
    // The spacing base of a column by live units (clamped to the table).
    static int ColumnSpacing(int liveUnits);

    // The effective position: the action point less the mean offset of the
    // units from their slots; the battalion's own position without one.
    CPoint GetCentre() const;
    int GetWeightedCountA(BOOL flag) const;
    int GetWeightedCountB(BOOL flag) const;
    // The head unit, unless the flags refuse it; null when none.
    CUnit* GetLeadUnit(BOOL allowInactive, BOOL requireAble, BOOL allowRouted) const;
    double GetFightingShare() const;
    BOOL HasEnemyNear(int n) const;
    BOOL IsNearHeadquarters() const;
    // Knocks out some units (counted draws) and shakes the rest.
    void ApplyShock(double severity, double spread);
    // The units' skill, level, combat values and morale from the division's
    // and the battalion's generals (a missing general gives nothing), the
    // morale scaled by `moraleFactor`; the command factor (0.001..1.0) from
    // their leadership; the limit value from `cohesionFactor`.
    void ApplyGeneralFactors(double moraleFactor, double cohesionFactor);
    // Fills `record` with the battalion's line of the after-battle summary:
    // lost and fled units (counted draws decide who of the broken got
    // away), the general, the type, the merit score and the battle record.
    // Returns the lost and fled units together.
    int GatherStatus(CStatusSummary& record);
    // The tactic bonus class: the battalion type, 5 for the commander's own
    // battalion (battalion 0 of division 0).
    int GetTacticClass() const;
    // The bounds of the near-front and own-ground zones.
    CRect GetBoundsA() const;
    CRect GetBoundsB() const;
    // Units in one watch group (enemy or friendly) of a zone.
    int CountWatch(bool enemy, WatchZone zone) const;
    // The enemy near-front count; with `flag` 0 while the battalion has an
    // active unit.
    int CountEnemyNearFront(BOOL flag) const;
    // A unit of the battalion is out of the fight. The division hears of a
    // battalion lost once.
    void OnUnitLost(CUnit* unit);
    void NoteMissileHit(int missileValue, CBattalion* shooter);
    void SetEngageRadius();
    static int EngageRadiusFor(int orderType, int battType);

    // The square the battalion's units cover (with the standing order's
    // rectangle); empty when routed or without units in the fight.
    CRect GetAreaRect() const;
    // The way the battalion looks: its facing unless it is on its way to
    // its standing point and the way there turns it by two steps or more.
    int GetHeading() const;
    // Recomputes the six watch zones and empties the 36 watch lists (an
    // empty rectangle: around the battalion's area). A routed battalion
    // keeps both; a type outside 0..4 shows an error and keeps its zones.
    void SetPerimiters(const CRect& rect);
    // The zone scales by type and standing order: far front, near front,
    // rear, left and right, from the army's view value `v` and the rear
    // and flank factors `a` and `b`. False for a type outside 0..4.
    struct ZoneScales {
        double farFront, nearFront, rear, left, right;
    };
    static bool ScalesFor(int battType, int orderType, double v, double a, double b, ZoneScales& out);

    // --- behaviours: what the battalion does about the enemy its watch
    // zones hold, run by its tick (Units/BattalionBehaviours.cpp) --------
    // Runs the rules that send units at shooters and spread them over
    // their enemies, then (unless busy) keeps the battalion at its post
    // and engages or advances on the first zone in contact.
    void UpdateBehaviour();
    // A zone is in contact when it holds at least the contact minimum of
    // enemies and its friends are at most 20 and fewer than three to one;
    // with `waiver`, under a defense or stand-ground order, the enemies
    // alone decide.
    BOOL InContact(WatchZone zone, bool waiver = false) const;
    // The zone code (0, 75 or 150) most of the able units stand in; 200
    // when none stands in any of them.
    int GetMajorityZone() const;
    // The battalion's position plus `scale` times the way to the
    // rectangle's centre.
    CPoint GetDirectionPoint(const CRect& rect, double scale) const;
    // The mean position of the able enemies of a zone still on the field;
    // (-1000, -1000) without one.
    CPoint GetEnemyPoint(WatchZone zone) const;
    // Each unit free to act is sent at an enemy of the zone's most crowded
    // part (close with it: unit order 1).
    void EngageNearFront();
    void EngageOwnGround();
    void EngageRear();
    void EngageLeft();
    void EngageRight();
    // A new leg of type 4 on the enemy before the battalion; the battalion
    // is then busy for 80 (near) or 100 (far) ticks.
    void AdvanceNear();
    void AdvanceFar();
    // A new leg of type 32 back to (x, y).
    void MoveToPoint(int x, int y);
    // Sends a unit that is not an officer and has strayed from the
    // battalion's lead back near it. Null regroups the whole battalion:
    // from the lead, each unit that is not an officer takes a place a step
    // on from the last one's, until one already stands near that place.
    void Regroup(CUnit* unit);
    // A halted battalion that keeps being shot at charges the shooters'
    // battalion; TRUE when it sent units.
    BOOL AnswerMissileFire();
    // Units of a foot battalion that has come to grips spread over the
    // enemies their comrades fight.
    void SpreadAttacks();
    // Up to three free units near an enemy headquarters still standing go
    // to take it; TRUE when one was sent.
    BOOL AssaultHeadquarters();
    // Tells the player, once per army, that a headquarters is in danger:
    // his own army that it threatens the enemy's, or else the enemy army
    // that its own is threatened.
    void WarnHeadquartersInDanger();
    // Free units of a foot battalion close with the enemy army's lead unit
    // when it stands near, while it has room for them.
    void AttackEnemyLeader();
    // Free units near a garrison feature not yet taken go to take it.
    void CaptureKeyPoints();
    // Free units of a foot battalion close with the enemy divisions' lead
    // units near it.
    void AttackNearbyLeaders();
    // Whether the leg taken last lets the battalion's units leave it for a
    // headquarters, a leader or a key point.
    bool LastLegAllowsAssault() const;
    int GetDivisionOrderType() const;
    // The mean position of the able units not routed; (-1000, -1000)
    // without one.
    CPoint GetUnitCentre() const;

    // IBattleBattalion
    IBattleDivision* GetDivisionLink() const override;
    void AddCapture() override { ++m_captures; }

    // --- state, in the order the battalion keeps it ----------------------
    int32_t m_contactMin = 1;
    int32_t m_holdCountdown = 0;
    BYTE m_spareA = 1;
    CObjectiveList m_objectives;
    double m_exposure = 0.0;
    BYTE m_orderSeen = 0;
    double m_commandFactor = 0.0;
    BYTE m_column = 0;
    double m_averageValue = 0.0;
    CString m_label;
    int32_t m_ableUnits = 0;
    int32_t m_activeUnits = 0;
    int32_t m_spareWordA = 0, m_spareWordB = 0;
    int32_t m_referenceValue = 10000;
    CBattleRecord m_record;
    int32_t m_spareWordC = 0, m_spareWordD = 0;
    BYTE m_advance = 1;
    BYTE m_spareB = 1;
    int32_t m_engageRadius = 0;
    BYTE m_standingReached = 0;
    CBattalion* m_lastShooter = nullptr;
    BYTE m_lowHits = 0;
    int32_t m_spareWordE = 0;
    CPoint m_sparePoint{-1000, -1000};
    int32_t m_spareIndex = -1;
    BYTE m_spareC = 0;
    BYTE m_intakeSource = 0;
    int32_t m_armyValue = 8000;
    BYTE m_spareD = 0;
    BYTE m_initialStrength = 0;
    BYTE m_busy = 0;
    BYTE m_divisionOrder = 0;
    CObjective m_standingOrder;
    CObjective m_prevStandingOrder;
    int32_t m_battType = 0;
    CUnitList m_nearbyEnemies;  // not owning
    BYTE m_halted = 1;
    BYTE m_spareE = 0;
    CUnitList m_units;  // owning
    CDivision* m_division = nullptr;
    BYTE m_tickPhase = 0;
    CObjectiveList m_incoming;
    BYTE m_noUnits = 0;
    CAction m_action;
    IBattFormationList* m_formationList = nullptr;
    IBattFormation* m_formation = nullptr;
    CPerson* m_general = nullptr;
    int32_t m_liveUnits = 0;
    // [group][zone][part]: group 0 enemy, 1 friendly; part left, centre, right.
    CUnitList m_watch[2][ZONE_COUNT][3];  // not owning
    CRect m_zones[ZONE_COUNT][3];
    int32_t m_captures = 0;
    BYTE m_lead = 0;  // the division's lead battalion
    // Set once the division has moved the battalion of its own accord (to
    // help a pressed neighbour, or closing up against a threat); a mark
    // only, never cleared.
    BYTE m_flankSent = 0;
    BYTE m_lostReported = 0;
    // What the battalion's units have struck down, and its own command
    // units lost.
    int32_t m_kills = 0, m_officerKills = 0, m_generalKills = 0, m_marshallKills = 0;
    BYTE m_firstKill = 0;
    int32_t m_commandLost = 0;

private:
    // A zone to test and what to do when it is in contact.
    struct ZoneRule {
        WatchZone zone;
        bool waiver;
        void (CBattalion::*act)();
    };
    // Runs the action of the first rule whose zone is in contact; false
    // when none is.
    bool RunFirst(std::initializer_list<ZoneRule> rules);
    void SelectFoot();
    void SelectMounted();
    void FallBackBeforeContact();
    bool IsHeldByDivision() const;
    bool IsNearPost(int distance) const;
    int PickPart(WatchZone zone) const;
    CUnit* TargetFor(CUnit* unit, const CRect& area, CUnitList& enemies) const;
    CPoint OwnSlot(const CUnit* unit) const;
    void SendToSlot(CUnit* unit);
    void Engage(WatchZone zone);
    void BusyAttack();
    void AdvanceTo(CPoint goal, const CRect& goalRect, int facing, int hold);
    // Sends up to three of the nearest free units within 100 of `point`
    // (and with a clear line to it when `clearLine`) with `code`, less one
    // for each unit already in state `code` there; the number sent.
    int SendNearestTo(CPoint point, int code, bool clearLine);
    IUnitsArmy* GetOpposingArmy() const;
    // Sends the free units near `leader` at him, nearest first, while they
    // are no more than one over his `free` places; units already on him
    // take places. `stopWhenFull`: the walk ends once no place is left;
    // `needsAction`: units out of action are not free.
    void CloseWithLeader(CUnit* leader, int free, bool stopWhenFull, bool needsAction);
    // Whether the ground about the battalion lets every unit go straight to
    // its slot (else it marches in column).
    bool GroundAllowsDirectOrders() const;
    void GatherApproachRoute(int x, int y, int facing, CRoute& route) const;
    void MakeUnits(int count);
    void EmptyWatchLists();
};
