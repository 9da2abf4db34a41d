#include "settings_win.h"

#include "error.h"
#include "win_handles.h"
#include "win_text.h"

#include <windows.h>

#include <cstring>
#include <vector>

namespace kestrel {
namespace {

[[noreturn]] void Fail(LSTATUS status, std::string_view what, std::string_view name) {
    throw Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(static_cast<DWORD>(status))),
                "setting \"" + std::string(name) + "\": " + std::string(what));
}

}  // namespace

std::optional<std::string> RegistrySettings::Get(std::string_view name) {
    UniqueHkey key;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_QUERY_VALUE, key.put());
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS) Fail(status, "the settings key cannot be opened", name);

    const std::wstring valueName = Utf8ToWide(name);
    std::vector<BYTE> data(64);
    DWORD type = 0;
    for (;;) {
        DWORD size = static_cast<DWORD>(data.size());
        status = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            data.resize(size + sizeof(wchar_t));
            continue;
        }
        if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
        if (status != ERROR_SUCCESS) Fail(status, "cannot be read", name);
        data.resize(size);
        break;
    }
    if (type == REG_DWORD && data.size() == sizeof(DWORD)) {
        DWORD value = 0;
        std::memcpy(&value, data.data(), sizeof value);
        return std::to_string(value);
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw Error(kTypeMismatch, "setting \"" + std::string(name) + "\": the stored value is not text");
    // The stored text may or may not end with its terminating zero.
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    const std::size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    return WideToUtf8(text);
}

void RegistrySettings::Put(std::string_view name, std::string_view text) {
    UniqueHkey key;
    const LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) Fail(status, "the settings key cannot be created", name);
    const std::wstring valueName = Utf8ToWide(name);
    const std::wstring value = Utf8ToWide(text);
    const LSTATUS set = RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    if (set != ERROR_SUCCESS) Fail(set, "cannot be written", name);
}

}  // namespace kestrel
