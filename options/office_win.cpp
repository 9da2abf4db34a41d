// Office's keys and the add-in's signature on Windows, for re-enabling the add-in and for the
// policy check; and the setup's "/reenable" step.
#include "disabled_items.h"
#include "error.h"
#include "register_win.h"
#include "win_handles.h"
#include "win_text.h"

#include <windows.h>
#include <softpub.h>
#include <wintrust.h>

#include <cwctype>

namespace menuvane {
namespace {

// Group Policy and Office write the 64-bit view on 64-bit Windows; 32-bit Windows ignores this.
constexpr REGSAM kView = KEY_WOW64_64KEY;

HKEY Root(Hive hive) { return hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

std::string Where(Hive hive, std::string_view path) {
    return (hive == Hive::CurrentUser ? "HKCU\\" : "HKLM\\") + std::string(path);
}

[[noreturn]] void Fail(LSTATUS status, const std::string& what) {
    throw kestrel::Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(static_cast<DWORD>(status))),
                         what + ": " + SystemMessage(static_cast<DWORD>(status)));
}

}  // namespace

std::vector<std::string> WindowsAddinSystem::Subkeys(Hive hive, std::string_view path) {
    kestrel::UniqueHkey key;
    const LSTATUS opened =
        RegOpenKeyExW(Root(hive), kestrel::Utf8ToWide(path).c_str(), 0, KEY_ENUMERATE_SUB_KEYS | kView, key.put());
    if (opened == ERROR_FILE_NOT_FOUND) return {};
    if (opened != ERROR_SUCCESS) Fail(opened, Where(hive, path) + " cannot be read");
    std::vector<std::string> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];  // the longest key name the registry allows, and its NUL
        DWORD length = 256;
        const LSTATUS status = RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) Fail(status, Where(hive, path) + " cannot be read");
        names.push_back(kestrel::WideToUtf8({name, length}));
    }
    return names;
}

std::vector<RegistryValue> WindowsAddinSystem::Values(Hive hive, std::string_view path) {
    kestrel::UniqueHkey key;
    const LSTATUS opened =
        RegOpenKeyExW(Root(hive), kestrel::Utf8ToWide(path).c_str(), 0, KEY_QUERY_VALUE | kView, key.put());
    if (opened == ERROR_FILE_NOT_FOUND) return {};
    if (opened != ERROR_SUCCESS) Fail(opened, Where(hive, path) + " cannot be read");
    std::vector<RegistryValue> values;
    std::vector<wchar_t> name(16384);  // the longest value name the registry allows, and its NUL
    std::vector<unsigned char> data(256);
    for (DWORD index = 0, attempts = 0;;) {
        DWORD nameLength = static_cast<DWORD>(name.size()), size = static_cast<DWORD>(data.size()), type = 0;
        const LSTATUS status =
            RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status == ERROR_MORE_DATA && size > data.size() && ++attempts < 4) {  // again, with the size it needs
            data.resize(size);
            continue;
        }
        if (status != ERROR_SUCCESS) Fail(status, Where(hive, path) + " cannot be read");
        values.push_back({std::u16string(name.data(), name.data() + nameLength), type,
                          std::vector<unsigned char>(data.data(), data.data() + size)});
        ++index;
        attempts = 0;
    }
    return values;
}

void WindowsAddinSystem::DeleteValue(std::string_view path, const std::u16string& name) {
    const std::wstring wideName(name.begin(), name.end());
    kestrel::UniqueHkey key;
    LSTATUS status =
        RegOpenKeyExW(HKEY_CURRENT_USER, kestrel::Utf8ToWide(path).c_str(), 0, KEY_SET_VALUE | kView, key.put());
    if (status == ERROR_SUCCESS) status = RegDeleteValueW(key.get(), wideName.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Fail(status, "the value \"" + kestrel::WideToUtf8(wideName) + "\" of " + Where(Hive::CurrentUser, path) +
                         " cannot be deleted");
}

Signature WindowsAddinSystem::VerifySignature(std::string_view path) {
    const std::wstring file = kestrel::Utf8ToWide(path);
    WINTRUST_FILE_INFO info{};
    info.cbStruct = sizeof info;
    info.pcwszFilePath = file.c_str();
    WINTRUST_DATA trust{};
    trust.cbStruct = sizeof trust;
    trust.dwUIChoice = WTD_UI_NONE;
    trust.fdwRevocationChecks = WTD_REVOKE_NONE;  // Office checks revocation itself; no network here
    trust.dwUnionChoice = WTD_CHOICE_FILE;
    trust.pFile = &info;
    trust.dwStateAction = WTD_STATEACTION_VERIFY;
    trust.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG verdict = WinVerifyTrust(nullptr, &action, &trust);
    trust.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(nullptr, &action, &trust);
    if (verdict == ERROR_SUCCESS) return Signature::Accepted;
    return verdict == TRUST_E_NOSIGNATURE ? Signature::Missing : Signature::NotAccepted;
}

bool IsReenableCommand(const wchar_t* commandLine) {
    if (!commandLine) return false;
    std::wstring_view line(commandLine);
    while (!line.empty() && std::iswspace(line.front())) line.remove_prefix(1);
    while (!line.empty() && std::iswspace(line.back())) line.remove_suffix(1);
    constexpr std::wstring_view kSwitch = L"/reenable";
    if (line.size() != kSwitch.size()) return false;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (std::towlower(line[i]) != kSwitch[i]) return false;
    return true;
}

int RunReenableCommand() noexcept {
    try {
        WindowsAddinSystem office(nullptr);
        ReenableAddIn(office);
        return 0;
    } catch (...) {
        return 1;
    }
}

}  // namespace menuvane
