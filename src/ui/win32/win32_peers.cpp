#include "ui/win32/win32_peers.h"

#include <commctrl.h>
#include <dwmapi.h>
#include <richedit.h>

#include <algorithm>
#include <string>

#include "ui/controls/rux_aero_peek.h"
#include "ui/controls/rux_button.h"
#include "ui/controls/rux_check_box.h"
#include "ui/controls/rux_combo_box.h"
#include "ui/controls/rux_edit.h"
#include "ui/controls/rux_form.h"
#include "ui/controls/rux_formatted_label.h"
#include "ui/controls/rux_label.h"
#include "ui/controls/rux_memo.h"
#include "ui/controls/rux_progress_bar.h"
#include "ui/controls/rux_rich_viewer.h"
#include "ui/controls/rux_validation_label.h"
#include "ui/win32/gdi_canvas.h"
#include "ui/win32/win32_accessible.h"

namespace nolu::ui {
namespace {

constexpr wchar_t kPeerProperty[] = L"NoluPeer";
constexpr wchar_t kPanelClass[] = L"TRuxPanel";
constexpr UINT_PTR kSubclassId = 0x4E4F;

std::wstring Wide(StringView text) {
  return std::wstring(text.begin(), text.end());
}

COLORREF Ref(TColor c) {
  return RGB(c.R, c.G, c.B);
}

// A solid brush per colour, for the control colours a parent answers with.
HBRUSH BrushOf(TColor color) {
  static std::map<uint32_t, HBRUSH> brushes;
  HBRUSH& brush = brushes[color.ColorRef()];
  if (!brush) brush = CreateSolidBrush(Ref(color));
  return brush;
}

class TWin32Peer;

TWin32Peer* PeerOf(HWND window) {
  return static_cast<TWin32Peer*>(GetPropW(window, kPeerProperty));
}

class TWin32Peer : public IControlPeer {
 public:
  TWin32Peer(TWin32Backend& backend, TRuxCustomControl& control)
      : backend_(backend), control_(control) {}
  ~TWin32Peer() override { DestroyNative(); }

  HWND Hwnd() const { return hwnd_; }
  TRuxCustomControl& Control() const { return control_; }
  TWin32Backend& Backend() const { return backend_; }

  void Changed(TAspect aspect) override {
    if (!hwnd_) return;
    switch (aspect) {
      case TAspect::kBounds:
        Place();
        break;
      case TAspect::kVisible:
        ShowWindow(hwnd_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
        break;
      case TAspect::kEnabled:
        EnableWindow(hwnd_, control_.Enabled());
        break;
      case TAspect::kCaption:
        SetWindowTextW(hwnd_, Wide(control_.Caption()).c_str());
        InvalidateRect(hwnd_, nullptr, TRUE);
        break;
      case TAspect::kFont:
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), TRUE);
        break;
      default:
        InvalidateRect(hwnd_, nullptr, TRUE);
        break;
    }
  }
  void SetFocus() override {
    if (hwnd_) ::SetFocus(hwnd_);
  }
  void Invalidate() override {
    if (hwnd_) RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  }

  // Notifications of the native control, reflected by its parent.
  virtual void OnCommand(WORD) {}
  virtual LRESULT OnNotify(NMHDR*) { return 0; }
  virtual void OnDrawItem(DRAWITEMSTRUCT*) {}
  virtual void OnMeasureItem(MEASUREITEMSTRUCT* item) { item->itemHeight = Scale(20); }
  // The colours of a system control: text and background.
  virtual HBRUSH OnCtlColor(HDC dc) {
    const TColor background = Background();
    SetTextColor(dc, Ref(TextColor()));
    SetBkColor(dc, Ref(background));
    return BrushOf(background);
  }

 protected:
  int Dpi() const { return control_.Dpi(); }
  int Scale(int value) const { return ScaleValue(value, Dpi()); }
  const TRuxTheme& Theme() const { return control_.Form()->Application().Theme(); }
  HFONT FontHandle() const { return backend_.Font(control_.Font(), Dpi()); }
  TColor Background() const {
    return control_.Parent() ? control_.Parent()->BackgroundAt(control_.Bounds()) : Theme().Window;
  }
  TColor TextColor() const {
    if (!control_.EnabledInTree()) return Theme().DisabledText;
    return control_.Font().Color ? *control_.Font().Color : control_.DefaultTextColor();
  }
  HWND ParentHwnd() const {
    for (TRuxCustomControl* p = control_.Parent(); p; p = p->Parent()) {
      if (auto* peer = dynamic_cast<TWin32Peer*>(p->Peer())) return peer->Hwnd();
    }
    return nullptr;
  }
  RECT DeviceRect() const {
    const TRect r = control_.DeviceBounds();
    return {r.Left, r.Top, r.Right(), r.Bottom()};
  }
  void Place() {
    const RECT r = DeviceRect();
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // A child window of the system's class `window_class`, subclassed for the peer.
  void CreateChild(const wchar_t* window_class, DWORD style, DWORD ex_style = 0) {
    const RECT r = DeviceRect();
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (control_.Visible()) style |= WS_VISIBLE;
    if (!control_.Enabled()) style |= WS_DISABLED;
    if (control_.TabStop()) style |= WS_TABSTOP;
    hwnd_ = CreateWindowExW(ex_style, window_class, Wide(control_.Caption()).c_str(), style, r.left,
                            r.top, r.right - r.left, r.bottom - r.top, ParentHwnd(),
                            reinterpret_cast<HMENU>(NextId()), GetModuleHandleW(nullptr), nullptr);
    Attach();
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    SetWindowSubclass(hwnd_, &SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  }
  void Attach() {
    if (hwnd_) SetPropW(hwnd_, kPeerProperty, this);
  }
  void DestroyNative() {
    if (!hwnd_) return;
    RemoveWindowSubclass(hwnd_, &SubclassProc, kSubclassId);
    RemovePropW(hwnd_, kPeerProperty);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
  static UINT_PTR NextId() {
    static UINT_PTR id = 1000;
    return ++id;
  }

  // What the subclassed control does with a message; the default keeps the form's idea of
  // the focused control up to date.
  virtual LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETFOCUS) {
      if (TRuxForm* form = control_.Form()) form->SetActiveControl(&control_);
    }
    return DefSubclassProc(hwnd_, message, wparam, lparam);
  }

  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                       UINT_PTR, DWORD_PTR data) {
    auto* peer = reinterpret_cast<TWin32Peer*>(data);
    LRESULT result = 0;
    if (!peer->backend_.Guard([&] { result = peer->Handle(message, wparam, lparam); })) {
      return DefSubclassProc(window, message, wparam, lparam);
    }
    return result;
  }

  TWin32Backend& backend_;
  TRuxCustomControl& control_;
  HWND hwnd_ = nullptr;
};

// Paints a system control itself and keeps it repainted after the messages with which the
// system draws it on its own.
class TPaintedPeer : public TWin32Peer {
 public:
  using TWin32Peer::TWin32Peer;

 protected:
  virtual void PaintControl(HDC dc, const RECT& client) = 0;

  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        RECT client;
        GetClientRect(hwnd_, &client);
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
        HGDIOBJ old = SelectObject(memory, bitmap);
        PaintControl(memory, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        EndPaint(hwnd_, &ps);
        return 0;
      }
      case WM_ERASEBKGND:
        return 1;
      case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(hwnd_, &client);
        PaintControl(reinterpret_cast<HDC>(wparam), client);
        return 0;
      }
      case BM_SETCHECK:
      case BM_SETSTATE:
      case WM_ENABLE:
      case WM_SETTEXT:
      case WM_KILLFOCUS:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_UPDATEUISTATE:
      case PBM_SETPOS: {
        const LRESULT result = TWin32Peer::Handle(message, wparam, lparam);
        InvalidateRect(hwnd_, nullptr, FALSE);
        return result;
      }
      case WM_SETFOCUS: {
        const LRESULT result = TWin32Peer::Handle(message, wparam, lparam);
        InvalidateRect(hwnd_, nullptr, FALSE);
        return result;
      }
      case WM_GETOBJECT: {
        const TAccessibleRole role = control_.AccessibleRole();
        const LRESULT answer = AnswerAccessibleObject(
            hwnd_, wparam, lparam, role,
            role == TAccessibleRole::arCheckBox || role == TAccessibleRole::arRadioButton);
        return answer ? answer : TWin32Peer::Handle(message, wparam, lparam);
      }
      default:
        return TWin32Peer::Handle(message, wparam, lparam);
    }
  }

  bool ShowsAccessKeys() const {
    return (SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) == 0;
  }
  void FillRect(HDC dc, const RECT& r, TColor color) { ::FillRect(dc, &r, BrushOf(color)); }
  void Frame(HDC dc, const RECT& r, TColor color, int width) {
    for (int i = 0; i < width; ++i) {
      RECT inner{r.left + i, r.top + i, r.right - i, r.bottom - i};
      ::FrameRect(dc, &inner, BrushOf(color));
    }
  }
  void Text(HDC dc, RECT r, TColor color, UINT flags) {
    HGDIOBJ old = SelectObject(dc, FontHandle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Ref(color));
    if (!ShowsAccessKeys()) flags |= DT_HIDEPREFIX;
    ::DrawTextW(dc, Wide(control_.Caption()).c_str(), -1, &r, flags);
    SelectObject(dc, old);
  }
};

class TButtonPeer : public TPaintedPeer {
 public:
  TButtonPeer(TWin32Backend& backend, TRuxButton& button) : TPaintedPeer(backend, button) {
    CreateChild(WC_BUTTONW, BS_PUSHBUTTON | (button.Default() ? BS_DEFPUSHBUTTON : 0));
  }
  void OnCommand(WORD code) override {
    if (code == BN_CLICKED) static_cast<TRuxButton&>(control_).Click();
  }

 protected:
  void PaintControl(HDC dc, const RECT& client) override {
    const TRuxTheme& theme = Theme();
    FillRect(dc, client, Background());
    const bool pressed = (SendMessageW(hwnd_, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
    const bool enabled = control_.EnabledInTree();
    FillRect(dc, client, pressed ? theme.FaceHot : theme.Face);
    const bool is_default = static_cast<TRuxButton&>(control_).Default();
    Frame(dc, client, enabled && is_default ? theme.Accent : theme.Border,
          enabled && is_default ? std::max(1, Scale(2)) : 1);
    Text(dc, client, enabled ? theme.Text : theme.DisabledText,
         DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (GetFocus() == hwnd_ && ShowsFocus()) {
      RECT focus = client;
      InflateRect(&focus, -Scale(4), -Scale(4));
      SetTextColor(dc, Ref(theme.Focus));
      SetBkColor(dc, Ref(pressed ? theme.FaceHot : theme.Face));
      DrawFocusRect(dc, &focus);
    }
  }
  bool ShowsFocus() const {
    return (SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
  }
};

// Check boxes and radio buttons stay the system's (so they read as such to screen readers and
// keep their keys); the state is the control's, so the native ones are not automatic.
class TCheckPeer : public TPaintedPeer {
 public:
  TCheckPeer(TWin32Backend& backend, TRuxCheckBox& box, bool radio)
      : TPaintedPeer(backend, box), radio_(radio) {
    CreateChild(WC_BUTTONW, radio ? BS_RADIOBUTTON : BS_CHECKBOX);
    SendMessageW(hwnd_, BM_SETCHECK, box.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void Changed(TAspect aspect) override {
    if (aspect == TAspect::kState && hwnd_) {
      SendMessageW(hwnd_, BM_SETCHECK,
                   static_cast<TRuxCheckBox&>(control_).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      return;
    }
    TPaintedPeer::Changed(aspect);
  }
  void OnCommand(WORD code) override {
    if (code == BN_CLICKED) static_cast<TRuxCheckBox&>(control_).Click();
  }

 protected:
  void PaintControl(HDC dc, const RECT& client) override {
    const TRuxTheme& theme = Theme();
    const bool checked = static_cast<TRuxCheckBox&>(control_).Checked();
    const bool enabled = control_.EnabledInTree();
    FillRect(dc, client, Background());
    const int size = Scale(13);
    const int top = (client.bottom - size) / 2;
    RECT box{0, top, size, top + size};
    const TColor mark = enabled ? theme.Accent : theme.DisabledText;
    if (radio_) {
      HGDIOBJ old_pen =
          SelectObject(dc, CreatePen(PS_SOLID, 1, Ref(checked ? mark : theme.Border)));
      HGDIOBJ old_brush = SelectObject(dc, BrushOf(theme.Face));
      Ellipse(dc, box.left, box.top, box.right, box.bottom);
      if (checked) {
        const int inset = size / 4 + 1;
        SelectObject(dc, BrushOf(mark));
        DeleteObject(SelectObject(dc, CreatePen(PS_SOLID, 1, Ref(mark))));
        Ellipse(dc, box.left + inset, box.top + inset, box.right - inset, box.bottom - inset);
      }
      SelectObject(dc, old_brush);
      DeleteObject(SelectObject(dc, old_pen));
    } else {
      FillRect(dc, box, checked ? mark : theme.Face);
      Frame(dc, box, checked ? mark : theme.Border, 1);
      if (checked) {
        HGDIOBJ old_pen =
            SelectObject(dc, CreatePen(PS_SOLID, std::max(1, Scale(2)), Ref(theme.AccentText)));
        POINT points[3] = {{box.left + size * 3 / 13, box.top + size * 7 / 13},
                           {box.left + size * 5 / 13, box.top + size * 9 / 13},
                           {box.left + size * 10 / 13, box.top + size * 4 / 13}};
        Polyline(dc, points, 3);
        DeleteObject(SelectObject(dc, old_pen));
      }
    }
    RECT text{size + Scale(6), 0, client.right, client.bottom};
    Text(dc, text, TextColor(), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    if (GetFocus() == hwnd_) {
      HGDIOBJ old = SelectObject(dc, FontHandle());
      RECT measured = text;
      ::DrawTextW(dc, Wide(control_.Caption()).c_str(), -1, &measured, DT_CALCRECT | DT_SINGLELINE);
      SelectObject(dc, old);
      RECT focus{text.left - 1, (client.bottom - (measured.bottom - measured.top)) / 2 - 1,
                 std::min<LONG>(text.left + (measured.right - measured.left) + 2, client.right),
                 (client.bottom + (measured.bottom - measured.top)) / 2 + 1};
      SetTextColor(dc, Ref(theme.Focus));
      SetBkColor(dc, Ref(Background()));
      DrawFocusRect(dc, &focus);
    }
  }

 private:
  bool radio_;
};

class TProgressPeer : public TPaintedPeer {
 public:
  TProgressPeer(TWin32Backend& backend, TRuxProgressBar& bar) : TPaintedPeer(backend, bar) {
    CreateChild(PROGRESS_CLASSW, PBS_SMOOTH);
    Changed(TAspect::kState);
  }
  void Changed(TAspect aspect) override {
    if (aspect == TAspect::kState && hwnd_) {
      auto& bar = static_cast<TRuxProgressBar&>(control_);
      SendMessageW(hwnd_, PBM_SETRANGE32, 0, bar.Max());
      SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(bar.Position()), 0);
      InvalidateRect(hwnd_, nullptr, FALSE);
      return;
    }
    TPaintedPeer::Changed(aspect);
  }

 protected:
  void PaintControl(HDC dc, const RECT& client) override {
    const TRuxTheme& theme = Theme();
    auto& bar = static_cast<TRuxProgressBar&>(control_);
    FillRect(dc, client, theme.Face);
    RECT filled = client;
    InflateRect(&filled, -1, -1);
    filled.right = filled.left + MulDiv(filled.right - filled.left, bar.Position(), bar.Max());
    if (filled.right > filled.left) FillRect(dc, filled, theme.Accent);
    Frame(dc, client, theme.Border, 1);
  }
};

class TLabelPeer : public TWin32Peer {
 public:
  TLabelPeer(TWin32Backend& backend, TRuxLabel& label) : TWin32Peer(backend, label) {
    CreateChild(WC_STATICW, Style());
  }
  void Changed(TAspect aspect) override {
    if (aspect == TAspect::kState && hwnd_) {
      SetWindowLongPtrW(hwnd_, GWL_STYLE,
                        (GetWindowLongPtrW(hwnd_, GWL_STYLE) & ~0xFFFF) | Style());
      InvalidateRect(hwnd_, nullptr, TRUE);
      return;
    }
    TWin32Peer::Changed(aspect);
  }
  void OnCommand(WORD code) override {
    if (code == STN_CLICKED) static_cast<TRuxLabel&>(control_).Click();
  }

 protected:
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_SETCURSOR && !static_cast<TRuxLabel&>(control_).LinkTarget().empty()) {
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    }
    return TWin32Peer::Handle(message, wparam, lparam);
  }

 private:
  DWORD Style() const {
    auto& label = static_cast<TRuxLabel&>(control_);
    DWORD style = SS_NOPREFIX;
    style |= label.Alignment() == THorzAlign::haCenter  ? SS_CENTER
             : label.Alignment() == THorzAlign::haRight ? SS_RIGHT
                                                        : SS_LEFT;
    if (!label.WordWrap()) {
      style |= label.Layout() == TVertAlign::vaCenter ? SS_CENTERIMAGE : 0;
      style |= SS_ENDELLIPSIS;
    }
    if (!label.LinkTarget().empty()) style |= SS_NOTIFY;
    return style;
  }
};

// A warning line: the system's warning icon left of the bold text.
class TValidationPeer : public TPaintedPeer {
 public:
  TValidationPeer(TWin32Backend& backend, TRuxValidationLabel& label)
      : TPaintedPeer(backend, label) {
    CreateChild(WC_STATICW, SS_NOPREFIX | SS_LEFT);
  }

 protected:
  void PaintControl(HDC dc, const RECT& client) override {
    FillRect(dc, client, Background());
    TGdiCanvas canvas(backend_, dc, Dpi());
    const int icon = Scale(16);
    auto& label = static_cast<TRuxValidationLabel&>(control_);
    canvas.DrawSystemIcon({0, 0, icon, icon}, label.ValidationKind() == TValidationKind::vkError
                                                  ? TSystemIcon::siError
                                              : label.ValidationKind() == TValidationKind::vkWarning
                                                  ? TSystemIcon::siWarning
                                                  : TSystemIcon::siInformation);
    RECT text{Scale(TRuxValidationLabel::kIconSpace), 0, client.right, client.bottom};
    Text(dc, text, TextColor(), DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  }
};

// A formatted label: painted by the toolkit over its parent's background; the hand cursor
// over a link, and a click on one runs it.
class TFormattedLabelPeer : public TPaintedPeer {
 public:
  TFormattedLabelPeer(TWin32Backend& backend, TRuxFormattedLabel& label)
      : TPaintedPeer(backend, label) {
    CreateChild(WC_STATICW, SS_NOPREFIX | SS_NOTIFY);
  }

 protected:
  void PaintControl(HDC dc, const RECT& client) override {
    FillRect(dc, client, Background());
    TGdiCanvas canvas(backend_, dc, Dpi());
    control_.Paint(canvas);
  }

  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override {
    auto& label = static_cast<TRuxFormattedLabel&>(control_);
    if (message == WM_SETCURSOR) {
      POINT point{};
      GetCursorPos(&point);
      ScreenToClient(hwnd_, &point);
      if (label.LinkAt(point.x, point.y)) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
    }
    if (message == WM_LBUTTONUP) {
      label.ClickAt(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
      return 0;
    }
    return TPaintedPeer::Handle(message, wparam, lparam);
  }
};

// The edit and its embedded button: the button is the edit's sibling over its right end (a
// child of an edit is not drawn everywhere), and the edit keeps its text clear of it.
class TEditPeer : public TWin32Peer {
 public:
  TEditPeer(TWin32Backend& backend, TRuxEdit& edit) : TWin32Peer(backend, edit) {
    CreateChild(WC_EDITW, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
    SetWindowTextW(hwnd_, Wide(edit.Text()).c_str());
    MakeButton();
  }
  ~TEditPeer() override {
    if (button_) DestroyWindow(button_);
  }
  void Changed(TAspect aspect) override {
    auto& edit = static_cast<TRuxEdit&>(control_);
    if (!hwnd_) return;
    if (aspect == TAspect::kState) {
      if (!updating_) SetWindowTextW(hwnd_, Wide(edit.Text()).c_str());
      return;
    }
    if (aspect == TAspect::kCaption) {
      MakeButton();
      return;
    }
    TWin32Peer::Changed(aspect);
    if (aspect == TAspect::kBounds || aspect == TAspect::kVisible || aspect == TAspect::kEnabled) {
      MakeButton();
    }
  }
  void OnCommand(WORD code) override {
    if (code != EN_CHANGE || updating_) return;
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(hwnd_, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    updating_ = true;
    static_cast<TRuxEdit&>(control_).SetText(String(text.begin(), text.end()));
    updating_ = false;
  }
  bool OwnsButton(HWND window) const { return window && window == button_; }
  void ButtonClicked() { static_cast<TRuxEdit&>(control_).ButtonClick(); }

 private:
  void MakeButton() {
    auto& edit = static_cast<TRuxEdit&>(control_);
    if (button_) {
      RemovePropW(button_, kPeerProperty);
      DestroyWindow(button_);
      button_ = nullptr;
    }
    if (edit.ButtonCaption().empty()) return;
    const RECT r = DeviceRect();
    const int width = Scale(edit.ButtonWidth());
    DWORD style = WS_CHILD | WS_TABSTOP | BS_PUSHBUTTON;
    if (edit.Visible()) style |= WS_VISIBLE;
    if (!edit.EnabledInTree()) style |= WS_DISABLED;
    button_ =
        CreateWindowExW(0, WC_BUTTONW, Wide(edit.ButtonCaption()).c_str(), style, r.right - width,
                        r.top, width, r.bottom - r.top, ParentHwnd(),
                        reinterpret_cast<HMENU>(NextId()), GetModuleHandleW(nullptr), nullptr);
    SetPropW(button_, kPeerProperty, this);
    SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle()), FALSE);
    SetWindowPos(button_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SendMessageW(hwnd_, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width));
  }

  HWND button_ = nullptr;
  bool updating_ = false;
};

class TMemoPeer : public TWin32Peer {
 public:
  TMemoPeer(TWin32Backend& backend, TRuxMemo& memo) : TWin32Peer(backend, memo) {
    CreateChild(WC_EDITW,
                ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL | (memo.ReadOnly() ? ES_READONLY : 0),
                WS_EX_CLIENTEDGE);
    Changed(TAspect::kState);
  }
  void Changed(TAspect aspect) override {
    if (aspect == TAspect::kState && hwnd_) {
      auto& memo = static_cast<TRuxMemo&>(control_);
      SendMessageW(hwnd_, EM_SETREADONLY, memo.ReadOnly(), 0);
      SetWindowTextW(hwnd_, Wide(memo.Text()).c_str());
      return;
    }
    TWin32Peer::Changed(aspect);
  }
  HBRUSH OnCtlColor(HDC dc) override {
    SetTextColor(dc, Ref(Theme().Text));
    SetBkColor(dc, Ref(Theme().Window));
    return BrushOf(Theme().Window);
  }
};

class TRichViewerPeer : public TWin32Peer {
 public:
  TRichViewerPeer(TWin32Backend& backend, TRuxRichViewer& viewer) : TWin32Peer(backend, viewer) {
    CreateChild(MSFTEDIT_CLASS,
                ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | ES_DISABLENOSCROLL,
                WS_EX_CLIENTEDGE);
    SendMessageW(hwnd_, EM_SETEVENTMASK, 0, 0x042C0001);
    SendMessageW(hwnd_, EM_AUTOURLDETECT, TRUE, 0);
    SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    Load();
  }
  void Changed(TAspect aspect) override {
    if (!hwnd_) return;
    if (aspect == TAspect::kContent) {
      Load();
    } else if (aspect == TAspect::kState) {
      ApplyZoom();
    } else if (aspect == TAspect::kColors) {
      ApplyColors();
    } else {
      TWin32Peer::Changed(aspect);
    }
  }
  // A read-only document has no use for Tab: the rich edit control would keep it, and a
  // keyboard user could never leave the license for the accept box and the buttons.
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override {
    LRESULT result = TWin32Peer::Handle(message, wparam, lparam);
    if (message != WM_GETDLGCODE) return result;
    result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    const auto* key = reinterpret_cast<const MSG*>(lparam);
    if (key && key->message == WM_KEYDOWN && key->wParam == VK_TAB) {
      result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
    }
    return result;
  }
  LRESULT OnNotify(NMHDR* header) override {
    if (header->code != EN_LINK) return 0;
    auto* link = reinterpret_cast<ENLINK*>(header);
    if (link->msg != WM_LBUTTONUP || link->chrg.cpMax <= link->chrg.cpMin) return 0;
    std::wstring text(static_cast<size_t>(link->chrg.cpMax - link->chrg.cpMin) + 1, L'\0');
    TEXTRANGEW range{link->chrg, text.data()};
    const LRESULT copied =
        SendMessageW(hwnd_, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    text.resize(static_cast<size_t>(copied));
    static_cast<TRuxRichViewer&>(control_).LinkClicked(String(text.begin(), text.end()));
    return 1;
  }

 private:
  struct TReader {
    const Bytes* bytes;
    size_t at;
  };
  static DWORD CALLBACK Read(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* read) {
    auto* reader = reinterpret_cast<TReader*>(cookie);
    const size_t count = std::min(static_cast<size_t>(wanted), reader->bytes->size() - reader->at);
    std::copy_n(reader->bytes->data() + reader->at, count, buffer);
    reader->at += count;
    *read = static_cast<LONG>(count);
    return 0;
  }
  void Load() {
    auto& viewer = static_cast<TRuxRichViewer&>(control_);
    if (viewer.IsRtf()) {
      TReader reader{&viewer.Rtf(), 0};
      EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&reader), 0, &Read};
      SendMessageW(hwnd_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    } else {
      SetWindowTextW(hwnd_, Wide(viewer.PlainText()).c_str());
    }
    ApplyColors();
  }
  void ApplyColors() {
    SendMessageW(hwnd_, EM_SETBKGNDCOLOR, 0, Ref(Theme().Window));
    // Every run takes the theme's text colour: a document written for a white page would be
    // unreadable on the dark one.
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_COLOR;
    format.crTextColor = Ref(control_.EnabledInTree() ? Theme().Text : Theme().Text);
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    ApplyZoom();
  }
  void ApplyZoom() {
    auto& viewer = static_cast<TRuxRichViewer&>(control_);
    SendMessageW(hwnd_, EM_SETZOOM, static_cast<WPARAM>(viewer.ZoomNumerator()),
                 TRuxRichViewer::kZoomDenominator);
  }
};

// The drop-down list of the language dialog: owner-drawn items with their icons.
class TComboPeer : public TWin32Peer {
 public:
  TComboPeer(TWin32Backend& backend, TRuxComboBox& combo) : TWin32Peer(backend, combo) {
    CreateChild(WC_COMBOBOXW, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS | WS_VSCROLL);
    Fill();
  }
  void Changed(TAspect aspect) override {
    if (!hwnd_) return;
    if (aspect == TAspect::kContent) {
      Fill();
    } else if (aspect == TAspect::kState) {
      SendMessageW(hwnd_, CB_SETCURSEL,
                   static_cast<WPARAM>(static_cast<TRuxComboBox&>(control_).ItemIndex()), 0);
    } else {
      TWin32Peer::Changed(aspect);
    }
  }
  void OnCommand(WORD code) override {
    if (code == CBN_SELCHANGE) {
      static_cast<TRuxComboBox&>(control_).Choose(
          static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)));
    }
  }
  void OnMeasureItem(MEASUREITEMSTRUCT* item) override {
    item->itemHeight = static_cast<UINT>(Scale(18));
  }
  void OnDrawItem(DRAWITEMSTRUCT* item) override {
    const TRuxTheme& theme = Theme();
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    ::FillRect(item->hDC, &item->rcItem, BrushOf(selected ? theme.Accent : theme.Window));
    const auto& items = static_cast<TRuxComboBox&>(control_).Items();
    if (item->itemID >= items.size()) return;
    const TComboItem& entry = items[item->itemID];
    TGdiCanvas canvas(backend_, item->hDC, Dpi());
    const int icon = Scale(16);
    const int top = item->rcItem.top + (item->rcItem.bottom - item->rcItem.top - icon) / 2;
    canvas.DrawPicture({item->rcItem.left + Scale(3), top, icon, icon}, entry.Picture, false);
    TTextFormat format;
    format.Vertical = TVertAlign::vaCenter;
    canvas.DrawText(TRect::FromEdges(item->rcItem.left + Scale(24), item->rcItem.top,
                                     item->rcItem.right, item->rcItem.bottom),
                    entry.Text, control_.Font(), selected ? theme.AccentText : theme.Text, format);
    if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
  }

 private:
  void Fill() {
    auto& combo = static_cast<TRuxComboBox&>(control_);
    SendMessageW(hwnd_, CB_RESETCONTENT, 0, 0);
    for (const TComboItem& entry : combo.Items())
      SendMessageW(hwnd_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(entry.Text).c_str()));
    SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(combo.ItemIndex()), 0);
  }
};

// Forms and pages: windows of our own classes that paint through the canvas and route their
// children's notifications to the children's peers.
class TContainerPeer : public TWin32Peer {
 public:
  using TWin32Peer::TWin32Peer;

 protected:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      SetPropW(window, kPeerProperty, create->lpCreateParams);
    }
    auto* peer = dynamic_cast<TContainerPeer*>(PeerOf(window));
    if (!peer) return DefWindowProcW(window, message, wparam, lparam);
    LRESULT result = 0;
    if (!peer->backend_.Guard([&] { result = peer->Container(window, message, wparam, lparam); })) {
      return DefWindowProcW(window, message, wparam, lparam);
    }
    return result;
  }

  virtual LRESULT Container(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right),
                                                std::max<LONG>(1, client.bottom));
        HGDIOBJ old = SelectObject(memory, bitmap);
        TGdiCanvas canvas(backend_, memory, Dpi());
        control_.Paint(canvas);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        EndPaint(window, &ps);
        return 0;
      }
      case WM_PRINTCLIENT: {
        TGdiCanvas canvas(backend_, reinterpret_cast<HDC>(wparam), Dpi());
        control_.Paint(canvas);
        return 0;
      }
      case WM_COMMAND: {
        const HWND child = reinterpret_cast<HWND>(lparam);
        if (TWin32Peer* peer = child ? PeerOf(child) : nullptr) {
          if (auto* edit = dynamic_cast<TEditPeer*>(peer); edit && edit->OwnsButton(child)) {
            if (HIWORD(wparam) == BN_CLICKED) edit->ButtonClicked();
          } else {
            peer->OnCommand(HIWORD(wparam));
          }
          return 0;
        }
        return Command(LOWORD(wparam));
      }
      case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lparam);
        if (TWin32Peer* peer = PeerOf(header->hwndFrom)) return peer->OnNotify(header);
        break;
      }
      case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
        if (TWin32Peer* peer = PeerOf(item->hwndItem)) peer->OnDrawItem(item);
        return TRUE;
      }
      case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
        for (TRuxCustomControl* child : control_.Children()) {
          auto* peer = dynamic_cast<TWin32Peer*>(child->Peer());
          if (peer && GetDlgCtrlID(peer->Hwnd()) == static_cast<int>(item->CtlID)) {
            peer->OnMeasureItem(item);
            return TRUE;
          }
        }
        item->itemHeight = static_cast<UINT>(Scale(18));
        return TRUE;
      }
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORLISTBOX: {
        if (TWin32Peer* peer = PeerOf(reinterpret_cast<HWND>(lparam))) {
          return reinterpret_cast<LRESULT>(peer->OnCtlColor(reinterpret_cast<HDC>(wparam)));
        }
        // The list of a combo box belongs to it.
        const TRuxTheme& theme = control_.Form()->Application().Theme();
        SetTextColor(reinterpret_cast<HDC>(wparam), Ref(theme.Text));
        SetBkColor(reinterpret_cast<HDC>(wparam), Ref(theme.Window));
        return reinterpret_cast<LRESULT>(BrushOf(theme.Window));
      }
      default:
        break;
    }
    return DefWindowProcW(window, message, wparam, lparam);
  }

  // A command without a control: the dialog manager's Enter and Escape.
  virtual LRESULT Command(WORD) { return 0; }

  static void RegisterClass(const wchar_t* name) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
  }
};

class TPanelPeer : public TContainerPeer {
 public:
  TPanelPeer(TWin32Backend& backend, TRuxCustomControl& panel) : TContainerPeer(backend, panel) {
    RegisterClass(kPanelClass);
    const RECT r = DeviceRect();
    DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    if (panel.Visible()) style |= WS_VISIBLE;
    hwnd_ = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, Wide(panel.AccessibleName()).c_str(),
                            style, r.left, r.top, r.right - r.left, r.bottom - r.top, ParentHwnd(),
                            nullptr, GetModuleHandleW(nullptr), static_cast<TWin32Peer*>(this));
    // Pages come first in the keyboard's order, before the wizard's buttons.
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  void Changed(TAspect aspect) override {
    if (aspect == TAspect::kAccessibility && hwnd_) {
      SetWindowTextW(hwnd_, Wide(control_.AccessibleName()).c_str());
      return;
    }
    TContainerPeer::Changed(aspect);
  }
};

// Reads a DWORD of the user's registry; `fallback` when it is missing.
DWORD UserDword(const wchar_t* key, const wchar_t* name, DWORD fallback) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
      ERROR_SUCCESS) {
    return fallback;
  }
  return value;
}

class TFormPeer : public TContainerPeer {
 public:
  TFormPeer(TWin32Backend& backend, TRuxForm& form) : TContainerPeer(backend, form) {
    const std::wstring class_name = L"T" + Wide(form.Name());
    RegisterClass(class_name.c_str());
    DWORD style = WS_CAPTION | WS_CLIPCHILDREN | (form.HasSystemMenu() ? WS_SYSMENU : 0);
    DWORD ex_style = WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME |
                     (form.StayOnTop() ? WS_EX_TOPMOST : 0) |
                     (form.OwnerForm() ? 0 : WS_EX_APPWINDOW);
    HWND owner = nullptr;
    if (form.OwnerForm()) {
      if (auto* peer = dynamic_cast<TWin32Peer*>(form.OwnerForm()->Peer())) owner = peer->Hwnd();
    }
    hwnd_ = CreateWindowExW(ex_style, class_name.c_str(), Wide(form.Caption()).c_str(), style,
                            CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner, nullptr,
                            GetModuleHandleW(nullptr), static_cast<TWin32Peer*>(this));
    backend_.RegisterForm(hwnd_, &form);
    // The DPI of the monitor the window opens on; every control is laid out for it.
    form.SetDpi(WindowDpi());
    ApplyDarkTitleBar();
    Resize(/*center=*/true);
    ApplySystemMenu();
  }
  ~TFormPeer() override {
    backend_.UnregisterForm(hwnd_);
    // Activation goes back to the owner before this window goes.
    if (HWND owner = GetWindow(hwnd_, GW_OWNER)) SetActiveWindow(owner);
  }
  void Changed(TAspect aspect) override {
    if (!hwnd_) return;
    switch (aspect) {
      case TAspect::kBounds:
        Resize(false);
        break;
      case TAspect::kVisible:
        ShowWindow(hwnd_, control_.Visible() ? SW_SHOW : SW_HIDE);
        if (control_.Visible()) {
          SetForegroundWindow(hwnd_);
          if (TRuxAeroPeek* peek = backend_.AeroPeekOf(&Form())) peek->Refresh();
        } else if (Form().Closed()) {
          // The loop of this form waits in GetMessage: a posted message lets it see the end.
          PostMessageW(hwnd_, WM_NULL, 0, 0);
        }
        break;
      case TAspect::kState:
        ApplySystemMenu();
        break;
      case TAspect::kColors:
        ApplyDarkTitleBar();
        Invalidate();
        break;
      default:
        TContainerPeer::Changed(aspect);
        break;
    }
  }

 protected:
  LRESULT Container(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_CLOSE:
        Form().Close();
        return 0;
      case WM_SYSCOMMAND:
        if ((wparam & 0xFFF0) == SC_CLOSE && !Form().SystemCloseEnabled()) return 0;
        break;
      case DM_GETDEFID:
        if (TRuxButton* button = Form().DefaultButton()) {
          if (auto* peer = dynamic_cast<TWin32Peer*>(button->Peer())) {
            return MAKELRESULT(GetDlgCtrlID(peer->Hwnd()), DC_HASDEFID);
          }
        }
        return 0;
      case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lparam);
        Form().SetDpi(HIWORD(wparam));
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        Resize(false);
        return 0;
      }
      case WM_SETTINGCHANGE:
      case WM_SYSCOLORCHANGE:
      case WM_THEMECHANGED:
        Form().Application().ColorSchemeChanged();
        break;
      default:
        if (message == backend_.TaskbarButtonCreated() && message != 0) {
          if (TRuxAeroPeek* peek = backend_.AeroPeekOf(&Form())) peek->Refresh();
          return 0;
        }
        break;
    }
    return TContainerPeer::Container(window, message, wparam, lparam);
  }
  LRESULT Command(WORD id) override {
    if (id == IDCANCEL) {
      Form().EscapePressed();
    } else if (id == IDOK) {
      Form().EnterPressed();
    }
    return 0;
  }

 private:
  TRuxForm& Form() const { return static_cast<TRuxForm&>(control_); }

  int WindowDpi() const {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (get_dpi) {
      if (const UINT dpi = get_dpi(hwnd_)) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
  }

  void Resize(bool center) {
    const TRect client = control_.DeviceBounds();
    RECT frame{0, 0, client.Width, client.Height};
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = reinterpret_cast<AdjustFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
    if (!adjust || !adjust(&frame, style, FALSE, ex_style, static_cast<UINT>(Dpi()))) {
      AdjustWindowRectEx(&frame, style, FALSE, ex_style);
    }
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    int x = 0;
    int y = 0;
    if (center) {
      RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
      HWND owner = GetWindow(hwnd_, GW_OWNER);
      if (owner && IsWindowVisible(owner)) {
        GetWindowRect(owner, &area);
      } else {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &info)) {
          area = info.rcWork;
        }
      }
      x = area.left + (area.right - area.left - width) / 2;
      y = area.top + (area.bottom - area.top - height) / 2;
    } else {
      flags |= SWP_NOMOVE;
    }
    SetWindowPos(hwnd_, nullptr, x, y, width, height, flags);
  }

  void ApplySystemMenu() {
    if (HMENU menu = GetSystemMenu(hwnd_, FALSE)) {
      EnableMenuItem(menu, SC_CLOSE,
                     MF_BYCOMMAND | (Form().SystemCloseEnabled() ? MF_ENABLED : MF_GRAYED));
    }
  }

  void ApplyDarkTitleBar() {
    // Where the system offers it (Windows 10 1809 and later): attribute 20, earlier 19.
    const BOOL dark = Form().DarkMode() && !Form().Application().HighContrast();
    if (FAILED(DwmSetWindowAttribute(hwnd_, 20, &dark, sizeof dark))) {
      DwmSetWindowAttribute(hwnd_, 19, &dark, sizeof dark);
    }
  }
};

}  // namespace

std::unique_ptr<IControlPeer> MakeWin32Peer(TWin32Backend& backend, TRuxCustomControl& control) {
  switch (control.Kind()) {
    case TControlKind::kForm:
      return std::make_unique<TFormPeer>(backend, static_cast<TRuxForm&>(control));
    case TControlKind::kButton:
      return std::make_unique<TButtonPeer>(backend, static_cast<TRuxButton&>(control));
    case TControlKind::kCheckBox:
      return std::make_unique<TCheckPeer>(backend, static_cast<TRuxCheckBox&>(control), false);
    case TControlKind::kRadioBox:
      return std::make_unique<TCheckPeer>(backend, static_cast<TRuxCheckBox&>(control), true);
    case TControlKind::kLabel:
      if (auto* warning = dynamic_cast<TRuxValidationLabel*>(&control)) {
        return std::make_unique<TValidationPeer>(backend, *warning);
      }
      return std::make_unique<TLabelPeer>(backend, static_cast<TRuxLabel&>(control));
    case TControlKind::kEdit:
      return std::make_unique<TEditPeer>(backend, static_cast<TRuxEdit&>(control));
    case TControlKind::kProgressBar:
      return std::make_unique<TProgressPeer>(backend, static_cast<TRuxProgressBar&>(control));
    case TControlKind::kMemo:
      return std::make_unique<TMemoPeer>(backend, static_cast<TRuxMemo&>(control));
    case TControlKind::kRichViewer:
      return std::make_unique<TRichViewerPeer>(backend, static_cast<TRuxRichViewer&>(control));
    case TControlKind::kComboBox:
      return std::make_unique<TComboPeer>(backend, static_cast<TRuxComboBox&>(control));
    case TControlKind::kFormattedLabel:
      return std::make_unique<TFormattedLabelPeer>(backend,
                                                   static_cast<TRuxFormattedLabel&>(control));
    case TControlKind::kPanel:
      return std::make_unique<TPanelPeer>(backend, control);
  }
  return nullptr;
}

DWORD Win32UserDword(const wchar_t* key, const wchar_t* name, DWORD fallback) {
  return UserDword(key, name, fallback);
}

}  // namespace nolu::ui
