// TSetupUninstallRecord: the record "Uninstall.ini" that the uninstaller reads, and its data
// package "Uninstall.dat".
//
// "Uninstall.ini" (UTF-16LE with the mark FF FE, lines ending CR LF, one empty line after each
// section, sections without entries left out):
//
//   [<every section of the options store that holds entries, in its order>]
//   ...
//   [Uninstall]
//   0=<first recorded path>
//   Count=<number of recorded paths>
//   1=<second recorded path>
//   ...
//
// A recorded path is a full path with the destination folder cut from its start when it lies
// inside it; the last two are always "Uninstall.dat" and "Uninstall.exe".
//
// "Uninstall.dat" is a package whose one entry "Uninstall.ini" holds that text, compressed at
// level 4 and scrambled with the key of the setup's own packages.
#pragma once

#include "base/ini_file.h"
#include "base/text.h"

namespace nolu {

class TSetupResources;

class TSetupUninstallRecord {
 public:
  // `resources` expands the recorded paths' variables; `dest_path` (with trailing backslash)
  // is cut from the paths that lie inside it.
  TSetupUninstallRecord(const TSetupResources& resources, StringView dest_path);
  TSetupUninstallRecord(const TSetupUninstallRecord&) = delete;
  TSetupUninstallRecord& operator=(const TSetupUninstallRecord&) = delete;

  // Copies the sections of `options` that hold entries, except "Uninstall", which this
  // record rebuilds.
  void CopyOptions(const TRuxIniFile& options);
  // Records one more path (variables allowed): "Uninstall"/<Count> := the path, Count + 1.
  void AddUninstallEntry(StringView path);
  // Writes "Uninstall.dat" to `dat` (replacing an existing file) through the platform's file
  // system. Raises the file's open or write error.
  void BuildUninstallPackage(StringView dat) const;

  const TRuxIniFile& Record() const { return record_; }

 private:
  const TSetupResources& resources_;
  String dest_path_;
  TRuxIniFile record_;
};

}  // namespace nolu
