#include "about_win.h"

#include "about_layout.h"
#include "accessibility_win.h"
#include "com_win.h"
#include "error.h"
#include "error_report.h"
#include "module_win.h"
#include "product.h"
#include "win_text.h"
#include "window_helpers_win.h"

#include <windows.h>
#include <oleacc.h>

#include <memory>
#include <string>
#include <vector>

namespace pellwyn {
namespace {

using kestrel::Px;
using kestrel::TwipsRect;

constexpr wchar_t kAboutClass[] = L"PellwynAbout";
constexpr wchar_t kFont[] = L"Arial";

// The etched separator, in twips: a grey line with a white one below it, both ending where the
// layout says.
struct Line {
    int x1, y1, y2;
    COLORREF colour;
    int systemColour;  // in high contrast
};
constexpr Line kGreyLine{90, 2445, 2445, RGB(0x80, 0x80, 0x80), COLOR_BTNSHADOW};
constexpr Line kWhiteLine{105, 2460, 2460, RGB(0xFF, 0xFF, 0xFF), COLOR_BTNHIGHLIGHT};

// Room OK needs beside its text, in pixels at 96 DPI: the button's edges.
constexpr int kButtonExtra = 10;

// The design's colours; in high contrast the system's stand for them.
constexpr COLORREF kTitleColour = RGB(0x00, 0x80, 0x00);  // dark green
constexpr COLORREF kLinkColour = RGB(0x00, 0x00, 0xFF);
constexpr COLORREF kTextColour = RGB(0x00, 0x00, 0x00);

enum ControlId : int { kTitleId = 100, kVersionId, kWebsiteId, kLinkId, kOkId = IDOK };

constexpr char kOkLocation[] = "in Kavrel.Form1.PushButton22_Click ";
constexpr int kCloseStep = 104;

using UniqueHicon = kestrel::Unique<HICON, &DestroyIcon>;

// The add-in file's major, minor and revision numbers, from its version resource ("7.0.0").
std::string VersionNumber() {
    const std::wstring path = module::Path();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0) ThrowLastError("the add-in has no version resource");
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) ThrowLastError("the version cannot be read");
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || length < sizeof *info)
        throw kestrel::Error(static_cast<std::int32_t>(E_UNEXPECTED), "the version resource has no numbers");
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." + std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionLS));
}

// The address as the link shows it: without its scheme.
std::wstring LinkText() {
    std::string_view site = kestrel::kWebSite;
    for (std::string_view scheme : {"https://", "http://"})
        if (site.substr(0, scheme.size()) == scheme) site.remove_prefix(scheme.size());
    return kestrel::Utf8ToWide(site);
}

class AboutWindow {
public:
    static AboutWindow* open;  // the one window, while it exists

    // Loads what the window shows, then makes it and its controls, with its words in the
    // language given. Throws; nothing is left then.
    static void Create(const kestrel::Language& language);
    void ShowAgain();

private:
    AboutWindow() = default;
    static AboutWindow* creating_;  // between CreateWindowExW and its return

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void DrawLink(const DRAWITEMSTRUCT& item);
    void LayOut();
    void MakeControls();
    HWND MakeControl(const wchar_t* kind, const std::wstring& text, DWORD style, const TwipsRect& r, int id, HFONT font);
    void Paint();
    void OnSetCursor(HWND over, UINT trigger);
    void Underline(bool on);

    module::Reference keepLoaded_;  // the DLL stays while the window is open
    HWND window_ = nullptr;
    HWND link_ = nullptr;
    HWND ok_ = nullptr;
    std::wstring folder_;
    kestrel::Language language_;  // Access's
    std::wstring version_, website_, linkText_, okText_;
    AboutLayout layout_ = DesignedAboutLayout();
    kestrel::WindowPointer pointer_;
    kestrel::WindowLook look_;
    kestrel::UniqueHfont labelFont_, titleFont_, linkFont_, linkUnderlinedFont_, buttonFont_;
    UniqueHicon bigIcon_, smallIcon_;
    bool underlined_ = true;  // the link opens underlined
    HHOOK keys_ = nullptr;    // gives the window its dialog keys inside the host's message loop
};

AboutWindow* AboutWindow::open = nullptr;
AboutWindow* AboutWindow::creating_ = nullptr;

void AboutWindow::Create(const kestrel::Language& language) {
    std::unique_ptr<AboutWindow> self(new AboutWindow);
    self->language_ = language;
    self->folder_ = kestrel::ModuleFolder(kestrel::ThisModule());
    self->pointer_.Load(self->folder_);  // "HAND-M.CUR", when it is there
    self->look_.FollowHighContrast();
    self->look_.ApplySkin(self->folder_);  // "x\o.cjs": the button-face background, unless in high contrast
    self->version_ = kestrel::Utf8ToWide(
        kestrel::FormatText(language(kestrel::Text("about", "Version {1}")), {VersionNumber()}));
    self->website_ = kestrel::Utf8ToWide(language(kestrel::Text("about", "Website: ")));
    self->linkText_ = LinkText();
    self->okText_ = kestrel::Utf8ToWide(language(kestrel::Text("about", "OK")));
    const std::wstring face = kestrel::WindowFace(language, kFont);  // Thai, Hindi: their script's
    self->labelFont_ = kestrel::MakeFont(face.c_str(), 900, true);
    self->titleFont_ = kestrel::MakeFont(face.c_str(), 1200, false);
    self->linkFont_ = kestrel::MakeFont(face.c_str(), 900, false);
    self->linkUnderlinedFont_ = kestrel::MakeFont(face.c_str(), 900, false, true);
    self->buttonFont_ = kestrel::MakeFont(face.c_str(), 1125, true);
    self->LayOut();
    HMODULE module = kestrel::ThisModule();
    self->bigIcon_.reset(static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                       GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
    self->smallIcon_.reset(static_cast<HICON>(LoadImageW(
        module, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));

    constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame{0, 0, Px(self->layout_.clientWidth), Px(self->layout_.clientHeight)};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kestrel::MirroredLayout(language));
    const wchar_t* windowClass = module::WindowClass(kAboutClass, &WindowProc);
    const std::wstring caption = kestrel::Utf8ToWide(language(kestrel::Text("about", "About")));
    // From here the window owns the object; WM_NCDESTROY deletes it.
    AboutWindow* about = creating_ = self.release();
    // Arabic and Hebrew: this window is mirrored, with its controls; nothing else of Access's.
    HWND window = CreateWindowExW(kestrel::MirroredLayout(language), windowClass, caption.c_str(), kStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, module, about);
    const DWORD error = GetLastError();
    const bool orphan = creating_ == about;  // not deleted by a WM_NCDESTROY
    creating_ = nullptr;
    if (!window) {
        if (orphan) delete about;
        SetLastError(error);
        ThrowLastError("the About window cannot be created");
    }
    try {
        about->MakeControls();
    } catch (...) {
        DestroyWindow(window);
        throw;
    }
    // Access's message loop knows nothing of this window: the hook gives it Tab, Esc, Enter
    // and Space, as a dialog has them, while it exists.
    about->keys_ = SetWindowsHookExW(WH_GETMESSAGE, &KeyboardHook, nullptr, GetCurrentThreadId());
    kestrel::StartKeyboardCues(window);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
}

HWND AboutWindow::MakeControl(const wchar_t* kind, const std::wstring& text, DWORD style, const TwipsRect& r, int id,
                              HFONT font) {
    HWND control = CreateWindowExW(0, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, Px(r.left), Px(r.top),
                                   Px(r.width), Px(r.height), window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   kestrel::ThisModule(), nullptr);
    if (!control) ThrowLastError("a control of the About window cannot be created");
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

// Widens what its words do not fit, measured in the window's fonts at this DPI; when they cannot
// be measured, the window keeps its design.
void AboutWindow::LayOut() {
    try {
        AboutNeeds needs;
        needs.dpi = kestrel::ScreenDpi();
        // The labels show "&" as it is; OK would take it for an access key.
        const UINT label = DT_NOPREFIX | kestrel::ReadingOrder(language_), button = kestrel::ReadingOrder(language_);
        needs.version = kestrel::TextExtent(labelFont_.get(), version_, label).cx;
        needs.website = kestrel::TextExtent(labelFont_.get(), website_, label).cx;
        needs.link = kestrel::TextExtent(linkUnderlinedFont_.get(), linkText_, label).cx;
        needs.ok = kestrel::TextExtent(buttonFont_.get(), okText_, button).cx + MulDiv(kButtonExtra, needs.dpi, 96);
        layout_ = LayOutAbout(needs);
    } catch (const kestrel::Error&) {
        layout_ = DesignedAboutLayout();
    }
}

void AboutWindow::MakeControls() {
    // Labels take their own mouse moves (SS_NOTIFY), so only the bare background counts as it.
    constexpr DWORD kLabel = SS_NOTIFY | SS_NOPREFIX;
    const AboutLayout& l = layout_;
    MakeControl(L"STATIC", kestrel::Utf8ToWide(kestrel::kProductPhrase), kLabel | SS_CENTER, l.title, kTitleId,
                titleFont_.get());
    MakeControl(L"STATIC", version_, kLabel | SS_LEFTNOWORDWRAP, l.version, kVersionId, labelFont_.get());
    MakeControl(L"STATIC", website_, kLabel | SS_LEFTNOWORDWRAP, l.website, kWebsiteId, labelFont_.get());
    // The link is a button that draws itself as a link: Tab reaches it, Enter and Space open it.
    link_ = MakeControl(L"BUTTON", linkText_, BS_OWNERDRAW | WS_TABSTOP, l.link, kLinkId, linkUnderlinedFont_.get());
    ok_ = MakeControl(L"BUTTON", okText_, BS_DEFPUSHBUTTON | WS_TABSTOP, l.ok, kOkId, buttonFont_.get());
    kestrel::ExposeToScreenReaders(window_, ROLE_SYSTEM_DIALOG);
    for (const int label : {kTitleId, kVersionId, kWebsiteId})
        kestrel::ExposeToScreenReaders(GetDlgItem(window_, label), ROLE_SYSTEM_STATICTEXT);
    kestrel::ExposeToScreenReaders(link_, ROLE_SYSTEM_LINK);
    kestrel::ExposeToScreenReaders(ok_, ROLE_SYSTEM_PUSHBUTTON);
    if (bigIcon_) SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    if (smallIcon_) SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void AboutWindow::ShowAgain() {
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
}

void AboutWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (!dc) return;
    for (const Line& line : {kGreyLine, kWhiteLine}) {
        HPEN pen = CreatePen(PS_SOLID, 1, look_.Pick(line.colour, line.systemColour));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, Px(line.x1), Px(line.y1), nullptr);
        LineTo(dc, Px(layout_.lineEnd) + 1, Px(line.y2));  // the end point is part of the line
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    EndPaint(window_, &ps);
}

void AboutWindow::Underline(bool on) {
    if (underlined_ == on) return;
    underlined_ = on;
    SendMessageW(link_, WM_SETFONT, reinterpret_cast<WPARAM>(on ? linkUnderlinedFont_.get() : linkFont_.get()), TRUE);
}

// The link as the label drew it (its font, the link's colour, on the window's background), with
// the focus rectangle around its text while it has the focus. Enter opens it then, and OK shows
// as the default button only while the link does not have the focus.
void AboutWindow::DrawLink(const DRAWITEMSTRUCT& item) {
    if (item.itemAction & ODA_FOCUS) kestrel::ShowDefaultButton(window_, item.itemState & ODS_FOCUS ? nullptr : ok_);
    FillRect(item.hDC, &item.rcItem, look_.brush());
    HGDIOBJ old = SelectObject(item.hDC, reinterpret_cast<HFONT>(SendMessageW(link_, WM_GETFONT, 0, 0)));
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, look_.Pick(kLinkColour, COLOR_HOTLIGHT));
    // As it is measured: "&" shown as it is, in the window's reading order (a mirrored window
    // puts it on the right).
    const UINT format = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | kestrel::ReadingOrder(language_);
    RECT text = item.rcItem;
    DrawTextW(item.hDC, linkText_.c_str(), static_cast<int>(linkText_.size()), &text, format);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = item.rcItem;
        DrawTextW(item.hDC, linkText_.c_str(), static_cast<int>(linkText_.size()), &focus, format | DT_CALCRECT);
        IntersectRect(&focus, &focus, &item.rcItem);
        DrawFocusRect(item.hDC, &focus);
    }
    SelectObject(item.hDC, old);
}

LRESULT CALLBACK AboutWindow::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        AboutWindow* about = open;
        if (code == HC_ACTION && wParam == PM_REMOVE && about && msg->message >= WM_KEYFIRST &&
            msg->message <= WM_KEYLAST && (msg->hwnd == about->window_ || IsChild(about->window_, msg->hwnd))) {
            kestrel::FollowKeyboardCues(about->window_, *msg);
            if (IsDialogMessageW(about->window_, msg))  // done (the window may be gone): the host sees nothing
                *msg = MSG{msg->hwnd, WM_NULL, 0, 0, msg->time, msg->pt};
        }
    } catch (...) {
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Mouse moves: over the link, underline it and show the hand whatever the pointer is; over
// OK, the hand unless the hourglass is up; over the bare background, no underline and the
// arrow unless the hourglass is up. Moves over the other labels change nothing.
void AboutWindow::OnSetCursor(HWND over, UINT trigger) {
    if (trigger == WM_MOUSEMOVE) {
        if (over == link_) {
            Underline(true);
            pointer_.kind = kestrel::OverLink(pointer_.kind);
        } else if (over == ok_) {
            pointer_.kind = kestrel::OverClickable(pointer_.kind);
        } else if (over == window_) {
            Underline(false);
            pointer_.kind = kestrel::OverBackground(pointer_.kind);
        }
    }
    SetCursor(pointer_.Cursor());
}

LRESULT AboutWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(window_, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, look_.brush());
        return 1;
    }
    case WM_PAINT: Paint(); return 0;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        SetTextColor(dc, look_.Pick(id == kTitleId ? kTitleColour : kTextColour, COLOR_WINDOWTEXT));
        SetBkColor(dc, look_.colour());
        return reinterpret_cast<LRESULT>(look_.brush());
    }
    case WM_CTLCOLORBTN:  // around OK
        return reinterpret_cast<LRESULT>(look_.brush());
    case WM_DRAWITEM:
        if (wParam == kLinkId) {
            DrawLink(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case DM_GETDEFID:  // what Enter presses
        return MAKELRESULT(GetFocus() == link_ ? kLinkId : kOkId, DC_HASDEFID);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:  // high contrast on or off, or other system colours
        if (look_.FollowHighContrast() || message == WM_SYSCOLORCHANGE)
            RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        break;
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCLIENT) break;
        OnSetCursor(reinterpret_cast<HWND>(wParam), HIWORD(lParam));
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) SetFocus(ok_);  // Space presses OK
        return 0;
    case WM_COMMAND:
        // OK, and Esc (IDCANCEL, from the dialog keys), close the window.
        if ((LOWORD(wParam) == kOkId || LOWORD(wParam) == IDCANCEL) && HIWORD(wParam) == BN_CLICKED) {
            HWND window = window_;
            const kestrel::Language language = language_;
            kestrel::RunStep(language, [window, &language](const std::string& text) {
                                 kestrel::ShowErrorReport(window, text, language);
                             },
                             kOkLocation, kCloseStep, [window] {
                                 if (!DestroyWindow(window)) ThrowLastError("the About window cannot be closed");
                             });
            return 0;  // the window, and this object, may be gone now
        }
        if (LOWORD(wParam) == kLinkId && HIWORD(wParam) == BN_CLICKED) {
            kestrel::ShellOpen(window_, kestrel::Utf8ToWide(kestrel::kWebSite), folder_);
            return 0;
        }
        break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK AboutWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<AboutWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            const LRESULT created = DefWindowProcW(window, message, wParam, lParam);
            if (!created) return created;  // Create deletes the object
            self->window_ = window;
            open = self;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            return created;
        }
        auto* self = reinterpret_cast<AboutWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!self) return DefWindowProcW(window, message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            if (self->keys_) UnhookWindowsHookEx(self->keys_);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            if (open == self) open = nullptr;
            if (creating_ == self) creating_ = nullptr;
            delete self;
            return DefWindowProcW(window, message, wParam, lParam);
        }
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

}  // namespace

void ShowAboutWindow(const kestrel::Language& language) {
    if (AboutWindow* about = AboutWindow::open)
        about->ShowAgain();
    else
        AboutWindow::Create(language);
}

}  // namespace pellwyn
