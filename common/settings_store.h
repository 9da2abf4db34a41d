// Where the per-user settings live. The Windows build keeps them in the registry
// (settings_win.cpp); tests and the command-line tools use an in-memory store.
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
    // The stored text of a value (UTF-8), or nullopt when it is missing. Names are matched
    // without regard to case. A store that cannot be read throws kestrel::Error.
    virtual std::optional<std::string> Get(std::string_view name) = 0;
    // Stores the text, creating the section when needed. Throws kestrel::Error on failure.
    virtual void Put(std::string_view name, std::string_view text) = 0;
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
