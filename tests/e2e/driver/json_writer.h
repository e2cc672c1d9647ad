// One line of JSON, the driver's result format.
//
// The harness reads the driver's standard output through Wine's console layer, whose code
// page is not ours to choose, so the writer emits pure ASCII: every character outside
// U+0020..U+007E is written as a \uXXXX escape (a character above U+FFFF as its UTF-16
// surrogate pair, which every JSON reader joins again).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace nolu::driver {

// `text` as a quoted JSON string literal, ASCII only.
std::string JsonQuote(StringView text);

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The name of the next member of the current object (names are ASCII literals of the code).
  JsonWriter& Key(std::string_view name);

  JsonWriter& String(StringView text);
  JsonWriter& Int(int64_t value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  // Key and value in one call, for the common flat members.
  JsonWriter& Field(std::string_view name, StringView text) { return Key(name).String(text); }
  JsonWriter& Field(std::string_view name, int64_t value) { return Key(name).Int(value); }
  JsonWriter& FlagField(std::string_view name, bool value) { return Key(name).Bool(value); }

  // The text written so far; a complete document once every Begin has met its End.
  const std::string& Text() const { return text_; }

 private:
  void BeforeValue();
  void Open(char bracket);
  void Close(char bracket);

  std::string text_;
  // One entry per open object or array: whether it already holds a member.
  std::vector<bool> has_member_;
  bool after_key_ = false;
};

}  // namespace nolu::driver
