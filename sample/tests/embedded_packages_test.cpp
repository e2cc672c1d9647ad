// The packages that the build embedded into this program are found by the resource API and are
// byte for byte the package files that setuptool wrote.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

// The build passes the package files as paths of the build machine; Wine shows its root
// folder as drive Z:.
std::string BuildMachineFile(std::string path) {
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Resource(const wchar_t* name) {
  HRSRC info = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (!info) return {};
  HGLOBAL loaded = LoadResource(nullptr, info);
  const char* data = static_cast<const char*>(LockResource(loaded));
  return data ? std::string(data, SizeofResource(nullptr, info)) : std::string();
}

TEST(EmbeddedPackages, BothResourcesEqualThePackageFiles) {
  const struct {
    const wchar_t* resource;
    const char* file;
  } packages[] = {{L"SETUP", NOLU_SETUP_PACKAGE}, {L"PRODUCT", NOLU_PRODUCT_PACKAGE}};
  for (const auto& package : packages) {
    const std::string embedded = Resource(package.resource);
    const std::string file = ReadFile(BuildMachineFile(package.file));
    ASSERT_GT(file.size(), 12u) << package.file;
    EXPECT_EQ(file.compare(0, 4, "IPK5"), 0) << package.file;
    EXPECT_EQ(embedded.size(), file.size()) << package.file;
    EXPECT_TRUE(embedded == file) << package.file;
  }
}

}  // namespace
