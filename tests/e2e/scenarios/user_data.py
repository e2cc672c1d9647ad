"""Runs that must lose nothing of the user's: an update keeps the user's own sections of the
product's configuration byte for byte, and a drive is never taken for a product folder."""

import os

from nolu_e2e import diff_listings, scenario
from nolu_e2e.installed_copies import ini_bytes, plant_files, read_ini, write_ini
from nolu_e2e.product_checks import (CONFIG, ENTRY_KEY, PRODUCT_DIR, SETUP, install_setup,
                                     run_setup)
from nolu_e2e.sample import parse_ini

# The configuration of a 5.01 copy with a section of the player's own settings, a value
# outside ASCII among them (the file is UTF-16LE, as the product writes it).
PLAYER = {"Volume": "80", "Repeat": "1", "LastFolder": r"C:\Users\Public\Music\Motörhead"}
OLD_CONFIG = {
    "System": {"ID": "{0C1A2B3C-4D5E-6F70-8192-A3B4C5D6E7F8}", "DefaultLang": "English.lng",
               "UserMode": "1", "Version": "5010"},
    "Integration": {"IntegrateToWindows": "1", "RegisterContextMenu": "0",
                    "AssociateWithFiles": "1", "ShortcutDesktop": "0", "ShortcutStartMenu": "1"},
    "Player": PLAYER,
}
# What else a 5.01 copy in the programs folder holds.
OLD_PROGRAM = [r"Nolu.exe", r"Changelog.txt", r"Uninstall.exe", r"Uninstall.dat",
               r"Skins\Modern\skin.xml"]


def update_keeps_player_settings(s, switches):
    plant_files(s, PRODUCT_DIR, OLD_PROGRAM)
    write_ini(s, f"{PRODUCT_DIR}\\{CONFIG}", OLD_CONFIG)
    install_setup(s)

    s.check_equal(run_setup(s, f'/AUTO="{PRODUCT_DIR}" /SILENT{switches}'), 0,
                  "exit code of the update")

    data = s.read_bytes(f"{PRODUCT_DIR}\\{CONFIG}")
    s.check(data.startswith(b"\xff\xfe"), f"{CONFIG} is still UTF-16LE: {data[:8]!r}")
    # The user's section, exactly as it was written (the other sections changed).
    player = ini_bytes({"Player": PLAYER})[2:]
    s.check(player in data, f"[Player] of {CONFIG} byte for byte: {data!r}")
    config = read_ini(s, f"{PRODUCT_DIR}\\{CONFIG}")
    s.check_equal(config["System"]["Version"], "5401", "the version of the configuration")
    s.check_equal(config["Integration"], OLD_CONFIG["Integration"], "[Integration] kept")


@scenario("update_keeps_player_settings")
def update_keeps_player_settings_with_backup(s):
    """An update over 5.01 archives the old copy and deletes its program files, but its
    "Nolu.ini" stays: the user's "[Player]" section is still there byte for byte, in the
    file's own encoding, beside the new version's "[System]"."""
    update_keeps_player_settings(s, "")


@scenario("update_keeps_player_settings_without_backup")
def update_keeps_player_settings_without_backup(s):
    """The same with /NOBACKUP: no archive, and still the user's settings stay."""
    update_keeps_player_settings(s, " /NOBACKUP")


@scenario("install_into_drive_root_refused")
def install_into_drive_root_refused(s):
    """A silent installation over a 5.01 copy that lies straight in a drive (a second drive
    letter of the prefix) is refused with the localized error before anything is written:
    the drive keeps the copy and the user's files beside it, and no uninstall entry appears."""
    drive = os.path.join(s.prefix.path, "drive_e")
    os.makedirs(drive)
    os.symlink("../drive_e", os.path.join(s.prefix.path, "dosdevices", "e:"))
    plant_files(s, "E:", OLD_PROGRAM + [r"Photos\summer.jpg", r"Documents\letter.doc"])
    write_ini(s, f"E:\\{CONFIG}", OLD_CONFIG)
    install_setup(s)
    before = s.tree("E:\\")
    contents = {path: s.read_bytes(f"E:\\{path}") for path in before.files}

    setup = s.start(f'"{SETUP}" /AUTO=E:\\ /SILENT')
    box = s.driver.messagebox(caption="Setup", press="OK")
    with open(os.path.join(s.sample.checkout, "sample", "setup", "English.lng"),
              encoding="utf-8-sig") as f:
        english = parse_ini(f.read())
    expected = english["Common"]["E5"].replace("$NAME", s.sample.name).replace("%s", "E:\\")
    s.check_equal(box["text"], expected, "the error box")
    s.check_equal(setup.wait(), 1, "exit code of the refused installation")

    changed = diff_listings(before, s.tree("E:\\"))
    s.check(not changed, f"the refused run changed drive E: {changed.describe()}")
    for path, data in contents.items():
        s.check_equal(s.read_bytes(f"E:\\{path}"), data, f"E:\\{path}")
    s.check_equal(s.reg_query(ENTRY_KEY, view=32), None, "uninstall entry")
