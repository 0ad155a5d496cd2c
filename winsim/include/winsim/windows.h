// Controls of the simulated USER32: the thread's windows, its message queue and a virtual clock
// for its timers. The program under test runs on the test's own thread, so what other threads
// and processes would do while its message loop waits is scripted: each step runs when
// GetMessageA finds nothing to return.
#pragma once
#include <windows.h>

#include <functional>

namespace winsim {

// The most recently created dialog that is still alive, NULL when there is none.
HWND DialogWindow();

// What another thread's SendMessage would do: runs the window's procedure through the dialog
// manager at once and gives the reply (0 when the window does not exist).
LRESULT SendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// What the dialog procedure itself returned for the last message it finished, before the
// dialog manager made a reply of it.
INT_PTR LastDialogResult();
// What another thread's PostMessage would do: queues the message for the next GetMessageA.
void PostToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The period the window's timer is armed with, 0 when it is not armed.
UINT TimerPeriod(HWND window, UINT_PTR id);
// Moves the virtual clock on; timers that come due produce WM_TIMER from GetMessageA once
// no other message is waiting.
void AdvanceClock(DWORD milliseconds);

// Appends a step to the message loop's script. GetMessageA runs the steps in order whenever it
// would block; once none is left it returns -1 instead of blocking.
void WhileWaiting(std::function<void()> step);
// Whether a GetMessageA call returned -1 because the script had run out.
bool MessageLoopStarved();

} // namespace winsim
