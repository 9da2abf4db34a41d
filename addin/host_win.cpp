#include "host_win.h"

#include "error.h"
#include "win_text.h"

#include <string>

namespace pellwyn {
namespace {

std::string MemberText(const wchar_t* name) { return kestrel::WideToUtf8(name); }

// An argument that holds a text it does not own: never cleared.
VARIANT BorrowedText(BSTR text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text;
    return v;
}

struct Refusal {
    HRESULT code;
    std::string description;  // empty when the host gave none that reads as text
};

// What a failed call on the host says: the host's own code (from its EXCEPINFO, filled in
// first when the host defers it) and description. The host's strings are freed here.
Refusal ReadRefusal(HRESULT hr, EXCEPINFO& info) {
    Refusal r{hr, {}};
    if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    // Ours to free whatever the host left in them, also when a conversion below throws.
    const UniqueBstr source(info.bstrSource), text(info.bstrDescription), helpFile(info.bstrHelpFile);
    if (hr == DISP_E_EXCEPTION) {
        if (FAILED(info.scode))
            r.code = info.scode;
        else if (info.wCode)
            r.code = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, info.wCode);
        if (text) {
            try {
                r.description = kestrel::WideToUtf8(text.get());
            } catch (const kestrel::Error&) {
                // not UTF-16: the host's code still says what went wrong
            }
        }
    }
    info = {};
    return r;
}

// The failure of a call on the host, with the host's own code and description when it gave them.
[[noreturn]] void ThrowRefusal(HRESULT hr, EXCEPINFO& info, const wchar_t* member) {
    Refusal r = ReadRefusal(hr, info);
    if (r.description.empty()) r.description = "the host refused " + MemberText(member);
    throw kestrel::Error(static_cast<std::int32_t>(r.code), r.description);
}

}  // namespace

void DispatchHost::Attach(IDispatch* application) {
    application_ = ComPtr<IDispatch>(application);
    for (Member* m : {&name_, &objectType_, &commandBars_, &getPressedMso_, &getLabelMso_, &activeWindow_, &documentMap_,
                      &languageSettings_, &languageId_}) {
        m->id = DISPID_UNKNOWN;
        m->owner.reset();
    }
}

IDispatch& DispatchHost::App() {
    if (!application_) throw kestrel::Error(kObjectNotSet, "the add-in is not connected to Access");
    return *application_.get();
}

// Another object may number its members differently, or lack them: a DISPID is used only on
// the object that gave it (held, so that no other object can take its address meanwhile).
DISPID DispatchHost::Id(IDispatch& object, Member& member) {
    if (member.id != DISPID_UNKNOWN && member.owner.get() == &object) return member.id;
    ComPtr<IDispatch> owner(&object);
    LPOLESTR name = const_cast<LPOLESTR>(member.name);
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object.GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        throw kestrel::Error(static_cast<std::int32_t>(hr), "the host has no member " + MemberText(member.name));
    member.id = id;
    member.owner = std::move(owner);
    return id;
}

HRESULT DispatchHost::Ask(IDispatch& object, Member& member, UniqueVariant& answer, EXCEPINFO& info, VARIANT* args,
                          UINT count) {
    DISPPARAMS params{args, nullptr, count, 0};
    UINT argErr = 0;
    return object.Invoke(Id(object, member), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET | DISPATCH_METHOD,
                         &params, &answer, &info, &argErr);
}

void DispatchHost::Get(IDispatch& object, Member& member, VARTYPE type, UniqueVariant& out, VARIANT* args,
                       UINT count) {
    UniqueVariant raw;
    EXCEPINFO info{};
    const HRESULT hr = Ask(object, member, raw, info, args, count);
    if (FAILED(hr)) ThrowRefusal(hr, info, member.name);
    const HRESULT converted = VariantChangeType(&out, &raw, 0, type);
    if (FAILED(converted))
        throw kestrel::Error(static_cast<std::int32_t>(converted),
                             "the host's " + MemberText(member.name) + " is not of the expected type");
}

ComPtr<IDispatch> DispatchHost::GetObject(IDispatch& object, Member& member) {
    UniqueVariant v;
    Get(object, member, VT_DISPATCH, v);
    if (!v.pdispVal) throw kestrel::Error(kObjectNotSet, "the host's " + MemberText(member.name) + " is Nothing");
    return ComPtr<IDispatch>(v.pdispVal);
}

std::string DispatchHost::Name() {
    UniqueVariant v;
    Get(App(), name_, VT_BSTR, v);
    return v.bstrVal ? kestrel::WideToUtf8(v.bstrVal) : std::string();
}

std::int32_t DispatchHost::CurrentObjectType() {
    UniqueVariant v;
    Get(App(), objectType_, VT_I4, v);
    return v.lVal;
}

bool DispatchHost::Pressed(IDispatch& bars, std::string_view idMso) {
    const UniqueBstr id = MakeBstr(idMso);
    VARIANT arg = BorrowedText(id.get());
    UniqueVariant v;
    Get(bars, getPressedMso_, VT_BOOL, v, &arg, 1);
    return v.boolVal != VARIANT_FALSE;
}

bool DispatchHost::IsPressed(std::string_view idMso) {
    const ComPtr<IDispatch> bars = GetObject(App(), commandBars_);
    return Pressed(*bars.get(), idMso);
}

ViewButtons DispatchHost::PressedViews() {
    const ComPtr<IDispatch> bars = GetObject(App(), commandBars_);
    const bool design = Pressed(*bars.get(), kDesignViewButton);
    return {design, Pressed(*bars.get(), kDatasheetViewButton)};
}

std::optional<bool> DispatchHost::KnowsControl(std::string_view idMso) noexcept {
    try {
        const ComPtr<IDispatch> bars = GetObject(App(), commandBars_);
        const UniqueBstr id = MakeBstr(idMso);
        VARIANT arg = BorrowedText(id.get());
        UniqueVariant label;
        EXCEPINFO info{};
        const HRESULT hr = Ask(*bars.get(), getLabelMso_, label, info, &arg, 1);
        if (SUCCEEDED(hr)) return label.vt == VT_BSTR ? std::optional(true) : std::nullopt;
        // An idMso that Access does not know is an invalid argument, however the call reports it.
        if (ReadRefusal(hr, info).code == E_INVALIDARG) return false;
    } catch (...) {
        // no CommandBars, no GetLabelMso, no memory: this host cannot tell
    }
    return std::nullopt;
}

std::optional<std::int32_t> DispatchHost::LanguageId() noexcept {
    std::optional<std::int32_t> lcid;
    try {
        const ComPtr<IDispatch> settings = GetObject(App(), languageSettings_);
        VARIANT which;
        VariantInit(&which);
        which.vt = VT_I4;
        which.lVal = 2;  // msoLanguageIDUI: the language of Office's user interface
        UniqueVariant answer;
        EXCEPINFO info{};
        const HRESULT hr = Ask(*settings.get(), languageId_, answer, info, &which, 1);
        if (FAILED(hr)) {
            ReadRefusal(hr, info);  // frees what the host left in it
        } else {
            switch (answer.vt) {  // a number of any kind; text, a Boolean or nothing is no answer
            case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_INT: case VT_UINT:
            case VT_I8: case VT_UI8: case VT_R4: case VT_R8: case VT_DECIMAL: {
                UniqueVariant number;
                if (SUCCEEDED(VariantChangeType(&number, &answer, 0, VT_I4))) lcid = number.lVal;
                break;
            }
            default: break;
            }
        }
    } catch (...) {
        // no LanguageSettings, no LanguageID, no memory: this host cannot tell
    }
    // The LanguageSettings object goes now, with the DISPID that would have kept it.
    languageId_.id = DISPID_UNKNOWN;
    languageId_.owner.reset();
    return lcid;
}

bool DispatchHost::DocumentMap() {
    const ComPtr<IDispatch> window = GetObject(App(), activeWindow_);
    UniqueVariant v;
    Get(*window.get(), documentMap_, VT_BOOL, v);
    return v.boolVal != VARIANT_FALSE;
}

void DispatchHost::SetDocumentMap(bool on) {
    const ComPtr<IDispatch> window = GetObject(App(), activeWindow_);
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &put, 1, 1};
    EXCEPINFO info{};
    UINT argErr = 0;
    const HRESULT hr = window->Invoke(Id(*window.get(), documentMap_), IID_NULL, LOCALE_USER_DEFAULT,
                                      DISPATCH_PROPERTYPUT, &params, nullptr, &info, &argErr);
    if (FAILED(hr)) ThrowRefusal(hr, info, documentMap_.name);
}

}  // namespace pellwyn
