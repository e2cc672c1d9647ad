#include "ui/win32/win32_accessible.h"

// The accessibility headers build on <windows.h>.
#include <oleacc.h>

#include <atomic>

namespace nolu::ui {
namespace {

// IID_IAccessible, spelled out: MinGW's oleacc import library and libuuid both define the
// symbol, and the link refuses the second definition.
constexpr GUID kIidAccessible{
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// Hands every question to the standard object but the role and the state of the control
// itself.
class TAccessibleProxy final : public IAccessible {
 public:
  TAccessibleProxy(IAccessible* inner, HWND window, long role, bool checkable)
      : inner_(inner), window_(window), role_(role), checkable_(checkable) {}

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    // Other interfaces of the standard object (IEnumVARIANT, IOleWindow) are its own.
    return inner_->QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      inner_->Release();
      delete this;
    }
    return left;
  }

  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return inner_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                                          DISPID* ids) override {
    return inner_->GetIDsOfNames(iid, names, count, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* error) override {
    return inner_->Invoke(id, iid, lcid, flags, params, result, exception, error);
  }

  // IAccessible: the two answers of our own
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!IsSelf(child) || !role) return inner_->get_accRole(child, role);
    role->vt = VT_I4;
    role->lVal = role_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    const HRESULT hr = inner_->get_accState(child, state);
    if (!IsSelf(child) || !checkable_ || FAILED(hr) || state->vt != VT_I4) return hr;
    state->lVal &= ~static_cast<long>(STATE_SYSTEM_CHECKED);
    if (SendMessageW(window_, BM_GETCHECK, 0, 0) == BST_CHECKED) {
      state->lVal |= STATE_SYSTEM_CHECKED;
    }
    return hr;
  }

  // IAccessible: the standard object's
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return inner_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    return inner_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** result) override {
    return inner_->get_accChild(child, result);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return inner_->get_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return inner_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
    return inner_->get_accDescription(child, text);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return inner_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    return inner_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return inner_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return inner_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return inner_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return inner_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return inner_->accSelect(flags, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                        VARIANT child) override {
    return inner_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    return inner_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
    return inner_->accHitTest(left, top, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return inner_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return inner_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return inner_->put_accValue(child, value);
  }

 private:
  ~TAccessibleProxy() = default;

  std::atomic<ULONG> references_{1};
  IAccessible* inner_;
  HWND window_;
  long role_;
  bool checkable_;
};

}  // namespace

long AccessibleRoleNumber(TAccessibleRole role) {
  switch (role) {
    case TAccessibleRole::arWindow:
      return ROLE_SYSTEM_WINDOW;
    case TAccessibleRole::arPushButton:
      return ROLE_SYSTEM_PUSHBUTTON;
    case TAccessibleRole::arCheckBox:
      return ROLE_SYSTEM_CHECKBUTTON;
    case TAccessibleRole::arRadioButton:
      return ROLE_SYSTEM_RADIOBUTTON;
    case TAccessibleRole::arStaticText:
      return ROLE_SYSTEM_STATICTEXT;
    case TAccessibleRole::arLink:
      return ROLE_SYSTEM_LINK;
    case TAccessibleRole::arEditableText:
      return ROLE_SYSTEM_TEXT;
    case TAccessibleRole::arProgressBar:
      return ROLE_SYSTEM_PROGRESSBAR;
    case TAccessibleRole::arDocument:
      return ROLE_SYSTEM_DOCUMENT;
    case TAccessibleRole::arComboBox:
      return ROLE_SYSTEM_COMBOBOX;
    case TAccessibleRole::arDialog:
      return ROLE_SYSTEM_DIALOG;
    default:
      return ROLE_SYSTEM_PANE;
  }
}

LRESULT AnswerAccessibleObject(HWND window, WPARAM wparam, LPARAM lparam, TAccessibleRole role,
                               bool checkable) {
  if (static_cast<LONG>(lparam) != static_cast<LONG>(OBJID_CLIENT)) return 0;
  IAccessible* standard = nullptr;
  if (FAILED(CreateStdAccessibleObject(window, static_cast<LONG>(OBJID_CLIENT), kIidAccessible,
                                       reinterpret_cast<void**>(&standard))) ||
      !standard) {
    return 0;
  }
  auto* proxy = new TAccessibleProxy(standard, window, AccessibleRoleNumber(role), checkable);
  const LRESULT answer = LresultFromObject(kIidAccessible, wparam, proxy);
  proxy->Release();  // the answer holds its own reference
  return answer;
}

}  // namespace nolu::ui
