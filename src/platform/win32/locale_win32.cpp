// Windows implementation of the locale services declared in base/locale.h. It lives here
// because only the platform layer may include <windows.h>; the build compiles it into the
// base library of the Windows build in place of base/locale_host.cpp.
#include <windows.h>

#include "base/locale.h"

namespace nolu {
namespace {

const wchar_t* W(StringView s) {
  return reinterpret_cast<const wchar_t*>(s.data());
}

int Compare(StringView a, StringView b) {
  // Lengths are passed explicitly: names may hold embedded NULs and views are not terminated.
  const int r = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, W(a),
                               static_cast<int>(a.size()), W(b), static_cast<int>(b.size()));
  return r == 0 ? 2 /* failure: never "equal" */ : r - CSTR_EQUAL;
}

}  // namespace

bool EqualsIgnoreCase(StringView a, StringView b) {
  return a.size() == b.size() && (a == b || Compare(a, b) == 0);
}

int CompareIgnoreCase(StringView a, StringView b) {
  const int r = Compare(a, b);
  return r == 2 ? a.compare(b) : r;
}

String UpperCase(StringView text) {
  if (text.empty()) return String();
  String out(text.size(), u'\0');
  const int n =
      LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, W(text), static_cast<int>(text.size()),
                   reinterpret_cast<wchar_t*>(out.data()), static_cast<int>(out.size()));
  if (n != static_cast<int>(text.size())) return String(text);
  return out;
}

String AnsiToString(std::string_view bytes) {
  if (bytes.empty()) return String();
  const int n =
      MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  String out(static_cast<size_t>(n), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                      reinterpret_cast<wchar_t*>(out.data()), n);
  return out;
}

std::string StringToAnsi(StringView text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_ACP, 0, W(text), static_cast<int>(text.size()), nullptr, 0,
                                    "?", nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, W(text), static_cast<int>(text.size()), out.data(), n, "?",
                      nullptr);
  return out;
}

bool IsAnsiRepresentable(StringView text) {
  if (text.empty()) return true;
  BOOL used_default = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, W(text), static_cast<int>(text.size()), nullptr,
                      0, nullptr, &used_default);
  return !used_default;
}

Char UserDecimalSeparator() {
  wchar_t text[8] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) < 2) return u'.';
  return static_cast<Char>(text[0]);
}

}  // namespace nolu
