// The DLLs the tool takes from the system folder itself.
#pragma once
#include <windows.h>

// Room for what LoadSystemDlls finds missing: wsprintfA writes at most 1024 characters.
const DWORD SystemDllsMissingRoom = 1025;

// Loads setupapi.dll and cfgmgr32.dll by their full paths in the system folder and finds in
// them every function that discovery calls; they stay loaded for the tool's life. On failure it
// writes into missing the DLL or function that is missing, for the report, and returns FALSE;
// nothing of them may then be called.
BOOL LoadSystemDlls(char* missing);
