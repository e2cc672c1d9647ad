"""The failures a scenario can end with, each carrying a sentence a reader can act on."""


class ScenarioFailure(AssertionError):
    """What the scenario expected did not happen."""


class HarnessError(RuntimeError):
    """The harness cannot run the scenario at all (no template, no display, Wine missing)."""


class DriverError(ScenarioFailure):
    """nolu_driver.exe reported a failure; `code` is its exit code, `result` its JSON."""

    def __init__(self, message, code=None, result=None):
        super().__init__(message)
        self.code = code
        self.result = result or {}


class DriverNotFound(DriverError):
    """The window, control, box, key or value the driver looked for did not come (exit 1)."""
