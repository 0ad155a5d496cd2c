// Device discovery: is a supported camera installed, may it be served, and what is it called.
#pragma once
#include <windows.h>

BOOL FindSupportedCamera(const char* const* ids, DWORD count, char* descBuf, DWORD descSize,
                         char* nameBuf, DWORD nameSize);
