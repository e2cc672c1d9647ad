#include "base/format.h"

#include "base/errors.h"

namespace nolu {
namespace {

[[noreturn]] void RaiseBadFormat(StringView pattern) {
  throw EConvertError(u"Format \"" + String(pattern) + u"\" invalid or incompatible with argument");
}

}  // namespace

String Format(StringView pattern, std::initializer_list<FormatArg> args) {
  String out;
  out.reserve(pattern.size() + 16 * args.size());
  auto next = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    const Char c = pattern[i];
    if (c != u'%') {
      out.push_back(c);
      continue;
    }
    if (++i == pattern.size()) RaiseBadFormat(pattern);
    const Char conversion = pattern[i];
    if (conversion == u'%') {
      out.push_back(u'%');
      continue;
    }
    if ((conversion != u's' && conversion != u'd') || next == args.end()) RaiseBadFormat(pattern);
    const FormatArg& arg = *next++;
    if (conversion == u's') {
      if (!arg.IsText()) RaiseBadFormat(pattern);
      out.append(arg.Text());
    } else {
      if (arg.IsText()) RaiseBadFormat(pattern);
      out.append(IntToStr(arg.Integer()));
    }
  }
  return out;
}

}  // namespace nolu
