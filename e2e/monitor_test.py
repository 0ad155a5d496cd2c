"""The monitor under Wine: monitor_host.exe runs the real monitor, channel and battery policy
for a TestCamera device; monitor_tool.exe plays the other processes (the system's messages, an
uninstall's quit broadcast); the camera's log shows the commands. Wine's power policy call is a
stub, so powrprof.dll here stands in for it, with the critical level this test writes."""

import os
import unittest

from harness import Prefix, binary

WM_NULL, WM_QUERYENDSESSION, WM_ENDSESSION = 0x0000, 0x0011, 0x0016
WM_TIMER, WM_POWERBROADCAST, WM_USER = 0x0113, 0x0218, 0x0400
PBT_APMQUERYSUSPEND, PBT_APMSUSPEND = 0, 4
PBT_APMRESUMESUSPEND, PBT_APMPOWERSTATUSCHANGE = 7, 10
BROADCAST_QUERY_DENY = 0x424D5144
E_FAIL = 0x80004005

SUSPEND, SESSION_END, BATTERY_LOW, NORMAL = 2, 3, 4, 5

CAMERA = "QX481 Camera"
LEVEL_FILE = r"C:\e2e\critical_level.txt"

# Wine reports mains (AC 1) and an unknown battery (255): on mains the band is L-1 and L, so
# with P = 255 a level of 255 or 256 is in the band, anything below 255 is past the level and
# 300 is far off, which re-arms the timer at 120000 ms and keeps the monitor's own ticks out of
# the way while this test sends its own.
# (critical level or None for a failing policy read, WM_TIMER id, commands)
TICKS = [
    (300, 101, []),
    (255, 101, [BATTERY_LOW]),
    (255, 7, []),
    (None, 101, []),
    (200, 0, [NORMAL]),
    (256, 101, [BATTERY_LOW]),
    (254, 101, [NORMAL]),
]

# (message, wParam, reply, commands) with a camera that takes every write. The replies are what
# the dialog manager makes of the procedure's results: DWLP_MSGRESULT when it returns nonzero
# (TRUE only for the two queries), the default processing when it returns 0.
EVENTS = [
    (WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 1, [SUSPEND]),
    (WM_POWERBROADCAST, PBT_APMSUSPEND, 0, [SUSPEND]),
    (WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, []),
    (WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE, 0, []),
    (WM_QUERYENDSESSION, 0, 1, [SESSION_END]),
    (WM_ENDSESSION, 1, 0, [SESSION_END]),
    (WM_QUERYENDSESSION, 0, 1, [SESSION_END]),
    (WM_ENDSESSION, 0, 0, [SESSION_END]),
    (WM_USER, 0, 0, []),
    (WM_NULL, 0, 0, []),
]

# The same queries once the camera rejects every write: WM_QUERYENDSESSION is still granted.
# The suspend query falls to the default processing, whose reply is not a denial.
REJECTED = [
    (WM_QUERYENDSESSION, 0, 1, [SESSION_END]),
    (WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, None, [SUSPEND]),
    (WM_ENDSESSION, 1, 0, [SESSION_END]),
]


def commands(log):
    """The command codes of the writes in a camera log: the property buffer's eighth word."""
    return [int.from_bytes(bytes.fromhex(e["value"])[28:32], "little")
            for e in log if e["event"] == "set"]


class MonitorTest(unittest.TestCase):
    def setUp(self):
        self.wine = self.enterContext(Prefix("monitor"))
        self.wine.add_camera(CAMERA)
        self.host = self.wine.put(binary("monitor_host.exe"))
        self.wine.put(binary("powrprof.dll"))
        self.tool = self.wine.put(binary("monitor_tool.exe"))
        self.level = self.wine.e2e / "critical_level.txt"
        self.replies = []

    def start_monitor(self):
        monitor = self.wine.start(self.host, CAMERA, overrides="powrprof=n",
                                  env={"E2E_CRITICAL_LEVEL_FILE": LEVEL_FILE})
        found = self.wine.run(self.tool, "find")
        self.assertEqual(0, found.returncode, found.stdout + found.stderr)
        return monitor

    def send(self, message, wparam):
        done = self.wine.run(self.tool, "send", hex(message), str(wparam))
        self.assertEqual(0, done.returncode, done.stderr)
        reply = done.stdout.split("->")[-1].strip()
        self.assertNotEqual("timeout", reply)
        self.replies.append(f"0x{message:04x} {wparam}: {reply}")
        return int(reply)

    def check(self, table):
        for message, wparam, reply, codes in table:
            with self.subTest(message=hex(message), wparam=wparam):
                got = self.send(message, wparam)
                if reply is None:
                    self.assertNotEqual(BROADCAST_QUERY_DENY, got)
                else:
                    self.assertEqual(reply, got)
                self.assertEqual(codes, commands(self.wine.take_camera_log()))

    def test_events_ticks_and_quit(self):
        monitor = self.start_monitor()
        self.assertEqual([NORMAL], commands(self.wine.take_camera_log()))

        for level, timer_id, codes in TICKS:
            with self.subTest(level=level, timer_id=timer_id):
                if level is None:
                    self.level.unlink(missing_ok=True)
                else:
                    self.level.write_text(str(level))
                self.assertEqual(0, self.send(WM_TIMER, timer_id))
                self.assertEqual(codes, commands(self.wine.take_camera_log()))

        self.check(EVENTS)
        self.wine.set_camera_result(CAMERA, E_FAIL)
        self.check(REJECTED)

        quit = self.wine.run(self.tool, "quit")
        self.assertEqual(0, quit.returncode, quit.stdout)
        self.assertEqual(0, monitor.wait(timeout=30))
        self.assertEqual("monitor ended", monitor.stdout_path.read_text().strip())
        self.assertEqual("gone", self.wine.run(self.tool, "gone").stdout.strip())
        self.assertEqual([], commands(self.wine.take_camera_log()))
        print("\n".join(["replies:"] + self.replies))


if __name__ == "__main__":
    unittest.main()
