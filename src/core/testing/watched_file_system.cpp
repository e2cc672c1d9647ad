#include "core/testing/watched_file_system.h"

#include "base/locale.h"
#include "base/path.h"

namespace nolu {

void TWatchedFileSystem::Record(StringView operation, StringView path, StringView target) {
  std::function<void()> action;
  {
    std::lock_guard lock(mutex_);
    calls_.push_back({String(operation), String(path), String(target)});
    for (auto it = hooks_.begin(); it != hooks_.end(); ++it) {
      if (it->Operation == operation && EqualsIgnoreCase(it->Path, path)) {
        action = std::move(it->Action);
        hooks_.erase(it);
        break;
      }
    }
  }
  if (action) action();
}

void TWatchedFileSystem::Before(StringView operation, StringView path,
                                std::function<void()> action) {
  std::lock_guard lock(mutex_);
  hooks_.push_back({String(operation), String(path), std::move(action)});
}

std::vector<TFileCall> TWatchedFileSystem::Calls() {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<TFileCall> TWatchedFileSystem::CallsBelow(StringView prefix) {
  std::vector<TFileCall> below;
  for (TFileCall& call : Calls()) {
    if (PathStartsWith(call.Path, prefix) ||
        (!call.Target.empty() && PathStartsWith(call.Target, prefix))) {
      below.push_back(std::move(call));
    }
  }
  return below;
}

uint32_t TWatchedFileSystem::Attributes(StringView path) {
  Record(u"Attributes", path);
  return inner_.Attributes(path);
}

uint32_t TWatchedFileSystem::ListFolder(StringView folder, std::vector<TFileEntry>& entries) {
  Record(u"ListFolder", folder);
  return inner_.ListFolder(folder, entries);
}

TOpenResult TWatchedFileSystem::OpenFile(StringView path, FileMode mode) {
  Record(u"OpenFile", path);
  return inner_.OpenFile(path, mode);
}

uint32_t TWatchedFileSystem::SetAttributes(StringView path, uint32_t attributes) {
  Record(u"SetAttributes", path);
  return inner_.SetAttributes(path, attributes);
}

uint32_t TWatchedFileSystem::Delete(StringView path) {
  Record(u"Delete", path);
  return inner_.Delete(path);
}

uint32_t TWatchedFileSystem::Copy(StringView source, StringView target, bool fail_if_exists) {
  Record(u"Copy", source, target);
  return inner_.Copy(source, target, fail_if_exists);
}

uint32_t TWatchedFileSystem::Move(StringView source, StringView target) {
  Record(u"Move", source, target);
  return inner_.Move(source, target);
}

uint32_t TWatchedFileSystem::Replace(StringView source, StringView target) {
  Record(u"Replace", source, target);
  return inner_.Replace(source, target);
}

uint32_t TWatchedFileSystem::MoveOnReboot(StringView source, StringView target) {
  Record(u"MoveOnReboot", source, target);
  return inner_.MoveOnReboot(source, target);
}

uint32_t TWatchedFileSystem::CreateFolder(StringView path, TFolderAccess access) {
  Record(u"CreateFolder", path);
  return inner_.CreateFolder(path, access);
}

uint32_t TWatchedFileSystem::HoldFolder(StringView path, std::unique_ptr<THeldFolder>& held) {
  Record(u"HoldFolder", path);
  return inner_.HoldFolder(path, held);
}

uint32_t TWatchedFileSystem::SetFolderAccess(StringView path, TFolderAccess access) {
  Record(u"SetFolderAccess", path);
  return inner_.SetFolderAccess(path, access);
}

uint32_t TWatchedFileSystem::ReadAccessList(StringView path, TAccessList& list) {
  Record(u"ReadAccessList", path);
  return inner_.ReadAccessList(path, list);
}

uint32_t TWatchedFileSystem::RemoveFolder(StringView path) {
  Record(u"RemoveFolder", path);
  return inner_.RemoveFolder(path);
}

uint32_t TWatchedFileSystem::TempFileName(StringView folder, StringView prefix, String& path) {
  Record(u"TempFileName", folder);
  return inner_.TempFileName(folder, prefix, path);
}

uint32_t TWatchedFileSystem::FinalPathName(StringView path, String& final_path) {
  Record(u"FinalPathName", path);  // it opens the path, following its links
  return inner_.FinalPathName(path, final_path);
}

uint32_t TWatchedFileSystem::FullPathName(StringView path, String& full) {
  return inner_.FullPathName(path, full);
}

uint32_t TWatchedFileSystem::LongPathName(StringView path, String& long_path) {
  Record(u"LongPathName", path);
  return inner_.LongPathName(path, long_path);
}

uint32_t TWatchedFileSystem::SetCurrentFolder(StringView path) {
  Record(u"SetCurrentFolder", path);
  return inner_.SetCurrentFolder(path);
}

}  // namespace nolu
