// The think step: measure the battle, choose a posture, run its behaviour,
// and beat the drum.
#include "army/ArmyAI.h"

#include <cmath>

#include "army/AIRules.h"
#include "army/Army.h"
#include "army/Deployment.h"
#include "army/DivisionState.h"
#include "core/Helpers.h"
#include "core/Random.h"
#include "field/Terrain.h"
#include "Units/Unit.h"
#include "world/Person.h"

using namespace ArmyDivision;
using namespace ArmyAIRules;

namespace {

bool IsScenarioFamily(int root) { return root == 133 || root == 134; }

// Band sum of own (or opposing) A + B over rows r0..r1 and columns c0..c1.
int BandSum(const CArmy& a, bool own, int r0, int r1, int c0, int c1) {
    int s = 0;
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const int i = r * CArmy::kGridColumns + c;
            s += own ? a.m_ownA[i] + a.m_ownB[i] : a.m_enemyA[i] + a.m_enemyB[i];
        }
    return s;
}

// The order bit that goes with a posture; 0 for the codes that keep it.
DWORD MaskOf(int posture) {
    switch (posture) {
    case 4: return 0x1000;
    case 8: return 0x2000;
    case 16: return 0x4000;
    case 32: return 0x8000;
    case 64: return 0x10000;
    case 128: return 0x20000;
    case 256: return 0x40000;
    case 512: return 0x80000;
    case 1024: return 0x20000000;
    case 2048: return 0x40000000;
    default: return 0;
    }
}

// Own share of the far quarter of the grid (columns 9..11) above `threshold`.
bool HoldsFarQuarter(const CArmy& a, double threshold) {
    double s = 0.0;
    for (int r = 0; r < CArmy::kGridRows; ++r)
        for (int c = 9; c < CArmy::kGridColumns; ++c) s += a.m_ownShare[r * CArmy::kGridColumns + c];
    return s / (CArmy::kGridRows * 3) > threshold;
}

bool IsHeld(const CDivision* d) { return d->m_wait > 0; }

}  // namespace

namespace ArmyAIRules {

bool OnTurn(const CArmy& army, const CDivision* d) {
    const int k = (army.m_tickCount % 50) / 10;
    return d->m_number == k || d->m_number == k + 5 || d->m_number == k + 10;
}

int RootOf(const CArmy& army) {
    return army.m_formationList ? army.m_formationList->GetRootIDOf(army.m_formation) : -1;
}

bool CanReachCommander(const CArmy& army) {
    const CArmy* opp = army.m_opponent;
    if (!opp) return false;
    if (opp->m_headquartersIntact) return true;
    const CDivision* first = opp->GetDivision(0, FALSE);
    const CUnit* lead = first ? first->GetLeadUnit() : nullptr;
    return lead && !lead->m_routed && !lead->m_lost && army.GetHomeRect().PtInRect(lead->GetPosition());
}

}  // namespace ArmyAIRules

void CArmy::SetAILevel(int level) {
    m_aiLevel = level;
    if (level < 2 && m_aiMode != 3) m_aiMode = 1;
    const int draw = CountedRand();
    m_randomTie = (draw & 1) + (level < 4 ? 1 : 2);
}

void CArmyAI::UpdateAverageValue(CArmy& army) {
    army.m_averageMorale = army.GetAverageMorale();
    UpdateDivisionShare(army);
}

void CArmyAI::RunFormationRoutine(CArmy& army, int rootId) { CDeployment(army, *this).RunRoutine(rootId); }

void CArmyAI::FinishDeployment(CArmy& army) { CDeployment(army, *this).FinishDeployment(); }

void CArmyAI::Think(CArmy& army) {
    army.EvaluateGrid();
    AssessSituation(army);
    army.MeasureHeadquartersThreat();
    army.m_rootFormationId = RootOf(army);
    if (army.m_humanControlled) return;

    const CArmy* opp = army.m_opponent;
    if (opp && opp->m_battlefieldFlag && (army.m_battleJoined || army.m_tickCount > 500)) army.m_posture = 2;
    if (!army.m_battleJoined && IsScenarioFamily(army.m_rootFormationId)) army.m_aiMode = 2;

    ApplyPosture(army);
    army.FindFrontColumns();

    const CDivision* first = army.GetDivision(0, FALSE);
    if (!army.m_withdrawn && army.m_battleJoined && army.m_tickCount >= 1500 && army.m_conditionValue <= 90 &&
        army.m_localRatio <= 1.2 && !HoldsFarQuarter(army, 0.6) && army.m_forceRatio <= 0.25f &&
        !army.m_battlefieldFlag && first && !IsLost(first) && first->IsBelowStrength(0.6) && first->m_contact >= 3) {
        army.OrderAllWithdraw();
        return;
    }

    SeizeOpportunities(army);
    OrderDetachmentsToHeadquarters(army);
    CommandDivisionStep(army);
    CommanderGuardStep(army);

    switch (army.m_aiMode) {
    case 1: RunPosture(army, army.m_posture); break;
    case 2: army.Deploy(); break;
    case 3:
        // The special behaviour's own orders are not built: an army in this
        // mode keeps its orders until its posture turns to 2 or 4096.
        if (army.m_posture == 2 || army.m_posture == 4096) RunPosture(army, army.m_posture);
        break;
    default: break;
    }
    DrumStep(army);
}

void CArmyAI::DrumStep(CArmy& army) {
    if (!army.m_battleJoined) return;
    const int used = army.m_warDrum.m_beatsUsed;
    const int morale = army.m_averageMorale;
    const bool noneLive = morale == 0 && army.GetAverageMorale() == 0;
    bool beat = false;
    if (used == 0) beat = true;
    else if (used == 1) beat = noneLive || morale < 1700;
    else if (used == 2) beat = noneLive || morale < 1200;
    if (beat) army.BeatDrum();
}

void CArmyAI::ApplyPosture(CArmy& army) {
    int candidate = 1;
    if (army.m_aiMode == 1 || army.m_aiMode == 3) candidate = ChoosePosture(army);
    else if (army.m_aiMode == 2) candidate = ChoosePostureSpecial(army);

    if (army.m_aiMode == 3 && (candidate == 2 || candidate == 4096) && candidate != army.m_posture) {
        for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) ClearFlagBit(army.m_divisions.GetDivision(pos), 14);
        army.m_aiMode = 1;
    }
    if (army.m_tickCount % 100 == 0) {
        EvaluateEngagement(army, candidate);
        army.m_postureChanged = 1;
    } else if (candidate != army.m_posture) {
        EvaluateEngagement(army, candidate);
        army.m_postureChanged = 1;
        army.m_posture = candidate;
    }
    if (DWORD mask = MaskOf(candidate)) army.m_postureOrderMask = mask;
}

int CArmyAI::ChoosePostureSpecial(CArmy& army) {
    const int t = army.m_tickCount;
    if (IsScenarioFamily(army.m_rootFormationId) && t < 7201 && !(army.m_battleJoined && t > 3600)) return 1024;
    return ChoosePosture(army);
}

int CArmyAI::ChoosePosture(CArmy& army) {
    const CArmy* opp = army.m_opponent;
    const int root = army.m_rootFormationId;
    if (opp && opp->m_divisions.GetCount() < 1 && army.m_divisions.GetCount() >= 1) return 4096;
    if (army.m_aiLevel < 1 && army.m_aiMode != 3 && !IsScenarioFamily(root)) return 2;

    const float T = float(BandSum(army, true, 0, 1, 0, 11) + 2), ET = float(BandSum(army, false, 0, 1, 0, 11) + 2);
    const float M = float(BandSum(army, true, 2, 3, 0, 11) + 2), EM = float(BandSum(army, false, 2, 3, 0, 11) + 2);
    const float B = float(BandSum(army, true, 4, 5, 0, 11) + 2), EB = float(BandSum(army, false, 4, 5, 0, 11) + 2);
    const float L = float(BandSum(army, true, 0, 5, 0, 1) + 2), EL = float(BandSum(army, false, 0, 5, 0, 1) + 2);
    float R = float(BandSum(army, true, 0, 5, 10, 11) + 2);
    const float ER = float(BandSum(army, false, 0, 5, 10, 11) + 2);
    if (army.m_reserveFigure > 500 && army.m_aiLevel >= 2) R += float(Round(army.m_reserveFigure * 0.8));

    const CPerson* commander = army.GetCommander();
    const float aggression = commander && commander->flags[0] && commander->flags[1] ? commander->ratio : 0.5f;
    const float k = 0.5f + aggression;
    float rT = T * k / (ET + T), rM = M * k / (EM + M), rB = B * k / (EB + B);
    const float rL = L * k / (EL + L), rR = k * R / (ER + R);
    const bool reach = CanReachCommander(army);
    float S = 0.2f * (rR + rL) + army.m_forceRatio - 0.2f;

    switch (army.m_posture) {
    case 512:
        if (S < 0.6f) S *= 1.2f;
        rB *= 1.2f;
        break;
    case 1024: S *= 0.8f; break;
    case 4096: S *= 1.2f; break;
    case 256:
        if (S < 0.6f) S *= 1.2f;
        rT *= 1.2f;
        break;
    case 2: S *= 1.2f; break;
    case 4:
        if (rT > 0.6f) rT *= 0.8f;
        if (rB > 0.6f) rB *= 0.8f;
        if (rM < 0.6f) rM *= 1.2f;
        if (S < 0.5f) S *= 1.2f;
        break;
    case 64:
        if (S >= 0.5f) {
            if (S > 0.6f) S *= 0.8f;
        } else {
            S *= 1.2f;
        }
        rT *= 1.2f;
        break;
    case 128:
        if (S >= 0.5f) {
            if (S > 0.6f) S *= 0.8f;
        } else {
            S *= 1.2f;
        }
        rB *= 1.2f;
        break;
    default: break;
    }
    if (army.m_battlefieldFlag) S *= 0.8f;
    else if (root == 133) S *= 0.7f;
    else if (root == 134) S *= 0.5f;

    if (rL < 0.5f) return rR > 0.5f && rR > rL && reach ? 2 : 1024;
    if (rR > 0.5f && reach) return 2;
    if (S <= 0.6f) {
        if ((army.m_aiLevel > 3 && army.m_detachmentsInPlay) || army.m_battlefieldFlag) return 1024;
        static constexpr int kByTie[4][3] = {{2, 4, 1024}, {1024, 64, 128}, {4, 64, 128}, {4, 256, 512}};
        const int row = army.m_aiLevel > 3 ? 3 : army.m_aiLevel == 3 ? 2 : army.m_aiLevel == 2 ? 1 : 0;
        const int tie = army.m_randomTie;
        return tie >= 1 && tie <= 3 ? kByTie[row][tie - 1] : 1024;
    }
    if (!reach) return 4096;
    if (S > 0.8f) return 2;
    if (rT <= 0.6f && rB <= 0.6f) {
        if (rM > 0.6f) return 4;
        return rT <= rB ? 128 : 64;
    }
    return rT > rB ? 256 : 512;
}

namespace {

// The code of a centre band: how own and opposing strength there compare.
DWORD CentreBandCode(double own, double opposing, double strength) {
    if (own + opposing < 0.05 * strength) return 0;
    const double ratio = opposing > 0 ? own / opposing : 4.0;
    if (ratio >= 4.0) return 0x40;
    if (ratio >= 2.0) return 0x80;
    if (ratio >= 0.5) return 0xC0;
    if (ratio >= 0.25) return 0x100;
    return opposing > 0.07 * strength ? 0x1C0 : 0x180;
}

// The code of an end band: only an opposing presence there counts.
DWORD EndBandCode(double own, double opposing, double strength, DWORD a, DWORD b, DWORD c) {
    if (opposing <= 0.02 * strength) return 0;
    const double ratio = own / opposing;
    if (ratio >= 0.8) return a;
    if (ratio >= 0.3) return b;
    return c;
}

}  // namespace

void CArmyAI::AssessSituation(CArmy& army) {
    double own = (BandSum(army, true, 0, 5, 0, 11)) * 0.5;
    const double opposing = (BandSum(army, false, 0, 5, 0, 11)) * 0.5;
    const double strength = own + opposing;
    DWORD word = 0;
    word |= CentreBandCode(BandSum(army, true, 0, 1, 2, 9), BandSum(army, false, 0, 1, 2, 9), strength);
    word |= CentreBandCode(BandSum(army, true, 4, 5, 2, 9), BandSum(army, false, 4, 5, 2, 9), strength);
    word |= EndBandCode(BandSum(army, true, 0, 5, 0, 1), BandSum(army, false, 0, 5, 0, 1), strength, 0x200, 0x600,
                        0xE00);
    word |= EndBandCode(BandSum(army, true, 0, 5, 10, 11), BandSum(army, false, 0, 5, 10, 11), strength, 0x40000,
                        0xC0000, 0x1C0000);
    if (army.m_aiLevel > 2) {
        army.m_reserveFigure = army.m_divisions.CountBattalions(FALSE, FALSE);
        own += 2.0 * army.m_reserveFigure;
    }
    if (own == 0 && opposing == 0) army.m_forceRatio = 0.5f;
    else if (own == 0) army.m_forceRatio = 0.0f;
    else if (opposing == 0) army.m_forceRatio = 1.0f;
    else army.m_forceRatio = float(own / (own + opposing));
    word |= army.m_forceRatio > 0.6f ? 0x8000 : army.m_forceRatio > 0.4f ? 0x18000 : 0x38000;
    word |= army.m_postureOrderMask | 0x2000;
    army.m_situationWord = word;
}

namespace {

// The filter of the opportunistic attacks.
bool MaySeize(const CDivision* d) {
    return !IsLost(d) && d->m_number != 0 && d->m_number != 7 && d->m_number < 11 && !Ordered(d) && !IsHeld(d);
}

void OrderAllOut(CArmy& army, CDivision* d, CPoint target) {
    army.OrderDivision(d, 1, target.x, target.y, d->m_flags | 0x1000, -2, FALSE, 100, 0);
    d->m_wait = 150;
}

}  // namespace

void CArmyAI::SeizeOpportunities(CArmy& army) {
    CArmy* opp = army.m_opponent;
    if (!opp) return;
    if (CanReachCommander(army)) {
        const CPoint target = GetHeadquartersTarget(army, opp->m_armyPoint.x, opp->m_armyPoint.y);
        for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) {
            CDivision* d = army.m_divisions.GetDivision(pos);
            if (!MaySeize(d)) continue;
            if (Round(GetDistance(d->m_x, d->m_y, target.x, target.y, false)) <= 700) OrderAllOut(army, d, target);
        }
    }
    if (army.m_battlefieldFlag) return;
    for (POSITION pos = army.m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = army.m_divisions.GetDivision(pos);
        if (!MaySeize(d)) continue;
        if (const CDivision* e = opp->m_divisions.FindNearest(d->m_x, d->m_y, FALSE, TRUE, 800))
            OrderAllOut(army, d, e->GetPosition());
    }
}

void CArmyAI::OrderDetachmentsToHeadquarters(CArmy& army) {
    if (!army.m_detachmentsInPlay || army.m_tickCount % 100 != 0) return;
    for (int i = 12; i <= 14; ++i) {
        CDivision* d = army.GetDivision(i, FALSE);
        if (!d || DetachmentValue(d) == 0 || IsHeld(d)) continue;
        const CPoint t = GetHeadquartersTarget(army, d->m_x, d->m_y);
        army.OrderDivision(d, 2, t.x, t.y, 2048, -2, FALSE, 100, 0);
    }
}

CPoint CArmyAI::GetHeadquartersTarget(CArmy& army, int x, int y) {
    const CArmy* opp = army.m_opponent;
    if (opp && opp->m_headquartersIntact && army.m_markers[0] && army.m_markers[1])
        return CPoint(army.m_markers[0]->m_x, (army.m_markers[0]->m_y + army.m_markers[1]->m_y) / 2);
    if (opp) {
        const CDivision* first = opp->GetDivision(0, FALSE);
        const CUnit* lead = first ? first->GetLeadUnit() : nullptr;
        if (lead && !lead->m_routed && !lead->m_lost && army.GetHomeRect().PtInRect(lead->GetPosition()))
            return lead->GetPosition();
        if (const CDivision* e = opp->m_divisions.FindNearest(x, y, FALSE, TRUE, 65535)) return e->GetPosition();
    }
    const CRect home = army.GetHomeRect();
    return CPoint((home.left + home.right) / 2, (home.top + home.bottom) / 2);
}
