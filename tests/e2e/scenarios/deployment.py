"""What deployment tools and scripts rely on: the uninstaller's caller waits for the real
result of the removal, the uninstall entry carries the quiet command, the folder and the size,
and "/LOG" writes a log of everything a run did, whichever instance did it."""

import glob
import os
import re
import time

from nolu_e2e import scenario
from nolu_e2e.product_checks import (ENTRY_KEY, PRODUCT_DIR, SETUP, check_entry,
                                     check_installed, check_no_entry, install_setup, run_setup)

UNINSTALLER = PRODUCT_DIR + r"\Uninstall.exe"
LOGS = r"C:\Logs"


def installed(s):
    install_setup(s)
    day = time.strftime("%Y%m%d")
    s.check_equal(run_setup(s, f'/AUTO="{PRODUCT_DIR}" /SILENT'), 0, "exit code of the setup")
    check_entry(s, {day, time.strftime("%Y%m%d")})


def log_lines(s, windows_path):
    """The lines of a log as (process id, text), its byte order mark checked."""
    data = s.read_bytes(windows_path)
    s.check(data.startswith(b"\xef\xbb\xbf"), f"{windows_path} starts with the UTF-8 mark")
    lines = []
    for line in data[3:].decode("utf-8").split("\r\n"):
        if not line:
            continue
        found = re.fullmatch(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} \[(\d+)\] (.*)", line)
        s.check(found is not None, f"a line of {windows_path} without its stamp: {line!r}")
        lines.append((int(found.group(1)), found.group(2)))
    return lines


def leave_only_recorded_files(s):
    """Makes the product folder hold only what its record lists, and keeps the product's own
    programs from writing into it during the removal: the stand-in registration program and
    shell-menu library log their calls beside themselves, and the configuration is the
    user's, so with them the folder would rightly stay."""
    for name in ("Nolu.ini", "Elevator.log", "Elevator.exe", r"System\nolu_menu64.dll",
                 r"System\nolu_menu32.dll"):
        os.remove(s.path(PRODUCT_DIR + "\\" + name))


@scenario("deployment_uninstall_waits")
def uninstall_waits(s):
    """The entry's quiet command is what a deployment tool runs; its exit code 0 comes only once
    the product folder is gone, and the log of "/LOG=<file>" holds both instances' lines."""
    installed(s)  # with "QuietUninstallString", "InstallLocation" and "EstimatedSize"
    quiet = s.reg_value(ENTRY_KEY, "QuietUninstallString", view=32)

    leave_only_recorded_files(s)
    os.makedirs(s.path(LOGS))
    log = LOGS + r"\uninstall.log"
    temp = s.driver.special_folder("Temp")
    copy = s.driver.watch_process(temp + "Uninstall.exe")
    s.check_equal(s.run(f'{quiet} /LOG="{log}"', cwd="C:\\"), 0, "exit code of the uninstaller")
    # The caller's wait is over: so is the removal.
    s.check(not s.exists(PRODUCT_DIR), f"{PRODUCT_DIR} should be gone when the caller's wait "
            f"returns; it holds {s.tree(PRODUCT_DIR).files if s.exists(PRODUCT_DIR) else []}")
    check_no_entry(s)
    s.check_equal(copy.result()["exit"], 0, "exit code of the uninstaller's copy")

    lines = log_lines(s, log)
    texts = [text for _, text in lines]
    original, copy = lines[0][0], next(pid for pid, text in lines if text.startswith("Started: ")
                                       and "/CALLER=" in text)
    s.check(original != copy, "the original and its copy are two processes")
    s.check_equal([text for pid, text in lines if pid == original][-1], "Exit code 0",
                  "the original's last line")
    s.check_equal([text for pid, text in lines if pid == copy][-1], "Exit code 0",
                  "the copy's last line")
    for expected in ("Removal; flags: AUTO SILENT; destination: " + PRODUCT_DIR + "\\",
                     "Action TSetupActionUninstallFiles",
                     f"Delete {PRODUCT_DIR}\\Nolu.exe",
                     f"Remove folder {PRODUCT_DIR}",
                     "Result 0 handed over; waiting for the caller to end"):
        s.check(expected in texts, f"the log should hold {expected!r}: {texts}")
    s.check(any(t.startswith(f"Registry: delete key {ENTRY_KEY}") for t in texts),
            "the log names the deleted uninstall entry")


@scenario("deployment_removal_fails")
def removal_fails(s):
    """A removal that dies half-way (a broken shell extension of the product ends the
    uninstaller's copy, with exit code 0 and without a word) is a failure for the caller: an
    error box says so and the exit code is 1, and the product is still there."""
    installed(s)
    s.copy_in(s.bin("nolu_ending_menu64.dll"), PRODUCT_DIR + r"\System\nolu_menu64.dll")
    uninstaller = s.start(f'"{UNINSTALLER}" /AUTO /SILENT', cwd="C:\\")
    box = s.driver.messagebox(caption="Setup", press="OK", timeout=60)
    s.check_equal(box["text"], "The uninstaller ended without reporting its result (exit code 0).",
                  "the error box")
    s.check_equal(uninstaller.wait(), 1, "exit code of the uninstaller")
    s.check(s.exists(PRODUCT_DIR + r"\Nolu.exe"), "the product's files stay")
    s.check(s.exists(UNINSTALLER), "and so does its uninstaller, for the next attempt")


@scenario("deployment_log")
def log_forms(s):
    """"/LOG" alone writes a new log in the temporary folder, never an earlier one; a log
    that cannot be written leaves the installation exactly as it would be without one."""
    install_setup(s)
    temp = s.driver.special_folder("Temp")
    # An earlier log of this second's name, which must stay as it is.
    stamp = time.strftime("%Y-%m-%d %H-%M-%S")
    earlier = f"{temp}Setup {stamp}.log"
    s.write_bytes(earlier, b"an earlier run\r\n")
    s.check_equal(run_setup(s, f'/AUTO="{PRODUCT_DIR}" /SILENT /LOG'), 0, "exit code")
    s.check_equal(s.read_bytes(earlier), b"an earlier run\r\n", "the earlier log")
    logs = [p for p in glob.glob(os.path.join(s.path(temp), "Setup *.log"))
            if os.path.basename(p) != os.path.basename(s.path(earlier))]
    s.check_equal(len(logs), 1, f"new logs in the temporary folder ({logs})")
    texts = [text for _, text in log_lines(s, temp + os.path.basename(logs[0]))]
    s.check_equal(texts[-1], "Exit code 0", "the log's last line")
    for expected in ("Product: Nolu 5.40.5401",
                     f"Installation; flags: AUTO SILENT; destination: {PRODUCT_DIR}\\",
                     f"Write {PRODUCT_DIR}\\Nolu.exe",
                     f"Copy {SETUP} -> {PRODUCT_DIR}\\Uninstall.exe"):
        s.check(expected in texts, f"the log should hold {expected!r}: {texts}")
    s.check(any(re.fullmatch(r"Action TSetupActionExtract done in \d+ ms", t) for t in texts),
            "the extraction's time")
    s.check(any(t.startswith(f'Start "{PRODUCT_DIR}\\Elevator.exe" /REG=') for t in texts)
            and any(t.startswith("Ended with exit code 0: ") for t in texts),
            "the registration program with its exit code")
    s.check(any("\"QuietUninstallString\" = " in t for t in texts), "the entry's values")

    # A log file that cannot be made: the same installation, the same exit code.
    for i, log in enumerate((r"C:\NoSuchFolder\setup.log", r"C:\Windows")):
        folder = rf"C:\Apps\Nolu{i}"
        day = time.strftime("%Y%m%d")
        s.check_equal(run_setup(s, f'/AUTO="{folder}" /SILENT /LOG="{log}"'), 0,
                      f"exit code with the log {log}")
        check_installed(s, "EN", folder=folder)
        check_entry(s, {day, time.strftime("%Y%m%d")}, folder=folder)
    s.check(not s.exists(r"C:\NoSuchFolder"), "no folder is made for a log")
