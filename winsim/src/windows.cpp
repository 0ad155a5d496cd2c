#include <winsim/core.h>
#include <winsim/windows.h>
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "internal.h"
#include "resource.h"

namespace winsim {
namespace {

struct Window {
    DLGPROC procedure;
    LONG_PTR messageResult; // DWLP_MSGRESULT
};

struct Timer {
    HWND window;
    UINT_PTR id;
    UINT period;
    DWORD due;
};

struct WindowsState {
    std::map<HWND, Window> windows;
    HWND newestDialog = NULL;
    ULONG_PTR nextHandle = 0x10010; // handles are never reused, so a stale one stays invalid
    std::deque<MSG> posted;
    bool quitPosted = false;
    int quitCode = 0;
    std::vector<Timer> timers;
    DWORD now = 0;
    std::map<std::string, UINT> registeredMessages;
    INT_PTR lastDialogResult = 0;
    std::deque<std::function<void()>> script;
    bool starved = false;
};
WindowsState user;

bool IsLive(HWND window) {
    return user.windows.count(window) != 0;
}

// The few messages whose reply is the dialog procedure's return value rather than
// DWLP_MSGRESULT.
bool RepliesWithReturnValue(UINT message) {
    switch (message) {
    case 0x002E: // WM_VKEYTOITEM
    case 0x002F: // WM_CHARTOITEM
    case 0x0037: // WM_QUERYDRAGICON
    case 0x0039: // WM_COMPAREITEM
    case WM_INITDIALOG:
        return true;
    }
    return message >= 0x0132 && message <= 0x0138; // WM_CTLCOLORMSGBOX .. WM_CTLCOLORSTATIC
}

// What the default window procedure answers for a message the dialog procedure left alone: it
// lets the session end, and answers 0 to power broadcasts, which does not deny a suspend (only
// BROADCAST_QUERY_DENY does).
LRESULT DefaultReply(UINT message) {
    return message == WM_QUERYENDSESSION;
}

// The dialog manager's window procedure: the dialog procedure first, the default processing
// when it returns 0, and otherwise the reply the procedure left in DWLP_MSGRESULT.
LRESULT CallDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto found = user.windows.find(window);
    if (found == user.windows.end())
        return 0;
    found->second.messageResult = 0;
    INT_PTR result = found->second.procedure(window, message, wParam, lParam);
    user.lastDialogResult = result;
    found = user.windows.find(window); // the procedure may have destroyed the window
    bool alive = found != user.windows.end();
    if (!result && alive)
        return DefaultReply(message);
    if (RepliesWithReturnValue(message))
        return result;
    return alive ? found->second.messageResult : 0;
}

MSG Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg = MSG();
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = user.now;
    return msg;
}

Timer* DueTimer() {
    Timer* earliest = NULL;
    for (Timer& timer : user.timers)
        if (timer.due <= user.now && (!earliest || timer.due < earliest->due))
            earliest = &timer;
    return earliest;
}

} // namespace

void ResetWindows() {
    user = WindowsState();
}

HWND DialogWindow() {
    return IsLive(user.newestDialog) ? user.newestDialog : NULL;
}

LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallDialog(window, message, wParam, lParam);
}

INT_PTR LastDialogResult() {
    return user.lastDialogResult;
}

void PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    user.posted.push_back(Message(window, message, wParam, lParam));
}

UINT TimerPeriod(HWND window, UINT_PTR id) {
    for (const Timer& timer : user.timers)
        if (timer.window == window && timer.id == id)
            return timer.period;
    return 0;
}

void AdvanceClock(DWORD milliseconds) {
    user.now += milliseconds;
}

void WhileWaiting(std::function<void()> step) {
    user.script.push_back(step);
}

bool MessageLoopStarved() {
    return user.starved;
}

} // namespace winsim

using winsim::user;

HWND WINAPI CreateDialogParamA(HINSTANCE, LPCSTR templateName, HWND, DLGPROC procedure,
                               LPARAM parameter) {
    if (winsim::ShouldFail("CreateDialogParamA") || !procedure ||
        templateName != MAKEINTRESOURCEA(IDD_MONITOR))
        return NULL;
    HWND window = reinterpret_cast<HWND>(user.nextHandle);
    user.nextHandle += 4;
    user.windows[window] = winsim::Window{procedure, 0};
    user.newestDialog = window;
    winsim::CallDialog(window, WM_INITDIALOG, 0, parameter);
    return winsim::IsLive(window) ? window : NULL;
}

BOOL WINAPI DestroyWindow(HWND window) {
    if (winsim::ShouldFail("DestroyWindow") || !winsim::IsLive(window))
        return FALSE;
    winsim::CallDialog(window, WM_DESTROY, 0, 0);
    user.windows.erase(window);
    // A window takes its timers with it; messages already posted to it stay queued.
    for (size_t i = user.timers.size(); i-- > 0;)
        if (user.timers[i].window == window)
            user.timers.erase(user.timers.begin() + i);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND window) {
    return !winsim::ShouldFail("IsWindow") && winsim::IsLive(window);
}

// Posted messages first, then the quit request, then due timers; sent messages arrive while
// it waits, which is when the script runs.
BOOL WINAPI GetMessageA(LPMSG msg, HWND, UINT, UINT) {
    if (winsim::ShouldFail("GetMessageA"))
        return -1;
    for (;;) {
        if (!user.posted.empty()) {
            *msg = user.posted.front();
            user.posted.pop_front();
            return TRUE;
        }
        if (user.quitPosted) {
            user.quitPosted = false;
            *msg = winsim::Message(NULL, WM_QUIT, user.quitCode, 0);
            return FALSE;
        }
        if (winsim::Timer* timer = winsim::DueTimer()) {
            timer->due = user.now + timer->period;
            *msg = winsim::Message(timer->window, WM_TIMER, timer->id, 0);
            return TRUE;
        }
        if (user.script.empty()) {
            user.starved = true;
            return -1;
        }
        std::function<void()> step = user.script.front();
        user.script.pop_front();
        step();
    }
}

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) {
    if (winsim::ShouldFail("IsDialogMessageA") || !winsim::IsLive(dialog) || msg->hwnd != dialog)
        return FALSE;
    // No controls, so no dialog keys: the message goes to the dialog as DispatchMessage would.
    winsim::CallDialog(dialog, msg->message, msg->wParam, msg->lParam);
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    winsim::ShouldFail("TranslateMessage");
    return FALSE; // no keyboard input is ever simulated
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (winsim::ShouldFail("DispatchMessageA"))
        return 0;
    return winsim::CallDialog(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void WINAPI PostQuitMessage(int exitCode) {
    if (winsim::ShouldFail("PostQuitMessage"))
        return;
    user.quitPosted = true;
    user.quitCode = exitCode;
}

UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC) {
    if (winsim::ShouldFail("SetTimer") || !winsim::IsLive(window))
        return 0;
    // Setting an existing timer again replaces it and restarts its countdown.
    KillTimer(window, id);
    user.timers.push_back(winsim::Timer{window, id, period, user.now + period});
    return id;
}

BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
    if (winsim::ShouldFail("KillTimer"))
        return FALSE;
    for (size_t i = 0; i < user.timers.size(); ++i)
        if (user.timers[i].window == window && user.timers[i].id == id) {
            user.timers.erase(user.timers.begin() + i);
            return TRUE;
        }
    return FALSE;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
    auto found = user.windows.find(window);
    if (winsim::ShouldFail("SetWindowLongPtrA") || found == user.windows.end() ||
        index != DWLP_MSGRESULT)
        return 0;
    LONG_PTR previous = found->second.messageResult;
    found->second.messageResult = value;
    return previous;
}

// Message names are atoms: the same name, in any case, gives the same identifier.
UINT WINAPI RegisterWindowMessageA(LPCSTR name) {
    if (winsim::ShouldFail("RegisterWindowMessageA") || !name || !*name)
        return 0;
    std::string key(name);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto found = user.registeredMessages.find(key);
    if (found != user.registeredMessages.end())
        return found->second;
    UINT id = 0xC000 + static_cast<UINT>(user.registeredMessages.size());
    user.registeredMessages[key] = id;
    return id;
}

// Every window here is top-level, so every one of them receives the broadcast.
long WINAPI BroadcastSystemMessageA(DWORD flags, LPDWORD, UINT message, WPARAM wParam,
                                    LPARAM lParam) {
    if (winsim::ShouldFail("BroadcastSystemMessageA"))
        return -1;
    std::vector<HWND> recipients;
    for (const auto& window : user.windows)
        recipients.push_back(window.first);
    for (HWND window : recipients)
        if (flags & BSF_POSTMESSAGE)
            winsim::PostToWindow(window, message, wParam, lParam);
        else
            winsim::CallDialog(window, message, wParam, lParam);
    return 1;
}

int WINAPI wvsprintfA(LPSTR buffer, LPCSTR format, va_list arguments) {
    if (winsim::ShouldFail("wvsprintfA"))
        return -1;
    int length = std::vsnprintf(buffer, 1024, format, arguments);
    return length < 1024 ? length : 1023;
}

int WINAPIV wsprintfA(LPSTR buffer, LPCSTR format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int length = wvsprintfA(buffer, format, arguments);
    va_end(arguments);
    return length;
}
