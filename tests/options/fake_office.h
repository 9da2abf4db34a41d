// Office's keys in memory, for the options program's tests: keys by full path ("HKCU\...",
// "HKLM\..."), each with its values in order; a key can refuse reading or deleting. `log`
// records deletions and signature checks. A mixin, so that a fake of AddinSystem can be one too.
#pragma once

#include "error.h"
#include "office_system.h"
#include "raw_registry.h"
#include "registry_value.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace menuvane::testing {

using Bytes = std::vector<unsigned char>;

inline std::string KeyName(Hive hive, std::string_view path) {
    return (hive == Hive::CurrentUser ? "HKCU\\" : "HKLM\\") + std::string(path);
}

inline std::string Ascii(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// A disabled item as Office writes it: kind, both byte lengths, then both texts as given
// (pass their NULs: u"...\0"sv), UTF-16LE.
inline Bytes Item(std::uint32_t kind, std::u16string_view path, std::u16string_view name) {
    Bytes b;
    auto dword = [&](std::size_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
    };
    dword(kind);
    dword(2 * path.size());
    dword(2 * name.size());
    for (const std::u16string_view text : {path, name})
        for (const char16_t c : text) {
            b.push_back(static_cast<unsigned char>(c & 0xFF));
            b.push_back(static_cast<unsigned char>(c >> 8));
        }
    return b;
}

template <class Base>
class FakeOffice : public Base {
public:
    std::map<std::string, std::vector<RegistryValue>> keys;
    std::set<std::string> unreadable, undeletable;
    Signature signature = Signature::Missing;
    std::vector<std::string> log;

    void Set(Hive hive, std::string_view path, std::u16string name, std::uint32_t type, Bytes data) {
        keys[KeyName(hive, path)].push_back({std::move(name), type, std::move(data)});
    }
    bool Has(Hive hive, std::string_view path, const std::u16string& name) const {
        const auto key = keys.find(KeyName(hive, path));
        return key != keys.end() && std::any_of(key->second.begin(), key->second.end(),
                                                [&](const RegistryValue& v) { return v.name == name; });
    }

    std::vector<std::string> Subkeys(Hive hive, std::string_view path) override {
        const std::string prefix = KeyName(hive, path) + "\\";
        std::vector<std::string> names;
        for (const auto& entry : keys) {
            if (entry.first.rfind(prefix, 0) != 0) continue;
            const std::string name = entry.first.substr(prefix.size(), entry.first.find('\\', prefix.size()) - prefix.size());
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
        }
        return names;
    }
    std::vector<RegistryValue> Values(Hive hive, std::string_view path) override {
        const std::string key = KeyName(hive, path);
        if (unreadable.count(key)) throw kestrel::Error(kestrel::testing::kAccessDenied, key + " cannot be read: Access is denied.");
        const auto it = keys.find(key);
        return it == keys.end() ? std::vector<RegistryValue>{} : it->second;
    }
    void DeleteValue(std::string_view path, const std::u16string& name) override {
        const std::string key = KeyName(Hive::CurrentUser, path);
        if (undeletable.count(key))
            throw kestrel::Error(kestrel::testing::kAccessDenied, "\"" + Ascii(name) + "\" of " + key + " cannot be deleted");
        log.push_back("delete " + Ascii(name) + " of " + key);
        std::erase_if(keys[key], [&](const RegistryValue& v) { return v.name == name; });
    }
    Signature VerifySignature(std::string_view path) override {
        log.push_back("signature " + std::string(path));
        return signature;
    }
};

}  // namespace menuvane::testing
