#include "platform/win32/win32_strings.h"

#include "base/format.h"
#include "base/path.h"

namespace nolu {

String Win32ErrorText(uint32_t code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  String text = length ? FromW(buffer, length) : String();
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' ')) {
    text.pop_back();
  }
  if (text.empty()) text = Format(u"Unknown error %d", {static_cast<int64_t>(code)});
  return text;
}

String GrowingBufferCall(const std::function<DWORD(wchar_t*, DWORD)>& fill, uint32_t* error) {
  String buffer(MAX_PATH, u'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD n =
        fill(reinterpret_cast<wchar_t*>(buffer.data()), static_cast<DWORD>(buffer.size()));
    if (n == 0) {
      if (error) *error = ::GetLastError();
      return String();
    }
    if (n < buffer.size()) {
      buffer.resize(n);
      if (error) *error = ERROR_SUCCESS;
      return buffer;
    }
    buffer.resize(n + 1);  // n counts the terminating zero when the buffer was too small
  }
}

String SystemPath(StringView path) {
  if (path.size() < kMaxPath || StartsWith(path, u"\\\\?\\")) return String(path);
  const String text(path);
  String full = GrowingBufferCall(
      [&](wchar_t* buffer, DWORD size) {
        return ::GetFullPathNameW(W(text), size, buffer, nullptr);
      },
      nullptr);
  return ExtendedLengthPath(full.empty() ? text : full);
}

}  // namespace nolu
