#include "base/zip_writer.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#include "base/errors.h"
#include "base/format.h"
#include "base/zip_error.h"

namespace nolu {
namespace {

constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
constexpr uint32_t kDataDescriptorSignature = 0x08074B50;
constexpr uint32_t kCentralHeaderSignature = 0x02014B50;
constexpr uint32_t kZip64EndSignature = 0x06064B50;
constexpr uint32_t kZip64LocatorSignature = 0x07064B50;
constexpr uint32_t kEndSignature = 0x06054B50;

constexpr uint16_t kFlagDataDescriptor = 1 << 3;
constexpr uint16_t kFlagUtf8Name = 1 << 11;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflate = 8;
constexpr uint16_t kVersionMadeBy = 63;  // host 0 (MS-DOS attributes), format 6.3
constexpr uint16_t kVersionZip64 = 45;

constexpr uint16_t kZip64FieldId = 0x0001;
constexpr uint16_t kTimeFieldId = 0x5455;

// The largest value a 32-bit field holds literally; it is also the marker "see Zip64".
constexpr uint64_t kMax32 = 0xFFFFFFFF;
constexpr uint64_t kMax16 = 0xFFFF;
// A streamed entry whose source says it has this much or more gets a Zip64 field in its
// local header. The margin covers Deflate's worst growth (about 0.03%) and a file that grows
// a little while it is read.
constexpr uint64_t kZip64LocalThreshold = kMax32 - (uint64_t{256} << 20);
constexpr uint64_t kUnknownSize = std::numeric_limits<uint64_t>::max();

void PutLe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint64_t value) {
  PutLe(out, value, 2);
}
void Put32(std::vector<uint8_t>& out, uint64_t value) {
  PutLe(out, value, 4);
}
void Put64(std::vector<uint8_t>& out, uint64_t value) {
  PutLe(out, value, 8);
}

uint16_t VersionNeeded(uint16_t method, bool zip64) {
  if (zip64) return kVersionZip64;
  return method == kMethodDeflate ? 20 : 10;
}

// The name as the archive stores it, or EZipError when it cannot be a relative file path.
std::string ArchiveName(StringView name) {
  bool valid = !name.empty();
  size_t part_start = 0;
  for (size_t i = 0; valid && i <= name.size(); ++i) {
    if (i == name.size() || name[i] == u'\\' || name[i] == u'/') {
      const StringView part = name.substr(part_start, i - part_start);
      valid = !part.empty() && part != u"." && part != u"..";
      part_start = i + 1;
    } else {
      valid = name[i] >= 0x20 && name[i] != u':';
    }
  }
  if (!valid) throw EZipError(Format(u"Invalid name \"%s\" for a zip entry", {String(name)}));
  // An unpaired surrogate (possible in an NTFS name) becomes U+FFFD: the file's content is
  // kept under a name that differs in that one character.
  std::string utf8 = StringToUtf8(name);
  std::replace(utf8.begin(), utf8.end(), '\\', '/');
  if (utf8.size() > kMax16) {
    throw EZipError(Format(u"Name \"%s\" too long for a zip entry", {String(name)}));
  }
  return utf8;
}

// Bytes from the source's position to its end, or kUnknownSize when the source cannot tell.
uint64_t RemainingSize(TStream& source) {
  try {
    const int64_t position = source.Position();
    const int64_t size = source.Size();
    return size > position ? static_cast<uint64_t>(size - position) : 0;
  } catch (const Exception&) {
    return kUnknownSize;
  }
}

}  // namespace

void TZipWriter::ZStreamDeleter::operator()(z_stream_s* z) const {
  deflateEnd(z);
  delete z;
}

TZipWriter::TZipWriter(TStream& destination, const TZipTime& time, int level)
    : destination_(destination), time_(time) {
  if (level < 0 || level > 9) {
    throw EZipError(Format(u"Invalid Deflate level %d", {level}));
  }
  auto z = std::make_unique<z_stream_s>();
  // Raw Deflate (negative window bits): the zip headers carry the CRC and sizes.
  if (deflateInit2(z.get(), level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    throw EZipError(u"Cannot start the Deflate compressor");
  }
  zstream_.reset(z.release());
  input_.resize(TStream::kCopyChunk);
  // Room for a whole chunk's compressed form, so that an entry read in one chunk is complete
  // before its header is written.
  output_.resize(deflateBound(zstream_.get(), TStream::kCopyChunk));
}

TZipWriter::~TZipWriter() = default;

void TZipWriter::RequireOpen() const {
  if (broken_) {
    throw EInvalidOperation(u"The zip archive is incomplete after an earlier error");
  }
  if (finished_) throw EInvalidOperation(u"The zip archive is already finished");
}

void TZipWriter::Put(const void* data, size_t count) {
  destination_.WriteBuffer(data, count);
  written_ += count;
}

size_t TZipWriter::FillInput(TStream& source) {
  size_t got = 0;
  while (got < input_.size()) {
    const size_t n = source.Read(input_.data() + got, input_.size() - got);
    if (n == 0) break;
    got += n;
  }
  return got;
}

void TZipWriter::AddEntry(StringView name, TStream& source) {
  RequireOpen();
  Entry entry;
  entry.name = ArchiveName(name);
  entry.flags = kFlagUtf8Name;
  entry.offset = written_;
  const uint64_t size_hint = RemainingSize(source);
  // Nothing has been written yet: a source that fails here leaves the archive as it was.
  const size_t first = FillInput(source);
  try {
    if (first < input_.size()) {
      WriteWholeEntry(entry, first);
    } else {
      WriteStreamedEntry(entry, source, first, size_hint);
    }
    entries_.push_back(std::move(entry));
  } catch (...) {
    broken_ = true;
    throw;
  }
}

void TZipWriter::WriteWholeEntry(Entry& entry, size_t size) {
  entry.size = size;
  entry.crc = static_cast<uint32_t>(crc32_z(0, input_.data(), size));
  entry.method = kMethodStored;
  entry.compressed_size = size;
  // Empty files are common in profiles (locks, markers); resetting the compressor for them
  // would cost more than all their headers.
  if (size == 0) {
    WriteLocalHeader(entry);
    return;
  }
  deflateReset(zstream_.get());
  zstream_->next_in = input_.data();
  zstream_->avail_in = static_cast<uInt>(size);
  zstream_->next_out = output_.data();
  zstream_->avail_out = static_cast<uInt>(output_.size());
  if (deflate(zstream_.get(), Z_FINISH) != Z_STREAM_END) {
    throw EZipError(u"Deflate compression failed");
  }
  const bool stored = zstream_->total_out >= size;
  if (!stored) {
    entry.method = kMethodDeflate;
    entry.compressed_size = zstream_->total_out;
  }
  WriteLocalHeader(entry);
  Put(stored ? input_.data() : output_.data(), entry.compressed_size);
}

void TZipWriter::WriteStreamedEntry(Entry& entry, TStream& source, size_t first,
                                    uint64_t size_hint) {
  entry.method = kMethodDeflate;
  entry.flags |= kFlagDataDescriptor;
  entry.local_zip64 = size_hint >= kZip64LocalThreshold;
  WriteLocalHeader(entry);
  deflateReset(zstream_.get());
  uint32_t crc = 0;
  for (size_t count = first;;) {
    const bool last = count < input_.size();
    crc = static_cast<uint32_t>(crc32_z(crc, input_.data(), count));
    entry.size += count;
    entry.compressed_size += Deflate(count, last);
    if (!entry.local_zip64 && (entry.size >= kMax32 || entry.compressed_size >= kMax32)) {
      throw EZipError(u"The file grew beyond 4 GiB while it was being archived");
    }
    if (last) break;
    count = FillInput(source);
  }
  entry.crc = crc;
  header_.clear();
  Put32(header_, kDataDescriptorSignature);
  Put32(header_, entry.crc);
  const int size_bytes = entry.local_zip64 ? 8 : 4;
  PutLe(header_, entry.compressed_size, size_bytes);
  PutLe(header_, entry.size, size_bytes);
  Put(header_.data(), header_.size());
}

uint64_t TZipWriter::Deflate(size_t count, bool finish) {
  z_stream_s& z = *zstream_;
  z.next_in = input_.data();
  z.avail_in = static_cast<uInt>(count);
  uint64_t produced = 0;
  for (;;) {
    z.next_out = output_.data();
    z.avail_out = static_cast<uInt>(output_.size());
    const int result = deflate(&z, finish ? Z_FINISH : Z_NO_FLUSH);
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR) {
      throw EZipError(Format(u"Deflate compression failed (%d)", {result}));
    }
    const size_t n = output_.size() - z.avail_out;
    Put(output_.data(), n);
    produced += n;
    if (finish ? result == Z_STREAM_END : z.avail_out != 0) break;
    if (result == Z_BUF_ERROR && n == 0) throw EZipError(u"Deflate compression failed");
  }
  return produced;
}

void TZipWriter::AppendTimeField(std::vector<uint8_t>& out) const {
  if (!time_.UnixTime || *time_.UnixTime < 0 ||
      *time_.UnixTime > std::numeric_limits<int32_t>::max()) {
    return;
  }
  Put16(out, kTimeFieldId);
  Put16(out, 5);
  out.push_back(1);  // modification time present
  Put32(out, static_cast<uint64_t>(*time_.UnixTime));
}

void TZipWriter::WriteLocalHeader(const Entry& entry) {
  const bool descriptor = (entry.flags & kFlagDataDescriptor) != 0;
  std::vector<uint8_t> extra;
  if (entry.local_zip64) {
    Put16(extra, kZip64FieldId);
    Put16(extra, 16);
    Put64(extra, descriptor ? 0 : entry.size);
    Put64(extra, descriptor ? 0 : entry.compressed_size);
  }
  AppendTimeField(extra);

  header_.clear();
  Put32(header_, kLocalHeaderSignature);
  Put16(header_, VersionNeeded(entry.method, entry.local_zip64));
  Put16(header_, entry.flags);
  Put16(header_, entry.method);
  Put16(header_, time_.DosTime);
  Put16(header_, time_.DosDate);
  Put32(header_, descriptor ? 0 : entry.crc);
  Put32(header_, entry.local_zip64 ? kMax32 : descriptor ? 0 : entry.compressed_size);
  Put32(header_, entry.local_zip64 ? kMax32 : descriptor ? 0 : entry.size);
  Put16(header_, entry.name.size());
  Put16(header_, extra.size());
  header_.insert(header_.end(), entry.name.begin(), entry.name.end());
  header_.insert(header_.end(), extra.begin(), extra.end());
  Put(header_.data(), header_.size());
}

void TZipWriter::AppendCentralRecord(std::vector<uint8_t>& out, const Entry& entry) const {
  const bool large_sizes = entry.size >= kMax32 || entry.compressed_size >= kMax32;
  const bool large_offset = entry.offset >= kMax32;
  std::vector<uint8_t> extra;
  if (large_sizes || large_offset) {
    Put16(extra, kZip64FieldId);
    Put16(extra, (large_sizes ? 16 : 0) + (large_offset ? 8 : 0));
    if (large_sizes) {
      Put64(extra, entry.size);
      Put64(extra, entry.compressed_size);
    }
    if (large_offset) Put64(extra, entry.offset);
  }
  AppendTimeField(extra);

  Put32(out, kCentralHeaderSignature);
  Put16(out, kVersionMadeBy);
  Put16(out, VersionNeeded(entry.method, entry.local_zip64 || large_sizes || large_offset));
  Put16(out, entry.flags);
  Put16(out, entry.method);
  Put16(out, time_.DosTime);
  Put16(out, time_.DosDate);
  Put32(out, entry.crc);
  Put32(out, large_sizes ? kMax32 : entry.compressed_size);
  Put32(out, large_sizes ? kMax32 : entry.size);
  Put16(out, entry.name.size());
  Put16(out, extra.size());
  Put16(out, 0);  // comment length
  Put16(out, 0);  // disk number
  Put16(out, 0);  // internal attributes
  Put32(out, 0);  // external attributes
  Put32(out, large_offset ? kMax32 : entry.offset);
  out.insert(out.end(), entry.name.begin(), entry.name.end());
  out.insert(out.end(), extra.begin(), extra.end());
}

void TZipWriter::AppendEndRecords(std::vector<uint8_t>& out, uint64_t directory_offset,
                                  uint64_t directory_size) const {
  const uint64_t count = entries_.size();
  // 0xFFFF and 0xFFFFFFFF are the markers that send readers to the Zip64 record, so a value
  // equal to a marker needs that record too.
  if (count >= kMax16 || directory_size >= kMax32 || directory_offset >= kMax32) {
    const uint64_t record_offset = directory_offset + directory_size;
    Put32(out, kZip64EndSignature);
    Put64(out, 44);  // size of the rest of this record
    Put16(out, kVersionMadeBy);
    Put16(out, kVersionZip64);
    Put32(out, 0);  // this disk
    Put32(out, 0);  // disk of the central directory
    Put64(out, count);
    Put64(out, count);
    Put64(out, directory_size);
    Put64(out, directory_offset);

    Put32(out, kZip64LocatorSignature);
    Put32(out, 0);  // disk of the Zip64 record
    Put64(out, record_offset);
    Put32(out, 1);  // number of disks
  }
  Put32(out, kEndSignature);
  Put16(out, 0);  // this disk
  Put16(out, 0);  // disk of the central directory
  Put16(out, std::min(count, kMax16));
  Put16(out, std::min(count, kMax16));
  Put32(out, std::min(directory_size, kMax32));
  Put32(out, std::min(directory_offset, kMax32));
  Put16(out, 0);  // comment length
}

void TZipWriter::Finish() {
  RequireOpen();
  try {
    const uint64_t directory_offset = written_;
    std::vector<uint8_t> block;
    for (const Entry& entry : entries_) {
      AppendCentralRecord(block, entry);
      if (block.size() >= TStream::kCopyChunk) {
        Put(block.data(), block.size());
        block.clear();
      }
    }
    Put(block.data(), block.size());
    block.clear();
    AppendEndRecords(block, directory_offset, written_ - directory_offset);
    Put(block.data(), block.size());
    destination_.Flush();
  } catch (...) {
    broken_ = true;
    throw;
  }
  finished_ = true;
}

}  // namespace nolu
