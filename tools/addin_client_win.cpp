#include "addin_client_win.h"

#include <algorithm>
#include <cwchar>
#include <utility>

namespace pellwyn::standin {

HRESULT AddinObject::Create(const wchar_t* progId) {
    Release();
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) return hr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&unknown));
    if (FAILED(hr)) return hr;
    ComPtr<IUnknown> self(unknown);
    if (FAILED(hr = self.As(extensibility))) return hr;
    if (FAILED(hr = self.As(ribbonExtensibility))) return hr;
    return self.As(dispatch);
}

HRESULT AddinObject::Connect(IDispatch* application) {
    SAFEARRAY* custom = nullptr;
    return extensibility->OnConnection(application, 0, nullptr, &custom);
}

HRESULT AddinObject::Disconnect() {
    SAFEARRAY* custom = nullptr;
    return extensibility->OnDisconnection(1, &custom);
}

ULONG AddinObject::Release() {
    extensibility.reset();
    ribbonExtensibility.reset();
    dispatch.reset();
    if (!unknown) return 0;
    return std::exchange(unknown, nullptr)->Release();
}

Answer::~Answer() {
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
}

std::wstring Answer::Failure() const {
    const HRESULT code = hr == DISP_E_EXCEPTION && exception.scode ? exception.scode : hr;
    wchar_t hex[16];
    std::swprintf(hex, 16, L"0x%08lX", static_cast<unsigned long>(code));
    std::wstring text = hex;
    if (hr == DISP_E_EXCEPTION && exception.bstrDescription) text += L": " + std::wstring(exception.bstrDescription);
    return text;
}

std::unique_ptr<Answer> Call(IDispatch* target, const std::wstring& name, std::vector<VARIANT> args, WORD flags) {
    auto answer = std::make_unique<Answer>();
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    DISPID id = DISPID_UNKNOWN;
    answer->hr = target->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(answer->hr)) return answer;
    std::reverse(args.begin(), args.end());
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    answer->hr = target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &answer->result,
                                &answer->exception, &answer->argError);
    return answer;
}

VARIANT Object(IDispatch* object) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}

VARIANT Text(const wchar_t* text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

void Pump(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

}  // namespace pellwyn::standin
