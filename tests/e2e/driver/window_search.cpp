#include "window_search.h"

#include <cstdio>

#include "base/format.h"
#include "base/locale.h"
#include "driver_errors.h"
#include "win32_text.h"

namespace nolu::driver {
namespace {

constexpr uint32_t kPollStepMs = 25;

String Quoted(StringView text) {
  return u"\"" + String(text) + u"\"";
}

bool IsButtonClass(HWND window) {
  return EqualsIgnoreCase(ClassNameOf(window), u"Button");
}

// The kind of a control of class Button, from its style.
const char16_t* ButtonKind(HWND control) {
  switch (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
      return u"checkbox";
    case BS_3STATE:
    case BS_AUTO3STATE:
      return u"3state";
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return u"radio";
    case BS_GROUPBOX:
      return u"groupbox";
    case BS_DEFPUSHBUTTON:
      return u"default";
    default:
      return u"push";
  }
}

}  // namespace

const OptionNames kWindowQueryOptions{{u"class", u"title", u"hwnd", u"pid"}, {u"include-hidden"}};
const OptionNames kControlQueryOptions{{u"id", u"text", u"button", u"control-class", u"index"}, {}};

bool WaitUntil(const std::function<bool()>& done, uint32_t timeout_ms) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    if (done()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(kPollStepMs);
  }
}

bool WindowQuery::Matches(HWND window) const {
  if (hwnd && window != hwnd) return false;
  if (!include_hidden && !IsWindowVisible(window)) return false;
  if (pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != *pid) return false;
  }
  if (class_name && !EqualsIgnoreCase(ClassNameOf(window), *class_name)) return false;
  if (title && CaptionOf(window) != *title) return false;
  return true;
}

String WindowQuery::Describe() const {
  StringList parts;
  if (class_name) parts.push_back(u"class " + Quoted(*class_name));
  if (title) parts.push_back(u"title " + Quoted(*title));
  if (hwnd) parts.push_back(u"handle " + HandleText(hwnd));
  if (pid) parts.push_back(u"process " + IntToStr(*pid));
  if (!include_hidden) parts.push_back(u"visible");
  return JoinStrings(parts, u" ");
}

WindowQuery ReadWindowQuery(const Arguments& args) {
  WindowQuery query;
  query.class_name = args.Find(u"class");
  query.title = args.Find(u"title");
  if (const std::optional<int64_t> hwnd = args.FindInt(u"hwnd")) {
    query.hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(*hwnd));
  }
  if (const std::optional<int64_t> pid = args.FindInt(u"pid")) {
    query.pid = static_cast<DWORD>(*pid);
  }
  query.include_hidden = args.Has(u"include-hidden");
  if (!query.class_name && !query.title && !query.hwnd && !query.pid) {
    throw UsageError(u"name the window: --class, --title, --hwnd or --pid");
  }
  return query;
}

std::vector<HWND> FindTopLevelWindows(const WindowQuery& query) {
  struct Search {
    const WindowQuery* query;
    std::vector<HWND> found;
  } search{&query, {}};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (s->query->Matches(window)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForTopLevelWindow(const WindowQuery& query, uint32_t timeout_ms) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        const std::vector<HWND> windows = FindTopLevelWindows(query);
        if (!windows.empty()) found = windows.front();
        return found != nullptr;
      },
      timeout_ms);
  if (!found) {
    throw NotFoundError(Format(u"no window with %s appeared within %d ms",
                               {query.Describe(), static_cast<int64_t>(timeout_ms)}));
  }
  return found;
}

bool ControlQuery::Matches(HWND control) const {
  if (id && GetDlgCtrlID(control) != *id) return false;
  if (class_name && !EqualsIgnoreCase(ClassNameOf(control), *class_name)) return false;
  if (text) {
    const String caption = TextOf(control);
    if (caption != *text && StripAccelerators(caption) != *text) return false;
  }
  return true;
}

String ControlQuery::Describe() const {
  StringList parts;
  if (class_name) parts.push_back(u"class " + Quoted(*class_name));
  if (id) parts.push_back(u"id " + IntToStr(*id));
  if (text) parts.push_back(u"text " + Quoted(*text));
  if (index != 0) parts.push_back(u"index " + IntToStr(index));
  return JoinStrings(parts, u" ");
}

ControlQuery ReadControlQuery(const Arguments& args) {
  ControlQuery query;
  query.id = args.FindInt(u"id");
  query.text = args.Find(u"text");
  query.class_name = args.Find(u"control-class");
  if (const std::optional<String> button = args.Find(u"button")) {
    if (query.text || query.class_name) {
      throw UsageError(u"--button stands for --control-class Button --text: give one form");
    }
    query.text = button;
    query.class_name = u"Button";
  }
  query.index = args.GetInt(u"index", 0);
  if (query.index < 0) throw UsageError(u"--index counts from 0");
  return query;
}

std::vector<HWND> ChildControls(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

HWND TryFindControl(HWND window, const ControlQuery& query) {
  int64_t seen = 0;
  for (HWND control : ChildControls(window)) {
    if (query.Matches(control) && seen++ == query.index) return control;
  }
  return nullptr;
}

HWND WaitForControl(HWND window, const ControlQuery& query, uint32_t timeout_ms, bool usable) {
  HWND found = nullptr;
  const auto ready = [&] {
    found = TryFindControl(window, query);
    return found && (!usable || (IsWindowVisible(found) && IsWindowEnabled(found)));
  };
  if (WaitUntil(ready, timeout_ms)) return found;
  if (found) {
    throw NotFoundError(
        Format(u"the control with %s stayed %s for %d ms",
               {query.Describe(), IsWindowVisible(found) ? String(u"disabled") : String(u"hidden"),
                static_cast<int64_t>(timeout_ms)}));
  }
  StringList present;
  for (HWND control : ChildControls(window)) {
    present.push_back(ClassNameOf(control) + u" " + IntToStr(GetDlgCtrlID(control)) + u" " +
                      Quoted(TextOf(control)));
  }
  throw NotFoundError(
      Format(u"no control with %s in window %s within %d ms; its controls: %s",
             {query.Describe(), HandleText(window), static_cast<int64_t>(timeout_ms),
              present.empty() ? String(u"none") : JoinStrings(present, u", ")}));
}

String ClassNameOf(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, 256);
  return FromWide(name, length > 0 ? length : 0);
}

String CaptionOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring buffer(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
  const int copied = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
  return FromWide(buffer.data(), copied > 0 ? copied : 0);
}

String TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs,
                           &length)) {
    return {};
  }
  // Some controls report a length larger than the text (DBCS rules): read, then trim.
  std::wstring buffer(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(),
                           reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                           kReplyTimeoutMs, &copied)) {
    return {};
  }
  buffer.resize(copied < buffer.size() ? copied : buffer.size() - 1);
  return FromWide(buffer.data(), buffer.size());
}

String StripAccelerators(StringView text) {
  String out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') {
      if (i + 1 < text.size() && text[i + 1] == u'&') {
        out.push_back(u'&');
        ++i;
      }
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

bool PressButton(HWND button) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, kReplyTimeoutMs, &ignored) != 0;
}

std::optional<LRESULT> CheckStateOf(HWND control) {
  if (!IsButtonClass(control)) return std::nullopt;
  const String kind = ButtonKind(control);
  if (kind != u"checkbox" && kind != u"3state" && kind != u"radio") return std::nullopt;
  DWORD_PTR state = 0;
  if (!SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &state)) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(state);
}

String HandleText(HWND window) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)));
  return AsciiToString(text);
}

void WriteWindowMembers(JsonWriter& json, HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  RECT rect{};
  GetWindowRect(window, &rect);
  json.Field("hwnd", HandleText(window))
      .Field("class", ClassNameOf(window))
      // A top-level window keeps its menu where a child keeps its id.
      .Field("id", (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) ? GetDlgCtrlID(window) : 0)
      .Field("text", TextOf(window))
      .FlagField("enabled", IsWindowEnabled(window) != FALSE)
      .FlagField("visible", IsWindowVisible(window) != FALSE)
      .Field("pid", static_cast<int64_t>(pid));
  if (IsButtonClass(window)) json.Field("kind", ButtonKind(window));
  json.Key("checked");
  if (const std::optional<LRESULT> state = CheckStateOf(window)) {
    json.Bool(*state == BST_CHECKED);
    if (*state == BST_INDETERMINATE) json.FlagField("indeterminate", true);
  } else {
    json.Null();
  }
  json.Key("rect")
      .BeginObject()
      .Field("left", static_cast<int64_t>(rect.left))
      .Field("top", static_cast<int64_t>(rect.top))
      .Field("width", static_cast<int64_t>(rect.right - rect.left))
      .Field("height", static_cast<int64_t>(rect.bottom - rect.top))
      .EndObject();
}

}  // namespace nolu::driver
