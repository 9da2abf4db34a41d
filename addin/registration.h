// What Pellwyn.dll writes into the registry when regsvr32 registers it, and takes out again
// when it unregisters it: the COM class Connect under its ProgID, and Access's per-user add-in
// entry. The keys and values are data; Register and Unregister walk them through a small
// registry interface, which the DLL implements on the real registry and tests in memory.
#pragma once

#include "product.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pellwyn {

inline constexpr std::string_view kConnectClsid = "{F262C37B-43CE-4FB1-A06D-66A868FC5D3B}";
inline constexpr std::string_view kConnectClassName = "Connect";
using kestrel::kAddinKey;
inline constexpr std::uint32_t kLoadAtStartup = 3;  // LoadBehavior: load when Access starts

enum class Root : std::uint8_t {
    Classes,      // HKEY_CLASSES_ROOT
    CurrentUser,  // HKEY_CURRENT_USER
    UserClasses,  // HKEY_CURRENT_USER\Software\Classes: the classes of a user without administrator rights
};

// What a RegistryEditor throws (as kestrel::Error's code) when the registry refuses access.
inline constexpr std::int32_t kAccessDenied = static_cast<std::int32_t>(0x80070005U);  // E_ACCESSDENIED

using RegData = std::variant<std::string, std::uint32_t>;  // REG_SZ or REG_DWORD

struct RegValue {
    std::string name;  // empty: the key's default value
    RegData data;
};

struct RegKey {
    Root root;
    std::string path;
    std::vector<RegValue> values;
};

// Every key that registration creates, parents before their subkeys, with its values. Keys
// above these (CLSID, ...\AddIns) are shared with others and are neither listed nor removed.
std::vector<RegKey> RegistrationKeys(std::string_view dllPath);

class RegistryEditor {
public:
    virtual ~RegistryEditor() = default;
    // Creates the key (and any missing parent) or opens it when it exists.
    virtual void CreateKey(Root root, const std::string& path) = 0;
    virtual void SetValue(Root root, const std::string& path, const RegValue& value) = 0;
    // Both leave a missing key or value alone without an error.
    virtual void DeleteValue(Root root, const std::string& path, const std::string& name) = 0;
    // Deletes the key only when it holds neither values nor subkeys.
    virtual void DeleteKeyIfEmpty(Root root, const std::string& path) = 0;
};

// Creates every key and writes its values, the class keys under `classes`. A registry that
// refuses throws kestrel::Error.
void Register(RegistryEditor& registry, std::string_view dllPath, Root classes = Root::Classes);
// Deletes what Register writes, subkeys first: the values it writes, then each of its keys
// that holds nothing else. Whatever others put beside them stays.
void Unregister(RegistryEditor& registry, Root classes = Root::Classes);

// What regsvr32 asks for. The class keys go under HKEY_CLASSES_ROOT when the registry lets
// this process write there; when it refuses the first class key with access denied (a
// standard user), they go under HKCU\Software\Classes instead. Any other refusal throws.
// Where the add-in is installed for the whole machine (the per-machine package wrote the
// machine's class and Access's add-in entry under HKLM), the machine's classes belong to that
// installation: the class keys go under HKCU\Software\Classes whatever the rights, so that a
// user's registration can never rewrite, or later delete, what every user of the machine loads.
// Returns where the class keys went.
Root SelfRegister(RegistryEditor& registry, std::string_view dllPath, bool installedForTheMachine = false);
// Unregisters from both places the class keys may be, the second even when the first
// refuses; then throws the first refusal, if there was one. Where the add-in is installed for
// the whole machine, from the user's classes only.
void SelfUnregister(RegistryEditor& registry, bool installedForTheMachine = false);

}  // namespace pellwyn
