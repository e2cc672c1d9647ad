#include "package/setup_package_reader.h"

#include <algorithm>
#include <cstring>

#include "base/format.h"
#include "package/internal/little_endian.h"
#include "package/lzma_streams.h"
#include "package/package_crc.h"
#include "package/setup_package_read_error.h"

namespace nolu {

using package_internal::LoadLittleEndian;

uint64_t TSetupPackageReader::MaxDecodedSize(uint64_t encoded_size) {
  constexpr uint64_t kMaxExpansion = 8192;  // above the bound, with room to spare
  constexpr uint64_t kSlack = 64 * 1024;
  return encoded_size * kMaxExpansion + kSlack;
}

TSetupPackageReader::TSetupPackageReader(TStream& source, StringView key) {
  DecodeBody(source, body_, key);
  LoadFileTable();
}

TSetupPackageReader::TSetupPackageReader(Bytes decoded_body)
    : TCustomSetupPackage(std::move(decoded_body)) {
  LoadFileTable();
}

void TSetupPackageReader::DecodeBody(TStream& source, TMemoryStream& body, StringView key,
                                     const TDecodeProgress& progress) {
  uint8_t header[kHeaderSize];
  source.ReadBuffer(header, sizeof header);
  if (std::memcmp(header, kMagic, sizeof kMagic) != 0) {
    throw ESetupPackageReadError(u"the file does not begin with \"IPK5\"");
  }
  const auto checksum = LoadLittleEndian<uint32_t>(header + 4);
  const auto decoded_size = LoadLittleEndian<uint32_t>(header + 8);

  // A size the encoded bytes cannot hold is refused before anything is allocated for it.
  const int64_t encoded_size = std::max<int64_t>(source.Size() - source.Position(), 0);
  if (decoded_size > MaxDecodedSize(static_cast<uint64_t>(encoded_size))) {
    throw ESetupPackageReadError(
        Format(u"the header says %d bytes, more than %d encoded bytes hold",
               {decoded_size, encoded_size}));
  }
  TSetupPackageScrambler scrambler;
  scrambler.SetKey(key);
  LZMADecompressToMemory(
      source, body,
      [&scrambler](uint8_t* buffer, int32_t count) { scrambler.Process(buffer, count); },
      decoded_size, progress);

  const auto body_size = static_cast<int64_t>(body.Bytes().size());
  if (body_size != decoded_size) {
    throw ESetupPackageReadError(
        Format(u"the body decodes to %d bytes, the header says %d", {body_size, decoded_size}));
  }
  const uint32_t actual = PackageCrc(body.Data(), body.Bytes().size());
  if (actual != checksum) {
    throw ESetupPackageReadError(Format(u"the body's checksum is %s, the header says %s",
                                        {ChecksumText(actual), ChecksumText(checksum)}));
  }
  body.SetPosition(0);
}

}  // namespace nolu
