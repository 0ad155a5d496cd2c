// Runs the monitor on the simulated machine and puts it through a list of events while its
// message loop waits, recording what it did after each. Shared by every test that drives the
// monitor.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

// Something that happens to the machine while the monitor waits for messages.
struct MonitorEvent {
    enum Kind {
        Send,     // another thread sends message, wParam; its reply is recorded
        Post,     // another thread posts message, wParam
        Quit,     // another instance broadcasts the registered quit message
        Power,    // the power status becomes acLineStatus, batteryPercent
        Tick,     // the same, then the clock moves on until the monitor's timer comes due
        FailNext, // the next call of function fails
    } kind;
    UINT message;
    WPARAM wParam;
    BYTE acLineStatus;
    BYTE batteryPercent;
    const char* function;
};

MonitorEvent Sent(UINT message, WPARAM wParam = 0);
MonitorEvent Posted(UINT message, WPARAM wParam = 0);
MonitorEvent QuitBroadcast();
MonitorEvent PowerAt(BYTE acLineStatus, BYTE batteryPercent);
MonitorEvent TickAt(BYTE acLineStatus, BYTE batteryPercent);
MonitorEvent FailNext(const char* function);

// What the monitor did in one step and how it stood afterwards.
struct MonitorStep {
    INT_PTR result;              // the dialog procedure's return value for the step's message
    LRESULT reply;               // what a Send got back; 0 for other events
    std::vector<DWORD> commands; // codes written to the camera, accepted or not
    UINT timerPeriod;            // the monitor timer's period, 0 when it is not armed
    DWORD latch;                 // BatteryLatch
    bool windowAlive;
};

struct MonitorRun {
    // steps[0]: what creation did before the loop first waited; steps[i]: event i-1. The list
    // is short when the loop ended before the events ran out.
    std::vector<MonitorStep> steps;
    bool scriptRanOut; // the loop ended because nothing more happened, not by the quit request
};

// Runs the monitor through the events: RunMonitor itself, or whatever start reaches it (the
// program's entry with a command line, say).
MonitorRun RunMonitorThrough(const std::vector<MonitorEvent>& events,
                             const std::function<void()>& start = NULL);
