"""A test prefix set up as a machine QX481Mon.exe runs on, for the whole-program tests and the demo.

    with Prefix("program") as wine:
        add_supported_camera(wine)              # the USB camera and its capture device
        exe = install(wine, r"C:\\e2e\\sub dir")  # the exe, the stand-in DLLs in system32
        tool = install_diag(wine)               # the support tool, likewise
        monitor = start(wine, exe, "/i")        # the exe's own process gets the stand-ins
        wait_for_commands(wine, 1)              # [(pid, 5)]: the camera was told Normal
        run_value(wine)                         # "C:\\windows\\QX481Mon.exe", or None

The camera is a USB device in the imaging class, created through SetupAPI (add_devices),
whose driver key holds its friendly name and SelectiveSuspend 1; TestCamera.dll is registered
as the video input device of the same name. Wine's own configuration manager and power policy
are stubs, so the exe runs with the stand-in cfgmgr32.dll and powrprof.dll, put where the system
keeps its own (C:\\windows\\system32), since the support tool loads them from there by full path.
The stand-in powrprof reads the critical battery level from C:\\e2e\\critical.txt on
every call (set_critical_level); without that file the monitor's battery ticks decide nothing.
"""

import re
import shutil
import subprocess
import time

from harness import binary, device, diag, product, setup_program

CAMERA_NAME = "QX481 USB Camera"
CAMERA_INSTANCE = r"USB\VID_0C45&PID_63F5&MI_00\6&1234&0&0000"
CAMERA_HWIDS = [r"USB\VID_0C45&PID_63F5&REV_0100&MI_00", r"USB\VID_0C45&PID_63F5&MI_00"]
RUN_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Run"
VALUE_NAME = "QX481Mon"
STAND_INS = ["cfgmgr32.dll", "powrprof.dll"]
OVERRIDES = "cfgmgr32,powrprof=n"
CRITICAL_LEVEL_FILE = r"C:\e2e\critical.txt"
ENVIRONMENT = {"E2E_CRITICAL_LEVEL_FILE": CRITICAL_LEVEL_FILE}
PROPERTY = ("{CCA349DA-4FE2-423A-AA50-E6F352575CBC}", "0x807")

SUSPEND, SESSION_END, BATTERY_LOW, NORMAL = 2, 3, 4, 5
COMMAND_NAMES = {SUSPEND: "Suspend", SESSION_END: "SessionEnd", BATTERY_LOW: "BatteryLow",
                 NORMAL: "Normal"}


def add_supported_camera(wine):
    """The camera's USB device and the capture device its driver provides."""
    wine.add_devices(device(CAMERA_INSTANCE, *CAMERA_HWIDS,
                            values=[("FriendlyName", "sz", CAMERA_NAME),
                                    ("SelectiveSuspend", "dword", 1)]))
    wine.add_camera(CAMERA_NAME)


def host_path(wine, path):
    """The host path of a path on drive C."""
    return wine.drive_c.joinpath(*path.split("\\")[1:])


def install(wine, directory="C:\\e2e", names=("QX481Mon.exe", *STAND_INS)):
    """Copies the exe into a directory of drive C and the stand-in DLLs into the system folder;
    the exe's path back."""
    host = host_path(wine, directory)
    host.mkdir(parents=True, exist_ok=True)
    system = host_path(wine, r"C:\windows\system32")
    ours = {"QX481Mon.exe": product(), "QX481Diag.exe": diag()}
    for name in names:
        target = system / name if name in STAND_INS else host / name
        # Wine's own files there are hard links into the template: never written through.
        target.unlink(missing_ok=True)
        shutil.copyfile(ours.get(name) or binary(name), target)
    return directory + "\\QX481Mon.exe"


def install_diag(wine, directory="C:\\e2e"):
    """Copies the support tool and the stand-in DLLs into a directory of drive C; its path back."""
    install(wine, directory, ("QX481Diag.exe", *STAND_INS))
    return directory + "\\QX481Diag.exe"


def start(wine, exe, *args):
    return wine.start(exe, *args, overrides=OVERRIDES, env=ENVIRONMENT)


def run(wine, exe, *args, timeout=20):
    return wine.run(exe, *args, overrides=OVERRIDES, env=ENVIRONMENT, timeout=timeout)


def log_on(wine):
    """Does what Wine does at log-on: starts every program the machine's Run key names, without
    waiting for them. A program with stand-in DLLs beside it gets them; others get Wine's."""
    done = wine.run("wineboot", overrides=OVERRIDES + ",b", env=ENVIRONMENT)
    assert done.returncode == 0, done.stderr


def setup_command(wine, *args):
    """The command line that runs QX481Setup.exe, copied into the prefix, with args. The monitor
    it starts inherits the stand-ins' overrides: the copy in the Windows directory loads the
    stand-ins when they were put there too (install with names=STAND_INS)."""
    return " ".join([f'"{wine.put(setup_program())}"', *args])


def run_setup(wine, *args):
    return run_command_line(wine, setup_command(wine, *args))


def start_command_line(wine, command_line):
    """Starts a command line as it stands, as a deployment tool hands one to the system, and
    waits for it in the background: cmd takes it verbatim from a variable and starts it with
    start /wait. exit_code reads the program's exit code when it has ended."""
    (wine.e2e / "exit_code.cmd").write_text(
        '@start "" /wait %E2E_COMMAND%\r\n@echo exit code %errorlevel%\r\n')
    return wine.start("cmd", "/c", r"C:\e2e\exit_code.cmd", overrides=OVERRIDES + ",b",
                      env={**ENVIRONMENT, "E2E_COMMAND": command_line})


def exit_code(process, timeout=60):
    """The whole exit code of what start_command_line started: wine itself passes on only its
    low 8 bits (3010 would arrive as 194), so cmd prints it."""
    process.wait(timeout)
    output = process.stdout_path.read_text()
    code = re.search(r"^exit code (-?\d+)", output, re.MULTILINE)
    assert code, (output, process.stderr_path.read_text())
    return int(code.group(1))


# What cmd's start prints when Wine could not start the program at all, as happens now and then
# on a busy machine: nothing was run, so it is tried again.
NOT_STARTED = "ShellExecuteEx failed"


def run_command_line(wine, command_line, tries=3):
    """Runs a command line to its end (start_command_line); its exit code."""
    for _ in range(tries):
        process = start_command_line(wine, command_line)
        process.wait(60)
        if NOT_STARTED not in process.stdout_path.read_text():
            break
        time.sleep(1)
    return exit_code(process)


def monitors(wine):
    """The command lines of the running QX481Mon.exe processes."""
    return [args for _, args in wine.processes()
            if args and args[0].lower().endswith("\\qx481mon.exe")]


# What Wine's reg says of a key that is not there (in English: other languages are tried again).
KEY_MISSING = "Unable to find the specified registry key"


def registry_values(wine, key, tries=3):
    """A key's values as {name: data}, REG_DWORD data as int; None when the key is missing.
    A query that failed otherwise, as when Wine could not start reg at all, is run again."""
    for _ in range(tries):
        done = wine.run("reg", "query", key)
        if done.returncode == 0 or KEY_MISSING in done.stdout + done.stderr:
            break
    if done.returncode != 0:
        return None
    values = {}
    for line in done.stdout.splitlines():
        fields = line.strip().split("    ", 2)
        if len(fields) >= 2 and fields[1].startswith("REG_"):
            data = fields[2] if len(fields) > 2 else ""
            values[fields[0]] = int(data, 16) if fields[1] == "REG_DWORD" else data
    return values


def wait_until(condition, timeout=15):
    """Waits until condition() is true; its last result."""
    deadline = time.monotonic() + timeout
    while not (result := condition()) and time.monotonic() < deadline:
        time.sleep(0.1)
    return result


def set_critical_level(wine, level):
    (wine.e2e / "critical.txt").write_text(f"{level}\n")


def run_value(wine):
    """The autostart value's data, or None when there is none; anything but REG_SZ fails."""
    done = wine.run("reg", "query", RUN_KEY, "/v", VALUE_NAME)
    if done.returncode != 0:
        return None
    for line in done.stdout.splitlines():
        fields = line.strip().split("    ", 2)
        if fields[0] == VALUE_NAME:
            if fields[1] != "REG_SZ":
                raise AssertionError(f"autostart value of type {fields[1]}")
            return fields[2] if len(fields) > 2 else ""
    raise AssertionError(f"unexpected reg output: {done.stdout!r}")


def set_run_value(wine, data):
    wine.change("reg", "add", RUN_KEY, "/v", VALUE_NAME, "/d", data, "/f")


def commands(wine):
    """What the camera has been told so far: (pid, code) per property write, log left as is.
    A write to any other property than the command's fails."""
    if not wine.camera_log.exists():
        return []
    result = []
    for line in wine.camera_log.read_bytes().decode().split("\n"):
        if not line.endswith("\r"):
            continue  # a line still being written
        event, *fields = line[:-1].split("\t")
        if event == "set":
            fields = dict(field.split("=", 1) for field in fields)
            if (fields["set"], fields["id"]) != PROPERTY:
                raise AssertionError(f"write to another property: {line}")
            code = int.from_bytes(bytes.fromhex(fields["value"])[28:32], "little")
            result.append((fields["pid"], code))
    return result


def wait_for_commands(wine, count, timeout=15):
    """Waits until the camera has been told at least count commands; returns them all."""
    deadline = time.monotonic() + timeout
    while len(seen := commands(wine)) < count and time.monotonic() < deadline:
        time.sleep(0.05)
    return seen


def wait_for_run_value(wine, data, timeout=10):
    """Waits until the autostart value holds data (None: until there is none); returns it."""
    deadline = time.monotonic() + timeout
    while (value := run_value(wine)) != data and time.monotonic() < deadline:
        time.sleep(0.1)
    return value


def wait_for_exit(processes, timeout=15):
    """Waits for every process; their exit codes, None for one still running at the deadline."""
    deadline = time.monotonic() + timeout
    codes = []
    for process in processes:
        try:
            codes.append(process.wait(max(0.0, deadline - time.monotonic())))
        except subprocess.TimeoutExpired:
            codes.append(None)
    return codes
