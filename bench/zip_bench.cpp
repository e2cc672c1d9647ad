// Backs up a folder tree into a zip archive the way the setup's backup does (files in sorted
// order, names relative to the folder with "\" between parts, one archive time, Deflate level
// 6 unless told otherwise) and prints what it took. bench/zip.sh compares it with Info-ZIP.
//
//   zip_bench FOLDER ARCHIVE [LEVEL]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/buffered_stream.h"
#include "base/errors.h"
#include "base/file_stream.h"
#include "base/zip_writer.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: zip_bench FOLDER ARCHIVE [LEVEL]\n");
    return 2;
  }
  const fs::path folder = argv[1];
  const int level = argc == 4 ? std::stoi(argv[3]) : nolu::TZipWriter::kDefaultLevel;
  std::vector<fs::path> files;
  for (const auto& item : fs::recursive_directory_iterator(folder)) {
    if (item.is_regular_file()) files.push_back(item.path());
  }
  std::sort(files.begin(), files.end());
  try {
    const auto start = std::chrono::steady_clock::now();
    uint64_t bytes = 0;
    nolu::TBufferedFileStream archive(nolu::Utf8ToString(argv[2]), nolu::FileMode::kCreate);
    nolu::TZipWriter writer(archive, nolu::TZipTime::FromLocalTime(2024, 6, 1, 12, 0, 0), level);
    for (const fs::path& file : files) {
      std::string name = fs::relative(file, folder).generic_string();
      std::replace(name.begin(), name.end(), '/', '\\');
      nolu::TFileStream source(nolu::Utf8ToString(file.string()), nolu::FileMode::kOpenRead);
      writer.AddEntry(nolu::Utf8ToString(name), source);
      bytes += fs::file_size(file);
    }
    writer.Finish();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("files=%zu bytes=%llu archive=%llu seconds=%.3f\n", files.size(),
                static_cast<unsigned long long>(bytes),
                static_cast<unsigned long long>(writer.BytesWritten()), seconds);
  } catch (const nolu::Exception& e) {
    std::fprintf(stderr, "zip_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
