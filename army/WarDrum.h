// The war drum an army beats to lift its divisions' morale (three beats a
// battle), and the battle messages an army queues for the battle screen.
#pragma once

#include <cstdint>

class CArmy;

// One message for the battle status popup: who speaks (a general's id, or
// -3 / -4 for the army's own voice of side 0 / 1) and which message.
struct CBattleMessage {
    int32_t speaker = 0;
    int32_t messageId = 0;
    int32_t extra = 0;
};

// Message ids the army posts.
enum BattleMessageID {
    kMsgFriendlyHqKilled = 14,
    kMsgEnemyHqKilled = 15,
    kMsgFriendlyHqInDanger = 16,
    kMsgEnemyHqInDanger = 17,
    kMsgMoraleUpSignificantly = 18,
    kMsgMoraleUp = 19,
    kMsgMoraleUpSlightly = 20,
    kMsgMoraleNoEffect = 21,
    kMsgMoraleRunOut = 22,
    kMsgDrumBroken = 23,
    kMsgRearGuard = 27,
};

class CWarDrum {
public:
    static constexpr int kBeats = 3;
    static constexpr int kNeverBeaten = -10000;
    static constexpr int kNoBeatsLeft = -1;
    static constexpr int kBroken = -2;

    void Reset(CArmy* owner) {
        m_owner = owner;
        m_beatsUsed = 0;
        m_lastBeatTick = kNeverBeaten;
    }
    // Beats once: the morale gain applied to every active division (may be
    // negative), kNoBeatsLeft, or kBroken while a headquarters is lost. A
    // broken drum uses no beat on any machine: the result depends only on
    // state both peers share.
    int Beat();

    CArmy* m_owner = nullptr;
    int32_t m_beatsUsed = 0;
    int32_t m_lastBeatTick = kNeverBeaten;
};
