#include "stand_in_host.h"

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
