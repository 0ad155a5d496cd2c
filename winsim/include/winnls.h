// Simulated Windows: code-page conversion.
#pragma once
#include <windef.h>

#define CP_ACP 0
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength,
                               LPSTR narrow, int narrowCapacity, LPCSTR defaultChar,
                               BOOL* usedDefaultChar);
