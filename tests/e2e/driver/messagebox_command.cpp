// messagebox: answers a message box as a user would: read it, press one of its buttons.
#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "arguments.h"
#include "base/format.h"
#include "base/locale.h"
#include "driver_commands.h"
#include "window_search.h"

namespace nolu::driver {
namespace {

// The window class of dialog boxes, message boxes among them.
constexpr char16_t kDialogClass[] = u"#32770";

}  // namespace

ExitCode AnswerMessageBox(const StringList& args, JsonWriter& result) {
  const Arguments a(args, OptionNames{{u"caption", u"timeout", u"press", u"pid", u"class"}, {}});
  WindowQuery query;
  // The system's message boxes by default; --class names a program's own message dialog.
  query.class_name = a.Find(u"class").value_or(kDialogClass);
  query.title = a.Find(u"caption");
  if (const std::optional<int64_t> pid = a.FindInt(u"pid")) query.pid = static_cast<DWORD>(*pid);
  const uint32_t timeout = a.GetMilliseconds(u"timeout", kDefaultWaitSeconds);
  const HWND box = WaitForTopLevelWindow(query, timeout);

  StringList texts;
  std::vector<std::pair<HWND, String>> buttons;  // with their captions as a user reads them
  for (HWND control : ChildControls(box)) {
    const String class_name = ClassNameOf(control);
    if (EqualsIgnoreCase(class_name, u"Static")) {
      // The icon is a static control too, without text.
      if (String text = TextOf(control); !text.empty()) texts.push_back(std::move(text));
    } else if (EqualsIgnoreCase(class_name, u"Button") && IsWindowVisible(control)) {
      buttons.emplace_back(control, StripAccelerators(TextOf(control)));
    }
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(box, &pid);
  StringList names;
  for (const auto& [button, name] : buttons)
    names.push_back(name);
  result.Field("hwnd", HandleText(box))
      .Field("pid", static_cast<int64_t>(pid))
      .Field("caption", CaptionOf(box))
      .Field("text", JoinStrings(texts, u"\n"))
      .Key("buttons")
      .BeginArray();
  for (const String& name : names)
    result.String(name);
  result.EndArray();

  const std::optional<String> press = a.Find(u"press");
  if (!press) return ExitCode::kOk;
  const auto chosen = std::find_if(buttons.begin(), buttons.end(), [&](const auto& button) {
    return EqualsIgnoreCase(button.second, StripAccelerators(*press));
  });
  if (chosen == buttons.end()) {
    throw NotFoundError(Format(u"the message box has no button \"%s\" (it has: %s)",
                               {*press, JoinStrings(names, u", ")}));
  }
  PressButton(chosen->first);
  if (!WaitUntil([&] { return !IsWindow(box); }, timeout)) {
    throw NotFoundError(Format(u"the message box stayed open %d ms after \"%s\" was pressed",
                               {static_cast<int64_t>(timeout), chosen->second}));
  }
  result.Field("pressed", chosen->second);
  return ExitCode::kOk;
}

}  // namespace nolu::driver
