// The contract between Menuvane (which writes) and Pellwyn (which reads): per-user settings
// of application "Kestrelby", section "Menuvane", each a text "0" or "1". Value names are
// matched without regard to case. Change a row only together with both readers and the
// administrative templates (installer/PolicyDefinitions), whose policies use the same names.
#pragma once

#include <string_view>

namespace kestrel {

inline constexpr std::string_view kSettingsApplication = "Kestrelby";
inline constexpr std::string_view kSettingsSection = "Menuvane";
// Where Group Policy puts the policies of the templates, under HKLM (the computer's) and HKCU
// (the user's): REG_DWORD 1 or 0 under each setting's name.
inline constexpr std::string_view kPolicyKey = "Software\\Policies\\Kestrelby\\Menuvane";

struct SettingKey {
    std::string_view name;
    int addinDefault;  // what the add-in assumes when the value is missing
};

inline constexpr SettingKey kClassic{"Classic", 1};
inline constexpr SettingKey kLeft{"Left", 1};
inline constexpr SettingKey kAll{"All", 1};
inline constexpr SettingKey kHome{"Home", 0};
inline constexpr SettingKey kCreate{"Create", 0};
inline constexpr SettingKey kExternalData{"External Data", 0};
inline constexpr SettingKey kDatabaseTools{"Database Tools", 0};
inline constexpr SettingKey kHideBuiltInTabs{"Hide built-in Tabs", 0};

}  // namespace kestrel
