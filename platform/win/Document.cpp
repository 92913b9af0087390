#include "platform/win/Document.h"

#include <algorithm>

#include "platform/win/FrameWnd.h"
#include "platform/win/View.h"
#include "platform/win/WinApp.h"

IMPLEMENT_DYNAMIC(CDocument, CObject)

CDocument::~CDocument() {
    for (CView* v : m_views) v->m_pDocument = nullptr;
}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::AddView(CView* view) {
    if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end()) return;
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    std::erase(m_views, view);
    if (view && view->m_pDocument == this) view->m_pDocument = nullptr;
}

POSITION CDocument::GetFirstViewPosition() const {
    return m_views.empty() ? nullptr : reinterpret_cast<POSITION>(uintptr_t(1));
}

CView* CDocument::GetNextView(POSITION& pos) const {
    size_t index = size_t(reinterpret_cast<uintptr_t>(pos)) - 1;
    if (!pos || index >= m_views.size()) {
        pos = nullptr;
        return nullptr;
    }
    pos = index + 1 < m_views.size() ? reinterpret_cast<POSITION>(uintptr_t(index + 2)) : nullptr;
    return m_views[index];
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
    std::vector<CView*> views = m_views;
    for (CView* v : views)
        if (v != sender) v->OnUpdate(sender, hint, hintObject);
}

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, CRuntimeClass* docClass, CRuntimeClass* frameClass,
                                       CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(docClass), m_pFrameClass(frameClass), m_pViewClass(viewClass) {}

CSingleDocTemplate::~CSingleDocTemplate() { delete m_pOnlyDoc; }

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR, BOOL makeVisible) {
    if (m_pOnlyDoc || !m_pDocClass || !m_pFrameClass) return nullptr;
    CObject* docObject = m_pDocClass->CreateObject();
    CDocument* doc = docObject ? DYNAMIC_DOWNCAST(CDocument, docObject) : nullptr;
    if (!doc) {
        delete docObject;
        return nullptr;
    }
    doc->m_pDocTemplate = this;
    m_pOnlyDoc = doc;

    CObject* frameObject = m_pFrameClass->CreateObject();
    CFrameWnd* frame = frameObject ? DYNAMIC_DOWNCAST(CFrameWnd, frameObject) : nullptr;
    if (!frame) {
        delete frameObject;
        delete doc;
        m_pOnlyDoc = nullptr;
        return nullptr;
    }
    CCreateContext context;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pCurrentDoc = doc;
    context.m_pNewDocTemplate = this;
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        delete frame;
        delete doc;
        m_pOnlyDoc = nullptr;
        return nullptr;
    }
    CWinApp* app = AfxGetApp();
    if (app && !app->m_pMainWnd) app->m_pMainWnd = frame;
    if (!doc->OnNewDocument()) {
        frame->DestroyWindow();
        delete doc;
        m_pOnlyDoc = nullptr;
        return nullptr;
    }
    frame->InitialUpdateFrame(doc, makeVisible);
    return doc;
}
