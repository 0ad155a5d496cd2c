// Whole simulated machines for the tests that run the program from its entry.
#pragma once
#include <windows.h>

extern const char RunKey[];
extern const char DriverKey[];
extern const char CameraName[];
// Written out here, not taken from the program: every copy of the program, older and newer,
// must register the quit message under this same name.
extern const char QuitMessageName[];

enum Machine {
    XpWithCamera,  // the camera in the imaging class, selective suspend on
    UsbOnlyCamera, // the camera found only among the USB nodes, its driver loaded
    NoCamera,
    SuspendOff,
    Windows2000,
    Windows9xReporting51, // platform id 1 with version 5.1
    Server2003,
    Windows7,
    ReadOnlyRunKey, // the user is no administrator
    SuspendMissing, // the driver key has no SelectiveSuspend value
    UsbOnlyDriverNotLoaded,
    RejectingCamera, // the camera's capture device rejects every write
};

// A fresh machine: another program's Run value, two capture devices (the camera second, so a
// command must reach the discovered one), and the camera's device node as the machine says.
void SetUpMachine(Machine machine);
bool AutostartValueExists();
