// TZipWriter: writes a zip archive to a stream, one Deflate entry after another; the backups
// of user profiles and program folders are made with it.
//
// It streams: an entry is read from its source in chunks of TStream::kCopyChunk bytes and its
// compressed bytes go out as they come, so memory stays the same whatever the size of a file
// (two chunk-sized buffers and the Deflate state, plus one small record per entry for the
// central directory). It never seeks: the destination may be any stream that takes writes,
// and the archive begins at the destination's position (offsets count from there).
//
// Layout of what it writes (integers little-endian, offsets in bytes):
//
//   For each entry, in the order added:
//     local file header, 30 bytes + name + extra fields
//        0  4  signature 0x04034B50 ("PK\3\4")
//        4  2  version needed to extract: 10 stored, 20 Deflate, 45 with a Zip64 field
//        6  2  flags: bit 3 = CRC and sizes follow the data in a data descriptor,
//                     bit 11 = the name is UTF-8 (set on every entry)
//        8  2  method: 0 stored, 8 Deflate
//       10  2  DOS time       } the archive's one TZipTime
//       12  2  DOS date       }
//       14  4  CRC-32          } 0 with bit 3; the sizes are 0xFFFFFFFF when a Zip64 field
//       18  4  compressed size } follows, which then holds them (or zeros with bit 3)
//       22  4  size            }
//       26  2  name length, 28 2 extra fields length
//     the entry's data
//     data descriptor (bit 3 only): signature 0x08074B50, CRC-32, compressed size, size; the
//       sizes take 8 bytes each when the local header has a Zip64 field, else 4
//   Central directory, one record per entry, 46 bytes + name + extra fields:
//        0  4  signature 0x02014B50 ("PK\1\2")
//        4  2  version made by: 0x003F (MS-DOS attributes, format 6.3 for UTF-8 names)
//        6  2  version needed, 8 flags, 10 method, 12 time, 14 date, 16 CRC-32 (as local)
//       20  4  compressed size, 24 4 size, 42 4 local header offset: 0xFFFFFFFF when the value
//              does not fit; the Zip64 field then holds it
//       28  2  name length, 30 extra length, 32 comment length (0), 34 disk (0),
//       36  2  internal attributes (0), 38 4 external attributes (0)
//   Zip64 end of central directory record (56 bytes, "PK\6\6") and its locator (20 bytes,
//     "PK\6\7"), when the entry count reaches 0xFFFF or the directory's size or offset does not
//     fit 32 bits
//   End of central directory record, 22 bytes ("PK\5\6"), no comment; a field that does not
//     fit holds 0xFFFF or 0xFFFFFFFF and the Zip64 record the value
//
// Extra fields: Zip64 (0x0001) with the 8-byte values in the order size, compressed size,
// offset, each present only when its header field is 0xFFFFFFFF (both sizes together);
// extended timestamp (0x5455) with the modification time when the TZipTime has a UnixTime
// that fits 32 bits.
//
// Why data descriptors rather than seeking back to patch the header: the writer then needs
// nothing of the destination but writes, never rewrites bytes it has written, and a file whose
// whole content fits the first chunk (most files of a profile) still gets an exact header and
// no descriptor. A streamed entry's local header must say before its data whether it carries a
// Zip64 field; it does when the source's remaining size (Size - Position) is unknown or at
// least 4 GiB less 256 MiB (room for Deflate's growth and a file that grows). A file that grows
// past 4 GiB while it is read despite a smaller size raises EZipError rather than write an entry
// that readers would misread.
//
// Entries whose whole content fits the first chunk and does not shrink under Deflate are
// stored: never larger than the file, and the method is known before the header is written.
// Longer entries are always Deflate (a stored entry with a data descriptor cannot be read by
// streaming readers).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/stream.h"
#include "base/text.h"
#include "base/zip_time.h"

struct z_stream_s;

namespace nolu {

class TZipWriter {
 public:
  static constexpr int kDefaultLevel = 6;

  // The destination must outlive the writer. `level` is the Deflate level, 0 to 9; another
  // value raises EZipError.
  TZipWriter(TStream& destination, const TZipTime& time, int level = kDefaultLevel);
  // Does not finish the archive: without Finish the destination holds no valid zip file.
  ~TZipWriter();
  TZipWriter(const TZipWriter&) = delete;
  TZipWriter& operator=(const TZipWriter&) = delete;

  // Adds an entry with the bytes of `source` from its position to its end. `name` is a
  // relative path with "\" or "/" between its parts; it is stored with "/". A name that is
  // empty, absolute, holds an empty, "." or ".." part, a ":" or a control character raises
  // EZipError and leaves the archive as it was. Errors of the source (reading) and of the
  // destination (writing) propagate as they are, for the caller to name the file; when part of
  // the entry had been written by then, the writer refuses all further calls with
  // EInvalidOperation, since the archive cannot be completed.
  void AddEntry(StringView name, TStream& source);
  // Writes the central directory and the end records, then flushes the destination. Nothing
  // may be added afterwards.
  void Finish();

  size_t EntryCount() const { return entries_.size(); }
  // Bytes written to the destination so far.
  uint64_t BytesWritten() const { return written_; }

 private:
  struct Entry {
    std::string name;  // UTF-8, "/" between parts
    uint16_t flags = 0;
    uint16_t method = 0;
    bool local_zip64 = false;
    uint32_t crc = 0;
    uint64_t compressed_size = 0;
    uint64_t size = 0;
    uint64_t offset = 0;
  };
  struct ZStreamDeleter {
    void operator()(z_stream_s* z) const;
  };

  void RequireOpen() const;
  size_t FillInput(TStream& source);
  void WriteWholeEntry(Entry& entry, size_t size);
  void WriteStreamedEntry(Entry& entry, TStream& source, size_t first, uint64_t size_hint);
  // Deflates `count` bytes of the input buffer and writes what comes out; `finish` ends the
  // Deflate stream. Returns the number of compressed bytes written.
  uint64_t Deflate(size_t count, bool finish);
  void WriteLocalHeader(const Entry& entry);
  void AppendCentralRecord(std::vector<uint8_t>& out, const Entry& entry) const;
  void AppendEndRecords(std::vector<uint8_t>& out, uint64_t directory_offset,
                        uint64_t directory_size) const;
  void AppendTimeField(std::vector<uint8_t>& out) const;
  void Put(const void* data, size_t count);

  TStream& destination_;
  TZipTime time_;
  std::unique_ptr<z_stream_s, ZStreamDeleter> zstream_;
  std::vector<uint8_t> input_;
  std::vector<uint8_t> output_;
  std::vector<uint8_t> header_;
  std::vector<Entry> entries_;
  uint64_t written_ = 0;
  bool finished_ = false;
  bool broken_ = false;
};

}  // namespace nolu
