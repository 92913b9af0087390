// Icons: placed pictures of a screen. An icon refers to a sprite (usually a
// phased sprite shared by many icons) and has its own rectangle, depth,
// state bits and phase. CIconList keeps icons in ascending depth and, through
// its link, tells the owning view or dialog which rectangles to redraw when
// an icon moves, changes depth or changes picture.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "Animate/PhasedSprite.h"

// One step of an animation sequence: the phase column and row to show. A
// sequence ends with a step whose column and row are -1.
struct CAnimStep {
    int32_t unused[3];
    int32_t column;
    int32_t row;
    int32_t reserved;
    bool IsEnd() const { return column == -1 && row == -1; }
};

constexpr int kAnimKinds = 10;
constexpr int kAnimFacings = 8;
constexpr int kAnimSequences = kAnimKinds * kAnimFacings;

class CIconList;

class CIcon : public CObject {
    DECLARE_SERIAL(CIcon)
public:
    CIcon() = default;
    // An icon for `sprite` (not owned) of `width` x `height`, whose frame
    // rectangle gives its centre and frame offset.
    CIcon(CSprite* sprite, const RECT& frame, UINT state, int width, int height);

    CRect GetRect() const { return CRect(m_x, m_y, m_x + m_nWidth, m_y + m_nHeight); }
    CRect GetDrawRect() const { return GetRect(); }
    // The hit rectangle moved to the icon when it is set, else GetRect.
    CRect GetBoundingRect() const;
    CPoint GetCenter() const;
    CPoint GetPreviousPosition() const { return m_previous; }
    CPoint GetPosition() const { return CPoint(m_x, m_y); }

    // Each records the old corner as the previous position and, with
    // redraw, tells the owner of the old and new rectangles.
    void SetPosition(int x, int y, BOOL redraw);
    void SetCenter(int x, int y, BOOL redraw);
    void SetBottomCenter(int x, int y, BOOL redraw);
    void Refresh(BOOL redraw);
    // Re-sorts the owning list whether or not `redraw` is set.
    void SetDepth(int depth, BOOL redraw);
    int GetDepth() const { return m_nDepth; }

    BOOL HitTest(int x, int y, BOOL rectOnly, int marginLeft = 0, int marginTop = 0, int marginRight = 0,
                 int marginBottom = 0);
    // Draws a static, enabled icon; null for any other. Returns one shared
    // rectangle, overwritten by the next call.
    const CRect* Draw(CDIB* target, const RECT& clip);
    // Selects the sprite's phase for this icon (its own, or its animation's
    // current step when its phase row is -1).
    void SelectPhase();

    void SetOwnerLink(CViewLink* link) { m_pLink = link; }
    CViewLink* GetOwnerLink() const { return m_pLink; }
    void Serialize(CArchive& ar) override;

    // Animation: a copy of the view's sequence table and the running one.
    void SetSequenceTable(const CAnimStep* const table[kAnimSequences], const CAnimStep* initial);
    // Starts the sequence of `kind` and `facing` (nothing when there is none).
    void StartSequence(int kind, int facing);
    // The next step, back to the first after the last.
    void StepSequence();
    const CAnimStep* GetAnimation() const { return m_pStep; }

    // Public state read and written by the screens.
    int m_nPhaseRow = -1;
    int m_nPhaseColumn = -1;
    CString m_strName;
    CSprite* m_pSprite = nullptr;
    UINT m_nState = 0;
    double m_dKey = -1.0;
    CRect m_rcFrame;
    CPoint m_frameOffset;
    int m_nWidth = -1;
    int m_nHeight = -1;
    int m_nId = 0;
    BOOL m_bStatic = TRUE;
    BOOL m_bEnabled = TRUE;
    int m_x = 0;
    int m_y = 0;
    CRect m_rcHit;
    double m_dFactor = 1.0;
    // The picture frame and facing (0-7) of a unit shown by the icon.
    int m_nFrame = 0;
    int m_nFacing = 0;
    // The dot that stands for the icon on a minimap; none for most icons.
    CSprite* m_pMapSprite = nullptr;
    // Stored and read back as they are; the screens give them meaning.
    int32_t m_nSpareWord = 0;
    int32_t m_nSpriteWord = -1;
    int32_t m_nAfterKeyWord = 0;
    int32_t m_frameData[2] = {0, 0};

private:
    void Moved(const CRect& before, BOOL redraw);

    int m_nDepth = 50;
    CPoint m_previous{-1, -1};
    CViewLink* m_pLink = nullptr;
    const CAnimStep* m_sequences[kAnimSequences] = {};
    const CAnimStep* m_pSequence = nullptr;  // first step of the running sequence
    const CAnimStep* m_pStep = nullptr;      // current step
};

// The drawable icons of a list (enabled, with a sprite and a size) filed by
// the tiles of the screen they cover, so that the icons under a rectangle
// are found among those near it rather than among all. Built once a frame;
// its tables keep their room from frame to frame, so building and asking
// allocate nothing once they have grown to the screen's icons.
class CIconBuckets {
public:
    // Files the icons of `icons` as drawn moved by `shift`.
    void Build(CIconList* icons, CPoint shift = CPoint(0, 0));
    // Calls fn(icon) for each filed icon whose rectangle (moved by the
    // shift) meets `area`, in the order of the list: the order they draw in.
    template <typename F>
    void ForEachMeeting(const CRect& area, F&& fn);
    int GetCount() const { return int(m_entries.size()); }

private:
    struct Entry {
        CIcon* icon;
        int left, top, right, bottom;
        bool Meets(const CRect& a) const { return left < a.right && top < a.bottom && right > a.left && bottom > a.top; }
    };
    // The tiles an area covers, clipped to the grid; false when none.
    bool TileRange(const CRect& area, int& c0, int& r0, int& c1, int& r1) const;

    std::vector<Entry> m_entries;
    int m_left = 0, m_top = 0, m_shiftX = 6, m_shiftY = 6, m_columns = 0, m_rows = 0;  // tiles of 1 << shift
    std::vector<int> m_start;  // per tile, where its entries begin in m_items (one more at the end)
    std::vector<int> m_items;  // entry numbers, tile by tile, each tile's in list order
    std::vector<int> m_fill;
    std::vector<uint32_t> m_seen;
    uint32_t m_visit = 0;
    std::vector<int> m_picked;
};

template <typename F>
void CIconBuckets::ForEachMeeting(const CRect& area, F&& fn) {
    int c0, r0, c1, r1;
    if (!TileRange(area, c0, r0, c1, r1)) return;
    if (c0 == c1 && r0 == r1) {
        // One tile: its entries are in list order and each once.
        const int tile = c0 * m_rows + r0;
        for (int k = m_start[size_t(tile)]; k < m_start[size_t(tile) + 1]; ++k) {
            const Entry& e = m_entries[size_t(m_items[size_t(k)])];
            if (e.Meets(area)) fn(e.icon);
        }
        return;
    }
    if (++m_visit == 0) {
        std::fill(m_seen.begin(), m_seen.end(), 0u);
        m_visit = 1;
    }
    m_picked.clear();
    for (int c = c0; c <= c1; ++c)
        for (int r = r0; r <= r1; ++r) {
            const int tile = c * m_rows + r;
            for (int k = m_start[size_t(tile)]; k < m_start[size_t(tile) + 1]; ++k) {
                const int n = m_items[size_t(k)];
                if (m_seen[size_t(n)] == m_visit) continue;
                m_seen[size_t(n)] = m_visit;
                if (m_entries[size_t(n)].Meets(area)) m_picked.push_back(n);
            }
        }
    std::sort(m_picked.begin(), m_picked.end());
    for (int n : m_picked) fn(m_entries[size_t(n)].icon);
}

// Copies `background` over `r` (all of it when null) into `target`, then
// draws the enabled icons of `icons` that have a sprite and meet that area,
// in list order, each in its own phase at factor 1.0. `notify` moves the
// sprites with notice (the dialogs' way).
void ComposeArea(CDIB& background, CDIB* target, const RECT* r, CIconList* icons, BOOL notify);
// The same for each of `areas` in turn (rectangles outside the background
// are skipped).
void ComposeAreas(CDIB& background, CDIB* target, std::span<const CRect> areas, CIconList* icons, BOOL notify);

// The icon list's link: re-sorts on depth changes and passes changed
// rectangles to the owning view or dialog.
class CIconLink : public CViewLink {
public:
    explicit CIconLink(CIconList* list);
    void Notify(CObject* object, UINT flags, const RECT* oldRect, const RECT* newRect, bool redraw = true) override;
    CDirtyRectSink* m_pDialog = nullptr;
};

// Icons in ascending depth; it does not delete them on destruction (the
// owner calls DeleteAll).
class CIconList : public CObList {
    DECLARE_SERIAL(CIconList)
public:
    CIconList();
    ~CIconList() override { RemoveAll(); }

    BOOL Insert(CIcon* icon);
    // Draws the enabled icons whose state shares a bit with `mask` (all with
    // `everyIcon`) that meet `clip` (all when the clip is all zero).
    void DrawAll(CDIB* target, BOOL everyIcon, UINT mask, const RECT& clip);
    CIcon* Remove(CIcon* icon, BOOL deleteIt);
    CIcon* RemoveById(int id, BOOL deleteIt);
    void RemoveAllNoDelete() { RemoveAll(); }
    void DeleteAll();
    CIcon* FindById(int id) const;
    int GetLargestId() const;
    int CountByState(UINT mask) const;
    CIcon* HitTest(int x, int y, BOOL rectOnly = FALSE, int marginLeft = 0, int marginTop = 0, int marginRight = 0,
                   int marginBottom = 0) const;
    void Reposition(CIcon* icon);
    void Resort();
    // Every icon whose key k has lower <= k <= upper (note the order).
    void RemoveByKeyRange(double upper, double lower, BOOL deleteIt);
    void Serialize(CArchive& ar) override;

    CIconLink* GetLink() { return &m_link; }
    void SetOwnerView(CDirtyRectSink* view) { m_link.m_pView = view; }
    void SetOwnerDialog(CDirtyRectSink* dialog) { m_link.m_pDialog = dialog; }

private:
    CIconLink m_link;
};
