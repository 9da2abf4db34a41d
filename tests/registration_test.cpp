// Self-registration on a registry kept in memory: what registering writes, and that
// unregistering takes out exactly that, whatever else is there; and the per-machine package's
// registry entries, which must be the same.
#include "error.h"
#include "registration.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <tuple>

namespace pellwyn {
namespace {

// Keys by root and path; each holds its values by name.
class MemoryRegistry final : public RegistryEditor {
public:
    using Key = std::pair<Root, std::string>;
    using Keys = std::map<Key, std::map<std::string, RegData>>;
    Keys keys;
    std::string refuse;  // a path whose creation fails
    std::optional<Root> refusedRoot;  // where every change fails, with refusal as the code
    std::int32_t refusal = kAccessDenied;

    void Refuse(Root root, const std::string& path) const {
        if (path == refuse || root == refusedRoot) throw kestrel::Error(refusal, "the registry refused the key " + path);
    }

    void CreateKey(Root root, const std::string& path) override {
        Refuse(root, path);
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
        if (key == keys.end()) return;
        Refuse(root, path);
        key->second.erase(name);
    }
    void DeleteKeyIfEmpty(Root root, const std::string& path) override {
        auto key = keys.find({root, path});
        if (key == keys.end() || !key->second.empty()) return;
        Refuse(root, path);
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

// The keys under one root.
std::map<std::string, std::map<std::string, RegData>> Under(const MemoryRegistry::Keys& all, Root root) {
    std::map<std::string, std::map<std::string, RegData>> keys;
    for (const auto& [key, values] : all)
        if (key.first == root) keys[key.second] = values;
    return keys;
}

TEST(SelfRegistration, GoesToTheUsersClassesOnlyWhenTheMachinesRefuseAccess) {
    MemoryRegistry machine;
    EXPECT_EQ(SelfRegister(machine, kDll), Root::Classes);
    EXPECT_TRUE(Under(machine.keys, Root::UserClasses).empty());

    MemoryRegistry user;
    user.refusedRoot = Root::Classes;
    EXPECT_EQ(SelfRegister(user, kDll), Root::UserClasses);
    EXPECT_TRUE(Under(user.keys, Root::Classes).empty());
    EXPECT_EQ(Under(user.keys, Root::UserClasses), Under(machine.keys, Root::Classes));
    EXPECT_EQ(Under(user.keys, Root::CurrentUser), Under(machine.keys, Root::CurrentUser));

    MemoryRegistry broken;  // another refusal is a failure, not a reason to move
    broken.refusedRoot = Root::Classes;
    broken.refusal = static_cast<std::int32_t>(0x800703F3U);  // ERROR_CANTREAD
    EXPECT_THROW(SelfRegister(broken, kDll), kestrel::Error);
    EXPECT_TRUE(broken.keys.empty());
}

TEST(SelfRegistration, UnregisteringCleansBothPlacesEvenWhenOneRefuses) {
    MemoryRegistry registry;
    for (const Root root : {Root::Classes, Root::UserClasses}) registry.CreateKey(root, "CLSID");  // shared
    registry.CreateKey(Root::CurrentUser, std::string(kestrel::kAccessAddinsKey));
    const auto before = registry.keys;
    Register(registry, kDll, Root::Classes);
    Register(registry, kDll, Root::UserClasses);

    registry.refusedRoot = Root::Classes;
    try {
        SelfUnregister(registry);
        ADD_FAILURE() << "a refusal was not reported";
    } catch (const kestrel::Error& e) {
        EXPECT_EQ(e.code(), kAccessDenied);
    }
    EXPECT_EQ(Under(registry.keys, Root::UserClasses), Under(before, Root::UserClasses));
    EXPECT_EQ(Under(registry.keys, Root::CurrentUser), Under(before, Root::CurrentUser));
    EXPECT_NE(Under(registry.keys, Root::Classes), Under(before, Root::Classes));

    registry.refusedRoot.reset();
    SelfUnregister(registry);
    EXPECT_EQ(registry.keys, before);
}

// On a per-machine install a user's Menuvane registers and unregisters too: the machine's
// class, which every user loads, must come out of both untouched.
TEST(SelfRegistration, LeavesTheMachinesClassAloneWhereTheAddinIsInstalledForTheMachine) {
    MemoryRegistry registry;
    registry.CreateKey(Root::UserClasses, "CLSID");  // shared
    registry.CreateKey(Root::CurrentUser, std::string(kestrel::kAccessAddinsKey));
    const auto before = registry.keys;
    Register(registry, "C:\\Program Files\\Menuvane\\Pellwyn.dll", Root::Classes);  // the package's class
    const auto machine = Under(registry.keys, Root::Classes);

    EXPECT_EQ(SelfRegister(registry, kDll, true), Root::UserClasses);
    EXPECT_EQ(Under(registry.keys, Root::Classes), machine);
    EXPECT_NE(Under(registry.keys, Root::UserClasses), Under(before, Root::UserClasses));
    SelfUnregister(registry, true);
    EXPECT_EQ(Under(registry.keys, Root::Classes), machine);
    EXPECT_EQ(Under(registry.keys, Root::UserClasses), Under(before, Root::UserClasses));
    EXPECT_EQ(Under(registry.keys, Root::CurrentUser), Under(before, Root::CurrentUser));
}

// The per-machine package (installer/menuvane.wxs) writes what self-registration writes: the
// class under HKLM\Software\Classes, Access's add-in entry under HKLM instead of HKCU, the DLL's
// path as Windows Installer spells the installed file. Nothing more, nothing less.
TEST(Registration, ThePerMachinePackageWritesWhatSelfRegistrationWrites) {
    std::ifstream file(MENUVANE_WXS);
    std::stringstream wxs;
    wxs << file.rdbuf();
    const std::string text = wxs.str();
    ASSERT_FALSE(text.empty()) << MENUVANE_WXS;

    using Entry = std::tuple<std::string, std::string, std::string, std::string, std::string>;  // root key name type value
    std::set<Entry> package, expected;
    static const std::regex kElement(R"(<RegistryValue\s([^>]*)/>)"), kAttribute(R"re((\w+)="([^"]*)")re");
    for (std::sregex_iterator e(text.begin(), text.end(), kElement), end; e != end; ++e) {
        std::map<std::string, std::string> a;
        const std::string attributes = (*e)[1];
        for (std::sregex_iterator it(attributes.begin(), attributes.end(), kAttribute); it != end; ++it)
            a[(*it)[1]] = (*it)[2];
        package.insert({a["Root"], a["Key"], a["Name"], a["Type"], a["Value"]});
    }
    for (const RegKey& key : RegistrationKeys("[#PellwynDll]")) {
        const std::string path = key.root == Root::Classes ? "Software\\Classes\\" + key.path : key.path;
        for (const RegValue& v : key.values) {
            if (const auto* t = std::get_if<std::string>(&v.data))
                expected.insert({"HKLM", path, v.name, "string", *t});
            else
                expected.insert({"HKLM", path, v.name, "integer", std::to_string(std::get<std::uint32_t>(v.data))});
        }
    }
    EXPECT_EQ(package, expected);
}

}  // namespace
}  // namespace pellwyn
