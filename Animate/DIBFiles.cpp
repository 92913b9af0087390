// The three picture files: the game's own ".giz" (a BMP-like file with a
// header of its own), Windows BMP, and JPEG. Every reader checks each size,
// count and offset against the file before it allocates or reads, and
// leaves the picture unchanged when it refuses a file.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "Animate/DIB.h"
#include "platform/jpeg/Jpeg.h"
#include "core/Helpers.h"

namespace {

constexpr DWORD kGizMagic = 0x3819;
constexpr DWORD kGizRowBlockOffset = 1084;
constexpr DWORD kGizRowsStart = 1096;
constexpr DWORD kBmpRowsStart = 1078;
// No picture of the game comes near this; a larger claim is a broken file.
constexpr int kMaxSide = 32768;
constexpr uint64_t kMaxRowBytes = 256u * 1024 * 1024;


BITMAPINFOHEADER ParseInfo(const BYTE* p) {
    BITMAPINFOHEADER h;
    h.biSize = AfxGetLE32(p);
    h.biWidth = (LONG)AfxGetLE32(p + 4);
    h.biHeight = (LONG)AfxGetLE32(p + 8);
    h.biPlanes = AfxGetLE16(p + 12);
    h.biBitCount = AfxGetLE16(p + 14);
    h.biCompression = AfxGetLE32(p + 16);
    h.biSizeImage = AfxGetLE32(p + 20);
    h.biXPelsPerMeter = (LONG)AfxGetLE32(p + 24);
    h.biYPelsPerMeter = (LONG)AfxGetLE32(p + 28);
    h.biClrUsed = AfxGetLE32(p + 32);
    h.biClrImportant = AfxGetLE32(p + 36);
    return h;
}

// The 12-byte core layout (size, 16-bit width, height, planes, bit count)
// as a 40-byte header with the other fields zero.
BITMAPINFOHEADER ParseCore(const BYTE* p) {
    BITMAPINFOHEADER h{};
    h.biSize = 40;
    h.biWidth = AfxGetLE16(p + 4);
    h.biHeight = AfxGetLE16(p + 6);
    h.biPlanes = AfxGetLE16(p + 8);
    h.biBitCount = AfxGetLE16(p + 10);
    return h;
}

void PutHeaderBlock(std::vector<BYTE>& v, const BITMAPINFO& bmi) {
    const BITMAPINFOHEADER& h = bmi.bmiHeader;
    AfxPutLE32(v, h.biSize);
    AfxPutLE32(v, (DWORD)h.biWidth);
    AfxPutLE32(v, (DWORD)h.biHeight);
    AfxPutLE16(v, h.biPlanes);
    AfxPutLE16(v, h.biBitCount);
    AfxPutLE32(v, h.biCompression);
    AfxPutLE32(v, h.biSizeImage);
    AfxPutLE32(v, (DWORD)h.biXPelsPerMeter);
    AfxPutLE32(v, (DWORD)h.biYPelsPerMeter);
    AfxPutLE32(v, h.biClrUsed);
    AfxPutLE32(v, h.biClrImportant);
    for (const RGBQUAD& c : bmi.bmiColors) {
        v.push_back(c.rgbBlue);
        v.push_back(c.rgbGreen);
        v.push_back(c.rgbRed);
        v.push_back(0);
    }
}

bool ReadExactly(CFile* f, void* buf, UINT n) { return f->Read(buf, n) == n; }

bool SeekTo(CFile* f, int64_t pos) {
    if (pos < 0 || pos > 0x7FFFFFFF) return false;
    return f->Seek((LONG)pos, CFile::begin) == (LONG)pos;
}

// Whether a header describes a picture this program can hold: positive
// sizes within bounds, bottom-up, uncompressed, a bit count it knows.
bool Plausible(const BITMAPINFOHEADER& h) {
    if (h.biWidth <= 0 || h.biHeight <= 0 || h.biWidth > kMaxSide || h.biHeight > kMaxSide) return false;
    if (h.biCompression != BI_RGB) return false;
    switch (h.biBitCount) {
        case 1: case 4: case 8: case 16: case 24: break;
        default: return false;
    }
    return (uint64_t)DIBStride(h.biWidth, h.biBitCount) * (uint64_t)h.biHeight <= kMaxRowBytes;
}

}  // namespace

BOOL CDIB::ReadTableAndRows(CFile* f, const BITMAPINFOHEADER& h, bool tripleEntries, int64_t rowsAt, int64_t rowBytes) {
    if (!Plausible(h)) return false;
    std::unique_ptr<BITMAPINFO> bmi(new (std::nothrow) BITMAPINFO);
    if (!bmi) return false;
    std::memset(bmi.get(), 0, sizeof(BITMAPINFO));
    bmi->bmiHeader = h;
    int n = GetDIBColorCount(&h);
    int entrySize = tripleEntries ? 3 : 4;
    BYTE table[256 * 4];
    if (n > 0 && !ReadExactly(f, table, UINT(n * entrySize))) return false;
    for (int i = 0; i < n; ++i) {
        const BYTE* e = table + i * entrySize;
        bmi->bmiColors[i] = RGBQUAD{e[0], e[1], e[2], 0};
    }
    uint64_t need = (uint64_t)DIBStride(h.biWidth, h.biBitCount) * (uint64_t)h.biHeight;
    if (rowBytes < 0 || (uint64_t)rowBytes < need) return false;
    if (rowsAt < 0 || (uint64_t)rowsAt + need > f->GetLength()) return false;
    if (!SeekTo(f, rowsAt)) return false;
    std::unique_ptr<BYTE[]> rows(new (std::nothrow) BYTE[need]);
    if (!rows || !ReadExactly(f, rows.get(), (UINT)need)) return false;
    Replace(bmi.release(), rows.release(), TRUE);
    return TRUE;
}

namespace {

// Runs a write and turns a file exception into FALSE.
template <typename F>
BOOL Guarded(F&& write) {
    try {
        write();
        return TRUE;
    } catch (const CException&) {
        return FALSE;
    }
}

bool EndsWithNoCase(const CString& s, const char* tail) {
    int n = (int)std::strlen(tail);
    return s.GetLength() >= n && s.Right(n).CompareNoCase(tail) == 0;
}

}  // namespace

// Reads the information header at `at`: the 40-byte layout, or, when its
// size word is `coreSize`, the 12-byte core layout at the same place.
static bool ReadInfoHeader(CFile* f, int64_t at, DWORD coreSize, BITMAPINFOHEADER& h, bool& core) {
    // The size word says which layout follows: a short file with a core
    // header is read whole, never as 40 bytes it does not have.
    BYTE info[40];
    if (!SeekTo(f, at) || !ReadExactly(f, info, 4)) return false;
    DWORD size = AfxGetLE32(info);
    core = size == coreSize;
    if (size == 40) {
        if (!ReadExactly(f, info + 4, 36)) return false;
        h = ParseInfo(info);
    } else if (core) {
        if (!ReadExactly(f, info + 4, 8)) return false;
        h = ParseCore(info);
    } else {
        return false;
    }
    return true;
}

BOOL CDIB::ReadGiz(CFile* f) {
    if (f == nullptr) return FALSE;
    int64_t p = f->GetPosition();
    BYTE head[20];
    if (!ReadExactly(f, head, 20) || AfxGetLE32(head + 16) != kGizMagic) return FALSE;
    BITMAPINFOHEADER h;
    bool core;
    if (!ReadInfoHeader(f, p + 20, 16, h, core)) return FALSE;
    int64_t fileSize = AfxGetLE32(head), rowBlock = AfxGetLE32(head + 12);
    return ReadTableAndRows(f, h, core, p + rowBlock + 12, fileSize - rowBlock - 12);
}

BOOL CDIB::Read(CFile* f) {
    if (f == nullptr) return FALSE;
    int64_t p = f->GetPosition();
    BYTE head[14];
    if (!ReadExactly(f, head, 14) || head[0] != 'B' || head[1] != 'M') return FALSE;
    BITMAPINFOHEADER h;
    bool core;
    if (!ReadInfoHeader(f, p + 14, 12, h, core)) return FALSE;
    int64_t fileSize = AfxGetLE32(head + 2), rowOffset = AfxGetLE32(head + 10);
    return ReadTableAndRows(f, h, core, p + rowOffset, fileSize - rowOffset);
}

BOOL CDIB::WriteGiz(CFile* f) {
    if (f == nullptr || IsEmpty()) return FALSE;
    DWORD rowBytes = m_stride * (DWORD)PictureHeight();
    std::vector<BYTE> head;
    AfxPutLE32(head, kGizRowsStart + rowBytes);
    AfxPutLE16(head, 0);
    AfxPutLE16(head, 0);
    AfxPutLE32(head, 0);
    AfxPutLE32(head, kGizRowBlockOffset);
    AfxPutLE32(head, kGizMagic);
    std::vector<BYTE> block;
    PutHeaderBlock(block, *m_pBMI);
    std::vector<BYTE> constant;
    AfxPutLE16(constant, 0x013E);
    AfxPutLE16(constant, 0);
    AfxPutLE32(constant, 0x00069B52);
    AfxPutLE16(constant, 0xCA10);
    AfxPutLE16(constant, 0x44FD);
    return Guarded([&] {
        f->Write(head.data(), (UINT)head.size());
        f->Write(block.data(), (UINT)block.size());
        f->Write(constant.data(), (UINT)constant.size());
        f->Write(m_pBits, rowBytes);
    });
}

BOOL CDIB::Write(CFile* f) {
    if (f == nullptr || IsEmpty()) return FALSE;
    DWORD rowBytes = m_stride * (DWORD)PictureHeight();
    std::vector<BYTE> head{'B', 'M'};
    AfxPutLE32(head, rowBytes + kBmpRowsStart);
    AfxPutLE16(head, 0);
    AfxPutLE16(head, 0);
    AfxPutLE32(head, kBmpRowsStart);
    std::vector<BYTE> block;
    PutHeaderBlock(block, *m_pBMI);
    return Guarded([&] {
        f->Write(head.data(), (UINT)head.size());
        f->Write(block.data(), (UINT)block.size());
        f->Write(m_pBits, rowBytes);
    });
}

BOOL CDIB::LoadResource(UINT) { return FALSE; }

BOOL CDIB::Load(const char* name) {
    if (name == nullptr || *name == 0) return FALSE;
    CFile file;
    if (!file.Open(name, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)) return FALSE;
    CString n(name);
    if (n.GetLength() < 3) return FALSE;
    if (EndsWithNoCase(n, "giz")) return ReadGiz(&file);
    if (EndsWithNoCase(n, "bmp")) return Read(&file);
    if (EndsWithNoCase(n, "jpg")) {
        file.Close();
        return LoadJpeg(name);
    }
    return FALSE;
}

BOOL CDIB::SaveAs(const char* name) {
    if (name == nullptr || *name == 0) return FALSE;
    CString n(name);
    if (EndsWithNoCase(n, "jpg") || EndsWithNoCase(n, "jpeg") || EndsWithNoCase(n, "jfif")) return WriteJpeg(name);
    if (n.GetLength() < 3) return FALSE;
    CSafeFile file;
    if (!file.Open(name, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive)) {
        ShowMessage("ERROR: Could not open file");
        return FALSE;
    }
    BOOL ok = EndsWithNoCase(n, "giz") ? WriteGiz(&file) : Write(&file);
    if (ok) ok = Guarded([&] { file.Commit(); });
    if (!ok) ShowMessage("ERROR: Could not save file");
    return ok;
}

BOOL CDIB::LoadJpeg(const char* name) {
    // A '|' never names a file here; refuse it rather than guess.
    if (name == nullptr || std::strchr(name, '|') != nullptr) return FALSE;
    CFile file;
    if (!file.Open(name, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)) return FALSE;
    DWORD length = file.GetLength();
    if (length > 0x10000000) return FALSE;
    std::vector<uint8_t> data(length);
    if (length == 0 || file.Read(data.data(), length) != length) return FALSE;
    JpegImage image;
    std::string error;
    if (!JpegDecode(data.data(), data.size(), image, error)) return FALSE;
    std::unique_ptr<BITMAPINFO> bmi(new (std::nothrow) BITMAPINFO);
    std::unique_ptr<BYTE[]> rows(new (std::nothrow) BYTE[image.rows.size()]);
    if (!bmi || !rows) return FALSE;
    std::memset(bmi.get(), 0, sizeof(BITMAPINFO));
    bmi->bmiHeader = BITMAPINFOHEADER{40, image.width, image.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    std::memcpy(rows.get(), image.rows.data(), image.rows.size());
    Replace(bmi.release(), rows.release(), TRUE);
    return TRUE;
}

BOOL CDIB::WriteJpeg(const char* name) {
    if (name == nullptr || IsEmpty() || GetBitCount() != 24) return FALSE;
    if (!FlipRows()) return FALSE;
    std::vector<uint8_t> bytes;
    std::string error;
    bool ok = JpegEncode(m_pBits, PictureWidth(), PictureHeight(), m_stride, 75, bytes, error);
    FlipRows();
    if (!ok) return FALSE;
    CSafeFile file;
    if (!file.Open(name, CFile::modeCreate | CFile::modeWrite)) return FALSE;
    return Guarded([&] {
        file.Write(bytes.data(), (UINT)bytes.size());
        file.Commit();
    });
}

void CDIB::Serialize(CArchive& ar) {
    ar.Flush();
    if (ar.IsStoring()) {
        CMemFile mem;
        if (!Write(&mem)) throw CArchiveException(CArchiveException::generic);
        ar.Write(mem.Data().data(), (UINT)mem.Data().size());
        return;
    }
    // The picture is a BMP inside the archive: read its file header for the
    // length, then the rest, and parse it from memory.
    BYTE head[14];
    ar.ReadExact(head, 14);
    DWORD fileSize = AfxGetLE32(head + 2);
    if (head[0] != 'B' || head[1] != 'M' || fileSize < 14 + 40 || fileSize > kMaxRowBytes + 2048)
        throw CArchiveException(CArchiveException::generic);
    // Grown as the bytes arrive, so a false length cannot claim memory
    // that the archive does not hold.
    std::vector<BYTE> bytes(head, head + 14);
    while (bytes.size() < fileSize) {
        size_t at = bytes.size();
        bytes.resize(std::min<size_t>(fileSize, at + 65536));
        ar.ReadExact(bytes.data() + at, UINT(bytes.size() - at));
    }
    CMemFile mem(bytes.data(), bytes.size());
    if (!Read(&mem)) throw CArchiveException(CArchiveException::generic);
}
