#include "product/actions/setup_action_shortcuts.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/locale.h"
#include "core/setup.h"
#include "core/testing/fake_setup_run.h"
#include "platform/error_codes.h"
#include "product/testing/product_test_data.h"

namespace nolu {
namespace {

constexpr char16_t kDest[] = u"C:\\Nolu\\";
constexpr char16_t kDesktopLink[] = u"C:\\Users\\Public\\Desktop\\Nolu.lnk";
constexpr char16_t kMenu[] = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Nolu\\";
const String kMenuLink = String(kMenu) + u"Nolu.lnk";
const String kReadmeLink = String(kMenu) + u"What is new.lnk";
const String kUninstallLink = String(kMenu) + u"Uninstall Nolu.lnk";

// The product's payload, the shortcuts action alone, and the three targets in place.
void Prepare(TFakeSetupRun& run) {
  run.Data() = ProductTestData();
  run.Product().install_actions = {&ActionClassOf<TSetupActionShortcuts>()};
  for (const char16_t* file : {u"Nolu.exe", u"Readme.txt", u"Uninstall.exe"})
    run.Platform().Files().AddFile(String(kDest) + file, "content");
}

class SetupActionShortcutsTest : public ::testing::Test {
 protected:
  SetupActionShortcutsTest() { Prepare(run_); }

  TFakeFileSystem& Files() { return run_.Platform().Files(); }
  TFakeShell& Shell() { return run_.Platform().Shell(); }

  // Runs the action alone in an automatic installation to kDest (with `params` added).
  TSetup& Run(StringView params = u"", std::optional<bool> desktop = std::nullopt,
              std::optional<bool> start_menu = std::nullopt) {
    TSetup& setup = run_.Create(u"/AUTO=\"" + String(kDest) + u"\" " + String(params));
    if (desktop) setup.Options().WriteBool(u"Integration", u"ShortcutDesktop", *desktop);
    if (start_menu) setup.Options().WriteBool(u"Integration", u"ShortcutStartMenu", *start_menu);
    setup.AddListener(&listener_);
    setup.Start(true);
    EXPECT_EQ(setup.Errors(), StringList{});
    return setup;
  }

  // The target of the link at `path`, or none when there is no readable link.
  std::optional<String> LinkTarget(StringView path) {
    TShellLink link;
    if (Shell().ReadShellLink(path, link) != kErrorSuccess) return std::nullopt;
    EXPECT_EQ(link.Arguments, u"");
    EXPECT_EQ(link.WorkingFolder, u"");
    return link.Target;
  }

  TFakeSetupRun run_;
  TRecordingListener listener_;
};

TEST(SetupActionShortcutsTableTest, LinksFollowTheChoicesAndTheSystemVersion) {
  const String nolu = String(kDest) + u"Nolu.exe";
  struct Case {
    const char* what;
    uint32_t os_major, os_minor;
    const char16_t* params;
    std::optional<bool> desktop, start_menu;
    std::optional<String> desktop_link, menu_link, readme_link, uninstall_link;
  } cases[] = {
      // Windows 8 and later: programs only, so the text document gets no link.
      {"defaults on Windows 10",
       10,
       0,
       u"",
       {},
       {},
       nolu,
       nolu,
       std::nullopt,
       String(kDest) + u"Uninstall.exe"},
      {"defaults on Windows 8",
       6,
       2,
       u"",
       {},
       {},
       nolu,
       nolu,
       std::nullopt,
       String(kDest) + u"Uninstall.exe"},
      {"defaults on Windows 7",
       6,
       1,
       u"",
       {},
       {},
       nolu,
       nolu,
       String(kDest) + u"Readme.txt",
       String(kDest) + u"Uninstall.exe"},
      {"desktop only", 10, 0, u"", true, false, nolu, std::nullopt, std::nullopt, std::nullopt},
      {"start menu only", 10, 0, u"", false, true, std::nullopt, nolu, std::nullopt,
       String(kDest) + u"Uninstall.exe"},
      {"portable: none by default",
       10,
       0,
       u"/PORTABLE",
       {},
       {},
       std::nullopt,
       std::nullopt,
       std::nullopt,
       std::nullopt},
      {"portable, asked for",
       10,
       0,
       u"/PORTABLE",
       true,
       {},
       nolu,
       std::nullopt,
       std::nullopt,
       std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    Prepare(run);
    run.Platform().System().SetOsVersion(c.os_major, c.os_minor);
    TSetup& setup = run.Create(u"/AUTO=\"" + String(kDest) + u"\" " + String(c.params));
    if (c.desktop) setup.Options().WriteBool(u"Integration", u"ShortcutDesktop", *c.desktop);
    if (c.start_menu)
      setup.Options().WriteBool(u"Integration", u"ShortcutStartMenu", *c.start_menu);
    setup.Start(true);
    EXPECT_EQ(setup.Errors(), StringList{});

    auto target = [&](StringView path) -> std::optional<String> {
      TShellLink link;
      if (run.Platform().Shell().ReadShellLink(path, link) != kErrorSuccess) return std::nullopt;
      // The link holds the target and nothing else.
      EXPECT_EQ(link.Arguments + link.WorkingFolder + link.Description, u"");
      return link.Target;
    };
    EXPECT_EQ(target(kDesktopLink), c.desktop_link);
    EXPECT_EQ(target(kMenuLink), c.menu_link);
    EXPECT_EQ(target(kReadmeLink), c.readme_link);
    EXPECT_EQ(target(kUninstallLink), c.uninstall_link);
    // No start-menu folder without a link in it.
    EXPECT_EQ(run.Platform().Files().FolderExists(kMenu), c.menu_link || c.uninstall_link);
  }
}

TEST_F(SetupActionShortcutsTest, ASecondRunLeavesCorrectLinksUntouchedAndMendsTheOthers) {
  Run();
  // The user renamed the desktop link's description; the start-menu link now points to an
  // older copy, and the uninstaller's link was replaced by some other file.
  Shell().CreateShellLink(kDesktopLink, {String(kDest) + u"NOLU.EXE", u"", u"", u"My player"});
  Shell().CreateShellLink(kMenuLink, {u"D:\\Old\\Nolu.exe", u"", u"", u""});
  Files().AddFile(kUninstallLink, "not a link");

  Run();
  TShellLink link;
  ASSERT_EQ(Shell().ReadShellLink(kDesktopLink, link), kErrorSuccess);
  EXPECT_EQ(link.Description, u"My player");  // same target ignoring case: untouched
  EXPECT_EQ(link.Target, String(kDest) + u"NOLU.EXE");
  EXPECT_EQ(LinkTarget(kMenuLink), String(kDest) + u"Nolu.exe");
  EXPECT_EQ(LinkTarget(kUninstallLink), String(kDest) + u"Uninstall.exe");
}

TEST_F(SetupActionShortcutsTest, MissingTargetsAndUnusableFoldersAreSkippedSilently) {
  Files().Delete(String(kDest) + u"Uninstall.exe");
  Files().InjectFailure(FakeFileOp::kCreateFolder, kMenu, kErrorAccessDenied, -1);
  Run();
  EXPECT_EQ(LinkTarget(kDesktopLink), String(kDest) + u"Nolu.exe");
  EXPECT_FALSE(Files().FolderExists(kMenu));

  Files().ClearFailures();
  Run();
  EXPECT_EQ(LinkTarget(kMenuLink), String(kDest) + u"Nolu.exe");
  EXPECT_FALSE(Files().FileExists(kUninstallLink));

  // A link that cannot be written is no error either.
  Files().Delete(kMenuLink);
  Files().InjectFailure(FakeFileOp::kOpenWrite, kMenuLink, kErrorAccessDenied, -1);
  Run();
  EXPECT_FALSE(Files().FileExists(kMenuLink));
}

TEST_F(SetupActionShortcutsTest, ProgressCountsEveryEntryAndTheStatusLineIsShown) {
  Run(u"", true, false);  // only the first of the four entries is used
  std::vector<int> current;
  for (const auto& [overall, action] : listener_.Progress())
    current.push_back(action);
  EXPECT_EQ(current, (std::vector<int>{0, 25, 50, 75, 100}));
  bool status = false;
  for (const TRecordedNotification& n : listener_.Received) {
    if (n.Code == ncStatusText) status = status || n.Text == u"Creating shortcuts...";
  }
  EXPECT_TRUE(status);
}

TEST_F(SetupActionShortcutsTest, ShortcutTargetsNameTheChosenPlaces) {
  TSetup& setup = run_.Create(u"/AUTO=\"" + String(kDest) + u"\"");
  TSetupActionShortcuts action;
  EXPECT_EQ(action.ShortcutTargets(), StringList{});  // nothing before it runs
  action.Run();
  EXPECT_EQ(action.ShortcutTargets(), (StringList{u"$DESKTOP", u"$STARTMENU"}));
  setup.Options().WriteBool(u"Integration", u"ShortcutDesktop", false);
  action.Run();
  EXPECT_EQ(action.ShortcutTargets(), StringList{u"$STARTMENU"});
}

}  // namespace
}  // namespace nolu
