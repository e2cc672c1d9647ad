#include "base/testing/outside_zip_readers.h"

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace nolu::testing {
namespace {

// Prints "count N", "bad X" and lines "entry <UTF-8 name in hex> size csize crc
// yyyy-mm-dd hh:mm:ss method flags". Reading an entry whose CRC or size is wrong raises.
constexpr const char* kPythonScript = R"(import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    infos = z.infolist()
    print("count", len(infos))
    if len(sys.argv) > 2:
        for name in sys.argv[2:]:
            z.read(name)
        print("bad", None)
    else:
        print("bad", z.testzip())
    shown = infos if len(infos) <= 100 else [infos[0], infos[-1]]
    for i in shown:
        print("entry", i.filename.encode("utf-8").hex(), i.file_size, i.compress_size, i.CRC,
              "%04d-%02d-%02d %02d:%02d:%02d" % i.date_time, i.compress_type, i.flag_bits)
)";

std::string FromHex(const std::string& hex) {
  std::string text;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    text.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return text;
}

}  // namespace

TTempFolder::TTempFolder() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("nolu-zip-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

TTempFolder::~TTempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

TCommandResult RunCommand(const std::vector<std::string>& arguments) {
  // popen runs a shell: every argument goes in single quotes, each ' in it written '\''.
  std::string command;
  for (const std::string& argument : arguments) {
    command += '\'';
    for (char c : argument)
      c == '\'' ? command.append("'\\''") : command.append(1, c);
    command.append("' ");
  }
  command.append("2>&1");
  TCommandResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return result;
  std::array<char, 65536> buffer;
  for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
    result.output.append(buffer.data(), n);
  }
  const int status = pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

TPythonZipReport ReadWithPython(const std::filesystem::path& archive,
                                const std::vector<std::string>& only) {
  const std::filesystem::path script = archive.string() + ".check.py";
  std::ofstream(script) << kPythonScript;
  std::vector<std::string> command = {"python3", script.string(), archive.string()};
  command.insert(command.end(), only.begin(), only.end());
  const TCommandResult run = RunCommand(command);
  TPythonZipReport report;
  report.opened = run.exit_code == 0;
  if (!report.opened) report.errors = run.output;
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string kind;
    fields >> kind;
    if (kind == "count") {
      fields >> report.count;
    } else if (kind == "bad") {
      fields >> report.bad_entry;
    } else if (kind == "entry") {
      TPythonZipEntry e;
      std::string hex, date, time;
      fields >> hex >> e.size >> e.compressed_size >> e.crc >> date >> time >> e.method >> e.flags;
      e.name = FromHex(hex);
      e.date_time = date + " " + time;
      report.entries.push_back(e);
    }
  }
  return report;
}

}  // namespace nolu::testing
