"""The setup program's own texts in every language it speaks (installer/QX481Lang.nsh), read as
makensis reads them, without building or drawing anything: each language carries every text, with
the names and values the English puts in it, and in Windows' own words for what Windows names."""

import re
import unittest
from pathlib import Path

TEXTS_FILE = Path(__file__).resolve().parents[2] / "installer" / "QX481Lang.nsh"

# The languages in their order, which decides: English first, for every Windows that speaks none
# of them; Traditional Chinese before Simplified, for Hong Kong's. Beside each, the words Windows
# XP uses in it for "restart" (the forms its sentences need), "Add or Remove Programs" and
# "administrator".
WINDOWS_WORDS = {
    "English": ("restart", "Add or Remove Programs", "administrator"),
    "German": ("Neustart|neu gestartet|Starten Sie Windows neu", "„Software“", "Administrator"),
    "French": ("redémarr", "Ajout/Suppression de programmes", "administrateur"),
    "Spanish": ("reinici", "Agregar o quitar programas", "administrador"),
    "Italian": ("riavvi", "Installazione applicazioni", "amministratore"),
    "PortugueseBR": ("reinici", "Adicionar ou remover programas", "administrador"),
    "Dutch": ("opnieuw (op|is opgestart|wordt opgestart)", '"Software"', "beheerder"),
    "Polish": ("ponown", "Dodaj lub usuń programy", "administrator"),
    "Czech": ("restart", "Přidat nebo odebrat programy", "správce"),
    "Russian": ("перезагруз", "«Установка и удаление программ»", "администратор"),
    "Turkish": ("yeniden başlat", "Program Ekle veya Kaldır", "yönetici"),
    "Japanese": ("再起動", "[プログラムの追加と削除]", "管理者"),
    "Korean": ("다시 시작", "[프로그램 추가/제거]", "관리자"),
    "TradChinese": ("重新開機", "「新增或移除程式」", "系統管理員"),
    "SimpChinese": ("重新启动", "“添加或删除程序”", "管理员"),
}
# What a translation carries where the English does: the program's name, paths, file names, the
# message or the versions that $3 and $4 hold and NSIS's "Click Install" sentence; and as many
# paragraphs.
KEPT = ["$(^Name)", "${PROGRAM}", "$WINDIR", "$3", "$4", "$_CLICK", "QX481Mon.exe",
        "QX481Mon.msi"]
ESCAPES = {'$\\"': '"', "$\\r": "\r", "$\\n": "\n", "$$": "$"}


def read_texts(path):
    """{language: {name: text}} in the file's order, from lines as makensis joins them."""
    source = path.read_text(encoding="utf-8-sig")
    lines = re.sub(r"\\\n\s*", "", source).splitlines()
    texts, names = {}, {}
    for line in lines:
        if language := re.fullmatch(r"!insertmacro MUI_LANGUAGE (\w+)", line):
            texts[language[1]] = {}
            names[language[1].upper()] = language[1]
        elif text := re.fullmatch(r'LangString (\w+) \$\{LANG_(\w+)\} "(.*)"', line):
            value = re.sub(r'\$\\["rn]|\$\$', lambda escape: ESCAPES[escape[0]], text[3])
            texts[names[text[2]]][text[1]] = value
    return texts


TEXTS = read_texts(TEXTS_FILE)
ENGLISH = TEXTS["English"]


class TextsTest(unittest.TestCase):
    def test_read_as_utf8(self):
        # Without its byte-order mark makensis 3.08 would read the file in the system's code page.
        self.assertTrue(TEXTS_FILE.read_bytes().startswith(b"\xef\xbb\xbf"))

    def test_languages_in_their_order(self):
        self.assertEqual(list(TEXTS), list(WINDOWS_WORDS))

    def test_every_language_carries_every_text(self):
        for language, texts in TEXTS.items():
            with self.subTest(language):
                self.assertEqual(sorted(texts), sorted(ENGLISH))

    def test_translations_keep_what_the_english_carries(self):
        for language, texts in TEXTS.items():
            for name, text in texts.items():
                with self.subTest(language=language, name=name):
                    self.assertEqual([kept for kept in KEPT if kept in text],
                                     [kept for kept in KEPT if kept in ENGLISH[name]])
                    self.assertEqual(text.count("\r\n\r\n"), ENGLISH[name].count("\r\n\r\n"))
                    if language != "English":
                        self.assertNotEqual(text, ENGLISH[name])

    def test_windows_words(self):
        for language, (restart, programs, administrator) in WINDOWS_WORDS.items():
            for name, text in TEXTS[language].items():
                english = ENGLISH[name]
                with self.subTest(language=language, name=name):
                    if re.search("restart", english, re.I):
                        self.assertRegex(text, re.compile(restart, re.I))
                    if "Add or Remove Programs" in english:
                        self.assertIn(programs, text)
                    if "administrator" in english:
                        self.assertRegex(text, re.compile(re.escape(administrator), re.I))


if __name__ == "__main__":
    unittest.main(verbosity=2)
