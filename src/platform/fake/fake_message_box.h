// TFakeMessageBox: message boxes answered by a test and recorded.
//
// Without an answer function the box answers with its default button (MB_DEFBUTTON*), as a
// user who presses Enter. Each call records on which thread it came, so tests can check that
// questions from the worker reached the main thread through Synchronize.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/message_box.h"
#include "platform/message_channel.h"

namespace nolu {

struct TFakeMessageBoxCall {
  String Text;
  String Caption;
  uint32_t Style = 0;
  bool OnMainThread = false;
  int Answer = 0;
};

class TFakeMessageBox : public IMessageBox {
 public:
  explicit TFakeMessageBox(IMessageChannel& channel) : channel_(channel) {}

  int ShowMessageBox(StringView text, StringView caption, uint32_t style) override;

  void SetAnswer(std::function<int(const TFakeMessageBoxCall&)> answer);
  std::vector<TFakeMessageBoxCall> Calls();

  // The button a user gets by pressing Enter.
  static int DefaultAnswer(uint32_t style);

 private:
  IMessageChannel& channel_;
  std::mutex mutex_;
  std::function<int(const TFakeMessageBoxCall&)> answer_;
  std::vector<TFakeMessageBoxCall> calls_;
};

}  // namespace nolu
