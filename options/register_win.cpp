#include "register_win.h"

#include "win_handles.h"
#include "win_text.h"

#include <windows.h>

#include <string>

namespace menuvane {

std::string SystemMessage(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    if (text.empty()) return "system error " + std::to_string(code);
    return kestrel::WideToUtf8(text);
}

namespace {

// The system folder's regsvr32.exe: never one found by the search path, which starts with the
// program's own folder.
std::wstring Regsvr32Path() {
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::wstring(folder, n) + L"\\regsvr32.exe";
}

}  // namespace

ProcessResult WindowsAddinSystem::RunRegsvr32(std::string_view arguments, unsigned timeoutMs) {
    const std::wstring program = Regsvr32Path();
    if (program.empty()) return {ProcessResult::Status::NotStarted, 0, SystemMessage(GetLastError())};
    std::wstring commandLine = L"\"" + program + L"\" " + kestrel::Utf8ToWide(arguments);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;  // minimised, with the focus
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        return {ProcessResult::Status::NotStarted, 0, SystemMessage(GetLastError())};
    const kestrel::UniqueHandle process(started.hProcess);
    const kestrel::UniqueHandle thread(started.hThread);

    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) break;
        HANDLE handle = process.get();
        const DWORD woke = MsgWaitForMultipleObjectsEx(1, &handle, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                                       MWMO_INPUTAVAILABLE);
        if (woke == WAIT_OBJECT_0 + 1) {
            if (whileWaiting_) whileWaiting_();
            continue;
        }
        break;  // finished, timed out, or the wait failed: the exit code tells which
    }
    DWORD exitCode = 0;
    if (!GetExitCodeProcess(process.get(), &exitCode) || exitCode == STILL_ACTIVE)
        return {ProcessResult::Status::TimedOut, 0, {}};
    return {ProcessResult::Status::Finished, exitCode, {}};
}

bool WindowsAddinSystem::CreateKey(std::string_view path) {
    kestrel::UniqueHkey key;
    return RegCreateKeyExW(HKEY_CURRENT_USER, kestrel::Utf8ToWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, key.put(), nullptr) == ERROR_SUCCESS;
}

bool WindowsAddinSystem::DeleteSubkey(std::string_view parent, std::string_view name) {
    kestrel::UniqueHkey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kestrel::Utf8ToWide(parent).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    // RegDeleteKey removes one level only: a subkey that has subkeys of its own stays.
    return RegDeleteKeyW(key.get(), kestrel::Utf8ToWide(name).c_str()) == ERROR_SUCCESS;
}

}  // namespace menuvane
