"""QX481Mon.msi under Wine, silent, as software-distribution tools run it: install, the same
package again, a rebuild of the same version, an upgrade, a refused downgrade, five install and
uninstall rounds that leave nothing (the first as the system installs and runs it again, with a
build that takes Wine's one user for the system account), a machine without the camera, a file
held open at an upgrade, and the refusals between the package and the setup program.

What Wine cannot show (Group Policy's assignment, an install as SYSTEM itself, a user without
administrator rights) is in docs/testing.md and docs/deployment.md."""

import re
import shutil
import subprocess
import time
import unittest
import uuid

from harness import Prefix, binary, package, product
from machine import (ENVIRONMENT, NORMAL, NOT_STARTED, OVERRIDES, STAND_INS, add_supported_camera,
                     commands, host_path, install, log_on, monitors, registry_values,
                     run_command_line, run_setup, run_value, wait_for_commands, wait_until)
from setup_test import differences, hold, pending_renames, snapshot

PROGRAM = r"C:\windows\QX481Mon.exe"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
SETUP_UNINSTALL_KEY = UNINSTALL_KEY + r"\QX481Mon"
SETUP_FOLDER = r"C:\Program Files\QX481"
NAME = "QX481 camera power monitor"
VERSION = "1.01.01.00"
# Windows Installer's own, which Wine makes at the first install and Windows always has: its
# cache, and the keys it registers products under (each without values of its own).
INSTALLER_CACHE = "windows/Installer"
INSTALLER_KEYS = re.compile(
    r"HKEY_LOCAL_MACHINE\\Software\\(Classes\\Installer(\\(Features|Products|UpgradeCodes))?|"
    r"Microsoft\\Windows\\CurrentVersion\\Installer\\(UpgradeCodes|UserData(\\S-1-5-18"
    r"(\\(Components|Products))?)?))$", re.IGNORECASE)
# The Run key, which Windows Installer deletes with the last value it wrote there.
RUN_KEY = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Run"
SUCCESS, FAILURE, REBOOT_REQUIRED = 0, 1603, 3010


def msiexec(wine, *args):
    """Runs msiexec as a deployment tool does and gives its whole exit code: wine passes on only
    the low 8 bits of it, cmd's start /wait all of it."""
    batch = wine.e2e / "msiexec.bat"
    if not batch.exists():
        batch.write_text('@start "" /wait C:\\windows\\system32\\msiexec.exe %*\r\n'
                         '@echo %errorlevel%\r\n')
    for _ in range(3):
        done = wine.run("cmd", "/c", r"C:\e2e\msiexec.bat", *args, overrides=OVERRIDES + ",b",
                        env=ENVIRONMENT, timeout=60)
        if NOT_STARTED not in done.stdout:
            break
        time.sleep(1)
    code = done.stdout.split()[-1:]
    assert code and code[0].isdigit(), done.stdout
    return int(code[0])


def msiinfo(*args):
    return subprocess.run(["msiinfo", *map(str, args)], capture_output=True, text=True,
                          check=True).stdout


def package_copy(wine, name, version=None, file_version=None):
    """Copies the package into C:\\e2e as another build of it would be: a product and package
    code of its own; with a version, that version (the file's too, when given) and the upgrade
    rows the build writes for it, else the build's own rows. Its Windows path and product code
    back."""
    path = wine.e2e / name
    shutil.copyfile(package(), path)
    code = "{" + str(uuid.uuid4()).upper() + "}"
    queries = [f"UPDATE `Property` SET `Value`='{code}' WHERE `Property`='ProductCode'"]
    if version:
        upgrade_code = msiinfo("export", path, "Property").split("\nUpgradeCode\t")[1].split()[0]
        queries += [
            f"UPDATE `Property` SET `Value`='{version}' WHERE `Property`='ProductVersion'",
            # One statement a row: msibuild deletes one row a statement.
            "DELETE FROM `Upgrade` WHERE `ActionProperty`='WIX_UPGRADE_DETECTED'",
            "DELETE FROM `Upgrade` WHERE `ActionProperty`='WIX_DOWNGRADE_DETECTED'",
            "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, "
            f"`ActionProperty`) VALUES ('{upgrade_code}', '{version}', 513, "
            "'WIX_UPGRADE_DETECTED')",
            "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `Attributes`, "
            f"`ActionProperty`) VALUES ('{upgrade_code}', '{version}', 2, "
            "'WIX_DOWNGRADE_DETECTED')"]
    if file_version:
        queries.append(f"UPDATE `File` SET `Version`='{file_version}'")
    template = re.search(r"^Template: (.*)$", msiinfo("suminfo", path), re.MULTILINE).group(1)
    subprocess.run(["msibuild", path, *[arg for query in queries for arg in ("-q", query)]],
                   check=True)
    # msibuild takes the summary on its own only.
    subprocess.run(["msibuild", path, "-s", NAME, "QX481 Camera Team", template,
                    "{" + str(uuid.uuid4()).upper() + "}"], check=True)
    return "C:\\e2e\\" + name, code


def entries(wine):
    """The package's entries under Add/Remove Programs: {product code: values}."""
    listed = wine.run("reg", "query", UNINSTALL_KEY).stdout.split()
    found = {}
    for key in listed:
        code = key.rsplit("\\", 1)[-1]
        if code.startswith("{") and (values := registry_values(wine, key)):
            if values.get("DisplayName") == NAME:
                found[code] = values
    return found


def monitor_ids(wine):
    """The process ids of the running monitors, which a refusal leaves as they were."""
    return [pid for pid, args in wine.processes() if args[:1] == [PROGRAM]]


def machine_state(wine, name):
    """The snapshot less Windows Installer's own and an empty Run key."""
    keys, files = snapshot(wine, name)
    keys = {key: values for key, values in keys.items()
            if values or not (INSTALLER_KEYS.match(key) or key == RUN_KEY)}
    return keys, {path for path in files if not path.startswith(INSTALLER_CACHE)}


class PackageCase(unittest.TestCase):
    maxDiff = None

    def assertInstalled(self, wine, code, version=VERSION):
        """One entry, the given one, the file as built, its Run value and one monitor."""
        found = entries(wine)
        self.assertEqual(list(found), [code])
        self.assertEqual(found[code]["DisplayVersion"], version)
        self.assertEqual(host_path(wine, PROGRAM).read_bytes(), product().read_bytes())
        self.assertEqual(run_value(wine), PROGRAM)
        self.assertTrue(wait_until(lambda: monitors(wine) == [[PROGRAM, "/i"]]))

    def assertRunAgain(self, wine, msi):
        """Runs the installed package again, a maintenance run that changes nothing: it ends 0,
        the one monitor that ran runs on, the Run value is in place and the camera is told
        nothing."""
        monitor, told = monitor_ids(wine), commands(wine)
        self.assertEqual(len(monitor), 1)
        self.assertEqual(msiexec(wine, "/i", msi, "/qn"), SUCCESS)
        time.sleep(2)  # a monitor that /i started would have told the camera by now
        self.assertEqual(monitor_ids(wine), monitor)
        self.assertEqual(run_value(wine), PROGRAM)
        self.assertEqual(commands(wine), told)

    def uninstall(self, wine, code, before):
        """Removes the package as its entry says (msiexec /x); then no monitor and no file is
        left and the machine is as before the install."""
        self.assertEqual(msiexec(wine, "/x", code, "/qn"), SUCCESS)
        self.assertEqual(monitors(wine), [])
        self.assertFalse(host_path(wine, PROGRAM).exists())
        self.assertEqual(differences(before, machine_state(wine, "after")), [])


class PackageTest(PackageCase):
    def test_install_again_rebuild_upgrade_downgrade_and_rounds(self):
        with Prefix("msi") as wine:
            add_supported_camera(wine)
            install(wine, r"C:\windows", names=STAND_INS)
            before = machine_state(wine, "before")
            msi = wine.put(package())

            self.assertEqual(msiexec(wine, "/i", msi, "/qn"), SUCCESS)
            (code,) = entries(wine)
            self.assertEqual(entries(wine)[code], {
                "AuthorizedCDFPrefix": "", "Comments": "", "Contact": "", "HelpLink": "",
                "HelpTelephone": "", "InstallLocation": "", "ReadMe": "", "Size": "",
                "URLInfoAbout": "", "URLUpdateInfo": "",
                "DisplayName": NAME,
                "DisplayVersion": VERSION,
                "Publisher": "QX481 Camera Team",
                "NoModify": 1,
                "NoRepair": 1,
                "UninstallString": f"MsiExec.exe /X{code}",
                "ModifyPath": f"MsiExec.exe /X{code}",
                "InstallSource": "C:\\e2e\\",
                "InstallDate": time.strftime("%Y%m%d"),
                "EstimatedSize": 0,
                "Language": 0x409,
                "Version": 0x01010001,
                "VersionMajor": 1,
                "VersionMinor": 1,
                "WindowsInstaller": 1,
            })
            self.assertInstalled(wine, code)
            first = wait_for_commands(wine, 1)
            self.assertEqual([command for _, command in first], [NORMAL])

            # The same package again, by the user whose monitor runs, changes nothing: the same
            # monitor runs on and the camera is told nothing.
            self.assertRunAgain(wine, msi)
            self.assertInstalled(wine, code)
            # A repair (REINSTALL, which msiexec /f sets) ends the monitor and starts one anew.
            monitor = monitor_ids(wine)
            self.assertEqual(msiexec(wine, "/i", msi, "REINSTALL=ALL", "/qn"), SUCCESS)
            self.assertInstalled(wine, code)
            self.assertNotEqual(monitor_ids(wine), monitor)
            self.assertEqual([command for _, command in wait_for_commands(wine, 2)],
                             [NORMAL, NORMAL])

            # A rebuild of this version, with the build's own upgrade rows, then an upgrade, each
            # replace what was there.
            rebuild, rebuild_code = package_copy(wine, "rebuild.msi")
            self.assertEqual(msiexec(wine, "/i", rebuild, "/qn"), SUCCESS)
            self.assertInstalled(wine, rebuild_code)
            upgrade, upgrade_code = package_copy(wine, "upgrade.msi", "1.01.02.00")
            self.assertEqual(msiexec(wine, "/i", upgrade, "/qn"), SUCCESS)
            self.assertInstalled(wine, upgrade_code, "1.01.02.00")

            # The older package refuses to replace the newer one and changes nothing: the same
            # monitor runs on.
            monitor = monitor_ids(wine)
            self.assertEqual(msiexec(wine, "/i", msi, "/qn"), FAILURE)
            self.assertInstalled(wine, upgrade_code, "1.01.02.00")
            self.assertEqual(monitor_ids(wine), monitor)

            self.uninstall(wine, upgrade_code, before)
            wine.take_camera_log()
            # The first round as Group Policy's assignment to computers installs, as the system:
            # /i does not run there, and the Run value the package writes itself starts the
            # monitor at the next log-on. A start-up script or an agent that runs the same package
            # again then leaves that monitor, its Run value and the camera alone.
            as_system = wine.put(binary("as-system/QX481Mon.msi"), "as-system.msi")
            self.assertEqual(msiexec(wine, "/i", as_system, "/qn"), SUCCESS)
            (as_system_code,) = entries(wine)
            self.assertEqual(monitors(wine), [])
            self.assertEqual(run_value(wine), PROGRAM)
            log_on(wine)
            self.assertTrue(wait_until(lambda: monitors(wine) == [[PROGRAM]]))
            self.assertEqual([command for _, command in wait_for_commands(wine, 1)], [NORMAL])
            self.assertRunAgain(wine, as_system)
            self.uninstall(wine, as_system_code, before)
            for _ in range(4):
                self.assertEqual(msiexec(wine, "/i", msi, "/qn"), SUCCESS)
                self.assertTrue(wait_until(lambda: monitors(wine) == [[PROGRAM, "/i"]]))
                self.uninstall(wine, code, before)
            self.assertEqual([command for _, command in commands(wine)], [NORMAL] * 5)



class MachinesTest(PackageCase):
    """Other machines: one without the camera, one where a file is in use, one with the setup
    program's installation."""

    def test_machine_without_the_camera(self):
        with Prefix("msi_no_camera") as wine:
            install(wine, r"C:\windows", names=STAND_INS)
            before = machine_state(wine, "before")
            self.assertEqual(msiexec(wine, "/i", wine.put(package()), "/qn"), SUCCESS)
            # The /i run finds no camera and takes the Run value away again.
            self.assertTrue(wait_until(lambda: run_value(wine) is None and not monitors(wine)))
            (code,) = entries(wine)
            self.assertEqual(host_path(wine, PROGRAM).read_bytes(), product().read_bytes())
            self.uninstall(wine, code, before)

    def test_file_in_use_at_upgrade(self):
        with Prefix("msi_in_use") as wine:
            add_supported_camera(wine)
            install(wine, r"C:\windows", names=STAND_INS)
            self.assertEqual(msiexec(wine, "/i", wine.put(package()), "/qn"), SUCCESS)
            hold(wine, PROGRAM)

            upgrade, code = package_copy(wine, "upgrade.msi", "1.01.02.00", "1.1.2.0")
            self.assertEqual(msiexec(wine, "/i", upgrade, "/qn"), REBOOT_REQUIRED)
            self.assertEqual(list(entries(wine)), [code])
            self.assertIn(r"\??\C:\windows\QX481Mon.exe", pending_renames(wine))

    def test_refusals_between_package_and_setup_program(self):
        with Prefix("msi_setup") as wine:
            add_supported_camera(wine)
            install(wine, r"C:\windows", names=STAND_INS)
            before = machine_state(wine, "before")
            msi = wine.put(package())

            self.assertEqual(run_setup(wine, "/S"), 0)
            installed = machine_state(wine, "setup")
            self.assertEqual(msiexec(wine, "/i", msi, "/qn"), FAILURE)
            self.assertEqual(differences(installed, machine_state(wine, "refused")), [])
            self.assertEqual(monitors(wine), [[PROGRAM, "/i"]])
            uninstaller = registry_values(wine, SETUP_UNINSTALL_KEY)["QuietUninstallString"]
            self.assertEqual(run_command_line(wine, uninstaller), 0)
            self.assertTrue(wait_until(lambda: not host_path(wine, SETUP_FOLDER).exists(), 10))

            self.assertEqual(msiexec(wine, "/i", msi, "/qn"), SUCCESS)
            (code,) = entries(wine)
            self.assertInstalled(wine, code)
            # The setup program refuses before it does anything at all.
            monitor = monitor_ids(wine)
            self.assertEqual(run_setup(wine, "/S"), 2)
            self.assertIsNone(registry_values(wine, SETUP_UNINSTALL_KEY))
            self.assertFalse(host_path(wine, SETUP_FOLDER).exists())
            self.assertInstalled(wine, code)
            self.assertEqual(monitor_ids(wine), monitor)
            self.uninstall(wine, code, before)


if __name__ == "__main__":
    unittest.main(verbosity=2)
