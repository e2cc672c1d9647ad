#include "base/text_layout/text_layout_block.h"

namespace nolu {

TRuxTextLayoutBlockSpan::TRuxTextLayoutBlockSpan(TRuxTextLayoutBlockList blocks)
    : TRuxTextLayoutBlock(blocks[0].Position(), blocks.Last().End() - blocks[0].Position()),
      blocks_(std::move(blocks)) {}

}  // namespace nolu
