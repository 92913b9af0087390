#include "platform/win/FrameWnd.h"

#include "platform/win/Document.h"
#include "platform/win/MessageQueue.h"
#include "platform/win/View.h"
#include "platform/win/WinApp.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

namespace {
// The identifier of the view inside its frame.
const UINT kFirstPaneId = 0xE900;
}  // namespace

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.cx <= 0 || cs.cy <= 0) {
        cs.x = 0;
        cs.y = 0;
        cs.cx = GetSystemMetrics(SM_CXSCREEN);
        cs.cy = GetSystemMetrics(SM_CYSCREEN);
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT, DWORD style, CWnd* parent, CCreateContext* context) {
    return CreateEx(0, "CFrameWnd", "Velmor", style & ~DWORD(WS_VISIBLE), CRect(0, 0, 0, 0), parent, 0, context);
}

int CFrameWnd::OnCreate(CREATESTRUCT* cs) {
    auto* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
    if (!context || !context->m_pNewViewClass) return 0;
    CObject* object = context->m_pNewViewClass->CreateObject();
    CView* view = object ? DYNAMIC_DOWNCAST(CView, object) : nullptr;
    if (!view) {
        delete object;
        return -1;
    }
    CRect client;
    GetClientRect(&client);
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, this, kFirstPaneId, context)) {
        // A failed Create leaves the view to us, whichever step refused.
        delete view;
        return -1;
    }
    m_pViewActive = view;
    return 0;
}

CDocument* CFrameWnd::GetActiveDocument() const { return m_pViewActive ? m_pViewActive->GetDocument() : nullptr; }

void CFrameWnd::RecalcLayout(BOOL) {
    if (!m_pViewActive || !m_pViewActive->m_hWnd) return;
    CRect client;
    GetClientRect(&client);
    m_pViewActive->MoveWindow(&client, TRUE);
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL makeVisible) {
    if (m_pViewActive) m_pViewActive->OnInitialUpdate();
    if (makeVisible) {
        ShowWindow(SW_SHOW);
        if (m_pViewActive && m_pViewActive->m_hWnd && !::GetFocus()) m_pViewActive->SetFocus();
    }
}

void CFrameWnd::OnSize(UINT, int, int) { RecalcLayout(); }

void CFrameWnd::OnSetFocus(CWnd*) {
    if (m_pViewActive && m_pViewActive->m_hWnd) m_pViewActive->SetFocus();
}

void CFrameWnd::OnClose() { DestroyWindow(); }

void CFrameWnd::PostNcDestroy() { delete this; }
