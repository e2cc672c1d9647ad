// A whole removal of Nolu on the real file system (under Wine): the uninstaller with its
// record, the product's own removal actions and each choice of the removal page, on a product
// folder that lies in a fresh folder of the test, beside things that are not the product's.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

#include "base/ini_file.h"
#include "base/memory_stream.h"
#include "base/path.h"
#include "core/setup.h"
#include "core/testing/watched_file_system.h"
#include "platform/error_codes.h"
#include "platform/fake/fake_registry.h"
#include "product/product_info_nolu.h"
#include "product/testing/test_win32_platform.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// Every file-system call is written down, so the test sees what the removal changed outside
// its folder. The removal deletes the product's uninstall entry: the machine's own entries
// stay out of reach of the test.
class TRemovalWin32Platform : public TTestWin32Platform {
 public:
  TWatchedFileSystem& Files() override { return files_; }
  IRegistry& Registry() override { return registry_; }

 private:
  TWatchedFileSystem files_{TTestWin32Platform::Files()};
  TFakeRegistry registry_;
};

// The calls among `calls` that change something outside `root` or leave a file to be
// deleted at the next restart (moved aside, so it looks gone from its folder).
StringList StrayChanges(const std::vector<TFileCall>& calls, const String& root) {
  static constexpr StringView kChanging[] = {u"SetAttributes", u"Delete",       u"Copy",
                                             u"Move",          u"MoveOnReboot", u"CreateFolder",
                                             u"RemoveFolder",  u"TempFileName"};
  StringList stray;
  for (const TFileCall& call : calls) {
    if (std::find(std::begin(kChanging), std::end(kChanging), call.Operation) ==
        std::end(kChanging)) {
      continue;
    }
    const bool deferred = call.Operation == u"Move" || call.Operation == u"MoveOnReboot";
    const bool outside = !PathStartsWith(call.Path, root) ||
                         (!call.Target.empty() && !PathStartsWith(call.Target, root));
    if (deferred || outside)
      stray.push_back(call.Operation + u" " + call.Path + u" " + call.Target);
  }
  return stray;
}

// What the installation put into the product folder and recorded, in nested folders.
const StringList kRecorded = {u"Nolu.exe",
                              u"Uninstall.exe",
                              u"Uninstall.dat",
                              u"Plugins\\PlugA\\plugin.ini",
                              u"Skins\\Modern\\skin.xml",
                              u"Skins\\Modern\\Images\\back.png"};

constexpr char16_t kArchive[] = u"!Backup\\z Before install 5.01 [2024.03.05 14-07-09].zip";

// "Uninstall.ini" as the installation writes it.
std::string RecordText(const StringList& recorded) {
  TRuxIniFile record;
  for (size_t i = 0; i < recorded.size(); ++i)
    record.WriteString(u"Uninstall", IntToStr(static_cast<int64_t>(i)), recorded[i]);
  record.WriteInteger(u"Uninstall", u"Count", static_cast<int32_t>(recorded.size()));
  TMemoryStream stream;
  record.SaveToStream(stream);
  return std::string(reinterpret_cast<const char*>(stream.Data()),
                     static_cast<size_t>(stream.Size()));
}

// Every file and folder below `folder`, relative to it and sorted; folders end in "\".
StringList ListTree(IFileSystem& files, const String& folder, const String& prefix = {}) {
  StringList tree;
  std::vector<TFileEntry> entries;
  files.ListFolder(folder, entries);
  for (const TFileEntry& entry : entries) {
    if (!entry.IsFolder()) {
      tree.push_back(prefix + entry.Name);
      continue;
    }
    tree.push_back(prefix + entry.Name + u"\\");
    const StringList below =
        ListTree(files, folder + entry.Name + u"\\", prefix + entry.Name + u"\\");
    tree.insert(tree.end(), below.begin(), below.end());
  }
  std::sort(tree.begin(), tree.end());
  return tree;
}

TEST(RemovalWin32Test, EachChoiceOfTheRemovalPageLeavesItsTree) {
  // Beside the product folder: a folder whose name begins like it and the redirected
  // desktop and start menu, with the product's links (which the removal takes).
  const StringList outside = {u"Desktop\\", u"Nolu Beta\\", u"Nolu Beta\\keep.txt", u"Programs\\"};
  struct Case {
    bool remove_backups;
    bool remove_content;
    StringList left;  // in the product folder; empty: the folder itself is gone
  } cases[] = {
      {false,
       false,
       {u"!Backup\\", kArchive, u"Nolu.ini", u"Profile\\", u"Profile\\Nolu.ini", u"Skins\\",
        u"Skins\\Modern\\", u"Skins\\Modern\\my colors.ini"}},
      {true,
       false,
       {u"Nolu.ini", u"Profile\\", u"Profile\\Nolu.ini", u"Skins\\", u"Skins\\Modern\\",
        u"Skins\\Modern\\my colors.ini"}},
      {false,
       true,
       {u"!Backup\\", kArchive, u"Nolu.ini", u"Skins\\", u"Skins\\Modern\\",
        u"Skins\\Modern\\my colors.ini"}},
      {true, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("RemoveBackups ") + (c.remove_backups ? "1" : "0") +
                 ", RemoveContent " + (c.remove_content ? "1" : "0"));
    TRemovalWin32Platform platform;
    PlatformScope scope(platform);
    TWatchedFileSystem& files = platform.Files();
    const String& root = platform.Root();
    const String dest = root + u"Nolu\\";
    auto add = [&](const String& path, std::string_view content = "data") {
      ASSERT_EQ(files.ForceFolders(ExtractFilePath(path)), kErrorSuccess);
      TOpenResult out = files.OpenFile(path, FileMode::kCreate);
      ASSERT_TRUE(out.Stream) << out.Error;
      out.Stream->WriteBuffer(content.data(), content.size());
    };
    for (const String& file : kRecorded)
      add(dest + file);
    add(dest + u"Skins\\Modern\\my colors.ini");
    add(dest + kArchive);
    add(dest + u"Profile\\Nolu.ini");
    // Without "UserMode" the users' data lies in the product folder only.
    add(dest + u"Nolu.ini", "[System]\r\nVersion=5401\r\n");
    for (const char16_t* read_only : {u"Nolu.exe", u"Profile\\Nolu.ini"})
      ASSERT_EQ(files.SetAttributes(dest + read_only, kAttrReadOnly), kErrorSuccess);
    add(root + u"Nolu Beta\\keep.txt");
    add(root + u"Desktop\\Nolu.lnk");
    add(root + u"Programs\\Nolu\\Nolu.lnk");

    TFakeSetupData data = ProductTestData();
    data.SetProductFile(u"Uninstall.ini", RecordText(kRecorded));
    platform.UsePayload(data);
    TSetup setup(String(), &CreateProductInfoNolu);
    ASSERT_EQ(setup.Mode(), smUninstall);
    setup.SetDestPath(dest);
    setup.Resources().InitializeLanguages();
    // The removal page's check boxes.
    setup.Options().WriteBool(u"Common", u"RemoveBackups", c.remove_backups);
    setup.Options().WriteBool(u"Common", u"RemoveContent", c.remove_content);
    const size_t calls_before = files.Calls().size();
    setup.Start(true);
    EXPECT_EQ(setup.Errors(), StringList{});
    const std::vector<TFileCall> calls = files.Calls();
    EXPECT_EQ(
        StrayChanges({calls.begin() + static_cast<ptrdiff_t>(calls_before), calls.end()}, root),
        StringList{});

    EXPECT_EQ(files.FolderExists(dest), !c.left.empty());
    StringList expected = outside;
    if (!c.left.empty()) expected.push_back(u"Nolu\\");
    for (const String& entry : c.left)
      expected.push_back(u"Nolu\\" + entry);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ListTree(files, root), expected);
  }
}

}  // namespace
}  // namespace nolu
