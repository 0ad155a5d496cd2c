// Device discovery: is a supported camera installed, may it be served, and what is it called.
#pragma once
#include <windows.h>

// How discovery came to its result, for those who must explain it.
struct DiscoveryDetail {
    BOOL settled;       // a node carrying a supported ID was settled on
    BOOL keyOpened;     // that node's driver key could be opened
    BOOL suspendRead;   // "SelectiveSuspend" was there and fit in four bytes
    DWORD suspendValue; // its first four bytes as a number, when read
};

// 1 when a supported camera is installed and may be served. detail, when given, receives how
// that was decided.
BOOL FindSupportedCamera(const char* const* ids, DWORD count, char* descBuf, DWORD descSize,
                         char* nameBuf, DWORD nameSize, DiscoveryDetail* detail = NULL);
