#!/usr/bin/env python3
"""probe.py WATCH_PATH COMMAND...

Runs COMMAND (a `wine Setup.exe ...` line, not wrapped in another program: its own process
is the one measured; ended after TIMEOUT_S seconds, default 600) and prints, as `name value` lines:
  first_file_s   seconds from the start until WATCH_PATH exists (the first thing the setup
                 program's actions write), or -1 when it never appears
  total_s        seconds until COMMAND ends
  peak_kib       the peak resident set (VmHWM) of the process: Wine runs the Windows program
                 in the very process `wine` started, so this is the program's peak working set
  exit           COMMAND's exit code

Polls every 2 ms; VmHWM only grows, so the last reading before the exit is the peak but for
the last 2 ms of the run."""

import os
import subprocess
import sys
import time


def read_hwm(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def main(watch, command):
    started = time.monotonic()
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    first_file = -1.0
    peak = 0
    deadline = started + float(os.environ.get("TIMEOUT_S", "600"))
    while process.poll() is None:
        if time.monotonic() > deadline:
            process.kill()
            process.wait()
            break
        hwm = read_hwm(process.pid)
        if hwm is not None:
            peak = max(peak, hwm)
        if first_file < 0 and os.path.lexists(watch):
            first_file = time.monotonic() - started
        time.sleep(0.002)
    total = time.monotonic() - started
    print(f"first_file_s {first_file:.3f}")
    print(f"total_s {total:.3f}")
    print(f"peak_kib {peak}")
    print(f"exit {process.returncode}")
    return 0


if __name__ == "__main__":
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2:]))
