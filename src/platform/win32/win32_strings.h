// Conversions between the system's String and the Windows API's wide strings, and the
// system's error texts. (wchar_t is 16 bits on Windows, the same code units as char16_t.)
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>

#include "base/text.h"

namespace nolu {

inline const wchar_t* W(const String& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}
inline String FromW(const wchar_t* text) {
  return text ? String(reinterpret_cast<const char16_t*>(text)) : String();
}
inline String FromW(const wchar_t* text, size_t length) {
  return String(reinterpret_cast<const char16_t*>(text), length);
}

// FormatMessageW for the code, without the trailing line break.
String Win32ErrorText(uint32_t code);

// Calls a "fill this buffer" function of the Windows API that returns the length it needs
// when the buffer is too small (GetFullPathNameW, GetCurrentDirectoryW, ...) until the text
// fits. 0 from `fill` is a failure: the result is empty and `error` holds GetLastError.
String GrowingBufferCall(const std::function<DWORD(wchar_t*, DWORD)>& fill, uint32_t* error);

// The form of a path handed to the file functions: paths of kMaxPath characters or more are
// made absolute and get the "\\?\" prefix (base/path.h), so they work at any length.
String SystemPath(StringView path);

}  // namespace nolu
