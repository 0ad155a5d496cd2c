// Inside device discovery: the one search behind both its operations.
#pragma once
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include "devices/discovery.h"

// Where an explained search tells its matching nodes; the monitor's own search passes none
// and stops at the node it settles on.
struct SearchReport {
    MatchedNode* nodes;      // room for MatchedNodeRoom
    DiscoveryDetail* detail; // the search's own
    HDEVINFO set;            // the imaging class's devices, while the search holds them
    // Told of a node carrying ids[entry]: info for one of the imaging class, else the instance
    // ID the enumerator listed it by.
    void (*nodeMatched)(SearchReport* report, DEVINST node, DWORD entry, SP_DEVINFO_DATA* info,
                        const char* instanceId);
};

// detail is always filled.
BOOL SearchSupportedCamera(const char* const* ids, DWORD count, char* descBuf, DWORD descSize,
                           char* nameBuf, DWORD nameSize, DiscoveryDetail* detail,
                           SearchReport* report);
