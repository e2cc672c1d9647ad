#include "core/ini_file_io.h"

#include "base/errors.h"
#include "base/memory_stream.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {
namespace {

// Writes `bytes` into the existing file at `path`; false on any failure.
bool WriteWhole(IFileSystem& files, StringView path, const Bytes& bytes) {
  TOpenResult out = files.OpenFile(path, FileMode::kCreate);
  if (!out.Stream) return false;
  try {
    out.Stream->WriteBuffer(bytes.data(), bytes.size());
    out.Stream->Flush();
  } catch (const Exception&) {
    return false;
  }
  return true;
}

}  // namespace

bool LoadIniFile(TRuxIniFile& ini, StringView path) {
  ini.Clear();
  bool loaded = false;
  TOpenResult in;
  if (!path.empty()) in = CurrentPlatform().Files().OpenFile(path, FileMode::kOpenRead);
  if (in.Stream) {
    try {
      ini.LoadFromStream(*in.Stream);
      loaded = true;
    } catch (const Exception&) {
      ini.Clear();
    }
  }
  ini.SetModified(false);
  return loaded;
}

bool SaveIniFile(const TRuxIniFile& ini, StringView path) {
  IFileSystem& files = CurrentPlatform().Files();
  TMemoryStream text;
  ini.SaveToStream(text, ini.Encoding());

  String fresh;
  if (files.TempFileName(ExtractFilePath(path), u"ini", fresh) != kErrorSuccess) return false;
  if (!WriteWhole(files, fresh, text.Bytes())) {
    files.Delete(fresh);
    return false;
  }
  // The complete copy takes the file's place in one step, so that no failure (a scanner that
  // holds the file, no rights) can leave the folder without it. A read-only file is replaced
  // all the same; on failure it gets its attributes back.
  const uint32_t attributes = files.Attributes(path);
  const bool read_only = attributes != kInvalidAttributes && (attributes & kAttrReadOnly);
  if (read_only) files.SetAttributes(path, attributes & ~kAttrReadOnly);
  if (files.Replace(fresh, path) == kErrorSuccess) return true;
  if (read_only) files.SetAttributes(path, attributes);
  files.Delete(fresh);
  return false;
}

}  // namespace nolu
