#include "monitor/monitor.h"

#include "camera/camera_channel.h"
#include "common/common.h"
#include "monitor/battery_policy.h"
#include "resource.h"

namespace {

void Tick(HWND window) {
    if (!RefreshPowerSnapshot())
        return;
    TickDecision decision = DecideTick(CurrentPowerSnapshot(), BatteryLatch());
    if (decision.timerPeriod != NoTimerChange)
        SetTimer(window, MonitorTimer, decision.timerPeriod, NULL);
    if (decision.command != NoCommand)
        SendCameraCommand(static_cast<CameraCommand>(decision.command));
    // Stored even when the send failed, so a lost BatteryLow is not repeated in the band.
    StoreBatteryLatch(decision.latch);
}

// The monitor only listens, so it grants the queries: WM_QUERYENDSESSION answered 0 would veto
// the log-off. When the procedure returns nonzero the reply is DWLP_MSGRESULT; after a failed
// send it returns 0 and the default processing answers. Set after the send, since every message
// resets it.
INT_PTR Grant(HWND window, BOOL handled) {
    SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
    return handled;
}

// Identifier 0 means the registration failed; WM_NULL must not pass for the quit message then.
bool IsQuitMessage(UINT message) {
    UINT quit = RegisterQuitMessage();
    return quit != 0 && message == quit;
}

INT_PTR CALLBACK MonitorProcedure(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetTimer(window, MonitorTimer, NearPollPeriod, NULL);
        SendCameraCommand(Normal);
        return 1;
    case WM_TIMER:
        Tick(window);
        return 1;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND)
            return Grant(window, SendCameraCommand(Suspend));
        if (wParam == PBT_APMSUSPEND)
            return SendCameraCommand(Suspend);
        return 0;
    case WM_QUERYENDSESSION:
        return Grant(window, SendCameraCommand(SessionEnd));
    case WM_ENDSESSION:
        return SendCameraCommand(SessionEnd);
    case WM_DESTROY:
        KillTimer(window, MonitorTimer);
        PostQuitMessage(0);
        return 1;
    }
    if (IsQuitMessage(message))
        DestroyWindow(window);
    return 1;
}

} // namespace

void RunMonitor(HINSTANCE instance) {
    HWND window =
        CreateDialogParamA(instance, MAKEINTRESOURCE(IDD_MONITOR), NULL, MonitorProcedure, 0);
    if (!window)
        return;
    // 0 is the quit request and -1 an error: either ends the loop.
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!IsWindow(window) || !IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}
