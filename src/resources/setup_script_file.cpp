#include "resources/setup_script_file.h"

namespace nolu {

String TSetupScriptFile::ValueOrFileName() const {
  if (!Value.empty()) return Value;
  const size_t separator = Name.find_last_of(u"\\/:");
  return separator == String::npos ? Name : Name.substr(separator + 1);
}

}  // namespace nolu
