// The settings in the registry. The user's own values are REG_SZ values under
// HKCU\Software\VB and VBA Program Settings\Kestrelby\Menuvane: the classic per-user
// program-settings area, so settings stored by earlier versions keep working. Above them, the
// policies of Group Policy under Software\Policies\Kestrelby\Menuvane in HKLM and HKCU decide
// (settings_policy.h). Both programs use this store.
#pragma once

#include "settings_policy.h"

namespace kestrel {

inline constexpr wchar_t kSettingsKeyPath[] = L"Software\\VB and VBA Program Settings\\Kestrelby\\Menuvane";

class RegistrySettings final : public LayeredSettings {
public:
    // Creates the user's key when needed and stores the text as REG_SZ there.
    void Put(std::string_view name, std::string_view text) override;

private:
    // A missing key or value is nullopt; a key or value the registry refuses to open or read
    // throws kestrel::Error. HKLM is read in this program's own registry view: Windows (and
    // Wine) keep one Software\Policies for 32- and 64-bit programs.
    std::optional<RegistryData> Read(SettingPlace place, std::string_view name) override;
};

}  // namespace kestrel
