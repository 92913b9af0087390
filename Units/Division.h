// CDivision: the middle level of command. An army holds up to fifteen
// divisions (0..11 in the line, 12..14 detachments that enter later); each
// commands up to four battalions under a general. The division owns its
// battalions (deleted with it and when it rebuilds them), its pending orders
// and its plan; the army, the general, the formations and the battle grid
// are only referenced.
#pragma once

#include "field/ArmyElement.h"
#include "Units/Action.h"
#include "Units/ArmyInterfaces.h"
#include "Units/BattList.h"
#include "Units/Objective.h"
#include "Units/UnitList.h"

class CBattalion;
class CPerson;
class CPersonList;
class CStatusSummary4;

class CDivision : public CArmyElement, public IBattleDivision {
    DECLARE_SERIAL(CDivision)
public:
    static constexpr int kMaxBattalions = 4;
    static constexpr int kMaxUnits = 10;  // per battalion

    CDivision();
    // Division `number` of `army` at (x, y) with four default battalions of
    // ten units.
    CDivision(int number, int x, int y, IUnitsArmy* army);
    ~CDivision() override;

    void Reset();
    // Places the division for a battle. A formation number the list does
    // not hold leaves it without a current formation. TRUE.
    BOOL Setup(IDivFormationList* formations, int formationId, CBattleGrid* grid, int x, int y, int facing);
    // Sets each battalion up on its slot of the division's formation, with
    // the battalion formation and the facing the slot gives it (without a
    // formation, on the division's point, facing its way).
    void SetupBattalions(IBattFormationList* formations);
    // Rebuilds the battalions from the general's command in `persons`.
    // FALSE and nothing changed when the general is not in the list.
    BOOL CreateBattalions(int generalId, CPersonList& persons);
    // Empties the division: its battalions are deleted and it has no
    // general (a deployment slot given up).
    void ReleaseGeneral();

    // Recomputes the six perimeter zones around the division (an empty
    // rectangle: around its battalions) and empties the unit lists of the
    // first four. A division type outside -1..4 shows an error and keeps
    // the zones it had.
    void SetPerimiters(const CRect& rect);
    // Where the battalions stand: their areas together, at most 500 square.
    CRect GetBaseRect() const;
    // One zone: `base` (all zero: the base rectangle) pushed toward the
    // order's target, or the facing when the target is within 50, turned
    // by `offset`.
    CRect GetZoneRect(int offset, double factor, bool keepOnly, const CRect& base) const;

    // The per-tick update, run by the division list before the battalions':
    // the division stands on its centre, keeps its figures, and takes its
    // next step once its battalions are in place or stuck. FALSE for a
    // routed division, which does nothing more.
    BOOL Tick();
    // Takes `order` (owned from here; null: go on with the plan), plans it
    // into steps and carries out the first.
    void ReceiveOrder(CObjective* order, BOOL clearPlan);
    void PlanOrder(const CObjective& order);
    // The next step from (x, y) facing `facing` toward `step`: a new step
    // (the caller owns it) or `step` itself.
    CObjective* ExpandStep(int x, int y, int facing, CObjective* step);
    void PrepareOrder(const CObjective& order);
    void ExecuteStep(BOOL lastStep);
    void PlaceBattalions(BOOL lastStep);
    void MarchAlongRoute(BOOL lastStep);
    // The column place of battalion `i` of `n` units at (x, y).
    CPoint GetColumnPoint(int i, int n, int facing, int x, int y, BOOL flag) const;
    // --- its own decisions (Units/DivisionBehaviour.cpp) ---------------
    // Run by the tick: a shaken, depleted division may retreat; with part
    // of its front engaged a free battalion goes to help a pressed one.
    void UpdateBehaviour();
    // Every fifth tick: 0 with no enemy engaged, 1 to 3 as the engaged
    // enemies grow against the division's active units.
    void UpdatePressure();
    // Off the field behind the army, at a random height, through the army.
    void Retreat();
    void SendFlankHelp();
    // To (x, y), or with both -1000 to a point behind it clear of the
    // enemy; refused within 300 ticks of the last regroup, inside the
    // army's home and when no point is found.
    void Regroup(int x, int y);
    // A point behind the division with fewer enemies than where it stands.
    BOOL FindRegroupPoint(CPoint& out) const;
    // A move into the rear zone pushed by `factor`, kept off the army's own
    // field edge; `resend` hands the standing order back once there.
    void FallBack(BOOL resend, double factor);
    // The battalions close up in the step formation around the action's
    // target; at most once in 200 ticks.
    void CloseDefense(BOOL flag);
    // An attack on (x, y), or with both -1000 on the most crowded part of
    // the far front.
    void Charge(int x, int y);
    // A detachment about to enter tells the players whether it comes.
    void ArriveDetachment();
    // On the army's 40-tick beat the oldest history entry goes.
    void DropOldHistory();
    // The formation a step of the division uses (see DivisionBehaviour.cpp).
    IDivFormation* GetStepFormation(BOOL flag, int number, BOOL keep) const;
    // The standing order's answer to enemies pressing on the division's
    // zones (fall back, defend, close up or charge); none while busy.
    void ReactToPressure();
    // 2 east, 6 west.
    int ArmyFacing() const;
    // In percent, the chance that a division thinned to `r` of its men
    // gives up the field or regroups of its own accord.
    int GetSelfRetreatChance(double r) const;
    // At least three enemies in the zone and few enough friends.
    BOOL IsZonePressed(int zone) const;
    // The flag over the division and the mark on its order's target.
    void PlaceMarkers();
    // The general's and the commander's leadership, mixed; at least 0.1.
    double GetLeadership() const;
    // The division's centre from its battalions' offsets from their slots.
    CPoint GetCentre() const;
    void UpdateFigures();
    // The battalion order code for battalion `i` under an order type.
    static int PrepareCode(int orderType, int i);

    // --- queries ----------------------------------------------------------
    int GetLeaderID() const;
    int GetBattalionCount(BOOL liveOnly) const;
    int GetStrength() const;
    int CountUnits(BOOL a, BOOL b) const;
    int RecountBattalions();
    double GetStrengthRatio(BOOL byUnits) const;
    BOOL IsBelowStrength(double threshold) const;
    double GetMorale() const;
    BOOL IsFlagSet() const { return (m_flags >> 12) & 1; }
    BOOL IsFresh() const { return (m_type == 0 || m_type == 1) && m_strength2 < 4000; }
    BOOL IsDetachment() const { return m_number >= 12 && m_number <= 14; }
    BOOL IsInsideParentArea() const;
    BOOL IsOnField(BOOL countRouted) const;
    BOOL CanReceiveOrders() const;
    // The battalions' unit counts under the unit list's two filters, summed.
    int CountBattalions(BOOL a, BOOL b) const;
    int GetStandingOrder() const { return m_order.m_type; }
    CUnit* GetLeadUnit() const;

    // --- forwarding to the battalions --------------------------------------
    void SetArmyValueAll(int value);
    void SetArmyValueOnlyAll(int value);
    void ResetBattalions();
    void UpdateBattalionUnits(double delta);

    // --- general factors, losses and the after-battle summary ---------------
    // Every battalion takes its units' figures from the generals
    // (CBattalion::ApplyGeneralFactors).
    void ApplyGeneralFactors(double moraleFactor, double cohesionFactor);
    // A skirmish before the battle: every battalion loses units by `share`
    // (CBattalion::ApplyShock). A detachment left with 0.3 or less of the
    // units it was made with is lost and out of action.
    void ApplyLosses(double share, double spread);
    // Fills `node` with a leaf per battalion at its number, gathers the
    // totals and stores the division type. Returns the division's
    // casualties (lost and fled units).
    int GatherStatus(CStatusSummary4& node);
    // Units out of the fight: with `fled` those that broke and ran (active
    // but routed or no longer able), else those lost (no longer active).
    int GetLossFigure(BOOL fled) const;

    // A battalion has left the fight. The army hears of the division lost
    // once, however often its battalions report.
    void OnBattalionRouted(CBattalion* battalion);

    // IBattleDivision
    IBattleArmy* GetArmyLink() const override { return m_army; }
    int GetIndex() const override { return m_number; }
    void AddBattleMessage(int id, int speaker, int index) override;

    // --- state, in the order the division keeps it ------------------------
    BYTE m_flagBlock[11] = {};
    int32_t m_wait = 0;
    BYTE m_routeFlag = 0;
    int32_t m_marchTimer = 0;
    BYTE m_columnByte = 0;
    BYTE m_defensive = 0;
    double m_fourthFigure = 0.0;
    int32_t m_activeBattalions = 0, m_ableBattalions = 0;
    int32_t m_strength1 = 1000, m_strength2 = 0, m_strength3 = 200;
    int32_t m_flagTimer = 0, m_busyTimer = 0;
    int32_t m_detachCountdown = 0;
    int32_t m_flags = 0;
    BYTE m_ready = 1;
    int32_t m_unitRecount = 0;
    BYTE m_bytes3[3] = {};
    int32_t m_clampCounter = 0;
    int32_t m_armyValue = 0;
    int32_t m_referenceFigure = 8000;
    int32_t m_initialUnits = 0;
    BYTE m_resend = 0;
    CObjective m_order;  // its type is the standing order
    int32_t m_type = -1; // the general's kind; 2 and 4 are the missile types
    BYTE m_busy = 0;
    BYTE m_formationByte = 1;
    CBattList m_battalions;  // owns them
    BYTE m_idle = 1;
    BYTE m_phase = 4;
    BYTE m_pressure = 0;
    CObjectiveList m_pendingOrders;
    int32_t m_formationNumber = 15;
    CAction m_action;
    IDivFormationList* m_formationList = nullptr;
    BYTE m_firstDivision = 0;
    int32_t m_battalionCount = 4;
    CPerson* m_general = nullptr;
    IUnitsArmy* m_army = nullptr;
    BYTE m_turn = 0;
    // [group][zone][part]: group 0 enemy, 1 own; zones front near, own,
    // rear, front far, left, right; parts left, centre, right. Not owning.
    CUnitList m_zoneUnits[2][6][3];
    CRect m_zones[6][3];
    IDivFormation* m_formation = nullptr;
    int32_t m_contactCounter = 0;
    BYTE m_moraleEvent = 0;
    int32_t m_coolDown = 0;
    BYTE m_contactFlag = 0;
    CObjectiveList m_plan;
    int32_t m_counters2[2] = {0, 0};
    CPtrList m_history;
    BYTE m_lostReported = 0;
    // Named the army's rear guard when its headquarters fell.
    BYTE m_rearGuard = 0;
    // The pictures of the division's flag and of its order's target (the
    // battle screen gives them; none without a screen).
    IUnitIcon* m_centreIcon = nullptr;
    IUnitIcon* m_targetIcon = nullptr;

    // --- what the army's lists compare (the army gives them meaning) ------
    int32_t m_groupKey = 0;
    int32_t m_sortKeyA = 0;
    int32_t m_sortKeyB = 0;
    int8_t m_grade = 0;
    double m_strengthRatio = 1.0;  // the division's force against what faces it
    int32_t m_flag216 = 0;
    // Both unit counters, recomputed and stored in the element's counters.
    int SumUnitCounters();

private:
    // Through the army's order gate; without an army the division takes it.
    void SendOrderThroughArmy(CObjective* order);
    void DeleteBattalions();
    void EmptyZoneLists(int zones);
};
