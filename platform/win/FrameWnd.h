// CFrameWnd: a top-level window that holds one view filling its client
// area. LoadFrame creates the frame and, from the create context, its view;
// a frame deletes itself when its window is destroyed, and destroying the
// application's main window ends the message loop.
#pragma once

#include "platform/win/Wnd.h"

class CDocument;
class CView;
class CSingleDocTemplate;

// What a frame needs to create its view.
struct CCreateContext {
    CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CSingleDocTemplate* m_pNewDocTemplate = nullptr;
};

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;

    // Creates the frame (PreCreateWindow decides place and style; by default
    // it covers the screen) and its view. FALSE when either refuses; the
    // frame window is then destroyed again but the object is left to the
    // caller to delete.
    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* parent = nullptr, CCreateContext* context = nullptr);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* view) { m_pViewActive = view; }
    CDocument* GetActiveDocument() const;
    // Places the view over the whole client area.
    virtual void RecalcLayout(BOOL notify = TRUE);
    // Sends the view its OnInitialUpdate and shows the frame.
    void InitialUpdateFrame(CDocument* doc, BOOL makeVisible);

protected:
    int OnCreate(CREATESTRUCT* cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnSetFocus(CWnd* oldWnd) override;
    void OnClose() override;
    void PostNcDestroy() override;

    CView* m_pViewActive = nullptr;
};
