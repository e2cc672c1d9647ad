"""A silent installation over an older copy of Nolu is an update: the old program folder and
the users' profiles go into a backup archive, the profiles move and get their new file names,
the folders of the user's own things stay, obsolete plug-ins and files go, and the new files
arrive. Each scenario starts from a copy prepared as that version left it."""

import os
import time

from nolu_e2e import diff_paths, scenario
from nolu_e2e.installed_copies import (ARCHIVE_NAME, BACKUP_FOLDER, add_uninstall_entry,
                                       archive_entries, backup_archives, old_content,
                                       plant_files, read_ini, write_ini)
from nolu_e2e.product_checks import (CONFIG, PRODUCT_DIR, RECORD_FILES,
                                     check_component_contents, check_entry, check_no_entry,
                                     component_targets, install_setup, read_record, run_setup)
from nolu_e2e.sample import uninstall_record_paths
from nolu_e2e.trees import empty_folders

PORTABLE_DIR = r"C:\NoluPortable"
# The archive leaves these out wherever they lie (caches the player rebuilds, and the
# updater), though they are deleted with the rest.
NOT_ARCHIVED = {"albumarts.cache", "albumarts.db", "albumartscache.db", "albumartcache.db",
                "updateinstaller.exe"}

# Files of an older copy's program folder, and whether an update from 3900, 5010 and 5401
# keeps them. Paths that are also components of 5.40 are replaced by the new files instead.
PROGRAM_FILES = [
    # path                              3900   5010   5401
    (r"Plugins\PlugA\old.dll",          False, True,  True),   # obsolete below 4002
    (r"Plugins\PlugF\old.dll",          False, True,  True),   # obsolete below 4699
    (r"Plugins\PlugG\old.dll",          False, False, True),   # obsolete below 5030
    (r"Plugins\PlugH\old.dll",          False, False, False),  # obsolete in every version
    (r"Plugins\PlugK\plugin.dll",       False, False, False),  # obsolete in every version
    (r"Plugins\PlugK\Lang\de.ini",      False, False, False),
    (r"Plugins\PlugX\mine.dll",         True,  True,  True),   # the user's own plug-in
    (r"Skins\SkinA.nsk4",               False, True,  True),   # dropped below 4500
    (r"Skins\SkinB.nsk4",               False, True,  True),   # dropped below 4500
    (r"Skins\Mine\skin.xml",            True,  True,  True),   # the user's own skin
    (r"Icons\mine.png",                 True,  True,  True),
    (r"System\Data\old.dat",            False, False, True),   # emptied below 5401
    (r"System\Encoders\Old\old.enc",    False, False, True),   # emptied below 5401
    (r"System\libsoxr.dll",             False, False, False),
    (r"libVorbis.dll",                  False, False, False),
    (r"libwebp.dll",                    True,  True,  True),
    (r"UpdateInstaller.exe",            False, False, False),  # deleted, never archived
    (r"Help\Nolu.chm",                  False, False, False),  # a program file of old
    # Files 5.40 installs again.
    (r"Nolu.exe",                       False, False, False),
    (r"Changelog.txt",                  False, False, False),
    (r"Plugins\PlugA\plugin.ini",       False, False, False),
    (r"Skins\Modern\skin.xml",          False, False, False),
    (r"Uninstall.exe",                  False, False, False),
    (r"Uninstall.dat",                  False, False, False),
]
VERSION_COLUMN = {3900: 1, 5010: 2, 5401: 3}

# The files of a 3.x profile that have other names from 4.00 on (None: dropped by the update).
PROFILE_FILES_3X = {
    "Nolu3.ini": "Nolu.ini", "Nolu3-cat.db": "Nolu-cat.db",
    "nolu3_menu.ini": "Nolu-ContextMenu.ini", "Nolu3vc.ini": "Noluvc.ini",
    "Nolu3vte.ini": "Noluvte.ini",
    "Nolu3-SkinLayout.ini": None, "Nolu3.bak": None, "Nolu3vc.bak": None, "Nolu3vte.bak": None,
}
# Files of every version's profile.
PROFILE_FILES = [
    # path, then its name after an update from 3900, from 5010, from 5401 (None: deleted)
    ("AlbumArts.db", None, "AlbumArts.db", "AlbumArts.db"),  # dropped below 4600
    ("AlbumArtCache.db", None, None, "AlbumArtCache.db"),  # dropped below 5020
    ("AlbumArtsForURLs.db",  # renamed below 5020
     "AlbumArts.Custom.db", "AlbumArts.Custom.db", "AlbumArtsForURLs.db"),
    (r"Playlists\Default.m3u", *[r"Playlists\Default.m3u"] * 3),
]

INTEGRATION = {"IntegrateToWindows": "1", "RegisterContextMenu": "0", "AssociateWithFiles": "1",
               "ShortcutDesktop": "0", "ShortcutStartMenu": "1"}


def old_config(version, user_mode):
    return {"System": {"ID": "{0C1A2B3C-4D5E-6F70-8192-A3B4C5D6E7F8}", "DefaultLang": "English.lng",
                       "UserMode": user_mode, "Version": str(version)},
            "Integration": INTEGRATION,
            "Player": {"Volume": "80", "Repeat": "1"}}


def profile_plan(version):
    """(files of the old profile, {old name: name after the update}) for an installed
    version; names that the update drops are left out of the second."""
    column = VERSION_COLUMN[version]
    planted = [row[0] for row in PROFILE_FILES]
    after = {row[0]: row[column] for row in PROFILE_FILES if row[column]}
    if version < 4000:
        planted += list(PROFILE_FILES_3X)
        after.update({old: new for old, new in PROFILE_FILES_3X.items() if new})
    else:
        planted.append("Nolu.ini")
        after["Nolu.ini"] = "Nolu.ini"
    return planted, after


def program_plan(version):
    column = VERSION_COLUMN[version]
    return [row[0] for row in PROGRAM_FILES], [row[0] for row in PROGRAM_FILES if row[column]]


def archive_names(prefix, folder_files):
    """Archive names of files found below a folder, the cache files left out."""
    return [prefix + path for path in folder_files
            if path.rsplit("\\", 1)[-1].lower() not in NOT_ARCHIVED]


def run_update(s, dest):
    """Runs the silent installation over `dest`; returns the local times it ran between."""
    install_setup(s)
    started = time.localtime()
    s.check_equal(run_setup(s, f'/AUTO="{dest}" /SILENT'), 0, "exit code of the update")
    return started, time.localtime()


def check_new_archive(s, dest, times, expected_names, older=()):
    """The backup folder holds the `older` archives and one new one, named for 5.40 and the
    run's time, that `unzip -t` finds sound and that holds exactly `expected_names`."""
    archives = backup_archives(s, dest)
    new = [name for name in archives if name not in older]
    s.check_equal(len(new), 1, f"new archives in {BACKUP_FOLDER}: {archives}")
    match = ARCHIVE_NAME.fullmatch(new[0])
    s.check(match is not None and match["version"] == "5.40",
            f"name of the backup archive: {new[0]}")
    moments = {time.strftime("%Y.%m.%d %H-%M-%S", time.localtime(t))
               for t in range(int(time.mktime(times[0])), int(time.mktime(times[1])) + 1)}
    s.check(match["time"] in moments, f"time in the archive's name {new[0]} should lie "
            f"between {min(moments)} and {max(moments)}")
    entries = archive_entries(s, f"{dest}\\{BACKUP_FOLDER}\\{new[0]}")
    names = [e.filename.replace("/", "\\") for e in entries]
    diff = diff_paths(expected_names, names, ignore_case=False)
    s.check(not diff, f"entries of the backup archive: {diff.describe()}")
    # Every entry carries the moment of the backup (DOS time: two-second steps).
    named = time.mktime(time.strptime(match["time"], "%Y.%m.%d %H-%M-%S"))
    stamps = sorted({e.date_time for e in entries})
    s.check(len(stamps) == 1 and abs(time.mktime((*stamps[0], 0, 0, -1)) - named) <= 2,
            f"times of the archive's entries {stamps} should all be the backup's "
            f"{match['time']}")
    return new[0]


def check_product_tree(s, dest, kept, extra=()):
    """The program folder holds the 5.40 files with their record, the configuration, the kept
    files of old (with their old bytes) and `extra`, besides the backup folder."""
    listing = s.tree(dest)
    # An emptied folder must go too: an empty one counts as an entry of its own.
    found = [f for f in list(listing.files) + empty_folders(listing)
             if not f.startswith(BACKUP_FOLDER + "\\")]
    expected = component_targets(s, "EN") + RECORD_FILES + [CONFIG, *kept, *extra]
    diff = diff_paths(expected, found)
    s.check(not diff, f"files of {dest} after the update: {diff.describe()}")
    check_component_contents(s, "EN", dest)
    for path in kept:
        s.check_equal(s.read_bytes(f"{dest}\\{path}"), old_content(path), f"kept {path}")
    s.check_equal(uninstall_record_paths(read_record(s, dest)),
                  component_targets(s, "EN") + ["Uninstall.dat", "Uninstall.exe"],
                  "paths of the new uninstall record")


def check_config(s, dest, user_mode, user_sections=()):
    """"Nolu.ini" says 5401 with the old copy's integration choices (and the user's own
    sections, where they survive)."""
    config = read_ini(s, f"{dest}\\{CONFIG}")
    system = config.get("System", {})
    s.check_equal((list(system), system.get("UserMode"), system.get("Version")),
                  (["ID", "DefaultLang", "UserMode", "Version"], user_mode, "5401"),
                  f"[System] of {dest}\\{CONFIG}")
    s.check(system["ID"] != old_config(0, "")["System"]["ID"], "a new ID")
    s.check_equal(config.get("Integration"), INTEGRATION, "[Integration] kept")
    for section in user_sections:
        s.check_equal(config.get(section), old_config(0, "")[section], f"[{section}] kept")


def check_profile(s, profiles, old_folder, new_folder, after):
    """The profile's files after the update: renamed and kept ones in the new folder with the
    old bytes of the file they came from; the old folder gone when it was another."""
    new = f"{profiles}\\{new_folder}"
    diff = diff_paths(after.values(), s.tree(new).files)
    s.check(not diff, f"files of the profile {new}: {diff.describe()}")
    for old, renamed in after.items():
        s.check_equal(s.read_bytes(f"{new}\\{renamed}"), old_content(old),
                      f"{new}\\{renamed} holds the old {old}")
    if old_folder != new_folder:
        s.check(not s.exists(f"{profiles}\\{old_folder}"),
                f"the old profile {profiles}\\{old_folder} should be gone")


def profile_user(appdata):
    """The user's name as the setup takes it: the last part of the profile folder, which
    holds "AppData\\Roaming"."""
    return appdata.split("\\")[-3]


class InstalledCopy:
    """An older copy in the programs folder with the current user's profile."""

    def __init__(self, s, version):
        self.appdata = s.driver.special_folder("AppData").rstrip("\\")
        self.user = profile_user(self.appdata)
        self.profile_folder = "Nolu3" if version < 4000 else "Nolu"
        self.program_files, self.kept = program_plan(version)
        self.config_name = "Nolu3.ini" if version < 4000 else CONFIG
        self.profile_files, self.profile_after = profile_plan(version)
        plant_files(s, PRODUCT_DIR, self.program_files)
        write_ini(s, f"{PRODUCT_DIR}\\{self.config_name}", old_config(version, "1"))
        plant_files(s, f"{self.appdata}\\{self.profile_folder}", self.profile_files)

    def archive_names(self, extra_program_files=()):
        return (archive_names(f"Profiles\\{self.user}\\", self.profile_files) +
                archive_names("Program\\", [*self.program_files, self.config_name,
                                             *extra_program_files]))

    def check_profile(self, s):
        check_profile(s, self.appdata, self.profile_folder, "Nolu", self.profile_after)


@scenario("update_from_3900")
def update_from_3900(s):
    """An update of 3.90: the profile "Nolu3" moves to "Nolu" with the new file names, the
    configuration "Nolu3.ini" becomes "Nolu.ini" with the user's sections, the shell menu is
    unregistered, and the entries and links named "Nolu3" go."""
    copy = InstalledCopy(s, 3900)
    # 3.x registered itself as "Nolu3", with its shell menu and links of that name.
    for name in ("nolu_menu64.dll", "nolu_menu32.dll"):
        s.copy_in(s.sample.package_file(f"System\\{name}"), f"{PRODUCT_DIR}\\System\\{name}")
    old_entry = add_uninstall_entry(s, "Nolu3", PRODUCT_DIR)
    desktop = s.driver.special_folder("CommonDesktop").rstrip("\\")
    menu = s.driver.special_folder("CommonPrograms").rstrip("\\")
    links = [desktop + r"\Nolu3.lnk", menu + r"\Nolu3\Nolu3.lnk"]
    os.makedirs(s.path(menu + r"\Nolu3"))
    for link in links:
        s.driver.create_shortcut(link, PRODUCT_DIR + r"\Nolu.exe")

    times = run_update(s, PRODUCT_DIR)

    check_new_archive(s, PRODUCT_DIR, times, copy.archive_names(
        [r"System\nolu_menu64.dll", r"System\nolu_menu32.dll"]))
    # The 64-bit menu was unregistered in the setup's process before it was deleted; the
    # 32-bit one cannot be loaded there and was only deleted.
    check_product_tree(s, PRODUCT_DIR, copy.kept, extra=[r"System\nolu_menu64.log"])
    s.check_equal(s.read_text(PRODUCT_DIR + r"\System\nolu_menu64.log"),
                  "DllUnregisterServer\r\n", "calls of the old shell menu")
    check_config(s, PRODUCT_DIR, "1", user_sections=["Player"])
    copy.check_profile(s)
    s.check_equal(s.reg_query(old_entry, view=32), None, "the uninstall entry of 3.x")
    for link in links:
        s.check(not s.exists(link), f"{link} should be gone")
    s.check(not s.exists(menu + r"\Nolu3"), "the start-menu folder of 3.x should be gone")
    check_entry(s, {time.strftime("%Y%m%d", t) for t in times})


def later_update(s, version, older_archives=()):
    copy = InstalledCopy(s, version)
    plant_files(s, f"{PRODUCT_DIR}\\{BACKUP_FOLDER}", older_archives)
    times = run_update(s, PRODUCT_DIR)
    check_new_archive(s, PRODUCT_DIR, times, copy.archive_names(), older=older_archives)
    check_product_tree(s, PRODUCT_DIR, copy.kept)
    check_config(s, PRODUCT_DIR, "1")
    copy.check_profile(s)
    check_entry(s, {time.strftime("%Y%m%d", t) for t in times})


@scenario("update_from_5010")
def update_from_5010(s):
    """An update of 5.01 keeps its plug-ins but PlugG and the obsolete ones, empties
    "System\\Data\\" and "System\\Encoders\\", and in the profile deletes the album art cache
    and renames the custom album arts."""
    later_update(s, 5010)


@scenario("update_from_5401")
def update_from_5401(s):
    """An update of the same version migrates nothing, and of four backup archives keeps the
    three newest (the new one among them)."""
    older = ["z Before install 5.00 [2023.01.02 10-00-00].zip",
             "z Before install 5.01 [2023.06.30 10-00-00].zip",
             "z Before install 5.40 [2024.05.14 10-00-00].zip"]
    later_update(s, 5401, older)
    s.check_equal(backup_archives(s, PRODUCT_DIR)[:2], older[1:],
                  "the two newest older archives are kept, the oldest deleted")


@scenario("update_portable")
def update_portable(s):
    """An update of a portable 5.01 stays portable: the archive holds the whole folder under
    its own names, the profile in "Profile\\" stays in place and is migrated, and nothing is
    registered with the system."""
    planted, kept = program_plan(5010)
    plant_files(s, PORTABLE_DIR, planted)
    write_ini(s, f"{PORTABLE_DIR}\\{CONFIG}", old_config(5010, "0"))
    profile_files, after = profile_plan(5010)
    plant_files(s, PORTABLE_DIR + r"\Profile", profile_files)

    times = run_update(s, PORTABLE_DIR)

    check_new_archive(s, PORTABLE_DIR, times, archive_names(
        "", planted + [CONFIG] + [f"Profile\\{p}" for p in profile_files]))
    check_product_tree(s, PORTABLE_DIR, kept,
                       extra=[f"Profile\\{p}" for p in after.values()])
    check_config(s, PORTABLE_DIR, "0")
    check_profile(s, PORTABLE_DIR, "Profile", "Profile", after)
    check_no_entry(s)
    s.check(not s.exists(PORTABLE_DIR + r"\Elevator.log"), "nothing registered")


@scenario("update_profile_with_links")
def update_profile_with_links(s):
    """An update of 3.90 whose user linked a folder outside into the old profile (under Wine a
    symbolic link to a folder, which it reports as a reparse point): the backup archives
    nothing of it, the profile's copy to "Nolu" copies nothing of it, the deletion of the old
    profile deletes nothing of it, and the link itself, which the setup did not make, stays."""
    copy = InstalledCopy(s, 3900)
    outside = r"C:\Outside"
    outside_files = ["Nolu3.ini", "secret.txt", r"Playlists\Rock.m3u"]
    plant_files(s, outside, outside_files)
    before = {path: s.read_bytes(f"{outside}\\{path}") for path in outside_files}
    link = f"{copy.appdata}\\Nolu3\\Linked"
    os.symlink(s.path(outside), s.path(link), target_is_directory=True)

    times = run_update(s, PRODUCT_DIR)

    check_new_archive(s, PRODUCT_DIR, times, copy.archive_names())
    new = f"{copy.appdata}\\Nolu"
    diff = diff_paths(copy.profile_after.values(), s.tree(new).files)
    s.check(not diff, f"files of the profile {new}: {diff.describe()}")
    for path, data in before.items():
        target = f"{outside}\\{path}"
        s.check(s.exists(target) and s.read_bytes(target) == data,
                f"{target} was deleted or changed by the update")
    s.check(os.path.islink(s.path(link)), f"the link {link} should still be there")
