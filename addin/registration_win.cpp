#include "registration_win.h"

#include "error.h"
#include "module_win.h"
#include "registration.h"
#include "win_handles.h"
#include "win_text.h"
#include "window_helpers_win.h"

#include <windows.h>

namespace pellwyn {
namespace {

constexpr wchar_t kUserClasses[] = L"Software\\Classes";
static_assert(kAccessDenied == static_cast<std::int32_t>(E_ACCESSDENIED));  // HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED)

[[noreturn]] void Fail(LSTATUS status, const std::string& path) {
    throw kestrel::Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(static_cast<DWORD>(status))),
                         "the registry refused the key " + path);
}

class WindowsRegistry final : public RegistryEditor {
public:
    void CreateKey(Root root, const std::string& path) override { Create(root, path); }

    void SetValue(Root root, const std::string& path, const RegValue& value) override {
        const kestrel::UniqueHkey key = Create(root, path);
        const std::wstring name = kestrel::Utf8ToWide(value.name);
        LSTATUS status;
        if (const auto* text = std::get_if<std::string>(&value.data)) {
            const std::wstring wide = kestrel::Utf8ToWide(*text);
            status = RegSetValueExW(key.get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(wide.c_str()),
                                    static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
        } else {
            const DWORD number = std::get<std::uint32_t>(value.data);
            status = RegSetValueExW(key.get(), name.empty() ? nullptr : name.c_str(), 0, REG_DWORD,
                                    reinterpret_cast<const BYTE*>(&number), sizeof number);
        }
        if (status != ERROR_SUCCESS) Fail(status, path);
    }

    void DeleteValue(Root root, const std::string& path, const std::string& name) override {
        kestrel::UniqueHkey key;
        if (!Open(root, path, KEY_SET_VALUE, key)) return;
        const std::wstring wide = kestrel::Utf8ToWide(name);
        const LSTATUS status = RegDeleteValueW(key.get(), wide.empty() ? nullptr : wide.c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) Fail(status, path);
    }

    void DeleteKeyIfEmpty(Root root, const std::string& path) override {
        kestrel::UniqueHkey key;
        if (!Open(root, path, KEY_QUERY_VALUE, key)) return;
        DWORD subkeys = 0, values = 0;
        LSTATUS status = RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                                          nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) Fail(status, path);
        if (subkeys != 0 || values != 0) return;  // someone else's content: the key stays
        key.reset();
        status = RegDeleteKeyW(RootKey(root), SubkeyPath(root, path).c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) Fail(status, path);
    }

private:
    // The user's classes are HKEY_CURRENT_USER's Software\Classes.
    static HKEY RootKey(Root root) noexcept { return root == Root::Classes ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER; }
    static std::wstring SubkeyPath(Root root, const std::string& path) {
        const std::wstring wide = kestrel::Utf8ToWide(path);
        return root == Root::UserClasses ? std::wstring(kUserClasses) + L"\\" + wide : wide;
    }

    kestrel::UniqueHkey Create(Root root, const std::string& path) {
        kestrel::UniqueHkey key;
        const LSTATUS status = RegCreateKeyExW(RootKey(root), SubkeyPath(root, path).c_str(), 0, nullptr,
                                               REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.put(), nullptr);
        if (status != ERROR_SUCCESS) Fail(status, path);
        return key;
    }

    // False when the key is not there.
    bool Open(Root root, const std::string& path, REGSAM access, kestrel::UniqueHkey& key) {
        const LSTATUS status = RegOpenKeyExW(RootKey(root), SubkeyPath(root, path).c_str(), 0, access, key.put());
        if (status == ERROR_FILE_NOT_FOUND) return false;
        if (status != ERROR_SUCCESS) Fail(status, path);
        return true;
    }
};

// Whether Access's add-in entry for every user is there (HKLM, in this process's registry
// view, which is that of Access's bitness): the per-machine package, or an administrator,
// installed the add-in for the whole machine. Self-registration never writes it.
bool InstalledForTheMachine() {
    kestrel::UniqueHkey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kestrel::Utf8ToWide(kAddinKey).c_str(), 0, KEY_QUERY_VALUE, key.put()) ==
           ERROR_SUCCESS;
}

}  // namespace

void RegisterServer() {
    WindowsRegistry registry;
    SelfRegister(registry, kestrel::WideToUtf8(module::Path()), InstalledForTheMachine());
}

void UnregisterServer() {
    WindowsRegistry registry;
    SelfUnregister(registry, InstalledForTheMachine());
}

}  // namespace pellwyn
