// The add-in's windows as a person meets them, on a display: the About window and the
// uninstall instructions. Run with scripts/wine-run --display.
#include "../accessibility_fixtures.h"
#include "../win_fixtures.h"
#include "host.h"
#include "language.h"
#include "stand_in_host.h"
#include "win_text.h"
#include "window_helpers_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

namespace pellwyn::testing {
namespace {

using kestrel::Px;

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    return name;
}

struct Collect {
    std::wstring caption;
    std::vector<HWND> found;
};

// Enumeration procedures: Windows calls them, so they are CALLBACK (__stdcall in 32-bit builds).
BOOL CALLBACK CollectCaptioned(HWND w, LPARAM p) {
    auto* c = reinterpret_cast<Collect*>(p);
    if (IsWindowVisible(w) && TextOf(w) == c->caption) c->found.push_back(w);
    return TRUE;
}

struct Search {
    const std::wstring* text;
    HWND found;
};

BOOL CALLBACK FindText(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<Search*>(p);
    if (TextOf(w) != *s->text) return TRUE;
    s->found = w;
    return FALSE;
}

// This thread's visible top-level windows captioned "About" (or the caption given).
std::vector<HWND> AboutWindows(const std::wstring& caption = L"About") {
    Collect collect{caption, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectCaptioned, reinterpret_cast<LPARAM>(&collect));
    return collect.found;
}

HWND ChildWithText(HWND parent, const std::wstring& text) {
    Search search{&text, nullptr};
    EnumChildWindows(parent, FindText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

RECT ClientRectIn(HWND parent, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    if (r.left > r.right) std::swap(r.left, r.right);  // in a mirrored window, from its right edge
    return r;
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf;
}

COLORREF PixelAt(HWND window, int x, int y) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump(100);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// A mouse move over `over` (the window itself, or one of its controls), as Windows reports it.
void MoveOver(HWND about, HWND over) {
    SendMessageW(about, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

bool Underlined(HWND control) { return FontOf(control).lfUnderline != 0; }

std::unique_ptr<Answer> PressAbout(Addin& addin) {
    FakeControl control;
    return Call(addin.dispatch.get(), L"ShowAbout0", {Object(&control)});
}

int Dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

TEST(OnScreen, AboutOpensOnceWithItsLayoutAndClosesWithOkOrTheCloseBox) {
    SetCursorPos(0, 0);  // the real pointer off the window (at 150 % it would lie on it): only the test's moves count
    FakeApplication app;
    auto addin = std::make_unique<Addin>();
    ASSERT_EQ(addin->Connect(&app), S_OK);
    ASSERT_EQ(PressAbout(*addin)->hr, S_OK);
    ASSERT_EQ(PressAbout(*addin)->hr, S_OK);
    Pump(300);
    std::vector<HWND> windows = AboutWindows();
    ASSERT_EQ(windows.size(), 1u) << "pressed twice, one window";
    HWND about = windows[0];

    RECT client;
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, Px(5790));
    EXPECT_EQ(client.bottom, Px(3555));
    EXPECT_NE(SendMessageW(about, WM_GETICON, ICON_SMALL, 0), 0);

    struct Expected {
        const wchar_t* text;
        const wchar_t* kind;
        int left, top, width, height;
        int size;  // hundredths of a point
        bool bold;
    };
    const Expected controls[] = {
        {L"Menuvane", L"Static", 930, 240, 4245, 600, 1200, false},
        {L"Version 7.0.0", L"Static", 1050, 1440, 1125, 225, 900, true},  // from the DLL's version resource
        {L"Website: ", L"Static", 255, 2640, 795, 225, 900, true},
        {L"www.kestrelby.example", L"Button", 1800, 2640, 2055, 225, 900, false},  // a button that Tab reaches
        {L"OK", L"Button", 4200, 3000, 1440, 405, 1125, true},
    };
    for (const Expected& e : controls) {
        SCOPED_TRACE(kestrel::WideToUtf8(e.text));
        HWND control = ChildWithText(about, e.text);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(_wcsicmp(ClassOf(control).c_str(), e.kind), 0);
        const RECT r = ClientRectIn(about, control);
        EXPECT_EQ(r.left, Px(e.left));
        EXPECT_EQ(r.top, Px(e.top));
        EXPECT_EQ(r.right - r.left, Px(e.width));
        EXPECT_EQ(r.bottom - r.top, Px(e.height));
        const LOGFONTW font = FontOf(control);
        EXPECT_STREQ(font.lfFaceName, L"Arial");
        EXPECT_EQ(font.lfHeight, -MulDiv(e.size, Dpi(), 7200));
        EXPECT_EQ(font.lfWeight >= FW_BOLD, e.bold);
    }
    // White as designed (no skin file here), with the grey half of the etched line.
    EXPECT_EQ(PixelAt(about, Px(60), Px(60)), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(about, Px(930) + 1, Px(240) + 1), RGB(255, 255, 255)) << "the title's background";
    EXPECT_EQ(PixelAt(about, Px(3000), Px(2445)), RGB(128, 128, 128));

    // The link opens underlined; the background takes the underline away, OK and the other
    // labels leave it as it is, the link brings it back.
    HWND link = ChildWithText(about, L"www.kestrelby.example");
    HWND ok = ChildWithText(about, L"OK");
    HWND version = ChildWithText(about, L"Version 7.0.0");
    EXPECT_TRUE(Underlined(link));
    MoveOver(about, ok);
    EXPECT_TRUE(Underlined(link));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND)) << "no HAND-M.CUR: the system's hand";
    MoveOver(about, about);
    EXPECT_FALSE(Underlined(link));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    MoveOver(about, version);
    EXPECT_FALSE(Underlined(link));
    MoveOver(about, link);
    EXPECT_TRUE(Underlined(link));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));

    // The window outlives the object that showed it, and keeps the DLL loaded.
    EXPECT_EQ(addin->Release(), 0u);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_FALSE(IsWindow(about));
    EXPECT_TRUE(AboutWindows().empty());
    EXPECT_EQ(DllCanUnloadNow(), S_OK);

    addin = std::make_unique<Addin>();
    ASSERT_EQ(PressAbout(*addin)->hr, S_OK);
    windows = AboutWindows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_NE(windows[0], about);
    SendMessageW(windows[0], WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump(100);
    EXPECT_TRUE(AboutWindows().empty());
    EXPECT_EQ(addin->Release(), 0u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

// An Access that answers Application.LanguageSettings.LanguageID(msoLanguageIDUI) with an LCID.
class SpeakingApplication : public FakeApplication {
public:
    explicit SpeakingApplication(std::int32_t lcid) {
        Member(L"LanguageSettings", [this](WORD, DISPPARAMS&, VARIANT* result, EXCEPINFO*) {
            settings_.AddRef();
            result->vt = VT_DISPATCH;
            result->pdispVal = &settings_;
            return S_OK;
        });
        settings_.Member(L"LanguageID", [lcid](WORD, DISPPARAMS& params, VARIANT* result, EXCEPINFO*) {
            if (params.cArgs != 1 || params.rgvarg[0].vt != VT_I4 || params.rgvarg[0].lVal != 2) return E_INVALIDARG;
            result->vt = VT_I4;
            result->lVal = lcid;
            return S_OK;
        });
    }

private:
    FakeDispatch settings_;
};

// The face at the pixel size the windows use at this DPI, and what a text needs in it drawn as
// its control draws it (see DrawnCaption): labels show "&" as it is.
int TextWidth(const wchar_t* face, const std::wstring& text, int hundredthsOfPoint, bool bold, UINT format) {
    const kestrel::UniqueHfont font = kestrel::MakeFont(face, hundredthsOfPoint, bold);
    return kestrel::testing::DrawnCaption(font.get(), text, format).need();
}

std::wstring Wide(std::string_view utf8) { return kestrel::Utf8ToWide(utf8); }

// The About window in Access's language, whatever Windows speaks: its caption, "Version",
// "Website: " and OK translated (English in any English and in a language we do not ship), every
// control in the face Windows draws that language in (Arial; Thai's and Devanagari's own, which
// draw every letter by themselves), and every caption measured in the window's fonts against its
// control: each fits, inside the window, "Website: " clear of the link. The scripts run this at
// 100 % and at 150 %.
TEST(OnScreen, AboutSpeaksAccesssLanguageAndEveryCaptionFits) {
    using kestrel::Text;
    // The languages of the window tests, and Austria's German, Hong Kong's Chinese and Syriac,
    // which we do not ship (English).
    std::vector<std::int32_t> lcids = {0x0C07, 0x0C04, 0x045A};
    for (const kestrel::testing::WindowLanguage& l : kestrel::testing::kWindowLanguages) lcids.push_back(l.lcid);
    for (const std::int32_t lcid : lcids) {
        const kestrel::Language language = kestrel::Language::FromLangId(static_cast<std::uint16_t>(lcid));
        SCOPED_TRACE(std::string(language.code()) + " " + std::to_string(lcid));
        SpeakingApplication app(lcid);
        Addin addin;
        ASSERT_EQ(addin.Connect(&app), S_OK);
        ASSERT_EQ(PressAbout(addin)->hr, S_OK);
        EXPECT_EQ(app.Invokes(L"LanguageSettings"), 1) << "Access is asked its language";
        const std::wstring caption = Wide(language(Text("about", "About")));
        EXPECT_EQ(caption == L"About", !language.translated());
        const std::vector<HWND> windows = AboutWindows(caption);
        ASSERT_EQ(windows.size(), 1u);
        HWND about = windows[0];
        RECT client;
        GetClientRect(about, &client);
        // Arabic and Hebrew: the window mirrored with its controls; never anything else of Access's.
        const auto mirrored = [](HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; };
        EXPECT_EQ(mirrored(about), language.rightToLeft());
        DWORD layout = 1;
        EXPECT_TRUE(GetProcessDefaultLayout(&layout) && layout == 0) << "the process's layout changed";
        const UINT reading = language.rightToLeft() ? DT_RTLREADING : 0;
        const kestrel::testing::WindowLanguage* row = kestrel::testing::FindWindowLanguage(language.code());
        const std::wstring face = row ? row->face : L"Arial";  // a language we do not ship: English

        struct Caption {
            std::wstring text;
            int size;  // hundredths of a point
            bool bold;
            int extra;  // pixels at 96 DPI beside the text: a push button's edges
            UINT prefix;  // DT_NOPREFIX: a label shows "&" as it is
        };
        const Caption captions[] = {
            {Wide(kestrel::FormatText(language(Text("about", "Version {1}")), {"7.0.0"})), 900, true, 0, DT_NOPREFIX},
            {Wide(language(Text("about", "Website: "))), 900, true, 0, DT_NOPREFIX},
            {L"www.kestrelby.example", 900, false, 0, DT_NOPREFIX},
            {Wide(language(Text("about", "OK"))), 1125, true, 10, 0},
        };
        std::vector<RECT> rects;
        std::string tightest;
        int slack = 1 << 30;
        for (const Caption& c : captions) {
            HWND control = ChildWithText(about, c.text);
            ASSERT_NE(control, nullptr) << "no control reads " << kestrel::WideToUtf8(c.text);
            const RECT r = ClientRectIn(about, control);
            const LOGFONTW font = FontOf(control);
            EXPECT_EQ(std::wstring(font.lfFaceName), face) << kestrel::WideToUtf8(c.text);
            if (face != L"Arial") {
                const kestrel::UniqueHfont drawn(CreateFontIndirectW(&font));
                EXPECT_EQ(kestrel::WideToUtf8(kestrel::testing::UnshapedRuns(drawn.get(), c.text)), "")
                    << kestrel::WideToUtf8(c.text);
            }
            const int need = TextWidth(face.c_str(), c.text, c.size, c.bold, c.prefix | reading) +
                             MulDiv(c.extra, Dpi(), 96),
                      room = r.right - r.left;
            EXPECT_EQ(mirrored(control), language.rightToLeft()) << kestrel::WideToUtf8(c.text);
            EXPECT_LE(need, room) << kestrel::WideToUtf8(c.text);
            EXPECT_TRUE(r.left >= 0 && r.right <= client.right && r.bottom <= client.bottom)
                << kestrel::WideToUtf8(c.text);
            if (room - need < slack) {
                slack = room - need;
                tightest = kestrel::WideToUtf8(c.text) + ": " + std::to_string(need) + " of " + std::to_string(room);
            }
            rects.push_back(r);
        }
        // "Website: " before the link, in the window's reading order.
        EXPECT_LT(rects[1].right, rects[2].left) << "\"Website: \" runs into the link";
        std::printf("%s at %d DPI: the tightest caption is %s pixels\n", std::string(language.code()).c_str(), Dpi(),
                    tightest.c_str());
        SendMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
        Pump(50);
        EXPECT_TRUE(AboutWindows(caption).empty());
        EXPECT_EQ(addin.Release(), 0u);
    }
}

// --- the keyboard, screen readers and high contrast ---------------------------------------

using kestrel::testing::Hear;
using kestrel::testing::Heard;

// A key typed into the window in front (this thread's About window), and time for the host's
// message loop, which knows nothing of the window, to pass it on.
void Type(HWND window, WORD vk, bool shift = false) {
    SetForegroundWindow(window);
    std::vector<INPUT> inputs;
    const auto add = [&](WORD key, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    if (shift) add(VK_SHIFT, false);
    add(vk, false);
    add(vk, true);
    if (shift) add(VK_SHIFT, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Pump(300);
}

bool IsDefault(HWND button) { return (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

// What Windows opens for an https address, in this prefix: a stand-in that notes its arguments.
class StandInBrowser {
public:
    StandInBrowser() {
        CreateDirectoryW(kFolder, nullptr);
        std::wstring from = L"Z:";
        for (const char* c = STANDIN_PROGRAM; *c; ++c) from += static_cast<wchar_t>(*c == '/' ? '\\' : *c);
        copied_ = CopyFileW(from.c_str(), (std::wstring(kFolder) + L"\\browser.exe").c_str(), FALSE) != 0;
        const std::wstring command = std::wstring(L"\"") + kFolder + L"\\browser.exe\" \"%1\"";
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, L"https\\shell\\open\\command", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(key);
        }
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"https\\shell\\open\\ddeexec");
        RegDeleteTreeW(HKEY_CURRENT_USER, kStarts);
    }
    bool ready() const { return copied_; }
    // How often it ran, once it has run `expected` times or 20 s have passed (a run goes through
    // Wine's start program and, where the kernel runs no 32-bit code, QEMU), and with what
    // arguments the last time.
    DWORD Runs(DWORD expected, std::wstring* arguments = nullptr) const {
        DWORD runs = 0;
        for (int i = 0; i < 400; ++i) {
            DWORD size = sizeof runs;
            RegGetValueW(HKEY_CURRENT_USER, kStarts, L"browser.exe", RRF_RT_REG_DWORD, nullptr, &runs, &size);
            if (runs >= expected) break;
            Pump(50);
        }
        if (arguments) {
            wchar_t text[512] = {};
            DWORD textSize = sizeof text;
            RegGetValueW(HKEY_CURRENT_USER, kStarts, L"browser.exe arguments", RRF_RT_REG_SZ, nullptr, text, &textSize);
            *arguments = text;
        }
        return runs;
    }

private:
    static constexpr wchar_t kFolder[] = L"C:\\Browser Stand-in";
    static constexpr wchar_t kStarts[] = L"Software\\Kestrelby Tests\\Started";
    bool copied_ = false;
};

// The keys of the About window, inside a host whose message loop knows nothing of it: OK has the
// focus; Tab and Shift+Tab go between OK and the link; Enter and Space on the link open the web
// site and leave the window, and OK is no default button meanwhile; Enter or Space on OK, and
// Esc anywhere, close it.
struct AboutKeys {
    const char* name;
    std::vector<std::pair<WORD, bool>> keys;  // a key, with Shift
    bool closes;
    DWORD opens;  // how often the web site opens
};

TEST(OnScreen, AboutByKeyboard) {
    const StandInBrowser browser;
    ASSERT_TRUE(browser.ready());
    const AboutKeys cases[] = {
        {"Esc", {{VK_ESCAPE, false}}, true, 0},
        {"Enter on OK", {{VK_RETURN, false}}, true, 0},
        {"Space on OK", {{VK_SPACE, false}}, true, 0},
        {"Enter on the link", {{VK_TAB, false}, {VK_RETURN, false}}, false, 1},
        {"Space on the link", {{VK_TAB, false}, {VK_SPACE, false}}, false, 2},
        {"Esc on the link", {{VK_TAB, false}, {VK_ESCAPE, false}}, true, 2},
        {"Shift+Tab, Tab and Enter", {{VK_TAB, true}, {VK_TAB, false}, {VK_RETURN, false}}, true, 2},
    };
    FakeApplication app;
    Addin addin;
    ASSERT_EQ(addin.Connect(&app), S_OK);
    for (const AboutKeys& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(PressAbout(addin)->hr, S_OK);
        Pump(200);
        const std::vector<HWND> windows = AboutWindows();
        ASSERT_EQ(windows.size(), 1u);
        HWND about = windows[0];
        HWND link = ChildWithText(about, L"www.kestrelby.example"), ok = ChildWithText(about, L"OK");
        EXPECT_EQ(GetFocus(), ok);
        EXPECT_TRUE(IsDefault(ok));
        for (const auto& [key, shift] : c.keys) {
            const HWND before = GetFocus();
            Type(about, key, shift);
            if (key == VK_TAB) {
                EXPECT_EQ(GetFocus(), before == ok ? link : ok) << "Tab goes between OK and the link";
                EXPECT_EQ(IsDefault(ok), GetFocus() == ok);
                if (GetFocus() == link) kestrel::testing::SaveScreenshot(about, "about-keyboard-link");
            }
        }
        EXPECT_EQ(!IsWindow(about), c.closes);
        std::wstring arguments;
        EXPECT_EQ(browser.Runs(c.opens, c.opens ? &arguments : nullptr), c.opens);
        if (c.opens) { EXPECT_NE(arguments.find(L"https://www.kestrelby.example"), std::wstring::npos); }
        if (IsWindow(about)) SendMessageW(about, WM_CLOSE, 0, 0);
        Pump(50);
    }
    EXPECT_EQ(addin.Release(), 0u);
}

// What a screen reader hears of the About window and each of its parts.
TEST(OnScreen, AboutTellsScreenReadersWhatEachPartIs) {
    FakeApplication app;
    Addin addin;
    ASSERT_EQ(addin.Connect(&app), S_OK);
    ASSERT_EQ(PressAbout(addin)->hr, S_OK);
    Pump(200);
    const std::vector<HWND> windows = AboutWindows();
    ASSERT_EQ(windows.size(), 1u);
    HWND about = windows[0];
    struct Part {
        const wchar_t* text;
        LONG role;
        LONG stateOn, stateOff;
    };
    const Part parts[] = {
        {L"Menuvane", ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY, STATE_SYSTEM_FOCUSABLE},
        {L"Version 7.0.0", ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY, STATE_SYSTEM_FOCUSABLE},
        {L"Website: ", ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY, STATE_SYSTEM_FOCUSABLE},
        {L"www.kestrelby.example", ROLE_SYSTEM_LINK, STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE,
         STATE_SYSTEM_FOCUSED},
        {L"OK", ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_DEFAULT | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE, 0},
    };
    for (const Part& p : parts) {
        SCOPED_TRACE(kestrel::WideToUtf8(p.text));
        const Heard h = Hear(ChildWithText(about, p.text));
        ASSERT_EQ(h.hr, S_OK);
        EXPECT_EQ(h.name, p.text);
        EXPECT_EQ(h.role, p.role);
        EXPECT_EQ(h.state & p.stateOn, p.stateOn);
        EXPECT_EQ(h.state & p.stateOff, 0);
        EXPECT_EQ(h.shortcut, L"");
    }
    const Heard window = Hear(about);
    EXPECT_EQ(window.name, L"About");
    EXPECT_EQ(window.role, ROLE_SYSTEM_DIALOG);
    SendMessageW(about, WM_CLOSE, 0, 0);
    Pump(50);
    EXPECT_EQ(addin.Release(), 0u);
}

// In high contrast the About window takes the system's colours (here a black scheme) and no skin,
// and draws nothing in the design's colours (white, dark green, blue, the grey line).
TEST(OnScreen, AboutInHighContrastHasOnlyTheSystemsColours) {
    const std::filesystem::path skin = std::filesystem::path(InstallFolder()) / "x";
    std::filesystem::create_directory(skin);
    std::ofstream(skin / "o.cjs") << "skin";
    const kestrel::testing::HighContrastColours colours;
    for (const std::int32_t lcid : {0x0409, 0x0407}) {
        const kestrel::Language language = kestrel::Language::FromLangId(static_cast<std::uint16_t>(lcid));
        SCOPED_TRACE(std::string(language.code()));
        SpeakingApplication app(lcid);
        Addin addin;
        ASSERT_EQ(addin.Connect(&app), S_OK);
        HMODULE pellwyn = GetModuleHandleW(L"Pellwyn.dll");
        ASSERT_NE(pellwyn, nullptr);
        const kestrel::testing::HighContrastFor highContrast(pellwyn);
        ASSERT_TRUE(highContrast.on());
        ASSERT_EQ(PressAbout(addin)->hr, S_OK);
        Pump(300);
        const std::vector<HWND> windows = AboutWindows(Wide(language(kestrel::Text("about", "About"))));
        ASSERT_EQ(windows.size(), 1u);
        HWND about = windows[0];
        EXPECT_EQ(PixelAt(about, Px(60), Px(60)), GetSysColor(COLOR_WINDOW)) << "no skin, no white";
        EXPECT_EQ(PixelAt(about, Px(930) + 1, Px(240) + 1), GetSysColor(COLOR_WINDOW)) << "the title's background";
        RECT client;
        GetClientRect(about, &client);
        // The focus rectangle inverts what it crosses (black to white here), as Windows draws it.
        const RECT focused = ClientRectIn(about, GetFocus());
        HDC dc = GetDC(about);
        int designed = 0, lines = 0;
        for (int y = 0; y < client.bottom; ++y)
            for (int x = 0; x < client.right; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                const POINT at{x, y};
                designed += kestrel::testing::HighContrastColours::Designed(c) &&
                            !(c == RGB(255, 255, 255) && PtInRect(&focused, at));
                lines += y == Px(2445) && c == GetSysColor(COLOR_BTNSHADOW);
            }
        ReleaseDC(about, dc);
        EXPECT_EQ(designed, 0) << "pixels in the design's own colours";
        EXPECT_GT(lines, 0) << "the etched line in the system's shadow colour";
        kestrel::testing::SaveScreenshot(about, ("about-high-contrast-" + std::string(language.code())).c_str());
        SendMessageW(about, WM_CLOSE, 0, 0);
        Pump(50);
        EXPECT_EQ(addin.Release(), 0u);
    }
    std::filesystem::remove_all(skin);
}

// A 32 x 32 monochrome cursor file: an arrow-less black square, hot spot in the middle.
void WriteCursorFile(const std::filesystem::path& file) {
    std::vector<unsigned char> bytes = {0, 0, 2, 0, 1, 0,                   // reserved, type: cursor, one image
                                        32, 32, 0, 0, 16, 0, 16, 0,         // size, colours, hot spot
                                        0x30, 1, 0, 0, 22, 0, 0, 0,         // 304 bytes at offset 22
                                        40, 0, 0, 0, 32, 0, 0, 0, 64, 0, 0, 0, 1, 0, 1, 0};
    bytes.resize(22 + 40, 0);
    const unsigned char palette[] = {0, 0, 0, 0, 255, 255, 255, 0};
    bytes.insert(bytes.end(), std::begin(palette), std::end(palette));
    bytes.resize(bytes.size() + 128, 0x00);  // colour: black
    bytes.resize(bytes.size() + 128, 0x00);  // mask: all drawn
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                 static_cast<std::streamsize>(bytes.size()));
}

TEST(OnScreen, AboutTakesTheSkinAndThePointerFileBesideTheDll) {
    const std::filesystem::path folder(InstallFolder());
    const std::filesystem::path pointer = folder / "HAND-M.CUR";
    FakeApplication app;
    Addin addin;
    ASSERT_EQ(addin.Connect(&app), S_OK);

    // A pointer file that is no cursor: the window cannot load, the command fails, nothing stays.
    std::ofstream(pointer) << "not a cursor";
    const auto failed = PressAbout(addin);
    EXPECT_EQ(failed->hr, DISP_E_EXCEPTION);
    EXPECT_TRUE(FAILED(failed->exception.scode));
    EXPECT_TRUE(AboutWindows().empty());

    WriteCursorFile(pointer);
    std::filesystem::create_directory(folder / "x");
    std::ofstream(folder / "x" / "o.cjs") << "skin";
    ASSERT_EQ(PressAbout(addin)->hr, S_OK);
    std::vector<HWND> windows = AboutWindows();
    ASSERT_EQ(windows.size(), 1u);
    HWND about = windows[0];
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(PixelAt(about, Px(60), Px(60)), face);
    EXPECT_EQ(PixelAt(about, Px(930) + 1, Px(240) + 1), face) << "labels take the window's colour";
    MoveOver(about, ChildWithText(about, L"www.kestrelby.example"));
    const HCURSOR custom = GetCursor();
    EXPECT_NE(custom, LoadCursorW(nullptr, IDC_HAND)) << "HAND-M.CUR is the hand";
    EXPECT_NE(custom, LoadCursorW(nullptr, IDC_ARROW));
    MoveOver(about, about);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
    MoveOver(about, ChildWithText(about, L"OK"));
    EXPECT_EQ(GetCursor(), custom);

    SendMessageW(about, WM_CLOSE, 0, 0);
    std::filesystem::remove(pointer);
    std::filesystem::remove_all(folder / "x");
    EXPECT_EQ(addin.Release(), 0u);
}

struct SeenBox {
    bool found = false;
    std::wstring text;
    std::vector<std::wstring> buttons;  // visible ones
    bool icon = false;
};

// Finds this process's message box captioned "Pellwyn", reads it, leaves it up for a while so
// that refresh ticks come due, then presses its OK.
SeenBox WatchForTheBox(DWORD holdMilliseconds) {
    SeenBox seen;
    HWND box = nullptr;
    for (int i = 0; i < 200 && !box; ++i) {
        Sleep(50);
        HWND w = nullptr;
        while ((w = FindWindowExW(nullptr, w, L"#32770", L"Pellwyn")) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == GetCurrentProcessId()) box = w;
        }
    }
    if (!box) return seen;
    seen.found = true;
    seen.text = TextOf(GetDlgItem(box, 0xFFFF));
    HWND ok = nullptr;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c)) continue;
        if (_wcsicmp(ClassOf(c).c_str(), L"Button") == 0) {
            seen.buttons.push_back(TextOf(c));
            if (GetDlgCtrlID(c) == IDOK) ok = c;
        }
        if (_wcsicmp(ClassOf(c).c_str(), L"Static") == 0 && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageW(c, STM_GETICON, 0, 0) != 0)
            seen.icon = true;
    }
    Sleep(holdMilliseconds);
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    return seen;
}

TEST(OnScreen, UninstallShowsTheInstructionsAndTheRefreshWaitsForIt) {
    WriteSettings({});
    FakeApplication app;
    FakeRibbon ribbon;
    FakeControl control;
    Addin addin;
    ASSERT_EQ(addin.Connect(&app), S_OK);
    ASSERT_EQ(Call(addin.dispatch.get(), L"ribbonLoaded", {Object(&ribbon)})->hr, S_OK);

    // A change that the checks would invalidate for, made before the box's message loop runs.
    app.SetType(kAcForm);
    app.design = true;
    const int asked = app.Invokes(L"CurrentObjectType");
    SeenBox seen;
    std::thread watcher([&seen] { seen = WatchForTheBox(3000); });
    const ULONGLONG start = GetTickCount64();
    const auto answer = Call(addin.dispatch.get(), L"Uninstall0", {Object(&control)});
    const ULONGLONG end = GetTickCount64();
    watcher.join();

    ASSERT_TRUE(seen.found) << "no message box captioned Pellwyn";
    EXPECT_EQ(answer->hr, S_OK);
    EXPECT_EQ(answer->result.vt, VT_EMPTY);
    EXPECT_EQ(seen.text,
              L"To uninstall, close Access and then go to\r\rStart > Program Files > Menuvane > Uninstall Menuvane");
    EXPECT_EQ(seen.buttons, std::vector<std::wstring>{L"OK"});
    EXPECT_FALSE(seen.icon);
    EXPECT_GE(end - start, 3000u);
    EXPECT_TRUE(ribbon.invalidations.empty()) << "a check re-entered Access while the box was up";
    EXPECT_EQ(app.Invokes(L"CurrentObjectType"), asked) << "nothing asked while the box was up";

    Pump(1000);
    EXPECT_EQ(ribbon.invalidations.size(), 1u) << "the checks go on after the box, and see the change";
    EXPECT_EQ(addin.Disconnect(), S_OK);
    EXPECT_EQ(addin.Release(), 0u);
    EXPECT_EQ(ribbon.refs(), 1u);
}

// The uninstall box in Access's language: Traditional Chinese for Hong Kong's Access; Arabic with
// the marks that keep its path's arrows pointing one way. (It also asks for right-to-left reading,
// which Wine's message boxes ignore: that is not seen here.)
TEST(OnScreen, UninstallSpeaksAccesssLanguage) {
    const struct {
        std::int32_t lcid;
        const char* text;
    } cases[] = {
        {0x0C04, "若要解除安裝，請關閉 Access，然後移至\r\r開始 > 所有程式 > Menuvane > Uninstall Menuvane"},
        {0x0401,
         "لإلغاء التثبيت، أغلق Access ثم انتقل إلى\r\rابدأ > كافة البرامج > Menuvane\u200F > Uninstall Menuvane\u200F"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lcid);
        SpeakingApplication app(c.lcid);
        FakeControl control;
        Addin addin;
        ASSERT_EQ(addin.Connect(&app), S_OK);
        SeenBox seen;
        std::thread watcher([&seen] { seen = WatchForTheBox(0); });
        const auto answer = Call(addin.dispatch.get(), L"Uninstall0", {Object(&control)});
        watcher.join();
        ASSERT_TRUE(seen.found) << "no message box captioned Pellwyn";
        EXPECT_EQ(answer->hr, S_OK);
        EXPECT_EQ(seen.text, Wide(c.text));
        EXPECT_EQ(addin.Release(), 0u);
    }
}

}  // namespace
}  // namespace pellwyn::testing
