#include "core/setup_extract_helper.h"

#include <algorithm>
#include <new>
#include <span>

#include "base/buffered_stream.h"
#include "base/errors.h"
#include "base/path.h"
#include "base/read_only_memory_stream.h"
#include "core/extract_journal.h"
#include "core/product_folder.h"
#include "core/setup.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// Abort, Retry, Ignore with Retry as the default button, and the warning icon (306).
constexpr uint32_t kQuestionStyle = kMbAbortRetryIgnore | kMbIconWarning | kMbDefButton2;
constexpr StringView kQuestionCaption = u"Setup";
constexpr StringView kBackupExtension = u".bak";

// Creates (or truncates) the target for writing, unshared; false when the system refuses.
bool TryCreateTarget(StringView target, std::unique_ptr<TStream>& stream) {
  TOpenResult opened = CurrentPlatform().Files().OpenFile(target, FileMode::kCreate);
  if (!opened.Stream) return false;
  // 256 KiB of write buffer.
  stream = std::make_unique<TBufferedStream>(std::move(opened.Stream));
  return true;
}

// Writes the whole entry into `target` in chunks of 1 MiB, straight from the package body
// (nothing is held besides the write buffer), and flushes, so that a full disk is reported
// here and not swallowed when the stream is closed.
void CopyEntry(std::span<const uint8_t> bytes, TStream& target) {
  for (size_t offset = 0; offset < bytes.size(); offset += TStream::kCopyChunk) {
    target.WriteBuffer(bytes.data() + offset, std::min(TStream::kCopyChunk, bytes.size() - offset));
  }
  target.Flush();
}

// Asks the Retry/Ignore/Abort question on the main thread; the worker waits for the answer.
int AskAboutTarget(const String& text) {
  TPlatform& platform = CurrentPlatform();
  int answer = kIdIgnore;
  platform.Messages().Synchronize(
      [&] { answer = platform.Dialogs().ShowMessageBox(text, kQuestionCaption, kQuestionStyle); });
  return answer;
}

}  // namespace

void TSetupExtractHelper::ExtractFile(const TSetupScriptFile& file) {
  TSetupResources& resources = Setup()->Resources();
  const String target = resources.ExpandPath(file.Name);
  try {
    const String folder = ExtractFilePath(target);
    if (journal_) journal_->NoteFolders(folder);
    ForceDir(folder);
    const std::span<const uint8_t> bytes = EntryBytes(target, file.ValueOrFileName());
    TReadOnlyMemoryStream source(bytes);
    std::unique_ptr<TStream> stream;
    if (CreateTargetStream(target, source, stream)) {
      if (journal_) journal_->NoteFile(target);
      CopyEntry(bytes, *stream);
    }
  } catch (const Exception& e) {
    throw EInstallerInstallError(target + u"\r\n" + e.Message());
  } catch (const std::bad_alloc&) {
    // A huge entry must end the run with a message, not the process.
    throw EInstallerInstallError(target + u"\r\nOut of memory");
  }
}

std::span<const uint8_t> TSetupExtractHelper::EntryBytes(StringView target, StringView name) {
  const TSetupResources& resources = Setup()->Resources();
  if (!journal_) return resources.GetBytes(name);
  if (!PathStartsWith(target, Setup()->DestPath())) resources.ProductPackage().Wait();
  return resources.GetDecodedBytes(name);
}

void TSetupExtractHelper::ForceDir(StringView path) {
  bool created = false;
  try {
    // The product folder first, with its access list, whichever of its folders comes first.
    TSetup& setup = *Setup();
    if (PathStartsWith(IncludeTrailingBackslash(path), setup.DestPath())) {
      CreateProductFolder(setup.DestPath(), (setup.Flags() & sfPortable) != 0);
    }
    created = CurrentPlatform().Files().ForceFolders(path) == 0;
  } catch (const Exception&) {
    // Reported below as the folder that could not be created.
  }
  if (!created) throw EInstallerInstallError(FormatString(u"E3", {path}));
}

bool TSetupExtractHelper::CreateTargetStream(StringView target, TStream& source,
                                             std::unique_ptr<TStream>& stream) {
  if (TryCreateTarget(target, stream)) return true;

  // In use. A file that already has the content needs nothing (a running program that is
  // installed again); an error reading it ends the run.
  IFileSystem& files = CurrentPlatform().Files();
  if (OpenFileOrRaise(target, FileMode::kOpenRead)->SameRemainingContent(source)) return false;

  // A loaded program can usually be renamed though not overwritten: move it aside and write
  // the new file under the freed name. An existing ".bak" is never replaced.
  const String backup = String(target) + String(kBackupExtension);
  const bool moved_aside = files.Move(target, backup) == 0;
  for (;;) {
    if (TryCreateTarget(target, stream)) return true;
    const int answer = AskAboutTarget(FormatString(u"QM2", {target}));
    if (answer == kIdRetry) continue;
    // Skipped or aborted: the old file goes back to its name, so that the product keeps it.
    if (moved_aside) files.Move(backup, target);
    if (answer == kIdAbort) throw EInstallerInstallError(FormatString(u"E1", {target}));
    return false;
  }
}

String TSetupExtractHelper::FormatString(StringView key, std::initializer_list<FormatArg> args) {
  return Format(Setup()->Resources().GetString(u"Common", key), args);
}

}  // namespace nolu
