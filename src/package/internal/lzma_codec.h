// The codec runs behind LZMADecompress and LZMACompress, with the allocator and the encoder
// settings as parameters, so that tests can reach the out-of-memory and bad-setting results.
#pragma once

#include "package/internal/lzma_sdk.h"
#include "package/lzma_streams.h"

namespace nolu::package_internal {

// malloc and free.
ISzAlloc* DefaultAllocator();

// The encoder settings of a compression level, normalised by the SDK.
CLzmaEncProps LevelProps(int level);

// Run the codec and return its result code (TLZMAResult). An exception of a stream or of the
// progress callback propagates after the codec has been freed.
int DecodeStream(TLZMAStreams& streams, int64_t unpacked_size, ISzAlloc* alloc);
// Decodes into `dest` (empty) through the source side of `streams` (see LZMADecompress).
int DecodeIntoMemory(TLZMAStreams& streams, TMemoryStream& dest, uint32_t unpacked_size,
                     ISzAlloc* alloc, const TDecodeProgress& progress = {});
int EncodeStream(TLZMAStreams& streams, const CLzmaEncProps& props, ISzAlloc* alloc,
                 const TLZMAProgress& progress);

// Raises EInvalidOperation "LZMA Error (%d)".
[[noreturn]] void RaiseLZMAError(int code);

}  // namespace nolu::package_internal
