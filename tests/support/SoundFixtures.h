// Small helpers of the sound tests: wave files written to a scratch folder
// and a game clock the test moves by hand.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>
#include <fstream>
#include <string>
#include <vector>

#include "platform/afx/Afx.h"
#include "platform/audio/WaveFormat.h"

// A 16-bit mono wave of `frames` frames at `rate`, all samples `value`.
inline std::vector<BYTE> ConstantWave(DWORD rate, DWORD frames, int16_t value) {
    std::vector<BYTE> samples;
    for (DWORD i = 0; i < frames; ++i) {
        samples.push_back(BYTE(value & 0xFF));
        samples.push_back(BYTE((value >> 8) & 0xFF));
    }
    return MakeWaveFile(PcmFormat(rate, 1, 16), samples.data(), samples.size());
}

// Writes bytes to a file of the scratch folder, one per test process (ctest
// runs tests in parallel); returns its full path.
inline std::string WriteScratchFile(const std::string& name, const std::vector<BYTE>& bytes) {
    std::string path = testing::TempDir() + "velmor_sound_" + std::to_string(getpid()) + "_" + name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

// Holds GetTickCount at a value the test advances; restores the real clock.
class ManualClock {
public:
    ManualClock() { AfxSetTickSource([this] { return m_now; }); }
    ~ManualClock() { AfxSetTickSource(nullptr); }
    void Advance(DWORD ms) { m_now += ms; }

private:
    DWORD m_now = 1000;
};
