#include "product/pages/option_boxes.h"

namespace nolu::ui {

void LoadOptionBoxes(std::span<const TOptionBox> boxes, const TRuxIniFile& options,
                     bool default_value) {
  for (const TOptionBox& box : boxes)
    box.Box->SetChecked(options.ReadBool(box.Section, box.Key, default_value));
}

void SaveOptionBoxes(std::span<const TOptionBox> boxes, TRuxIniFile& options) {
  for (const TOptionBox& box : boxes)
    options.WriteBool(box.Section, box.Key, box.Box->Checked());
}

}  // namespace nolu::ui
