#!/usr/bin/env python3
"""End-to-end tests under Wine (standard library only).

    e2e.py list                                   the scenario names
    e2e.py scenario NAME [--keep-prefix]          run one scenario (CTest runs e2e_NAME)
    e2e.py fresh-prefix DIR [--locale L] [--hold-seconds S]
                                                  make DIR a fresh copy of the template with
                                                  its wineserver, services and desktop running
                                                  (for S seconds at most, default 900)
    e2e.py timings                                the time each scenario of the last run took
    e2e.py driver SUBCOMMAND [OPTIONS...]         run nolu_driver.exe in $WINEPREFIX

Every command but `list` needs the environment of ./run (NOLU_WINE_TEMPLATE, DISPLAY);
--build-dir (default $NOLU_BUILD_DIR, else build/windows of this checkout) names the
Windows build whose programs are used.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from nolu_e2e import HarnessError, WinePrefix, load_scenarios, run_scenario  # noqa: E402
from nolu_e2e.scenario import summarize_timings  # noqa: E402
from nolu_e2e.prefix import DEFAULT_LOCALE, wine_command  # noqa: E402
from nolu_e2e.processes import run_captured  # noqa: E402

CHECKOUT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def default_build_dir():
    return os.environ.get("NOLU_BUILD_DIR") or os.path.join(CHECKOUT, "build", "windows")


def driver_exe(build_dir):
    exe = os.path.join(build_dir, "bin", "nolu_driver.exe")
    if not os.path.isfile(exe):
        raise HarnessError(f"{exe} is not built (cmake --build --preset windows)")
    return exe


def main(argv):
    parser = argparse.ArgumentParser(description="End-to-end tests under Wine.")
    parser.add_argument("--build-dir", default=default_build_dir())
    commands = parser.add_subparsers(dest="command", required=True)
    commands.add_parser("list")
    one = commands.add_parser("scenario")
    one.add_argument("name")
    one.add_argument("--keep-prefix", action="store_true")
    fresh = commands.add_parser("fresh-prefix")
    fresh.add_argument("dir")
    fresh.add_argument("--locale", default=DEFAULT_LOCALE)
    fresh.add_argument("--hold-seconds", type=int, default=900)
    commands.add_parser("timings")
    drive = commands.add_parser("driver")
    drive.add_argument("args", nargs=argparse.REMAINDER)
    args = parser.parse_args(argv)
    build_dir = os.path.abspath(args.build_dir)

    try:
        if args.command == "list":
            for name in sorted(load_scenarios()):
                print(name)
            return 0
        if args.command == "scenario":
            scenarios = load_scenarios()
            if args.name not in scenarios:
                print(f"no scenario {args.name!r}; there are: {', '.join(sorted(scenarios))}",
                      file=sys.stderr)
                return 2
            return 0 if run_scenario(scenarios[args.name], build_dir, args.keep_prefix) else 1
        if args.command == "fresh-prefix":
            prefix = WinePrefix.create(os.path.abspath(args.dir), locale=args.locale)
            prefix.start(driver_exe(build_dir), hold_seconds=args.hold_seconds)
            print(prefix.path)
            return 0
        if args.command == "timings":
            print(summarize_timings(os.path.join(build_dir, "e2e-artifacts")))
            return 0
        if args.command == "driver":
            prefix = WinePrefix.attach()
            captured = run_captured([wine_command(), driver_exe(build_dir), *args.args],
                                    prefix.env, timeout=3600)
            sys.stdout.write(captured.stdout)
            sys.stderr.write(captured.stderr)
            return captured.returncode
    except HarnessError as e:
        print(f"e2e: {e}", file=sys.stderr)
        return 2
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
