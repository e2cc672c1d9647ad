// Fuzzes the parameter grammar with arbitrary parameter texts (the input, read as UTF-8) and
// checks what the rest of the program relies on, beyond not crashing:
//   * no text is lost or invented: every character that is not a blank, control, delimiter or
//     quote reappears, in order, in exactly one name or value;
//   * values are trimmed and never empty; names hold no delimiter; a command without a name
//     exists only to hold free text;
//   * GetSwitchValue and HasSwitch agree with the command list;
//   * CmdLineParams returns the parameters after any program path unchanged but trimmed;
//   * the parameter texts of the program's restarts read as the original plus the added switch.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "base/command_line.h"
#include "base/command_line_parser.h"
#include "base/format.h"
#include "base/locale.h"

namespace nolu {
namespace {

using Commands = TRuxCommandLineProcessor::TCommands;

void Check(bool condition, const char* what, StringView params) {
  if (condition) return;
  std::fprintf(stderr, "invariant broken: %s\nparams: %s\n", what, StringToUtf8(params).c_str());
  std::abort();
}

bool IsDelimiter(Char c) {
  return c == u'-' || c == u'/' || c == u'=' || c == u';' || c == u' ' || c == u'\r' || c == u'\n';
}

// The characters that carry content rather than structure.
String Content(StringView text) {
  String out;
  for (Char c : text) {
    if (c >= 0x21 && c != u'"' && !IsDelimiter(c)) out += c;
  }
  return out;
}

void CheckCommands(StringView params, const Commands& commands) {
  String content;
  for (const auto& command : commands) {
    Check(command.Name.find_first_of(u"-/=; \r\n") == String::npos, "delimiter in a name", params);
    Check(!command.Name.empty() || !command.Values.empty(), "empty command without a name", params);
    content += Content(command.Name);
    for (const String& value : command.Values) {
      Check(!value.empty(), "empty value", params);
      Check(value.front() >= 0x21 && value.back() >= 0x21, "value not trimmed", params);
      content += Content(value);
    }
  }
  Check(content == Content(params), "content lost, duplicated or reordered", params);
}

void CheckQueries(StringView params, const Commands& commands) {
  for (const auto& command : commands) {
    const TRuxCommandLineProcessor::TCommand* first = &command;
    for (const auto& other : commands) {
      if (EqualsIgnoreCase(other.Name, command.Name)) {
        first = &other;
        break;
      }
    }
    String value = u"stale";
    Check(GetSwitchValue(params, command.Name, value), "GetSwitchValue misses a command", params);
    Check(value == JoinStrings(first->Values, u";"), "GetSwitchValue gives another value", params);
    Check(HasSwitch(params, command.Name), "HasSwitch misses a command", params);
  }
  // "/" cannot be part of a name, so this switch never exists.
  String value = u"stale";
  Check(!GetSwitchValue(params, u"NO/SUCH", value) && value.empty(),
        "GetSwitchValue finds a switch that cannot exist", params);
}

void CheckProgramPathSplit(StringView params) {
  const String trimmed = TrimControls(params);
  for (const char16_t* path : {u"\"C:\\Program Files\\Nolu\\Setup.exe\"", u"C:\\Setup.exe"}) {
    Check(CmdLineParams(String(path) + u" " + String(params)) == trimmed,
          "CmdLineParams changes the parameters", params);
  }
  const String split = CmdLineParams(params);
  Check(split.empty() || (split.front() >= 0x21 && split.back() >= 0x21),
        "CmdLineParams not trimmed", params);
  Check(trimmed.size() >= split.size() &&
            StringView(trimmed).substr(trimmed.size() - split.size()) == split,
        "CmdLineParams is not the end of the command line", params);
}

void CheckRelaunch(StringView params, const Commands& commands) {
  // A hyphen after free text starts a switch only once some switch was read, and the restart
  // puts one in front: such texts may read differently after the restart, as designed.
  if (params.find(u" -") != StringView::npos) return;
  Commands expected = {{u"SKIPUAC", {u"42"}}};
  expected.insert(expected.end(), commands.begin(), commands.end());
  const String elevated = Format(u"/%s=%d %s", {u"SKIPUAC", 42, params});
  Check(TRuxCommandLineParser::Parse(elevated) == expected, "elevated restart reads otherwise",
        params);

  expected.front() = {u"PATH", {u"C:\\Program Files (x86)\\Nolu\\"}};
  const String moved =
      Format(u"/%s=\"%s\" %s", {u"PATH", u"C:\\Program Files (x86)\\Nolu\\", params});
  Check(TRuxCommandLineParser::Parse(moved) == expected, "moved uninstaller reads otherwise",
        params);
}

}  // namespace
}  // namespace nolu

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nolu;
  const String params =
      Utf8ToString(std::string_view(reinterpret_cast<const char*>(data), data ? size : 0));
  const Commands commands = TRuxCommandLineParser::Parse(params);
  CheckCommands(params, commands);
  CheckQueries(params, commands);
  CheckProgramPathSplit(params);
  CheckRelaunch(params, commands);
  return 0;
}
