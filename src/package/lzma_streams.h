// The LZMA stream glue: LZMA1 compression and decompression between two TStreams, with an
// optional byte preprocessor on either side (the package scramble).
//
// Encoded stream layout (before any preprocessing):
//
//   offset  size  field
//   0       1     properties byte: (pb * 5 + lp) * 9 + lc
//   1       4     dictionary size, unsigned 32-bit little-endian
//   5       ...   LZMA1 range-coder data, no end-of-stream marker
//
// There is no uncompressed-size field: the decoded length is known from outside and handed to
// the decoder, which stops as soon as it has produced that many bytes, so an end marker or any
// bytes after that point do not matter.
//
// Failures raise EInvalidOperation "LZMA Error (%d)" with the codec's result code (see
// TLZMAResult). A corrupt or truncated stream is not an error of this layer: decoding just
// produces fewer (or wrong) bytes, and the caller's length and checksum checks find it.
#pragma once

#include <cstdint>
#include <functional>

#include "base/memory_stream.h"
#include "base/stream.h"

namespace nolu {

// The codec's result codes that this layer reports.
enum TLZMAResult : int {
  lrOk = 0,
  lrDataError = 1,    // corrupt or truncated data (decoding; never raised)
  lrOutOfMemory = 2,  // both directions
  lrUnsupported = 4,  // properties byte 225 or more (decoding)
  lrParamError = 5,   // encoder setting out of range (compression)
  lrReadError = 8,    // a source stream failed (the stream's own error is raised instead)
  lrWriteError = 9,   // the destination accepted fewer bytes than handed over
};

// Changes `count` bytes in place (the package scramble).
using TPreprocessor = std::function<void(uint8_t* buffer, int32_t count)>;

// Called after each block of a decoding into memory with the output's first byte and how many
// bytes are decoded so far. The bytes before that count are final, and the output never moves
// while it grows: another thread may read them as soon as it knows the count.
using TDecodeProgress = std::function<void(const uint8_t* data, size_t decoded)>;

// Called now and then while encoding with the bytes read and written so far. May throw to
// cancel; the exception reaches the caller of LZMACompress.
using TLZMAProgress = std::function<void(uint64_t in_bytes, uint64_t out_bytes)>;

// The two ends of a codec run. The streams are borrowed; either preprocessor may be empty.
struct TLZMAStreams {
  TPreprocessor DestPreprocessor;
  TStream* DestStream = nullptr;
  TPreprocessor SourcePreprocessor;
  TStream* SourceStream = nullptr;

  // Source side: reads up to `count` bytes (fewer at the end, 0 when there is nothing left)
  // and runs the source preprocessor over exactly the bytes read.
  size_t Read(uint8_t* buffer, size_t count);
  // Destination side: runs the destination preprocessor over the bytes in place, then writes
  // them; returns how many bytes the stream accepted.
  size_t Write(uint8_t* buffer, size_t count);
};

// Buffers of the decoder, and the largest step of either direction.
inline constexpr size_t kLZMABlockSize = 65536;

// Decodes from the source's position into the destination. `unpacked_size` is the number of
// bytes to produce, or -1 when it is not known (then decoding runs to an end marker or to the
// end of the input). Memory: the probability model, two 64 KiB blocks and a dictionary that
// grows with the output up to the size the properties declare.
void LZMADecompress(TStream& source, TStream& dest, const TPreprocessor& source_preprocessor,
                    int64_t unpacked_size);

// Decodes `unpacked_size` bytes from the source's position into `dest` (replacing what it
// held) and uses them as the decoder's dictionary: no dictionary of its own, no second copy of the
// output. Room for the whole output is reserved at once, so the caller bounds `unpacked_size`
// (the reader by what its encoded bytes can hold). Corrupt or truncated data ends the output
// early; `dest` then holds what was decoded.
void LZMADecompressToMemory(TStream& source, TMemoryStream& dest,
                            const TPreprocessor& source_preprocessor, uint32_t unpacked_size,
                            const TDecodeProgress& progress = {});

// Encodes everything from the source's position to its end and writes the encoded stream,
// properties first, at the destination's position. `level` is normalised as the LZMA SDK
// does: dictionary 2^(2 * level + 14) bytes for levels 0 to 5, 32 MiB at 6, 64 MiB above;
// fast mode with a 4-byte hash chain up to level 4, normal mode with a 4-byte binary tree
// from 5; 32 fast bytes up to level 6, 64 above; a negative level counts as 5.
void LZMACompress(TStream& source, TStream& dest, int level, const TPreprocessor& dest_preprocessor,
                  const TLZMAProgress& progress = {});

}  // namespace nolu
