#!/usr/bin/env python3
"""scripts/release.sh on two clones of the tree under test at different paths, built with a
different time zone, umask, locale and number of jobs: clone A makes the unsigned release and
then a signed one, clone B the signed one, with a throwaway certificate authority made by
tests/release/test_ca.sh. Three builds in all; the checks below share them. Beside them, the
plain text that scripts/release_zip.py makes of Markdown for the guide it ships, README.txt.

Usage: release_test.py QX481Mon.exe QX481Diag.exe QX481Setup.exe QX481Mon.msi
  the files of the plain preset build (build/xp), which the unsigned release must equal
"""
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "scripts"))
import release_zip  # noqa: E402
PLAIN = [Path(path) for path in sys.argv[1:5]]
VERSION = "1.01.01.00"
UNSIGNED = f"QX481Mon-{VERSION}-unsigned"
SIGNED = f"QX481Mon-{VERSION}"
SHIPPED = ["QX481Mon.exe", "QX481Diag.exe", "QX481Setup.exe", "QX481Mon.msi"]
# The guide's one source, made plain text into README.txt.
GUIDE_PAGES = ["docs/deployment.md", "docs/support.md"]
# Where the builds differ in all but their source.
ENVIRONMENTS = {
    "a": {"TZ": "UTC", "LC_ALL": "C", "CMAKE_BUILD_PARALLEL_LEVEL": "2", "umask": 0o022},
    "b": {"TZ": "Pacific/Kiritimati", "LC_ALL": "C.UTF-8", "CMAKE_BUILD_PARALLEL_LEVEL": "3",
          "umask": 0o077},
}


def git(folder, *arguments, env=None):
    return subprocess.run(["git", "-C", folder, "-c", "user.name=release test",
                           "-c", "user.email=release-test@localhost", *arguments],
                          env={**os.environ, **(env or {})}, check=True, capture_output=True,
                          text=True).stdout


def clone_tree_under_test(destination):
    """A clone whose last commit holds the tree under test as it is, with what it has not
    committed yet: a release is made from a commit, and these tests test the tree. That commit
    bears the time of the one it follows, which the plain build's package carries."""
    git(SOURCE, "clone", "-q", SOURCE, destination)
    listed = git(SOURCE, "ls-files", "-z", "--cached", "--others", "--exclude-standard")
    for name in filter(None, listed.split("\0")):
        source, copy = SOURCE / name, destination / name
        if source.is_file():
            copy.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy2(source, copy)
        elif copy.exists():
            copy.unlink()
    if git(destination, "status", "--porcelain"):
        git(destination, "add", "-A")
        date = git(SOURCE, "log", "-1", "--format=%cI").strip()
        git(destination, "commit", "-q", "-m", "The tree under test",
            env={"GIT_AUTHOR_DATE": date, "GIT_COMMITTER_DATE": date})


def release(clone, environment, *arguments):
    variables = {key: value for key, value in environment.items() if key != "umask"}
    old = os.umask(environment["umask"])
    try:
        return subprocess.run([clone / "scripts" / "release.sh", *arguments],
                              env={**os.environ, **variables}, capture_output=True, text=True)
    finally:
        os.umask(old)


def members(path):
    """{name in the folder: bytes}, after checking that the zip holds that one folder only."""
    with zipfile.ZipFile(path) as bundle:
        folder = bundle.namelist()[0]
        assert folder.endswith("/") and all(name.startswith(folder) for name in bundle.namelist())
        return {name[len(folder):]: bundle.read(name) for name in bundle.namelist()[1:]}


class ReleaseTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = Path(tempfile.mkdtemp(prefix="qx481-release-"))
        cls.addClassCleanup(shutil.rmtree, cls.work)
        cls.ca = cls.work / "ca"
        subprocess.run([SOURCE / "tests/release/test_ca.sh", cls.ca], check=True)
        cls.a = cls.work / "a" / "QX481Mon"
        cls.b = cls.work / "elsewhere" / "b" / "QX481Mon"
        clone_tree_under_test(cls.a)
        git(cls.work, "clone", "-q", cls.a, cls.b)
        cls.key = ["--key", cls.ca / "key.pem", "--cert", cls.ca / "cert.pem"]

        cls.runs = {}
        for name, clone, signing in [("unsigned", cls.a, []), ("signed a", cls.a, cls.key),
                                     ("signed b", cls.b, cls.key)]:
            cls.runs[name] = release(clone, ENVIRONMENTS[clone.parent.name], *signing)
        cls.unsigned = cls.a / "dist" / f"{UNSIGNED}.zip"
        cls.signed = {clone: clone / "dist" / f"{SIGNED}.zip" for clone in (cls.a, cls.b)}

    def setUp(self):
        for name, done in self.runs.items():
            self.assertEqual(done.returncode, 0, f"{name}: {done.stdout}{done.stderr}")

    def test_two_clones_give_the_same_files(self):
        self.assertEqual(self.signed[self.a].read_bytes(), self.signed[self.b].read_bytes())
        # Unsigned, as the signed release of clone B built them beside the signed ones.
        unsigned = members(self.unsigned)
        for name in SHIPPED:
            with self.subTest(name=name):
                self.assertEqual((self.b / "build/release" / name).read_bytes(), unsigned[name])

    def test_plain_preset_build_gives_the_unsigned_release(self):
        unsigned = members(self.unsigned)
        for path in PLAIN:
            with self.subTest(name=path.name):
                self.assertEqual(path.read_bytes(), unsigned[path.name])

    def test_zip_holds_what_sha256sums_lists(self):
        commit = git(self.a, "rev-parse", "HEAD").strip()
        epoch = git(self.a, "log", "-1", "--format=%ct").strip()
        headings = [line.lstrip("#").strip() for page in GUIDE_PAGES
                    for line in (self.a / page).read_text().splitlines() if line.startswith("#")]
        for path in [self.unsigned, self.signed[self.a]]:
            with self.subTest(zip=path.name):
                files = members(path)
                sums = files.pop("SHA256SUMS").decode("ascii").splitlines()
                listed = {line.split("  ")[1]: line.split("  ")[0] for line in sums}
                self.assertEqual(sorted(listed), sorted(SHIPPED + ["README.txt", "BUILDINFO"]))
                self.assertEqual({name: hashlib.sha256(data).hexdigest()
                                  for name, data in files.items()}, listed)
                readme = files["README.txt"]
                self.assertEqual(readme, release_zip.release_readme(
                    self.a / "installer/README.txt", SHIPPED, path != self.unsigned, VERSION,
                    commit, epoch))
                self.assertEqual(readme.count(b"\n"), readme.count(b"\r\n"))
                self.assertIn(f"Built from commit {commit}".encode(), readme)
                self.assertNotIn(b"@", readme)
                for heading in headings:
                    self.assertIn(f"\r\n{heading}\r\n".encode(), readme)
                buildinfo = files["BUILDINFO"].decode("ascii")
                self.assertIn(f"commit: {commit}\r\n", buildinfo)
                self.assertRegex(buildinfo, r"\r\n  mingw-w64-i686-dev \S+\r\n")

    def test_signatures(self):
        signed, unsigned = members(self.signed[self.a]), members(self.unsigned)
        for name in SHIPPED:
            path = self.work / name
            path.write_bytes(signed[name])
            for index, digest in enumerate(["SHA1", "SHA256"]):
                with self.subTest(name=name, signature=index):
                    done = subprocess.run(["osslsigncode", "verify", "-CAfile",
                                           self.ca / "ca.pem", "-index", str(index), "-in", path],
                                          capture_output=True, text=True)
                    self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
                    self.assertRegex(done.stdout, f"Message digest algorithm *: {digest}\n")
        # The programs come back as built; the setup program packs the signed monitor instead.
        for name in ["QX481Mon.exe", "QX481Diag.exe"]:
            with self.subTest(removed_from=name):
                bare = self.work / f"bare-{name}"
                subprocess.run(["osslsigncode", "remove-signature", "-in", self.work / name,
                                "-out", bare], check=True, capture_output=True)
                self.assertEqual(bare.read_bytes(), unsigned[name])

    def test_refusals(self):
        wrong = release(self.a, ENVIRONMENTS["a"], "--key", self.ca / "key.pem",
                        "--cert", self.ca / "wrong-cert.pem")
        with (self.a / "README.md").open("a") as readme:
            readme.write("uncommitted\n")
        try:
            dirty = release(self.a, ENVIRONMENTS["a"])
        finally:
            git(self.a, "checkout", "README.md")
        for what, done, message in [("a wrong certificate authority", wrong, "does not lead to"),
                                    ("uncommitted changes", dirty, "uncommitted changes")]:
            with self.subTest(what=what):
                self.assertEqual(done.returncode, 1, done.stdout + done.stderr)
                self.assertIn(message, done.stderr)


# Markdown in, README.txt's lines out (pages named page.md and support.md ship).
GUIDE_TEXT = [
    ("headings", "# Guide\n\n## Exit codes\n",
     ["", "", "Guide", "=====", "", "", "Exit codes", "----------"]),
    ("code with a blank never breaks a line",
     "Run " + "x" * 60 + " then `C:\\Program Files\\Uninstall.exe` at once.",
     ["", "Run " + "x" * 60 + " then", "C:\\Program Files\\Uninstall.exe at once."]),
    # cmd would take quotes around a command for part of its program's name.
    ("commands as typed", "Run `QX481Setup.exe /S`, or the entry's\n(`MsiExec.exe /X{P}`).",
     ["", "Run QX481Setup.exe /S, or the entry's (MsiExec.exe /X{P})."]),
    ("a command in a list and a table", "- `a.exe /i` then\n\n| c | m |\n|---|---|\n"
     "| `b.exe /x y` | done |", ["", "  - a.exe /i then", "", "  b.exe /x y   done"]),
    ("fenced quotes stay", '```\n"C:\\Program Files\\U.exe" /S _?=C:\\Program Files\n```',
     ["", '  "C:\\Program Files\\U.exe" /S _?=C:\\Program Files']),
    ("links", "See [Restarts](#restarts), [FAQ](support.md#faq), [the site](https://a.example/x).",
     ["", 'See "Restarts", "FAQ", the site (https://a.example/x).']),
    ("lists", "- one\n  two\n- three\n\n1. first\n2. second",
     ["", "  - one two", "  - three", "", "  1. first", "  2. second"]),
    ("fenced code, blank line and all", "```\na  b\n\nc\n```", ["", "  a  b", "", "  c"]),
    ("narrow table", "| code | meaning |\n|---|---|\n| 0 | done |\n| 3010 | restart |",
     ["", "  0      done", "  3010   restart"]),
    ("wide table", "| line | means | do |\n|---|---|---|\n| `verdict: does not run: no camera "
     "is installed` | no camera | plug it in |",
     ["", "  verdict: does not run: no camera is installed", "      means: no camera",
      "      do: plug it in"]),
    ("pictures alone", "![a](a.png)\n![b](b.png)", []),
]
GUIDE_REFUSALS = [
    ("not ASCII", "caf\u00e9", "page.md:1"),
    ("a page that does not ship", "See [building](building.md).", "building.md"),
    ("a third level of heading", "### Detail", "only # and ##"),
]


class GuideTextTest(unittest.TestCase):
    def make(self, markdown):
        with tempfile.TemporaryDirectory() as folder:
            page = Path(folder) / "page.md"
            page.write_text(markdown)
            return release_zip.guide_text(page, {"page.md", "support.md"})

    def test_made_plain(self):
        for what, markdown, lines in GUIDE_TEXT:
            with self.subTest(what):
                self.assertEqual(self.make(markdown), lines)

    def test_pages_code_prints_as_typed(self):
        """Every piece of code in the pages shipped, each command among them, in README.txt as
        it is typed: a fenced block as its lines, indented; inline code whole on one line and
        never inside quotes, which cmd would take for part of a program's name."""
        text = release_zip.release_readme(SOURCE / "installer/README.txt", SHIPPED, False,
                                          VERSION, "0" * 40, 0).decode("ascii").replace("\r", "")
        inline = []
        for page in GUIDE_PAGES:
            for block in release_zip.blocks((SOURCE / page).read_text()):
                if not block[0].startswith("```"):
                    inline += re.findall(r"`([^`]*)`", " ".join(" ".join(block).split()))
                    continue
                printed = "\n\n%s\n" % "\n".join("  " + line if line else ""
                                                for line in block[1:-1])
                with self.subTest(fenced=block[1]):
                    self.assertIn(printed, text)
                # What is left is the running text, whose code the fenced lines must not stand
                # in for.
                text = text.replace(printed, "\n\n", 1)
        for code in sorted(set(inline)):
            with self.subTest(code=code):
                self.assertTrue(code in text, "not in README.txt whole")
                self.assertFalse(f'"{code}"' in text, "in quotes in README.txt")

    def test_refused(self):
        for what, markdown, message in GUIDE_REFUSALS:
            with self.subTest(what), self.assertRaisesRegex(SystemExit, message):
                self.make(markdown)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
