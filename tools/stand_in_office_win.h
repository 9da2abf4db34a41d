// Access's side of COM, played by a stand-in: a hand-written Application with the members the
// add-in asks for, and the ribbon objects Access hands to callbacks. Every object counts its
// references (its owner holds the first one) and never deletes itself, so the owner can see
// what the add-in kept. The add-in's tests and the Classic-tab preview both use them.
#pragma once

#include "control_list.h"
#include "office_win.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace pellwyn::standin {

// IUnknown with a visible count, for any interface I derived from IDispatch, and an IDispatch
// that knows no names.
template <class I>
class Counted : public I {
public:
    virtual ~Counted() = default;
    ULONG refs() const { return refs_; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == __uuidof(I)) {
            *object = static_cast<I*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }

protected:
    ULONG refs_ = 1;
};

// An IDispatch that answers named members through handlers, and records how it was asked.
class NamedDispatch : public Counted<IDispatch> {
public:
    using Handler = std::function<HRESULT(WORD flags, DISPPARAMS& params, VARIANT* result, EXCEPINFO* info)>;

    // A new member, or a new handler for one already there (which keeps its DISPID).
    void Member(const std::wstring& name, Handler handler) {
        for (auto& [known, h] : members_)
            if (known == name) {
                h = std::move(handler);
                return;
            }
        members_.push_back({name, std::move(handler)});
    }

    std::map<std::wstring, int> lookups;                 // GetIDsOfNames, per name asked
    std::set<std::wstring> missing;                      // names GetIDsOfNames does not know
    std::vector<std::pair<std::wstring, WORD>> invokes;  // member and flags, in order

    int Invokes(const std::wstring& name) const {
        int n = 0;
        for (const auto& [member, flags] : invokes) n += member == name;
        return n;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        ++lookups[names[0]];
        if (missing.count(names[0])) {
            ids[0] = DISPID_UNKNOWN;
            return DISP_E_UNKNOWNNAME;
        }
        for (std::size_t i = 0; i < members_.size(); ++i)
            if (_wcsicmp(members_[i].first.c_str(), names[0]) == 0) {
                ids[0] = static_cast<DISPID>(100 + i);
                return S_OK;
            }
        ids[0] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override {
        const std::size_t i = static_cast<std::size_t>(id - 100);
        if (id < 100 || i >= members_.size()) return DISP_E_MEMBERNOTFOUND;
        invokes.push_back({members_[i].first, flags});
        return members_[i].second(flags, *params, result, info);
    }

private:
    std::vector<std::pair<std::wstring, Handler>> members_;
};

// Access's Application as far as the add-in uses it. With `withWindow` it also has an
// ActiveWindow with a DocumentMap (which Access itself lacks).
class StandInApplication : public NamedDispatch {
public:
    explicit StandInApplication(bool withWindow = false);
    ~StandInApplication() override {
        VariantClear(&objectType);
        VariantClear(&languageId);
    }

    std::wstring name = L"Microsoft Office Access";
    VARIANT objectType;          // what CurrentObjectType answers (VT_I4 unless a test says otherwise)
    ControlList controls;        // the names CommandBars.GetLabelMso knows (by default every name)
    bool refuseLabelDirectly = false;  // an unknown name: E_INVALIDARG itself, not through EXCEPINFO
    std::map<std::wstring, int> labelQuestions;  // GetLabelMso, per name asked
    HRESULT refuseType = S_OK;     // a failure code: CurrentObjectType raises it through EXCEPINFO
    HRESULT refusePressed = S_OK;  // a failure code: GetPressedMso returns it directly
    bool design = false, datasheet = false;
    bool documentMap = false;
    std::vector<bool> documentMapWrites;
    // What LanguageSettings.LanguageID(msoLanguageIDUI) answers: an LCID, English (1033) unless
    // a test or the tool says otherwise; any other kind of value for a host that answers oddly.
    VARIANT languageId;
    HRESULT refuseLanguage = S_OK;  // a failure code: LanguageID raises it through EXCEPINFO

    NamedDispatch commandBars;
    NamedDispatch languageSettings;
    NamedDispatch window;

    void SetLanguage(std::int32_t lcid) {
        VariantClear(&languageId);
        languageId.vt = VT_I4;
        languageId.lVal = lcid;
    }
    void SetType(std::int32_t type) {
        VariantClear(&objectType);
        objectType.vt = VT_I4;
        objectType.lVal = type;
    }
};

// The IRibbonUI that Access hands to onLoad: records when it is invalidated.
class StandInRibbon : public Counted<IRibbonUI> {
public:
    std::vector<ULONGLONG> invalidations;  // GetTickCount64 of each call
    int failures = 0;                      // so many calls fail first
    std::function<void()> whileInvalidating;  // a host that asks its callbacks before it returns

    HRESULT STDMETHODCALLTYPE Invalidate() override {
        invalidations.push_back(GetTickCount64());
        if (whileInvalidating) whileInvalidating();
        if (failures > 0) {
            --failures;
            return RPC_E_DISCONNECTED;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR) override { return S_OK; }
};

// The IRibbonControl of a pressed or drawn element.
class StandInControl : public Counted<IRibbonControl> {
public:
    HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override {
        *id = SysAllocString(L"Button1");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) override {
        *context = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) override {
        *tag = nullptr;
        return S_OK;
    }
};

}  // namespace pellwyn::standin
