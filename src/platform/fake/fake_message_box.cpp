#include "platform/fake/fake_message_box.h"

namespace nolu {

int TFakeMessageBox::DefaultAnswer(uint32_t style) {
  static const std::vector<int> kButtons[] = {
      {kIdOk},                          // MB_OK
      {kIdOk, kIdCancel},               // MB_OKCANCEL
      {kIdAbort, kIdRetry, kIdIgnore},  // MB_ABORTRETRYIGNORE
      {kIdYes, kIdNo, kIdCancel},       // MB_YESNOCANCEL
      {kIdYes, kIdNo},                  // MB_YESNO
      {kIdRetry, kIdCancel},            // MB_RETRYCANCEL
  };
  const uint32_t kind = style & 0xF;
  const std::vector<int>& buttons = kind < std::size(kButtons) ? kButtons[kind] : kButtons[0];
  const size_t index = (style >> 8) & 0xF;
  return buttons[index < buttons.size() ? index : 0];
}

int TFakeMessageBox::ShowMessageBox(StringView text, StringView caption, uint32_t style) {
  TFakeMessageBoxCall call{String(text), String(caption), style, channel_.IsMainThread(), 0};
  std::function<int(const TFakeMessageBoxCall&)> answer;
  {
    std::lock_guard lock(mutex_);
    answer = answer_;
  }
  call.Answer = answer ? answer(call) : DefaultAnswer(style);
  std::lock_guard lock(mutex_);
  calls_.push_back(call);
  return call.Answer;
}

void TFakeMessageBox::SetAnswer(std::function<int(const TFakeMessageBoxCall&)> answer) {
  std::lock_guard lock(mutex_);
  answer_ = std::move(answer);
}

std::vector<TFakeMessageBoxCall> TFakeMessageBox::Calls() {
  std::lock_guard lock(mutex_);
  return calls_;
}

}  // namespace nolu
