#include "registration.h"

#include "error.h"
#include "product.h"

#include <exception>

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

void Register(RegistryEditor& registry, std::string_view dllPath, Root classes) {
    for (const RegKey& key : RegistrationKeys(dllPath)) {
        const Root root = key.root == Root::Classes ? classes : key.root;
        registry.CreateKey(root, key.path);
        for (const RegValue& value : key.values) registry.SetValue(root, key.path, value);
    }
}

void Unregister(RegistryEditor& registry, Root classes) {
    const std::vector<RegKey> keys = RegistrationKeys({});
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        const Root root = key->root == Root::Classes ? classes : key->root;
        for (const RegValue& value : key->values) registry.DeleteValue(root, key->path, value.name);
        registry.DeleteKeyIfEmpty(root, key->path);
    }
}

Root SelfRegister(RegistryEditor& registry, std::string_view dllPath, bool installedForTheMachine) {
    if (installedForTheMachine) {
        Register(registry, dllPath, Root::UserClasses);
        return Root::UserClasses;
    }
    // An elevated process ignores the user's classes and a standard user may not write the
    // machine's: the first class key tells which of the two this process is.
    Root classes = Root::Classes;
    try {
        registry.CreateKey(Root::Classes, RegistrationKeys(dllPath).front().path);
    } catch (const kestrel::Error& e) {
        if (e.code() != kAccessDenied) throw;
        classes = Root::UserClasses;
    }
    Register(registry, dllPath, classes);
    return classes;
}

void SelfUnregister(RegistryEditor& registry, bool installedForTheMachine) {
    std::exception_ptr failure;
    for (const Root classes : {Root::Classes, Root::UserClasses}) {
        if (installedForTheMachine && classes == Root::Classes) continue;
        try {
            Unregister(registry, classes);
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    if (failure) std::rethrow_exception(failure);
}

}  // namespace pellwyn
