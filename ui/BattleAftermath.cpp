// The battle aftermath: when the battle mode is left, the local player's
// army slot earns points for the battle, counts a win or a loss and is
// stored, and the player's rating moves against the opponent's. The side
// results it reads are those the battle filled; a battle that ended without
// filling them has them taken from the armies as they stand.
#include <array>
#include <cmath>
#include <cstdlib>

#include "army/Army.h"
#include "shell/OrvaneView.h"
#include "Units/Battalion.h"
#include "Units/Division.h"
#include "Units/Unit.h"

namespace {

// The curve of the casualty factor, as Newton's divided differences through
// its six points, computed once.
struct CasualtyCurve {
    static constexpr std::array<double, 6> kX = {0, 90, 95, 220, 310, 400};
    static constexpr std::array<double, 6> kY = {1.0, 0.15, 0.145, 0.105, 0.15, 0.15};
    std::array<double, 6> coefficients{};
    CasualtyCurve() {
        std::array<double, 6> d = kY;
        coefficients[0] = d[0];
        for (size_t level = 1; level < 6; ++level) {
            for (size_t i = 5; i >= level; --i) d[i] = (d[i] - d[i - 1]) / (kX[i] - kX[i - level]);
            coefficients[level] = d[level];
        }
    }
    double operator()(double x) const {
        double value = coefficients[5];
        for (int i = 4; i >= 0; --i) value = value * (x - kX[size_t(i)]) + coefficients[size_t(i)];
        return value;
    }
};

// Points of a won and a lost battle, before and after the commanders' share.
constexpr int kWonFirst = 200, kLostFirst = 50, kWonSecond = 150, kLostSecond = 75;
// A side this far behind loses a quarter of its score from the points.
constexpr int kRoutScore = -500;
// The share of a division's figure by arm when it has no commander.
double ArmShare(int kind) { return kind == 1 ? 1.2 : kind == 4 ? 2.5 : 1.0; }

bool UnitStands(const CUnit* u) { return !u->m_dead && !u->m_lost; }

}  // namespace

double CasualtyFactor(int n) {
    if (n < 0) return 1.0;
    if (n > 400) return 0.15;
    static const CasualtyCurve curve;
    return curve(double(n));
}

int COrvaneView::AwardGeneral(const CSideResultEntry& entry, int score, int total, int divisor) {
    (void)total;
    double armFactor = entry.kind == 1 ? 1.5 : entry.kind == 4 ? 3.0 : 1.0;
    double value = CasualtyFactor(entry.count) * entry.count * 1.15 * armFactor;
    if (entry.flag && entry.count >= 0) value -= std::abs(score) / double(divisor > 0 ? divisor : 1) / 12.0;
    return int(value);
}

BOOL COrvaneView::UpdateGenerals(int) {
    // The campaign keeps its commanders in its own lists; a single battle
    // has none to settle.
    return FALSE;
}

void COrvaneView::FillSideResults() {
    int live[2] = {0, 0};
    for (int side = 0; side < 2; ++side) {
        CSideResult& r = SideResults[side];
        if (r.filled || !Armies[side]) continue;
        r.Clear();
        int slot = 0;
        for (POSITION dp = Armies[side]->m_divisions.GetHeadPosition(); dp && slot < CSideResult::kSlots;) {
            const CDivision* d = Armies[side]->m_divisions.GetDivision(dp);
            auto* e = new CSideResultEntry;
            e->commander = d->m_general;
            e->kind = d->m_type;
            e->flag = d->m_contactCounter > 0 ? 1 : 0;
            int standing = 0, units = 0;
            for (POSITION bp = d->m_battalions.GetHeadPosition(); bp;) {
                const CBattalion* b = d->m_battalions.GetBattalion(bp);
                int bStanding = 0, bUnits = 0;
                for (POSITION up = b->m_units.GetHeadPosition(); up;) {
                    const CUnit* u = b->m_units.GetUnit(up);
                    ++bUnits;
                    bStanding += UnitStands(u);
                }
                units += bUnits;
                standing += bStanding;
                if (e->battalions < 4) {
                    CBattalionResult& br = e->battalion[e->battalions++];
                    br.commander = b->m_general;
                    br.kind = b->GetBattType();
                    br.lost = bStanding == 0;
                    br.runs[0] = bStanding;
                    br.runs[1] = bUnits - bStanding;
                }
            }
            e->count = standing - units;
            e->lost = d->m_lostReported || standing == 0;
            live[side] += standing;
            r.slots[slot++] = e;
        }
        r.divisor = slot > 0 ? slot : 1;
    }
    for (int side = 0; side < 2; ++side) {
        CSideResult& r = SideResults[side];
        if (r.filled || !Armies[side]) continue;
        const CArmy* own = Armies[side];
        const CArmy* other = Armies[1 - side];
        r.score = 10 * (live[side] - live[1 - side]);
        bool otherOut = !other || !other->m_active;
        r.won = own->m_active && (otherOut || live[side] > live[1 - side]);
        r.filled = 1;
    }
}

void COrvaneView::ComputeBattleAftermath() {
    COrvaneDoc* doc = GetDocument();
    if (!doc) return;
    FillSideResults();
    const int s = LocalSide >= 0 && LocalSide <= 1 ? LocalSide : 0;
    const CSideResult& result = SideResults[s];
    if (!result.filled) return;  // no battle was fought
    const bool won = result.won != 0;

    // The army the player fought with; in single play without a chosen
    // army, his first slot.
    const int slotIndex = PickedArmy >= 0 && PickedArmy <= 4 ? PickedArmy : 0;
    CGameInfoRecord* slot = doc->GetCurrentPlayerSlot(slotIndex);
    if (!slot) return;

    const BOOL settled = UpdateGenerals(s);
    int points = slot->PointsB + (won ? kWonFirst : kLostFirst);
    if (!settled) {
        if (result.score > kRoutScore) {
            int gained = 0, taken = 0;
            for (const CSideResultEntry* e : result.slots) {
                if (!e) continue;
                if (e->commander) {
                    int d = AwardGeneral(*e, result.score, taken + points, result.divisor);
                    (d < 0 ? taken : gained) += d;
                } else {
                    double f = e->count < 0 ? 1.0 : 1.6;
                    gained += int(CasualtyFactor(e->count) * e->count * ArmShare(e->kind) * f);
                }
            }
            points += taken + gained;
        } else {
            points += int(result.score * 0.25);
        }
        if (points < 0) points = 0;
    } else {
        slot->Flag = 1;
    }
    points += won ? kWonSecond : kLostSecond;
    slot->PointsB = points;
    ++(won ? slot->ValueB : slot->ValueC);

    if (!doc->SerializePlayerSlot(slotIndex, true)) return;

    CPlayerRecord* player = doc->GetCurrentPlayer();
    // A single battle was never counted as begun; the count stays at 0.
    if (player->BattlesUnfinished > 0) --player->BattlesUnfinished;
    ++(won ? player->Wins : player->Losses);
    const int32_t own = player->Rating;
    player->Rating = CPlayerRecord::UpdateRating(own, OpponentRating, won ? 1 : 0);
    OpponentRating = CPlayerRecord::UpdateRating(OpponentRating, own, SideResults[1 - s].won);
    doc->StoreProfile();
}
