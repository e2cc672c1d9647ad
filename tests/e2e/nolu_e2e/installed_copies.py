"""Copies of the product as earlier versions left them, written straight into a prefix, and
what an update or a removal leaves behind: backup archives, configuration files, registry
entries of older versions.

A prepared copy is written file by file rather than installed by an older setup: no older
setup exists, and writing the files lets a scenario plant exactly what the update has to
keep, migrate or remove.
"""

import os
import re
import subprocess
import tempfile
import zipfile

from .errors import ScenarioFailure
from .product_checks import ENTRY_KEY
from .sample import decode_ini, parse_ini

BACKUP_FOLDER = "!Backup"
# "z Before install 5.40 [2024.03.05 14-07-09].zip"
ARCHIVE_NAME = re.compile(r"z Before install (?P<version>.+) "
                          r"\[(?P<time>\d{4}\.\d{2}\.\d{2} \d{2}-\d{2}-\d{2})\]\.zip")


def old_content(path):
    """The bytes a planted file holds: its own name, so a file that was replaced or swapped
    with another shows it."""
    return f"left by an earlier version: {path}\r\n".encode("utf-8")


def plant_files(s, folder, paths):
    """Writes each relative path below the Windows folder with `old_content`."""
    for path in paths:
        s.write_bytes(f"{folder}\\{path}", old_content(path))


def ini_bytes(sections):
    """{section: {key: value}} as the product writes INI files: UTF-16LE with its mark,
    CR LF, an empty line after each section."""
    lines = []
    for name, keys in sections.items():
        lines.append(f"[{name}]")
        lines.extend(f"{key}={value}" for key, value in keys.items())
        lines.append("")
    return b"\xff\xfe" + "\r\n".join(lines).encode("utf-16-le") + b"\r\n"


def write_ini(s, windows_path, sections):
    s.write_bytes(windows_path, ini_bytes(sections))


def read_ini(s, windows_path):
    return parse_ini(decode_ini(s.read_bytes(windows_path)))


def add_uninstall_entry(s, name, folder):
    """An uninstall entry of the product (32-bit view) as an earlier version wrote it."""
    key = ENTRY_KEY.rsplit("\\", 1)[0] + "\\" + name
    for value, data in (("DisplayName", name), ("InstallPath", folder + "\\"),
                        ("UninstallString", folder + "\\Uninstall.exe")):
        s.prefix.reg_add(key, value, "REG_SZ", data)
    return key


def backup_archives(s, folder):
    """The names of the files in the folder's "!Backup\\" (empty when there is none)."""
    backup = f"{folder}\\{BACKUP_FOLDER}"
    if not s.exists(backup):
        return []
    return sorted(os.listdir(s.path(backup)))


def archive_entries(s, windows_path):
    """The entries (zipfile.ZipInfo) of a zip archive in the prefix after `unzip -t` found
    it sound."""
    path = s.path(windows_path)
    tested = subprocess.run(["unzip", "-t", path], stdin=subprocess.DEVNULL,
                            capture_output=True, timeout=120, check=False)
    if tested.returncode != 0:
        raise ScenarioFailure(f"unzip -t {windows_path} failed (exit {tested.returncode}): "
                              f"{tested.stdout.decode('utf-8', 'replace')[-2000:]}")
    with zipfile.ZipFile(path) as archive:
        return archive.infolist()


def replace_record(s, folder, sections):
    """Replaces the folder's "Uninstall.dat" by one whose "Uninstall.ini" holds `sections`,
    packed as the setup packs it (level 4, the packages' key)."""
    with tempfile.TemporaryDirectory() as staging:
        with open(os.path.join(staging, "Uninstall.ini"), "wb") as f:
            f.write(ini_bytes(sections))
        s.sample.pack(s.path(f"{folder}\\Uninstall.dat"), staging, level=4)
