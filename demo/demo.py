#!/usr/bin/env python3
"""demo.py BUILD_DIR: the life cycle of the sample product "Nolu" in the Wine prefix that
./run demo prepared (WINEPREFIX, DISPLAY): a silent installation into
"C:\\Program Files (x86)\\Nolu", a second one over it as an update, then the removal; what each
step left, how long it took, and a verdict. Exit code 0 when every step did its job."""

import os
import sys
import time
import zipfile

CHECKOUT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(CHECKOUT, "tests", "e2e"))

from nolu_e2e import Driver, HarnessError, WinePrefix, list_tree  # noqa: E402
from nolu_e2e.product_checks import ENTRY_KEY, PRODUCT_DIR, SETUP  # noqa: E402
from nolu_e2e.sample import SampleProduct  # noqa: E402

MIB = 1024 * 1024


class Demo:
    def __init__(self, build_dir):
        self.prefix = WinePrefix.attach()
        self.driver = Driver(self.prefix, os.path.join(build_dir, "bin", "nolu_driver.exe"))
        self.build_dir = build_dir
        self.sample = SampleProduct(CHECKOUT, build_dir)
        self.problems = []

    def folder(self):
        return self.prefix.unix_path(PRODUCT_DIR)

    def expect(self, condition, problem):
        if not condition:
            self.problems.append(problem)
            print(f"   !! {problem}")

    def timed(self, cmdline, cwd=None):
        started = time.monotonic()
        code = self.driver.run(cmdline, cwd=cwd, timeout=600)
        return code, time.monotonic() - started

    def links(self):
        """The product's shortcuts that exist now: link path -> target."""
        desktop = self.driver.special_folder("CommonDesktop").rstrip("\\")
        menu = self.driver.special_folder("CommonPrograms").rstrip("\\")
        found = {}
        for shortcut in self.sample.shortcuts():
            link = (shortcut.link.replace("$DESKTOP", desktop).replace("$STARTMENU", menu)
                    .replace("$NAME", self.sample.name))
            if os.path.exists(self.prefix.unix_path(link)):
                found[link] = self.driver.shortcut_target(link)["target"]
        return found

    def entry(self):
        found = self.driver.reg_query(ENTRY_KEY, view=32)
        return None if found is None else found["values"]

    # ------------------------------------------------------------------ the steps

    def install(self):
        print(f"1. Silent installation into {PRODUCT_DIR}")
        setup = self.prefix.unix_path(SETUP)
        os.makedirs(os.path.dirname(setup), exist_ok=True)
        with open(os.path.join(self.build_dir, "bin", "Setup.exe"), "rb") as source, \
                open(setup, "wb") as target:
            target.write(source.read())
        code, seconds = self.timed(f'"{SETUP}" /AUTO="{PRODUCT_DIR}" /SILENT')
        tree = list_tree(self.folder())
        print(f"   exit code {code}, {seconds:.1f} s")
        print(f"   installed {len(tree.files)} files, {tree.total_size / MIB:.2f} MiB, "
              f"in {len(tree.dirs)} folders")
        entry = self.entry()
        if entry:
            print(f"   uninstall entry {ENTRY_KEY} (32-bit view):")
            for name in sorted(entry):
                print(f"     {name:16} {entry[name][1]}")
        links = self.links()
        for link, target in links.items():
            print(f"   shortcut {link} -> {target}")
        self.expect(code == 0, f"the installation exited {code}")
        self.expect(entry is not None, "no uninstall entry after the installation")
        components = self.sample.components("EN")
        self.expect(all(c.target in tree.files for c in components),
                    "not every component of the script was installed")
        self.expect(len(links) > 0, "no shortcut after the installation")
        return seconds, tree

    def update(self):
        print("2. The same Setup.exe again, over the installed copy: an update")
        code, seconds = self.timed(f'"{SETUP}" /AUTO="{PRODUCT_DIR}" /SILENT')
        print(f"   exit code {code}, {seconds:.1f} s")
        backups = sorted(name for name in list_tree(self.folder()).files
                         if name.lower().startswith("!backup\\") and name.lower().endswith(".zip"))
        for name in backups:
            path = os.path.join(self.folder(), *name.split("\\"))
            with zipfile.ZipFile(path) as archive:
                entries = archive.namelist()
                broken = archive.testzip()
            print(f"   backup archive {name}: {len(entries)} entries, "
                  f"{os.path.getsize(path) / MIB:.2f} MiB, "
                  f"{'tests clean' if broken is None else 'damaged at ' + broken}")
            self.expect(broken is None, f"the backup archive {name} is damaged")
        self.expect(code == 0, f"the update exited {code}")
        self.expect(len(backups) == 1, f"the update made {len(backups)} backup archives, not 1")
        return seconds

    def uninstall(self, installed):
        print("3. Silent removal: Uninstall.exe /AUTO /SILENT in the product folder")
        temp = self.driver.special_folder("Temp")
        # The uninstaller hands the removal to its copy in the temporary folder and waits for
        # its result: when it returns, the removal is done.
        watch = self.driver.watch_process(temp + "Uninstall.exe", timeout=600)
        started = time.monotonic()
        code = self.driver.run(f'"{PRODUCT_DIR}\\Uninstall.exe" /AUTO /SILENT', cwd="C:\\",
                               timeout=600)
        seconds = time.monotonic() - started
        copy = watch.result()
        print(f"   exit code {code} (its copy in the temporary folder: {copy['exit']}), "
              f"{seconds:.1f} s")
        folder = self.folder()
        left = list_tree(folder) if os.path.isdir(folder) else None
        if left is None:
            print(f"   left: nothing, {PRODUCT_DIR} is gone")
        else:
            names = sorted(left.files) + sorted(d + "\\" for d in left.dirs)
            print(f"   left in {PRODUCT_DIR}: {', '.join(names) if names else 'the empty folder'}")
        entry = self.entry()
        links = self.links()
        print(f"   uninstall entry: {'still there' if entry else 'gone'}; "
              f"shortcuts: {', '.join(links) if links else 'gone'}")
        self.expect(code == 0 and copy["exit"] == 0, "the removal did not exit 0")
        self.expect(entry is None, "the uninstall entry is still there")
        self.expect(not links, "shortcuts are still there")
        recorded_left = [name for name in installed.files
                         if left is not None and name in left.files
                         and not name.lower().startswith("!backup\\")
                         and name not in ("Nolu.ini", "Elevator.log")]
        self.expect(not recorded_left, f"installed files were left: {recorded_left[:5]}")
        return seconds


def main(argv):
    if len(argv) != 1:
        print(__doc__, file=sys.stderr)
        return 2
    try:
        demo = Demo(os.path.abspath(argv[0]))
        installed_s, installed = demo.install()
        update_s = demo.update()
        uninstall_s = demo.uninstall(installed)
    except HarnessError as e:
        print(f"DEMO FAILED: {e}")
        return 1
    summary = (f"installed {len(installed.files)} files ({installed.total_size / MIB:.1f} MiB) "
               f"in {installed_s:.1f} s, updated in {update_s:.1f} s, "
               f"removed in {uninstall_s:.1f} s")
    if demo.problems:
        print(f"DEMO FAILED: {'; '.join(demo.problems)} ({summary})")
        return 1
    print(f"DEMO PASSED: {summary}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
