// TSetupPageWelcome: the first page of an installation.
#pragma once

#include "ui/pages/setup_page_full_screen.h"

namespace nolu::ui {

class TSetupPageWelcome : public TSetupPageFullScreen {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageWelcome";
  explicit TSetupPageWelcome(TSetupPageContext& context)
      : TSetupPageFullScreen(context, kClassName) {}
};

}  // namespace nolu::ui
