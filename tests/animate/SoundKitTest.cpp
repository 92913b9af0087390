// Every sound the game can ask for is in the generated kit, in the format
// its name promises, audible, and (for loops and music) seamless.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/support/TestFolders.h"
#include "Animate/SoundNames.h"
#include "Animate/Wave.h"

namespace {
bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

// Whether the game plays the file looped: the ambient loops and the music.
bool PlayedLooped(const std::string& name) {
    if (Contains(name, "Music\\")) return true;
    for (const SoundFileName& e : kBattleEffects)
        if (name == std::string("Sound\\") + e.file) return e.id <= 6 || e.id == 19 || e.id == 22;
    return false;
}
}  // namespace

TEST(SoundKitTest, EverySoundExistsPlaysAndLoopsCleanly) {
    const std::string kit = KitFolder().string();
    AfxClearShownMessages();
    for (const std::string& name : AllSoundFileNames()) {
        SCOPED_TRACE(name);
        SWave wave;
        ASSERT_TRUE(wave.Open((std::string(kit) + "\\" + name).c_str(), TRUE));
        const WAVEFORMATEX& fmt = wave.GetFormat();
        // "11h" names are 11,025 Hz; the music is 22,050 Hz mono.
        EXPECT_EQ(fmt.nSamplesPerSec, Contains(name, " 11h.") ? 11025u : 22050u);
        EXPECT_EQ(fmt.nChannels, 1);
        ASSERT_EQ(fmt.wBitsPerSample, 16);

        const DWORD n = wave.GetDataSize() / 2;
        ASSERT_GT(n, fmt.nSamplesPerSec / 2) << "shorter than half a second";
        auto sample = [&](DWORD i) {
            const BYTE* p = wave.GetSamples() + i * 2;
            return (int)(int16_t)(uint16_t)(p[0] | (p[1] << 8));
        };
        int peak = 0, biggestStep = 0;
        for (DWORD i = 0; i < n; ++i) {
            peak = std::max(peak, std::abs(sample(i)));
            if (i + 1 < n) biggestStep = std::max(biggestStep, std::abs(sample(i + 1) - sample(i)));
        }
        EXPECT_GT(peak, 8000) << "too quiet";
        if (PlayedLooped(name)) {
            // Played looped, the jump from the last sample to the first must
            // be no bigger than the sound's own steps: no click.
            EXPECT_LE(std::abs(sample(n - 1) - sample(0)), biggestStep);
        } else {
            // A single sound starts and ends at silence.
            EXPECT_LE(std::abs(sample(0)), 64);
            EXPECT_LE(std::abs(sample(n - 1)), 64);
        }
    }
    EXPECT_TRUE(AfxGetShownMessages().empty());
}
