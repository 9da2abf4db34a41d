// A settings store that holds what the registry would, in the three places the Windows store
// reads (the computer's policy, the user's policy, the user's own values): each value with its
// type and its bytes, decided between and read as the Windows store does (LayeredSettings).
// Values can be put into any place by hand, with any type; Put writes the user's REG_SZ with
// its terminator, as the Windows store does. A refused key makes every Get and Put fail with
// access denied.
#pragma once

#include "error.h"
#include "registry_value.h"
#include "settings_policy.h"

#include <map>
#include <string>
#include <vector>

namespace kestrel::testing {

inline constexpr std::int32_t kAccessDenied = static_cast<std::int32_t>(0x80070005U);

using RawValue = RegistryData;

// UTF-16LE bytes of an ASCII text, with its terminator unless `terminated` is false.
inline std::vector<unsigned char> Utf16(std::string_view text, bool terminated = true) {
    std::vector<unsigned char> bytes(2 * (text.size() + (terminated ? 1 : 0)), 0);
    for (std::size_t i = 0; i < text.size(); ++i) bytes[2 * i] = static_cast<unsigned char>(text[i]);
    return bytes;
}

class RawRegistrySettings final : public LayeredSettings {
public:
    std::map<std::string, RawValue> values;                      // the user's, by lower-case name
    std::map<std::string, RawValue> machinePolicy, userPolicy;   // the same
    bool keyRefused = false;  // the user's key

    void Put(std::string_view name, std::string_view text) override {
        if (keyRefused) throw Error(kAccessDenied, "setting \"" + std::string(name) + "\": the settings key cannot be created");
        values[Lower(name)] = {kRegSz, Utf16(text)};
    }
    void Set(std::string_view name, std::uint32_t type, std::vector<unsigned char> bytes,
             SettingPlace place = SettingPlace::User) {
        Place(place)[Lower(name)] = {type, std::move(bytes)};
    }
    const RawValue& At(std::string_view name) const { return values.at(Lower(name)); }

private:
    std::optional<RawValue> Read(SettingPlace place, std::string_view name) override {
        if (place == SettingPlace::User && keyRefused)
            throw Error(kAccessDenied, "setting \"" + std::string(name) + "\": the settings key cannot be opened");
        const std::map<std::string, RawValue>& in = Place(place);
        const auto it = in.find(Lower(name));
        if (it == in.end()) return std::nullopt;
        return it->second;
    }
    std::map<std::string, RawValue>& Place(SettingPlace place) {
        return place == SettingPlace::MachinePolicy ? machinePolicy : place == SettingPlace::UserPolicy ? userPolicy : values;
    }
    static std::string Lower(std::string_view s) {
        std::string out(s);
        for (char& c : out) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        return out;
    }
};

}  // namespace kestrel::testing
