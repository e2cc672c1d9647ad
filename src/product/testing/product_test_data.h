// The sample payload of the engine tests, completed with what Nolu's actions need: strings for
// their status lines and summaries, the add-on description and installer, and the shortcuts
// of the real product.
#pragma once

#include <string>

#include "resources/testing/fake_setup_data.h"

namespace nolu {

inline constexpr char kTestAddonsIni[] =
    "I0=addons.png\r\nL0=Lumo photo viewer\r\nP1=/NOASSOC\r\nP2=/VIEWER\r\nP3=/SHORTCUTS\r\n"
    "P4=LumoSetup.exe\r\nCL=/S %s/SOURCE=nolu\r\n";
inline constexpr char kTestAddonInstaller[] = "MZ Lumo setup";

inline std::string ProductTestInstallXml() {
  std::string xml = TFakeSetupData::SampleInstallXml();
  const std::string old_shortcuts = "<File name=\"$DESKTOP\\$NAME.lnk\">$DEST\\Nolu.exe</File>";
  xml.replace(
      xml.find(old_shortcuts), old_shortcuts.size(),
      "<File name=\"$DESKTOP\\$NAME.lnk\">$DEST\\Nolu.exe</File>\n"
      "      <File name=\"$STARTMENU\\$NAME\\$NAME.lnk\">$DEST\\Nolu.exe</File>\n"
      "      <File name=\"$STARTMENU\\$NAME\\What is new.lnk\">$DEST\\Readme.txt</File>\n"
      "      <File name=\"$STARTMENU\\$NAME\\Uninstall $NAME.lnk\">$DEST\\Uninstall.exe</File>");
  return xml;
}

inline TFakeSetupData ProductTestData() {
  TFakeSetupData data = TFakeSetupData::Sample();
  data.SetSetupFile(u"Install.xml", ProductTestInstallXml());
  data.SetSetupFile(
      u"English.lng",
      TFakeSetupData::LanguageFile(
          u"English", 1033, u"EN",
          "[Common]\r\nA2=Creating shortcuts...\r\nA6=Writing the configuration...\r\n"
          "E4=Setup was aborted.\r\n"
          "[PageAddons]\r\nTitle=Recommended software\r\nCB1=Viewer\r\nCB2=Open pictures\r\n"
          "CB3=Viewer shortcuts\r\n"
          "[PageIntegration]\r\nLB1=Shortcuts\r\nLB2=Windows integration:\r\nCB1=Desktop\r\n"
          "CB2=Start menu\r\nCB3=Associate files\r\nCB4=Register $NAME\r\nCB5=Context menu\r\n"));
  data.SetSetupFile(u"addons.ini", kTestAddonsIni);
  data.SetSetupFile(u"LumoSetup.exe", kTestAddonInstaller);
  return data;
}

}  // namespace nolu
