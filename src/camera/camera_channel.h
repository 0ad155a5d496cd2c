// The camera command channel: one command at a time into the camera driver's property,
// opening and releasing everything per command.
#pragma once
#include <windows.h>

#include "common/common.h"

// The name of the capture device every later send looks for, set once at start-up.
void SetCameraDeviceName(const char* name);
// Opens the channel, writes the command and closes it again: 1 when the driver accepted it.
BOOL SendCameraCommand(CameraCommand command);

// For those who must explain a send. Each opens and closes the channel as a send does, and
// returns 0 when no capture device of the camera's name could be opened.
// The send, with the driver's answer in *answer.
BOOL SendCameraCommandForAnswer(CameraCommand command, HRESULT* answer);
// Asks the driver, writing nothing, what the command property supports.
BOOL QueryCameraCommandSupport(HRESULT* answer, DWORD* support);

// How many video input devices carry the camera's name, read as a send reads them.
DWORD CountCaptureDevices();
