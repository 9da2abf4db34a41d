// Policies written the way an administrator's tools write them: by the system's reg.exe (for a
// 32-bit test, Windows runs the 32-bit one), the computer's in this build's registry view.
#pragma once

#include <windows.h>

#include <string>

namespace kestrel::testing {

enum class PolicyOf { Computer, User };

// reg.exe with the arguments; its exit code, or 0xFFFFFFFF when it could not start.
inline DWORD RunReg(const std::wstring& arguments) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring program = std::wstring(system) + L"\\reg.exe";
    std::wstring line = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &started))
        return 0xFFFFFFFF;
    WaitForSingleObject(started.hProcess, 30000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    return code;
}

inline std::wstring PolicyRoot(PolicyOf whose) {
    return whose == PolicyOf::Computer ? L"HKLM\\Software\\Policies\\Kestrelby" : L"HKCU\\Software\\Policies\\Kestrelby";
}
inline std::wstring View(PolicyOf whose) {
    return whose == PolicyOf::User ? L"" : sizeof(void*) == 4 ? L" /reg:32" : L" /reg:64";
}

// reg add of one value under Software\Policies\Kestrelby\Menuvane; reg.exe's exit code.
inline DWORD SetPolicy(PolicyOf whose, const std::wstring& name, const wchar_t* type, const std::wstring& data) {
    return RunReg(L"add \"" + PolicyRoot(whose) + L"\\Menuvane\" /v \"" + name + L"\" /t " + type + L" /d \"" + data +
                  L"\" /f" + View(whose));
}

// Both policy keys gone (the computer's from this build's registry view).
inline void RemovePolicies() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Policies\\Kestrelby");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Policies\\Kestrelby");
}

}  // namespace kestrel::testing
