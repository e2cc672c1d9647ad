// Windows itself for the tests of Nolu's actions on the real file system (under Wine), with the
// shell's per-user and common folders and every file of the test kept inside one fresh
// folder of its own, which goes with the platform.
#pragma once

#include <vector>

#include "platform/platform.h"
#include "platform/win32/testing/win32_test_platform.h"
#include "product/testing/product_test_data.h"
#include "resources/testing/fake_setup_data.h"

namespace nolu {

// The real shell, with the desktops and start menus that the actions create links in or
// delete them from moved below the test's folder.
class TRedirectedShell : public TForwardingShell {
 public:
  using TForwardingShell::TForwardingShell;
  void SetRoot(const String& root) { root_ = root; }

  bool SpecialFolder(Csidl folder, String& path) override {
    const char16_t* name = RedirectedName(folder);
    if (!name) return real_.SpecialFolder(folder, path);
    path = root_ + name;
    return true;
  }

 private:
  static const char16_t* RedirectedName(Csidl folder) {
    switch (folder) {
      case Csidl::kCommonDesktopDirectory:
        return u"Desktop\\";
      case Csidl::kCommonPrograms:
        return u"Programs\\";
      case Csidl::kCommonStartMenu:
        return u"Start Menu\\";
      case Csidl::kDesktopDirectory:
        return u"User\\Desktop\\";
      case Csidl::kPrograms:
        return u"User\\Programs\\";
      case Csidl::kStartMenu:
        return u"User\\Start Menu\\";
      default:
        return nullptr;
    }
  }

  String root_;
};

// Windows itself, except that the program's packages are the test's payload (that of
// ProductTestData unless UsePayload says otherwise) and the shell's desktops and start menus
// lie in a fresh folder of its own (Root), removed with the platform.
class TTestWin32Platform : public TWin32PlatformWithResources {
 public:
  TTestWin32Platform() : shell_(Real().Shell()) {
    UsePayload(ProductTestData());
    IFileSystem& files = Files();
    files.TempFileName(files.TempFolder(), u"nsc", marker_);
    root_ = marker_ + u".d\\";
    shell_.SetRoot(root_);
  }
  ~TTestWin32Platform() override {
    RemoveTree(Files(), root_);
    Files().Delete(marker_);
  }
  const String& Root() const { return root_; }

  // The setup and product packages that a setup object created from now on reads.
  void UsePayload(const TFakeSetupData& data) {
    TestResources().SetRcData(u"SETUP", data.BuildSetupPackage());
    TestResources().SetRcData(u"PRODUCT", data.BuildProductPackage());
  }

  IShell& Shell() override { return shell_; }

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

  TRedirectedShell shell_;
  String marker_;  // the unique name the folder is made from
  String root_;
};

}  // namespace nolu
