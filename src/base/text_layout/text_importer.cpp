#include "base/text_layout/text_importer.h"

#include "base/text_layout/tag_parameters.h"
#include "base/text_layout/text_link_rules.h"
#include "base/text_layout/time_format.h"

namespace nolu {
namespace {

constexpr StringView kDelimiters =
    u"[]()\\\u200B\u201C\u201D\u2018\u2019\uFF08\uFF09\uFF0C\uFF1A\uFF1B\uFF1F\u060C\u3000"
    u"\u3001\u3002\u300C\u300D\u300E\u300F\u300A\u300B\u3008\u3009\u3014\u3015 \r\n\t";

bool IsDelimiter(Char c) {
  return c == u'\0' || kDelimiters.find(c) != StringView::npos;
}

template <typename Block, typename... Args>
std::unique_ptr<TRuxTextLayoutBlock> Make(Args&&... args) {
  return std::make_unique<Block>(std::forward<Args>(args)...);
}

}  // namespace

TRuxTextLayoutBlockList TRuxTextImporter::Import(StringView text) {
  text_ = text.substr(0, text.find(u'\0'));
  pos_ = 0;
  next_close_ = 0;
  link_depth_ = 0;
  list_.Clear();
  pending_.clear();
  while (pos_ < text_.size()) {
    if (settings_.Tags && DetectTag()) continue;
    if (DetectLineBreak()) continue;
    if (settings_.LineBreakEscapes && DetectEscape()) continue;
    if (DetectBlank()) continue;
    if (DetectDelimiter()) continue;
    DetectWord();
  }
  Flush();
  return std::move(list_);
}

bool TRuxTextImporter::DetectTag() {
  if (text_[pos_] != u'[') return false;
  const size_t close = NextClosingBracket();
  if (close == StringView::npos) return false;
  const StringView inner = text_.substr(pos_ + 1, close - pos_ - 1);
  const size_t length = close - pos_ + 1;
  std::unique_ptr<TRuxTextLayoutBlock> block;
  if (!inner.empty() && inner[0] == u'/') {
    block = MakeTagBlock(inner.substr(1), false, StringView(), length);
  } else {
    const size_t eq = inner.find(u'=');
    block = MakeTagBlock(inner.substr(0, eq), true,
                         eq == StringView::npos ? StringView() : inner.substr(eq + 1), length);
  }
  if (!block) return false;
  if (block->Kind() == bkHyperlink) {
    // A stray closing tag must not take the depth below zero: the words inside the next
    // explicit link would then become links of their own.
    if (static_cast<const TRuxTextLayoutBlockStyle&>(*block).Include()) {
      ++link_depth_;
    } else if (link_depth_ > 0) {
      --link_depth_;
    }
  }
  pending_.push_back(std::move(block));
  pos_ = close + 1;
  return true;
}

std::unique_ptr<TRuxTextLayoutBlock> TRuxTextImporter::MakeTagBlock(StringView name, bool include,
                                                                    StringView parameter,
                                                                    size_t length) {
  const size_t at = pos_;
  auto is = [&](StringView tag) { return EqualsAsciiIgnoreCase(name, tag); };
  if (is(u"B")) return Make<TRuxTextLayoutBlockFontStyle>(at, length, include, fsBold);
  if (is(u"I")) return Make<TRuxTextLayoutBlockFontStyle>(at, length, include, fsItalic);
  if (is(u"U")) return Make<TRuxTextLayoutBlockFontStyle>(at, length, include, fsUnderline);
  if (is(u"S")) return Make<TRuxTextLayoutBlockFontStyle>(at, length, include, fsStrikeOut);
  if (is(u"COLOR")) {
    return Make<TRuxTextLayoutBlockFontColor>(at, length, include,
                                              ColorFromTagParameter(parameter));
  }
  if (is(u"BACKCOLOR")) {
    return Make<TRuxTextLayoutBlockFillColor>(at, length, include,
                                              ColorFromTagParameter(parameter));
  }
  if (is(u"BIG")) {
    return Make<TRuxTextLayoutBlockFontSize>(at, length, include, TRuxFontSizeValue::Times(1.1));
  }
  if (is(u"SMALL")) {
    return Make<TRuxTextLayoutBlockFontSize>(at, length, include, TRuxFontSizeValue::Times(0.9));
  }
  if (is(u"SIZE")) {
    return Make<TRuxTextLayoutBlockFontSize>(
        at, length, include, FontSizeFromTagParameter(parameter, settings_.DecimalSeparator));
  }
  if (is(u"URL")) {
    return Make<TRuxTextLayoutBlockHyperlink>(at, length, include, TrimControls(parameter));
  }
  return nullptr;
}

// A "[" whose search found no "]" means none follows any later "[" either, and a found one
// stays the next until the walk passes it: every character is searched once.
size_t TRuxTextImporter::NextClosingBracket() {
  if (next_close_ != StringView::npos && next_close_ <= pos_) {
    next_close_ = text_.find(u']', pos_ + 1);
  }
  return next_close_;
}

bool TRuxTextImporter::DetectLineBreak() {
  const Char c = text_[pos_];
  if (c != u'\n' && c != u'\r') return false;
  const size_t length = c == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n' ? 2 : 1;
  AddToList(Make<TRuxTextLayoutBlockLineBreak>(pos_, length));
  pos_ += length;
  return true;
}

bool TRuxTextImporter::DetectEscape() {
  if (text_[pos_] != u'\\' || pos_ + 1 >= text_.size() || text_[pos_ + 1] != u'n') return false;
  AddToList(Make<TRuxTextLayoutBlockLineBreak>(pos_, 2));
  pos_ += 2;
  return true;
}

bool TRuxTextImporter::DetectBlank() {
  if (text_[pos_] != u' ' && text_[pos_] != u'\t') return false;
  AddToList(Make<TRuxTextLayoutBlockSpace>(pos_));
  ++pos_;
  return true;
}

bool TRuxTextImporter::DetectDelimiter() {
  if (!IsDelimiter(text_[pos_])) return false;
  AddToList(Make<TRuxTextLayoutBlockText>(pos_, String(1, text_[pos_])));
  ++pos_;
  return true;
}

void TRuxTextImporter::DetectWord() {
  size_t end = pos_ + 1;
  while (end < text_.size() && !IsDelimiter(text_[end]))
    ++end;
  const StringView word = text_.substr(pos_, end - pos_);
  if (auto target = link_depth_ < 1 ? AutoLinkTarget(word) : std::nullopt) {
    AddToList(Make<TRuxTextLayoutBlockHyperlink>(pos_, 0, true, std::move(*target)));
    list_.Add(Make<TRuxTextLayoutBlockText>(pos_, String(word)));
    list_.Add(Make<TRuxTextLayoutBlockHyperlink>(end, 0, false, String()));
  } else {
    pending_.push_back(Make<TRuxTextLayoutBlockText>(pos_, String(word)));
  }
  pos_ = end;
}

std::optional<String> TRuxTextImporter::AutoLinkTarget(StringView word) const {
  if (settings_.AutoDetectEmails && IsHtmlEmailAddress(word)) return u"mailto:" + String(word);
  // A tag glued to the front (pending) makes the word part of something larger.
  if (!pending_.empty()) return std::nullopt;
  if (settings_.AutoDetectURLs) {
    if (auto target = WebAddressTarget(word)) return target;
  }
  if (settings_.AutoDetectTimeCodes && word[0] >= u'0' && word[0] <= u'9' &&
      TimeCodeMayStartHere()) {
    if (auto milliseconds = TRuxTimeFormat::Parse(word)) {
      return u"time:" + IntToStr(*milliseconds / 1000);
    }
  }
  return std::nullopt;
}

bool TRuxTextImporter::TimeCodeMayStartHere() const {
  if (pos_ == 0) return true;
  const Char before = text_[pos_ - 1];
  return before <= u' ' || before == u'\x7F' || before == u'(' || before == u'[';
}

void TRuxTextImporter::AddToList(std::unique_ptr<TRuxTextLayoutBlock> block) {
  Flush();
  list_.Add(std::move(block));
}

void TRuxTextImporter::Flush() {
  size_t texts = 0;
  for (const auto& block : pending_) {
    if (block->Kind() == bkText) ++texts;
  }
  if (texts >= 2) {
    TRuxTextLayoutBlockList group;
    for (auto& block : pending_)
      group.Add(std::move(block));
    list_.Add(std::make_unique<TRuxTextLayoutBlockSpan>(std::move(group)));
  } else {
    for (auto& block : pending_)
      list_.Add(std::move(block));
  }
  pending_.clear();
}

}  // namespace nolu
