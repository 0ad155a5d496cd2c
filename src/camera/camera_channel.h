// The camera command channel: one command at a time into the camera driver's property,
// opening and releasing everything per command.
#pragma once
#include <windows.h>

#include "common/common.h"

struct IBaseFilter;
struct IKsPropertySet;

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

extern CameraChannel Camera;

// The camera driver's own property set, and the property in it that takes commands.
extern const GUID CameraPropertySet;
const DWORD CameraCommandProperty = 0x807;

void SetCameraDeviceName(const char* name);
// Opens the channel, writes the command and closes it again: 1 when the driver accepted it.
BOOL SendCameraCommand(CameraCommand command);
BOOL OpenCameraChannel(const char* name);
// Writes the command through the open channel; the driver's answer back.
HRESULT WriteCameraCommand(CameraCommand command);
void CloseCameraChannel();
