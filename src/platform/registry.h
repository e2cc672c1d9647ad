// IRegistry: keys and values of the Windows registry, addressed by root, view and path.
//
// Keys are named by value (TRegKey), not by open handles, so no Windows type reaches the
// engine and nothing needs closing. The registry view is part of every key and always
// explicit: the product's uninstall entry lives in the 32-bit view although Setup.exe is a
// 64-bit program. On 64-bit Windows, HKEY_LOCAL_MACHINE\SOFTWARE\... of the 32-bit view is
// stored under HKEY_LOCAL_MACHINE\SOFTWARE\Wow6432Node\...; the fake redirects the same way.
//
// Calls return the Windows error code (kErrorFileNotFound for a missing key or value).
#pragma once

#include <cstdint>

#include "base/text.h"

namespace nolu {

enum class RegRoot { kLocalMachine, kCurrentUser, kUsers };

// kDefault is the view of the running program; k32 and k64 force one (KEY_WOW64_32KEY,
// KEY_WOW64_64KEY).
enum class RegView { kDefault, k32, k64 };

// Value types, with the values of the Windows API.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr uint32_t kRegQword = 11;

struct TRegKey {
  TRegKey(RegRoot root, RegView view, StringView path) : Root(root), View(view), Path(path) {}

  // The key `name` below this one.
  TRegKey Child(StringView name) const;

  RegRoot Root;
  RegView View;
  String Path;  // below the root, without leading or trailing backslash
};

struct TRegValue {
  uint32_t Type = kRegNone;
  Bytes Data;

  // The text of a kRegSz or kRegExpandSz value (unexpanded, up to the first terminating
  // zero); empty for every other type.
  String AsString() const;
  // A kRegDword value; `fallback` for every other type or size.
  uint32_t AsDword(uint32_t fallback = 0) const;

  // A string value stored with its terminating zero (2 × characters + 2 bytes).
  static TRegValue Text(StringView text, uint32_t type = kRegSz);
  static TRegValue Dword(uint32_t value);
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;

  // True when the key exists and can be opened for reading.
  virtual bool KeyExists(const TRegKey& key) = 0;
  // Creates the key with every missing parent; success when it exists afterwards.
  virtual uint32_t CreateKey(const TRegKey& key) = 0;
  // Deletes a key that has no sub-keys (kErrorAccessDenied when it has some, as Windows).
  virtual uint32_t DeleteKey(const TRegKey& key) = 0;
  // The names of the key's direct sub-keys, in the registry's order.
  virtual uint32_t EnumSubKeys(const TRegKey& key, StringList& names) = 0;
  // The names of the key's values, in the registry's order ("" is the default value).
  virtual uint32_t EnumValueNames(const TRegKey& key, StringList& names) = 0;

  virtual uint32_t ReadValue(const TRegKey& key, StringView name, TRegValue& value) = 0;
  // Writes a value into an existing key (kErrorFileNotFound when the key is missing).
  virtual uint32_t WriteValue(const TRegKey& key, StringView name, const TRegValue& value) = 0;
  virtual uint32_t DeleteValue(const TRegKey& key, StringView name) = 0;

  // Deletes the key with all its sub-keys, deepest first. Returns the first error met.
  uint32_t DeleteTree(const TRegKey& key);
  // The text of a string value; empty when missing or of another type.
  String ReadString(const TRegKey& key, StringView name);
};

}  // namespace nolu
