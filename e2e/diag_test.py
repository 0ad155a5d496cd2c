"""QX481Diag.exe under Wine: its verdict and exit code on a machine the monitor runs on, with and
without a Run value and a running monitor, and on ones it does not run on; the installed
monitor's version, and the one command it sends through the monitor's channel; and the tool as a
customer starts it: from a downloads folder that holds DLLs of the names it needs, and in a
console window of its own; and as a script or deployment agent starts it, in a console nobody
sees, where it must end by itself."""

import getpass
import re
import shutil
import unittest
from datetime import datetime

from harness import Prefix, binary
from machine import (CAMERA_NAME, ENVIRONMENT, NORMAL, RUN_KEY, SUSPEND, VALUE_NAME,
                     add_supported_camera, commands, exit_code, host_path, install, install_diag,
                     registry_values, run, set_run_value, start, start_command_line,
                     wait_for_commands, wait_for_exit, wait_until)

QUIT_WITHIN = 5  # seconds from the end of /u to the end of the monitor
NOT_STARTED, NOT_RUNNING, COULD_NOT_LOOK = 5, 6, 7  # exit codes
REGISTERED = "verdict: not running in this session: it starts at the next log-on"
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

    def setUp(self):
        set_run_value(self.wine, self.exe)

    def tearDown(self):
        self.wine.take_camera_log()

    def test_registered_and_the_camera_is_told_nothing(self):
        done = run(self.wine, self.tool)
        lines, fields = report(done)
        self.assertEqual(done.returncode, NOT_RUNNING, done.stdout)
        self.assertEqual(lines[-1], REGISTERED)
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
        self.assertEqual(done.returncode, NOT_RUNNING, done.stdout)
        self.assertEqual(lines[-2:], ["send: suspend (2) accepted, HRESULT 0x00000000",
                                      REGISTERED])
        self.assertEqual([code for _, code in commands(self.wine)], [SUSPEND])

    def test_verdicts(self):
        """What starts the monitor at log-on, and whether one runs in this session."""
        missing = r"C:\e2e\gone\QX481Mon.exe"
        # Run value (None: none) and its type, a monitor running, exit code, verdict.
        rows = [(self.exe, "REG_SZ", True, 0, "verdict: runs"),
                (None, None, True, NOT_STARTED, "verdict: not started at log-on: no Run value"),
                (missing, "REG_SZ", False, NOT_STARTED,
                 "verdict: not started at log-on: the Run value names a missing file"),
                (self.exe, "REG_SZ", False, NOT_RUNNING, REGISTERED),
                # Log-on expands the one and does not start the other.
                (r"%SystemDrive%\e2e\QX481Mon.exe", "REG_EXPAND_SZ", False, NOT_RUNNING,
                 REGISTERED),
                ("1", "REG_DWORD", False, NOT_STARTED,
                 "verdict: not started at log-on: the Run value is not a file name")]
        for value, kind, running, code, verdict in rows:
            with self.subTest(value=value, kind=kind, running=running):
                if running:
                    monitor = start(self.wine, self.exe)
                    self.assertEqual([told for _, told in wait_for_commands(self.wine, 1)],
                                     [NORMAL])
                try:
                    # The monitor's start leaves the Run value as it finds it.
                    self.wine.run("reg", "delete", RUN_KEY, "/v", VALUE_NAME, "/f")
                    if value:
                        self.wine.change("reg", "add", RUN_KEY, "/v", VALUE_NAME, "/t", kind,
                                         "/d", value, "/f")
                    done = run(self.wine, self.tool)
                    lines, fields = report(done)
                    self.assertEqual(done.returncode, code, done.stdout)
                    self.assertEqual(lines[-1], verdict)
                    self.assertEqual(fields["monitors running in this session"],
                                     "1" if running else "0")
                finally:
                    if running:
                        run(self.wine, self.exe, "/u")
                        self.assertEqual(wait_for_exit([monitor], QUIT_WITHIN), [0])
                        self.wine.take_camera_log()

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
                self.assertEqual(done.returncode, NOT_RUNNING, done.stdout)
                self.assertEqual(fields["camera"], "found")
                self.assertEqual(fields["capture devices"], "1")
                self.assertEqual(lines[-1], REGISTERED)
            log.unlink(missing_ok=True)

    def test_says_so_when_the_system_folder_lacks_a_dll_or_function(self):
        """It reports all it can without them, and its command line counts as ever."""
        system_copy = host_path(self.wine, r"C:\windows\system32\cfgmgr32.dll")
        saved = host_path(self.wine, r"C:\e2e\report.txt")
        # What the system folder's copy holds, and what the tool then says is missing.
        rows = [(binary("powrprof.dll").read_bytes(),
                 r"C:\windows\system32\cfgmgr32.dll has no CM_Get_DevNode_Registry_PropertyA"),
                (b"not a DLL", r"C:\windows\system32\cfgmgr32.dll cannot be loaded (error 193)")]
        for content, missing in rows:
            with self.subTest(missing=missing):
                system_copy.unlink()
                system_copy.write_bytes(content)
                try:
                    done = run(self.wine, self.tool, "--save", r"C:\e2e\report.txt")
                    wrong = run(self.wine, self.tool, "--save")
                finally:
                    install_diag(self.wine)
                lines, fields = report(done)
                self.assertEqual(done.returncode, COULD_NOT_LOOK, done.stdout)
                self.assertEqual(lines[0], "tool: QX481Diag 1.01.01.00")
                self.assertEqual(fields["windows version"], "5.1")
                self.assertEqual(fields["camera"], f"not looked for ({missing})")
                self.assertEqual(fields["installed version"], "1.01.01.00")
                self.assertEqual(fields["monitors running in this session"], "0")
                self.assertEqual(lines[-1], f"verdict: could not look: {missing}")
                self.assertEqual(saved.read_bytes().decode().split("\r\n")[:-1], lines)
                saved.unlink()
                self.assertEqual(wrong.returncode, 2, wrong.stdout)
                self.assertTrue(wrong.stdout.startswith("usage: QX481Diag "), wrong.stdout)

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
        self.assertEqual(exit_code(process, 20), NOT_RUNNING)

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

    def test_started_unseen_ends_by_itself(self):
        """Started by a script or a deployment agent in a console of its own that nobody sees, it
        gives its exit code and ends, and leaves no file on a desktop."""
        desktop = prefix_desktop(self.wine)
        before = set(desktop.iterdir())
        launcher = self.wine.put(binary("start_unseen.exe"))
        for how in ("nowindow", "hidden"):
            with self.subTest(how=how):
                done = run(self.wine, launcher, how, f'"{self.tool}"', timeout=30)
                self.assertEqual(done.stdout.strip(), f"exit code {NOT_RUNNING}", done.stdout)
                self.assertEqual(set(desktop.iterdir()), before)

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
