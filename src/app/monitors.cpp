#include "app/monitors.h"

#include <tlhelp32.h>

namespace {

const char MonitorFileName[] = "QX481Mon.exe";
// A monitor quits within a second of the broadcast; a hung one must not hold up its removal
// for ever.
const DWORD MonitorsQuitWithin = 10000;
const DWORD WalkInterval = 100;

} // namespace

BOOL CountOtherMonitors(DWORD* count) {
    *count = 0;
    DWORD self = GetCurrentProcessId(), session;
    if (!ProcessIdToSessionId(self, &session))
        return FALSE;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return FALSE;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        // A process whose session cannot be read belongs to another user, whose session the
        // broadcast does not reach.
        DWORD theirs;
        if (entry.th32ProcessID != self && !lstrcmpiA(entry.szExeFile, MonitorFileName) &&
            ProcessIdToSessionId(entry.th32ProcessID, &theirs) && theirs == session)
            ++*count;
    }
    CloseHandle(snapshot);
    return TRUE;
}

void WaitForOtherMonitors() {
    DWORD start = GetTickCount(), count;
    while (CountOtherMonitors(&count) && count && GetTickCount() - start < MonitorsQuitWithin)
        Sleep(WalkInterval);
}
