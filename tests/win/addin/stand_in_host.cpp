#include "stand_in_host.h"

#include "../win_fixtures.h"
#include "settings_win.h"
#include "win_handles.h"

#include <gtest/gtest.h>

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
    return kestrel::testing::RunProgram(kestrel::testing::SystemProgram(L"regsvr32.exe"),
                                        switches + L" \"" + InstalledDll() + L"\"");
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

bool KeyExists(HKEY root, const std::wstring& path, REGSAM view) {
    kestrel::UniqueHkey key;
    return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
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

Addin::Addin() { EXPECT_EQ(Create(L"Kavrel.Connect"), S_OK) << "Kavrel.Connect could not be created"; }

}  // namespace pellwyn::testing
