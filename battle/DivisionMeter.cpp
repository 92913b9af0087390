#include "battle/DivisionMeter.h"

#include "Units/Division.h"

CDivisionMeter::CDivisionMeter(int count, int a, int b, int c, int d, CDivision* division)
    : CLevelMeterGroup(count, a, b, c, d, 0, 1, 0), m_pDivision(division), Rate(count * 0.025) {}

int CDivisionMeter::RowForRatio(double ratio) {
    if (ratio >= 1.3) return 1;
    if (ratio >= 1.0) return 2;
    if (ratio >= 0.7) return 3;
    if (ratio >= 0.4) return 4;
    return 5;
}

BOOL CDivisionMeter::Update() {
    if (!m_pDivision) return FALSE;
    const int lit = GetCount(), row = m_nOn;
    SetCount(int(m_pDivision->GetStrength() * Rate));
    SetOnValue(RowForRatio(m_pDivision->GetStrengthRatio(FALSE)));
    return GetCount() != lit || m_nOn != row;
}
