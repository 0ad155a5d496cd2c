"""The program's main job, shown step by step: QX481Mon.exe under Wine on a fresh machine that
reports Windows XP, with a supported USB camera whose capture device is TestCamera.dll.

It installs the program with /i, which starts the monitor, plays the system's power and
session events to the monitor's hidden window with monitor_tool.exe, moves the critical
battery level of the stand-in power policy between two battery ticks, and uninstalls with /u.
After each step it prints what the camera was told (from TestCamera's log) and checks it.
Exits 1 when a step shows something other than it should. The Wine prefix, its template and
every Wine process are gone when it ends.

Run by scripts/demo.sh after the xp build (or the x64 one, see scripts/wine-arch.sh), with E2E_BUILD and E2E_PRODUCT set as for the tests.
"""

import shutil
import sys
import tempfile
import time
from pathlib import Path

import harness
from harness import Prefix, binary
from machine import (BATTERY_LOW, CAMERA_HWIDS, CAMERA_INSTANCE, CAMERA_NAME, COMMAND_NAMES,
                     NORMAL, RUN_KEY, SESSION_END, SUSPEND, VALUE_NAME, add_supported_camera,
                     install, run, run_value, set_critical_level, start, wait_for_commands,
                     wait_for_exit)

WM_QUERYENDSESSION, WM_ENDSESSION, WM_TIMER, WM_POWERBROADCAST = 0x0011, 0x0016, 0x0113, 0x0218
PBT_APMQUERYSUSPEND, PBT_APMSUSPEND = 0, 4
INSTALLED_FROM = r"C:\Program Files\QX481"

failures = []


def say(text=""):
    print(text, flush=True)


def check(what, actual, expected):
    if actual == expected:
        return True
    failures.append(what)
    say(f"    !! {what}: expected {expected}, got {actual}")
    return False


def describe(codes):
    return ", ".join(f"{COMMAND_NAMES.get(c, 'unknown')} (code {c})" for c in codes) or "nothing"


class Demo:
    def __init__(self, wine):
        self.wine = wine
        self.tool = wine.put(binary("monitor_tool.exe"))
        self.told = 0  # camera log writes already reported

    def camera_received(self, expected, after):
        """Reports the commands that reached the camera since the last report."""
        seen = wait_for_commands(self.wine, self.told + len(expected), 10)[self.told:]
        self.told += len(seen)
        codes = [code for _, code in seen]
        say(f"    camera received: {describe(codes)}")
        check(f"camera commands after {after}", describe(codes), describe(expected))

    def send(self, name, message, wparam, expected_reply, meaning, expected):
        done = self.wine.run(self.tool, "send", hex(message), str(wparam))
        reply = done.stdout.split("->")[-1].strip() if done.returncode == 0 else "none"
        say(f"  {name}: the window answered {reply} ({meaning})")
        check(f"reply to {name}", reply, str(expected_reply))
        self.camera_received(expected, name)

    def tick(self, level, note, expected):
        set_critical_level(self.wine, level)
        done = self.wine.run(self.tool, "send", hex(WM_TIMER), "101")
        ok = done.returncode == 0 and "timeout" not in done.stdout
        check("battery tick delivered", ok, True)
        say(f"  WM_TIMER with the critical level at {level}: {note}")
        self.camera_received(expected, f"the tick at level {level}")

    def show_run_value(self, when):
        value = run_value(self.wine)
        say(f"  Run value {VALUE_NAME} {when}: {value if value is not None else '(none)'}")
        return value


def main():
    started = time.monotonic()
    say("QX481Mon.exe under Wine, on a fresh machine that reports Windows XP")
    say()
    with tempfile.TemporaryDirectory(prefix="qx481-demo-") as temp:
        harness.TEMPLATE = Path(temp) / "template"  # a fresh one, not the tests' cached one
        wine = Prefix("demo")
        try:
            with wine:
                prepare(wine, started)
                run_steps(wine, install(wine, INSTALLED_FROM))
        finally:
            shutil.rmtree(wine.work, ignore_errors=True)  # also when a step raised
    say()
    left = processes_of(wine.path)
    check("Wine processes left", left, [])
    check("prefix removed", wine.work.exists() or Path(temp).exists(), False)
    say(f"Wine prefix removed, {len(left)} Wine processes left. "
        f"{time.monotonic() - started:.0f} s in all.")
    if failures:
        say(f"FAILED: {len(failures)} check(s) did not show what they should: "
            f"{', '.join(failures)}")
        return 1
    say("Every step showed what it should.")
    return 0


def processes_of(prefix):
    """The ids of the processes that run in the given Wine prefix."""
    marker = f"WINEPREFIX={prefix}".encode() + b"\0"
    found = []
    for environ in Path("/proc").glob("[0-9]*/environ"):
        try:
            if marker in environ.read_bytes():
                found.append(int(environ.parent.name))
        except OSError:
            pass  # gone meanwhile, or not ours to read
    return found


def prepare(wine, started):
    bits = "64-bit Wine prefix running the x86-64 test build" if harness.ARCH == "win64" else \
        "32-bit Wine prefix"
    say(f"Machine ready in {time.monotonic() - started:.0f} s: a {bits}, no display, "
        "reporting Windows XP (5.1)")
    add_supported_camera(wine)
    set_critical_level(wine, 5)
    say(f"  USB camera {CAMERA_INSTANCE}")
    say(f"    hardware IDs {', '.join(CAMERA_HWIDS)}")
    say(f'    driver settings: FriendlyName "{CAMERA_NAME}", SelectiveSuspend 1')
    say(f'  video input device "{CAMERA_NAME}": TestCamera.dll, a stand-in driver that logs '
        "each command")
    say("  power: Wine reports mains power and a battery charge of 255 (unknown); the stand-in "
        "power policy gives the critical battery level, 5 to begin with")
    say()


def run_steps(wine, exe):
    demo = Demo(wine)
    say(f"1. Install: {exe} /i")
    check("Run value before /i", demo.show_run_value("before"), None)
    monitor = start(wine, exe, "/i")
    found = wine.run(demo.tool, "find")
    say("  the monitor is running: "
        + ("hidden window found" if found.returncode == 0 else "NO WINDOW FOUND"))
    if not check("monitor window", found.returncode, 0):
        return
    demo.camera_received([NORMAL], "the start")
    check("Run value after /i", demo.show_run_value(f"after (under {RUN_KEY})"),
          r"C:\windows\QX481Mon.exe")
    say()

    say("2. The system is about to suspend")
    demo.send("WM_POWERBROADCAST PBT_APMQUERYSUSPEND", WM_POWERBROADCAST, PBT_APMQUERYSUSPEND,
              1, "suspend allowed", [SUSPEND])
    demo.send("WM_POWERBROADCAST PBT_APMSUSPEND", WM_POWERBROADCAST, PBT_APMSUSPEND, 0,
              "an answer the system does not look at", [SUSPEND])
    say()

    say("3. The user session ends")
    demo.send("WM_QUERYENDSESSION", WM_QUERYENDSESSION, 0, 1, "log-off allowed", [SESSION_END])
    demo.send("WM_ENDSESSION", WM_ENDSESSION, 1, 0, "an answer the system does not look at",
              [SESSION_END])
    say()

    say("4. Battery ticks. Under Wine the charge reads 255 (unknown) on mains power, so the")
    say("   critical level moves instead; on mains the band is the level and one point below it")
    demo.tick(5, "255 is above the level, nothing to report", [])
    demo.tick(255, "255 is within one point of the level", [BATTERY_LOW])
    demo.tick(255, "still in the band, already reported", [])
    demo.tick(5, "255 has left the band", [NORMAL])
    say()

    say(f"5. Uninstall: {exe} /u")
    begin = time.monotonic()
    done = run(wine, exe, "/u")
    say(f"  QX481Mon.exe /u exited with code {done.returncode}")
    check("exit code of /u", done.returncode, 0)
    code = wait_for_exit([monitor], 10)[0]
    say(f"  the monitor quit {time.monotonic() - begin:.1f} s after /u started, exit code {code}")
    check("monitor exit code", code, 0)
    demo.camera_received([], "/u")
    check("Run value after /u", demo.show_run_value("after"), None)


if __name__ == "__main__":
    sys.exit(main())
