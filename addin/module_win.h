// What keeps Pellwyn.dll loaded inside Access: every Connect object, every server lock and
// every window of ours holds one module reference. While any is held DllCanUnloadNow says no,
// so COM never unloads code that a window procedure or an object still runs on.
#pragma once

#include <windows.h>

#include <string>

namespace pellwyn::module {

// The full path of Pellwyn.dll. Throws kestrel::Error.
std::wstring Path();

void AddRef() noexcept;
void Release() noexcept;
bool InUse() noexcept;

// Registers a window class of this module the first time it is asked for, and returns its
// name (the same pointer) for CreateWindowExW. Throws kestrel::Error when it cannot.
const wchar_t* WindowClass(const wchar_t* name, WNDPROC procedure);
// Unregisters them all: called when COM is told it may unload us, because Windows does not
// unregister a DLL's classes when the DLL goes.
void UnregisterWindowClasses() noexcept;

// A module reference held by a window from its creation to WM_NCDESTROY.
class Reference {
public:
    Reference() noexcept { AddRef(); }
    ~Reference() { Release(); }
    Reference(const Reference&) = delete;
    Reference& operator=(const Reference&) = delete;
};

}  // namespace pellwyn::module
