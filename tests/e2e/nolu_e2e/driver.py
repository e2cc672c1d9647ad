"""The harness's side of nolu_driver.exe: one method per subcommand, results as dicts.

Window selectors are keyword arguments: cls (window class), title, hwnd, pid,
include_hidden. Control selectors: button (a Button's caption), text, id, control_class,
index. Captions match with or without their '&' marks.
"""

import json
import subprocess
import tempfile

from .errors import DriverError, DriverNotFound, ScenarioFailure
from .prefix import wine_command
from .processes import Captured, run_captured

# Exit codes of nolu_driver (tests/e2e/driver/driver_errors.h).
EXIT_OK = 0
EXIT_NOT_FOUND = 1
EXIT_USAGE = 2

# Subcommands that may run twice with the same effect as once.
REPEATABLE = {"create-shortcut", "shortcut-target", "reg-query", "special-folder",
              "system-info", "list-windows", "list-controls", "get-text"}

# Seconds the harness allows a driver call beyond the wait the call itself was given.
CALL_MARGIN = 60


def selector_options(selectors):
    """{'cls': 'X', 'include_hidden': True, 'index': 2} -> ['--class', 'X', '--include-hidden',
    '--index', '2']; None values are left out."""
    options = []
    for name, value in selectors.items():
        if value is None or value is False:
            continue
        option = "--class" if name == "cls" else "--" + name.replace("_", "-")
        options.append(option)
        if value is not True:
            options.append(str(value))
    return options


def parse_result(command, captured):
    """The JSON result of a driver call; DriverError (or DriverNotFound) when it failed."""
    lines = [line for line in captured.stdout.splitlines() if line.strip()]
    result = None
    if lines:
        try:
            result = json.loads(lines[-1])
        except ValueError:
            result = None
    what = "nolu_driver " + " ".join(command)
    if captured.returncode == EXIT_OK and isinstance(result, dict) and "error" not in result:
        return result
    message = (result or {}).get("error") if isinstance(result, dict) else None
    if not message:
        message = (captured.stdout + captured.stderr).strip()[-2000:] or "no output"
    if captured.returncode == EXIT_NOT_FOUND:
        raise DriverNotFound(f"{what}: {message}", captured.returncode, result)
    raise DriverError(f"{what} failed (exit {captured.returncode}): {message}",
                      captured.returncode, result)


class Program:
    """A program started with an exact command line; `wait` gives its exit code."""

    def __init__(self, cmdline, process, output, lifetime):
        self.cmdline = cmdline
        self._process = process
        self._output = output
        self._lifetime = lifetime
        self._result = None

    def running(self):
        return self._result is None and self._process.poll() is None

    def wait(self, timeout=None):
        """The program's exit code. The driver ends a program that outlives the lifetime it
        was started with; that is a failure of the scenario, and so is `timeout` passing."""
        if self._result is None:
            limit = timeout if timeout is not None else self._lifetime + CALL_MARGIN
            try:
                returncode = self._process.wait(timeout=limit)
            except subprocess.TimeoutExpired:
                raise ScenarioFailure(
                    f"{self.cmdline!r} was still running after {limit} s") from None
            self._output.seek(0)
            text = self._output.read().decode("utf-8", "replace")
            self._output.close()
            self._result = self._interpret(returncode, text)
        return self._result["exit"]

    def _interpret(self, returncode, text):
        lines = [line for line in text.splitlines() if line.strip()]
        try:
            result = json.loads(lines[-1]) if lines else {}
        except ValueError:
            result = {}
        if result.get("timeout"):
            raise ScenarioFailure(f"{self.cmdline!r} was still running after "
                                  f"{self._lifetime} s and was ended")
        if returncode != EXIT_OK or "exit" not in result:
            raise DriverError(f"starting {self.cmdline!r} failed (exit {returncode}): "
                              f"{result.get('error') or text.strip()[-2000:]}", returncode,
                              result)
        return result


class PendingCall:
    """A driver call that runs while the scenario goes on; `result` waits for its answer."""

    def __init__(self, command, process, output, timeout):
        self._command = command
        self._process = process
        self._output = output
        self._timeout = timeout

    def result(self):
        try:
            returncode = self._process.wait(timeout=self._timeout + CALL_MARGIN)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()
            raise DriverError(f"nolu_driver {' '.join(self._command)} did not answer within "
                              f"{self._timeout + CALL_MARGIN} s") from None
        self._output.seek(0)
        text = self._output.read().decode("utf-8", "replace")
        self._output.close()
        return parse_result(self._command, Captured(returncode, text, ""))


class Driver:
    def __init__(self, prefix, exe):
        self.prefix = prefix
        self.exe = exe
        self.calls = 0

    def call(self, *args, timeout=30):
        """Runs one subcommand; `timeout` is how long the harness waits for the driver."""
        command = [str(a) for a in args]
        captured = self._run(command, timeout)
        # Under a loaded machine Wine now and then loses a process before it prints anything
        # (seen once in many runs with the shell's link object). A subcommand that only reads,
        # or writes the same thing again, is asked once more; any answer at all is final.
        if (captured.returncode != EXIT_OK and not (captured.stdout + captured.stderr).strip()
                and command[0] in REPEATABLE):
            captured = self._run(command, timeout)
        return parse_result(command, captured)

    def _run(self, command, timeout):
        self.calls += 1
        try:
            return run_captured([wine_command(), self.exe, *command], self.prefix.env,
                                timeout=timeout + CALL_MARGIN)
        except subprocess.TimeoutExpired:
            raise DriverError(f"nolu_driver {' '.join(command)} did not answer within "
                              f"{timeout + CALL_MARGIN} s") from None

    def call_async(self, *args, timeout=30):
        """Starts one subcommand and returns at once (see PendingCall)."""
        command = [str(a) for a in args]
        self.calls += 1
        output = tempfile.TemporaryFile()
        process = subprocess.Popen([wine_command(), self.exe, *command], stdin=subprocess.DEVNULL,
                                   stdout=output, stderr=subprocess.STDOUT, env=self.prefix.env)
        return PendingCall(command, process, output, timeout)

    # ------------------------------------------------------------------ programs

    def run(self, cmdline, cwd=None, timeout=120):
        """Runs a program with exactly `cmdline` and returns its exit code."""
        return self.start(cmdline, cwd=cwd, timeout=timeout).wait()

    def start(self, cmdline, cwd=None, timeout=600):
        """Starts a program with exactly `cmdline` and returns at once; the program is ended
        (and the scenario fails) if it runs longer than `timeout` seconds."""
        command = [wine_command(), self.exe, "run", "--cmdline", cmdline, "--wait", str(timeout)]
        if cwd:
            command += ["--cwd", cwd]
        output = tempfile.TemporaryFile()
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=output,
                                   stderr=subprocess.STDOUT, env=self.prefix.env)
        self.calls += 1
        return Program(cmdline, process, output, timeout)

    def watch_process(self, image, timeout=120, below=None):
        """Starts watching for a program with this image (a full Windows path or a file name;
        with `below`, lying in that folder at any depth) that someone else starts: `.result()`
        gives its pid, image, cmdline and exit code once it has ended. Start the watch before
        the program that starts it, so that even a short-lived program is seen."""
        folder = ["--below", below] if below else []
        return self.call_async("wait-process", "--image", image, *folder, "--exit", "--timeout",
                               timeout, timeout=timeout)

    def wait_process_gone(self, image, timeout=60):
        """Waits until no program with this image runs."""
        return self.call("wait-process", "--image", image, "--gone", "--timeout", timeout,
                         timeout=timeout)

    # ------------------------------------------------------------------ windows

    def list_windows(self, include_hidden=False):
        return self.call("list-windows", *selector_options({"include_hidden": include_hidden}))[
            "windows"]

    def wait_window(self, timeout=10, gone=False, **window):
        return self.call("wait-window", *selector_options(window), "--timeout", timeout,
                         *(["--gone"] if gone else []), timeout=timeout)

    def list_controls(self, timeout=10, **window):
        """(the window, its controls) as dicts: hwnd, class, id, text, enabled, visible,
        checked (None for what cannot be checked), kind (buttons), rect, parent."""
        result = self.call("list-controls", *selector_options(window), "--timeout", timeout,
                           timeout=timeout)
        return result["window"], result["controls"]

    def click(self, timeout=10, no_wait=False, **selectors):
        return self.call("click", *selector_options(selectors), "--timeout", timeout,
                         *(["--no-wait"] if no_wait else []), timeout=timeout)

    def get_text(self, timeout=10, **selectors):
        return self.call("get-text", *selector_options(selectors), "--timeout", timeout,
                         timeout=timeout)["text"]

    def set_text(self, value, timeout=10, **selectors):
        return self.call("set-text", *selector_options(selectors), "--value", value,
                         "--timeout", timeout, timeout=timeout)

    def check(self, state=True, timeout=10, **selectors):
        return self.call("check", *selector_options(selectors), "--state",
                         "on" if state else "off", "--timeout", timeout, timeout=timeout)

    def close(self, timeout=None, **window):
        """Posts WM_CLOSE; with `timeout`, waits until the window is gone."""
        extra = ["--timeout", timeout] if timeout is not None else []
        return self.call("close", *selector_options(window), *extra,
                         timeout=timeout if timeout is not None else 10)

    def send_keys(self, keys, timeout=10, **window):
        """Types `keys` ("enter", "shift+tab", "alt+n", ...) into the window as a user does."""
        return self.call("send-keys", *selector_options(window), "--keys", ",".join(keys),
                         "--timeout", timeout, timeout=timeout + 5 * len(keys))

    def focus(self, timeout=10, **window):
        """The control that has the keyboard focus (as list_controls describes one)."""
        return self.call("focus", *selector_options(window), "--timeout", timeout,
                         timeout=timeout)

    def accessible(self, timeout=10, **selectors):
        """The control as a screen reader sees it: {name, role, role_text, state, checked,
        focused, unavailable}."""
        return self.call("accessible", *selector_options(selectors), "--timeout", timeout,
                         timeout=timeout)["accessible"]

    def messagebox(self, caption="Setup", press=None, timeout=10, pid=None, cls=None):
        """Waits for a message box (the system's, or a program's own dialog class `cls`),
        returns caption, text, buttons (and pressed)."""
        return self.call("messagebox", *selector_options(
            {"caption": caption, "press": press, "pid": pid, "class": cls}), "--timeout",
            timeout, timeout=timeout)

    def screenshot(self, out, desktop=False, timeout=10, **window):
        """Saves a PNG of the window (or the whole desktop) to the Unix path `out`."""
        target = ["--desktop"] if desktop else selector_options(window)
        return self.call("screenshot", *target, "--out", self.prefix.windows_path(out),
                         "--timeout", timeout, timeout=timeout)

    # ------------------------------------------------------------------ system

    def system_info(self):
        return self.call("system-info")

    def special_folder(self, name):
        return self.call("special-folder", "--name", name)["path"]

    def shortcut_target(self, link):
        return self.call("shortcut-target", link)

    def create_shortcut(self, link, target, arguments=None, workdir=None, description=None):
        return self.call("create-shortcut", link, *selector_options(
            {"target": target, "arguments": arguments, "workdir": workdir,
             "description": description}))

    def reg_query(self, key, view=64, value=None):
        """{'values': {name: (type, data)}, 'subkeys': [...]} of a key in the 32- or 64-bit
        registry view, or None when the key (or the asked value) is not there."""
        try:
            result = self.call("reg-query", "--key", key, "--view", view,
                               *(["--value", value] if value is not None else []))
        except DriverNotFound:
            return None
        return {"values": {v["name"]: (v["type"], v["data"]) for v in result["values"]},
                "subkeys": result["subkeys"]}
