"""The product's pages as a user meets them: an interactive update of an installed 5.01 copy
with and without its backup, a portable installation to the desktop, the integration boxes
deciding the switches of "Elevator.exe", the add-on offer of a Russian run starting the add-on
installer, and the removal page deciding what a removal leaves — and each page saved as a
picture at 96 and 144 DPI, light and dark."""

import glob
import os
import shutil
import time

from nolu_e2e import diff_paths, scenario
from nolu_e2e.installed_copies import (BACKUP_FOLDER, add_uninstall_entry, backup_archives,
                                       plant_files, read_ini, write_ini)
from nolu_e2e.product_checks import PRODUCT_DIR, SETUP, install_setup, run_setup
from nolu_e2e.sample import decode_ini, parse_ini
from nolu_e2e.trees import empty_folders

WIZARD = "TWizardForm"
LANGUAGE = "TSetupLanguageDialog"
# The language dialog comes before any language is chosen: its button is not localized.
LANGUAGE_OK = "OK"
QUESTION = "TRuxMessageDialog"
PERSONALIZE = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Themes\Personalize"
ALL_SWITCHES = {"CB4": " /REG=L1 /REG=D1 /REG=R1", "CB5": " /REG=M1", "CB3": " /REG=R2"}


class Texts:
    """The strings of one of the sample's language files, as the wizard shows them."""

    def __init__(self, s, language):
        path = os.path.join(s.sample.checkout, "sample", "setup", f"{language}.lng")
        with open(path, "rb") as f:
            self._sections = parse_ini(decode_ini(f.read()))

    def __call__(self, section, key):
        return self._sections[section][key].replace("$NAME", "Nolu").replace("&", "")


def prepare_display(s, dpi, dark):
    """The system's scale and app theme as the registry holds them (read at program start)."""
    s.prefix.reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", "REG_DWORD", str(dpi), view=64)
    s.prefix.reg_add(PERSONALIZE, "AppsUseLightTheme", "REG_DWORD", "0" if dark else "1",
                     view=64)


def controls(s):
    return s.driver.list_controls(cls=WIZARD)[1]


def control(s, text):
    """The wizard's control that reads `text` (without "&"), or None."""
    return next((c for c in controls(s) if c["text"].replace("&", "") == text), None)


def wait_button(s, caption, timeout=60):
    """Waits until the wizard's Next button reads `caption` and can be pressed."""
    for _ in range(int(timeout * 4)):
        if any(c["class"].lower() == "button" and c["text"].replace("&", "") == caption
               and c["visible"] and c["enabled"] for c in controls(s)):
            return
        time.sleep(0.25)
    raise AssertionError(f"the wizard's button never read {caption!r}")


def start_wizard(s, texts, arguments="", program=SETUP, cwd=None):
    """Starts the program, confirms the language dialog and waits for the wizard."""
    process = s.start(f'"{program}" {arguments}'.strip(), cwd=cwd)
    s.driver.click(cls=LANGUAGE, button=LANGUAGE_OK, timeout=60)
    s.driver.wait_window(cls=WIZARD, timeout=30)
    return process


def to_setup_page(s, texts):
    """From the welcome page over the license to the Setup page."""
    s.driver.click(cls=WIZARD, button=texts("Common", "bNext"))
    s.driver.check(cls=WIZARD, text=texts("PageLicense", "L1"), state=True, timeout=30)
    s.driver.click(cls=WIZARD, button=texts("Common", "bNext"))
    s.driver.wait_window(cls=WIZARD, timeout=10)
    for _ in range(40):
        if control(s, texts("PageSetup", "LB1")):
            return
        time.sleep(0.25)
    raise AssertionError("the Setup page did not appear")


def next_page(s, texts, caption_key="bNext"):
    s.driver.click(cls=WIZARD, button=texts("Common", caption_key))


def finish(s, texts, process):
    """Installs from the ready page, unticks the run boxes, presses Finish; the exit code."""
    wait_button(s, texts("Common", "bInstall"))
    s.driver.click(cls=WIZARD, button=texts("Common", "bInstall"))
    wait_button(s, texts("Common", "bFinish"), timeout=180)
    for c in controls(s):
        if c.get("kind") == "checkbox" and c["visible"] and c["checked"]:
            s.driver.check(cls=WIZARD, text=c["text"], state=False)
    s.driver.click(cls=WIZARD, button=texts("Common", "bFinish"))
    return process.wait()


def close_wizard(s, texts, process):
    """Leaves the wizard through the close question, answered OK."""
    s.driver.close(cls=WIZARD)
    s.driver.messagebox(caption=None, cls=QUESTION, press=texts("Common", "lOk"), timeout=20)
    process.wait()


def check_box(s, text, visible, checked=None, enabled=True):
    found = control(s, text)
    s.check(found is not None, f"the wizard has the control {text!r}")
    s.check_equal(found["visible"], visible, f"{text!r} visible")
    if visible:
        if checked is not None:
            s.check_equal(bool(found["checked"]), checked, f"{text!r} checked")
        s.check_equal(found["enabled"], enabled, f"{text!r} enabled")


def plant_5010_copy(s):
    """A standard copy of 5.01 in the program folder, registered as that version left it."""
    plant_files(s, PRODUCT_DIR, ["Nolu.exe", r"Plugins\PlugX\mine.dll"])
    write_ini(s, PRODUCT_DIR + r"\Nolu.ini",
              {"System": {"UserMode": "1", "Version": "5010"},
               "Integration": {"IntegrateToWindows": "1", "RegisterContextMenu": "1",
                               "AssociateWithFiles": "1", "ShortcutDesktop": "1",
                               "ShortcutStartMenu": "1"}})
    add_uninstall_entry(s, "Nolu", PRODUCT_DIR)


@scenario("pages_update_5010")
def pages_update_5010(s):
    """Over an installed 5.01 the Setup page offers the update (ticked), the backup (ticked)
    and the warning "W1" with the mode radios disabled; Next skips the Integration page. The
    first update is made without a backup, the second (over 5.40) with one."""
    texts = Texts(s, "English")
    install_setup(s)
    plant_5010_copy(s)
    for backup in (False, True):
        process = start_wizard(s, texts)
        to_setup_page(s, texts)
        s.check_equal(s.driver.get_text(cls=WIZARD, control_class="Edit"), PRODUCT_DIR + "\\",
                      "the destination is the installed copy's folder")
        check_box(s, texts("PageSetup", "CB1"), visible=True, checked=True)
        check_box(s, texts("PageSetup", "CB4"), visible=True, checked=True)
        check_box(s, texts("PageSetup", "CB2"), visible=True, checked=True, enabled=False)
        check_box(s, texts("PageSetup", "CB3"), visible=True, checked=False, enabled=False)
        s.check(control(s, texts("PageSetup", "W1")) is not None, "the warning W1 is shown")
        s.check(control(s, texts("PageSetup", "W3")) is None, "no warning W3")
        if not backup:
            s.driver.check(cls=WIZARD, text=texts("PageSetup", "CB4"), state=False)
        archives = backup_archives(s, PRODUCT_DIR)
        next_page(s, texts)
        # The Integration page is not part of an update: the next page is the ready page.
        wait_button(s, texts("Common", "bInstall"), timeout=10)
        s.check(control(s, texts("PageIntegration", "CB1")) is None or
                not control(s, texts("PageIntegration", "CB1"))["visible"],
                "the Integration page was skipped")
        s.check_equal(finish(s, texts, process), 0, "exit code of the update")
        after = backup_archives(s, PRODUCT_DIR)
        made = [name for name in after if name not in archives]
        s.check_equal(len(made), 1 if backup else 0,
                      f"new backup archives ({'ticked' if backup else 'unticked'}): {made}")
        s.check(s.exists(PRODUCT_DIR + r"\Plugins\PlugX\mine.dll"), "the user's plug-in stays")
        s.check_equal(read_ini(s, PRODUCT_DIR + r"\Nolu.ini")["System"]["Version"], "5401",
                      "the updated copy's version")


@scenario("pages_portable_desktop")
def pages_portable_desktop(s):
    """Choosing the portable radio on the program-files default moves the destination to the
    desktop; the installation goes there, portable, registers nothing and skips the
    Integration page."""
    texts = Texts(s, "English")
    install_setup(s)
    desktop = s.driver.special_folder("Desktop").rstrip("\\")
    portable = desktop + r"\Nolu"
    process = start_wizard(s, texts)
    to_setup_page(s, texts)
    s.driver.click(cls=WIZARD, text=texts("PageSetup", "CB3"))
    s.check_equal(s.driver.get_text(cls=WIZARD, control_class="Edit"), portable + "\\",
                  "the destination after choosing a portable installation")
    check_box(s, texts("PageSetup", "CB3"), visible=True, checked=True)
    check_box(s, texts("PageSetup", "CB2"), visible=True, checked=False)
    next_page(s, texts)
    s.check_equal(finish(s, texts, process), 0, "exit code of the portable installation")
    s.check(s.exists(portable + r"\Nolu.exe"), "Nolu.exe on the desktop")
    s.check_equal(read_ini(s, portable + r"\Nolu.ini")["System"]["UserMode"], "0",
                  "UserMode of the portable copy")
    s.check(not s.exists(portable + r"\Elevator.log"), "nothing registered when portable")
    s.check(not s.exists(PRODUCT_DIR), "nothing in the program folder")


@scenario("pages_integration_switches")
def pages_integration_switches(s):
    """The integration boxes decide the switches of "Elevator.exe": with the associations and
    the context menu unticked only the Windows registration is asked for; the desktop shortcut
    unticked leaves no desktop link."""
    texts = Texts(s, "English")
    install_setup(s)
    process = start_wizard(s, texts)
    to_setup_page(s, texts)
    next_page(s, texts)
    s.driver.wait_window(cls=WIZARD)
    for key in ("CB1", "CB2", "CB3", "CB4", "CB5"):
        check_box(s, texts("PageIntegration", key), visible=True, checked=True)
    for key in ("CB1", "CB3", "CB5"):
        s.driver.check(cls=WIZARD, text=texts("PageIntegration", key), state=False)
    next_page(s, texts)
    s.check_equal(finish(s, texts, process), 0, "exit code of the installation")
    s.check_equal(s.read_text(PRODUCT_DIR + r"\Elevator.log"), ALL_SWITCHES["CB4"] + "\r\n",
                  "switches of Elevator.exe")
    desktop = s.driver.special_folder("CommonDesktop").rstrip("\\")
    menu = s.driver.special_folder("CommonPrograms").rstrip("\\") + r"\Nolu"
    s.check(not s.exists(desktop + r"\Nolu.lnk"), "no desktop link")
    s.check(s.exists(menu + r"\Nolu.lnk"), "the start menu link")


@scenario("pages_addons_russian", locale="ru_RU.UTF-8")
def pages_addons_russian(s):
    """A Russian run shows the add-on page after the Setup page; with the file-type box
    unticked the add-on installer starts with "/S /NOASSOC /VIEWER /SHORTCUTS /SOURCE=nolu"."""
    texts = Texts(s, "Russian")
    install_setup(s)
    process = start_wizard(s, texts)
    to_setup_page(s, texts)
    next_page(s, texts)
    for _ in range(40):
        if control(s, texts("PageAddons", "CB1")):
            break
        time.sleep(0.25)
    for key in ("CB1", "CB2", "CB3"):
        check_box(s, texts("PageAddons", key), visible=True, checked=True)
    s.driver.check(cls=WIZARD, text=texts("PageAddons", "CB2"), state=False)
    next_page(s, texts)  # the Integration page
    next_page(s, texts)
    s.check_equal(finish(s, texts, process), 0, "exit code of the installation")
    # The installer runs from a folder of its own below the temporary folder ("Setup-" and
    # 32 hexadecimal digits) and logs its parameters beside itself.
    temp = s.path(s.driver.special_folder("Temp"))
    logs = []
    for _ in range(120):
        logs = glob.glob(os.path.join(temp, "Setup-*", "LumoSetup.log"))
        if logs:
            break
        time.sleep(0.25)
    s.check_equal(len(logs), 1, f"logs of the add-on installer below {temp}: {logs}")
    with open(logs[0], encoding="utf-8", newline="") as f:
        s.check_equal(f.read(), " /S /NOASSOC /VIEWER /SHORTCUTS /SOURCE=nolu\r\n",
                      "parameters of the add-on installer")


# What a removal leaves in the product folder with each choice of the removal page, beside
# what the installation's record does not list.
UNRECORDED = ["Nolu.ini", "Elevator.log", r"System\nolu_menu64.log"]
USER_FILES = [r"Skins\Mine\skin.xml", r"Profile\Nolu.ini"]
BACKUP = BACKUP_FOLDER + r"\z Before install 5.40 [2024.05.14 10-00-00].zip"
PROFILE_FILES = ["Nolu.ini", r"Playlists\Default.m3u"]
REMOVALS = [
    # RemoveBackups, RemoveContent, the product folder left, the profile left
    (False, False, UNRECORDED + USER_FILES + [BACKUP], PROFILE_FILES),
    (True, False, UNRECORDED + USER_FILES, PROFILE_FILES),
    (False, True, UNRECORDED + [r"Skins\Mine\skin.xml", BACKUP], None),
    (True, True, None, None),
]


def check_left(s, folder, expected, what):
    if expected is None:
        s.check(not s.exists(folder), f"{what}: {folder} should be gone")
        return
    s.check(s.exists(folder), f"{what}: {folder} should still be there")
    listing = s.tree(folder)
    diff = diff_paths(expected, list(listing.files) + empty_folders(listing))
    s.check(not diff, f"{what}: {folder} holds {diff.describe()}")


@scenario("pages_removal_choices")
def pages_removal_choices(s):
    """The removal page of the uninstaller, started as Windows starts it: each pair of choices
    leaves exactly its tree of the product folder and of the user's profile."""
    texts = Texts(s, "English")
    install_setup(s)
    profile = s.driver.special_folder("AppData") + "Nolu"
    for remove_backups, remove_content, left, profile_left in REMOVALS:
        what = f"backups {remove_backups}, content {remove_content}"
        s.check_equal(run_setup(s, f'/AUTO="{PRODUCT_DIR}" /SILENT'), 0,
                      f"exit code of the installation ({what})")
        plant_files(s, PRODUCT_DIR, USER_FILES + [BACKUP])
        plant_files(s, profile, PROFILE_FILES)
        temp = s.driver.special_folder("Temp")
        watch = s.driver.watch_process("Uninstall.exe", below=temp, timeout=300)
        # The uninstaller waits for its copy in a folder of its own below the temporary
        # folder, which shows the wizard.
        uninstaller = s.start(f'"{PRODUCT_DIR}\\Uninstall.exe"', cwd=PRODUCT_DIR)
        s.driver.click(cls=LANGUAGE, button=LANGUAGE_OK, timeout=60)
        s.driver.wait_window(cls=WIZARD, timeout=30)
        for key, wanted in (("CB1", remove_backups), ("CB2", remove_content)):
            check_box(s, texts("PageUninstallParams", key), visible=True, checked=False)
            if wanted:
                s.driver.check(cls=WIZARD, text=texts("PageUninstallParams", key), state=True)
        s.driver.click(cls=WIZARD, button=texts("Common", "bUninstall"))
        wait_button(s, texts("Common", "bFinish"), timeout=180)
        s.driver.click(cls=WIZARD, button=texts("Common", "bFinish"))
        s.check_equal(watch.result()["exit"], 0, "exit code of the uninstaller's copy")
        s.check_equal(uninstaller.wait(), 0, "exit code of the uninstaller")
        check_left(s, PRODUCT_DIR, left, f"product folder ({what})")
        check_left(s, profile, profile_left, f"profile ({what})")
        for folder in (PRODUCT_DIR, profile):
            if s.exists(folder):
                shutil.rmtree(s.path(folder))


def shoot_install_pages(s, texts, tag, addons):
    """The Setup page (and the add-on page), and the Integration page; then closes."""
    process = start_wizard(s, texts)
    to_setup_page(s, texts)
    s.screenshot(f"{tag}-setup", cls=WIZARD)
    if addons:
        next_page(s, texts)
        time.sleep(0.5)
        s.screenshot(f"{tag}-addons", cls=WIZARD)
    next_page(s, texts)
    time.sleep(0.5)
    s.screenshot(f"{tag}-integration", cls=WIZARD)
    close_wizard(s, texts, process)


COMBINATIONS = [(96, False), (144, False), (96, True), (144, True)]


@scenario("pages_screenshots")
def pages_screenshots(s):
    """The Setup and Integration pages of a first installation, the Setup page over an
    installed copy (the update boxes and the warning) and the removal page, each at 96 and
    144 DPI, light and dark."""
    texts = Texts(s, "English")
    install_setup(s)
    for dpi, dark in COMBINATIONS:
        prepare_display(s, dpi, dark)
        shoot_install_pages(s, texts, f"{'dark' if dark else 'light'}-{dpi}", addons=False)
    s.check_equal(run_setup(s, f'/AUTO="{PRODUCT_DIR}" /SILENT'), 0, "exit code of the setup")
    for dpi, dark in COMBINATIONS:
        tag = f"{'dark' if dark else 'light'}-{dpi}"
        prepare_display(s, dpi, dark)
        process = start_wizard(s, texts)
        to_setup_page(s, texts)
        s.screenshot(f"{tag}-setup-update", cls=WIZARD)
        close_wizard(s, texts, process)
        uninstaller = s.start(f'"{PRODUCT_DIR}\\Uninstall.exe"', cwd=PRODUCT_DIR)
        s.driver.click(cls=LANGUAGE, button=LANGUAGE_OK, timeout=60)
        s.driver.wait_window(cls=WIZARD, timeout=30)
        s.screenshot(f"{tag}-uninstall-params", cls=WIZARD)
        s.driver.close(cls=WIZARD)
        s.driver.messagebox(caption=None, cls=QUESTION, press=texts("Common", "lOk"), timeout=20)
        s.driver.wait_window(cls=WIZARD, gone=True, timeout=30)
        uninstaller.wait()


@scenario("pages_screenshots_russian", locale="ru_RU.UTF-8")
def pages_screenshots_russian(s):
    """The add-on page of a Russian run at 96 and 144 DPI, light and dark."""
    texts = Texts(s, "Russian")
    install_setup(s)
    for dpi, dark in COMBINATIONS:
        tag = f"{'dark' if dark else 'light'}-{dpi}"
        prepare_display(s, dpi, dark)
        process = start_wizard(s, texts)
        to_setup_page(s, texts)
        next_page(s, texts)
        time.sleep(0.5)
        s.screenshot(f"{tag}-addons", cls=WIZARD)
        close_wizard(s, texts, process)
