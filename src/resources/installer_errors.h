// The errors of the installer. Each carries one message, which becomes the user's text at the
// edge: the error box of a silent run, the error list on the finish page. They live with the
// resources, the lowest layer that raises them ("Cannot locate "%s" file in setup archive").
#pragma once

#include "base/errors.h"

namespace nolu {

// "Setup is malformed", "Setup has wrong config", and the base of the others.
class EInstallerGeneralError : public Exception {
 public:
  using Exception::Exception;
};

// A failure of the profile backup.
class EInstallerBackupError : public EInstallerGeneralError {
 public:
  using EInstallerGeneralError::EInstallerGeneralError;
};

// "DestPath is empty", a missing package entry, extraction and copy failures, the error list
// of a silent run.
class EInstallerInstallError : public EInstallerGeneralError {
 public:
  using EInstallerGeneralError::EInstallerGeneralError;
};

// "Cannot install update on v%s".
class EInstallerUpdateError : public EInstallerInstallError {
 public:
  using EInstallerInstallError::EInstallerInstallError;
};

// "Cannot start the Uninstaller", "Invalid Arguments".
class EInstallerMysteryError : public EInstallerGeneralError {
 public:
  using EInstallerGeneralError::EInstallerGeneralError;
};

// A program of the product that does not close, so that its files cannot be replaced or
// removed (the run's exit code says so: 4).
class EInstallerProductRunningError : public EInstallerGeneralError {
 public:
  using EInstallerGeneralError::EInstallerGeneralError;
};

class EInstallerNoAdminRightsError : public EInstallerGeneralError {
 public:
  EInstallerNoAdminRightsError()
      : EInstallerGeneralError(u"Administrator rights are required to process this operation.") {}
};

}  // namespace nolu
