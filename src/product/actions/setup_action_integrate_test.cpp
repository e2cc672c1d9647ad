#include "product/actions/setup_action_integrate.h"

#include <gtest/gtest.h>

#include <optional>

#include "core/setup.h"
#include "core/testing/fake_setup_run.h"

namespace nolu {
namespace {

constexpr char16_t kDest[] = u"C:\\Nolu\\";

// Runs the integration action alone in an installation to `dest`: automatic ("/AUTO") or
// interactive, with the given "Integration" options (absent ones keep their defaults).
// Returns the command line of the one program started, if any.
struct IntegrateRun {
  uint32_t os_major = 10;
  uint32_t os_minor = 0;
  bool automatic = true;
  std::optional<bool> integrate, context_menu, associate;
  const char16_t* dest = kDest;  // a plain pointer keeps the table free of GCC 12 false reports
  bool elevator = true;

  std::optional<String> Run() const {
    TFakeSetupRun run;
    run.Platform().System().SetOsVersion(os_major, os_minor);
    run.Product().install_actions = {&ActionClassOf<TSetupActionIntegrate>()};
    if (elevator) run.Platform().Files().AddFile(String(dest) + u"Elevator.exe", "MZ elevator");
    TSetup& setup = run.Create(automatic ? u"/AUTO=\"" + String(dest) + u"\"" : u"");
    if (!automatic) setup.SetDestPath(dest);
    TRuxIniFile& options = setup.Options();
    if (integrate) options.WriteBool(u"Integration", u"IntegrateToWindows", *integrate);
    if (context_menu) options.WriteBool(u"Integration", u"RegisterContextMenu", *context_menu);
    if (associate) options.WriteBool(u"Integration", u"AssociateWithFiles", *associate);
    setup.Start(true);
    EXPECT_EQ(setup.Errors(), StringList{});
    const std::vector<TFakeLaunch> launches = run.Platform().Processes().Launches();
    if (launches.empty()) return std::nullopt;
    EXPECT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].Show, kSwShow);
    // In its own folder, never in the caller's (often the downloads folder).
    EXPECT_EQ(launches[0].Folder, String(dest));
    return launches[0].CommandLine;
  }
};

TEST(SetupActionIntegrateTest, SwitchesFollowTheChoicesTheSystemAndTheKindOfRun) {
  const String elevator = u"\"C:\\Nolu\\Elevator.exe\"";
  struct Case {
    const char* what;
    IntegrateRun run;
    std::optional<String> command_line;  // none: Elevator.exe is not started
  } cases[] = {
      {"defaults, automatic", {}, elevator + u" /REG=L1 /REG=D1 /REG=R1 /REG=M1 /REG=R2"},
      {"defaults, interactive on Windows 10",
       {.automatic = false},
       elevator + u" /REG=L1 /REG=D1 /REG=R1 /REG=M1 /REG=R2 /REG_UI"},
      {"all three off",
       {.integrate = false, .context_menu = false, .associate = false},
       std::nullopt},
      {"only associations, interactive on Windows 8",
       {.os_major = 6,
        .os_minor = 2,
        .automatic = false,
        .integrate = false,
        .context_menu = false},
       elevator + u" /REG=R2 /REG_UI"},
      {"only associations, automatic on Windows 8",
       {.os_major = 6, .os_minor = 2, .integrate = false, .context_menu = false},
       elevator + u" /REG=R2"},
      {"only associations, interactive on Windows 7",
       {.os_major = 6,
        .os_minor = 1,
        .automatic = false,
        .integrate = false,
        .context_menu = false},
       elevator + u" /REG=R2"},
      {"only the registration with the system",
       {.automatic = false, .context_menu = false, .associate = false},
       elevator + u" /REG=L1 /REG=D1 /REG=R1"},
      {"only the context menu",
       {.automatic = false, .integrate = false, .associate = false},
       elevator + u" /REG=M1"},
      {"no Elevator.exe in the destination", {.elevator = false}, std::nullopt},
      // The program path is quoted, or the system would try "C:\Program.exe" first.
      {"destination with blanks",
       {.context_menu = false, .associate = false, .dest = u"C:\\Program Files\\Nolu\\"},
       u"\"C:\\Program Files\\Nolu\\Elevator.exe\" /REG=L1 /REG=D1 /REG=R1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<String> command_line = c.run.Run();
    ASSERT_EQ(command_line.has_value(), c.command_line.has_value());
    if (command_line) {
      EXPECT_EQ(StringToUtf8(*command_line), StringToUtf8(*c.command_line));
    }
  }
}

}  // namespace
}  // namespace nolu
