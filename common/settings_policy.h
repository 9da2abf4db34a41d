// A setting that Group Policy may decide. Each is looked up in three registry places, first
// first, and the reader's default applies when none holds it:
//   1. the computer's policy, HKLM\Software\Policies\Kestrelby\Menuvane,
//   2. the user's policy, the same key under HKCU,
//   3. the user's own value, HKCU\Software\VB and VBA Program Settings\Kestrelby\Menuvane.
// A policy counts only as a REG_DWORD 0 or 1 (PolicyState); any other value under a policy key
// is passed over. Both programs read through this one class, so the add-in's document and the
// options window agree on what is decided; the Windows store (settings_win.h) only reads the
// places, and a test store holds them in memory.
#pragma once

#include "settings_store.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace kestrel {

enum class SettingPlace { MachinePolicy, UserPolicy, User };

// A value as the registry holds it: its type (kRegSz, ...) and its bytes.
struct RegistryData {
    std::uint32_t type;
    std::vector<unsigned char> bytes;
};

class LayeredSettings : public SettingsStore {
public:
    // The policy's "0" or "1" when a policy decides; else the user's value read as SettingText
    // reads it (registry_value.h), or nullopt.
    std::optional<std::string> Get(std::string_view name) final;
    // The computer's policy, else the user's.
    std::optional<int> Policy(std::string_view name) final;
    // Put (the user's own value) is the store's.

protected:
    // The value of `name` in a place, or nullopt when the key or the value is missing. Throws
    // kestrel::Error naming the setting when the place cannot be read.
    virtual std::optional<RegistryData> Read(SettingPlace place, std::string_view name) = 0;
};

}  // namespace kestrel
