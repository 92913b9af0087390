// CArmyAI: the computer's command of an army in battle. Every ten ticks it
// measures the battle, chooses a posture, gives each division its role and
// orders the wings, guards the commander, and beats the war drum. A
// player's army is only measured.
//
// The deployment routines of the formations and their finishing pass are
// the deployment's own (army/Deployment.h); this class hands them over.
#pragma once

#include "army/BattleAI.h"
#include "platform/afx/Afx.h"

class CArmy;
class CDivision;
class CDivList;

// The wing sizes an engagement evaluation gives (left, centre, right).
struct WingCounts {
    int left = 0;
    int centre = 0;
    int right = 0;
    bool operator==(const WingCounts&) const = default;
};

// The wing sizes for posture `code` with `fighting` divisions and the
// opposing strength e1, e2, e3 on the left, middle and right band.
WingCounts WingCountsFor(int code, int fighting, int e1, int e2, int e3);

class CArmyAI : public IBattleAI {
public:
    void Think(CArmy& army) override;
    void GuardHeadquarters(CArmy& army) override;
    void UpdateAverageValue(CArmy& army) override;
    void RunPosture(CArmy& army, int code) override;
    void RunFormationRoutine(CArmy& army, int rootId) override;
    void FinishDeployment(CArmy& army) override;
    CPoint GetHeadquartersTarget(CArmy& army, int x, int y) override;

    // ---- the think step's parts --------------------------------------------
    void ApplyPosture(CArmy& army);
    int ChoosePosture(CArmy& army);
    int ChoosePostureSpecial(CArmy& army);
    void AssessSituation(CArmy& army);
    void SeizeOpportunities(CArmy& army);
    void OrderDetachmentsToHeadquarters(CArmy& army);
    void CommandDivisionStep(CArmy& army);
    void CommanderGuardStep(CArmy& army);
    // Beats the drum when the beats used so far and the morale call for it.
    void DrumStep(CArmy& army);

    // ---- roles ---------------------------------------------------------------
    void EvaluateEngagement(CArmy& army, int code);
    int CountCentreGuards(const CArmy& army, int code, int count) const;

    // ---- posture behaviours ----------------------------------------------------
    void PostureGeneralAttack(CArmy& army);
    void PostureCentreAttack(CArmy& army);
    void PostureHoldLine(CArmy& army);
    void PosturePursuit(CArmy& army);
    // Posture 256 leads with the left wing, 512 with the right.
    void PostureStaggeredAdvance(CArmy& army, bool leadLeft);
    // Posture 64 attacks along the left band, 128 along the right.
    void PostureWingAttack(CArmy& army, bool attackLeft);
};

// Division 7, else 11, else the one nearest (x, y), taken out of `list`;
// null for an empty list.
CDivision* PopGuard(CDivList& list, int x, int y);
// Strong enough to take part in the wing behaviours.
bool IsStrongEnough(const CDivision* d);
