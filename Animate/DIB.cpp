#include "Animate/DIB.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

IMPLEMENT_SERIAL(CDIB, CObject, 0)
IMPLEMENT_SERIAL(CDibList, CObList, 0)

int GetDIBColorCount(const BITMAPINFOHEADER* header) {
    if (header == nullptr) return 0;
    int bits = header->biBitCount;
    int n = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
    if (header->biSize == 40 && header->biClrUsed != 0) {
        // The colours-used field is capped for every bit count: a table never
        // holds more than 256 entries, whatever a file claims.
        DWORD used = header->biClrUsed;
        DWORD cap = bits == 1 ? 2 : bits == 4 ? 16 : 256;
        n = (int)std::min(used, cap);
    }
    return n;
}

DWORD DIBStride(int width, int bitCount) {
    if (width <= 0 || bitCount <= 0) return 0;
    uint64_t s = (((uint64_t)bitCount * (uint64_t)width + 31) / 8) & ~uint64_t(3);
    return s > 0x7FFFFFFF ? 0 : (DWORD)s;
}

static BITMAPINFO* NewHeaderBlock() {
    BITMAPINFO* bmi = new (std::nothrow) BITMAPINFO;
    if (bmi) std::memset(bmi, 0, sizeof(BITMAPINFO));
    return bmi;
}

static void SetGreyRamp(BITMAPINFO* bmi) {
    for (int i = 0; i < 256; ++i) bmi->bmiColors[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
}

CDIB::CDIB() = default;

CDIB::CDIB(const char* name, int depth) : m_depth(depth) { m_bLoaded = Load(name) ? TRUE : FALSE; }

CDIB::CDIB(const CDIB& source, int extraWidth, int extraHeight, const RECT* part) {
    m_depth = source.m_depth;
    CRect area = source.GetRect();
    if (part) area.IntersectRect(&area, part);
    if (area.IsRectEmpty() && part) return;
    if (!CreateEmpty(area.Width() + extraWidth, area.Height() + extraHeight, nullptr)) return;
    const_cast<CDIB&>(source).Copy(this, 0, 0, area.Width(), area.Height(), area.left, area.top, DIB_NO_KEY);
}

CDIB::~CDIB() { Free(); }

void CDIB::Free() {
    m_trueColour.reset();
    delete m_pBMI;
    m_pBMI = nullptr;
    if (m_bOwnsBits) delete[] m_pBits;
    m_pBits = nullptr;
    m_bOwnsBits = TRUE;
    m_stride = 0;
}

void CDIB::Replace(BITMAPINFO* bmi, BYTE* bits, BOOL ownsBits) {
    Free();
    m_pBMI = bmi;
    m_pBits = bits;
    m_bOwnsBits = ownsBits;
    RecomputeStride();
}

void CDIB::RecomputeStride() {
    m_stride = m_pBMI ? DIBStride(m_pBMI->bmiHeader.biWidth, m_pBMI->bmiHeader.biBitCount) : 0;
}

int CDIB::GetWidth() const { return m_pBMI ? m_pBMI->bmiHeader.biWidth : 0; }
int CDIB::GetHeight() const { return m_pBMI ? m_pBMI->bmiHeader.biHeight : 0; }

BYTE* CDIB::GetPixelAddress(int x, int y) const {
    if (m_pBits == nullptr || m_pBMI == nullptr) return nullptr;
    int w = PictureWidth(), h = PictureHeight();
    if (x < 0 || y < 0 || x >= w || y >= h) return nullptr;
    BYTE* row = m_pBits + (size_t)(h - y - 1) * m_stride;
    switch (GetBitCount()) {
        case 1: return row + x / 8;
        case 4: return row + x / 2;
        case 8: return row + x;
        case 16: return row + 2 * (size_t)x;
        case 24: return row + 3 * (size_t)x;
        default: return nullptr;
    }
}

BOOL CDIB::CreateEmpty(int width, int height, HPALETTE palette) {
    Free();
    int bits = palette ? 8 : 24;
    DWORD stride = DIBStride(width, bits);
    if (stride == 0 || height <= 0) return FALSE;
    BITMAPINFO* bmi = NewHeaderBlock();
    BYTE* rows = new (std::nothrow) BYTE[(size_t)stride * height];
    if (bmi == nullptr || rows == nullptr) {
        delete bmi;
        delete[] rows;
        return FALSE;
    }
    std::memset(rows, 0, (size_t)stride * height);
    bmi->bmiHeader = BITMAPINFOHEADER{40, width, height, 1, WORD(bits), BI_RGB, stride * (DWORD)height, 0, 0, 0, 0};
    SetGreyRamp(bmi);
    if (palette) {
        PALETTEENTRY pe[256];
        UINT n = palette->GetPaletteEntries(0, 256, pe);
        for (UINT i = 0; i < n; ++i) bmi->bmiColors[i] = RGBQUAD{pe[i].peBlue, pe[i].peGreen, pe[i].peRed, 0};
        bmi->bmiHeader.biClrUsed = n;
    }
    Replace(bmi, rows, TRUE);
    return TRUE;
}

BOOL CDIB::Attach(const BITMAPINFO* header, BYTE* bits, BOOL ownsBits) {
    if (header == nullptr) return FALSE;
    BITMAPINFO* bmi = NewHeaderBlock();
    if (bmi == nullptr) return FALSE;
    bmi->bmiHeader = header->bmiHeader;
    int n = GetDIBColorCount(&header->bmiHeader);
    std::memcpy(bmi->bmiColors, header->bmiColors, sizeof(RGBQUAD) * n);
    Replace(bmi, bits, ownsBits);
    return TRUE;
}

void CDIB::Swap(CDIB& other) {
    PixelsChanged();
    other.PixelsChanged();
    std::swap(m_pBMI, other.m_pBMI);
    std::swap(m_pBits, other.m_pBits);
    std::swap(m_bOwnsBits, other.m_bOwnsBits);
    std::swap(m_stride, other.m_stride);
}

// The 8-bit rows of `dib` expanded through its colour table into new
// 24-bit rows of the same layout (padding zeroed); null when there is no
// room.
static BYTE* ExpandedRows(const CDIB& dib) {
    const int w = dib.PictureWidth(), h = dib.PictureHeight();
    const DWORD stride = DIBStride(w, 24), from = dib.GetStride();
    BYTE* rows = new (std::nothrow) BYTE[(size_t)stride * h];
    if (rows == nullptr) return nullptr;
    std::memset(rows, 0, (size_t)stride * h);
    const RGBQUAD* pal = dib.GetBitmapInfo()->bmiColors;
    for (int r = 0; r < h; ++r) {
        const BYTE* s = dib.GetBits() + (size_t)r * from;
        BYTE* d = rows + (size_t)r * stride;
        for (int x = 0; x < w; ++x, d += 3) {
            const RGBQUAD& c = pal[s[x]];
            d[0] = c.rgbBlue, d[1] = c.rgbGreen, d[2] = c.rgbRed;
        }
    }
    return rows;
}

void CDIB::KeepTrueColour(bool keep) {
    m_bKeepTrueColour = keep;
    if (!keep) PixelsChanged();
}

size_t CDIB::GetTrueColourBytes() const {
    return m_trueColour ? (size_t)DIBStride(PictureWidth(), 24) * PictureHeight() : 0;
}

const BYTE* CDIB::TrueColourRows() {
    if (!m_bKeepTrueColour || IsEmpty() || GetBitCount() != 8) return nullptr;
    if (!m_trueColour) m_trueColour.reset(ExpandedRows(*this));
    return m_trueColour.get();
}

BOOL CDIB::ConvertTo24Bit() {
    if (IsEmpty() || GetBitCount() != 8) return FALSE;
    int h = PictureHeight();
    DWORD stride = DIBStride(PictureWidth(), 24);
    BYTE* rows = ExpandedRows(*this);
    if (rows == nullptr) return FALSE;
    PixelsChanged();
    if (m_bOwnsBits) delete[] m_pBits;
    m_pBits = rows;
    m_bOwnsBits = TRUE;
    SetGreyRamp(m_pBMI);
    m_pBMI->bmiHeader.biBitCount = 24;
    m_pBMI->bmiHeader.biClrUsed = 0;
    m_pBMI->bmiHeader.biSizeImage = stride * (DWORD)h;
    RecomputeStride();
    return TRUE;
}

BOOL CDIB::FlipRows() {
    if (m_stride == 0 || m_pBits == nullptr) return FALSE;
    PixelsChanged();
    BYTE* tmp = new (std::nothrow) BYTE[m_stride];
    if (tmp == nullptr) return FALSE;
    int h = PictureHeight();
    for (int i = 0; i < h / 2; ++i) {
        BYTE* a = m_pBits + (size_t)i * m_stride;
        BYTE* b = m_pBits + (size_t)(h - 1 - i) * m_stride;
        std::memcpy(tmp, a, m_stride);
        std::memcpy(a, b, m_stride);
        std::memcpy(b, tmp, m_stride);
    }
    delete[] tmp;
    return TRUE;
}

BOOL CDIB::MapToPalette(HPALETTE palette) {
    if (palette == nullptr) return FALSE;
    return MapToPalette(*palette);
}

BOOL CDIB::MapToPalette(CPalette& palette) {
    int n = palette.GetEntryCount();
    if (n <= 0 || IsEmpty()) return FALSE;
    int bits = GetBitCount();
    if (bits != 8 && bits != 4 && bits != 24) return FALSE;
    PixelsChanged();
    PALETTEENTRY pe[256];
    palette.GetPaletteEntries(0, (UINT)n, pe);
    BYTE table[256];
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& c = m_pBMI->bmiColors[i];
        table[i] = (BYTE)palette.GetNearestPaletteIndex(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue));
    }
    size_t size = (size_t)m_stride * PictureHeight();
    if (bits == 8) {
        for (size_t i = 0; i < size; ++i) m_pBits[i] = table[m_pBits[i]];
    } else if (bits == 4) {
        for (size_t i = 0; i < size; ++i) {
            BYTE b = m_pBits[i];
            m_pBits[i] = BYTE((table[b >> 4] << 4) | (table[b & 15] & 15));
        }
    } else {
        int w = PictureWidth();
        for (int r = 0; r < PictureHeight(); ++r) {
            BYTE* p = m_pBits + (size_t)r * m_stride;
            for (int x = 0; x < w; ++x, p += 3) {
                const PALETTEENTRY& e = pe[palette.GetNearestPaletteIndex(RGB(p[2], p[1], p[0]))];
                p[0] = e.peBlue, p[1] = e.peGreen, p[2] = e.peRed;
            }
        }
    }
    for (int i = 0; i < 256; ++i)
        m_pBMI->bmiColors[i] = i < n ? RGBQUAD{pe[i].peBlue, pe[i].peGreen, pe[i].peRed, 0} : RGBQUAD{0, 0, 0, 0};
    m_pBMI->bmiHeader.biClrUsed = (DWORD)n;
    return TRUE;
}

static bool EndsWithNoCase(const CString& s, const char* tail) {
    int n = (int)std::strlen(tail);
    return s.GetLength() >= n && s.Right(n).CompareNoCase(tail) == 0;
}

BOOL CDIB::LoadPicture(int depth, const char* name, HPALETTE palette) {
    m_depth = depth;
    CString file(name);
    if (file.GetLength() < 3 ||
        !(EndsWithNoCase(file, "bmp") || EndsWithNoCase(file, "giz") || EndsWithNoCase(file, "jpg"))) {
        m_bRefusedName = true;
        return FALSE;
    }
    m_bRefusedName = false;
    if (depth == 8) {
        // The 8-bit copies of the pictures live in "Pictures\8bit\" with
        // the same sub-folders. A name outside "Pictures" is read as given.
        CString lower = file;
        lower.MakeLower();
        int at = lower.Find("pictures");
        if (at >= 0 && at + 8 < file.GetLength()) {
            CString head = file.Left(at + 8);
            CString rest = file.Mid(at + 9);
            file.Format("%s\\8bit\\%s", head.GetString(), rest.GetString());
        }
    }
    BOOL ok = Load(file);
    if (ok && depth <= 8 && palette) {
        CString stem = file.Left(file.GetLength() - 4);
        bool alpha = file.GetLength() > 8 && EndsWithNoCase(stem, "alpha");
        if (!alpha) MapToPalette(palette);
    }
    return ok;
}

// --- copies ------------------------------------------------------------------

bool CDIB::ClipCopy(const CDIB* dst, int& dx, int& dy, int& w, int& h, int& sx, int& sy) const {
    if (IsEmpty() || dst == nullptr || dst->IsEmpty() || w <= 0 || h <= 0) return false;
    auto cut = [](int& d, int& s, int& n, int dLimit, int sLimit) {
        if (d < 0) s -= d, n += d, d = 0;
        if (s < 0) d -= s, n += s, s = 0;
        n = std::min(n, std::min(dLimit - d, sLimit - s));
    };
    cut(dx, sx, w, dst->PictureWidth(), PictureWidth());
    cut(dy, sy, h, dst->PictureHeight(), PictureHeight());
    return w > 0 && h > 0;
}

namespace {

// Row pointers that walk a rectangle from its top row down. Rows are stored
// bottom-up, so each step goes one stride back.
struct RowWalk {
    BYTE* row;
    ptrdiff_t step;
    RowWalk(const CDIB* d, int x, int y) : row(d->GetPixelAddress(x, y)), step(-(ptrdiff_t)d->GetStride()) {}
    void Next() { row += step; }
};

inline uint32_t Packed(const BYTE* p) { return p[0] | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16); }

// A bit per pixel of the `n` (at most 16) indices at `s`: set where the
// index is `key` (never for a key of -1).
inline uint32_t KeyBits(const BYTE* s, int n, int key) {
    if (key < 0) return 0;
#if defined(__SSE2__)
    if (n == 16)
        return uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)),
                                                         _mm_set1_epi8(char(key)))));
#endif
    uint32_t bits = 0;
    for (int i = 0; i < n; ++i) bits |= uint32_t(s[i] == key) << i;
    return bits;
}

// One row of indices drawn through the palette onto 24-bit pixels, the
// pixels of index `key` left alone (-1: none). Indices are looked at 16 at
// a time, so the clear parts of a sprite cost little; four drawn pixels in
// a row go out as three words.
void IndexRowTo24(const BYTE* s, BYTE* d, int w, int key, const RGBQUAD* pal) {
    // A colour entry is blue, green, red and a spare byte: as a word, the
    // pixel's three bytes are its low 24 bits.
    auto colour = [pal](BYTE i) {
        uint32_t c;
        std::memcpy(&c, &pal[i], 4);
        return c;
    };
    for (int x = 0; x < w; x += 16) {
        const int n = std::min(16, w - x);
        const uint32_t drawn = ~KeyBits(s + x, n, key) & ((1u << n) - 1);
        if (drawn == 0) continue;
        BYTE* dp = d + 3 * (size_t)x;
        const BYTE* sp = s + x;
        int i = 0;
        for (; i + 4 <= n; i += 4, dp += 12, sp += 4) {
            const uint32_t four = (drawn >> i) & 15;
            if (std::endian::native == std::endian::little && four == 15) {
                const uint32_t a = colour(sp[0]), b = colour(sp[1]), c = colour(sp[2]), e = colour(sp[3]);
                const uint32_t w0 = (a & 0xFFFFFFu) | (b << 24), w1 = ((b >> 8) & 0xFFFFu) | (c << 16),
                               w2 = ((c >> 16) & 0xFFu) | (e << 8);
                // Word by word: one 12-byte copy of them would be put
                // together on the stack and read back across the stores.
                std::memcpy(dp, &w0, 4);
                std::memcpy(dp + 4, &w1, 4);
                std::memcpy(dp + 8, &w2, 4);
                continue;
            }
            for (int j = 0; j < 4; ++j)
                if ((four >> j) & 1) std::memcpy(dp + 3 * j, &pal[sp[j]], 3);
        }
        for (; i < n; ++i, dp += 3, ++sp)
            if ((drawn >> i) & 1) std::memcpy(dp, &pal[*sp], 3);
    }
}

#if defined(__SSE2__)
// Sixteen pixels of 3 bytes fill three 16-byte blocks; block k holds bytes
// of pixels 5k to 5k + 5 only. Its byte mask for the drawn pixels is
// kChunkMasks.m[k][six bits of them, from pixel 5k].
struct ChunkMasks {
    alignas(16) BYTE m[3][64][16];
    constexpr ChunkMasks() : m{} {
        for (int k = 0; k < 3; ++k)
            for (int bits = 0; bits < 64; ++bits)
                for (int j = 0; j < 16; ++j) m[k][bits][j] = (bits >> ((16 * k + j) / 3 - 5 * k)) & 1 ? 0xFF : 0;
    }
};
constexpr ChunkMasks kChunkMasks;
#endif

// One row of indices drawn from its true-colour copy `c` onto 24-bit
// pixels, the pixels of index `key` left alone (-1: none). Sixteen pixels
// go at a time: skipped when all are clear, else mixed through a byte mask
// that writes the clear ones back as they were. Whole blocks are mixed
// too: a branch on them costs more, where the drawn pixels of a sprite's
// rows are ragged, than it saves.
void KeyedRowFromColours(const BYTE* s, const BYTE* c, BYTE* d, int w, int key) {
    if (key < 0) {
        std::memcpy(d, c, 3 * (size_t)w);
        return;
    }
    for (int x = 0; x < w; x += 16) {
        const int n = std::min(16, w - x);
        const uint32_t drawn = ~KeyBits(s + x, n, key) & ((1u << n) - 1);
        if (drawn == 0) continue;
        const BYTE* cp = c + 3 * (size_t)x;
        BYTE* dp = d + 3 * (size_t)x;
#if defined(__SSE2__)
        if (n == 16) {
            for (int k = 0; k < 3; ++k) {
                const __m128i from = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cp + 16 * k));
                __m128i* to = reinterpret_cast<__m128i*>(dp + 16 * k);
                const __m128i m = _mm_load_si128(reinterpret_cast<const __m128i*>(kChunkMasks.m[k][(drawn >> (5 * k)) & 63]));
                _mm_storeu_si128(to, _mm_or_si128(_mm_and_si128(m, from), _mm_andnot_si128(m, _mm_loadu_si128(to))));
            }
            continue;
        }
#endif
        for (uint32_t left = drawn; left; left &= left - 1) {
            const int i = __builtin_ctz(left);
            std::memcpy(dp + 3 * i, cp + 3 * i, 3);
        }
    }
}

#if defined(__SSE2__)
// `d` + (((`s` - `d`) x `a`) >> 8) for each of 16 bytes, with the shift
// rounding down as on ints. The products are taken apart at their high and
// low bytes: floor((P - Q) / 256) is P / 256 - Q / 256, less one where P's
// low byte is below Q's.
inline __m128i MixBytes(__m128i s, __m128i d, __m128i a) {
    const __m128i zero = _mm_setzero_si128(), low = _mm_set1_epi16(0xFF);
    auto half = [&](__m128i s16, __m128i d16, __m128i a16) {
        const __m128i p = _mm_mullo_epi16(s16, a16), q = _mm_mullo_epi16(d16, a16);
        const __m128i borrow = _mm_cmplt_epi16(_mm_and_si128(p, low), _mm_and_si128(q, low));
        return _mm_add_epi16(_mm_sub_epi16(_mm_add_epi16(d16, _mm_srli_epi16(p, 8)), _mm_srli_epi16(q, 8)), borrow);
    };
    return _mm_packus_epi16(
        half(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(a, zero)),
        half(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(a, zero)));
}
#endif

}  // namespace

// The keyed copy with every colour byte passed through `tone`: the plain
// copy and the shaded one differ only there. Opaque same-format rows with
// no key and no tone go as whole spans.
template <typename Tone>
static void CopyToned(const CDIB* src, CDIB* dst, int dx, int dy, int w, int h, int sx, int sy, int32_t key, bool toned,
                      Tone tone) {
    dst->PixelsChanged();
    int sb = src->GetBitCount(), db = dst->GetBitCount();
    RowWalk s(src, sx, sy), d(dst, dx, dy);
    if (sb == 24 && db == 24) {
        uint32_t k = (uint32_t)key & 0xFFFFFF;
        for (int r = 0; r < h; ++r, s.Next(), d.Next()) {
            if (key == DIB_NO_KEY && !toned) {
                std::memcpy(d.row, s.row, (size_t)w * 3);
                continue;
            }
            const BYTE* sp = s.row;
            BYTE* dp = d.row;
            for (int x = 0; x < w; ++x, sp += 3, dp += 3)
                if (key == DIB_NO_KEY || Packed(sp) != k) dp[0] = tone(sp[0]), dp[1] = tone(sp[1]), dp[2] = tone(sp[2]);
        }
    } else if (sb == 8 && db == 8) {
        // Indices are never toned: a shaded index would be another colour.
        for (int r = 0; r < h; ++r, s.Next(), d.Next()) {
            if (key == DIB_NO_KEY) {
                std::memcpy(d.row, s.row, (size_t)w);
                continue;
            }
            BYTE k = BYTE(key);
            for (int x = 0; x < w; ++x)
                if (s.row[x] != k) d.row[x] = s.row[x];
        }
    } else if (sb == 8 && db == 24) {
        int k = key == DIB_NO_KEY ? -1 : (key & 0xFF);
        const RGBQUAD* pal = src->GetBitmapInfo()->bmiColors;
        if (!toned) {
            for (int r = 0; r < h; ++r, s.Next(), d.Next()) IndexRowTo24(s.row, d.row, w, k, pal);
            return;
        }
        for (int r = 0; r < h; ++r, s.Next(), d.Next()) {
            BYTE* dp = d.row;
            for (int x = 0; x < w; ++x, dp += 3) {
                BYTE i = s.row[x];
                if (i == k) continue;
                dp[0] = tone(pal[i].rgbBlue), dp[1] = tone(pal[i].rgbGreen), dp[2] = tone(pal[i].rgbRed);
            }
        }
    }
}

void CDIB::Copy(CDIB* dst, int dx, int dy, int w, int h, int sx, int sy, int32_t key) {
    if (!ClipCopy(dst, dx, dy, w, h, sx, sy)) return;
    if (GetBitCount() == 8 && dst->GetBitCount() == 24) {
        if (const BYTE* colours = TrueColourRows()) {
            dst->PixelsChanged();
            const ptrdiff_t step = (ptrdiff_t)DIBStride(PictureWidth(), 24);
            const BYTE* c = colours + (PictureHeight() - sy - 1) * step + 3 * (ptrdiff_t)sx;
            const int k = key == DIB_NO_KEY ? -1 : (key & 0xFF);
            RowWalk s(this, sx, sy), d(dst, dx, dy);
            for (int r = 0; r < h; ++r, s.Next(), d.Next(), c -= step) KeyedRowFromColours(s.row, c, d.row, w, k);
            return;
        }
    }
    CopyToned(this, dst, dx, dy, w, h, sx, sy, key, false, [](BYTE c) { return c; });
}

void CDIB::CopyShaded(CDIB* dst, int dx, int dy, int w, int h, int sx, int sy, double factor, int32_t key) {
    if (factor == 0.0) return;
    if (factor == 1.0) return Copy(dst, dx, dy, w, h, sx, sy, key);
    if (!ClipCopy(dst, dx, dy, w, h, sx, sy)) return;
    CopyToned(this, dst, dx, dy, w, h, sx, sy, key, true, [factor](BYTE c) { return BYTE((int64_t)(c * factor)); });
}

void CDIB::CopyBlended(CDIB* mask, CDIB* dst, int dx, int dy, int w, int h, int sx, int sy, double factor) {
    if (factor == 0.0 || mask == nullptr || mask->IsEmpty()) return;
    // The mask is addressed at this picture's coordinates: one of another
    // size would be read outside its rows.
    if (mask->PictureWidth() != PictureWidth() || mask->PictureHeight() != PictureHeight()) return;
    int mb = mask->GetBitCount();
    if (mb != 8 && mb != 24) return;
    if (!ClipCopy(dst, dx, dy, w, h, sx, sy)) return;
    dst->PixelsChanged();
    int sb = GetBitCount(), db = dst->GetBitCount();
    auto scale = [factor](BYTE a) -> int { return factor == 1.0 ? a : BYTE((int64_t)(a * factor)); };
    RowWalk s(this, sx, sy), d(dst, dx, dy), m(mask, sx, sy);
    int mstep = mb == 24 ? 3 : 1;
    if (db == 8) {
        if (sb != 8) return;
        for (int r = 0; r < h; ++r, s.Next(), d.Next(), m.Next()) {
            const BYTE* mp = m.row;
            for (int x = 0; x < w; ++x, mp += mstep) {
                bool on = mb == 24 ? (mp[0] > 128 || mp[1] > 128 || mp[2] > 128) : mp[0] > 128;
                if (on) d.row[x] = s.row[x];
            }
        }
        return;
    }
    if (db != 24 || (sb != 8 && sb != 24)) return;
    const RGBQUAD* pal = m_pBMI->bmiColors;
    if (mb == 8) {
        // Most of a one-byte mask is clear: its zeros are skipped 16 at a
        // time, and only the pixels it covers are mixed.
        for (int r = 0; r < h; ++r, s.Next(), d.Next(), m.Next()) {
            for (int x0 = 0; x0 < w; x0 += 16) {
                const int n = std::min(16, w - x0);
                const uint32_t covered = ~KeyBits(m.row + x0, n, 0) & ((1u << n) - 1);
#if defined(__SSE2__)
                if (n == 16 && covered) {
                    // The 16 pixels mixed together; where the mask is 0 the
                    // sum leaves the pixel as it was.
                    alignas(16) BYTE from[52], by[52];
                    for (int i = 0; i < 16; ++i) {
                        const int x = x0 + i;
                        if (sb == 24)
                            std::memcpy(from + 3 * i, s.row + 3 * (size_t)x, 3);
                        else
                            std::memcpy(from + 3 * i, &pal[s.row[x]], 4);
                        const uint32_t a = uint32_t(scale(m.row[x])) * 0x01010101u;
                        std::memcpy(by + 3 * i, &a, 4);
                    }
                    BYTE* dp = d.row + 3 * (size_t)x0;
                    for (int k = 0; k < 48; k += 16) {
                        const __m128i mixed = MixBytes(_mm_load_si128(reinterpret_cast<const __m128i*>(from + k)),
                                                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(dp + k)),
                                                       _mm_load_si128(reinterpret_cast<const __m128i*>(by + k)));
                        _mm_storeu_si128(reinterpret_cast<__m128i*>(dp + k), mixed);
                    }
                    continue;
                }
#endif
                for (uint32_t left = covered; left; left &= left - 1) {
                    const int x = x0 + __builtin_ctz(left);
                    const BYTE* src = sb == 24 ? s.row + 3 * (size_t)x : reinterpret_cast<const BYTE*>(&pal[s.row[x]]);
                    BYTE* dp = d.row + 3 * (size_t)x;
                    const int a = scale(m.row[x]);
                    for (int c = 0; c < 3; ++c) dp[c] = BYTE(dp[c] + (((src[c] - dp[c]) * a) >> 8));
                }
            }
        }
        return;
    }
    for (int r = 0; r < h; ++r, s.Next(), d.Next(), m.Next()) {
        const BYTE* mp = m.row;
        BYTE* dp = d.row;
        for (int x = 0; x < w; ++x, mp += 3, dp += 3) {
            BYTE src[3];
            if (sb == 24) {
                const BYTE* sp = s.row + 3 * (size_t)x;
                src[0] = sp[0], src[1] = sp[1], src[2] = sp[2];
            } else {
                const RGBQUAD& c = pal[s.row[x]];
                src[0] = c.rgbBlue, src[1] = c.rgbGreen, src[2] = c.rgbRed;
            }
            for (int c = 0; c < 3; ++c) dp[c] = BYTE(dp[c] + (((src[c] - dp[c]) * scale(mp[c])) >> 8));
        }
    }
}

void CDIB::CopyStretched(CDIB* dst, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh, int32_t key) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    if (IsEmpty() || dst == nullptr || dst->IsEmpty() || GetBitCount() != 8 || dst->GetBitCount() != 8) return;
    dst->PixelsChanged();
    if (dw == 2 * sw && dh == 2 * sh) return CopyDoubled(dst, dx, dy, sx, sy, sw, sh, key);
    // Source and destination rectangles must lie inside their pictures; a
    // stretch is not cut part-way, since that would change its scale.
    if (sx < 0 || sy < 0 || sx + sw > PictureWidth() || sy + sh > PictureHeight()) return;
    int k = key == DIB_NO_KEY ? -1 : (key & 0xFF);
    int prevSrcRow = -1;
    BYTE* prevRow = nullptr;
    for (int row = 0; row < dh; ++row) {
        int ty = dy + row;
        if (ty < 0 || ty >= dst->PictureHeight()) continue;
        int srow = sy + (int)((int64_t)row * sh / dh);
        BYTE* d = dst->GetPixelAddress(0, ty);
        const BYTE* s = GetPixelAddress(0, srow);
        int x0 = std::max(0, -dx), x1 = std::min(dw, dst->PictureWidth() - dx);
        if (k < 0 && srow == prevSrcRow && prevRow) {
            if (x1 > x0) std::memcpy(d + dx + x0, prevRow + dx + x0, (size_t)(x1 - x0));
        } else {
            for (int j = x0; j < x1; ++j) {
                BYTE v = s[sx + (int)((int64_t)j * sw / dw)];
                if (v != k) d[dx + j] = v;
            }
        }
        prevSrcRow = srow;
        prevRow = d;
    }
}

void CDIB::CopyDoubled(CDIB* dst, int dx, int dy, int sx, int sy, int sw, int sh, int32_t key) {
    if (sw <= 0 || sh <= 0 || IsEmpty() || dst == nullptr || dst->IsEmpty()) return;
    if (GetBitCount() != 8 || dst->GetBitCount() != 8) return;
    if (sx < 0 || sy < 0 || sx + sw > PictureWidth() || sy + sh > PictureHeight()) return;
    dst->PixelsChanged();
    int k = key == DIB_NO_KEY ? -1 : (key & 0xFF);
    for (int row = 0; row < 2 * sh; ++row) {
        int ty = dy + row;
        if (ty < 0 || ty >= dst->PictureHeight()) continue;
        const BYTE* s = GetPixelAddress(sx, sy + row / 2);
        BYTE* d = dst->GetPixelAddress(0, ty);
        for (int j = 0; j < 2 * sw; ++j) {
            int tx = dx + j;
            if (tx < 0 || tx >= dst->PictureWidth()) continue;
            BYTE v = s[j / 2];
            if (v != k) d[tx] = v;
        }
    }
}

void CDIB::FillPixels(const RECT& rect, DWORD value) {
    int bits = GetBitCount();
    if (IsEmpty() || (bits != 8 && bits != 24)) return;
    CRect r(rect);
    r &= PictureRect();
    if (r.IsRectEmpty()) return;
    PixelsChanged();
    const BYTE c[3] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16)};
    for (int y = r.top; y < r.bottom; ++y) {
        BYTE* p = GetPixelAddress(r.left, y);
        if (bits == 8) {
            std::memset(p, c[0], (size_t)r.Width());
            continue;
        }
        for (int x = r.left; x < r.right; ++x, p += 3) p[0] = c[0], p[1] = c[1], p[2] = c[2];
    }
}

void CDIB::TintRect(COLORREF rgb, double amount, int w, int h, int x, int y) {
    if (IsEmpty() || GetBitCount() != 24 || w <= 0 || h <= 0 || amount <= 0.0) return;
    CRect r(x, y, x + w, y + h);
    CRect all = PictureRect();
    if (!r.IntersectRect(&r, &all)) return;
    BYTE target[3] = {GetBValue(rgb), GetGValue(rgb), GetRValue(rgb)};
    int a = amount >= 1.0 ? 256 : BYTE((int64_t)(amount * 256.0));
    for (int row = r.top; row < r.bottom; ++row) {
        BYTE* p = GetPixelAddress(r.left, row);
        for (int i = 0; i < r.Width(); ++i, p += 3) {
            if (a == 256) {
                p[0] = target[0], p[1] = target[1], p[2] = target[2];
            } else {
                for (int c = 0; c < 3; ++c) p[c] = BYTE(p[c] + (((target[c] - p[c]) * a) >> 8));
            }
        }
    }
}
