// CObject and CRuntimeClass: class records that let the framework create
// frames, documents and views by class, as the platform's dynamic creation
// does. Each dynamically creatable class names itself with
// DECLARE_DYNCREATE/IMPLEMENT_DYNCREATE.
#pragma once

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    bool IsDerivedFrom(const CRuntimeClass* base) const
    {
        for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
            if (c == base)
                return true;
        return false;
    }
};

class CObject {
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCObject; }
    bool IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }
    static const CRuntimeClass classCObject;
};

#define RUNTIME_CLASS(name) (&name::class##name)

#define DECLARE_DYNAMIC(name)                                                                                          \
public:                                                                                                                \
    static const CRuntimeClass class##name;                                                                            \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(name)                                                                                        \
    DECLARE_DYNAMIC(name)                                                                                              \
    static CObject* CreateObject();

#define IMPLEMENT_DYNAMIC(name, base)                                                                                  \
    const CRuntimeClass name::class##name = {#name, nullptr, RUNTIME_CLASS(base)};                                     \
    const CRuntimeClass* name::GetRuntimeClass() const { return &class##name; }

#define IMPLEMENT_DYNCREATE(name, base)                                                                                \
    CObject* name::CreateObject() { return new name; }                                                                 \
    const CRuntimeClass name::class##name = {#name, &name::CreateObject, RUNTIME_CLASS(base)};                         \
    const CRuntimeClass* name::GetRuntimeClass() const { return &class##name; }
