// Self-registration on a registry kept in memory: what registering writes, and that
// unregistering takes out exactly that, whatever else is there.
#include "error.h"
#include "registration.h"

#include <gtest/gtest.h>

#include <map>

namespace pellwyn {
namespace {

// Keys by root and path; each holds its values by name.
class MemoryRegistry final : public RegistryEditor {
public:
    using Key = std::pair<Root, std::string>;
    std::map<Key, std::map<std::string, RegData>> keys;
    std::string refuse;  // a path whose creation fails

    void CreateKey(Root root, const std::string& path) override {
        if (path == refuse) throw kestrel::Error(static_cast<std::int32_t>(0x80070005U), "access denied");
        for (std::size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1))
            keys[{root, path.substr(0, slash)}];
        keys[{root, path}];
    }
    void SetValue(Root root, const std::string& path, const RegValue& value) override {
        CreateKey(root, path);
        keys[{root, path}][value.name] = value.data;
    }
    void DeleteValue(Root root, const std::string& path, const std::string& name) override {
        auto key = keys.find({root, path});
        if (key != keys.end()) key->second.erase(name);
    }
    void DeleteKeyIfEmpty(Root root, const std::string& path) override {
        auto key = keys.find({root, path});
        if (key == keys.end() || !key->second.empty()) return;
        for (const auto& [other, values] : keys)
            if (other.first == root && other.second.rfind(path + "\\", 0) == 0) return;  // has subkeys
        keys.erase(key);
    }
};

const std::string kClsidKey = "CLSID\\" + std::string(kConnectClsid);
const std::string kDll = "C:\\Users\\Ann\\AppData\\Local\\Programs\\Menuvane\\Pellwyn.dll";

TEST(Registration, UnregisteringTakesOutWhatRegisteringWroteAndNothingElse) {
    MemoryRegistry registry;
    // What others keep beside ours, or in ours.
    registry.SetValue(Root::CurrentUser, "Software\\Microsoft\\Office\\Access\\AddIns\\Other.Connect",
                      {"LoadBehavior", std::uint32_t{3}});
    registry.SetValue(Root::Classes, "CLSID\\{00000000-0000-0000-0000-000000000001}", {"", "Other"});
    const auto before = registry.keys;

    Register(registry, kDll);
    Register(registry, kDll);  // again: nothing twice
    EXPECT_EQ(registry.keys.at({Root::CurrentUser, std::string(kAddinKey)}).at("LoadBehavior"),
              RegData(std::uint32_t{3}));
    registry.SetValue(Root::Classes, kClsidKey + "\\Implemented Categories\\{x}", {"", "someone else's"});
    Unregister(registry);

    auto expected = before;
    // Our CLSID key stays only because it holds someone else's subkey, which stays too.
    expected[{Root::Classes, kClsidKey}];
    expected[{Root::Classes, kClsidKey + "\\Implemented Categories"}];
    expected[{Root::Classes, kClsidKey + "\\Implemented Categories\\{x}"}][""] = std::string("someone else's");
    EXPECT_EQ(registry.keys, expected);

    registry.keys.erase({Root::Classes, kClsidKey + "\\Implemented Categories\\{x}"});
    registry.keys.erase({Root::Classes, kClsidKey + "\\Implemented Categories"});
    Unregister(registry);  // nothing of ours left to find: no error
    EXPECT_EQ(registry.keys, before);
}

TEST(Registration, ARefusingRegistryFailsTheRegistration) {
    MemoryRegistry registry;
    registry.refuse = std::string(kAddinKey);
    EXPECT_THROW(Register(registry, kDll), kestrel::Error);
}

}  // namespace
}  // namespace pellwyn
