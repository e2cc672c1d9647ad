"""Wine prefixes for scenarios: a fresh copy of the template, its own persistent wineserver,
and a desktop that is running before the first program under test starts.

The template is prepared once per build folder by ./run (Windows 10, virtual desktop, no
Mono/Gecko prompts) and exported as NOLU_WINE_TEMPLATE. Copying it costs most of its size in
the system DLLs below drive_c/windows, which nothing in a scenario writes, so those are hard
links into the template and everything else is copied. Should a scenario write through such
a link after all, the check after the scenario notices it, fails loudly and marks the
template for rebuilding.
"""

import os
import shutil
import subprocess
import time

from .errors import HarnessError
from .paths import unix_to_windows, windows_to_unix
from .processes import run_captured, start_detached

# Marker ./run writes into a finished template.
READY_MARKER = ".nolu-ready"
# File types below drive_c/windows that Wine only ever maps for reading.
SHARED_SUFFIXES = {".dll", ".exe", ".sys", ".drv", ".ocx", ".cpl", ".acm", ".ax", ".nls",
                   ".tlb", ".ds", ".msstyles", ".mui"}
# The hidden window of `nolu_driver hold-desktop`, present once the desktop is held.
HOLDER_CLASS = "NoluDriverDesktopHolder"

DEFAULT_LOCALE = "C.UTF-8"
# How long a wineserver outlives the last program of its prefix.
SERVER_LINGER_SECONDS = 5


def wine_command():
    return os.environ.get("NOLU_WINE", "wine")


def wineserver_command():
    return os.environ.get("NOLU_WINESERVER", "wineserver")


def template_dir():
    """The template prefix of this test run; HarnessError when the run did not prepare one."""
    template = os.environ.get("NOLU_WINE_TEMPLATE")
    if not template:
        raise HarnessError(
            "NOLU_WINE_TEMPLATE is not set: run the end-to-end tests through './run test', "
            "which prepares the Wine template prefix, the X display and the environment")
    if not os.path.isfile(os.path.join(template, READY_MARKER)):
        raise HarnessError(
            f"the Wine template prefix {template} is missing or unfinished: "
            "'./run test' prepares it")
    return template


def locale_installed(name):
    """Whether the C library has locale `name` ("de_DE.UTF-8"): Wine takes the character set
    of file names and arguments from it, and falls back to ASCII without it."""
    normal = name.lower().replace("utf-8", "utf8")
    try:
        listed = subprocess.run(["locale", "-a"], capture_output=True, text=True,
                                check=True).stdout.split()
    except (OSError, subprocess.CalledProcessError):
        return False
    return normal in (entry.lower() for entry in listed)


def wine_environment(base, prefix_dir, locale):
    env = dict(base)
    env["WINEPREFIX"] = prefix_dir
    # Wine reads the user's locale and user interface language from LC_ALL.
    env["LC_ALL"] = locale
    env["LANG"] = locale
    env.pop("LANGUAGE", None)
    env.setdefault("WINEDEBUG", "-all")
    env.setdefault("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d")
    return env


class WinePrefix:
    """A Wine prefix the harness drives: paths, environment, server and desktop."""

    def __init__(self, path, env, owned):
        self.path = path
        self.env = env
        # Whether this object made the prefix and its server (and so must end them).
        self.owned = owned
        self.shared_files = {}
        self.timings = {}
        self._holder = None

    # ------------------------------------------------------------------ making and ending

    @classmethod
    def create(cls, path, locale=DEFAULT_LOCALE, base_env=None):
        """A fresh copy of the template at `path` (whatever was there is removed)."""
        template = template_dir()
        if locale not in (DEFAULT_LOCALE, "C.utf8") and not locale_installed(locale):
            raise HarnessError(
                f"the locale {locale} is not installed, so Wine would mangle every non-ASCII "
                f"name: './run test' generates it (by hand: localedef -i "
                f"{locale.split('.')[0]} -f UTF-8 {locale})")
        env = wine_environment(os.environ if base_env is None else base_env, path, locale)
        prefix = cls(path, env, owned=True)
        started = time.monotonic()
        if os.path.lexists(path):
            # A run that was killed may have left this prefix's server and programs behind.
            subprocess.run([wineserver_command(), "-k"], env=env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60,
                           check=False)
            shutil.rmtree(path)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        prefix._copy_template(template)
        prefix.timings["copy"] = time.monotonic() - started
        return prefix

    @classmethod
    def attach(cls, path=None, base_env=None):
        """The prefix someone else prepared and runs (./run demo): nothing is copied, started
        or ended."""
        base = dict(os.environ if base_env is None else base_env)
        path = path or base.get("WINEPREFIX")
        if not path or not os.path.isdir(path):
            raise HarnessError("no Wine prefix to attach to: set WINEPREFIX or use ./run")
        return cls(path, wine_environment(base, path, base.get("LC_ALL") or DEFAULT_LOCALE),
                   owned=False)

    def _copy_template(self, template):
        windows = os.path.join(template, "drive_c", "windows") + os.sep

        def copy(source, target):
            if source.startswith(windows) and \
                    os.path.splitext(source)[1].lower() in SHARED_SUFFIXES:
                try:
                    os.link(source, target)
                    info = os.stat(source)
                    self.shared_files[source] = (info.st_mtime_ns, info.st_size)
                    return target
                except OSError:
                    pass  # another file system, or links not allowed: copy instead
            return shutil.copy2(source, target)

        shutil.copytree(template, self.path, symlinks=True, copy_function=copy)

    def start(self, driver_exe, hold_seconds=900):
        """Starts the prefix's wineserver, then its services and desktop from a holder process
        that owns no test's output (see `nolu_driver hold-desktop`).

        The holder keeps the server and the desktop alive between the programs of the
        scenario, so every program start is a fast one. It ends by itself after
        `hold_seconds`, and the server a few seconds after its last program: a run that is
        killed before `stop` leaves nothing running for long."""
        started = time.monotonic()
        subprocess.run([wineserver_command(), f"-p{SERVER_LINGER_SECONDS}"], env=self.env,
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60, start_new_session=True,
                       check=False)
        self._holder = start_detached(
            [wine_command(), driver_exe, "hold-desktop", "--seconds", str(hold_seconds)],
            self.env)
        waited = run_captured([wine_command(), driver_exe, "wait-window", "--class", HOLDER_CLASS,
                               "--include-hidden", "--timeout", "60"], self.env, timeout=120)
        if waited.returncode != 0:
            raise HarnessError(f"the Wine desktop of {self.path} did not start: "
                               f"{waited.stdout.strip()} {waited.stderr.strip()[-500:]}")
        self.timings["start"] = time.monotonic() - started

    def stop(self):
        """Ends every process of the prefix and its wineserver."""
        if not self.owned:
            return
        started = time.monotonic()
        subprocess.run([wineserver_command(), "-k"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60,
                       check=False)
        if self._holder is not None:
            try:
                self._holder.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self._holder.kill()
                self._holder.wait()
            self._holder = None
        self.timings["stop"] = time.monotonic() - started

    def template_damage(self):
        """Template files that changed since they were linked into this prefix (a program
        wrote through a link); empty when the template is intact."""
        damaged = []
        for source, (mtime, size) in self.shared_files.items():
            info = os.stat(source)
            if (info.st_mtime_ns, info.st_size) != (mtime, size):
                damaged.append(source)
        return damaged

    def remove(self):
        if self.owned and os.path.isdir(self.path):
            shutil.rmtree(self.path, ignore_errors=True)

    # ------------------------------------------------------------------ use

    def unix_path(self, windows_path):
        return windows_to_unix(self.path, windows_path)

    def windows_path(self, unix_path):
        return unix_to_windows(self.path, unix_path)

    def wine(self, args, timeout=120, cwd=None):
        """Runs `wine ARGS...` in this prefix (arguments rebuilt by Wine: for exact command
        lines use Driver.run)."""
        return run_captured([wine_command(), *args], self.env, timeout=timeout, cwd=cwd)

    def reg_add(self, key, name, kind, data, view=32):
        """Writes one registry value with Wine's own "reg" (`kind` "REG_SZ", "REG_DWORD",
        "REG_MULTI_SZ" with "\\0" between the strings); HarnessError when it fails."""
        args = ["reg", "add", key, "/v", name, "/t", kind, "/d", data, f"/reg:{view}", "/f"]
        added = self.wine(args)
        # On a loaded machine Wine now and then loses a process before it says anything;
        # writing the same value again is harmless, an answer with a word is final.
        if added.returncode != 0 and not (added.stdout + added.stderr).strip():
            added = self.wine(args)
        if added.returncode != 0:
            raise HarnessError(f"wine reg add {key} /v {name}: exit {added.returncode}: "
                               f"{(added.stdout + added.stderr).strip()}")
