#!/usr/bin/env python3
"""Packs a release (scripts/release.sh): one folder NAME holding FILES, README.txt, BUILDINFO
and SHA256SUMS, zipped with the commit's date on every entry, in a fixed order and with fixed
permissions, so that the same files give the same zip.

Usage: release_zip.py --name NAME --version VERSION --commit SHA --time EPOCH --readme TEMPLATE
                      --buildinfo FILE [--signed] --out ZIP FILES...

BUILDINFO is FILE and README.txt the template (installer/README.txt), both with Windows line
endings, in ASCII. In the template:
- @VERSION@, @COMMIT@ and @DATE@ are filled in.
- What stands between "@if WORD@" and "@endif@", on one line or as lines of their own, stays only
  when WORD is "signed" and the files are, "unsigned" and they are not, or one of FILES' names;
  "@if !WORD@" keeps it in the other case.
- A line "@include PAGE@" stands for the Markdown page PAGE (a path from the template's folder)
  made plain text by guide_text: the guide's one source is docs/deployment.md and
  docs/support.md.
"""
import argparse
import hashlib
import re
import textwrap
import time
import zipfile
from pathlib import Path

WIDTH = 78
KEEP = "\0"  # a blank that does not break a line
LINK = re.compile(r"(!?)\[([^\]]*)\]\(([^)\s]*)\)")


def inline(text, where, pages):
    """Text without Markdown's inline marks: **strong** loses its stars; `code` its backticks,
    and nothing takes their place: code is mostly commands, which must read as they are typed,
    and cmd would take quotes around one for part of its program's name. A blank in code never
    breaks a line (KEEP stands for it until the lines are made). A link to a section of the
    pages shipped becomes its text in quotes, one to a web page its text and address."""
    def link(match):
        image, label, target = match.groups()
        if target.startswith(("http://", "https://")):
            return f"{label} ({target})"
        if image or target.split("#")[0] not in pages | {""}:
            raise SystemExit(f"{where}: links to {target}, which README.txt does not hold")
        return f'"{label}"'
    text = re.sub(r"`([^`]*)`", lambda match: match.group(1).replace(" ", KEEP), text)
    text = re.sub(r"\*\*(.+?)\*\*", r"\1", text)
    return LINK.sub(link, text)


def wrap(text, lead="", indent=""):
    return textwrap.wrap(text, WIDTH, initial_indent=lead, subsequent_indent=indent,
                         break_long_words=False, break_on_hyphens=False) or [lead.rstrip()]


def cells(row):
    return [cell.strip() for cell in row.strip().strip("|").split("|")]


def table(rows, where, pages):
    """The rows under the header: columns side by side, the last wrapped beside the others,
    when that leaves it half the width and room for each of its words; otherwise each row as a
    block, its first cell on a line and the others below it, named by their headers when there
    are more than one."""
    header, body = cells(rows[0]), [[inline(cell, where, pages) for cell in cells(row)]
                                    for row in rows[2:]]
    widths = [max(len(row[column]) for row in body) for column in range(len(header) - 1)]
    lines, room = [], WIDTH - 2 - sum(widths) - 3 * len(widths)
    if room >= WIDTH // 2 and all(len(word) <= room for row in body for word in row[-1].split()):
        for row in body:
            lead = "  " + "".join(cell.ljust(width + 3) for cell, width in zip(row, widths))
            lines += wrap(row[-1], lead, " " * len(lead))
        return lines
    for row in body:
        lines += wrap(row[0], "  ", "  ")
        for name, cell in zip(header[1:], row[1:]):
            named = f"{inline(name, where, pages)}: {cell}" if len(header) > 2 else cell
            lines += wrap(named, "      ", "      ")
        lines.append("")
    return lines[:-1]


def blocks(source):
    """The page's blocks, as lists of lines: a heading alone, fenced code from its fence to the
    closing one, and otherwise what blank lines part."""
    block, lines = [], iter(source.splitlines())
    for line in lines:
        if line.startswith("```"):
            if block:
                yield block
            block = [line]
            for line in lines:
                block.append(line)
                if line == "```":
                    break
            else:
                raise SystemExit("fenced code without its closing fence")
            yield block
            block = []
        elif line.startswith("#") or not line.strip():
            if block:
                yield block
            block = []
            if line.strip():
                yield [line]
        else:
            block.append(line)
    if block:
        yield block


def guide_text(page, pages):
    """The Markdown page as plain text lines: headings underlined ("#" with "=", "##" with "-"),
    paragraphs and list items ("- ", "1. ") wrapped at WIDTH columns, fenced code indented as it
    stands, tables as table() lays them out, and paragraphs of pictures left out. PAGES are the
    names of the pages README.txt holds, which links may lead to."""
    source = page.read_text()
    for number, line in enumerate(source.splitlines(), 1):
        if not line.isascii():
            raise SystemExit(f"{page}:{number}: not ASCII, which README.txt must be")
    lines = []
    for block in blocks(source):
        where = f"{page}: {block[0]}"
        text = " ".join(" ".join(block).split())
        if block[0].startswith("#"):
            heading = re.fullmatch(r"(#{1,2}) (.*)", block[0])
            if not heading:
                raise SystemExit(f"{where}: only # and ## headings are made plain text")
            title = inline(heading.group(2), where, pages)
            lines += ["", "", title, ("=" if heading.group(1) == "#" else "-") * len(title)]
        elif block[0].startswith("```"):
            lines += [""] + ["  " + line if line else "" for line in block[1:-1]]
        elif block[0].startswith("|"):
            lines += [""] + table(block, where, pages)
        elif not LINK.sub(lambda match: "" if match.group(1) else "-", text).strip():
            continue  # pictures alone
        elif re.match(r"- |\d+\. ", text):
            lines.append("")
            for item in re.split(r"\n(?=- |\d+\. )", "\n".join(block)):
                marker = re.match(r"- |\d+\. ", item).group()
                lead = "  " + marker
                lines += wrap(inline(" ".join(item[len(marker):].split()), where, pages), lead,
                              " " * len(lead))
        else:
            lines += [""] + wrap(inline(text, where, pages))
    return [line.replace(KEEP, " ") for line in lines]


def readme(template, words, values):
    """README.txt's bytes: the template with its conditions kept or dropped, its values filled
    in and its pages included."""
    def holds(condition):
        return condition[1:] not in words if condition.startswith("!") else condition in words

    template = Path(template)
    includes = re.findall(r"^@include (\S+)@$", template.read_text(), re.MULTILINE)
    pages = {Path(page).name for page in includes}
    lines, keep = [], [True]
    for line in template.read_text().splitlines():
        line = re.sub(r"@if (\S+)@(.*?)@endif@",
                      lambda match: match.group(2) if holds(match.group(1)) else "", line)
        condition = re.fullmatch(r"@if (\S+)@", line)
        include = re.fullmatch(r"@include (\S+)@", line)
        if condition:
            keep.append(keep[-1] and holds(condition.group(1)))
        elif line == "@endif@":
            keep.pop()
        elif keep[-1] and include:
            lines += guide_text(template.parent / include.group(1), pages)
        elif keep[-1]:
            lines.append(re.sub(r"@([A-Z]+)@", lambda match: values[match.group(1)], line))
    if len(keep) != 1:
        raise SystemExit("%s: an @if@ without its @endif@" % template)
    return "".join(line + "\r\n" for line in lines).encode("ascii")


def release_readme(template, names, signed, version, commit, epoch):
    """README.txt for a release of the files NAMES, as main() makes it."""
    words = set(names) | {"signed" if signed else "unsigned"}
    values = {"VERSION": version, "COMMIT": commit,
              "DATE": time.strftime("%Y-%m-%d %H:%M:%S UTC", time.gmtime(int(epoch)))}
    return readme(template, words, values)


def main():
    parser = argparse.ArgumentParser()
    for option in ("--name", "--version", "--commit", "--time", "--readme", "--buildinfo",
                   "--out"):
        parser.add_argument(option, required=True)
    parser.add_argument("--signed", action="store_true")
    parser.add_argument("files", nargs="+", type=Path)
    arguments = parser.parse_args()

    date = time.gmtime(int(arguments.time))
    contents = [(path.name, path.read_bytes()) for path in arguments.files]
    contents.append(("README.txt", release_readme(
        arguments.readme, [path.name for path in arguments.files], arguments.signed,
        arguments.version, arguments.commit, arguments.time)))
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
