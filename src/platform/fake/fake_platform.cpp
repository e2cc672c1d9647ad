#include "platform/fake/fake_platform.h"

namespace nolu {

TFakePlatform::TFakePlatform()
    : hub_(std::make_shared<TFakeHub>()),
      processes_(files_, hub_),
      shell_(files_, processes_),
      windows_(hub_, system_),
      messages_(hub_),
      dialogs_(messages_) {
  // The machine's well-known folders exist, as on a fresh Windows installation.
  for (const auto& [csidl, path] : shell_.SpecialFolders())
    files_.AddFolder(path);
}

TFakePlatform::~TFakePlatform() = default;

}  // namespace nolu
