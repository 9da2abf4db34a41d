// The per-user settings in the registry, one REG_SZ value per setting under
// HKCU\Software\VB and VBA Program Settings\Kestrelby\Menuvane: the classic per-user
// program-settings area, so settings stored by earlier versions keep working. Both programs use
// this store.
#pragma once

#include "settings_store.h"

namespace kestrel {

inline constexpr wchar_t kSettingsKeyPath[] = L"Software\\VB and VBA Program Settings\\Kestrelby\\Menuvane";

class RegistrySettings final : public SettingsStore {
public:
    // A missing key or value is nullopt. What a stored value reads as is SettingText's
    // (registry_value.h): a REG_DWORD reads as its decimal text, other values that are not text
    // throw kestrel::Error; so does a key or value the registry refuses to open or read.
    std::optional<std::string> Get(std::string_view name) override;
    // Creates the key when needed and stores the text as REG_SZ.
    void Put(std::string_view name, std::string_view text) override;
};

}  // namespace kestrel
