// Simulated Windows: the subset of the SDK's windows.h that the program uses.
#pragma once
#include <windef.h>
#include <winbase.h>
#include <winnls.h>
#include <winuser.h>
#include <winreg.h>
#include <winver.h>
