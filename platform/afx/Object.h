// CObject and runtime classes: every persistent or listed game object derives
// from CObject. A class declared with DECLARE_SERIAL can be created by name
// when an archive names it; its schema number is checked on load unless the
// schema is marked VERSIONABLE_SCHEMA, in which case the object reads the
// schema it was stored with from CArchive::GetObjectSchema.
#pragma once

#include "platform/afx/AfxTypes.h"

class CObject;
class CArchive;

#define VERSIONABLE_SCHEMA (0x80000000u)

struct CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;  // 0xFFFF: not serialisable
    CObject* (*m_pfnCreateObject)();
    CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // Finds a registered class by its exact name; null when unknown.
    static CRuntimeClass* FromName(const char* name);
};

// Adds a class to the by-name registry; used by the IMPLEMENT_ macros.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* pNewClass);
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual CRuntimeClass* GetRuntimeClass() const;
    // The base stores and loads nothing.
    virtual void Serialize(CArchive& ar);

    bool IsKindOf(const CRuntimeClass* pClass) const;
    bool IsSerializable() const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)           \
public:                                       \
    static CRuntimeClass class##class_name;   \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name)       \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) \
    DECLARE_DYNCREATE(class_name)  \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                     \
    CRuntimeClass class_name::class##class_name = {#class_name, (int)sizeof(class_name), (wSchema), \
                                                   pfnNew, RUNTIME_CLASS(base_class_name)};         \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }        \
    static AFX_CLASSINIT _init_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                  \
    CObject* class_name::CreateObject() { return new class_name; }        \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                  \
    CObject* class_name::CreateObject() { return new class_name; }                              \
    AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject) \
    [[maybe_unused]] CArchive& operator>>(CArchive& ar, class_name*& pOb) {                    \
        pOb = (class_name*)ar.ReadObject(RUNTIME_CLASS(class_name));                            \
        return ar;                                                                              \
    }

#define DYNAMIC_DOWNCAST(class_name, object) \
    ((object) != nullptr && (object)->IsKindOf(RUNTIME_CLASS(class_name)) ? static_cast<class_name*>(object) : nullptr)
