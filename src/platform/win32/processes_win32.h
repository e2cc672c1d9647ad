// TWin32Processes: CreateProcessW and library exports loaded by full path.
#pragma once

#include "platform/processes.h"

namespace nolu {

class TWin32Processes : public IProcesses {
 public:
  TStartResult StartProcess(StringView command_line, int show, StringView folder) override;
  uint32_t CallLibraryExport(StringView library, std::string_view name) override;
};

}  // namespace nolu
