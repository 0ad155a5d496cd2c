// Linked into the support tool only (see cmake/xp.cmake): what it takes to tell a node is no
// part of the monitor, whose imports stay its own.
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include "devices/discovery_search.h"

namespace {

void TellNode(SearchReport* report, DEVINST node, DWORD entry, SP_DEVINFO_DATA* info,
              const char* instanceId) {
    DWORD index = report->detail->nodesMatched++;
    if (index >= MatchedNodeRoom)
        return;
    MatchedNode& told = report->nodes[index];
    told.entry = entry;
    told.inImagingClass = info != NULL;
    if (!info)
        lstrcpynA(told.instanceId, instanceId, MAX_PATH);
    else if (!SetupDiGetDeviceInstanceIdA(report->set, info, told.instanceId, MAX_PATH, NULL))
        lstrcpynA(told.instanceId, "(unknown)", MAX_PATH);
    ULONG status, problem;
    told.statusRead = CM_Get_DevNode_Status(&status, &problem, node, 0) == CR_SUCCESS;
    told.driverLoaded = told.statusRead && (status & DN_DRIVER_LOADED);
}

} // namespace

BOOL ExplainSupportedCamera(const char* const* ids, DWORD count, char* descBuf, DWORD descSize,
                            char* nameBuf, DWORD nameSize, DiscoveryDetail* detail,
                            MatchedNode* nodes) {
    SearchReport report = {nodes, detail, INVALID_HANDLE_VALUE, TellNode};
    return SearchSupportedCamera(ids, count, descBuf, descSize, nameBuf, nameSize, detail, &report);
}
