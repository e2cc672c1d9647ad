#include "core/setup_active_x.h"

#include <gtest/gtest.h>

#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

TEST(SetupActiveXTest, UnregisterServerCallsTheExportAndNeverRaises) {
  TFakePlatform platform;
  PlatformScope scope(platform);
  platform.Files().AddFile(u"C:\\Nolu\\System\\nolu_menu64.dll", "MZ");
  platform.Files().AddFile(u"C:\\Nolu\\System\\nolu_menu32.dll", "MZ");
  platform.Processes().SetLibrary(u"C:\\Nolu\\System\\nolu_menu32.dll",
                                  [](std::string_view) { return kErrorBadExeFormat; });

  const char16_t* libraries[] = {
      u"C:\\Nolu\\System\\nolu_menu64.dll",
      u"C:\\Nolu\\System\\nolu_menu32.dll",  // the other processor width: does not load
      u"C:\\Nolu\\System\\missing.dll",
  };
  for (const char16_t* library : libraries) {
    EXPECT_NO_THROW(TSetupActiveX::UnregisterServer(library)) << StringToUtf8(library);
  }
  const std::vector<TFakeExportCall> calls = platform.Processes().ExportCalls();
  ASSERT_EQ(calls.size(), 3u);
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].Library, libraries[i]);
    EXPECT_EQ(calls[i].Export, "DllUnregisterServer");
  }
  EXPECT_EQ(calls[0].Result, kErrorSuccess);
}

}  // namespace
}  // namespace nolu
