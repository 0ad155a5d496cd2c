"""QX481Diag.exe under Wine: its verdict on a machine the monitor runs on and on ones it does
not, the running monitors it counts, the installed monitor's version, and the one command it
sends through the monitor's channel; and the tool as a customer starts it: from a downloads
folder that holds DLLs of the names it needs, and in a console window of its own."""

import getpass
import re
import shutil
import unittest
from datetime import datetime

from harness import Prefix, binary
from machine import (CAMERA_NAME, ENVIRONMENT, NORMAL, SUSPEND, add_supported_camera, commands,
                     exit_code, host_path, install, install_diag, registry_values, run,
                     set_run_value, start, start_command_line, wait_for_commands, wait_for_exit,
                     wait_until)

QUIT_WITHIN = 5  # seconds from the end of /u to the end of the monitor
DOWNLOADS = r"C:\users\Public\Downloads"
# As XP does for the DLLs that are not among its known ones, Wine is told to prefer a copy in
# the program's own folder (the stand-ins in the system folder are native too).
PREFER_BESIDE = "cfgmgr32,setupapi=n,b;powrprof=n"


def report(done):
    """The report's lines, and its fields by key (the last one of a key that repeats)."""
    lines = done.stdout.splitlines()
    return lines, dict(line.split(": ", 1) for line in lines)


class QualifyingMachineTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.wine = cls.enterClassContext(Prefix("diag"))
        add_supported_camera(cls.wine)
        cls.exe = install(cls.wine)
        cls.tool = install_diag(cls.wine)

    def tearDown(self):
        self.wine.take_camera_log()

    def test_runs_and_the_camera_is_told_nothing(self):
        set_run_value(self.wine, self.exe)
        done = run(self.wine, self.tool)
        lines, fields = report(done)
        self.assertEqual(done.returncode, 0, done.stdout)
        self.assertEqual(lines[-1], "verdict: runs")
        self.assertEqual(fields["installed version"], "1.01.01.00")
        self.assertEqual(fields["windows accepted"], "yes")
        self.assertEqual(fields["camera"], "found")
        self.assertEqual(fields["friendly name"], CAMERA_NAME)
        self.assertEqual(fields["selective suspend"], "1 (on)")
        self.assertTrue(fields["node"].endswith("driver loaded; found in the imaging class"))
        self.assertEqual(fields["capture devices"], "1")
        self.assertEqual(fields["command property"], "supported")
        self.assertEqual(commands(self.wine), [])

    def test_send_suspend(self):
        done = run(self.wine, self.tool, "--send", "suspend")
        lines, _ = report(done)
        self.assertEqual(done.returncode, 0, done.stdout)
        self.assertEqual(lines[-2:], ["send: suspend (2) accepted, HRESULT 0x00000000",
                                      "verdict: runs"])
        self.assertEqual([code for _, code in commands(self.wine)], [SUSPEND])

    def test_counts_the_running_monitor(self):
        monitor = start(self.wine, self.exe)
        self.assertEqual([code for _, code in wait_for_commands(self.wine, 1)], [NORMAL])
        try:
            _, fields = report(run(self.wine, self.tool))
            self.assertEqual(fields["monitors running in this session"], "1")
        finally:
            run(self.wine, self.exe, "/u")
            self.assertEqual(wait_for_exit([monitor], QUIT_WITHIN), [0])

    def test_no_dll_from_its_own_folder(self):
        tool = install_diag(self.wine, DOWNLOADS)
        log = self.wine.e2e / "planted.log"  # planted.dll writes it when loaded
        for name in ("cfgmgr32.dll", "setupapi.dll"):
            with self.subTest(planted=name):
                planted = host_path(self.wine, DOWNLOADS) / name
                shutil.copyfile(binary("planted.dll"), planted)
                try:
                    done = self.wine.run(tool, overrides=PREFER_BESIDE, env=ENVIRONMENT,
                                         timeout=20)
                finally:
                    planted.unlink()
                self.assertFalse(log.exists(), log.exists() and log.read_text())
                lines, fields = report(done)
                self.assertEqual(done.returncode, 0, done.stdout)
                self.assertEqual(fields["camera"], "found")
                self.assertEqual(fields["capture devices"], "1")
                self.assertEqual(lines[-1], "verdict: runs")
            log.unlink(missing_ok=True)

    def test_says_so_when_the_system_folder_lacks_a_function(self):
        system_copy = host_path(self.wine, r"C:\windows\system32\cfgmgr32.dll")
        system_copy.unlink()
        shutil.copyfile(binary("powrprof.dll"), system_copy)
        try:
            done = run(self.wine, self.tool)
        finally:
            install_diag(self.wine)
        self.assertEqual(done.returncode, 1, done.stdout)
        self.assertEqual(done.stdout.splitlines(), [
            r"error: C:\windows\system32\cfgmgr32.dll has no CM_Get_DevNode_Registry_PropertyA"])

    def test_in_a_window_of_its_own(self):
        """Started as from Explorer: start gives it a console window of its own."""
        desktop = prefix_desktop(self.wine)
        # Wide enough for every line, so that none wraps in the window.
        self.wine.change("reg", "add", r"HKCU\Console", "/v", "ScreenBufferSize", "/t",
                         "REG_DWORD", "/d", str(300 << 16 | 300), "/f")
        computer = registry_values(
            self.wine, r"HKLM\System\CurrentControlSet\Control\ComputerName\ComputerName")
        started = datetime.now().replace(microsecond=0)
        process = start_command_line(self.wine, f'"{self.tool}"')
        saved = wait_until(lambda: list(desktop.glob("*.txt")))
        self.assertEqual(len(saved), 1, saved)
        name = re.fullmatch(
            rf"QX481Diag-{re.escape(computer['ComputerName'])}-(\d{{8}}-\d{{6}})\.txt",
            saved[0].name)
        self.assertTrue(name, saved[0].name)
        self.assertTrue(started <= datetime.strptime(name.group(1), "%Y%m%d-%H%M%S")
                        <= datetime.now(), name.group(1))
        self.assertIsNone(process.poll(), "it did not wait")
        window = self.wine.run(self.wine.put(binary("press_enter.exe")), "QX481Diag.exe",
                               "Press Enter to close this window.")
        self.assertEqual(window.returncode, 0, window.stdout)
        self.assertEqual(exit_code(process, 20), 0)

        text = saved[0].read_bytes()
        self.assertEqual(text.count(b"\n"), text.count(b"\r\n"))
        lines = text.decode().split("\r\n")
        self.assertEqual(lines.pop(), "")
        self.assertEqual(lines, run(self.wine, self.tool).stdout.splitlines())
        # The window's lines lose the blanks that end them.
        shown = window.stdout.splitlines()
        self.assertEqual(shown[:len(lines)], [line.rstrip() for line in lines])
        self.assertEqual(shown[len(lines):], [
            "", rf"The report is saved on your desktop as C:\users\{getpass.getuser()}\Desktop"
            rf"\{saved[0].name}", "Please send this file to support.",
            "Press Enter to close this window.", ""])  # the last, the line of the cursor

    def set_version(self, version):
        self.wine.change("reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f")

    def test_windows_7(self):
        self.set_version("win7")
        try:
            done = run(self.wine, self.tool)
        finally:
            self.set_version("winxp")
        lines, fields = report(done)
        self.assertEqual(done.returncode, 1, done.stdout)
        self.assertEqual(fields["windows version"], "6.1")
        self.assertEqual(fields["camera"], "found")
        self.assertEqual(lines[-1],
                         "verdict: does not run: Windows 6.1 (platform 2) is not Windows XP")
        self.assertEqual(commands(self.wine), [])


class WithoutCameraTest(unittest.TestCase):
    def test_does_not_run_and_says_why(self):
        with Prefix("diag_no_camera") as wine:
            # The capture device alone does not qualify: it is the USB device that counts.
            wine.add_camera(CAMERA_NAME)
            done = run(wine, install_diag(wine))
            lines, fields = report(done)
            self.assertEqual(done.returncode, 1, done.stdout)
            self.assertEqual(fields["camera"], "not found")
            self.assertEqual(fields["installed version"], "(none)")
            self.assertEqual(lines[-1], "verdict: does not run: no supported camera is installed")
            self.assertEqual(commands(wine), [])


def prefix_desktop(wine):
    """The Desktop folder of the prefix's user, made a folder of the prefix: Wine links it to the
    home folder of the user running the tests."""
    desktop = host_path(wine, rf"C:\users\{getpass.getuser()}\Desktop")
    if desktop.is_symlink():
        desktop.unlink()
    desktop.mkdir(exist_ok=True)
    return desktop


if __name__ == "__main__":
    unittest.main(verbosity=2)
