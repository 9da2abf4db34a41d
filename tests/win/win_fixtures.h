// What the Windows tests set up with the system's own tools: programs run and waited for,
// reg.exe, a key locked with an access list; and policies written the way an administrator's
// tools write them, by reg.exe, the computer's in this build's registry view.
#pragma once

#include <windows.h>
#include <aclapi.h>
#include <usp10.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::testing {

// The languages the windows are tested in, one row each: the translation's code, the LCID its
// Access reports (the About window), the locale Wine is started in for Windows' display language
// (Menuvane; tests/win/options/languages.sh reads the locales from here) and the face the windows
// draw it in: Arial, or for a script Arial lacks the face Windows gives it in its dialogs (which
// scripts/wine-run stands in for). "C" is English.
struct WindowLanguage {
    const char* code;
    std::int32_t lcid;
    const char* locale;
    const wchar_t* face = L"Arial";
};
inline constexpr WindowLanguage kWindowLanguages[] = {
    {"en", 0x0409, "C"},        {"de", 0x0407, "de_DE"},    {"fr", 0x040C, "fr_FR"},    {"es", 0x0C0A, "es_ES"},
    {"it", 0x0410, "it_IT"},    {"nl", 0x0413, "nl_NL"},    {"pt_BR", 0x0416, "pt_BR"}, {"pt_PT", 0x0816, "pt_PT"},
    {"sv", 0x041D, "sv_SE"},    {"da", 0x0406, "da_DK"},    {"nb", 0x0414, "nb_NO"},    {"ja", 0x0411, "ja_JP"},
    {"zh_CN", 0x0804, "zh_CN"}, {"zh_TW", 0x0404, "zh_TW"}, {"ko", 0x0412, "ko_KR"},    {"fi", 0x040B, "fi_FI"},
    {"ru", 0x0419, "ru_RU"},    {"pl", 0x0415, "pl_PL"},    {"cs", 0x0405, "cs_CZ"},    {"tr", 0x041F, "tr_TR"},
    {"hu", 0x040E, "hu_HU"},    {"ar", 0x0401, "ar_SA"},    {"he", 0x040D, "he_IL"},    {"et", 0x0425, "et_EE"},
    {"lv", 0x0426, "lv_LV"},    {"lt", 0x0427, "lt_LT"},    {"vi", 0x042A, "vi_VN"},    {"hr", 0x041A, "hr_HR"},
    {"sr", 0x081A, "sr_RS@latin"}, {"sl", 0x0424, "sl_SI"}, {"sk", 0x041B, "sk_SK"},    {"bg", 0x0402, "bg_BG"},
    {"uk", 0x0422, "uk_UA"},    {"kk", 0x043F, "kk_KZ"},    {"el", 0x0408, "el_GR"},    {"ro", 0x0418, "ro_RO"},
    {"id", 0x0421, "id_ID"},    {"ms", 0x043E, "ms_MY"},
    {"th", 0x041E, "th_TH", L"Leelawadee UI"},
    {"hi", 0x0439, "hi_IN", L"Nirmala UI"},
};

// The row of a translation's code, or nullptr.
inline const WindowLanguage* FindWindowLanguage(std::string_view code) {
    for (const WindowLanguage& l : kWindowLanguages)
        if (code == l.code) return &l;
    return nullptr;
}

// A caption as a control draws it in a font (DrawText on one line: shaped, in its reading order,
// the access key's "&" hidden unless DT_NOPREFIX): its width as DrawText lays it out, and the
// width of the ink it leaves, which is what a clipped caption loses. Pixels.
class DrawnCaption {
public:
    DrawnCaption(HFONT font, const std::wstring& text, UINT format) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ oldFont = SelectObject(dc, font);
        RECT r{0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | format);
        laidOut = r.right - r.left;
        // Drawn black on white with room on both sides, then the inked columns counted.
        const int margin = r.bottom - r.top, width = laidOut + 2 * margin, height = r.bottom - r.top + 2;
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        RECT at{margin, 1, margin + laidOut, height};
        DrawTextW(dc, text.c_str(), -1, &at, DT_SINGLELINE | DT_NOCLIP | format);
        GdiFlush();
        const auto* pixel = static_cast<const std::uint32_t*>(bits);
        int first = width, last = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((pixel[y * width + x] & 0xFFFFFF) != 0xFFFFFF) {
                    first = x < first ? x : first;
                    last = x > last ? x : last;
                }
        ink = last < first ? 0 : last - first + 1;
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        SelectObject(dc, oldFont);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    int laidOut = 0, ink = 0;
    int need() const { return laidOut > ink ? laidOut : ink; }
};

// A control's pixels as they are on screen, and which of them hold ink: anything drawn on the
// white background.
class ScreenPixels {
public:
    explicit ScreenPixels(HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        width = r.right - r.left;
        height = r.bottom - r.top;
        if (width <= 0 || height <= 0) {
            width = height = 0;
            return;
        }
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
        GdiFlush();
        pixels_.assign(static_cast<const std::uint32_t*>(bits), static_cast<const std::uint32_t*>(bits) + width * height);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    bool inked(int x, int y) const {
        const std::uint32_t p = pixels_[static_cast<std::size_t>(y * width + x)];
        return ((p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF)) < 3 * 250;
    }
    // Whether any pixel of the column between the rows `inset` in from the top and the bottom is inked.
    bool columnInked(int x, int inset) const {
        for (int y = inset; y < height - inset; ++y)
            if (inked(x, y)) return true;
        return false;
    }
    int width = 0, height = 0;

private:
    std::vector<std::uint32_t> pixels_;
};

// Where a check box draws its square on screen, in pixels from the control's left edge, or -1:
// the column of the longest vertical line in the control's pixels, which is an edge of the
// square (a letter's stroke is shorter).
inline int SquareColumn(HWND control) {
    const ScreenPixels pixels(control);
    int longest = 0, column = -1;
    for (int x = 0; x < pixels.width; ++x)
        for (int y = 0, run = 0; y < pixels.height; ++y) {
            run = pixels.inked(x, y) ? run + 1 : 0;
            if (run > longest) {
                longest = run;
                column = x;
            }
        }
    return longest >= pixels.height / 3 ? column : -1;
}

// How wide the ink of a control's caption is on screen, in pixels: from its first to its last
// inked column. A push button's edges are left out (`inset` pixels on every side); a check box's
// square is the first inked stretch from its side (the right when mirrored), left out with it.
inline int CaptionInkOnScreen(HWND control, int inset, bool checkBox, bool mirrored) {
    const ScreenPixels pixels(control);
    std::vector<int> columns;  // inked ones, from the side the caption starts on
    for (int i = inset; i < pixels.width - inset; ++i) {
        const int x = mirrored ? pixels.width - 1 - i : i;
        if (pixels.columnInked(x, inset)) columns.push_back(x);
    }
    std::size_t first = 0;
    if (checkBox)  // past the square: the first gap between inked columns
        while (first + 1 < columns.size() && std::abs(columns[first + 1] - columns[first]) == 1) ++first;
    if (checkBox) ++first;
    if (first >= columns.size()) return 0;
    return std::abs(columns.back() - columns[first]) + 1;
}

// What of a caption a font cannot draw by itself, shaped as Windows shapes a script that needs it
// (Uniscribe, run by run, each run in that font alone, its links left out): the runs that do not
// shape in it or come out as its missing-glyph box. Empty when every run draws.
inline std::wstring UnshapedRuns(HFONT font, const std::wstring& text) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, font);
    SCRIPT_CACHE cache = nullptr;
    SCRIPT_FONTPROPERTIES properties{sizeof properties, 0, 0, 0, 0, 0};
    std::wstring unshaped;
    std::vector<SCRIPT_ITEM> items(text.size() + 2);
    int count = 0;
    if (ScriptGetFontProperties(dc, &cache, &properties) != S_OK ||
        ScriptItemize(text.c_str(), static_cast<int>(text.size()), static_cast<int>(items.size()) - 1, nullptr,
                      nullptr, items.data(), &count) != S_OK)
        unshaped = text;
    for (int i = 0; unshaped.empty() && i < count; ++i) {
        const int start = items[i].iCharPos, length = items[i + 1].iCharPos - start;
        std::vector<WORD> glyphs(static_cast<std::size_t>(length) * 3 / 2 + 16), clusters(length);
        std::vector<SCRIPT_VISATTR> attributes(glyphs.size());
        int shaped = 0;
        bool drawn = ScriptShape(dc, &cache, text.c_str() + start, length, static_cast<int>(glyphs.size()),
                                 &items[i].a, glyphs.data(), clusters.data(), attributes.data(), &shaped) == S_OK;
        for (int g = 0; drawn && g < shaped; ++g) drawn = glyphs[g] != properties.wgDefault;
        if (!drawn) unshaped += L"[" + text.substr(start, length) + L"]";
    }
    ScriptFreeCache(&cache);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return unshaped;
}

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
