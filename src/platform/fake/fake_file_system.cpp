#include "platform/fake/fake_file_system.h"

#include <algorithm>
#include <cstring>

#include "base/errors.h"
#include "base/locale.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/fake/fake_system.h"

namespace nolu {

struct TFakeFileSystem::FileData {
  Bytes bytes;
  // Open handles by mode; the mode decides what they share with later opens.
  int readers = 0;       // kOpenRead: share read, write and delete
  int read_writers = 0;  // kOpenReadWrite: share read
  int exclusive = 0;     // kCreate, kCreateNew: share nothing
  int deny_writers = 0;  // kOpenReadDenyWrite: read, share read
  int appenders = 0;     // kAppend, kAppendNew: share read and write

  bool SharesDelete() const {
    return read_writers == 0 && exclusive == 0 && deny_writers == 0 && appenders == 0;
  }
  bool SharesWrite() const { return SharesDelete(); }
  // Both ways, as Windows checks: what the new handle wants must be shared by the open ones,
  // and what they do must be shared by the new one.
  bool CanOpen(FileMode mode) const {
    if (exclusive) return false;
    switch (mode) {
      case FileMode::kOpenRead:
        return true;
      case FileMode::kOpenReadDenyWrite:
        return read_writers == 0 && appenders == 0;
      case FileMode::kOpenReadWrite:
        return read_writers == 0 && deny_writers == 0 && appenders == 0;
      case FileMode::kCreate:
      case FileMode::kCreateNew:
        return readers == 0 && read_writers == 0 && deny_writers == 0 && appenders == 0;
      case FileMode::kAppend:
      case FileMode::kAppendNew:
        return read_writers == 0 && deny_writers == 0;
    }
    return false;
  }
  int& Count(FileMode mode) {
    switch (mode) {
      case FileMode::kOpenRead:
        return readers;
      case FileMode::kOpenReadDenyWrite:
        return deny_writers;
      case FileMode::kOpenReadWrite:
        return read_writers;
      case FileMode::kAppend:
      case FileMode::kAppendNew:
        return appenders;
      case FileMode::kCreate:
      case FileMode::kCreateNew:
        break;
    }
    return exclusive;
  }
};

struct TFakeFileSystem::Node {
  String name;
  String short_name;
  uint32_t attributes = 0;
  std::shared_ptr<FileData> data;                    // files
  std::map<String, std::unique_ptr<Node>> children;  // folders, by upper-case name
  std::optional<TFakeFileLock> lock;
  // A junction made by AddJunction: the full path it leads to. Junctions made by AddFolder
  // with kAttrReparsePoint lead nowhere; what they hold is stored in them.
  String link_target;
  // Deleted while another program holds it: the name stays taken until the hold ends.
  bool delete_pending = false;
  std::optional<TFolderAccess> access;  // set by CreateFolder or SetFolderAccess
  int holds = 0;                        // HoldFolder objects alive

  bool IsFolder() const { return (attributes & kAttrDirectory) != 0; }
  uint32_t ReportedAttributes() const { return attributes == 0 ? kAttrNormal : attributes; }
  Node* Child(StringView part) {
    auto it = children.find(UpperCase(part));
    if (it != children.end()) return it->second.get();
    for (auto& [key, child] : children) {
      if (!child->short_name.empty() && EqualsIgnoreCase(child->short_name, part)) {
        return child.get();
      }
    }
    return nullptr;
  }
};

struct TFakeFileSystem::Failure {
  FakeFileOp op;
  String key;  // upper-case full path; empty: any
  uint32_t error;
  int times;
};

struct TFakeFileSystem::Resolved {
  String root_key;
  String root_text;
  StringList parts;
  bool trailing = false;
};

namespace {

// Windows gives up on a chain of links this long (ERROR_CANT_RESOLVE_FILENAME).
constexpr int kMaxLinks = 31;

constexpr uint32_t kSettableAttributes =
    kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive | kAttrTemporary;

bool IsInvalidNameChar(Char c) {
  return c < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|' || c == u'?' ||
         c == u'*';
}

}  // namespace

// A handle opened through OpenFile. It keeps the file's bytes alive (a file deleted while
// open for reading stays readable through the handle, as on Windows).
class TFakeFileSystem::Stream : public TStream {
 public:
  Stream(TFakeFileSystem& fs, std::shared_ptr<FileData> data, String path, String key,
         FileMode mode)
      : fs_(fs),
        data_(std::move(data)),
        path_(std::move(path)),
        key_(std::move(key)),
        mode_(mode) {}

  ~Stream() override {
    std::lock_guard lock(fs_.mutex_);
    --data_->Count(mode_);
    --fs_.open_streams_;
  }

  size_t Read(void* buffer, size_t count) override {
    std::lock_guard lock(fs_.mutex_);
    Fail(fs_.CheckKey(FakeFileOp::kRead, key_));
    const Bytes& bytes = data_->bytes;
    if (position_ >= bytes.size() || count == 0) return 0;
    const size_t n = std::min<size_t>(count, bytes.size() - position_);
    std::memcpy(buffer, bytes.data() + position_, n);
    position_ += n;
    return n;
  }

  size_t Write(const void* buffer, size_t count) override {
    std::lock_guard lock(fs_.mutex_);
    if (count == 0) return 0;
    if (ReadOnly()) Fail(kErrorAccessDenied);
    Fail(fs_.CheckKey(FakeFileOp::kWrite, key_));
    if (mode_ == FileMode::kAppend || mode_ == FileMode::kAppendNew) {
      position_ = data_->bytes.size();
    }
    uint64_t allowed = count;
    const bool fits = fs_.ConsumeBudget(count, allowed);
    Bytes& bytes = data_->bytes;
    if (bytes.size() < position_ + allowed) bytes.resize(position_ + allowed);
    if (allowed) std::memcpy(bytes.data() + position_, buffer, allowed);
    position_ += allowed;
    if (!fits) Fail(kErrorDiskFull);
    return count;
  }

  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    std::lock_guard lock(fs_.mutex_);
    const int64_t base = origin == SeekOrigin::kBegin ? 0
                         : origin == SeekOrigin::kCurrent
                             ? static_cast<int64_t>(position_)
                             : static_cast<int64_t>(data_->bytes.size());
    if (base + offset < 0) throw EStreamError(u"Stream seek error");
    position_ = static_cast<size_t>(base + offset);
    return static_cast<int64_t>(position_);
  }

  int64_t Size() override {
    std::lock_guard lock(fs_.mutex_);
    return static_cast<int64_t>(data_->bytes.size());
  }

  void SetSize(int64_t size) override {
    std::lock_guard lock(fs_.mutex_);
    if (ReadOnly()) Fail(kErrorAccessDenied);
    if (size < 0) throw EStreamError(u"Stream size error");
    const size_t new_size = static_cast<size_t>(size);
    if (new_size > data_->bytes.size()) {
      uint64_t allowed = 0;
      if (!fs_.ConsumeBudget(new_size - data_->bytes.size(), allowed)) Fail(kErrorDiskFull);
    }
    data_->bytes.resize(new_size);
    if (position_ > new_size) position_ = new_size;
  }

 private:
  bool ReadOnly() const {
    return mode_ == FileMode::kOpenRead || mode_ == FileMode::kOpenReadDenyWrite;
  }
  void Fail(uint32_t error) {
    if (error != kErrorSuccess) throw EOSError(error, FakeSystemErrorText(error), path_);
  }

  TFakeFileSystem& fs_;
  std::shared_ptr<FileData> data_;
  String path_;
  String key_;
  FileMode mode_;
  size_t position_ = 0;
};

TFakeFileSystem::TFakeFileSystem() {
  AddDrive(u"C:");
  current_ = u"C:\\";
  SetTempFolder(u"C:\\Users\\User\\AppData\\Local\\Temp\\");
}

TFakeFileSystem::~TFakeFileSystem() = default;

// --------------------------------------------------------------------------- resolution

uint32_t TFakeFileSystem::Resolve(StringView path, Resolved& r) {
  String p(path);
  std::replace(p.begin(), p.end(), u'/', u'\\');
  if (StartsWith(p, u"\\\\?\\UNC\\")) {
    p = u"\\\\" + p.substr(8);
  } else if (StartsWith(p, u"\\\\?\\")) {
    p = p.substr(4);
  }
  if (p.empty()) return kErrorPathNotFound;
  r = Resolved{};
  r.trailing = p.back() == u'\\';
  String rest;
  Resolved current;
  const bool has_current = current_ != p && Resolve(current_, current) == kErrorSuccess;
  if (p.size() >= 2 && p[1] == u':') {
    r.root_text = p.substr(0, 2);
    rest = p.substr(2);
    // "C:name" is relative to the current folder when that lies on drive C:.
    if ((rest.empty() || rest[0] != u'\\') && has_current &&
        EqualsIgnoreCase(current.root_text, r.root_text)) {
      r.parts = current.parts;
    }
  } else if (StartsWith(p, u"\\\\")) {
    const size_t server_end = p.find(u'\\', 2);
    if (server_end == String::npos || server_end == 2) return kErrorPathNotFound;
    size_t share_end = p.find(u'\\', server_end + 1);
    if (share_end == String::npos) share_end = p.size();
    if (share_end == server_end + 1) return kErrorPathNotFound;
    r.root_text = p.substr(0, share_end);
    rest = p.substr(share_end);
  } else {
    if (!has_current) return kErrorPathNotFound;
    r.root_text = current.root_text;
    if (p[0] != u'\\') r.parts = current.parts;
    rest = p;
  }
  r.root_key = UpperCase(r.root_text);
  if (auto it = roots_.find(r.root_key); it != roots_.end()) r.root_text = it->second->name;

  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find(u'\\', start);
    if (end == String::npos) end = rest.size();
    String part = rest.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == u".") continue;
    if (part == u"..") {
      if (!r.parts.empty()) r.parts.pop_back();
      continue;
    }
    while (!part.empty() && (part.back() == u'.' || part.back() == u' '))
      part.pop_back();
    if (part.empty()) continue;
    if (std::any_of(part.begin(), part.end(), IsInvalidNameChar)) return kErrorInvalidName;
    r.parts.push_back(std::move(part));
  }
  return kErrorSuccess;
}

TFakeFileSystem::Node* TFakeFileSystem::Find(const Resolved& r, bool follow_last, int depth) {
  auto it = roots_.find(r.root_key);
  if (it == roots_.end()) return nullptr;
  Node* node = it->second.get();
  for (size_t i = 0; i < r.parts.size(); ++i) {
    if (!node->IsFolder()) return nullptr;
    node = node->Child(r.parts[i]);
    if (node && (follow_last || i + 1 < r.parts.size())) node = FollowLink(node, depth);
    if (!node) return nullptr;
  }
  return node;
}

TFakeFileSystem::Node* TFakeFileSystem::FollowLink(Node* node, int depth) {
  if (node->link_target.empty()) return node;
  if (depth >= kMaxLinks) return nullptr;
  Resolved target;
  if (Resolve(node->link_target, target) != kErrorSuccess) return nullptr;
  return Find(target, /*follow_last=*/true, depth + 1);
}

TFakeFileSystem::Node* TFakeFileSystem::FindParent(const Resolved& r, uint32_t& error) {
  error = kErrorPathNotFound;
  if (r.parts.empty()) {
    error = kErrorAccessDenied;  // the root has no parent to change
    return nullptr;
  }
  Resolved parent = r;
  parent.parts.pop_back();
  Node* node = Find(parent, /*follow_last=*/true);
  if (!node || !node->IsFolder()) return nullptr;
  error = kErrorSuccess;
  return node;
}

String TFakeFileSystem::FullText(const Resolved& r, bool trailing) {
  String out = r.root_text + u"\\";
  for (size_t i = 0; i < r.parts.size(); ++i) {
    if (i) out += u'\\';
    out += r.parts[i];
  }
  if (trailing && !r.parts.empty()) out += u'\\';
  return out;
}

bool TFakeFileSystem::Denied(const Resolved& r) {
  const String key = UpperCase(FullText(r, false));
  for (const String& denied : denied_) {
    if (key == denied ||
        (StartsWith(key, denied) && (denied.back() == u'\\' || key[denied.size()] == u'\\'))) {
      return true;
    }
  }
  return false;
}

uint32_t TFakeFileSystem::CheckKey(FakeFileOp op, const String& key) {
  for (auto it = failures_.begin(); it != failures_.end(); ++it) {
    if (it->op != op || (!it->key.empty() && it->key != key)) continue;
    const uint32_t error = it->error;
    if (it->times > 0 && --it->times == 0) failures_.erase(it);
    return error;
  }
  return kErrorSuccess;
}

uint32_t TFakeFileSystem::Check(FakeFileOp op, const Resolved& r) {
  if (Denied(r)) return kErrorAccessDenied;
  return CheckKey(op, UpperCase(FullText(r, false)));
}

bool TFakeFileSystem::HoldsCurrentFolder(const Resolved& folder) {
  // The process works in that folder or below it: Windows refuses to move or remove it.
  Resolved current;
  return Resolve(current_, current) == kErrorSuccess &&
         PathStartsWith(IncludeTrailingBackslash(FullText(current, false)), FullText(folder, true));
}

bool TFakeFileSystem::ConsumeBudget(uint64_t bytes, uint64_t& allowed) {
  if (!write_budget_) {
    allowed = bytes;
    return true;
  }
  allowed = std::min(bytes, *write_budget_);
  *write_budget_ -= allowed;
  return allowed == bytes;
}

TFakeFileSystem::Node& TFakeFileSystem::MakeFolders(const Resolved& r, size_t count) {
  auto it = roots_.find(r.root_key);
  if (it == roots_.end()) {
    throw EInvalidOperation(u"Fake file system: no drive " + r.root_text);
  }
  Node* node = it->second.get();
  for (size_t i = 0; i < count; ++i) {
    Node* child = node->Child(r.parts[i]);
    if (!child) {
      auto created = std::make_unique<Node>();
      created->name = r.parts[i];
      created->attributes = kAttrDirectory;
      child = created.get();
      node->children[UpperCase(r.parts[i])] = std::move(created);
    }
    child = FollowLink(child, 0);
    if (!child) {
      throw EInvalidOperation(u"Fake file system: a junction leads nowhere: " + r.parts[i]);
    }
    if (!child->IsFolder()) {
      throw EInvalidOperation(u"Fake file system: a file is in the way: " + r.parts[i]);
    }
    node = child;
  }
  return *node;
}

// --------------------------------------------------------------------------- queries

uint32_t TFakeFileSystem::Attributes(StringView path) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (Resolve(path, r) != kErrorSuccess) return kInvalidAttributes;
  // Not Check: a denied path still gives its attributes, as on Windows.
  if (CheckKey(FakeFileOp::kAttributes, UpperCase(FullText(r, false))) != kErrorSuccess) {
    return kInvalidAttributes;
  }
  Node* node = Find(r);
  // A file whose deletion is pending cannot be opened to ask (ERROR_ACCESS_DENIED).
  if (!node || node->delete_pending) return kInvalidAttributes;
  // "C:\file.txt\" names no folder.
  if (r.trailing && !node->IsFolder()) return kInvalidAttributes;
  return node->ReportedAttributes();
}

uint32_t TFakeFileSystem::ListFolder(StringView folder, std::vector<TFileEntry>& entries) {
  std::lock_guard lock(mutex_);
  entries.clear();
  Resolved r;
  if (uint32_t e = Resolve(folder, r)) return e;
  if (uint32_t e = Check(FakeFileOp::kListFolder, r)) return e;
  Node* node = Find(r, /*follow_last=*/true);
  if (!node) return kErrorPathNotFound;
  if (!node->IsFolder()) return kErrorDirectory;
  for (auto& [key, child] : node->children) {
    entries.push_back(
        {child->name, child->ReportedAttributes(), child->data ? child->data->bytes.size() : 0});
  }
  return kErrorSuccess;
}

// --------------------------------------------------------------------------- files

TOpenResult TFakeFileSystem::OpenFile(StringView path, FileMode mode) {
  std::lock_guard lock(mutex_);
  TOpenResult result;
  Resolved r;
  if ((result.Error = Resolve(path, r))) return result;
  const bool writing = mode != FileMode::kOpenRead && mode != FileMode::kOpenReadDenyWrite;
  if ((result.Error = Check(writing ? FakeFileOp::kOpenWrite : FakeFileOp::kOpenRead, r))) {
    return result;
  }
  uint32_t parent_error = kErrorSuccess;
  Node* parent = FindParent(r, parent_error);
  if (!parent) {
    result.Error = r.parts.empty() ? kErrorAccessDenied : parent_error;
    return result;
  }
  Node* node = parent->Child(r.parts.back());
  if (!node) {
    if (!(CreatesFile(mode) || mode == FileMode::kAppend) || r.trailing) {
      // A path with a trailing backslash names a folder; it is never created as a file.
      result.Error = r.trailing ? kErrorInvalidName : kErrorFileNotFound;
      return result;
    }
    auto created = std::make_unique<Node>();
    created->name = r.parts.back();
    created->attributes = kAttrArchive;
    created->data = std::make_shared<FileData>();
    node = created.get();
    parent->children[UpperCase(r.parts.back())] = std::move(created);
  } else {
    if (mode == FileMode::kCreateNew) {
      result.Error = kErrorFileExists;
      return result;
    }
    if (node->IsFolder() || r.trailing || node->delete_pending) {
      result.Error = kErrorAccessDenied;
      return result;
    }
    if (mode == FileMode::kAppendNew) {
      result.Error = kErrorFileExists;
      return result;
    }
    if (writing && (node->attributes & kAttrReadOnly)) {
      result.Error = kErrorAccessDenied;
      return result;
    }
    if (node->lock && !(writing ? node->lock->Writable : node->lock->Readable)) {
      result.Error = node->lock->Error;
      return result;
    }
    if (!node->data->CanOpen(mode)) {
      result.Error = kErrorSharingViolation;
      return result;
    }
    if (mode == FileMode::kCreate) {
      node->data->bytes.clear();
      node->attributes |= kAttrArchive;
    }
  }
  ++node->data->Count(mode);
  ++open_streams_;
  result.Stream = std::make_unique<Stream>(*this, node->data, FullText(r, false),
                                           UpperCase(FullText(r, false)), mode);
  return result;
}

uint32_t TFakeFileSystem::SetAttributes(StringView path, uint32_t attributes) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (uint32_t e = Resolve(path, r)) return e;
  if (uint32_t e = Check(FakeFileOp::kSetAttributes, r)) return e;
  Node* node = Find(r);
  if (!node) {
    uint32_t parent_error;
    return FindParent(r, parent_error) ? kErrorFileNotFound : kErrorPathNotFound;
  }
  if (node->delete_pending) return kErrorAccessDenied;
  const uint32_t kept = node->attributes & (kAttrDirectory | kAttrReparsePoint);
  node->attributes = kept | (attributes & kSettableAttributes);
  return kErrorSuccess;
}

uint32_t TFakeFileSystem::DeleteLocked(const Resolved& r) {
  uint32_t parent_error;
  Node* parent = FindParent(r, parent_error);
  if (!parent) return parent_error;
  Node* node = parent->Child(r.parts.back());
  if (!node) return kErrorFileNotFound;
  if (node->IsFolder() || node->delete_pending) return kErrorAccessDenied;
  if (node->attributes & kAttrReadOnly) return kErrorAccessDenied;
  if (node->lock && !node->lock->Deletable) return node->lock->Error;
  if (!node->data->SharesDelete()) return kErrorSharingViolation;
  if (node->lock) {
    // The holder shares deletion: the file goes when it lets go, and its name stays taken
    // until then.
    node->delete_pending = true;
    return kErrorSuccess;
  }
  parent->children.erase(UpperCase(node->name));
  return kErrorSuccess;
}

uint32_t TFakeFileSystem::Delete(StringView path) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (uint32_t e = Resolve(path, r)) return e;
  if (uint32_t e = Check(FakeFileOp::kDelete, r)) return e;
  return DeleteLocked(r);
}

uint32_t TFakeFileSystem::Copy(StringView source, StringView target, bool fail_if_exists) {
  std::lock_guard lock(mutex_);
  Resolved from, to;
  if (uint32_t e = Resolve(source, from)) return e;
  if (uint32_t e = Resolve(target, to)) return e;
  if (uint32_t e = Check(FakeFileOp::kCopy, from)) return e;
  if (uint32_t e = Check(FakeFileOp::kCopy, to)) return e;
  uint32_t parent_error;
  Node* from_parent = FindParent(from, parent_error);
  if (!from_parent) return parent_error;
  Node* node = from_parent->Child(from.parts.back());
  if (!node) return kErrorFileNotFound;
  if (node->IsFolder() || node->delete_pending) return kErrorAccessDenied;
  if (node->lock && !node->lock->Readable) return node->lock->Error;
  if (node->data->exclusive) return kErrorSharingViolation;

  Node* to_parent = FindParent(to, parent_error);
  if (!to_parent) return parent_error;
  Node* existing = to_parent->Child(to.parts.back());
  if (existing == node) return kErrorSharingViolation;
  if (existing) {
    if (existing->IsFolder() || existing->delete_pending) return kErrorAccessDenied;
    if (fail_if_exists) return kErrorFileExists;
    if (existing->attributes & kAttrReadOnly) return kErrorAccessDenied;
    if (existing->lock && !existing->lock->Writable) return existing->lock->Error;
    if (!existing->data->SharesWrite()) return kErrorSharingViolation;
  }
  uint64_t allowed = 0;
  if (!ConsumeBudget(node->data->bytes.size(), allowed)) return kErrorDiskFull;
  if (existing) {
    // Write into the existing file, so that handles that share it see the new content.
    existing->data->bytes = node->data->bytes;
    existing->attributes = node->attributes | kAttrArchive;
  } else {
    auto created = std::make_unique<Node>();
    created->name = to.parts.back();
    created->attributes = node->attributes | kAttrArchive;
    created->data = std::make_shared<FileData>();
    created->data->bytes = node->data->bytes;
    to_parent->children[UpperCase(created->name)] = std::move(created);
  }
  return kErrorSuccess;
}

uint32_t TFakeFileSystem::MoveLocked(const Resolved& from, const Resolved& to) {
  uint32_t parent_error;
  Node* from_parent = FindParent(from, parent_error);
  if (!from_parent) return parent_error;
  Node* node = from_parent->Child(from.parts.back());
  if (!node) return kErrorFileNotFound;
  if (node->delete_pending) return kErrorAccessDenied;
  if (from.root_key != to.root_key) return kErrorNotSameDevice;
  if (node->lock && !node->lock->Renamable) return node->lock->Error;
  if (node->data && !node->data->SharesDelete()) return kErrorSharingViolation;
  if (node->IsFolder()) {
    if (HoldsCurrentFolder(from) || HasHolds(*node)) return kErrorSharingViolation;
    if (PathStartsWith(FullText(to, true), FullText(from, true))) return kErrorAccessDenied;
  }
  Node* to_parent = FindParent(to, parent_error);
  if (!to_parent) return parent_error;
  Node* existing = to_parent->Child(to.parts.back());
  if (existing && existing->delete_pending) return kErrorAccessDenied;
  if (existing && existing != node) return kErrorAlreadyExists;

  std::unique_ptr<Node> moved = std::move(from_parent->children[UpperCase(node->name)]);
  from_parent->children.erase(UpperCase(node->name));
  moved->name = to.parts.back();
  moved->short_name.clear();
  to_parent->children[UpperCase(moved->name)] = std::move(moved);
  return kErrorSuccess;
}

uint32_t TFakeFileSystem::Move(StringView source, StringView target) {
  std::lock_guard lock(mutex_);
  Resolved from, to;
  if (uint32_t e = Resolve(source, from)) return e;
  if (uint32_t e = Resolve(target, to)) return e;
  if (uint32_t e = Check(FakeFileOp::kMove, from)) return e;
  if (uint32_t e = Check(FakeFileOp::kMove, to)) return e;
  if (from.parts.empty() || to.parts.empty()) return kErrorAccessDenied;
  return MoveLocked(from, to);
}

uint32_t TFakeFileSystem::Replace(StringView source, StringView target) {
  std::lock_guard lock(mutex_);
  Resolved from, to;
  if (uint32_t e = Resolve(source, from)) return e;
  if (uint32_t e = Resolve(target, to)) return e;
  if (uint32_t e = Check(FakeFileOp::kMove, from)) return e;
  if (uint32_t e = Check(FakeFileOp::kMove, to)) return e;
  if (from.parts.empty() || to.parts.empty()) return kErrorAccessDenied;
  if (from.root_key != to.root_key) return kErrorNotSameDevice;
  uint32_t parent_error;
  Node* to_parent = FindParent(to, parent_error);
  if (!to_parent) return parent_error;
  Node* existing = to_parent->Child(to.parts.back());
  if (existing) {
    if (existing->IsFolder() || existing->delete_pending ||
        (existing->attributes & kAttrReadOnly)) {
      return kErrorAccessDenied;
    }
    // The file that is replaced goes: it must be open nowhere.
    if (existing->lock) {
      return existing->lock->Deletable ? kErrorAccessDenied : existing->lock->Error;
    }
    const FileData& held = *existing->data;
    if (held.readers || held.read_writers || held.exclusive || held.deny_writers) {
      return held.SharesDelete() ? kErrorAccessDenied : kErrorSharingViolation;
    }
  }
  Node* from_parent = FindParent(from, parent_error);
  if (!from_parent) return parent_error;
  Node* node = from_parent->Child(from.parts.back());
  if (!node) return kErrorFileNotFound;
  if (node == existing) return kErrorSuccess;
  if (node->IsFolder() || node->delete_pending) return kErrorAccessDenied;
  if (node->lock && !node->lock->Renamable) return node->lock->Error;
  if (!node->data->SharesDelete()) return kErrorSharingViolation;
  if (existing) to_parent->children.erase(UpperCase(existing->name));
  return MoveLocked(from, to);
}

uint32_t TFakeFileSystem::MoveOnReboot(StringView source, StringView target) {
  std::lock_guard lock(mutex_);
  Resolved from, to;
  if (uint32_t e = Resolve(source, from)) return e;
  if (uint32_t e = Check(FakeFileOp::kMoveOnReboot, from)) return e;
  TRebootOperation op{FullText(from, false), String()};
  if (!target.empty()) {
    if (uint32_t e = Resolve(target, to)) return e;
    op.Target = FullText(to, false);
  }
  reboot_.push_back(std::move(op));
  return kErrorSuccess;
}

// --------------------------------------------------------------------------- folders

uint32_t TFakeFileSystem::CreateFolder(StringView path, TFolderAccess access) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (uint32_t e = Resolve(path, r)) return e;
  if (uint32_t e = Check(FakeFileOp::kCreateFolder, r)) return e;
  if (r.parts.empty()) return Find(r) ? kErrorAlreadyExists : kErrorPathNotFound;
  uint32_t parent_error;
  Node* parent = FindParent(r, parent_error);
  if (!parent) return parent_error;
  if (Node* existing = parent->Child(r.parts.back())) {
    return existing->delete_pending ? kErrorAccessDenied : kErrorAlreadyExists;
  }
  auto created = std::make_unique<Node>();
  created->name = r.parts.back();
  created->attributes = kAttrDirectory;
  if (access != TFolderAccess::kInherited) created->access = access;
  parent->children[UpperCase(created->name)] = std::move(created);
  return kErrorSuccess;
}

uint32_t TFakeFileSystem::RemoveFolder(StringView path) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (uint32_t e = Resolve(path, r)) return e;
  if (uint32_t e = Check(FakeFileOp::kRemoveFolder, r)) return e;
  uint32_t parent_error;
  Node* parent = FindParent(r, parent_error);
  if (!parent) return parent_error;
  Node* node = parent->Child(r.parts.back());
  if (!node) return kErrorFileNotFound;
  if (!node->IsFolder()) return kErrorDirectory;
  if (node->attributes & kAttrReadOnly) return kErrorAccessDenied;
  if (node->lock) return node->lock->Error;
  if (HoldsCurrentFolder(r) || node->holds) return kErrorSharingViolation;
  // A junction goes by itself; what it points to is not part of this tree.
  if (!node->children.empty() && !(node->attributes & kAttrReparsePoint)) {
    return kErrorDirNotEmpty;
  }
  parent->children.erase(UpperCase(node->name));
  return kErrorSuccess;
}

// A folder held by HoldFolder; the node cannot go away while it is held (RemoveFolder and
// Move refuse), so the pointer stays valid.
class TFakeFileSystem::Held : public THeldFolder {
 public:
  Held(TFakeFileSystem& fs, Node& node) : fs_(fs), node_(node) {}
  ~Held() override {
    std::lock_guard lock(fs_.mutex_);
    --node_.holds;
  }

 private:
  TFakeFileSystem& fs_;
  Node& node_;
};

bool TFakeFileSystem::HasHolds(const Node& node) {
  if (node.holds) return true;
  for (const auto& [key, child] : node.children) {
    if (HasHolds(*child)) return true;
  }
  return false;
}

uint32_t TFakeFileSystem::HoldFolder(StringView path, std::unique_ptr<THeldFolder>& held) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (uint32_t e = Resolve(path, r)) return e;
  if (uint32_t e = Check(FakeFileOp::kHoldFolder, r)) return e;
  Node* node = Find(r);
  if (!node) {
    uint32_t parent_error;
    return r.parts.empty() || FindParent(r, parent_error) ? kErrorFileNotFound : kErrorPathNotFound;
  }
  if (node->attributes & kAttrReparsePoint) return kErrorReparsePoint;
  if (!node->IsFolder()) return kErrorDirectory;
  if (node->lock && !node->lock->Readable) return node->lock->Error;
  ++node->holds;
  held = std::make_unique<Held>(*this, *node);
  return kErrorSuccess;
}

// --------------------------------------------------------------------------- access lists

uint32_t TFakeFileSystem::SetFolderAccess(StringView path, TFolderAccess access) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (uint32_t e = Resolve(path, r)) return e;
  if (uint32_t e = Check(FakeFileOp::kSetFolderAccess, r)) return e;
  Node* node = Find(r, /*follow_last=*/true);
  if (!node) return kErrorFileNotFound;
  if (!node->IsFolder()) return kErrorDirectory;
  if (access == TFolderAccess::kInherited) {
    node->access.reset();
  } else {
    node->access = access;
  }
  return kErrorSuccess;
}

uint32_t TFakeFileSystem::ReadAccessList(StringView path, TAccessList& list) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (uint32_t e = Resolve(path, r)) return e;
  if (uint32_t e = Check(FakeFileOp::kOpenRead, r)) return e;
  Node* node = Find(r, /*follow_last=*/true);
  if (!node) return kErrorFileNotFound;
  list = {};
  if (node->access) {
    list = AccessListOf(*node->access);
    return kErrorSuccess;
  }
  // Otherwise what the nearest folder above with a list of its own passes on.
  for (Resolved above = r; !above.parts.empty();) {
    above.parts.pop_back();
    const Node* folder = Find(above, /*follow_last=*/true);
    if (!folder || !folder->access) continue;
    for (TAccessEntry entry : AccessListOf(*folder->access).Entries) {
      entry.Flags = kAceInherited | (node->IsFolder() ? entry.Flags : 0);
      list.Entries.push_back(std::move(entry));
    }
    break;
  }
  return kErrorSuccess;
}

// --------------------------------------------------------------------------- names

String TFakeFileSystem::TempFolder() {
  std::lock_guard lock(mutex_);
  return temp_;
}

uint32_t TFakeFileSystem::TempFileName(StringView folder, StringView prefix, String& path) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (uint32_t e = Resolve(folder, r)) return e;
  if (uint32_t e = Check(FakeFileOp::kTempFileName, r)) return e;
  Node* node = Find(r, /*follow_last=*/true);
  if (!node || !node->IsFolder()) return kErrorDirectory;
  const String stem(prefix.substr(0, std::min<size_t>(prefix.size(), 3)));
  for (int tries = 0; tries < 0xFFFF; ++tries) {
    temp_counter_ = temp_counter_ % 0xFFFF + 1;
    String hex;
    for (uint32_t v = temp_counter_; v; v >>= 4)
      hex.insert(hex.begin(), u"0123456789ABCDEF"[v & 0xF]);
    const String name = stem + hex + u".tmp";
    if (node->Child(name)) continue;
    auto created = std::make_unique<Node>();
    created->name = name;
    created->attributes = kAttrArchive;
    created->data = std::make_shared<FileData>();
    node->children[UpperCase(name)] = std::move(created);
    path = IncludeTrailingBackslash(FullText(r, false)) + name;
    return kErrorSuccess;
  }
  return kErrorFileExists;
}

uint32_t TFakeFileSystem::FullPathName(StringView path, String& full) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (uint32_t e = Resolve(path, r)) return e;
  full = FullText(r, r.trailing);
  return kErrorSuccess;
}

uint32_t TFakeFileSystem::LongPathName(StringView path, String& long_path) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (uint32_t e = Resolve(path, r)) return e;
  auto it = roots_.find(r.root_key);
  if (it == roots_.end()) return kErrorPathNotFound;
  Node* node = it->second.get();
  Resolved stored = r;
  for (size_t i = 0; i < r.parts.size(); ++i) {
    if (!node->IsFolder()) return kErrorPathNotFound;
    node = node->Child(r.parts[i]);
    if (!node || node->delete_pending) {
      return i + 1 == r.parts.size() ? kErrorFileNotFound : kErrorPathNotFound;
    }
    stored.parts[i] = node->name;
    if (i + 1 < r.parts.size()) node = FollowLink(node, 0);
    if (!node) return kErrorPathNotFound;
  }
  long_path = FullText(stored, r.trailing);
  return kErrorSuccess;
}

uint32_t TFakeFileSystem::FinalPathName(StringView path, String& final_path) {
  std::lock_guard lock(mutex_);
  return FinalPathLocked(path, final_path, 0);
}

uint32_t TFakeFileSystem::FinalPathLocked(StringView path, String& final_path, int depth) {
  Resolved r;
  if (uint32_t e = Resolve(path, r)) return e;
  if (Denied(r)) return kErrorAccessDenied;
  auto it = roots_.find(r.root_key);
  if (it == roots_.end()) return kErrorPathNotFound;
  Node* node = it->second.get();
  Resolved stored = r;
  for (size_t i = 0; i < r.parts.size(); ++i) {
    if (!node->IsFolder()) return kErrorPathNotFound;
    node = node->Child(r.parts[i]);
    if (!node || node->delete_pending) {
      return i + 1 == r.parts.size() ? kErrorFileNotFound : kErrorPathNotFound;
    }
    stored.parts[i] = node->name;
    if (node->link_target.empty()) continue;
    // The rest of the path continues in the folder the link leads to.
    if (depth >= kMaxLinks) return kErrorPathNotFound;
    String rest = node->link_target;
    for (size_t k = i + 1; k < r.parts.size(); ++k)
      rest += u"\\" + r.parts[k];
    if (r.trailing) rest += u'\\';
    return FinalPathLocked(rest, final_path, depth + 1);
  }
  final_path = FullText(stored, r.trailing);
  return kErrorSuccess;
}

String TFakeFileSystem::CurrentFolder() {
  std::lock_guard lock(mutex_);
  return current_;
}

uint32_t TFakeFileSystem::SetCurrentFolder(StringView path) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (uint32_t e = Resolve(path, r)) return e;
  if (uint32_t e = Check(FakeFileOp::kSetCurrentFolder, r)) return e;
  Node* node = Find(r, /*follow_last=*/true);
  if (!node) return kErrorFileNotFound;
  if (!node->IsFolder()) return kErrorDirectory;
  current_ = FullText(r, false);
  return kErrorSuccess;
}

// --------------------------------------------------------------------------- arranging

void TFakeFileSystem::AddDrive(StringView root) {
  std::lock_guard lock(mutex_);
  const String text = ExcludeTrailingBackslash(root);
  const bool drive = text.size() == 2 && text[1] == u':';
  const bool share = StartsWith(text, u"\\\\") && text.find(u'\\', 2) != String::npos;
  if (!drive && !share) throw EInvalidOperation(u"Fake file system: not a root: " + text);
  auto node = std::make_unique<Node>();
  node->name = text;
  node->attributes = kAttrDirectory;
  roots_.try_emplace(UpperCase(text), std::move(node));
}

void TFakeFileSystem::AddFile(StringView path, std::string_view content, uint32_t attributes) {
  AddFile(path, Bytes(content.begin(), content.end()), attributes);
}

void TFakeFileSystem::AddFile(StringView path, const Bytes& content, uint32_t attributes) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (Resolve(path, r) != kErrorSuccess || r.parts.empty()) {
    throw EInvalidOperation(u"Fake file system: bad file path: " + String(path));
  }
  Node& parent = MakeFolders(r, r.parts.size() - 1);
  const String key = UpperCase(r.parts.back());
  if (auto it = parent.children.find(key); it != parent.children.end() && it->second->IsFolder()) {
    throw EInvalidOperation(u"Fake file system: a folder is in the way: " + String(path));
  }
  auto node = std::make_unique<Node>();
  node->name = r.parts.back();
  node->attributes = attributes & ~kAttrDirectory;
  node->data = std::make_shared<FileData>();
  node->data->bytes = content;
  parent.children[key] = std::move(node);
}

void TFakeFileSystem::AddFolder(StringView path, uint32_t attributes) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (Resolve(path, r) != kErrorSuccess) {
    throw EInvalidOperation(u"Fake file system: bad folder path: " + String(path));
  }
  Node& node = MakeFolders(r, r.parts.size());
  if (!r.parts.empty()) node.attributes = attributes | kAttrDirectory;
}

void TFakeFileSystem::AddJunction(StringView path, StringView target) {
  std::lock_guard lock(mutex_);
  Resolved r, to;
  if (Resolve(path, r) != kErrorSuccess || r.parts.empty() ||
      Resolve(target, to) != kErrorSuccess) {
    throw EInvalidOperation(u"Fake file system: bad junction: " + String(path));
  }
  Node& parent = MakeFolders(r, r.parts.size() - 1);
  const String key = UpperCase(r.parts.back());
  if (parent.children.count(key)) {
    throw EInvalidOperation(u"Fake file system: something is in the way: " + String(path));
  }
  PutJunction(parent, r.parts.back(), FullText(to, false));
}

void TFakeFileSystem::PutJunction(Node& parent, const String& name, const String& target) {
  auto node = std::make_unique<Node>();
  node->name = name;
  node->attributes = kAttrDirectory | kAttrReparsePoint;
  node->link_target = target;
  parent.children[UpperCase(name)] = std::move(node);
}

uint32_t TFakeFileSystem::ReplaceWithJunction(StringView path, StringView target) {
  std::lock_guard lock(mutex_);
  Resolved r, to;
  if (uint32_t e = Resolve(path, r)) return e;
  if (uint32_t e = Resolve(target, to)) return e;
  if (r.parts.empty()) return kErrorAccessDenied;
  // The user renames the folder away first, as a program of theirs would have to.
  Resolved aside = r;
  aside.parts.back() += u".swapped";
  if (uint32_t e = MoveLocked(r, aside)) return e;
  uint32_t parent_error;
  Node* parent = FindParent(r, parent_error);
  if (!parent) return parent_error;
  PutJunction(*parent, r.parts.back(), FullText(to, false));
  return kErrorSuccess;
}

namespace {
[[noreturn]] void NoSuchPath(StringView path) {
  throw EInvalidOperation(u"Fake file system: no such file or folder: " + String(path));
}
}  // namespace

void TFakeFileSystem::SetShortName(StringView path, StringView short_name) {
  std::lock_guard lock(mutex_);
  Resolved r;
  Node* node = Resolve(path, r) == kErrorSuccess ? Find(r) : nullptr;
  if (!node) NoSuchPath(path);
  node->short_name = String(short_name);
}

void TFakeFileSystem::SetInUse(StringView path, const TFakeFileLock& file_lock) {
  std::lock_guard lock(mutex_);
  Resolved r;
  Node* node = Resolve(path, r) == kErrorSuccess ? Find(r) : nullptr;
  if (!node) NoSuchPath(path);
  node->lock = file_lock;
}

void TFakeFileSystem::ClearInUse(StringView path) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (Resolve(path, r) != kErrorSuccess || r.parts.empty()) return;
  uint32_t parent_error;
  Node* parent = FindParent(r, parent_error);
  Node* node = parent ? parent->Child(r.parts.back()) : nullptr;
  if (!node) return;
  node->lock.reset();
  if (node->delete_pending) parent->children.erase(UpperCase(node->name));
}

void TFakeFileSystem::DenyAccess(StringView path) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (Resolve(path, r) != kErrorSuccess) NoSuchPath(path);
  denied_.push_back(UpperCase(FullText(r, false)));
}

void TFakeFileSystem::AllowAccess(StringView path) {
  std::lock_guard lock(mutex_);
  Resolved r;
  if (Resolve(path, r) != kErrorSuccess) return;
  std::erase(denied_, UpperCase(FullText(r, false)));
}

void TFakeFileSystem::SetWriteBudget(uint64_t bytes) {
  std::lock_guard lock(mutex_);
  write_budget_ = bytes;
}

void TFakeFileSystem::ClearWriteBudget() {
  std::lock_guard lock(mutex_);
  write_budget_.reset();
}

void TFakeFileSystem::InjectFailure(FakeFileOp op, StringView path, uint32_t error, int times) {
  std::lock_guard lock(mutex_);
  String key;
  if (!path.empty()) {
    Resolved r;
    if (Resolve(path, r) != kErrorSuccess) NoSuchPath(path);
    key = UpperCase(FullText(r, false));
  }
  failures_.push_back({op, std::move(key), error, times});
}

void TFakeFileSystem::ClearFailures() {
  std::lock_guard lock(mutex_);
  failures_.clear();
}

void TFakeFileSystem::SetTempFolder(StringView path) {
  AddFolder(path);
  std::lock_guard lock(mutex_);
  Resolved r;
  Resolve(path, r);
  temp_ = FullText(r, true);
}

// --------------------------------------------------------------------------- inspecting

std::optional<Bytes> TFakeFileSystem::FileBytes(StringView path) {
  std::lock_guard lock(mutex_);
  Resolved r;
  Node* node = Resolve(path, r) == kErrorSuccess ? Find(r) : nullptr;
  if (!node || node->IsFolder() || node->delete_pending) return std::nullopt;
  return node->data->bytes;
}

std::string TFakeFileSystem::FileText(StringView path) {
  const std::optional<Bytes> bytes = FileBytes(path);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

void TFakeFileSystem::ListTreeLocked(Node& folder, const String& prefix, StringList& out) {
  for (auto& [key, child] : folder.children) {
    if (!child->IsFolder()) {
      out.push_back(prefix + child->name);
      continue;
    }
    const String path = prefix + child->name + u"\\";
    out.push_back(path);
    if (!(child->attributes & kAttrReparsePoint)) ListTreeLocked(*child, path, out);
  }
}

StringList TFakeFileSystem::ListTree(StringView folder) {
  std::lock_guard lock(mutex_);
  StringList out;
  Resolved r;
  Node* node = Resolve(folder, r) == kErrorSuccess ? Find(r) : nullptr;
  if (node && node->IsFolder()) ListTreeLocked(*node, FullText(r, true), out);
  return out;
}

int TFakeFileSystem::OpenStreamCount() {
  std::lock_guard lock(mutex_);
  return open_streams_;
}

std::vector<TRebootOperation> TFakeFileSystem::RebootOperations() {
  std::lock_guard lock(mutex_);
  return reboot_;
}

void TFakeFileSystem::SimulateReboot() {
  std::lock_guard lock(mutex_);
  // No program runs at that point: nothing holds a file any more.
  std::vector<Node*> pending;
  for (auto& [key, root] : roots_)
    pending.push_back(root.get());
  while (!pending.empty()) {
    Node* node = pending.back();
    pending.pop_back();
    node->lock.reset();
    std::erase_if(node->children, [](const auto& entry) { return entry.second->delete_pending; });
    for (auto& [key, child] : node->children)
      pending.push_back(child.get());
  }
  for (const TRebootOperation& op : reboot_) {
    Resolved from, to;
    if (Resolve(op.Source, from) != kErrorSuccess || from.parts.empty()) continue;
    if (!op.Target.empty()) {
      if (Resolve(op.Target, to) == kErrorSuccess && !to.parts.empty()) MoveLocked(from, to);
      continue;
    }
    uint32_t parent_error;
    Node* parent = FindParent(from, parent_error);
    Node* node = parent ? parent->Child(from.parts.back()) : nullptr;
    if (node && (!node->IsFolder() || (node->children.empty() && !node->holds))) {
      parent->children.erase(UpperCase(node->name));
    }
  }
  reboot_.clear();
}

}  // namespace nolu
