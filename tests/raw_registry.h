// A settings store that holds what the registry would: each value with its type and its bytes,
// read through SettingText as the Windows store reads them. Values can be put there by hand,
// with any type; Put writes REG_SZ with its terminator, as the Windows store does. A refused
// key makes every Get and Put fail with access denied.
#pragma once

#include "error.h"
#include "registry_value.h"
#include "settings_store.h"

#include <map>
#include <string>
#include <vector>

namespace kestrel::testing {

inline constexpr std::int32_t kAccessDenied = static_cast<std::int32_t>(0x80070005U);

struct RawValue {
    std::uint32_t type;
    std::vector<unsigned char> bytes;
};

// UTF-16LE bytes of an ASCII text, with its terminator unless `terminated` is false.
inline std::vector<unsigned char> Utf16(std::string_view text, bool terminated = true) {
    std::vector<unsigned char> bytes(2 * (text.size() + (terminated ? 1 : 0)), 0);
    for (std::size_t i = 0; i < text.size(); ++i) bytes[2 * i] = static_cast<unsigned char>(text[i]);
    return bytes;
}

class RawRegistrySettings final : public SettingsStore {
public:
    std::map<std::string, RawValue> values;  // by lower-case name
    bool keyRefused = false;

    std::optional<std::string> Get(std::string_view name) override {
        if (keyRefused) throw Error(kAccessDenied, "setting \"" + std::string(name) + "\": the settings key cannot be opened");
        const auto it = values.find(Lower(name));
        if (it == values.end()) return std::nullopt;
        return SettingText(name, it->second.type, it->second.bytes);
    }
    void Put(std::string_view name, std::string_view text) override {
        if (keyRefused) throw Error(kAccessDenied, "setting \"" + std::string(name) + "\": the settings key cannot be created");
        values[Lower(name)] = {kRegSz, Utf16(text)};
    }
    void Set(std::string_view name, std::uint32_t type, std::vector<unsigned char> bytes) {
        values[Lower(name)] = {type, std::move(bytes)};
    }
    const RawValue& At(std::string_view name) const { return values.at(Lower(name)); }

private:
    static std::string Lower(std::string_view s) {
        std::string out(s);
        for (char& c : out) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        return out;
    }
};

}  // namespace kestrel::testing
