#include "package/package_test_data.h"

#include <algorithm>
#include <cstring>

#include "base/errors.h"
#include "package/lzma_streams.h"
#include "package/package_crc.h"
#include "package/setup_package_scrambler.h"

namespace nolu::testing {

Bytes MixedBytes(size_t size, uint32_t seed) {
  static const char kWords[][8] = {"setup", "nolu",  "player", "media",  "skin",
                                   "codec", "audio", "video",  "plugin", "lang"};
  uint32_t state = seed * 2654435761u + 12345;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  Bytes out;
  out.reserve(size);
  while (out.size() < size) {
    const uint32_t r = next();
    switch (r % 4) {
      case 0: {  // a word and a blank
        const char* word = kWords[(r >> 8) % 10];
        out.insert(out.end(), word, word + std::strlen(word));
        out.push_back(' ');
        break;
      }
      case 1: {  // a repeat of earlier bytes, near or far
        if (out.size() < 16) break;
        const size_t distance = 1 + (r >> 4) % std::min<size_t>(out.size(), 200000);
        const size_t length = 3 + (r >> 24) % 60;
        for (size_t i = 0; i < length; ++i)
          out.push_back(out[out.size() - distance]);
        break;
      }
      default:  // noise
        for (int i = 0; i < 4; ++i)
          out.push_back(static_cast<uint8_t>(next()));
        break;
    }
  }
  out.resize(size);
  return out;
}

String PathToString(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::wstring wide = path.wstring();
  return String(wide.begin(), wide.end());
#else
  return Utf8ToString(path.string());
#endif
}

size_t TLimitedStream::Write(const void* buffer, size_t count) {
  const size_t room = limit_ - std::min(limit_, static_cast<size_t>(Size()));
  return TMemoryStream::Write(buffer, std::min(count, room));
}

size_t TFailingStream::Read(void* buffer, size_t count) {
  if (moved_ + count > after_) throw EStreamError(u"the medium failed");
  moved_ += count;
  return TMemoryStream::Read(buffer, count);
}

size_t TFailingStream::Write(const void* buffer, size_t count) {
  if (moved_ + count > after_) throw EStreamError(u"the medium failed");
  moved_ += count;
  return TMemoryStream::Write(buffer, count);
}

Bytes PackageAround(const Bytes& body) {
  TMemoryStream file;
  uint8_t header[12] = {'I', 'P', 'K', '5'};
  const uint32_t crc = PackageCrc(body.data(), body.size());
  const auto size = static_cast<uint32_t>(body.size());
  for (int i = 0; i < 4; ++i) {
    header[4 + i] = static_cast<uint8_t>(crc >> (8 * i));
    header[8 + i] = static_cast<uint8_t>(size >> (8 * i));
  }
  file.WriteBuffer(header, sizeof header);
  TMemoryStream source(body);
  TSetupPackageScrambler scrambler;
  scrambler.SetKey(TSetupPackageScrambler::kDefaultKey);
  LZMACompress(source, file, 0,
               [&scrambler](uint8_t* buffer, int32_t count) { scrambler.Process(buffer, count); });
  return file.TakeBytes();
}

}  // namespace nolu::testing
