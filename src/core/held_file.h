// THeldFile: a file that the elevated run writes and then starts, made so that nobody can have
// prepared it and nobody can change it before it runs.
//
// The file is created new (an existing file or link at its name is never written through),
// filled, and then held: open for reading only, so that nobody can write, rename or delete it
// while the object lives (the started program can still load it). Its content is checked
// once it is held, so that not even the moment between writing and holding counts.
#pragma once

#include <memory>

#include "base/stream.h"
#include "base/text.h"

namespace nolu {

class THeldFile {
 public:
  // Copies the file `source` to `target`, which must not exist. Failures raise EOSError with
  // the system's text and source + " -> " + target; nothing is left at `target` then.
  static THeldFile Copy(StringView source, StringView target);
  // Writes what `data` holds from its position on to `target`, which must not exist; `data` is
  // read a second time from there to check the held file against. Failures raise EOSError (or
  // EFOpenError) naming `target`; nothing is left at `target` then.
  static THeldFile Write(TStream& data, StringView target);

  THeldFile(THeldFile&&) = default;
  THeldFile& operator=(THeldFile&&) = default;

  const String& Path() const { return path_; }
  // Lets go of the file (once the program it holds has started).
  void Release() { hold_.reset(); }

 private:
  THeldFile(String path, std::unique_ptr<TStream> hold)
      : path_(std::move(path)), hold_(std::move(hold)) {}
  // `what` names the operation in errors.
  static THeldFile WriteHeld(TStream& data, StringView target, StringView what);

  String path_;
  std::unique_ptr<TStream> hold_;
};

}  // namespace nolu
