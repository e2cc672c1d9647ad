#include "base/testing/zip_test_reader.h"

#include <zlib.h>

#include <stdexcept>

namespace nolu::testing {
namespace {

constexpr uint64_t kMax32 = 0xFFFFFFFF;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error("zip: " + what);
}

class Cursor {
 public:
  Cursor(const Bytes& bytes, uint64_t base, uint64_t at) : bytes_(bytes), base_(base), at_(at) {
    if (at < base) Fail("offset " + std::to_string(at) + " lies before the bytes kept");
  }
  uint64_t Get(int count) {
    Need(count);
    uint64_t value = 0;
    for (int i = 0; i < count; ++i)
      value |= uint64_t{bytes_[at_ - base_ + i]} << (8 * i);
    at_ += count;
    return value;
  }
  std::string Text(uint64_t count) {
    Need(count);
    std::string text(bytes_.begin() + (at_ - base_), bytes_.begin() + (at_ - base_ + count));
    at_ += count;
    return text;
  }
  void Expect(uint32_t signature, const char* what) {
    if (Get(4) != signature) Fail(std::string("no ") + what + " signature at " + Where());
  }
  uint64_t At() const { return at_; }
  std::string Where() const { return std::to_string(at_); }

 private:
  void Need(uint64_t count) const {
    if (at_ - base_ + count > bytes_.size()) Fail("truncated at " + Where());
  }
  const Bytes& bytes_;
  uint64_t base_;
  uint64_t at_;
};

struct ExtraFields {
  bool zip64 = false;
  std::vector<uint64_t> zip64_values;
  std::optional<uint32_t> unix_time;
};

ExtraFields ParseExtra(const std::string& extra) {
  Bytes bytes(extra.begin(), extra.end());
  Cursor c(bytes, 0, 0);
  ExtraFields fields;
  while (c.At() < bytes.size()) {
    const uint64_t id = c.Get(2);
    const uint64_t length = c.Get(2);
    if (id == 0x0001) {
      if (fields.zip64 || length % 8 != 0) Fail("bad Zip64 field");
      fields.zip64 = true;
      for (uint64_t i = 0; i < length / 8; ++i)
        fields.zip64_values.push_back(c.Get(8));
    } else if (id == 0x5455) {
      if (length != 5 || c.Get(1) != 1) Fail("bad extended timestamp field");
      fields.unix_time = static_cast<uint32_t>(c.Get(4));
    } else {
      Fail("unexpected extra field " + std::to_string(id));
    }
  }
  return fields;
}

// Replaces each 32-bit field holding the marker by the next Zip64 value, in field order, and
// demands that the Zip64 field holds exactly those values.
void ResolveZip64(const ExtraFields& extra, std::vector<uint64_t*> fields, const std::string& who) {
  size_t next = 0;
  for (uint64_t* field : fields) {
    if (*field != kMax32) continue;
    if (next >= extra.zip64_values.size()) Fail(who + ": marker without a Zip64 value");
    *field = extra.zip64_values[next++];
  }
  if (next != extra.zip64_values.size()) Fail(who + ": Zip64 values without markers");
}

Bytes Inflate(const uint8_t* data, uint64_t size, uint64_t expected) {
  Bytes out(expected);
  z_stream z{};
  if (inflateInit2(&z, -MAX_WBITS) != Z_OK) Fail("inflateInit2");
  // Fed in slices, since a count of zlib is 32 bits.
  uint64_t in_done = 0, out_done = 0;
  int result = Z_OK;
  while (result == Z_OK) {
    const uInt in_slice = static_cast<uInt>(std::min<uint64_t>(size - in_done, 1u << 30));
    const uInt out_slice = static_cast<uInt>(std::min<uint64_t>(expected - out_done, 1u << 30));
    z.next_in = const_cast<uint8_t*>(data + in_done);
    z.avail_in = in_slice;
    z.next_out = out.data() + out_done;
    z.avail_out = out_slice;
    result = inflate(&z, Z_NO_FLUSH);
    in_done += in_slice - z.avail_in;
    out_done += out_slice - z.avail_out;
  }
  inflateEnd(&z);
  if (result != Z_STREAM_END) Fail("Deflate data does not end properly");
  if (in_done != size) Fail("bytes after the end of the Deflate data");
  if (out_done != expected) Fail("inflated size differs");
  return out;
}

}  // namespace

TestZipArchive ReadZipDirectoryForTest(const Bytes& tail, uint64_t tail_offset) {
  TestZipArchive archive;
  const uint64_t end = tail_offset + tail.size();
  if (tail.size() < 22) Fail("too short for an end record");
  Cursor eocd(tail, tail_offset, end - 22);
  eocd.Expect(0x06054B50, "end record");
  if (eocd.Get(2) != 0 || eocd.Get(2) != 0) Fail("disk numbers in the end record");
  uint64_t count = eocd.Get(2);
  if (eocd.Get(2) != count) Fail("entry counts differ in the end record");
  uint64_t directory_size = eocd.Get(4);
  uint64_t directory_offset = eocd.Get(4);
  if (eocd.Get(2) != 0) Fail("comment present");
  uint64_t directory_end = end - 22;

  const bool needs_zip64 =
      count == 0xFFFF || directory_size == kMax32 || directory_offset == kMax32;
  if (tail.size() >= 22 + 20) {
    Cursor locator(tail, tail_offset, end - 22 - 20);
    archive.zip64_end = locator.Get(4) == 0x07064B50;
  }
  if (archive.zip64_end) {
    Cursor locator(tail, tail_offset, end - 22 - 20 + 4);
    if (locator.Get(4) != 0) Fail("disk in the Zip64 locator");
    const uint64_t record = locator.Get(8);
    if (locator.Get(4) != 1) Fail("disk count in the Zip64 locator");
    if (record + 56 != end - 22 - 20) Fail("the Zip64 end record is not before its locator");
    Cursor z(tail, tail_offset, record);
    z.Expect(0x06064B50, "Zip64 end record");
    if (z.Get(8) != 44) Fail("Zip64 end record size");
    z.Get(2);
    if (z.Get(2) != 45) Fail("Zip64 end record version needed");
    if (z.Get(4) != 0 || z.Get(4) != 0) Fail("disk numbers in the Zip64 end record");
    const uint64_t count64 = z.Get(8);
    if (z.Get(8) != count64) Fail("entry counts differ in the Zip64 end record");
    const uint64_t size64 = z.Get(8);
    const uint64_t offset64 = z.Get(8);
    // A classic field holds its value or, when that does not fit, the marker.
    if (count != std::min<uint64_t>(count64, 0xFFFF) ||
        directory_size != std::min(size64, kMax32) ||
        directory_offset != std::min(offset64, kMax32)) {
      Fail("the end record disagrees with the Zip64 end record");
    }
    if (!needs_zip64) Fail("Zip64 end record where the classic one suffices");
    count = count64, directory_size = size64, directory_offset = offset64;
    directory_end = record;
  } else if (needs_zip64) {
    Fail("marker in the end record without a Zip64 end record");
  }
  if (directory_offset + directory_size != directory_end) {
    Fail("the central directory does not end where the end records begin");
  }
  archive.directory_offset = directory_offset;
  archive.directory_size = directory_size;

  Cursor c(tail, tail_offset, directory_offset);
  for (uint64_t i = 0; i < count; ++i) {
    TestZipEntry e;
    c.Expect(0x02014B50, "central record");
    e.version_made_by = static_cast<uint16_t>(c.Get(2));
    e.version_needed = static_cast<uint16_t>(c.Get(2));
    e.flags = static_cast<uint16_t>(c.Get(2));
    e.method = static_cast<uint16_t>(c.Get(2));
    e.dos_time = static_cast<uint16_t>(c.Get(2));
    e.dos_date = static_cast<uint16_t>(c.Get(2));
    e.crc = static_cast<uint32_t>(c.Get(4));
    e.compressed_size = c.Get(4);
    e.size = c.Get(4);
    const uint64_t name_length = c.Get(2);
    const uint64_t extra_length = c.Get(2);
    if (c.Get(2) != 0 || c.Get(2) != 0) Fail("comment or disk in a central record");
    c.Get(2);
    c.Get(4);
    e.offset = c.Get(4);
    e.name = c.Text(name_length);
    const ExtraFields extra = ParseExtra(c.Text(extra_length));
    ResolveZip64(extra, {&e.size, &e.compressed_size, &e.offset}, e.name);
    e.central_zip64 = extra.zip64;
    e.unix_time = extra.unix_time;
    if (e.central_zip64 && e.version_needed < 45) Fail(e.name + ": Zip64 needs version 4.5");
    archive.entries.push_back(std::move(e));
  }
  if (c.At() != directory_end) Fail("the central directory's size is wrong");
  return archive;
}

TestZipArchive ReadZipForTest(const Bytes& bytes) {
  TestZipArchive archive = ReadZipDirectoryForTest(bytes);
  uint64_t expected_offset = 0;
  for (TestZipEntry& e : archive.entries) {
    if (e.offset != expected_offset) Fail(e.name + ": gap or overlap before the local header");
    Cursor c(bytes, 0, e.offset);
    c.Expect(0x04034B50, "local header");
    const uint64_t version = c.Get(2);
    if (c.Get(2) != e.flags || c.Get(2) != e.method || c.Get(2) != e.dos_time ||
        c.Get(2) != e.dos_date) {
      Fail(e.name + ": local header disagrees with the central record");
    }
    uint64_t crc = c.Get(4), compressed_size = c.Get(4), size = c.Get(4);
    const uint64_t name_length = c.Get(2);
    const uint64_t extra_length = c.Get(2);
    if (c.Text(name_length) != e.name) Fail(e.name + ": local name differs");
    const ExtraFields extra = ParseExtra(c.Text(extra_length));
    e.local_zip64 = extra.zip64;
    if (e.local_zip64 && version < 45) Fail(e.name + ": local Zip64 needs version 4.5");
    if (extra.unix_time != e.unix_time) Fail(e.name + ": local timestamp differs");
    if (e.local_zip64 && e.version_needed < 45) Fail(e.name + ": central version below local");
    const bool descriptor = (e.flags & (1 << 3)) != 0;
    if (e.local_zip64) {
      if (size != kMax32 || compressed_size != kMax32 || extra.zip64_values.size() != 2) {
        Fail(e.name + ": a local Zip64 field holds both sizes");
      }
      size = extra.zip64_values[0];
      compressed_size = extra.zip64_values[1];
    } else if (extra.zip64) {
      Fail(e.name + ": unexpected local Zip64 field");
    }
    const uint64_t data_start = c.At();
    if (descriptor) {
      if (crc != 0 || size != 0 || compressed_size != 0) {
        Fail(e.name + ": local values must be zero with a data descriptor");
      }
      Cursor d(bytes, 0, data_start + e.compressed_size);
      d.Expect(0x08074B50, "data descriptor");
      const int width = e.local_zip64 ? 8 : 4;
      crc = d.Get(4), compressed_size = d.Get(width), size = d.Get(width);
      expected_offset = d.At();
    } else {
      expected_offset = data_start + e.compressed_size;
    }
    if (crc != e.crc || size != e.size || compressed_size != e.compressed_size) {
      Fail(e.name + ": CRC or sizes differ between local and central");
    }
    if (data_start + e.compressed_size > bytes.size()) Fail(e.name + ": data truncated");
    const uint8_t* data = bytes.data() + data_start;
    if (e.method == 0) {
      if (e.compressed_size != e.size) Fail(e.name + ": stored sizes differ");
      e.data.assign(data, data + e.size);
    } else if (e.method == 8) {
      e.data = Inflate(data, e.compressed_size, e.size);
    } else {
      Fail(e.name + ": unknown method");
    }
    if (crc32_z(0, e.data.data(), e.data.size()) != e.crc) Fail(e.name + ": CRC mismatch");
  }
  if (expected_offset != archive.directory_offset) {
    Fail("gap between the last entry and the central directory");
  }
  return archive;
}

}  // namespace nolu::testing
