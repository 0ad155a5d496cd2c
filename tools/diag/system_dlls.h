// The DLLs the tool takes from the system folder itself.
#pragma once
#include <windows.h>

// Loads setupapi.dll and cfgmgr32.dll by their full paths in the system folder and finds in
// them every function that discovery calls; they stay loaded for the tool's life. On failure it
// gives the verdict that the tool could not look, with the DLL or function missing, and returns
// FALSE; nothing of them may then be called.
BOOL LoadSystemDlls();
