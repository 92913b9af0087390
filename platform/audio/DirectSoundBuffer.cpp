#include "platform/audio/DirectSoundBuffer.h"
#include "platform/afx/Bytes.h"

#include <cmath>
#include <algorithm>

#include "platform/afx/Time.h"
#include "platform/audio/AudioMixer.h"

namespace {
// Amplitude factor of an attenuation in hundredths of a decibel.
float GainOf(LONG hundredthsDb) {
    return hundredthsDb <= DSBVOLUME_MIN ? 0.0f : (float)std::pow(10.0, hundredthsDb / 2000.0);
}
}  // namespace

IDirectSoundBuffer::IDirectSoundBuffer(std::shared_ptr<CAudioMixer> mixer, const WAVEFORMATEX& format, DWORD bytes,
                                       DWORD flags)
    : m_mixer(std::move(mixer)), m_format(format), m_flags(flags) {
    // Silence: 8-bit samples are unsigned around 128.
    m_data.assign(bytes, format.wBitsPerSample == 8 ? 0x80 : 0);
    m_mixer->Attach(this);
}

IDirectSoundBuffer::~IDirectSoundBuffer() { m_mixer->Detach(this); }

DWORD IDirectSoundBuffer::AddRef() { return ++m_refs; }

DWORD IDirectSoundBuffer::Release() {
    DWORD left = --m_refs;
    if (left == 0) delete this;
    return left;
}

void IDirectSoundBuffer::Anchor(DWORD frame) {
    m_anchorTick = GetTickCount();
    m_anchorFrame = frame;
}

DWORD IDirectSoundBuffer::CurrentFrame() {
    if (!m_playing) return m_anchorFrame;
    DWORD elapsed = GetTickCount() - m_anchorTick;
    uint64_t frame = m_anchorFrame + (uint64_t)elapsed * m_format.nSamplesPerSec / 1000;
    DWORD count = FrameCount();
    if (frame < count) return (DWORD)frame;
    if (m_looping) return (DWORD)(frame % count);
    // A single play has ended: stopped and rewound. The audio thread, which
    // started a little later, plays out what it has left by itself.
    m_playing = false;
    m_looping = false;
    Anchor(0);
    return 0;
}

HRESULT IDirectSoundBuffer::GetStatus(DWORD* status) {
    if (!status) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    CurrentFrame();
    *status = m_playing ? DWORD(DSBSTATUS_PLAYING | (m_looping ? DWORD(DSBSTATUS_LOOPING) : 0u)) : 0u;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Play(DWORD reserved, DWORD priority, DWORD flags) {
    if (reserved || priority) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    DWORD frame = CurrentFrame();
    if (!m_renderPlaying || !m_playing) m_renderPos = (uint64_t)frame << 32;
    Anchor(frame);
    m_playing = m_renderPlaying = true;
    m_looping = m_renderLooping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Stop() {
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    DWORD frame = CurrentFrame();
    m_playing = m_looping = false;
    m_renderPlaying = false;
    Anchor(frame);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetVolume(LONG volume) {
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    m_volume = volume;
    // The pan attenuates only the side away from it.
    m_gainLeft = GainOf(volume + (m_pan > 0 ? -m_pan : 0));
    m_gainRight = GainOf(volume + (m_pan < 0 ? m_pan : 0));
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetVolume(LONG* volume) {
    if (!volume) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    *volume = m_volume;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetPan(LONG pan) {
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return DSERR_INVALIDPARAM;
    {
        std::lock_guard<std::mutex> lock(m_mixer->Lock());
        m_pan = pan;
    }
    return SetVolume(m_volume);
}

HRESULT IDirectSoundBuffer::GetPan(LONG* pan) {
    if (!pan) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    *pan = m_pan;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetCurrentPosition(DWORD* play, DWORD* write) {
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    DWORD frame = CurrentFrame();
    // The write cursor leads the play cursor by about 10 ms while playing.
    DWORD lead = m_playing ? m_format.nSamplesPerSec / 100 : 0;
    if (play) *play = frame * m_format.nBlockAlign;
    if (write) *write = (DWORD)(((uint64_t)frame + lead) % FrameCount()) * m_format.nBlockAlign;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetCurrentPosition(DWORD position) {
    if (position >= m_data.size()) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    CurrentFrame();
    DWORD frame = position / m_format.nBlockAlign;
    Anchor(frame);
    m_renderPos = (uint64_t)frame << 32;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2,
                                 DWORD* bytes2, DWORD flags) {
    if (!part1 || !bytes1) return DSERR_INVALIDPARAM;
    DWORD size = (DWORD)m_data.size();
    if (flags & DSBLOCK_ENTIREBUFFER) {
        offset = 0;
        bytes = size;
    } else if (flags & DSBLOCK_FROMWRITECURSOR) {
        GetCurrentPosition(nullptr, &offset);
    }
    if (offset >= size || bytes == 0 || bytes > size) return DSERR_INVALIDPARAM;
    DWORD first = std::min(bytes, size - offset);
    if (bytes > first && (!part2 || !bytes2)) return DSERR_INVALIDPARAM;
    {
        std::lock_guard<std::mutex> lock(m_mixer->Lock());
        m_staging = m_data;
    }
    *part1 = m_staging.data() + offset;
    *bytes1 = first;
    if (part2) *part2 = bytes > first ? m_staging.data() : nullptr;
    if (bytes2) *bytes2 = bytes - first;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) {
    if (m_staging.empty()) return DSERR_INVALIDPARAM;
    BYTE* base = m_staging.data();
    DWORD size = (DWORD)m_staging.size();
    auto inside = [&](void* p, DWORD n) {
        if (!p) return n == 0;
        size_t at = (size_t)((BYTE*)p - base);
        return (BYTE*)p >= base && at <= size && n <= size - at;
    };
    if (!inside(part1, bytes1) || !inside(part2, bytes2)) return DSERR_INVALIDPARAM;
    std::lock_guard<std::mutex> lock(m_mixer->Lock());
    m_data.swap(m_staging);
    m_staging.clear();
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Restore() { return DS_OK; }

int IDirectSoundBuffer::Sample(DWORD frame, int ch) const {
    if (m_format.nChannels == 1) ch = 0;
    size_t at = (size_t)frame * m_format.nBlockAlign;
    if (m_format.wBitsPerSample == 8) return ((int)m_data[at + ch] - 128) << 8;
    at += (size_t)ch * 2;
    return (int16_t)AfxGetLE16(&m_data[at]);
}
