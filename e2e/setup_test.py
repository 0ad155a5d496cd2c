"""QX481Setup.exe under Wine, silent, as a deployment runs it: a fresh install on a machine with
the camera, the same version again over the running monitor, a newer version's over it, this
one refused over the newer, two removals each followed at once by a reinstall, the uninstall by
the command the Uninstall entry gives, and the same on a machine without the camera, there with
the file gone and its Run value left. After the uninstall the registry and drive C are as they
were before the install. An install as the system account starts no monitor and leaves the
start to the next log-on; run again so it leaves the monitor alone. The helpers here serve
setup_in_use_test.py and setup_window_test.py too."""

import os
import re
import struct
import time
import unittest

from harness import Prefix, binary, product
from machine import (NORMAL, RUN_KEY, STAND_INS, VALUE_NAME, add_supported_camera, commands,
                     host_path, install, log_on, monitors, registry_values, run_command_line,
                     run_setup, run_value, set_run_value, wait_for_commands, wait_for_run_value,
                     wait_until)

PROGRAM = r"C:\windows\QX481Mon.exe"
FOLDER = r"C:\Program Files\QX481"
UNINSTALLER = FOLDER + r"\QX481Uninstall.exe"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\QX481Mon"
SESSION_MANAGER = r"HKLM\System\CurrentControlSet\Control\Session Manager"
DONE, REFUSED, RESTART_NEEDED = 0, 2, 3010
# A build of the same sources as a newer version (e2e/CMakeLists.txt), and its setup program.
NEWER_PROGRAM, NEWER_SETUP = binary("newer/QX481Mon.exe"), binary("newer/QX481Setup.exe")
NEWER_VERSION = re.search(r'QX481_FILEVERSION_TEXT "(.*)"',
                          binary("newer/res/version.h").read_text())[1]
# The fixed part of a version block starts with this signature, followed by the structure's
# version and the file version's high and low halves.
FIXED_FILE_INFO = struct.pack("<I", 0xFEEF04BD)

# What Wine changes by itself between two snapshots, whatever runs in between.
# Wine 8's regedit exports the control set as CurrentControlSet, Wine 10's as ControlSet001.
CONTROL_SET = r"HKEY_LOCAL_MACHINE\\System\\(CurrentControlSet|ControlSet\d{3})"
WINE_OWN_KEYS = [
    # Wine sets its display adapter and monitor up afresh when a session first opens a window.
    r"HKEY_LOCAL_MACHINE\\Hardware\\DEVICEMAP\\VIDEO\b",
    CONTROL_SET + r"\\Control\\Video\b",
    CONTROL_SET + r"\\Hardware Profiles\\Current\\System\b",
    CONTROL_SET + r"\\Control\\Class\\\{4D36E96[8E]-E325-11CE-BFC1-08002BE10318\}",
    CONTROL_SET + r"\\Control\\DeviceClasses\\[^\\]+\\"
    r"##\?#(PCI#VEN_0000&DEV_0000&|DISPLAY#Default_Monitor#)",
    # wineboot makes the 32-bit view's Run key when it starts what the Run keys name (log_on).
    r"HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run$",
    # Wine counts the services it has started.
    CONTROL_SET + r"\\Control\\ServiceCurrent$",
    # Its console host keeps its defaults there once the first console opens (cmd's, which runs
    # the tests' command lines), and user32 the session's system parameters.
    r"HKEY_USERS\\[^\\]+\\Console$",
    r"HKEY_USERS\\[^\\]+\\Software\\Wine\\Temporary System Parameters\b",
]
# The harness's own folder on drive C: the camera's log, the exports, the setup program.
TEST_FOLDER = "e2e"


def snapshot(wine, name):
    """The whole registry as exported, {key: its values' text}, less the keys Wine changes by
    itself, and the set of files and folders on drive C, less the test's own."""
    done = wine.run("regedit", "/E", f"C:\\{TEST_FOLDER}\\{name}.reg")
    assert done.returncode == 0, done.stderr
    text = (wine.e2e / f"{name}.reg").read_text(encoding="utf-16")
    keys = {}
    for block in text.split("\n\n[")[1:]:
        header, _, values = block.partition("\n")
        key = header.removesuffix("]")
        if not any(re.match(pattern, key, re.IGNORECASE) for pattern in WINE_OWN_KEYS):
            keys[key] = values.strip()
    assert keys, f"no registry keys read from {name}.reg"
    files = {str(path.relative_to(wine.drive_c)) for path in wine.drive_c.rglob("*")}
    return keys, {path for path in files if path.split("/")[0] != TEST_FOLDER}


def differences(before, after):
    """The keys and files that one snapshot has and the other has not, or has otherwise."""
    (keys, files), (keys_after, files_after) = before, after
    changed = [key for key in keys.keys() | keys_after.keys()
               if keys.get(key) != keys_after.get(key)]
    return sorted(changed) + sorted(files ^ files_after)


def quiet_uninstall(wine):
    """Runs the uninstaller as the Uninstall entry says to run it silently."""
    return run_command_line(wine, registry_values(wine, UNINSTALL_KEY)["QuietUninstallString"])


def pending_renames(wine):
    """PendingFileRenameOperations, the renames and deletions left for the next restart."""
    return (registry_values(wine, SESSION_MANAGER) or {}).get("PendingFileRenameOperations", "")


def monitor_processes(wine):
    """The running monitors as (process id, command line): a monitor left alone keeps its id."""
    return [(pid, args) for pid, args in wine.processes()
            if args and args[0].lower().endswith("\\qx481mon.exe")]


def modified(wine, path):
    """When the file was last written, in nanoseconds: a copy over it changes that."""
    return host_path(wine, path).stat().st_mtime_ns


def file_version(data):
    """The file version in an executable's version block, as major.minor.build.revision."""
    high, low = struct.unpack_from("<2I", data, data.index(FIXED_FILE_INFO) + 8)
    return f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}"


def put_earlier_version(wine):
    """Puts an earlier version in place of the installed QX481Mon.exe, as an earlier install
    left it: the shipped bytes with the build field of the file version one lower. Running
    monitors keep the file they started from. Its bytes back."""
    data = bytearray(product().read_bytes())
    low = data.index(FIXED_FILE_INFO) + 12
    version = int.from_bytes(data[low:low + 4], "little")
    assert version >> 16, "the build field is 0: no earlier build to make"
    data[low:low + 4] = (version - 0x10000).to_bytes(4, "little")
    program = host_path(wine, PROGRAM)
    program.with_suffix(".old").write_bytes(data)
    os.replace(program.with_suffix(".old"), program)
    return bytes(data)


def hold(wine, path):
    """Starts a program that holds the file open, as one that still uses it does."""
    holder = wine.start(wine.put(binary("hold_file.exe")), path)
    assert wait_until(lambda: holder.stdout_path.read_text() == "held\n"), "file not held"
    return holder


class SetupTest(unittest.TestCase):
    maxDiff = None

    def uninstall(self, wine, before):
        """Uninstalls silently; then no monitor is left and the machine is as before the
        install."""
        self.assertEqual(quiet_uninstall(wine), DONE)
        self.assertEqual(monitors(wine), [])
        # The uninstaller's own file goes a moment after it has ended.
        self.assertTrue(wait_until(lambda: not host_path(wine, FOLDER).exists(), 10))
        self.assertEqual(differences(before, snapshot(wine, "after")), [])

    def test_install_reinstall_and_uninstall(self):
        with Prefix("setup") as wine:
            add_supported_camera(wine)
            install(wine, r"C:\windows", names=STAND_INS)
            before = snapshot(wine, "before")

            self.assertEqual(run_setup(wine, "/S"), DONE)
            self.assertEqual(host_path(wine, PROGRAM).read_bytes(), product().read_bytes())
            self.assertEqual(wait_for_run_value(wine, PROGRAM), PROGRAM)
            sizes = sum(host_path(wine, path).stat().st_size for path in [PROGRAM, UNINSTALLER])
            self.assertEqual(registry_values(wine, UNINSTALL_KEY), {
                "DisplayName": "QX481 camera power monitor",
                "DisplayVersion": "1.01.01.00",
                "Publisher": "QX481 Camera Team",
                "UninstallString": f'"{UNINSTALLER}" _?={FOLDER}',
                "QuietUninstallString": f'"{UNINSTALLER}" /S _?={FOLDER}',
                "InstallLocation": FOLDER,
                "EstimatedSize": (sizes + 1023) // 1024,
                "NoModify": 1,
                "NoRepair": 1,
            })
            first = wait_for_commands(wine, 1)
            self.assertEqual([code for _, code in first], [NORMAL])
            self.assertEqual(monitors(wine), [[PROGRAM, "/i"]])
            wine.take_camera_log()

            # The same version again, by a user: what is in place is right, and the monitor
            # runs on, told nothing.
            monitor, written = monitor_processes(wine), modified(wine, PROGRAM)
            entry = registry_values(wine, UNINSTALL_KEY)
            self.assertEqual(run_setup(wine, "/S"), DONE)
            self.assertEqual(monitor_processes(wine), monitor)
            self.assertEqual(commands(wine), [])
            self.assertEqual(modified(wine, PROGRAM), written)
            self.assertEqual(run_value(wine), PROGRAM)
            self.assertEqual(registry_values(wine, UNINSTALL_KEY), entry)

            # A newer version over the running monitor: it quits without a word, a new one
            # starts from the new file and greets the camera.
            newer = f'"{wine.put(NEWER_SETUP, "QX481SetupNewer.exe")}" /S'
            self.assertEqual(run_command_line(wine, newer), DONE)
            told = wait_for_commands(wine, 1)
            self.assertEqual([code for _, code in told], [NORMAL])
            self.assertNotEqual(told[0][0], first[0][0])
            self.assertEqual(monitors(wine), [[PROGRAM, "/i"]])
            self.assertEqual(host_path(wine, PROGRAM).read_bytes(), NEWER_PROGRAM.read_bytes())
            self.assertEqual(registry_values(wine, UNINSTALL_KEY)["DisplayVersion"],
                             NEWER_VERSION)
            self.assertEqual(run_value(wine), PROGRAM)
            wine.take_camera_log()

            # This version over the newer one, as a stale start-up script runs it: refused, and
            # nothing changed at all.
            installed, monitor = snapshot(wine, "newer"), monitor_processes(wine)
            written = modified(wine, PROGRAM)
            self.assertEqual(run_setup(wine, "/S"), REFUSED)
            self.assertEqual(differences(installed, snapshot(wine, "refused")), [])
            self.assertEqual(monitor_processes(wine), monitor)
            self.assertEqual(commands(wine), [])
            self.assertEqual(modified(wine, PROGRAM), written)
            self.assertEqual(host_path(wine, PROGRAM).read_bytes(), NEWER_PROGRAM.read_bytes())
            self.assertEqual(registry_values(wine, UNINSTALL_KEY)["DisplayVersion"],
                             NEWER_VERSION)
            self.assertEqual(run_value(wine), PROGRAM)

            # Removed and installed again at once, twice, which goes back to this version: what
            # the uninstall leaves to delete its own file after its end must not take the new
            # install's uninstaller.
            for _ in range(2):
                self.assertEqual(quiet_uninstall(wine), DONE)
                removed = time.monotonic()
                self.assertEqual(run_setup(wine, "/S"), DONE)
                time.sleep(max(0.0, removed + 6 - time.monotonic()))
                self.assertTrue(host_path(wine, UNINSTALLER).exists())
                self.assertEqual(registry_values(wine, UNINSTALL_KEY)["QuietUninstallString"],
                                 f'"{UNINSTALLER}" /S _?={FOLDER}')
            self.assertEqual(monitors(wine), [[PROGRAM, "/i"]])
            self.assertEqual(host_path(wine, PROGRAM).read_bytes(), product().read_bytes())
            wine.take_camera_log()

            self.uninstall(wine, before)
            self.assertEqual(commands(wine), [])

    def test_as_the_system(self):
        """A computer start-up script or a distribution agent runs it as the system (a copy built
        to take Wine's one user for the system account): the Run value that the install writes
        itself is there when it ends, no monitor starts, and the next log-on starts one. Run
        again so, it leaves that monitor and the file alone and puts its entry and the Run value
        back."""
        with Prefix("setup_as_system") as wine:
            add_supported_camera(wine)
            install(wine, r"C:\windows", names=STAND_INS)
            setup = wine.put(binary("as-system/QX481Setup.exe"))
            self.assertEqual(run_command_line(wine, f'"{setup}" /S'), DONE)
            self.assertEqual(run_value(wine), PROGRAM)
            time.sleep(2)  # a monitor that /i started would have told the camera by now
            self.assertEqual(monitors(wine), [])
            self.assertEqual(commands(wine), [])
            log_on(wine)
            self.assertEqual([code for _, code in wait_for_commands(wine, 1)], [NORMAL])
            self.assertEqual(monitors(wine), [[PROGRAM]])
            wine.take_camera_log()

            monitor, written = monitor_processes(wine), modified(wine, PROGRAM)
            entry = registry_values(wine, UNINSTALL_KEY)
            wine.change("reg", "delete", RUN_KEY, "/v", VALUE_NAME, "/f")
            wine.change("reg", "delete", UNINSTALL_KEY, "/f")
            self.assertEqual(run_command_line(wine, f'"{setup}" /S'), DONE)
            self.assertEqual(monitor_processes(wine), monitor)
            self.assertEqual(commands(wine), [])
            self.assertEqual(modified(wine, PROGRAM), written)
            self.assertEqual(run_value(wine), PROGRAM)
            self.assertEqual(registry_values(wine, UNINSTALL_KEY), entry)

    def test_machine_without_the_camera(self):
        with Prefix("setup_no_camera") as wine:
            install(wine, r"C:\windows", names=STAND_INS)
            before = snapshot(wine, "before")
            self.assertEqual(run_setup(wine, "/S"), DONE)
            # The /i run finds no camera and takes its Run value away again.
            self.assertTrue(wait_until(lambda: not monitors(wine)))
            self.assertIsNone(run_value(wine))
            self.assertEqual(host_path(wine, PROGRAM).read_bytes(), product().read_bytes())
            # A cleaner has deleted the file and left the Run value naming it (written here, as
            # /i took it away): with no file to run /u from, the uninstall removes it itself.
            set_run_value(wine, PROGRAM)
            host_path(wine, PROGRAM).unlink()
            self.uninstall(wine, before)


if __name__ == "__main__":
    unittest.main(verbosity=2)
