// bench_tool.exe: the Windows side of the measurements under Wine (bench_wine.py), run in a
// prefix with a monitor and its TestCamera device. The camera counts what reaches it in the
// section named by E2E_CAMERA_COUNTERS (camera_counters.h), which this tool creates and holds.
//
//   latency NAME ROUNDS  each round, in turns: sends the monitor WM_POWERBROADCAST/PBT_APMSUSPEND
//                        ("monitor"); writes the same command to the camera NAME through the
//                        monitor's own channel code called inline, on a thread without COM
//                        ("direct") and on a
//                        thread that holds an apartment throughout ("held", done by a
//                        "serve" process started first), as the monitor's thread does under
//                        Wine; sends the monitor WM_NULL ("null": the cost of
//                        delivery alone). Prints a line per turn, "KIND TO_SET TOTAL":
//                        microseconds from the start to the camera's Set (0 for null) and to
//                        the reply or the end of the inline calls
//   serve NAME           makes the "held" writes for latency, until it says stop
//   events N LEVELFILE   sends the monitor N events in cycles of suspend query, suspend, session
//                        end query, session end and timer tick, each of them one camera write:
//                        before each tick LEVELFILE (the stand-in power policy's critical
//                        level) alternates between the battery's level and far from it; an N
//                        divisible by 10 leaves the battery latch as it was. Prints
//                        "events N writes W seconds S"
//   usage                prints the monitor process's handles (all, and registry keys) and
//                        memory as the system reports them
//   platform NAME W N    W and then N writes made directly with an apartment held, in this
//                        process: prints how many handles and keys each of the N leaves
//                        behind, and how much the process's private memory grew over them:
//                        what the platform itself holds on to
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <winternl.h>

#include "camera/camera_channel.h"
#include "camera_counters.h"
#include "monitor/monitor.h"
#include "monitor_window.h"

namespace {

const int WarmUpRounds = 10;

CameraCounters* Counters;

LONG Sets() {
    return InterlockedCompareExchange(&Counters->sets, 0, 0);
}

double Microseconds(LONGLONG ticks) {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    return ticks * 1e6 / frequency.QuadPart;
}

bool Send(HWND window, UINT message, WPARAM wParam) {
    DWORD_PTR reply;
    return SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, 20000, &reply) != 0;
}

// The reference with an apartment held runs in a second process ("serve") whose only thread
// keeps one open: with a worker thread holding it in this process, the first write from the
// main thread never returned under Wine.
struct HeldTurn {
    LONGLONG start;
    LONGLONG end;
    LONG written;
    LONG stop;
};

struct HeldChannel {
    HANDLE section;
    HeldTurn* turn;
    HANDLE go;
    HANDLE done;
};

bool OpenHeldChannel(HeldChannel* channel) {
    channel->section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                          sizeof(HeldTurn), "QX481BenchHeldTurn");
    channel->turn = channel->section
                        ? static_cast<HeldTurn*>(MapViewOfFile(channel->section, FILE_MAP_WRITE, 0,
                                                               0, sizeof(HeldTurn)))
                        : NULL;
    channel->go = CreateEventA(NULL, FALSE, FALSE, "QX481BenchHeldGo");
    channel->done = CreateEventA(NULL, FALSE, FALSE, "QX481BenchHeldDone");
    return channel->turn && channel->go && channel->done;
}

void CloseHeldChannel(HeldChannel* channel) {
    if (channel->turn)
        UnmapViewOfFile(channel->turn);
    if (channel->section)
        CloseHandle(channel->section);
    if (channel->go)
        CloseHandle(channel->go);
    if (channel->done)
        CloseHandle(channel->done);
}

int Serve() {
    HeldChannel channel;
    int result = 1;
    if (OpenHeldChannel(&channel)) {
        HRESULT hr = CoInitialize(NULL);
        while (WaitForSingleObject(channel.go, 60000) == WAIT_OBJECT_0 && !channel.turn->stop) {
            LARGE_INTEGER start, end;
            QueryPerformanceCounter(&start);
            channel.turn->written = SendCameraCommand(Suspend);
            QueryPerformanceCounter(&end);
            channel.turn->start = start.QuadPart;
            channel.turn->end = end.QuadPart;
            SetEvent(channel.done);
        }
        if (SUCCEEDED(hr))
            CoUninitialize();
        result = 0;
    }
    CloseHeldChannel(&channel);
    return result;
}

enum Kind { ViaMonitor, Direct, Held, NullMessage, KindCount };
const char* const KindNames[KindCount] = {"monitor", "direct", "held", "null"};

// One timed turn: false when the write did not reach the camera exactly once.
bool Turn(Kind kind, HWND window, HeldChannel* held, double* toSet, double* total) {
    LONG before = Sets();
    LARGE_INTEGER start, end;
    bool done;
    QueryPerformanceCounter(&start);
    if (kind == ViaMonitor)
        done = Send(window, WM_POWERBROADCAST, PBT_APMSUSPEND);
    else if (kind == NullMessage)
        done = Send(window, WM_NULL, 0);
    else if (kind == Direct) // the reference for the monitor's overhead: its send, alone
        done = SendCameraCommand(Suspend);
    else {
        SetEvent(held->go);
        done = WaitForSingleObject(held->done, 20000) == WAIT_OBJECT_0 && held->turn->written;
    }
    QueryPerformanceCounter(&end);
    if (kind == Held) {
        start.QuadPart = held->turn->start;
        end.QuadPart = held->turn->end;
    }
    LONG writes = kind == NullMessage ? 0 : 1;
    *toSet = writes ? Microseconds(Counters->lastSetTime - start.QuadPart) : 0;
    *total = Microseconds(end.QuadPart - start.QuadPart);
    return done && Sets() == before + writes;
}

int Latency(HWND window, int rounds) {
    HeldChannel held;
    int result = OpenHeldChannel(&held) ? 0 : 1;
    for (int round = 0; !result && round < WarmUpRounds + rounds; ++round) {
        for (int turn = 0; !result && turn < KindCount; ++turn) {
            Kind kind = static_cast<Kind>((round + turn) % KindCount);
            double toSet, total;
            if (!Turn(kind, window, &held, &toSet, &total)) {
                printf("%s failed in round %d\n", KindNames[kind], round);
                result = 1;
            } else if (round >= WarmUpRounds) {
                printf("%s %.1f %.1f\n", KindNames[kind], toSet, total);
            }
        }
    }
    if (held.turn) {
        held.turn->stop = 1;
        SetEvent(held.go);
    }
    CloseHeldChannel(&held);
    return result;
}

bool WriteLevel(const char* path, const char* level) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written;
    BOOL done = WriteFile(file, level, lstrlenA(level), &written, NULL);
    CloseHandle(file);
    return done != 0;
}

int Events(HWND window, int count, const char* levelFile) {
    struct Event {
        UINT message;
        WPARAM wParam;
    };
    const Event cycle[] = {{WM_POWERBROADCAST, PBT_APMQUERYSUSPEND},
                           {WM_POWERBROADCAST, PBT_APMSUSPEND},
                           {WM_QUERYENDSESSION, 0},
                           {WM_ENDSESSION, FALSE},
                           {WM_TIMER, MonitorTimer}};
    // Wine's battery reads 255 on mains: a critical level of 255 is in the band (BatteryLow),
    // 300 leaves it (Normal).
    bool inBand = false;
    LONG before = Sets();
    DWORD start = GetTickCount();
    for (int i = 0; i < count; ++i) {
        const Event& event = cycle[i % 5];
        if (event.message == WM_TIMER) {
            inBand = !inBand;
            if (!WriteLevel(levelFile, inBand ? "255" : "300")) {
                printf("cannot write %s\n", levelFile);
                return 1;
            }
        }
        if (!Send(window, event.message, event.wParam)) {
            printf("event %d timed out\n", i);
            return 1;
        }
    }
    printf("events %d writes %ld seconds %.1f\n", count, Sets() - before,
           (GetTickCount() - start) / 1000.0);
    return 0;
}

struct HandleCount {
    long all;
    long keys;
};

// Handles as the system holds them for the process (under Wine, the server's table), and how
// many of them are registry keys: those of the type of a key this process opens to look.
HandleCount CountHandles(DWORD processId) {
    HandleCount count = {-1, -1};
    HKEY probe;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &probe))
        return count;
    ULONG size = 1 << 16;
    for (;;) {
        SYSTEM_HANDLE_INFORMATION* info =
            static_cast<SYSTEM_HANDLE_INFORMATION*>(HeapAlloc(GetProcessHeap(), 0, size));
        if (!info)
            break;
        ULONG needed = 0;
        NTSTATUS status = NtQuerySystemInformation(SystemHandleInformation, info, size, &needed);
        if (status == 0) {
            int keyType = -1;
            for (ULONG i = 0; i < info->Count; ++i) {
                const SYSTEM_HANDLE_ENTRY& entry = info->Handle[i];
                if (entry.OwnerPid == GetCurrentProcessId() &&
                    entry.HandleValue == static_cast<USHORT>(reinterpret_cast<ULONG_PTR>(probe)))
                    keyType = entry.ObjectType;
            }
            count.all = count.keys = 0;
            for (ULONG i = 0; i < info->Count; ++i) {
                const SYSTEM_HANDLE_ENTRY& entry = info->Handle[i];
                if (entry.OwnerPid == processId) {
                    count.all++;
                    count.keys += entry.ObjectType == keyType;
                }
            }
        }
        HeapFree(GetProcessHeap(), 0, info);
        if (status != static_cast<NTSTATUS>(0xC0000004L)) // STATUS_INFO_LENGTH_MISMATCH
            break;
        size = needed > size ? needed + 4096 : size * 2;
    }
    RegCloseKey(probe);
    // The probe itself is not this process's to count.
    if (processId == GetCurrentProcessId() && count.all > 0) {
        count.all--;
        count.keys--;
    }
    return count;
}

int Usage(HWND window) {
    DWORD processId;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) {
        printf("cannot open process %lu\n", processId);
        return 1;
    }
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    CloseHandle(process);
    HandleCount handles = CountHandles(processId);
    printf("handles %ld keys %ld working_set %lu pagefile %lu\n", handles.all, handles.keys,
           static_cast<unsigned long>(memory.WorkingSetSize),
           static_cast<unsigned long>(memory.PagefileUsage));
    return 0;
}

SIZE_T PagefileUsage() {
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    return memory.PagefileUsage;
}

int Platform(int warmUp, int writes) {
    HRESULT hr = CoInitialize(NULL);
    for (int i = 0; i < warmUp; ++i)
        SendCameraCommand(Suspend);
    HandleCount before = CountHandles(GetCurrentProcessId());
    SIZE_T memoryBefore = PagefileUsage();
    LONG setsBefore = Sets();
    for (int i = 0; i < writes; ++i)
        SendCameraCommand(Suspend);
    HandleCount after = CountHandles(GetCurrentProcessId());
    SIZE_T memoryAfter = PagefileUsage();
    if (SUCCEEDED(hr))
        CoUninitialize();
    printf("writes %ld handles %.2f keys %.2f pagefile %ld\n", Sets() - setsBefore,
           double(after.all - before.all) / writes, double(after.keys - before.keys) / writes,
           static_cast<long>(memoryAfter - memoryBefore));
    return 0;
}

// latency, serve and platform name the camera second.
int Run(int argc, char** argv, HWND window) {
    if (argc == 4 && !strcmp(argv[1], "events"))
        return Events(window, atoi(argv[2]), argv[3]);
    if (argc == 2 && !strcmp(argv[1], "usage"))
        return Usage(window);
    if (argc > 2)
        SetCameraDeviceName(argv[2]);
    if (argc == 4 && !strcmp(argv[1], "latency"))
        return Latency(window, atoi(argv[3]));
    if (argc == 3 && !strcmp(argv[1], "serve"))
        return Serve();
    if (argc == 5 && !strcmp(argv[1], "platform"))
        return Platform(atoi(argv[3]), atoi(argv[4]));
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, NULL, _IONBF, 0);
    HWND window = FindMonitor();
    if (!window) {
        printf("no monitor window\n");
        return 1;
    }
    char name[MAX_PATH];
    if (!GetEnvironmentVariableA("E2E_CAMERA_COUNTERS", name, sizeof name)) {
        printf("E2E_CAMERA_COUNTERS is not set\n");
        return 1;
    }
    HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                        sizeof(CameraCounters), name);
    if (!section)
        return 1;
    Counters = static_cast<CameraCounters*>(
        MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, sizeof(CameraCounters)));
    int result = Counters ? Run(argc, argv, window) : 1;
    if (Counters)
        UnmapViewOfFile(Counters);
    CloseHandle(section);
    return result;
}
