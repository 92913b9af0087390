// CDIB: the one in-memory picture of the game. Every background, sprite
// sheet, frame picture, zone map and altitude map is a CDIB or derives from
// it. It holds a bitmap information header with a full 256-entry colour
// table (always 1064 bytes) and the pixel rows, stored bottom-up (the first
// row in memory is the bottom row of the picture), each padded to a multiple
// of 4 bytes.
//
// Pixel formats: the game itself creates 8-bit (palette index) and 24-bit
// (blue, green, red) pictures; files of 1, 4 and 16 bits per pixel load and
// can be addressed, but the copy routines draw only 8- and 24-bit sources.
//
// The copy routines are the inner loops of every screen update. They take a
// destination rectangle already clipped by the caller; they clip once more
// against both pictures (a cheap guard per call, never per pixel) so that a
// faulty rectangle cannot write outside a picture.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/afx/Afx.h"
#include "platform/gfx/Palette.h"

class CDC;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

// The 1064-byte header block of every picture: the 40-byte information
// header and 256 colour entries.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
};
static_assert(sizeof(BITMAPINFOHEADER) == 40 && sizeof(BITMAPINFO) == 1064);

enum : DWORD { BI_RGB = 0 };

// A transparent key for the copy routines: none, a palette index (8-bit
// sources) or a packed blue + green x 256 + red x 65536 colour (24-bit).
enum : int32_t { DIB_NO_KEY = -1, DIB_INDEX_KEY = 0x1000000 };

// The number of colour-table entries a header announces: 2, 16 or 256 for
// 1, 4 and 8 bits unless the colours-used field says fewer; for other bit
// counts the colours-used field, capped at 256 (the table never holds more).
int GetDIBColorCount(const BITMAPINFOHEADER* header);

// Bytes per stored row of a picture `width` pixels wide; 0 when that would
// not fit in 32 bits.
DWORD DIBStride(int width, int bitCount);

class CDIB : public CObject {
    DECLARE_SERIAL(CDIB)
public:
    CDIB();
    // Loads `name` (see Load) for a screen of `depth` bits; IsLoaded tells
    // whether that worked.
    CDIB(const char* name, int depth);
    // A copy of `source` (or of its part `part`, cut to the source) on a
    // picture larger by the extras; the new area is black.
    CDIB(const CDIB& source, int extraWidth, int extraHeight, const RECT* part);
    ~CDIB() override;
    CDIB(const CDIB&) = delete;
    CDIB& operator=(const CDIB&) = delete;

    // --- image files -----------------------------------------------------
    // A packed "DIB" resource: there are no resources here, so always FALSE.
    virtual BOOL LoadResource(UINT resourceId);
    // BMP from `file`'s current position. FALSE, and the picture unchanged,
    // for anything that is not a well-formed uncompressed BMP.
    virtual BOOL Read(CFile* file);
    // Reads `name`, choosing ".giz", BMP or JPEG by its last three letters.
    // There is no file dialog: no name gives FALSE.
    virtual BOOL Load(const char* name);
    virtual BOOL Write(CFile* file);
    // Writes `name` as JPEG ("jpg", "jpeg", "jfif"), ".giz" or else BMP.
    // Shows "ERROR: Could not open file" or "ERROR: Could not save file"
    // for a ".giz" or BMP that cannot be written; the old file is then left
    // as it was.
    virtual BOOL SaveAs(const char* name);
    BOOL ReadGiz(CFile* file);
    BOOL WriteGiz(CFile* file);
    BOOL LoadJpeg(const char* name);
    BOOL WriteJpeg(const char* name);
    void Serialize(CArchive& ar) override;

    // --- geometry and pixels ---------------------------------------------
    // The drawn size: the whole picture here, one cell of a sheet in the
    // sprite classes. The picture's own size is PictureWidth/Height.
    virtual int GetWidth() const;
    virtual int GetHeight() const;
    int PictureWidth() const { return m_pBMI ? m_pBMI->bmiHeader.biWidth : 0; }
    int PictureHeight() const { return m_pBMI ? m_pBMI->bmiHeader.biHeight : 0; }
    CRect PictureRect() const { return CRect(0, 0, PictureWidth(), PictureHeight()); }
    virtual DWORD GetStride() const { return m_stride; }
    int GetBitCount() const { return m_pBMI ? m_pBMI->bmiHeader.biBitCount : 0; }
    virtual CRect GetRect() const { return GetBounds(); }
    virtual CRect GetBounds() const { return CRect(0, 0, GetWidth(), GetHeight()); }
    int GetColorCount() const { return m_pBMI ? GetDIBColorCount(&m_pBMI->bmiHeader) : 0; }
    // Address of pixel (x, y), y counted from the top; null outside the
    // picture or for a bit count without byte addresses.
    BYTE* GetPixelAddress(int x, int y) const;
    BITMAPINFO* GetBitmapInfo() const { return m_pBMI; }
    BYTE* GetBits() const { return m_pBits; }
    bool IsEmpty() const { return m_pBMI == nullptr || m_pBits == nullptr; }

    int GetDepth() const { return m_depth; }
    void SetDepth(int depth) { m_depth = depth; }
    BOOL IsLoaded() const { return m_bLoaded; }

    // --- creation ----------------------------------------------------------
    // A new zeroed picture: 8 bits with the palette's entries over a grey
    // ramp, or 24 bits without a palette.
    BOOL CreateEmpty(int width, int height, HPALETTE palette = nullptr);
    // Adopts `bits` laid out as `header` says, copying the header and its
    // colour entries.
    BOOL Attach(const BITMAPINFO* header, BYTE* bits, BOOL ownsBits);
    BOOL ConvertTo24Bit();
    // Exchanges the pictures (header, rows and their ownership; the depth
    // and flags stay).
    void Swap(CDIB& other);
    BOOL FlipRows();

    // Shows the whole picture at (x, y) of the window behind `dc`; returns
    // the number of lines drawn.
    int DrawTo(CDC* dc, int x, int y) const;

    // --- palette -------------------------------------------------------------
    virtual BOOL MapToPalette(HPALETTE palette);
    virtual BOOL MapToPalette(CPalette& palette);

    // The screens' picture loader: refuses names not ending in "bmp", "giz"
    // or "jpg" (without touching the disk), and at depth 8 reads the copy
    // under "Pictures\8bit\" and maps it to `palette` unless it is an alpha
    // mask.
    BOOL LoadPicture(int depth, const char* name, HPALETTE palette = nullptr);
    bool WasNameRefused() const { return m_bRefusedName; }

    // --- copies into `dst` ---------------------------------------------------
    // `key` is DIB_NO_KEY, an index | DIB_INDEX_KEY or a packed 24-bit colour.
    virtual void Copy(CDIB* dst, int dx, int dy, int w, int h, int sx, int sy, int32_t key);
    virtual void CopyShaded(CDIB* dst, int dx, int dy, int w, int h, int sx, int sy, double factor, int32_t key);
    // Mixes through `mask`, which must have this picture's width and height
    // (another size draws nothing).
    virtual void CopyBlended(CDIB* mask, CDIB* dst, int dx, int dy, int w, int h, int sx, int sy, double factor);
    // Nearest-neighbour stretch of 8-bit pictures.
    virtual void CopyStretched(CDIB* dst, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh, int32_t key);
    virtual void CopyDoubled(CDIB* dst, int dx, int dy, int sx, int sy, int sw, int sh, int32_t key);

    // --- the true-colour copy ----------------------------------------------------
    // A picture that keeps one (the sprites do) draws its 8-bit pixels onto
    // 24-bit targets from a copy expanded through its colour table, made at
    // the first such draw: 3 bytes a pixel more, for drawing without a
    // colour look-up per pixel. Every routine of this class that changes the
    // pixels or colours drops the copy, and so does every copy or sprite
    // drawn into the picture; whoever writes them through
    // GetPixelAddress, GetBits or GetBitmapInfo calls PixelsChanged before
    // the picture is drawn again, or the old colours are drawn.
    void KeepTrueColour(bool keep);
    void PixelsChanged() { m_trueColour.reset(); }
    // Bytes held by the copy now (0 when there is none).
    size_t GetTrueColourBytes() const;

    // Sets the pixels of `r` (cut to the picture) to `value`: an index on 8
    // bits, blue + green x 256 + red x 65536 on 24. Other bit counts are
    // left alone.
    void FillPixels(const RECT& r, DWORD value);

    // Moves the 24-bit pixels of the rectangle toward `rgb` (a Windows RGB
    // value) by `amount` in steps of 1/256; 1.0 or more fills; 0 or less and
    // 8-bit pictures are left alone. BlendRect and DrawScaled are the same.
    void TintRect(COLORREF rgb, double amount, int w, int h, int x, int y);
    void BlendRect(COLORREF rgb, double amount, int w, int h, int x, int y) { TintRect(rgb, amount, w, h, x, y); }
    void DrawScaled(COLORREF rgb, double amount, int w, int h, int x, int y) { TintRect(rgb, amount, w, h, x, y); }

protected:
    // Replaces header and rows; `bmi` and `bits` are adopted.
    void Replace(BITMAPINFO* bmi, BYTE* bits, BOOL ownsBits);
    void Free();
    // The shared tail of the ".giz" and BMP readers: colour entries at the
    // file's position (three-byte entries after a core header), then the
    // rows at `rowsAt`, which must hold at least stride x height of the
    // `rowBytes` the file announces. Adopts them only when all is well.
    BOOL ReadTableAndRows(CFile* f, const BITMAPINFOHEADER& h, bool tripleEntries, int64_t rowsAt, int64_t rowBytes);
    void RecomputeStride();
    // Cuts a copy of w x h from (sx, sy) to (dx, dy) to both pictures.
    bool ClipCopy(const CDIB* dst, int& dx, int& dy, int& w, int& h, int& sx, int& sy) const;
    // The true-colour copy's rows, laid out as the picture's own (bottom-up,
    // DIBStride(width, 24) apart), made now if need be; null when this
    // picture keeps none, is not 8-bit or the room cannot be had.
    const BYTE* TrueColourRows();

    int m_depth = 0;
    DWORD m_stride = 0;
    BOOL m_bLoaded = FALSE;
    BITMAPINFO* m_pBMI = nullptr;
    BYTE* m_pBits = nullptr;
    BOOL m_bOwnsBits = TRUE;
    bool m_bRefusedName = false;
    bool m_bKeepTrueColour = false;
    std::unique_ptr<BYTE[]> m_trueColour;
};

// A list of pictures that does not own them.
class CDibList : public CObList {
    DECLARE_SERIAL(CDibList)
public:
    ~CDibList() override { RemoveAll(); }
};
