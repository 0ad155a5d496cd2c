#include <winsim/core.h>
#include <winsim/com.h>
#include <dshow.h>

#include <cwchar>
#include <memory>
#include <set>
#include <vector>

#include "internal.h"

const CLSID CLSID_SystemDeviceEnum = {
    0x62BE5D10, 0x60EB, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
const CLSID CLSID_VideoInputDeviceCategory = {
    0x860BB310, 0x5D01, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
const IID IID_ICreateDevEnum = {
    0x29840822, 0x5B84, 0x11D0, {0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86}};
const IID IID_IPropertyBag = {
    0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
const IID IID_IBaseFilter = {
    0x56A86895, 0x0AD4, 0x11CE, {0xB0, 0x3A, 0x00, 0x20, 0xAF, 0x0B, 0xA7, 0x70}};
const IID IID_IKsPropertySet = {
    0x31EFAC30, 0x515C, 0x11D0, {0xA9, 0xAA, 0x00, 0xAA, 0x00, 0x61, 0xBE, 0x93}};

namespace winsim {
namespace {

const HRESULT ClassNotRegistered = (HRESULT)0x80040154L;
const HRESULT ValueNotFound = (HRESULT)0x80070002L; // ERROR_FILE_NOT_FOUND
const HRESULT TypeMismatch = (HRESULT)0x80020005L;
const HRESULT PropertySetNotFound = (HRESULT)0x80070492L; // ERROR_SET_NOT_FOUND

struct Device {
    std::wstring friendlyName;
    unsigned faults;
};

// Objects live until the next reset, so a stray Release shows up in the count, not as a crash.
struct Object {
    virtual ~Object() = default;
};

struct ComState {
    std::vector<Device> devices;
    std::vector<PropertyWrite> writes;
    std::vector<std::unique_ptr<Object>> objects;
    std::set<BSTR> strings;
    long references = 0;
    HRESULT coInitializeResult = S_OK;
    int coInitializeCalls = 0;
    int coUninitializeCalls = 0;
};
ComState com;

BSTR SysAllocString(const OLECHAR* text) {
    BSTR copy = new OLECHAR[std::wcslen(text) + 1];
    std::wcscpy(copy, text);
    com.strings.insert(copy);
    return copy;
}

template <class... Interfaces> struct Counted : Object, Interfaces... {
    long count = 1;
    ULONG STDMETHODCALLTYPE AddRef() override {
        ++com.references;
        return ++count;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        --com.references;
        return --count;
    }
    // Only the filter is ever asked for another interface.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = NULL;
        return E_NOINTERFACE;
    }
};

template <class T, class... Arguments> T* New(Arguments... arguments) {
    T* object = new T(arguments...);
    com.objects.emplace_back(object);
    ++com.references;
    return object;
}

struct CaptureFilter : Counted<IBaseFilter, IKsPropertySet> {
    int device;
    explicit CaptureFilter(int device) : device(device) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = NULL;
        if (ShouldFail("IBaseFilter::QueryInterface"))
            return E_NOINTERFACE;
        if (iid == IID_IBaseFilter)
            *object = static_cast<IBaseFilter*>(this);
        else if (iid == IID_IKsPropertySet && !(com.devices[device].faults & NoPropertySet))
            *object = static_cast<IKsPropertySet*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Set(REFGUID propertySet, DWORD id, LPVOID instanceData,
                                  DWORD instanceLength, LPVOID value, DWORD valueLength) override {
        if (ShouldFail("IKsPropertySet::Set"))
            return E_FAIL;
        const BYTE* instance = static_cast<const BYTE*>(instanceData);
        const BYTE* bytes = static_cast<const BYTE*>(value);
        com.writes.push_back({device, propertySet, id,
                              std::vector<BYTE>(instance, instance + instanceLength),
                              std::vector<BYTE>(bytes, bytes + valueLength)});
        return (com.devices[device].faults & RejectsPropertyWrite) ? PropertySetNotFound : S_OK;
    }
    // A driver that rejects writes does not offer the property at all.
    HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID, DWORD, DWORD* support) override {
        *support = 0;
        if (ShouldFail("IKsPropertySet::QuerySupported"))
            return E_FAIL;
        if (com.devices[device].faults & RejectsPropertyWrite)
            return PropertySetNotFound;
        *support = KSPROPERTY_SUPPORT_SET;
        return S_OK;
    }
};

struct PropertyBag : Counted<IPropertyBag> {
    int device;
    explicit PropertyBag(int device) : device(device) {}
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        if (ShouldFail("IPropertyBag::Read"))
            return E_FAIL;
        if (std::wcscmp(name, L"FriendlyName") || (com.devices[device].faults & NoFriendlyName))
            return ValueNotFound;
        if (value->vt != VT_BSTR && value->vt != VT_EMPTY)
            return TypeMismatch;
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocString(com.devices[device].friendlyName.c_str());
        return S_OK;
    }
};

struct DeviceMoniker : Counted<IMoniker> {
    int device;
    explicit DeviceMoniker(int device) : device(device) {}
    HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx*, IMoniker*, REFIID iid,
                                           void** object) override {
        *object = NULL;
        if (ShouldFail("IMoniker::BindToObject") || (com.devices[device].faults & FilterBindFails))
            return E_FAIL;
        if (iid != IID_IBaseFilter)
            return E_NOINTERFACE;
        *object = static_cast<IBaseFilter*>(New<CaptureFilter>(device));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BindToStorage(IBindCtx*, IMoniker*, REFIID iid,
                                            void** object) override {
        *object = NULL;
        if (ShouldFail("IMoniker::BindToStorage") ||
            (com.devices[device].faults & PropertyBagFails))
            return E_FAIL;
        if (iid != IID_IPropertyBag)
            return E_NOINTERFACE;
        *object = static_cast<IPropertyBag*>(New<PropertyBag>(device));
        return S_OK;
    }
};

struct MonikerEnumerator : Counted<IEnumMoniker> {
    int next = 0; // the device to hand out next
    HRESULT STDMETHODCALLTYPE Next(ULONG wanted, IMoniker** monikers, ULONG* fetched) override {
        ULONG count = 0;
        if (ShouldFail("IEnumMoniker::Next")) {
            if (fetched)
                *fetched = 0;
            return E_FAIL;
        }
        for (; count < wanted && next < (int)com.devices.size(); ++count)
            monikers[count] = New<DeviceMoniker>(next++);
        if (fetched)
            *fetched = count;
        return count == wanted ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        if (ShouldFail("IEnumMoniker::Reset"))
            return E_FAIL;
        next = 0;
        return S_OK;
    }
};

struct DeviceEnumerator : Counted<ICreateDevEnum> {
    HRESULT STDMETHODCALLTYPE CreateClassEnumerator(REFCLSID category, IEnumMoniker** monikers,
                                                    DWORD) override {
        *monikers = NULL;
        if (ShouldFail("ICreateDevEnum::CreateClassEnumerator"))
            return E_FAIL;
        // An empty category gives no enumerator and says so with S_FALSE.
        if (category != CLSID_VideoInputDeviceCategory || com.devices.empty())
            return S_FALSE;
        *monikers = New<MonikerEnumerator>();
        return S_OK;
    }
};

} // namespace

void ResetCom() {
    for (BSTR string : com.strings)
        delete[] string;
    com = ComState();
}

int AddVideoDevice(const std::wstring& friendlyName, unsigned faults) {
    com.devices.push_back({friendlyName, faults});
    return (int)com.devices.size() - 1;
}

const std::vector<PropertyWrite>& PropertyWrites() {
    return com.writes;
}

long ComReferences() {
    return com.references;
}

int BstrsInUse() {
    return (int)com.strings.size();
}

void SetCoInitializeResult(HRESULT result) {
    com.coInitializeResult = result;
}

int CoInitializeCalls() {
    return com.coInitializeCalls;
}

int CoUninitializeCalls() {
    return com.coUninitializeCalls;
}

} // namespace winsim

using winsim::com;

HRESULT WINAPI CoInitialize(LPVOID) {
    ++com.coInitializeCalls;
    if (winsim::ShouldFail("CoInitialize"))
        return E_OUTOFMEMORY;
    return com.coInitializeResult;
}

void WINAPI CoUninitialize() {
    ++com.coUninitializeCalls;
}

HRESULT WINAPI CoCreateInstance(REFCLSID clsid, LPUNKNOWN, DWORD context, REFIID iid,
                                LPVOID* object) {
    *object = NULL;
    if (winsim::ShouldFail("CoCreateInstance"))
        return E_OUTOFMEMORY;
    if (clsid != CLSID_SystemDeviceEnum || !(context & CLSCTX_INPROC_SERVER))
        return winsim::ClassNotRegistered;
    if (iid != IID_ICreateDevEnum)
        return E_NOINTERFACE;
    *object = static_cast<ICreateDevEnum*>(winsim::New<winsim::DeviceEnumerator>());
    return S_OK;
}

void WINAPI SysFreeString(BSTR string) {
    if (string && com.strings.erase(string))
        delete[] string;
}

// The ANSI code page here is Latin-1: one byte per character, '?' for anything beyond.
int WINAPI WideCharToMultiByte(UINT, DWORD, LPCWSTR wide, int wideLength, LPSTR narrow,
                               int narrowCapacity, LPCSTR, BOOL* usedDefaultChar) {
    if (winsim::ShouldFail("WideCharToMultiByte") || !wide || narrowCapacity < 0)
        return 0;
    int length = wideLength < 0 ? (int)std::wcslen(wide) + 1 : wideLength;
    if (usedDefaultChar)
        *usedDefaultChar = FALSE;
    if (narrowCapacity == 0)
        return length;
    // Like the real one, a string that does not fit is written as far as it goes, unterminated.
    for (int i = 0; i < length; ++i) {
        if (i == narrowCapacity)
            return 0;
        bool latin1 = (unsigned)wide[i] <= 0xFF;
        narrow[i] = latin1 ? (char)wide[i] : '?';
        if (!latin1 && usedDefaultChar)
            *usedDefaultChar = TRUE;
    }
    return length;
}
