// The shortcuts action on the real Windows platform (under Wine): the links it writes are
// shell links that the system reads back with their targets.
#include <gtest/gtest.h>

#include <memory>

#include "base/locale.h"
#include "base/path.h"
#include "core/setup.h"
#include "platform/error_codes.h"
#include "platform/fake/fake_module_resources.h"
#include "platform/win32/win32_platform.h"
#include "product/setup_action_shortcuts.h"
#include "product/testing/product_test_data.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// The real shell, with the common desktop and start menu moved into the test's folder.
class TRedirectedShell : public IShell {
 public:
  explicit TRedirectedShell(IShell& real) : real_(real) {}
  void SetRoot(const String& root) { root_ = root; }

  bool SpecialFolder(Csidl folder, String& path) override {
    if (folder == Csidl::kCommonDesktopDirectory) {
      path = root_ + u"Desktop\\";
      return true;
    }
    if (folder == Csidl::kCommonPrograms) {
      path = root_ + u"Programs\\";
      return true;
    }
    return real_.SpecialFolder(folder, path);
  }
  TStartResult Execute(const TShellExecuteInfo& info) override { return real_.Execute(info); }
  uint32_t ShellOpen(StringView verb, StringView file, StringView parameters, StringView folder,
                     int show) override {
    return real_.ShellOpen(verb, file, parameters, folder, show);
  }
  uint32_t CreateShellLink(StringView link_path, const TShellLink& link) override {
    return real_.CreateShellLink(link_path, link);
  }
  uint32_t ReadShellLink(StringView link_path, TShellLink& link) override {
    return real_.ReadShellLink(link_path, link);
  }
  void ChangeNotify(uint32_t event, uint32_t flags) override { real_.ChangeNotify(event, flags); }

 private:
  IShell& real_;
  String root_;
};

// Windows itself, except that the program's packages are the test's payload and the shell's
// common folders lie in a fresh folder of its own (Root), removed with the platform.
class TTestWin32Platform : public TPlatform {
 public:
  TTestWin32Platform() : shell_(real_.Shell()) {
    const TFakeSetupData data = ProductTestData();
    resources_.SetRcData(u"SETUP", data.BuildSetupPackage());
    resources_.SetRcData(u"PRODUCT", data.BuildProductPackage());
    IFileSystem& files = real_.Files();
    files.TempFileName(files.TempFolder(), u"nsc", marker_);
    root_ = marker_ + u".d\\";
    shell_.SetRoot(root_);
  }
  ~TTestWin32Platform() override {
    RemoveTree(real_.Files(), root_);
    real_.Files().Delete(marker_);
  }
  const String& Root() const { return root_; }

  IFileSystem& Files() override { return real_.Files(); }
  ISystem& System() override { return real_.System(); }
  IRegistry& Registry() override { return real_.Registry(); }
  IShell& Shell() override { return shell_; }
  IProcesses& Processes() override { return real_.Processes(); }
  IDesktopWindows& Windows() override { return real_.Windows(); }
  IMessageChannel& Messages() override { return real_.Messages(); }
  IMessageBox& Dialogs() override { return real_.Dialogs(); }
  IModuleResources& Resources() override { return resources_; }

 private:
  static void RemoveTree(IFileSystem& files, const String& folder) {
    std::vector<TFileEntry> entries;
    files.ListFolder(folder, entries);
    for (const TFileEntry& entry : entries) {
      const String path = folder + entry.Name;
      if (entry.IsFolder()) {
        RemoveTree(files, path + u"\\");
      } else {
        files.SetAttributes(path, 0);
        files.Delete(path);
      }
    }
    files.RemoveFolder(folder);
  }

  TWin32Platform real_;
  TRedirectedShell shell_;
  TFakeModuleResources resources_;
  String marker_;  // the unique name the folder is made from
  String root_;
};

// A product whose installation runs the shortcuts action alone.
class TShortcutsOnlyProduct : public TSetupProductInfo {
 public:
  bool CanUpdate() override { return false; }
  bool IsPortable() override { return false; }
  int GetInstalledVersion() override { return 0; }
  void LoadInstalledInfo() override {}
  void PopulateActions(const TActionClassCallback& callback) override {
    callback(ActionClassOf<TSetupActionShortcuts>());
  }
  void PopulatePages(const TPageClassCallback&) override {}
};

TEST(SetupActionShortcutsWin32Test, LinksResolveToTheirTargets) {
  TTestWin32Platform platform;
  const String& root = platform.Root();
  PlatformScope scope(platform);
  IFileSystem& files = platform.Files();
  const String dest = root + u"Program\\";
  ASSERT_EQ(files.ForceFolders(dest), kErrorSuccess);
  for (const char16_t* name : {u"Nolu.exe", u"Readme.txt", u"Uninstall.exe"}) {
    TOpenResult out = files.OpenFile(dest + name, FileMode::kCreate);
    ASSERT_TRUE(out.Stream) << out.Error;
  }

  {
    TSetup setup(u"/AUTO=\"" + dest + u"\"",
                 [] { return std::unique_ptr<TSetupProductInfo>(new TShortcutsOnlyProduct); });
    setup.Resources().InitializeLanguages();
    setup.Start(true);
    EXPECT_EQ(setup.Errors(), StringList{});
  }

  const bool programs_only = platform.System().OsVersion().AtLeast(6, 2);
  struct Link {
    String path;
    String target;
    bool expected;
  } links[] = {
      {root + u"Desktop\\Nolu.lnk", dest + u"Nolu.exe", true},
      {root + u"Programs\\Nolu\\Nolu.lnk", dest + u"Nolu.exe", true},
      {root + u"Programs\\Nolu\\Uninstall Nolu.lnk", dest + u"Uninstall.exe", true},
      {root + u"Programs\\Nolu\\What is new.lnk", dest + u"Readme.txt", !programs_only},
  };
  for (const Link& link : links) {
    SCOPED_TRACE(StringToUtf8(link.path));
    TShellLink read;
    const uint32_t error = platform.Shell().ReadShellLink(link.path, read);
    if (!link.expected) {
      EXPECT_FALSE(files.FileExists(link.path));
      continue;
    }
    ASSERT_EQ(error, kErrorSuccess);
    EXPECT_TRUE(EqualsIgnoreCase(read.Target, link.target)) << StringToUtf8(read.Target);
    EXPECT_EQ(read.Arguments, u"");
  }
}

}  // namespace
}  // namespace nolu
