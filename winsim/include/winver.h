// Simulated Windows: the VERSION calls the program makes.
#pragma once
#include <windef.h>

struct VS_FIXEDFILEINFO {
    DWORD dwSignature;
    DWORD dwStrucVersion;
    DWORD dwFileVersionMS;
    DWORD dwFileVersionLS;
    DWORD dwProductVersionMS;
    DWORD dwProductVersionLS;
    DWORD dwFileFlagsMask;
    DWORD dwFileFlags;
    DWORD dwFileOS;
    DWORD dwFileType;
    DWORD dwFileSubtype;
    DWORD dwFileDateMS;
    DWORD dwFileDateLS;
};

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR path, LPDWORD unused);
BOOL WINAPI GetFileVersionInfoA(LPCSTR path, DWORD unused, DWORD size, LPVOID block);
// Only the root block, "\\", which holds the VS_FIXEDFILEINFO.
BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID* value, UINT* length);
