// A stand-in for Access (and, renamed, for a regsvr32.exe planted beside the options program,
// and for the browser that Windows opens a web address with): it notes that it ran, in which
// folder, with what arguments, and whether the add-in was registered at that moment.
#include "standin.h"

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int) {
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, n);
    name = name.substr(name.find_last_of(L'\\') + 1);

    DWORD loadBehavior = 0xFFFFFFFF, size = sizeof loadBehavior;
    RegGetValueW(HKEY_CURRENT_USER, standin::kAddinKey, L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &loadBehavior, &size);
    wchar_t folder[MAX_PATH];
    const DWORD folderLength = GetCurrentDirectoryW(MAX_PATH, folder);

    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, standin::kStartsKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return 1;
    DWORD count = 0;
    size = sizeof count;
    RegGetValueW(key, nullptr, name.c_str(), RRF_RT_REG_DWORD, nullptr, &count, &size);
    ++count;
    RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    RegSetValueExW(key, (name + L" LoadBehavior").c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&loadBehavior),
                   sizeof loadBehavior);
    RegSetValueExW(key, (name + L" folder").c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(folder),
                   (folderLength + 1) * sizeof(wchar_t));
    const std::wstring given = arguments ? arguments : L"";
    RegSetValueExW(key, (name + L" arguments").c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(given.c_str()),
                   static_cast<DWORD>((given.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return 0;
}
