#include "core/private_temp_folder.h"

#include <array>

#include "base/errors.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {
namespace {

// 128 bits: nobody guesses the name in advance.
String RandomFolderName(ISystem& system) {
  std::array<uint8_t, 16> bytes{};
  if (const uint32_t error = system.RandomBytes(bytes.data(), bytes.size())) {
    throw EOSError(error, system.SysErrorMessage(error), u"the random generator of the system");
  }
  String name = u"Setup-";
  for (uint8_t b : bytes) {
    name += u"0123456789abcdef"[b >> 4];
    name += u"0123456789abcdef"[b & 0xF];
  }
  return name;
}

String LongForm(StringView path) {
  String long_path;
  if (CurrentPlatform().Files().LongPathName(path, long_path) != kErrorSuccess) {
    return String(path);
  }
  return long_path;
}

}  // namespace

String LongTempFolder() {
  return IncludeTrailingBackslash(LongForm(CurrentPlatform().Files().TempFolder()));
}

bool IsInTempFolder(StringView path) {
  return PathStartsWith(IncludeTrailingBackslash(LongForm(path)), LongTempFolder());
}

String CreatePrivateTempFolder() {
  TPlatform& platform = CurrentPlatform();
  IFileSystem& files = platform.Files();
  const String temp = LongTempFolder();
  const TFolderAccess access = platform.System().IsUserAnAdmin() ? TFolderAccess::kAdministrators
                                                                 : TFolderAccess::kInherited;
  String folder;
  uint32_t error = kErrorAlreadyExists;
  for (int i = 0; i < kPrivateFolderTries && error == kErrorAlreadyExists; ++i) {
    folder = temp + RandomFolderName(platform.System());
    error = files.CreateFolder(folder, access);
  }
  if (error != kErrorSuccess) {
    throw EOSError(error, platform.System().SysErrorMessage(error), folder);
  }
  return folder + u'\\';
}

}  // namespace nolu
