#include "ui/dialogs/folder_dialog_texts.h"

#include "core/setup.h"
#include "resources/setup_resources.h"

namespace nolu::ui {

void TFolderDialogTexts::Localize() {
  const TSetupResources& resources = nolu::Setup()->Resources();
  for (auto [text, key] : {std::pair{&Title, u"lBrowse"}, std::pair{&NewFolder, u"lNewFolder"},
                           std::pair{&Cancel, u"lCancel"}, std::pair{&Ok, u"lOk"}}) {
    String value = resources.GetString(u"Common", key);
    if (!value.empty()) *text = std::move(value);
  }
}

}  // namespace nolu::ui
