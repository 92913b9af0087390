// A secondary sound buffer: PCM samples with a volume, a pan, a play
// position and a playing/looping status. Made by
// IDirectSound::CreateSoundBuffer; see DirectSound.h for units and clocks.
#pragma once

#include <memory>
#include <vector>

#include "platform/audio/DirectSound.h"

class IDirectSoundBuffer {
public:
    IDirectSoundBuffer(const IDirectSoundBuffer&) = delete;
    IDirectSoundBuffer& operator=(const IDirectSoundBuffer&) = delete;

    DWORD AddRef();
    DWORD Release();

    // DSBSTATUS_PLAYING, with DSBSTATUS_LOOPING while looped. A buffer played
    // once stops by itself at its end and rewinds to 0.
    HRESULT GetStatus(DWORD* status);
    // Starts at the current position, or only changes the looping flag when
    // already playing. Both reserved arguments must be 0.
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags);
    // Stops and keeps the position.
    HRESULT Stop();
    // -10000..0; anything else is DSERR_INVALIDPARAM and changes nothing.
    HRESULT SetVolume(LONG volume);
    HRESULT GetVolume(LONG* volume);
    // -10000..10000; anything else is DSERR_INVALIDPARAM.
    HRESULT SetPan(LONG pan);
    HRESULT GetPan(LONG* pan);
    // The play cursor, and the write cursor a little ahead of it while
    // playing; either pointer may be null.
    HRESULT GetCurrentPosition(DWORD* play, DWORD* write);
    // Moves the play cursor (rounded down to a whole sample frame); must be
    // inside the buffer.
    HRESULT SetCurrentPosition(DWORD position);
    // Gives writable memory for `bytes` bytes from `offset` (the whole buffer
    // with DSBLOCK_ENTIREBUFFER), in up to two parts when the range wraps.
    // What is written there reaches the mixer at Unlock.
    HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2, DWORD flags);
    HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2);
    // Our buffers are never lost; restoring one is a no-op.
    HRESULT Restore();

    DWORD GetBufferBytes() const { return (DWORD)m_data.size(); }
    const WAVEFORMATEX& GetFormat() const { return m_format; }

private:
    friend class IDirectSound;
    friend class CAudioMixer;
    IDirectSoundBuffer(std::shared_ptr<CAudioMixer> mixer, const WAVEFORMATEX& format, DWORD bytes, DWORD flags);
    ~IDirectSoundBuffer();

    // The play frame now; ends a single play that has run past the end.
    // Mixer lock held.
    DWORD CurrentFrame();
    // Restarts the clock from `frame` at the current tick. Mixer lock held.
    void Anchor(DWORD frame);
    // One sample of channel `ch` (0 or 1) of frame `frame`, -32768..32767.
    int Sample(DWORD frame, int ch) const;
    DWORD FrameCount() const { return (DWORD)(m_data.size() / m_format.nBlockAlign); }

    DWORD m_refs = 1;
    std::shared_ptr<CAudioMixer> m_mixer;
    WAVEFORMATEX m_format;
    DWORD m_flags;
    std::vector<BYTE> m_data;
    std::vector<BYTE> m_staging;  // what Lock hands out
    LONG m_volume = 0;
    LONG m_pan = 0;
    float m_gainLeft = 1.0f;
    float m_gainRight = 1.0f;

    // The game's view: position on the game clock.
    bool m_playing = false;
    bool m_looping = false;
    DWORD m_anchorTick = 0;
    DWORD m_anchorFrame = 0;

    // The audio thread's view: where the mixer reads, 32.32 fixed frames.
    // It follows the game's view at every Play, Stop and position change.
    bool m_renderPlaying = false;
    bool m_renderLooping = false;
    uint64_t m_renderPos = 0;
};
