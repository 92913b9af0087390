#include "platform/afx/Object.h"

#include <cstring>
#include <vector>

namespace {
// Function-local so that registration from static objects in any order works.
std::vector<CRuntimeClass*>& Registry() {
    static std::vector<CRuntimeClass*> classes;
    return classes;
}
}  // namespace

CRuntimeClass CObject::classCObject = {"CObject", (int)sizeof(CObject), 0xFFFF, nullptr, nullptr};

AFX_CLASSINIT::AFX_CLASSINIT(CRuntimeClass* pNewClass) { Registry().push_back(pNewClass); }

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass)
        if (p == pBaseClass) return true;
    return false;
}

CRuntimeClass* CRuntimeClass::FromName(const char* name) {
    for (CRuntimeClass* p : Registry())
        if (std::strcmp(p->m_lpszClassName, name) == 0) return p;
    return nullptr;
}

CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive&) {}

bool CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

bool CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }
