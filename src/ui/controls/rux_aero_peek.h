// TRuxAeroPeek: the progress shown on a window's taskbar button. This base keeps the values
// (what host tests read); the Win32 backend's subclass hands them to the taskbar.
#pragma once

#include <cstdint>

namespace nolu::ui {

enum class TAeroPeekState : uint8_t { apsNormal = 0, apsPaused = 1, apsError = 2 };

class TRuxAeroPeek {
 public:
  virtual ~TRuxAeroPeek() = default;

  // Unchanged values are ignored. A maximum of 0 shows the indeterminate state.
  void SetProgress(int64_t position, int64_t max);
  void SetState(TAeroPeekState state);

  int64_t Position() const { return position_; }
  int64_t Max() const { return max_; }
  TAeroPeekState State() const { return state_; }
  bool Indeterminate() const { return max_ == 0 && state_ != TAeroPeekState::apsError; }
  // Hands the values on again (the taskbar's button was made after they were set).
  void Refresh() { Apply(); }
  // How often the values were handed on (unchanged ones are not).
  int Updates() const { return updates_; }

 protected:
  // Shows the current values; nothing here.
  virtual void Apply() {}

 private:
  int64_t position_ = -1;
  int64_t max_ = -1;
  TAeroPeekState state_ = TAeroPeekState::apsNormal;
  int updates_ = 0;
};

}  // namespace nolu::ui
