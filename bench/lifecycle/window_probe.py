#!/usr/bin/env python3
"""window_probe.py TITLE COMMAND...

Runs COMMAND (a `wine Setup.exe` line; its own process is the program) and prints, as
`name value` lines:
  window_s   seconds from the start until a top-level window titled TITLE is viewable on the
             X display (Wine maps every top-level window to an X window of the same name), or
             -1 when none appears within TIMEOUT_S seconds (default 120)
  exit       how COMMAND ended: "ended N" when it ended by itself, else "stopped" (it is ended
             by the probe once the window is seen: the figure is the start-up alone)

Polls `xwininfo` about every 5 ms, so the figure is late by that much at most."""

import os
import re
import subprocess
import sys
import time


def viewable_window(title):
    tree = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True).stdout
    for match in re.finditer(r"^\s*(0x[0-9a-f]+) \"(.*?)\"", tree, re.MULTILINE):
        if match.group(2) != title:
            continue
        info = subprocess.run(["xwininfo", "-id", match.group(1)], capture_output=True,
                              text=True).stdout
        if "IsViewable" in info:
            return True
    return False


def main(title, command):
    started = time.monotonic()
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    deadline = started + float(os.environ.get("TIMEOUT_S", "120"))
    seen = -1.0
    while process.poll() is None and time.monotonic() < deadline:
        if viewable_window(title):
            seen = time.monotonic() - started
            break
        time.sleep(0.005)
    if process.poll() is None:
        process.kill()
        process.wait()
        ending = "stopped"
    else:
        ending = f"ended {process.returncode}"
    print(f"window_s {seen:.3f}")
    print(f"exit {ending}")
    return 0


if __name__ == "__main__":
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2:]))
