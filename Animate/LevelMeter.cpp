#include "Animate/LevelMeter.h"

#include <algorithm>

CLevelMeterGroup::CLevelMeterGroup(int segments, int a, int b, int c, int d, int offValue, int onValue, int litCount)
    : m_placement{a, b, c, d}, m_nSegments(std::max(0, segments)), m_nOff(offValue), m_nOn(onValue) {
    m_segments.assign(m_nSegments, nullptr);
    m_nLit = std::clamp(litCount, 0, m_nSegments);
}

CLevelMeterGroup::~CLevelMeterGroup() { m_icons.DeleteAll(); }

void CLevelMeterGroup::SetMeter(CIcon* icon, int index) {
    if (icon == nullptr || index < 0 || index >= m_nSegments) return;
    m_segments[index] = icon;
    icon->m_nPhaseRow = 0;
    icon->m_nPhaseColumn = 0;
    if (!m_icons.Find(icon)) m_icons.Insert(icon);
}

void CLevelMeterGroup::SetRow(int index, int value) {
    if (CIcon* icon = m_segments[index]) icon->m_nPhaseRow = value;
}

void CLevelMeterGroup::SetCount(int n) {
    // A count past the segments would write past the row; it lights them all.
    n = std::clamp(n, 0, m_nSegments);
    for (int i = n; i < m_nLit; ++i) SetRow(i, m_nOff);
    for (int i = m_nLit; i < n; ++i) SetRow(i, m_nOn);
    m_nLit = n;
}

void CLevelMeterGroup::SetOnValue(int value) {
    if (value == m_nOn) return;
    m_nOn = value;
    for (int i = 0; i < m_nLit; ++i) SetRow(i, m_nOn);
}
