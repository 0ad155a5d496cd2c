// The hidden monitor window: platform events in, camera commands out.
#pragma once
#include <windows.h>

const UINT_PTR MonitorTimer = 101;

// Creates the monitor window and runs the thread's message loop until the window is gone.
void RunMonitor(HINSTANCE instance);
