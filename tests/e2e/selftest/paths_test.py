import os
import tempfile
import unittest

from nolu_e2e.paths import split_windows_path, unix_to_windows, windows_to_unix


class PrefixFixture(unittest.TestCase):
    """A prefix with the layout Wine makes: dosdevices/c: -> ../drive_c, z: -> /."""

    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.prefix = os.path.realpath(self._tmp.name)
        os.makedirs(os.path.join(self.prefix, "drive_c", "Program Files (x86)", "Nolu"))
        os.makedirs(os.path.join(self.prefix, "dosdevices"))
        os.symlink("../drive_c", os.path.join(self.prefix, "dosdevices", "c:"))
        os.symlink("/", os.path.join(self.prefix, "dosdevices", "z:"))
        self.nolu = os.path.join(self.prefix, "drive_c", "Program Files (x86)", "Nolu")

    def tearDown(self):
        self._tmp.cleanup()


class WindowsToUnixTest(PrefixFixture):
    def test_resolves_names_ignoring_case_and_keeps_missing_tails(self):
        drive_c = os.path.join(self.prefix, "drive_c")
        cases = [
            ("C:\\", drive_c),
            ("c:\\Program Files (x86)\\Nolu\\", self.nolu),
            # Windows finds "Nolu" whatever the case it is asked in.
            ("C:\\PROGRAM FILES (X86)\\nolu", self.nolu),
            # A name that does not exist yet keeps the spelling it was given.
            ("C:\\Program Files (x86)\\Nolu\\New Folder\\a.TXT",
             os.path.join(self.nolu, "New Folder", "a.TXT")),
            ("C:/Program Files (x86)/Nolu", self.nolu),
            ("Z:\\tmp", "/tmp"),
        ]
        for windows, unix in cases:
            with self.subTest(windows):
                self.assertEqual(windows_to_unix(self.prefix, windows), unix)

    def test_exact_name_wins_over_other_cases(self):
        os.makedirs(os.path.join(self.prefix, "drive_c", "x", "Data"))
        os.makedirs(os.path.join(self.prefix, "drive_c", "x", "DATA"))
        self.assertEqual(windows_to_unix(self.prefix, "C:\\x\\DATA"),
                         os.path.join(self.prefix, "drive_c", "x", "DATA"))

    def test_rejects_what_is_not_an_absolute_windows_path(self):
        for bad in ["Program Files\\Nolu", "\\\\server\\share\\x", "C:", "1:\\x",
                    "C:\\Nolu\\..\\Windows\\win.ini"]:
            with self.subTest(bad):
                with self.assertRaises(ValueError):
                    windows_to_unix(self.prefix, bad)

    def test_splits_drive_and_components(self):
        self.assertEqual(split_windows_path("D:\\a\\.\\b\\\\c\\"), ("d", ["a", "b", "c"]))


class UnixToWindowsTest(PrefixFixture):
    def test_prefers_the_drive_that_holds_the_path_most_closely(self):
        cases = [
            (os.path.join(self.prefix, "drive_c"), "C:\\"),
            (self.nolu, "C:\\Program Files (x86)\\Nolu"),
            (os.path.join(self.prefix, "drive_c", ".hidden"), "C:\\.hidden"),
            ("/tmp/shot.png", "Z:\\tmp\\shot.png"),
        ]
        for unix, windows in cases:
            with self.subTest(unix):
                self.assertEqual(unix_to_windows(self.prefix, unix), windows)


if __name__ == "__main__":
    unittest.main()
