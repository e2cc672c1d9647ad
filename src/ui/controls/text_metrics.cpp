#include "ui/controls/text_metrics.h"

#include <algorithm>

#include "ui/controls/canvas.h"

namespace nolu::ui {

int LineHeightOf(const TFont& font, int dpi) {
  // 1.25 em: 9 pt (12 px) gives the 15 px of a "Segoe UI" line at 96 DPI.
  return MulDiv(font.Size * 5, dpi, 72 * 4);
}

int AverageCharWidth(const TFont& font, int dpi) {
  const int em = MulDiv(font.Size, dpi, 72);
  return std::max(1, (em + (font.Bold ? 1 : 0)) / 2);
}

TSize ApproximateTextSize(StringView text, const TFont& font, int dpi, int max_width) {
  const int advance = AverageCharWidth(font, dpi);
  const int line_height = LineHeightOf(font, dpi);
  int lines = 0;
  int widest = 0;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == StringView::npos) end = text.size();
    StringView line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
    int width = static_cast<int>(line.size()) * advance;
    if (max_width > 0 && width > max_width) {
      const int per_line = std::max(1, max_width / advance);
      const int count = static_cast<int>((line.size() + per_line - 1) / per_line);
      lines += count;
      widest = std::max(widest, per_line * advance);
    } else {
      ++lines;
      widest = std::max(widest, width);
    }
    start = end + 1;
  }
  return {widest, lines * line_height};
}

}  // namespace nolu::ui
