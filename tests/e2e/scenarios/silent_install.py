"""Setup.exe installs the sample product silently: the tree the script names for the run's
language family, the uninstall record and the system's uninstall entry; the uninstaller moves
itself to the temporary folder before it removes anything."""

import re
import time

from nolu_e2e import scenario
from nolu_e2e.product_checks import (PRODUCT_DIR, SETUP, check_entry, check_installed,
                                     command_line_parameters, install_setup,
                                     pending_deletions, read_record, run_setup)


def installed_family(s, family):
    install_setup(s)
    day_before = time.strftime("%Y%m%d")
    s.check_equal(run_setup(s, f'/AUTO="{PRODUCT_DIR}" /SILENT'), 0, "exit code")
    days = {day_before, time.strftime("%Y%m%d")}
    check_installed(s, family)
    check_entry(s, days)


@scenario("silent_install_english")
def silent_install_english(s):
    """An English user interface installs the files of no language family and those of "EN";
    the uninstaller started in the product folder hands the run to its copy in the temporary
    folder, which is told the folder with "PATH"."""
    installed_family(s, "EN")

    temp = s.driver.special_folder("Temp")
    product_dat = s.read_bytes(PRODUCT_DIR + r"\Uninstall.dat")
    watch = s.driver.watch_process(temp + "Uninstall.exe")
    uninstaller = f'"{PRODUCT_DIR}\\Uninstall.exe" /AUTO /SILENT'
    s.check_equal(s.run(uninstaller, cwd=PRODUCT_DIR), 0, "exit code of the uninstaller")
    copy = watch.result()
    # "CALLER" names the window where the original waits for the copy's result.
    s.check(re.fullmatch(rf'/PATH="{re.escape(PRODUCT_DIR)}\\" /CALLER=\d+ /AUTO /SILENT',
                         command_line_parameters(copy["cmdline"])) is not None,
            f"parameters of the uninstaller's copy in the temporary folder: {copy['cmdline']}")
    s.check_equal(copy["exit"], 0, "exit code of the uninstaller's copy")
    s.check(s.read_bytes(temp + "Uninstall.exe") == s.read_bytes(SETUP),
            "the copy in the temporary folder is the setup program")
    s.check(s.read_bytes(temp + "Uninstall.dat") == product_dat,
            "the data file in the temporary folder is the product's record")
    # Both copies go at the next restart: nothing else would ever remove them.
    pending = [p.lower() for p in pending_deletions(s)]
    for name in ("Uninstall.exe", "Uninstall.dat"):
        s.check(f"{temp}{name}".lower() in pending,
                f"{temp}{name} should be deleted at the next restart: {pending}")


@scenario("silent_install_german", locale="de_DE.UTF-8")
def silent_install_german(s):
    """A German user interface installs the files of no language family and those of "DE"."""
    installed_family(s, "DE")
    s.check_equal(read_record(s)["Uninstall"]["Count"],
                  str(len(s.sample.components("DE")) + 2), "count of the record")

