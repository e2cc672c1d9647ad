// TSetupSummaryBuilder: the text of the ready-to-install page. Each action of the list adds the
// lines that describe what it is going to do, grouped under captions.
#pragma once

#include "base/text.h"

namespace nolu {

class TSetupSummaryBuilder {
 public:
  // The pending caption: `text`, with ":" appended unless it already ends with one.
  void AddCaption(StringView text);
  // The caption from the localized strings.
  void AddCaption(StringView section, StringView key);
  // Writes the pending caption (after a blank line when the text is not empty) and then
  // " * " + text.
  void AddItem(StringView text);
  void AddItem(StringView section, StringView key);
  const String& ToString() const { return text_; }

 private:
  String text_;
  String pending_caption_;
};

}  // namespace nolu
