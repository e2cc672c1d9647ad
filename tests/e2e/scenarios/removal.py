"""Removal of an installed Nolu by its uninstaller: the recorded files and the folders they
leave empty go, with the registration and the shortcuts, and the backups with "/AUTO"; the
users' data stay (only the removal page can ask for them), whatever the record says; and
nothing outside the product folder is ever deleted."""

import os
import time

from nolu_e2e import diff_paths, scenario
from nolu_e2e.installed_copies import BACKUP_FOLDER, old_content, plant_files, replace_record
from nolu_e2e.product_checks import (PRODUCT_DIR, check_entry, check_no_entry,
                                     install_setup, read_record, run_setup)
from nolu_e2e.trees import empty_folders

# What the installation leaves that its record does not list: the configuration, and the
# logs of the stand-in programs the setup ran (Elevator.exe at the installation and at the
# removal, the shell menu's unregistration at the removal).
UNRECORDED = ["Nolu.ini", "Elevator.log", r"System\nolu_menu64.log"]
# The user's own things in the product folder, and a portable-style profile folder.
USER_FILES = [r"Skins\Mine\skin.xml", r"Profile\Nolu.ini"]
BACKUP = BACKUP_FOLDER + r"\z Before install 5.40 [2024.05.14 10-00-00].zip"
PROFILE_FILES = ["Nolu.ini", r"Playlists\Default.m3u"]


def installed(s):
    """A silent installation with the user's files beside it; returns the user's profile
    folder of the product (which "UserMode=1" in "Nolu.ini" makes the removal's business)."""
    install_setup(s)
    day = time.strftime("%Y%m%d")
    s.check_equal(run_setup(s, f'/AUTO="{PRODUCT_DIR}" /SILENT'), 0, "exit code of the setup")
    check_entry(s, {day, time.strftime("%Y%m%d")})
    plant_files(s, PRODUCT_DIR, USER_FILES + [BACKUP])
    profile = s.driver.special_folder("AppData") + "Nolu"
    plant_files(s, profile, PROFILE_FILES)
    return profile


def uninstall(s):
    """Runs "Uninstall.exe /AUTO /SILENT" in the product folder, as the system's list of
    programs would; returns once its copy below the temporary folder has ended."""
    temp = s.driver.special_folder("Temp")
    watch = s.driver.watch_process("Uninstall.exe", below=temp)
    s.check_equal(s.run(f'"{PRODUCT_DIR}\\Uninstall.exe" /AUTO /SILENT', cwd=PRODUCT_DIR), 0,
                  "exit code of the uninstaller")
    s.check_equal(watch.result()["exit"], 0, "exit code of the uninstaller's copy")


def check_left(s, folder, expected, what):
    if expected is None:
        s.check(not s.exists(folder), f"{what}: {folder} should be gone")
        return
    s.check(s.exists(folder), f"{what}: {folder} should still be there")
    listing = s.tree(folder)
    # Folders that hold nothing count too: a removal must not leave empty ones behind.
    diff = diff_paths(expected, list(listing.files) + empty_folders(listing))
    s.check(not diff, f"{what}: {folder} holds {diff.describe()}")


def shortcuts(s):
    """The desktop link and the start-menu folder the installation made."""
    desktop = s.driver.special_folder("CommonDesktop").rstrip("\\")
    menu = s.driver.special_folder("CommonPrograms").rstrip("\\")
    return [desktop + r"\Nolu.lnk", menu + r"\Nolu"]


def check_unregistered(s, links):
    check_no_entry(s)
    for path in links:
        s.check(not s.exists(path), f"{path} should be gone")


@scenario("removal_auto_silent")
def removal_auto_silent(s):
    """"/AUTO /SILENT" with a record that carries no choice: the recorded files, the empty
    folders, the backups, the uninstall entry and the shortcuts go; the configuration, the
    user's files and the profiles stay."""
    profile = installed(s)
    s.check("Common" not in read_record(s), "the installation recorded no removal choice")
    links = shortcuts(s)
    for path in links:
        s.check(s.exists(path), f"the installation should have made {path}")
    uninstall(s)
    check_left(s, PRODUCT_DIR, UNRECORDED + USER_FILES, "product folder")
    check_left(s, profile, PROFILE_FILES, "profile")
    check_unregistered(s, links)
    s.check_equal(s.read_text(PRODUCT_DIR + r"\Elevator.log").splitlines()[-1], " /REG=U",
                  "the registration program's last start")
    s.check_equal(s.read_text(PRODUCT_DIR + r"\System\nolu_menu64.log"),
                  "DllUnregisterServer\r\n", "calls of the shell menu")


@scenario("removal_ignores_recorded_choices")
def removal_ignores_recorded_choices(s):
    """A record that asks for the users' data and the whole folder ("Common":
    "RemoveBackups=1", "RemoveContent=1") is not obeyed: the record is only scrambled and the
    removal runs elevated, so a silent removal leaves what "/AUTO /SILENT" always leaves."""
    profile = installed(s)
    record = read_record(s)
    record["Common"] = {"RemoveBackups": "1", "RemoveContent": "1"}
    replace_record(s, PRODUCT_DIR, record)
    uninstall(s)
    check_left(s, PRODUCT_DIR, UNRECORDED + USER_FILES, "product folder")
    check_left(s, profile, PROFILE_FILES, "profile")
    check_unregistered(s, shortcuts(s))


@scenario("removal_tampered_record")
def removal_tampered_record(s):
    """A record that lists paths outside the product folder (through "..", into a sibling
    folder whose name begins like the product's, as full paths, rooted at the drive) deletes
    none of them; the product's own files still go."""
    installed(s)
    outside = {
        r"..\..\Windows\win.ini": r"C:\Windows\win.ini",
        r"..\Nolu Data\keep.txt": r"C:\Program Files (x86)\Nolu Data\keep.txt",
        r"C:\Users\Public\keep.txt": r"C:\Users\Public\keep.txt",
        r"\Users\Public\root.txt": r"C:\Users\Public\root.txt",
    }
    for target in list(outside.values())[1:]:
        s.write_bytes(target, old_content(target))
    before = {target: s.read_bytes(target) for target in outside.values()}
    record = read_record(s)
    paths = list(outside) + ["Nolu.exe", "Changelog.txt"]
    record["Uninstall"] = {str(i): p for i, p in enumerate(paths)}
    record["Uninstall"]["Count"] = str(len(paths))
    replace_record(s, PRODUCT_DIR, record)

    uninstall(s)

    for target, data in before.items():
        s.check(s.exists(target) and s.read_bytes(target) == data,
                f"{target} was deleted or changed by the removal")
    for name in ("Nolu.exe", "Changelog.txt"):
        s.check(not s.exists(f"{PRODUCT_DIR}\\{name}"), f"the recorded {name} should be gone")
    # Files the tampered record no longer lists stay.
    s.check(s.exists(PRODUCT_DIR + r"\Elevator.exe"), "Elevator.exe is not in the record")
    check_no_entry(s)


# A folder outside every tree of the product, and what a user's links lead to there.
OUTSIDE = r"C:\Outside"
OUTSIDE_FILES = ["Nolu.exe", "secret.txt", r"Sub\notes.txt"]


def link_folder(s, link, target):
    """Makes `link` a symbolic link to the folder `target`, as a user's junction would be (Wine
    reports a link to a folder as a reparse point; it cannot make junctions)."""
    path = s.path(link)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    os.symlink(s.path(target), path, target_is_directory=True)


@scenario("removal_through_links")
def removal_through_links(s):
    """Links to a folder outside, in the product folder and in the user's profile, and a
    record that lists files through one of them: the removal deletes nothing they lead to,
    removes the product's own files and leaves the links, which the installation did not make,
    with the folders that hold them."""
    profile = installed(s)
    plant_files(s, OUTSIDE, OUTSIDE_FILES)
    before = {path: s.read_bytes(f"{OUTSIDE}\\{path}") for path in OUTSIDE_FILES}
    link_folder(s, PRODUCT_DIR + r"\Skins\Linked", OUTSIDE)
    link_folder(s, profile + r"\Linked", OUTSIDE)
    record = read_record(s)
    paths = [record["Uninstall"][str(i)] for i in range(int(record["Uninstall"]["Count"]))]
    paths += [r"Skins\Linked\Nolu.exe", r"Skins\Linked\Sub\notes.txt"]
    record["Uninstall"] = {str(i): p for i, p in enumerate(paths)}
    record["Uninstall"]["Count"] = str(len(paths))
    replace_record(s, PRODUCT_DIR, record)

    uninstall(s)

    for path, data in before.items():
        target = f"{OUTSIDE}\\{path}"
        s.check(s.exists(target) and s.read_bytes(target) == data,
                f"{target} was deleted or changed by the removal")
    for link in (PRODUCT_DIR + r"\Skins\Linked", profile + r"\Linked"):
        s.check(os.path.islink(s.path(link)), f"the link {link} should still be there")
    s.check(not s.exists(PRODUCT_DIR + r"\Nolu.exe"), "the recorded Nolu.exe should be gone")
    check_left(s, profile, PROFILE_FILES + ["Linked\\"], "profile")
