// Fuzzes the markup importer and the row layout of its blocks. The first byte chooses the
// import settings (bits 0-4: e-mails, time codes, web addresses, escapes, tags; bit 5: a comma
// as decimal separator) and the alignment (bits 6-7), the second the width (bits 1-7, in
// steps of 4 pixels) and word wrap (bit 0 clear); the rest is the text in UTF-8.
//
// Beyond not crashing: the blocks cover the text up to its first NUL in order and without
// gaps, each block is what its source says, spans hold two or more words and tags only, and
// the layout of the result keeps every word, stacks its rows without gaps and puts every
// run inside its row, where hit testing finds it.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/text_layout/testing/fixed_width_measurer.h"
#include "base/text_layout/text_importer.h"
#include "base/text_layout/text_layout.h"
#include "base/text_layout/text_layout_block.h"
#include "base/text_layout/text_paint_state.h"

namespace {

using namespace nolu;

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsTag(StringView source) {
  return source.size() >= 2 && source.front() == u'[' && source.back() == u']';
}

// Checks the blocks of [begin, end) of `text`, and gathers the words in `words`.
void CheckBlocks(const TRuxTextLayoutBlockList& blocks, StringView text, size_t begin, size_t end,
                 bool in_span, String& words) {
  size_t pos = begin;
  for (const TRuxTextLayoutBlock& block : blocks) {
    Check(block.Position() == pos);
    Check(block.End() <= end);
    const StringView source = text.substr(block.Position(), block.Length());
    switch (block.Kind()) {
      case bkText: {
        const String& word = static_cast<const TRuxTextLayoutBlockText&>(block).Text();
        Check(!word.empty() && word == source);
        words += word;
        break;
      }
      case bkSpace:
        Check(!in_span && (source == u" " || source == u"\t"));
        break;
      case bkLineBreak:
        Check(!in_span &&
              (source == u"\n" || source == u"\r" || source == u"\r\n" || source == u"\\n"));
        break;
      case bkHyperlink: {
        const auto& link = static_cast<const TRuxTextLayoutBlockHyperlink&>(block);
        // Detected links have no source of their own; explicit ones are tags.
        Check(source.empty() ? !in_span : IsTag(source));
        if (!link.Include()) Check(link.Target().empty());
        break;
      }
      case bkFontStyle:
      case bkFillColor:
      case bkFontColor:
      case bkFontSize:
        Check(IsTag(source));
        break;
      case bkSpan: {
        Check(!in_span);
        const auto& span = static_cast<const TRuxTextLayoutBlockSpan&>(block);
        Check(!span.Blocks().Empty());
        CheckBlocks(span.Blocks(), text, block.Position(), block.End(), true, words);
        size_t inner_texts = 0;
        for (const TRuxTextLayoutBlock& inner : span.Blocks())
          inner_texts += inner.Kind() == bkText;
        Check(inner_texts >= 2);
        break;
      }
    }
    pos = block.End();
  }
  Check(pos == end);
}

void CheckLayout(const TRuxTextLayout& layout, const TRuxTextLayoutParams& params,
                 const String& words) {
  String laid_words;
  int top = 0;
  size_t next_run = 0;
  for (const TRuxTextLayoutRow& row : layout.Rows()) {
    Check(row.Bounds.Top == top && row.Bounds.Height >= 0 && row.Bounds.Left >= 0);
    Check(row.Bounds.Width >= 0);
    Check(row.FirstRun == next_run && row.FirstRun + row.RunCount <= layout.Runs().size());
    int x = row.Bounds.Left;
    for (size_t i = row.FirstRun; i < row.FirstRun + row.RunCount; ++i) {
      const TRuxTextLayoutRun& run = layout.Runs()[i];
      Check(run.Bounds.Left == x && run.Bounds.Width >= 0);
      Check(run.Bounds.Top >= row.Bounds.Top && run.Bounds.Bottom() <= row.Bounds.Bottom());
      Check(run.Baseline == row.Baseline);
      Check(run.Font.Height >= 1 && run.Font.Height <= TRuxTextPaintState::kMaxFontHeight);
      Check(!run.Text.empty());
      if (run.Text != u" ") laid_words += run.Text;
      if (run.Bounds.Width > 0 && row.Bounds.Height > 0) {
        Check(layout.RunAt(run.Bounds.Left, row.Bounds.Top) == &run);
      }
      x = run.Bounds.Right();
    }
    Check(x - row.Bounds.Left == row.Bounds.Width);
    if (params.WordWrap && row.Bounds.Width > params.Width) {
      // Too wide only when it holds one unbreakable word (after any indentation).
      bool word_seen = false;
      for (size_t i = row.FirstRun; i < row.FirstRun + row.RunCount; ++i) {
        const bool blank = layout.Runs()[i].Text == u" ";
        Check(!(blank && word_seen));
        word_seen = word_seen || !blank;
      }
    }
    Check(row.Bounds.Width <= layout.Width());
    top = row.Bounds.Bottom();
    next_run = row.FirstRun + row.RunCount;
  }
  Check(next_run == layout.Runs().size());
  Check(top == layout.Height());
  Check(laid_words == words);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  TextImportSettings settings;
  settings.AutoDetectEmails = data[0] & 1;
  settings.AutoDetectTimeCodes = data[0] & 2;
  settings.AutoDetectURLs = data[0] & 4;
  settings.LineBreakEscapes = data[0] & 8;
  settings.Tags = data[0] & 16;
  settings.DecimalSeparator = data[0] & 32 ? u',' : u'.';
  TRuxTextLayoutParams params;
  params.Alignment = static_cast<TRuxTextAlignment>((data[0] >> 6) % 3);
  params.WordWrap = !(data[1] & 1);
  params.Width = (data[1] >> 1) * 4;
  params.Font = {u"Tahoma", 10, 0};

  const String text =
      Utf8ToString(std::string_view(reinterpret_cast<const char*>(data + 2), size - 2));
  TRuxTextLayout layout;
  layout.SetText(text, settings);
  String words;
  CheckBlocks(layout.Blocks(), text, 0, std::min(text.find(u'\0'), text.size()), false, words);

  TFixedWidthMeasurer measurer;
  layout.Arrange(params, measurer);
  CheckLayout(layout, params, words);
  return 0;
}
