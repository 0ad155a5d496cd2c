// Simulated Windows: the USER32 calls the program makes.
#pragma once
#include <windef.h>

#include <stdarg.h>

struct POINT {
    LONG x;
    LONG y;
};
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
typedef MSG* LPMSG;

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);
typedef void(CALLBACK* TIMERPROC)(HWND, UINT, UINT_PTR, DWORD);

#define WM_NULL 0x0000
#define WM_DESTROY 0x0002
#define WM_QUERYENDSESSION 0x0011
#define WM_QUIT 0x0012
#define WM_ENDSESSION 0x0016
#define WM_INITDIALOG 0x0110
#define WM_TIMER 0x0113
#define WM_POWERBROADCAST 0x0218
#define WM_USER 0x0400

#define PBT_APMQUERYSUSPEND 0x0000
#define PBT_APMSUSPEND 0x0004
#define PBT_APMRESUMESUSPEND 0x0007
#define PBT_APMPOWERSTATUSCHANGE 0x000A
#define BROADCAST_QUERY_DENY 0x424D5144

#define DWLP_MSGRESULT 0

#define BSF_POSTMESSAGE 0x00000010
#define BSM_APPLICATIONS 0x00000008

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent,
                               DLGPROC procedure, LPARAM parameter);
BOOL WINAPI DestroyWindow(HWND window);
BOOL WINAPI IsWindow(HWND window);
BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT first, UINT last);
BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg);
BOOL WINAPI TranslateMessage(const MSG* msg);
LRESULT WINAPI DispatchMessageA(const MSG* msg);
void WINAPI PostQuitMessage(int exitCode);
UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC procedure);
BOOL WINAPI KillTimer(HWND window, UINT_PTR id);
LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
UINT WINAPI RegisterWindowMessageA(LPCSTR name);
long WINAPI BroadcastSystemMessageA(DWORD flags, LPDWORD recipients, UINT message, WPARAM wParam,
                                    LPARAM lParam);
#define BroadcastSystemMessage BroadcastSystemMessageA

BOOL WINAPI IsWindowVisible(HWND window);
DECLARE_HANDLE(HWINSTA);
struct USEROBJECTFLAGS {
    BOOL fInherit;
    BOOL fReserved;
    DWORD dwFlags;
};
#define UOI_FLAGS 1
#define WSF_VISIBLE 0x0001
HWINSTA WINAPI GetProcessWindowStation();
BOOL WINAPI GetUserObjectInformationA(HANDLE object, int index, PVOID information, DWORD size,
                                      LPDWORD needed);

// At most 1024 characters with the NUL, as the real one writes.
int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list arguments);
int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...);
