#include <windows.h>
#include <dshow.h>
#include <string.h>

#include "camera/camera_channel.h"

const GUID CameraPropertySet = {
    0xCCA349DA, 0x4FE2, 0x423A, {0xAA, 0x50, 0xE6, 0xF3, 0x52, 0x57, 0x5C, 0xBC}};

CameraChannel Camera;

void SetCameraDeviceName(const char* name) {
    lstrcpynA(Camera.deviceName, name, MAX_PATH);
}

BOOL OpenCameraChannel(const char* name) {
    // S_FALSE and RPC_E_CHANGED_MODE mean the thread already has an apartment we may use but
    // do not own.
    HRESULT hr = CoInitialize(NULL);
    if (hr == S_OK)
        Camera.comInitialized = 1;
    else if (hr != S_FALSE && hr != RPC_E_CHANGED_MODE)
        return FALSE;

    ICreateDevEnum* devices = NULL;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, NULL, CLSCTX_INPROC_SERVER,
                                IID_ICreateDevEnum, (void**)&devices)))
        return FALSE;
    IEnumMoniker* monikers = NULL;
    hr = devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0);
    devices->Release();
    // An empty category succeeds with S_FALSE and no enumerator.
    if (FAILED(hr) || !monikers)
        return FALSE;

    monikers->Reset();
    char friendlyName[MAX_PATH] = "";
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

        if (_stricmp(friendlyName, name) == 0) {
            hr = moniker->BindToObject(NULL, NULL, IID_IBaseFilter, (void**)&Camera.filter);
            moniker->Release();
            if (FAILED(hr)) {
                monikers->Release();
                return FALSE;
            }
            break;
        }
        moniker->Release();
    }
    monikers->Release();
    if (!Camera.filter)
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

BOOL SendCameraCommand(CameraCommand command) {
    HRESULT hr = E_FAIL;
    if (OpenCameraChannel(Camera.deviceName))
        hr = WriteCameraCommand(command);
    CloseCameraChannel();
    return SUCCEEDED(hr);
}
