#include "platform/fake/fake_shell.h"

#include "base/locale.h"
#include "platform/error_codes.h"

namespace nolu {
namespace {

// The serialised form of a link in the fake file system.
constexpr std::string_view kLinkMagic = "[NoluFakeShellLink]\n";

std::string EncodeLink(const TShellLink& link) {
  std::string out(kLinkMagic);
  for (const String* field :
       {&link.Target, &link.Arguments, &link.WorkingFolder, &link.Description}) {
    out += StringToUtf8(*field);
    out += '\n';
  }
  return out;
}

bool DecodeLink(const std::string& text, TShellLink& link) {
  if (text.compare(0, kLinkMagic.size(), kLinkMagic) != 0) return false;
  StringList fields;
  size_t start = kLinkMagic.size();
  while (start < text.size()) {
    const size_t end = text.find('\n', start);
    if (end == std::string::npos) return false;
    fields.push_back(Utf8ToString(std::string_view(text).substr(start, end - start)));
    start = end + 1;
  }
  if (fields.size() != 4) return false;
  link = {fields[0], fields[1], fields[2], fields[3]};
  return true;
}

}  // namespace

TFakeShell::TFakeShell(IFileSystem& files, TFakeProcesses& processes)
    : files_(files), processes_(processes) {
  const String user = u"C:\\Users\\User\\";
  const String roaming = user + u"AppData\\Roaming\\";
  const String common_menu = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\";
  folders_ = {
      {Csidl::kDesktop, user + u"Desktop\\"},
      {Csidl::kDesktopDirectory, user + u"Desktop\\"},
      {Csidl::kStartMenu, roaming + u"Microsoft\\Windows\\Start Menu\\"},
      {Csidl::kPrograms, roaming + u"Microsoft\\Windows\\Start Menu\\Programs\\"},
      {Csidl::kCommonStartMenu, common_menu},
      {Csidl::kCommonPrograms, common_menu + u"Programs\\"},
      {Csidl::kCommonDesktopDirectory, u"C:\\Users\\Public\\Desktop\\"},
      {Csidl::kAppData, roaming},
      {Csidl::kLocalAppData, user + u"AppData\\Local\\"},
      {Csidl::kCommonAppData, u"C:\\ProgramData\\"},
      {Csidl::kWindows, u"C:\\Windows\\"},
      {Csidl::kSystem, u"C:\\Windows\\System32\\"},
      {Csidl::kProgramFiles, u"C:\\Program Files\\"},
      {Csidl::kProgramFilesX86, u"C:\\Program Files (x86)\\"},
      {Csidl::kProfile, user},
      {Csidl::kSystemX86, u"C:\\Windows\\SysWOW64\\"},
      {Csidl::kPersonal, user + u"Documents\\"},
      {Csidl::kDownloads, user + u"Downloads\\"},
      {Csidl::kMyMusic, user + u"Music\\"},
      {Csidl::kMyPictures, user + u"Pictures\\"},
      {Csidl::kMyVideo, user + u"Videos\\"},
      {Csidl::kCommonDocuments, u"C:\\Users\\Public\\Documents\\"},
      {Csidl::kCommonDownloads, u"C:\\Users\\Public\\Downloads\\"},
      {Csidl::kCommonMusic, u"C:\\Users\\Public\\Music\\"},
      {Csidl::kCommonPictures, u"C:\\Users\\Public\\Pictures\\"},
      {Csidl::kCommonVideo, u"C:\\Users\\Public\\Videos\\"},
  };
}

bool TFakeShell::SpecialFolder(Csidl folder, String& path) {
  std::lock_guard lock(mutex_);
  auto it = folders_.find(folder);
  if (it == folders_.end() || it->second.empty()) return false;
  path = it->second;
  return true;
}

uint32_t TFakeShell::VerbError(StringView verb) {
  std::lock_guard lock(mutex_);
  for (const auto& [failing, error] : verb_failures_) {
    if (EqualsIgnoreCase(failing, verb)) return error;
  }
  return kErrorSuccess;
}

TStartResult TFakeShell::Start(TFakeLaunch::Via how, const TShellExecuteInfo& info) {
  TFakeLaunch launch;
  launch.How = how;
  launch.File = info.File;
  launch.Parameters = info.Parameters;
  launch.CommandLine = info.Parameters.empty() ? info.File : info.File + u" " + info.Parameters;
  launch.Verb = info.Verb;
  launch.Folder = info.Folder;
  launch.Show = info.Show;
  return processes_.Launch(std::move(launch), VerbError(info.Verb));
}

TStartResult TFakeShell::Execute(const TShellExecuteInfo& info) {
  return Start(TFakeLaunch::Via::kShellExecute, info);
}

uint32_t TFakeShell::ShellOpen(StringView verb, StringView file, StringView parameters,
                               StringView folder, int show) {
  const TShellExecuteInfo info{String(verb), String(file), String(parameters), String(folder),
                               show};
  return Start(TFakeLaunch::Via::kShellOpen, info).Error;
}

uint32_t TFakeShell::CreateShellLink(StringView link_path, const TShellLink& link) {
  TOpenResult out = files_.OpenFile(link_path, FileMode::kCreate);
  if (!out.Stream) return out.Error;
  const std::string text = EncodeLink(link);
  out.Stream->WriteBuffer(text.data(), text.size());
  return kErrorSuccess;
}

uint32_t TFakeShell::ReadShellLink(StringView link_path, TShellLink& link) {
  TOpenResult in = files_.OpenFile(link_path, FileMode::kOpenRead);
  if (!in.Stream) return in.Error;
  std::string text(static_cast<size_t>(in.Stream->Size()), '\0');
  in.Stream->ReadBuffer(text.data(), text.size());
  return DecodeLink(text, link) ? kErrorSuccess : kErrorBadFormat;
}

void TFakeShell::ChangeNotify(uint32_t event, uint32_t flags) {
  std::lock_guard lock(mutex_);
  notifications_.push_back({event, flags});
}

void TFakeShell::SetSpecialFolder(Csidl folder, StringView path) {
  std::lock_guard lock(mutex_);
  folders_[folder] = String(path);
}

std::map<Csidl, String> TFakeShell::SpecialFolders() {
  std::lock_guard lock(mutex_);
  return folders_;
}

void TFakeShell::FailVerb(StringView verb, uint32_t error) {
  std::lock_guard lock(mutex_);
  verb_failures_.emplace_back(String(verb), error);
}

std::vector<TFakeChangeNotify> TFakeShell::ChangeNotifications() {
  std::lock_guard lock(mutex_);
  return notifications_;
}

}  // namespace nolu
