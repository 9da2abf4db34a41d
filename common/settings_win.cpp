#include "settings_win.h"

#include "error.h"
#include "registry_value.h"
#include "win_handles.h"
#include "win_text.h"

#include <windows.h>

#include <algorithm>
#include <vector>

static_assert(kestrel::kRegSz == REG_SZ && kestrel::kRegExpandSz == REG_EXPAND_SZ && kestrel::kRegBinary == REG_BINARY &&
              kestrel::kRegDword == REG_DWORD && kestrel::kRegMultiSz == REG_MULTI_SZ && kestrel::kRegQword == REG_QWORD &&
              kestrel::kRegNone == REG_NONE);

namespace kestrel {
namespace {

[[noreturn]] void Fail(LSTATUS status, std::string_view what, std::string_view name) {
    throw Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(static_cast<DWORD>(status))),
                "setting \"" + std::string(name) + "\": " + std::string(what));
}

}  // namespace

std::optional<RegistryData> RegistrySettings::Read(SettingPlace place, std::string_view name) {
    HKEY root = HKEY_CURRENT_USER;
    std::wstring path = kSettingsKeyPath;
    const char* whose = "the settings key";
    if (place != SettingPlace::User) {
        root = place == SettingPlace::MachinePolicy ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        path = Utf8ToWide(kPolicyKey);
        whose = place == SettingPlace::MachinePolicy ? "the computer's policy key" : "the user's policy key";
    }
    UniqueHkey key;
    LSTATUS status = RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, key.put());
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS) Fail(status, std::string(whose) + " cannot be opened", name);

    const std::wstring valueName = Utf8ToWide(name);
    RegistryData value{0, std::vector<unsigned char>(64)};
    DWORD type = 0;
    for (int attempt = 1;; ++attempt) {
        DWORD size = static_cast<DWORD>(value.bytes.size());
        status = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, value.bytes.data(), &size);
        if (status == ERROR_MORE_DATA && attempt < 4) {  // again with the size it needs (it may grow meanwhile)
            value.bytes.resize(size);
            continue;
        }
        if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
        if (status != ERROR_SUCCESS) Fail(status, "cannot be read", name);
        value.bytes.resize(std::min<std::size_t>(size, value.bytes.size()));
        break;
    }
    value.type = type;
    return value;
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
