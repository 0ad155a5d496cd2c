// Simulated Windows: the device setup classes the program names.
#pragma once
#include <windef.h>

extern "C" const GUID GUID_DEVCLASS_IMAGE;
