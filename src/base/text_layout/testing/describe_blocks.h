// DescribeBlocks: a block list as one line of text, so that importer tests compare whole
// results at a glance:
//   'word'  text          _  space            NL  line break
//   +B -B   bold (I, U, S likewise)           +URL(target) -URL  hyperlink
//   +COLOR(#FF0000) -COLOR  font colour       +BACK(#FF0000) -BACK  fill colour
//   +SIZE(14pt) +SIZE(x1.5) -SIZE  font size  {...}  span
#pragma once

#include <cstdio>
#include <string>

#include "base/text_layout/text_layout_block.h"
#include "base/text_layout/text_layout_block_list.h"

namespace nolu {

inline std::string DescribeBlocks(const TRuxTextLayoutBlockList& blocks) {
  auto color = [](TRuxColor c) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", c.R, c.G, c.B);
    return std::string(text);
  };
  std::string out;
  for (const TRuxTextLayoutBlock& block : blocks) {
    if (!out.empty()) out += ' ';
    const auto* style = dynamic_cast<const TRuxTextLayoutBlockStyle*>(&block);
    const bool include = style && style->Include();
    const std::string sign = include ? "+" : "-";
    switch (block.Kind()) {
      case bkText:
        out += "'" + StringToUtf8(static_cast<const TRuxTextLayoutBlockText&>(block).Text()) + "'";
        break;
      case bkSpace:
        out += "_";
        break;
      case bkLineBreak:
        out += "NL";
        break;
      case bkFontStyle:
        out += sign + "BIUS"[static_cast<const TRuxTextLayoutBlockFontStyle&>(block).Style()];
        break;
      case bkHyperlink:
        out += sign + "URL";
        if (include) {
          out += "(" +
                 StringToUtf8(static_cast<const TRuxTextLayoutBlockHyperlink&>(block).Target()) +
                 ")";
        }
        break;
      case bkFillColor:
      case bkFontColor:
        out += sign + (block.Kind() == bkFontColor ? "COLOR" : "BACK");
        if (include) {
          out += "(" + color(static_cast<const TRuxTextLayoutBlockFillColor&>(block).Color()) + ")";
        }
        break;
      case bkFontSize: {
        out += sign + "SIZE";
        const TRuxFontSizeValue size =
            static_cast<const TRuxTextLayoutBlockFontSize&>(block).Size();
        if (include) {
          char text[32];
          if (size.Absolute) {
            std::snprintf(text, sizeof text, "(%dpt)", size.Points);
          } else {
            std::snprintf(text, sizeof text, "(x%g)", size.Factor);
          }
          out += text;
        }
        break;
      }
      case bkSpan:
        out +=
            "{" + DescribeBlocks(static_cast<const TRuxTextLayoutBlockSpan&>(block).Blocks()) + "}";
        break;
    }
  }
  return out;
}

}  // namespace nolu
