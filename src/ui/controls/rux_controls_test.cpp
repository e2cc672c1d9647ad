// The toolkit's own rules: zoom arithmetic, links, access keys, alignment, and what the
// headless user may and may not do.
#include <gtest/gtest.h>

#include "base/errors.h"
#include "platform/fake/fake_platform.h"
#include "ui/controls/rux_application.h"
#include "ui/controls/rux_button.h"
#include "ui/controls/rux_check_box.h"
#include "ui/controls/rux_form.h"
#include "ui/controls/rux_label.h"
#include "ui/controls/rux_radio_box.h"
#include "ui/controls/rux_rich_viewer.h"
#include "ui/headless/headless_backend.h"
#include "ui/headless/headless_user.h"

namespace nolu::ui {
namespace {

TEST(RichViewerZoomTest, NumeratorAndWhetherItIsApplied) {
  struct Case {
    int percent;
    int numerator;
    bool applied;
  };
  const Case cases[] = {
      {100, 64, true},     // 100 × 0.63 + 1 = 64
      {150, 96, true},     // 150 × 0.64 = 96
      {1, 2, true},        // round(1.63) = 2, above 1
      {0, 1, false},       // round(1) = 1 is not above 1
      {50, 32, true},      // 32.5 rounds half to even
      {101, 65, true},     // 64.64
      {6399, 4095, true},  // the largest numerator below 4096
      {6400, 4096, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.percent);
    EXPECT_EQ(TRuxRichViewer::ZoomNumeratorFor(c.percent), c.numerator);
    TRuxRichViewer viewer;
    EXPECT_EQ(viewer.SetZoom(c.percent), c.applied);
    EXPECT_EQ(viewer.Zoom(), c.applied ? c.percent : 100);
    EXPECT_EQ(viewer.ZoomNumerator(), c.applied ? c.numerator : 64);
  }
}

TEST(RichViewerZoomTest, FollowsTheDpi) {
  TRuxRichViewer viewer;
  viewer.DpiChanged(96, 144);
  EXPECT_EQ(viewer.Zoom(), 150);
  EXPECT_EQ(viewer.ZoomNumerator(), 96);
  viewer.DpiChanged(144, 192);
  EXPECT_EQ(viewer.Zoom(), 200);
}

class ControlsTest : public ::testing::Test {
 protected:
  ControlsTest() : scope_(platform_), application_(backend_), form_(application_) {
    form_.SetClientSize(300, 200);
  }

  TFakePlatform platform_;
  PlatformScope scope_;
  THeadlessBackend backend_;
  TRuxApplication application_;
  TRuxForm form_;
};

TEST_F(ControlsTest, LinkTargets) {
  platform_.Files().ForceFolders(u"C:\\Media\\");
  struct Case {
    const char16_t* text;
    const char16_t* target;
  };
  const Case cases[] = {
      {u"https://nolu.example/help", u"https://nolu.example/help"},
      {u"file://server/share", u"file://server/share"},
      {u"C:\\Media", u"C:\\Media"},  // an existing folder
      {u"nolu.example/download", u"https://nolu.example/download"},
      {u"C:\\Missing", u"https://C:\\Missing"},  // not a folder: a web address
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResolveLink(c.text), c.target) << StringToUtf8(c.text);
}

TEST_F(ControlsTest, ALinkLabelOpensItsTargetThroughTheOpener) {
  StringList opened;
  application_.SetLinkOpener([&](StringView target) { opened.emplace_back(target); });
  TRuxLabel& label = form_.CreateComponent<TRuxLabel>();
  label.SetParent(&form_);
  label.SetLinkTarget(u"nolu.example");
  form_.Show();
  THeadlessUser(form_).Click(label);
  EXPECT_EQ(opened, StringList{u"https://nolu.example"});
  EXPECT_EQ(label.AccessibleRole(), TAccessibleRole::arLink);
}

TEST_F(ControlsTest, AccessKeys) {
  struct Case {
    const char16_t* caption;
    Char key;
    const char16_t* read;
  };
  const Case cases[] = {
      {u"&Next", u'N', u"Next"},
      {u"I &accept", u'A', u"I accept"},
      {u"Save && exit", 0, u"Save & exit"},
      {u"R&&D &go", u'G', u"R&D go"},
      {u"Trailing &", 0, u"Trailing "},
  };
  for (const Case& c : cases) {
    TRuxButton button;
    button.SetCaption(c.caption);
    EXPECT_EQ(button.AccessKey(), c.key) << StringToUtf8(c.caption);
    EXPECT_EQ(button.AccessibleName(), c.read);
  }
}

TEST_F(ControlsTest, AlignmentStacksBottomThenClientWithMargins) {
  TRuxCheckBox& bottom = form_.CreateComponent<TRuxCheckBox>();
  bottom.SetParent(&form_);
  bottom.SetBounds({0, 0, 10, 16});
  bottom.SetMargins({28, 4, 28, 22});
  bottom.SetAlignWithMargins(true);
  bottom.SetAlign(TAlign::alBottom);
  TRuxRichViewer& client = form_.CreateComponent<TRuxRichViewer>();
  client.SetParent(&form_);
  client.SetMargins({28, 22, 28, 4});
  client.SetAlignWithMargins(true);
  client.SetAlign(TAlign::alClient);
  EXPECT_EQ(bottom.Bounds(), (TRect{28, 200 - 22 - 16, 300 - 56, 16}));
  EXPECT_EQ(client.Bounds(), TRect::FromEdges(28, 22, 272, 200 - 22 - 16 - 4 - 4));
  // Hiding the bottom control gives its room to the client one.
  bottom.SetVisible(false);
  EXPECT_EQ(client.Bounds().Bottom(), 200 - 4);
}

TEST_F(ControlsTest, TheUserCannotActOnHiddenOrDisabledControls) {
  TRuxButton& button = form_.CreateComponent<TRuxButton>();
  button.SetParent(&form_);
  button.SetCaption(u"&Go");
  int clicks = 0;
  button.OnClick = [&] { ++clicks; };
  THeadlessUser user(form_);
  EXPECT_THROW(user.Click(button), EInvalidOperation);  // the form is not shown yet
  form_.Show();
  user.Click(button);
  button.SetEnabled(false);
  EXPECT_THROW(user.Click(button), EInvalidOperation);
  button.SetEnabled(true);
  button.SetVisible(false);
  EXPECT_THROW(user.ClickButton(u"Go"), EInvalidOperation);
  button.SetVisible(true);
  user.PressAccessKey(u'G');
  EXPECT_EQ(clicks, 2);
}

TEST_F(ControlsTest, EnterPressesTheDefaultButtonAndRadioButtonsExcludeEachOther) {
  TRuxButton& ok = form_.CreateComponent<TRuxButton>();
  ok.SetParent(&form_);
  ok.SetModalResult(kMrOk);
  form_.SetDefaultButton(&ok);
  TRuxRadioBox& one = form_.CreateComponent<TRuxRadioBox>();
  one.SetParent(&form_);
  TRuxRadioBox& two = form_.CreateComponent<TRuxRadioBox>();
  two.SetParent(&form_);
  backend_.OnModal([&](TRuxForm& shown) {
    THeadlessUser user(shown);
    user.Click(one);
    user.Click(two);
    EXPECT_FALSE(one.Checked());
    EXPECT_TRUE(two.Checked());
    user.Click(two);  // a checked radio button stays checked
    EXPECT_TRUE(two.Checked());
    user.PressEnter();
  });
  EXPECT_EQ(form_.ShowModal(), kMrOk);
  EXPECT_TRUE(form_.Closed());
}

}  // namespace
}  // namespace nolu::ui
