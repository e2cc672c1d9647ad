import os
import tempfile
import unittest

from nolu_e2e.errors import HarnessError
from nolu_e2e.product_checks import command_line_parameters
from nolu_e2e.sample import SampleProduct, decode_ini, parse_ini, uninstall_record_paths

SCRIPT = """<?xml version="1.0" encoding="utf-8"?>
<Install>
  <product>
    <Settings><SETTING name="ProductName" value="Nolu"/></Settings>
    <Components>
      <File name="$DEST\\Nolu.exe"/>
      <File name="$DEST\\Readme.txt" lang-family="EN">Docs\\EN\\Readme.txt</File>
      <File name="$DEST\\Readme.txt" lang-family="DE">Docs\\DE\\Readme.txt</File>
      <file name="$DEST\\Plugins\\PlugF\\Lang\\de.ini" lang-family="de">Plugins\\PlugF\\Lang\\de.ini</file>
    </Components>
    <Shortcuts><File name="$DESKTOP\\$NAME.lnk">$DEST\\Nolu.exe</File></Shortcuts>
  </product>
</Install>
"""


class SampleProductTest(unittest.TestCase):
    def product(self, script=SCRIPT):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        folder = os.path.join(tmp.name, "sample", "setup")
        os.makedirs(folder)
        with open(os.path.join(folder, "Install.xml"), "w", encoding="utf-8") as f:
            f.write(script)
        return SampleProduct(tmp.name, os.path.join(tmp.name, "build"))

    def test_components_of_a_family_keep_script_order_and_name_their_entries(self):
        product = self.product()
        cases = {
            "EN": [("Nolu.exe", "Nolu.exe"), ("Readme.txt", "Docs\\EN\\Readme.txt")],
            # Families and element names are compared ignoring case, as the setup does.
            "de": [("Nolu.exe", "Nolu.exe"), ("Readme.txt", "Docs\\DE\\Readme.txt"),
                   ("Plugins\\PlugF\\Lang\\de.ini", "Plugins\\PlugF\\Lang\\de.ini")],
            "RU": [("Nolu.exe", "Nolu.exe")],
        }
        for family, expected in cases.items():
            with self.subTest(family):
                self.assertEqual([(c.target, c.entry) for c in product.components(family)],
                                 expected)
        self.assertEqual(product.name, "Nolu")
        self.assertEqual([(l.link, l.target) for l in product.shortcuts()],
                         [("$DESKTOP\\$NAME.lnk", "$DEST\\Nolu.exe")])

    def test_a_component_outside_the_destination_is_refused(self):
        product = self.product(SCRIPT.replace("$DEST\\Nolu.exe", "$PROGRAMS\\Nolu.exe"))
        with self.assertRaisesRegex(HarnessError, "PROGRAMS.*does not lie in"):
            product.all_components()

    def test_missing_build_outputs_are_named(self):
        with self.assertRaisesRegex(HarnessError, "PRODUCT.ipk5 is not built"):
            self.product().product_package  # noqa: B018 - the property raises


class IniTest(unittest.TestCase):
    def test_reads_the_record_as_the_setup_writes_it(self):
        text = ("[Integration]\r\nShortcutDesktop=1\r\n\r\n[Uninstall]\r\n0=Nolu.exe\r\n"
                "Count=3\r\n1=Skins\\Modern Dark\\a=b.xml\r\n2=Uninstall.exe\r\n\r\n")
        record = parse_ini(decode_ini(b"\xff\xfe" + text.encode("utf-16-le")))
        self.assertEqual(list(record), ["Integration", "Uninstall"])
        # The first "=" splits; the value keeps the rest.
        self.assertEqual(uninstall_record_paths(record),
                         ["Nolu.exe", "Skins\\Modern Dark\\a=b.xml", "Uninstall.exe"])

    def test_decodes_utf8_with_or_without_its_mark(self):
        for data in (b"\xef\xbb\xbf[System]\nID=\xc3\xbc\n", b"[System]\nID=\xc3\xbc\n"):
            with self.subTest(data):
                self.assertEqual(parse_ini(decode_ini(data)), {"System": {"ID": "ü"}})

    def test_later_keys_win_and_lines_outside_sections_are_ignored(self):
        self.assertEqual(parse_ini("x=1\n[A]\nk=1\n; note\nk=2\nnot a key\n[B]\n[A]\nj=3\n"),
                         {"A": {"k": "2", "j": "3"}, "B": {}})

    def test_a_record_without_count_lists_nothing(self):
        self.assertEqual(uninstall_record_paths({"Uninstall": {"0": "Nolu.exe"}}), [])
        self.assertEqual(uninstall_record_paths({}), [])


class CommandLineParametersTest(unittest.TestCase):
    def test_cuts_the_program_name(self):
        cases = [
            ('"C:\\users\\root\\Temp\\Uninstall.exe" /PATH="C:\\Nolu\\" /AUTO',
             '/PATH="C:\\Nolu\\" /AUTO'),
            ("C:\\Temp\\Uninstall.exe  /AUTO /SILENT", "/AUTO /SILENT"),
            ('"C:\\Program Files\\Nolu\\Nolu.exe"', ""),
            ("Nolu.exe", ""),
        ]
        for cmdline, parameters in cases:
            with self.subTest(cmdline):
                self.assertEqual(command_line_parameters(cmdline), parameters)


if __name__ == "__main__":
    unittest.main()
