#include "json_writer.h"

#include <cstdio>

namespace nolu::driver {

std::string JsonQuote(StringView text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  for (const Char c : text) {
    switch (c) {
      case u'"':
        out += "\\\"";
        break;
      case u'\\':
        out += "\\\\";
        break;
      case u'\n':
        out += "\\n";
        break;
      case u'\r':
        out += "\\r";
        break;
      case u'\t':
        out += "\\t";
        break;
      default:
        if (c >= 0x20 && c < 0x7F) {
          out.push_back(static_cast<char>(c));
        } else {
          char escape[8];
          std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
          out += escape;
        }
    }
  }
  out.push_back('"');
  return out;
}

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!has_member_.empty()) {
    if (has_member_.back()) text_.push_back(',');
    has_member_.back() = true;
  }
}

void JsonWriter::Open(char bracket) {
  BeforeValue();
  text_.push_back(bracket);
  has_member_.push_back(false);
}

void JsonWriter::Close(char bracket) {
  if (!has_member_.empty()) has_member_.pop_back();
  text_.push_back(bracket);
}

JsonWriter& JsonWriter::BeginObject() {
  Open('{');
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  Close('}');
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  Open('[');
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  Close(']');
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  BeforeValue();
  text_ += JsonQuote(AsciiToString(name));
  text_.push_back(':');
  after_key_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(StringView text) {
  BeforeValue();
  text_ += JsonQuote(text);
  return *this;
}

JsonWriter& JsonWriter::Int(int64_t value) {
  BeforeValue();
  text_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  text_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  text_ += "null";
  return *this;
}

}  // namespace nolu::driver
