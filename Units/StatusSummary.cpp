#include "Units/StatusSummary.h"

#include <algorithm>

#include "Units/GeneralFigures.h"
#include "world/Person.h"

namespace {

// Marks a general taken in the battle: he is no longer free to be picked,
// and his last action is the booking's.
void MarkTaken(CPerson* general, int stamp) {
    general->assigned = 0;
    general->lastAction = stamp;
}

// A figure less `loss`, kept at `floor` or more, but never raised by it.
int32_t Drop(int32_t value, int32_t loss, int32_t floor) {
    return std::max(value - loss, std::min(value, floor));
}

}  // namespace

// ------------------------------------------------------------------ leaf

void CStatusSummary::Propagate(int stamp) {
    if (!m_general) return;
    if (m_changed) MarkTaken(m_general, stamp);
    m_record.AddScore(m_type, m_record.GetKillScore());
    m_general->record.Add(m_record);
    const int merit = m_record.GetMeritScore();
    int32_t& experience = GeneralFigures::ExperienceRef(m_general);
    experience = std::clamp(merit / 100 + experience, 25, 99);
    const int rating = m_general->workTableB.GetCombatRating(m_general->state);
    m_general->standing += std::min(5, int(double(rating) * merit / 1000.0));
}

// ------------------------------------------------------------- division

void CStatusSummary4::Reset() {
    ResetTotals();
    for (auto& row : m_counters) std::fill(std::begin(row), std::end(row), 0);
    m_extra[0] = m_extra[1] = 0;
}

void CStatusSummary4::Propagate(int stamp) {
    PropagateChildren(stamp);
    if (!m_general) return;
    const int32_t loss = m_a + m_b;
    auto book = [&](int32_t& figure) {
        figure = m_changed ? std::max(0, figure + 1 - loss) : Drop(figure, loss, 1);
    };
    book(m_general->units);
    if (m_general->state == 1) book(m_general->horses);
    if (m_general->state == 4) book(m_general->rifles);
}

// ----------------------------------------------------------------- army

void CStatusSummary15::Reset() {
    ResetTotals();
    m_closed = 0;
    m_stamp = 0;
    m_factor = 0.0;
    m_active = 0;
    m_childCount = 0;
}

void CStatusSummary15::Gather(double factor, int score) {
    m_stamp = score;
    m_factor = factor;
    GatherChildren();
    // Held to the counters' range: a wild factor must not overflow them.
    m_d = int32_t(std::clamp(double(int64_t(m_d) + score) * factor, -2147483648.0, 2147483647.0));
    if (m_general) {
        int8_t& level = GeneralFigures::LevelRef(m_general);
        level = int8_t(std::clamp(level + 5 * (m_d / 1000), 1, 99));
    }
}

BOOL CStatusSummary15::Propagate(int stamp) {
    PropagateChildren(stamp);
    if (m_changed && m_general) MarkTaken(m_general, stamp);
    return m_changed;
}
