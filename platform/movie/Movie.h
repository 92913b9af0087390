// A small player for plain uncompressed AVI files (RIFF "AVI "): one picture
// stream of 24-bit bottom-up frames and an optional 16- or 8-bit PCM sound
// stream, as the data kit writes the logo movie.
//
// The file is checked when it is opened: every chunk size is held to what
// contains it, the picture format must be uncompressed 24-bit of a sane
// size, every frame must hold a whole picture. Anything else is refused
// with an "ERROR: ..." text and nothing is shown. An opened file is read as
// it plays: the headers and the sound when it opens, each picture when it
// is shown.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/afx/File.h"
#include "platform/audio/DirectSound.h"
#include "platform/win/Wnd.h"

class CMovie {
public:
    // The longest a frame may stay up; a movie declaring more is refused.
    static constexpr uint32_t kMaxFrameMicros = 1000000;

    // Parses a whole file held in memory; false with `error` set for
    // anything this player does not read.
    bool Parse(std::vector<uint8_t> bytes, std::string& error);
    // Reads `name` (resolved as the game's names are).
    bool Open(const char* name, std::string& error);

    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetStride() const { return m_stride; }
    int GetFrameCount() const { return (int)m_frames.size(); }
    // Milliseconds each frame stays up (at least 1).
    uint32_t GetFrameMs() const { return m_frameMs; }
    // Frame i's rows, bottom row first; null outside 0 .. count - 1. For an
    // opened file the rows are good until another frame is asked for, and
    // a frame the file no longer holds is black.
    const uint8_t* GetFrame(int i) const;
    bool HasSound() const { return !m_sound.empty(); }
    const WAVEFORMATEX& GetSoundFormat() const { return m_format; }
    const std::vector<uint8_t>& GetSound() const { return m_sound; }

private:
    bool ParseChunks(std::string& error);
    // Bytes of the movie from memory or from the opened file.
    bool ReadAt(size_t offset, size_t size, uint8_t* to) const;

    std::vector<uint8_t> m_file;  // the movie when parsed from memory
    std::unique_ptr<CFile> m_stream;  // the movie when opened
    size_t m_length = 0;
    mutable std::vector<uint8_t> m_frame;  // the last frame read from the file
    mutable int m_frameIndex = -1;
    int m_width = 0, m_height = 0, m_stride = 0;
    uint32_t m_frameMs = 40;
    std::vector<size_t> m_frames;  // offsets into m_file
    WAVEFORMATEX m_format;
    std::vector<uint8_t> m_sound;
};

// Shows a movie in a window: each frame at (x, y) of the window's client
// area for its time, with the sound through `sound` when one is given.
// Pumps the queue meanwhile (other windows' timers keep running); a left
// click or a key press stops it. Returns true when it ran to its end.
bool PlayMovie(const CMovie& movie, CWnd* wnd, int x, int y, IDirectSound* sound);
