#include "core/setup_summary_builder.h"

#include "core/setup.h"
#include "resources/setup_resources.h"

namespace nolu {

void TSetupSummaryBuilder::AddCaption(StringView text) {
  pending_caption_ = String(text);
  if (!EndsWith(pending_caption_, u":")) pending_caption_ += u":";
}

void TSetupSummaryBuilder::AddCaption(StringView section, StringView key) {
  AddCaption(Setup()->Resources().GetString(section, key));
}

void TSetupSummaryBuilder::AddItem(StringView text) {
  if (!pending_caption_.empty()) {
    if (!text_.empty()) text_ += u"\r\n";
    text_ += pending_caption_ + u"\r\n";
    pending_caption_.clear();
  }
  text_ += u" * ";
  text_ += text;
  text_ += u"\r\n";
}

void TSetupSummaryBuilder::AddItem(StringView section, StringView key) {
  AddItem(Setup()->Resources().GetString(section, key));
}

}  // namespace nolu
