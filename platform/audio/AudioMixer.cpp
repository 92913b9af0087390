#include "platform/audio/AudioMixer.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

#include "platform/audio/DirectSoundBuffer.h"

namespace {
constexpr int kDeviceRate = 44100;
constexpr int kDeviceFrames = 1024;  // about 23 ms a pass
}  // namespace

CAudioMixer::CAudioMixer(bool withDevice, int silentRate) : m_rate(silentRate) {
    if (!withDevice) return;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    SDL_AudioSpec want{};
    want.freq = kDeviceRate;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = kDeviceFrames;
    want.callback = &CAudioMixer::DeviceCallback;
    want.userdata = this;
    // No allowed changes: SDL converts our format to whatever the device has.
    SDL_AudioDeviceID dev = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (dev == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    m_device = dev;
    m_rate = kDeviceRate;
    SDL_PauseAudioDevice(dev, 0);
}

CAudioMixer::~CAudioMixer() {
    if (m_device) {
        // Waits for a running callback; the lock is not held here.
        SDL_CloseAudioDevice(m_device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void CAudioMixer::DeviceCallback(void* self, uint8_t* stream, int bytes) {
    static_cast<CAudioMixer*>(self)->Render(reinterpret_cast<int16_t*>(stream), bytes / 4);
}

void CAudioMixer::Attach(IDirectSoundBuffer* buffer) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_voices.push_back(buffer);
}

void CAudioMixer::Detach(IDirectSoundBuffer* buffer) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_voices.erase(std::remove(m_voices.begin(), m_voices.end(), buffer), m_voices.end());
}

void CAudioMixer::Render(int16_t* out, int frames) {
    if (frames <= 0) return;
    std::lock_guard<std::mutex> lock(m_lock);
    m_mix.assign((size_t)frames * 2, 0.0f);
    for (IDirectSoundBuffer* voice : m_voices)
        if (voice->m_renderPlaying) MixVoice(*voice, frames);
    for (size_t i = 0; i < m_mix.size(); ++i)
        out[i] = (int16_t)std::clamp(std::lround(m_mix[i]), -32768L, 32767L);
}

void CAudioMixer::MixVoice(IDirectSoundBuffer& v, int frames) {
    const DWORD count = v.FrameCount();
    const uint64_t end = (uint64_t)count << 32;
    const uint64_t step = ((uint64_t)v.m_format.nSamplesPerSec << 32) / (uint64_t)m_rate;
    const float gainL = v.m_gainLeft, gainR = v.m_gainRight;
    for (int i = 0; i < frames; ++i) {
        if (v.m_renderPos >= end) {
            if (!v.m_renderLooping) {
                v.m_renderPlaying = false;
                return;
            }
            v.m_renderPos %= end;
        }
        DWORD f0 = (DWORD)(v.m_renderPos >> 32);
        // The next frame for interpolation: the start again when looping,
        // else the last frame held.
        DWORD f1 = f0 + 1 < count ? f0 + 1 : (v.m_renderLooping ? 0 : f0);
        float frac = (float)(uint32_t)v.m_renderPos * (1.0f / 4294967296.0f);
        for (int ch = 0; ch < 2; ++ch) {
            float a = (float)v.Sample(f0, ch);
            float b = (float)v.Sample(f1, ch);
            m_mix[(size_t)i * 2 + ch] += (a + (b - a) * frac) * (ch == 0 ? gainL : gainR);
        }
        v.m_renderPos += step;
    }
}
