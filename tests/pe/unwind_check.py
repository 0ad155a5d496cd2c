#!/usr/bin/env python3
"""Checks that an executable of the x86-64 test build carries its unwind tables. On x86-64,
Windows dispatches an exception through a frame only when the function's code has an entry in
the exception directory (.pdata) with its unwind codes (.xdata); compiled without them, an
exception raised below the program's frames (in a window procedure's callee, say) cannot reach
a handler above them. The entry point stands for the program's own code.

Usage: unwind_check.py FILE...
"""
import struct
import sys

from pe_check import Image

PE32_PLUS = 0x20B
EXCEPTION_DIRECTORY = 3


def main():
    failures = []
    for path in sys.argv[1:]:
        with open(path, "rb") as file:
            image = Image(file.read())
        if image.magic != PE32_PLUS:
            failures.append("%s: not a PE32+ image" % path)
            continue
        entry = image.field("<I", 16)
        rva, size = struct.unpack_from("<II", image.data,
                                       image.optional + 112 + 8 * EXCEPTION_DIRECTORY)
        functions = [struct.unpack_from("<II", image.data, image.offset(rva) + 12 * i)
                     for i in range(size // 12)] if rva else []
        print("%s: %d functions with unwind data" % (path, len(functions)))
        if not any(begin <= entry < end for begin, end in functions):
            failures.append("%s: no unwind data for the entry point at %#x" % (path, entry))
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
