// Each army formation's deployment routine: from the state of the battle
// (are the divisions in contact, how far apart the two front lines stand,
// which bands are strong) it picks the band placements of this think step,
// moves the front line, or re-forms the army into another formation.
#include <cstdlib>

#include "army/Army.h"
#include "army/Deployment.h"
#include "army/DivisionState.h"

using namespace ArmyDivision;

namespace {
constexpr int kCombatMask = 0x3FE;
}

bool CDeployment::Combat() const { return (a.m_posture & kCombatMask) != 0; }

int CDeployment::Gap() const { return std::abs(GetFrontEdgeB() - GetFrontEdgeA()); }

bool CDeployment::IsEarly() const { return a.m_tickCount <= 400 && Gap() > 500; }

void CDeployment::Front(int distance) {
    if (a.CheckSlots(100)) a.AdvanceFront(TRUE, TRUE, distance);
}

void CDeployment::Reform(int id) {
    if (a.m_formationList) a.RepositionDivisions(a.m_formationList->GetFormation(id), FALSE);
}

// Placements by letter, in order: a b c hold wing A, wing B, the centre;
// A B C press them.
void CDeployment::RunList(const char* list) {
    for (const char* p = list; *p; ++p) {
        switch (*p) {
        case 'a': HoldWingA(); break;
        case 'b': HoldWingB(); break;
        case 'c': HoldCentre(); break;
        case 'A': PressWingA(); break;
        case 'B': PressWingB(); break;
        case 'C': PressCentre(); break;
        default: break;
        }
    }
}

void CDeployment::WingChoice(const char* both, const char* onlyA, const char* onlyB, const char* neither) {
    const bool wingA = IsWingAFavourable(2.0);
    const bool wingB = IsWingBFavourable(2.0);
    RunList(wingA && wingB ? both : wingA ? onlyA : wingB ? onlyB : neither);
}

void CDeployment::CentrePush() {
    if (GetDivisionShare(a) > 0.2 && a.GetZone(CArmy::kFront).PtInRect(a.m_centre) && IsCentreFavourable(1.5))
        PressCentre();
}

void CDeployment::RunRoutine(int id) {
    switch (id) {
    case 93: DeployForm93(); return;
    case 103: DeployForm103(); return;
    case 133:
    case 134: DeployForm133(); return;
    case 3:
    case 10:
    case 26:
    case 70:
    case 90:
    case 91:
    case 92:
    case 94:
    case 95:
    case 96:
    case 97:
    case 98:
    case 99:
    case 100:
    case 101:
    case 102: RunRoutineTree(id); return;
    default: return;
    }
}

void CDeployment::RunRoutineTree(int id) {
    // Formations 94, 97 and 99 at tie value 3 break into their special
    // placement once in contact, or when the lines close outside combat.
    if ((id == 94 || id == 97 || id == 99) && a.m_randomTie == 3) {
        auto special = [&] { id == 94 ? PlaceForm94() : id == 97 ? PlaceForm97() : PlaceForm99(); };
        if (a.m_battleJoined)
            special();
        else if (Combat())
            Front(300);
        else if (Gap() < (id == 97 ? 300 : 100))
            special();
        return;
    }
    const bool engaged = GetDivisionShare(a) > 0.05;
    const bool combat = Combat();
    if ((id == 91 || id == 92) && combat) {
        // A fresh start for every division before the line moves.
        for (POSITION pos = a.m_divisions.GetHeadPosition(); pos;) {
            CDivision* d = a.m_divisions.GetDivision(pos);
            if (IsLost(d) || d->m_number > 11) continue;
            Ordered(d) = 0;
            d->m_ready = 1;
        }
    }

    // Which wing-choice lists the formation uses.
    static const char* const kStandard[4] = {"BA", "Ab", "Ba", "ba"};
    static const char* const kCentreHeld[4] = {"cBA", "cAb", "cBa", "Cba"};
    static const char* const kAllOut[4] = {"BA", "Ab", "Ba", "CBA"};
    static const char* const kLateCentre[4] = {"BA", "Ab", "Ba", "baC"};
    static const char* const kCentreWhenWeak[4] = {"BA", "Ab", "Ba", "Cba"};
    static const char* const kNoneWhenNeither[4] = {"BA", "Ab", "Ba", ""};
    auto choose = [&](const char* const* w) { WingChoice(w[0], w[1], w[2], w[3]); };

    if (engaged && combat) {
        if (id == 26) {
            Front(200);
            const int p = a.m_posture;
            if (p == 128 || p == 512) RunList("BcA");
            else if (p == 64 || p == 256) RunList("AcB");
            else if (p == 4) RunList("aCb");
            return;
        }
        Front(id == 95 ? 300 : id == 100 ? 1500 : 200);
        switch (id) {
        case 3:
        case 90:
        case 91:
        case 92: choose(kCentreHeld); break;
        case 70: choose(kLateCentre); break;
        case 95:
        case 97:
        case 98:
        case 99: choose(kAllOut); break;
        case 100: choose(kCentreWhenWeak); break;
        default: choose(kStandard); break;
        }
        CentrePush();
        return;
    }

    const bool early = IsEarly();
    const bool close = Gap() < 200;
    if (engaged) {
        switch (id) {
        case 3:
        case 90:
        case 91:
        case 92: RunList("bac"); break;
        case 26: WingChoice("cBA", "cAb", "cBa", "cba"); break;
        case 100: choose(kNoneWhenNeither); break;  // and no centre push
        case 94:
        case 101:
        case 102: RunList("ba"); break;
        default: RunList("cba"); break;
        }
        return;
    }

    if (combat) {
        switch (id) {
        case 3:
            Front(300);
            RunList("cBA");
            break;
        case 10:
        case 90:
        case 94:
            if (early) {
                if (IsCentreFavourable(2.0)) Reform(id == 90 ? 94 : 93);
            } else {
                if (id == 94) a.AdvanceFront(TRUE, TRUE, 300);
                else Front(300);
                RunList("cBA");
            }
            break;
        case 26:
            if (early) {
                if (IsCentreFavourable(2.0)) Reform(97);
            } else if (a.m_randomTie == 1) {
                a.AdvanceFront(TRUE, TRUE, 300);
                RunList("cBA");
            } else {
                a.AdvanceFront(TRUE, TRUE, 200);
            }
            break;
        case 70:
            if (early) {
                if (IsCentreFavourable(2.5)) Reform(100);
            } else {
                Front(700);
            }
            break;
        case 91:
        case 92:
            if (early) {
                Reform(94);
            } else {
                Front(300);
                RunList("cBA");
            }
            break;
        case 95:
            if (!early) break;
            if (IsWingBFavourable(2.0)) {
                Reform(99);
            } else {
                a.AdvanceFront(TRUE, TRUE, 300);
                RunList("CBA");
            }
            break;
        case 96:
            if (!early) break;
            if (IsCentreFavourable(2.0)) {
                Reform(93);
            } else {
                a.AdvanceFront(TRUE, TRUE, 300);
                RunList("cBA");
            }
            break;
        case 97:
            if (early && IsWingBFavourable(2.0)) Reform(99);
            else Front(300);
            break;
        case 98:
            if (early) {
                if (IsWingBFavourable(2.0)) Reform(99);
            } else {
                Front(300);
                RunList("CBA");
            }
            break;
        case 99:
            if (early) {
                if (IsCentreFavourable(2.5) && !IsWingBFavourable(2.0)) Reform(97);
            } else {
                Front(300);
                RunList("CBA");
            }
            break;
        case 100:
            if (!early) break;
            if (!IsCentreFavourable(1.5)) {
                Reform(94);
            } else if (a.CheckSlots(100)) {
                a.AdvanceFront(TRUE, TRUE, 300);
                RunList("CBA");
            }
            break;
        case 101:
            if (early) {
                if (IsCentreFavourable(1.5)) a.AdvanceFront(TRUE, TRUE, 200);
                else Reform(a.m_forceRatio > 0.6f ? 10 : 94);
            } else {
                a.AdvanceFront(TRUE, TRUE, 300);
                RunList("ba");
            }
            break;
        case 102:
            if (early) {
                if (IsCentreFavourable(1.5)) Reform(97);
                else Reform(a.m_forceRatio > 0.6f ? 10 : 94);
            } else {
                Front(300);
                RunList("cBA");
            }
            break;
        default: break;
        }
        return;
    }

    // Quiet, outside the combat postures.
    switch (id) {
    case 3:
    case 26:
    case 90:
    case 94:
        if (close) RunList("cba");
        break;
    case 70:
        if (early) Reform(94);
        else if (close) RunList("cba");
        break;
    case 91:
    case 92:
        if (early) {
            if (IsCentreFavourable(2.0)) Reform(94);
        } else if (close) {
            RunList("cba");
        }
        break;
    case 101:
    case 102: break;
    default:
        if (!early && close) RunList("cba");
        break;
    }
}

void CDeployment::DeployForm93() {
    double share = GetDivisionShare(a);
    const bool combat = Combat();
    if (share > 0.05 && combat) {
        if (a.CheckSlots(100)) a.AdvanceFront(TRUE, TRUE, 200);
        WingChoice("BA", "Ab", "Ba", "ba");
        share = GetDivisionShare(a);
        if (share > 0.2 && a.GetZone(CArmy::kFront).PtInRect(a.m_centre) && IsCentreFavourable(1.5)) PressCentre();
        return;
    }
    if (share > 0.05) {
        RunList("ba");
        return;
    }
    if (!combat) {
        Reform(94);
        return;
    }
    if (a.m_tickCount <= 400 && Gap() > 500) {
        if (IsCentreFavourable(1.5)) a.AdvanceFront(TRUE, TRUE, 200);
        else Reform(a.m_forceRatio > 0.6f ? 10 : 94);
        return;
    }
    if (a.CheckSlots(100)) a.AdvanceFront(TRUE, TRUE, 300);
    RunList("ba");
}

void CDeployment::DeployForm103() {
    const bool combat = Combat();
    if (GetDivisionShare(a) <= 0.05 && Gap() >= 300) {
        if (combat) a.AdvanceFront(TRUE, TRUE, 300);
        else if (Gap() < 700) HoldCentre();
        return;
    }
    if (!combat) {
        HoldCentre();
        return;
    }
    // Released from the family's staged re-forming: the dispatcher runs this
    // routine directly from now on.
    if (a.m_aiValues[0] == 0) a.m_aiValues[0] = 1;
    if (IsCentreFavourable(7.0)) PressCentre();
    else if (a.m_posture & 0x2B2) PressWingB();
    else PressWingA();
    CentrePush();
}
