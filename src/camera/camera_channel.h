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

void SetCameraDeviceName(const char* name);
BOOL SendCameraCommand(CameraCommand command);
BOOL OpenCameraChannel(const char* name);
void CloseCameraChannel();
