// Connect, the add-in's one COM class (ProgID Kavrel.Connect). Access creates it, connects it
// through IDTExtensibility2, asks IRibbonExtensibility for the Classic tab's markup, and then
// calls every ribbon callback by name through IDispatch. One GetIDsOfNames and one Invoke
// serve all three vtables; the names are the table in connect_members.h.
#pragma once

#include "com_win.h"
#include "host_win.h"
#include "markup.h"
#include "module_win.h"
#include "office_win.h"
#include "refresh_win.h"
#include "settings_win.h"

#include <atomic>

namespace pellwyn {

struct ConnectMember;

class Connect final : public IDTExtensibility2, public IRibbonExtensibility {
public:
    // A new object, handed out through the interface asked for.
    static HRESULT Create(REFIID riid, void** object) noexcept;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override;
    ULONG STDMETHODCALLTYPE Release() noexcept override;

    // IDispatch, the same for both bases: the callbacks by name.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                            DISPID* ids) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) noexcept override;

    // IDTExtensibility2
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, int connectMode, IDispatch* addInInst,
                                           SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(int removeMode, SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) noexcept override;

    // IRibbonExtensibility
    HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbonId, BSTR* ribbonXml) noexcept override;

private:
    Connect() = default;
    ~Connect() = default;

    class Call;  // one of our callbacks in progress
    HRESULT Dispatch(const ConnectMember& member, WORD flags, DISPPARAMS& params, VARIANT* result,
                     UINT* argError);
    void RibbonLoaded(ComPtr<IRibbonUI> ribbon);
    void InvalidateRibbon();

    module::Reference keepLoaded_;  // first: released last
    std::atomic<ULONG> references_{1};
    int busy_ = 0;               // callbacks in progress
    bool invalidating_ = false;  // InvalidateRibbon is waiting for the host's Invalidate
    bool disconnected_ = false;  // from OnDisconnection to the next OnConnection
    DispatchHost host_;
    kestrel::RegistrySettings settings_;
    Markup markup_;                   // the markup buffer, its id counters and its bar mode
    ComPtr<IRibbonUI> ribbon_;        // oRibbon
    RibbonRefresh refresh_{*static_cast<IDTExtensibility2*>(this), busy_, host_};
};

}  // namespace pellwyn
