#include "package/setup_package_builder.h"

#include <cstring>
#include <limits>

#include "base/errors.h"
#include "base/file_stream.h"
#include "base/format.h"
#include "package/internal/little_endian.h"
#include "package/package_crc.h"
#include "package/setup_package_scrambler.h"

namespace nolu {

using package_internal::StoreLittleEndian;

namespace {

// Puts the body back to its entries on every way out of Commit.
class BodyRestorer {
 public:
  explicit BodyRestorer(TMemoryStream& body) : body_(body), size_(body.Size()) {}
  ~BodyRestorer() { body_.SetSize(size_); }
  BodyRestorer(const BodyRestorer&) = delete;
  BodyRestorer& operator=(const BodyRestorer&) = delete;

 private:
  TMemoryStream& body_;
  int64_t size_;
};

}  // namespace

TSetupPackageBuilder::TSetupPackageBuilder(StringView key) : key_(key) {}

void TSetupPackageBuilder::Add(TStream& source, StringView name) {
  CheckPackageEntryName(name);
  const int64_t offset = body_.Seek(0, SeekOrigin::kEnd);
  int64_t size = 0;
  try {
    size = body_.CopyRemainingFrom(source);
  } catch (...) {
    body_.SetSize(offset);
    throw;
  }
  TSetupPackageFileTableItem& item = file_table_.Add();
  item.Name = String(name);
  item.Offset = offset;
  item.Size = size;
}

void TSetupPackageBuilder::Commit(TStream& dest, int level, const TLZMAProgress& progress) {
  BodyRestorer restorer(body_);
  TMemoryStream table;
  file_table_.SaveToStream(table);
  body_.Seek(0, SeekOrigin::kEnd);
  body_.WriteBuffer(table.Data(), table.Bytes().size());
  uint8_t table_size[4];
  StoreLittleEndian(static_cast<int32_t>(table.Size()), table_size);
  body_.WriteBuffer(table_size, sizeof table_size);
  if (table.Size() > std::numeric_limits<int32_t>::max() ||
      body_.Size() > std::numeric_limits<uint32_t>::max()) {
    throw EInvalidOperation(Format(u"The package body is too large (%d bytes, at most %d)",
                                   {body_.Size(), std::numeric_limits<uint32_t>::max()}));
  }

  uint8_t header[kHeaderSize];
  std::memcpy(header, kMagic, sizeof kMagic);
  StoreLittleEndian(PackageCrc(body_.Data(), body_.Bytes().size()), header + 4);
  StoreLittleEndian(static_cast<uint32_t>(body_.Size()), header + 8);
  dest.WriteBuffer(header, sizeof header);

  TSetupPackageScrambler scrambler;
  scrambler.SetKey(key_);
  body_.SetPosition(0);
  LZMACompress(
      body_, dest, level,
      [&scrambler](uint8_t* buffer, int32_t count) { scrambler.Process(buffer, count); }, progress);
}

void TSetupPackageBuilder::SaveToFile(const String& file_name, int level) {
  TFileStream file(file_name, FileMode::kCreate);
  Commit(file, level);
  file.Flush();
}

}  // namespace nolu
