// Sprites: pictures with a position, a depth and an identifier, drawn over
// other pictures with one transparent colour taken from their own top-left
// pixel. CSpriteList keeps them in ascending depth.
#pragma once

#include <deque>

#include "Animate/DIB.h"

class CSprite;
class CIcon;
class CObList;

// What a view or a dialog offers the lists it owns: a rectangle of its
// drawing surface to redraw and show at the next flush.
class CDirtyRectSink {
public:
    virtual ~CDirtyRectSink() = default;
    virtual void AddDirtyRect(const RECT& r) = 0;
};

// Adds `r` to a dirty list kept newest first: the newest rectangle absorbs
// one that meets it, any other goes in front. Only the newest is merged.
void AddMergedDirtyRect(std::deque<CRect>& list, const RECT& r);

// How a sprite or icon tells the list that holds it what changed. The plain
// link (that of CSpriteList) ignores every notice; the icon list's link
// re-sorts and marks rectangles dirty in its owner.
class CViewLink : public CObject {
public:
    enum : UINT { kDepth = 1, kMoved = 2, kPicture = 4 };

    explicit CViewLink(CObList* list = nullptr) : m_pList(list) {}
    // `newRect` is null for depth and picture notices.
    virtual void Notify(CObject* object, UINT flags, const RECT* oldRect, const RECT* newRect, bool redraw = true);

    CObList* m_pList;
    CDirtyRectSink* m_pView = nullptr;
};

class CSprite : public CDIB {
    DECLARE_SERIAL(CSprite)
public:
    // A sprite is drawn again and again: it keeps a true-colour copy.
    CSprite() { KeepTrueColour(true); }

    BOOL LoadResource(UINT resourceId) override;
    BOOL Read(CFile* file) override;
    BOOL MapToPalette(CPalette& palette) override;
    using CDIB::MapToPalette;
    // The placed rectangle (x, y, x + width, y + height).
    CRect GetBounds() const override;
    void Serialize(CArchive& ar) override;

    // Draws the part of the sprite inside `clip` (the whole sprite when
    // null) into `target` at the sprite's own position. Through the alpha
    // mask when one is set, with `factor` as its strength.
    virtual void Draw(CDIB* target, const RECT* clip, double factor);
    // Stores the position; with redraw, tells the owner link of the move.
    virtual void Move(int x, int y, BOOL redraw);
    virtual int GetX() const { return m_x; }
    virtual int GetY() const { return m_y; }
    virtual int GetDepth() const { return m_nDepth; }
    virtual int GetId() const { return m_nId; }
    // Strictly inside the bounds (the first row and column never hit) and
    // on a pixel that is not the transparent colour.
    virtual BOOL HitTest(int x, int y);
    virtual void SetDepth(int depth);
    virtual void SetId(int id) { m_nId = id; }
    virtual void SetOwnerLink(CViewLink* link) { m_pLink = link; }
    // The picture loader of CDIB followed by AfterLoad.
    virtual BOOL LoadPicture(const char* name, int colourDepth, HPALETTE palette);
    virtual BYTE GetTransparentIndex() const { return m_nTransparentIndex; }
    // Takes the transparent keys from pixel (0,0), and the pixels and
    // colours as they are now (see PixelsChanged).
    virtual void AfterLoad();

    void MoveTo(int x, int y) { Move(x, y, TRUE); }
    void SetTransparent(bool transparent) { m_bTransparent = transparent; }
    bool IsTransparent() const { return m_bTransparent; }
    DWORD GetTransparentColor() const { return m_transparentColour; }
    // A hidden sprite is not drawn.
    void SetHidden(bool hidden) { m_bHidden = hidden; }
    bool IsHidden() const { return m_bHidden; }
    void SetAlphaMask(CDIB* mask) { m_pAlpha = mask; }
    CDIB* GetAlphaMask() const { return m_pAlpha; }
    CViewLink* GetOwnerLink() const { return m_pLink; }

    // The transparent key for the copy routines, by the sprite's bit count.
    int32_t CopyKey() const;

    double m_dFactor = 1.0;
    BYTE m_bFlag = 0;

protected:
    // Makes `value` the current row or column of a sheet of `count` cells:
    // FALSE outside the sheet or when already current; otherwise tells the
    // owner link the picture changed.
    BOOL SelectPhase(int& current, int value, int count);
    // The sprite, then the sheet's row count, column count, row and column;
    // on loading `apply` receives the four values read.
    template <typename Apply>
    void SerializeSheet(CArchive& ar, int rows, int columns, int row, int column, Apply apply) {
        CSprite::Serialize(ar);
        if (ar.IsStoring()) {
            ar << DWORD(rows) << DWORD(columns) << DWORD(row) << DWORD(column);
            return;
        }
        DWORD v[4];
        ar >> v[0] >> v[1] >> v[2] >> v[3];
        apply((int)v[0], (int)v[1], (int)v[2], (int)v[3]);
    }

    // Draws the w x h area at (left, top) of the target from (sx, sy) of
    // this picture, keyed or through the mask.
    void DrawArea(CDIB* target, const CRect& area, int sx, int sy, double factor);

    CDIB* m_pAlpha = nullptr;
    bool m_bTransparent = true;
    bool m_bHidden = false;
    DWORD m_transparentColour = 0;
    int m_nId = 0;
    int m_x = 0;
    int m_y = 0;
    int m_nDepth = 50;
    BYTE m_nTransparentIndex = 0;
    CViewLink* m_pLink = nullptr;
};

// Sprites in ascending depth. It does not delete its sprites on destruction:
// whoever owns the list calls DeleteAll first.
class CSpriteList : public CObList {
    DECLARE_SERIAL(CSpriteList)
public:
    CSpriteList() : m_link(this) {}
    ~CSpriteList() override { RemoveAll(); }

    // Before the first sprite of greater or equal depth: a newcomer goes in
    // front of older sprites of its depth.
    BOOL InsertByDepth(CSprite* sprite);
    // Removes the sprite; returns it unless it was deleted (null when absent).
    CSprite* Remove(CSprite* sprite, BOOL deleteIt);
    CSprite* RemoveById(int id, BOOL deleteIt);
    CSprite* Find(int id) const;
    // The largest id, never below 0.
    int GetMaxId() const;
    void DeleteAll();
    void Serialize(CArchive& ar) override;

    CViewLink* GetLink() { return &m_link; }

private:
    CViewLink m_link;
};
