#include "army/WarDrum.h"

#include <algorithm>
#include <cmath>

#include "army/Army.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"
#include "field/Terrain.h"
#include "world/Person.h"

namespace {

constexpr int kDrumSound = 24;
constexpr int kDrumVolume = 100;

bool IsLostHeadquarters(const CKeyPoint* k) { return k && (k->m_currentState == 3 || k->m_currentState == 4); }

// 0.25 and the leadership of the general whose unit commands the army.
double LeadershipOf(const CArmy& army) {
    const CDivision* first = army.GetDivision(0, FALSE);
    if (!first || !first->GetLeadUnit() || !first->m_general) return 0.25;
    return 0.25 + first->m_general->ratio;
}

}  // namespace

int CWarDrum::Beat() {
    if (m_beatsUsed >= kBeats) return kNoBeatsLeft;
    if (!m_owner) return 0;
    CArmy& army = *m_owner;
    if (IsLostHeadquarters(army.m_headquarters[0]) || IsLostHeadquarters(army.m_headquarters[1])) return kBroken;

    const int elapsed = army.m_tickCount - m_lastBeatTick;
    const int t = std::min(elapsed / 16 - 10, 15);
    const int left = (kBeats - m_beatsUsed) * 5;
    const int sum = t + left;
    const int morale = army.GetAverageMorale();
    const int g = int(std::lround(sum * 0.01 * morale));
    int gain = int(std::lround(g * LeadershipOf(army)));
    if (morale < 1000 && gain < 0)
        gain = 0;
    else
        army.AdjustMorale(double(gain), FALSE);
    // Only the loudness differs between the player's machine and the other.
    const int volume = army.ShowsBattleMessages() ? kDrumVolume : int(std::lround(kDrumVolume * 0.95));
    army.PlaySound(kDrumSound, 0, volume, 10000);
    m_lastBeatTick = army.m_tickCount;
    ++m_beatsUsed;
    return gain;
}

// ------------------------------------------------------------ the army side

int CArmy::BeatDrum() {
    const int r = m_warDrum.Beat();
    if (!ShowsBattleMessages()) return r;
    int id = -1;
    if (r > 700) id = kMsgMoraleUpSignificantly;
    else if (r > 300) id = kMsgMoraleUp;
    else if (r > 0) id = kMsgMoraleUpSlightly;
    else if (r == 0) id = kMsgMoraleNoEffect;
    else if (r == CWarDrum::kNoBeatsLeft) id = kMsgMoraleRunOut;
    else if (r == CWarDrum::kBroken) id = kMsgDrumBroken;
    if (id >= 0) AddBattleMessage(id, -2, 0);
    return r;
}

int CArmy::GetAverageMorale() const {
    long long weighted = 0, units = 0;
    for (POSITION pos = m_divisions.GetHeadPosition(); pos;) {
        const CDivision* d = m_divisions.GetDivision(pos);
        if (d->m_routed) continue;
        long long live = 0;
        double morale = 0.0;
        for (POSITION b = d->m_battalions.GetHeadPosition(); b;) {
            const CBattalion* bt = d->m_battalions.GetBattalion(b);
            for (POSITION u = bt->m_units.GetHeadPosition(); u;) {
                const CUnit* unit = bt->m_units.GetUnit(u);
                if (unit->m_routed || unit->m_lost) continue;
                ++live;
                morale += unit->m_morale;
            }
        }
        if (live == 0) continue;
        weighted += live * (long long)(morale / double(live));
        units += live;
    }
    return units ? int(weighted / units) : 0;
}

void CArmy::AddBattleMessage(int messageId, int speaker, int divisionIndex) {
    if (divisionIndex != -1) {
        const CDivision* d = GetDivision(divisionIndex, TRUE);
        if (d && d->GetLeadUnit() && d->m_general) speaker = d->m_general->id;
    }
    if (speaker == -2) speaker = m_side > 0 ? -4 : -3;
    m_messages.push_back(CBattleMessage{speaker, messageId, 0});
}

bool CArmy::TakeBattleMessage(CBattleMessage& out) {
    if (m_messages.empty()) return false;
    out = m_messages.front();
    m_messages.pop_front();
    return true;
}
