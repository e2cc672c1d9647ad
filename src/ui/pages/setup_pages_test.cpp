// The standard pages: localization, the finish page with and without errors, the run
// choices, the license's reload, and the summary of a first installation.
#include <gtest/gtest.h>

#include "core/setup.h"
#include "core/setup_action.h"
#include "product/product_info_nolu.h"
#include "resources/installer_errors.h"
#include "resources/setup_resources.h"
#include "ui/headless/headless_user.h"
#include "ui/pages/setup_page_finish.h"
#include "ui/pages/setup_page_install.h"
#include "ui/pages/setup_page_license.h"
#include "ui/pages/setup_page_ready_to_install.h"
#include "ui/pages/setup_page_welcome.h"
#include "ui/testing/wizard_test_run.h"

namespace nolu::ui {
namespace {

constexpr char kTwoActions[] = R"(<?xml version="1.0" encoding="utf-8"?>
<setup><product>
  <Settings><Setting name="ProductName" value="Nolu"/>
    <Setting name="HomePage" value="https://nolu.example/"/></Settings>
  <Actions>
    <File name="$DEST\Nolu.exe">LaunchNolu</File>
    <File name="$DEST\Readme.txt"/>
  </Actions>
</product></setup>)";

class SetupPagesTest : public ::testing::Test {
 protected:
  template <class T>
  std::unique_ptr<TSetupCustomPage> Make() {
    context_ =
        std::make_unique<TSetupPageContext>(TSetupPageContext{run_.Application(), run_.Palette()});
    return run_.Classes().Create(T::kClassName, *context_);
  }

  TWizardTestRun run_;
  std::unique_ptr<TSetupPageContext> context_;
};

TEST_F(SetupPagesTest, PagesAreLocalizedFromTheirSection) {
  run_.Create();
  auto page = Make<TSetupPageWelcome>();
  auto& welcome = static_cast<TSetupPageWelcome&>(*page);
  EXPECT_EQ(welcome.Name(), u"PageWelcome");
  EXPECT_EQ(welcome.Title(), u"Welcome");
  EXPECT_EQ(welcome.Heading().Caption(), u"Welcome to the Nolu Setup Wizard");
  // "\n" of the language file is a line break; the variables are expanded.
  EXPECT_NE(welcome.Text().Caption().find(u"(version 5.40, 2026-11-20) on your computer.\r\n\r\n"),
            String::npos);
  EXPECT_EQ(welcome.Heading().Font().Size, 11);
  EXPECT_EQ(welcome.SidePicture().Width, 376);
  EXPECT_EQ(welcome.SidePicture().LogicalWidth(), 188);
}

TEST_F(SetupPagesTest, TheSidePictureFollowsTheSchemeInForceWhenThePageIsMade) {
  run_.Run().Data().SetSetupFile(u"wizard_dark.png", TestPng(100, 200));
  run_.Backend().SetDarkMode(true);
  run_.Application().ColorSchemeChanged();
  run_.Create();
  auto page = Make<TSetupPageWelcome>();
  EXPECT_EQ(static_cast<TSetupPageWelcome&>(*page).SidePicture().Width, 100);
}

TEST_F(SetupPagesTest, AMissingSidePictureFailsThePage) {
  run_.Run().Data().RemoveSetupFile(u"wizard_light.png");
  run_.Create();
  try {
    Make<TSetupPageWelcome>();
    FAIL() << "no error";
  } catch (const EInstallerInstallError& e) {
    EXPECT_EQ(e.Message(), u"Cannot locate \"wizard_light.png\" file in setup archive");
  }
}

TEST_F(SetupPagesTest, TheInstallPageKeepsItsFirstStatusLine) {
  run_.Create();
  auto page = Make<TSetupPageInstall>();
  EXPECT_EQ(static_cast<TSetupPageInstall&>(*page).StatusLabel().Caption(),
            u"Preparing the installation\u2026");
}

TEST_F(SetupPagesTest, TheLicenseIsReadAgainOnEveryActivation) {
  run_.Create();
  auto page = Make<TSetupPageLicense>();
  auto& license = static_cast<TSetupPageLicense&>(*page);
  license.Prepare();
  EXPECT_TRUE(license.Viewer().IsRtf());
  EXPECT_EQ(String(license.Viewer().Rtf().begin(), license.Viewer().Rtf().end()),
            u"{\\rtf1 English license}");
  license.Viewer().SetText(u"something else");
  license.Prepare();
  EXPECT_TRUE(license.Viewer().IsRtf());
  EXPECT_FALSE(license.CanGoNext());
  EXPECT_FALSE(license.CanGoBack());
}

class FinishPageTest : public SetupPagesTest {
 protected:
  TSetupPageFinish& Create(StringList errors) {
    run_.Run().Data().SetSetupFile(u"Install.xml", kTwoActions);
    run_.Create();
    for (String& e : errors)
      nolu::Setup()->Errors().push_back(e);
    page_ = Make<TSetupPageFinish>();
    auto& finish = static_cast<TSetupPageFinish&>(*page_);
    finish.Prepare();
    return finish;
  }
  std::unique_ptr<TSetupCustomPage> page_;
};

TEST_F(FinishPageTest, WithoutErrors_TheRunBoxesAreShownAndWritten) {
  TSetupPageFinish& finish = Create({});
  EXPECT_FALSE(finish.ErrorMemo().Visible());
  ASSERT_EQ(finish.RunCheckBoxes().size(), 2u);
  EXPECT_EQ(finish.RunCheckBoxes()[0]->Name(), u"CB1");
  EXPECT_EQ(finish.RunCheckBoxes()[0]->Caption(), u"Launch Nolu");
  // No text in the entry: its key is the file name of its target.
  EXPECT_EQ(finish.RunCheckBoxes()[1]->Name(), u"CB2");
  EXPECT_EQ(finish.RunCheckBoxes()[1]->Bounds(), (TRect{210, 144, 320, 17}));
  EXPECT_TRUE(finish.RunCheckBoxes()[1]->Visible());
  EXPECT_EQ(finish.Heading().Caption(), u"Nolu is ready");
  TRuxIniFile& options = nolu::Setup()->Options();
  // The keys are the entries' names as written, variables not expanded.
  EXPECT_TRUE(options.ReadBool(u"Actions", u"$DEST\\Nolu.exe", false));
  EXPECT_TRUE(options.ReadBool(u"Actions", u"$DEST\\Readme.txt", false));
  finish.RunCheckBoxes()[0]->Click();
  EXPECT_FALSE(options.ReadBool(u"Actions", u"$DEST\\Nolu.exe", true));
  EXPECT_EQ(finish.HomePageLabel().LinkTarget(), u"https://nolu.example/");
  EXPECT_EQ(finish.HomePageLabel().Caption(), u"Visit the Nolu website");
}

TEST_F(FinishPageTest, WithErrors_TheListShowsAndTheBoxesHideButAreStillWritten) {
  TSetupPageFinish& finish = Create({u"Cannot write the file C:\\Nolu\\Nolu.exe.", u"second"});
  EXPECT_TRUE(finish.ErrorMemo().Visible());
  EXPECT_TRUE(finish.ErrorMemo().ReadOnly());
  EXPECT_EQ(finish.ErrorMemo().Text(), u"Cannot write the file C:\\Nolu\\Nolu.exe.\r\nsecond");
  EXPECT_EQ(finish.Heading().Caption(), u"Installation failed");
  EXPECT_EQ(finish.Heading().Font().Color, TColor::Rgb(255, 0, 0));
  EXPECT_EQ(finish.Text().Caption().substr(0, 37), u"Setup could not complete the installa");
  for (TRuxCheckBox* box : finish.RunCheckBoxes())
    EXPECT_FALSE(box->Visible());
  EXPECT_TRUE(nolu::Setup()->Options().ReadBool(u"Actions", u"$DEST\\Nolu.exe", false));
  // A run with errors starts nothing.
  nolu::Setup()->RunActions();
  EXPECT_TRUE(run_.Platform().Processes().Launches().empty());
}

TEST(ReadyToInstallSummaryTest, AFirstInstallationOfTheProduct) {
  TWizardTestRun run;
  run.Run().Prepare(u"");
  TSetup setup(u"", &CreateProductInfoNolu);
  setup.Resources().InitializeLanguages();
  setup.SetDestPath(u"C:\\Program Files (x86)\\Nolu\\");
  const String summary = TSetupPageReadyToInstall::BuildSummary();
  EXPECT_EQ(summary,
            u"Destination folder:\r\n * C:\\Program Files (x86)\\Nolu\\\r\n"
            u"\r\nInstallation Options:\r\n * Standard installation (recommended)\r\n"
            u" * Back up settings before updating\r\n"
            u"\r\nWindows integration:\r\n * Register Nolu with Windows\r\n"
            u" * Add Nolu to the context menu of Explorer\r\n"
            u" * Associate audio and video files with Nolu\r\n"
            u"\r\nShortcuts:\r\n * Create a desktop shortcut\r\n"
            u" * Create shortcuts in the Start menu\r\n");
}

}  // namespace
}  // namespace nolu::ui
