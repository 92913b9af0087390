// Reading wave files: well-formed ones load exactly; damaged or hostile ones
// are refused with an error and never read outside the file.
#include <gtest/gtest.h>

#include "Animate/Wave.h"
#include "tests/support/SoundFixtures.h"

namespace {
void PutDword(std::vector<BYTE>& b, size_t at, DWORD v) {
    for (int i = 0; i < 4; ++i) b[at + i] = BYTE(v >> (8 * i));
}

// A 16-bit mono wave of 8 frames (16 data bytes): RIFF header at 0, "fmt "
// at 12 (size at 16, body at 20), "data" at 36 (size at 40, body at 44).
std::vector<BYTE> GoodWave() {
    std::vector<BYTE> samples;
    for (int i = 0; i < 16; ++i) samples.push_back(BYTE(i * 3));
    return MakeWaveFile(PcmFormat(11025, 1, 16), samples.data(), samples.size());
}

struct BadCase {
    const char* what;
    std::vector<BYTE> bytes;
    bool opens;          // Open without samples succeeds
    bool loads;          // Open with samples succeeds
    const char* message; // part of the error shown, or null for none
};

std::vector<BadCase> Cases() {
    std::vector<BadCase> cases;
    cases.push_back({"good", GoodWave(), true, true, nullptr});
    {
        auto b = GoodWave();
        b.resize(30);  // cut inside the format chunk
        cases.push_back({"truncated in fmt", b, false, false, "runs past the end"});
    }
    {
        auto b = GoodWave();
        b.resize(50);  // cut inside the samples
        cases.push_back({"truncated in data", b, false, false, "runs past the end"});
    }
    cases.push_back({"too short for a header", std::vector<BYTE>{'R', 'I', 'F', 'F'}, false, false, "not a RIFF"});
    {
        auto b = GoodWave();
        b[8] = 'A', b[9] = 'V', b[10] = 'I', b[11] = ' ';
        cases.push_back({"form is not WAVE", b, false, false, "not a RIFF"});
    }
    {
        auto b = GoodWave();
        b[12] = 'j', b[13] = 'u', b[14] = 'n', b[15] = 'k';
        cases.push_back({"no fmt chunk", b, false, false, "no \"fmt \" chunk"});
    }
    {
        auto b = GoodWave();
        PutDword(b, 40, 0x7FFFFFF0);  // data size lies
        cases.push_back({"data size lies", b, false, false, "runs past the end"});
    }
    {
        auto b = GoodWave();
        PutDword(b, 16, 0xFFFFFFF0);  // fmt size lies: the walk must not wrap
        cases.push_back({"fmt size lies", b, false, false, "runs past the end"});
    }
    {
        auto b = GoodWave();
        b[20] = 3;  // IEEE float
        cases.push_back({"float format", b, false, false, "cannot play (not PCM)"});
    }
    {
        auto b = GoodWave();
        b[34] = 24;  // 24 bits a sample
        cases.push_back({"24-bit", b, false, false, "cannot play"});
    }
    {
        auto b = GoodWave();
        PutDword(b, 16, 14);  // an old 14-byte format block
        cases.push_back({"14-byte fmt", b, false, false, "only 14 bytes"});
    }
    {
        auto b = MakeWaveFile(PcmFormat(22050, 2, 8), nullptr, 0);
        cases.push_back({"empty data", b, true, false, nullptr});
    }
    return cases;
}
}  // namespace

TEST(WaveTest, RefusesDamagedFilesWithAnErrorAndNeverOverReads) {
    for (const BadCase& c : Cases()) {
        SCOPED_TRACE(c.what);
        std::string path = WriteScratchFile("case.wav", c.bytes);
        for (BOOL load : {FALSE, TRUE}) {
            AfxClearShownMessages();
            SWave wave;
            EXPECT_EQ(wave.Open(path.c_str(), load), load ? c.loads : c.opens);
            auto shown = AfxGetShownMessages();
            if (c.message) {
                ASSERT_EQ(shown.size(), 1u);
                EXPECT_EQ(shown[0].rfind("ERROR: ", 0), 0u) << shown[0];
                EXPECT_NE(shown[0].find(c.message), std::string::npos) << shown[0];
            } else {
                EXPECT_TRUE(shown.empty());
            }
        }
    }
}

TEST(WaveTest, ReadsFormatSizeAndSamples) {
    std::string path = WriteScratchFile("good.wav", GoodWave());
    SWave loaded(path.c_str(), TRUE);
    EXPECT_EQ(loaded.GetFormat().nSamplesPerSec, 11025u);
    EXPECT_EQ(loaded.GetFormat().nBlockAlign, 2);
    EXPECT_EQ(loaded.GetDataSize(), 16u);
    ASSERT_NE(loaded.GetSamples(), nullptr);
    EXPECT_EQ(loaded.GetSamples()[5], 15);

    // A 16-byte format chunk reads as a whole format with cbSize 0; the
    // samples are the same whether loaded or read from the file.
    SWave lazy(path.c_str(), FALSE);
    EXPECT_EQ(lazy.GetSamples(), nullptr);
    EXPECT_EQ(lazy.GetFormat().cbSize, 0);
    for (SWave* w : {&loaded, &lazy}) {
        BYTE out[16] = {};
        EXPECT_EQ(w->ReadData(out, 4, CFile::begin, 2), 4u);
        EXPECT_EQ(out[0], 6);
        EXPECT_EQ(out[3], 15);
    }
}

TEST(WaveTest, ReadDataRefusesRangesOutsideTheSamples) {
    std::string path = WriteScratchFile("range.wav", GoodWave());
    SWave loaded(path.c_str(), TRUE);
    SWave lazy(path.c_str(), FALSE);
    struct Range {
        DWORD count;
        LONG offset;
        DWORD expected;
    } ranges[] = {
        {16, 0, 16},  // exactly the samples
        {17, 0, 0},   // one byte too many
        {16, 1, 0},   // offset + count past the end
        {8, 9, 0},
        {1, -1, 0},
        {0, 16, 0},
    };
    for (SWave* w : {&loaded, &lazy}) {
        for (const Range& r : ranges) {
            std::vector<BYTE> out(32, 0xEE);
            EXPECT_EQ(w->ReadData(out.data(), r.count, CFile::begin, r.offset), r.expected)
                << r.count << " at " << r.offset;
            if (r.expected == 0) {
                EXPECT_EQ(out[0], 0xEE);
            }
        }
        EXPECT_EQ(w->ReadData(nullptr, 4, CFile::begin, 0), 0u);
    }
}

TEST(WaveTest, MissingFileFailsQuietly) {
    AfxClearShownMessages();
    SWave wave;
    EXPECT_FALSE(wave.Open((testing::TempDir() + "no such sound.wav").c_str(), TRUE));
    EXPECT_TRUE(AfxGetShownMessages().empty());
    EXPECT_EQ(wave.GetDataSize(), 0u);
}
