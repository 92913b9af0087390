// CArmy: one side's army in a battle. It owns its divisions (0 carries the
// commander, 0..11 stand in the slots of the army formation, 12..14 are
// detachments held back until ResolveDetachments lets them in), passes every
// order to a division through its one gate (SendOrder), keeps a coarse grid
// of the field seen from its own side, a front line its formation stands
// behind, and calls the battle AI.
//
// The army does not own its formation, its formation list, the opposing
// army or the key points. The division queue holds divisions of the
// division list without owning them; a division removed from the army
// leaves the queue and every stored target with it.
//
// Every random number here is a counted draw, in the order the comments
// give: both peers of a battle make the same draws.
#pragma once

#include <deque>
#include <memory>

#include "army/BattleAI.h"
#include "army/FormationList.h"
#include "army/WarDrum.h"
#include "Units/ArmyInterfaces.h"
#include "Units/DivList.h"
#include "field/ArmyElement.h"

class CBattleGrid;
class CThinking;

// The battle AI's state records by key. Owns its records: emptying it
// deletes them. Stored and loaded as the count, then each key followed by
// its record's own bytes (a loaded record is made new).
class CThinkingMap : public CMap<DWORD, DWORD, CThinking*, CThinking*> {
public:
    CThinkingMap() : CMap(10) { InitHashTable(17); }
    ~CThinkingMap() override { DeleteAll(); }
    void DeleteAll();
    void Serialize(CArchive& ar) override;
};
class CDivision;
class CKeyPoint;
class CObjective;
class CStatusSummary15;

class CArmy : public CArmyElement, public IUnitsArmy {
    DECLARE_SERIAL(CArmy)
public:
    static constexpr int kGridRows = 6;
    static constexpr int kGridColumns = 12;
    static constexpr int kCells = kGridRows * kGridColumns;
    // The nine zone rectangles, in their order.
    enum Zone { kRear, kRearHalf, kCentre, kFrontThird, kFront, kRightWing, kMiddle, kLeftWing, kWholeField };

    // Side 0, eleven divisions 0..10 at (-1000 + 10 i, -1000).
    CArmy();
    // Side `side`, eleven divisions 0..10 at (x + 10 i, y).
    CArmy(int side, int x, int y);
    // Side `side`, divisions 0..lastIndex at (10 i, 0); none when negative.
    CArmy(int side, int lastIndex, bool listed);
    ~CArmy() override;

    void InitMembers();

    // ---- roster ------------------------------------------------------
    CDivision* GetDivision(int index, BOOL onlyLive) const;
    // Takes the division out of the army, the queue and every stored
    // target, and deletes it. FALSE in every case.
    BOOL RemoveDivision(int index);
    // Takes the formation `formationId` (-2 draws a preset) from `list`;
    // when the list has no such formation the army stands in the list's
    // first one (none for an empty list). TRUE.
    BOOL Setup(CArmyFormationList* list, int formationId, CBattleGrid* grid, int x, int y, int facing);
    // An army built away from the field (the deployment screen builds its
    // armies on no grid) takes the battle's grid, and its units stand at
    // their battalions' places.
    void TakeOntoGrid(CBattleGrid& grid);
    void SetCommandValue(int value);
    void SetCommandValueOnly(int value);
    void RecountDivisions();
    // Every unit of every battalion drops its steps, orders and target.
    void ResetUnits();
    // The first time only: marks the division lost, counts it out and
    // shakes both armies' morale.
    void OnDivisionLost(CDivision* division) override;
    int QueryLeadBattalion(int flag) const;
    CUnit* GetLeadUnit(BOOL allowRouted) const override;
    const CDivList* GetDivisionList() const override { return &m_divisions; }
    int GetMessageCounter() const override { return m_messageCounter; }
    void SetMessageCounter(int value) override { m_messageCounter = value; }
    int SumDetachments(bool first) const;
    void ScaleDetachments(double factor);
    CKeyPoint* GetNearestMarker(int x, int y, bool skipLost) const;
    BOOL TestOpposingCommand() const;
    // Divisions 12..14 reset and out of play.
    void ResetDetachments();

    // ---- tick and orders -----------------------------------------------
    void Update();
    // Takes ownership of `order`.
    void SendOrder(CDivision* division, CObjective* order, BOOL clearQueue, int mode);
    void OrderDivision(CDivision* division, int type, int x, int y, int flags, int facingMode,
                       BOOL useDivisionFormation, int value, int jitter);
    void AdjustMorale(double delta, BOOL includeHeldBack);
    // Refills the proximity lists of division `index` and its live
    // battalions (-1: of every division) with the units on the field.
    void ProcessQueuedDivision(int index);
    void ResolveDetachments();
    // Orders every division off the field on the army's own side and marks
    // the army withdrawn.
    void OrderAllWithdraw();

    // ---- grid, front line and deployment -------------------------------
    void BuildGrid();
    void EvaluateGrid();
    void FindFrontColumns();
    CPoint FindGridColumn(int row) const;
    CPoint FindOwnFrontCell(int row) const;
    CPoint GetCentre();
    void AdvanceFront(BOOL slotMode, BOOL skipFlanks, int step);
    void ApplyFrontStep();
    void RepositionDivisions(CArmyFormation* formation, BOOL all);
    BOOL CheckSlots(int limit);
    void Deploy();
    void MeasureHeadquartersThreat();
    // The grid cell (row, column) as the army sees the field.
    const CRect& GetCell(int row, int column) const { return m_cells[row * kGridColumns + column]; }
    const CRect& GetZone(Zone z) const { return m_zones[z]; }

    // ---- what the battlefield and the units ask -------------------------
    int GetTick() const override { return m_tickCount; }
    bool ShowsBattleMessages() const override { return m_messageFlags[0] && m_messageFlags[1]; }
    // Queues a message; -2 speaks with the army's own voice, a division
    // index other than -1 with that division's general.
    void AddBattleMessage(int messageId, int speaker, int divisionIndex) override;
    void AdjustMorale(double delta) override { AdjustMorale(delta, FALSE); }
    IBattleArmy* GetOpposingArmy() const override { return m_opponent; }
    CKeyPoint* GetHeadquarters(int place) const override;
    // A new headquarters key point of object `resource` in own place 0 or
    // 1 (null for another place), at a free spot near (x, y); both -1000:
    // near a point the army chooses behind its commander. The caller owns
    // it (the battlefield's terrain list takes it); the army keeps it in
    // that place.
    CKeyPoint* CreateHeadquarters(int resource, int place, int x, int y);
    // The first strong division, not the commander's, whose general would
    // hold the line, stands as the rear guard while the army has rear
    // guards left (ArmyDivisionLinks.cpp).
    void AssignRearGuard() override;
    int GetArmyNumber() const override { return m_side; }
    void SetCommander(CPerson* general) override { m_commander = general; }
    CPerson* GetCommander() const override { return m_commander; }
    double GetViewValue() const override { return m_viewValue; }
    CRect GetHomeRect() const override;
    CRect GetFieldRect() const override { return CRect(0, 0, 3000, 2000); }

    // ---- per-battle factors (ArmyFactors.cpp) ---------------------------
    // Every division's battalions take their units' figures from their
    // generals, the morale scaled by `moraleFactor` (the campaign's
    // strength factor; 1.0 outside the campaign).
    void SetBattalionFactors(double moraleFactor, double cohesionFactor);
    // The commander's set of tactics (1..8) gives each battalion class a
    // combat bonus and the army a morale factor; `variant` picks the
    // stronger first set. With `apply` clear every bonus is 0. Nothing for
    // an army without a commander, or a commander without a set.
    void ApplyTactic(BOOL apply, BOOL variant);
    // Every unit's training factor from its level.
    void RecalcUnits();
    // The battlefield's scale for this side: it weighs the army's result
    // while it holds the field.
    void SetScale(double scale) { m_resultFactor = scale; }
    double GetScale() const { return m_resultFactor; }
    // How far the army sees through fog and darkness, 0..1 (the weather
    // sets it; the units read it).
    void SetVisibilityFactor(double factor) { m_visibility = factor; }
    double GetVisibilityFactor() const { return m_visibility; }
    UnitArmyConditions GetUnitConditions() const override;
    // The player's army hears its orders taken: at 0.95 of the army value
    // while it shows its battle messages, else 0.9; the computer's at 0.
    double GetAcknowledgeVolume() const override;
    // The army's posture, for every division.
    int GetPostureFor(const CDivision*) const override { return m_posture; }
    // Through the order gate, clearing the division's queue (mode 1).
    void ResendOrder(CDivision* division, CObjective* order) override { SendOrder(division, order, TRUE, 1); }
    // What the divisions' own decisions read (ArmyDivisionLinks.cpp).
    DivisionArmyFigures GetDivisionFigures() const override;
    DivisionBudgets* GetDivisionBudgets() override { return &m_budgets; }

    // ---- after the battle (ArmyStatus.cpp) -------------------------------
    // Fills the army's summary: a node per division at its index (each
    // filled by its division), the casualties, and the result: a score
    // from what each side lost and a factor from the strength ratio, which
    // the node gathers (CStatusSummary15::Gather).
    void FillStatus(CStatusSummary15* node);

    void SetBattleAI(std::unique_ptr<IBattleAI> ai) { m_ai = ai ? std::move(ai) : std::make_unique<CNullBattleAI>(); }

    // ---- members ---------------------------------------------------------
    int32_t m_side = 0;
    double m_resultFactor = 1.0;
    double m_localRatio = 0.5;
    int32_t m_conditionValue = 50;
    double m_strengthMultiplier = 1.0;
    int32_t m_holding = 0;
    int32_t m_aiLevel = 1;
    BYTE m_withdrawn = 0;
    BYTE m_messageFlags[2] = {0, 0};
    int32_t m_strengthTotal = 0;
    int32_t m_casualties = 0;
    CPoint m_armyPoint{0, 0};
    CRect m_zones[9];
    int32_t m_weakestRow = 0, m_strongestRow = 0;
    BYTE m_detachmentsInPlay = 0;
    BYTE m_reinforcement = 0;
    CArmy* m_opponent = nullptr;
    int32_t m_detachmentMode = 2;
    int32_t m_aiMode = 2;
    DWORD m_postureOrderMask = 0x20000;
    int32_t m_frontColumns[kGridRows] = {};
    int32_t m_slotCountdown = 0;
    int32_t m_commandValue = 10000;
    int32_t m_posture = 1;
    BYTE m_humanControlled = 0;
    CThinkingMap m_aiStates;
    CArmyFormationList* m_formationList = nullptr;
    int32_t m_lastIndex = 10;
    int32_t m_randomTie = 1;
    float m_forceRatio = 0.5f;
    CArmyFormation* m_formation = nullptr;
    CDivList m_divisions;  // owns them
    CRect m_cells[kCells];
    CKeyPoint* m_headquarters[2] = {nullptr, nullptr};
    CKeyPoint* m_markers[2] = {nullptr, nullptr};
    BYTE m_headquartersIntact = 1;
    // Above 0 once a headquarters-in-danger message has been queued.
    int32_t m_messageCounter = 0;
    // 1 on the army whose side leads the battle on its battlefield (set as
    // the battle loads): on a castle's field the side that holds the castle
    // and its works. Such an army keeps to its ground (its units' terrain
    // flag, see UnitArmyConditions).
    BYTE m_leading = 0;
    // Set by the deployment's finishing pass while the shock of a lost
    // headquarters is still to come.
    BYTE m_hqShockPending = 0;
    BYTE m_battleJoined = 0;
    int32_t m_rootFormationId = -1;
    int32_t m_pendingFrontStep = 0;
    double m_armyStrength = 0.0;
    // The first AI value gates the formation families in Deploy.
    int32_t m_aiValues[6] = {};
    CPoint m_frontOrigin{0, 0};
    CPoint m_centre{-1000, -1000};
    CPoint m_frontOffset{0, 0};
    CDivList m_queue;  // not owning
    int32_t m_slotCounter = 0;
    int32_t m_tickCount = 0;
    BYTE m_formationAbandoned = 0;
    // Per grid cell: own A, own B, enemy A, enemy B, own share.
    int32_t m_ownA[kCells] = {}, m_ownB[kCells] = {}, m_enemyA[kCells] = {}, m_enemyB[kCells] = {};
    float m_ownShare[kCells] = {};
    // Divisions the AI keeps as targets (the opposing army's): hunters and
    // chase targets, one per wing.
    CDivision* m_chaseTargets[2] = {nullptr, nullptr};
    CDivision* m_hunted = nullptr;
    CPerson* m_commander = nullptr;
    double m_viewValue = 0.9;
    // The division the queue gave its turn on the last tick that gave one.
    int32_t m_lastQueued = -1;
    // The deployment's mean division contact, cached every tick; negative
    // until the first one.
    double m_divisionShare = -1.0;
    // The staged advance of the wedge family: its stage (0..4) and the
    // flag set when the divisions could not keep up.
    int32_t m_pressStage = 0;
    int32_t m_pressHalt = 0;

    // ---- the battle AI's drum, messages and division targets -------------
    // Beats the war drum; the player's army hears the message. The drum's
    // result (see CWarDrum::Beat).
    int BeatDrum();
    // The morale of the live units, weighted by division; 0 with none.
    int GetAverageMorale() const;
    // The oldest queued message, taken off the queue (the battle screen
    // shows it); false when none waits. Messages are kept only on the
    // machine that shows them.
    bool TakeBattleMessage(CBattleMessage& out);
    // (b, a) for an army facing east, (-b, -a) facing west.
    CPoint GetSideOffset(int a, int b) const;
    // Turns a slot target into at most one order for `division`, looking
    // at the nearest enemy (see DivisionTarget.cpp).
    void SetDivisionTarget(CDivision* division, int sideMode, int x, int y, int radius, int facingMode,
                           int orderCode, int flag);
    void SetDivisionTargetEx(CDivision* division, int sideMode, int x, int y, int radius, int reachA, int reachB,
                             int facingMode, int orderCode, int flag);
    // The skill level 1..5 and a new tie (one counted draw).
    void SetAILevel(int level);

    CWarDrum m_warDrum;
    std::deque<CBattleMessage> m_messages;
    // The battlefield gives this side its flag (one army of a battle at most).
    BYTE m_battlefieldFlag = 0;
    int32_t m_reserveFigure = 0;
    DWORD m_situationWord = 0;
    int32_t m_postureChanged = 0;
    BYTE m_commanderInDanger = 0;
    // The average morale the AI reads, refreshed at the start of every tick.
    int32_t m_averageMorale = 0;
    double m_visibility = 1.0;
    // The morale factor of the commander's tactics; 1.0 until applied.
    double m_tacticFactor = 1.0;
    // Set when the army is made, cleared by its first update: no division
    // stands as a rear guard before the battle has begun.
    BYTE m_opening = 1;
    // The divisions' morale events the army allows in a battle.
    DivisionBudgets m_budgets;

private:
    void Construct(int side, int first, int last, int x, int y);
    // Morale change for every active division whose detachment value
    // passes `held`: 0 only, or any value >= 0.
    void ShakeDivisions(double delta, bool anyHeld);
    // Forgets `division` wherever the army or its opponent keeps it.
    void ForgetDivision(const CDivision* division);
    void GiveUpFormation();

    std::unique_ptr<IBattleAI> m_ai = std::make_unique<CNullBattleAI>();
};
