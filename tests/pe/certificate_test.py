#!/usr/bin/env python3
"""The PE check's reading of the certificate table, on a signed monitor and on copies of it
damaged as a faulty signing tool or a truncated download would leave them.

Usage: certificate_test.py SIGNED_QX481Mon.exe xp_imports.txt
"""
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

CHECK = Path(__file__).with_name("pe_check.py")
SIGNED, ALLOWLIST = sys.argv[1:3]


def header(data):
    """The offsets of the checksum field and of the certificate table's directory entry."""
    optional = struct.unpack_from("<I", data, 0x3C)[0] + 24
    return optional + 64, optional + 96 + 8 * 4


def with_directory(data, offset, size):
    _, directory = header(data)
    return data[:directory] + struct.pack("<II", offset, size) + data[directory + 8:]


def unsigned(data):
    offset, _ = struct.unpack_from("<II", data, header(data)[1])
    return with_directory(data[:offset], 0, 0)


def checksum_off_by_one(data):
    field, _ = header(data)
    return data[:field] + struct.pack("<I", struct.unpack_from("<I", data, field)[0] + 1) + \
        data[field + 4:]


def table_short_of_the_end(data):
    offset, size = struct.unpack_from("<II", data, header(data)[1])
    return with_directory(data, offset, size - 8)


def entry_too_long(data):
    offset, _ = struct.unpack_from("<II", data, header(data)[1])
    length = struct.unpack_from("<I", data, offset)[0]
    return data[:offset] + struct.pack("<I", length + 64) + data[offset + 4:]


# (what is done to the signed file, checked as signed, the check's first failure or None)
CASES = [
    (lambda data: data, True, None),
    (lambda data: data + b"\0" * 8, True, "does not end the file"),
    (lambda data: data[:-8], True, "does not end the file"),
    (table_short_of_the_end, True, "does not end the file"),
    (entry_too_long, True, "has the length"),
    (checksum_off_by_one, True, "header checksum"),
    (unsigned, True, "not signed"),
    (unsigned, False, None),
    (lambda data: data, False, "an unsigned file with a certificate table"),
]


class CertificateTableTest(unittest.TestCase):
    def test_damaged_copies(self):
        signed = Path(SIGNED).read_bytes()
        with tempfile.TemporaryDirectory() as folder:
            copy = Path(folder) / "QX481Mon.exe"
            for number, (damage, as_signed, failure) in enumerate(CASES):
                with self.subTest(case=number, damage=getattr(damage, "__name__", "")):
                    copy.write_bytes(damage(signed))
                    done = subprocess.run(
                        [sys.executable, CHECK] + ["--signed"] * as_signed + [copy, ALLOWLIST],
                        capture_output=True, text=True)
                    failures = [line for line in done.stdout.splitlines()
                                if line.startswith("FAIL: ")]
                    self.assertEqual(done.returncode, 1 if failure else 0, done.stdout)
                    if failure:
                        self.assertIn(failure, failures[0])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
