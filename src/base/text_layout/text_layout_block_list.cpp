#include "base/text_layout/text_layout_block_list.h"

#include "base/text_layout/text_layout_block.h"

namespace nolu {

TRuxTextLayoutBlockList::TRuxTextLayoutBlockList() = default;
TRuxTextLayoutBlockList::~TRuxTextLayoutBlockList() = default;
TRuxTextLayoutBlockList::TRuxTextLayoutBlockList(TRuxTextLayoutBlockList&&) noexcept = default;
TRuxTextLayoutBlockList& TRuxTextLayoutBlockList::operator=(TRuxTextLayoutBlockList&&) noexcept =
    default;

void TRuxTextLayoutBlockList::Add(std::unique_ptr<TRuxTextLayoutBlock> block) {
  blocks_.push_back(std::move(block));
}

void TRuxTextLayoutBlockList::Clear() {
  blocks_.clear();
}

}  // namespace nolu
