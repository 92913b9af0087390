// CView: the window that shows a document inside a frame. It paints through
// OnDraw and gets OnInitialUpdate once, after its document is ready. A view
// deletes itself when its window is destroyed.
#pragma once

#include "platform/win/Wnd.h"

class CDocument;
class CFrameWnd;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView() = default;
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    // First update after the document is set up; calls OnUpdate by default.
    virtual void OnInitialUpdate();
    // The document changed; repaints by default.
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
    // Draws the view; called from WM_PAINT.
    virtual void OnDraw(CDC* dc);

protected:
    void OnPaint() override;
    void PostNcDestroy() override;
    int OnCreate(CREATESTRUCT* cs) override;

    CDocument* m_pDocument = nullptr;
    friend class CDocument;
};
