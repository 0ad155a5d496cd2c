#!/usr/bin/env python3
"""Checks that a shipped executable is what Windows XP can run and what support expects.

Usage: pe_check.py [--signed] [--max-size=BYTES] QX481Mon.exe xp_imports.txt
       pe_check.py --console [--signed] QX481Diag.exe xp_imports.txt

The executable must be PE32 for i386 with the GUI subsystem (the console subsystem with
--console), ask for Windows 5.1 or lower, import only functions that xp_imports.txt lists for
every file or for this one by name (each one known to be exported by the DLL that Windows XP
ships; the support tool, --console, nothing from SETUPAPI or CFGMGR32), and carry the version
block, named for its own file, in its resources. The monitor (not --console) also carries dialog
101, and only the sections of its own code and data: none of those that the C runtime's start-up
brings (.CRT, .tls, its unwind tables). With --max-size the file is at most that many bytes.
Unsigned it has no certificate table; signed (--signed), the table holds the Authenticode
signatures, lies at the end of the file and covers its tail exactly, and the header's checksum is
right, as Windows checks them. The size of every section is printed.
"""
import array
import os
import struct
import sys

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "ole32.dll", "oleaut32.dll",
                "setupapi.dll", "cfgmgr32.dll", "powrprof.dll", "msvcrt.dll", "shell32.dll",
                "version.dll"}
# Not among XP's known DLLs, so the loader would look for them beside the program first: the
# support tool, run from wherever it was downloaded to, loads them from the system folder itself.
LOADED_FROM_SYSTEM_FOLDER = {"setupapi.dll", "cfgmgr32.dll"}

MONITOR_SECTIONS = {".text", ".data", ".rdata", ".bss", ".idata", ".rsrc"}

RT_DIALOG, RT_VERSION = 5, 16
LANG_EN_US = 0x0409

failures = []


def fail(message):
    failures.append(message)


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
            raise SystemExit("not a PE file")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        self.optional = pe + 24
        self.magic = struct.unpack_from("<H", data, self.optional)[0]
        first_section = self.optional + optional_size
        self.sections = []
        self.section_sizes = []
        for i in range(sections):
            header = first_section + 40 * i
            virtual_size, rva, raw_size, raw = struct.unpack_from("<IIII", data, header + 8)
            self.sections.append((rva, max(virtual_size, raw_size), raw))
            name = data[header:header + 8].rstrip(b"\0").decode("ascii")
            self.section_sizes.append((name, virtual_size, raw_size))

    def field(self, fmt, offset):
        return struct.unpack_from(fmt, self.data, self.optional + offset)[0]

    def directory(self, index):
        return struct.unpack_from("<II", self.data, self.optional + 96 + 8 * index)

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError("RVA %#x outside every section" % rva)

    def u16(self, rva):
        return struct.unpack_from("<H", self.data, self.offset(rva))[0]

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def ascii(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")


def check_headers(image, console):
    if image.machine != 0x14C or image.magic != 0x10B:
        fail("not a PE32 i386 image (machine %#x, magic %#x)" % (image.machine, image.magic))
    subsystem, expected = image.field("<H", 68), (3, "Windows console") if console else (2, "Windows GUI")
    if subsystem != expected[0]:
        fail("subsystem %d, expected %d (%s)" % (subsystem, *expected))
    for name, offset in (("operating system", 40), ("subsystem", 48)):
        major, minor = image.field("<H", offset), image.field("<H", offset + 2)
        if (major, minor) > (5, 1):
            fail("%s version %d.%d is newer than Windows XP (5.1)" % (name, major, minor))
        print("%s version: %d.%d" % (name, major, minor))


def imports(image):
    rva, _ = image.directory(1)
    while True:
        lookup, _, _, name, thunks = struct.unpack_from("<IIIII", image.data, image.offset(rva))
        if name == 0:
            return
        dll = image.ascii(name)
        entry = lookup or thunks
        while True:
            value = image.u32(entry)
            if value == 0:
                break
            yield dll, ("#%d" % (value & 0xFFFF) if value & 0x80000000 else image.ascii(value + 2))
            entry += 4
        rva += 20


def check_imports(image, allowlist_path, file_name, console):
    known, applies = set(), True
    with open(allowlist_path) as listing:
        for line in listing:
            line = line.split("#", 1)[0].strip()
            if line.startswith("["):
                applies = line.strip("[]").lower() == file_name.lower()
            elif line and applies:
                dll, function = line.split("!")
                known.add((dll.lower(), function))
    dlls = set()
    for dll, function in imports(image):
        dlls.add(dll)
        if dll.lower() not in ALLOWED_DLLS:
            fail("imports %s!%s: %s is not a DLL that Windows XP ships" % (dll, function, dll))
        elif console and dll.lower() in LOADED_FROM_SYSTEM_FOLDER:
            fail("imports %s!%s: the support tool loads %s from the system folder itself"
                 % (dll, function, dll))
        elif (dll.lower(), function) not in known:
            fail("imports %s!%s, which %s does not list as an XP export for %s"
                 % (dll, function, os.path.basename(allowlist_path), file_name))
    print("imports from: " + ", ".join(sorted(dlls, key=str.lower)))


def check_sections(image, console, max_size):
    print("sections: " + ", ".join("%s %d bytes (%d in the file)" % section
                                   for section in image.section_sizes))
    if not console:
        for name, _, _ in image.section_sizes:
            if name not in MONITOR_SECTIONS:
                fail("section %s, which the monitor's own code and data do not make" % name)
    if max_size is not None and len(image.data) > max_size:
        fail("%d bytes, over the budget of %d" % (len(image.data), max_size))


def resources(image):
    """Yields (type, name, language, bytes) for every resource; ids only, names skipped."""
    root, _ = image.directory(2)

    def entries(table):
        named, ids = struct.unpack_from("<HH", image.data, image.offset(root + table + 12))
        for i in range(named + ids):
            ident, target = struct.unpack_from("<II", image.data, image.offset(root + table + 16 + 8 * i))
            yield (None if ident & 0x80000000 else ident), target

    for rtype, types in entries(0):
        for name, names in entries(types & 0x7FFFFFFF):
            for language, leaf in entries(names & 0x7FFFFFFF):
                data_rva, size = struct.unpack_from("<II", image.data, image.offset(root + leaf))
                start = image.offset(data_rva)
                yield rtype, name, language, image.data[start:start + size]


def utf16z(blob, at):
    end = at
    while blob[end:end + 2] != b"\0\0":
        end += 2
    return blob[at:end].decode("utf-16-le"), end + 2


def check_dialog(blob):
    style, exstyle, controls, x, y, cx, cy = struct.unpack_from("<IIHhhhh", blob, 0)
    at = 18
    menu, at = utf16z(blob, at)
    window_class, at = utf16z(blob, at)
    caption, at = utf16z(blob, at)
    points = struct.unpack_from("<H", blob, at)[0]
    font, _ = utf16z(blob, at + 2)
    got = (hex(style), exstyle, controls, (x, y, cx, cy), menu, window_class, caption, points, font)
    want = (hex(0x80C800C0), 0, 0, (0, 0, 186, 90), "", "", "Dialog", 8, "MS Sans Serif")
    if got != want:
        fail("dialog 101 is %r, expected %r" % (got, want))


def version_nodes(blob, at, end):
    """Walks VS_VERSIONINFO nodes: yields (key, value bytes, is_text, children start, end)."""
    while at < end:
        length, value_length, is_text = struct.unpack_from("<HHH", blob, at)
        key, value_at = utf16z(blob, at + 6)
        value_at = (value_at + 3) & ~3
        value_bytes = value_length * 2 if is_text else value_length
        children = (value_at + value_bytes + 3) & ~3
        yield key, blob[value_at:value_at + value_bytes], is_text, children, at + length
        at = (at + length + 3) & ~3


def check_version(blob, file_name):
    (key, fixed, _, children, end), = version_nodes(blob, 0, len(blob))
    signature, _, file_ms, file_ls, product_ms, product_ls, _, _, file_os, file_type = \
        struct.unpack_from("<10I", fixed)
    got = (signature, file_ms, file_ls, product_ms, product_ls, file_os, file_type)
    want = (0xFEEF04BD, 0x00010001, 0x00010000, 0x00010001, 0x00000001, 4, 1)
    if key != "VS_VERSION_INFO" or got != want:
        fail("fixed version info %r, expected %r" % (got, want))
    strings, translation = {}, None
    for key, _, _, start, stop in version_nodes(blob, children, end):
        for table, value, _, table_start, table_stop in version_nodes(blob, start, stop):
            if key == "StringFileInfo":
                if table != "040904b0":
                    fail("string table %s, expected 040904b0" % table)
                for name, text, _, _, _ in version_nodes(blob, table_start, table_stop):
                    strings[name] = text.decode("utf-16-le").rstrip("\0")
            elif table == "Translation":
                translation = struct.unpack_from("<HH", value)
    expected = {"FileVersion": "1.01.01.00", "OriginalFilename": file_name, "Model Number": "QX481"}
    for name, text in expected.items():
        if strings.get(name) != text:
            fail("version string %s is %r, expected %r" % (name, strings.get(name), text))
    for name in ("CompanyName", "FileDescription", "LegalCopyright"):
        if not strings.get(name):
            fail("version string %s is missing" % name)
    if "ProductVersion" in strings:
        fail("the version block carries a ProductVersion string")
    if translation != (0x0409, 1200):
        fail("translation %r, expected (0x409, 1200)" % (translation,))
    print("version strings: " + ", ".join("%s=%s" % item for item in sorted(strings.items())))


def check_resources(image, console, file_name):
    found = {(rtype, name, language): blob for rtype, name, language, blob in resources(image)}
    dialog = found.get((RT_DIALOG, 101, LANG_EN_US))
    version = found.get((RT_VERSION, 1, LANG_EN_US))
    if not console:
        if dialog is None:
            fail("no dialog 101 in language 1033")
        else:
            check_dialog(dialog)
    if version is None:
        fail("no version block in language 0x409")
    else:
        check_version(version, file_name)


CERTIFICATE_TABLE = 4
WIN_CERT_REVISION_2_0, WIN_CERT_TYPE_PKCS_SIGNED_DATA = 0x0200, 0x0002
CHECKSUM_FIELD = 64  # in the optional header


def pe_checksum(image):
    """The header checksum as Windows computes it: the file's 16-bit words, the checksum field
    itself left out, summed with the carries folded back in, plus the file's length."""
    data = image.data + b"\0" * (len(image.data) % 2)
    words = array.array("H", data)
    if sys.byteorder != "little":
        words.byteswap()
    field = (image.optional + CHECKSUM_FIELD) // 2
    total = sum(words) - words[field] - words[field + 1]
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return total + len(image.data)


def check_certificates(image, signed):
    offset, size = image.directory(CERTIFICATE_TABLE)
    if not signed:
        if (offset, size) != (0, 0):
            fail("an unsigned file with a certificate table (%d bytes at %#x)" % (size, offset))
        return
    if size == 0:
        fail("no certificate table: the file is not signed")
        return
    end = len(image.data)
    if offset % 8 or offset + size != end:
        fail("the certificate table (%d bytes at %#x) does not end the file (%d bytes) on an "
             "8-byte boundary" % (size, offset, end))
        return
    entries = 0
    while offset < end:
        length, revision, kind = struct.unpack_from("<IHH", image.data, offset)
        if length < 8 or offset + length > end:
            fail("certificate entry %d at %#x has the length %d" % (entries, offset, length))
            return
        if (revision, kind) != (WIN_CERT_REVISION_2_0, WIN_CERT_TYPE_PKCS_SIGNED_DATA):
            fail("certificate entry %d is revision %#x type %d, not an Authenticode signature"
                 % (entries, revision, kind))
        offset += (length + 7) & ~7
        entries += 1
    if offset != end:
        fail("the certificate entries overrun the file by %d bytes" % (offset - end))
    stored, computed = image.field("<I", CHECKSUM_FIELD), pe_checksum(image)
    if stored != computed:
        fail("header checksum %#x, the file's is %#x" % (stored, computed))
    print("certificate table: %d bytes, %d entries; checksum %#x" % (size, entries, stored))


def main():
    arguments = sys.argv[1:]
    console, signed = "--console" in arguments, "--signed" in arguments
    max_size = next((int(argument.split("=", 1)[1]) for argument in arguments
                     if argument.startswith("--max-size=")), None)
    path, allowlist = [argument for argument in arguments if not argument.startswith("--")]
    file_name = os.path.basename(path)
    with open(path, "rb") as exe:
        image = Image(exe.read())
    check_headers(image, console)
    check_imports(image, allowlist, file_name, console)
    check_resources(image, console, file_name)
    check_certificates(image, signed)
    check_sections(image, console, max_size)
    print("size: %d bytes (%.1f KiB)" % (len(image.data), len(image.data) / 1024))
    for message in failures:
        print("FAIL: " + message)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
