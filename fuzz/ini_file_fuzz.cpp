// Fuzzes the INI reader with arbitrary bytes (any mark, any line ends) and checks that what
// it reads survives a save and a second load: the same sections with entries, in the same
// order, with the same lines.
#include <cstdint>
#include <cstdlib>

#include "base/ini_file.h"
#include "base/memory_stream.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nolu;
  TMemoryStream input(std::vector<uint8_t>(data, data + size));
  TRuxIniFile first;
  first.LoadFromStream(input);

  // Every lookup of what was read finds it.
  for (size_t s = 0; s < first.SectionCount(); ++s) {
    const TRuxIniFileSection& section = first.Section(s);
    Check(first.FindSection(section.Name()) == &section);
    for (size_t i = 0; i < section.Count(); ++i) {
      Check(!section.Line(i).empty() && section.Line(i)[0] != u'[');
      const std::ptrdiff_t index = section.IndexOfKey(section.Key(i));
      Check(index >= 0 && static_cast<size_t>(index) <= i);
    }
  }

  for (TextEncoding encoding : {first.Encoding(), TextEncoding::kUtf16LE}) {
    TMemoryStream saved;
    first.SaveToStream(saved, encoding);
    saved.SetPosition(0);
    TRuxIniFile second;
    second.LoadFromStream(saved);
    size_t t = 0;
    for (size_t s = 0; s < first.SectionCount(); ++s) {
      const TRuxIniFileSection& a = first.Section(s);
      if (a.Count() == 0) continue;  // not written
      Check(t < second.SectionCount());
      const TRuxIniFileSection& b = second.Section(t++);
      Check(a.Name() == b.Name() && a.Count() == b.Count());
      for (size_t i = 0; i < a.Count(); ++i)
        Check(a.Line(i) == b.Line(i));
    }
    Check(t == second.SectionCount());
  }
  return 0;
}
