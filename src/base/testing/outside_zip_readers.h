// The outside readers that check our archives in the host tests: Info-ZIP's unzip and zipinfo,
// and Python's zipfile module. Each runs as a child process on an archive file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace nolu::testing {

// A folder of its own below the system's temporary folder, removed with everything in it.
class TTempFolder {
 public:
  TTempFolder();
  ~TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

struct TCommandResult {
  int exit_code = -1;
  std::string output;  // standard output and error together
};

// Runs a program with its arguments (the first item names the program, found on PATH).
TCommandResult RunCommand(const std::vector<std::string>& arguments);

// One entry as Python's zipfile reads it.
struct TPythonZipEntry {
  std::string name;  // as decoded by Python, in UTF-8
  uint64_t size = 0;
  uint64_t compressed_size = 0;
  uint32_t crc = 0;
  std::string date_time;  // "yyyy-mm-dd hh:mm:ss" from the DOS fields
  int method = -1;
  int flags = 0;
};

struct TPythonZipReport {
  bool opened = false;
  std::string bad_entry;  // "None" when every entry read checks out, else the first bad name
  uint64_t count = 0;
  // Every entry when there are at most 100, else the first and the last.
  std::vector<TPythonZipEntry> entries;
  std::string errors;  // what Python printed when it could not read the archive
};

// Opens the archive with Python's zipfile, reads every entry (testzip(), which checks each CRC
// and size) or only the entries named in `only`, and lists the entries.
TPythonZipReport ReadWithPython(const std::filesystem::path& archive,
                                const std::vector<std::string>& only = {});

}  // namespace nolu::testing
