// The grammar of the program's parameters: a tokenizer configured with character sets, and the
// state machine that turns the tokens of a parameter text into commands.
//
// Switches start with "/" (or "-", see TRuxCommandLineParser), take a value after "=", several
// values separated by ";", values in double quotes, and free text that belongs to the switch
// before it. A quoted value may end with a backslash: the closing quote is never escaped, so a
// folder such as "C:\Program Files\Nolu\" survives a relaunch of the program intact.
#pragma once

#include <cstddef>
#include <vector>

#include "base/text.h"

namespace nolu {

// Splits a text into tokens under three character sets. At each position, in this order:
//   1. a blank character is a blank token of one character;
//   2. a quote character starts quoted text that runs to the next occurrence of the same
//      quote, which is consumed; without a closing quote, the quote alone is a lone quote;
//   3. a character that is not a delimiter starts a word running up to the next delimiter
//      (blanks and quotes that are not delimiters do not end a word);
//   4. otherwise the character is a delimiter token of one character.
class TRuxParser {
 public:
  // The numbers are part of the grammar's description and stay as they are.
  enum TTokenKind { tkBlank = 1, tkDelimiter = 2, tkQuote = 3, tkQuotedText = 4, tkWord = 5 };

  struct TToken {
    // For quoted text, the text between the quotes (possibly empty).
    size_t Start = 0;
    size_t Length = 0;
    TTokenKind Kind = tkBlank;
  };

  // The text and the sets are not copied: they must outlive the parser.
  TRuxParser(StringView text, StringView delimiters, StringView blanks, StringView quotes);

  // Reads the token at the current position; false at the end of the text.
  bool Next(TToken& token);
  // Where the next token starts: after the closing quote of quoted text.
  size_t Position() const { return position_; }
  StringView TokenText(const TToken& token) const {
    return text_.substr(token.Start, token.Length);
  }

 private:
  StringView text_;
  StringView delimiters_;
  StringView blanks_;
  StringView quotes_;
  size_t position_ = 0;
};

class TRuxCommandLineProcessor {
 public:
  // A switch and its values; free text before any switch forms a command with an empty name.
  struct TCommand {
    String Name;
    StringList Values;

    bool operator==(const TCommand&) const = default;
  };
  using TCommands = std::vector<TCommand>;
};

// Parses a parameter text into commands, in order of appearance.
//
// Delimiters are "-", "/", "=", ";", blank, CR and LF; only the blank character separates items
// (a tab belongs to a word); only the double quote quotes. Rules worth knowing:
//   * "/" starts a switch at the start of an item; "-" does so only when a switch was already
//     read or nothing is buffered, so a hyphen in free text stays text. Inside words both stay
//     text (C:/x, my-file).
//   * /NAME=VALUE ends at the next blank; /NAME followed by a blank takes the free text after
//     it (/AUTO C:\Dir behaves like /AUTO=C:\Dir).
//   * Words separated by blanks are joined with their blanks into one value, except that a word
//     starting with a drive ("C:") or with two backslashes begins a new value; in free text,
//     CR and LF end a value too.
//   * Values are trimmed of characters below U+0021; empty values are dropped.
class TRuxCommandLineParser {
 public:
  static TRuxCommandLineProcessor::TCommands Parse(StringView params);

 private:
  enum TState { psItem, psText, psPrefix, psName, psValue };
  static constexpr size_t kNoCommand = static_cast<size_t>(-1);

  explicit TRuxCommandLineParser(StringView params) : params_(params) {}

  void Run();
  void Handle(const TRuxParser::TToken& token, StringView text);
  void HandleText(const TRuxParser::TToken& token, StringView text);
  void HandleContent(const TRuxParser::TToken& token, StringView text);
  void AddValue(StringView text);
  void Flush();

  StringView params_;
  TState state_ = psItem;
  String buffer_;
  StringView previous_;  // text of the token before the current one
  TRuxCommandLineProcessor::TCommands commands_;
  size_t current_ = kNoCommand;
};

}  // namespace nolu
