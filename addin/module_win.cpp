#include "module_win.h"

#include "com_win.h"
#include "error.h"
#include "window_helpers_win.h"

#include <atomic>
#include <cwchar>
#include <vector>

namespace pellwyn::module {
namespace {

std::atomic<long> gReferences{0};

// The add-in registers two classes; room for a few more.
const wchar_t* gClasses[4] = {};

}  // namespace

std::wstring Path() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(kestrel::ThisModule(), path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            ThrowLastError("the add-in's file name is not known");
        if (n < path.size()) return std::wstring(path.data(), n);
        path.resize(path.size() * 2);
    }
}

void AddRef() noexcept { ++gReferences; }
void Release() noexcept { --gReferences; }
bool InUse() noexcept { return gReferences.load() != 0; }

const wchar_t* WindowClass(const wchar_t* name, WNDPROC procedure) {
    for (const wchar_t* registered : gClasses)
        if (registered && std::wcscmp(registered, name) == 0) return registered;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = kestrel::ThisModule();
    wc.hCursor = nullptr;  // each window sets its own pointer
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc)) {
        // Left behind by an earlier load of this DLL that was unloaded without asking us: its
        // procedure address is stale, so the class is made anew.
        if (GetLastError() == ERROR_CLASS_ALREADY_EXISTS) UnregisterClassW(name, wc.hInstance);
        if (!RegisterClassExW(&wc))
            ThrowLastError("a window class cannot be registered");
    }
    for (const wchar_t*& slot : gClasses)
        if (!slot) {
            slot = name;
            return name;
        }
    throw kestrel::Error(static_cast<std::int32_t>(E_UNEXPECTED), "too many window classes");
}

void UnregisterWindowClasses() noexcept {
    for (const wchar_t*& slot : gClasses)
        if (slot) {
            UnregisterClassW(slot, kestrel::ThisModule());
            slot = nullptr;
        }
}

}  // namespace pellwyn::module
