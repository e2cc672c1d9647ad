// A fresh folder below the temporary folder for one Win32 test, removed with everything in it
// when the test ends.
#pragma once

#include <windows.h>

#include "base/path.h"
#include "base/text.h"
#include "platform/win32/win32_strings.h"

namespace nolu {

class TWin32TestFolder {
 public:
  TWin32TestFolder() {
    wchar_t temp[MAX_PATH + 1];
    ::GetTempPathW(MAX_PATH + 1, temp);
    static int counter = 0;
    path_ = FromW(temp) + u"nolu-test-" + IntToStr(::GetCurrentProcessId()) + u"-" +
            IntToStr(++counter) + u"\\";
    ::CreateDirectoryW(W(path_), nullptr);
  }
  ~TWin32TestFolder() { RemoveTree(path_); }
  TWin32TestFolder(const TWin32TestFolder&) = delete;
  TWin32TestFolder& operator=(const TWin32TestFolder&) = delete;

  // The folder, with a trailing backslash.
  const String& Path() const { return path_; }

  static void RemoveTree(const String& folder) {
    const String base = SystemPath(IncludeTrailingBackslash(folder));
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(W(base + u"*"), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        const String name = FromW(data.cFileName);
        if (name == u"." || name == u"..") continue;
        const String child = base + name;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
          RemoveTree(child);
        } else {
          ::SetFileAttributesW(W(child), FILE_ATTRIBUTE_NORMAL);
          ::DeleteFileW(W(child));
        }
      } while (::FindNextFileW(find, &data));
      ::FindClose(find);
    }
    ::RemoveDirectoryW(W(ExcludeTrailingBackslash(base)));
  }

 private:
  String path_;
};

}  // namespace nolu
