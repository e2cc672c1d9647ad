// The localized texts of the folder chooser (the chooser itself belongs to the setup page):
// its title, the new-folder button (also the title and the proposed name of the prompt for
// the new folder's name), Cancel and OK.
#pragma once

#include "base/text.h"

namespace nolu::ui {

struct TFolderDialogTexts {
  String Title;
  String NewFolder;
  String Cancel = u"Cancel";
  String Ok = u"OK";

  // From section "Common" of the run's strings: "lBrowse", "lNewFolder", "lCancel", "lOk"; a
  // missing key keeps the current text.
  void Localize();
};

}  // namespace nolu::ui
