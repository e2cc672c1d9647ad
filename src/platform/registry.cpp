#include "platform/registry.h"

#include <cstring>

#include "platform/error_codes.h"

namespace nolu {

TRegKey TRegKey::Child(StringView name) const {
  return TRegKey(Root, View, Path.empty() ? String(name) : Path + u"\\" + String(name));
}

String TRegValue::AsString() const {
  if (Type != kRegSz && Type != kRegExpandSz) return String();
  String text(Data.size() / 2, u'\0');
  if (!text.empty()) std::memcpy(text.data(), Data.data(), text.size() * 2);
  const size_t end = text.find(u'\0');
  if (end != String::npos) text.resize(end);
  return text;
}

uint32_t TRegValue::AsDword(uint32_t fallback) const {
  if (Type != kRegDword || Data.size() != 4) return fallback;
  return uint32_t{Data[0]} | uint32_t{Data[1]} << 8 | uint32_t{Data[2]} << 16 |
         uint32_t{Data[3]} << 24;
}

TRegValue TRegValue::Text(StringView text, uint32_t type) {
  TRegValue value;
  value.Type = type;
  value.Data.resize((text.size() + 1) * 2, 0);
  if (!text.empty()) std::memcpy(value.Data.data(), text.data(), text.size() * 2);
  return value;
}

TRegValue TRegValue::Dword(uint32_t number) {
  TRegValue value;
  value.Type = kRegDword;
  value.Data = {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
                static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)};
  return value;
}

uint32_t IRegistry::DeleteTree(const TRegKey& key) {
  uint32_t first_error = kErrorSuccess;
  StringList names;
  if (EnumSubKeys(key, names) == kErrorSuccess) {
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
      const uint32_t error = DeleteTree(key.Child(*it));
      if (first_error == kErrorSuccess) first_error = error;
    }
  }
  const uint32_t error = DeleteKey(key);
  return first_error != kErrorSuccess ? first_error : error;
}

String IRegistry::ReadString(const TRegKey& key, StringView name) {
  TRegValue value;
  if (ReadValue(key, name, value) != kErrorSuccess) return String();
  return value.AsString();
}

}  // namespace nolu
