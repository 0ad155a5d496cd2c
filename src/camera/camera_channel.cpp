#include <windows.h>
#include <dshow.h>
#include <string.h>

#include "camera/camera_channel.h"

namespace {

// The driver's own property set, and the property in it that takes commands.
const GUID CameraPropertySet = {
    0xCCA349DA, 0x4FE2, 0x423A, {0xAA, 0x50, 0xE6, 0xF3, 0x52, 0x57, 0x5C, 0xBC}};
const DWORD CameraCommandProperty = 0x807;

struct CameraChannel {
    IBaseFilter* filter;         // the bound capture filter while a command is under way
    IKsPropertySet* propertySet; // the filter's property interface while a command is under way
    DWORD comInitialized;        // 1: this open's CoInitialize returned S_OK
    char deviceName[MAX_PATH];   // the camera's friendly name, set once at start-up
};

// The property buffer: nine little-endian words, the command code in the eighth.
struct CommandRecord {
    DWORD words[9];
};

CameraChannel Camera;

// The video input category's devices, with COM opened for the channel first; NULL when
// either fails or the category is empty. CloseCameraChannel gives COM back in every case.
IEnumMoniker* OpenVideoInputs() {
    // S_FALSE and RPC_E_CHANGED_MODE mean the thread already has an apartment we may use but
    // do not own.
    HRESULT hr = CoInitialize(NULL);
    if (hr == S_OK)
        Camera.comInitialized = 1;
    else if (hr != S_FALSE && hr != RPC_E_CHANGED_MODE)
        return NULL;

    ICreateDevEnum* devices = NULL;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, NULL, CLSCTX_INPROC_SERVER,
                                IID_ICreateDevEnum, (void**)&devices)))
        return NULL;
    IEnumMoniker* monikers = NULL;
    hr = devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0);
    devices->Release();
    // An empty category succeeds with S_FALSE and no enumerator.
    if (FAILED(hr))
        return NULL;
    if (monikers)
        monikers->Reset();
    return monikers;
}

// The next device whose friendly name is name, for the caller to release; NULL when none is
// left. friendlyName carries the last name read from one device to the next: a device whose
// name cannot be read is taken to carry it.
IMoniker* NextNamed(IEnumMoniker* monikers, const char* name, char* friendlyName) {
    VARIANT value;
    memset(&value, 0, sizeof value);
    IMoniker* moniker = NULL;
    ULONG fetched = 0;
    while (SUCCEEDED(monikers->Next(1, &moniker, &fetched)) && fetched > 0) {
        IPropertyBag* bag = NULL;
        if (FAILED(moniker->BindToStorage(NULL, NULL, IID_IPropertyBag, (void**)&bag))) {
            moniker->Release();
            continue;
        }
        value.vt = VT_BSTR;
        if (SUCCEEDED(bag->Read(L"FriendlyName", &value, NULL))) {
            // A name too long for the buffer leaves it partly written and unterminated. No
            // name we look for is that long, so such a device reads as having no name.
            if (!WideCharToMultiByte(CP_ACP, 0, value.bstrVal, -1, friendlyName, MAX_PATH, NULL,
                                     NULL))
                friendlyName[0] = 0;
            SysFreeString(value.bstrVal);
            value.bstrVal = NULL;
        }
        bag->Release();
        if (_stricmp(friendlyName, name) == 0)
            return moniker;
        moniker->Release();
    }
    return NULL;
}

BOOL OpenCameraChannel() {
    IEnumMoniker* monikers = OpenVideoInputs();
    if (!monikers)
        return FALSE;
    char friendlyName[MAX_PATH] = "";
    IMoniker* moniker = NextNamed(monikers, Camera.deviceName, friendlyName);
    HRESULT hr = E_FAIL;
    if (moniker) {
        hr = moniker->BindToObject(NULL, NULL, IID_IBaseFilter, (void**)&Camera.filter);
        moniker->Release();
    }
    monikers->Release();
    if (FAILED(hr) || !Camera.filter)
        return FALSE;

    if (FAILED(Camera.filter->QueryInterface(IID_IKsPropertySet, (void**)&Camera.propertySet))) {
        Camera.filter->Release();
        Camera.filter = NULL;
        return FALSE;
    }
    return TRUE;
}

void CloseCameraChannel() {
    if (Camera.propertySet) {
        Camera.propertySet->Release();
        Camera.propertySet = NULL;
    }
    if (Camera.filter) {
        Camera.filter->Release();
        Camera.filter = NULL;
    }
    if (Camera.comInitialized == 1) {
        CoUninitialize();
        Camera.comInitialized = 0;
    }
}

HRESULT WriteCameraCommand(CameraCommand command) {
    // The driver reads the code from the eighth word; the same buffer serves as instance data.
    CommandRecord record;
    memset(&record, 0, sizeof record);
    record.words[7] = command;
    return Camera.propertySet->Set(CameraPropertySet, CameraCommandProperty, &record, sizeof record,
                                   &record, sizeof record);
}

} // namespace

void SetCameraDeviceName(const char* name) {
    lstrcpynA(Camera.deviceName, name, MAX_PATH);
}

BOOL SendCameraCommandForAnswer(CameraCommand command, HRESULT* answer) {
    BOOL opened = OpenCameraChannel();
    if (opened)
        *answer = WriteCameraCommand(command);
    CloseCameraChannel();
    return opened;
}

BOOL SendCameraCommand(CameraCommand command) {
    HRESULT hr = E_FAIL;
    return SendCameraCommandForAnswer(command, &hr) && SUCCEEDED(hr);
}

BOOL QueryCameraCommandSupport(HRESULT* answer, DWORD* support) {
    BOOL opened = OpenCameraChannel();
    if (opened)
        *answer =
            Camera.propertySet->QuerySupported(CameraPropertySet, CameraCommandProperty, support);
    CloseCameraChannel();
    return opened;
}

DWORD CountCaptureDevices() {
    DWORD count = 0;
    if (IEnumMoniker* monikers = OpenVideoInputs()) {
        char friendlyName[MAX_PATH] = "";
        while (IMoniker* moniker = NextNamed(monikers, Camera.deviceName, friendlyName)) {
            moniker->Release();
            ++count;
        }
        monikers->Release();
    }
    CloseCameraChannel();
    return count;
}
