// Finding the windows of other programs and reading their state.
//
// Every wait polls in short steps up to a deadline: the driver never sleeps blindly, and a
// window that comes early is answered early.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <vector>

#include "arguments.h"
#include "json_writer.h"

namespace nolu::driver {

// How long a subcommand waits for what it looks for, unless told otherwise.
constexpr double kDefaultWaitSeconds = 10;
// How long a message to another program waits for its answer. A program that does not answer
// in this time is treated as having no text; a click that opens a modal loop (a question
// box) returns only when that loop ends, so it is delivered but not awaited.
constexpr UINT kReplyTimeoutMs = 2000;

// Polls `done` every few milliseconds until it holds or `timeout_ms` passed; whether it held.
bool WaitUntil(const std::function<bool()>& done, uint32_t timeout_ms);

// Which top-level windows a subcommand means: "--class", "--title", "--hwnd", "--pid" (all
// given ones must match) and "--include-hidden" (otherwise only visible windows count).
struct WindowQuery {
  std::optional<String> class_name;
  std::optional<String> title;
  HWND hwnd = nullptr;
  std::optional<DWORD> pid;
  bool include_hidden = false;

  bool Matches(HWND window) const;
  // For messages: `class "TNoluMainForm" title "Nolu"`.
  String Describe() const;
};

extern const OptionNames kWindowQueryOptions;

// Raises UsageError when no selector is given.
WindowQuery ReadWindowQuery(const Arguments& args);

std::vector<HWND> FindTopLevelWindows(const WindowQuery& query);
// The first matching window, waiting up to `timeout_ms`; NotFoundError when none came.
HWND WaitForTopLevelWindow(const WindowQuery& query, uint32_t timeout_ms);

// Which child control a subcommand means: "--id", "--text" (the caption, with or without its
// '&' accelerator marks), "--button" (a control of class Button with that caption),
// "--control-class", and "--index" (the n-th match, counting from 0, in Z order).
struct ControlQuery {
  std::optional<int64_t> id;
  std::optional<String> text;
  std::optional<String> class_name;
  int64_t index = 0;

  bool Empty() const { return !id && !text && !class_name; }
  bool Matches(HWND control) const;
  String Describe() const;
};

extern const OptionNames kControlQueryOptions;

ControlQuery ReadControlQuery(const Arguments& args);

// Every descendant of `window`, parents before their children.
std::vector<HWND> ChildControls(HWND window);
HWND TryFindControl(HWND window, const ControlQuery& query);
// Waits up to `timeout_ms` for the control to exist and, with `usable`, to be visible and
// enabled (what a user needs to operate it). NotFoundError says which part failed and lists
// the controls there are.
HWND WaitForControl(HWND window, const ControlQuery& query, uint32_t timeout_ms, bool usable);

String ClassNameOf(HWND window);
// The caption the system keeps for a top-level window; asks nothing of its program, so a
// hung program cannot stall a search.
String CaptionOf(HWND window);
// The text as the window's own program answers WM_GETTEXT (edits and rich edits included).
String TextOf(HWND window);
// "&Next >" -> "Next >", "&&" -> "&": the caption as the user reads it.
String StripAccelerators(StringView text);
// Presses a button with BM_CLICK, as a user's click does; whether its program finished
// handling it within kReplyTimeoutMs.
bool PressButton(HWND button);
// BST_CHECKED, BST_UNCHECKED or BST_INDETERMINATE for check boxes and radio buttons.
std::optional<LRESULT> CheckStateOf(HWND control);
// The hexadecimal form the driver prints and reads back ("0x1a2b").
String HandleText(HWND window);

// Writes the members that describe `window` (handle, class, id, text, states, rectangle,
// process) into the current JSON object.
void WriteWindowMembers(JsonWriter& json, HWND window);

}  // namespace nolu::driver
