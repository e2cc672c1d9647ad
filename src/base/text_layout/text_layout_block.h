// The blocks of a text layout: what the markup importer makes of a text.
//
// The classes form one small hierarchy of immutable values, kept in one header because each
// is a few lines. Every block keeps the position and length (in UTF-16 code units) of the
// source text it came from; the blocks of a text cover it in order, without gaps (a link
// that the importer detected by itself adds an opening and a closing block of length 0
// around its text).
//
//   TRuxTextLayoutBlock
//   ├── TRuxTextLayoutBlockText          a run of characters (a word or one delimiter)
//   ├── TRuxTextLayoutBlockSpace         one blank
//   ├── TRuxTextLayoutBlockLineBreak     a forced line break
//   ├── TRuxTextLayoutBlockStyle         Include: opening (true) or closing (false) tag
//   │   ├── TRuxTextLayoutBlockFontStyle     bold, italic, underline, strike-out
//   │   │   └── TRuxTextLayoutBlockHyperlink     always underline; the link target
//   │   ├── TRuxTextLayoutBlockFillColor     background colour of the text
//   │   │   └── TRuxTextLayoutBlockFontColor     text colour
//   │   └── TRuxTextLayoutBlockFontSize      absolute size in points, or a factor
//   └── TRuxTextLayoutBlockSpan          blocks that stay together on one row
//
// Code that treats blocks by kind switches on Kind(), the most derived class: a font-colour
// block is a fill-colour block by inheritance, but it never acts as one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/color.h"
#include "base/text.h"
#include "base/text_layout/text_font.h"
#include "base/text_layout/text_layout_block_list.h"

namespace nolu {

enum TRuxTextLayoutBlockKind : uint8_t {
  bkText,
  bkSpace,
  bkLineBreak,
  bkFontStyle,
  bkHyperlink,
  bkFillColor,
  bkFontColor,
  bkFontSize,
  bkSpan,
};

class TRuxTextLayoutBlock {
 public:
  virtual ~TRuxTextLayoutBlock() = default;
  TRuxTextLayoutBlock(const TRuxTextLayoutBlock&) = delete;
  TRuxTextLayoutBlock& operator=(const TRuxTextLayoutBlock&) = delete;

  virtual TRuxTextLayoutBlockKind Kind() const = 0;
  size_t Position() const { return position_; }
  size_t Length() const { return length_; }
  size_t End() const { return position_ + length_; }

 protected:
  TRuxTextLayoutBlock(size_t position, size_t length) : position_(position), length_(length) {}

 private:
  size_t position_;
  size_t length_;
};

class TRuxTextLayoutBlockText : public TRuxTextLayoutBlock {
 public:
  TRuxTextLayoutBlockText(size_t position, String text)
      : TRuxTextLayoutBlock(position, text.size()), text_(std::move(text)) {}
  TRuxTextLayoutBlockKind Kind() const override { return bkText; }
  const String& Text() const { return text_; }

 private:
  String text_;
};

class TRuxTextLayoutBlockSpace : public TRuxTextLayoutBlock {
 public:
  explicit TRuxTextLayoutBlockSpace(size_t position) : TRuxTextLayoutBlock(position, 1) {}
  TRuxTextLayoutBlockKind Kind() const override { return bkSpace; }
};

class TRuxTextLayoutBlockLineBreak : public TRuxTextLayoutBlock {
 public:
  // `length` is 1 for LF or CR, 2 for CR LF and for the escape "\n".
  TRuxTextLayoutBlockLineBreak(size_t position, size_t length)
      : TRuxTextLayoutBlock(position, length) {}
  TRuxTextLayoutBlockKind Kind() const override { return bkLineBreak; }
};

class TRuxTextLayoutBlockStyle : public TRuxTextLayoutBlock {
 public:
  bool Include() const { return include_; }

 protected:
  TRuxTextLayoutBlockStyle(size_t position, size_t length, bool include)
      : TRuxTextLayoutBlock(position, length), include_(include) {}

 private:
  bool include_;
};

class TRuxTextLayoutBlockFontStyle : public TRuxTextLayoutBlockStyle {
 public:
  TRuxTextLayoutBlockFontStyle(size_t position, size_t length, bool include, TRuxFontStyle style)
      : TRuxTextLayoutBlockStyle(position, length, include), style_(style) {}
  TRuxTextLayoutBlockKind Kind() const override { return bkFontStyle; }
  TRuxFontStyle Style() const { return style_; }

 private:
  TRuxFontStyle style_;
};

class TRuxTextLayoutBlockHyperlink : public TRuxTextLayoutBlockFontStyle {
 public:
  // The target is empty in a closing block.
  TRuxTextLayoutBlockHyperlink(size_t position, size_t length, bool include, String target)
      : TRuxTextLayoutBlockFontStyle(position, length, include, fsUnderline),
        target_(std::move(target)) {}
  TRuxTextLayoutBlockKind Kind() const override { return bkHyperlink; }
  const String& Target() const { return target_; }

 private:
  String target_;
};

class TRuxTextLayoutBlockFillColor : public TRuxTextLayoutBlockStyle {
 public:
  TRuxTextLayoutBlockFillColor(size_t position, size_t length, bool include, TRuxColor color)
      : TRuxTextLayoutBlockStyle(position, length, include), color_(color) {}
  TRuxTextLayoutBlockKind Kind() const override { return bkFillColor; }
  TRuxColor Color() const { return color_; }

 private:
  TRuxColor color_;
};

class TRuxTextLayoutBlockFontColor : public TRuxTextLayoutBlockFillColor {
 public:
  using TRuxTextLayoutBlockFillColor::TRuxTextLayoutBlockFillColor;
  TRuxTextLayoutBlockKind Kind() const override { return bkFontColor; }
};

// The size of a "SIZE", "BIG" or "SMALL" tag: absolute points, or a factor of the size in
// force.
struct TRuxFontSizeValue {
  bool Absolute = false;
  int Points = 0;       // when Absolute
  double Factor = 1.0;  // otherwise

  static TRuxFontSizeValue InPoints(int points) { return {true, points, 1.0}; }
  static TRuxFontSizeValue Times(double factor) { return {false, 0, factor}; }
  friend bool operator==(const TRuxFontSizeValue&, const TRuxFontSizeValue&) = default;
};

class TRuxTextLayoutBlockFontSize : public TRuxTextLayoutBlockStyle {
 public:
  TRuxTextLayoutBlockFontSize(size_t position, size_t length, bool include, TRuxFontSizeValue size)
      : TRuxTextLayoutBlockStyle(position, length, include), size_(size) {}
  TRuxTextLayoutBlockKind Kind() const override { return bkFontSize; }
  TRuxFontSizeValue Size() const { return size_; }

 private:
  TRuxFontSizeValue size_;
};

// Owns a group of blocks (words and tags, never spaces, line breaks or other spans) that a
// row never breaks: a word with a tag inside it stays one unit. Covers the group's source.
class TRuxTextLayoutBlockSpan : public TRuxTextLayoutBlock {
 public:
  // `blocks` is not empty and covers the source from its first block to its last.
  explicit TRuxTextLayoutBlockSpan(TRuxTextLayoutBlockList blocks);
  TRuxTextLayoutBlockKind Kind() const override { return bkSpan; }
  const TRuxTextLayoutBlockList& Blocks() const { return blocks_; }

 private:
  TRuxTextLayoutBlockList blocks_;
};

}  // namespace nolu
