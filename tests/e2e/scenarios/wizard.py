"""The wizard as a user meets it: the language dialog, every page of an installation, the
close question, a run that closes itself, a run closed before and during its work, and the
removal started exactly as Windows starts it — each page saved as a picture, at 96 and
144 DPI, light and dark."""

import json
import time

from nolu_e2e import scenario
from nolu_e2e.errors import ScenarioFailure

from nolu_e2e.product_checks import (ENTRY_KEY, PRODUCT_DIR, SETUP, check_entry,
                                     check_no_entry, install_setup)

WIZARD = "TWizardForm"
LANGUAGE = "TSetupLanguageDialog"
QUESTION = "TRuxMessageDialog"
# A stand-in of the running player, outside the product folder.
PLAYER = r"C:\player\Nolu.exe"
PLAYER_LOG = r"C:\player\Nolu.log"
PERSONALIZE = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize"


def prepare(s, dpi, dark):
    """The system's scale and app theme as the registry holds them (read at program start)."""
    s.prefix.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", str(dpi), view=64)
    s.prefix.reg_add(PERSONALIZE, "AppsUseLightTheme", "REG_DWORD", "0" if dark else "1",
                     view=64)
    install_setup(s)


def shot(s, tag, name, cls=WIZARD):
    s.screenshot(f"{tag}-{name}", cls=cls)


def wait_caption_any(s, captions, timeout=60):
    """Waits until the wizard's Next button reads one of `captions`."""
    for _ in range(int(timeout * 2)):
        _, controls = s.driver.list_controls(cls=WIZARD)
        if any(c["class"].lower() == "button" and c["text"].replace("&", "") in captions
               and c["visible"] and c["enabled"] for c in controls):
            return controls
        time.sleep(0.5)
    raise ScenarioFailure(f"the wizard's button never read one of {captions!r}")


def wait_caption(s, caption, timeout=60):
    """Waits until the wizard's Next button reads `caption`."""
    s.driver.call("wait-window", "--class", WIZARD, "--timeout", timeout, timeout=timeout)
    for _ in range(int(timeout * 2)):
        _, controls = s.driver.list_controls(cls=WIZARD)
        if any(c["class"].lower() == "button" and c["text"].replace("&", "") == caption
               and c["visible"] and c["enabled"] for c in controls):
            return controls
        time.sleep(0.5)
    raise AssertionError(f"the wizard's button never read {caption!r}")


def to_install(s, on_page=lambda name: None):
    """From the welcome page to the ready page: the license accepted on the way."""
    s.driver.click(cls=WIZARD, button="Next")
    # Next waits on the license page until the terms are accepted.
    s.driver.check(cls=WIZARD, text="I accept the terms of the license agreement", state=True,
                   timeout=30)
    wait_caption(s, "Next")
    on_page("license")
    s.driver.click(cls=WIZARD, button="Next")
    # The product's pages (product_pages.py has their own walks) as they come: the
    # destination, and the integration unless the removal before kept the settings of a copy
    # there, which makes this run an update.
    for _ in range(3):
        controls = wait_caption_any(s, ("Next", "Install"))
        if any(c["text"].replace("&", "") == "Install" and c["visible"] for c in controls):
            break
        s.driver.click(cls=WIZARD, button="Next")
    else:
        raise ScenarioFailure("the product's pages never led to the ready page")
    on_page("ready")


def walk_install(s, tag):
    """Language dialog, welcome (with the close question answered Cancel), license, ready,
    install and finish; the run boxes unticked. Returns the exit code."""
    setup = s.start(f'"{SETUP}"')
    s.driver.wait_window(cls=LANGUAGE, timeout=60)
    shot(s, tag, "language", LANGUAGE)
    s.driver.click(cls=LANGUAGE, button="OK")
    s.driver.wait_window(cls=WIZARD, timeout=30)
    shot(s, tag, "welcome")
    # Closing on the first page asks; Cancel keeps the wizard where it was.
    s.driver.close(cls=WIZARD)
    box = s.driver.messagebox(caption=None, cls=QUESTION, timeout=20)
    s.check("Do you really want to quit Setup?" in box["text"], f"the close question: {box}")
    s.check_equal(box["buttons"], ["OK", "Cancel"], "buttons of the close question")
    shot(s, tag, "question", QUESTION)
    s.driver.messagebox(caption=None, cls=QUESTION, press="Cancel")
    to_install(s, lambda name: shot(s, tag, name))
    s.driver.click(cls=WIZARD, button="Install")
    try:
        shot(s, tag, "install")
    except Exception:  # noqa: BLE001 - a fast run may be past the page already
        pass
    wait_caption(s, "Finish", timeout=120)
    shot(s, tag, "finish")
    _, controls = s.driver.list_controls(cls=WIZARD)
    s.save_artifact(f"{tag}-finish-controls.json", json.dumps(controls, indent=2))
    for box_text in ("Launch Nolu", "Show what is new in this version"):
        s.check(any(c["text"] == box_text and c["visible"] for c in controls),
                f"the finish page shows the run box {box_text!r}")
        s.driver.check(cls=WIZARD, text=box_text, state=False)
    s.driver.click(cls=WIZARD, button="Finish")
    return setup.wait()


def walk_uninstall(s, tag):
    """The uninstaller started from the registered "UninstallString" exactly as Windows does,
    through its pages."""
    command = s.reg_value(ENTRY_KEY, "UninstallString", view=32)
    s.check(command, "the uninstall entry has an UninstallString")
    # The uninstaller waits for its copy's result (the removal), so it ends after Finish.
    uninstaller = s.start(command, cwd=PRODUCT_DIR)
    # The copy in the temporary folder asks for the language as an installation does.
    s.driver.click(cls=LANGUAGE, button="OK", timeout=60)
    s.driver.wait_window(cls=WIZARD, timeout=30)
    shot(s, tag, "uninstall-progress")
    for _ in range(10):
        _, controls = s.driver.list_controls(cls=WIZARD)
        captions = {c["text"].replace("&", "") for c in controls
                    if c["class"].lower() == "button" and c["visible"] and c["enabled"]}
        if "Finish" in captions:
            break
        pressed = next((c for c in ("Uninstall", "Next") if c in captions), None)
        if not pressed:
            break  # the removal runs: its page waits for nothing
        s.driver.click(cls=WIZARD, button=pressed)
        time.sleep(1)
    wait_caption(s, "Finish", timeout=120)
    shot(s, tag, "uninstall-finish")
    s.driver.click(cls=WIZARD, button="Finish")
    s.driver.wait_window(cls=WIZARD, gone=True, timeout=30)
    s.check_equal(uninstaller.wait(timeout=60), 0, "exit code of the uninstaller")
    s.driver.wait_process_gone("Uninstall.exe", timeout=60)
    check_no_entry(s)
    s.check(not s.exists(PRODUCT_DIR + r"\Nolu.exe"), "the product's files are gone")


def full_walk(s, dpi, dark):
    tag = f"{'dark' if dark else 'light'}-{dpi}"
    prepare(s, dpi, dark)
    day = time.strftime("%Y%m%d")
    s.check_equal(walk_install(s, tag), 0, "exit code of the wizard's installation")
    check_entry(s, {day, time.strftime("%Y%m%d")})
    s.check(s.exists(PRODUCT_DIR + r"\Nolu.exe"), "Nolu.exe installed")
    s.check(not s.exists(PRODUCT_DIR + r"\Nolu.log"), "the unticked program was not started")
    walk_uninstall(s, tag)


# Two walks share one prefix (the removal leaves it as the installation found it): the scale
# and the theme are read at each program start, and a prefix less saves its start-up.
@scenario("wizard_96")
def wizard_96(s):
    """An interactive installation through every page and its removal at 96 DPI, light and
    then dark."""
    full_walk(s, 96, dark=False)
    full_walk(s, 96, dark=True)


@scenario("wizard_144")
def wizard_144(s):
    """The same at 144 DPI, dark and then light."""
    full_walk(s, 144, dark=True)
    full_walk(s, 144, dark=False)


@scenario("wizard_runs")
def wizard_runs(s):
    """/AUTO shows the progress and closes itself; closing on the welcome page and answering
    OK ends with exit code 2 and writes nothing; closing during the run stops the worker
    before it writes anything and ends with exit code 2."""
    install_setup(s)
    folder = r"C:\Program Files (x86)\Other"
    before = s.tree("C:\\Program Files (x86)")
    setup = s.start(f'"{SETUP}"')
    s.driver.click(cls=LANGUAGE, button="OK", timeout=60)
    s.driver.wait_window(cls=WIZARD, timeout=30)
    s.driver.close(cls=WIZARD)
    s.driver.messagebox(caption=None, cls=QUESTION, press="OK", timeout=20)
    s.check_equal(setup.wait(), 2, "exit code of a wizard closed on its first page")
    s.check(before.files == s.tree("C:\\Program Files (x86)").files,
            "closing on the first page wrote nothing")
    s.check(not s.exists(folder), "nothing else was made")

    close_during_run(s, before)
    keyboard_and_screen_reader(s)

    s.check_equal(s.run(f'"{SETUP}" /AUTO="{PRODUCT_DIR}"', timeout=300), 0,
                  "exit code of an automatic run")
    s.check(s.exists(PRODUCT_DIR + r"\Nolu.exe"), "the automatic run installed the product")


ACCEPT = "I accept the terms of the license agreement"
ROLE_CHECK_BUTTON, ROLE_PUSH_BUTTON = 44, 43


def caption_of(control):
    return control["text"].replace("&", "")


def wait_shown(s, caption, timeout=30):
    """Waits until a control of the wizard reading `caption` is visible."""
    for _ in range(timeout * 4):
        _, controls = s.driver.list_controls(cls=WIZARD)
        if any(caption_of(c) == caption and c["visible"] for c in controls):
            return
        time.sleep(0.25)
    raise ScenarioFailure(f"no control of the wizard showed {caption!r}")


def keyboard_and_screen_reader(s):
    """The wizard used with the keyboard alone, and read as a screen reader reads it: Enter
    presses the default button, Alt with a caption's underlined letter acts, Tab walks the
    controls in their tab order, and the painted check box reports its role and state."""
    setup = s.start(f'"{SETUP}"')
    s.driver.wait_window(cls=LANGUAGE, timeout=60)
    s.driver.send_keys(["enter"], cls=LANGUAGE)  # OK is the dialog's default button
    s.driver.wait_window(cls=WIZARD, timeout=30)
    s.check_equal(caption_of(s.driver.focus(cls=WIZARD)), "Next", "focus on the welcome page")
    s.driver.send_keys(["enter"], cls=WIZARD)
    wait_shown(s, ACCEPT)  # Enter on the welcome page went on to the license

    box = s.driver.accessible(cls=WIZARD, text=ACCEPT)
    s.check_equal((box["role"], box["name"], box["checked"]),
                  (ROLE_CHECK_BUTTON, ACCEPT, False), "the accept box as a screen reader reads it")
    s.driver.send_keys(["alt+a"], cls=WIZARD)
    box = s.driver.accessible(cls=WIZARD, text=ACCEPT)
    s.check_equal((box["role"], box["checked"]), (ROLE_CHECK_BUTTON, True),
                  "Alt+A ticked the accept box, and the reader hears it")
    s.check_equal(s.driver.accessible(cls=WIZARD, button="Next")["role"], ROLE_PUSH_BUTTON,
                  "role of the Next button")

    # Tab from the accept box goes to Next (the license page has no Back), then into the
    # license (a read-only viewer must hand Tab on, not keep it) and round to the box.
    visited = []
    for _ in range(4):
        s.driver.send_keys(["tab"], cls=WIZARD)
        visited.append(caption_of(s.driver.focus(cls=WIZARD)))
        if visited[-1] == ACCEPT:
            break
    s.save_artifact("tab-order.json", json.dumps(visited, indent=2))
    s.check_equal([visited[0], visited[1][:9], visited[-1]], ["Next", "Nolu 5.40", ACCEPT],
                  f"Tab order of the license page: {visited}")
    s.check_equal(len(visited), 3, f"Tab order of the license page: {visited}")
    s.driver.send_keys(["shift+tab"], cls=WIZARD)
    s.check_equal(caption_of(s.driver.focus(cls=WIZARD)), visited[-2],
                  "Shift+Tab from the accept box")

    s.driver.send_keys(["alt+n"], cls=WIZARD)
    wait_shown(s, "Destination folder")  # the product's first page
    s.driver.send_keys(["alt+b"], cls=WIZARD)
    wait_shown(s, ACCEPT)
    s.driver.close(cls=WIZARD)
    s.driver.messagebox(caption=None, cls=QUESTION, press="OK", timeout=20)
    s.check_equal(setup.wait(timeout=60), 2, "exit code of the wizard closed from the keyboard walk")


def refusals(s):
    if not s.exists(PLAYER_LOG):
        return 0
    return s.read_text(PLAYER_LOG).splitlines().count("close refused")


def close_during_run(s, before):
    """A player window that refuses to close holds the run's first action in its passes
    (one close request, then a pause, again and again), long enough to quit the wizard while
    the worker runs; the answer OK stops the worker after its current pass."""
    s.copy_in(s.bin("nolu_standin.exe"), PLAYER)
    player = s.start(f'"{PLAYER}" /WINDOW /CLASS=TNoluMainForm /KEEPOPEN')
    s.driver.wait_window(cls="TNoluMainForm", timeout=30)
    setup = s.start(f'"{SETUP}"')
    s.driver.click(cls=LANGUAGE, button="OK", timeout=60)
    s.driver.wait_window(cls=WIZARD, timeout=30)
    to_install(s)
    s.driver.click(cls=WIZARD, button="Install")
    for _ in range(100):
        if refusals(s):
            break
        time.sleep(0.2)
    else:
        raise ScenarioFailure("the run never asked the player to close")
    s.driver.close(cls=WIZARD)
    box = s.driver.messagebox(caption=None, cls=QUESTION, press="OK", timeout=20)
    s.check("Do you really want to quit Setup?" in box["text"], f"the close question: {box}")
    asked = refusals(s)
    s.check_equal(setup.wait(timeout=60), 2, "exit code of a wizard closed during the run")
    # The worker ended after the pass it was in, not after all of them (about 30 s).
    s.check(refusals(s) <= asked + 1,
            f"the worker stopped: {refusals(s)} close requests, {asked} when the user quit")
    s.driver.wait_window(cls=WIZARD, gone=True, timeout=10)
    s.check(before.files == s.tree("C:\\Program Files (x86)").files,
            "closing during the run wrote nothing")
    # Nothing is started after a run the user ended: no program of the run boxes runs.
    players = [w for w in s.driver.list_windows() if w["class"] == "TNoluMainForm"]
    s.check_equal(len(players), 1, "windows of the player (the stand-in only)")
    s.check(not s.exists(PRODUCT_DIR), "no program of the product was there to start")
    # Its Close button still ends the player: the later runs must not meet it.
    s.driver.click(cls="TNoluMainForm", button="Close")
    s.check_equal(player.wait(timeout=30), 10, "exit code of the player stand-in")


@scenario("wizard_corrupted_body")
def wizard_corrupted_body(s):
    """The wizard opens while the product's package is still decoding; a body damaged in its
    middle shows up as "Package was corrupted" on the finish page, with no run box, exit code 1,
    and nothing written."""
    with open(s.bin("Setup.exe"), "rb") as f:
        program = f.read()
    with open(s.sample.product_package, "rb") as f:
        package = f.read()
    at = program.find(package)
    s.check(at >= 0, "the PRODUCT package is embedded in Setup.exe")
    corrupted = bytearray(program)
    corrupted[at + 12 + (len(package) - 12) // 2] ^= 0xFF
    setup_path = r"C:\downloads\damaged\Setup.exe"
    s.write_bytes(setup_path, bytes(corrupted))
    before = s.tree("C:\\Program Files (x86)")
    setup = s.start(f'"{setup_path}"')
    s.driver.click(cls=LANGUAGE, button="OK", timeout=60)
    s.driver.wait_window(cls=WIZARD, timeout=30)
    to_install(s)
    s.driver.click(cls=WIZARD, button="Install")
    controls = wait_caption(s, "Finish", timeout=120)
    s.save_artifact("corrupted-finish-controls.json", json.dumps(controls, indent=2))
    s.check(any("Package was corrupted" in c["text"] and c["visible"] for c in controls),
            "the finish page lists \"Package was corrupted\"")
    for box_text in ("Launch Nolu", "Show what is new in this version"):
        s.check(not any(c["text"] == box_text and c["visible"] for c in controls),
                f"no run box {box_text!r} after a failed run")
    s.driver.click(cls=WIZARD, button="Finish")
    s.check_equal(setup.wait(timeout=60), 1, "exit code of a run from a damaged package")
    s.check(before.files == s.tree("C:\\Program Files (x86)").files,
            "the run from a damaged package wrote nothing")
    check_no_entry(s)
