"""QX481Mon.exe itself under Wine: its switches, the start-up gate, the autostart value and the
start at log-on it makes, the monitor's start, the system's end of session, and the quit that
/u broadcasts to every running monitor."""

import time
import unittest

from harness import Prefix, binary
from machine import (CAMERA_NAME, NORMAL, SESSION_END, add_supported_camera, commands, install,
                     log_on, run, run_value, set_run_value, start, wait_for_commands, wait_for_exit,
                     wait_for_run_value)

WINDOWS_COPY = r"C:\windows\QX481Mon.exe"
PROMPTLY = 10  # seconds for a run that must not start a monitor
QUIT_WITHIN = 5  # seconds from the end of /u to the end of every monitor


class WithoutCameraTest(unittest.TestCase):
    def test_refuses_to_run_and_drops_its_value(self):
        with Prefix("program_no_camera") as wine:
            # The capture device alone does not qualify: it is the USB device that counts.
            wine.add_camera(CAMERA_NAME)
            exe = install(wine)
            for args in [(), ("/i",), ("-I",)]:
                with self.subTest(args=args):
                    set_run_value(wine, WINDOWS_COPY)
                    done = run(wine, exe, *args, timeout=PROMPTLY)
                    self.assertEqual(done.returncode, 0)
                    self.assertIsNone(run_value(wine))
            # The copy the value names, started at log-on, drops the value by itself.
            install(wine, "C:\\windows")
            set_run_value(wine, WINDOWS_COPY)
            log_on(wine)
            self.assertIsNone(wait_for_run_value(wine, None))
            self.assertEqual(commands(wine), [])


class WithCameraTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.wine = cls.enterClassContext(Prefix("program"))
        add_supported_camera(cls.wine)
        cls.exe = install(cls.wine)

    def tearDown(self):
        # No monitor outlives its test, whatever the test did.
        running = [p for p in self.wine.started if p.poll() is None]
        if running:
            run(self.wine, self.exe, "/u")
            wait_for_exit(running)
        self.wine.take_camera_log()

    def start_monitors(self, *commandLines):
        """Starts one monitor per command line and waits until each has sent Normal."""
        monitors = [start(self.wine, self.exe, *args) for args in commandLines]
        seen = wait_for_commands(self.wine, len(monitors))
        self.assertEqual(sorted(code for _, code in seen), [NORMAL] * len(monitors))
        self.assertEqual(len({pid for pid, _ in seen}), len(monitors))
        self.assertEqual([m.poll() for m in monitors], [None] * len(monitors))
        self.wine.take_camera_log()
        return monitors

    def uninstall(self, monitors, *args):
        """Runs the exe with the given switches and checks that every monitor then ends
        quickly, with exit code 0 and without a word to the camera."""
        done = run(self.wine, self.exe, *args, timeout=PROMPTLY)
        self.assertEqual(done.returncode, 0)
        ended = time.monotonic()
        self.assertEqual(wait_for_exit(monitors, QUIT_WITHIN), [0] * len(monitors))
        self.assertLess(time.monotonic() - ended, QUIT_WITHIN)
        self.assertEqual(commands(self.wine), [])

    def test_install_names_the_windows_directory_wherever_the_exe_runs_from(self):
        elsewhere = install(self.wine, r"C:\e2e\sub dir")
        monitor = start(self.wine, elsewhere, "/i")
        seen = wait_for_commands(self.wine, 1)
        self.assertEqual([code for _, code in seen], [NORMAL])
        self.assertIsNone(monitor.poll())
        self.assertEqual(run_value(self.wine), WINDOWS_COPY)
        self.wine.take_camera_log()
        self.uninstall([monitor], "/u")
        self.assertIsNone(run_value(self.wine))

    def test_uninstall_ends_every_running_monitor(self):
        monitors = self.start_monitors(("/i",), ())
        self.assertEqual(run_value(self.wine), WINDOWS_COPY)
        self.uninstall(monitors, "-U")
        self.assertIsNone(run_value(self.wine))

    def test_install_and_uninstall_on_one_command_line(self):
        # What was there before, the switches: neither order starts a monitor or leaves a value.
        for before, args in [(None, ("/i", "/u")), (WINDOWS_COPY, ("/u", "/i"))]:
            with self.subTest(args=args):
                monitors = self.start_monitors(())
                if before:
                    set_run_value(self.wine, before)
                self.uninstall(monitors, *args)
                self.assertIsNone(run_value(self.wine))

    def test_log_on_starts_the_copy_the_value_names(self):
        # Placing the copy in the Windows directory is the installer's business.
        install(self.wine, "C:\\windows")
        first = self.start_monitors(("/i",))
        log_on(self.wine)
        seen = wait_for_commands(self.wine, 1)
        self.assertEqual([code for _, code in seen], [NORMAL])
        self.assertEqual(run_value(self.wine), WINDOWS_COPY)
        self.wine.take_camera_log()
        # One quit ends the monitor started here and the one started at log-on.
        self.uninstall(first, "/u")
        gone = self.wine.run(self.wine.put(binary("monitor_tool.exe")), "gone")
        self.assertEqual(gone.stdout.strip(), "gone")

    def test_session_end_from_the_system(self):
        # Wine's own end of session asks each process's windows, tells them the answer, and
        # ends the process. A veto would stop it there: that monitor would live on and the
        # other one would never be asked.
        monitors = self.start_monitors((), ())
        done = self.wine.run("wineboot", "--end-session", timeout=PROMPTLY)
        self.assertEqual(done.returncode, 0)
        self.assertEqual(wait_for_exit(monitors, QUIT_WITHIN), [0, 0])
        told = commands(self.wine)
        self.assertEqual(sorted(code for _, code in told), [SESSION_END] * 4)
        self.assertEqual(len({pid for pid, _ in told}), 2)

    def test_long_command_lines(self):
        # Thousands of characters around the switches, in many tokens or in one.
        monitors = self.start_monitors(["/x"] * 2000 + ["/i"], ["x" * 8000])
        self.assertEqual(run_value(self.wine), WINDOWS_COPY)
        self.uninstall(monitors, *(["-x"] * 2000 + ["/u"] + ["/i"] * 1000))
        self.assertIsNone(run_value(self.wine))


class WindowsVersionTest(unittest.TestCase):
    def test_only_xp_runs_the_monitor(self):
        with Prefix("program_windows_version") as wine:
            add_supported_camera(wine)
            exe = install(wine)
            for version, runs in [("winxp", True), ("win7", False), ("win2k", False)]:
                with self.subTest(version=version):
                    wine.change("reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d",
                                version, "/f")
                    set_run_value(wine, WINDOWS_COPY)
                    if runs:
                        monitor = start(wine, exe, "/i")
                        self.assertEqual(wait_for_commands(wine, 1)[0][1], NORMAL)
                        self.assertEqual(run_value(wine), WINDOWS_COPY)
                        run(wine, exe, "/u")
                        self.assertEqual(wait_for_exit([monitor], QUIT_WITHIN), [0])
                        wine.take_camera_log()
                    else:
                        done = run(wine, exe, "/i", timeout=PROMPTLY)
                        self.assertEqual(done.returncode, 0)
                        self.assertIsNone(run_value(wine))
                        self.assertEqual(commands(wine), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
