#include "settings_policy.h"

#include "registry_value.h"

namespace kestrel {

std::optional<int> LayeredSettings::Policy(std::string_view name) {
    for (const SettingPlace place : {SettingPlace::MachinePolicy, SettingPlace::UserPolicy})
        if (const std::optional<RegistryData> value = Read(place, name))
            if (const std::optional<int> state = PolicyState(value->type, value->bytes)) return state;
    return std::nullopt;
}

std::optional<std::string> LayeredSettings::Get(std::string_view name) {
    if (const std::optional<int> state = Policy(name)) return std::to_string(*state);
    const std::optional<RegistryData> own = Read(SettingPlace::User, name);
    if (!own) return std::nullopt;
    return SettingText(name, own->type, own->bytes);
}

}  // namespace kestrel
