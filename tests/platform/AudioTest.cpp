// The sound layer: buffers keep their play position on the game clock with
// or without a device, and the mixer renders them with the right gains.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "platform/audio/AudioMixer.h"
#include "platform/audio/DirectSoundBuffer.h"
#include "tests/support/SoundFixtures.h"

namespace {
// A silent sound object and helpers to make filled buffers in it.
class AudioTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(DirectSoundCreate(&m_ds, false), DS_OK);
        ASSERT_EQ(m_ds->Initialize(nullptr), DS_OK);
    }
    void TearDown() override { m_ds->Release(); }

    IDirectSoundBuffer* Make(const WAVEFORMATEX& fmt, const std::vector<BYTE>& bytes) {
        DSBUFFERDESC desc;
        desc.dwSize = kDSBufferDescBytes;
        desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN;
        desc.dwBufferBytes = (DWORD)bytes.size();
        desc.lpwfxFormat = &fmt;
        IDirectSoundBuffer* b = nullptr;
        EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &b, nullptr), DS_OK);
        void *p1, *p2;
        DWORD n1, n2;
        EXPECT_EQ(b->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
        std::copy(bytes.begin(), bytes.end(), (BYTE*)p1);
        EXPECT_EQ(b->Unlock(p1, n1, nullptr, 0), DS_OK);
        return b;
    }
    std::vector<int16_t> Render(int frames) {
        std::vector<int16_t> out((size_t)frames * 2);
        m_ds->GetMixer()->Render(out.data(), frames);
        return out;
    }
    static std::vector<BYTE> Pcm16(std::initializer_list<int> values) {
        std::vector<BYTE> b;
        for (int v : values) {
            b.push_back(BYTE(v & 0xFF));
            b.push_back(BYTE((v >> 8) & 0xFF));
        }
        return b;
    }

    IDirectSound* m_ds = nullptr;
    ManualClock m_clock;
};

double Gain(int hundredthsDb) { return std::pow(10.0, hundredthsDb / 2000.0); }
}  // namespace

TEST_F(AudioTest, MixesWithVolumeAndPanGains) {
    const int rate = m_ds->GetMixer()->OutputRate();
    struct Case {
        LONG volume, pan;
    } cases[] = {{0, 0}, {-600, 0}, {-600, 1000}, {-1200, -2500}, {0, 10000}, {-10000, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "volume " << c.volume << " pan " << c.pan);
        IDirectSoundBuffer* b = Make(PcmFormat(rate, 1, 16), Pcm16({20000, -12000, 3000, 32767}));
        ASSERT_EQ(b->SetVolume(c.volume), DS_OK);
        ASSERT_EQ(b->SetPan(c.pan), DS_OK);
        ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
        auto out = Render(8);
        const double left = c.volume == -10000 ? 0 : Gain(c.volume - (c.pan > 0 ? c.pan : 0));
        const double right = c.volume == -10000 ? 0 : Gain(c.volume + (c.pan < 0 ? c.pan : 0));
        const int src[] = {20000, -12000, 3000, 32767};
        for (int i = 0; i < 8; ++i) {
            EXPECT_NEAR(out[i * 2], src[i % 4] * left, 1.0) << "frame " << i;
            EXPECT_NEAR(out[i * 2 + 1], src[i % 4] * right, 1.0) << "frame " << i;
        }
        b->Release();
    }
}

TEST_F(AudioTest, ResamplesEightBitStereoAndSumsVoices) {
    const int rate = m_ds->GetMixer()->OutputRate();
    // Half the output rate: every other output frame lies between two
    // source frames. 8-bit samples are unsigned around 128.
    IDirectSoundBuffer* slow = Make(PcmFormat(rate / 2, 2, 8), {128 + 64, 128 - 32, 128, 128 + 32, 128 + 64, 128});
    IDirectSoundBuffer* fast = Make(PcmFormat(rate, 1, 16), Pcm16({1000, 1000, 1000, 1000, 1000, 1000}));
    slow->Play(0, 0, 0);
    fast->Play(0, 0, 0);
    auto out = Render(8);
    const double left[] = {64, 32, 0, 32, 64, 64, 0, 0};  // the one-shot ends after its last frame
    const double right[] = {-32, 0, 32, 16, 0, 0, 0, 0};
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(out[i * 2], left[i] * 256 + 1000, 1.0) << "frame " << i;
        EXPECT_NEAR(out[i * 2 + 1], right[i] * 256 + 1000, 1.0) << "frame " << i;
    }
    // Both single plays are over: silence.
    EXPECT_EQ(out[14], 0);
    EXPECT_EQ(out[15], 0);
    slow->Release();
    fast->Release();
}

TEST_F(AudioTest, PositionAndStatusFollowTheGameClock) {
    // One second at 11,025 Hz, 16-bit mono.
    IDirectSoundBuffer* b = Make(PcmFormat(11025, 1, 16), std::vector<BYTE>(22050, 0));
    DWORD status = 99, play = 0, write = 0;
    b->GetStatus(&status);
    EXPECT_EQ(status, 0u);

    b->Play(0, 0, 0);
    m_clock.Advance(500);
    b->GetStatus(&status);
    b->GetCurrentPosition(&play, &write);
    EXPECT_EQ(status, (DWORD)DSBSTATUS_PLAYING);
    EXPECT_EQ(play, 5512u * 2);
    EXPECT_EQ(write, (5512u + 110) * 2);

    // Stop keeps the position; Play goes on from it.
    b->Stop();
    m_clock.Advance(300);
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 5512u * 2);
    b->Play(0, 0, 0);
    m_clock.Advance(600);  // past the end of a single play
    b->GetStatus(&status);
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(play, 0u);

    // Looped, it wraps around and keeps playing.
    b->SetCurrentPosition(1001);  // rounds down to a whole frame
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 1000u);
    b->Play(0, 0, DSBPLAY_LOOPING);
    m_clock.Advance(2500);
    b->GetStatus(&status);
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(status, (DWORD)(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
    EXPECT_EQ(play, (500u + 5512u) * 2);
    b->Release();
}

TEST_F(AudioTest, RefusesBadParameters) {
    IDirectSoundBuffer* b = Make(PcmFormat(11025, 1, 16), std::vector<BYTE>(100, 0));
    EXPECT_EQ(b->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetVolume(-10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetPan(10001), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetCurrentPosition(100), DSERR_INVALIDPARAM);
    LONG volume = 1;
    b->GetVolume(&volume);
    EXPECT_EQ(volume, 0);
    b->Release();

    IDirectSoundBuffer* none = nullptr;
    WAVEFORMATEX floatFormat = PcmFormat(11025, 1, 16);
    floatFormat.wFormatTag = 3;
    DSBUFFERDESC desc;
    desc.dwSize = kDSBufferDescBytes;
    desc.dwBufferBytes = 100;
    desc.lpwfxFormat = &floatFormat;
    EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &none, nullptr), DSERR_BADFORMAT);
    WAVEFORMATEX pcm = PcmFormat(11025, 2, 16);
    desc.lpwfxFormat = &pcm;
    desc.dwBufferBytes = 0;
    EXPECT_EQ(m_ds->CreateSoundBuffer(&desc, &none, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(none, nullptr);
}

// With SDL's dummy driver, or with a driver that does not exist, the sound
// object comes up, plays and shuts down without blocking; without a device
// the positions are the same.
TEST(AudioDeviceTest, AnyDriverOrNoneNeverBlocks) {
    const char* saved = std::getenv("SDL_AUDIODRIVER");
    std::string restore = saved ? saved : "";
    for (const char* driver : {"dummy", "no-such-driver"}) {
        SCOPED_TRACE(driver);
        setenv("SDL_AUDIODRIVER", driver, 1);
        ManualClock clock;
        IDirectSound* ds = nullptr;
        ASSERT_EQ(DirectSoundCreate(&ds), DS_OK);
        ASSERT_EQ(ds->Initialize(nullptr), DS_OK);
        EXPECT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_EXCLUSIVE), DS_OK);
        if (std::string(driver) == "no-such-driver") {
            EXPECT_FALSE(ds->GetMixer()->HasDevice());
        }
        WAVEFORMATEX fmt = PcmFormat(22050, 1, 8);
        DSBUFFERDESC desc;
        desc.dwSize = kDSBufferDescBytes;
        desc.dwBufferBytes = 22050;
        desc.lpwfxFormat = &fmt;
        IDirectSoundBuffer* b = nullptr;
        ASSERT_EQ(ds->CreateSoundBuffer(&desc, &b, nullptr), DS_OK);
        b->Play(0, 0, DSBPLAY_LOOPING);
        clock.Advance(250);
        DWORD play = 0;
        b->GetCurrentPosition(&play, nullptr);
        EXPECT_EQ(play, 5512u);
        // Releasing the sound object first: the buffer keeps the mixer alive.
        ds->Release();
        b->Stop();
        b->Release();
    }
    if (saved)
        setenv("SDL_AUDIODRIVER", restore.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
}
