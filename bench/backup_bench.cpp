// Backs up a folder tree the way the preparation action does — the backup list built with
// FindFiles under the "Program\" prefix, each file opened through the platform with full
// sharing, the archive written through the platform by TSetupBackupArchive — and prints what
// it took. The tree is loaded into the fake platform's in-memory file system first, so the
// figure is the action's own work; the load is reported apart. bench/backup.sh compares it
// with Info-ZIP.
//
//   backup_bench FOLDER ARCHIVE
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/errors.h"
#include "core/setup_file_list.h"
#include "platform/fake/fake_platform.h"
#include "product/update/setup_backup_archive.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: backup_bench FOLDER ARCHIVE\n");
    return 2;
  }
  const fs::path folder = argv[1];
  const nolu::String dest = u"C:\\Nolu\\";
  const nolu::String archive = dest + u"!Backup\\backup.zip";
  try {
    nolu::TFakePlatform platform;
    nolu::PlatformScope scope(platform);

    const auto load_start = Clock::now();
    uint64_t bytes = 0;
    for (const auto& item : fs::recursive_directory_iterator(folder)) {
      if (!item.is_regular_file()) continue;
      std::string name = fs::relative(item.path(), folder).generic_string();
      std::replace(name.begin(), name.end(), '/', '\\');
      std::ifstream in(item.path(), std::ios::binary);
      const nolu::Bytes content((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
      bytes += content.size();
      platform.Files().AddFile(dest + nolu::Utf8ToString(name), content);
    }
    platform.Files().AddFolder(dest + u"!Backup");
    const double load_seconds = Since(load_start);

    const auto start = Clock::now();
    nolu::TSetupFileList list;
    list.AddFolder(dest, dest + u"!Backup\\", u"Program\\");
    nolu::TSetupBackupArchive::Write(archive, list, platform.System().LocalTime());
    const double seconds = Since(start);

    const std::optional<nolu::Bytes> zip = platform.Files().FileBytes(archive);
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(zip->data()),
              static_cast<std::streamsize>(zip->size()));
    std::printf("files=%zu bytes=%llu archive=%zu seconds=%.3f load_seconds=%.3f\n", list.Count(),
                static_cast<unsigned long long>(bytes), zip->size(), seconds, load_seconds);
  } catch (const nolu::Exception& e) {
    std::fprintf(stderr, "backup_bench: %s\n", e.what());
    return 1;
  }
  return 0;
}
