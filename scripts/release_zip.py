#!/usr/bin/env python3
"""Packs a release (scripts/release.sh): one folder NAME holding FILES, README.txt, BUILDINFO
and SHA256SUMS, zipped with the commit's date on every entry, in a fixed order and with fixed
permissions, so that the same files give the same zip.

Usage: release_zip.py --name NAME --version VERSION --commit SHA --time EPOCH --readme TEMPLATE
                      --buildinfo FILE [--signed] --out ZIP FILES...

BUILDINFO is FILE and README.txt the template, both with Windows line endings, the template with
@VERSION@, @COMMIT@ and @DATE@ filled in.
What stands between "@if WORD@" and "@endif@", on one line or as lines of their own, stays only
when WORD is "signed" and the files are, "unsigned" and they are not, or one of FILES' names;
"@if !WORD@" keeps it in the other case.
"""
import argparse
import hashlib
import re
import time
import zipfile
from pathlib import Path


def readme(template, words, values):
    def holds(condition):
        return condition[1:] not in words if condition.startswith("!") else condition in words

    lines, keep = [], [True]
    for line in template.splitlines():
        line = re.sub(r"@if (\S+)@(.*?)@endif@",
                      lambda match: match.group(2) if holds(match.group(1)) else "", line)
        condition = re.fullmatch(r"@if (\S+)@", line)
        if condition:
            keep.append(keep[-1] and holds(condition.group(1)))
        elif line == "@endif@":
            keep.pop()
        elif keep[-1]:
            lines.append(re.sub(r"@([A-Z]+)@", lambda match: values[match.group(1)], line))
    if len(keep) != 1:
        raise SystemExit("%s: an @if@ without its @endif@" % template)
    return "".join(line + "\r\n" for line in lines).encode("ascii")


def main():
    parser = argparse.ArgumentParser()
    for option in ("--name", "--version", "--commit", "--time", "--readme", "--buildinfo",
                   "--out"):
        parser.add_argument(option, required=True)
    parser.add_argument("--signed", action="store_true")
    parser.add_argument("files", nargs="+", type=Path)
    arguments = parser.parse_args()

    date = time.gmtime(int(arguments.time))
    names = [path.name for path in arguments.files]
    words = set(names) | {"signed" if arguments.signed else "unsigned"}
    values = {"VERSION": arguments.version, "COMMIT": arguments.commit,
              "DATE": time.strftime("%Y-%m-%d %H:%M:%S UTC", date)}
    contents = [(path.name, path.read_bytes()) for path in arguments.files]
    contents.append(("README.txt", readme(Path(arguments.readme).read_text(), words, values)))
    buildinfo = Path(arguments.buildinfo).read_text().splitlines()
    contents.append(("BUILDINFO", "".join(line + "\r\n" for line in buildinfo).encode("ascii")))
    sums = "".join("%s  %s\n" % (hashlib.sha256(data).hexdigest(), name)
                   for name, data in contents)
    contents.append(("SHA256SUMS", sums.encode("ascii")))

    def entry(name, mode):
        info = zipfile.ZipInfo(arguments.name + "/" + name, date_time=date[:6])
        info.create_system = 3  # Unix, so that the modes below count
        info.external_attr = mode << 16
        info.compress_type = zipfile.ZIP_DEFLATED
        return info

    with zipfile.ZipFile(arguments.out, "w") as bundle:
        folder = entry("", 0o40755)
        folder.external_attr |= 0x10  # MS-DOS directory
        folder.compress_type = zipfile.ZIP_STORED
        bundle.writestr(folder, b"")
        for name, data in contents:
            bundle.writestr(entry(name, 0o100644), data, compresslevel=9)
    print("%s:" % arguments.out)
    print(sums, end="")


if __name__ == "__main__":
    main()
