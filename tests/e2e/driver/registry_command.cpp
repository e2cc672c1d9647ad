// reg-query: one registry key in one view, values with their types, exactly as stored.
//
// `wine reg query` prints through the console code page and drops the types' details; this
// reads with the same calls a setup uses, so a test sees what the program wrote.
#include <windows.h>

#include <cstring>
#include <vector>

#include "arguments.h"
#include "base/locale.h"
#include "driver_commands.h"
#include "registry_text.h"
#include "win32_handles.h"
#include "win32_text.h"

namespace nolu::driver {
namespace {

struct Root {
  const char16_t* name;
  const char16_t* short_name;
  HKEY key;
};

const Root kRoots[] = {
    {u"HKEY_LOCAL_MACHINE", u"HKLM", HKEY_LOCAL_MACHINE},
    {u"HKEY_CURRENT_USER", u"HKCU", HKEY_CURRENT_USER},
    {u"HKEY_CLASSES_ROOT", u"HKCR", HKEY_CLASSES_ROOT},
    {u"HKEY_USERS", u"HKU", HKEY_USERS},
};

const char16_t* TypeName(DWORD type) {
  switch (type) {
    case REG_SZ:
      return u"REG_SZ";
    case REG_EXPAND_SZ:
      return u"REG_EXPAND_SZ";
    case REG_MULTI_SZ:
      return u"REG_MULTI_SZ";
    case REG_DWORD:
      return u"REG_DWORD";
    case REG_QWORD:
      return u"REG_QWORD";
    case REG_BINARY:
      return u"REG_BINARY";
    case REG_NONE:
      return u"REG_NONE";
    default:
      return u"REG_OTHER";
  }
}

// Text values as stored, up to their first terminator (a missing one is tolerated).
String TextData(const std::vector<BYTE>& data) {
  String text(data.size() / 2, u'\0');
  std::memcpy(text.data(), data.data(), text.size() * 2);
  if (const size_t end = text.find(u'\0'); end != String::npos) text.resize(end);
  return text;
}

void WriteData(JsonWriter& json, DWORD type, const std::vector<BYTE>& data) {
  json.Key("data");
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
      json.String(TextData(data));
      return;
    case REG_MULTI_SZ: {
      String all(data.size() / 2, u'\0');
      std::memcpy(all.data(), data.data(), all.size() * 2);
      json.BeginArray();
      for (const String& text : SplitMultiString(all))
        json.String(text);
      json.EndArray();
      return;
    }
    case REG_DWORD:
      if (data.size() == 4) {
        uint32_t value;
        std::memcpy(&value, data.data(), 4);
        json.Int(value);
        return;
      }
      break;
    case REG_QWORD:
      if (data.size() == 8) {
        int64_t value;
        std::memcpy(&value, data.data(), 8);
        json.Int(value);
        return;
      }
      break;
  }
  // Anything else, and numbers of the wrong size, as hexadecimal bytes.
  String hex;
  static const char16_t kDigits[] = u"0123456789abcdef";
  for (BYTE b : data) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 15]);
  }
  json.String(hex);
}

}  // namespace

ExitCode QueryRegistry(const StringList& args, JsonWriter& result) {
  const Arguments a(args, OptionNames{{u"key", u"view", u"value"}, {}});
  const String key_path = a.Get(u"key");
  const size_t slash = key_path.find(u'\\');
  const String root_name = key_path.substr(0, slash);
  const String sub_path = slash == String::npos ? String() : key_path.substr(slash + 1);
  const Root* root = nullptr;
  for (const Root& r : kRoots) {
    if (EqualsIgnoreCase(root_name, r.name) || EqualsIgnoreCase(root_name, r.short_name)) root = &r;
  }
  if (!root) throw UsageError(u"--key starts with HKLM, HKCU, HKCR or HKU (or their long names)");
  const String view = a.Get(u"view", u"64");
  REGSAM access = KEY_READ;
  if (view == u"32") {
    access |= KEY_WOW64_32KEY;
  } else if (view == u"64") {
    access |= KEY_WOW64_64KEY;
  } else {
    throw UsageError(u"--view is 32 or 64");
  }

  HKEY opened = nullptr;
  const LONG status = RegOpenKeyExW(root->key, Wide(sub_path), 0, access, &opened);
  if (status == ERROR_FILE_NOT_FOUND) {
    throw NotFoundError(u"no key " + key_path + u" in the " + view + u"-bit view");
  }
  if (status != ERROR_SUCCESS) throw SystemFailure(u"RegOpenKeyExW " + key_path, status);
  const RegistryKey key(opened);
  result.Field("key", key_path).Field("view", view);

  DWORD value_count = 0, max_name = 0, max_data = 0, subkey_count = 0, max_subkey = 0;
  RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkey_count, &max_subkey, nullptr,
                   &value_count, &max_name, &max_data, nullptr, nullptr);
  const std::optional<String> only = a.Find(u"value");
  bool found = false;
  result.Key("values").BeginArray();
  for (DWORD i = 0; i < value_count; ++i) {
    std::wstring name(max_name + 1, L'\0');
    DWORD name_length = max_name + 1;
    std::vector<BYTE> data(max_data);
    DWORD data_size = max_data;
    DWORD type = 0;
    if (RegEnumValueW(key.get(), i, name.data(), &name_length, nullptr, &type, data.data(),
                      &data_size) != ERROR_SUCCESS) {
      continue;
    }
    name.resize(name_length);
    data.resize(data_size);
    const String value_name = FromWide(name.c_str(), name.size());
    if (only && !EqualsIgnoreCase(value_name, *only)) continue;
    found = true;
    result.BeginObject().Field("name", value_name).Field("type", TypeName(type));
    WriteData(result, type, data);
    result.EndObject();
  }
  result.EndArray().Key("subkeys").BeginArray();
  for (DWORD i = 0; i < subkey_count; ++i) {
    std::wstring name(max_subkey + 1, L'\0');
    DWORD length = max_subkey + 1;
    if (RegEnumKeyExW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS) {
      result.String(FromWide(name.c_str(), length));
    }
  }
  result.EndArray();
  if (only && !found) {
    throw NotFoundError(u"no value \"" + *only + u"\" in " + key_path + u" (" + view +
                        u"-bit view)");
  }
  return ExitCode::kOk;
}

}  // namespace nolu::driver
