// What the Windows tests of the keyboard, screen readers and high contrast share: what a
// screen reader hears of a window through Microsoft Active Accessibility, and high contrast
// turned on where Wine cannot (its SystemParametersInfo always says off): a module's calls of
// SystemParametersInfoW go to a stand-in that says on, and the system's colours become a
// high-contrast scheme.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace kestrel::testing {

// What a screen reader hears of a window's client: its name, keyboard shortcut, description,
// role and state (S_OK in hr when the window answered at all).
struct Heard {
    HRESULT hr = E_FAIL;
    std::wstring name, shortcut, description;
    LONG role = 0, state = 0;
};

inline Heard Hear(HWND window) {
    Heard h;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return h;
    IAccessible* object = nullptr;
    h.hr = AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    if (FAILED(h.hr) || !object) return h;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), std::wstring& out) {
        BSTR b = nullptr;
        if ((object->*get)(self, &b) == S_OK && b) out = b;
        SysFreeString(b);
    };
    text(&IAccessible::get_accName, h.name);
    text(&IAccessible::get_accKeyboardShortcut, h.shortcut);
    text(&IAccessible::get_accDescription, h.description);
    VARIANT v;
    VariantInit(&v);
    if (object->get_accRole(self, &v) == S_OK && v.vt == VT_I4) h.role = v.lVal;
    VariantInit(&v);
    if (object->get_accState(self, &v) == S_OK && v.vt == VT_I4) h.state = v.lVal;
    object->Release();
    return h;
}

// Points the module's import of `function` from `dll` at `replacement`; returns what it
// pointed at (nullptr: the module imports no such function by name).
inline void* RedirectImport(HMODULE module, const char* dll, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const LONG headers = reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + headers);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return nullptr;
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        if (_stricmp(reinterpret_cast<const char*>(base + d->Name), dll) != 0 || !d->OriginalFirstThunk) continue;
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
            DWORD protection = 0;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &protection);
            void* before = reinterpret_cast<void*>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, protection, &protection);
            return before;
        }
    }
    return nullptr;
}

// SystemParametersInfoW that says high contrast is on and asks the real one everything else.
inline BOOL(WINAPI* realSystemParametersInfo)(UINT, UINT, PVOID, UINT) = &SystemParametersInfoW;
inline BOOL WINAPI HighContrastOnSystemParametersInfo(UINT action, UINT number, PVOID data, UINT update) {
    if (action != SPI_GETHIGHCONTRAST || !data) return realSystemParametersInfo(action, number, data, update);
    auto* setting = static_cast<HIGHCONTRASTW*>(data);
    setting->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
    setting->lpszDefaultScheme = nullptr;
    return TRUE;
}

// Turns high contrast on for the module (its calls of SystemParametersInfoW) until the guard goes.
class HighContrastFor {
public:
    explicit HighContrastFor(HMODULE module) : module_(module) {
        before_ = RedirectImport(module_, "user32.dll", "SystemParametersInfoW",
                                 reinterpret_cast<void*>(&HighContrastOnSystemParametersInfo));
    }
    ~HighContrastFor() {
        if (before_) RedirectImport(module_, "user32.dll", "SystemParametersInfoW", before_);
    }
    HighContrastFor(const HighContrastFor&) = delete;
    HighContrastFor& operator=(const HighContrastFor&) = delete;
    bool on() const { return before_ != nullptr; }

private:
    HMODULE module_;
    void* before_;
};

// The system's colours as a black high-contrast scheme (yellow text and frames, cyan links, no
// white at all, so that a pixel of the designs' white, green, blue or grey gives itself away;
// button faces dark blue, so that the skin's colour shows apart from the window's) until the
// guard goes, when they are as they were.
class HighContrastColours {
public:
    static constexpr std::array<int, 12> kElements = {COLOR_WINDOW,     COLOR_WINDOWTEXT, COLOR_BTNFACE,
                                                      COLOR_BTNTEXT,    COLOR_HOTLIGHT,   COLOR_WINDOWFRAME,
                                                      COLOR_BTNSHADOW,  COLOR_BTNHIGHLIGHT, COLOR_3DLIGHT,
                                                      COLOR_3DDKSHADOW, COLOR_GRAYTEXT,   COLOR_HIGHLIGHT};
    static constexpr std::array<COLORREF, 12> kScheme = {
        RGB(0, 0, 0),     RGB(255, 255, 0), RGB(0, 0, 96),    RGB(255, 255, 0),
        RGB(0, 255, 255), RGB(255, 255, 0), RGB(255, 255, 0), RGB(255, 255, 0),
        RGB(255, 255, 0), RGB(255, 255, 0), RGB(255, 0, 255), RGB(255, 0, 255)};
    // Whether a pixel has one of the designs' fixed colours (the windows' white, the About
    // window's dark green title, blue link and grey line).
    static bool Designed(COLORREF c) {
        return c == RGB(255, 255, 255) || c == RGB(0, 128, 0) || c == RGB(0, 0, 255) || c == RGB(128, 128, 128);
    }
    HighContrastColours() {
        for (std::size_t i = 0; i < kElements.size(); ++i) before_[i] = GetSysColor(kElements[i]);
        SetSysColors(static_cast<int>(kElements.size()), kElements.data(), kScheme.data());
    }
    ~HighContrastColours() { SetSysColors(static_cast<int>(kElements.size()), kElements.data(), before_.data()); }
    HighContrastColours(const HighContrastColours&) = delete;
    HighContrastColours& operator=(const HighContrastColours&) = delete;

private:
    std::array<COLORREF, 12> before_{};
};

// Writes the window as it is on the screen (its frame too) to NAME.bmp in the folder that
// the environment variable SCREENSHOTS names, for a person to look at; without it, nothing.
inline void SaveScreenshot(HWND window, const char* name) {
    const char* folder = std::getenv("SCREENSHOTS");
    if (!folder || !*folder) return;
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as a BMP file keeps it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetWindowDC(window), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3), size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + size;
    std::string path = folder;
    for (char& c : path) c = c == '/' ? '\\' : c;
    std::ofstream out(path + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
}

}  // namespace kestrel::testing
