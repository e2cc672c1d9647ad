// TRuxTextLayout: a text with bracket-tag markup, imported into blocks and arranged in rows
// of positioned runs for any canvas to paint.
//
// Arrangement:
//   * rows break only between words: at blanks, after a zero-width space (U+200B), the
//     ideographic space, the full-width and ideographic comma, colon, semicolon, question
//     mark and full stop, the Arabic comma and the closing CJK brackets, and before the
//     opening CJK brackets. A span (a word with a tag inside it) and a word glued to its
//     delimiters, such as "(Nolu)", never break;
//   * with WordWrap, a word that does not fit after the row's content starts the next row;
//     a word wider than the whole row stands alone on a row of its own, unsplit (and may
//     reach past the right edge);
//   * a line break ends its row; an empty row has the height of the font in force there; a
//     line break at the very end adds no empty row;
//   * blanks at the end of a row, and those where a row was broken, are dropped and not
//     counted; blanks at the start of the text or after a line break are kept (indentation);
//   * rows are aligned left, centred or right within Width; a row wider than Width starts at
//     the left edge whatever the alignment; runs of a row share one baseline (the largest
//     ascent), the row's height is the largest ascent plus the largest descent;
//   * coordinates are device pixels from the layout's top-left corner.
//
// Adapting it to a formatted label (TRuxFormattedLabel) and a canvas:
//   * text: whenever the label sets its text it calls SetText with TextImportSettings{} (the
//     layout's defaults), the three detection fields taken from its Options
//     (floAutoDetectEmails, floAutoDetectURLs, floAutoDetectTimeCodes) and DecimalSeparator
//     from UserDecimalSeparator(); setting an equal text does nothing; changing Options calls
//     SetText again with the current text;
//   * arranging: on every change of text, size, font, DPI, WordWrap or Alignment, Arrange
//     with the client width (less borders), the label's font (height in pixels at its DPI)
//     and colours: "Labels.Colors.Text", and as link colour "Labels.Colors.TextHyperlink"
//     while enabled, "Labels.Colors.TextDisabled" while disabled; the measurer wraps the
//     canvas (text_measurer.h);
//   * painting: the label fills its background unless transparent, then PaintTextLayout
//     (text_layout_painter.h) through an adapter of its canvas, offset by the borders;
//   * links: on mouse moves RunAt(x, y) with a Link shows the hand cursor; a click on such a
//     run calls OnLinkExecute(target, handled) when assigned, and when that did not handle
//     it and HasLinkScheme(target) holds (text_link_rules.h) the target is opened with
//     OpenLink; "mailto:" and "time:" targets therefore open nothing by themselves.
#pragma once

#include <vector>

#include "base/color.h"
#include "base/text.h"
#include "base/text_layout/text_font.h"
#include "base/text_layout/text_import_settings.h"
#include "base/text_layout/text_layout_block_list.h"
#include "base/text_layout/text_layout_run.h"
#include "base/text_layout/text_measurer.h"

namespace nolu {

enum TRuxTextAlignment : uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

struct TRuxTextLayoutParams {
  int Width = 0;  // the width rows are aligned in and, with WordWrap, wrapped at
  bool WordWrap = true;
  TRuxTextAlignment Alignment = taLeftJustify;
  int Dpi = 96;       // converts the points of "SIZE" tags to pixels
  TRuxTextFont Font;  // the base font, its height in pixels at Dpi
  TRuxColor TextColor;
  TRuxColor LinkColor;
};

class TRuxTextLayout {
 public:
  // Imports `text` with `settings`; the arrangement is emptied until the next Arrange.
  void SetText(StringView text, const TextImportSettings& settings = TextImportSettings());

  const String& Text() const { return text_; }
  const TextImportSettings& Settings() const { return settings_; }
  const TRuxTextLayoutBlockList& Blocks() const { return blocks_; }

  void Arrange(const TRuxTextLayoutParams& params, ITextMeasurer& measurer);

  const std::vector<TRuxTextLayoutRow>& Rows() const { return rows_; }
  const std::vector<TRuxTextLayoutRun>& Runs() const { return runs_; }
  // The extent of the arranged text: the widest row's content and the rows' total height.
  int Width() const { return width_; }
  int Height() const { return height_; }

  // The run under a point, for links and the hand cursor: the row whose height holds `y`,
  // and in it the run whose width holds `x`; nullptr when there is none.
  const TRuxTextLayoutRun* RunAt(int x, int y) const;

 private:
  String text_;
  TextImportSettings settings_;
  TRuxTextLayoutBlockList blocks_;
  std::vector<TRuxTextLayoutRow> rows_;
  std::vector<TRuxTextLayoutRun> runs_;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace nolu
