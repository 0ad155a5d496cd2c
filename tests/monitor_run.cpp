#include "monitor_run.h"

#include <winsim.h>

#include "machine.h"
#include "monitor/battery_policy.h"
#include "monitor/monitor.h"

MonitorEvent Sent(UINT message, WPARAM wParam) {
    return MonitorEvent{MonitorEvent::Send, message, wParam, 0, 0, NULL};
}

MonitorEvent Posted(UINT message, WPARAM wParam) {
    return MonitorEvent{MonitorEvent::Post, message, wParam, 0, 0, NULL};
}

MonitorEvent QuitBroadcast() {
    return MonitorEvent{MonitorEvent::Quit, 0, 0, 0, 0, NULL};
}

MonitorEvent PowerAt(BYTE acLineStatus, BYTE batteryPercent) {
    return MonitorEvent{MonitorEvent::Power, 0, 0, acLineStatus, batteryPercent, NULL};
}

MonitorEvent TickAt(BYTE acLineStatus, BYTE batteryPercent) {
    return MonitorEvent{MonitorEvent::Tick, 0, 0, acLineStatus, batteryPercent, NULL};
}

MonitorEvent FailNext(const char* function) {
    return MonitorEvent{MonitorEvent::FailNext, 0, 0, 0, 0, function};
}

namespace {

struct Recorder {
    HWND window = NULL;
    size_t writesSeen = 0;
    LRESULT reply = 0;
    std::vector<MonitorStep> steps;

    void Observe() {
        if (!window)
            window = winsim::DialogWindow();
        MonitorStep step = {winsim::LastDialogResult(), reply, {}, 0, BatteryLatch(), false};
        const std::vector<winsim::PropertyWrite>& writes = winsim::PropertyWrites();
        for (; writesSeen < writes.size(); ++writesSeen) {
            const std::vector<BYTE>& value = writes[writesSeen].value;
            DWORD code = 0;
            for (int i = 3; i >= 0 && value.size() >= 32; --i)
                code = code << 8 | value[28 + i];
            step.commands.push_back(code);
        }
        step.timerPeriod = winsim::TimerPeriod(window, MonitorTimer);
        step.windowAlive = window && winsim::DialogWindow() == window;
        steps.push_back(step);
        reply = 0;
    }

    void Perform(const MonitorEvent& event) {
        switch (event.kind) {
        case MonitorEvent::Send:
            reply = winsim::SendToWindow(window, event.message, event.wParam, 0);
            break;
        case MonitorEvent::Post:
            winsim::PostToWindow(window, event.message, event.wParam, 0);
            break;
        case MonitorEvent::Quit: {
            // What another instance removing the autostart value does.
            DWORD recipients = BSM_APPLICATIONS;
            BroadcastSystemMessageA(BSF_POSTMESSAGE, &recipients,
                                    RegisterWindowMessageA(QuitMessageName), 0, 0);
            break;
        }
        case MonitorEvent::Power:
            winsim::SetPowerStatus(event.acLineStatus, event.batteryPercent);
            break;
        case MonitorEvent::Tick:
            winsim::SetPowerStatus(event.acLineStatus, event.batteryPercent);
            winsim::AdvanceClock(winsim::TimerPeriod(window, MonitorTimer));
            break;
        case MonitorEvent::FailNext:
            winsim::FailCall(event.function);
            break;
        }
    }
};

} // namespace

MonitorRun RunMonitorThrough(const std::vector<MonitorEvent>& events,
                             const std::function<void()>& start) {
    Recorder recorder;
    // Each step first records what the previous event led to: the loop only waits again once
    // the monitor has dealt with it.
    for (const MonitorEvent& event : events)
        winsim::WhileWaiting([&recorder, event] {
            recorder.Observe();
            recorder.Perform(event);
        });
    if (start)
        start();
    else
        RunMonitor(reinterpret_cast<HINSTANCE>(0x400000));
    recorder.Observe();
    return MonitorRun{recorder.steps, winsim::MessageLoopStarved()};
}
