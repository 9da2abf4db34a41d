// A stand-in for the add-in's DLL, for the options program's tests. It registers the way the
// add-in does (a COM class under the ProgID, and the add-in key with LoadBehavior 3) and
// unregisters both. Marker files beside it change its behaviour:
//   fail-register, fail-unregister: the function fails (regsvr32 then exits with 5);
//   slow-register: registering takes two seconds.
#include "standin.h"

#include <windows.h>

#include <string>

namespace {

HMODULE Self() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&Self), &module);
    return module;
}

std::wstring SelfPath() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(Self(), path, MAX_PATH);
    return std::wstring(path, n);
}

bool Marker(const wchar_t* name) {
    std::wstring path = SelfPath();
    path.resize(path.find_last_of(L'\\') + 1);
    return GetFileAttributesW((path + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool SetText(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LSTATUS status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace

extern "C" HRESULT __stdcall DllRegisterServer() {
    if (Marker(L"fail-register")) return E_FAIL;
    if (Marker(L"slow-register")) Sleep(2000);
    const std::wstring clsid = std::wstring(L"CLSID\\") + standin::kClsid;
    bool ok = SetText(HKEY_CLASSES_ROOT, clsid, nullptr, L"Pellwyn stand-in Connect") &&
              SetText(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32", nullptr, SelfPath()) &&
              SetText(HKEY_CLASSES_ROOT, clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
              SetText(HKEY_CLASSES_ROOT, clsid + L"\\ProgID", nullptr, L"Kavrel.Connect") &&
              SetText(HKEY_CLASSES_ROOT, L"Kavrel.Connect\\CLSID", nullptr, standin::kClsid) &&
              SetText(HKEY_CURRENT_USER, standin::kAddinKey, L"FriendlyName", L"Menuvane") &&
              SetText(HKEY_CURRENT_USER, standin::kAddinKey, L"Description", L"Add-In Project Template");
    HKEY key = nullptr;
    if (ok && RegOpenKeyExW(HKEY_CURRENT_USER, standin::kAddinKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        const DWORD loadAtStart = 3;
        ok = RegSetValueExW(key, L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&loadAtStart),
                            sizeof loadAtStart) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    return ok ? S_OK : E_UNEXPECTED;
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
    if (Marker(L"fail-unregister")) return E_FAIL;
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + standin::kClsid).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Kavrel.Connect");
    RegDeleteTreeW(HKEY_CURRENT_USER, standin::kAddinKey);
    return S_OK;
}
