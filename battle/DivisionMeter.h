// CDivisionMeter: the strength bar under a division's portrait on the
// battle panel, a row of small segment icons of which as many are lit as
// the division has strength for (one and a half segments a unit of a
// sixty-segment bar), all lit ones in the colour of its strength ratio.
// The meter owns its segment icons; the panel draws them.
#pragma once

#include "Animate/LevelMeter.h"

class CDivision;

class CDivisionMeter : public CLevelMeterGroup {
public:
    // `division` is not owned and must outlive the meter.
    CDivisionMeter(int count, int a, int b, int c, int d, CDivision* division);

    // Lights the segments for the division's strength. TRUE when what the
    // meter shows changed.
    BOOL Update();
    // The colour row of the lit segments for a strength ratio: 1 (at least
    // 1.3) to 5 (below 0.4).
    static int RowForRatio(double ratio);

    CDivision* m_pDivision;
    double Rate;
};
