#include "platform/win/View.h"

#include "platform/win/Document.h"
#include "platform/win/FrameWnd.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

CView::~CView() {
    // A live window is left to ~CWnd: destroyed from here, it would reach
    // this class's PostNcDestroy and delete the object a second time.
    if (m_pDocument) m_pDocument->RemoveView(this);
}

int CView::OnCreate(CREATESTRUCT* cs) {
    auto* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
    if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CObject*) { Invalidate(TRUE); }

void CView::OnDraw(CDC*) {}

void CView::OnPaint() {
    CPaintDC dc(this);
    OnDraw(&dc);
}

void CView::PostNcDestroy() { delete this; }
