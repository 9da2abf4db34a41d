#include "stand_in_host.h"

#include "settings_win.h"
#include "win_handles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pellwyn::testing {

const std::wstring& InstallFolder() {
    static const std::wstring folder = [] {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"Menuvane Test";
    }();
    return folder;
}

std::wstring InstalledDll() { return InstallFolder() + L"\\Pellwyn.dll"; }

DWORD Regsvr32(const std::wstring& switches) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring program = std::wstring(system) + L"\\regsvr32.exe";
    std::wstring line = L"\"" + program + L"\" " + switches + L" \"" + InstalledDll() + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    kestrel::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(pi.hProcess, &code);
    return code;
}

std::optional<std::wstring> ReadText(HKEY root, const std::wstring& path, const wchar_t* name) {
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

std::optional<DWORD> ReadDword(HKEY root, const std::wstring& path, const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    kestrel::UniqueHkey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void WriteSettings(const std::vector<std::pair<std::string, std::string>>& settings) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kestrel::kSettingsKeyPath);
    kestrel::RegistrySettings store;
    for (const auto& [name, value] : settings) store.Put(name, value);
}

HRESULT DllCanUnloadNow() {
    HMODULE dll = GetModuleHandleW(L"Pellwyn.dll");
    if (!dll) return E_UNEXPECTED;
    auto* entry = reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow"));
    return entry ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(entry)() : E_UNEXPECTED;
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

Addin::Addin() {
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(L"Kavrel.Connect", &clsid), S_OK);
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                        reinterpret_cast<void**>(&unknown));
    EXPECT_EQ(hr, S_OK) << "Kavrel.Connect could not be created";
    if (!unknown) return;
    ComPtr<IUnknown> self(unknown);
    EXPECT_EQ(self.As(extensibility), S_OK);
    EXPECT_EQ(self.As(ribbonExtensibility), S_OK);
    EXPECT_EQ(self.As(dispatch), S_OK);
}

Addin::~Addin() { Release(); }

HRESULT Addin::Connect(IDispatch* application) {
    SAFEARRAY* custom = nullptr;
    return extensibility->OnConnection(application, 0, nullptr, &custom);
}

HRESULT Addin::Disconnect() {
    SAFEARRAY* custom = nullptr;
    return extensibility->OnDisconnection(1, &custom);
}

ULONG Addin::Release() {
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

}  // namespace pellwyn::testing
