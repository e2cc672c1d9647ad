// The rules that make a word a link by itself, and the rule that decides whether a link
// target is an address to open.
#pragma once

#include <optional>

#include "base/text.h"

namespace nolu {

// A valid e-mail address as the HTML standard defines it for the e-mail input type, matched
// over the whole text: a local part of one or more of the ASCII letters and digits and
// .!#$%&'*+/=?^_`{|}~- ; "@"; one or more labels separated by ".", each of 1 to 63 ASCII
// letters, digits or hyphens that neither begins nor ends with a hyphen.
bool IsHtmlEmailAddress(StringView text);

// Whether the text begins with a scheme: one or more ASCII letters and digits, ":", then two
// equal characters that are each "/" or "\" ("https://", "ftp:\\"). A formatted label opens
// a clicked target only when this holds, so "mailto:" and "time:" targets open nothing unless
// its handler does it.
bool HasLinkScheme(StringView text);

// The target of a word that is a web address: the word itself when HasLinkScheme holds;
// "https://" + the word when it is longer than four characters, begins with "www." (lower
// case, as written) and has a further "." after those four; nothing otherwise.
std::optional<String> WebAddressTarget(StringView word);

}  // namespace nolu
