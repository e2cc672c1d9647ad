// setuptool COMMAND [ARGS...]: the vendor's tool for the packages and the setup data.
#include <exception>

#include "base/errors.h"
#include "setuptool/commands.h"
#include "setuptool/console.h"

namespace nolu::tool {
namespace {

struct Command {
  const char16_t* name;
  const char16_t* usage;
  int (*run)(const StringList& args);
};

const Command kCommands[] = {
    {u"pack", u"pack PKG DIR [--level N] [--key K]   build a package from the files of DIR",
     PackCommand},
    {u"list", u"list PKG                             list the entries (name, size, offset)",
     ListCommand},
    {u"extract", u"extract PKG DIR [NAME...]            write entries below DIR", ExtractCommand},
    {u"cat", u"cat PKG NAME                         write one entry to stdout", CatCommand},
    {u"verify", u"verify PKG                           check header, checksum and file table",
     VerifyCommand},
    {u"table", u"table PKG OUT                        write a copy of the file table to OUT",
     TableCommand},
    {u"check", u"check SETUP_DIR [PRODUCT_DIR] [--json]  check a setup's data before shipping",
     CheckCommand},
};

void PrintUsage() {
  PrintLine(u"usage: setuptool COMMAND [ARGS...]\n\ncommands:");
  for (const Command& c : kCommands)
    PrintLine(u"  " + String(c.usage));
}

int Run(const StringList& args) {
  if (args.empty() || args[0] == u"--help" || args[0] == u"-h" || args[0] == u"help") {
    PrintUsage();
    return args.empty() ? 2 : 0;
  }
  for (const Command& c : kCommands) {
    if (args[0] == c.name) {
      try {
        return c.run(StringList(args.begin() + 1, args.end()));
      } catch (const Exception& e) {
        PrintError(u"setuptool " + args[0] + u": " + e.Message());
      } catch (const std::exception& e) {
        PrintError(u"setuptool " + args[0] + u": " + Utf8ToString(e.what()));
      }
      return 1;
    }
  }
  PrintError(u"setuptool: unknown command \"" + args[0] + u"\" (try --help)");
  return 2;
}

}  // namespace
}  // namespace nolu::tool

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  nolu::StringList args;
  for (int i = 1; i < argc; ++i)
    args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  return nolu::tool::Run(args);
}
#else
int main(int argc, char** argv) {
  nolu::StringList args;
  for (int i = 1; i < argc; ++i)
    args.push_back(nolu::Utf8ToString(argv[i]));
  return nolu::tool::Run(args);
}
#endif
