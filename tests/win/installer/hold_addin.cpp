// Plays a running Access for the uninstaller's test: with --window it shows a window of
// Access's main window class, with --load DLL it holds the add-in loaded. It writes the ready
// file once it holds what it was asked to, and ends after the given seconds.
//   hold_addin (--window | --load DLL) READY_FILE SECONDS
#include <windows.h>

#include <cwchar>
#include <fstream>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc != 5 && argc != 4) return 2;
    const std::wstring mode = argv[1];
    int next = 2;
    if (mode == L"--load") {
        if (!LoadLibraryW(argv[next++])) return 3;
    } else if (mode == L"--window") {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OMain";
        if (!RegisterClassW(&wc)) return 3;
        if (!CreateWindowW(L"OMain", L"Microsoft Access", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                           wc.hInstance, nullptr))
            return 3;
    } else {
        return 2;
    }
    if (next + 1 >= argc) return 2;
    { std::ofstream ready(argv[next]); ready << "ready\n"; }
    const DWORD until = GetTickCount() + static_cast<DWORD>(_wtoi(argv[next + 1])) * 1000;
    while (GetTickCount() < until) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(50);
    }
    return 0;
}
