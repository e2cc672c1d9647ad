// TWin32Registry: IRegistry on the Reg* functions, the view given as KEY_WOW64_32KEY or
// KEY_WOW64_64KEY on every open.
#pragma once

#include "platform/registry.h"

namespace nolu {

class TWin32Registry : public IRegistry {
 public:
  bool KeyExists(const TRegKey& key) override;
  uint32_t CreateKey(const TRegKey& key) override;
  uint32_t DeleteKey(const TRegKey& key) override;
  uint32_t EnumSubKeys(const TRegKey& key, StringList& names) override;
  uint32_t EnumValueNames(const TRegKey& key, StringList& names) override;
  uint32_t ReadValue(const TRegKey& key, StringView name, TRegValue& value) override;
  uint32_t WriteValue(const TRegKey& key, StringView name, const TRegValue& value) override;
  uint32_t DeleteValue(const TRegKey& key, StringView name) override;
};

}  // namespace nolu
