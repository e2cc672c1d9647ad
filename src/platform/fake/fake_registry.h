// TFakeRegistry: an in-memory registry with the three roots and both views.
//
// Key and value names compare without regard to case and keep their spelling; sub-keys list
// sorted by name, values in the order they were first written. The program counts as a
// 64-bit program: RegView::kDefault is the 64-bit view, and HKEY_LOCAL_MACHINE\SOFTWARE\X
// in the 32-bit view is stored as HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\X, where a test
// can see it through the 64-bit view, as on 64-bit Windows.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/registry.h"

namespace nolu {

class TFakeRegistry : public IRegistry {
 public:
  TFakeRegistry();
  ~TFakeRegistry() override;

  bool KeyExists(const TRegKey& key) override;
  uint32_t CreateKey(const TRegKey& key) override;
  uint32_t DeleteKey(const TRegKey& key) override;
  uint32_t EnumSubKeys(const TRegKey& key, StringList& names) override;
  uint32_t EnumValueNames(const TRegKey& key, StringList& names) override;
  uint32_t ReadValue(const TRegKey& key, StringView name, TRegValue& value) override;
  uint32_t WriteValue(const TRegKey& key, StringView name, const TRegValue& value) override;
  uint32_t DeleteValue(const TRegKey& key, StringView name) override;

  // Every call on the key and below it gives kErrorAccessDenied (KeyExists: false).
  void DenyAccess(const TRegKey& key);
  // The path where a key of a view is stored ("SOFTWARE\Wow6432Node\X" for HKLM\SOFTWARE\X
  // of the 32-bit view).
  static String StoragePath(const TRegKey& key);

 private:
  struct Node;
  Node* Find(const TRegKey& key);
  bool Denied(const TRegKey& key);

  std::mutex mutex_;
  std::map<RegRoot, std::unique_ptr<Node>> roots_;
  std::vector<std::pair<RegRoot, String>> denied_;  // upper-case storage paths
};

}  // namespace nolu
