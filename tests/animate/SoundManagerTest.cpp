// The sound manager against the silent device: voice chains, the restart
// rule of effects, the loop volumes and the levels, read back from the
// buffers' statuses, positions and volumes.
#include <gtest/gtest.h>

#include <cmath>

#include "Animate/SoundManager.h"
#include "platform/audio/AudioMixer.h"
#include "tests/support/SoundFixtures.h"

namespace {
class SoundManagerTest : public testing::Test {
protected:
    void SetUp() override {
        // One second of sound at 11,025 Hz: 22,050 bytes.
        m_file = WriteScratchFile("second.wav", ConstantWave(11025, 11025, 1000));
        ASSERT_TRUE(m_sound.Init(false));
        m_sound.SetLevels(10000, 10000, 10000);
    }

    void Add(std::initializer_list<int> ids) {
        for (int id : ids) m_sound.AddBuffer(new SDXSoundBuffer(m_sound.GetDirectSound(), m_file.c_str(), id, TRUE, 0xE2));
    }
    IDirectSoundBuffer* Buffer(int id) { return m_sound.FindBuffer(id)->GetBuffer(); }
    DWORD Status(int id) {
        DWORD s = 0;
        Buffer(id)->GetStatus(&s);
        return s;
    }
    bool Playing(int id) { return Status(id) & DSBSTATUS_PLAYING; }
    LONG Volume(int id) {
        LONG v = 0;
        Buffer(id)->GetVolume(&v);
        return v;
    }
    DWORD Position(int id) {
        DWORD p = 0;
        Buffer(id)->GetCurrentPosition(&p, nullptr);
        return p;
    }

    ManualClock m_clock;
    std::string m_file;
    CSoundManager m_sound;
};
}  // namespace

TEST_F(SoundManagerTest, RefusesWithoutInitOrBuffer) {
    CSoundManager idle;
    EXPECT_FALSE(idle.Play(10, 0, 10000, 10000));
    EXPECT_FALSE(m_sound.Play(10, 0, 10000, 10000));  // nothing registered
    // A buffer whose file is missing is registered but cannot play.
    m_sound.AddBuffer(new SDXSoundBuffer(m_sound.GetDirectSound(), "Sound\\no such.wav", 10, TRUE, 0xE2));
    EXPECT_FALSE(m_sound.Play(10, 0, 10000, 10000));
    m_sound.AddBuffer(nullptr);  // a buffer that could not be made
    Add({10});
    EXPECT_TRUE(m_sound.Play(10, 0, 10000, 10000));
}

TEST_F(SoundManagerTest, TwelvePlaysTheBufferOfTenFromTheFile) {
    Add({10});
    EXPECT_TRUE(m_sound.Play(12, 0, 7000, 5000));
    EXPECT_TRUE(Playing(10));
    EXPECT_EQ(Volume(10), -3000);
    LONG pan = 0;
    Buffer(10)->GetPan(&pan);
    EXPECT_EQ(pan, -5000);
    // The buffer holds the file's samples (all 1000): the mixer hears them
    // at -3000, panned left: the right side 5000 further down.
    int16_t out[8];
    m_sound.GetDirectSound()->GetMixer()->Render(out, 4);
    EXPECT_NEAR(out[0], 1000 * std::pow(10.0, -3000 / 2000.0), 1.0);
    EXPECT_NEAR(out[1], 1000 * std::pow(10.0, -8000 / 2000.0), 1.0);
}

TEST_F(SoundManagerTest, VoiceChainsHandOnWhileTheFirstStillPlays) {
    Add({7, 8, 9, 10, 11});
    m_sound.Play(7, 0, 10000, 10000);
    EXPECT_FALSE(Playing(8));
    m_sound.Play(7, 0, 9000, 10000);
    EXPECT_TRUE(Playing(8));
    EXPECT_EQ(Volume(8), -1000);
    // 8 still playing: nothing more, even at another volume.
    EXPECT_TRUE(m_sound.Play(8, 0, 5000, 10000));
    EXPECT_EQ(Volume(8), -1000);

    m_sound.Play(9, 0, 10000, 10000);
    m_sound.Play(9, 0, 10000, 10000);
    EXPECT_TRUE(Playing(10));
    EXPECT_FALSE(Playing(11));
    m_sound.Play(9, 0, 8000, 10000);
    EXPECT_TRUE(Playing(11));
    EXPECT_EQ(Volume(11), -2000);
    EXPECT_TRUE(m_sound.Play(11, 0, 10000, 10000));

    // Once the first voice has ended it is used again.
    m_clock.Advance(1100);
    m_sound.Play(7, 0, 10000, 10000);
    EXPECT_TRUE(Playing(7));
    EXPECT_FALSE(Playing(8));
}

TEST_F(SoundManagerTest, RestartableEffectRestartsOnlyLateOrLouder) {
    Add({13});
    struct Case {
        DWORD elapsedMs;
        int volume;
        bool restarted;
    } cases[] = {
        {500, 7000, false},  // half way, quieter: left alone
        {500, 8000, false},  // half way, as loud: left alone
        {500, 9000, true},   // half way, louder: restarted
        {900, 7000, true},   // past 85 %: restarted even quieter
        {850, 7000, false},  // exactly 85 %
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.elapsedMs << " ms, volume " << c.volume);
        Buffer(13)->Stop();
        Buffer(13)->SetCurrentPosition(0);
        m_sound.Play(13, 0, 8000, 10000);  // -2000
        m_clock.Advance(c.elapsedMs);
        DWORD before = Position(13);
        EXPECT_TRUE(m_sound.Play(13, 0, c.volume, 10000));
        EXPECT_TRUE(Playing(13));
        EXPECT_EQ(Position(13), c.restarted ? 0u : before);
        EXPECT_EQ(Volume(13), c.restarted ? c.volume - 10000 : -2000);
    }
}

TEST_F(SoundManagerTest, SwitchedOffClassesStaySilent) {
    Add({13, 25});
    m_sound.EnableEffects(FALSE);
    EXPECT_TRUE(m_sound.Play(13, 0, 10000, 10000));
    EXPECT_FALSE(Playing(13));
    EXPECT_EQ(Volume(13), -10000);
    // Music is its own class.
    EXPECT_TRUE(m_sound.Play(25, 0, 10000, 10000));
    EXPECT_TRUE(Playing(25));
    m_sound.EnableMusic(FALSE);
    EXPECT_EQ(Volume(25), -10000);
    EXPECT_EQ(m_sound.GetMusicLevel(), 10000);  // the level survives the switch
    // A level change while music is off must not bring it back.
    m_sound.RestartLoop(9000, 10000, 10000);
    EXPECT_EQ(Volume(25), -10000);
    m_sound.EnableMusic(TRUE);
    EXPECT_EQ(Volume(25), -1000);
}

TEST_F(SoundManagerTest, EffectsReturnToTheirLevelAfterOffAndOn) {
    Add({13, 15});
    m_sound.SetLevels(8000, 10000, 10000);
    m_sound.Play(13, 0, 6000, 10000);  // -4000
    m_sound.Play(15, 0, 10000, 10000);  // -0
    // Rescaled from the old level to the new one: 6000 / 8000 x 4000.
    m_sound.SetLevels(4000, 8000, 10000);
    EXPECT_EQ(Volume(13), 3000 - 10000);
    EXPECT_EQ(Volume(15), 5000 - 10000);
    m_sound.EnableEffects(FALSE);
    EXPECT_EQ(Volume(13), -10000);
    EXPECT_EQ(m_sound.GetEffectsLevel(), 4000);
    m_sound.EnableEffects(TRUE);
    EXPECT_EQ(Volume(13), 4000 - 10000);
    EXPECT_EQ(Volume(15), 4000 - 10000);
}

TEST_F(SoundManagerTest, LoopVolumesFollowTheEventCounts) {
    Add({0, 1, 5, 6, 19, 22});
    m_sound.SetLevels(8000, 8000, 10000);
    for (int i = 0; i < 30; ++i) m_sound.CountEvent(0);
    m_sound.UpdateLoops();
    EXPECT_EQ(Volume(0), -2640);  // 8000 x 92 / 100 - 10000
    EXPECT_EQ(Status(0), (DWORD)(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
    EXPECT_FALSE(Playing(1));  // no events: not started
    EXPECT_FALSE(m_sound.CountEvent(7));

    // The percentage for a count, before and after the loop runs: the lowest
    // step only keeps a running loop going.
    struct Case {
        int loop, events;
        int idle, running;  // percent
    } cases[] = {
        {0, 101, 100, 100}, {0, 51, 96, 96}, {0, 50, 92, 92}, {0, 16, 88, 88}, {0, 15, 0, 88}, {0, 10, 0, 0},
        {1, 31, 100, 100},  {1, 24, 98, 98}, {1, 16, 97, 97}, {1, 11, 95, 95}, {1, 6, 0, 95},   {1, 5, 0, 0},
        {5, 9, 100, 100},   {5, 3, 95, 95},  {5, 1, 0, 95},   {5, 0, 0, 0},
        {6, 26, 100, 100},  {6, 16, 98, 98}, {6, 11, 95, 95}, {6, 7, 0, 95},   {6, 6, 0, 0},
        {19, 26, 92, 92},   {19, 11, 0, 88},
        {22, 201, 100, 100}, {22, 76, 96, 96}, {22, 51, 92, 92}, {22, 26, 88, 88}, {22, 19, 0, 88}, {22, 18, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "loop " << c.loop << ", " << c.events << " events");
        CSoundManager sound;
        ASSERT_TRUE(sound.Init(false));
        sound.SetLevels(10000, 10000, 10000);
        // Loop 6 counts the events of sound 5.
        const int counted = c.loop == 6 ? 5 : c.loop;
        auto count = [&](int n) {
            for (int i = 0; i < n; ++i) sound.CountEvent(counted);
        };
        count(c.events);
        EXPECT_EQ(sound.LoopVolume(c.loop), c.idle * 100 - 10000);
        sound.AddBuffer(new SDXSoundBuffer(sound.GetDirectSound(), m_file.c_str(), c.loop, TRUE, 0xE2));
        count(200);
        sound.UpdateLoops();  // now running
        count(c.events);
        EXPECT_EQ(sound.LoopVolume(c.loop), c.running * 100 - 10000);
    }
}

TEST_F(SoundManagerTest, SilentLoopKeepsRunningUntilLevelsStopIt) {
    Add({19, 26});
    for (int i = 0; i < 20; ++i) m_sound.CountEvent(19);
    m_sound.UpdateLoops();
    EXPECT_EQ(Volume(19), 8800 - 10000);
    EXPECT_TRUE(Playing(26));  // the battle music follows the music level
    EXPECT_EQ(Volume(26), 0);
    // A quiet tick silences the loop but leaves it running.
    m_sound.UpdateLoops();
    EXPECT_EQ(Volume(19), -10000);
    EXPECT_TRUE(Playing(19));
    // A level change stops and rewinds a silent loop.
    m_clock.Advance(300);
    m_sound.SetLevels(5000, 10000, 10000);
    EXPECT_FALSE(Playing(19));
    EXPECT_EQ(Position(19), 0u);
}
