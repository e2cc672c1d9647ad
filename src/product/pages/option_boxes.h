// TOptionBox: a check box of a product page and the boolean entry of the run's options that
// it stands for. A page keeps a table of them, reads the boxes from the entries when it
// becomes active and writes the entries from the boxes when one is clicked.
#pragma once

#include <span>

#include "base/ini_file.h"
#include "ui/controls/rux_check_box.h"

namespace nolu::ui {

struct TOptionBox {
  TRuxCheckBox* Box;
  const char16_t* Section;
  const char16_t* Key;
};

// Each box from its entry; an absent entry gives `default_value`.
void LoadOptionBoxes(std::span<const TOptionBox> boxes, const TRuxIniFile& options,
                     bool default_value);
// Every entry from its box.
void SaveOptionBoxes(std::span<const TOptionBox> boxes, TRuxIniFile& options);

}  // namespace nolu::ui
