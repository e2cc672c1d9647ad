// TSetupProductInfo: everything the generic engine knows about the product it installs. The
// base answers what comes straight from the setup script; the product's concrete class
// (product/) finds an installed copy, decides about updates and names the actions and pages.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/text.h"

namespace nolu {

class TSetupAction;
class TSetupProductInfo;

// A class reference for actions: the class's name (for tests and logs) and its virtual
// constructor. Obtain one with ActionClassOf<T>().
struct TSetupActionClass {
  const char16_t* Name;
  std::unique_ptr<TSetupAction> (*Create)();
};

template <class T>
const TSetupActionClass& ActionClassOf() {
  static const TSetupActionClass cls{
      T::kClassName, []() -> std::unique_ptr<TSetupAction> { return std::make_unique<T>(); }};
  return cls;
}

// A class reference for pages of the wizard; filled in when the wizard exists.
struct TSetupPageClass {
  const char16_t* Name;
};

using TActionClassCallback = std::function<void(const TSetupActionClass&)>;
using TPageClassCallback = std::function<void(const TSetupPageClass&)>;

// The product-information class the program runs with (its virtual constructor). The entry
// refuses to run without one ("Setup is malformed").
using TProductInfoClass = std::unique_ptr<TSetupProductInfo> (*)();

class TSetupProductInfo {
 public:
  virtual ~TSetupProductInfo() = default;

  // Programs folder ("$PROGRAMS") + product name + "\".
  virtual String GetDefaultPath();
  // The user's desktop folder + product name + "\".
  virtual String GetDefaultPortablePath();
  virtual String GetHomePage();
  virtual bool CanUpdate() = 0;
  virtual bool IsPortable() = 0;
  virtual int GetInstalledVersion() = 0;
  // Script setting "ProductName"; empty raises EInstallerGeneralError "Setup has wrong config".
  virtual String GetProductName();
  virtual String GetPublisher();
  virtual String GetProductVersion();
  virtual int GetProductVersionId();
  // GetProductVersion + ", " + script setting "BuildDate".
  virtual String GetVersionInfo();
  // Reads the installed copy's configuration from the destination folder.
  virtual void LoadInstalledInfo() = 0;
  virtual void PopulateActions(const TActionClassCallback& callback) = 0;
  virtual void PopulatePages(const TPageClassCallback& callback) = 0;

  // "5.40" for 5401, "0.00" for 0.
  String GetInstalledVersionText();
  String GetProductVersionNo();
};

}  // namespace nolu
