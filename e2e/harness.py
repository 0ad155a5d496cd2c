"""End-to-end harness: the project's Windows binaries run under Wine, headless, as Windows XP.

Every test script is a unittest module run by ctest (label e2e, see add_e2e_test in
CMakeLists.txt, which sets E2E_BUILD to build/xp/e2e or build/x64/e2e, E2E_PRODUCT to that
build's QX481Mon.exe, E2E_DIAG to its QX481Diag.exe, E2E_SETUP to its QX481Setup.exe and E2E_MSI
to its QX481Mon.msi).

    from harness import Prefix, binary, product

    with Prefix("camera") as wine:            # a fresh prefix for this test
        wine.add_camera("QX481 Camera")      # a TestCamera device in the video input category
        probe = wine.put(binary("camera_probe.exe"))   # copied to C:\\e2e, Windows path back
        result = wine.run(probe, "QX481 Camera", "5")  # waits; CompletedProcess, text output
        events = wine.take_camera_log()     # the device's log as dicts, then emptied

Prefix(name) makes build/xp/e2e/work/NAME/prefix from the template (prefix.sh: made once per
build directory, copied in about a tenth of a second); E2E_WORK names another folder for the
work directories, for a script that runs twice at once on different files. On leaving the with-block every Wine
process of the prefix is ended and its wineserver stopped; the work directory is removed when
the block ended without an exception and kept for inspection otherwise, or always when the
environment has E2E_KEEP=1.

The prefix's architecture is the build's (its file e2e/wine-arch): a 32-bit prefix run by Debian's
`wine` for the xp build, a 64-bit one for the x64 build, run by wine64's loader and wineserver
called directly, since Debian's `wine` script picks the 32-bit loader whenever wine32 is
installed, even on hosts that cannot run it. Processes run with WINEPREFIX set to the copy,
that WINEARCH, WINEDEBUG=-all and no DISPLAY. Prefix(name, display=":N") instead draws its
windows on that X display, with Wine's X11 driver: every process gets DISPLAY, and the copy
loses the template's Graphics=null setting before anything else runs in it.
Prefix(name, language="de_DE.UTF-8") gives its programs that user language: Wine takes it from
LC_ALL, also where the host has not generated that locale; `language` may be changed between
programs, as another user of the machine would speak another.
`run` and `start` take `overrides`, a WINEDLLOVERRIDES list for that process only: stand-in
DLLs put beside the program in C:\\e2e load instead of Wine's own with e.g.
overrides="cfgmgr32,powrprof=n". `env` adds variables for that process. `start` runs a
program in the background (a Popen); the prefix's stop ends it if the test did not.
`processes` lists the prefix's running processes with their command lines, including those
that other programs started (a setup program's, for instance).

TestCamera.dll (test_camera.cpp) is the stand-in camera driver. add_camera registers it as
one device of the video input category under its own instance key (the key defaults to the
friendly name, and devices enumerate in the order of their keys); set_result is the HRESULT
its IKsPropertySet::Set returns, read at the time of each call, so set_camera_result can make
a device start rejecting writes while a program runs. Its log (C:\\e2e\\camera.log, passed in
E2E_CAMERA_LOG) has one line per create, load (property bag), set and destroy. For runs too
long to log (the benchmarks in bench/wine), env={"E2E_CAMERA_LOG": ""} turns the log off and
E2E_CAMERA_COUNTERS, naming a shared section, has it count the same events there
(camera_counters.h).

Devices for discovery: add_devices(device(...), ...) creates them through Wine's SetupAPI
with adddevice.exe (tools/adddevice.cpp), as an installer would. Wine's configuration manager
is a set of stubs, so a program that reads device nodes needs the test cfgmgr32.dll
(cfgmgr32/cfgmgr32.cpp) beside it: put(binary("cfgmgr32.dll")), then run it with
overrides="cfgmgr32=n". That DLL answers from the registry SetupAPI wrote, and takes a node's
presence and driver state from what adddevice stored.
"""

import os
import shutil
import subprocess
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
BUILD = Path(os.environ.get("E2E_BUILD", HERE.parent / "build" / "xp" / "e2e"))
TEMPLATE = BUILD / "template"
WORK = Path(os.environ.get("E2E_WORK", BUILD / "work"))

VIDEO_INPUT_INSTANCES = r"HKEY_CLASSES_ROOT\CLSID\{860BB310-5D01-11D0-BD3B-00A0C911CE86}\Instance"
TEST_CAMERA_CLSID = "{B6581576-E5A0-4821-AAF5-56311119548C}"
BASE_OVERRIDES = "mscoree,mshtml=;winemenubuilder.exe=d"  # as in prefix.sh
ARCH_FILE = BUILD / "wine-arch"
ARCH = ARCH_FILE.read_text().strip() if ARCH_FILE.exists() else "win32"
if ARCH == "win64":  # as in prefix.sh
    WINE = os.environ.get("WINE64_LOADER", "/usr/lib/wine/wine64")
    WINE_ENV = {"WINELOADER": WINE,
                "WINESERVER": os.environ.get("WINE64_SERVER", "/usr/lib/wine/wineserver64")}
else:
    WINE, WINE_ENV = "wine", {}


def wine_version():
    return subprocess.run([WINE, "--version"], capture_output=True, text=True).stdout.strip()


def binary(name):
    """A test binary built in the e2e build directory."""
    return BUILD / name


def product():
    """The shipped executable."""
    return Path(os.environ.get("E2E_PRODUCT", BUILD.parent / "QX481Mon.exe"))


def diag():
    """The support tool, built beside the shipped executable."""
    return Path(os.environ.get("E2E_DIAG", product().parent / "QX481Diag.exe"))


def setup_program():
    """The setup program built around the shipped executable."""
    return Path(os.environ.get("E2E_SETUP", BUILD.parent / "QX481Setup.exe"))


def package():
    """The Windows Installer package built around the shipped executable."""
    return Path(os.environ.get("E2E_MSI", BUILD.parent / "QX481Mon.msi"))


def prefix_script(*args):
    subprocess.run([str(HERE / "prefix.sh"), *map(str, args)], check=True,
                   env={**os.environ, "WINEARCH": ARCH})


def reg_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


class Prefix:
    def __init__(self, name, display=None, language=None):
        self.display = display
        self.language = language
        self.work = WORK / name
        self.path = self.work / "prefix"
        self.drive_c = self.path / "drive_c"
        self.e2e = self.drive_c / "e2e"
        self.camera_log = self.e2e / "camera.log"
        self.camera_registered = False
        self.started = []
        self.outputs = 0

    def __enter__(self):
        prefix_script("template", TEMPLATE)
        shutil.rmtree(self.work, ignore_errors=True)
        prefix_script("copy", TEMPLATE, self.path)
        self.e2e.mkdir()
        if self.display:
            done = self.run("reg", "delete", r"HKCU\Software\Wine\Drivers", "/v", "Graphics", "/f")
            if done.returncode != 0:
                raise RuntimeError(f"cannot give the prefix a display: {done.stdout}")
        return self

    def __exit__(self, kind, value, traceback):
        self.stop()
        if kind is None and not os.environ.get("E2E_KEEP"):
            shutil.rmtree(self.work)
        else:
            print(f"kept {self.work}")
        return False

    def stop(self):
        """Ends every process of the prefix and its wineserver, as a shutdown does. The next
        program started boots it again: Wine's loader first runs `wineboot --init`, which applies
        the renames and deletions left in PendingFileRenameOperations, as Windows does at boot."""
        prefix_script("stop", self.path)
        for process in self.started:
            process.wait()
        self.started.clear()

    def environment(self, overrides=None, env=None):
        result = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        if self.display:
            result["DISPLAY"] = self.display
        if self.language:
            result["LC_ALL"] = self.language
        result.update(WINE_ENV)
        result.update(WINEPREFIX=str(self.path), WINEARCH=ARCH, WINEDEBUG="-all",
                      WINEDLLOVERRIDES=BASE_OVERRIDES + (";" + overrides if overrides else ""),
                      E2E_CAMERA_LOG=r"C:\e2e\camera.log")
        result.update(env or {})
        return result

    def processes(self):
        """The prefix's running processes: (pid, command line as a list), the Windows program's
        path first. Read from /proc, so it also sees the ones that other programs started."""
        marker = f"WINEPREFIX={self.path}".encode() + b"\0"
        found = []
        for proc in Path("/proc").glob("[0-9]*"):
            try:
                if marker in (proc / "environ").read_bytes():
                    args = (proc / "cmdline").read_bytes().decode(errors="replace")
                    # Wine leaves room after the arguments, filled with NULs.
                    found.append((int(proc.name), args.rstrip("\0").split("\0")))
            except OSError:
                pass  # gone meanwhile, or not ours to read
        return found

    def put(self, source, name=None):
        """Copies a host file into C:\\e2e and returns its Windows path."""
        name = name or Path(source).name
        shutil.copyfile(source, self.e2e / name)
        return "C:\\e2e\\" + name

    def run(self, program, *args, overrides=None, env=None, timeout=60):
        """Runs a program to its end: a CompletedProcess with its exit code and text output,
        read as UTF-8 (Wine's own programs write in the console's code page, which is another
        one in some languages: what is not UTF-8 is replaced)."""
        process = self.start(program, *args, overrides=overrides, env=env)
        self.started.remove(process)
        try:
            process.wait(timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            raise
        return subprocess.CompletedProcess(process.args, process.returncode,
                                           process.stdout_path.read_text(errors="replace"),
                                           process.stderr_path.read_text(errors="replace"))

    def start(self, program, *args, overrides=None, env=None):
        """Starts a program in the background: a Popen whose stdout_path and stderr_path
        name the files its output goes to. (Not pipes: the Wine services that a process
        starts inherit its handles and would hold a pipe open after it ended.)"""
        self.outputs += 1
        out = self.work / f"{self.outputs}.out"
        err = self.work / f"{self.outputs}.err"
        with open(out, "w") as stdout, open(err, "w") as stderr:
            process = subprocess.Popen([WINE, program, *args], stdout=stdout, stderr=stderr,
                                       stdin=subprocess.DEVNULL,
                                       env=self.environment(overrides, env))
        process.stdout_path, process.stderr_path = out, err
        self.started.append(process)
        return process

    def change(self, program, *args, tries=3):
        """Runs a program that changes the prefix and may be run again, such as reg or regedit,
        until it succeeds. On a busy machine Wine now and then fails to start a program at all,
        which then ends non-zero having done nothing; a change that keeps failing is an error."""
        for _ in range(tries):
            done = self.run(program, *args)
            if done.returncode == 0:
                return done
            time.sleep(1)
        raise RuntimeError(f"{program} {' '.join(args)} failed {tries} times: "
                           f"{done.stdout}{done.stderr}")

    def import_reg(self, text):
        """Imports registry entries given in .reg syntax (the REGEDIT4 header is added)."""
        (self.e2e / "import.reg").write_text("REGEDIT4\r\n\r\n" + text.replace("\n", "\r\n"))
        self.change("regedit", "/S", r"C:\e2e\import.reg")

    def add_camera(self, friendly_name, key=None, set_result=0):
        self.add_cameras([(friendly_name, key, set_result)])

    def add_cameras(self, devices):
        """Registers TestCamera as video input devices, given as (friendly name, instance key
        or None for the name, Set result) in one registry import."""
        text = ""
        if not self.camera_registered:
            self.put(binary("TestCamera.dll"))
            text += (f"[HKEY_CLASSES_ROOT\\CLSID\\{TEST_CAMERA_CLSID}\\InprocServer32]\n"
                     f'@="C:\\\\e2e\\\\TestCamera.dll"\n"ThreadingModel"="Both"\n\n')
            self.camera_registered = True
        for friendly_name, key, set_result in devices:
            key = key or friendly_name
            text += (f"[{VIDEO_INPUT_INSTANCES}\\{key}]\n"
                     f'"FriendlyName"={reg_string(friendly_name)}\n'
                     f'"CLSID"="{TEST_CAMERA_CLSID}"\n'
                     f'"E2EKey"={reg_string(key)}\n'
                     f'"E2ESetResult"=dword:{set_result & 0xFFFFFFFF:08x}\n\n')
        self.import_reg(text)

    def set_camera_result(self, key, set_result):
        self.import_reg(f"[{VIDEO_INPUT_INSTANCES}\\{key}]\n"
                        f'"E2ESetResult"=dword:{set_result & 0xFFFFFFFF:08x}\n')

    def take_camera_log(self):
        """The camera log's lines as dicts ({"event": "set", "device": ..., ...}), then empties it."""
        if not self.camera_log.exists():
            return []
        lines = self.camera_log.read_text().splitlines()
        self.camera_log.unlink()
        events = []
        for line in lines:
            event, *fields = line.split("\t")
            events.append({"event": event, **dict(field.split("=", 1) for field in fields)})
        return events

    def add_devices(self, *devices):
        """Creates devices through SetupAPI; each is the argument list device() makes."""
        tool = self.put(binary("adddevice.exe"))
        done = self.run(tool, *[arg for args in devices for arg in args])
        if done.returncode != 0:
            raise RuntimeError(f"adddevice failed: {done.stderr}")


def device(instance, *hardware_ids, setup_class=None, values=(), driver_key=True,
           state="loaded"):
    """One device for add_devices: its instance id, its hardware IDs in order, its setup class
    (imaging unless given), its driver key's values as (name, "sz"|"dword"|"binary", text;
    binary as hex bytes) or no driver key at all, and its state: "loaded" (present, driver
    loaded), "present" (no driver loaded) or "phantom" (not present)."""
    args = ["--device", instance, "--state", state]
    if setup_class:
        args += ["--class", setup_class]
    for hardware_id in hardware_ids:
        args += ["--hwid", hardware_id]
    for name, kind, data in values:
        args += ["--value", name, kind, str(data)]
    if not driver_key:
        args.append("--no-driver-key")
    return args
