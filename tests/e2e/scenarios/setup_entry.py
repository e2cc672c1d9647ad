"""Setup.exe's entry on the real platform: every way a run ends gives its exit code, and a run
that fails ends in exactly one error box captioned "Setup"."""

from nolu_e2e import scenario

SETUP = r"C:\downloads\Setup.exe"


def error_box_run(s, arguments, text):
    """Starts Setup.exe, answers its error box and returns the exit code."""
    program = s.start(f'"{SETUP}" {arguments}'.rstrip())
    box = s.driver.messagebox(caption="Setup", press="OK")
    s.check_equal(box["text"], text, f"error box of {arguments or 'no parameters'}")
    s.check_equal(box["buttons"], ["OK"], "buttons of the error box")
    return program.wait()


@scenario("setup_entry_exit_codes")
def exit_codes(s):
    """0 for a silent run that did its work, 1 for a run that ended in the error box."""
    s.copy_in(s.bin("Setup.exe"), SETUP)

    # Until the wizard exists, an interactive start says so instead of doing nothing.
    s.check_equal(error_box_run(s, "", "The wizard is not available in this build."), 1,
                  "exit code of an interactive start")

    # An update of a folder without an installed copy is refused before anything is written.
    s.check_equal(error_box_run(s, r'/AUTO="C:\Nolu" /UPDATE', "Cannot install update on v0.00"),
                  1, "exit code of a refused update")
    s.check(not s.exists(r"C:\Nolu"), "a refused update must not create its folder")

    # A silent installation: no window, exit code 0, the product with its uninstall record and
    # its entry in the 32-bit registry view.
    s.check_equal(s.run(f'"{SETUP}" /AUTO="C:\\Program Files (x86)\\Nolu" /SILENT'), 0,
                  "exit code of a silent installation")
    for name in ("Nolu.exe", "Uninstall.exe", "Uninstall.dat"):
        s.check(s.exists(f"C:\\Program Files (x86)\\Nolu\\{name}"), f"{name} installed")
    key = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nolu"
    s.check_equal(s.reg_value(key, "InstallPath", view=32), "C:\\Program Files (x86)\\Nolu\\",
                  "InstallPath of the uninstall entry")
