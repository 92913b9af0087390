// A phased sprite sheet stored run-length encoded: cheap to draw when its
// cells are large and mostly transparent, since transparent runs and wholly
// transparent rows are skipped without touching a pixel. Built once from an
// 8-bit picture by Encode; it keeps no bitmap and is never loaded itself.
//
// A row is a run of tokens read left to right: the transparent index
// followed by a count byte (1 to 255) skips that many pixels; any other
// byte is one opaque pixel of that index.
#pragma once

#include <vector>

#include "Animate/Sprite.h"

class RLESprite : public CSprite {
    DECLARE_SERIAL(RLESprite)
public:
    RLESprite();
    ~RLESprite() override;

    int GetWidth() const override { return m_nCellWidth; }
    int GetHeight() const override { return m_nCellHeight; }
    // Never notifies: run-length sprites are moved by their owners, which
    // redraw what they need.
    void Move(int x, int y, BOOL redraw) override;
    void Draw(CDIB* target, const RECT* clip, double factor) override;
    void Serialize(CArchive& ar) override;
    BOOL LoadResource(UINT) override { return FALSE; }
    BOOL Read(CFile*) override { return FALSE; }
    BOOL MapToPalette(CPalette&) override { return FALSE; }
    BOOL LoadPicture(const char*, int, HPALETTE) override { return FALSE; }
    BYTE GetTransparentIndex() const override { return 0; }
    void AfterLoad() override { Reset(); }

    virtual int GetRowCount() const { return m_nRows; }
    virtual int GetColumnCount() const { return m_nColumns; }
    virtual int GetRow() const { return m_nRow; }
    virtual int GetColumn() const { return m_nColumn; }
    // Refused once frames exist, for n < 1 and for cells under one pixel.
    virtual BOOL SetRowCount(int n);
    virtual BOOL SetColumnCount(int n);
    virtual BOOL SetRow(int r);
    virtual BOOL SetColumn(int c);
    // A row or column of -1 means the current one. True on an opaque pixel
    // of that cell at (px, py), the cell being placed at the sprite.
    virtual BOOL HitTestPhase(int px, int py, int column, int row);

    // Cuts `source` (8 bits per pixel; anything else leaves the sprite
    // empty) into rows x columns cells and encodes each.
    void Encode(const CDIB& source, int rows, int columns);
    // Frees the frames and returns to the constructed state.
    void Reset();

    bool HasFrames() const { return !m_frames.empty(); }
    // The encoded row `r` of cell (column, row); null when wholly transparent.
    const BYTE* GetFrameRow(int column, int row, int r) const;

private:
    struct Frame {
        std::vector<const BYTE*> rows;  // one per cell row, null when empty
        std::vector<BYTE> block;        // every non-empty row, end to end
    };
    void EncodeFrame(const CDIB& source, int left, int top, Frame& frame, std::vector<BYTE>& scratch) const;
    const Frame* CurrentFrame() const;

    std::vector<Frame> m_frames;  // columns x row + column
    int m_nRows = 1;
    int m_nColumns = 1;
    int m_nRow = 0;
    int m_nColumn = 0;
    int m_nCellHeight = 1;
    int m_nCellWidth = 1;
};
