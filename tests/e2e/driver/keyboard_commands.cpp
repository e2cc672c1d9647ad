// The subcommands that use another program's windows as a keyboard user and a screen reader
// do: keys typed into the window, the control that has the focus, and what the accessibility
// interface reports for a control.
#include <windows.h>
// The accessibility headers build on <windows.h>.
#include <oleacc.h>

#include <algorithm>
#include <vector>

#include "arguments.h"
#include "base/format.h"
#include "driver_commands.h"
#include "win32_text.h"
#include "window_search.h"

namespace nolu::driver {
namespace {

const OptionNames kTimeout{{u"timeout"}, {}};
// IID_IAccessible, spelled out: the MinGW import library of oleacc and libuuid both define
// the symbol, and the link refuses the second definition.
constexpr GUID kIidAccessible{
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct Key {
  WORD virtual_key = 0;
  bool shift = false;
  bool alt = false;
};

// "enter", "tab", "shift+tab", "space", "escape", "alt+n": one key with its modifiers.
Key ParseKey(StringView key_text) {
  Key key;
  String rest(key_text);
  for (;;) {
    const size_t plus = rest.find(u'+');
    if (plus == String::npos) break;
    const String modifier = rest.substr(0, plus);
    if (modifier == u"shift") {
      key.shift = true;
    } else if (modifier == u"alt") {
      key.alt = true;
    } else {
      throw UsageError(u"unknown modifier \"" + modifier + u"\" (shift, alt)");
    }
    rest = rest.substr(plus + 1);
  }
  if (rest == u"enter") {
    key.virtual_key = VK_RETURN;
  } else if (rest == u"tab") {
    key.virtual_key = VK_TAB;
  } else if (rest == u"space") {
    key.virtual_key = VK_SPACE;
  } else if (rest == u"escape") {
    key.virtual_key = VK_ESCAPE;
  } else if (rest.size() == 1 &&
             ((rest[0] >= u'a' && rest[0] <= u'z') || (rest[0] >= u'0' && rest[0] <= u'9'))) {
    key.virtual_key = static_cast<WORD>(rest[0] >= u'a' ? rest[0] - u'a' + 'A' : rest[0]);
  } else {
    throw UsageError(u"unknown key \"" + String(key_text) +
                     u"\" (enter, tab, space, escape, a letter or digit)");
  }
  return key;
}

void AddKey(std::vector<INPUT>& inputs, WORD virtual_key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtual_key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  inputs.push_back(input);
}

// The control with the keyboard focus in the thread that owns `window`.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD thread = GetWindowThreadProcessId(window, nullptr);
  if (!GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus;
}

String BstrText(BSTR text) {
  String value = text ? FromWide(text) : String();
  SysFreeString(text);
  return value;
}

}  // namespace

ExitCode SendKeys(const StringList& args, JsonWriter& result) {
  const Arguments a(args, kWindowQueryOptions + kTimeout + OptionNames{{u"keys"}, {}});
  const std::optional<String> key_text = a.Find(u"keys");
  if (!key_text || key_text->empty())
    throw UsageError(u"give the keys: --keys enter,shift+tab,alt+n");
  std::vector<Key> keys;
  for (size_t start = 0; start <= key_text->size();) {
    const size_t comma = std::min(key_text->find(u',', start), key_text->size());
    keys.push_back(ParseKey(StringView(*key_text).substr(start, comma - start)));
    start = comma + 1;
  }
  const HWND window = WaitForTopLevelWindow(ReadWindowQuery(a), a.GetMilliseconds(u"timeout", 10));
  // Keys go to the foreground window, as the user's do.
  SetForegroundWindow(window);
  if (!WaitUntil([&] { return GetForegroundWindow() == window; }, 2000)) {
    throw NotFoundError(u"the window " + HandleText(window) + u" did not come to the front");
  }
  for (const Key& key : keys) {
    std::vector<INPUT> inputs;
    if (key.shift) AddKey(inputs, VK_SHIFT, false);
    if (key.alt) AddKey(inputs, VK_MENU, false);
    AddKey(inputs, key.virtual_key, false);
    AddKey(inputs, key.virtual_key, true);
    if (key.alt) AddKey(inputs, VK_MENU, true);
    if (key.shift) AddKey(inputs, VK_SHIFT, true);
    if (SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) !=
        inputs.size()) {
      throw SystemFailure(u"SendInput", GetLastError());
    }
    // Each key is handled before the next one is typed, as a user's pace allows: a key that
    // moves the focus must have moved it when the next one arrives.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &ignored);
    Sleep(50);
  }
  result.Field("sent", static_cast<int64_t>(keys.size()));
  return ExitCode::kOk;
}

ExitCode QueryFocus(const StringList& args, JsonWriter& result) {
  const Arguments a(args, kWindowQueryOptions + kTimeout);
  const HWND window = WaitForTopLevelWindow(ReadWindowQuery(a), a.GetMilliseconds(u"timeout", 10));
  const HWND focus = FocusOf(window);
  if (!focus) throw NotFoundError(u"no control of " + HandleText(window) + u" has the focus");
  WriteWindowMembers(result, focus);
  return ExitCode::kOk;
}

ExitCode QueryAccessible(const StringList& args, JsonWriter& result) {
  const Arguments a(args, kWindowQueryOptions + kControlQueryOptions + kTimeout);
  const ControlQuery query = ReadControlQuery(a);
  const uint32_t timeout = a.GetMilliseconds(u"timeout", 10);
  const HWND window = WaitForTopLevelWindow(ReadWindowQuery(a), timeout);
  const HWND target = query.Empty() ? window : WaitForControl(window, query, timeout, false);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  IAccessible* accessible = nullptr;
  const HRESULT hr =
      AccessibleObjectFromWindow(target, static_cast<DWORD>(OBJID_CLIENT), kIidAccessible,
                                 reinterpret_cast<void**>(&accessible));
  if (FAILED(hr) || !accessible) throw SystemFailure(u"AccessibleObjectFromWindow", hr);
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role{};
  VARIANT state{};
  BSTR name = nullptr;
  const bool has_role = SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4;
  const bool has_state = SUCCEEDED(accessible->get_accState(self, &state)) && state.vt == VT_I4;
  accessible->get_accName(self, &name);
  accessible->Release();
  WriteWindowMembers(result, target);
  result.Key("accessible").BeginObject();
  result.Field("name", BstrText(name));
  if (has_role) {
    wchar_t role_text[128] = {};
    GetRoleTextW(static_cast<DWORD>(role.lVal), role_text, 128);
    result.Field("role", static_cast<int64_t>(role.lVal)).Field("role_text", FromWide(role_text));
  }
  if (has_state) {
    result.Field("state", static_cast<int64_t>(state.lVal))
        .FlagField("checked", (state.lVal & STATE_SYSTEM_CHECKED) != 0)
        .FlagField("focused", (state.lVal & STATE_SYSTEM_FOCUSED) != 0)
        .FlagField("unavailable", (state.lVal & STATE_SYSTEM_UNAVAILABLE) != 0);
  }
  result.EndObject();
  return ExitCode::kOk;
}

}  // namespace nolu::driver
