// A row of icons used as the segments of a bar meter: the first n segments
// are lit and show one colour state (their phase row), the rest are dark.
// The group only sets phase rows; the owning screen draws the icons.
#pragma once

#include <vector>

#include "Animate/Icon.h"

class CLevelMeterGroup : public CObject {
public:
    CLevelMeterGroup(int segments, int a, int b, int c, int d, int offValue, int onValue, int litCount);
    ~CLevelMeterGroup() override;

    // Makes `icon` segment `index` (ignored outside the row) and puts it in
    // the group's list, which deletes it with the group.
    void SetMeter(CIcon* icon, int index);
    // Lights segments 0 .. n-1; n is kept within 0 .. segment count.
    void SetCount(int n);
    void SetOnValue(int value);

    int GetCount() const { return m_nLit; }
    int GetSegmentCount() const { return m_nSegments; }
    CIcon* GetSegment(int i) const { return i >= 0 && i < m_nSegments ? m_segments[i] : nullptr; }
    CIconList& GetIcons() { return m_icons; }

    int m_placement[4];

protected:
    void SetRow(int index, int value);

    int m_nSegments;
    int m_nLit;
    CIconList m_icons;
    std::vector<CIcon*> m_segments;
    int m_nOff;
    int m_nOn;
};
