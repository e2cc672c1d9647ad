// TSetupResources: the payload of a run — the SETUP and PRODUCT packages, the setup script,
// the available languages and the run's string table — and the expansion of the path
// variables of scripts and localized strings.
//
// Filled on the main thread before the worker starts; afterwards both threads call
// GetString, ExpandPath and GetStream at the same time. The packages' lookups never move a
// shared position and the string table's lookups are safe from two threads, so no lock is
// needed here.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "base/ini_file.h"
#include "base/memory_stream.h"
#include "base/picture.h"
#include "base/text.h"
#include "package/setup_package_reader.h"
#include "resources/deferred_setup_package.h"
#include "resources/setup_script.h"

namespace nolu {

// What the resources need to know of the run above them (the setup object supplies it): the
// values of "$DEST", "$LINK", "$NAME" and "$VERSION". Any of them may raise (an empty product
// name raises "Setup has wrong config"), and so then does every string lookup.
class ISetupRunContext {
 public:
  virtual ~ISetupRunContext() = default;
  virtual String DestPath() = 0;
  virtual String HomePage() = 0;
  virtual String ProductName() = 0;
  virtual String VersionInfo() = 0;
};

// One entry of the language dialog, in display order.
struct TLanguageItem {
  String Name;     // "File"/"Name" of the language file
  int LangId = 0;  // "File"/"LangId"
  Bytes Icon;      // "File"/"Icon" bytes (an .ico file), may be empty
  int Index = 0;   // index into Languages()
};

// Shows the language dialog with `items` and the preselected position `preselected` (-1: none)
// and returns the chosen item's Index, or -1. Not given: the preselection is taken.
using TLanguageChooser =
    std::function<int(const std::vector<TLanguageItem>& items, int preselected)>;

// True when the running program's file name is "Uninstall.exe" (ignoring case).
bool IsUninstallerExe();
// Whether this program is "Uninstall.exe" and its ".dat" holds the uninstall record, so that
// the run is a removal — what TSetup's mode says, without reading the SETUP package. A ".dat"
// that is missing or corrupt raises as the setup object's resources would.
bool IsUninstallerWithRecord();

// The RCDATA resource beside "PRODUCT" that holds a copy of the PRODUCT package's file table
// (its FileTableBytes, written by `setuptool table`). With it the product package is decoded in
// the background; without it, at once.
inline constexpr char16_t kProductTableResource[] = u"PRODUCTTABLE";

class TSetupResources {
 public:
  // Opens the SETUP resource and the product package (the ".dat" file beside the program when
  // it runs as "Uninstall.exe", else the PRODUCT resource), reads "Install.xml", lists the
  // languages and fills the folders. Raises on any failure found so far: the PRODUCT resource
  // with its table copy is decoded in the background, and a body that turns out corrupt
  // raises from its first use (and from ProductPackage().Wait()).
  explicit TSetupResources(ISetupRunContext& run);

  // Loads "English.lng", lets `chooser` choose (or takes the preselection) and merges the
  // chosen language over English.
  void InitializeLanguages(const TLanguageChooser& chooser = {});
  // The language dialog's entries in display order, and the position preselected among them:
  // the user's interface language, else 1033, else the first; -1 when there are none.
  std::vector<TLanguageItem> LanguageItems() const;
  static int PreselectedItem(const std::vector<TLanguageItem>& items, uint16_t ui_language);

  // A copy of the entry, from the product package if it has one of that name (then after its
  // decoding), else from the setup package; raises EInstallerInstallError "Cannot locate "%s" file
  // in setup archive".
  std::unique_ptr<TMemoryStream> GetStream(StringView name) const;
  // The same entry's bytes in place, valid while the resources live (no copy).
  std::span<const uint8_t> GetBytes(StringView name) const;
  // As GetBytes, but an entry of the product package comes as soon as its bytes are decoded,
  // before the package's checks (TDeferredSetupPackage::WaitForEntry): for a writer that takes
  // back what it wrote when ProductPackage().Wait() fails afterwards.
  std::span<const uint8_t> GetDecodedBytes(StringView name) const;
  StringList GetStringList(StringView name) const;
  // The entry decoded as a picture (PNG with alpha, or an icon). Raises "Cannot locate" for a
  // missing entry and EInstallerInstallError "Cannot read the picture "%s"" for bytes that are
  // no picture.
  TPicture GetImage(StringView name) const;
  String GetLanguageFamily() const;
  // The ANSI code page of the chosen language ("File"/"ANSICP"), 0 when it names none: what
  // the user interface chooses its fonts' character set by.
  int GetAnsiCodePage() const;
  // The license text of the run's language family, or none.
  std::unique_ptr<TMemoryStream> GetLicenseStream() const;
  String GetString(StringView section, StringView key) const;
  // The same, or `fallback` (its variables expanded too) when the language files have no such
  // text: for the messages a run must be able to show whatever the setup data holds.
  String GetString(StringView section, StringView key, StringView fallback) const;
  String ExpandVariables(StringView text) const;
  // The variables replaced (not "\n": a path holds none, and "$DEST\nolu.dll" must keep its
  // separator), then the path cleaned. A path that begins with a folder of the run (the
  // destination, the temporary folder, the desktop, the start menu, the programs folder) keeps
  // that folder as it is and has only the rest cleaned (CleanRelativePath), so a file below
  // the destination lands in the destination whatever its name looks like.
  String ExpandPath(StringView text) const;

  const TSetupPackageReader& SetupPackage() const { return *setup_package_; }
  const TDeferredSetupPackage& ProductPackage() const { return *product_package_; }
  const TSetupScript& Script() const { return script_; }
  const StringList& Languages() const { return languages_; }
  const TRuxIniFile& Strings() const { return strings_; }
  const String& LanguageName() const { return language_name_; }
  const String& DesktopFolder() const { return desktop_folder_; }
  const String& ProgramsFolder() const { return programs_folder_; }
  const String& NativeProgramsFolder() const { return native_programs_folder_; }
  const String& StartMenuFolder() const { return start_menu_folder_; }

 private:
  // The eight variables alone, in their order.
  String ReplaceVariables(StringView text) const;

  ISetupRunContext& run_;
  std::unique_ptr<TSetupPackageReader> setup_package_;
  std::unique_ptr<TDeferredSetupPackage> product_package_;
  TSetupScript script_;
  StringList languages_;
  TRuxIniFile strings_;
  String language_name_;
  String desktop_folder_;
  String programs_folder_;
  String native_programs_folder_;
  String start_menu_folder_;
};

// The path cleaning of ExpandPath: root kept ("C:", "\\server", "\\?\C:", "\\?\UNC\server"),
// every component cleaned of characters a file name cannot hold, empty components dropped,
// trailing backslash kept.
String CleanPath(StringView path);
// The same for a path without a root: every component is cleaned, so nothing of the result
// can be a drive, a server or a way out of the folder it is appended to.
String CleanRelativePath(StringView path);

}  // namespace nolu
