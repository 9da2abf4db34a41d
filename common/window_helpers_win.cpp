#include "window_helpers_win.h"

#include "accessibility_win.h"
#include "error.h"
#include "error_report.h"
#include "product.h"
#include "script_faces.h"
#include "win_text.h"

#include <shellapi.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace kestrel {

HMODULE ThisModule() noexcept {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

std::wstring ModuleFolder(HMODULE module) {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) throw Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())), "no module file name");
        if (n < path.size()) {
            std::wstring file(path.data(), n);
            const std::size_t slash = file.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
        }
        path.resize(path.size() * 2);
    }
}

bool FileExists(const std::wstring& path) noexcept {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != 0 &&
           !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ShellOpen(HWND owner, const std::wstring& target, const std::wstring& folder) noexcept {
    ShellExecuteW(owner, nullptr, target.c_str(), nullptr, folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
}

void CenterWindow(HWND window) {
    RECT r;
    if (!GetWindowRect(window, &r))
        throw Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())), "the window has no size");
    const double width = r.right - r.left, height = r.bottom - r.top;
    const double x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2.0;
    const double y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2.0;
    if (!SetWindowPos(window, nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
                      SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        throw Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())), "the window cannot be moved");
}

int ScreenDpi() noexcept {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

UniqueHfont MakeFont(const wchar_t* face, int hundredthsOfPoint, bool bold, bool underline) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(hundredthsOfPoint, ScreenDpi(), 7200);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
    return UniqueHfont(CreateFontIndirectW(&lf));
}

namespace {

int CALLBACK FaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool FaceInstalled(const std::wstring& face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    bool found = false;
    EnumFontFamiliesExW(screen, &lf, &FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

}  // namespace

std::wstring WindowFace(const Language& language, const wchar_t* designed) {
    for (const std::string_view face : ScriptFaces(language)) {
        std::wstring wide = Utf8ToWide(face);
        if (FaceInstalled(wide)) return wide;
    }
    return designed;
}

bool WindowLook::ApplySkin(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\" + Utf8ToWide(kSkinFile)).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;  // no skin: the design colours stay
    FindClose(search);
    skin_ = true;
    return !highContrast_;
}

bool WindowLook::FollowHighContrast() {
    const COLORREF before = colour();
    const bool was = highContrast_;
    highContrast_ = HighContrast();
    return highContrast_ != was || colour() != before;
}

COLORREF WindowLook::colour() const noexcept {
    if (highContrast_) return GetSysColor(COLOR_WINDOW);
    return skin_ ? GetSysColor(COLOR_BTNFACE) : RGB(255, 255, 255);
}

HBRUSH WindowLook::brush() {
    if (!brush_ || brushColour_ != colour()) {
        brushColour_ = colour();
        brush_.reset(CreateSolidBrush(brushColour_));
    }
    return brush_.get();
}

void WindowPointer::Load(const std::wstring& folder) {
    const std::wstring file = folder + L"\\" + Utf8ToWide(kPointerFile);
    if (!FileExists(file)) return;
    HCURSOR cursor = LoadCursorFromFileW(file.c_str());
    if (!cursor)
        throw Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())),
                    "the pointer file " + std::string(kPointerFile) + " cannot be read");
    custom_.reset(cursor);
}

HCURSOR WindowPointer::Cursor() const noexcept {
    switch (kind) {
    case PointerKind::Hourglass: return LoadCursorW(nullptr, IDC_WAIT);
    case PointerKind::Custom: return custom_ ? custom_.get() : LoadCursorW(nullptr, IDC_HAND);
    default: return LoadCursorW(nullptr, IDC_ARROW);
    }
}

DWORD MirroredLayout(const Language& language) noexcept { return language.rightToLeft() ? WS_EX_LAYOUTRTL : 0; }

UINT RightToLeftMessage(const Language& language) noexcept {
    return language.rightToLeft() ? MB_RTLREADING | MB_RIGHT : 0;
}

UINT ReadingOrder(const Language& language) noexcept { return language.rightToLeft() ? DT_RTLREADING : 0; }

void ShowErrorReport(HWND owner, const std::string& text, const Language& language) noexcept {
    try {
        MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(ErrorReportTitle(language)).c_str(),
                    MB_OK | MB_ICONEXCLAMATION | RightToLeftMessage(language));
    } catch (...) {
    }
}

namespace {

// A screen DC with the font selected, for measuring.
class MeasuringDc {
public:
    explicit MeasuringDc(HFONT font) : dc_(GetDC(nullptr)) {
        if (!dc_) throw Error(static_cast<std::int32_t>(E_FAIL), "the screen cannot be measured");
        old_ = SelectObject(dc_, font);
    }
    ~MeasuringDc() {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    MeasuringDc(const MeasuringDc&) = delete;
    MeasuringDc& operator=(const MeasuringDc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
    HGDIOBJ old_ = nullptr;
};

}  // namespace

namespace {

// The first and last column a text inks, drawn on one line into a box `laidOut` pixels wide from
// column 0; a glyph that overhangs its advance (the accent of a final "í") inks outside the box.
// {0, laidOut - 1} when it cannot be drawn.
std::pair<int, int> InkedColumns(HFONT font, const std::wstring& text, UINT format, int laidOut, int height) {
    const int margin = height, width = laidOut + 2 * margin;
    std::pair<int, int> inked{0, laidOut - 1};
    HDC screen = GetDC(nullptr);
    if (!screen) return inked;
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!dc) return inked;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        HGDIOBJ oldFont = SelectObject(dc, font);
        RECT all{0, 0, width, height};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        RECT at{margin, 0, margin + laidOut, height};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &at, DT_SINGLELINE | DT_NOCLIP | format);
        GdiFlush();
        const auto* pixel = static_cast<const std::uint32_t*>(bits);
        int first = width, last = -1;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((pixel[y * width + x] & 0xFFFFFF) != 0xFFFFFF) {
                    first = x < first ? x : first;
                    last = x > last ? x : last;
                }
        if (last >= first) inked = {first - margin, last - margin};
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    return inked;
}

}  // namespace

SIZE TextExtent(HFONT font, const std::wstring& text, UINT format) {
    MeasuringDc dc(font);
    RECT r{0, 0, 0, 0};
    if (!text.empty() && !DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
                                    DT_CALCRECT | DT_SINGLELINE | format))
        throw Error(static_cast<std::int32_t>(E_FAIL), "a caption cannot be measured");
    const int laidOut = r.right - r.left, height = r.bottom - r.top;
    if (laidOut <= 0 || height <= 0) return SIZE{laidOut, height};
    // The laid-out box and whatever ink overhangs it, which the control would otherwise clip.
    const auto [first, last] = InkedColumns(font, text, format, laidOut, height);
    return SIZE{(last + 1 > laidOut ? last + 1 : laidOut) - (first < 0 ? first : 0), height};
}

SIZE WrappedTextExtent(HFONT font, const std::wstring& text, int width, UINT format) {
    MeasuringDc dc(font);
    RECT r{0, 0, width, 0};
    if (!DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &r,
                   DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | format))
        throw Error(static_cast<std::int32_t>(E_FAIL), "a caption cannot be measured");
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace kestrel
