#include "base/command_line_parser.h"

namespace nolu {
namespace {

bool Contains(StringView set, Char c) {
  return set.find(c) != StringView::npos;
}

bool IsDelimiter(const TRuxParser::TToken& token, StringView text, Char c) {
  return token.Kind == TRuxParser::tkDelimiter && text[0] == c;
}

// Absolute paths begin a new value even without quotes, so "C:\a D:\b" names two folders.
bool StartsNewValue(StringView word) {
  return (word.size() >= 2 && word[1] == u':') || StartsWith(word, u"\\\\");
}

}  // namespace

TRuxParser::TRuxParser(StringView text, StringView delimiters, StringView blanks, StringView quotes)
    : text_(text), delimiters_(delimiters), blanks_(blanks), quotes_(quotes) {}

bool TRuxParser::Next(TToken& token) {
  if (position_ >= text_.size()) return false;
  const size_t start = position_;
  const Char c = text_[start];
  if (Contains(blanks_, c)) {
    token = {start, 1, tkBlank};
    position_ = start + 1;
  } else if (Contains(quotes_, c)) {
    const size_t close = text_.find(c, start + 1);
    if (close == StringView::npos) {
      token = {start, 1, tkQuote};
      position_ = start + 1;
    } else {
      token = {start + 1, close - start - 1, tkQuotedText};
      position_ = close + 1;
    }
  } else if (!Contains(delimiters_, c)) {
    size_t end = start + 1;
    while (end < text_.size() && !Contains(delimiters_, text_[end]))
      ++end;
    token = {start, end - start, tkWord};
    position_ = end;
  } else {
    token = {start, 1, tkDelimiter};
    position_ = start + 1;
  }
  return true;
}

TRuxCommandLineProcessor::TCommands TRuxCommandLineParser::Parse(StringView params) {
  TRuxCommandLineParser parser(params);
  parser.Run();
  return std::move(parser.commands_);
}

void TRuxCommandLineParser::Run() {
  TRuxParser tokens(params_, u"-/=; \r\n", u" ", u"\"");
  TRuxParser::TToken token;
  while (tokens.Next(token)) {
    const StringView text = tokens.TokenText(token);
    Handle(token, text);
    previous_ = text;
  }
  Flush();
}

void TRuxCommandLineParser::Handle(const TRuxParser::TToken& token, StringView text) {
  switch (state_) {
    case psItem:
      if (IsDelimiter(token, text, u'/') ||
          (IsDelimiter(token, text, u'-') && (!commands_.empty() || buffer_.empty()))) {
        state_ = psPrefix;
        return;
      }
      // The blank that ended the previous item belongs to the free text after all.
      buffer_ += previous_;
      state_ = psText;
      HandleText(token, text);
      return;

    case psText:
      HandleText(token, text);
      return;

    case psPrefix:
      if (token.Kind == TRuxParser::tkWord) {
        Flush();
        commands_.push_back({String(text), {}});
        current_ = commands_.size() - 1;
        state_ = psName;
        return;
      }
      // Not a switch after all: the prefix character is text.
      buffer_ += u' ';
      buffer_ += previous_;
      state_ = psText;
      HandleText(token, text);
      return;

    case psName:
      if (IsDelimiter(token, text, u'=')) {
        state_ = psValue;
        return;
      }
      // The switch stays current, so free text that follows becomes its value.
      state_ = psText;
      HandleText(token, text);
      return;

    case psValue:
      switch (token.Kind) {
        case TRuxParser::tkBlank:
          Flush();
          current_ = kNoCommand;
          state_ = psItem;
          return;
        case TRuxParser::tkDelimiter:
          if (text[0] == u';') {
            Flush();
          } else {
            buffer_ += text;
          }
          return;
        case TRuxParser::tkQuote:
          return;
        case TRuxParser::tkQuotedText:
        case TRuxParser::tkWord:
          HandleContent(token, text);
          return;
      }
      return;
  }
}

void TRuxCommandLineParser::HandleText(const TRuxParser::TToken& token, StringView text) {
  switch (token.Kind) {
    case TRuxParser::tkBlank:
      state_ = psItem;
      return;
    case TRuxParser::tkDelimiter:
    case TRuxParser::tkQuote:
      if (text[0] == u'\r' || text[0] == u'\n') {
        Flush();
      } else {
        buffer_ += text;
      }
      return;
    case TRuxParser::tkQuotedText:
    case TRuxParser::tkWord:
      HandleContent(token, text);
      return;
  }
}

void TRuxCommandLineParser::HandleContent(const TRuxParser::TToken& token, StringView text) {
  if (token.Kind == TRuxParser::tkQuotedText) {
    Flush();
    AddValue(text);
  } else if (StartsNewValue(text)) {
    Flush();
    buffer_ += text;
  } else {
    buffer_ += text;
  }
}

void TRuxCommandLineParser::AddValue(StringView text) {
  String value = TrimControls(text);
  if (value.empty()) return;
  if (current_ == kNoCommand) {
    commands_.push_back({String(), {}});
    current_ = commands_.size() - 1;
  }
  commands_[current_].Values.push_back(std::move(value));
}

void TRuxCommandLineParser::Flush() {
  AddValue(buffer_);
  buffer_.clear();
}

}  // namespace nolu
