// Runs a fuzz target over files and folders given on the command line, without libFuzzer:
// the host build uses it to replay the seed corpus (and saved crashes) under the sanitizers.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // A heap copy of exactly the input's size, so that AddressSanitizer sees every overread.
  std::vector<uint8_t> data(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    if (std::filesystem::is_directory(arg)) {
      for (const auto& entry : std::filesystem::recursive_directory_iterator(arg)) {
        if (entry.is_regular_file()) inputs += RunFile(entry.path());
      }
    } else {
      inputs += RunFile(arg);
    }
  }
  // An empty input always runs too: it is the classic first crash of a parser.
  LLVMFuzzerTestOneInput(nullptr, 0);
  std::printf("ran %d inputs without a finding\n", inputs + 1);
  return 0;
}
