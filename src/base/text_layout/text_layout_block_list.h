// TRuxTextLayoutBlockList: the blocks of a text, in order; it owns them.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace nolu {

class TRuxTextLayoutBlock;

class TRuxTextLayoutBlockList {
 public:
  TRuxTextLayoutBlockList();
  ~TRuxTextLayoutBlockList();
  TRuxTextLayoutBlockList(TRuxTextLayoutBlockList&&) noexcept;
  TRuxTextLayoutBlockList& operator=(TRuxTextLayoutBlockList&&) noexcept;

  size_t Count() const { return blocks_.size(); }
  bool Empty() const { return blocks_.empty(); }
  const TRuxTextLayoutBlock& operator[](size_t index) const { return *blocks_[index]; }
  const TRuxTextLayoutBlock& Last() const { return *blocks_.back(); }

  void Add(std::unique_ptr<TRuxTextLayoutBlock> block);
  void Clear();

  // Iteration over the blocks as `const TRuxTextLayoutBlock&`.
  class Iterator {
   public:
    explicit Iterator(std::vector<std::unique_ptr<TRuxTextLayoutBlock>>::const_iterator it)
        : it_(it) {}
    const TRuxTextLayoutBlock& operator*() const { return **it_; }
    Iterator& operator++() {
      ++it_;
      return *this;
    }
    bool operator==(const Iterator&) const = default;

   private:
    std::vector<std::unique_ptr<TRuxTextLayoutBlock>>::const_iterator it_;
  };
  Iterator begin() const { return Iterator(blocks_.begin()); }
  Iterator end() const { return Iterator(blocks_.end()); }

 private:
  std::vector<std::unique_ptr<TRuxTextLayoutBlock>> blocks_;
};

}  // namespace nolu
