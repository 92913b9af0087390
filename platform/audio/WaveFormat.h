// The wave format block of our sound layer: the fields of a RIFF "fmt "
// chunk, and the test of which formats the mixer can play.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/afx/AfxTypes.h"

enum : WORD { WAVE_FORMAT_PCM = 1 };

// The 18-byte format block, kept field by field (never copied as raw memory:
// the in-memory struct has padding the file does not).
struct WAVEFORMATEX {
    WORD wFormatTag = 0;
    WORD nChannels = 0;
    DWORD nSamplesPerSec = 0;
    DWORD nAvgBytesPerSec = 0;
    WORD nBlockAlign = 0;
    WORD wBitsPerSample = 0;
    WORD cbSize = 0;
};

// Size of the format block as stored in a "fmt " chunk.
constexpr size_t kWaveFormatBytes = 18;

// Fills `fmt` from up to 18 little-endian bytes; fields past `size` stay 0.
void ParseWaveFormat(const BYTE* bytes, size_t size, WAVEFORMATEX& fmt);

// Whether the mixer plays this format: PCM, 8- or 16-bit, mono or stereo,
// 1 000 to 192 000 frames a second, and a block alignment that matches.
// Returns null when it does, else a short reason for an error message.
const char* WaveFormatProblem(const WAVEFORMATEX& fmt);

// A complete RIFF "WAVE" file of the format (a 16-byte "fmt " chunk, as PCM
// files have) and the sample bytes. The data kit writes its sounds with it.
std::vector<BYTE> MakeWaveFile(const WAVEFORMATEX& fmt, const BYTE* samples, size_t bytes);

// The PCM format block for a rate, a channel count and 8 or 16 bits.
WAVEFORMATEX PcmFormat(DWORD rate, WORD channels, WORD bits);
