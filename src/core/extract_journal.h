// TExtractJournal: the files and folders that an extraction made where nothing was before, so
// that a run which learns only afterwards that its package is corrupt can take them back.
#pragma once

#include <set>

#include "base/text.h"

namespace nolu {

class TExtractJournal {
 public:
  // Before `folder` is made with its parents: notes every one of them that does not exist.
  void NoteFolders(StringView folder);
  // `path` was created by the extraction.
  void NoteFile(StringView path);
  // Best effort, never raises: deletes the noted files, then removes the noted folders that
  // are empty by then, the deepest first. A folder that holds something else stays.
  void Undo() noexcept;

 private:
  StringList files_;
  std::set<String> folders_;       // without trailing backslash, as noted
  std::set<String> seen_folders_;  // asked about already: noted, or there before
};

}  // namespace nolu
