// The product's pages on the headless backend: the destination and its mode rules, the
// folder chooser, an installed copy in the destination, the options the pages write (and
// those they leave alone), and the add-on offer.
#include "product/pages/product_pages.h"

#include <gtest/gtest.h>

#include "core/setup.h"
#include "product/pages/setup_page_addons.h"
#include "product/pages/setup_page_integration.h"
#include "product/pages/setup_page_setup.h"
#include "product/pages/setup_page_uninstall_params.h"
#include "resources/installer_errors.h"
#include "resources/setup_resources.h"
#include "ui/controls/recording_canvas.h"
#include "ui/headless/headless_user.h"
#include "ui/testing/wizard_test_run.h"

namespace nolu::ui {
namespace {

constexpr char16_t kProgramsDefault[] = u"C:\\Program Files (x86)\\Nolu\\";
constexpr char16_t kPortableDefault[] = u"C:\\Users\\User\\Desktop\\Nolu\\";

constexpr char kAddonsIni[] =
    "I0=addons.png\r\nL0=Lumo photo viewer\r\nL1=https://lumo.example/license\r\n"
    "L2=https://lumo.example/privacy\r\n";

bool HasFlag(TSetupFlags flag) {
  return (nolu::Setup()->Flags() & flag) != 0;
}

String PageString(StringView section, StringView key) {
  return nolu::Setup()->Resources().GetString(section, key);
}

StringList WarningTexts(const TSetupPageSetup& page) {
  StringList texts;
  for (const TRuxValidationLabel* warning : page.Warnings())
    texts.push_back(warning->Caption());
  return texts;
}

class ProductPagesTest : public ::testing::Test {
 protected:
  ProductPagesTest() {
    RegisterProductPages(run_.Classes());
    run_.Product().install_pages = {u"TSetupPageSetup", u"TSetupPageIntegration",
                                    u"TSetupPageReadyToInstall"};
  }

  TWizardForm& Start(StringView params = u"") {
    run_.Create(params);
    wizard_ = run_.CreateWizard();
    wizard_->Show();
    return *wizard_;
  }
  TSetupPageSetup& SetupPage() { return static_cast<TSetupPageSetup&>(wizard_->Pages().Items(0)); }
  TSetupPageIntegration& IntegrationPage() {
    return static_cast<TSetupPageIntegration&>(wizard_->Pages().Items(1));
  }
  String PageName() { return wizard_->ActivePage() ? wizard_->ActivePage()->Name() : u""; }
  THeadlessUser User() { return THeadlessUser(*wizard_); }
  // Where Next goes from the Setup page (Back again, so that the test may go on there).
  String PageAfterSetup() {
    User().Click(wizard_->bNext());
    String name = PageName();
    User().Click(wizard_->bBack());
    EXPECT_EQ(PageName(), u"PageSetup");
    return name;
  }
  template <class T>
  std::unique_ptr<TSetupCustomPage> Make() {
    context_ =
        std::make_unique<TSetupPageContext>(TSetupPageContext{run_.Application(), run_.Palette()});
    return run_.Classes().Create(T::kClassName, *context_);
  }

  TWizardTestRun run_;
  std::unique_ptr<TWizardForm> wizard_;
  std::unique_ptr<TSetupPageContext> context_;
};

TEST_F(ProductPagesTest, ThePortableModeAndTheProgramFilesRule) {
  enum TAction { kPortable, kStandard, kType };
  struct Step {
    const char* what;
    TAction action;
    const char16_t* typed;
    const char16_t* dest;
    bool portable;  // the radio and the flag agree
  };
  const Step steps[] = {
      // A portable installation cannot stay in program files: the desktop default.
      {"portable from program files", kPortable, nullptr, kPortableDefault, true},
      // Leaving portable mode on the desktop default goes back to the standard default.
      {"standard from the portable default", kStandard, nullptr, kProgramsDefault, false},
      {"type a folder of one's own", kType, u"D:\\Apps\\Nolu", u"D:\\Apps\\Nolu\\", false},
      {"portable there", kPortable, nullptr, u"D:\\Apps\\Nolu\\", true},
      // A folder the user chose stays when portable mode is left.
      {"standard there", kStandard, nullptr, u"D:\\Apps\\Nolu\\", false},
      {"portable again", kPortable, nullptr, u"D:\\Apps\\Nolu\\", true},
      // Typing a program-files folder while portable shows (and makes) a standard one.
      {"type program files", kType, u"C:\\Program Files (x86)\\Other",
       u"C:\\Program Files (x86)\\Other\\", false},
  };
  Start();
  TSetupPageSetup& page = SetupPage();
  EXPECT_EQ(nolu::Setup()->DestPath(), kProgramsDefault);
  EXPECT_TRUE(page.StandardRadio().Checked());
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    switch (step.action) {
      case kPortable:
        User().Click(page.PortableRadio());
        break;
      case kStandard:
        User().Click(page.StandardRadio());
        break;
      case kType:
        User().Type(page.PathEdit(), step.typed);
        break;
    }
    EXPECT_EQ(nolu::Setup()->DestPath(), step.dest);
    EXPECT_EQ(HasFlag(sfPortable), step.portable);
    EXPECT_EQ(page.PortableRadio().Checked(), step.portable);
    EXPECT_EQ(page.StandardRadio().Checked(), !step.portable);
    EXPECT_EQ(IntegrationPage().IsAvailable(), !step.portable);
    if (step.action != kType) {
      EXPECT_EQ(page.PathEdit().Text(), step.dest);
    }
  }
  // The Integration page is out of the path of a portable installation.
  EXPECT_EQ(PageAfterSetup(), u"PageIntegration");
  User().Click(page.PortableRadio());
  EXPECT_EQ(PageAfterSetup(), u"PageReadyToInstall");
}

TEST_F(ProductPagesTest, TheFolderChooserUsesAFolderNamedLikeTheProductAndAppendsTheNameElsewhere) {
  struct Case {
    const char* what;
    std::optional<String> chosen;
    const char16_t* dest;
  };
  const Case cases[] = {
      {"another folder", u"D:\\Apps", u"D:\\Apps\\Nolu\\"},
      {"named like the product", u"D:\\Apps\\Nolu", u"D:\\Apps\\Nolu\\"},
      {"named so in another case", u"D:\\Apps\\nOLU\\", u"D:\\Apps\\nOLU\\"},
      {"a name that only begins like it", u"D:\\Nolu Player", u"D:\\Nolu Player\\Nolu\\"},
      {"a drive", u"E:\\", u"E:\\Nolu\\"},
      {"cancelled", std::nullopt, u"E:\\Nolu\\"},
  };
  Start();
  TSetupPageSetup& page = SetupPage();
  StringList starts;
  std::optional<String> answer;
  run_.Backend().OnChooseFolder([&](StringView start, const TFolderDialogTexts& texts) {
    starts.push_back(String(start));
    EXPECT_EQ(texts.Title, u"Select the folder to install Nolu into");
    EXPECT_EQ(texts.Ok, u"OK");
    return answer;
  });
  String before = nolu::Setup()->DestPath();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    answer = c.chosen;
    User().ClickEditButton(page.PathEdit());
    // It opens where the destination is now.
    EXPECT_EQ(starts.back(), before);
    EXPECT_EQ(nolu::Setup()->DestPath(), c.dest);
    EXPECT_EQ(page.PathEdit().Text(), c.dest);
    before = c.dest;
  }
}

TEST_F(ProductPagesTest, ACopyInTheDestination) {
  struct Case {
    const char* what;
    TTestInstalledCopy copy;
    bool update_box;  // shown and ticked
    bool portable;
    bool integration;
    std::vector<const char16_t*> warnings;
  };
  const Case cases[] = {
      // An update: the mode is the installed copy's, the radios cannot change it.
      {"updatable standard copy", {5010, false, true}, true, false, false, {u"W1"}},
      {"updatable portable copy", {5010, true, true}, true, true, false, {u"W1"}},
      // A copy that cannot be updated: a second installation over it is only warned about.
      {"copy the product refuses", {2000, false, false}, false, false, true, {u"W3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    wizard_.reset();
    run_.Product().installed.clear();
    run_.Product().Installed(u"D:\\Nolu\\", c.copy);
    Start();
    TSetupPageSetup& page = SetupPage();
    User().Type(page.PathEdit(), u"D:\\Nolu");
    EXPECT_EQ(HasFlag(sfUpdate), c.update_box);
    EXPECT_EQ(page.UpdateBox().Visible(), c.update_box);
    EXPECT_EQ(page.UpdateBox().Checked(), c.update_box);
    EXPECT_EQ(page.BackupBox().Visible(), c.update_box);
    EXPECT_TRUE(page.BackupBox().Checked() || !c.update_box);
    EXPECT_EQ(page.PortableRadio().Enabled(), !c.update_box);
    EXPECT_EQ(page.StandardRadio().Enabled(), !c.update_box);
    EXPECT_EQ(page.PortableRadio().Checked(), c.portable);
    StringList expected;
    for (const char16_t* key : c.warnings)
      expected.push_back(PageString(u"PageSetup", key));
    EXPECT_EQ(WarningTexts(page), expected);
    EXPECT_EQ(PageAfterSetup(), c.integration ? u"PageIntegration" : u"PageReadyToInstall");
  }
}

TEST_F(ProductPagesTest, TheWarningLinesStackAtTheBottomInsideMarginsOfFixedPixels) {
  run_.Product().Installed(u"D:\\Nolu\\", {5010});
  Start();
  TSetupPageSetup& page = SetupPage();
  User().Type(page.PathEdit(), u"D:\\Nolu");
  ASSERT_EQ(page.Warnings().size(), 1u);
  const TRuxValidationLabel& warning = *page.Warnings()[0];
  EXPECT_TRUE(warning.Font().Bold);
  EXPECT_EQ(warning.Parent(), &page);
  // 40 pixels left and right, 20 at the bottom, whatever the DPI (a scaled margin would be
  // twice that at 192 DPI); lengths are whole units, so at 144 DPI each edge may round by one.
  for (int dpi : {96, 144, 192}) {
    SCOPED_TRACE(dpi);
    wizard_->SetDpi(dpi);
    page.Realign();
    const TRect line = warning.DeviceBounds();
    const TRect client = page.DeviceBounds();
    const TMargins m = warning.Margins();
    EXPECT_NEAR(line.Left, 40 + ScaleValue(m.Left, dpi), 2);
    EXPECT_NEAR(client.Width - line.Right(), 40 + ScaleValue(m.Right, dpi), 2);
    EXPECT_NEAR(client.Height - line.Bottom(), 20 + ScaleValue(m.Bottom, dpi), 2);
    EXPECT_GE(line.Height, ScaleValue(16, dpi));
  }
}

TEST_F(ProductPagesTest, UntickingTheUpdateBoxMakesItASecondInstallation) {
  for (bool portable_copy : {false, true}) {
    SCOPED_TRACE(portable_copy ? "portable copy" : "standard copy");
    wizard_.reset();
    run_.Product().installed.clear();
    run_.Product().Installed(u"D:\\Nolu\\", {5010, portable_copy, true});
    Start();
    TSetupPageSetup& page = SetupPage();
    User().Type(page.PathEdit(), u"D:\\Nolu");
    ASSERT_TRUE(HasFlag(sfUpdate));
    User().Check(page.UpdateBox(), false);
    EXPECT_FALSE(HasFlag(sfUpdate));
    EXPECT_TRUE(page.UpdateBox().Visible());  // the copy can still be updated
    EXPECT_FALSE(page.BackupBox().Visible());
    EXPECT_TRUE(page.PortableRadio().Enabled());
    EXPECT_TRUE(page.StandardRadio().Enabled());
    EXPECT_EQ(page.PortableRadio().Checked(), portable_copy);
    // A copy is still there: "W1" gives way to "W3".
    EXPECT_EQ(WarningTexts(page), StringList{PageString(u"PageSetup", u"W3")});
    EXPECT_EQ(PageAfterSetup(), portable_copy ? u"PageReadyToInstall" : u"PageIntegration");
    // Ticking it again is an update once more.
    User().Check(page.UpdateBox(), true);
    EXPECT_TRUE(HasFlag(sfUpdate));
    EXPECT_EQ(WarningTexts(page), StringList{PageString(u"PageSetup", u"W1")});
  }
}

TEST_F(ProductPagesTest, TheBackupBoxSetsNoBackup) {
  run_.Product().Installed(u"D:\\Nolu\\", {5010});
  Start();
  TSetupPageSetup& page = SetupPage();
  User().Type(page.PathEdit(), u"D:\\Nolu");
  EXPECT_FALSE(HasFlag(sfNoBackup));
  User().Check(page.BackupBox(), false);
  EXPECT_TRUE(HasFlag(sfNoBackup));
  EXPECT_TRUE(HasFlag(sfUpdate));
  EXPECT_FALSE(page.BackupBox().Checked());
  User().Check(page.BackupBox(), true);
  EXPECT_FALSE(HasFlag(sfNoBackup));
}

TEST_F(ProductPagesTest, AnotherInstalledCopyIsWarnedAbout) {
  // Found through its open main window, somewhere else than the destination.
  run_.Platform().Windows().AddWindow(u"TNoluMainForm", u"E:\\Tools\\Nolu\\Nolu.exe");
  Start();
  TSetupPageSetup& page = SetupPage();
  User().Type(page.PathEdit(), u"D:\\Second");
  EXPECT_EQ(WarningTexts(page), StringList{PageString(u"PageSetup", u"W3")});
  // A portable copy stands alone: the other installation does not matter to it.
  User().Click(page.PortableRadio());
  EXPECT_TRUE(WarningTexts(page).empty());
}

TEST_F(ProductPagesTest, AnEmptyDestinationDisablesNextAndTypingKeepsTheUsersText) {
  TWizardForm& wizard = Start();
  TSetupPageSetup& page = SetupPage();
  ASSERT_TRUE(wizard.bNext().Enabled());
  User().Type(page.PathEdit(), u"");
  EXPECT_EQ(nolu::Setup()->DestPath(), u"");
  EXPECT_FALSE(wizard.bNext().Enabled());
  // Key by key: the destination follows, normalized, while the edit keeps what was typed.
  const String typed = u"D:\\Apps";
  for (size_t length = 1; length <= typed.size(); ++length) {
    User().Type(page.PathEdit(), typed.substr(0, length));
    EXPECT_EQ(page.PathEdit().Text(), typed.substr(0, length));
  }
  EXPECT_EQ(nolu::Setup()->DestPath(), u"D:\\Apps\\");
  EXPECT_TRUE(wizard.bNext().Enabled());
}

TEST_F(ProductPagesTest, AProtectedDestinationIsRefusedOnThePageAndAFolderBelowItIsNot) {
  struct Case {
    const char16_t* typed;
    bool refused;
  };
  const Case kCases[] = {
      {u"D:\\", true},
      {u"C:\\Program Files (x86)", true},
      {u"C:\\Program Files (x86)\\Nolu", false},
      {u"D:\\Nolu", false},
  };
  TWizardForm& wizard = Start();
  TSetupPageSetup& page = SetupPage();
  for (const Case& c : kCases) {
    SCOPED_TRACE(testing::Message()
                 << String(c.typed).size() << " characters typed, refused " << c.refused);
    User().Type(page.PathEdit(), c.typed);
    const StringList warnings = WarningTexts(page);
    EXPECT_EQ(nolu::Setup()->IsDestPathRefused(), c.refused);
    EXPECT_EQ(wizard.bNext().Enabled(), !c.refused);
    if (c.refused) {
      ASSERT_FALSE(warnings.empty());
      // First, above the other lines: it is why Next does nothing.
      EXPECT_EQ(warnings.front(), nolu::Setup()->DestPathRefusal());
      EXPECT_TRUE(page.Warnings().front()->ValidationKind() == TValidationKind::vkError);
    } else {
      for (const String& warning : warnings)
        EXPECT_NE(warning, nolu::Setup()->DestPathRefusal());
    }
  }
}

TEST_F(ProductPagesTest, TheIntegrationPageWritesOnlyWhatIsClicked) {
  Start();
  User().Click(wizard_->bNext());
  ASSERT_EQ(PageName(), u"PageIntegration");
  TSetupPageIntegration& page = IntegrationPage();
  for (int box = 1; box <= 5; ++box)
    EXPECT_TRUE(page.Box(box).Checked()) << box;
  User().Click(wizard_->bNext());
  EXPECT_EQ(PageName(), u"PageReadyToInstall");
  EXPECT_EQ(nolu::Setup()->Options().ReadSectionText(u"Integration"), u"");
  // One click writes all five, as the boxes show them.
  User().Click(wizard_->bBack());
  User().Check(page.Box(3), false);
  TRuxIniFile& options = nolu::Setup()->Options();
  const std::pair<const char16_t*, bool> expected[] = {
      {u"ShortcutDesktop", true},    {u"ShortcutStartMenu", true},   {u"AssociateWithFiles", false},
      {u"IntegrateToWindows", true}, {u"RegisterContextMenu", true},
  };
  for (const auto& [key, value] : expected) {
    SCOPED_TRACE(StringToUtf8(key));
    EXPECT_EQ(options.ReadBool(u"Integration", key, !value), value);
  }
}

TEST_F(ProductPagesTest, TheIntegrationBoxesStartFromTheOptions) {
  Start();
  TRuxIniFile& options = nolu::Setup()->Options();
  options.WriteBool(u"Integration", u"ShortcutDesktop", false);
  options.WriteBool(u"Integration", u"RegisterContextMenu", false);
  User().Click(wizard_->bNext());
  TSetupPageIntegration& page = IntegrationPage();
  EXPECT_FALSE(page.Box(1).Checked());
  EXPECT_TRUE(page.Box(2).Checked());
  EXPECT_FALSE(page.Box(5).Checked());
}

TEST_F(ProductPagesTest, TheRemovalChoicesStartUntickedAndAreWrittenWhenClicked) {
  run_.Create();
  auto made = Make<TSetupPageUninstallParams>();
  auto& page = static_cast<TSetupPageUninstallParams&>(*made);
  EXPECT_EQ(page.RemoveBackupsBox().Caption(), u"Remove the backups made by earlier updates");
  page.Prepare();
  EXPECT_FALSE(page.RemoveBackupsBox().Checked());
  EXPECT_FALSE(page.RemoveContentBox().Checked());
  TRuxIniFile& options = nolu::Setup()->Options();
  EXPECT_EQ(options.ReadSectionText(u"Common"), u"");
  page.RemoveContentBox().Click();
  EXPECT_FALSE(options.ReadBool(u"Common", u"RemoveBackups", true));
  EXPECT_TRUE(options.ReadBool(u"Common", u"RemoveContent", false));
  // Read again on the next activation.
  options.WriteBool(u"Common", u"RemoveBackups", true);
  page.Prepare();
  EXPECT_TRUE(page.RemoveBackupsBox().Checked());
}

// No control of a page covers another: a label drawn over a radio hides its caption.
TEST_F(ProductPagesTest, NoControlOfAPageCoversAnother) {
  run_.Run().Data().SetSetupFile(u"addons.ini", kAddonsIni);
  run_.Run().Data().SetSetupFile(u"addons.png", TestPng(240, 120, 192));
  run_.Create();
  const char16_t* classes[] = {TSetupPageSetup::kClassName, TSetupPageAddons::kClassName,
                               TSetupPageIntegration::kClassName,
                               TSetupPageUninstallParams::kClassName};
  for (const char16_t* name : classes) {
    SCOPED_TRACE(StringToUtf8(name));
    context_ =
        std::make_unique<TSetupPageContext>(TSetupPageContext{run_.Application(), run_.Palette()});
    std::unique_ptr<TSetupCustomPage> page = run_.Classes().Create(name, *context_);
    const std::vector<TRuxCustomControl*>& children = page->Children();
    for (size_t i = 0; i < children.size(); ++i) {
      for (size_t j = i + 1; j < children.size(); ++j) {
        const TRect a = children[i]->Bounds();
        const TRect b = children[j]->Bounds();
        const bool apart = a.Right() <= b.Left || b.Right() <= a.Left || a.Bottom() <= b.Top ||
                           b.Bottom() <= a.Top;
        EXPECT_TRUE(apart) << StringToUtf8(children[i]->Name()) << " and "
                           << StringToUtf8(children[j]->Name());
      }
    }
  }
}

class AddonsPageTest : public ProductPagesTest {
 protected:
  AddonsPageTest() {
    run_.Run().Data().SetSetupFile(u"addons.ini", kAddonsIni);
    run_.Run().Data().SetSetupFile(u"addons.png", TestPng(240, 120, 192));
  }
};

TEST_F(AddonsPageTest, TheOfferIsWrittenOnceShownAndFollowsTheBoxes) {
  run_.Create();
  auto made = Make<TSetupPageAddons>();
  auto& page = static_cast<TSetupPageAddons&>(*made);
  TRuxIniFile& options = nolu::Setup()->Options();
  page.Prepare();
  for (const char16_t* key : {u"AddonsViewer", u"AddonsExtensions", u"AddonsShortcuts"})
    EXPECT_TRUE(options.ReadBool(u"Common", key, false)) << StringToUtf8(key);
  page.Box(2).Click();
  EXPECT_FALSE(options.ReadBool(u"Common", u"AddonsExtensions", true));
  EXPECT_TRUE(options.ReadBool(u"Common", u"AddonsViewer", false));
  // The boxes follow the options on the next activation.
  options.WriteBool(u"Common", u"AddonsShortcuts", false);
  page.Prepare();
  EXPECT_FALSE(page.Box(3).Checked());
  EXPECT_FALSE(page.Box(2).Checked());
  EXPECT_TRUE(page.Box(1).Checked());
}

TEST_F(AddonsPageTest, TheLabelsCarryTheAddonsTextsAndTheirLinksOpen) {
  run_.Create();
  auto made = Make<TSetupPageAddons>();
  auto& page = static_cast<TSetupPageAddons&>(*made);
  EXPECT_EQ(page.NameLabel().Text(),
            u"[B]Lumo photo viewer[/B] is free, fast and has no advertising. You can remove it "
            u"at any time in Apps & Features.");
  EXPECT_EQ(page.TermsLabel().Text(),
            u"By installing it you accept the [URL=https://lumo.example/license]license "
            u"agreement[/URL] and the [URL=https://lumo.example/privacy]privacy policy[/URL].");
  EXPECT_EQ(page.TermsLabel().Bounds(), (TRect{40, 310, 550, 50}));
  EXPECT_TRUE(page.TermsLabel().Transparent());
  EXPECT_FALSE(page.TermsLabel().Borders());
  EXPECT_TRUE(page.TermsLabel().WordWrap());

  // On the wizard, a click on the link opens its address.
  run_.Product().install_pages = {u"TSetupPageAddons", u"TSetupPageReadyToInstall"};
  wizard_ = run_.CreateWizard();
  wizard_->Show();
  StringList opened;
  run_.Application().SetLinkOpener([&](StringView target) { opened.push_back(String(target)); });
  auto& shown = static_cast<TSetupPageAddons&>(*wizard_->ActivePage());
  User().ClickLink(shown.TermsLabel(), u"privacy");
  EXPECT_EQ(opened, StringList{u"https://lumo.example/privacy"});
}

TEST_F(AddonsPageTest, ThePictureStandsAtTheTopRightAtItsOwnSize) {
  run_.Create();
  auto made = Make<TSetupPageAddons>();
  made->SetBounds({0, 0, 640, 369});
  TRecordingCanvas canvas;
  made->Paint(canvas);
  ASSERT_EQ(canvas.Pictures().size(), 1u);
  // 240 x 120 pixels at 192 DPI: 120 x 60 units, 10 from the right edge, over the page fill.
  EXPECT_EQ(canvas.Pictures()[0].Rect, (TRect{510, 0, 120, 60}));
  EXPECT_TRUE(canvas.Pictures()[0].Opaque);
  EXPECT_EQ(canvas.Calls().front().CallKind, TCanvasCall::Kind::kFill);
}

TEST_F(AddonsPageTest, AMissingDescriptionOrPictureFailsThePage) {
  for (const char16_t* missing : {u"addons.ini", u"addons.png"}) {
    SCOPED_TRACE(StringToUtf8(missing));
    run_.Run().Data().RemoveSetupFile(missing);
    run_.Create();
    try {
      Make<TSetupPageAddons>();
      FAIL() << "no error";
    } catch (const EInstallerInstallError& e) {
      EXPECT_EQ(e.Message(), u"Cannot locate \"" + String(missing) + u"\" file in setup archive");
    }
    run_.Run().Destroy();
    run_.Run().Data().SetSetupFile(u"addons.ini", kAddonsIni);
  }
}

}  // namespace
}  // namespace nolu::ui
