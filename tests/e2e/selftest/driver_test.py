import io
import unittest

from nolu_e2e.driver import Program, parse_result, selector_options
from nolu_e2e.errors import DriverError, DriverNotFound, ScenarioFailure
from nolu_e2e.processes import Captured


class SelectorOptionsTest(unittest.TestCase):
    def test_maps_keywords_to_driver_options(self):
        cases = [
            ({"cls": "TNoluMainForm"}, ["--class", "TNoluMainForm"]),
            ({"title": "Nolu Setup", "pid": 42}, ["--title", "Nolu Setup", "--pid", "42"]),
            ({"include_hidden": True, "gone": False}, ["--include-hidden"]),
            # 0 is a value (the first match, control id 0), not a missing option.
            ({"control_class": "Edit", "index": 0}, ["--control-class", "Edit", "--index", "0"]),
            ({"button": None, "text": "&Next >"}, ["--text", "&Next >"]),
        ]
        for selectors, options in cases:
            with self.subTest(selectors):
                self.assertEqual(selector_options(selectors), options)


class ParseResultTest(unittest.TestCase):
    def test_returns_the_json_result_of_a_successful_call(self):
        captured = Captured(0, 'noise from Wine\n{"text": "Gr\\u00fc\\u00dfe", "id": 3}\n', "")
        self.assertEqual(parse_result(["get-text"], captured), {"text": "Grüße", "id": 3})

    def test_turns_failures_into_errors_that_carry_the_drivers_sentence(self):
        cases = [
            (Captured(1, '{"error": "no window with class \\"X\\" appeared"}\n', ""),
             DriverNotFound, 'no window with class "X" appeared'),
            (Captured(3, '{"error": "CreateProcessW failed (system error 2)"}\n', ""),
             DriverError, "failed (exit 3): CreateProcessW failed"),
            (Captured(2, '{"error": "unknown option --titel"}\n', "usage: ..."),
             DriverError, "unknown option --titel"),
            # A crash prints no JSON: the raw output is the best sentence there is.
            (Captured(3221225477, "", "wine: Unhandled page fault"), DriverError,
             "Unhandled page fault"),
            # Exit 0 without a result object is not a success either.
            (Captured(0, "", ""), DriverError, "no output"),
        ]
        for captured, error, text in cases:
            with self.subTest(text):
                with self.assertRaises(error) as raised:
                    parse_result(["wait-window"], captured)
                self.assertIn(text, str(raised.exception))
                self.assertEqual(raised.exception.code, captured.returncode)


class ProgramResultTest(unittest.TestCase):
    def program(self):
        return Program("Setup.exe /SILENT", process=None, output=io.BytesIO(), lifetime=5)

    def test_reads_the_exit_code(self):
        self.assertEqual(self.program()._interpret(0, '{"pid": 9, "exit": 4}\n')["exit"], 4)

    def test_a_program_ended_for_running_too_long_fails_the_scenario(self):
        with self.assertRaisesRegex(ScenarioFailure, "still running after 5 s"):
            self.program()._interpret(1, '{"pid": 9, "timeout": true}\n')

    def test_a_program_that_could_not_start_fails_with_the_reason(self):
        with self.assertRaisesRegex(DriverError, "system error 2"):
            self.program()._interpret(3, '{"error": "CreateProcessW failed (system error 2)"}')


if __name__ == "__main__":
    unittest.main()


class SilentCrashRetryTest(unittest.TestCase):
    """A driver process lost without a word is asked again only where that is harmless."""

    def driver_answering(self, *answers):
        from nolu_e2e.driver import Driver
        driver = Driver.__new__(Driver)
        driver.calls = 0
        replies = list(answers)
        asked = []

        def run(command, timeout):
            asked.append(command[0])
            return replies.pop(0)
        driver._run = run
        return driver, asked

    def test_repeats_only_repeatable_subcommands_after_a_silent_failure(self):
        lost = Captured(3221225477, "", "")
        ok = Captured(0, '{"link": "x"}\n', "")
        cases = [
            ("create-shortcut", [lost, ok], {"link": "x"}, 2),
            ("click", [lost], DriverError, 1),  # pressing twice is not pressing once
            # A failure with a word is final, also for a repeatable subcommand.
            ("reg-query", [Captured(3, '{"error": "access denied"}\n', ""), ok], DriverError, 1),
            ("special-folder", [lost, lost], DriverError, 2),
        ]
        for command, answers, expected, calls in cases:
            with self.subTest(command):
                driver, asked = self.driver_answering(*answers)
                if isinstance(expected, dict):
                    self.assertEqual(driver.call(command), expected)
                else:
                    with self.assertRaises(expected):
                        driver.call(command)
                self.assertEqual(len(asked), calls)
