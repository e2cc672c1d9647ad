#include "package/lzma_streams.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>

#include "base/errors.h"
#include "base/format.h"
#include "package/internal/lzma_codec.h"

namespace nolu {

static_assert(lrDataError == SZ_ERROR_DATA && lrOutOfMemory == SZ_ERROR_MEM &&
              lrUnsupported == SZ_ERROR_UNSUPPORTED && lrParamError == SZ_ERROR_PARAM &&
              lrReadError == SZ_ERROR_READ && lrWriteError == SZ_ERROR_WRITE);

size_t TLZMAStreams::Read(uint8_t* buffer, size_t count) {
  // The preprocessor counts in 32 bits; a short read is always allowed.
  count = std::min<size_t>(count, std::numeric_limits<int32_t>::max());
  const size_t got = SourceStream->Read(buffer, count);
  if (got > 0 && SourcePreprocessor) SourcePreprocessor(buffer, static_cast<int32_t>(got));
  return got;
}

size_t TLZMAStreams::Write(uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const size_t n = std::min<size_t>(count - done, std::numeric_limits<int32_t>::max());
    if (DestPreprocessor) DestPreprocessor(buffer + done, static_cast<int32_t>(n));
    const size_t put = DestStream->Write(buffer + done, n);
    done += put;
    if (put < n) break;
  }
  return done;
}

namespace package_internal {
namespace {

void* AllocBytes(void*, size_t size) {
  return std::malloc(size);
}
void FreeBytes(void*, void* address) {
  std::free(address);
}

// Largest dictionary the encoder accepts, whatever the machine's word size.
constexpr uint32_t kMaxEncoderDictionary = uint32_t{1} << 27;

// ---------------------------------------------------------------------------- decoding

// The decoder's state and its dictionary, freed on every way out.
class DecoderState {
 public:
  explicit DecoderState(ISzAlloc* alloc) : alloc_(alloc) {
    LzmaDec_Construct(&dec_);
    dec_.dicPos = 0;
    dec_.dicBufSize = 0;
  }
  ~DecoderState() {
    LzmaDec_FreeProbs(&dec_, alloc_);
    if (owns_dictionary_) alloc_->Free(alloc_, dec_.dic);
  }
  DecoderState(const DecoderState&) = delete;
  DecoderState& operator=(const DecoderState&) = delete;

  CLzmaDec& dec() { return dec_; }

  // The dictionary starts small and doubles while the output has not yet wrapped around it,
  // up to `target`: a hostile header that declares 4 GiB costs nothing until the data is
  // there. The decoder only ever addresses bytes it has produced, so the content is linear
  // until the buffer reaches its final size.
  SRes Grow(size_t target) {
    const size_t size = dec_.dicBufSize == 0 ? std::min(target, kLZMABlockSize)
                                             : std::min(target, dec_.dicBufSize * 2);
    auto* dic = static_cast<Byte*>(alloc_->Alloc(alloc_, size));
    if (!dic) return SZ_ERROR_MEM;
    if (dec_.dicPos > 0) std::memcpy(dic, dec_.dic, dec_.dicPos);
    alloc_->Free(alloc_, dec_.dic);
    dec_.dic = dic;
    dec_.dicBufSize = size;
    return SZ_OK;
  }

  // The decoder writes into the caller's `size` bytes from now on (they are never freed
  // here). As long as the output never wraps, its bytes are the dictionary; it may move
  // between calls, since the decoder keeps positions, not pointers.
  void UseOutput(Byte* output, size_t size) {
    owns_dictionary_ = false;
    dec_.dic = output;
    dec_.dicBufSize = size;
  }

 private:
  ISzAlloc* alloc_;
  CLzmaDec dec_;
  bool owns_dictionary_ = true;
};

size_t ReadUpTo(TLZMAStreams& streams, uint8_t* buffer, size_t count) {
  size_t done = 0;
  while (done < count) {
    const size_t got = streams.Read(buffer + done, count - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

// ---------------------------------------------------------------------------- encoding
// Adapters handed to the C codec. Each begins with the SDK's struct, which is what the codec
// passes back as `p`; they hold only pointers so that they stay standard-layout. A C++
// exception never crosses the codec: it is parked and rethrown once the codec has returned.

struct SourceAdapter {
  ISeqInStream vt;
  TLZMAStreams* streams;
  std::exception_ptr* error;
};

SRes ReadSource(void* p, void* buffer, size_t* size) {
  auto* self = static_cast<SourceAdapter*>(p);
  try {
    *size = self->streams->Read(static_cast<uint8_t*>(buffer), *size);
    return SZ_OK;
  } catch (...) {
    *self->error = std::current_exception();
    *size = 0;
    return SZ_ERROR_READ;
  }
}

struct DestAdapter {
  ISeqOutStream vt;
  TLZMAStreams* streams;
  std::exception_ptr* error;
  Bytes* scratch;
};

size_t WriteDest(void* p, const void* buffer, size_t size) {
  auto* self = static_cast<DestAdapter*>(p);
  try {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    if (!self->streams->DestPreprocessor) {
      // Nothing changes the bytes on this path.
      return self->streams->Write(const_cast<uint8_t*>(bytes), size);
    }
    // The preprocessor works in place; it gets a copy so that the encoder's own buffer is
    // never touched, whatever the encoder does with it later.
    Bytes& scratch = *self->scratch;
    scratch.assign(bytes, bytes + size);
    return self->streams->Write(scratch.data(), size);
  } catch (...) {
    *self->error = std::current_exception();
    return 0;
  }
}

struct ProgressAdapter {
  ICompressProgress vt;
  const TLZMAProgress* progress;
  std::exception_ptr* error;
};

SRes ReportProgress(void* p, UInt64 in_size, UInt64 out_size) {
  auto* self = static_cast<ProgressAdapter*>(p);
  try {
    (*self->progress)(in_size, out_size);
    return SZ_OK;
  } catch (...) {
    *self->error = std::current_exception();
    return SZ_ERROR_PROGRESS;
  }
}

class EncoderHandle {
 public:
  explicit EncoderHandle(ISzAlloc* alloc) : alloc_(alloc), enc_(LzmaEnc_Create(alloc)) {}
  ~EncoderHandle() {
    if (enc_) LzmaEnc_Destroy(enc_, alloc_, alloc_);
  }
  EncoderHandle(const EncoderHandle&) = delete;
  EncoderHandle& operator=(const EncoderHandle&) = delete;
  CLzmaEncHandle get() const { return enc_; }

 private:
  ISzAlloc* alloc_;
  CLzmaEncHandle enc_;
};

// Reads the stream's property bytes into `props` and allocates the decoder's probabilities.
SRes StartDecoder(TLZMAStreams& streams, DecoderState& state, CLzmaProps& props, ISzAlloc* alloc) {
  Byte header[LZMA_PROPS_SIZE];
  if (ReadUpTo(streams, header, sizeof header) < sizeof header) return SZ_ERROR_DATA;
  if (LzmaProps_Decode(&props, header, sizeof header) != SZ_OK) return SZ_ERROR_UNSUPPORTED;
  return LzmaDec_AllocateProbs(&state.dec(), header, sizeof header, alloc);
}

}  // namespace

ISzAlloc* DefaultAllocator() {
  // The SDK wants a mutable pointer; nothing ever changes this table.
  static ISzAlloc allocator = {AllocBytes, FreeBytes};
  return &allocator;
}

CLzmaEncProps LevelProps(int level) {
  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.level = level;
  props.writeEndMark = 0;
  props.numThreads = 1;
  LzmaEncProps_Normalize(&props);
  return props;
}

int DecodeStream(TLZMAStreams& streams, int64_t unpacked_size, ISzAlloc* alloc) {
  DecoderState state(alloc);
  CLzmaDec& dec = state.dec();
  CLzmaProps props;
  RINOK(StartDecoder(streams, state, props, alloc));
  // The dictionary never needs to be larger than the whole output.
  size_t dictionary = props.dicSize;
  if (unpacked_size >= 0 && static_cast<uint64_t>(unpacked_size) < dictionary) {
    dictionary = std::max<size_t>(static_cast<size_t>(unpacked_size), 1);
  }
  RINOK(state.Grow(dictionary));
  LzmaDec_Init(&dec);

  std::unique_ptr<Byte[]> input(new (std::nothrow) Byte[kLZMABlockSize]);
  if (!input) return SZ_ERROR_MEM;
  size_t in_pos = 0, in_len = 0;
  int64_t remaining = unpacked_size;

  while (remaining != 0) {
    if (in_pos == in_len) {
      in_len = streams.Read(input.get(), kLZMABlockSize);
      in_pos = 0;
    }
    if (dec.dicPos == dec.dicBufSize) {
      if (dec.dicBufSize < dictionary) {
        RINOK(state.Grow(dictionary));
      } else {
        dec.dicPos = 0;
      }
    }
    const size_t start = dec.dicPos;
    size_t limit = std::min(dec.dicBufSize, start + kLZMABlockSize);
    ELzmaFinishMode finish = LZMA_FINISH_ANY;
    if (remaining > 0 && static_cast<uint64_t>(remaining) <= limit - start) {
      limit = start + static_cast<size_t>(remaining);
      finish = LZMA_FINISH_END;
    }
    size_t consumed = in_len - in_pos;
    ELzmaStatus status;
    const SRes res =
        LzmaDec_DecodeToDic(&dec, limit, input.get() + in_pos, &consumed, finish, &status);
    in_pos += consumed;
    const size_t produced = dec.dicPos - start;
    if (produced > 0) {
      if (streams.Write(dec.dic + start, produced) != produced) return SZ_ERROR_WRITE;
      if (remaining > 0) remaining -= static_cast<int64_t>(produced);
    }
    if (res != SZ_OK) return res;
    if (consumed == 0 && produced == 0) {
      const bool ended = remaining < 0 && status == LZMA_STATUS_FINISHED_WITH_MARK;
      return ended ? SZ_OK : SZ_ERROR_DATA;
    }
  }
  return SZ_OK;
}

int DecodeIntoMemory(TLZMAStreams& streams, TMemoryStream& dest, uint32_t unpacked_size,
                     ISzAlloc* alloc, const TDecodeProgress& progress) {
  DecoderState state(alloc);
  CLzmaDec& dec = state.dec();
  CLzmaProps props;
  RINOK(StartDecoder(streams, state, props, alloc));
  dest.SetSize(0);
  try {
    dest.Reserve(unpacked_size);
  } catch (const std::bad_alloc&) {
    return SZ_ERROR_MEM;
  } catch (const std::length_error&) {
    return SZ_ERROR_MEM;
  }
  LzmaDec_Init(&dec);

  std::unique_ptr<Byte[]> input(new (std::nothrow) Byte[kLZMABlockSize]);
  if (!input) return SZ_ERROR_MEM;
  size_t in_pos = 0, in_len = 0;
  // The output grows a block at a time, just ahead of the decoder, so that a stream that
  // ends early leaves no tail of zeros behind and the decoder never sees bytes it did not
  // write. The positions stay below 4 GiB, where the decoder's counters do not wrap.
  while (dec.dicPos < unpacked_size) {
    if (in_pos == in_len) {
      in_len = streams.Read(input.get(), kLZMABlockSize);
      in_pos = 0;
    }
    const size_t start = dec.dicPos;
    const size_t limit = start + std::min<size_t>(kLZMABlockSize, unpacked_size - start);
    dest.SetSize(static_cast<int64_t>(limit));
    state.UseOutput(dest.Data(), limit);
    size_t consumed = in_len - in_pos;
    ELzmaStatus status;
    const SRes res =
        LzmaDec_DecodeToDic(&dec, limit, input.get() + in_pos, &consumed,
                            limit == unpacked_size ? LZMA_FINISH_END : LZMA_FINISH_ANY, &status);
    in_pos += consumed;
    if (res != SZ_OK || (consumed == 0 && dec.dicPos == start)) {
      dest.SetSize(static_cast<int64_t>(dec.dicPos));
      return res != SZ_OK ? res : SZ_ERROR_DATA;
    }
    if (progress) progress(dest.Data(), dec.dicPos);
  }
  return SZ_OK;
}

int EncodeStream(TLZMAStreams& streams, const CLzmaEncProps& props, ISzAlloc* alloc,
                 const TLZMAProgress& progress) {
  CLzmaEncProps normalized = props;
  LzmaEncProps_Normalize(&normalized);
  if (normalized.dictSize > kMaxEncoderDictionary) return SZ_ERROR_PARAM;

  EncoderHandle encoder(alloc);
  if (!encoder.get()) return SZ_ERROR_MEM;
  RINOK(LzmaEnc_SetProps(encoder.get(), &normalized));

  Byte header[LZMA_PROPS_SIZE];
  SizeT header_size = sizeof header;
  RINOK(LzmaEnc_WriteProperties(encoder.get(), header, &header_size));
  if (streams.Write(header, header_size) != header_size) return SZ_ERROR_WRITE;

  std::exception_ptr error;
  Bytes scratch;
  SourceAdapter source{{ReadSource}, &streams, &error};
  DestAdapter dest{{WriteDest}, &streams, &error, &scratch};
  ProgressAdapter reporter{{ReportProgress}, &progress, &error};
  const SRes res = LzmaEnc_Encode(encoder.get(), &dest.vt, &source.vt,
                                  progress ? &reporter.vt : nullptr, alloc, alloc);
  if (error) std::rethrow_exception(error);
  return res;
}

void RaiseLZMAError(int code) {
  throw EInvalidOperation(Format(u"LZMA Error (%d)", {code}));
}

}  // namespace package_internal

void LZMADecompress(TStream& source, TStream& dest, const TPreprocessor& source_preprocessor,
                    int64_t unpacked_size) {
  TLZMAStreams streams{{}, &dest, source_preprocessor, &source};
  const int res =
      package_internal::DecodeStream(streams, unpacked_size, package_internal::DefaultAllocator());
  // A data error only means fewer or wrong bytes; the caller's checks report it.
  if (res != SZ_OK && res != SZ_ERROR_DATA) package_internal::RaiseLZMAError(res);
}

void LZMADecompressToMemory(TStream& source, TMemoryStream& dest,
                            const TPreprocessor& source_preprocessor, uint32_t unpacked_size,
                            const TDecodeProgress& progress) {
  TLZMAStreams streams{{}, nullptr, source_preprocessor, &source};
  const int res = package_internal::DecodeIntoMemory(
      streams, dest, unpacked_size, package_internal::DefaultAllocator(), progress);
  if (res != SZ_OK && res != SZ_ERROR_DATA) package_internal::RaiseLZMAError(res);
}

void LZMACompress(TStream& source, TStream& dest, int level, const TPreprocessor& dest_preprocessor,
                  const TLZMAProgress& progress) {
  TLZMAStreams streams{dest_preprocessor, &dest, {}, &source};
  const int res = package_internal::EncodeStream(streams, package_internal::LevelProps(level),
                                                 package_internal::DefaultAllocator(), progress);
  if (res != SZ_OK) package_internal::RaiseLZMAError(res);
}

}  // namespace nolu
