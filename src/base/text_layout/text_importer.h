// TRuxTextImporter: reads the bracket-tag markup of formatted labels into layout blocks.
//
// The walk goes from the start of the text to its end (or its first NUL character). At each
// position the detectors are tried in this order, and the first that accepts consumes
// characters and adds blocks:
//
//   1. tag (setting Tags): "[NAME]", "[NAME=PARAMETER]" or "[/NAME]" with a name of the table
//      below, in any letter case; a "[" without a later "]", or with another name, is no tag
//      and shows as written (the "[" is then a delimiter);
//   2. line break: LF, CR, or CR LF;
//   3. escape (setting LineBreakEscapes): "\" followed by "n" is a line break;
//   4. blank: space or TAB is a space block;
//   5. delimiter: one of [ ] ( ) \ U+200B “ ” ‘ ’ （ ） ， ： ； ？ U+060C U+3000
//      、 。 「 」 『 』 《 》 〈 〉 〔 〕 is a text block of its own;
//   6. word: the characters up to the next delimiter or blank. Outside an explicit link the
//      word may be a link by itself (text_link_rules.h), tried in this order: an e-mail
//      address (AutoDetectEmails) gives "mailto:" + word; a web address (AutoDetectURLs; only
//      when no tag is glued to the word's front) gives the word or "https://" + word; a time
//      code (AutoDetectTimeCodes; same condition, and the word starts the text or follows a
//      control character, blank, "(" or "[") gives "time:" + its whole seconds
//      (time_format.h). Such a link is an opening hyperlink block, the word's text block and
//      a closing hyperlink block.
//
//   Tag          Block                          Parameter
//   B, I, U, S   font style bold, italic,       —
//                underline, strike-out
//   COLOR        font colour                    colour (tag_parameters.h)
//   BACKCOLOR    fill colour                    colour
//   BIG, SMALL   font size, factor 1.1 / 0.9    —
//   SIZE         font size                      points or factor (tag_parameters.h)
//   URL          hyperlink                      the link target
//
// The parameter is the text between the first "=" and the "]", trimmed of blanks; a closing
// tag has none (its name runs to the "]"). Words are linked by themselves only while no
// "URL" tag is open; a closing "URL" tag without an open one changes nothing.
//
// Tags and plain words are gathered in a pending group until something else comes (a blank,
// a line break, a delimiter, a detected link, the end). A group with at least two text
// blocks becomes one span (a word with a tag inside it, such as "[B]Nolu[/B]Setup", stays
// unbreakable); otherwise its blocks join the list one by one.
//
// The walk is linear in the length of the text.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "base/text.h"
#include "base/text_layout/text_import_settings.h"
#include "base/text_layout/text_layout_block.h"
#include "base/text_layout/text_layout_block_list.h"

namespace nolu {

class TRuxTextImporter {
 public:
  explicit TRuxTextImporter(const TextImportSettings& settings) : settings_(settings) {}

  TRuxTextLayoutBlockList Import(StringView text);

 private:
  bool DetectTag();
  bool DetectLineBreak();
  bool DetectEscape();
  bool DetectBlank();
  bool DetectDelimiter();
  void DetectWord();
  std::optional<String> AutoLinkTarget(StringView word) const;
  bool TimeCodeMayStartHere() const;

  std::unique_ptr<TRuxTextLayoutBlock> MakeTagBlock(StringView name, bool include,
                                                    StringView parameter, size_t length);
  size_t NextClosingBracket();
  void AddToList(std::unique_ptr<TRuxTextLayoutBlock> block);
  void Flush();

  TextImportSettings settings_;
  StringView text_;
  size_t pos_ = 0;
  size_t next_close_ = 0;  // cached position of the next "]" (npos: none left)
  int link_depth_ = 0;
  TRuxTextLayoutBlockList list_;
  std::vector<std::unique_ptr<TRuxTextLayoutBlock>> pending_;
};

}  // namespace nolu
