#!/usr/bin/env python3
"""Builds QX481Mon.msi from installer/QX481Mon.wxs around one QX481Mon.exe, with wixl, so that
the same executable and commit give the same package, byte for byte, wherever and whenever it is
built:
- wixl dates the package by the clock, and the file in its cabinet by the file's modification
  time. It runs under faketime, the clock stopped at the time in FILE (the commit's), on a copy
  of the executable dated the same.
- Instead of the random product and package codes that wixl would make up, both are derived
  from the version and a hash of the package built first with codes of zeros, that is of all
  it holds. A rebuild is then the same package, and any other build of the same version a
  product of its own, which replaces the installed one (the upgrade row below takes this same
  version too).

Usage: msi_package.py --wxs WXS --version-h res/version.h --exe QX481Mon.exe --time-file FILE
                      [--win64] [--define NAME=VALUE]... --out QX481Mon.msi
  FILE holds the time in seconds since 1970 (cmake/commit_time.cmake writes it)
  --define  a further definition for the package source (a test build's SystemSid)
"""
import argparse
import hashlib
import os
import re
import shutil
import subprocess
import tempfile
import time
import uuid
from pathlib import Path

ZERO_CODE = "{%s}" % uuid.UUID(int=0)


def version_h(path):
    """res/version.h's QX481_NAME values, quotes removed."""
    return dict(re.findall(r'^#define QX481_(\w+) "?([^"\n]*)"?$', path.read_text(), re.MULTILINE))


def msibuild(package, *arguments):
    subprocess.run(["msibuild", package, *arguments], check=True)


def set_revision(package, code):
    """The summary's revision, the package code. msibuild sets it only with the subject, the
    author and the template, and in a call of its own: these go back as wixl wrote them."""
    summary = subprocess.run(["msiinfo", "suminfo", package], check=True, capture_output=True,
                             text=True).stdout
    fields = [re.search(r"^%s: (.*)$" % name, summary, re.MULTILINE).group(1)
              for name in ("Subject", "Author", "Template")]
    msibuild(package, "-s", *fields, code)


def build(package, exe, wxs, defined, seconds, win64, extra, product_code, package_code):
    """PACKAGE, from EXE in its folder, with the codes given; EXTRA further wixl arguments."""
    version, upgrade_code = defined["FILEVERSION_TEXT"], defined["UPGRADE_CODE"]
    frozen = ["faketime", "-f", time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(seconds))]
    architecture = ["-a", "x64", "-D", "Win64=yes"] if win64 else ["-a", "x86"]
    # wixl opens Source paths relative to where it runs only.
    subprocess.run([*frozen, "wixl", *architecture, "-D", f"Version={version}",
                    "-D", f"Company={defined['COMPANY']}", "-D", f"UpgradeCode={upgrade_code}",
                    "-D", f"ProductCode={product_code}", "-D", f"ProductExe={exe.name}", *extra,
                    "-o", package, wxs], cwd=exe.parent, env={**os.environ, "TZ": "UTC"},
                   check=True)

    # What wixl cannot say:
    # - The file's version, so that Windows Installer compares versions, as for any program,
    #   rather than contents and dates (wixl records a hash instead).
    # - Its MajorUpgrade finds installed versions below this one only. Its upgrade row is made
    #   again to take this same version too (VersionMaxInclusive 0x200 | MigrateFeatures 1), so
    #   that a rebuild replaces an installed copy instead of installing beside it.
    file_version = defined["FILEVERSION"].replace(", ", ".")
    upgrade_row = f"`UpgradeCode`='{upgrade_code}' AND `ActionProperty`='WIX_UPGRADE_DETECTED'"
    msibuild(package,
             "-q", f"UPDATE `File` SET `Version`='{file_version}'",
             "-q", "DELETE FROM `MsiFileHash`",
             "-q", f"DELETE FROM `Upgrade` WHERE {upgrade_row}",
             "-q", "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, "
                   f"`ActionProperty`) VALUES ('{upgrade_code}', '{version}', 513, "
                   "'WIX_UPGRADE_DETECTED')")
    set_revision(package, package_code)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--wxs", "--version-h", "--exe", "--time-file", "--out"):
        parser.add_argument(option, required=True, type=lambda path: Path(path).absolute())
    parser.add_argument("--win64", action="store_true")
    parser.add_argument("--define", action="append", default=[])
    arguments = parser.parse_args()

    defined = version_h(arguments.version_h)
    seconds = int(arguments.time_file.read_text())
    with tempfile.TemporaryDirectory(dir=arguments.out.parent) as work:
        exe = Path(work) / arguments.exe.name
        shutil.copyfile(arguments.exe, exe)
        os.utime(exe, (seconds, seconds))
        package = Path(work) / arguments.out.name
        extra = [argument for define in arguments.define for argument in ("-D", define)]
        common = (package, exe, arguments.wxs, defined, seconds, arguments.win64, extra)

        build(*common, ZERO_CODE, ZERO_CODE)
        content = hashlib.sha256(package.read_bytes()).hexdigest()
        namespace = uuid.UUID(defined["UPGRADE_CODE"])
        version = defined["FILEVERSION_TEXT"]
        codes = ["{%s}" % str(uuid.uuid5(namespace, f"{kind} {version} {content}")).upper()
                 for kind in ("product", "package")]
        package.unlink()
        build(*common, *codes)
        package.replace(arguments.out)


if __name__ == "__main__":
    main()
