#include "devices/discovery.h"

#include <windows.h>
#include <devguid.h>
#include <setupapi.h>
#include <cfgmgr32.h>
#include <string.h>

#include "devices/discovery_search.h"
#include "devices/hardware_ids.h"

namespace {

// Bounds the hardware-ID list of an imaging device; the USB nodes' lists are read with a bound
// of MAX_PATH. Two spare bytes follow it (see ReadHardwareIds).
const ULONG ScratchSize = 4096;

// Reads a node's hardware IDs into scratch. The list is ended right after what the platform
// wrote, so that a list stored without its terminators cannot send the match past it.
BOOL ReadHardwareIds(DEVINST node, char* scratch, ULONG capacity) {
    ULONG length = capacity;
    if (CM_Get_DevNode_Registry_PropertyA(node, CM_DRP_HARDWAREID, NULL, scratch, &length, 0) !=
        CR_SUCCESS)
        return 0;
    scratch[length] = scratch[length + 1] = 0;
    return 1;
}

// Searches every node of the table's enumerator, present or not. A matching node whose driver
// is loaded ends the search; otherwise the last node whose hardware IDs could be read decides.
// node is only ever set to the matching node found, so that a node that failed to be located or
// read can neither decide the result nor supply the names. An explained search goes on to the
// end, the result decided as it would have been.
BOOL SearchEnumerator(const char* const* ids, DWORD count, char* scratch, DEVINST* node,
                      DiscoveryDetail* detail, SearchReport* report) {
    char* enumerator = EnumeratorName(ids, scratch);
    ULONG length;
    if (CM_Get_Device_ID_List_SizeA(&length, enumerator, CM_GETIDLIST_FILTER_ENUMERATOR) !=
            CR_SUCCESS ||
        !length)
        return 0;
    char* list = (char*)HeapAlloc(GetProcessHeap(), 0, length);
    if (!list)
        return 0;
    BOOL found = 0, ended = 0;
    if (CM_Get_Device_ID_ListA(enumerator, list, length, CM_GETIDLIST_FILTER_ENUMERATOR) ==
        CR_SUCCESS) {
        for (char* id = list; *id; id += strlen(id) + 1) {
            ++detail->nodesLooked;
            DEVINST candidate;
            if (CM_Locate_DevNodeA(&candidate, id, CM_LOCATE_DEVNODE_PHANTOM) != CR_SUCCESS ||
                !ReadHardwareIds(candidate, scratch, MAX_PATH))
                continue;
            DWORD entry;
            BOOL matches = MatchHardwareIdList(scratch, ids, count, &entry);
            if (!ended)
                found = matches;
            if (!matches)
                continue;
            if (!ended)
                *node = candidate;
            ULONG status, problem;
            BOOL statusRead = CM_Get_DevNode_Status(&status, &problem, candidate, 0) == CR_SUCCESS;
            if (report)
                report->nodeMatched(report, candidate, entry, NULL, id);
            if (statusRead && (status & DN_DRIVER_LOADED)) {
                ended = 1;
                if (!report)
                    break;
            }
        }
    }
    HeapFree(GetProcessHeap(), 0, list);
    return found;
}

// Reads a text value into buffer, which stays NUL-terminated whatever the registry holds: a
// value stored without its NUL is ended after its data, and one too long to fit with its NUL
// leaves the buffer empty rather than holding part of a name.
void ReadName(HKEY key, const char* name, char* buffer, DWORD size) {
    if (!buffer)
        return;
    DWORD length = size;
    if (RegQueryValueExA(key, name, NULL, NULL, (BYTE*)buffer, &length) != ERROR_SUCCESS ||
        (length >= size && buffer[size - 1]))
        length = 0;
    if (length < size)
        buffer[length] = 0;
}

} // namespace

BOOL SearchSupportedCamera(const char* const* ids, DWORD count, char* descBuf, DWORD descSize,
                           char* nameBuf, DWORD nameSize, DiscoveryDetail* detail,
                           SearchReport* report) {
    memset(detail, 0, sizeof *detail);
    // A buffer with no room is treated as no buffer: not even the empty string fits.
    if (!descSize)
        descBuf = NULL;
    if (!nameSize)
        nameBuf = NULL;
    if (descBuf)
        descBuf[0] = 0;
    if (nameBuf)
        nameBuf[0] = 0;

    char* scratch = (char*)HeapAlloc(GetProcessHeap(), 0, ScratchSize + 2);
    if (!scratch)
        return 0;
    HDEVINFO set = SetupDiGetClassDevsA(&GUID_DEVCLASS_IMAGE, NULL, NULL, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) {
        HeapFree(GetProcessHeap(), 0, scratch);
        return 0;
    }
    if (report)
        report->set = set;

    BOOL found = 0;
    DEVINST node = 0;
    SP_DEVINFO_DATA info;
    info.cbSize = sizeof info;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &info); ++index) {
        ++detail->nodesLooked;
        memset(scratch, 0, ScratchSize);
        DWORD entry;
        if (!ReadHardwareIds(info.DevInst, scratch, ScratchSize) ||
            !MatchHardwareIdList(scratch, ids, count, &entry))
            continue;
        if (!found) {
            found = 1;
            node = info.DevInst;
        }
        if (!report)
            break;
        report->nodeMatched(report, info.DevInst, entry, &info, NULL);
    }
    detail->searched = 1;
    if (!found)
        found = SearchEnumerator(ids, count, scratch, &node, detail, report);

    detail->settled = found;
    HKEY key;
    if (found && CM_Open_DevNode_Key(node, KEY_READ, 2, RegDisposition_OpenExisting, &key,
                                     CM_REGISTRY_SOFTWARE) == CR_SUCCESS) {
        detail->keyOpened = 1;
        ReadName(key, "DriverDesc", descBuf, descSize);
        ReadName(key, "FriendlyName", nameBuf, nameSize);
        // Whatever its type, the value's first bytes are read as a little-endian number.
        DWORD suspendSize = sizeof detail->suspendValue;
        detail->suspendRead =
            RegQueryValueExA(key, "SelectiveSuspend", NULL, NULL, (BYTE*)&detail->suspendValue,
                             &suspendSize) == ERROR_SUCCESS;
        if (!detail->suspendRead || !detail->suspendValue)
            found = 0;
        RegCloseKey(key);
    }

    SetupDiDestroyDeviceInfoList(set);
    HeapFree(GetProcessHeap(), 0, scratch);
    return found;
}

BOOL FindSupportedCamera(const char* const* ids, DWORD count, char* descBuf, DWORD descSize,
                         char* nameBuf, DWORD nameSize) {
    DiscoveryDetail detail;
    return SearchSupportedCamera(ids, count, descBuf, descSize, nameBuf, nameSize, &detail, NULL);
}
