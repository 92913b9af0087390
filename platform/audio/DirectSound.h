// Our stand-in for the sound device the game was written against: a sound
// object that makes secondary buffers, each holding PCM samples that play
// once or looped at a volume and pan, all mixed in software (AudioMixer.h).
//
// Volumes are hundredths of a decibel of attenuation, -10000 (silent) to 0
// (full); pans run from -10000 (left only) through 0 to 10000 (right only).
// Positions are byte offsets into the buffer. A buffer's play position always
// follows the game clock (GetTickCount), with or without a sound device, so
// the game sees the same statuses and positions on a silent machine as on a
// desktop.
//
// Objects are reference counted: Release the last reference instead of
// deleting. Every call is safe from the game thread while the audio thread
// mixes; none blocks longer than one mixing pass.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "platform/afx/AfxTypes.h"
#include "platform/audio/WaveFormat.h"

typedef LONG HRESULT;
#ifndef SUCCEEDED
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#endif
#ifndef FAILED
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#endif

enum : HRESULT {
    DS_OK = 0,
    DSERR_GENERIC = (HRESULT)0x80004005,
    DSERR_INVALIDPARAM = (HRESULT)0x80070057,
    DSERR_OUTOFMEMORY = (HRESULT)0x8007000E,
    DSERR_BADFORMAT = (HRESULT)0x88780064,
    DSERR_UNINITIALIZED = (HRESULT)0x887800AA,
    DSERR_ALREADYINITIALIZED = (HRESULT)0x887800AA + 1,
};

// Buffer capabilities (creation flags).
enum : DWORD {
    DSBCAPS_STATIC = 0x00000002,
    DSBCAPS_LOCSOFTWARE = 0x00000008,
    DSBCAPS_CTRLFREQUENCY = 0x00000020,
    DSBCAPS_CTRLPAN = 0x00000040,
    DSBCAPS_CTRLVOLUME = 0x00000080,
};
// Status bits of GetStatus.
enum : DWORD { DSBSTATUS_PLAYING = 1, DSBSTATUS_BUFFERLOST = 2, DSBSTATUS_LOOPING = 4 };
// Flags of Play and Lock.
enum : DWORD { DSBPLAY_LOOPING = 1, DSBLOCK_FROMWRITECURSOR = 1, DSBLOCK_ENTIREBUFFER = 2 };
// Cooperative levels.
enum : DWORD { DSSCL_NORMAL = 1, DSSCL_PRIORITY = 2, DSSCL_EXCLUSIVE = 3, DSSCL_WRITEPRIMARY = 4 };
enum : LONG {
    DSBVOLUME_MIN = -10000,
    DSBVOLUME_MAX = 0,
    DSBPAN_LEFT = -10000,
    DSBPAN_CENTER = 0,
    DSBPAN_RIGHT = 10000,
};
// Buffer sizes a buffer may have.
enum : DWORD { DSBSIZE_MIN = 4, DSBSIZE_MAX = 0x0FFFFFFF };

// The buffer description, 36 bytes in its original layout; only the size,
// flags, byte count and format are looked at.
struct DSBUFFERDESC {
    DWORD dwSize = 0;
    DWORD dwFlags = 0;
    DWORD dwBufferBytes = 0;
    DWORD dwReserved = 0;
    const WAVEFORMATEX* lpwfxFormat = nullptr;
};
constexpr DWORD kDSBufferDescBytes = 36;

class CAudioMixer;
class IDirectSoundBuffer;

// The sound object: one per program, made by DirectSoundCreate.
class IDirectSound {
public:
    IDirectSound(const IDirectSound&) = delete;
    IDirectSound& operator=(const IDirectSound&) = delete;

    DWORD AddRef();
    DWORD Release();

    // Opens the default output device (the device name must be null). No
    // device, or a device that cannot be opened, is not a failure: the
    // object then mixes in silence on the game clock. Fails only when
    // called twice.
    HRESULT Initialize(const void* device);
    // Accepts any window (none in headless runs) and the four levels.
    HRESULT SetCooperativeLevel(const void* window, DWORD level);
    // A secondary buffer of desc->dwBufferBytes bytes of silence in the
    // given format. DSERR_BADFORMAT for a format the mixer cannot play,
    // DSERR_INVALIDPARAM for a bad description or size.
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** buffer, void* outer);

    // The mixer, for the audio thread and for tests that render by hand;
    // null before Initialize.
    CAudioMixer* GetMixer() const { return m_mixer.get(); }

private:
    friend HRESULT DirectSoundCreate(IDirectSound** out, bool withDevice);
    explicit IDirectSound(bool withDevice) : m_withDevice(withDevice) {}
    ~IDirectSound();

    DWORD m_refs = 1;
    bool m_withDevice;
    std::shared_ptr<CAudioMixer> m_mixer;
};

// Makes an uninitialised sound object (the reference is the caller's).
// Without `withDevice` it never opens a device: the silent mixer.
HRESULT DirectSoundCreate(IDirectSound** out, bool withDevice = true);
