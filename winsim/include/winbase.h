// Simulated Windows: the KERNEL32 calls the program makes.
#pragma once
#include <windef.h>

#define HEAP_ZERO_MEMORY 0x00000008
HANDLE WINAPI GetProcessHeap();
LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
BOOL WINAPI HeapFree(HANDLE heap, DWORD flags, LPVOID block);

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b);
LPSTR WINAPI lstrcatA(LPSTR destination, LPCSTR source);
int WINAPI lstrlenA(LPCSTR text);
LPSTR WINAPI lstrcpynA(LPSTR destination, LPCSTR source, int capacity);

LPSTR WINAPI GetCommandLineA();
HMODULE WINAPI GetModuleHandleA(LPCSTR name);
void WINAPI ExitProcess(UINT exitCode);
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR path, DWORD capacity);
DWORD WINAPI GetFullPathNameA(LPCSTR name, DWORD capacity, LPSTR path, LPSTR* filePart);
UINT WINAPI GetWindowsDirectoryA(LPSTR path, UINT capacity);
DWORD WINAPI ExpandEnvironmentStringsA(LPCSTR source, LPSTR expanded, DWORD capacity);

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2
struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
typedef OSVERSIONINFOA* LPOSVERSIONINFOA;
BOOL WINAPI GetVersionExA(LPOSVERSIONINFOA info);

#define INFINITE 0xFFFFFFFF
DWORD WINAPI GetCurrentProcessId();
BOOL WINAPI ProcessIdToSessionId(DWORD processId, DWORD* sessionId);
DWORD WINAPI GetTickCount();
void WINAPI Sleep(DWORD milliseconds);

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD error);

#define STD_INPUT_HANDLE ((DWORD)-10)
#define STD_OUTPUT_HANDLE ((DWORD)-11)
HANDLE WINAPI GetStdHandle(DWORD which);
DWORD WINAPI GetConsoleProcessList(LPDWORD processes, DWORD count);
BOOL WINAPI GetConsoleMode(HANDLE console, LPDWORD mode);
HWND WINAPI GetConsoleWindow();

#define GENERIC_WRITE 0x40000000
#define CREATE_ALWAYS 2
#define FILE_ATTRIBUTE_NORMAL 0x80
struct SECURITY_ATTRIBUTES;
typedef SECURITY_ATTRIBUTES* LPSECURITY_ATTRIBUTES;
HANDLE WINAPI CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                          DWORD disposition, DWORD attributes, HANDLE templateFile);
struct OVERLAPPED;
typedef OVERLAPPED* LPOVERLAPPED;
BOOL WINAPI ReadFile(HANDLE file, LPVOID data, DWORD size, LPDWORD read, LPOVERLAPPED overlapped);
BOOL WINAPI WriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                      LPOVERLAPPED overlapped);
BOOL WINAPI CloseHandle(HANDLE handle);

#define MAX_COMPUTERNAME_LENGTH 15
BOOL WINAPI GetComputerNameA(LPSTR name, LPDWORD size);
struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
void WINAPI GetLocalTime(SYSTEMTIME* time);

#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_ARCHIVE 0x20
DWORD WINAPI GetFileAttributesA(LPCSTR path);

struct SYSTEM_POWER_STATUS {
    BYTE ACLineStatus;
    BYTE BatteryFlag;
    BYTE BatteryLifePercent;
    BYTE Reserved1;
    DWORD BatteryLifeTime;
    DWORD BatteryFullLifeTime;
};
typedef SYSTEM_POWER_STATUS* LPSYSTEM_POWER_STATUS;
BOOL WINAPI GetSystemPowerStatus(LPSYSTEM_POWER_STATUS status);
