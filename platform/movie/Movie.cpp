#include "platform/movie/Movie.h"

#include <cstring>

#include "platform/afx/Bytes.h"
#include "platform/afx/File.h"
#include "platform/afx/Time.h"
#include "platform/audio/DirectSoundBuffer.h"
#include "platform/gfx/Present.h"
#include "platform/win/MessageQueue.h"

namespace {

constexpr int kMaxSide = 4096;
constexpr size_t kMaxFile = 512u * 1024 * 1024;

bool Is(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// The chunks of [begin, end) of a range already in memory: id, data and
// size, each held to the range.
struct Chunk {
    const uint8_t* id;
    size_t data;
    size_t size;
};
bool Chunks(const std::vector<uint8_t>& f, size_t begin, size_t end, std::vector<Chunk>& out, std::string& error) {
    for (size_t at = begin; at + 8 <= end;) {
        size_t size = AfxGetLE32(&f[at + 4]);
        if (size > end - at - 8) {
            error = "a chunk runs past its end";
            return false;
        }
        out.push_back(Chunk{&f[at], at + 8, size});
        at += 8 + size + (size & 1);
    }
    return true;
}

}  // namespace

bool CMovie::ReadAt(size_t offset, size_t size, uint8_t* to) const {
    if (offset > m_length || size > m_length - offset) return false;
    if (!m_stream) {
        if (size) std::memcpy(to, m_file.data() + offset, size);
        return true;
    }
    try {
        return m_stream->Seek(LONG(offset), CFile::begin) == LONG(offset) && m_stream->Read(to, UINT(size)) == size;
    } catch (const CException&) {
        return false;
    }
}

bool CMovie::Parse(std::vector<uint8_t> bytes, std::string& error) {
    *this = CMovie();
    m_file = std::move(bytes);
    m_length = m_file.size();
    return ParseChunks(error);
}

bool CMovie::ParseChunks(std::string& error) {
    // The headers are read into memory; of the pictures only where each
    // lies, and the sound, which plays from one buffer.
    uint8_t head[12];
    if (m_length < 12 || !ReadAt(0, 12, head) || !Is(head, "RIFF") || !Is(head + 8, "AVI ")) {
        error = "not an AVI file";
        return false;
    }
    const size_t riffEnd = std::min(m_length, size_t(AfxGetLE32(head + 4)) + 8);
    bool haveVideo = false;
    uint32_t frameMicros = 0;
    size_t moviData = 0, moviSize = 0;
    bool haveMovi = false;
    for (size_t at = 12; at + 8 <= riffEnd;) {
        uint8_t h[12] = {};
        if (!ReadAt(at, std::min<size_t>(12, riffEnd - at), h)) {
            error = "cannot read the movie";
            return false;
        }
        const size_t size = AfxGetLE32(h + 4);
        if (size > riffEnd - at - 8) {
            error = "a chunk runs past its end";
            return false;
        }
        const size_t data = at + 8;
        at += 8 + size + (size & 1);
        if (!Is(h, "LIST") || size < 4) continue;
        if (Is(h + 8, "movi")) {
            haveMovi = true;
            moviData = data, moviSize = size;
        }
        if (!Is(h + 8, "hdrl")) continue;
        std::vector<uint8_t> f(size);
        if (!ReadAt(data, size, f.data())) {
            error = "cannot read the movie";
            return false;
        }
        std::vector<Chunk> hdrl;
        if (!Chunks(f, 4, f.size(), hdrl, error)) return false;
        for (const Chunk& h : hdrl) {
            if (Is(h.id, "avih") && h.size >= 4) frameMicros = AfxGetLE32(&f[h.data]);
            if (!Is(h.id, "LIST") || h.size < 4 || !Is(&f[h.data], "strl")) continue;
            std::vector<Chunk> strl;
            if (!Chunks(f, h.data + 4, h.data + h.size, strl, error)) return false;
            const Chunk* strh = nullptr;
            const Chunk* strf = nullptr;
            for (const Chunk& s : strl) {
                if (Is(s.id, "strh") && s.size >= 4) strh = &s;
                if (Is(s.id, "strf")) strf = &s;
            }
            if (!strh || !strf) continue;
            if (Is(&f[strh->data], "vids")) {
                if (strf->size < 40) {
                    error = "the picture format is cut short";
                    return false;
                }
                const uint8_t* b = &f[strf->data];
                int32_t w = (int32_t)AfxGetLE32(b + 4), hgt = (int32_t)AfxGetLE32(b + 8);
                if (AfxGetLE16(b + 14) != 24 || AfxGetLE32(b + 16) != 0 || w <= 0 || hgt <= 0 || w > kMaxSide || hgt > kMaxSide) {
                    error = "only uncompressed 24-bit pictures are played";
                    return false;
                }
                m_width = w, m_height = hgt;
                m_stride = (w * 3 + 3) & ~3;
                haveVideo = true;
            } else if (Is(&f[strh->data], "auds")) {
                ParseWaveFormat(&f[strf->data], std::min<size_t>(strf->size, kWaveFormatBytes), m_format);
                if (const char* problem = WaveFormatProblem(m_format)) {
                    error = std::string("the sound cannot be played: ") + problem;
                    return false;
                }
            }
        }
    }
    if (!haveVideo || !haveMovi) {
        error = "no picture stream";
        return false;
    }
    // A frame that stays up for more than a second is no movie the game
    // shows: it would hold start-up for as long as the file says.
    if (frameMicros > kMaxFrameMicros) {
        error = "a frame lasts longer than a second";
        return false;
    }
    m_frameMs = std::max<uint32_t>(1, frameMicros / 1000);
    const size_t frameBytes = size_t(m_stride) * m_height;
    const size_t moviEnd = moviData + moviSize;
    for (size_t at = moviData + 4; at + 8 <= moviEnd;) {
        uint8_t h[8];
        if (!ReadAt(at, 8, h)) {
            error = "cannot read the movie";
            return false;
        }
        const size_t size = AfxGetLE32(h + 4);
        if (size > moviEnd - at - 8) {
            error = "a chunk runs past its end";
            return false;
        }
        const size_t data = at + 8;
        at += 8 + size + (size & 1);
        if (h[2] == 'd' && (h[3] == 'b' || h[3] == 'c')) {
            if (size < frameBytes) {
                error = "a frame is smaller than the picture";
                return false;
            }
            m_frames.push_back(data);
        } else if (h[2] == 'w' && h[3] == 'b' && m_format.nBlockAlign) {
            const size_t was = m_sound.size();
            m_sound.resize(was + size);
            if (!ReadAt(data, size, m_sound.data() + was)) {
                error = "cannot read the movie";
                return false;
            }
        }
    }
    if (m_frames.empty()) {
        error = "no frames";
        return false;
    }
    m_sound.resize(m_sound.size() / (m_format.nBlockAlign ? m_format.nBlockAlign : 1) * m_format.nBlockAlign);
    return true;
}

bool CMovie::Open(const char* name, std::string& error) {
    *this = CMovie();
    auto file = std::make_unique<CFile>();
    if (name == nullptr || !file->Open(name, CFile::modeRead | CFile::typeBinary)) {
        error = std::string("cannot open \"") + (name ? name : "") + "\"";
        return false;
    }
    size_t length = file->GetLength();
    if (length > kMaxFile) {
        error = "the movie is too large";
        return false;
    }
    m_stream = std::move(file);
    m_length = length;
    // The pictures stay in the file and are read as they are shown.
    return ParseChunks(error);
}

const uint8_t* CMovie::GetFrame(int i) const {
    if (i < 0 || i >= (int)m_frames.size()) return nullptr;
    if (!m_stream) return m_file.data() + m_frames[size_t(i)];
    if (m_frameIndex != i) {
        const size_t bytes = size_t(m_stride) * size_t(m_height);
        m_frame.resize(bytes);
        // A file cut short since it was opened shows black, never stale rows.
        if (!ReadAt(m_frames[size_t(i)], bytes, m_frame.data())) std::fill(m_frame.begin(), m_frame.end(), 0);
        m_frameIndex = i;
    }
    return m_frame.data();
}

// The movie's sound in a buffer of its own, playing; null without sound.
static IDirectSoundBuffer* StartSound(const CMovie& movie, IDirectSound* sound) {
    if (sound == nullptr || !movie.HasSound() || movie.GetSound().size() < DSBSIZE_MIN) return nullptr;
    DSBUFFERDESC desc;
    desc.dwSize = kDSBufferDescBytes;
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME;
    desc.dwBufferBytes = DWORD(std::min<size_t>(movie.GetSound().size(), DSBSIZE_MAX));
    desc.lpwfxFormat = &movie.GetSoundFormat();
    IDirectSoundBuffer* buffer = nullptr;
    if (FAILED(sound->CreateSoundBuffer(&desc, &buffer, nullptr)) || buffer == nullptr) return nullptr;
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    if (SUCCEEDED(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER))) {
        std::memcpy(p1, movie.GetSound().data(), n1);
        buffer->Unlock(p1, n1, p2, n2);
        buffer->Play(0, 0, 0);
    }
    return buffer;
}

bool PlayMovie(const CMovie& movie, CWnd* wnd, int x, int y, IDirectSound* sound) {
    if (wnd == nullptr || movie.GetFrameCount() == 0) return false;
    GfxPicture pic;
    pic.width = movie.GetWidth();
    pic.height = movie.GetHeight();
    pic.stride = movie.GetStride();
    IDirectSoundBuffer* voice = StartSound(movie, sound);
    const DWORD start = GetTickCount();
    int shown = -1;
    bool finished = false;
    MSG msg;
    for (;;) {
        const bool got = PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE);
        if (got) {
            if (msg.message == WM_LBUTTONDOWN || msg.message == WM_KEYDOWN) break;
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam));
                break;
            }
            DispatchMessage(&msg);
            if (!AfxIsWindow(wnd)) break;
        }
        // Frames follow the clock, so a slow machine drops frames rather
        // than falling behind the sound.
        const DWORD now = GetTickCount();
        int due = int((now - start) / movie.GetFrameMs());
        if (due >= movie.GetFrameCount()) {
            finished = true;
            break;
        }
        if (due != shown) {
            pic.bits = movie.GetFrame(due);
            GfxBlit(wnd, x, y, pic.width, pic.height, pic, 0, 0, true);
            shown = due;
        } else if (!got) {
            // Sleep till the next frame is due, or till input comes.
            DWORD next = start + DWORD(shown + 1) * DWORD(movie.GetFrameMs());
            WaitMessageTimeout(next - now);
        }
    }
    if (voice) {
        voice->Stop();
        voice->Release();
    }
    return finished;
}
