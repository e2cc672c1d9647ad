"""Setup.exe's entry on the real platform: every way a run ends gives its exit code, and a run
that fails ends in exactly one error box captioned "Setup"."""

import os

from nolu_e2e import diff_listings, scenario
from nolu_e2e.product_checks import SETUP, check_no_entry


def error_box_run(s, arguments, text):
    """Starts Setup.exe, answers its error box and returns the exit code."""
    program = s.start(f'"{SETUP}" {arguments}'.rstrip())
    box = s.driver.messagebox(caption="Setup", press="OK")
    s.check_equal(box["text"], text, f"error box of {arguments or 'no parameters'}")
    s.check_equal(box["buttons"], ["OK"], "buttons of the error box")
    return program.wait()


@scenario("setup_entry_exit_codes")
def exit_codes(s):
    """0 for a silent run that did its work, 1 for a run that ended in the error box (the
    wizard's own codes: scenarios/wizard.py)."""
    s.copy_in(s.bin("Setup.exe"), SETUP)

    # An update of a folder without an installed copy is refused before anything is written,
    # whether the folder is missing or empty.
    s.check_equal(error_box_run(s, r'/AUTO="C:\Nolu" /UPDATE', "Cannot install update on v0.00"),
                  1, "exit code of a refused update")
    s.check(not s.exists(r"C:\Nolu"), "a refused update must not create its folder")
    empty = r"C:\Program Files (x86)\Empty"
    os.makedirs(s.path(empty))
    s.check_equal(error_box_run(s, f'/AUTO="{empty}" /UPDATE', "Cannot install update on v0.00"),
                  1, "exit code of a refused update of an empty folder")
    s.check_equal(os.listdir(s.path(empty)), [], "the empty folder after a refused update")
    check_no_entry(s)

    # A silent installation: no window, exit code 0, the product with its uninstall record and
    # its entry in the 32-bit registry view.
    s.check_equal(s.run(f'"{SETUP}" /AUTO="C:\\Program Files (x86)\\Nolu" /SILENT'), 0,
                  "exit code of a silent installation")
    for name in ("Nolu.exe", "Uninstall.exe", "Uninstall.dat"):
        s.check(s.exists(f"C:\\Program Files (x86)\\Nolu\\{name}"), f"{name} installed")
    key = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nolu"
    s.check_equal(s.reg_value(key, "InstallPath", view=32), "C:\\Program Files (x86)\\Nolu\\",
                  "InstallPath of the uninstall entry")


@scenario("setup_entry_corrupted_package")
def corrupted_package(s):
    """A Setup.exe whose embedded PRODUCT package has one byte changed (in its checksum, or in
    the middle of its compressed body) says "Package was corrupted", exits with 1 and writes
    nothing."""
    with open(s.bin("Setup.exe"), "rb") as f:
        program = f.read()
    with open(s.sample.product_package, "rb") as f:
        package = f.read()
    at = program.find(package)
    s.check(at >= 0 and program.find(package, at + 1) < 0,
            "the PRODUCT package is embedded in Setup.exe exactly once")
    body = at + 12  # after the magic, the checksum and the decoded size
    damages = {"checksum": at + 4, "body": body + (len(package) - 12) // 2}
    for damage, offset in damages.items():
        corrupted = bytearray(program)
        corrupted[offset] ^= 0xFF
        setup = f"C:\\downloads\\{damage}\\Setup.exe"
        s.write_bytes(setup, bytes(corrupted))
        before = s.tree("C:\\")
        box_program = s.start(f'"{setup}" /AUTO="C:\\Program Files (x86)\\Nolu" /SILENT')
        box = s.driver.messagebox(caption="Setup", press="OK")
        s.check_equal(box["text"], "Package was corrupted", f"error box of a damaged {damage}")
        s.check_equal(box_program.wait(), 1, f"exit code with a damaged {damage}")
        changed = diff_listings(before, s.tree("C:\\"))
        s.check(not changed, f"the run with a damaged {damage} changed drive C: "
                f"{changed.describe()}")
    check_no_entry(s)
