// The computer's deployment into its army formation: the three ways to turn
// a slot target into one order (hold it against the nearest enemy, reach
// out to charge, keep close and back off), the hold and press placements
// of the two wings and the centre, each formation's decision routine, the
// special placements of the formations that split into a spare group and
// responders, and the finishing pass over the reserve divisions.
//
// Everything runs inside the army's think step on both peers in the same
// order. The only counted draws are those of CArmy::OrderDivision (its
// jitter and its pick of a division formation) and of the posture
// behaviours the placements hand over to; every loop here walks a list
// or a fixed table once, so the draws come in the same order everywhere.
#pragma once

#include "army/BattleAI.h"
#include "platform/afx/Afx.h"

class CArmy;
class CDivision;
class CDivList;

// The division target rules. Each gives at most one order, and only on
// tick 10 and the multiples of 100. The facing mode is relative to the
// army's facing.
void SetDivisionTarget(CArmy& army, CDivision* d, int sideMode, int x, int y, int radius, int facingMode,
                       int orderCode, int flag);
void SetDivisionTargetEx(CArmy& army, CDivision* d, int sideMode, int x, int y, int radius, int reachA, int reachB,
                         int facingMode, int orderCode, int flag);
void SetDivisionTargetNear(CArmy& army, CDivision* d, int sideMode, int x, int y, int distance1, int distance2,
                           int distance3, int facingMode, int orderCode, int flag);
// (b, a) for an army facing east, (-b, -a) facing west.
CPoint GetSideOffset(const CArmy& army, int a, int b);

// The mean contact of the counted divisions, cached on the army (the
// battle is joined once it exceeds 0.05). Runs every tick.
void UpdateDivisionShare(CArmy& army);
// The cached share, or a fresh one when none is cached yet.
double GetDivisionShare(CArmy& army);

// One think step's deployment work on one army. `ai` is the army's battle
// AI, asked for the posture behaviours and the headquarters target.
class CDeployment {
public:
    CDeployment(CArmy& army, IBattleAI& ai) : a(army), m_ai(ai) {}

    // The routine of a root army formation id (none for an id without one).
    void RunRoutine(int rootId);
    void FinishDeployment();

    // ---- band placements -------------------------------------------------
    void HoldWingA();
    void HoldWingB();
    void HoldCentre();
    void PressWingA();
    void PressWingB();
    void PressCentre();

    // ---- measures ----------------------------------------------------------
    bool IsWingAFavourable(double ratio) const;
    bool IsWingBFavourable(double ratio) const;
    bool IsCentreFavourable(double ratio) const;
    int GetFrontEdgeA() const;
    int GetFrontEdgeB() const;

    // ---- routines ------------------------------------------------------------
    void DeployForm93();
    void DeployForm103();
    void DeployForm133();
    void PlaceForm94();
    void PlaceForm97();
    void PlaceForm99();

    // ---- target searches and moves --------------------------------------------
    CDivision* FindTargetInRect(const CRect& rect, bool ready, bool avoidHome) const;
    CDivision* FindNearestTargetInRect(const CRect& rect, bool ready, bool avoidHome) const;
    CDivision* FindStrongestTarget() const;
    CDivision* FindTargetWingA(bool ready, bool farHalf) const;
    CDivision* FindTargetWingB(bool ready, bool farHalf) const;
    CDivision* FindTargetCentre(bool ready, bool farHalf) const;
    bool ChaseTarget(CDivision* d, CDivision* target, int leash, int orderCode, const CRect& inner,
                     const CRect& outer, int facing);
    bool FollowDivision(CDivision* d, CDivision* leader, int distance, int orderCode, int facing, int dx, int dy);
    void AssignResponders(CDivList& wingA, CDivList& centre, CDivList& wingB, CDivList& spare);

    // A slot point of the current formation plus the army's position and
    // front offset, plus `dx, dy` (stated for an army facing east).
    CPoint SlotTarget(int slot, int dx, int dy) const;

    // One placement row, and a run of them in order.
    struct Row;
    void PlaceRow(const Row& row);
    void PlaceRows(const Row* rows, int count);

private:
    void ChaseRow(const Row& fallback, int wing, int orderCode);
    void PressFamily(DWORD familyFlag, bool wingB);
    void PressFormation100(const int* divisions);
    void RunRoutineTree(int id);
    void RunList(const char* list);
    void WingChoice(const char* both, const char* onlyA, const char* onlyB, const char* neither);
    void CentrePush();
    void Front(int distance);
    void Reform(int id);
    bool IsEarly() const;
    int Gap() const;
    bool Combat() const;
    CRect Cells(int row0, int row1, int column0, int column1) const;
    CDivision* Own(int index) const;
    void AttackOn(CDivision* d, CDivision* target, int code);
    void HandOverToPostures();
    void SparePlacement(bool form94);

    CArmy& a;
    IBattleAI& m_ai;
};

// The deployment side of a battle AI: a base a full AI derives from, or
// delegates to, for the formation routines, the finishing pass and the
// per-tick division share.
class CDeploymentAI : public CNullBattleAI {
public:
    void UpdateAverageValue(CArmy& army) override { UpdateDivisionShare(army); }
    void RunFormationRoutine(CArmy& army, int rootId) override { CDeployment(army, *this).RunRoutine(rootId); }
    void FinishDeployment(CArmy& army) override { CDeployment(army, *this).FinishDeployment(); }
};
