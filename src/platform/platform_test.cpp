// The portable parts of the platform layer: the process-wide instance, value types and the
// helpers built on the service interfaces.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/locale.h"
#include "platform/cmd_line_params.h"
#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

TEST(PlatformTest, ScopesInstallAndRestoreTheInstance) {
  TPlatform* before = SetCurrentPlatform(nullptr);
  EXPECT_THROW(CurrentPlatform(), EInvalidOperation);
  {
    TFakePlatform outer;
    PlatformScope outer_scope(outer);
    EXPECT_EQ(&CurrentPlatform(), &outer);
    {
      TFakePlatform inner;
      PlatformScope inner_scope(inner);
      EXPECT_EQ(&CurrentPlatform(), &inner);
    }
    EXPECT_EQ(&CurrentPlatform(), &outer);
  }
  EXPECT_THROW(CurrentPlatform(), EInvalidOperation);
  SetCurrentPlatform(before);
}

TEST(PlatformTest, GuidRegistryFormRoundTrips) {
  struct Row {
    const char16_t* text;
    bool valid;
  };
  const Row rows[] = {
      {u"{713CEF87-75EE-4626-A068-80B97ECA2DC8}", true},
      {u"{713cef87-75ee-4626-a068-80b97eca2dc8}", true},
      {u"{00000000-0000-0000-0000-000000000000}", true},
      {u"713CEF87-75EE-4626-A068-80B97ECA2DC8", false},    // no braces
      {u"{713CEF87-75EE-4626-A068-80B97ECA2DC}", false},   // short
      {u"{713CEF87-75EE-4626-A068_80B97ECA2DC8}", false},  // wrong separator
      {u"{713CEF87-75EE-4626-A068-80B97ECA2DCG}", false},  // not hexadecimal
      {u"", false},
  };
  for (const Row& r : rows) {
    TGuid guid;
    ASSERT_EQ(TGuid::TryParse(r.text, guid), r.valid) << StringToUtf8(r.text);
    if (r.valid) {
      EXPECT_EQ(guid.ToString(), UpperCase(r.text));
    }
  }
  TGuid guid;
  TGuid::TryParse(u"{713CEF87-75EE-4626-A068-80B97ECA2DC8}", guid);
  EXPECT_EQ(guid.Data1, 0x713CEF87u);
  EXPECT_EQ(guid.Data2, 0x75EE);
  EXPECT_EQ(guid.Data3, 0x4626);
  EXPECT_EQ(guid.Data4[0], 0xA0);
  EXPECT_EQ(guid.Data4[7], 0xC8);
}

TEST(PlatformTest, RegistryValuesKeepTheirWindowsLayout) {
  const TRegValue text = TRegValue::Text(u"Nolu");
  EXPECT_EQ(text.Type, kRegSz);
  EXPECT_EQ(text.Data.size(), 10u);  // 2 × 4 characters + the terminating zero
  EXPECT_EQ(text.AsString(), u"Nolu");
  EXPECT_EQ(text.AsDword(7), 7u);  // not a number

  const TRegValue number = TRegValue::Dword(0x01020304);
  EXPECT_EQ(number.Data, (Bytes{4, 3, 2, 1}));
  EXPECT_EQ(number.AsDword(), 0x01020304u);
  EXPECT_EQ(number.AsString(), u"");

  TRegValue unterminated;
  unterminated.Type = kRegExpandSz;
  unterminated.Data = {'%', 0, 'A', 0, 0, 0, 'x', 0, 1};  // stops at the zero, odd byte ignored
  EXPECT_EQ(unterminated.AsString(), u"%A");

  const TRegKey key(RegRoot::kLocalMachine, RegView::k32, u"Software\\Nolu");
  EXPECT_EQ(key.Child(u"Sub").Path, u"Software\\Nolu\\Sub");
  EXPECT_EQ(key.Child(u"Sub").View, RegView::k32);
}

TEST(PlatformTest, CmdLineParamsComeFromTheProcessCommandLine) {
  struct Row {
    const char16_t* command_line;
    const char16_t* params;
  };
  const Row rows[] = {
      {u"\"C:\\Users\\User\\Downloads\\Setup.exe\" /AUTO /SILENT", u"/AUTO /SILENT"},
      {u"C:\\Temp\\Uninstall.exe /PATH=\"C:\\Program Files (x86)\\Nolu\\\" /AUTO",
       u"/PATH=\"C:\\Program Files (x86)\\Nolu\\\" /AUTO"},
      {u"\"C:\\Users\\User\\Downloads\\Setup.exe\"", u""},
      {u"", u""},
  };
  TFakePlatform fake;
  PlatformScope scope(fake);
  for (const Row& r : rows) {
    fake.System().SetCommandLine(r.command_line);
    EXPECT_EQ(CmdLineParams(), r.params) << StringToUtf8(r.command_line);
  }
}

}  // namespace
}  // namespace nolu
