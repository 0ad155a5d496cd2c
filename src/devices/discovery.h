// Device discovery: is a supported camera installed, may it be served, and what is it called.
#pragma once
#include <windows.h>

// 1 when a supported camera is installed and may be served.
BOOL FindSupportedCamera(const char* const* ids, DWORD count, char* descBuf, DWORD descSize,
                         char* nameBuf, DWORD nameSize);

// A node carrying a supported ID, as the search came upon it.
struct MatchedNode {
    char instanceId[MAX_PATH]; // "(unknown)" when it cannot be read
    DWORD entry;               // the ID it carries, by its place in the list searched for
    BOOL inImagingClass;       // among the imaging class's present devices, else the enumerator's
    BOOL statusRead;           // its status could be read: it is present
    BOOL driverLoaded;
};

// How discovery came to its result, for those who must explain it.
struct DiscoveryDetail {
    BOOL searched;      // the imaging class could be listed, so the search was made
    DWORD nodesLooked;  // every node the search came to
    DWORD nodesMatched; // of them, those carrying a supported ID
    BOOL settled;       // a node carrying a supported ID was settled on
    BOOL keyOpened;     // that node's driver key could be opened
    BOOL suspendRead;   // "SelectiveSuspend" was there and fit in four bytes
    DWORD suspendValue; // its first four bytes as a number, when read
};

const DWORD MatchedNodeRoom = 8;

// FindSupportedCamera for the support tool: the same result and names, and in detail and nodes
// (room for MatchedNodeRoom) how it came to them. The search goes on past the node it settles
// on so that every matching node is told.
BOOL ExplainSupportedCamera(const char* const* ids, DWORD count, char* descBuf, DWORD descSize,
                            char* nameBuf, DWORD nameSize, DiscoveryDetail* detail,
                            MatchedNode* nodes);
