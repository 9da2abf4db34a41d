#include "connect_win.h"

#include "about_win.h"
#include "commands.h"
#include "connect_members.h"
#include "dynamic_menus.h"
#include "error.h"
#include "product.h"
#include "ribbon.h"
#include "win_text.h"
#include "window_helpers_win.h"


namespace pellwyn {

// Marks one of our callbacks in progress (the refresh skips its ticks meanwhile) and keeps the
// object alive until the callback is done, even if Access lets go of it in between (a message
// box of ours runs a message loop).
class Connect::Call {
public:
    explicit Call(Connect& c) noexcept : c_(c) {
        c_.AddRef();
        ++c_.busy_;
    }
    ~Call() {
        --c_.busy_;
        c_.Release();
    }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

private:
    Connect& c_;
};

namespace {

// An argument the caller left out: the error value DISP_E_PARAMNOTFOUND, as it is or by reference.
bool MissingArgument(const VARIANT& arg) {
    const VARIANT* v = &arg;
    if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
    if (v->vt == VT_ERROR) return v->scode == DISP_E_PARAMNOTFOUND;
    return v->vt == (VT_ERROR | VT_BYREF) && v->pscode && *v->pscode == DISP_E_PARAMNOTFOUND;
}

// An object argument, seen through any by-reference wrapping. Nothing is an object too.
bool ObjectArgument(const VARIANT& arg, IUnknown*& object) {
    const VARIANT* v = &arg;
    if (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal) v = v->pvarVal;
    switch (v->vt) {
    case VT_DISPATCH: object = v->pdispVal; return true;
    case VT_UNKNOWN: object = v->punkVal; return true;
    case VT_DISPATCH | VT_BYREF: object = v->ppdispVal ? *v->ppdispVal : nullptr; return true;
    case VT_UNKNOWN | VT_BYREF: object = v->ppunkVal ? *v->ppunkVal : nullptr; return true;
    default: return false;
    }
}

void SetText(VARIANT* result, std::string_view utf8) {
    if (!result) return;
    UniqueBstr text = MakeBstr(utf8);
    result->vt = VT_BSTR;
    result->bstrVal = text.release();
}

void SetBoolean(VARIANT* result, bool value) {
    if (!result) return;
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void ShowUninstallBox(const kestrel::Language& language) {
    const std::wstring text = kestrel::Utf8ToWide(UninstallText(language));
    const std::wstring title = kestrel::Utf8ToWide(kestrel::kAddinTitle);
    const UINT flags = MB_OK | kestrel::RightToLeftMessage(language);  // Arabic, Hebrew: read from the right
    if (MessageBoxW(GetActiveWindow(), text.c_str(), title.c_str(), flags) == 0)
        ThrowLastError("the message box cannot be shown");
}

}  // namespace

HRESULT Connect::Create(REFIID riid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    Connect* connect = nullptr;
    try {
        connect = new Connect;
    } catch (...) {
        return CaughtHresult();
    }
    const HRESULT hr = connect->QueryInterface(riid, object);
    connect->Release();
    return hr;
}

HRESULT Connect::QueryInterface(REFIID riid, void** object) noexcept {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == __uuidof(IDTExtensibility2))
        *object = static_cast<IDTExtensibility2*>(this);
    else if (riid == IID_IDispatch || riid == __uuidof(IRibbonExtensibility))
        *object = static_cast<IRibbonExtensibility*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG Connect::AddRef() noexcept { return ++references_; }

ULONG Connect::Release() noexcept {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT Connect::GetTypeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 0;  // no type library: the names are answered by GetIDsOfNames
    return S_OK;
}

HRESULT Connect::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept {
    if (info) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT Connect::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) noexcept {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (count == 0) return S_OK;
    if (!names || !ids) return E_POINTER;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    // The member's name; any further names would be its arguments', which no caller needs.
    HRESULT hr = count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    try {
        const std::optional<DispatchId> id = names[0] ? FindConnectMember(kestrel::WideToUtf8(names[0])) : std::nullopt;
        if (!id) return DISP_E_UNKNOWNNAME;
        ids[0] = *id;
    } catch (...) {
        return DISP_E_UNKNOWNNAME;  // not even text: no name of ours
    }
    return hr;
}

HRESULT Connect::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) noexcept {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    const ConnectMember* member = ConnectMemberById(id);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    if (params->cArgs && !params->rgvarg) return E_INVALIDARG;
    if (result) VariantInit(result);
    Call call(*this);
    try {
        return Dispatch(*member, flags, *params, result, argError);
    } catch (...) {
        // The callback failed: Access gets no value, and the reason through EXCEPINFO.
        if (result) VariantClear(result);
        const Failure failure = CaughtFailure();
        if (exception) {
            *exception = {};
            exception->bstrSource = SysAllocString(L"Kavrel.Connect");
            if (!failure.description.empty()) exception->bstrDescription = SysAllocString(failure.description.c_str());
            exception->scode = failure.code;
        }
        return DISP_E_EXCEPTION;
    }
}

// Checks how the member is called, then runs it. Calling errors come back as HRESULTs;
// a failing callback throws.
HRESULT Connect::Dispatch(const ConnectMember& member, WORD flags, DISPPARAMS& params, VARIANT* result,
                          UINT* argError) {
    auto typeMismatch = [argError] {
        if (argError) *argError = 0;
        return DISP_E_TYPEMISMATCH;
    };

    if (member.action == Action::RibbonProperty) {
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
            if (params.cNamedArgs != 1 || !params.rgdispidNamedArgs || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
                return DISP_E_PARAMNOTFOUND;
            if (MissingArgument(params.rgvarg[0])) return DISP_E_PARAMNOTOPTIONAL;
            IUnknown* object = nullptr;
            if (!ObjectArgument(params.rgvarg[0], object)) return typeMismatch();
            ComPtr<IRibbonUI> ribbon;
            if (object && FAILED(ComPtr<IUnknown>(object).As(ribbon))) return typeMismatch();
            ribbon_ = ribbon;
            return S_OK;
        }
        if (!(flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
        if (params.cNamedArgs) return DISP_E_NONAMEDARGS;
        if (params.cArgs) return DISP_E_BADPARAMCOUNT;
        if (result) {
            result->vt = VT_DISPATCH;
            result->pdispVal = ComPtr<IRibbonUI>(ribbon_).detach();
        }
        return S_OK;
    }

    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (params.cNamedArgs) return DISP_E_NONAMEDARGS;
    if (params.cArgs != (member.argument == Argument::None ? 0u : 1u)) return DISP_E_BADPARAMCOUNT;
    if (params.cArgs && MissingArgument(params.rgvarg[0])) return DISP_E_PARAMNOTOPTIONAL;
    IUnknown* object = nullptr;
    UniqueVariant text;
    if (member.argument == Argument::Object && !ObjectArgument(params.rgvarg[0], object)) return typeMismatch();
    if (member.argument == Argument::Text && FAILED(VariantChangeType(&text, &params.rgvarg[0], 0, VT_BSTR)))
        return typeMismatch();

    switch (member.action) {
    case Action::RibbonLoaded: {
        ComPtr<IRibbonUI> ribbon;
        if (object && FAILED(ComPtr<IUnknown>(object).As(ribbon))) return typeMismatch();
        RibbonLoaded(std::move(ribbon));
        break;
    }
    case Action::GetCustomUi:  // the ribbon's id is not looked at: every ribbon gets the document
    case Action::GetRibbonXml: SetText(result, GetRibbonXml(markup_, host_, settings_)); break;
    case Action::InvalidateRibbon: InvalidateRibbon(); break;
    case Action::Visible: SetBoolean(result, member.visible(host_)); break;
    case Action::Content: SetText(result, GetContent(markup_, host_, member.menu)); break;
    // The add-in's own windows speak Access's language (asked now, if the tab has not asked yet).
    case Action::ShowAbout:
        markup_.language.Learn(host_);
        ShowAboutWindow(markup_.language.language());
        break;
    case Action::Uninstall:
        markup_.language.Learn(host_);
        ShowUninstallBox(markup_.language.language());
        break;
    case Action::Document: ToggleDocumentMap(host_); break;
    case Action::RibbonProperty: break;
    }
    return S_OK;
}

// Keeps the ribbon (Connect's oRibbon, and the refresh's own reference) and starts the refresh.
// Called again, it replaces both; the refresh keeps its rhythm, with the new ribbon's context as
// its baseline. After a disconnection it only keeps them: the refresh starts again with the
// next connection's ribbon.
void Connect::RibbonLoaded(ComPtr<IRibbonUI> ribbon) {
    ribbon_ = ribbon;
    if (disconnected_)
        refresh_.Keep(std::move(ribbon));
    else
        refresh_.Start(std::move(ribbon));
}

void Connect::InvalidateRibbon() {
    if (!ribbon_) throw kestrel::Error(kObjectNotSet, "the ribbon has not loaded yet");
    // Asked again while the ribbon is being invalidated (a host that calls its callbacks before
    // Invalidate returns): the host is asking every callback anew already, so once is enough.
    if (invalidating_ || refresh_.Ticking()) return;
    const ComPtr<IRibbonUI> ribbon = ribbon_;  // stays while its Invalidate runs, even if replaced
    invalidating_ = true;
    const HRESULT hr = ribbon->Invalidate();
    invalidating_ = false;
    if (FAILED(hr)) throw kestrel::Error(static_cast<std::int32_t>(hr), "Access did not invalidate the ribbon");
}

// Both keep the object alive while they run: letting go of an Application or a window may
// call back into a host that then lets go of us.
HRESULT Connect::OnConnection(IDispatch* application, int, IDispatch*, SAFEARRAY**) noexcept try {
    Call call(*this);
    host_.Attach(application);
    markup_.names.Forget();  // a new connection: what Access knows and speaks is asked again
    markup_.language.Forget();
    disconnected_ = false;
    return S_OK;
}
PELLWYN_CATCH_RETURN()

HRESULT Connect::OnDisconnection(int, SAFEARRAY**) noexcept {
    Call call(*this);
    disconnected_ = true;
    refresh_.Stop();  // the ribbon, Application and oRibbon stay until the object goes
    return S_OK;
}

HRESULT Connect::OnAddInsUpdate(SAFEARRAY**) noexcept { return S_OK; }
HRESULT Connect::OnStartupComplete(SAFEARRAY**) noexcept { return S_OK; }
HRESULT Connect::OnBeginShutdown(SAFEARRAY**) noexcept { return S_OK; }

HRESULT Connect::GetCustomUI(BSTR, BSTR* ribbonXml) noexcept try {
    if (!ribbonXml) return E_POINTER;
    *ribbonXml = nullptr;
    Call call(*this);
    *ribbonXml = MakeBstr(GetRibbonXml(markup_, host_, settings_)).release();
    return S_OK;
}
PELLWYN_CATCH_RETURN()

}  // namespace pellwyn
