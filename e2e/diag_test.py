"""QX481Diag.exe under Wine: its verdict on a machine the monitor runs on and on ones it does
not, the running monitors it counts, and the one command it sends through the monitor's
channel."""

import unittest

from harness import Prefix
from machine import (CAMERA_NAME, NORMAL, SUSPEND, add_supported_camera, commands, install,
                     install_diag, run, start, wait_for_commands, wait_for_exit)

QUIT_WITHIN = 5  # seconds from the end of /u to the end of the monitor


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
        done = run(self.wine, self.tool)
        lines, fields = report(done)
        self.assertEqual(done.returncode, 0, done.stdout)
        self.assertEqual(lines[-1], "verdict: runs")
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
            self.assertEqual(lines[-1], "verdict: does not run: no supported camera is installed")
            self.assertEqual(commands(wine), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
