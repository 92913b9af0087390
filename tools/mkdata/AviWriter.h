// A writer of plain uncompressed AVI files (RIFF AVI 1.0): one 'vids'
// stream of 24-bit bottom-up 'DIB ' frames and an optional 'auds' stream of
// 16-bit PCM, interleaved frame by frame in 'movi' ('01wb' sound before
// '00db' picture), with an 'idx1' index whose offsets count from the 'movi'
// list's type field. This is what the game's movie player reads.
#pragma once

#include <cstdint>
#include <vector>

namespace kit {

class AviWriter {
public:
    // `channels` 0 makes a silent movie without a sound stream.
    AviWriter(int width, int height, int framesPerSecond, int sampleRate, int channels);

    // One frame: height rows, bottom row first, each 3 x width bytes (blue,
    // green, red) padded to a multiple of 4; and the sound that plays with
    // it (interleaved samples; may be empty).
    void AddFrame(const std::vector<uint8_t>& bottomUpRows, const std::vector<int16_t>& samples);

    std::vector<uint8_t> Finish() const;

    uint32_t FrameBytes() const;

private:
    struct Chunk {
        char id[4];
        std::vector<uint8_t> data;
    };
    int m_width, m_height, m_fps, m_rate, m_channels;
    int m_frames = 0;
    uint32_t m_samples = 0;
    uint32_t m_largestSound = 0;
    std::vector<Chunk> m_chunks;
};

}  // namespace kit
