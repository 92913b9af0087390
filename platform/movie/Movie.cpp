#include "platform/movie/Movie.h"

#include <cstring>

#include "platform/afx/File.h"
#include "platform/afx/Time.h"
#include "platform/audio/DirectSoundBuffer.h"
#include "platform/gfx/Present.h"
#include "platform/win/MessageQueue.h"

namespace {

constexpr int kMaxSide = 4096;
constexpr size_t kMaxFile = 512u * 1024 * 1024;

uint32_t U32(const uint8_t* p) { return p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
bool Is(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// The chunks of [begin, end): id, data and size, each held to the range.
struct Chunk {
    const uint8_t* id;
    size_t data;
    size_t size;
};
bool Chunks(const std::vector<uint8_t>& f, size_t begin, size_t end, std::vector<Chunk>& out, std::string& error) {
    for (size_t at = begin; at + 8 <= end;) {
        size_t size = U32(&f[at + 4]);
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

bool CMovie::Parse(std::vector<uint8_t> bytes, std::string& error) {
    *this = CMovie();
    m_file = std::move(bytes);
    const std::vector<uint8_t>& f = m_file;
    if (f.size() < 12 || !Is(&f[0], "RIFF") || !Is(&f[8], "AVI ")) {
        error = "not an AVI file";
        return false;
    }
    size_t riffEnd = std::min(f.size(), size_t(U32(&f[4])) + 8);
    std::vector<Chunk> top;
    if (!Chunks(f, 12, riffEnd, top, error)) return false;
    bool haveVideo = false;
    uint32_t frameMicros = 0;
    const Chunk* movi = nullptr;
    for (const Chunk& c : top) {
        if (!Is(c.id, "LIST") || c.size < 4) continue;
        if (Is(&f[c.data], "movi")) movi = &c;
        if (!Is(&f[c.data], "hdrl")) continue;
        std::vector<Chunk> hdrl;
        if (!Chunks(f, c.data + 4, c.data + c.size, hdrl, error)) return false;
        for (const Chunk& h : hdrl) {
            if (Is(h.id, "avih") && h.size >= 4) frameMicros = U32(&f[h.data]);
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
                int32_t w = (int32_t)U32(b + 4), hgt = (int32_t)U32(b + 8);
                if (U16(b + 14) != 24 || U32(b + 16) != 0 || w <= 0 || hgt <= 0 || w > kMaxSide || hgt > kMaxSide) {
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
    if (!haveVideo || movi == nullptr) {
        error = "no picture stream";
        return false;
    }
    m_frameMs = std::max<uint32_t>(1, frameMicros / 1000);
    std::vector<Chunk> data;
    if (!Chunks(f, movi->data + 4, movi->data + movi->size, data, error)) return false;
    const size_t frameBytes = size_t(m_stride) * m_height;
    for (const Chunk& c : data) {
        if (c.id[2] == 'd' && (c.id[3] == 'b' || c.id[3] == 'c')) {
            if (c.size < frameBytes) {
                error = "a frame is smaller than the picture";
                return false;
            }
            m_frames.push_back(c.data);
        } else if (c.id[2] == 'w' && c.id[3] == 'b' && m_format.nBlockAlign) {
            m_sound.insert(m_sound.end(), f.begin() + c.data, f.begin() + c.data + c.size);
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
    CFile file;
    if (name == nullptr || !file.Open(name, CFile::modeRead | CFile::typeBinary)) {
        error = std::string("cannot open \"") + (name ? name : "") + "\"";
        return false;
    }
    size_t length = file.GetLength();
    if (length > kMaxFile) {
        error = "the movie is too large";
        return false;
    }
    std::vector<uint8_t> bytes(length);
    if (length && file.Read(bytes.data(), UINT(length)) != length) {
        error = "cannot read the movie";
        return false;
    }
    return Parse(std::move(bytes), error);
}

const uint8_t* CMovie::GetFrame(int i) const {
    if (i < 0 || i >= (int)m_frames.size()) return nullptr;
    return m_file.data() + m_frames[i];
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
