#include "platform/win32/module_resources_win32.h"

#include <windows.h>

#include "platform/win32/win32_strings.h"

namespace nolu {

std::optional<std::span<const uint8_t>> TWin32ModuleResources::RcData(StringView name) {
  const String text(name);
  HRSRC info = ::FindResourceW(nullptr, W(text), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!info) return std::nullopt;
  // Resources stay mapped for the life of the module; nothing is freed or copied.
  HGLOBAL loaded = ::LoadResource(nullptr, info);
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return std::span<const uint8_t>(static_cast<const uint8_t*>(data),
                                  ::SizeofResource(nullptr, info));
}

}  // namespace nolu
