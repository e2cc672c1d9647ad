// The driver's subcommands. Each reads its options from `args`, writes the members of its
// result object into `result`, and returns the exit code; failures are raised as the errors
// of driver_errors.h and arguments.h, which the entry turns into {"error": ...} and a code.
#pragma once

#include "driver_errors.h"
#include "json_writer.h"

namespace nolu::driver {

using Command = ExitCode (*)(const StringList& args, JsonWriter& result);

ExitCode RunProgram(const StringList& args, JsonWriter& result);
ExitCode WaitProcess(const StringList& args, JsonWriter& result);
ExitCode SystemInfo(const StringList& args, JsonWriter& result);

ExitCode HoldDesktop(const StringList& args, JsonWriter& result);
ExitCode ListWindows(const StringList& args, JsonWriter& result);
ExitCode WaitWindow(const StringList& args, JsonWriter& result);
ExitCode ListControls(const StringList& args, JsonWriter& result);
ExitCode ClickControl(const StringList& args, JsonWriter& result);
ExitCode GetText(const StringList& args, JsonWriter& result);
ExitCode SetText(const StringList& args, JsonWriter& result);
ExitCode CheckControl(const StringList& args, JsonWriter& result);
ExitCode CloseWindow(const StringList& args, JsonWriter& result);
ExitCode SendKeys(const StringList& args, JsonWriter& result);
ExitCode QueryFocus(const StringList& args, JsonWriter& result);
ExitCode QueryAccessible(const StringList& args, JsonWriter& result);

ExitCode AnswerMessageBox(const StringList& args, JsonWriter& result);
ExitCode TakeScreenshot(const StringList& args, JsonWriter& result);
ExitCode ReadShortcut(const StringList& args, JsonWriter& result);
ExitCode CreateShortcut(const StringList& args, JsonWriter& result);
ExitCode SpecialFolder(const StringList& args, JsonWriter& result);
ExitCode QueryRegistry(const StringList& args, JsonWriter& result);

}  // namespace nolu::driver
