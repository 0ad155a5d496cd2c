// Simulated Windows: DirectShow, as far as finding a capture device and its filter goes.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <strmif.h>

extern const CLSID CLSID_SystemDeviceEnum;
extern const CLSID CLSID_VideoInputDeviceCategory;
