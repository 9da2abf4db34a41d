// Menuvane.exe: the options window. It lays out the controls, copies the boxes to the screen
// and back, and carries out what the procedures of options_form.cpp ask for; every decision is
// made there.
#include "accessibility_win.h"
#include "error.h"
#include "options_form.h"
#include "options_layout.h"
#include "product.h"
#include "register_win.h"
#include "resource.h"
#include "settings_win.h"
#include "win_handles.h"
#include "win_text.h"
#include "window_helpers_win.h"

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <uxtheme.h>

#include <iterator>

namespace menuvane {
namespace {

using kestrel::Px;
using kestrel::TwipsRect;

constexpr wchar_t kWindowClass[] = L"Menuvane.Options";

// Control ids. The buttons keep clear of IDOK and IDCANCEL, which the dialog keys send: Esc
// sends IDCANCEL, which presses Cancel; Enter presses the default button (DM_GETDEFID).
constexpr int kFirstBoxId = 100;      // box i is 100 + i
constexpr int kFirstButtonId = 2200;  // button i (Help, OK, Cancel) is 2200 + i
constexpr int kText1Id = 300;
constexpr int kFrameId = 301;
constexpr int kPolicyNoteId = 303;

constexpr int BoxId(int box) { return kFirstBoxId + box; }
constexpr int ButtonId(int button) { return kFirstButtonId + button; }

enum class Kind { TextBox, PushButton, CheckBox, Frame, Note };

constexpr kestrel::TextId kNoCaption = kestrel::kNoText;

struct Control {
    Kind kind;
    int id;
    kestrel::TextId caption;  // in the user's language; the text box and the rectangle have none
};

// In tab order: the focus moves in the order the controls are created. That is also the
// z-order, top first: the boxes lie above the frame. The rectangle around the tab boxes is no
// control: the window draws it (a screen reader has nothing to say of it).
constexpr Control kControls[] = {
    {Kind::TextBox, kText1Id, kNoCaption},  // "Text1", below the visible area, hidden: no tab stop
    {Kind::PushButton, ButtonId(kHelpButton), kestrel::Text("options", "&Help")},
    {Kind::CheckBox, BoxId(kClassicBox), kestrel::Text("options", "&Show Classic Menu and Toolbars in MS Access 2007")},
    {Kind::CheckBox, BoxId(kLeftBox), kestrel::Text("options", "Show menu tabs on the &left of home tab")},
    {Kind::CheckBox, BoxId(kAllBox), kestrel::Text("options", "Show &all items in main menu")},
    {Kind::CheckBox, BoxId(kHideTabsBox), kestrel::Text("options", "Hide &built-in tabs")},
    {Kind::CheckBox, BoxId(kHomeBox), kestrel::Text("options", "Hom&e")},
    {Kind::CheckBox, BoxId(kCreateBox), kestrel::Text("options", "&Create")},
    {Kind::CheckBox, BoxId(kExternalDataBox), kestrel::Text("options", "E&xternal Data")},
    {Kind::CheckBox, BoxId(kDatabaseToolsBox), kestrel::Text("options", "&Database Tools")},
    {Kind::Note, kPolicyNoteId, kestrel::Text("options", "Some options are set by your administrator.")},
    {Kind::PushButton, ButtonId(kOkButton), kestrel::Text("options", "&OK")},
    {Kind::Frame, kFrameId, kestrel::Text("options", "Access Options")},
    {Kind::PushButton, ButtonId(kCancelButton), kestrel::Text("options", "Ca&ncel")},
};

// Room a caption needs beside its text, in pixels at 96 DPI: a check box's square and the gap
// before its text; a push button's edges; the frame's gaps either side of its title.
constexpr int kCheckBoxExtra = 19, kButtonExtra = 10, kFrameExtra = 16;

std::wstring Caption(const Control& c, const kestrel::Language& language) {
    if (c.kind == Kind::TextBox) return L"Text1";
    return c.caption == kNoCaption ? std::wstring() : kestrel::Utf8ToWide(language(c.caption));
}

// Where each control goes, from what its caption needs in the window's fonts at this DPI.
OptionsLayout Layout(const kestrel::Language& language, HFONT boxFont, HFONT buttonFont) {
    OptionsNeeds needs;
    needs.dpi = kestrel::ScreenDpi();
    const auto scaled = [&](int pixels) { return MulDiv(pixels, needs.dpi, 96); };
    const UINT reading = kestrel::ReadingOrder(language);
    for (const Control& c : kControls) {
        const std::wstring text = Caption(c, language);
        switch (c.kind) {
        // Captions as drawn: the "&" of an access key takes no room.
        case Kind::CheckBox:
            needs.boxes[static_cast<std::size_t>(c.id - kFirstBoxId)] =
                kestrel::TextExtent(boxFont, text, reading).cx + scaled(kCheckBoxExtra);
            break;
        case Kind::PushButton:
            needs.buttons[static_cast<std::size_t>(c.id - kFirstButtonId)] =
                kestrel::TextExtent(buttonFont, text, reading).cx + scaled(kButtonExtra);
            break;
        case Kind::Frame:
            needs.frameCaption = kestrel::TextExtent(boxFont, text, reading).cx + scaled(kFrameExtra);
            break;
        case Kind::Note: {
            const SIZE wrapped = kestrel::WrappedTextExtent(boxFont, text, NoteWrapWidth(needs.dpi), reading);
            needs.noteWidth = wrapped.cx;
            needs.noteHeight = wrapped.cy;
            break;
        }
        default: break;
        }
    }
    return LayOutOptions(needs);
}

TwipsRect Where(const OptionsLayout& l, const Control& c) {
    if (c.id >= kFirstBoxId && c.id <= BoxId(kHideTabsBox))
        return l.boxes[static_cast<std::size_t>(c.id - kFirstBoxId)];
    switch (c.id) {
    case kText1Id: return l.text1;
    case kFrameId: return l.frame;
    case kPolicyNoteId: return l.note;
    case ButtonId(kHelpButton): return l.help;
    case ButtonId(kOkButton): return l.ok;
    default: return l.cancel;
    }
}

RECT ToPixels(TwipsRect r, TwipsRect frame, bool inFrame) {
    const int left = r.left + (inFrame ? frame.left : 0), top = r.top + (inFrame ? frame.top : 0);
    // Edges converted separately, so that neighbours meet where the twips say they do.
    return RECT{Px(left), Px(top), Px(left + r.width), Px(top + r.height)};
}

[[noreturn]] void FailLastError(const char* what) {
    throw kestrel::Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())), what);
}

using UniqueHicon = kestrel::Unique<HICON, &DestroyIcon>;

class OptionsWindow final : public FormWindow {
public:
    explicit OptionsWindow(HINSTANCE instance)
        : instance_(instance),
          folder_(kestrel::ModuleFolder(nullptr)),
          language_(kestrel::Language::FromLangId(GetUserDefaultUILanguage())),
          addin_([this] { PumpWhileBusy(); }) {}

    bool Create();
    void Open(int show);
    int Run();

    // FormWindow
    void ApplySkin() override;
    void SetCaption(std::string_view caption) override;
    void SetIcon() override;
    void Centre() override { kestrel::CenterWindow(hwnd_); }
    void LoadPointer() override { pointer_.Load(folder_); }
    void SetPointer(kestrel::PointerKind kind) override;
    void ShowMessage(std::string_view title, std::string_view text) override;
    void ShellOpen(std::string_view target) override;
    void Close() override { DestroyWindow(hwnd_); }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    bool OnSetCursor(HWND over, int hitTest);
    void ShowBoxes();
    void ExposeControls();
    void FollowKeyboard(const MSG& msg);
    void FollowFocus();
    void Report(const std::string& text);
    Form MakeForm();
    void PumpWhileBusy();
    bool Owns(HWND hwnd) const { return hwnd == hwnd_ || (hwnd && GetParent(hwnd) == hwnd_); }

    HINSTANCE instance_;
    std::wstring folder_;
    kestrel::Language language_;  // Windows' display language
    HWND hwnd_ = nullptr;
    HWND lastFocus_ = nullptr;
    HWND focusSeen_ = nullptr;  // where the default button last followed the focus to
    RECT shape_{};              // the rectangle around the tab boxes, in pixels
    bool busy_ = false;  // a button's sequence is running: clicks and closing wait for it
    Boxes boxes_;
    kestrel::RegistrySettings settings_;
    WindowsAddinSystem addin_;
    kestrel::WindowLook look_;
    kestrel::WindowPointer pointer_;
    kestrel::UniqueHfont boxFont_, buttonFont_;
    UniqueHicon bigIcon_, smallIcon_;
};

bool OptionsWindow::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &OptionsWindow::Procedure;
    wc.hInstance = instance_;
    wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_MENUVANE));
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&wc)) return false;

    // No WS_CLIPCHILDREN: the frame and the rectangle are transparent, the window's own
    // background shows through them.
    constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    look_.FollowHighContrast();
    const std::wstring face = kestrel::WindowFace(language_, L"Arial");  // Thai, Hindi: their script's
    boxFont_ = kestrel::MakeFont(face.c_str(), 900, true);
    buttonFont_ = kestrel::MakeFont(face.c_str(), 1125, true);
    if (!boxFont_ || !buttonFont_) return false;
    OptionsLayout layout = DesignedOptionsLayout();
    try {
        layout = Layout(language_, boxFont_.get(), buttonFont_.get());
    } catch (const kestrel::Error&) {
        // a caption that cannot be measured: the window as designed
    }
    RECT frame{0, 0, Px(layout.clientWidth), Px(layout.clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, kestrel::MirroredLayout(language_));
    // Arabic and Hebrew: mirrored, and the controls with it.
    hwnd_ = CreateWindowExW(kestrel::MirroredLayout(language_), kWindowClass, L"", style, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            instance_, this);
    if (!hwnd_) return false;
    shape_ = ToPixels(layout.shape, layout.frame, true);

    for (const Control& c : kControls) {
        const wchar_t* windowClass = c.kind == Kind::TextBox ? L"EDIT" : c.kind == Kind::Note ? L"STATIC" : L"BUTTON";
        // The text box and the note are hidden: the text box always (no tab stop, nothing for a
        // screen reader to read), the note unless a policy decides a box.
        DWORD controlStyle = WS_CHILD | (c.kind == Kind::Note || c.kind == Kind::TextBox ? 0 : WS_VISIBLE);
        DWORD exStyle = 0;
        switch (c.kind) {
        case Kind::TextBox:
            controlStyle |= ES_AUTOHSCROLL;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case Kind::PushButton: controlStyle |= WS_TABSTOP | BS_PUSHBUTTON; break;
        // A three-state box that does not toggle itself: the rules decide every state.
        case Kind::CheckBox: controlStyle |= WS_TABSTOP | BS_3STATE; break;
        // Clipped by what lies above it, so that it paints over no box.
        case Kind::Frame: controlStyle |= BS_GROUPBOX | WS_CLIPSIBLINGS; break;
        case Kind::Note: controlStyle |= SS_LEFT | SS_NOPREFIX; break;
        }
        const RECT r = ToPixels(Where(layout, c), layout.frame, c.kind == Kind::CheckBox || c.kind == Kind::Note);
        HWND control = CreateWindowExW(exStyle, windowClass, Caption(c, language_).c_str(), controlStyle, r.left,
                                       r.top, r.right - r.left, r.bottom - r.top, hwnd_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
        if (!control) return false;
        HFONT font = c.kind == Kind::PushButton ? buttonFont_.get() : boxFont_.get();
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        // Drawn without the visual style, which may bring a font of its own: the boxes and the
        // frame keep their 9 pt bold face and paint their background in the window's colour.
        if (c.kind == Kind::CheckBox || c.kind == Kind::Frame) SetWindowTheme(control, L"", L"");
    }
    ExposeControls();
    return true;
}

// What a screen reader says of each control: its name and keyboard shortcut are its caption's;
// the window is a dialog, whose description is the administrator's note while it shows.
void OptionsWindow::ExposeControls() {
    kestrel::ExposeToScreenReaders(hwnd_, ROLE_SYSTEM_DIALOG);
    for (const Control& c : kControls) {
        HWND control = GetDlgItem(hwnd_, c.id);
        switch (c.kind) {
        case Kind::PushButton: kestrel::ExposeToScreenReaders(control, ROLE_SYSTEM_PUSHBUTTON); break;
        case Kind::CheckBox: kestrel::ExposeToScreenReaders(control, ROLE_SYSTEM_CHECKBUTTON); break;
        case Kind::Frame: kestrel::ExposeToScreenReaders(control, ROLE_SYSTEM_GROUPING); break;
        case Kind::Note: kestrel::ExposeToScreenReaders(control, ROLE_SYSTEM_STATICTEXT); break;
        case Kind::TextBox: break;  // hidden: Windows says so itself
        }
    }
}

Form OptionsWindow::MakeForm() {
    return Form{settings_, addin_, *this, [this](const std::string& text) { Report(text); },
                kestrel::WideToUtf8(folder_), language_};
}

void OptionsWindow::Open(int show) {
    Form form = MakeForm();
    FormInitialize(form, boxes_);
    ShowBoxes();
    FormLoad(form);
    kestrel::StartKeyboardCues(hwnd_);
    ShowWindow(hwnd_, show);
    UpdateWindow(hwnd_);
    lastFocus_ = GetNextDlgTabItem(hwnd_, nullptr, FALSE);  // the first tab stop: Help
    SetFocus(lastFocus_);
    FollowFocus();
}

// Before the dialog keys (Tab, Esc, Enter, access keys) act: Alt shows the access keys.
void OptionsWindow::FollowKeyboard(const MSG& msg) {
    if (msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd)) kestrel::FollowKeyboardCues(hwnd_, msg);
}

// Enter presses the focused push button, or OK when the focus is elsewhere; the default
// button's look follows.
void OptionsWindow::FollowFocus() {
    HWND focus = GetFocus();
    if (focus == focusSeen_ || !IsWindow(hwnd_)) return;
    focusSeen_ = focus;
    kestrel::ShowDefaultButton(hwnd_, kestrel::DefaultButton(hwnd_, GetDlgItem(hwnd_, ButtonId(kOkButton))));
}

int OptionsWindow::Run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        FollowKeyboard(msg);
        if (!(IsWindow(hwnd_) && IsDialogMessageW(hwnd_, &msg))) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        FollowFocus();
    }
    return static_cast<int>(msg.wParam);
}

// While regsvr32 runs the window keeps painting; busy_ turns clicks and closing away.
void OptionsWindow::PumpWhileBusy() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        FollowKeyboard(msg);
        if (IsWindow(hwnd_) && IsDialogMessageW(hwnd_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// A box that a policy decides is unavailable: Tab and its access key pass it by, and a screen
// reader reads the note with it (and with the window).
void OptionsWindow::ShowBoxes() {
    HWND noteLabel = GetDlgItem(hwnd_, kPolicyNoteId);
    std::wstring note(static_cast<std::size_t>(GetWindowTextLengthW(noteLabel)) + 1, L'\0');
    note.resize(static_cast<std::size_t>(GetWindowTextW(noteLabel, note.data(), static_cast<int>(note.size()))));
    for (const BoxSetting& s : kBoxSettings) {
        HWND box = GetDlgItem(hwnd_, BoxId(s.box));
        SendMessageW(box, BM_SETCHECK, static_cast<WPARAM>(boxes_[s.box]), 0);
        EnableWindow(box, !boxes_.Locked(s.box));
        kestrel::DescribeToScreenReaders(box, boxes_.Locked(s.box) ? note : std::wstring());
    }
    ShowWindow(noteLabel, boxes_.AnyLocked() ? SW_SHOWNA : SW_HIDE);
    kestrel::DescribeToScreenReaders(hwnd_, boxes_.AnyLocked() ? note : std::wstring());
}

void OptionsWindow::Report(const std::string& text) {
    // Before the window shows, the report stands on its own rather than behind a hidden owner.
    kestrel::ShowErrorReport(IsWindowVisible(hwnd_) ? hwnd_ : nullptr, text, language_);
}

void OptionsWindow::ApplySkin() {
    if (look_.ApplySkin(folder_)) InvalidateRect(hwnd_, nullptr, TRUE);
}

void OptionsWindow::SetCaption(std::string_view caption) {
    if (!SetWindowTextW(hwnd_, kestrel::Utf8ToWide(caption).c_str())) FailLastError("the caption cannot be set");
}

void OptionsWindow::SetIcon() {
    bigIcon_.reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MENUVANE), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
    smallIcon_.reset(static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_MENUVANE), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    if (!bigIcon_ || !smallIcon_) FailLastError("the program's icon cannot be loaded");
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void OptionsWindow::SetPointer(kestrel::PointerKind kind) {
    pointer_.kind = kind;
    POINT at;
    if (GetCursorPos(&at) && Owns(WindowFromPoint(at))) SetCursor(pointer_.Cursor());
}

void OptionsWindow::ShowMessage(std::string_view title, std::string_view text) {
    MessageBoxW(hwnd_, kestrel::Utf8ToWide(text).c_str(), kestrel::Utf8ToWide(title).c_str(),
                MB_OK | kestrel::RightToLeftMessage(language_));
}

void OptionsWindow::ShellOpen(std::string_view target) {
    kestrel::ShellOpen(hwnd_, kestrel::Utf8ToWide(target), folder_);
}

void OptionsWindow::OnCommand(int id, int code) {
    if (busy_ || code != BN_CLICKED) return;
    if (id == IDCANCEL) id = ButtonId(kCancelButton);  // Esc
    if (id >= kFirstBoxId && id - kFirstBoxId <= 11 && IsBox(id - kFirstBoxId)) {
        boxes_.Click(id - kFirstBoxId);
        ShowBoxes();
    } else if (id >= ButtonId(kHelpButton) && id <= ButtonId(kCancelButton)) {
        busy_ = true;
        Form form = MakeForm();
        PushButtonClick(form, boxes_, id - kFirstButtonId);
        busy_ = false;
    }
}

// The hand over what acts on a click, the ordinary pointer over the background and the frame;
// the hourglass stays while it is up.
bool OptionsWindow::OnSetCursor(HWND over, int hitTest) {
    if (hitTest != HTCLIENT) return false;
    const int id = over == hwnd_ ? 0 : GetDlgCtrlID(over);
    const bool clickable = (id >= kFirstBoxId && id <= BoxId(11)) || (id >= ButtonId(0) && id <= ButtonId(2));
    if (clickable)
        pointer_.kind = kestrel::OverClickable(pointer_.kind);
    else if (over == hwnd_ || id == kFrameId || id == kPolicyNoteId)
        pointer_.kind = kestrel::OverBackground(pointer_.kind);
    SetCursor(pointer_.Cursor());
    return true;
}

LRESULT OptionsWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
        break;
    case WM_ERASEBKGND: {  // the background, and the rectangle around the tab boxes
        RECT client;
        GetClientRect(hwnd_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, look_.brush());
        FrameRect(reinterpret_cast<HDC>(wParam), &shape_, GetSysColorBrush(COLOR_WINDOWFRAME));
        return 1;
    }
    case DM_GETDEFID:  // what Enter presses
        return MAKELRESULT(GetDlgCtrlID(kestrel::DefaultButton(hwnd_, GetDlgItem(hwnd_, ButtonId(kOkButton)))),
                           DC_HASDEFID);
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:  // high contrast on or off, or other system colours
        if (look_.FollowHighContrast() || message == WM_SYSCOLORCHANGE)
            RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        break;
    case WM_CTLCOLORSTATIC:  // the frame, the check boxes and the note
        SetBkColor(reinterpret_cast<HDC>(wParam), look_.colour());
        SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(look_.brush());
    case WM_CTLCOLORBTN:  // around the push buttons
        return reinterpret_cast<LRESULT>(look_.brush());
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (HWND focus = GetFocus(); focus && GetParent(focus) == hwnd_) lastFocus_ = focus;
        } else if (lastFocus_) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_CLOSE:  // the close box: nothing is stored
        if (!busy_) DestroyWindow(hwnd_);
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;  // closing the window ends the program
    default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK OptionsWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<OptionsWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<OptionsWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace
}  // namespace menuvane

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
    try {
        if (menuvane::IsReenableCommand(commandLine)) return menuvane::RunReenableCommand();  // the setup's step
        const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        // A screen reader in another process reaches the controls' accessible objects through COM.
        const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        int result = 1;
        {
            menuvane::OptionsWindow window(instance);
            if (window.Create()) {
                window.Open(show);
                result = window.Run();
            }
        }
        if (SUCCEEDED(com)) CoUninitialize();
        return result;
    } catch (...) {
        return 1;
    }
}
