#include "base/command_line.h"

#include "base/command_line_parser.h"
#include "base/locale.h"

namespace nolu {

String CmdLineParams(StringView command_line) {
  const String line = TrimControls(command_line);
  // The system ends an unquoted program path at a tab too, and knows no single quotes; the
  // split must agree with it, or the switches after the path would be lost or misread.
  TRuxParser tokens(line, u" \t\r\n", StringView(u" \r\n\t\0", 5), u"\"");
  TRuxParser::TToken path;
  if (!tokens.Next(path)) return String();
  // A quote that is never closed makes the rest of the line the program path.
  if (path.Kind == TRuxParser::tkQuote) return String();
  return TrimControls(StringView(line).substr(tokens.Position()));
}

bool GetSwitchValue(StringView params, StringView name, String& value) {
  for (const auto& command : TRuxCommandLineParser::Parse(params)) {
    if (EqualsIgnoreCase(command.Name, name)) {
      value = JoinStrings(command.Values, u";");
      return true;
    }
  }
  value.clear();
  return false;
}

bool HasSwitch(StringView params, StringView name) {
  String value;
  return GetSwitchValue(params, name, value);
}

}  // namespace nolu
