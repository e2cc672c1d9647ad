// TRuxXMLDocument: a reader of XML 1.0 text that builds a tree of TRuxXMLNode.
//
// Encoding: a byte-order mark (UTF-8, UTF-16LE, UTF-16BE), else UTF-16 recognised by its
// "<?" pattern, else the encoding of the XML declaration ("UTF-8", "windows-1252",
// "ISO-8859-1", "US-ASCII", and every code page that the system converts and
// base/code_page_names.h names: "windows-1251", "KOI8-R", "Shift_JIS", ...), else UTF-8. Line ends
// are normalised to LF and attribute values have their tab, CR and LF turned into blanks, as
// XML 1.0 prescribes.
//
// Safe with text from anywhere: the five predefined entities and character references are
// resolved and nothing else is (a DOCTYPE is skipped, its declarations ignored, nothing is
// ever loaded from outside); elements nested deeper than kMaxDepth stop the parse; the parser
// does not recurse. Comments and processing instructions are dropped.
//
// Text that stops being well-formed ends the parse quietly: what was read so far stays, and
// Error() says what was wrong where (line and column, 1-based, in characters) for tools that
// report it. Three conditions raise ERuxXMLDocument instead: a second top-level element
// ("Only one Root available"), the library's binary forms ("SXML", "BXML"), which this reader
// does not support, and a declared encoding that the system cannot decode (the message names
// it).
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "base/errors.h"
#include "base/stream.h"
#include "base/xml_node.h"

namespace nolu {

class ERuxXMLDocument : public Exception {
 public:
  using Exception::Exception;
};

struct TRuxXMLParseError {
  String Message;  // empty: the text was well-formed
  int64_t Line = 0;
  int64_t Column = 0;
};

class TRuxXMLDocument {
 public:
  static constexpr int kMaxDepth = 256;

  // Parses the stream from its position to its end, replacing any earlier content.
  void LoadFromStream(TStream& stream);
  void LoadFromBytes(std::string_view bytes);

  // The top-level element, or nullptr when the document has none.
  const TRuxXMLNode* Root() const { return root_.get(); }
  bool HasError() const { return !error_.Message.empty(); }
  const TRuxXMLParseError& Error() const { return error_; }

 private:
  std::unique_ptr<TRuxXMLNode> root_;
  TRuxXMLParseError error_;
};

}  // namespace nolu
