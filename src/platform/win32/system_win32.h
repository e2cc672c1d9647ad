// TWin32System: ISystem on the Windows API.
#pragma once

#include "platform/system.h"

namespace nolu {

class TWin32System : public ISystem {
 public:
  TOsVersion OsVersion() override;
  bool IsUserAnAdmin() override;
  uint16_t UserDefaultUILanguage() override;
  String SysErrorMessage(uint32_t code) override;
  TDateTime LocalTime() override;
  String CommandLine() override;
  String ModuleFileName() override;
  bool IsWine() override;
  TGuid CreateGuid() override;
  String ExpandEnvironmentText(StringView text) override;
  void Sleep(uint32_t milliseconds) override;
  uint64_t TickCount() override;
  uint32_t ProcessId() override;
};

}  // namespace nolu
