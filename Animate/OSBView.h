// COSBView: the first of the view classes under the main view. It owns the
// back buffer into which every sprite, icon and button is drawn, a second
// surface for a frame picture (a panel along the bottom or right edge), and
// the list of changed ("dirty") rectangles. Render copies a rectangle of
// the back buffer and of the frame surface to the window; only those
// rectangles reach the screen.
//
// It also plays "ANIM" clips: short frame animations from a file of their
// own, a whole first frame followed by run-coded change lists.
#pragma once

#include <deque>
#include <memory>
#include <span>
#include <vector>

#include "Animate/DIBSurface.h"
#include "Animate/Sprite.h"
#include "platform/win/View.h"

// One "ANIM" clip, loaded whole and checked (see COSBView::LoadAnimClip).
struct CAnimClip {
    int currentFrame = 0;
    int pixelSize = 1;  // 1: palette indices, 3: blue, green, red
    int x = 0, y = 0;
    DWORD key = 0;
    bool playing = false;
    bool stoppedByClick = false;
    bool loop = false;
    CRect rect;
    DWORD interval = 0;
    int width = 0, height = 0, frameCount = 0;
    std::vector<std::pair<DWORD, DWORD>> frames;  // offset and size in `file`
    RGBQUAD palette[256] = {};
    std::vector<BYTE> file;
};

class COSBView : public CView, public CDirtyRectSink {
    DECLARE_DYNCREATE(COSBView)
public:
    COSBView();
    ~COSBView() override;

    void OnInitialUpdate() override {}
    void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject) override;
    void OnDraw(CDC* dc) override;
    // A hook for derived views, run before every update's render.
    virtual void OnUpdateHook() {}

    // A back buffer (and frame surface) of the picture's size, 24-bit: the
    // display is never palette based.
    BOOL CreateBackBuffer(const CDIB* picture);
    BOOL CreateFrameBuffer(const CDIB* picture);

    // Copies `r` (buffer coordinates; null: everything) of the back buffer
    // and of the frame surface to the window; see the class comment.
    void Render(const RECT* r = nullptr, BOOL frameOnly = FALSE);
    // Renders each rectangle as Render does, presenting them together.
    void RenderAll(std::span<const CRect> rects);

    // The newest rectangle absorbs a new one that meets it; any other is
    // added in front. Only the newest is ever merged.
    void AddDirtyRect(const RECT& r) override;
    void ClearDirtyRects() { m_dirty.clear(); }
    const std::deque<CRect>& GetDirtyRects() const { return m_dirty; }

    // Colours are blue + green x 256 + red x 65536 (an index on 8 bits).
    void FillRect(int left, int top, int right, int bottom, DWORD colour, BOOL render);
    void DrawRectOutline(int left, int top, int right, int bottom, DWORD colour, int clipLeft, int clipTop,
                         int clipRight, int clipBottom, BOOL render);
    // Blends a Windows RGB colour half way over a rectangle of the back
    // buffer (a marked row of a list).
    void CopyTransparent(const RECT& r, COLORREF colour, BOOL render = TRUE);

    // Loads a clip; null (and nothing shown) for a missing, unreadable or
    // malformed file. The clip is the caller's until DeleteAnimClip.
    CAnimClip* LoadAnimClip(const char* name, DWORD interval, int x, int y, BOOL clear);
    // Draws the clip's current frame into the back buffer and moves on.
    void StepAnimClip(CAnimClip* clip);
    // Plays the clip in a loop of its own; a left click stops it.
    void PlayAnimClip(CAnimClip* clip, BOOL loop, BOOL dispatch);

    CDIBSurface* GetBackBuffer() const { return m_pBackBuffer.get(); }
    CDIBSurface* GetFrameSurface() const { return m_pFrameSurface.get(); }

    CRect m_rcFrame;
    BOOL m_bHorizontalFrame = TRUE;
    CRect m_rcBuffer;
    BOOL m_bFullWindow = TRUE;

protected:
    // Copies what Render would show into the window's surface and adds the
    // window rectangles written to `shown`, without presenting them.
    void BlitForRender(const RECT* r, BOOL frameOnly, std::vector<CRect>& shown);
    BOOL OnEraseBkgnd(CDC*) override { return TRUE; }

    std::unique_ptr<CDIBSurface> m_pBackBuffer;
    std::unique_ptr<CDIBSurface> m_pFrameSurface;
    std::deque<CRect> m_dirty;  // newest first
    std::vector<CRect> m_shown;  // the window rectangles of the render in progress
};

// When the rectangles of a flush cover half of `whole` or more between
// them (many units moving at once), they become `whole` alone: composing
// and showing the area once costs less than going over it piece by piece,
// and the pixels shown are the same.
void CoalesceFlush(std::vector<CRect>& rects, const CRect& whole);

void DeleteAnimClip(CAnimClip* clip);
// Takes a clip file's bytes into `clip` and checks them: every count, size
// and offset is held to the file's own length. False for a file that is not
// a whole "ANIM" clip.
bool ParseAnimClip(std::vector<BYTE> bytes, CAnimClip& clip);
