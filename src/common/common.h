// Definitions shared by every part of the program.
#pragma once
#include <windows.h>

// Command codes the camera's driver acts on.
enum CameraCommand : DWORD {
    Suspend = 2,    // the system is about to suspend
    SessionEnd = 3, // the user session is ending
    BatteryLow = 4, // the battery is within one point of the critical level
    Normal = 5,     // the monitor has started, or the battery has left that band
};

// The autostart value under the machine's Run key.
#define AUTOSTART_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define AUTOSTART_VALUE_NAME "QX481Mon"

// Registers "QX481-Quit Message", the message one instance posts to make the others quit.
// Returns the platform's identifier for it: 0 when registration fails.
UINT RegisterQuitMessage();
