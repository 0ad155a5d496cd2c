// Controls of the simulated COM and DirectShow: the video input devices, what their drivers
// were told, and what is still referenced.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace winsim {

// How a simulated video input device misbehaves.
enum VideoDeviceFault : unsigned {
    PropertyBagFails = 1,     // BindToStorage for IPropertyBag fails
    NoFriendlyName = 2,       // the bag has no "FriendlyName"
    FilterBindFails = 4,      // BindToObject for IBaseFilter fails
    NoPropertySet = 8,        // the filter does not give IKsPropertySet
    RejectsPropertyWrite = 16 // IKsPropertySet::Set returns a negative HRESULT
};

// Adds a device to the video input category, in enumeration order; returns its index.
int AddVideoDevice(const std::wstring& friendlyName, unsigned faults = 0);

struct PropertyWrite {
    int device; // index given by AddVideoDevice
    GUID propertySet;
    DWORD id;
    std::vector<BYTE> instanceData;
    std::vector<BYTE> value;
};
// Every IKsPropertySet::Set call that reached a device, accepted or not, in order.
const std::vector<PropertyWrite>& PropertyWrites();

// References held on simulated COM objects right now.
long ComReferences();
// Strings the property bags handed out and SysFreeString has not freed yet.
int BstrsInUse();

// What the next CoInitialize calls return (S_OK by default; S_FALSE, RPC_E_CHANGED_MODE, ...).
void SetCoInitializeResult(HRESULT result);
int CoInitializeCalls();
int CoUninitializeCalls();

} // namespace winsim
