#include "core/folder_chain.h"

#include "base/locale.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {

uint32_t TFolderChain::Push(String path) {
  std::unique_ptr<THeldFolder> held;
  if (const uint32_t error = CurrentPlatform().Files().HoldFolder(path, held)) return error;
  held_.push_back(std::move(held));
  lengths_.push_back(path_.size());
  path_ = IncludeTrailingBackslash(path);
  return kErrorSuccess;
}

uint32_t TFolderChain::Hold(StringView root, StringView folder) {
  return HoldWay(root, folder, TMissing::kFail);
}

uint32_t TFolderChain::HoldCreating(StringView root, StringView folder) {
  return HoldWay(root, folder, TMissing::kCreate);
}

uint32_t TFolderChain::HoldExisting(StringView root, StringView folder) {
  return HoldWay(root, folder, TMissing::kStop);
}

uint32_t TFolderChain::MoveTo(StringView root, StringView folder) {
  const String top = IncludeTrailingBackslash(root);
  const String target = IncludeTrailingBackslash(folder);
  if (held_.empty() || !EqualsIgnoreCase(top, root_) || !PathStartsWith(target, top)) {
    return Hold(root, folder);
  }
  // Every held level ends with a backslash, so a prefix is a whole folder of the way.
  while (held_.size() > 1 && !PathStartsWith(target, path_))
    Leave();
  return EnterWay(target, path_.size(), TMissing::kFail);
}

uint32_t TFolderChain::HoldWay(StringView root, StringView folder, TMissing missing) {
  Release();
  const String top = IncludeTrailingBackslash(root);
  const String target = IncludeTrailingBackslash(folder);
  if (top.size() <= 1 || !PathStartsWith(target, top)) return kErrorInvalidParameter;
  if (uint32_t error = Push(top)) return error;
  root_ = top;
  return EnterWay(target, top.size(), missing);
}

uint32_t TFolderChain::EnterWay(const String& target, size_t from, TMissing missing) {
  for (size_t start = from; start < target.size();) {
    const size_t end = target.find(u'\\', start);
    const StringView name = StringView(target).substr(start, end - start);
    start = end + 1;
    if (name.empty()) continue;
    uint32_t error = missing == TMissing::kCreate ? EnterOrCreate(name) : Enter(name);
    if (missing == TMissing::kStop &&
        (error == kErrorFileNotFound || error == kErrorPathNotFound)) {
      break;
    }
    if (error) {
      Release();
      return error;
    }
  }
  return kErrorSuccess;
}

uint32_t TFolderChain::Enter(StringView name) {
  if (held_.empty() || name.empty() || name == u"." || name == u"..") return kErrorInvalidParameter;
  return Push(path_ + String(name));
}

uint32_t TFolderChain::EnterOrCreate(StringView name) {
  if (held_.empty() || name.empty() || name == u"." || name == u"..") return kErrorInvalidParameter;
  // The parent is held: the new folder is made where it was checked. One that someone else
  // put there meanwhile is entered only if it is no link.
  const uint32_t created = CurrentPlatform().Files().CreateFolder(path_ + String(name));
  if (created != kErrorSuccess && created != kErrorAlreadyExists) return created;
  return Enter(name);
}

void TFolderChain::Leave() {
  if (held_.empty()) return;
  held_.pop_back();
  path_.resize(lengths_.back());
  lengths_.pop_back();
}

void TFolderChain::Release() {
  while (!held_.empty())
    Leave();
}

}  // namespace nolu
