"""QX481Setup.exe and its uninstaller in a real window, as a user meets them: an install through
the welcome, progress and finish pages, the uninstall through its confirmation, and the message
that a restart finishes an install whose QX481Mon.exe another program holds; then, beside it
(LanguagesTest), the welcome, finish and confirmation pages and the refusal over a newer version
in other languages.

Each test runs an X server of its own (Xvfb, on a display number it picks itself) and a prefix
that draws its windows there: without the Graphics=null setting the other tests' prefixes have.
The keyboard drives the pages (xdotool) and a picture of each page is kept in the build tree,
e2e/pages (ImageMagick's import); window_texts.exe reads what a page says. Where X cannot start,
the test fails and says why."""

import os
import shutil
import subprocess
import time
import unittest
from collections import namedtuple

from harness import BUILD, Prefix, binary, product
from machine import (NORMAL, STAND_INS, add_supported_camera, exit_code, host_path, install,
                     monitors, registry_values, run_setup, run_value, setup_command,
                     start_command_line, wait_for_commands, wait_until)
from setup_test import (FOLDER, NEWER_PROGRAM, PROGRAM, REFUSED, RESTART_NEEDED, UNINSTALL_KEY,
                        UNINSTALLER, file_version, hold, pending_renames, put_earlier_version)

PAGES = BUILD / "pages"
PROGRAM_NAME = "QX481 camera power monitor"
SETUP_TITLE = "QX481 camera power monitor Setup"
UNINSTALL_TITLE = "QX481 camera power monitor Uninstall"
X_PACKAGES = {"Xvfb": "xvfb", "xdotool": "xdotool", "import": "imagemagick"}
ENGLISH = "en_US.UTF-8"

# Each in a prefix whose user language it is (Wine's programs take it from LC_ALL): the NSIS
# language id the install leaves for its uninstaller, the titles of the setup program's and the
# uninstaller's windows, words of the welcome, finish and uninstall confirmation pages, and of
# the refusal over a newer version, with the installed version and this one.
Language = namedtuple("Language", "name locale id setup_title uninstall_title welcome finish "
                                  "confirm refusal")
LANGUAGES = [
    Language("german", "de_DE.UTF-8", 1031, "Installation von QX481 camera power monitor",
             "Deinstallation von QX481 camera power monitor", "für alle Benutzer dieses Computers",
             "startet bei jeder Anmeldung", "von diesem Computer entfernt",
             "ist installiert ({installed}; dies ist {this})"),
    Language("japanese", "ja_JP.UTF-8", 1041, "QX481 camera power monitor セットアップ",
             "QX481 camera power monitor アンインストール", "すべてのユーザーにインストールします",
             "すべてのユーザーのログオン時に起動します", "このコンピュータから削除します",
             "新しいバージョン ({installed}) がインストールされています (このプログラムは {this})"),
    Language("russian", "ru_RU.UTF-8", 1049, "Установка QX481 camera power monitor",
             "Удаление QX481 camera power monitor", "для всех пользователей этого компьютера",
             "запускается при каждом входе в систему", "удалит QX481 camera power monitor",
             "Установлена более новая версия QX481 camera power monitor ({installed}; эта версия "
             "— {this})"),
]
# The uninstall speaks the language of the install, also to a user whose Windows speaks another.
UNINSTALLING_USER = {"german": ENGLISH}


class Display:
    """An X server of the test's own, on the first free display number (Xvfb -displayfd)."""

    def __enter__(self):
        missing = [f"{tool} (package {package})" for tool, package in X_PACKAGES.items()
                   if not shutil.which(tool)]
        if missing:
            raise AssertionError(f"cannot show the pages: {', '.join(missing)} not installed; "
                                 "scripts/setup.sh installs them")
        read, write = os.pipe()
        self.log = BUILD / "work" / "xvfb.log"
        self.log.parent.mkdir(parents=True, exist_ok=True)
        with open(self.log, "w") as log:
            self.server = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write), "-screen", "0", "800x600x24", "-nolisten",
                 "tcp"], pass_fds=[write], stdout=log, stderr=log, stdin=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as numbers:
            number = numbers.readline().strip()
        if not number:
            self.server.wait()
            raise AssertionError(f"Xvfb did not start (exit code {self.server.returncode}): "
                                 f"{self.log.read_text().strip()}")
        self.name = ":" + number
        self.env = {**os.environ, "DISPLAY": self.name}
        return self

    def __exit__(self, *exception):
        self.server.terminate()
        self.server.wait()
        return False

    def windows(self, title):
        """The ids of the windows with this title (NSIS ends some with a blank), oldest first.
        xdotool's search reads the Latin-1 title Wine gives X, where Russian or Japanese letters
        are question marks: it finds the windows of the program's name, and their UTF-8 titles
        decide."""
        found = subprocess.run(["xdotool", "search", "--name", PROGRAM_NAME], env=self.env,
                               capture_output=True, text=True)
        return [window for window in found.stdout.split()
                if self.title(window) in (title, title + " ")]

    def title(self, window):
        named = subprocess.run(["xdotool", "getwindowname", window], env=self.env,
                               capture_output=True, text=True)
        return named.stdout.removesuffix("\n")

    def picture(self, window):
        """The window's picture, as PNG bytes; None when it is gone."""
        taken = subprocess.run(["import", "-window", window, "png:-"], env=self.env,
                               capture_output=True)
        return taken.stdout if taken.returncode == 0 else None

    def key(self, name):
        subprocess.run(["xdotool", "key", name], env=self.env, check=True)


class PageTest(unittest.TestCase):
    def setUp(self):
        PAGES.mkdir(parents=True, exist_ok=True)

    def window(self, display, title, count=1, timeout=30):
        """Waits until count windows have this title; the newest. Without it, the screen's
        picture is kept as pages/missing.png."""
        if not wait_until(lambda: len(display.windows(title)) >= count, timeout):
            (PAGES / "missing.png").write_bytes(display.picture("root"))
            self.fail(f"no window {title!r} after {timeout} s; screen in {PAGES}/missing.png")
        return display.windows(title)[-1]

    def page(self, display, window, name, previous=None):
        """Waits until the window shows a page other than previous and has stopped changing,
        keeps its picture as pages/NAME.png and returns it."""
        def settled():
            first = display.picture(window)
            time.sleep(0.3)
            second = display.picture(window)
            return second if first == second and second not in (None, previous) else None
        picture = wait_until(settled, 20)
        self.assertTrue(picture, f"page {name} did not settle")
        (PAGES / f"{name}.png").write_bytes(picture)
        return picture

    def assertSays(self, wine, title, words):
        """The window with this title says these words, in its title or on its page."""
        said = wine.run(wine.put(binary("window_texts.exe"))).stdout
        windows = {}
        for line in said.splitlines():
            if line.startswith("\t"):
                windows[title_said] += line
            else:
                title_said = line.strip()
                windows[title_said] = title_said
        self.assertIn(words, windows.get(title, ""), f"{title!r} does not say {words!r}: {said}")


class SetupWindowTest(PageTest):
    def test_install_uninstall_and_restart_message(self):
        with Display() as display, Prefix("setup_window", display.name, ENGLISH) as wine:
            add_supported_camera(wine)
            install(wine, r"C:\windows", names=STAND_INS)

            setup = start_command_line(wine, setup_command(wine))
            window = self.window(display, SETUP_TITLE, timeout=60)
            welcome = self.page(display, window, "install-1-welcome")
            display.key("Return")
            self.assertTrue(wait_until(lambda: registry_values(wine, UNINSTALL_KEY)))
            self.assertEqual([code for _, code in wait_for_commands(wine, 1)], [NORMAL])
            progress = self.page(display, window, "install-2-progress", welcome)
            display.key("Return")
            self.page(display, window, "install-3-finish", progress)
            display.key("Return")
            self.assertEqual(exit_code(setup), 0)
            self.assertEqual(monitors(wine), [[PROGRAM, "/i"]])
            self.assertEqual(run_value(wine), PROGRAM)
            self.assertTrue(host_path(wine, UNINSTALLER).exists())

            command = registry_values(wine, UNINSTALL_KEY)["UninstallString"]
            uninstall = start_command_line(wine, command)
            window = self.window(display, UNINSTALL_TITLE)
            confirm = self.page(display, window, "uninstall-1-confirm")
            display.key("Return")
            self.assertTrue(wait_until(lambda: not registry_values(wine, UNINSTALL_KEY)))
            self.page(display, window, "uninstall-2-progress", confirm)
            display.key("Return")
            self.assertEqual(exit_code(uninstall), 0)
            self.assertEqual(monitors(wine), [])
            self.assertIsNone(run_value(wine))
            self.assertFalse(host_path(wine, PROGRAM).exists())
            self.assertTrue(wait_until(lambda: not host_path(wine, FOLDER).exists(), 10))

            # Installed again, then an earlier version in place and held: after the wait the
            # message says that a restart finishes the installation, and so does the finish page.
            self.assertEqual(run_setup(wine, "/S"), 0)
            put_earlier_version(wine)
            holder = hold(wine, PROGRAM)
            setup = start_command_line(wine, setup_command(wine))
            window = self.window(display, SETUP_TITLE)
            welcome = self.page(display, window, "in-use-1-welcome")
            display.key("Return")
            message = self.window(display, SETUP_TITLE, count=2)
            self.page(display, message, "in-use-2-restart-message")
            display.key("Return")
            # The install goes on to its end, which starts the earlier copy again.
            self.assertTrue(wait_until(lambda: monitors(wine) == [[PROGRAM, "/i"]]))
            progress = self.page(display, window, "in-use-3-progress", welcome)
            display.key("Return")
            self.page(display, window, "in-use-4-finish", progress)
            display.key("Return")
            self.assertEqual(exit_code(setup), RESTART_NEEDED)
            self.assertIn(PROGRAM, pending_renames(wine))
            holder.kill()


def has_font(locale):
    """Whether fontconfig, which Wine draws with, has a font for the locale's language: without
    one the pages show empty boxes, and their texts would still read right."""
    fonts = subprocess.run(["fc-list", f":lang={locale.split('_')[0]}"], capture_output=True,
                           text=True)
    return bool(fonts.stdout.strip())


class LanguagesTest(PageTest):
    def test_pages(self):
        with Display() as display:
            for language in LANGUAGES:
                with self.subTest(language.name):
                    self.assertTrue(has_font(language.locale),
                                    f"no font draws {language.name}; scripts/setup.sh installs one")
                    self.show_pages(display, language)

    def show_pages(self, display, language):
        """Installs with a window through the finish page, cancels the uninstall at its
        confirmation, and with a newer version in place is refused, on a machine without the
        camera: what the pages say is the same there."""
        with Prefix(f"setup_{language.name}", display.name, language.locale) as wine:
            setup = start_command_line(wine, setup_command(wine))
            window = self.window(display, language.setup_title, timeout=60)
            welcome = self.page(display, window, f"{language.name}-1-welcome")
            self.assertSays(wine, language.setup_title, language.welcome)
            display.key("Return")
            self.assertTrue(wait_until(lambda: registry_values(wine, UNINSTALL_KEY)))
            progress = self.page(display, window, f"{language.name}-2-progress", welcome)
            display.key("Return")
            self.page(display, window, f"{language.name}-3-finish", progress)
            self.assertSays(wine, language.setup_title, language.finish)
            display.key("Return")
            self.assertEqual(exit_code(setup), 0)
            entry = wait_until(lambda: registry_values(wine, UNINSTALL_KEY))
            self.assertEqual(entry.get("Installer Language"), str(language.id))

            wine.language = UNINSTALLING_USER.get(language.name, language.locale)
            uninstall = start_command_line(wine, entry["UninstallString"])
            window = self.window(display, language.uninstall_title)
            self.page(display, window, f"{language.name}-4-uninstall-confirm")
            self.assertSays(wine, language.uninstall_title, language.confirm)
            display.key("Escape")
            self.assertEqual(exit_code(uninstall), 1)

            wine.language = language.locale
            newer = NEWER_PROGRAM.read_bytes()
            host_path(wine, PROGRAM).write_bytes(newer)
            setup = start_command_line(wine, setup_command(wine))
            message = self.window(display, language.setup_title)
            self.page(display, message, f"{language.name}-5-newer-refused")
            self.assertSays(wine, language.setup_title, language.refusal.format(
                installed=file_version(newer), this=file_version(product().read_bytes())))
            display.key("Return")
            self.assertEqual(exit_code(setup), REFUSED)
            self.assertEqual(host_path(wine, PROGRAM).read_bytes(), newer)


if __name__ == "__main__":
    unittest.main(verbosity=2)
