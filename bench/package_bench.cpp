// Package benchmark: pack, read and extract-all through the package classes, and the bare
// LZMA codec (the SDK's one-call functions, memory to memory) on the same bytes, in one run.
//
// usage: package_bench PAYLOAD_DIR WORK_DIR [REPS]
//
// Times are processor time of the process. Each figure is the best of REPS runs; pack and bare
// encode, read and bare decode alternate so that both of a pair see the same machine. MB/s are
// decoded-body bytes (2^20) per processor second. With SKIP_PACK=1 in the environment the
// package from an earlier run is reused and the encoder figures are left out.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "base/file_stream.h"
#include "base/memory_stream.h"
#include "package/internal/lzma_codec.h"
#include "package/setup_package_builder.h"
#include "package/setup_package_reader.h"

namespace fs = std::filesystem;
using namespace nolu;

namespace {

struct File {
  String name;
  fs::path path;
};

std::vector<File> CollectFiles(const fs::path& root) {
  std::vector<File> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_regular_file()) continue;
    String name;
    for (const fs::path& part : entry.path().lexically_relative(root)) {
      if (!name.empty()) name += u'\\';
      name += Utf8ToString(part.string());
    }
    files.push_back({name, entry.path()});
  }
  std::sort(files.begin(), files.end(),
            [](const File& a, const File& b) { return a.name < b.name; });
  return files;
}

// Processor time of the process, not wall time: the machine is shared, and a benchmark that
// waits for a core should not look slower than one that got it.
double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double Seconds(const std::function<void()>& work) {
  const double start = CpuSeconds();
  work();
  return CpuSeconds() - start;
}

Bytes ReadFile(const fs::path& path) {
  TFileStream file(Utf8ToString(path.string()), FileMode::kOpenRead);
  TMemoryStream bytes;
  bytes.CopyRemainingFrom(file);
  return bytes.TakeBytes();
}

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "package_bench: %s\n", what);
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: package_bench PAYLOAD_DIR WORK_DIR [REPS]\n");
    return 2;
  }
  const fs::path payload = argv[1], work = argv[2];
  const int reps = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  fs::create_directories(work);
  const std::vector<File> files = CollectFiles(payload);
  const String package_path = Utf8ToString((work / "payload.pkg").string());

  // --- pack (files -> package file) and bare encode (body -> memory), alternating.
  double pack = 1e9, bare_encode = 1e9;
  Bytes body;
  const CLzmaEncProps props = package_internal::LevelProps(TSetupPackageBuilder::kDefaultLevel);
  size_t bare_encoded_size = 0;
  const bool skip_pack = std::getenv("SKIP_PACK") && fs::exists(work / "payload.pkg");
  for (int r = 0; r < (skip_pack ? 0 : reps); ++r) {
    pack = std::min(pack, Seconds([&] {
                      TSetupPackageBuilder builder(TSetupPackageScrambler::kDefaultKey);
                      for (const File& f : files) {
                        TFileStream source(Utf8ToString(f.path.string()), FileMode::kOpenRead);
                        builder.Add(source, f.name);
                      }
                      builder.SaveToFile(package_path, TSetupPackageBuilder::kDefaultLevel);
                    }));
    if (body.empty()) {
      TFileStream file(package_path, FileMode::kOpenRead);
      body = TSetupPackageReader(file).Body().Bytes();
    }
    Bytes encoded(body.size() + body.size() / 2 + (1 << 16));
    bare_encode =
        std::min(bare_encode, Seconds([&] {
                   SizeT size = encoded.size();
                   Byte header[LZMA_PROPS_SIZE];
                   SizeT header_size = sizeof header;
                   Check(LzmaEncode(encoded.data(), &size, body.data(), body.size(), &props, header,
                                    &header_size, 0, nullptr, package_internal::DefaultAllocator(),
                                    package_internal::DefaultAllocator()) == SZ_OK,
                         "bare encode failed");
                   bare_encoded_size = size;
                 }));
  }

  if (body.empty()) {
    TFileStream file(package_path, FileMode::kOpenRead);
    body = TSetupPackageReader(file).Body().Bytes();
  }

  // --- read (package in memory -> reader) and bare decode (encoded stream -> memory).
  const Bytes package = ReadFile(work / "payload.pkg");
  Bytes stream(package.begin() + TCustomSetupPackage::kHeaderSize, package.end());
  TSetupPackageScrambler scrambler;
  scrambler.SetKey(TSetupPackageScrambler::kDefaultKey);
  scrambler.Process(stream.data(), static_cast<int32_t>(stream.size()));
  double read = 1e9, bare_decode = 1e9;
  std::unique_ptr<Byte[]> decoded;
  for (int r = 0; r < reps; ++r) {
    read = std::min(read, Seconds([&] {
                      TMemoryStream source(package);
                      const TSetupPackageReader reader(source);
                      Check(reader.FileTable().Count() == static_cast<int>(files.size()),
                            "entry count");
                    }));
    decoded.reset();
    bare_decode = std::min(bare_decode, Seconds([&] {
                             // A fresh buffer, as the reader's body is fresh.
                             decoded.reset(new Byte[body.size()]);
                             SizeT out_size = body.size(), in_size = stream.size() - 5;
                             ELzmaStatus status;
                             const SRes res =
                                 LzmaDecode(decoded.get(), &out_size, stream.data() + 5, &in_size,
                                            stream.data(), 5, LZMA_FINISH_ANY, &status,
                                            package_internal::DefaultAllocator());
                             Check(res == SZ_OK && out_size == body.size(), "bare decode failed");
                           }));
  }
  Check(std::memcmp(decoded.get(), body.data(), body.size()) == 0, "bare decode differs");

  // --- extract-all (package file -> files), as setuptool extract does it.
  double extract = 1e9;
  for (int r = 0; r < reps; ++r) {
    fs::remove_all(work / "extract");
    extract = std::min(extract, Seconds([&] {
                         TFileStream file(package_path, FileMode::kOpenRead);
                         const TSetupPackageReader reader(file);
                         for (int i = 0; i < reader.FileTable().Count(); ++i) {
                           const TSetupPackageFileTableItem& item = reader.FileTable().Items(i);
                           std::unique_ptr<TMemoryStream> content;
                           reader.Extract(item.Name, content);
                           String relative = item.Name;
                           std::replace(relative.begin(), relative.end(), u'\\', u'/');
                           const fs::path target = work / "extract" / StringToUtf8(relative);
                           fs::create_directories(target.parent_path());
                           TFileStream out(Utf8ToString(target.string()), FileMode::kCreate);
                           out.WriteBuffer(content->Data(), content->Bytes().size());
                         }
                       }));
  }
  fs::remove_all(work / "extract");

  const double mib = static_cast<double>(body.size()) / (1 << 20);
  std::printf(
      "packages payload: %zu files, body %zu bytes, package %zu bytes (ratio %.2f), "
      "bare stream %zu bytes; best of %d\n",
      files.size(), body.size(), package.size(),
      static_cast<double>(body.size()) / static_cast<double>(package.size()), bare_encoded_size + 5,
      reps);
  if (!skip_pack) {
    std::printf("packages pack_MBps %.2f\n", mib / pack);
    std::printf("packages bare_encode_MBps %.2f\n", mib / bare_encode);
  }
  std::printf("packages read_MBps %.2f\n", mib / read);
  std::printf("packages bare_decode_MBps %.2f\n", mib / bare_decode);
  std::printf("packages extract_all_MBps %.2f\n", mib / extract);
  if (!skip_pack) {
    std::printf("packages pack/bare_encode %.3f (target >= 0.95)\n", bare_encode / pack);
  }
  std::printf("packages read/bare_decode %.3f (target >= 0.95)\n", bare_decode / read);
  std::printf("packages body_bytes %zu\n", body.size());
  return 0;
}
