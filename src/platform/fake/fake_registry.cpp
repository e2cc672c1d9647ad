#include "platform/fake/fake_registry.h"

#include "base/locale.h"
#include "platform/error_codes.h"

namespace nolu {

struct TFakeRegistry::Node {
  String name;
  std::map<String, std::unique_ptr<Node>> children;  // by upper-case name
  std::vector<std::pair<String, TRegValue>> values;

  Node* Child(StringView part) {
    auto it = children.find(UpperCase(part));
    return it == children.end() ? nullptr : it->second.get();
  }
  std::pair<String, TRegValue>* Value(StringView value_name) {
    for (auto& entry : values) {
      if (EqualsIgnoreCase(entry.first, value_name)) return &entry;
    }
    return nullptr;
  }
};

namespace {

StringList SplitKeyPath(StringView path) {
  StringList parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(u'\\', start);
    if (end == StringView::npos) end = path.size();
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

TFakeRegistry::TFakeRegistry() {
  for (RegRoot root : {RegRoot::kLocalMachine, RegRoot::kCurrentUser, RegRoot::kUsers}) {
    roots_[root] = std::make_unique<Node>();
  }
}

TFakeRegistry::~TFakeRegistry() = default;

String TFakeRegistry::StoragePath(const TRegKey& key) {
  StringList parts = SplitKeyPath(key.Path);
  if (key.Root == RegRoot::kLocalMachine && key.View == RegView::k32 && !parts.empty() &&
      EqualsIgnoreCase(parts[0], u"SOFTWARE") &&
      !(parts.size() > 1 && EqualsIgnoreCase(parts[1], u"Wow6432Node"))) {
    parts.insert(parts.begin() + 1, u"Wow6432Node");
  }
  return JoinStrings(parts, u"\\");
}

bool TFakeRegistry::Denied(const TRegKey& key) {
  const String path = UpperCase(StoragePath(key));
  for (const auto& [root, denied] : denied_) {
    if (root != key.Root) continue;
    if (denied.empty() || path == denied ||
        (StartsWith(path, denied) && path[denied.size()] == u'\\')) {
      return true;
    }
  }
  return false;
}

TFakeRegistry::Node* TFakeRegistry::Find(const TRegKey& key) {
  Node* node = roots_[key.Root].get();
  for (const String& part : SplitKeyPath(StoragePath(key))) {
    node = node->Child(part);
    if (!node) return nullptr;
  }
  return node;
}

bool TFakeRegistry::KeyExists(const TRegKey& key) {
  std::lock_guard lock(mutex_);
  return !Denied(key) && Find(key) != nullptr;
}

uint32_t TFakeRegistry::CreateKey(const TRegKey& key) {
  std::lock_guard lock(mutex_);
  if (Denied(key)) return kErrorAccessDenied;
  Node* node = roots_[key.Root].get();
  for (const String& part : SplitKeyPath(StoragePath(key))) {
    Node* child = node->Child(part);
    if (!child) {
      auto created = std::make_unique<Node>();
      created->name = part;
      child = created.get();
      node->children[UpperCase(part)] = std::move(created);
    }
    node = child;
  }
  return kErrorSuccess;
}

uint32_t TFakeRegistry::DeleteKey(const TRegKey& key) {
  std::lock_guard lock(mutex_);
  if (Denied(key)) return kErrorAccessDenied;
  StringList parts = SplitKeyPath(StoragePath(key));
  if (parts.empty()) return kErrorAccessDenied;  // a root cannot go
  Node* parent = roots_[key.Root].get();
  for (size_t i = 0; i + 1 < parts.size() && parent; ++i)
    parent = parent->Child(parts[i]);
  Node* node = parent ? parent->Child(parts.back()) : nullptr;
  if (!node) return kErrorFileNotFound;
  if (!node->children.empty()) return kErrorAccessDenied;
  parent->children.erase(UpperCase(parts.back()));
  return kErrorSuccess;
}

uint32_t TFakeRegistry::EnumSubKeys(const TRegKey& key, StringList& names) {
  std::lock_guard lock(mutex_);
  names.clear();
  if (Denied(key)) return kErrorAccessDenied;
  Node* node = Find(key);
  if (!node) return kErrorFileNotFound;
  for (const auto& [upper, child] : node->children)
    names.push_back(child->name);
  return kErrorSuccess;
}

uint32_t TFakeRegistry::EnumValueNames(const TRegKey& key, StringList& names) {
  std::lock_guard lock(mutex_);
  names.clear();
  if (Denied(key)) return kErrorAccessDenied;
  Node* node = Find(key);
  if (!node) return kErrorFileNotFound;
  for (const auto& [name, value] : node->values)
    names.push_back(name);
  return kErrorSuccess;
}

uint32_t TFakeRegistry::ReadValue(const TRegKey& key, StringView name, TRegValue& value) {
  std::lock_guard lock(mutex_);
  if (Denied(key)) return kErrorAccessDenied;
  Node* node = Find(key);
  if (!node) return kErrorFileNotFound;
  auto* entry = node->Value(name);
  if (!entry) return kErrorFileNotFound;
  value = entry->second;
  return kErrorSuccess;
}

uint32_t TFakeRegistry::WriteValue(const TRegKey& key, StringView name, const TRegValue& value) {
  std::lock_guard lock(mutex_);
  if (Denied(key)) return kErrorAccessDenied;
  Node* node = Find(key);
  if (!node) return kErrorFileNotFound;
  if (auto* entry = node->Value(name)) {
    entry->second = value;
  } else {
    node->values.emplace_back(String(name), value);
  }
  return kErrorSuccess;
}

uint32_t TFakeRegistry::DeleteValue(const TRegKey& key, StringView name) {
  std::lock_guard lock(mutex_);
  if (Denied(key)) return kErrorAccessDenied;
  Node* node = Find(key);
  if (!node) return kErrorFileNotFound;
  for (auto it = node->values.begin(); it != node->values.end(); ++it) {
    if (EqualsIgnoreCase(it->first, name)) {
      node->values.erase(it);
      return kErrorSuccess;
    }
  }
  return kErrorFileNotFound;
}

void TFakeRegistry::DenyAccess(const TRegKey& key) {
  std::lock_guard lock(mutex_);
  denied_.emplace_back(key.Root, UpperCase(StoragePath(key)));
}

}  // namespace nolu
