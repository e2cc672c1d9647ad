"""The wizard as a user meets it: the language dialog, every page of an installation, the
close question, a run that closes itself, a run closed before and during its work, and the
removal started exactly as Windows starts it — each page saved as a picture, at 96 and
144 DPI, light and dark."""

import json
import time

from nolu_e2e import scenario

from nolu_e2e.product_checks import (ENTRY_KEY, PRODUCT_DIR, SETUP, check_entry,
                                     check_no_entry, install_setup)

WIZARD = "TWizardForm"
LANGUAGE = "TSetupLanguageDialog"
QUESTION = "TRuxMessageDialog"
PERSONALIZE = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize"


def prepare(s, dpi, dark):
    """The system's scale and app theme as the registry holds them (read at program start)."""
    s.prefix.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", str(dpi), view=64)
    s.prefix.reg_add(PERSONALIZE, "AppsUseLightTheme", "REG_DWORD", "0" if dark else "1",
                     view=64)
    install_setup(s)


def shot(s, tag, name, cls=WIZARD):
    s.screenshot(f"{tag}-{name}", cls=cls)


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
    s.driver.click(cls=WIZARD, button="Next")
    # Next waits on the license page until the terms are accepted.
    s.driver.check(cls=WIZARD, text="I accept the terms of the license agreement", state=True,
                   timeout=30)
    wait_caption(s, "Next")
    shot(s, tag, "license")
    s.driver.click(cls=WIZARD, button="Next")
    # The product's pages (product_pages.py has their own walks): the destination and the
    # integration as they come.
    for _ in ("setup", "integration"):
        wait_caption(s, "Next")
        s.driver.click(cls=WIZARD, button="Next")
    wait_caption(s, "Install")
    shot(s, tag, "ready")
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
    # The uninstaller waits for its copy in the temporary folder, which asks for the language
    # as an installation does.
    uninstaller = s.start(command, cwd=PRODUCT_DIR)
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
    s.driver.wait_process_gone("Uninstall.exe", timeout=60)
    s.check_equal(uninstaller.wait(), 0, "exit code of the uninstaller")
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


@scenario("wizard_light_96")
def wizard_light_96(s):
    """An interactive installation through every page and its removal, light, 96 DPI."""
    full_walk(s, 96, dark=False)


@scenario("wizard_dark_144")
def wizard_dark_144(s):
    """The same at 144 DPI in the dark app theme."""
    full_walk(s, 144, dark=True)


@scenario("wizard_runs")
def wizard_runs(s):
    """/AUTO shows the progress and closes itself; closing on the welcome page and answering
    OK ends with exit code 2 and writes nothing; closing during the run stops the worker
    before it writes anything and ends with exit code 2."""
    install_setup(s)
    s.check_equal(s.run(f'"{SETUP}" /AUTO="{PRODUCT_DIR}"', timeout=300), 0,
                  "exit code of an automatic run")
    s.check(s.exists(PRODUCT_DIR + r"\Nolu.exe"), "the automatic run installed the product")

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
