// The software mixer behind every sound buffer: sums the playing buffers,
// resampled from their own rates by linear interpolation, into 16-bit stereo
// at the output rate. With an output device it runs on SDL's audio thread;
// without one nothing renders, and the buffers' positions still follow the
// game clock. One lock guards every buffer and the voice list.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

class IDirectSoundBuffer;

class CAudioMixer {
public:
    // Tries the default output device when `withDevice` is set; when that
    // fails (no driver, no device, a headless machine) the mixer is silent.
    // `silentRate` is the output rate of a silent mixer (tests render at it).
    explicit CAudioMixer(bool withDevice, int silentRate = 44100);
    ~CAudioMixer();
    CAudioMixer(const CAudioMixer&) = delete;
    CAudioMixer& operator=(const CAudioMixer&) = delete;

    bool HasDevice() const { return m_device != 0; }
    int OutputRate() const { return m_rate; }

    // Mixes `frames` interleaved stereo frames into `out`, advancing every
    // playing buffer's read position. Takes the lock.
    void Render(int16_t* out, int frames);

    std::mutex& Lock() { return m_lock; }

private:
    friend class IDirectSoundBuffer;
    void Attach(IDirectSoundBuffer* buffer);
    void Detach(IDirectSoundBuffer* buffer);
    void MixVoice(IDirectSoundBuffer& voice, int frames);
    static void DeviceCallback(void* self, uint8_t* stream, int bytes);

    std::mutex m_lock;
    std::vector<IDirectSoundBuffer*> m_voices;
    std::vector<float> m_mix;
    uint32_t m_device = 0;
    int m_rate;
};
