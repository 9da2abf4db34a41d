#include "accessibility_win.h"

#include "access_key.h"
#include "win_text.h"

#include <commctrl.h>
#include <oleacc.h>

#include <new>
#include <vector>

namespace kestrel {

void StartKeyboardCues(HWND window) {
    BOOL always = FALSE;  // "Underline access keys" in Windows' keyboard settings
    if (!SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0)) always = FALSE;
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(always ? UIS_CLEAR : UIS_SET, UISF_HIDEACCEL), 0);
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void FollowKeyboardCues(HWND window, const MSG& msg) {
    const bool alt = msg.message == WM_SYSKEYDOWN && (msg.wParam == VK_MENU || (HIWORD(msg.lParam) & KF_ALTDOWN));
    if (alt && (SendMessageW(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL))
        SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
}

namespace {

bool IsPushButton(HWND control) {
    return (SendMessageW(control, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

}  // namespace

HWND DefaultButton(HWND window, HWND fallback) {
    HWND focus = GetFocus();
    return focus && GetParent(focus) == window && IsPushButton(focus) ? focus : fallback;
}

void ShowDefaultButton(HWND window, HWND button) {
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const LRESULT code = SendMessageW(c, WM_GETDLGCODE, 0, 0);
        if (c != button && (code & DLGC_DEFPUSHBUTTON)) SendMessageW(c, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        if (c == button && (code & DLGC_UNDEFPUSHBUTTON)) SendMessageW(c, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    }
}

bool HighContrast() noexcept {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof setting;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof setting, &setting, 0) &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

namespace {

// MinGW's oleacc import library names IID_IAccessible as a symbol of oleacc.dll, not the GUID
// itself: the interface's own declaration is the one to trust.
const IID kIidAccessible = __uuidof(IAccessible);

constexpr UINT_PTR kSubclassId = 0x4B455354;  // "KEST"
constexpr wchar_t kExposedProperty[] = L"Kestrelby.Exposed";  // the control's Exposed, while it lives

struct Exposed {
    LONG role;
    std::wstring description;
};

LRESULT CALLBACK ExposedProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) noexcept;

Exposed* ExposedOf(HWND control) { return static_cast<Exposed*>(GetPropW(control, kExposedProperty)); }

bool Self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

BSTR Allocate(const std::wstring& text) { return SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

std::wstring WindowText(HWND control) {
    std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1);
    const int n = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    return std::wstring(text.data(), static_cast<std::size_t>(n > 0 ? n : 0));
}

// Windows' own accessible object for the control, with the role, name, keyboard shortcut,
// state and description that the control has for a person. (COM interfaces have no virtual
// destructor by design: the object deletes itself in Release.)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ControlObject final : public IAccessible, public IOleWindow {
public:
    ControlObject(HWND control, LONG role, IAccessible* standard) noexcept
        : control_(control), role_(role), standard_(standard) {
        standard_->AddRef();
    }
    ControlObject(const ControlObject&) = delete;
    ControlObject& operator=(const ControlObject&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible)
            *out = static_cast<IAccessible*>(this);
        else if (iid == IID_IOleWindow)
            *out = static_cast<IOleWindow*>(this);
        else if (iid == IID_IEnumVARIANT)  // the window's children, as Windows enumerates them
            return standard_->QueryInterface(iid, out);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() noexcept override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch: as Windows' own object answers it
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) noexcept override { return standard_->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) noexcept override {
        return standard_->GetTypeInfo(i, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT n, LCID lcid,
                                            DISPID* ids) noexcept override {
        return standard_->GetIDsOfNames(iid, names, n, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argument) noexcept override {
        return standard_->Invoke(id, iid, lcid, flags, params, result, exception, argument);
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) noexcept override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* n) noexcept override { return standard_->get_accChildCount(n); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) noexcept override {
        return standard_->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) noexcept override {
        if (!Self(child)) return standard_->get_accName(child, name);
        if (!name) return E_POINTER;
        *name = nullptr;
        if (!IsWindow(control_)) return E_FAIL;
        try {
            const std::wstring drawn = Utf8ToWide(WithoutAccessKeyMark(WideToUtf8(WindowText(control_))));
            if (drawn.empty()) return S_FALSE;
            *name = Allocate(drawn);
            return *name ? S_OK : E_OUTOFMEMORY;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) noexcept override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) noexcept override {
        const Exposed* exposed = Self(child) ? ExposedOf(control_) : nullptr;
        if (!exposed || exposed->description.empty()) return standard_->get_accDescription(child, description);
        if (!description) return E_POINTER;
        *description = Allocate(exposed->description);
        return *description ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) noexcept override {
        if (!Self(child)) return standard_->get_accRole(child, role);
        if (!role) return E_POINTER;
        role->vt = VT_I4;
        role->lVal = role_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) noexcept override {
        const HRESULT hr = standard_->get_accState(child, state);
        if (FAILED(hr) || !Self(child) || state->vt != VT_I4) return hr;
        LONG& s = state->lVal;
        switch (role_) {
        case ROLE_SYSTEM_CHECKBUTTON:
            if (SendMessageW(control_, BM_GETCHECK, 0, 0) == BST_CHECKED) s |= STATE_SYSTEM_CHECKED;
            break;
        case ROLE_SYSTEM_PUSHBUTTON:
            if (SendMessageW(control_, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) s |= STATE_SYSTEM_DEFAULT;
            break;
        case ROLE_SYSTEM_LINK: s |= STATE_SYSTEM_LINKED; break;
        case ROLE_SYSTEM_STATICTEXT:
        case ROLE_SYSTEM_GROUPING:
            s = (s & ~(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED)) | STATE_SYSTEM_READONLY;
            break;
        default: break;
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) noexcept override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) noexcept override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) noexcept override {
        if (!Self(child)) return standard_->get_accKeyboardShortcut(child, shortcut);
        if (!shortcut) return E_POINTER;
        *shortcut = nullptr;
        if (!IsWindow(control_)) return E_FAIL;
        try {
            std::wstring key = Utf8ToWide(AccessKeyOf(WideToUtf8(WindowText(control_))));
            if (key.empty()) return S_FALSE;
            CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
            *shortcut = Allocate(L"Alt+" + key);
            return *shortcut ? S_OK : E_OUTOFMEMORY;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) noexcept override { return standard_->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) noexcept override {
        return standard_->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) noexcept override {
        return standard_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) noexcept override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) noexcept override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) noexcept override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) noexcept override {
        return standard_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) noexcept override {
        return standard_->accDoDefaultAction(child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) noexcept override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) noexcept override {
        return standard_->put_accValue(child, value);
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override {
        if (!window) return E_POINTER;
        *window = control_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }

private:
    ~ControlObject() { standard_->Release(); }

    LONG refs_ = 1;
    HWND control_;
    LONG role_;
    IAccessible* standard_;
};
#pragma GCC diagnostic pop

LRESULT CALLBACK ExposedProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) noexcept {
    auto* exposed = reinterpret_cast<Exposed*>(data);
    switch (message) {
    case WM_GETOBJECT:
        if (static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) {
            IAccessible* standard = nullptr;
            if (SUCCEEDED(CreateStdAccessibleObject(control, OBJID_CLIENT, kIidAccessible,
                                                    reinterpret_cast<void**>(&standard)))) {
                auto* object = new (std::nothrow) ControlObject(control, exposed->role, standard);
                standard->Release();
                if (object) {
                    const LRESULT result = LresultFromObject(kIidAccessible, wParam, static_cast<IAccessible*>(object));
                    object->Release();
                    return result;
                }
            }
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(control, &ExposedProcedure, kSubclassId);
        RemovePropW(control, kExposedProperty);
        delete exposed;
        break;
    default: break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void ExposeToScreenReaders(HWND control, LONG role) noexcept {
    auto* exposed = new (std::nothrow) Exposed{role, {}};
    if (!exposed) return;
    if (!SetPropW(control, kExposedProperty, exposed)) {
        delete exposed;
        return;
    }
    if (!SetWindowSubclass(control, &ExposedProcedure, kSubclassId, reinterpret_cast<DWORD_PTR>(exposed))) {
        RemovePropW(control, kExposedProperty);
        delete exposed;
    }
}

void DescribeToScreenReaders(HWND control, const std::wstring& description) noexcept {
    Exposed* exposed = ExposedOf(control);
    if (!exposed) return;
    try {
        exposed->description = description;
    } catch (...) {
    }
}

}  // namespace kestrel
