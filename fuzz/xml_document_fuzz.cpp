// Fuzzes the XML reader with arbitrary bytes. Beyond not crashing: an error is located
// inside the text, and the tree respects the nesting limit.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/xml_document.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

int Depth(const nolu::TRuxXMLNode& node) {
  // Iterative over the first-child spine would miss siblings; recursion is bounded by the
  // reader's own limit, which this checks.
  int deepest = 0;
  for (size_t i = 0; i < node.Count(); ++i) {
    const int d = Depth(node.Child(i));
    if (d > deepest) deepest = d;
  }
  return deepest + 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace nolu;
  TRuxXMLDocument doc;
  try {
    doc.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const ERuxXMLDocument&) {
    Check(doc.HasError() ||
          (size >= 4 && (std::string_view(reinterpret_cast<const char*>(data), 4) == "SXML" ||
                         std::string_view(reinterpret_cast<const char*>(data), 4) == "BXML")));
    return 0;
  }
  if (doc.HasError()) {
    Check(doc.Error().Line >= 1 && doc.Error().Column >= 1);
    Check(static_cast<uint64_t>(doc.Error().Line) <= size + 1);
  } else {
    Check(doc.Root() != nullptr);
  }
  if (doc.Root()) Check(Depth(*doc.Root()) <= TRuxXMLDocument::kMaxDepth);
  return 0;
}
