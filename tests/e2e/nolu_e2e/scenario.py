"""Scenarios: named end-to-end tests, each run in a fresh prefix with its own wineserver.

    from nolu_e2e import scenario

    @scenario("silent_install")
    def silent_install(s):
        s.copy_in(s.bin("Setup.exe"), r"C:\\downloads\\Setup.exe")
        s.check_equal(s.run(r'"C:\\downloads\\Setup.exe" /AUTO /SILENT'), 0, "exit code")

The runner copies the template, starts the prefix, runs the body, and ends the prefix. On a
failure it saves what a reader needs under build/windows/e2e-artifacts/<scenario>/ (the
message and traceback, a picture of the desktop, the open windows) and keeps the prefix.
"""

import json
import os
import shutil
import sys
import time
import traceback
import types

from .driver import Driver
from .errors import HarnessError, ScenarioFailure
from .paths import split_windows_path
from .prefix import DEFAULT_LOCALE, READY_MARKER, WinePrefix, template_dir
from .sample import SampleProduct
from .trees import diff_paths, list_tree

_SCENARIOS = {}
CHECKOUT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.dirname(
    os.path.abspath(__file__)))))


class ScenarioEntry:
    def __init__(self, name, body, locale):
        self.name = name
        self.body = body
        self.locale = locale
        self.doc = (body.__doc__ or "").strip()


def scenario(name, locale=DEFAULT_LOCALE):
    """Registers the decorated function as the scenario `name` (a CTest test "e2e_<name>").
    `locale` is the Unix locale Wine runs under: it decides the user interface language the
    programs see ("de_DE.UTF-8" for German)."""
    def register(body):
        if name in _SCENARIOS:
            raise HarnessError(f"two scenarios are named {name!r}")
        _SCENARIOS[name] = ScenarioEntry(name, body, locale)
        return body
    return register


def load_scenarios(folder=None):
    """Imports every module of the scenarios folder; returns the registered scenarios."""
    folder = folder or os.path.join(os.path.dirname(os.path.dirname(__file__)), "scenarios")
    for entry in sorted(os.listdir(folder)):
        if not entry.endswith(".py") or entry.startswith("_"):
            continue
        module_name = "nolu_e2e_scenarios." + entry[:-3]
        if module_name in sys.modules:
            continue
        path = os.path.join(folder, entry)
        module = types.ModuleType(module_name)
        module.__file__ = path
        sys.modules[module_name] = module
        with open(path, encoding="utf-8") as source:
            exec(compile(source.read(), path, "exec"), module.__dict__)
    return dict(_SCENARIOS)


class Scenario:
    """What a scenario body works with: the prefix, the driver, files, registry, artifacts."""

    def __init__(self, name, build_dir, prefix, artifacts):
        self.name = name
        self.build_dir = build_dir
        self.prefix = prefix
        self.artifacts = artifacts
        self.driver = Driver(prefix, self.bin("nolu_driver.exe"))
        self._sample = None

    # ------------------------------------------------------------------ build outputs

    def bin(self, name):
        """The Unix path of a program of the Windows build (build/windows/bin/NAME)."""
        path = os.path.join(self.build_dir, "bin", name)
        if not os.path.isfile(path):
            raise HarnessError(f"{path} is not built")
        return path

    @property
    def sample(self):
        """The sample product as its script and the build describe it (sample.SampleProduct)."""
        if self._sample is None:
            self._sample = SampleProduct(CHECKOUT, self.build_dir)
        return self._sample

    # ------------------------------------------------------------------ files

    def path(self, windows_path):
        """The Unix path of a Windows path in the prefix (names matched ignoring case)."""
        return self.prefix.unix_path(windows_path)

    def exists(self, windows_path):
        return os.path.lexists(self.path(windows_path))

    def read_bytes(self, windows_path):
        path = self.path(windows_path)
        if not os.path.isfile(path):
            raise ScenarioFailure(f"{windows_path} does not exist (looked at {path})")
        with open(path, "rb") as f:
            return f.read()

    def read_text(self, windows_path, encoding="utf-8"):
        return self.read_bytes(windows_path).decode(encoding)

    def copy_in(self, source, windows_path):
        """Copies the Unix file `source` to `windows_path`, making its folders."""
        target = self._creatable_path(windows_path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(source, target)
        return target

    def write_bytes(self, windows_path, data):
        target = self._creatable_path(windows_path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "wb") as f:
            f.write(data)
        return target

    def _creatable_path(self, windows_path):
        split_windows_path(windows_path)  # rejects what is not an absolute Windows path
        return self.path(windows_path)

    def tree(self, windows_folder):
        """The files and folders below a folder of the prefix (see trees.TreeListing)."""
        root = self.path(windows_folder)
        if not os.path.isdir(root):
            raise ScenarioFailure(f"the folder {windows_folder} does not exist")
        return list_tree(root)

    def check_tree(self, windows_folder, expected_files, what=None):
        """Fails unless the files below the folder are exactly `expected_files` (relative
        Windows paths, compared ignoring case)."""
        diff = diff_paths(expected_files, self.tree(windows_folder).files)
        if diff:
            raise ScenarioFailure(f"{what or windows_folder}: {diff.describe()}")

    # ------------------------------------------------------------------ programs

    def run(self, cmdline, cwd=None, timeout=120):
        """Runs a program with exactly `cmdline` (Windows text) and returns its exit code."""
        return self.driver.run(cmdline, cwd=cwd, timeout=timeout)

    def start(self, cmdline, cwd=None, timeout=600):
        """Starts a program with exactly `cmdline`; `.wait()` on the result gives the code."""
        return self.driver.start(cmdline, cwd=cwd, timeout=timeout)

    # ------------------------------------------------------------------ registry

    def reg_query(self, key, view=64):
        """{'values': {name: (type, data)}, 'subkeys': [...]} or None; `view` is 32 or 64."""
        return self.driver.reg_query(key, view=view)

    def reg_value(self, key, name, view=64):
        """The data of one value, or None when the key or the value is not there."""
        found = self.driver.reg_query(key, view=view, value=name)
        if found is None:
            return None
        for value_name, (_, data) in found["values"].items():
            if value_name.casefold() == name.casefold():
                return data
        return None

    # ------------------------------------------------------------------ artifacts and checks

    def artifact(self, name):
        """The Unix path of an artifact file of this scenario (its folder exists)."""
        os.makedirs(self.artifacts, exist_ok=True)
        return os.path.join(self.artifacts, name)

    def save_artifact(self, name, data):
        path = self.artifact(name)
        with open(path, "wb" if isinstance(data, bytes) else "w") as f:
            f.write(data)
        return path

    def screenshot(self, name, desktop=False, **window):
        """Saves a PNG of a window (or the desktop) as the artifact `name`.png."""
        path = self.artifact(name if name.endswith(".png") else name + ".png")
        self.driver.screenshot(path, desktop=desktop, **window)
        return path

    def check(self, condition, message):
        if not condition:
            raise ScenarioFailure(message)

    def check_equal(self, actual, expected, what):
        if actual != expected:
            raise ScenarioFailure(f"{what}: expected {expected!r}, got {actual!r}")


# ---------------------------------------------------------------------- running

def scenario_prefix_dir(name):
    return os.path.join(os.path.dirname(template_dir()), "e2e", name)


def _save_diagnostics(s):
    """What a reader of a failure needs; each part is best effort and never raises."""
    try:
        s.save_artifact("windows.json", json.dumps(
            s.driver.list_windows(include_hidden=True), indent=2, ensure_ascii=False))
    except Exception as e:  # noqa: BLE001 - diagnostics must not hide the failure
        s.save_artifact("windows.json", f"listing the windows failed: {e}\n")
    try:
        s.screenshot("desktop", desktop=True)
    except Exception as e:  # noqa: BLE001
        s.save_artifact("desktop.txt", f"the desktop screenshot failed: {e}\n")


def run_scenario(entry, build_dir, keep_prefix=False, out=sys.stdout):
    """Runs one scenario; prints its verdict and timings; returns True when it passed."""
    started = time.monotonic()
    artifacts = os.path.join(build_dir, "e2e-artifacts", entry.name)
    shutil.rmtree(artifacts, ignore_errors=True)
    os.makedirs(artifacts)
    prefix = None
    failure = None
    timings = {}
    try:
        if not os.environ.get("DISPLAY"):
            raise HarnessError("DISPLAY is not set: Wine needs an X display (./run test starts "
                               "one with Xvfb)")
        prefix = WinePrefix.create(scenario_prefix_dir(entry.name), locale=entry.locale)
        s = Scenario(entry.name, build_dir, prefix, artifacts)
        prefix.start(s.bin("nolu_driver.exe"))
        body_started = time.monotonic()
        try:
            entry.body(s)
        except Exception:
            failure = traceback.format_exc()
            _save_diagnostics(s)
        timings["body"] = time.monotonic() - body_started
        timings["driver_calls"] = s.driver.calls
    except HarnessError as e:
        failure = f"the scenario could not run: {e}\n"
    except Exception:
        failure = traceback.format_exc()
    finally:
        if prefix is not None:
            try:
                prefix.stop()
            except Exception:  # noqa: BLE001
                failure = (failure or "") + traceback.format_exc()
            damaged = prefix.template_damage()
            if damaged:
                # The next ./run test rebuilds a template it does not find finished.
                try:
                    os.remove(os.path.join(template_dir(), READY_MARKER))
                except OSError:
                    pass
                failure = (failure or "") + (
                    "the scenario wrote through hard links into the template prefix, which "
                    "will be rebuilt by the next ./run test: " + ", ".join(damaged[:10]) + "\n")
            timings.update(prefix.timings)
    timings["total"] = time.monotonic() - started

    with open(os.path.join(artifacts, "timings.json"), "w") as f:
        json.dump(timings, f, indent=2)
    figures = ", ".join(f"{k} {v:.2f} s" for k, v in timings.items()
                        if k not in ("total", "driver_calls"))
    calls = timings.get("driver_calls")
    if calls is not None:
        figures += f", {calls} driver calls"
    if failure is None:
        if prefix is not None and not keep_prefix:
            prefix.remove()
        print(f"e2e {entry.name}: passed in {timings['total']:.2f} s ({figures})", file=out)
        return True
    with open(os.path.join(artifacts, "failure.txt"), "w") as f:
        f.write(failure)
    print(failure.rstrip(), file=out)
    print(f"e2e {entry.name}: FAILED after {timings['total']:.2f} s ({figures})", file=out)
    print(f"  artifacts: {artifacts}", file=out)
    if prefix is not None:
        print(f"  prefix kept for inspection: {prefix.path}", file=out)
    return False


def summarize_timings(artifacts_root):
    """One line per scenario of the last run, and the mean cost of a scenario's prefix
    (copy, start, stop) apart from its body."""
    rows = []
    for name in sorted(os.listdir(artifacts_root)) if os.path.isdir(artifacts_root) else []:
        try:
            with open(os.path.join(artifacts_root, name, "timings.json")) as f:
                rows.append((name, json.load(f)))
        except (OSError, ValueError):
            continue
    if not rows:
        return "no scenario timings yet"
    lines = []
    overheads = []
    for name, t in rows:
        overhead = t.get("total", 0) - t.get("body", 0)
        overheads.append(overhead)
        lines.append(f"{name}: total {t.get('total', 0):.2f} s, body {t.get('body', 0):.2f} s, "
                     f"prefix copy {t.get('copy', 0):.2f} s, start {t.get('start', 0):.2f} s, "
                     f"stop {t.get('stop', 0):.2f} s")
    lines.append(f"{len(rows)} scenarios; overhead per scenario (everything but the body): "
                 f"mean {sum(overheads) / len(overheads):.2f} s, max {max(overheads):.2f} s")
    return "\n".join(lines)
