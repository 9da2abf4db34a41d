// Loaded into Menuvane.exe by the options driver (a thread of its own that calls LoadLibraryW):
// from then on the program's calls of SystemParametersInfoW say that high contrast is on, which
// Wine's never say. The driver then tells the window that a setting changed, as Windows does.
#include "../accessibility_fixtures.h"

#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    using kestrel::testing::HighContrastOnSystemParametersInfo;
    if (reason == DLL_PROCESS_ATTACH)
        kestrel::testing::RedirectImport(GetModuleHandleW(nullptr), "user32.dll", "SystemParametersInfoW",
                                         reinterpret_cast<void*>(&HighContrastOnSystemParametersInfo));
    return TRUE;
}
