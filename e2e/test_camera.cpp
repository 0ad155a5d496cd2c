// TestCamera.dll: a stand-in capture filter for the end-to-end tests, registered in a Wine
// prefix as one or more video input devices (see harness.py). It records what reaches it in
// the file named by the environment variable E2E_CAMERA_LOG, one tab-separated line per event:
//
//   create  pid=P object=N device=               (not yet told which device it is)
//   load    pid=P object=N device=KEY            (devenum handed over the device's property bag)
//   set     pid=P object=N device=KEY set={GUID} id=0xID instance=HEX value=HEX result=0xHR
//   destroy pid=P object=N device=KEY            (the last reference was released)
//
// KEY is the device's instance key name under the video input category. With
// E2E_CAMERA_COUNTERS set it also counts the same events in a shared section (camera_counters.h).
// Set returns the
// HRESULT held in that key's DWORD value "E2ESetResult", read at the time of the call (0 when
// missing), so a test can make the device reject writes while a program is running.
#define WIN32_LEAN_AND_MEAN
#define STRSAFE_NO_DEPRECATE
#include <windows.h>

#include <dshow.h>
#include <ocidl.h>
#include <stdio.h>

#include "camera_counters.h"
#include "camera_log.h"

namespace {

const CLSID CLSID_TestCamera = {
    0xB6581576, 0xE5A0, 0x4821, {0xAA, 0xF5, 0x56, 0x31, 0x11, 0x19, 0x54, 0x8C}};
const char CategoryInstanceKey[] = "CLSID\\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\Instance\\";

LONG LiveObjects;
LONG ServerLocks;
LONG ObjectSerial;

// Adds one to a count in the section named by E2E_CAMERA_COUNTERS, when there is one; a write
// also leaves its time.
void Count(LONG CameraCounters::*count, const LARGE_INTEGER* time = NULL) {
    char name[MAX_PATH];
    if (!GetEnvironmentVariableA("E2E_CAMERA_COUNTERS", name, sizeof(name)))
        return;
    HANDLE section = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (!section)
        return;
    CameraCounters* counters = static_cast<CameraCounters*>(
        MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, sizeof(CameraCounters)));
    if (counters) {
        if (time)
            counters->lastSetTime = time->QuadPart;
        InterlockedIncrement(&(counters->*count));
        UnmapViewOfFile(counters);
    }
    CloseHandle(section);
}

// Appends the bytes as lowercase hex, or "(null)".
char* AppendHex(char* out, const void* data, DWORD size) {
    if (!data)
        return out + sprintf(out, "(null)");
    for (DWORD i = 0; i < size; i++)
        out += sprintf(out, "%02x", static_cast<const BYTE*>(data)[i]);
    return out;
}

class TestCamera final : public IBaseFilter, public IKsPropertySet, public IPersistPropertyBag {
  public:
    TestCamera() : refs(1), serial(InterlockedIncrement(&ObjectSerial)) {
        device[0] = 0;
        InterlockedIncrement(&LiveObjects);
        Log("create", "");
        Count(&CameraCounters::created);
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IPersist || iid == IID_IMediaFilter ||
            iid == IID_IBaseFilter)
            *out = static_cast<IBaseFilter*>(this);
        else if (iid == IID_IKsPropertySet)
            *out = static_cast<IKsPropertySet*>(this);
        else if (iid == IID_IPersistPropertyBag)
            *out = static_cast<IPersistPropertyBag*>(this);
        else {
            *out = NULL;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG left = InterlockedDecrement(&refs);
        if (left == 0) {
            Log("destroy", "");
            Count(&CameraCounters::destroyed);
            delete this;
            InterlockedDecrement(&LiveObjects);
        }
        return left;
    }

    // IPersist, IMediaFilter, IBaseFilter: only the identity is needed.
    STDMETHODIMP GetClassID(CLSID* clsid) override {
        *clsid = CLSID_TestCamera;
        return S_OK;
    }
    STDMETHODIMP Stop() override { return E_NOTIMPL; }
    STDMETHODIMP Pause() override { return E_NOTIMPL; }
    STDMETHODIMP Run(REFERENCE_TIME) override { return E_NOTIMPL; }
    STDMETHODIMP GetState(DWORD, FILTER_STATE*) override { return E_NOTIMPL; }
    STDMETHODIMP SetSyncSource(IReferenceClock*) override { return E_NOTIMPL; }
    STDMETHODIMP GetSyncSource(IReferenceClock**) override { return E_NOTIMPL; }
    STDMETHODIMP EnumPins(IEnumPins**) override { return E_NOTIMPL; }
    STDMETHODIMP FindPin(LPCWSTR, IPin**) override { return E_NOTIMPL; }
    STDMETHODIMP QueryFilterInfo(FILTER_INFO*) override { return E_NOTIMPL; }
    STDMETHODIMP JoinFilterGraph(IFilterGraph*, LPCWSTR) override { return E_NOTIMPL; }
    STDMETHODIMP QueryVendorInfo(LPWSTR*) override { return E_NOTIMPL; }

    // IPersistPropertyBag: devenum passes the device's bag, which names its instance key.
    STDMETHODIMP InitNew() override { return S_OK; }
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog*) override {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_BSTR;
        if (SUCCEEDED(bag->Read(L"E2EKey", &value, NULL)) && value.vt == VT_BSTR) {
            WideCharToMultiByte(CP_ACP, 0, value.bstrVal, -1, device, sizeof(device), NULL, NULL);
            device[sizeof(device) - 1] = 0;
        }
        VariantClear(&value);
        Log("load", "");
        Count(&CameraCounters::loaded);
        return S_OK;
    }
    STDMETHODIMP Save(IPropertyBag*, BOOL, BOOL) override { return E_NOTIMPL; }

    // IKsPropertySet: every write is logged with what the test asked the device to answer.
    STDMETHODIMP Set(REFGUID set, DWORD id, void* instance, DWORD instanceSize, void* value,
                     DWORD valueSize) override {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        HRESULT result = ConfiguredSetResult();
        WCHAR guid[40];
        char guidText[40];
        StringFromGUID2(set, guid, 40);
        WideCharToMultiByte(CP_ACP, 0, guid, -1, guidText, sizeof(guidText), NULL, NULL);
        char* details = static_cast<char*>(
            HeapAlloc(GetProcessHeap(), 0, 128 + 2 * (instanceSize + valueSize)));
        if (!details)
            return E_OUTOFMEMORY;
        char* out = details + sprintf(details, "\tset=%s\tid=0x%lx\tinstance=", guidText, id);
        out = AppendHex(out, instance, instanceSize);
        out += sprintf(out, "\tvalue=");
        out = AppendHex(out, value, valueSize);
        sprintf(out, "\tresult=0x%08lx", static_cast<unsigned long>(result));
        Log("set", details);
        HeapFree(GetProcessHeap(), 0, details);
        Count(&CameraCounters::sets, &now);
        return result;
    }
    STDMETHODIMP Get(REFGUID, DWORD, void*, DWORD, void*, DWORD, DWORD*) override {
        return E_NOTIMPL;
    }
    // Offers the command property for writing, and nothing else; nothing is logged.
    STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) override {
        static const GUID CommandPropertySet = {
            0xCCA349DA, 0x4FE2, 0x423A, {0xAA, 0x50, 0xE6, 0xF3, 0x52, 0x57, 0x5C, 0xBC}};
        if (!support)
            return E_POINTER;
        *support = 0;
        if (!IsEqualGUID(set, CommandPropertySet) || id != 0x807)
            return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        *support = KSPROPERTY_SUPPORT_SET;
        return S_OK;
    }

  private:
    HRESULT ConfiguredSetResult() {
        char path[sizeof(CategoryInstanceKey) + MAX_PATH];
        lstrcpyA(path, CategoryInstanceKey);
        lstrcatA(path, device);
        DWORD result = 0, size = sizeof(result);
        HKEY key;
        if (device[0] && RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) == 0) {
            if (RegQueryValueExA(key, "E2ESetResult", NULL, NULL, reinterpret_cast<BYTE*>(&result),
                                 &size) != 0)
                result = 0;
            RegCloseKey(key);
        }
        return static_cast<HRESULT>(result);
    }

    void Log(const char* event, const char* details) {
        char* line = static_cast<char*>(
            HeapAlloc(GetProcessHeap(), 0, lstrlenA(details) + sizeof(device) + 128));
        if (!line)
            return;
        sprintf(line, "%s\tpid=%lu\tobject=%ld\tdevice=%s%s\r\n", event, GetCurrentProcessId(),
                serial, device, details);
        AppendToCameraLog(line);
        HeapFree(GetProcessHeap(), 0, line);
    }

    LONG refs;
    LONG serial;
    char device[MAX_PATH];
};

class Factory : public IClassFactory {
  public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid != IID_IUnknown && iid != IID_IClassFactory) {
            *out = NULL;
            return E_NOINTERFACE;
        }
        *out = this;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = NULL;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        TestCamera* camera = new TestCamera;
        HRESULT hr = camera->QueryInterface(iid, out);
        camera->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            InterlockedIncrement(&ServerLocks);
        else
            InterlockedDecrement(&ServerLocks);
        return S_OK;
    }
};

Factory TheFactory;

} // namespace

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    *out = NULL;
    if (clsid != CLSID_TestCamera)
        return CLASS_E_CLASSNOTAVAILABLE;
    return TheFactory.QueryInterface(iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() {
    return LiveObjects == 0 && ServerLocks == 0 ? S_OK : S_FALSE;
}
