#include "base/xml_document.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

#include "base/code_page_names.h"
#include "base/format.h"
#include "base/locale.h"
#include "base/memory_stream.h"

namespace nolu {
namespace {

// --------------------------------------------------------------------------- decoding

// The decoded text, and why decoding stopped early (empty when it did not).
struct Decoded {
  String text;
  String failure;
};

char FoldAsciiByte(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool EqualsAsciiBytesIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAsciiByte(a[i]) != FoldAsciiByte(b[i])) return false;
  }
  return true;
}

// Decodes well-formed UTF-8 up to the first ill-formed sequence.
Decoded DecodeUtf8Prefix(std::string_view bytes) {
  Decoded out;
  out.text.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto b0 = static_cast<uint8_t>(bytes[i]);
    if (b0 < 0x80) {
      out.text.push_back(b0);
      ++i;
      continue;
    }
    const int len = (b0 & 0xE0) == 0xC0 ? 2 : (b0 & 0xF0) == 0xE0 ? 3 : (b0 & 0xF8) == 0xF0 ? 4 : 0;
    char32_t cp = len == 2 ? b0 & 0x1F : len == 3 ? b0 & 0x0F : b0 & 0x07;
    bool ok = len != 0 && i + len <= bytes.size();
    for (int k = 1; ok && k < len; ++k) {
      const auto b = static_cast<uint8_t>(bytes[i + k]);
      ok = (b & 0xC0) == 0x80;
      cp = (cp << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (!ok || cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.failure =
          Format(u"invalid UTF-8 byte sequence at byte offset %d", {static_cast<int64_t>(i)});
      return out;
    }
    if (cp < 0x10000) {
      out.text.push_back(static_cast<Char>(cp));
    } else {
      out.text.push_back(static_cast<Char>(0xD800 + ((cp - 0x10000) >> 10)));
      out.text.push_back(static_cast<Char>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
    i += len;
  }
  return out;
}

Decoded DecodeUtf16(std::string_view bytes, bool big_endian) {
  Decoded out;
  out.text.resize(bytes.size() / 2);
  for (size_t i = 0; i < out.text.size(); ++i) {
    const auto b0 = static_cast<uint8_t>(bytes[2 * i]);
    const auto b1 = static_cast<uint8_t>(bytes[2 * i + 1]);
    out.text[i] = static_cast<Char>(big_endian ? (b0 << 8) | b1 : (b1 << 8) | b0);
  }
  if (bytes.size() % 2) out.failure = u"the UTF-16 text ends in the middle of a character";
  return out;
}

// The encoding name of an XML declaration at the start of ASCII-compatible bytes, or "".
std::string_view DeclaredEncoding(std::string_view bytes) {
  if (!bytes.starts_with("<?xml") || bytes.size() < 6 || !std::strchr(" \t\r\n", bytes[5])) {
    return {};
  }
  const size_t end = bytes.find("?>");
  const std::string_view decl = bytes.substr(0, end);
  size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return {};
  at += 8;
  while (at < decl.size() && std::strchr(" \t\r\n", decl[at]))
    ++at;
  if (at >= decl.size() || decl[at] != '=') return {};
  ++at;
  while (at < decl.size() && std::strchr(" \t\r\n", decl[at]))
    ++at;
  if (at >= decl.size() || (decl[at] != '"' && decl[at] != '\'')) return {};
  const size_t close = decl.find(decl[at], at + 1);
  if (close == std::string_view::npos) return {};
  return decl.substr(at + 1, close - at - 1);
}

Decoded Decode(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return DecodeUtf8Prefix(bytes.substr(3));
  if (bytes.starts_with("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
  if (bytes.starts_with(std::string_view("<\0?\0", 4))) return DecodeUtf16(bytes, false);
  if (bytes.starts_with(std::string_view("\0<\0?", 4))) return DecodeUtf16(bytes, true);
  const std::string_view name = DeclaredEncoding(bytes);
  for (std::string_view utf8 : {"", "utf-8", "utf8", "us-ascii", "ascii"}) {
    if (EqualsAsciiBytesIgnoreCase(name, utf8)) return DecodeUtf8Prefix(bytes);
  }
  for (std::string_view cp1252 : {"windows-1252", "cp1252"}) {
    if (EqualsAsciiBytesIgnoreCase(name, cp1252)) return {Windows1252ToString(bytes), {}};
  }
  for (std::string_view latin1 : {"iso-8859-1", "iso_8859-1", "latin1", "l1"}) {
    if (EqualsAsciiBytesIgnoreCase(name, latin1)) {
      Decoded out;
      for (char c : bytes)
        out.text.push_back(static_cast<uint8_t>(c));
      return out;
    }
  }
  // The bytes of the name are ASCII-compatible; anything else shows as '?'.
  String shown;
  for (char c : name)
    shown.push_back(static_cast<uint8_t>(c) < 0x80 ? c : u'?');
  const uint32_t code_page = CodePageOfEncodingName(name);
  Decoded out;
  switch (code_page ? DecodeCodePage(code_page, bytes, out.text)
                    : TCodePageDecoding::kUnknownCodePage) {
    case TCodePageDecoding::kDecoded:
      return out;
    case TCodePageDecoding::kInvalidText:
      return {{}, Format(u"the text is not valid \"%s\"", {shown})};
    case TCodePageDecoding::kUnknownCodePage:
      break;
  }
  // A document read as nothing would end in a message about something else.
  throw ERuxXMLDocument(
      Format(u"The encoding \"%s\" of the XML document is not supported", {shown}));
}

// CR LF and lone CR become LF, as an XML processor must deliver them. Lines and columns stay
// what they were in the original text.
void NormalizeLineEnds(String& text) {
  size_t out = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r') {
      text[out++] = u'\n';
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      text[out++] = text[i];
    }
  }
  text.resize(out);
}

// --------------------------------------------------------------------------- characters

bool IsSpace(Char c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

bool IsNameStart(Char c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' ||
         (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
         (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || c == 0x200C || c == 0x200D ||
         (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) ||
         (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
         (c >= 0xFDF0 && c <= 0xFFFD) ||
         (c >= 0xD800 && c <= 0xDFFF);  // pairs were checked: planes 1 to 14, roughly
}

bool IsNameChar(Char c) {
  return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || c == 0x203F || c == 0x2040;
}

bool IsXmlChar(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Length of the prefix made of characters XML allows (surrogates only in pairs).
size_t ValidCharsPrefix(StringView text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const Char c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      ++i;
      continue;
    }
    if (!IsXmlChar(c) || (c >= 0xD800 && c <= 0xDFFF)) return i;
  }
  return text.size();
}

void AppendCodePoint(String& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<Char>(cp));
  } else {
    out.push_back(static_cast<Char>(0xD800 + ((cp - 0x10000) >> 10)));
    out.push_back(static_cast<Char>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
  }
}

String TrimSpace(StringView text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsSpace(text[begin]))
    ++begin;
  while (end > begin && IsSpace(text[end - 1]))
    --end;
  return String(text.substr(begin, end - begin));
}

// --------------------------------------------------------------------------- parser

class Parser {
 public:
  // `end` is where the usable text stops; `end_failure` says why it stops there early.
  Parser(StringView text, size_t end, String end_failure)
      : s_(text.substr(0, end)), end_failure_(std::move(end_failure)) {}

  std::unique_ptr<TRuxXMLNode> Run();
  const String& Failure() const { return failure_; }
  size_t FailureAt() const { return failure_at_; }

 private:
  bool AtEnd() const { return i_ >= s_.size(); }
  bool Next(StringView token) const { return s_.substr(i_).starts_with(token); }
  bool Fail(String message);
  [[noreturn]] void SecondRoot();
  bool FailAtEnd(String message);
  void SkipSpace();
  bool ReadName(String& name);
  bool ReadReference(String& out);
  bool SkipPast(StringView terminator, const char16_t* what);
  bool Comment();
  bool ProcessingInstruction();
  bool Doctype();
  bool StartTag(bool top_level);
  bool EndTag();
  bool CData();
  void FlushText();
  bool XmlDeclaration();
  bool Prolog();
  bool Content();
  bool Epilog();

  StringView s_;
  size_t i_ = 0;
  String end_failure_;
  String failure_;
  size_t failure_at_ = 0;
  std::unique_ptr<TRuxXMLNode> root_;
  std::vector<TRuxXMLNode*> open_;
  String run_;
};

bool Parser::Fail(String message) {
  if (failure_.empty()) {
    failure_ = std::move(message);
    failure_at_ = i_;
  }
  return false;
}

// Raised, not quiet: a document with two roots is a different document, not a cut one. The
// position is kept for tools that report it.
void Parser::SecondRoot() {
  Fail(u"Only one Root available");
  throw ERuxXMLDocument(u"Only one Root available");
}

// Running out of text is reported as what cut the text short, when something did.
bool Parser::FailAtEnd(String message) {
  i_ = s_.size();
  return Fail(end_failure_.empty() ? std::move(message) : end_failure_);
}

void Parser::SkipSpace() {
  while (!AtEnd() && IsSpace(s_[i_]))
    ++i_;
}

bool Parser::ReadName(String& name) {
  const size_t start = i_;
  if (AtEnd()) return FailAtEnd(u"unexpected end of the document, a name was expected");
  if (!IsNameStart(s_[i_])) return Fail(u"a name was expected");
  while (!AtEnd() && IsNameChar(s_[i_]))
    ++i_;
  name.assign(s_.substr(start, i_ - start));
  return true;
}

bool Parser::ReadReference(String& out) {
  const size_t start = i_;  // at '&'
  const size_t semicolon = s_.find(u';', i_);
  if (semicolon == StringView::npos || semicolon - i_ > 32) {
    return Fail(u"\"&\" must start an entity or character reference");
  }
  const StringView body = s_.substr(i_ + 1, semicolon - i_ - 1);
  i_ = semicolon + 1;
  static const struct {
    const char16_t* name;
    Char value;
  } kPredefined[] = {
      {u"lt", u'<'}, {u"gt", u'>'}, {u"amp", u'&'}, {u"apos", u'\''}, {u"quot", u'"'}};
  for (const auto& entity : kPredefined) {
    if (body == entity.name) {
      out.push_back(entity.value);
      return true;
    }
  }
  if (body.starts_with(u'#')) {
    const bool hex = body.size() > 1 && body[1] == u'x';
    const StringView digits = body.substr(hex ? 2 : 1);
    char32_t cp = 0;
    bool ok = !digits.empty();
    for (Char c : digits) {
      int d = -1;
      if (c >= u'0' && c <= u'9') d = c - u'0';
      if (hex && c >= u'a' && c <= u'f') d = c - u'a' + 10;
      if (hex && c >= u'A' && c <= u'F') d = c - u'A' + 10;
      if (d < 0 || cp > 0x10FFFF) {
        ok = false;
        break;
      }
      cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(d);
    }
    if (ok && IsXmlChar(cp)) {
      AppendCodePoint(out, cp);
      return true;
    }
    i_ = start;
    return Fail(Format(u"\"&%s;\" is not a character XML allows", {body}));
  }
  i_ = start;
  return Fail(Format(u"the entity \"&%s;\" is not defined", {body}));
}

bool Parser::SkipPast(StringView terminator, const char16_t* what) {
  const size_t at = s_.find(terminator, i_);
  if (at == StringView::npos) {
    return FailAtEnd(Format(u"unexpected end of the document inside %s", {what}));
  }
  i_ = at + terminator.size();
  return true;
}

bool Parser::Comment() {
  i_ += 4;  // "<!--"
  const size_t at = s_.find(u"--", i_);
  if (at == StringView::npos) return FailAtEnd(u"unexpected end of the document inside a comment");
  i_ = at;
  if (!Next(u"-->")) return Fail(u"\"--\" is not allowed inside a comment");
  i_ += 3;
  return true;
}

bool Parser::ProcessingInstruction() {
  const size_t start = i_;
  i_ += 2;  // "<?"
  String target;
  if (!ReadName(target)) return false;
  if (EqualsAsciiIgnoreCase(target, u"xml")) {
    i_ = start;
    return Fail(u"the XML declaration is allowed only at the very start");
  }
  return SkipPast(u"?>", u"a processing instruction");
}

// Skipped whole, internal subset included: nothing it declares is used.
bool Parser::Doctype() {
  i_ += 9;  // "<!DOCTYPE"
  bool in_subset = false;
  while (!AtEnd()) {
    const Char c = s_[i_];
    if (c == u'"' || c == u'\'') {
      const size_t close = s_.find(c, i_ + 1);
      if (close == StringView::npos) break;
      i_ = close + 1;
    } else if (in_subset && Next(u"<!--")) {
      if (!Comment()) return false;
    } else if (in_subset && Next(u"<?")) {
      if (!SkipPast(u"?>", u"a processing instruction")) return false;
    } else if (c == u'[' && !in_subset) {
      in_subset = true;
      ++i_;
    } else if (c == u']' && in_subset) {
      in_subset = false;
      ++i_;
    } else if (c == u'>' && !in_subset) {
      ++i_;
      return true;
    } else {
      ++i_;
    }
  }
  return FailAtEnd(u"unexpected end of the document inside the DOCTYPE");
}

bool Parser::StartTag(bool top_level) {
  const size_t tag_start = i_;
  ++i_;  // '<'
  String name;
  if (!ReadName(name)) return false;
  if (top_level && root_) {
    i_ = tag_start;
    SecondRoot();
  }
  if (open_.size() >= static_cast<size_t>(TRuxXMLDocument::kMaxDepth)) {
    i_ = tag_start;
    return Fail(Format(u"elements are nested deeper than %d levels", {TRuxXMLDocument::kMaxDepth}));
  }
  // The element joins the tree only once its start tag is complete: a tag cut short must not
  // leave an element with some of its attributes behind.
  auto node = std::make_unique<TRuxXMLNode>(std::move(name));
  auto attach = [&](bool open) {
    TRuxXMLNode* added;
    if (top_level) {
      root_ = std::move(node);
      added = root_.get();
    } else {
      added = &open_.back()->AddChild(std::move(node));
    }
    if (open) open_.push_back(added);
    return true;
  };
  for (;;) {
    const size_t before_space = i_;
    SkipSpace();
    if (AtEnd()) return FailAtEnd(u"unexpected end of the document inside a start tag");
    if (Next(u"/>")) {
      i_ += 2;
      return attach(false);
    }
    if (s_[i_] == u'>') {
      ++i_;
      return attach(true);
    }
    if (i_ == before_space) return Fail(u"white space is required between attributes");
    const size_t attribute_start = i_;
    String attribute;
    if (!ReadName(attribute)) return false;
    for (const auto& existing : node->Attributes()) {
      if (existing.Name == attribute) {
        i_ = attribute_start;
        return Fail(Format(u"the attribute \"%s\" is given twice", {attribute}));
      }
    }
    SkipSpace();
    if (AtEnd()) return FailAtEnd(u"unexpected end of the document inside a start tag");
    if (s_[i_] != u'=') return Fail(Format(u"\"=\" was expected after \"%s\"", {attribute}));
    ++i_;
    SkipSpace();
    if (AtEnd()) return FailAtEnd(u"unexpected end of the document inside a start tag");
    const Char quote = s_[i_];
    if (quote != u'"' && quote != u'\'') return Fail(u"an attribute value must be quoted");
    ++i_;
    String value;
    for (;;) {
      if (AtEnd()) return FailAtEnd(u"unexpected end of the document inside an attribute value");
      const Char c = s_[i_];
      if (c == quote) break;
      if (c == u'<') return Fail(u"\"<\" is not allowed in an attribute value");
      if (c == u'&') {
        if (!ReadReference(value)) return false;
        continue;
      }
      value.push_back(IsSpace(c) ? u' ' : c);
      ++i_;
    }
    ++i_;
    node->AddAttribute(std::move(attribute), std::move(value));
  }
}

bool Parser::EndTag() {
  const size_t tag_start = i_;
  i_ += 2;  // "</"
  String name;
  if (!ReadName(name)) return false;
  SkipSpace();
  if (AtEnd()) return FailAtEnd(u"unexpected end of the document inside an end tag");
  if (s_[i_] != u'>') return Fail(u"\">\" was expected to close the end tag");
  if (name != open_.back()->Name()) {
    i_ = tag_start;
    return Fail(Format(u"the end tag </%s> does not match <%s>", {name, open_.back()->Name()}));
  }
  ++i_;
  open_.pop_back();
  return true;
}

bool Parser::CData() {
  i_ += 9;  // "<![CDATA["
  const size_t at = s_.find(u"]]>", i_);
  if (at == StringView::npos) return FailAtEnd(u"unexpected end of the document inside CDATA");
  open_.back()->SetText(String(s_.substr(i_, at - i_)));
  i_ = at + 3;
  return true;
}

void Parser::FlushText() {
  String text = TrimSpace(run_);
  if (!text.empty()) open_.back()->SetText(std::move(text));
  run_.clear();
}

// version="1.x", then optionally encoding and standalone, in this order. The encoding was
// already used to decode the text.
bool Parser::XmlDeclaration() {
  i_ += 5;  // "<?xml"
  static const char16_t* const kNames[] = {u"version", u"encoding", u"standalone"};
  size_t next = 0;
  for (;;) {
    const size_t before_space = i_;
    SkipSpace();
    if (AtEnd()) return FailAtEnd(u"unexpected end of the document inside the XML declaration");
    if (Next(u"?>")) {
      if (next == 0) return Fail(u"the XML declaration lacks its version");
      i_ += 2;
      return true;
    }
    String name;
    const size_t name_start = i_;
    if (i_ == before_space || !ReadName(name)) {
      return Fail(u"the XML declaration is malformed");
    }
    while (next < std::size(kNames) && name != kNames[next]) {
      if (next == 0) break;  // the version comes first
      ++next;
    }
    if (next >= std::size(kNames) || name != kNames[next]) {
      i_ = name_start;
      return Fail(Format(u"\"%s\" is not expected in the XML declaration", {name}));
    }
    SkipSpace();
    if (AtEnd() || s_[i_] != u'=') return Fail(u"the XML declaration is malformed");
    ++i_;
    SkipSpace();
    if (AtEnd() || (s_[i_] != u'"' && s_[i_] != u'\'')) {
      return Fail(u"the XML declaration is malformed");
    }
    const size_t close = s_.find(s_[i_], i_ + 1);
    if (close == StringView::npos) {
      return FailAtEnd(u"unexpected end of the document inside the XML declaration");
    }
    const StringView value = s_.substr(i_ + 1, close - i_ - 1);
    if (next == 0 && (value.size() < 3 || !value.starts_with(u"1.") ||
                      value.substr(2).find_first_not_of(u"0123456789") != StringView::npos)) {
      return Fail(u"the XML declaration names an unknown version");
    }
    i_ = close + 1;
    ++next;
  }
}

// Declaration, comments, processing instructions and the DOCTYPE before the root; then
// the root element.
bool Parser::Prolog() {
  if (Next(u"<?xml") && s_.size() > 5 && IsSpace(s_[5]) && !XmlDeclaration()) return false;
  bool doctype_seen = false;
  for (;;) {
    SkipSpace();
    if (AtEnd()) return FailAtEnd(u"the document has no root element");
    if (Next(u"<!--")) {
      if (!Comment()) return false;
    } else if (Next(u"<?")) {
      if (!ProcessingInstruction()) return false;
    } else if (Next(u"<!DOCTYPE")) {
      if (doctype_seen) return Fail(u"only one DOCTYPE is allowed");
      doctype_seen = true;
      if (!Doctype()) return false;
    } else if (s_[i_] == u'<') {
      return StartTag(true);
    } else {
      return Fail(u"text is not allowed before the root element");
    }
  }
}

bool Parser::Content() {
  while (!open_.empty()) {
    if (AtEnd()) {
      return FailAtEnd(
          Format(u"unexpected end of the document: <%s> is not closed", {open_.back()->Name()}));
    }
    const Char c = s_[i_];
    if (c == u'&') {
      if (!ReadReference(run_)) return false;
      continue;
    }
    if (c != u'<') {
      if (Next(u"]]>")) return Fail(u"\"]]>\" is not allowed in text");
      run_.push_back(c);
      ++i_;
      continue;
    }
    FlushText();
    bool ok;
    if (Next(u"</")) {
      ok = EndTag();
    } else if (Next(u"<!--")) {
      ok = Comment();
    } else if (Next(u"<![CDATA[")) {
      ok = CData();
    } else if (Next(u"<?")) {
      ok = ProcessingInstruction();
    } else if (Next(u"<!")) {
      ok = Fail(u"a comment, CDATA or an element was expected after \"<!\"");
    } else {
      ok = StartTag(false);
    }
    if (!ok) return false;
  }
  return true;
}

// Only comments, processing instructions and white space may follow the root.
bool Parser::Epilog() {
  for (;;) {
    SkipSpace();
    if (AtEnd()) return end_failure_.empty() || FailAtEnd({});
    if (Next(u"<!--")) {
      if (!Comment()) return false;
    } else if (Next(u"<?")) {
      if (!ProcessingInstruction()) return false;
    } else if (Next(u"<!")) {
      return Fail(u"markup is not allowed after the root element");
    } else if (s_[i_] == u'<') {
      return StartTag(true);  // raises: a second root
    } else {
      return Fail(u"text is not allowed after the root element");
    }
  }
}

std::unique_ptr<TRuxXMLNode> Parser::Run() {
  if (Prolog() && Content()) Epilog();
  return std::move(root_);
}

// 1-based line and column (in characters) of a position of the normalised text.
void Locate(StringView text, size_t at, TRuxXMLParseError& error) {
  error.Line = 1;
  error.Column = 1;
  for (size_t i = 0; i < at && i < text.size(); ++i) {
    if (text[i] == u'\n') {
      ++error.Line;
      error.Column = 1;
    } else if (text[i] < 0xDC00 || text[i] > 0xDFFF) {
      ++error.Column;
    }
  }
}

}  // namespace

void TRuxXMLDocument::LoadFromStream(TStream& stream) {
  std::string bytes;
  char chunk[64 * 1024];
  for (size_t n; (n = stream.Read(chunk, sizeof chunk)) > 0;)
    bytes.append(chunk, n);
  LoadFromBytes(bytes);
}

void TRuxXMLDocument::LoadFromBytes(std::string_view bytes) {
  root_.reset();
  error_ = {};
  if (bytes.starts_with("SXML") || bytes.starts_with("BXML")) {
    throw ERuxXMLDocument(Format(u"Binary XML documents (\"%s\") are not supported",
                                 {AsciiToString(bytes.substr(0, 4))}));
  }
  Decoded decoded = Decode(bytes);
  NormalizeLineEnds(decoded.text);
  const size_t valid = ValidCharsPrefix(decoded.text);
  if (valid < decoded.text.size()) {
    char code[8];
    std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(decoded.text[valid]));
    decoded.failure = Format(u"the character U+%s is not allowed in XML", {AsciiToString(code)});
  }
  Parser parser(decoded.text, valid, decoded.failure);
  auto locate_failure = [&] {
    error_.Message = parser.Failure();
    if (!error_.Message.empty()) Locate(decoded.text, parser.FailureAt(), error_);
  };
  try {
    root_ = parser.Run();
  } catch (const ERuxXMLDocument&) {
    locate_failure();
    throw;
  }
  locate_failure();
}

}  // namespace nolu
