"""The driver and the harness proven on nolu_standin.exe, a small GUI program of our own,
before the programs they are built for exist."""

import subprocess

from nolu_e2e import DriverNotFound, scenario
from nolu_e2e.png import read_png
from nolu_e2e.prefix import HOLDER_CLASS, wine_command

STANDIN = r"C:\standin\Setup.exe"
LOG = r"C:\standin\Setup.log"
FORM = "TNoluStandinForm"

# Message box results (IDOK, IDABORT, ...), the stand-in's exit code without /EXIT.
IDOK, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO = 1, 3, 4, 5, 6, 7


def install_standin(s):
    s.copy_in(s.bin("nolu_standin.exe"), STANDIN)


def log_lines(s):
    return s.read_text(LOG).splitlines()


@scenario("standin_message_box")
def message_box(s):
    """The driver finds the box, reads its text, presses the button named, and the harness
    receives the exit code the program chose."""
    install_standin(s)
    program = s.start(f'"{STANDIN}" /MSGBOX="Package was corrupted" /EXIT=1')
    box = s.driver.messagebox(caption="Setup", press="OK")
    s.check_equal(box["text"], "Package was corrupted", "text of the box")
    s.check_equal(box["buttons"], ["OK"], "buttons of the box")
    s.check_equal(box["pressed"], "OK", "button pressed")
    s.check_equal(program.wait(), 1, "exit code chosen by the program")

    # Buttons are found by their caption, not by position; the pressed one decides the code.
    for press, expected in (("Retry", IDRETRY), ("&Ignore", IDIGNORE)):
        program = s.start(f'"{STANDIN}" /MSGBOX="File in use" /BUTTONS=ABORTRETRYIGNORE')
        box = s.driver.messagebox(caption="Setup", press=press)
        s.check_equal(box["buttons"], ["Abort", "Retry", "Ignore"], "buttons of the box")
        s.check_equal(program.wait(), expected, f"exit code after pressing {press}")

    # A button the box does not have is an error that names the ones it has, and the box
    # stays for the next answer.
    program = s.start(f'"{STANDIN}" /MSGBOX="File in use" /BUTTONS=ABORTRETRYIGNORE')
    try:
        s.driver.messagebox(caption="Setup", press="Cancel")
        s.check(False, "pressing a missing button should fail")
    except DriverNotFound as e:
        s.check("Abort, Retry, Ignore" in str(e), f"the error should list the buttons: {e}")
    s.driver.messagebox(caption="Setup", press="Abort")
    s.check_equal(program.wait(), IDABORT, "exit code after pressing Abort")

    # Waiting for a box that never comes ends with "not found", not with a hang.
    try:
        s.driver.messagebox(caption="No such box", timeout=0.5)
        s.check(False, "a missing box should be reported")
    except DriverNotFound as e:
        s.check("#32770" in str(e), f"the error should say what was awaited: {e}")


@scenario("standin_window_controls")
def window_controls(s):
    """The driver lists a window's controls with their states, refuses what a user could not
    do, changes a check box and an edit field the way a user would (the program sees it),
    and captures the window as a PNG."""
    install_standin(s)
    program = s.start(f'"{STANDIN}" /WINDOW')
    window, controls = s.driver.list_controls(cls=FORM)
    s.check_equal(window["text"], "Nolu Stand-in", "window title")
    found = {(c["class"], c["id"]): c for c in controls}
    expected = {
        # (class, id): (text, kind, checked, enabled)
        ("Static", 103): ("A stand-in window for the driver tests.", None, None, True),
        ("Button", 101): ("&Start Nolu after setup", "checkbox", False, True),
        ("Edit", 102): ("C:\\Program Files (x86)\\Nolu\\", None, None, True),
        ("Button", 104): ("&Help", "push", None, False),
        ("Button", 2): ("&Close", "default", None, True),
    }
    s.check_equal(sorted(found), sorted(expected), "controls (class, id)")
    for key, (text, kind, checked, enabled) in expected.items():
        control = found[key]
        s.check_equal((control["text"], control.get("kind"), control["checked"],
                       control["enabled"], control["visible"], control["parent"]),
                      (text, kind, checked, enabled, True, window["hwnd"]), f"control {key}")

    # A disabled button cannot be pressed by a user, so the driver refuses too.
    try:
        s.driver.click(cls=FORM, button="Help", timeout=0.3)
        s.check(False, "clicking a disabled button should fail")
    except DriverNotFound as e:
        s.check("disabled" in str(e), f"the error should say the button is disabled: {e}")

    first = s.driver.check(cls=FORM, button="Start Nolu after setup")
    s.check_equal((first["checked"], first["changed"]), (True, True), "first check")
    again = s.driver.check(cls=FORM, button="Start Nolu after setup")
    s.check_equal((again["checked"], again["changed"]), (True, False), "second check")
    s.driver.set_text(r"D:\Games\Nolu\ ", cls=FORM, control_class="Edit")
    s.check_equal(s.driver.get_text(cls=FORM, id=102), "D:\\Games\\Nolu\\ ", "edit text")

    shot = read_png(s.screenshot("standin_window", cls=FORM))
    s.check_equal((shot.width, shot.height),
                  (window["rect"]["width"], window["rect"]["height"]), "screenshot size")
    s.check(len(shot.colours(limit=8)) >= 8,
            "the screenshot holds fewer than 8 colours: the capture came back blank")

    s.driver.click(cls=FORM, button="Close")
    s.check_equal(program.wait(), 11, "exit code (10 + check box state)")
    s.check_equal(log_lines(s)[-1], "closed checked=1 text=D:\\Games\\Nolu\\ ",
                  "state the program saw when it closed")
    s.driver.wait_window(cls=FORM, gone=True, timeout=5)


COMMAND_LINES = [
    # The switch a test of the installer needs most, with its closing backslash before the
    # quote that `wine prog ARG` would escape.
    f'"{STANDIN}" /AUTO="C:\\Program Files (x86)\\Nolu\\" /SILENT',
    # Unquoted program path; double blanks kept.
    f'{STANDIN} /AUTO  /SILENT',
    f'"{STANDIN}" /PATH="C:\\Program Files\\Nolu\\" /SKIPUAC=500 "tail \\" quote"',
    # Characters outside ASCII travel as UTF-16, whatever the console code page.
    f'"{STANDIN}" /AUTO="C:\\Programme\\Nolu Плеер\\" /NAME=Grüße',
]


@scenario("standin_exact_command_line")
def exact_command_line(s):
    """`run --cmdline` hands the program exactly the text given (it echoes GetCommandLineW),
    in the folder given."""
    install_standin(s)
    for cmdline in COMMAND_LINES:
        s.check_equal(s.run(cmdline), 0, f"exit code of {cmdline}")
        s.check_equal(log_lines(s)[-2], "cmdline " + cmdline, "command line received")
    s.run(f'"{STANDIN}" /EXIT=0', cwd="C:\\Program Files (x86)")
    s.check_equal(log_lines(s)[-1], "cwd C:\\Program Files (x86)", "current folder")
    s.check_equal(s.run(f'"{STANDIN}" /EXIT=3221225477'), 3221225477,
                  "exit code above 2^31 (an NTSTATUS)")
    # Names compare ignoring case, as Windows does.
    s.check_tree("C:\\standin", ["Setup.exe", "setup.LOG"], "the stand-in's folder")


@scenario("standin_german_user_interface", locale="de_DE.UTF-8")
def german_user_interface(s):
    """A scenario's locale decides the language programs see, and names outside ASCII
    still arrive intact under it."""
    info = s.driver.system_info()
    s.check_equal((info["ui_language"], info["locale_name"], info["version"]),
                  (0x407, "de-DE", "10.0"), "language and version seen by programs")
    install_standin(s)
    program = s.start(f'"{STANDIN}" /MSGBOX="Datei wird verwendet" /BUTTONS=YESNO')
    box = s.driver.messagebox(caption="Setup", press="Nein")
    s.check_equal(box["buttons"], ["Ja", "Nein"], "buttons in German")
    s.check_equal(program.wait(), IDNO, "exit code after pressing Nein")
    cmdline = f'"{STANDIN}" /AUTO="C:\\Programme\\Größe Плеер\\"'
    s.run(cmdline)
    s.check_equal(log_lines(s)[-2], "cmdline " + cmdline, "command line received")


@scenario("standin_registry_and_shortcuts")
def registry_and_shortcuts(s):
    """Registry values are read per view with their types; links are written and resolved
    through the shell, in the folders the system names."""
    key = r"HKLM\Software\Nolu E2E"
    for name, kind, data in (("Name", "REG_SZ", "Nolu Плеер"), ("Version", "REG_DWORD", "5401"),
                             ("Paths", "REG_MULTI_SZ", r"C:\a\0D:\b")):
        s.prefix.reg_add(key, name, kind, data)
    in32 = s.reg_query(key, view=32)
    s.check(in32 is not None, f"{key} is missing from the 32-bit view")
    s.check_equal(in32["values"], {"Name": ("REG_SZ", "Nolu Плеер"),
                                   "Version": ("REG_DWORD", 5401),
                                   "Paths": ("REG_MULTI_SZ", ["C:\\a", "D:\\b"])},
                  "values in the 32-bit view")
    s.check_equal(s.reg_query(key, view=64), None, "the key in the 64-bit view")
    s.check_equal(s.reg_value(key, "version", view=32), 5401, "one value, name in any case")
    s.check_equal(s.reg_value(key, "Missing", view=32), None, "a value that is not there")
    # The 32-bit view is the Wow6432Node branch of the 64-bit one.
    s.check(s.reg_query(r"HKLM\Software\Wow6432Node\Nolu E2E", view=64) is not None,
            "the 32-bit key should appear below Wow6432Node in the 64-bit view")

    install_standin(s)
    target = r"C:\Program Files (x86)\Nolu\Nolu.exe"
    s.copy_in(s.bin("nolu_standin.exe"), target)
    desktop = s.driver.special_folder("CommonDesktop")
    link = desktop + "Nolu.lnk"
    s.driver.create_shortcut(link, target, arguments="/play", workdir=r"C:\Program Files (x86)\Nolu",
                             description="Nolu media player")
    s.check(s.exists(link), f"{link} was not written")
    resolved = s.driver.shortcut_target(link)
    s.check_equal((resolved["target"], resolved["arguments"], resolved["workdir"],
                   resolved["description"]),
                  (target, "/play", r"C:\Program Files (x86)\Nolu", "Nolu media player"),
                  "what the link holds")
    try:
        s.driver.shortcut_target(desktop + "Missing.lnk")
        s.check(False, "a missing link should be reported")
    except DriverNotFound:
        pass


@scenario("standin_releases_output_pipes")
def releases_output_pipes(s):
    """A GUI program started straight from a test process, as CTest starts the Win32 unit
    tests, ends its output pipes when it ends, even while other windows stay open. (Without
    the desktop holder Wine's desktop process inherits the first GUI program's pipes and
    keeps them until the desktop closes, so the reader waits.)"""
    install_standin(s)
    # First to show a window in the scenario, as a unit test would be in its prefix.
    direct = subprocess.Popen([wine_command(), s.path(STANDIN), "/MSGBOX=From CTest", "/EXIT=4"],
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, env=s.prefix.env)
    s.driver.messagebox(caption="Setup", timeout=30)
    holders = [w for w in s.driver.list_windows(include_hidden=True) if w["class"] == HOLDER_CLASS]
    s.check_equal(len(holders), 1, "desktop holders in the prefix")
    window = s.start(f'"{STANDIN}" /WINDOW')
    s.driver.wait_window(cls=FORM)
    s.driver.messagebox(caption="Setup", press="OK")
    try:
        # Generous: this guards against a hang, it measures nothing.
        direct.communicate(timeout=60)
    except subprocess.TimeoutExpired:
        direct.kill()
        s.check(False, "the pipes of a finished GUI program stayed open while another "
                       "window was open: some Wine process inherited them")
    s.check_equal(direct.returncode, 4, "exit code through wine")
    s.driver.close(cls=FORM, timeout=10)
    s.check_equal(window.wait(), 10, "exit code of the window program")
