#include "base/path.h"

#include "base/locale.h"

namespace nolu {
namespace {

// Index just past the folder part: after the last backslash or colon, or 0.
size_t FileNameStart(StringView path) {
  const size_t pos = path.find_last_of(u"\\:");
  return pos == StringView::npos ? 0 : pos + 1;
}

}  // namespace

String IncludeTrailingBackslash(StringView path) {
  String out(path);
  if (!out.empty() && out.back() != u'\\') out += u'\\';
  return out;
}

String ExcludeTrailingBackslash(StringView path) {
  if (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
  return String(path);
}

String ExtractFilePath(StringView path) {
  return String(path.substr(0, FileNameStart(path)));
}

String ExtractFileName(StringView path) {
  return String(path.substr(FileNameStart(path)));
}

String ExtractFileExt(StringView path) {
  const StringView name = path.substr(FileNameStart(path));
  const size_t dot = name.rfind(u'.');
  return dot == StringView::npos ? String() : String(name.substr(dot));
}

String ChangeFileExt(StringView path, StringView extension) {
  const size_t start = FileNameStart(path);
  const size_t dot = path.substr(start).rfind(u'.');
  String out(dot == StringView::npos ? path : path.substr(0, start + dot));
  out += extension;
  return out;
}

bool IsRelativePath(StringView path) {
  if (!path.empty() && (path[0] == u'\\' || path[0] == u'/')) return false;
  return !(path.size() >= 2 && path[1] == u':');
}

bool IsContainedRelativePath(StringView path) {
  if (path.empty() || !IsRelativePath(path)) return false;
  if (path.find_first_of(u":/") != StringView::npos) return false;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(u'\\', start);
    if (end == StringView::npos) end = path.size();
    const StringView part = path.substr(start, end - start);
    // Windows drops trailing dots and blanks of a component, so ". ." and ".. " are ".."
    // in disguise: any component made only of dots and blanks is refused.
    if (!part.empty() && part.find_first_not_of(u". ") == StringView::npos) return false;
    start = end + 1;
  }
  return true;
}

bool IsVolumeRoot(StringView folder) {
  if (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
  if (folder.size() == 2 && folder[1] == u':') return true;
  if (folder.size() > 2 && folder[0] == u'\\' && folder[1] == u'\\') {
    const size_t server_end = folder.find(u'\\', 2);
    return server_end == StringView::npos || folder.find(u'\\', server_end + 1) == StringView::npos;
  }
  return false;
}

bool PathStartsWith(StringView path, StringView prefix) {
  return path.size() >= prefix.size() && EqualsIgnoreCase(path.substr(0, prefix.size()), prefix);
}

String ExtendedLengthPath(StringView path) {
  if (path.size() < kMaxPath || StartsWith(path, u"\\\\?\\") || StartsWith(path, u"\\\\.\\")) {
    return String(path);
  }
  if (StartsWith(path, u"\\\\")) return u"\\\\?\\UNC\\" + String(path.substr(2));
  return u"\\\\?\\" + String(path);
}

}  // namespace nolu
