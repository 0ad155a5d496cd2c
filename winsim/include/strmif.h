// Simulated Windows: the DirectShow and moniker interfaces the program calls, with just the
// methods it uses.
#pragma once
#include <objbase.h>
#include <oleauto.h>

struct IBindCtx;
struct IErrorLog;

struct IPropertyBag : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) = 0;
};

struct IMoniker : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx* context, IMoniker* left, REFIID iid,
                                                   void** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx* context, IMoniker* left, REFIID iid,
                                                    void** object) = 0;
};

struct IEnumMoniker : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Next(ULONG wanted, IMoniker** monikers, ULONG* fetched) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reset() = 0;
};

struct ICreateDevEnum : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateClassEnumerator(REFCLSID category,
                                                            IEnumMoniker** monikers,
                                                            DWORD flags) = 0;
};

struct IBaseFilter : IUnknown {};

struct IKsPropertySet : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Set(REFGUID propertySet, DWORD id, LPVOID instanceData,
                                          DWORD instanceLength, LPVOID value,
                                          DWORD valueLength) = 0;
    virtual HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID propertySet, DWORD id,
                                                     DWORD* support) = 0;
};

#define KSPROPERTY_SUPPORT_GET 1
#define KSPROPERTY_SUPPORT_SET 2

extern const IID IID_IPropertyBag;
extern const IID IID_ICreateDevEnum;
extern const IID IID_IBaseFilter;
extern const IID IID_IKsPropertySet;
