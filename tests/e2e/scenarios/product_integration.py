"""What a real silent installation of Nolu leaves besides the product's files: the
configuration file, the switches that "Elevator.exe" was started with, and the shortcuts on
the common desktop and in the common start menu."""

import re

from nolu_e2e import scenario

SETUP = r"C:\downloads\Setup.exe"
GUID = re.compile(r"\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}")


def section(text, name):
    """The lines of one section of an INI text."""
    lines, inside = [], False
    for line in text.lstrip("\ufeff").splitlines():
        if line.startswith("["):
            inside = line == f"[{name}]"
        elif inside and line:
            lines.append(line)
    return lines


def check_system_section(s, folder, user_mode):
    config = s.read_bytes(folder + r"\Nolu.ini")
    text = config.decode("utf-16") if config[:2] == b"\xff\xfe" else config.decode("utf-8-sig")
    lines = section(text, "System")
    s.check_equal([line.split("=", 1)[0] for line in lines],
                  ["ID", "DefaultLang", "UserMode", "Version"], f"keys of [System] in {folder}")
    values = dict(line.split("=", 1) for line in lines)
    s.check(GUID.fullmatch(values.get("ID", "")) is not None,
            f"ID in registry form: {values.get('ID')}")
    s.check_equal(values.get("DefaultLang"), "English.lng", "DefaultLang")
    s.check_equal(values.get("UserMode"), user_mode, "UserMode")
    s.check_equal(values.get("Version"), "5401", "Version")


@scenario("product_integration_silent")
def silent_install(s):
    s.copy_in(s.bin("Setup.exe"), SETUP)
    dest = r"C:\Program Files (x86)\Nolu"
    s.check_equal(s.run(f'"{SETUP}" /AUTO="{dest}" /SILENT'), 0, "exit code of the installation")

    check_system_section(s, dest, "1")
    # An automatic run: associations without the system's confirmation dialog.
    s.check_equal(s.read_text(dest + r"\Elevator.log"),
                  " /REG=L1 /REG=D1 /REG=R1 /REG=M1 /REG=R2\r\n", "switches of Elevator.exe")

    desktop = s.driver.special_folder("CommonDesktop").rstrip("\\")
    menu = s.driver.special_folder("CommonPrograms").rstrip("\\") + r"\Nolu"
    links = {
        desktop + r"\Nolu.lnk": dest + r"\Nolu.exe",
        menu + r"\Nolu.lnk": dest + r"\Nolu.exe",
        menu + r"\Uninstall Nolu.lnk": dest + r"\Uninstall.exe",
    }
    for link, target in links.items():
        read = s.driver.shortcut_target(link)
        s.check_equal(read["target"].lower(), target.lower(), f"target of {link}")
        s.check_equal(read["arguments"], "", f"arguments of {link}")
    version = tuple(int(part) for part in s.driver.system_info()["version"].split("."))
    # Windows 8 and later list programs only: the text document gets no link there.
    s.check_equal(s.exists(menu + r"\What is new.lnk"), version < (6, 2),
                  "a link to the text document")

    # A portable copy elsewhere: its configuration says so, nothing is registered, and the
    # shortcuts stay those of the installed copy.
    portable = r"C:\NoluPortable"
    s.check_equal(s.run(f'"{SETUP}" /AUTO="{portable}" /PORTABLE /SILENT'), 0,
                  "exit code of the portable installation")
    check_system_section(s, portable, "0")
    s.check(not s.exists(portable + r"\Elevator.log"), "Elevator.exe not started when portable")
    s.check_equal(s.driver.shortcut_target(desktop + r"\Nolu.lnk")["target"].lower(),
                  (dest + r"\Nolu.exe").lower(), "the desktop link after the portable copy")
