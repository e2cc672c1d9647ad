// TUninstallerCopy: the copy of the uninstaller ("Uninstall.exe" and its "Uninstall.dat") in a
// private temporary folder (core/private_temp_folder.h), from which the removal runs so that
// nothing of the product folder is in use.
//
//   TUninstallerCopy copy = TUninstallerCopy::Create(program);   // raises; nothing started
//   TStartResult started = copy.Start(product_folder, params);   // the copy runs
//   ... a caller may wait for started.Process ...
//
// From Create until Start the two copies are held (core/held_file.h): nobody can change them
// before the copy runs elevated. The folder and the copies are deleted at the next restart.
#pragma once

#include "base/text.h"
#include "core/held_file.h"
#include "platform/processes.h"

namespace nolu {

class TUninstallerCopy {
 public:
  // Copies `program` and the file beside it with the extension ".dat" into a new private
  // temporary folder under their own names, and schedules the copies and then the folder for
  // deletion at the next restart. A failure raises EOSError with the system's text and
  // source + " -> " + target and leaves nothing behind.
  static TUninstallerCopy Create(StringView program);

  // The private folder, with its trailing backslash.
  const String& Folder() const { return folder_; }
  // The copy of the program.
  const String& Program() const { return program_.Path(); }

  // Starts the copy with "/PATH="<product_folder>" " before `params` (the folder with its
  // trailing backslash, which the command-line syntax reads inside quotes), its window shown
  // and the private folder as its current folder; then lets go of the copies. The result
  // holds the process, or the system's error when it did not start.
  TStartResult Start(StringView product_folder, StringView params);

 private:
  TUninstallerCopy(String folder, THeldFile program, THeldFile data)
      : folder_(std::move(folder)), program_(std::move(program)), data_(std::move(data)) {}

  String folder_;
  THeldFile program_;
  THeldFile data_;
};

}  // namespace nolu
