// Entry names and contents as a file system could hand them to a backup, in any mix: the
// writer either refuses a name with EZipError or writes an entry that the strict test reader
// finds intact, in order, under the expected name.
//
// Input: byte 0 picks the Deflate level; then records of
//   [1 byte: name length N in UTF-16 units][2N bytes: UTF-16LE name]
//   [2 bytes LE: data length L][L bytes: data, or fewer at the end of the input]
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/memory_stream.h"
#include "base/testing/zip_test_reader.h"
#include "base/zip_error.h"
#include "base/zip_writer.h"

namespace {

struct Expected {
  std::string name;
  nolu::Bytes data;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nolu;
  if (size == 0) return 0;
  size_t at = 0;
  const int level = data[at++] % 10;
  TMemoryStream archive;
  TZipWriter writer(archive, TZipTime::FromLocalTime(2024, 3, 5, 14, 7, 9, 1709644029), level);
  std::vector<Expected> expected;
  while (at < size) {
    const size_t wanted = data[at++];
    const size_t name_length = std::min(wanted, (size - at) / 2);
    String name(name_length, u'\0');
    for (size_t i = 0; i < name_length; ++i, at += 2) {
      name[i] = static_cast<Char>(data[at] | (data[at + 1] << 8));
    }
    size_t data_length = 0;
    if (at + 2 <= size) {
      data_length = std::min<size_t>(data[at] | (data[at + 1] << 8), size - at - 2);
      at += 2;
    }
    Bytes content(data + at, data + at + data_length);
    at += data_length;
    TMemoryStream source(content);
    try {
      writer.AddEntry(name, source);
    } catch (const EZipError&) {
      continue;  // a name no zip entry may have
    }
    std::string stored = StringToUtf8(name);
    for (char& c : stored)
      c = c == '\\' ? '/' : c;
    expected.push_back({stored, std::move(content)});
  }
  writer.Finish();
  const testing::TestZipArchive read = testing::ReadZipForTest(archive.Bytes());
  if (read.entries.size() != expected.size()) std::abort();
  for (size_t i = 0; i < expected.size(); ++i) {
    if (read.entries[i].name != expected[i].name || read.entries[i].data != expected[i].data) {
      std::abort();
    }
  }
  return 0;
}
