// TSetupBackupArchive: writes the backup list of an installation (files of the old copy and of
// the users' profiles, each with its name inside the archive) into a zip archive.
#pragma once

#include <functional>

#include "base/text.h"
#include "platform/system.h"

namespace nolu {

class TSetupFileList;

class TSetupBackupArchive {
 public:
  // The message of a file that cannot be backed up: its path, its size in bytes, the message of
  // the error and the system's text for the system error code behind it.
  static constexpr StringView kErrorFormat =
      u"An error occurs while backuping the \"%s\" file (%d)\r\n%s\r\n%s";

  // Creates the archive `path` through the platform (replacing an existing file) and adds the
  // items of `files` in order: each Source, opened with full sharing so that files other
  // programs hold open are read, under its Target, Deflate-compressed, every entry carrying
  // `time`. `on_file_added` runs after each file. A file that cannot be opened or added raises
  // EInstallerBackupError (kErrorFormat); the incomplete archive is deleted then, so that it
  // never passes for a backup. An archive that cannot be created raises EFOpenError.
  static void Write(StringView path, const TSetupFileList& files, const TDateTime& time,
                    const std::function<void()>& on_file_added = {});
};

}  // namespace nolu
