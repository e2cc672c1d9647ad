#include "base/text_layout/text_layout.h"

#include <algorithm>

#include "base/text_layout/text_importer.h"
#include "base/text_layout/text_layout_block.h"
#include "base/text_layout/text_paint_state.h"

namespace nolu {
namespace {

// Delimiters after or before which a row may break, as in East Asian text, which has no
// blanks between its words.
bool BreaksAfter(Char c) {
  return StringView(
             u"\u200B\u3000\uFF0C\uFF1A\uFF1B\uFF1F\u060C\u3001\u3002\uFF09\u300D\u300F"
             u"\u300B\u3009\u3015")
             .find(c) != StringView::npos;
}

bool BreaksBefore(Char c) {
  return StringView(u"\uFF08\u300C\u300E\u300A\u3008\u3014").find(c) != StringView::npos;
}

struct Piece {
  TRuxTextLayoutRun Run;  // everything but the position
  int Ascent = 0;
};

// Gathers pieces into unbreakable clusters and clusters into rows, greedily.
class RowBuilder {
 public:
  RowBuilder(const TRuxTextLayoutParams& params, ITextMeasurer& measurer,
             std::vector<TRuxTextLayoutRow>& rows, std::vector<TRuxTextLayoutRun>& runs)
      : params_(params),
        measurer_(measurer),
        state_(params.Font, params.TextColor, params.LinkColor, params.Dpi),
        rows_(rows),
        runs_(runs) {}

  void Walk(const TRuxTextLayoutBlockList& blocks) {
    for (const TRuxTextLayoutBlock& block : blocks) {
      switch (block.Kind()) {
        case bkSpace:
          EndCluster();
          spaces_.push_back(MakePiece(u" "));
          spaces_width_ += spaces_.back().Run.Bounds.Width;
          break;
        case bkLineBreak:
          EndCluster();
          FinishRow();
          break;
        case bkText: {
          const String& text = static_cast<const TRuxTextLayoutBlockText&>(block).Text();
          const bool delimiter = text.size() == 1;
          if (delimiter && BreaksBefore(text[0])) EndCluster();
          AddToCluster(text);
          if (delimiter && BreaksAfter(text[0])) EndCluster();
          break;
        }
        case bkSpan:
          for (const TRuxTextLayoutBlock& inner :
               static_cast<const TRuxTextLayoutBlockSpan&>(block).Blocks()) {
            if (inner.Kind() == bkText) {
              AddToCluster(static_cast<const TRuxTextLayoutBlockText&>(inner).Text());
            } else {
              state_.Apply(inner);
            }
          }
          break;
        default:
          state_.Apply(block);
          break;
      }
    }
    EndCluster();
    if (!row_.empty()) FinishRow();
  }

  int Width() const { return widest_; }
  int Height() const { return top_; }

 private:
  Piece MakePiece(StringView text) {
    Piece piece;
    piece.Run.Text = String(text);
    piece.Run.Font = state_.Font();
    piece.Run.TextColor = state_.TextColor();
    piece.Run.BackColor = state_.BackColor();
    piece.Run.Link = state_.Link();
    const TRuxTextExtent extent = Measure(piece.Run.Font, text);
    piece.Run.Bounds.Width = extent.Width;
    piece.Run.Bounds.Height = extent.Height;
    piece.Ascent = extent.Ascent;
    return piece;
  }

  // A measurer's odd answer (negative sizes, an ascent below the line) must not turn into
  // rows that run backwards.
  TRuxTextExtent Measure(const TRuxTextFont& font, StringView text) {
    TRuxTextExtent extent = measurer_.Measure(font, text);
    extent.Width = std::max(extent.Width, 0);
    extent.Height = std::max(extent.Height, 0);
    extent.Ascent = std::clamp(extent.Ascent, 0, extent.Height);
    return extent;
  }

  void AddToCluster(StringView text) {
    cluster_.push_back(MakePiece(text));
    cluster_width_ += cluster_.back().Run.Bounds.Width;
  }

  void EndCluster() {
    if (cluster_.empty()) return;
    if (params_.WordWrap && row_has_word_ &&
        row_width_ + spaces_width_ + cluster_width_ > params_.Width) {
      FinishRow();
    }
    for (auto* pieces : {&spaces_, &cluster_}) {
      for (Piece& piece : *pieces)
        row_.push_back(std::move(piece));
    }
    row_width_ += spaces_width_ + cluster_width_;
    row_has_word_ = true;
    spaces_.clear();
    cluster_.clear();
    spaces_width_ = cluster_width_ = 0;
  }

  // Ends the row; the blanks after its last word are dropped.
  void FinishRow() {
    int ascent = 0, descent = 0;
    if (row_.empty()) {
      const TRuxTextExtent empty = Measure(state_.Font(), StringView());
      ascent = empty.Ascent;
      descent = empty.Height - empty.Ascent;
    }
    for (const Piece& piece : row_) {
      ascent = std::max(ascent, piece.Ascent);
      descent = std::max(descent, piece.Run.Bounds.Height - piece.Ascent);
    }
    const int room = std::max(params_.Width - row_width_, 0);
    const int left = params_.Alignment == taRightJustify ? room
                     : params_.Alignment == taCenter     ? room / 2
                                                         : 0;
    TRuxTextLayoutRow row;
    row.Bounds = {left, top_, row_width_, ascent + descent};
    row.Baseline = top_ + ascent;
    row.FirstRun = runs_.size();
    row.RunCount = row_.size();
    int x = left;
    for (Piece& piece : row_) {
      piece.Run.Bounds.Left = x;
      piece.Run.Bounds.Top = row.Baseline - piece.Ascent;
      piece.Run.Baseline = row.Baseline;
      x += piece.Run.Bounds.Width;
      runs_.push_back(std::move(piece.Run));
    }
    rows_.push_back(row);
    top_ += row.Bounds.Height;
    widest_ = std::max(widest_, row_width_);
    row_.clear();
    spaces_.clear();
    row_width_ = spaces_width_ = 0;
    row_has_word_ = false;
  }

  const TRuxTextLayoutParams& params_;
  ITextMeasurer& measurer_;
  TRuxTextPaintState state_;
  std::vector<TRuxTextLayoutRow>& rows_;
  std::vector<TRuxTextLayoutRun>& runs_;

  std::vector<Piece> row_;      // placed on the current row
  std::vector<Piece> spaces_;   // blanks after the row's last word
  std::vector<Piece> cluster_;  // the word being gathered
  int row_width_ = 0;
  int spaces_width_ = 0;
  int cluster_width_ = 0;
  bool row_has_word_ = false;
  int top_ = 0;
  int widest_ = 0;
};

}  // namespace

void TRuxTextLayout::SetText(StringView text, const TextImportSettings& settings) {
  text_ = String(text);
  settings_ = settings;
  blocks_ = TRuxTextImporter(settings_).Import(text_);
  rows_.clear();
  runs_.clear();
  width_ = height_ = 0;
}

void TRuxTextLayout::Arrange(const TRuxTextLayoutParams& params, ITextMeasurer& measurer) {
  rows_.clear();
  runs_.clear();
  RowBuilder builder(params, measurer, rows_, runs_);
  builder.Walk(blocks_);
  width_ = builder.Width();
  height_ = builder.Height();
}

const TRuxTextLayoutRun* TRuxTextLayout::RunAt(int x, int y) const {
  for (const TRuxTextLayoutRow& row : rows_) {
    if (y < row.Bounds.Top || y >= row.Bounds.Bottom()) continue;
    for (size_t i = row.FirstRun; i < row.FirstRun + row.RunCount; ++i) {
      const TRuxTextRect& bounds = runs_[i].Bounds;
      if (x >= bounds.Left && x < bounds.Right()) return &runs_[i];
    }
    return nullptr;
  }
  return nullptr;
}

}  // namespace nolu
