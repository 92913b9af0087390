// The army's summary of a battle, filled when the results screen opens.
#include <algorithm>

#include "army/Army.h"
#include "army/DivisionState.h"
#include "core/ExactMath.h"
#include "Units/Division.h"
#include "Units/StatusSummary.h"

namespace {

// The ticks of a battle's first part: a battle won within it counts more,
// one lost within it is weighed against what the enemy lost.
constexpr int kEarlyTicks = 8640;

int SumLosses(const CDivList& divisions, BOOL fled) {
    int n = 0;
    for (POSITION pos = divisions.GetHeadPosition(); pos;) n += divisions.GetDivision(pos)->GetLossFigure(fled);
    return n;
}

}  // namespace

void CArmy::FillStatus(CStatusSummary15* node) {
    if (!node) return;
    node->m_active = 0;
    node->m_childCount = 0;
    m_casualties = 0;
    if (m_routed) node->m_closed = 1;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        CDivision* d = m_divisions.GetDivision(pos);
        const bool lost = ArmyDivision::IsLost(d);
        if (!lost && m_active) node->m_active = 1;
        auto* child = new CStatusSummary4;
        m_casualties += d->GatherStatus(*child);
        if (lost) child->m_closed = 1;
        if (node->SetChild(d->m_number, child)) ++node->m_childCount;
    }

    const int own = SumLosses(m_divisions, FALSE);
    int enemyLost = 0, enemyLeft = 0, enemyTotal = 0;
    if (m_opponent) {
        enemyLost = SumLosses(m_opponent->m_divisions, TRUE);
        enemyLeft = SumLosses(m_opponent->m_divisions, FALSE);
        enemyTotal = m_opponent->m_strengthTotal;
    }
    if (m_active) enemyLost = 0;
    double r = 1.0 / ((double(m_strengthTotal) + 1.0) / (double(enemyTotal) + 1.0));

    int score = 0;
    if (!m_active && m_tickCount <= kEarlyTicks) {
        const int d = enemyLeft - enemyLost;
        auto q = [&](int k) { return int(double(own / k) / r); };
        if (d < q(10)) score = -7000;
        else if (d < q(9)) score = -5000;
        else if (d < q(8)) score = -3000;
        else if (d < q(7)) score = -2000;
        else if (d < q(6)) score = -1000;
    }
    if (m_active) score += m_tickCount <= kEarlyTicks ? 2 * (enemyLost + 3 * enemyLeft) : enemyLost + 2 * enemyLeft;

    r = std::clamp(r, 0.1, 10.0);
    double factor = (ExactMath::Sin(r * 0.1 * 90.0 * ExactMath::kPi / 180.0) + 1.0) * 0.5;
    if (m_active) factor *= m_resultFactor;
    node->Gather(factor, score);
}
