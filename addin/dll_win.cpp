// The entry points of the in-process server Pellwyn.dll: the class object of Connect, the
// unload test, and self-registration for regsvr32. The DLL has no DllMain of its own: nothing
// runs while Windows holds the loader lock.
#include "com_win.h"
#include "connect_win.h"
#include "error.h"
#include "module_win.h"
#include "registration.h"
#include "registration_win.h"
#include "win_text.h"

#include <objbase.h>
#include <windows.h>

namespace pellwyn {
namespace {

// One static class object: its references do not keep the module loaded, its locks do.
class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override {
        if (!object) return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return 2; }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) noexcept override {
        if (object) *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return Connect::Create(riid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override {
        if (lock)
            module::AddRef();
        else
            module::Release();
        return S_OK;
    }
};

ClassFactory gFactory;

CLSID ConnectClsid() {
    CLSID clsid{};
    const std::wstring text = kestrel::Utf8ToWide(kConnectClsid);
    if (FAILED(CLSIDFromString(text.c_str(), &clsid)))
        throw kestrel::Error(static_cast<std::int32_t>(E_UNEXPECTED), "the class id is malformed");
    return clsid;
}

}  // namespace
}  // namespace pellwyn

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void** object) noexcept try {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (rclsid != pellwyn::ConnectClsid()) return CLASS_E_CLASSNOTAVAILABLE;
    return pellwyn::gFactory.QueryInterface(riid, object);
}
PELLWYN_CATCH_RETURN()

HRESULT STDAPICALLTYPE DllCanUnloadNow() noexcept {
    if (pellwyn::module::InUse()) return S_FALSE;
    // COM unloads us after this answer, and Windows would leave our window classes behind.
    pellwyn::module::UnregisterWindowClasses();
    return S_OK;
}

HRESULT STDAPICALLTYPE DllRegisterServer() noexcept try {
    pellwyn::RegisterServer();
    return S_OK;
}
PELLWYN_CATCH_RETURN()

HRESULT STDAPICALLTYPE DllUnregisterServer() noexcept try {
    pellwyn::UnregisterServer();
    return S_OK;
}
PELLWYN_CATCH_RETURN()

}  // extern "C"
