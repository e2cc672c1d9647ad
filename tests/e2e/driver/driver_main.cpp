// nolu_driver: drives the windows of other programs for the end-to-end tests under Wine.
//
//   nolu_driver SUBCOMMAND [OPTIONS]
//
// Prints one JSON line (the result, or {"error": "..."}) and exits with a code of
// driver_errors.h. Run without arguments for the list of subcommands.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>

#include "arguments.h"
#include "driver_commands.h"
#include "win32_text.h"

namespace nolu::driver {
namespace {

struct CommandEntry {
  const char16_t* name;
  Command run;
  const char* usage;
};

const CommandEntry kCommands[] = {
    {u"run", RunProgram,
     "run --cmdline TEXT [--cwd DIR] [--wait SECONDS]\n"
     "      start a program with exactly this command line; with --wait, wait for it and\n"
     "      print its exit code (a program still running then is ended: exit 1)"},
    {u"wait-process", WaitProcess,
     "wait-process --image NAME-OR-PATH [--below FOLDER] [--timeout S] [--exit | --gone]\n"
     "      wait until a program with that image (lying in FOLDER at any depth) runs and\n"
     "      print its command line; with\n"
     "      --exit, wait for its end too and print its exit code; with --gone, wait until\n"
     "      no such program runs"},
    {u"system-info", SystemInfo,
     "system-info\n"
     "      Windows version, user interface language, user locale and code pages"},
    {u"hold-desktop", HoldDesktop,
     "hold-desktop [--seconds S]\n"
     "      start the desktop and keep it until ended (or for S seconds); a hidden window\n"
     "      of class NoluDriverDesktopHolder shows the hold has begun"},
    {u"list-windows", ListWindows,
     "list-windows [--include-hidden]\n"
     "      the top-level windows of the desktop"},
    {u"wait-window", WaitWindow,
     "wait-window WINDOW [--timeout S] [--gone]\n"
     "      wait until the window is there (or, with --gone, until none is)"},
    {u"list-controls", ListControls,
     "list-controls WINDOW [--timeout S]\n"
     "      the window and every child: class, id, text, checked, enabled, visible, rect"},
    {u"click", ClickControl,
     "click WINDOW CONTROL [--timeout S] [--no-wait]\n"
     "      press a button (BM_CLICK), as the user would"},
    {u"get-text", GetText,
     "get-text WINDOW [CONTROL] [--timeout S]\n"
     "      the text of a control, or of the window"},
    {u"set-text", SetText,
     "set-text WINDOW [CONTROL] --value TEXT [--timeout S]\n"
     "      replace the text of a control (WM_SETTEXT)"},
    {u"check", CheckControl,
     "check WINDOW CONTROL [--state on|off] [--timeout S]\n"
     "      bring a check box or radio button to the state by clicking it when needed"},
    {u"close", CloseWindow,
     "close WINDOW [--timeout S]\n"
     "      post WM_CLOSE; with --timeout, wait until the window is gone"},
    {u"send-keys", SendKeys,
     "send-keys WINDOW --keys K1,K2,... [--timeout S]\n"
     "      bring the window to the front and type the keys, each handled before the next:\n"
     "      enter, tab, space, escape, a letter or digit, with shift+ or alt+ before it"},
    {u"focus", QueryFocus,
     "focus WINDOW [--timeout S]\n"
     "      the control that has the keyboard focus in the window's thread"},
    {u"accessible", QueryAccessible,
     "accessible WINDOW [CONTROL] [--timeout S]\n"
     "      the role, name and state the accessibility interface reports for the control"},
    {u"messagebox", AnswerMessageBox,
     "messagebox [--caption TEXT] [--class C] [--timeout S] [--press BUTTON]\n"
     "      wait for a message box (dialog class #32770, or C), print its text and buttons,\n"
     "      and press one of them"},
    {u"screenshot", TakeScreenshot,
     "screenshot (WINDOW | --desktop) --out FILE.png [--timeout S]\n"
     "      capture a window into a PNG file"},
    {u"shortcut-target", ReadShortcut,
     "shortcut-target FILE.lnk\n"
     "      target, arguments, working folder, description and icon of a shell link"},
    {u"create-shortcut", CreateShortcut,
     "create-shortcut FILE.lnk --target PATH [--arguments TEXT] [--workdir DIR]\n"
     "      [--description TEXT]\n"
     "      write a shell link, to prepare the state a scenario starts from"},
    {u"special-folder", SpecialFolder,
     "special-folder --name NAME\n"
     "      the path of a known folder: Desktop, CommonDesktop, Programs, CommonPrograms,\n"
     "      ProgramFiles, ProgramFilesX86, AppData, LocalAppData, CommonAppData, Temp"},
    {u"reg-query", QueryRegistry,
     "reg-query --key KEY [--view 32|64] [--value NAME]\n"
     "      the values and subkeys of a registry key in one registry view"},
};

void PrintUsage() {
  std::fputs(
      "usage: nolu_driver SUBCOMMAND [OPTIONS]\n\n"
      "WINDOW selects a top-level window: --class C, --title T, --hwnd H, --pid P\n"
      "  (all given must match; only visible windows unless --include-hidden).\n"
      "CONTROL selects a child: --id N, --text T, --button T (a Button with caption T),\n"
      "  --control-class C, and --index K for the K-th match (from 0).\n"
      "Captions match with or without their '&' marks. Waits poll up to --timeout seconds.\n"
      "Prints one JSON line; exit codes: 0 done, 1 not found or timed out, 2 usage,\n"
      "3 system failure.\n\nsubcommands:\n",
      stderr);
  for (const CommandEntry& c : kCommands)
    std::fprintf(stderr, "  %s\n", c.usage);
}

int Fail(ExitCode code, StringView message) {
  JsonWriter error;
  error.BeginObject().Field("error", message).EndObject();
  std::printf("%s\n", error.Text().c_str());
  return static_cast<int>(code);
}

int Run(const StringList& args) {
  if (args.empty() || args[0] == u"--help" || args[0] == u"help") {
    PrintUsage();
    return static_cast<int>(args.empty() ? ExitCode::kUsage : ExitCode::kOk);
  }
  for (const CommandEntry& c : kCommands) {
    if (args[0] != c.name) continue;
    try {
      JsonWriter result;
      result.BeginObject();
      const ExitCode code = c.run(StringList(args.begin() + 1, args.end()), result);
      result.EndObject();
      std::printf("%s\n", result.Text().c_str());
      return static_cast<int>(code);
    } catch (const UsageError& e) {
      std::fprintf(stderr, "usage: nolu_driver %s\n", c.usage);
      return Fail(ExitCode::kUsage, e.Message());
    } catch (const NotFoundError& e) {
      return Fail(ExitCode::kNotFound, e.Message());
    } catch (const Exception& e) {
      return Fail(ExitCode::kSystemFailure, e.Message());
    } catch (const std::exception& e) {
      return Fail(ExitCode::kSystemFailure, Utf8ToString(e.what()));
    }
  }
  PrintUsage();
  return Fail(ExitCode::kUsage, u"unknown subcommand \"" + args[0] + u"\"");
}

}  // namespace
}  // namespace nolu::driver

int wmain(int argc, wchar_t** argv) {
  // Lines end in "\n" alone, whatever reads them.
  _setmode(_fileno(stdout), _O_BINARY);
  nolu::StringList args;
  for (int i = 1; i < argc; ++i)
    args.push_back(nolu::driver::FromWide(argv[i]));
  const int code = nolu::driver::Run(args);
  std::fflush(stdout);
  return code;
}
