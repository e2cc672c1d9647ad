// The named colours of the user-interface framework.
//
// Two tables, both compared ignoring the case of ASCII letters:
//   * the framework's colour identifiers: "clBlack", "clMaroon", "clGreen", "clOlive",
//     "clNavy", "clPurple", "clTeal", "clGray", "clSilver", "clRed", "clLime", "clYellow",
//     "clBlue", "clFuchsia", "clAqua", "clWhite", the aliases "clLtGray" (= silver) and
//     "clDkGray" (= gray), and "clMoneyGreen", "clSkyBlue", "clCream", "clMedGray"; the
//     system colours (button face, window text, ...) are not here, because they follow the
//     user's theme and have no fixed value;
//   * the 148 colour keywords of CSS ("orange", "darkslategray", "rebeccapurple", ...).
// Where both know a name, they agree, except "SkyBlue": the identifier "clSkyBlue" is the
// palette's light blue (166, 202, 240), the web's "skyblue" is (135, 206, 235). Callers that
// accept both kinds of name ask the identifiers first.
#pragma once

#include <optional>

#include "base/color.h"
#include "base/text.h"

namespace nolu {

// The colour of a framework identifier ("clRed"), or nothing.
std::optional<TRuxColor> ColorFromIdent(StringView name);

// The colour of a CSS colour keyword ("Orange"), or nothing.
std::optional<TRuxColor> ColorFromWebName(StringView name);

}  // namespace nolu
