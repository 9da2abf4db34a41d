#include "registration_win.h"

#include "error.h"
#include "module_win.h"
#include "registration.h"
#include "win_handles.h"
#include "win_text.h"
#include "window_helpers_win.h"

#include <windows.h>

#include <exception>

namespace pellwyn {
namespace {

constexpr wchar_t kUserClasses[] = L"Software\\Classes";

[[noreturn]] void Fail(LSTATUS status, const std::string& path) {
    throw kestrel::Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(static_cast<DWORD>(status))),
                         "the registry refused the key " + path);
}

class WindowsRegistry final : public RegistryEditor {
public:
    // Root::Classes means this key: HKEY_CLASSES_ROOT or the user's Software\Classes.
    explicit WindowsRegistry(HKEY classes) noexcept : classes_(classes) {}

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
        status = RegDeleteKeyW(RootKey(root), kestrel::Utf8ToWide(path).c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) Fail(status, path);
    }

private:
    HKEY RootKey(Root root) const noexcept { return root == Root::Classes ? classes_ : HKEY_CURRENT_USER; }

    kestrel::UniqueHkey Create(Root root, const std::string& path) {
        kestrel::UniqueHkey key;
        const LSTATUS status = RegCreateKeyExW(RootKey(root), kestrel::Utf8ToWide(path).c_str(), 0, nullptr,
                                               REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, key.put(), nullptr);
        if (status != ERROR_SUCCESS) Fail(status, path);
        return key;
    }

    // False when the key is not there.
    bool Open(Root root, const std::string& path, REGSAM access, kestrel::UniqueHkey& key) {
        const LSTATUS status = RegOpenKeyExW(RootKey(root), kestrel::Utf8ToWide(path).c_str(), 0, access, key.put());
        if (status == ERROR_FILE_NOT_FOUND) return false;
        if (status != ERROR_SUCCESS) Fail(status, path);
        return true;
    }

    HKEY classes_;
};

kestrel::UniqueHkey OpenUserClasses() {
    kestrel::UniqueHkey key;
    const LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kUserClasses, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_ALL_ACCESS, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) Fail(status, "HKEY_CURRENT_USER\\Software\\Classes");
    return key;
}

// Whether this process may write the machine's classes: a standard user may not, and an
// administrator's elevated process would ignore the user's.
bool MayWriteClassesRoot() {
    const std::wstring path = L"CLSID\\" + kestrel::Utf8ToWide(kConnectClsid);
    kestrel::UniqueHkey key;
    const LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status == ERROR_ACCESS_DENIED) return false;
    if (status != ERROR_SUCCESS) Fail(status, "HKEY_CLASSES_ROOT\\" + kestrel::WideToUtf8(path));
    return true;
}

}  // namespace

void RegisterServer() {
    const std::string path = kestrel::WideToUtf8(module::Path());
    if (MayWriteClassesRoot()) {
        WindowsRegistry registry(HKEY_CLASSES_ROOT);
        Register(registry, path);
    } else {
        const kestrel::UniqueHkey classes = OpenUserClasses();
        WindowsRegistry registry(classes.get());
        Register(registry, path);
    }
}

void UnregisterServer() {
    // Both places are cleaned even when one refuses (a standard user and the machine's classes).
    std::exception_ptr failure;
    try {
        WindowsRegistry machine(HKEY_CLASSES_ROOT);
        Unregister(machine);
    } catch (...) {
        failure = std::current_exception();
    }
    kestrel::UniqueHkey user;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUserClasses, 0, KEY_ALL_ACCESS, user.put()) == ERROR_SUCCESS) {
        WindowsRegistry registry(user.get());
        Unregister(registry);
    }
    if (failure) std::rethrow_exception(failure);
}

}  // namespace pellwyn
