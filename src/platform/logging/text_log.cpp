#include "platform/logging/text_log.h"

#include <exception>

namespace nolu {
namespace {

String Stamp(const TDateTime& t) {
  return ZeroPadded(t.Year, 4) + u"-" + ZeroPadded(t.Month, 2) + u"-" + ZeroPadded(t.Day, 2) +
         u" " + ZeroPadded(t.Hour, 2) + u":" + ZeroPadded(t.Minute, 2) + u":" +
         ZeroPadded(t.Second, 2) + u"." + ZeroPadded(t.Milliseconds, 3);
}

// One entry, one line: a message that spans lines (an error list) is joined.
String OneLine(StringView text) {
  String line;
  line.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const Char c = text[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      line += u" | ";
    } else {
      line += c;
    }
  }
  return line;
}

}  // namespace

TTextLog::TTextLog(IFileSystem& files, ISystem& system, StringView path, bool create_new)
    : system_(system), path_(path), process_id_(system.ProcessId()) {
  TOpenResult opened = files.OpenFile(path, create_new ? FileMode::kAppendNew : FileMode::kAppend);
  error_ = opened.Error;
  if (!opened.Stream) return;
  try {
    if (opened.Stream->Size() == 0) {
      static constexpr uint8_t kMark[] = {0xEF, 0xBB, 0xBF};
      opened.Stream->WriteBuffer(kMark, sizeof kMark);
    }
    stream_ = std::move(opened.Stream);
  } catch (const std::exception&) {
    // A file that takes not even its first bytes is no log.
  }
}

void TTextLog::Line(StringView text) {
  if (!stream_) return;
  try {
    const std::string bytes = StringToUtf8(Stamp(system_.LocalTime()) + u" [" +
                                           IntToStr(process_id_) + u"] " + OneLine(text) + u"\r\n");
    std::lock_guard lock(mutex_);
    stream_->WriteBuffer(bytes.data(), bytes.size());
  } catch (const std::exception&) {
    // A full disk or a lost network share ends the log's lines, never the run.
  }
}

}  // namespace nolu
