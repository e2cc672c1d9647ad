// The subcommands that find, read and operate the windows of other programs.
#include <windows.h>

#include "arguments.h"
#include "base/format.h"
#include "driver_commands.h"
#include "window_search.h"

namespace nolu::driver {
namespace {

const OptionNames kTimeout{{u"timeout"}, {}};
constexpr wchar_t kDesktopHolderClass[] = L"NoluDriverDesktopHolder";

uint32_t TimeoutOf(const Arguments& a) {
  return a.GetMilliseconds(u"timeout", kDefaultWaitSeconds);
}

void WriteControl(JsonWriter& json, HWND control) {
  json.BeginObject();
  WriteWindowMembers(json, control);
  json.Field("parent", HandleText(GetParent(control))).EndObject();
}

}  // namespace

ExitCode HoldDesktop(const StringList& args, JsonWriter& result) {
  const Arguments a(args, OptionNames{{u"seconds"}, {}});
  // Wine starts the desktop's own process for the first program that needs the desktop,
  // handing it that program's standard handles, and ends it a second after the desktop's
  // last program ended. So a test that opens a window would pass its output pipes to a
  // process that outlives it, and whoever reads those pipes (CTest, the harness) would wait
  // for it. A holder started apart from every test, with no output, starts that process
  // itself and keeps it alive until the holder is ended; its hidden window, which answers
  // messages (broadcasts must not stall on it), tells others that the hold has begun.
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = [](HWND window, UINT message, WPARAM wparam, LPARAM lparam) -> LRESULT {
    if (message == WM_DESTROY || message == WM_TIMER) PostQuitMessage(0);
    return DefWindowProcW(window, message, wparam, lparam);
  };
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kDesktopHolderClass;
  RegisterClassExW(&wc);
  const HWND holder = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                      nullptr, wc.hInstance, nullptr);
  if (!holder) throw SystemFailure(u"creating the holder window", GetLastError());
  if (a.Has(u"seconds")) SetTimer(holder, 1, a.GetMilliseconds(u"seconds", 0), nullptr);
  result.Field("desktop", HandleText(GetDesktopWindow())).Field("holder", HandleText(holder));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0)
    DispatchMessageW(&msg);
  return ExitCode::kOk;
}

ExitCode ListWindows(const StringList& args, JsonWriter& result) {
  const Arguments a(args, OptionNames{{}, {u"include-hidden"}});
  WindowQuery all;
  all.include_hidden = a.Has(u"include-hidden");
  result.Key("windows").BeginArray();
  for (HWND window : FindTopLevelWindows(all)) {
    result.BeginObject();
    WriteWindowMembers(result, window);
    result.EndObject();
  }
  result.EndArray();
  return ExitCode::kOk;
}

ExitCode WaitWindow(const StringList& args, JsonWriter& result) {
  const Arguments a(args, kWindowQueryOptions + kTimeout + OptionNames{{}, {u"gone"}});
  const WindowQuery query = ReadWindowQuery(a);
  const uint32_t timeout = TimeoutOf(a);
  if (a.Has(u"gone")) {
    if (!WaitUntil([&] { return FindTopLevelWindows(query).empty(); }, timeout)) {
      throw NotFoundError(Format(u"a window with %s was still there after %d ms",
                                 {query.Describe(), static_cast<int64_t>(timeout)}));
    }
    result.FlagField("gone", true);
    return ExitCode::kOk;
  }
  WriteWindowMembers(result, WaitForTopLevelWindow(query, timeout));
  return ExitCode::kOk;
}

ExitCode ListControls(const StringList& args, JsonWriter& result) {
  const Arguments a(args, kWindowQueryOptions + kTimeout);
  const HWND window = WaitForTopLevelWindow(ReadWindowQuery(a), TimeoutOf(a));
  result.Key("window").BeginObject();
  WriteWindowMembers(result, window);
  result.EndObject().Key("controls").BeginArray();
  for (HWND control : ChildControls(window))
    WriteControl(result, control);
  result.EndArray();
  return ExitCode::kOk;
}

ExitCode ClickControl(const StringList& args, JsonWriter& result) {
  const Arguments a(
      args, kWindowQueryOptions + kControlQueryOptions + kTimeout + OptionNames{{}, {u"no-wait"}});
  const ControlQuery query = ReadControlQuery(a);
  if (query.Empty())
    throw UsageError(u"name the control: --button, --id, --text or --control-class");
  const uint32_t timeout = TimeoutOf(a);
  const HWND window = WaitForTopLevelWindow(ReadWindowQuery(a), timeout);
  // A user can press only what is shown and enabled; neither can the driver.
  const HWND control = WaitForControl(window, query, timeout, /*usable=*/true);
  // Described before the click, which may close the window it belongs to.
  WriteWindowMembers(result, control);
  bool completed = false;
  if (a.Has(u"no-wait")) {
    PostMessageW(control, BM_CLICK, 0, 0);
  } else {
    completed = PressButton(control);
  }
  result.FlagField("completed", completed);
  return ExitCode::kOk;
}

ExitCode GetText(const StringList& args, JsonWriter& result) {
  const Arguments a(args, kWindowQueryOptions + kControlQueryOptions + kTimeout);
  const ControlQuery query = ReadControlQuery(a);
  const uint32_t timeout = TimeoutOf(a);
  const HWND window = WaitForTopLevelWindow(ReadWindowQuery(a), timeout);
  const HWND target = query.Empty() ? window : WaitForControl(window, query, timeout, false);
  WriteWindowMembers(result, target);
  return ExitCode::kOk;
}

ExitCode SetText(const StringList& args, JsonWriter& result) {
  const Arguments a(
      args, kWindowQueryOptions + kControlQueryOptions + kTimeout + OptionNames{{u"value"}, {}});
  const std::optional<String> value = a.Find(u"value");
  if (!value) throw UsageError(u"give the new text: --value TEXT");
  const ControlQuery query = ReadControlQuery(a);
  const uint32_t timeout = TimeoutOf(a);
  const HWND window = WaitForTopLevelWindow(ReadWindowQuery(a), timeout);
  const HWND target = query.Empty() ? window : WaitForControl(window, query, timeout, false);
  DWORD_PTR accepted = 0;
  if (!SendMessageTimeoutW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value->c_str()),
                           SMTO_ABORTIFHUNG, kReplyTimeoutMs, &accepted) ||
      !accepted) {
    throw SystemFailure(u"WM_SETTEXT", GetLastError());
  }
  WriteWindowMembers(result, target);
  return ExitCode::kOk;
}

ExitCode CheckControl(const StringList& args, JsonWriter& result) {
  const Arguments a(
      args, kWindowQueryOptions + kControlQueryOptions + kTimeout + OptionNames{{u"state"}, {}});
  const String state = a.Get(u"state", u"on");
  if (state != u"on" && state != u"off") throw UsageError(u"--state is on or off");
  const bool want = state == u"on";
  const ControlQuery query = ReadControlQuery(a);
  if (query.Empty())
    throw UsageError(u"name the control: --button, --id, --text or --control-class");
  const uint32_t timeout = TimeoutOf(a);
  const HWND window = WaitForTopLevelWindow(ReadWindowQuery(a), timeout);
  const HWND control = WaitForControl(window, query, timeout, /*usable=*/true);
  const std::optional<LRESULT> before = CheckStateOf(control);
  if (!before) {
    throw UsageError(u"the control with " + query.Describe() +
                     u" is not a check box or radio button");
  }
  // Clicked, not set with BM_SETCHECK: the program sees the user's notification and acts
  // on it (enables other controls, writes its options).
  if ((*before == BST_CHECKED) != want) PressButton(control);
  const std::optional<LRESULT> after = CheckStateOf(control);
  WriteWindowMembers(result, control);
  if (!after || (*after == BST_CHECKED) != want) {
    throw NotFoundError(u"the control with " + query.Describe() + u" did not turn " + state);
  }
  result.FlagField("changed", *before != *after);
  return ExitCode::kOk;
}

ExitCode CloseWindow(const StringList& args, JsonWriter& result) {
  const Arguments a(args, kWindowQueryOptions + kTimeout);
  const WindowQuery query = ReadWindowQuery(a);
  const HWND window = WaitForTopLevelWindow(query, TimeoutOf(a));
  WriteWindowMembers(result, window);
  // Posted, as the close box does: a program that asks "Cancel setup?" must not hold the
  // driver inside its handler.
  if (!PostMessageW(window, WM_CLOSE, 0, 0)) throw SystemFailure(u"PostMessageW", GetLastError());
  if (a.Has(u"timeout")) {
    const uint32_t timeout = TimeoutOf(a);
    if (!WaitUntil([&] { return !IsWindow(window); }, timeout)) {
      throw NotFoundError(Format(u"the window %s was still open %d ms after WM_CLOSE",
                                 {HandleText(window), static_cast<int64_t>(timeout)}));
    }
    result.FlagField("gone", true);
  }
  return ExitCode::kOk;
}

}  // namespace nolu::driver
