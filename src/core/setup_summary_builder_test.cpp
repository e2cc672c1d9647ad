#include "core/setup_summary_builder.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/testing/fake_setup_run.h"

namespace nolu {
namespace {

TEST(SetupSummaryBuilderTest, GroupsCaptionsAndItems) {
  struct Row {
    const char* what;
    std::function<void(TSetupSummaryBuilder&)> build;
    const char16_t* expected;
  };
  const Row rows[] = {
      {"nothing", [](TSetupSummaryBuilder&) {}, u""},
      {"the first group has no blank line before it; a colon is added",
       [](TSetupSummaryBuilder& b) {
         b.AddCaption(u"Destination");
         b.AddItem(u"C:\\Nolu\\");
       },
       u"Destination:\r\n * C:\\Nolu\\\r\n"},
      {"a caption that ends with a colon gets no second one",
       [](TSetupSummaryBuilder& b) {
         b.AddCaption(u"Destination:");
         b.AddItem(u"C:\\Nolu\\");
       },
       u"Destination:\r\n * C:\\Nolu\\\r\n"},
      {"a blank line between groups",
       [](TSetupSummaryBuilder& b) {
         b.AddCaption(u"A");
         b.AddItem(u"1");
         b.AddItem(u"2");
         b.AddCaption(u"B");
         b.AddItem(u"3");
       },
       u"A:\r\n * 1\r\n * 2\r\n\r\nB:\r\n * 3\r\n"},
      {"a caption without items leaves no trace, first or last",
       [](TSetupSummaryBuilder& b) {
         b.AddCaption(u"Unused");
         b.AddCaption(u"A");
         b.AddItem(u"1");
         b.AddCaption(u"Trailing");
       },
       u"A:\r\n * 1\r\n"},
      {"a caption without items between two groups",
       [](TSetupSummaryBuilder& b) {
         b.AddCaption(u"A");
         b.AddItem(u"1");
         b.AddCaption(u"Empty");
         b.AddCaption(u"B");
         b.AddItem(u"2");
       },
       u"A:\r\n * 1\r\n\r\nB:\r\n * 2\r\n"},
      {"the same caption again after items starts a new group",
       [](TSetupSummaryBuilder& b) {
         b.AddCaption(u"Mode");
         b.AddItem(u"1");
         b.AddCaption(u"Mode");
         b.AddItem(u"2");
       },
       u"Mode:\r\n * 1\r\n\r\nMode:\r\n * 2\r\n"},
      {"items before any caption stand alone",
       [](TSetupSummaryBuilder& b) {
         b.AddItem(u"1");
         b.AddCaption(u"A");
         b.AddItem(u"2");
       },
       u" * 1\r\n\r\nA:\r\n * 2\r\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TSetupSummaryBuilder builder;
    row.build(builder);
    EXPECT_EQ(StringToUtf8(builder.ToString()), StringToUtf8(row.expected));
  }
}

TEST(SetupSummaryBuilderTest, SectionAndKeyFormsUseTheRunsStrings) {
  TFakeSetupRun run;
  run.Data().SetSetupFile(
      u"English.lng",
      TFakeSetupData::LanguageFile(u"English", 1033, u"EN",
                                   "[PageSetup]\r\nLB1=Install $NAME into\r\nTitle=Options:\r\n"
                                   "CB4=Back up the profiles\r\n"));
  run.Create(u"/AUTO=\"C:\\Nolu\" /SILENT");

  TSetupSummaryBuilder builder;
  builder.AddCaption(u"PageSetup", u"LB1");
  builder.AddItem(u"C:\\Nolu\\");
  builder.AddCaption(u"pagesetup", u"title");  // names compare without regard to case
  builder.AddItem(u"PageSetup", u"CB4");
  EXPECT_EQ(StringToUtf8(builder.ToString()),
            "Install Nolu into:\r\n * C:\\Nolu\\\r\n\r\nOptions:\r\n * Back up the profiles\r\n");
}

}  // namespace
}  // namespace nolu
