"""What the scenarios of Setup.exe share: where the program is put, how it is run, and what an
installed copy of the sample product looks like (files, record, uninstall entry).

Expectations come from the product's own script and packages (sample.SampleProduct), so a
change of the sample changes the scenarios with it.
"""

import os

from .errors import ScenarioFailure
from .sample import decode_ini, parse_ini, uninstall_record_paths

SETUP = r"C:\downloads\Setup.exe"
PRODUCT_DIR = r"C:\Program Files (x86)\Nolu"
ENTRY_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Nolu"
RECORD_FILES = ["Uninstall.exe", "Uninstall.dat"]
# What the actions after the extraction leave in the product folder of a first installation:
# the configuration, and the log of the stand-in registration program that the integration
# ran.
CONFIG = "Nolu.ini"
ELEVATOR_LOG = "Elevator.log"


def install_setup(s, path=SETUP):
    """Puts the built Setup.exe into the prefix."""
    s.copy_in(s.bin("Setup.exe"), path)


def run_setup(s, arguments, setup=SETUP, timeout=300):
    """Runs Setup.exe with the parameter text exactly as given; returns its exit code."""
    return s.run(f'"{setup}" {arguments}', timeout=timeout)


def product_path(name, folder=PRODUCT_DIR):
    return f"{folder}\\{name}"


def component_targets(s, family):
    return [c.target for c in s.sample.components(family)]


def check_component_contents(s, family, folder=PRODUCT_DIR):
    """Every component of the family holds its package entry's bytes."""
    for component in s.sample.components(family):
        with open(s.sample.package_file(component.entry), "rb") as f:
            expected = f.read()
        if s.read_bytes(product_path(component.target, folder)) != expected:
            raise ScenarioFailure(f"{component.target} does not hold the bytes of the package "
                                  f"entry {component.entry}")


def read_record(s, folder=PRODUCT_DIR):
    """The parsed "Uninstall.ini" of the product folder's "Uninstall.dat"."""
    data = s.sample.read_package_entry(s.path(product_path("Uninstall.dat", folder)),
                                       "Uninstall.ini")
    if not data.startswith(b"\xff\xfe"):
        raise ScenarioFailure("Uninstall.ini is not UTF-16LE with its byte-order mark")
    return parse_ini(decode_ini(data))


def check_installed(s, family, extra=(CONFIG, ELEVATOR_LOG), folder=PRODUCT_DIR):
    """The product folder holds exactly the family's components, the record's two files and
    `extra`; the components hold their packages' bytes; "Uninstall.exe" is the setup program;
    the record lists every installed file in installation order."""
    targets = component_targets(s, family)
    s.check_tree(folder, targets + RECORD_FILES + list(extra), "installed tree")
    check_component_contents(s, family, folder)
    s.check(s.read_bytes(product_path("Uninstall.exe", folder)) == s.read_bytes(SETUP),
            "Uninstall.exe is a copy of the setup program")
    record = read_record(s, folder)
    s.check_equal(uninstall_record_paths(record), targets + ["Uninstall.dat", "Uninstall.exe"],
                  "paths of the uninstall record")
    s.check_equal(list(record)[-1], "Uninstall", "last section of the record")


def expected_entry(folder=PRODUCT_DIR):
    """The values of the uninstall entry but "InstallDate" and "EstimatedSize", by name:
    (type, data)."""
    exe = product_path("Uninstall.exe", folder)
    return {
        "NoModify": ("REG_DWORD", 1),
        "NoRepair": ("REG_DWORD", 1),
        "DisplayIcon": ("REG_SZ", exe),
        "DisplayName": ("REG_SZ", "Nolu"),
        "DisplayVersion": ("REG_SZ", "5.40.5401"),
        "InstallPath": ("REG_SZ", folder + "\\"),
        "Publisher": ("REG_SZ", "Nolu Team"),
        # Quoted: a folder with a blank must not let the system start a program before it.
        "UninstallString": ("REG_SZ", f'"{exe}"'),
        "URLInfoAbout": ("REG_SZ", "https://nolu.example/"),
        "InstallLocation": ("REG_SZ", folder + "\\"),
        "QuietUninstallString": ("REG_SZ", f'"{exe}" /AUTO /SILENT'),
    }


def installed_kib(s, folder=PRODUCT_DIR):
    """What the files of the record take, in KiB (a part of one counts whole)."""
    paths = uninstall_record_paths(read_record(s, folder))
    size = sum(os.path.getsize(s.path(product_path(p, folder))) for p in paths
               if os.path.isfile(s.path(product_path(p, folder))))
    return (size + 1023) // 1024


def check_entry(s, install_days, folder=PRODUCT_DIR):
    """The uninstall entry holds exactly its values in the 32-bit view and nothing in the
    64-bit one; "InstallDate" is one of `install_days` ("yyyyMMdd": the run may pass
    midnight); "EstimatedSize" is what the recorded files take."""
    found = s.reg_query(ENTRY_KEY, view=32)
    if found is None:
        raise ScenarioFailure(f"no uninstall entry {ENTRY_KEY} in the 32-bit view")
    values = dict(found["values"])
    date = values.pop("InstallDate", None)
    size = values.pop("EstimatedSize", None)
    s.check_equal(values, expected_entry(folder), "values of the uninstall entry")
    s.check(date is not None and date[0] == "REG_SZ" and date[1] in install_days,
            f"InstallDate should be a REG_SZ of {sorted(install_days)}, not {date}")
    s.check_equal(size, ("REG_DWORD", installed_kib(s, folder)), "EstimatedSize")
    s.check_equal(found["subkeys"], [], "subkeys of the uninstall entry")
    s.check_equal(s.reg_query(ENTRY_KEY, view=64), None, "uninstall entry in the 64-bit view")


def check_no_entry(s):
    for view in (32, 64):
        s.check_equal(s.reg_query(ENTRY_KEY, view=view), None,
                      f"uninstall entry in the {view}-bit view")


def pending_deletions(s):
    """The files the system deletes at its next restart (the sources of
    "PendingFileRenameOperations" whose target is empty), as Windows paths."""
    pending = s.reg_value(r"HKLM\System\CurrentControlSet\Control\Session Manager",
                          "PendingFileRenameOperations") or []
    pairs = zip(pending[0::2], pending[1::2])
    return [source.removeprefix("\\??\\") for source, target in pairs if not target]


def command_line_parameters(cmdline):
    """The parameter text of a command line: what follows the program's name (quoted or not)
    and the blanks after it."""
    text = cmdline.lstrip()
    if text.startswith('"'):
        end = text.find('"', 1)
        rest = text[end + 1:] if end >= 0 else ""
    else:
        blank = text.find(" ")
        rest = text[blank:] if blank >= 0 else ""
    return rest.lstrip(" ")
