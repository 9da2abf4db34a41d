#include "registration.h"

#include "product.h"

namespace pellwyn {

std::vector<RegKey> RegistrationKeys(std::string_view dllPath) {
    const std::string clsid = "CLSID\\" + std::string(kConnectClsid);
    const std::string progId(kestrel::kProgId);
    return {
        {Root::Classes, clsid, {{"", std::string(kConnectClassName)}}},
        {Root::Classes, clsid + "\\InprocServer32", {{"", std::string(dllPath)}, {"ThreadingModel", "Apartment"}}},
        {Root::Classes, clsid + "\\ProgID", {{"", progId}}},
        {Root::Classes, progId, {}},
        {Root::Classes, progId + "\\CLSID", {{"", std::string(kConnectClsid)}}},
        {Root::CurrentUser,
         std::string(kAddinKey),
         {{"FriendlyName", std::string(kestrel::kProductPhrase)},
          {"Description", std::string(kestrel::kAddinDescription)},
          {"LoadBehavior", kLoadAtStartup}}},
    };
}

void Register(RegistryEditor& registry, std::string_view dllPath) {
    for (const RegKey& key : RegistrationKeys(dllPath)) {
        registry.CreateKey(key.root, key.path);
        for (const RegValue& value : key.values) registry.SetValue(key.root, key.path, value);
    }
}

void Unregister(RegistryEditor& registry) {
    const std::vector<RegKey> keys = RegistrationKeys({});
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        for (const RegValue& value : key->values) registry.DeleteValue(key->root, key->path, value.name);
        registry.DeleteKeyIfEmpty(key->root, key->path);
    }
}

}  // namespace pellwyn
