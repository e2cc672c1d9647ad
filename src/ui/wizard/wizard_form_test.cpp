// The wizard on the headless backend: navigation, captions, the progress strip and the
// taskbar, the close rule, the order of ncFinished, and a run closed from inside one of the
// worker's notifications.
#include "ui/wizard/wizard_form.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/setup.h"
#include "core/setup_action.h"
#include "core/testing/deadlock_watchdog.h"
#include "platform/message_box.h"
#include "resources/installer_errors.h"
#include "ui/controls/recording_canvas.h"
#include "ui/headless/headless_user.h"
#include "ui/pages/setup_page_finish.h"
#include "ui/pages/setup_page_install.h"
#include "ui/pages/setup_page_license.h"
#include "ui/testing/wizard_test_run.h"
#include "ui/wizard/setup_wizard_user_interface.h"

namespace nolu::ui {
namespace {

// A page whose availability a test switches.
class TSetupPageSwitch : public TSetupPage {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageSwitch";
  static inline bool available = true;
  explicit TSetupPageSwitch(TSetupPageContext& context) : TSetupPage(context, kClassName) {}
  bool IsAvailable() override { return available; }
};

std::vector<String> g_ran;

class TStepOne : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TStepOne";
  void Execute() override {
    g_ran.push_back(u"one");
    SetProgress(50);
  }
};

class TStepTwo : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TStepTwo";
  void Execute() override { g_ran.push_back(u"two"); }
};

class TStepFailing : public TSetupAction {
 public:
  static constexpr char16_t kClassName[] = u"TStepFailing";
  void Execute() override { throw EInstallerInstallError(u"Disk full"); }
};

// Calls a function on every notification, after the wizard has handled it (it is registered
// before the wizard's pages and the wizard: the last registered is called first, so this one
// is called last only when registered first; registered later, it is called before them).
class TCallingRecorder : public IInstallerNotify {
 public:
  explicit TCallingRecorder(std::function<void()> fn) : fn_(std::move(fn)) {}
  void Notify(uint32_t code, const TNotifyParam&) override {
    if (code == ncProgress) fn_();
  }

 private:
  std::function<void()> fn_;
};

const std::vector<String> kInteractivePages = {u"TSetupPageWelcome", u"TSetupPageLicense",
                                               u"TSetupPageSwitch", u"TSetupPageReadyToInstall"};

class WizardFormTest : public ::testing::Test {
 protected:
  WizardFormTest() {
    g_ran.clear();
    TSetupPageSwitch::available = true;
    run_.Classes().Register<TSetupPageSwitch>();
    run_.Product().install_pages = kInteractivePages;
    run_.Product().install_actions = {&ActionClassOf<TStepOne>(), &ActionClassOf<TStepTwo>()};
  }

  TWizardForm& Start(StringView params = u"") {
    run_.Create(params);
    wizard_ = run_.CreateWizard();
    wizard_->Show();
    return *wizard_;
  }

  String Common(StringView key) { return nolu::Setup()->Resources().GetString(u"Common", key); }
  String PageName() { return wizard_->ActivePage() ? wizard_->ActivePage()->Name() : u""; }
  THeadlessUser User() { return THeadlessUser(*wizard_); }

  TWizardTestRun run_;
  std::unique_ptr<TWizardForm> wizard_;
};

TEST_F(WizardFormTest, PagesOfEachRun) {
  struct Case {
    const char16_t* params;
    bool uninstaller;
    std::vector<String> pages;
  };
  const Case cases[] = {
      // Product pages this build does not know ("TSetupPageSetup") are left out.
      {u"",
       false,
       {u"PageWelcome", u"PageLicense", u"PageSwitch", u"PageReadyToInstall", u"PageInstall",
        u"PageFinish"}},
      {u"/AUTO=C:\\Nolu", false, {u"PageInstall", u"PageFinish"}},
  };
  run_.Product().install_pages.push_back(u"TSetupPageSetup");
  run_.Product().install_actions = {};
  for (const Case& c : cases) {
    SCOPED_TRACE(StringToUtf8(c.params));
    wizard_.reset();
    TWizardForm& wizard = Start(c.params);
    std::vector<String> names;
    for (int i = 0; i < wizard.Pages().Count(); ++i)
      names.push_back(wizard.Pages().Items(i).Name());
    EXPECT_EQ(names, c.pages);
    run_.WaitUntil([&] { return nolu::Setup()->State() != ssRunning; });
  }
}

TEST_F(WizardFormTest, NavigationButtonsAndNextCaptions) {
  TWizardForm& wizard = Start();
  struct Step {
    const char16_t* page;
    bool back_visible;
    bool next_enabled;
    const char16_t* next_key;
  };
  auto expect = [&](const Step& step) {
    SCOPED_TRACE(StringToUtf8(step.page));
    EXPECT_EQ(PageName(), step.page);
    EXPECT_EQ(wizard.bBack().Visible(), step.back_visible);
    EXPECT_EQ(wizard.bNext().Enabled(), step.next_enabled);
    EXPECT_EQ(wizard.bNext().Caption(), Common(step.next_key));
  };
  expect({u"PageWelcome", false, true, u"bNext"});
  EXPECT_TRUE(wizard.bNext().Focused());
  User().ClickButton(StripAccessKeys(Common(u"bNext")));
  // The license: never Back, Next only once accepted; the text has the focus.
  expect({u"PageLicense", false, false, u"bNext"});
  auto& license = static_cast<TSetupPageLicense&>(*wizard.ActivePage());
  EXPECT_TRUE(license.Viewer().Focused());
  User().Check(license.AcceptBox(), true);
  expect({u"PageLicense", false, true, u"bNext"});
  User().Click(wizard.bNext());
  expect({u"PageSwitch", true, true, u"bNext"});
  User().Click(wizard.bNext());
  // Next starts the installation from here.
  expect({u"PageReadyToInstall", true, true, u"bInstall"});
  // Back skips a page that is not available now, and skips it going forward too.
  TSetupPageSwitch::available = false;
  User().Click(wizard.bBack());
  expect({u"PageLicense", false, true, u"bNext"});
  EXPECT_TRUE(license.AcceptBox().Checked());  // kept between activations
  User().Click(wizard.bNext());
  expect({u"PageReadyToInstall", true, true, u"bInstall"});
  User().Click(wizard.bNext());
  // The run: Back hidden, Next disabled; its end moves on to the final page by itself.
  EXPECT_EQ(PageName(), u"PageInstall");
  EXPECT_FALSE(wizard.bBack().Visible());
  run_.WaitUntil([&] { return PageName() == u"PageFinish"; });
  expect({u"PageFinish", false, true, u"bFinish"});
  EXPECT_FALSE(wizard.SystemCloseEnabled());
  EXPECT_EQ(g_ran, (std::vector<String>{u"one", u"two"}));
  User().Click(wizard.bNext());
  EXPECT_TRUE(wizard.Closed());
}

TEST_F(WizardFormTest, TheUninstallPageMakesNextSayUninstall) {
  run_.Run().Data().SetProductFile(u"Uninstall.ini", "[Uninstall]\r\nCount=0\r\n");
  run_.Product().uninstall_pages = {u"TSetupPageSwitch"};
  run_.Product().uninstall_actions = {};
  run_.Create(u"");
  nolu::Setup()->SetDestPath(u"C:\\Nolu\\");  // the entry's "PATH"
  wizard_ = run_.CreateWizard();
  wizard_->Show();
  TWizardForm& wizard = *wizard_;
  EXPECT_EQ(PageName(), u"PageSwitch");
  EXPECT_EQ(wizard.bNext().Caption(), Common(u"bUninstall"));
  User().Click(wizard.bNext());
  EXPECT_EQ(PageName(), u"PageUninstall");
  run_.WaitUntil([&] { return PageName() == u"PageUninstallFinish"; });
}

TEST_F(WizardFormTest, ProgressStripGeometry) {
  struct Case {
    const char16_t* params;
    int pages;
    int segment;
  };
  // Five pages: 640 / 4. Two pages (an automatic run): the segment width stays 0.
  run_.Product().install_pages = {u"TSetupPageWelcome", u"TSetupPageSwitch",
                                  u"TSetupPageReadyToInstall"};
  run_.Product().install_actions = {};
  for (const Case& c : {Case{u"", 5, 160}, Case{u"/AUTO=C:\\Nolu", 2, 0}}) {
    SCOPED_TRACE(StringToUtf8(c.params));
    wizard_.reset();
    TWizardForm& wizard = Start(c.params);
    EXPECT_EQ(wizard.Pages().Count(), c.pages);
    EXPECT_EQ(wizard.ProgressViewInfo().Strip(), (TRect{0, 53, 640, 10}));
    EXPECT_EQ(wizard.ProgressViewInfo().Bar(), (TRect{0, 55, 640, 6}));
    EXPECT_EQ(wizard.ProgressViewInfo().SegmentWidth(), c.segment);
    run_.WaitUntil([&] { return nolu::Setup()->State() != ssRunning; });
  }
  // The second page of five: the first segment is solid, the second dotted (160 / 6 marks).
  wizard_.reset();
  TWizardForm& five = Start();
  User().Click(five.bNext());
  TRecordingCanvas canvas;
  five.ProgressViewInfo().Draw(canvas, five.ActivePage());
  const std::vector<TCanvasCall> fills = canvas.Fills();
  ASSERT_EQ(fills.size(), 1u + 160 / 6 + 1);
  EXPECT_EQ(fills[0].Rect, (TRect{0, 53, 640, 10}));
  EXPECT_EQ(fills[1].Rect, (TRect{160, 55, 3, 6}));
  EXPECT_EQ(fills[2].Rect, (TRect{166, 55, 3, 6}));
  EXPECT_EQ(fills.back().Rect, (TRect{0, 55, 160, 6}));
  EXPECT_EQ(fills.back().Color, five.Palette().ProgressFill);
}

TEST_F(WizardFormTest, TheLastPageFillsTheBarAndTheTaskbarFollows) {
  run_.Product().install_pages = {};
  TWizardForm& wizard = Start(u"/AUTO=C:\\Nolu");
  // Two pages: maximum 100; the install page is page 0.
  EXPECT_EQ(wizard.AeroPeek().Max(), 100);
  run_.WaitUntil([&] { return wizard.Closed(); });  // an automatic run without errors closes
  EXPECT_EQ(g_ran, (std::vector<String>{u"one", u"two"}));
}

TEST_F(WizardFormTest, TaskbarPositionIsPageIndexTimesHundredPlusItsProgress) {
  TWizardForm& wizard = Start();
  EXPECT_EQ(wizard.AeroPeek().Max(), 500);  // six pages
  EXPECT_EQ(wizard.AeroPeek().Position(), 0);
  EXPECT_TRUE(wizard.AeroPeek().Indeterminate() == false);
  const int updates = wizard.AeroPeek().Updates();
  wizard.UpdateProgress();  // unchanged values are not handed on again
  EXPECT_EQ(wizard.AeroPeek().Updates(), updates);
  User().Click(wizard.bNext());
  EXPECT_EQ(wizard.AeroPeek().Position(), 100);
  std::vector<int64_t> positions;
  TCallingRecorder recorder([&] { positions.push_back(wizard.AeroPeek().Position()); });
  nolu::Setup()->AddListener(&recorder);
  auto& license = static_cast<TSetupPageLicense&>(*wizard.ActivePage());
  User().Check(license.AcceptBox(), true);
  User().Click(wizard.bNext());
  User().Click(wizard.bNext());
  User().Click(wizard.bNext());  // the install page, page 4
  run_.WaitUntil([&] { return PageName() == u"PageFinish"; });
  nolu::Setup()->RemoveListener(&recorder);
  // While the run went on: 400 + the whole run's progress (one step at 50 %: 25).
  EXPECT_NE(std::find(positions.begin(), positions.end(), 425), positions.end());
  EXPECT_EQ(wizard.AeroPeek().Position(), 500);
  EXPECT_EQ(wizard.AeroPeek().State(), TAeroPeekState::apsNormal);
}

TEST_F(WizardFormTest, CloseRuleBeforeTheRun) {
  TWizardForm& wizard = Start();
  run_.Answers = {kIdCancel};
  User().CloseWindow();
  EXPECT_FALSE(wizard.Closed());
  EXPECT_EQ(PageName(), u"PageWelcome");
  EXPECT_EQ(run_.Questions, StringList{Common(u"QM")});
  run_.Answers = {kIdOk};
  User().CloseWindow();
  EXPECT_TRUE(wizard.Closed());
  EXPECT_TRUE(wizard.CancelledByUser());
  EXPECT_EQ(nolu::Setup()->State(), ssIdle);
  EXPECT_TRUE(g_ran.empty());
}

TEST_F(WizardFormTest, FinishedRunClosesWithoutAQuestion) {
  run_.Product().install_pages = {u"TSetupPageReadyToInstall"};
  TWizardForm& wizard = Start();
  User().Click(wizard.bNext());
  run_.WaitUntil([&] { return PageName() == u"PageFinish"; });
  EXPECT_THROW(User().CloseWindow(), EInvalidOperation);  // the close box is disabled
  wizard.Close();  // a close request of code still goes through the rule: no question
  EXPECT_TRUE(wizard.Closed());
  EXPECT_TRUE(run_.Questions.empty());
}

TEST_F(WizardFormTest, AnAutomaticRunWithErrorsShowsTheFinalPage) {
  run_.Product().install_actions = {&ActionClassOf<TStepFailing>(), &ActionClassOf<TStepTwo>()};
  TWizardForm& wizard = Start(u"/AUTO=C:\\Nolu");
  run_.WaitUntil([&] { return PageName() == u"PageFinish"; });
  EXPECT_FALSE(wizard.Closed());
  auto& finish = static_cast<TSetupPageFinish&>(*wizard.ActivePage());
  EXPECT_TRUE(finish.ErrorMemo().Visible());
  EXPECT_EQ(finish.ErrorMemo().Lines(), StringList{u"Disk full"});
  EXPECT_EQ(wizard.AeroPeek().State(), TAeroPeekState::apsError);
}

// The install page lets the window handle its messages inside the worker's notification; the
// user closes the window then and confirms. The wizard must neither hang nor close before the
// worker has stopped.
TEST_F(WizardFormTest, ClosedDuringTheRunFromInsideANotification) {
  run_.Product().install_pages = {};
  TWizardForm& wizard = Start();
  run_.Answers = {kIdOk};
  bool closed_once = false;
  run_.Backend().OnProcessMessages([&] {
    if (!closed_once) {
      closed_once = true;
      User().CloseWindow();
    }
  });
  {
    TDeadlockWatchdog watchdog("closing the wizard inside a notification");
    run_.WaitUntil([&] { return wizard.Closed(); });
  }
  EXPECT_TRUE(wizard.CancelledByUser());
  EXPECT_EQ(g_ran, (std::vector<String>{u"one"}));  // the second step never started
  EXPECT_EQ(nolu::Setup()->State(), ssFinished);
  ASSERT_FALSE(nolu::Setup()->Errors().empty());
  EXPECT_EQ(nolu::Setup()->Errors().back(), Common(u"E4"));
  EXPECT_EQ(PageName(), u"PageFinish");
}

TEST_F(WizardFormTest, ExitCodesOfTheWizard) {
  struct Case {
    const char* what;
    std::vector<const TSetupActionClass*> actions;
    bool cancel;
    int code;
  };
  const Case cases[] = {
      {"success", {&ActionClassOf<TStepTwo>()}, false, 0},
      {"errors", {&ActionClassOf<TStepFailing>()}, false, 1},
      {"closed by the user", {&ActionClassOf<TStepTwo>()}, true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TWizardTestRun run;
    run.Product().install_pages = {u"TSetupPageWelcome"};
    run.Product().install_actions = c.actions;
    run.Create(u"");
    TSetupWizardUserInterface ui(run.Backend(), TSetupPageClassTable(run.Classes()));
    run.Backend().OnModal([](TRuxForm& box) { THeadlessUser(box).PressEnter(); });
    run.Backend().OnRun([&](TRuxForm& form) {
      auto& wizard = static_cast<TWizardForm&>(form);
      THeadlessUser user(wizard);
      if (c.cancel) {
        // The question's default button is Cancel: the user presses OK.
        run.Backend().OnModal([](TRuxForm& box) { THeadlessUser(box).ClickButton(u"OK"); });
        user.CloseWindow();
        return;
      }
      user.Click(wizard.bNext());
      run.WaitUntil([&] { return wizard.ActivePage() == wizard.Pages().Last(); });
      user.Click(wizard.bNext());
    });
    EXPECT_EQ(ui.RunWizard(), c.code);
  }
}

}  // namespace
}  // namespace nolu::ui
