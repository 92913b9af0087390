// CDocument: the data behind the views, and CSingleDocTemplate, which makes
// the one document, its frame and its view in that order and owns the
// document for the rest of the run.
#pragma once

#include <vector>

#include "platform/afx/Object.h"
#include "platform/afx/String.h"
#include "platform/win/WinDefs.h"

class CView;
class CFrameWnd;
class CSingleDocTemplate;

class CDocument : public CObject {
    DECLARE_DYNAMIC(CDocument)
public:
    CDocument() = default;
    ~CDocument() override;

    // A new, empty document: DeleteContents, then not modified.
    virtual BOOL OnNewDocument();
    virtual void DeleteContents() {}
    void SetModifiedFlag(BOOL modified = TRUE) { m_bModified = modified; }
    BOOL IsModified() const { return m_bModified; }
    void SetTitle(LPCSTR title) { m_title = title; }
    const CString& GetTitle() const { return m_title; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    POSITION GetFirstViewPosition() const;
    CView* GetNextView(POSITION& pos) const;
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);
    CSingleDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

protected:
    std::vector<CView*> m_views;
    BOOL m_bModified = FALSE;
    CString m_title;
    CSingleDocTemplate* m_pDocTemplate = nullptr;
    friend class CSingleDocTemplate;
};

class CSingleDocTemplate : public CObject {
public:
    CSingleDocTemplate(UINT resourceId, CRuntimeClass* docClass, CRuntimeClass* frameClass, CRuntimeClass* viewClass);
    ~CSingleDocTemplate() override;

    // Constructs the document, then the frame with its view (LoadFrame),
    // then runs the document's OnNewDocument and the view's
    // OnInitialUpdate. Null when any step fails; what was made is undone.
    CDocument* OpenDocumentFile(LPCSTR path, BOOL makeVisible = TRUE);
    CDocument* GetDocument() const { return m_pOnlyDoc; }
    UINT GetResourceId() const { return m_nIDResource; }

private:
    UINT m_nIDResource;
    CRuntimeClass* m_pDocClass;
    CRuntimeClass* m_pFrameClass;
    CRuntimeClass* m_pViewClass;
    CDocument* m_pOnlyDoc = nullptr;
};
