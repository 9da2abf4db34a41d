// Where the per-user settings live. The Windows build keeps them in the registry, under the
// policies that an administrator may set (settings_win.cpp, settings_policy.h); tests and the
// command-line tools use an in-memory store.
#pragma once

#include "settings_keys.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include <cstdint>

namespace kestrel {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The text of a setting (UTF-8) as it is in effect: what a policy decides ("0" or "1") when
    // one does, else the user's stored text, or nullopt when neither is there. Names are matched
    // without regard to case. A store that cannot be read throws kestrel::Error.
    virtual std::optional<std::string> Get(std::string_view name) = 0;
    // Stores the user's own text, creating the section when needed; a policy is never written.
    // Throws kestrel::Error on failure.
    virtual void Put(std::string_view name, std::string_view text) = 0;
    // The state, 0 or 1, that a policy decides for the setting, or nullopt when none does. A
    // store without policies decides nothing.
    virtual std::optional<int> Policy(std::string_view /*name*/) { return std::nullopt; }
};

// Settings held in memory; names compared without regard to (ASCII) case, a later Put
// replacing an earlier one.
class MemorySettings final : public SettingsStore {
public:
    std::optional<std::string> Get(std::string_view name) override;
    void Put(std::string_view name, std::string_view text) override;

private:
    struct Value { std::string name, text; };
    Value* Find(std::string_view name);
    std::vector<Value> values_;
};

// Readers as the add-in uses them: a missing value gives the key's default, a text that is
// not a number or does not fit throws kestrel::Error naming the setting.
std::int32_t ReadInt32(SettingsStore& store, const SettingKey& key);
double ReadDouble(SettingsStore& store, const SettingKey& key);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace kestrel
