"""The program's main job, shown step by step: QX481Mon.exe under Wine on a fresh machine that
reports Windows XP, with a supported USB camera whose capture device is TestCamera.dll.

It installs the program with the setup program, silently as a deployment would, which starts
the monitor, plays the system's power and session events to the monitor's hidden window with
monitor_tool.exe, moves the critical battery level of the stand-in power policy between two
battery ticks, and uninstalls with the command the Uninstall entry gives for a silent removal.
After each step it prints what the camera was told (from TestCamera's log) and checks it, and
after the install and the uninstall what is on the machine: the program's file, its Run value,
its Uninstall entry and its monitor.
Exits 1 when a step shows something other than it should. The Wine prefix, its template and
every Wine process are gone when it ends.

Run by scripts/demo.sh after the xp build (or the x64 one, see scripts/wine-arch.sh), with
E2E_BUILD, E2E_PRODUCT and E2E_SETUP set as for the tests.
"""

import shutil
import sys
import tempfile
import time
from pathlib import Path

import harness
from harness import Prefix, binary, product, setup_program
from machine import (BATTERY_LOW, CAMERA_HWIDS, CAMERA_INSTANCE, CAMERA_NAME, COMMAND_NAMES,
                     NORMAL, RUN_KEY, SESSION_END, STAND_INS, SUSPEND, VALUE_NAME,
                     add_supported_camera, host_path, install, monitors, registry_values,
                     run_command_line, run_setup, run_value, set_critical_level,
                     wait_for_commands, wait_until)

WM_QUERYENDSESSION, WM_ENDSESSION, WM_TIMER, WM_POWERBROADCAST = 0x0011, 0x0016, 0x0113, 0x0218
PBT_APMQUERYSUSPEND, PBT_APMSUSPEND = 0, 4
PROGRAM = r"C:\windows\QX481Mon.exe"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QX481Mon"

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
                run_steps(wine)
        finally:
            shutil.rmtree(wine.work, ignore_errors=True)  # also when a step raised
    say()
    left = wine.processes()
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
    install(wine, "C:\\windows", names=STAND_INS)
    say(f"  Wine's configuration manager and power policy are stubs: the stand-ins "
        f"{' and '.join(STAND_INS)} are in C:\\windows\\system32, where the system keeps its own")
    say("  power: Wine reports mains power and a battery charge of 255 (unknown); the stand-in "
        "power policy gives the critical battery level, 5 to begin with")
    say()


def show_machine(wine):
    """Prints what of the program is on the machine: its file, Run value, Uninstall entry and
    monitors; returns the entry."""
    file = host_path(wine, PROGRAM)
    if file.exists():
        same = "the same bytes as" if file.read_bytes() == product().read_bytes() else "NOT"
        say(f"  {PROGRAM}: {file.stat().st_size} bytes, {same} build/.../QX481Mon.exe")
    else:
        say(f"  {PROGRAM}: (none)")
    value = run_value(wine)
    say(f"  Run value {VALUE_NAME} under {RUN_KEY}: {value if value is not None else '(none)'}")
    entry = registry_values(wine, UNINSTALL_KEY)
    say(f"  {UNINSTALL_KEY}:" + (" (none)" if entry is None else ""))
    for name, data in (entry or {}).items():
        say(f"    {name} = {data}")
    running = monitors(wine)
    say(f"  monitors running: {', '.join(' '.join(args) for args in running) or '(none)'}")
    return entry, running


def run_steps(wine):
    demo = Demo(wine)
    setup = wine.put(setup_program())
    say(f"1. Install: {setup} /S ({setup_program().stat().st_size} bytes)")
    check("Run value before the install", demo.show_run_value("before"), None)
    code = run_setup(wine, "/S")
    say(f"  the setup program exited with code {code}")
    check("exit code of the install", code, 0)
    found = wine.run(demo.tool, "find")
    say("  the monitor is running: "
        + ("hidden window found" if found.returncode == 0 else "NO WINDOW FOUND"))
    if not check("monitor window", found.returncode, 0):
        return
    demo.camera_received([NORMAL], "the start")
    entry, running = show_machine(wine)
    check("Run value after the install", run_value(wine), PROGRAM)
    check("file installed", host_path(wine, PROGRAM).read_bytes() == product().read_bytes(), True)
    check("monitors after the install", running, [[PROGRAM, "/i"]])
    if not check("Uninstall entry", entry is not None, True):
        return
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

    command = entry["QuietUninstallString"]
    say(f"5. Uninstall: {command}")
    begin = time.monotonic()
    code = run_command_line(wine, command)
    say(f"  the uninstaller exited with code {code} after {time.monotonic() - begin:.1f} s")
    check("exit code of the uninstall", code, 0)
    demo.camera_received([], "the uninstall")
    folder = host_path(wine, entry["InstallLocation"])
    gone = wait_until(lambda: not folder.exists(), 10)
    say(f"  {entry['InstallLocation']}, the uninstaller's folder: "
        + ("removed once the uninstaller had ended" if gone else "STILL THERE"))
    check("uninstaller's folder removed", gone, True)
    entry, running = show_machine(wine)
    check("Run value after the uninstall", run_value(wine), None)
    check("file removed", host_path(wine, PROGRAM).exists(), False)
    check("Uninstall entry removed", entry, None)
    check("monitors after the uninstall", running, [])


if __name__ == "__main__":
    sys.exit(main())
