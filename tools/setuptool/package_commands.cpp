// The package commands of setuptool: pack, list, extract, cat, verify and table.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "base/errors.h"
#include "base/file_stream.h"
#include "base/format.h"
#include "base/locale.h"
#include "package/package_crc.h"
#include "package/setup_package_builder.h"
#include "package/setup_package_read_error.h"
#include "package/setup_package_reader.h"
#include "package/setup_package_scrambler.h"
#include "setuptool/commands.h"
#include "setuptool/console.h"
#include "setuptool/progress_line.h"
#include "setuptool/tool_paths.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace fs = std::filesystem;

namespace nolu::tool {
namespace {

constexpr int kUsageError = 2;

const char16_t kPackHelp[] =
    u"usage: setuptool pack PKG DIR [--level N] [--key K]\n"
    u"\n"
    u"Builds the package PKG from every file below the folder DIR. Each entry is named by\n"
    u"its path relative to DIR, with backslashes between folders (\"lang\\en.lng\"). Entries\n"
    u"are stored in ordinal order of their names' UTF-16 code units (\"B.txt\" before\n"
    u"\"a.txt\", \"sub2\" before \"sub\\x\"), so the same tree always gives the same package,\n"
    u"byte for byte, on every system. Empty folders are not stored. PKG is replaced only once\n"
    u"the new package is complete.\n"
    u"\n"
    u"  --level N   LZMA compression level, 0 to 9 (default 4, the setup's own level)\n"
    u"  --key K     scramble key (default 7290318465, the key the setup reads with)";

const char16_t kListHelp[] =
    u"usage: setuptool list PKG [--key K]\n"
    u"\n"
    u"Prints one line per entry in table order: the name, the size and the offset in the\n"
    u"decoded body, separated by tabs.";

const char16_t kExtractHelp[] =
    u"usage: setuptool extract PKG DIR [NAME...] [--key K]\n"
    u"\n"
    u"Writes the named entries (every entry when no NAME is given) as files below DIR,\n"
    u"creating a folder for each backslash in a name. Names are matched ignoring case, as the\n"
    u"setup matches them; of several entries with the same name only the first can be\n"
    u"reached, and only it is written. A name that would leave DIR (\"..\", a rooted path, a\n"
    u"drive) or that no Windows file may have is refused before anything is written.";

const char16_t kCatHelp[] =
    u"usage: setuptool cat PKG NAME [--key K]\n"
    u"\n"
    u"Writes the bytes of the entry NAME (matched ignoring case) to standard output.";

const char16_t kVerifyHelp[] =
    u"usage: setuptool verify PKG [--key K]\n"
    u"\n"
    u"Reads the whole package and checks its header, the decoded length, the checksum and\n"
    u"the file table. Prints a summary and exits with 0 when the package is sound; otherwise\n"
    u"prints what is wrong and exits with 1.";

const char16_t kTableHelp[] =
    u"usage: setuptool table PKG OUT [--key K]\n"
    u"\n"
    u"Writes the end of the package's decoded body that holds its file table (the table and\n"
    u"its size field, as stored) to OUT. A setup program that carries this copy beside its\n"
    u"PRODUCT package answers lookups at once and decodes the body in the background; the\n"
    u"copy is checked against the package when the body has been decoded.";

class EUsageError : public Exception {
 public:
  using Exception::Exception;
};

struct Options {
  StringList positional;
  int level = TSetupPackageBuilder::kDefaultLevel;
  String key = String(TSetupPackageScrambler::kDefaultKey);
  bool help = false;
};

Options ParseOptions(const StringList& args, bool takes_level) {
  Options o;
  bool options_end = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const String& arg = args[i];
    if (options_end || arg.size() < 2 || arg[0] != u'-') {
      o.positional.push_back(arg);
      continue;
    }
    if (arg == u"--") {
      options_end = true;
      continue;
    }
    if (arg == u"--help" || arg == u"-h") {
      o.help = true;
      continue;
    }
    // "--name value" or "--name=value".
    const size_t equals = arg.find(u'=');
    const String name = arg.substr(0, equals);
    auto value = [&]() -> String {
      if (equals != String::npos) return arg.substr(equals + 1);
      if (i + 1 >= args.size()) throw EUsageError(Format(u"%s needs a value", {name}));
      return args[++i];
    };
    if (name == u"--level" && takes_level) {
      const String text = value();
      int64_t level = 0;
      if (!TryStrToInt(text, level) || level < 0 || level > 9) {
        throw EUsageError(Format(u"--level must be a number from 0 to 9, not \"%s\"", {text}));
      }
      o.level = static_cast<int>(level);
    } else if (name == u"--key") {
      o.key = value();
      if (o.key.empty()) throw EUsageError(u"--key must not be empty");
    } else {
      throw EUsageError(Format(u"unknown option \"%s\"", {arg}));
    }
  }
  return o;
}

// Parses, answers --help, and turns every failure into one message line and an exit code;
// the body does the work.
template <typename Body>
int RunCommand(const StringList& args, StringView name, StringView help, size_t min_args,
               size_t max_args, bool takes_level, Body body) {
  const StringView usage = help.substr(0, help.find(u'\n'));
  try {
    const Options o = ParseOptions(args, takes_level);
    if (o.help) {
      PrintLine(help);
      return 0;
    }
    if (o.positional.size() < min_args) throw EUsageError(u"too few arguments");
    if (o.positional.size() > max_args) throw EUsageError(u"too many arguments");
    return body(o);
  } catch (const EUsageError& e) {
    PrintError(Format(u"setuptool %s: %s (%s)", {String(name), e.Message(), String(usage)}));
    return kUsageError;
  } catch (const Exception& e) {
    PrintError(Format(u"setuptool %s: %s", {String(name), e.Message()}));
  } catch (const std::exception& e) {
    PrintError(Format(u"setuptool %s: %s", {String(name), Utf8ToString(e.what())}));
  }
  return 1;
}

// Opens and reads a package; failures name the file and, when known, what is wrong with it.
std::unique_ptr<TSetupPackageReader> OpenPackage(const String& path, const String& key) {
  TFileStream file(path, FileMode::kOpenRead);
  TProgressLine progress("reading " + StringToUtf8(path));
  TProgressStream source(file, progress);
  try {
    return std::make_unique<TSetupPackageReader>(source, key);
  } catch (const ESetupPackageReadError& e) {
    throw Exception(Format(u"%s: %s (%s)", {path, e.Message(), e.Reason()}));
  } catch (const Exception& e) {
    throw Exception(Format(u"%s: %s", {path, e.Message()}));
  }
}

// The entries that can be reached by name: the first of each name, ignoring case.
std::vector<const TSetupPackageFileTableItem*> ReachableEntries(const TSetupPackageReader& p) {
  std::vector<const TSetupPackageFileTableItem*> entries;
  for (int i = 0; i < p.FileTable().Count(); ++i) {
    const TSetupPackageFileTableItem& item = p.FileTable().Items(i);
    const TSetupPackageFileTableItem* first = p.FileTable().Find(item.Name);
    if (first == &item) {
      entries.push_back(&item);
    } else {
      PrintError(
          Format(u"setuptool: warning: entry \"%s\" is hidden by \"%s\" (same name "
                 u"ignoring case) and is skipped",
                 {item.Name, first->Name}));
    }
  }
  return entries;
}

// Names that Windows reserves for devices, in any case and with any extension.
bool IsDeviceName(StringView component) {
  static const StringView kDevices[] = {u"CON", u"PRN", u"AUX", u"NUL"};
  const StringView base = component.substr(0, component.find(u'.'));
  for (const StringView device : kDevices) {
    if (EqualsIgnoreCase(base, device)) return true;
  }
  if (base.size() == 4 && base[3] >= u'1' && base[3] <= u'9') {
    return EqualsIgnoreCase(base.substr(0, 3), u"COM") ||
           EqualsIgnoreCase(base.substr(0, 3), u"LPT");
  }
  return false;
}

// Where below the target folder an entry goes, or why it cannot go anywhere.
std::optional<fs::path> RelativeTarget(StringView name, String& why) {
  if (name.empty()) {
    why = u"it has an empty name";
    return std::nullopt;
  }
  fs::path path;
  size_t start = 0;
  while (start <= name.size()) {
    const size_t end = std::min(name.find_first_of(u"\\/", start), name.size());
    const StringView component = name.substr(start, end - start);
    if (component.empty()) {
      why = u"it has an empty folder name (a rooted path or a doubled separator)";
      return std::nullopt;
    }
    if (component == u"." || component == u"..") {
      why = u"it names \".\" or \"..\"";
      return std::nullopt;
    }
    // Windows drops trailing dots and blanks, so ".. " would become "..".
    if (component.back() == u'.' || component.back() == u' ') {
      why = u"a part of it ends with a dot or a blank";
      return std::nullopt;
    }
    for (const Char c : component) {
      if (c < 0x20 || StringView(u"<>:\"|?*").find(c) != StringView::npos) {
        why = u"it holds a character that Windows file names may not hold (or a drive)";
        return std::nullopt;
      }
    }
    if (IsDeviceName(component)) {
      why = u"it names a Windows device";
      return std::nullopt;
    }
    path /= ToPath(component);
    start = end + 1;
  }
  return path;
}

void WriteFile(const fs::path& path, const TMemoryStream& content) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  TFileStream file(FromPath(path), FileMode::kCreate);
  file.WriteBuffer(content.Data(), content.Bytes().size());
}

struct PackFile {
  String name;  // relative to the packed folder, backslashes between folders
  fs::path path;
};

// Every regular file below `root` except `skip`, in ordinal order of the UTF-16 code units of
// their names.
std::vector<PackFile> CollectFiles(const fs::path& root, const std::vector<fs::path>& skip) {
  std::vector<PackFile> files;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    if (!it->is_regular_file()) continue;
    // A package written into the folder it packs must not swallow its older self.
    const bool skipped = std::any_of(skip.begin(), skip.end(), [&](const fs::path& s) {
      return fs::exists(s) && fs::equivalent(it->path(), s);
    });
    if (skipped) continue;
    String name;
    for (const fs::path& component : it->path().lexically_relative(root)) {
      String text;
      if (!TryFromPath(component, text)) {
        throw Exception(Format(u"the file name \"%s\" is not valid UTF-8", {FromPath(it->path())}));
      }
      if (!name.empty()) name += u'\\';
      name += text;
    }
    files.push_back({std::move(name), it->path()});
  }
  std::sort(files.begin(), files.end(),
            [](const PackFile& a, const PackFile& b) { return a.name < b.name; });
  return files;
}

// Names equal but for case pack fine, but the setup only ever finds the first.
void WarnAboutCaseTwins(const std::vector<PackFile>& files) {
  std::map<String, String> seen;  // upper-cased name -> first name
  for (const PackFile& f : files) {
    const auto [it, fresh] = seen.emplace(UpperCase(f.name), f.name);
    if (!fresh) {
      PrintError(
          Format(u"setuptool pack: warning: \"%s\" differs from \"%s\" only in case; "
                 u"lookups will find \"%s\"",
                 {f.name, it->second, it->second}));
    }
  }
}

String FileSize(uint64_t bytes) {
  return Format(u"%d bytes", {bytes});
}

}  // namespace

int PackCommand(const StringList& args) {
  return RunCommand(args, u"pack", kPackHelp, 2, 2, true, [](const Options& o) {
    const String& package = o.positional[0];
    const fs::path root = ToPath(o.positional[1]);
    if (!fs::is_directory(root)) {
      throw Exception(Format(u"\"%s\" is not a folder", {o.positional[1]}));
    }
    const fs::path package_path = ToPath(package);
    const String partial = package + u".partial";

    const std::vector<PackFile> files = CollectFiles(root, {package_path, ToPath(partial)});
    WarnAboutCaseTwins(files);

    TSetupPackageBuilder builder(o.key);
    TProgressLine progress("reading files");
    uint64_t read = 0, total = 0;
    for (const PackFile& f : files)
      total += fs::file_size(f.path);
    for (const PackFile& f : files) {
      TFileStream source(FromPath(f.path), FileMode::kOpenRead);
      builder.Add(source, f.name);
      read = static_cast<uint64_t>(builder.Body().Bytes().size());
      progress.Update(read, total);
    }

    progress.SetLabel("compressing");
    const auto body_size = static_cast<uint64_t>(builder.Body().Bytes().size());
    try {
      {
        TFileStream out(partial, FileMode::kCreate);
        builder.Commit(out, o.level,
                       [&](uint64_t in, uint64_t) { progress.Update(in, body_size); });
        out.Flush();
      }
      std::error_code ec;
      fs::rename(ToPath(partial), package_path, ec);
      if (ec) {
        // Some runtimes do not replace an existing file on rename.
        fs::remove(package_path);
        fs::rename(ToPath(partial), package_path);
      }
    } catch (...) {
      std::error_code ignored;
      fs::remove(ToPath(partial), ignored);
      throw;
    }
    progress.Finish();
    const auto package_size = fs::file_size(package_path);
    PrintLine(Format(u"%s: %d entries, %s of data, %s packed (level %d)",
                     {package, files.size(), FileSize(read), FileSize(package_size), o.level}));
    return 0;
  });
}

int ListCommand(const StringList& args) {
  return RunCommand(args, u"list", kListHelp, 1, 1, false, [](const Options& o) {
    const auto package = OpenPackage(o.positional[0], o.key);
    String out;
    for (int i = 0; i < package->FileTable().Count(); ++i) {
      const TSetupPackageFileTableItem& item = package->FileTable().Items(i);
      out += Format(u"%s\t%d\t%d\n", {item.Name, item.Size, item.Offset});
    }
    Print(out);
    return 0;
  });
}

int ExtractCommand(const StringList& args) {
  return RunCommand(args, u"extract", kExtractHelp, 2, SIZE_MAX, false, [](const Options& o) {
    const auto package = OpenPackage(o.positional[0], o.key);
    const fs::path root = ToPath(o.positional[1]);

    std::vector<const TSetupPackageFileTableItem*> entries;
    if (o.positional.size() == 2) {
      entries = ReachableEntries(*package);
    } else {
      for (size_t i = 2; i < o.positional.size(); ++i) {
        const TSetupPackageFileTableItem* item = package->FileTable().Find(o.positional[i]);
        if (!item) {
          throw Exception(Format(u"Cannot locate \"%s\" file in setup archive", {o.positional[i]}));
        }
        if (std::find(entries.begin(), entries.end(), item) == entries.end()) {
          entries.push_back(item);
        }
      }
    }
    // Every name is checked before the first file is written.
    std::vector<fs::path> targets;
    for (const TSetupPackageFileTableItem* item : entries) {
      String why;
      std::optional<fs::path> target = RelativeTarget(item->Name, why);
      if (!target) {
        throw Exception(Format(u"entry \"%s\" cannot be extracted: %s", {item->Name, why}));
      }
      targets.push_back(root / *target);
    }
    uint64_t bytes = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
      std::unique_ptr<TMemoryStream> content;
      package->Extract(entries[i]->Name, content);
      WriteFile(targets[i], *content);
      bytes += static_cast<uint64_t>(entries[i]->Size);
    }
    PrintLine(Format(u"%s: %d entries, %s, extracted into %s",
                     {o.positional[0], entries.size(), FileSize(bytes), o.positional[1]}));
    return 0;
  });
}

int CatCommand(const StringList& args) {
  return RunCommand(args, u"cat", kCatHelp, 2, 2, false, [](const Options& o) {
    const auto package = OpenPackage(o.positional[0], o.key);
    std::unique_ptr<TMemoryStream> content;
    if (!package->Extract(o.positional[1], content)) {
      throw Exception(Format(u"Cannot locate \"%s\" file in setup archive", {o.positional[1]}));
    }
    std::fflush(stdout);
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const size_t size = content->Bytes().size();
    if ((size > 0 && std::fwrite(content->Data(), 1, size, stdout) != size) ||
        std::fflush(stdout) != 0) {
      throw Exception(u"cannot write to the standard output");
    }
    return 0;
  });
}

int VerifyCommand(const StringList& args) {
  return RunCommand(args, u"verify", kVerifyHelp, 1, 1, false, [](const Options& o) {
    const auto package = OpenPackage(o.positional[0], o.key);
    const Bytes& body = package->Body().Bytes();
    const uint64_t encoded =
        fs::file_size(ToPath(o.positional[0])) - TCustomSetupPackage::kHeaderSize;
    const String checksum = ChecksumText(PackageCrc(body.data(), body.size()));
    PrintLine(Format(u"%s: OK, %d entries, body %s (checksum %s), %s encoded",
                     {o.positional[0], package->FileTable().Count(), FileSize(body.size()),
                      checksum, FileSize(encoded)}));
    return 0;
  });
}

int TableCommand(const StringList& args) {
  return RunCommand(args, u"table", kTableHelp, 2, 2, false, [](const Options& o) {
    const auto package = OpenPackage(o.positional[0], o.key);
    const std::span<const uint8_t> table = package->FileTableBytes();
    WriteFile(ToPath(o.positional[1]), TMemoryStream(Bytes(table.begin(), table.end())));
    return 0;
  });
}

}  // namespace nolu::tool
