#include "platform/audio/DirectSound.h"

#include <new>

#include "platform/audio/AudioMixer.h"
#include "platform/audio/DirectSoundBuffer.h"

HRESULT DirectSoundCreate(IDirectSound** out, bool withDevice) {
    if (!out) return DSERR_INVALIDPARAM;
    *out = new (std::nothrow) IDirectSound(withDevice);
    return *out ? DS_OK : DSERR_OUTOFMEMORY;
}

IDirectSound::~IDirectSound() = default;

DWORD IDirectSound::AddRef() { return ++m_refs; }

DWORD IDirectSound::Release() {
    DWORD left = --m_refs;
    if (left == 0) delete this;
    return left;
}

HRESULT IDirectSound::Initialize(const void* device) {
    if (device) return DSERR_INVALIDPARAM;
    if (m_mixer) return DSERR_ALREADYINITIALIZED;
    m_mixer = std::make_shared<CAudioMixer>(m_withDevice);
    return DS_OK;
}

HRESULT IDirectSound::SetCooperativeLevel(const void*, DWORD level) {
    if (!m_mixer) return DSERR_UNINITIALIZED;
    return (level >= DSSCL_NORMAL && level <= DSSCL_WRITEPRIMARY) ? DS_OK : DSERR_INVALIDPARAM;
}

HRESULT IDirectSound::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer) {
    if (!buffer) return DSERR_INVALIDPARAM;
    *buffer = nullptr;
    if (!m_mixer) return DSERR_UNINITIALIZED;
    if (!desc || outer || desc->dwSize != kDSBufferDescBytes || !desc->lpwfxFormat) return DSERR_INVALIDPARAM;
    if (WaveFormatProblem(*desc->lpwfxFormat)) return DSERR_BADFORMAT;
    // A buffer holds at least one whole sample frame.
    if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX ||
        desc->dwBufferBytes < desc->lpwfxFormat->nBlockAlign)
        return DSERR_INVALIDPARAM;
    try {
        *buffer = new IDirectSoundBuffer(m_mixer, *desc->lpwfxFormat, desc->dwBufferBytes, desc->dwFlags);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    return DS_OK;
}
