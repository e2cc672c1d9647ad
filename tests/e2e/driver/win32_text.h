// The system's text type at the Win32 edge: wchar_t and char16_t are both UTF-16 here.
#pragma once

#include <cwchar>

#include "base/text.h"

namespace nolu::driver {

inline const wchar_t* Wide(const String& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

inline String FromWide(const wchar_t* text, size_t length) {
  return String(reinterpret_cast<const char16_t*>(text), length);
}

// Up to the first terminator.
inline String FromWide(const wchar_t* text) {
  return FromWide(text, std::wcslen(text));
}

}  // namespace nolu::driver
