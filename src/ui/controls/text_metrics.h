// How the headless backend and the recording canvas measure text: a fixed advance per
// character and the line height of the font, so that layouts computed on the host are
// deterministic. Real measurements come from the Win32 backend's GDI.
#pragma once

#include "base/text.h"
#include "ui/controls/rux_types.h"

namespace nolu::ui {

// Average character width of `font` at `dpi` (about half the em, as for "Segoe UI").
int AverageCharWidth(const TFont& font, int dpi);
// Width and height of `text` (lines broken at CR LF, and at word boundaries when
// `max_width` > 0).
TSize ApproximateTextSize(StringView text, const TFont& font, int dpi, int max_width);

}  // namespace nolu::ui
