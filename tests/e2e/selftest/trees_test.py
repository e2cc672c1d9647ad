import os
import tempfile
import unittest

from nolu_e2e.trees import (compare_folders, diff_listings, diff_paths, empty_folders,
                             list_tree)


def make_tree(root, files, dirs=()):
    for path, data in files.items():
        full = os.path.join(root, *path.split("\\"))
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data)
    for path in dirs:
        os.makedirs(os.path.join(root, *path.split("\\")), exist_ok=True)


class TreesTest(unittest.TestCase):
    def setUp(self):
        self._tmp = tempfile.TemporaryDirectory()
        self.a = os.path.join(self._tmp.name, "a")
        self.b = os.path.join(self._tmp.name, "b")

    def tearDown(self):
        self._tmp.cleanup()

    def test_lists_files_with_sizes_and_folders_with_windows_separators(self):
        make_tree(self.a, {"Nolu.exe": b"12345", "Plugins\\Audio\\mp3.dll": b"x"}, ["Skins"])
        listing = list_tree(self.a)
        self.assertEqual(listing.files, {"Nolu.exe": 5, "Plugins\\Audio\\mp3.dll": 1})
        self.assertEqual(listing.dirs, {"Plugins", "Plugins\\Audio", "Skins"})
        self.assertEqual(listing.total_size, 6)

    def test_diff_ignores_case_unless_told_not_to(self):
        expected = ["Nolu.exe", "System\\nolu_menu64.dll", "Uninstall.dat"]
        actual = ["nolu.EXE", "system\\NOLU_MENU64.DLL", "Extra.txt"]
        diff = diff_paths(expected, actual)
        self.assertEqual(diff.missing, ["Uninstall.dat"])
        self.assertEqual(diff.unexpected, ["Extra.txt"])
        exact = diff_paths(expected, actual, ignore_case=False)
        self.assertEqual(len(exact.missing), 3)
        self.assertFalse(diff_paths(["a\\b"], ["A/B/"]))

    def test_compare_folders_reports_missing_added_changed_and_empty_folders(self):
        make_tree(self.a, {"same.txt": b"x", "changed.txt": b"old", "gone.txt": b"g",
                           "Skins\\dark.skin": b"d"}, ["Empty"])
        make_tree(self.b, {"SAME.txt": b"x", "changed.txt": b"new", "added.txt": b"a",
                           "Skins\\dark.skin": b"d"}, ["Other Empty"])
        diff = compare_folders(self.a, self.b)
        self.assertEqual(diff.missing, ["Empty", "gone.txt"])
        self.assertEqual(diff.unexpected, ["Other Empty", "added.txt"])
        self.assertEqual(diff.different, ["changed.txt"])
        self.assertEqual(compare_folders(self.a, self.b, contents=False).different, [])
        self.assertFalse(compare_folders(self.a, self.a))

    def test_empty_folders_are_only_those_that_hold_nothing(self):
        make_tree(self.a, {"Skins\\Mine\\skin.xml": b"x"},
                  ["Help", "Plugins\\PlugH\\Lang", "Skins\\Old"])
        # "Plugins" holds a folder and "Plugins\\PlugH" holds one too: neither is empty.
        self.assertEqual(empty_folders(list_tree(self.a)),
                         ["Help\\", "Plugins\\PlugH\\Lang\\", "Skins\\Old\\"])

    def test_diff_of_listings_reports_what_a_program_changed(self):
        make_tree(self.a, {"keep.txt": b"k", "grow.log": b"1", "gone.tmp": b"g"}, ["Old"])
        before = list_tree(self.a)
        os.remove(os.path.join(self.a, "gone.tmp"))
        os.rmdir(os.path.join(self.a, "Old"))
        make_tree(self.a, {"grow.log": b"12", "New\\made.ini": b"n", "KEEP.TXT": b"k"})
        diff = diff_listings(before, list_tree(self.a))
        # A name that changed only its case is a change here: the listings are of one folder.
        self.assertEqual(diff.missing, ["Old", "gone.tmp"])
        self.assertEqual(diff.unexpected, ["KEEP.TXT", "New", "New\\made.ini"])
        self.assertEqual(diff.different, ["grow.log"])
        self.assertFalse(diff_listings(before, before))

    def test_description_is_bounded(self):
        diff = diff_paths([f"f{i:03}" for i in range(40)], [])
        text = diff.describe(limit=3)
        self.assertEqual(text, "missing (40): f000, f001, f002, ... 37 more")
        self.assertEqual(diff_paths(["a"], ["A"]).describe(), "no differences")


if __name__ == "__main__":
    unittest.main()
