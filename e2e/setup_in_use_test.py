"""QX481Setup.exe under Wine, silent, while another program holds QX481Mon.exe without sharing it
for writing, as a monitor in another user's session does: an upgrade, the uninstall, an install
after an uninstall that left the file to the restart, and an uninstall, once the file is free,
after an upgrade that left its file to the restart. Each but that last uninstall ends in 3010
with the change left to the restart, which Wine makes when the prefix boots again: its loader
runs `wineboot --init` for the first process, and that applies PendingFileRenameOperations before
anything else starts."""

import unittest

from harness import Prefix, product
from machine import (NORMAL, STAND_INS, add_supported_camera, host_path, install, log_on,
                     monitors, registry_values, run_setup, run_value, wait_for_commands,
                     wait_until)
from setup_test import (DONE, FOLDER, PROGRAM, RESTART_NEEDED, UNINSTALL_KEY, UNINSTALLER,
                        differences, hold, pending_renames, put_earlier_version, quiet_uninstall,
                        snapshot)


class SetupInUseTest(unittest.TestCase):
    maxDiff = None

    def test_upgrade_and_uninstall(self):
        with Prefix("setup_in_use") as wine:
            add_supported_camera(wine)
            install(wine, r"C:\windows", names=STAND_INS)
            before = snapshot(wine, "before")
            self.assertEqual(run_setup(wine, "/S"), DONE)
            old = put_earlier_version(wine)
            program = host_path(wine, PROGRAM)

            holder = hold(wine, PROGRAM)
            self.assertEqual(run_setup(wine, "/S"), RESTART_NEEDED)
            self.assertEqual(program.read_bytes(), old)
            self.assertIn(PROGRAM, pending_renames(wine))
            self.assertEqual(run_value(wine), PROGRAM)
            self.assertEqual(registry_values(wine, UNINSTALL_KEY)["DisplayVersion"], "1.01.01.00")
            self.assertTrue(host_path(wine, UNINSTALLER).exists())
            # Until the restart the earlier version runs on.
            self.assertEqual(monitors(wine), [[PROGRAM, "/i"]])

            holder.kill()
            wine.stop()
            self.assertEqual(pending_renames(wine), "")
            self.assertEqual(program.read_bytes(), product().read_bytes())
            wine.take_camera_log()
            log_on(wine)
            self.assertEqual([code for _, code in wait_for_commands(wine, 1)], [NORMAL])
            self.assertEqual(monitors(wine), [[PROGRAM]])

            holder = hold(wine, PROGRAM)
            self.assertEqual(quiet_uninstall(wine), RESTART_NEEDED)
            self.assertEqual(program.read_bytes(), product().read_bytes())
            self.assertIn(PROGRAM, pending_renames(wine))
            self.assertEqual(monitors(wine), [])
            self.assertIsNone(run_value(wine))
            self.assertIsNone(registry_values(wine, UNINSTALL_KEY))
            self.assertTrue(wait_until(lambda: not host_path(wine, FOLDER).exists(), 10))

            holder.kill()
            wine.stop()
            self.assertEqual(pending_renames(wine), "")
            self.assertFalse(program.exists())
            self.assertEqual(differences(before, snapshot(wine, "after")), [])

            # An install after such an uninstall but before its restart: the file is free now,
            # yet the deletion left for the restart must not take the new install's file.
            self.assertEqual(run_setup(wine, "/S"), DONE)
            holder = hold(wine, PROGRAM)
            self.assertEqual(quiet_uninstall(wine), RESTART_NEEDED)
            holder.kill()
            self.assertEqual(run_setup(wine, "/S"), RESTART_NEEDED)
            self.assertEqual(program.read_bytes(), product().read_bytes())
            wine.stop()
            self.assertEqual(program.read_bytes(), product().read_bytes())
            log_on(wine)
            self.assertTrue(wait_until(lambda: monitors(wine) == [[PROGRAM]]))

            # An uninstall between an upgrade that waits for the restart and that restart, once
            # the file is free: the waiting file goes with it, or the restart would put a
            # monitor in place that nothing starts or removes.
            put_earlier_version(wine)
            holder = hold(wine, PROGRAM)
            self.assertEqual(run_setup(wine, "/S"), RESTART_NEEDED)
            holder.kill()
            self.assertEqual(quiet_uninstall(wine), DONE)
            self.assertTrue(wait_until(lambda: not host_path(wine, FOLDER).exists(), 10))
            wine.stop()
            self.assertEqual(pending_renames(wine), "")
            self.assertEqual(sorted(path.name for path in program.parent.glob("QX481Mon*")), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
