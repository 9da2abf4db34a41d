// What the Windows tests set up with the system's own tools: programs run and waited for,
// reg.exe, a key locked with an access list; and policies written the way an administrator's
// tools write them, by reg.exe, the computer's in this build's registry view.
#pragma once

#include <windows.h>
#include <aclapi.h>

#include <string>

namespace kestrel::testing {

enum class PolicyOf { Computer, User };

// A program run with the arguments and waited for; its exit code, or 0xFFFFFFFF when it could
// not start.
inline DWORD RunProgram(const std::wstring& program, const std::wstring& arguments, DWORD patience = 60000) {
    std::wstring line = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &started))
        return 0xFFFFFFFF;
    WaitForSingleObject(started.hProcess, patience);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(started.hProcess, &code);
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    return code;
}

// A program of the system folder, by its full path (for a 32-bit test, Windows runs the 32-bit one).
inline std::wstring SystemProgram(const wchar_t* name) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system) + L"\\" + name;
}

inline DWORD RunReg(const std::wstring& arguments) { return RunProgram(SystemProgram(L"reg.exe"), arguments); }

// Everyone denied the given rights on a key of the current user until the guard goes (then the
// key has no access list: everyone may do everything, as in a fresh prefix).
class KeyLocked {
public:
    KeyLocked(const std::wstring& path, DWORD denied) {
        RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key_);
        EXPLICIT_ACCESSW rules[2] = {};
        rules[0].grfAccessPermissions = denied;
        rules[0].grfAccessMode = DENY_ACCESS;
        rules[0].Trustee.TrusteeForm = TRUSTEE_IS_NAME;
        rules[0].Trustee.ptstrName = const_cast<wchar_t*>(L"EVERYONE");
        rules[1] = rules[0];
        rules[1].grfAccessPermissions = KEY_ALL_ACCESS;
        rules[1].grfAccessMode = GRANT_ACCESS;
        PACL acl = nullptr;
        locked_ = key_ && SetEntriesInAclW(2, rules, nullptr, &acl) == ERROR_SUCCESS &&
                  SetSecurityInfo(key_, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                  nullptr, nullptr, acl, nullptr) == ERROR_SUCCESS;
        LocalFree(acl);
    }
    ~KeyLocked() {
        if (!key_) return;
        SetSecurityInfo(key_, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr);
        RegCloseKey(key_);
    }
    KeyLocked(const KeyLocked&) = delete;
    KeyLocked& operator=(const KeyLocked&) = delete;
    bool locked() const { return locked_; }

private:
    HKEY key_ = nullptr;
    bool locked_ = false;
};

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
