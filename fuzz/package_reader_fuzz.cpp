// Fuzz target of the package reader. The first byte picks what the rest is:
//   0  a package file, read whole and every entry extracted;
//   1  a decoded body, for the file table's checks (a fuzzer rarely gets a checksum right,
//      so the table would otherwise hardly be reached);
//   2  a bare LZMA stream without a size, decoded into at most 1 MiB.
// Every failure must be one of the system's errors; anything else (another exception, a
// crash, a leak, a hang) is a finding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/errors.h"
#include "base/memory_stream.h"
#include "package/custom_setup_package.h"
#include "package/lzma_streams.h"
#include "package/setup_package_reader.h"

namespace {

class TBodyPackage : public nolu::TCustomSetupPackage {
 public:
  TBodyPackage(const uint8_t* data, size_t size) {
    body_.WriteBuffer(data, size);
    LoadFileTable();
  }
};

class TCappedStream : public nolu::TMemoryStream {
 public:
  size_t Write(const void* buffer, size_t count) override {
    constexpr size_t kCap = 1 << 20;
    const size_t room = kCap - std::min(kCap, Bytes().size());
    return TMemoryStream::Write(buffer, std::min(count, room));
  }
};

void ExtractAll(const nolu::TCustomSetupPackage& package) {
  for (int i = 0; i < package.FileTable().Count(); ++i) {
    std::unique_ptr<nolu::TMemoryStream> stream;
    package.Extract(package.FileTable().Items(i).Name, stream);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0] % 3;
  ++data;
  --size;
  try {
    if (mode == 0) {
      nolu::TMemoryStream source(nolu::Bytes(data, data + size));
      const nolu::TSetupPackageReader package(source);
      ExtractAll(package);
    } else if (mode == 1) {
      const TBodyPackage package(data, size);
      ExtractAll(package);
    } else {
      nolu::TMemoryStream source(nolu::Bytes(data, data + size));
      TCappedStream dest;
      nolu::LZMADecompress(source, dest, {}, -1);
    }
  } catch (const nolu::Exception&) {
    // The system's errors are the expected outcome of bad input.
  }
  return 0;
}
