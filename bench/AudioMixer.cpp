// The mixer runs on the audio thread under the lock the game thread also
// takes: one pass of a busy battle (every sound of the battle set playing,
// resampled from 11,025 Hz) must take a small part of the 23 ms it renders.
#include <benchmark/benchmark.h>

#include <vector>

#include "platform/audio/AudioMixer.h"
#include "platform/audio/DirectSoundBuffer.h"

static void BM_MixBattlePass(benchmark::State& state) {
    IDirectSound* ds = nullptr;
    DirectSoundCreate(&ds, false);
    ds->Initialize(nullptr);
    const int voices = (int)state.range(0);
    WAVEFORMATEX fmt = PcmFormat(11025, 1, 16);
    DSBUFFERDESC desc;
    desc.dwSize = kDSBufferDescBytes;
    desc.dwBufferBytes = 11025 * 2 * 3;
    desc.lpwfxFormat = &fmt;
    std::vector<IDirectSoundBuffer*> buffers;
    for (int i = 0; i < voices; ++i) {
        IDirectSoundBuffer* b = nullptr;
        ds->CreateSoundBuffer(&desc, &b, nullptr);
        b->SetVolume(-600);
        b->SetPan(i * 500 - 5000);
        b->Play(0, 0, DSBPLAY_LOOPING);
        buffers.push_back(b);
    }
    std::vector<int16_t> out(1024 * 2);
    for (auto _ : state) {
        ds->GetMixer()->Render(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
    for (IDirectSoundBuffer* b : buffers) b->Release();
    ds->Release();
}
BENCHMARK(BM_MixBattlePass)->Arg(8)->Arg(20);
