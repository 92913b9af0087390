// CSoundManager: every sound effect, ambient loop and piece of music of the
// game, each a sound buffer tagged with a small sound identifier. Owned by
// the main view for the life of its window.
//
// Identifiers 25 to 29 are music, played only while music is on and at the
// music level; every other identifier is an effect, played only while
// effects are on. The ambient loops 0, 1, 5, 6, 19 and 22 follow how much is
// happening on the field: callers count events (CountEvent) and the battle
// step applies the counts once a tick (UpdateLoops). Levels run 0..10000;
// Play takes a volume 0..10000 (10000 full) and a pan 0..20000 (10000 the
// centre).
//
// Until Init succeeds the manager is silent and every Play returns false.
#pragma once

#include "Animate/DXSoundBuffer.h"
#include "platform/audio/DirectSound.h"

class CSoundManager : public CObject {
public:
    CSoundManager() = default;
    ~CSoundManager() override;
    CSoundManager(const CSoundManager&) = delete;
    CSoundManager& operator=(const CSoundManager&) = delete;

    // Makes and opens the sound device (a silent one when the machine has
    // none, or when `withDevice` is false) and switches effects and music
    // on. Reports a failure to the player and returns false.
    BOOL Init(bool withDevice = true);
    // The sound object the mode sound sets build their buffers with; null
    // before Init.
    IDirectSound* GetDirectSound() const { return m_pDS; }

    // Puts a buffer at the head of the list, so that it hides an earlier one
    // of the same identifier; the manager owns it from now on. Null is
    // ignored.
    void AddBuffer(SDXSoundBuffer* buffer);
    // Deletes every buffer.
    void ClearBuffers();
    SDXSoundBuffer* FindBuffer(int id) const { return m_buffers.FindById(id); }

    // Plays sound `id` (12 plays the buffer of 10) with the device's play
    // flags. A voice still playing hands the request on along its chain
    // (7 to 8, 9 to 10 to 11); a restartable effect still early in its play
    // at the same or a louder volume is left alone. True when the request
    // was handled, also when nothing had to start; false when not
    // initialised, without a buffer for the identifier, or when the buffer
    // cannot be asked its status.
    BOOL Play(int id, DWORD flags, int volume, int pan);
    // Counts one event for the loops: sounds 0, 1, 5, 19 and 22. True for
    // those identifiers.
    BOOL CountEvent(int id);
    // Once a game tick: sets every ambient loop (and the battle music 26) to
    // the volume its counts call for, starting or silencing it, then clears
    // the counts.
    void UpdateLoops();

    // Stores the levels and re-applies them to every playing sound: music
    // at the music level, loops at their loop volume (a loop that falls
    // silent is stopped and rewound), other effects rescaled from the old
    // effects level to the new one.
    void SetLevels(int newEffectsLevel, int oldEffectsLevel, int musicLevel);
    // The same for a caller that changed the music level: re-applies the
    // new music level and the effects level to what is playing.
    void RestartLoop(int newMusicLevel, int oldMusicLevel, int effectsLevel);
    // Switch music or effects on or off; the stored level is kept.
    void EnableMusic(BOOL on);
    void EnableEffects(BOOL on);
    void EnableSound(BOOL on) { EnableEffects(on); }

    BOOL IsInitialised() const { return m_initialised; }
    BOOL IsMusicOn() const { return m_musicOn; }
    BOOL IsEffectsOn() const { return m_effectsOn; }
    int GetEffectsLevel() const { return (int)m_words[2]; }
    int GetMusicLevel() const { return (int)m_words[3]; }
    // The volume in hundredths of a decibel that loop `id` (or the battle
    // music, 26) would get now: -10000 when silent.
    int LoopVolume(int id) const;


    // Slots of the event counts and of the running counters. Loop 1 has no
    // running counter of its own: it uses the shared one in its slot.
    enum Counter { kLoop1 = 0, kLoop0, kLoop5, kLoop6, kLoop19, kLoop22, kCounters };

private:
    static bool IsMusic(int id) { return id >= 25 && id <= 29; }
    bool ClassOn(int id) const { return IsMusic(id) ? m_musicOn : m_effectsOn; }
    void ApplyLoopVolume(int id);

    IDirectSound* m_pDS = nullptr;
    DWORD m_words[4] = {0, 0, 0, 0};  // [2] effects level, [3] music level
    SDXSoundBufferList m_buffers;
    BOOL m_initialised = FALSE;
    BOOL m_effectsOn = FALSE;
    BOOL m_musicOn = FALSE;
    DWORD m_running[kCounters] = {};  // restarts since the loop last fell silent
    DWORD m_events[kCounters] = {};   // events since the last UpdateLoops
};
