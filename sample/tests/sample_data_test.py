#!/usr/bin/env python3
"""Checks the sample product's setup data the way the setup will read it.

    sample_data_test.py SAMPLE_DIR [setup:ENTRY | product:ENTRY ...]

The entries are the package names of the programs that the build adds to the SETUP or the
PRODUCT package (product:Nolu.exe, product:System\\nolu_menu64.dll, setup:LumoSetup.exe).
Standard library only.
"""

import re
import struct
import sys
import unittest
import xml.etree.ElementTree as ET
from pathlib import Path

SAMPLE = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent
BUILT_SETUP = {a[6:] for a in sys.argv[2:] if a.startswith("setup:")}
BUILT_PRODUCT = {a[8:] for a in sys.argv[2:] if a.startswith("product:")}
SETUP = SAMPLE / "setup"
PRODUCT = SAMPLE / "product"
LANGUAGES = {"English": (1033, "EN", 1252), "German": (1031, "DE", 1252),
             "Russian": (1049, "RU", 1251)}

# Every string the setup looks up, with the format arguments it passes ("" = used as plain
# text, never as a format template).
REQUIRED = {
    "Common": {"Caption": "", "bBack": "", "bNext": "", "bFinish": "", "bInstall": "",
               "bUninstall": "", "lBrowse": "", "lNewFolder": "", "lCancel": "", "lOk": "",
               "QM": "", "QM2": "s", "E1": "s", "E3": "s", "E4": "", "E5": "s", "E6": "s",
               **{f"A{i}": "" for i in range(1, 10)}},
    "PageWelcome": {"Title": "", "Description": "", "L1": "", "L2": ""},
    "PageLicense": {"Title": "", "Description": "", "L1": ""},
    "PageSetup": {"Title": "", "Description": "", "LB1": "", "LB2": "", "Browse": "", "CB1": "",
                  "CB2": "", "CB3": "", "CB3Hint": "", "CB4": "", "W1": "", "W3": ""},
    "PageAddons": {"Title": "", "Description": "", "L0": "", "CB1": "", "CB2": "", "CB3": "",
                   "L1": "s", "L2": "ss"},
    "PageIntegration": {"Title": "", "Description": "", "LB1": "", "LB2": "", "CB1": "",
                        "CB2": "", "CB3": "", "CB4": "", "CB4Hint": "", "CB5": ""},
    "PageReadyToInstall": {"Title": "", "Description": ""},
    "PageInstall": {"Title": "", "Description": "", "L1": ""},
    "PageUninstall": {"Title": "", "Description": "", "L1": ""},
    "PageFinish": {"Title": "", "Description": "", "L1": "", "L2": "", "L3": "", "E1": "",
                   "E2": ""},
    "PageUninstallFinish": {"Title": "", "Description": "", "L1": "", "L2": "", "E1": "",
                            "E2": ""},
    "PageUninstallParams": {"Title": "", "Description": "", "CB1": "", "CB2": ""},
}
# Strings shown in the summary of the ready-to-install page, where an accelerator "&" would
# show literally.
SUMMARY = {"PageSetup": ["LB1", "Title", "CB1", "CB2", "CB3", "CB4", "W3"],
           "PageAddons": ["Title", "CB1", "CB2", "CB3"],
           "PageIntegration": ["LB1", "LB2", "CB1", "CB2", "CB3", "CB4", "CB5"]}
VARIABLES = {"$DEST", "$TEMP", "$LINK", "$NAME", "$VERSION", "$DESKTOP", "$STARTMENU",
             "$PROGRAMS"}


def read_ini(path):
    """The INI dialect of the setup: verbatim lines, sections reopened, keys up to the first '='."""
    raw = path.read_bytes()
    if raw.startswith(b"\xef\xbb\xbf"):
        text = raw[3:].decode("utf-8")
    elif raw.startswith(b"\xff\xfe"):
        text = raw[2:].decode("utf-16-le")
    else:
        text = raw.decode("cp1252")
    sections, current = {}, None
    for line in re.split(r"\r\n|\r|\n|\u2028", text):
        if not line:
            continue
        if line.startswith("["):
            current = sections.setdefault(line[1:-1], {})
        elif current is not None:
            key, _, value = line.partition("=")
            current.setdefault(key, value)
    return sections


def placeholders(text):
    """The format arguments a template takes, in order ("ss" for two strings)."""
    return "".join(t for t in re.findall(r"%([%sd])", text) if t != "%")


def stray_percent(text):
    return re.search(r"%(?![%sd])", text) is not None


def png_info(path):
    data = path.read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        return None
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    return width, height, colour


def ico_sizes(data):
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if reserved != 0 or kind != 1 or count == 0:
        return None
    sizes = []
    for i in range(count):
        w, h, _, _, _, _, size, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        if offset + size > len(data):
            return None
        header = struct.unpack("<I", data[offset:offset + 4])[0]
        if header != 40 and data[offset:offset + 8] != b"\x89PNG\r\n\x1a\n":
            return None
        sizes.append((w or 256, h or 256))
    return sizes


class Script:
    def __init__(self, path):
        root = ET.parse(path).getroot()
        product = root.find("product")
        self.settings = [(s.get("name", ""), s.get("value", "")) for s in product.find("Settings")]

        def group(element):
            out = []
            for f in element if element is not None else []:
                name, text = f.get("name", ""), (f.text or "")
                value = text or re.split(r"[\\/:]", name)[-1]
                out.append((name, value, f.get("lang-family", "")))
            return out

        self.components = group(product.find("Components"))
        self.actions = group(product.find("Actions"))
        self.shortcuts = group(product.find("Shortcuts"))
        self.licenses = group(root.find("setup/license"))

    def setting(self, name):
        values = [v for n, v in self.settings if n.lower() == name.lower()]
        return values[-1] if values else ""


class LanguageFiles(unittest.TestCase):
    def setUp(self):
        self.files = {n: read_ini(SETUP / f"{n}.lng") for n in LANGUAGES}

    def test_metadata_names_the_language_and_carries_an_icon(self):
        for name, (lang_id, family, codepage) in LANGUAGES.items():
            meta = self.files[name]["File"]
            with self.subTest(language=name):
                self.assertTrue(meta.get("Name"))
                self.assertEqual(int(meta["LangId"]), lang_id)
                self.assertEqual(meta["Family"], family)
                self.assertEqual(int(meta["ANSICP"]), codepage)
                int(meta["VersionId"])
                self.assertRegex(meta["Icon"], r"^([0-9a-f]{2})+$")
                self.assertEqual(ico_sizes(bytes.fromhex(meta["Icon"])), [(16, 16)])

    def test_every_string_the_setup_asks_for_is_there_with_its_arguments(self):
        for name, sections in self.files.items():
            for section, keys in REQUIRED.items():
                for key, args in keys.items():
                    with self.subTest(language=name, section=section, key=key):
                        value = sections.get(section, {}).get(key, "")
                        self.assertTrue(value.strip(), "missing or empty")
                        self.assertEqual(placeholders(value), args)
                        self.assertFalse(stray_percent(value))

    def test_translations_match_english_key_for_key(self):
        english = self.files["English"]
        for name, sections in self.files.items():
            with self.subTest(language=name):
                self.assertEqual(set(sections), set(english))
                for section, keys in english.items():
                    self.assertEqual(set(sections[section]), set(keys), section)
                    if section == "File":
                        continue
                    for key, value in keys.items():
                        other = sections[section][key]
                        self.assertEqual(placeholders(other), placeholders(value), (section, key))
                        used = set(re.findall(r"\$[A-Z]+", other))
                        self.assertLessEqual(used, VARIABLES, (section, key))
                        self.assertEqual(used, set(re.findall(r"\$[A-Z]+", value)),
                                         (section, key))

    def test_summary_items_carry_no_accelerator(self):
        for name, sections in self.files.items():
            for section, keys in SUMMARY.items():
                for key in keys:
                    with self.subTest(language=name, section=section, key=key):
                        self.assertNotIn("&", sections[section][key])


class SetupScript(unittest.TestCase):
    def setUp(self):
        self.script = Script(SETUP / "Install.xml")
        self.product_entries = {str(p.relative_to(PRODUCT)).replace("/", "\\").lower()
                                for p in PRODUCT.rglob("*") if p.is_file()}

    def test_settings_describe_nolu_5401(self):
        s = self.script.setting
        self.assertEqual(s("ProductName"), "Nolu")
        self.assertEqual(int(s("ProductVersionId")), 5401)
        version = int(s("ProductVersionId"))
        self.assertEqual(s("ProductVersion"), f"{version // 1000}.{version % 1000 // 10:02d}")
        for name in ("ProductVersionNo", "BuildDate", "Publisher", "HomePage"):
            self.assertTrue(s(name), name)

    def test_every_component_comes_from_the_product_folder_or_the_build(self):
        available = self.product_entries | {b.lower() for b in BUILT_PRODUCT}
        for target, entry, family in self.script.components:
            with self.subTest(target=target):
                self.assertTrue(target.startswith("$DEST\\"))
                self.assertIn(entry.lower(), available)
                self.assertIn(family, ("", "EN", "DE", "RU"))

    def test_no_product_entry_hides_a_setup_entry(self):
        # Lookups ask the PRODUCT package first: a product file named like "Install.xml" or
        # "English.lng" at its root would replace the setup's own.
        setup = {p.name.lower() for p in SETUP.iterdir() if p.is_file()}
        setup |= {b.lower() for b in BUILT_SETUP}
        product = self.product_entries | {b.lower() for b in BUILT_PRODUCT}
        self.assertEqual(product & setup, set())

    def test_every_product_file_is_installed(self):
        used = {entry.lower() for _, entry, _ in self.script.components}
        self.assertEqual(self.product_entries - used, set())

    def test_each_family_installs_each_target_once(self):
        for family in ("EN", "DE", "RU"):
            targets = [t.lower() for t, _, f in self.script.components if f in ("", family)]
            with self.subTest(family=family):
                self.assertEqual(len(targets), len(set(targets)))

    def test_each_family_has_a_license_in_rtf(self):
        families = {f for _, _, f in self.script.licenses}
        self.assertEqual(families, {"EN", "DE", "RU"})
        for name, _, _ in self.script.licenses:
            with self.subTest(license=name):
                text = (SETUP / name).read_bytes().decode("ascii")
                self.assertTrue(text.startswith("{\\rtf1"))
                depth = 0
                for m in re.finditer(r"\\[\\{}]|[{}]", text):
                    depth += {"{": 1, "}": -1}.get(m.group(), 0)
                    self.assertGreaterEqual(depth, 0)
                self.assertEqual(depth, 0)

    def test_run_actions_have_captions_in_every_language(self):
        self.assertTrue(self.script.actions)
        for name in LANGUAGES:
            finish = read_ini(SETUP / f"{name}.lng")["PageFinish"]
            for _, key, _ in self.script.actions:
                self.assertTrue(finish.get(key), (name, key))

    def test_shortcuts_go_to_the_desktop_or_the_start_menu(self):
        self.assertTrue(self.script.shortcuts)
        for link, target, _ in self.script.shortcuts:
            with self.subTest(link=link):
                self.assertTrue(link.upper().startswith(("$DESKTOP\\", "$STARTMENU\\")))
                self.assertTrue(link.lower().endswith(".lnk"))
                self.assertTrue(target.startswith("$DEST\\"))


class Pictures(unittest.TestCase):
    def test_wizard_pictures_are_twice_the_sizes_the_wizard_draws(self):
        # Stored at twice their 96-DPI rectangles, so that they stay sharp at 200 %.
        for name, size in (("header.png", (1280, 106)), ("header_dark.png", (1280, 106)),
                           ("wizard_light.png", (376, 870)), ("wizard_dark.png", (376, 870))):
            with self.subTest(picture=name):
                self.assertEqual(png_info(SETUP / name)[:2], size)

    def test_addon_offer_names_its_picture_installer_and_command_line(self):
        lines = (SETUP / "addons.ini").read_text(encoding="ascii").splitlines()
        values = dict(line.split("=", 1) for line in lines if "=" in line)
        for key in ("I0", "L0", "L1", "L2", "P1", "P2", "P3", "P4", "CL"):
            self.assertTrue(values.get(key), key)
        self.assertEqual(placeholders(values["CL"]), "s")
        self.assertIn(values["P4"], BUILT_SETUP | {p.name for p in SETUP.iterdir()})
        # The picture is drawn at its own size in the page's top right corner, 10 pixels from
        # the edge: it must leave the heading (up to x 340) and the check boxes (from y 100)
        # free, and blend in through its alpha channel.
        width, height, colour = png_info(SETUP / values["I0"])
        self.assertLessEqual(width, 640 - 10 - 340)
        self.assertLess(height, 100)
        self.assertEqual(colour, 6)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=1)
