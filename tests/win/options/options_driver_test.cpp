// Menuvane.exe driven through its window, the way a person uses it: it runs from a folder with a
// blank in its name beside a stand-in Pellwyn.dll, "MSACCESS" is a stand-in found on the search
// path, and a regsvr32.exe planted beside the program must never run. Each test starts the
// program afresh on a clean registry, clicks with BM_CLICK, reads the boxes with BM_GETCHECK and
// checks what it stored, registered and started.
#include "../accessibility_fixtures.h"
#include "../win_fixtures.h"
#include "access_key.h"
#include "error_report.h"
#include "option_rules.h"
#include "language.h"
#include "win_text.h"
#include "product.h"
#include "standin.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>
#include <tlhelp32.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using kestrel::testing::Hear;
using kestrel::testing::Heard;
using kestrel::testing::KeyLocked;
using kestrel::testing::RunProgram;
using kestrel::testing::RunReg;
using kestrel::testing::SystemProgram;

const std::wstring kAppFolder = L"C:\\Program Files\\Menuvane Test";
const std::wstring kAccessFolder = L"C:\\Access Stand-in";
constexpr wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Kestrelby\\Menuvane";
constexpr wchar_t kMainClass[] = L"Menuvane.Options";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr DWORD kPatience = 20000;  // ms to wait for a window or for the program to end

// The boxes by caption, in the order 0, 1, 2, 3, 4, 5, 6, 11.
const std::array<const wchar_t*, 8> kBoxCaptions = {
    L"Show Classic Menu and Toolbars in MS Access 2007", L"Show menu tabs on the left of home tab",
    L"Show all items in main menu", L"Home", L"Create", L"External Data", L"Database Tools", L"Hide built-in tabs"};
// The same captions as their texts, which every language translates.
const std::array<kestrel::TextId, 8> kBoxTexts = {
    kestrel::Text("options", "&Show Classic Menu and Toolbars in MS Access 2007"),
    kestrel::Text("options", "Show menu tabs on the &left of home tab"),
    kestrel::Text("options", "Show &all items in main menu"),
    kestrel::Text("options", "Hom&e"), kestrel::Text("options", "&Create"), kestrel::Text("options", "E&xternal Data"),
    kestrel::Text("options", "&Database Tools"), kestrel::Text("options", "Hide &built-in tabs")};
const std::array<const wchar_t*, 8> kKeys = {L"Classic", L"Left", L"All", L"Home", L"Create", L"External Data",
                                             L"Database Tools", L"Hide built-in Tabs"};
using States = std::array<int, 8>;

std::wstring Widen(const char* s) {
    std::wstring w;
    for (; *s; ++s) w += static_cast<wchar_t>(*s == '/' ? '\\' : *s);
    return w;
}
std::wstring FromBuild(const char* unixPath) { return L"Z:" + Widen(unixPath); }

// Asked of the window itself: GetWindowText would not ask another process's edit control.
std::wstring TextOf(HWND hwnd) {
    wchar_t text[512];
    const LRESULT n = SendMessageW(hwnd, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return std::wstring(text, static_cast<std::size_t>(n));
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64];
    return std::wstring(name, static_cast<std::size_t>(GetClassNameW(hwnd, name, 64)));
}

// A caption as drawn: without the "&" that marks its access key.
std::wstring Drawn(const std::wstring& caption) {
    return kestrel::Utf8ToWide(kestrel::WithoutAccessKeyMark(kestrel::WideToUtf8(caption)));
}

// Windows' display language, which the window speaks, and a text in it.
kestrel::Language DisplayLanguage() { return kestrel::Language::FromLangId(GetUserDefaultUILanguage()); }
std::wstring Caption(kestrel::TextId id) { return kestrel::Utf8ToWide(DisplayLanguage()(id)); }
// Box i of kBoxCaptions, in Windows' display language.
std::wstring BoxCaption(std::size_t i) { return Caption(kBoxTexts[i]); }

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (const wchar_t c : w) s += c < 128 ? static_cast<char>(c) : '?';
    return s;
}

// --- the registry ---------------------------------------------------------------------------

std::wstring Setting(const wchar_t* name) {
    wchar_t value[64];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"(missing)";
    return value;
}

void StoreSetting(const wchar_t* name, const std::wstring& text) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::vector<std::wstring> StoredSettings() {
    std::vector<std::wstring> values;
    for (const wchar_t* key : kKeys) values.push_back(Setting(key));
    return values;
}

std::vector<std::wstring> Texts(std::initializer_list<const wchar_t*> texts) { return {texts.begin(), texts.end()}; }

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

DWORD Dword(HKEY root, const std::wstring& path, const std::wstring& name, DWORD missing = 0xDEADBEEF) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return missing;
    return value;
}

std::wstring Text(HKEY root, const std::wstring& path, const wchar_t* name) {
    wchar_t value[MAX_PATH];
    DWORD size = sizeof value;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return L"(missing)";
    return value;
}

bool ClassRegistered() {
    return Text(HKEY_CLASSES_ROOT, L"Kavrel.Connect\\CLSID", nullptr) == standin::kClsid &&
           Text(HKEY_CLASSES_ROOT, std::wstring(L"CLSID\\") + standin::kClsid + L"\\InprocServer32", nullptr) ==
               kAppFolder + L"\\Pellwyn.dll";
}

// On 64-bit Windows a regsvr32 of the other bitness would put the class where this build's
// Access never looks.
bool ClassInTheOtherView() {
    const REGSAM other = sizeof(void*) == 4 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    const std::wstring path = std::wstring(L"Software\\Classes\\CLSID\\") + standin::kClsid;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | other, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool AddinKeyExists() { return KeyExists(HKEY_CURRENT_USER, standin::kAddinKey); }
DWORD LoadBehavior() { return Dword(HKEY_CURRENT_USER, standin::kAddinKey, L"LoadBehavior"); }

// --- processes ------------------------------------------------------------------------------

bool AnyRunning(const wchar_t* exeName) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        found = lstrcmpiW(entry.szExeFile, exeName) == 0;
    CloseHandle(snapshot);
    return found;
}

// How often a stand-in program ran, once every copy of it has finished.
DWORD Starts(const wchar_t* exeName) {
    for (DWORD waited = 0; AnyRunning(exeName) && waited < kPatience; waited += 50) Sleep(50);
    return Dword(HKEY_CURRENT_USER, standin::kStartsKey, exeName, 0);
}

void RunRegsvr32(const std::wstring& arguments) {
    ASSERT_EQ(RunProgram(SystemProgram(L"regsvr32.exe"), arguments, kPatience), 0u) << "regsvr32 " << Narrow(arguments);
}

void CopyInto(const std::wstring& from, const std::wstring& folder, const wchar_t* name) {
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(from.c_str(), (folder + L"\\" + name).c_str(), FALSE)) << Narrow(from);
}

void Touch(const wchar_t* name) {
    const HANDLE file = CreateFileW((kAppFolder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

// --- Office's keys, made with reg.exe as Office or an administrator leaves them -------------

std::wstring DisabledItems(const wchar_t* version) {
    return std::wstring(L"Software\\Microsoft\\Office\\") + version + L"\\Access\\Resiliency\\DisabledItems";
}

// A disabled item in reg.exe's hex: the kind, the byte lengths of path and name with their
// NULs, then both in UTF-16LE with their NULs.
std::wstring ItemHex(DWORD kind, const std::wstring& path, const std::wstring& name) {
    std::wstring hex;
    auto byte = [&](unsigned b) {
        wchar_t h[3];
        std::swprintf(h, 3, L"%02x", b & 0xFF);
        hex += h;
    };
    auto dword = [&](std::size_t v) {
        for (int i = 0; i < 4; ++i) byte(static_cast<unsigned>(v >> (8 * i)));
    };
    dword(kind);
    dword(2 * (path.size() + 1));
    dword(2 * (name.size() + 1));
    for (const std::wstring* text : {&path, &name}) {
        for (const wchar_t c : *text) {
            byte(c);
            byte(static_cast<unsigned>(c) >> 8);
        }
        byte(0);
        byte(0);
    }
    return hex;
}

// reg add, in the 64-bit view where Group Policy writes (HKCU\Software is one for both).
void RegAdd(const std::wstring& key, const wchar_t* name, const wchar_t* type, const std::wstring& data) {
    ASSERT_EQ(RunReg(L"add \"" + key + L"\" /v \"" + name + L"\" /t " + type + L" /d \"" + data + L"\" /f /reg:64"), 0u)
        << Narrow(key) << " " << Narrow(name);
}

// The names of a key's values, sorted; empty when the key is missing.
std::vector<std::wstring> ValueNames(const std::wstring& path) {
    std::vector<std::wstring> names;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return names;
    wchar_t name[256];
    for (DWORD i = 0, n = 256; RegEnumValueW(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, n = 256)
        names.emplace_back(name, n);
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
}

class Installed : public ::testing::Environment {
public:
    void SetUp() override {
        CopyInto(FromBuild(MENUVANE_EXE), kAppFolder, L"Menuvane.exe");
        CopyInto(FromBuild(STANDIN_DLL), kAppFolder, L"Pellwyn.dll");
        CopyInto(FromBuild(STANDIN_ACCESS), kAccessFolder, L"MSACCESS.exe");
        // A regsvr32.exe beside the program must never be the one that runs.
        CopyInto(FromBuild(STANDIN_ACCESS), kAppFolder, L"regsvr32.exe");
        // The shell finds "MSACCESS" on the search path, which the options program inherits.
        wchar_t path[8192];
        const DWORD n = GetEnvironmentVariableW(L"PATH", path, 8192);
        SetEnvironmentVariableW(L"PATH", (kAccessFolder + L";" + std::wstring(path, n)).c_str());
    }
};

// --- the program and its windows ------------------------------------------------------------

struct Found {
    DWORD pid;
    const wchar_t* className;
    const wchar_t* title;  // nullptr: any
    HWND hwnd;
};

BOOL CALLBACK Match(HWND hwnd, LPARAM lParam) {
    auto* f = reinterpret_cast<Found*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != f->pid || !IsWindowVisible(hwnd) || ClassOf(hwnd) != f->className) return TRUE;
    if (f->title && TextOf(hwnd) != f->title) return TRUE;
    f->hwnd = hwnd;
    return FALSE;
}

class Menuvane {
public:
    Menuvane() {
        const std::wstring program = kAppFolder + L"\\Menuvane.exe";
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        // Started elsewhere than its folder: Access must start in the program's folder all the same,
        // and "MSACCESS" can only be found through the search path.
        ok_ = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, L"C:\\",
                             &startup, &process_);
        if (!ok_) error_ = GetLastError();
    }
    ~Menuvane() {
        if (!ok_) return;
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    Menuvane(const Menuvane&) = delete;
    Menuvane& operator=(const Menuvane&) = delete;

    bool started() const { return ok_; }
    DWORD error() const { return error_; }

    // A visible top-level window of the program; nullptr when none came in time.
    HWND Wait(const wchar_t* className, const wchar_t* title = nullptr) const {
        for (DWORD waited = 0; waited < kPatience; waited += 50) {
            Found f{process_.dwProcessId, className, title, nullptr};
            EnumWindows(&Match, reinterpret_cast<LPARAM>(&f));
            if (f.hwnd) return f.hwnd;
            Sleep(50);
        }
        return nullptr;
    }
    HWND Main() {
        if (!main_) main_ = Wait(kMainClass);
        return main_;
    }
    // A control by its caption as drawn ("Cancel" finds "Ca&ncel").
    HWND Control(const wchar_t* caption) {
        for (HWND c = GetWindow(Main(), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            if (Drawn(TextOf(c)) == Drawn(caption)) return c;
        return nullptr;
    }
    HANDLE process() const { return process_.hProcess; }

    void Click(const wchar_t* caption) {
        HWND box = Control(caption);
        ASSERT_NE(box, nullptr) << Narrow(caption);
        SendMessageW(box, BM_CLICK, 0, 0);
    }
    // Posted: the button's work may show a box of its own, which the test then answers.
    void Press(const wchar_t* caption) {
        HWND button = Control(caption);
        ASSERT_NE(button, nullptr) << Narrow(caption);
        PostMessageW(button, BM_CLICK, 0, 0);
    }
    States Boxes() {
        States s{};
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<int>(SendMessageW(Control(BoxCaption(i).c_str()), BM_GETCHECK, 0, 0));
        return s;
    }
    // The program's exit code once it has ended by itself; 259 (still running) if it has not.
    DWORD Ended() const {
        WaitForSingleObject(process_.hProcess, kPatience);
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    bool ok_ = false;
    DWORD error_ = 0;
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
};

// A pixel of the window in twips from its client area's corner, once painting has settled on
// the expected colour (or the last colour seen, when it does not in time).
COLORREF PixelAt(HWND window, int xTwips, int yTwips, COLORREF expected) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    COLORREF seen = CLR_INVALID;
    for (DWORD waited = 0; waited < 3000 && seen != expected; waited += 50) {
        if (waited) Sleep(50);
        HDC dc = GetDC(window);
        seen = GetPixel(dc, MulDiv(xTwips, dpi, 1440), MulDiv(yTwips, dpi, 1440));
        ReleaseDC(window, dc);
    }
    return seen;
}

RECT ScreenRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// The rectangle that the window draws around the four tab boxes (no control: a screen reader
// has nothing to say of it), on the screen, found from the boxes' places by its colour, the
// system's window-frame colour: along the gap between the two rows of tab boxes, and up and
// down right of every box.
RECT DrawnRectangle(Menuvane& app) {
    HWND main = app.Main();
    const auto in = [main](RECT r) {
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const auto box = [&](std::size_t i) { return in(ScreenRect(app.Control(BoxCaption(i).c_str()))); };
    const RECT home = box(3), create = box(4), ed = box(5), dt = box(6), hide = box(7);
    RECT client;
    GetClientRect(main, &client);
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    HDC dc = GetDC(main);
    const auto edge = [&](int x, int y) { return GetPixel(dc, x, y) == frame; };
    const int gap = (home.bottom + create.top) / 2, right = std::max({ed.right, dt.right, hide.right}) + 2;
    RECT r{home.left, gap, right, gap};
    while (r.left > 0 && !edge(r.left, gap)) --r.left;
    while (r.right < client.right && !edge(r.right, gap)) ++r.right;
    while (r.top > 0 && !edge(right, r.top)) --r.top;
    while (r.bottom < client.bottom && !edge(right, r.bottom)) ++r.bottom;
    ReleaseDC(main, dc);
    r.right += 1;  // the edges are part of it
    r.bottom += 1;
    MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The text of a message box, and its dismissal.
std::wstring MessageText(HWND box) {
    std::wstring longest;
    for (HWND child = FindWindowExW(box, nullptr, L"Static", nullptr); child;
         child = FindWindowExW(box, child, L"Static", nullptr))
        if (TextOf(child).size() > longest.size()) longest = TextOf(child);
    return longest;
}

void Dismiss(HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); }

const std::wstring kSupportLine = L"Please email screenshot of this message to support@kestrelby.example";

class OptionsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Kestrelby");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\Access\\AddIns");
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kestrelby Tests");
        for (const wchar_t* version : {L"12.0", L"14.0", L"15.0", L"16.0"})
            RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Microsoft\\Office\\") + version).c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Policies\\Microsoft\\Office");
        HKEY policies;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Policies\\Microsoft", 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                          &policies) == ERROR_SUCCESS) {
            RegDeleteTreeW(policies, L"Office");
            RegCloseKey(policies);
        }
        RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + standin::kClsid).c_str());
        RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Kavrel.Connect");
        for (const wchar_t* marker : {L"fail-register", L"fail-unregister", L"slow-register", L"HAND-M.CUR"})
            DeleteFileW((kAppFolder + L"\\" + marker).c_str());
        DeleteFileW((kAppFolder + L"\\x\\o.cjs").c_str());
        RemoveDirectoryW((kAppFolder + L"\\x").c_str());
        kestrel::testing::RemovePolicies();
    }
};

const std::wstring kPolicyNote = L"Some options are set by your administrator.";

//                                       0  1  2  3  4  5  6  11
constexpr States kFirstRun            = {1, 1, 1, 0, 0, 0, 0, 0};
constexpr States kAllClear            = {0, 0, 0, 0, 0, 0, 0, 0};

TEST_F(OptionsWindow, OpensCentredWithEveryControlInPlaceAndTheFirstRunChoices) {
    Menuvane app;
    ASSERT_TRUE(app.started()) << "CreateProcess: error " << app.error();
    HWND main = app.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(TextOf(main), L"Menuvane");
    EXPECT_EQ(app.Boxes(), kFirstRun);

    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    RECT client;
    GetClientRect(main, &client);
    EXPECT_EQ(client.right, px(8040));
    EXPECT_EQ(client.bottom, px(4230));
    RECT outer;
    GetWindowRect(main, &outer);
    EXPECT_NEAR((outer.left + outer.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((outer.top + outer.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    // Wine hands neither fonts nor icons to another process, so those show in the screenshot.
    struct Place {
        const wchar_t* caption;
        int left, top, width, height;  // twips, in the window's client area
    };
    const Place places[] = {
        {L"Help", 120, 120, 7800, 405},
        {L"Access Options", 120, 590, 7800, 3015},
        {kBoxCaptions[0], 120 + 240, 590 + 240, 5295, 375},
        {kBoxCaptions[1], 120 + 600, 590 + 600, 3975, 375},
        {kBoxCaptions[2], 120 + 600, 590 + 960, 3375, 375},
        {kBoxCaptions[7], 120 + 600, 590 + 1560, 1815, 375},
        {L"Home", 120 + 840, 590 + 1920, 1095, 225},
        {L"External Data", 120 + 2040, 590 + 1920, 1455, 225},
        {L"Create", 120 + 840, 590 + 2280, 975, 225},
        {L"Database Tools", 120 + 2040, 590 + 2280, 1815, 225},
        {L"OK", 120, 3720, 3840, 405},
        {L"Cancel", 4080, 3720, 3840, 405},
        {nullptr, 960, 4660, 975, 525},  // Text1
    };
    HWND text1 = FindWindowExW(main, nullptr, L"Edit", nullptr);
    ASSERT_NE(text1, nullptr);
    EXPECT_EQ(TextOf(text1), L"Text1");
    for (const Place& p : places) {
        SCOPED_TRACE(p.caption ? Narrow(p.caption) : "Text1");
        HWND control = p.caption ? app.Control(p.caption) : text1;
        ASSERT_NE(control, nullptr);
        RECT r;
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_NEAR(r.left, px(p.left), 1);
        EXPECT_NEAR(r.top, px(p.top), 1);
        EXPECT_NEAR(r.right - r.left, px(p.width), 1);
        EXPECT_NEAR(r.bottom - r.top, px(p.height), 1);
        if (!p.caption) {
            EXPECT_GE(r.top, client.bottom);  // out of sight
        }
    }

    // The tab order: the first visible control, Help, has the focus at first, and the tab stops
    // come back to it. The text box is hidden and no tab stop.
    EXPECT_FALSE(IsWindowVisible(text1));
    EXPECT_EQ(GetWindowLongW(text1, GWL_STYLE) & WS_TABSTOP, 0);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    std::vector<std::wstring> order;
    HWND at = app.Control(L"Help");
    EXPECT_EQ(GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui) ? gui.hwndFocus : nullptr, at);
    for (int i = 0; i < 11; ++i) {
        at = GetNextDlgTabItem(main, at, FALSE);
        order.push_back(Drawn(TextOf(at)));
    }
    EXPECT_EQ(order, (std::vector<std::wstring>{kBoxCaptions[0], kBoxCaptions[1], kBoxCaptions[2], kBoxCaptions[7],
                                                L"Home", L"Create", L"External Data", L"Database Tools", L"OK",
                                                L"Cancel", L"Help"}));
    // The rectangle around the tab boxes, as designed, drawn by the window.
    RECT shape = DrawnRectangle(app);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&shape), 2);
    EXPECT_NEAR(shape.left, px(120 + 600), 1);
    EXPECT_NEAR(shape.top, px(590 + 1680), 1);
    EXPECT_NEAR(shape.right, px(120 + 600 + 3495), 1);
    EXPECT_NEAR(shape.bottom, px(590 + 1680 + 1095), 1);

    // Without policies every box can be changed and the note stays hidden.
    for (const wchar_t* caption : kBoxCaptions) EXPECT_TRUE(IsWindowEnabled(app.Control(caption))) << Narrow(caption);
    EXPECT_FALSE(IsWindowVisible(app.Control(kPolicyNote.c_str())));

    // The background is white where the window shows through, outside and inside the frame.
    EXPECT_EQ(PixelAt(main, 60, 560, RGB(255, 255, 255)), RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(main, 7000, 2000, RGB(255, 255, 255)), RGB(255, 255, 255));

    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(app.Ended(), 0u);
}

TEST_F(OptionsWindow, ClicksFollowTheRulesAndTheCloseBoxStoresAndStartsNothing) {
    Menuvane app;
    ASSERT_NE(app.Main(), nullptr);
    app.Click(kBoxCaptions[0]);
    EXPECT_EQ(app.Boxes(), kAllClear);
    app.Click(kBoxCaptions[0]);
    EXPECT_EQ(app.Boxes(), kFirstRun);
    app.Click(L"Home");
    EXPECT_EQ(app.Boxes(), (States{1, 0, 1, 1, 0, 0, 0, 0}));
    app.Click(kBoxCaptions[1]);
    EXPECT_EQ(app.Boxes(), (States{1, 1, 1, 0, 0, 0, 0, 0}));
    app.Click(kBoxCaptions[7]);
    EXPECT_EQ(app.Boxes(), (States{1, 0, 1, 1, 1, 1, 1, 1}));
    app.Click(kBoxCaptions[7]);
    EXPECT_EQ(app.Boxes(), (States{1, 0, 1, 0, 0, 0, 0, 0}));
    app.Click(L"External Data");
    EXPECT_EQ(app.Boxes(), (States{1, 0, 1, 0, 0, 1, 0, 1}));
    app.Click(kBoxCaptions[7]);  // unchecking 11 clears External Data again
    app.Click(kBoxCaptions[7]);  // with all four clear, checking it checks them
    EXPECT_EQ(app.Boxes(), (States{1, 0, 1, 1, 1, 1, 1, 1}));

    // Help: a box titled with the program's name, and the window carries on.
    app.Press(L"Help");
    HWND help = app.Wait(kDialogClass, L"Menuvane");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(MessageText(help), L"Questions? Please contact Team Kestrelby at https://www.kestrelby.example/contact");
    Dismiss(help);

    PostMessageW(app.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(app.Ended(), 0u);
    EXPECT_EQ(StoredSettings(), std::vector<std::wstring>(8, L"(missing)"));
    EXPECT_FALSE(AddinKeyExists());
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 0u);
}

TEST_F(OptionsWindow, OkStoresAllEightRegistersBeforeStartingAccessOnce) {
    StoreSetting(L"Home", L"1");
    StoreSetting(L"Hide built-in Tabs", L"1");
    Touch(L"slow-register");  // registering takes a while: Access must still find it done
    Menuvane app;
    ASSERT_NE(app.Main(), nullptr);
    EXPECT_EQ(app.Boxes(), (States{1, 0, 1, 1, 0, 0, 0, 0}));
    app.Click(L"Database Tools");
    app.Press(L"OK");
    EXPECT_EQ(app.Ended(), 0u);
    EXPECT_EQ(StoredSettings(), Texts({L"1", L"0", L"1", L"1", L"0", L"0", L"1", L"1"}));
    EXPECT_TRUE(ClassRegistered());
    EXPECT_FALSE(ClassInTheOtherView());
    EXPECT_EQ(LoadBehavior(), 3u);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, standin::kAddinKey, L"FriendlyName"), L"Menuvane");
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 1u);
    EXPECT_EQ(Dword(HKEY_CURRENT_USER, standin::kStartsKey, L"MSACCESS.exe LoadBehavior"), 3u);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, standin::kStartsKey, L"MSACCESS.exe folder"), kAppFolder);
    EXPECT_EQ(Starts(L"regsvr32.exe"), 0u);  // the planted one
}

TEST_F(OptionsWindow, OkWithClassicClearStoresZerosUnregistersAndStillStartsAccess) {
    RunRegsvr32(L"/s \"" + kAppFolder + L"\\Pellwyn.dll\"");
    ASSERT_TRUE(ClassRegistered());
    ASSERT_EQ(LoadBehavior(), 3u);
    RegAdd(L"HKCU\\" + DisabledItems(L"16.0"), L"ours", L"REG_BINARY", ItemHex(1, L"c:\\x\\pellwyn.dll", L"Menuvane"));
    Menuvane app;
    ASSERT_NE(app.Main(), nullptr);
    app.Click(kBoxCaptions[0]);
    app.Press(L"OK");
    EXPECT_EQ(app.Ended(), 0u);
    EXPECT_EQ(StoredSettings(), std::vector<std::wstring>(8, L"0"));
    EXPECT_EQ(ValueNames(DisabledItems(L"16.0")), std::vector<std::wstring>{L"ours"});  // only registering re-enables
    EXPECT_FALSE(ClassRegistered());
    EXPECT_FALSE(AddinKeyExists());
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\Access\\AddIns"));
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 1u);
    EXPECT_EQ(Dword(HKEY_CURRENT_USER, standin::kStartsKey, L"MSACCESS.exe LoadBehavior"), 0xFFFFFFFFu);
}

TEST_F(OptionsWindow, CancelStoresRegistersAndStartsNothing) {
    StoreSetting(L"Classic", L"0");
    Menuvane app;
    ASSERT_NE(app.Main(), nullptr);
    EXPECT_EQ(app.Boxes(), kFirstRun);  // box 0 read as clear, then Left's rule checks it again
    app.Click(L"Create");
    app.Press(L"Cancel");
    EXPECT_EQ(app.Ended(), 0u);
    EXPECT_EQ(StoredSettings(), Texts({L"0", L"(missing)", L"(missing)", L"(missing)", L"(missing)", L"(missing)",
                                       L"(missing)", L"(missing)"}));
    EXPECT_FALSE(ClassRegistered());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Microsoft\\Office\\Access\\AddIns"));
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 0u);
}

TEST_F(OptionsWindow, MalformedSettingsAndPointerFileAreReportedAndTheWindowStillOpens) {
    StoreSetting(L"Left", L"0");
    StoreSetting(L"All", L"0");
    StoreSetting(L"Classic", L"yes");
    StoreSetting(L"External Data", L"7");
    Touch(L"HAND-M.CUR");  // empty: not a cursor
    Menuvane app;
    ASSERT_TRUE(app.started()) << "CreateProcess: error " << app.error();
    const std::wstring reports[] = {
        L"Type mismatch\r\nin Dunmarro2016/06/15.Form1.Form_Initialize at line 104\r\r" + kSupportLine,
        L"Invalid property value\r\nin Dunmarro2016/06/15.Form1.Form_Initialize at line 114\r\r" + kSupportLine,
        L"the pointer file HAND-M.CUR cannot be read\r\nin Dunmarro2016/06/15.Form1.Form_Load at line 108\r\r" +
            kSupportLine,
    };
    for (const std::wstring& expected : reports) {
        HWND box = app.Wait(kDialogClass, L"Application Error");
        ASSERT_NE(box, nullptr) << Narrow(expected);
        EXPECT_EQ(MessageText(box), expected);
        Dismiss(box);
        for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
    }
    ASSERT_NE(app.Main(), nullptr);
    EXPECT_EQ(app.Boxes(), kAllClear);  // every box kept its state, the rules had nothing to do
    app.Press(L"Cancel");
    EXPECT_EQ(app.Ended(), 0u);
    EXPECT_EQ(Setting(L"Classic"), L"yes");
}

// Boxes that policies decide (reg.exe: the computer's in this build's registry view, the user's)
// show the policy's state, disabled, with the note beside them in the frame; clicks and rules
// leave them, and OK stores only the other boxes and unregisters by the Classic box as shown.
TEST_F(OptionsWindow, PoliciesLockTheirBoxesAndOkLeavesTheUsersValuesOfThem) {
    using kestrel::testing::PolicyOf;
    using kestrel::testing::SetPolicy;
    RunRegsvr32(L"/s \"" + kAppFolder + L"\\Pellwyn.dll\"");
    StoreSetting(L"Classic", L"1");
    StoreSetting(L"Left", L"0");
    StoreSetting(L"Home", L"0");
    ASSERT_EQ(SetPolicy(PolicyOf::Computer, L"Classic", L"REG_DWORD", L"0"), 0u);
    ASSERT_EQ(SetPolicy(PolicyOf::User, L"Classic", L"REG_DWORD", L"1"), 0u);  // the computer's comes first
    ASSERT_EQ(SetPolicy(PolicyOf::User, L"Home", L"REG_DWORD", L"1"), 0u);
    ASSERT_EQ(SetPolicy(PolicyOf::Computer, L"All", L"REG_DWORD", L"7"), 0u);  // no policy of ours
    Menuvane app;
    HWND main = app.Main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(app.Boxes(), (States{0, 0, 1, 1, 0, 0, 0, 0}));  // All's rule could not check Classic
    for (std::size_t i = 0; i < kBoxCaptions.size(); ++i)
        EXPECT_EQ(IsWindowEnabled(app.Control(kBoxCaptions[i])) != 0, i != 0 && i != 3) << Narrow(kBoxCaptions[i]);

    HWND note = app.Control(kPolicyNote.c_str());
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(IsWindowVisible(note));
    RECT n, frame, overlap;
    GetWindowRect(note, &n);
    GetWindowRect(app.Control(L"Access Options"), &frame);
    EXPECT_TRUE(IntersectRect(&overlap, &n, &frame) && EqualRect(&overlap, &n));
    const RECT shape = DrawnRectangle(app);
    EXPECT_FALSE(IntersectRect(&overlap, &n, &shape)) << "the note and the rectangle";
    for (const wchar_t* caption : kBoxCaptions) {
        const RECT r = ScreenRect(app.Control(caption));
        EXPECT_FALSE(IntersectRect(&overlap, &n, &r)) << Narrow(caption);
    }

    app.Click(kBoxCaptions[0]);
    app.Click(L"Home");
    EXPECT_EQ(app.Boxes(), (States{0, 0, 1, 1, 0, 0, 0, 0}));
    app.Click(kBoxCaptions[1]);  // would clear Home and check Classic
    app.Click(L"Create");        // checks Hide built-in tabs, would check Classic
    EXPECT_EQ(app.Boxes(), (States{0, 1, 1, 1, 1, 0, 0, 1}));
    app.Press(L"OK");
    EXPECT_EQ(app.Ended(), 0u);
    EXPECT_EQ(StoredSettings(), Texts({L"1", L"1", L"1", L"0", L"1", L"0", L"0", L"1"}));  // Classic, Home untouched
    EXPECT_FALSE(ClassRegistered());
    EXPECT_FALSE(AddinKeyExists());
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 1u);
    const std::wstring policyKey = L"Software\\Policies\\Kestrelby\\Menuvane";
    EXPECT_EQ(Dword(HKEY_LOCAL_MACHINE, policyKey, L"Classic"), 0u);
    EXPECT_EQ(Dword(HKEY_CURRENT_USER, policyKey, L"Home"), 1u);
}

TEST_F(OptionsWindow, AFailingRegistrationIsReportedWithItsExitCodeAndAccessStillStarts) {
    Touch(L"fail-register");
    Menuvane app;
    ASSERT_NE(app.Main(), nullptr);
    app.Press(L"OK");
    HWND box = app.Wait(kDialogClass, L"Application Error");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box),
              L"regsvr32 could not register Pellwyn.dll: exit code 5 (its DllRegisterServer function failed)\r\n"
              L"in Dunmarro2016/06/15.Form1.PushButton22_Click at line 118\r\r" + kSupportLine);
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 0u);  // Access comes after the report
    Dismiss(box);
    EXPECT_EQ(app.Ended(), 0u);
    EXPECT_EQ(StoredSettings(), Texts({L"1", L"1", L"1", L"0", L"0", L"0", L"0", L"0"}));
    EXPECT_FALSE(ClassRegistered());
    EXPECT_TRUE(AddinKeyExists());  // the key step still ran, as without the failure
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 1u);
}

// Office's record of a crash with the add-in loaded keeps it off however it is registered. OK
// removes our entries from every Office version's disabled items, wherever the DLL lived and
// however its path is written, and leaves every other value.
TEST_F(OptionsWindow, OkRemovesExactlyOurDisabledItemsInEveryOfficeVersion) {
    const std::wstring ours = ItemHex(1, L"c:\\program files\\menuvane test\\pellwyn.dll", L"Menuvane");
    RegAdd(L"HKCU\\" + DisabledItems(L"12.0"), L"8a1", L"REG_BINARY", ours);
    RegAdd(L"HKCU\\" + DisabledItems(L"16.0"), L"c3d", L"REG_BINARY",
           ItemHex(1, L"c:\\users\\me\\appdata\\local\\programs\\menuvane\\pellwyn.dll", L"Menuvane"));
    RegAdd(L"HKCU\\" + DisabledItems(L"15.0"), L"UP", L"REG_BINARY",
           ItemHex(1, L"C:\\PROGRAM FILES\\MENUVANE TEST\\PELLWYN.DLL", L"Menuvane"));
    RegAdd(L"HKCU\\" + DisabledItems(L"16.0"), L"other", L"REG_BINARY",
           ItemHex(1, L"c:\\program files\\other\\other.dll", L"Other"));
    RegAdd(L"HKCU\\" + DisabledItems(L"16.0"), L"garbage", L"REG_BINARY", ours.substr(0, ours.size() - 4));
    RegAdd(L"HKCU\\" + DisabledItems(L"16.0"), L"text", L"REG_SZ", L"c:\\x\\pellwyn.dll");
    Menuvane app;
    ASSERT_NE(app.Main(), nullptr);
    app.Press(L"OK");
    EXPECT_EQ(app.Ended(), 0u);  // no report, no message
    EXPECT_TRUE(ValueNames(DisabledItems(L"12.0")).empty());
    EXPECT_TRUE(ValueNames(DisabledItems(L"15.0")).empty());
    EXPECT_EQ(ValueNames(DisabledItems(L"16.0")), (std::vector<std::wstring>{L"garbage", L"other", L"text"}));
    EXPECT_TRUE(ClassRegistered());
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 1u);
}

// The per-user setup's step, "Menuvane.exe /reenable", does the same with no window and stores,
// registers and starts nothing; it ends with 1 when a list cannot be changed. OK then reports
// step 119 and still starts Access.
TEST_F(OptionsWindow, TheSetupsReenableStepDoesTheSameAndAListThatCannotBeChangedIsReported) {
    const std::wstring ours = ItemHex(1, L"c:\\program files\\menuvane test\\pellwyn.dll", L"Menuvane");
    RegAdd(L"HKCU\\" + DisabledItems(L"12.0"), L"a", L"REG_BINARY", ours);
    RegAdd(L"HKCU\\" + DisabledItems(L"16.0"), L"b", L"REG_BINARY", ours);
    const std::wstring menuvane = kAppFolder + L"\\Menuvane.exe";
    EXPECT_EQ(RunProgram(menuvane, L"/reenable"), 0u);
    EXPECT_TRUE(ValueNames(DisabledItems(L"12.0")).empty());
    EXPECT_TRUE(ValueNames(DisabledItems(L"16.0")).empty());
    EXPECT_EQ(StoredSettings(), std::vector<std::wstring>(8, L"(missing)"));
    EXPECT_FALSE(AddinKeyExists());
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 0u);

    RegAdd(L"HKCU\\" + DisabledItems(L"12.0"), L"a", L"REG_BINARY", ours);
    RegAdd(L"HKCU\\" + DisabledItems(L"16.0"), L"b", L"REG_BINARY", ours);
    const KeyLocked lock(DisabledItems(L"12.0"), KEY_SET_VALUE);
    ASSERT_TRUE(lock.locked());
    EXPECT_EQ(RunProgram(menuvane, L"/reenable"), 1u);
    EXPECT_EQ(ValueNames(DisabledItems(L"12.0")), std::vector<std::wstring>{L"a"});
    EXPECT_TRUE(ValueNames(DisabledItems(L"16.0")).empty());  // the other list all the same

    Menuvane app;
    ASSERT_NE(app.Main(), nullptr);
    app.Press(L"OK");
    HWND box = app.Wait(kDialogClass, L"Application Error");
    ASSERT_NE(box, nullptr);
    const std::wstring text = MessageText(box);
    EXPECT_EQ(text.substr(0, text.find(L": ", text.find(L"deleted"))),
              L"Office may keep Pellwyn.dll switched off: the value \"a\" of HKCU\\" + DisabledItems(L"12.0") +
                  L" cannot be deleted");
    EXPECT_NE(text.find(L"\r\nin Dunmarro2016/06/15.Form1.PushButton22_Click at line 119\r\r"), std::wstring::npos);
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 0u);  // Access comes after the report
    Dismiss(box);
    EXPECT_EQ(app.Ended(), 0u);
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 1u);
}

// A policy that keeps the add-in off however it is registered is named, in one message, before
// Access starts. The stand-in DLL is not signed.
TEST_F(OptionsWindow, OkNamesAnAdministratorsPoliciesInOneMessageBeforeAccessStarts) {
    RegAdd(L"HKCU\\Software\\Policies\\Microsoft\\Office\\16.0\\Access\\Resiliency\\AddinList", L"Kavrel.Connect",
           L"REG_SZ", L"0");
    RegAdd(L"HKLM\\Software\\Policies\\Microsoft\\Office\\12.0\\Access\\Security", L"RequireAddinSig", L"REG_DWORD",
           L"1");
    Menuvane app;
    ASSERT_NE(app.Main(), nullptr);
    app.Press(L"OK");
    HWND box = app.Wait(kDialogClass, L"Menuvane");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box),
              L"Menuvane has registered the add-in for the Classic tab, but a policy set by your administrator keeps "
              L"Access from loading it:\r\n\r\n"
              L"- \"Require that application add-ins are signed by Trusted Publisher\" (Access 2007, set for this "
              L"computer) is on, and Pellwyn.dll is not signed.\r\n\r\n"
              L"- \"List of managed add-ins\" (Access 2016 and later, set for you) says Kavrel.Connect = 0: always "
              L"disabled.\r\n\r\n"
              L"Ask your administrator to allow Kavrel.Connect. Access starts now.");
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 0u);
    Dismiss(box);
    EXPECT_EQ(app.Ended(), 0u);
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 1u);
    EXPECT_EQ(LoadBehavior(), 3u);  // registered all the same
}

TEST_F(OptionsWindow, TheSkinFileGivesTheWindowTheButtonFaceColour) {
    CreateDirectoryW((kAppFolder + L"\\x").c_str(), nullptr);
    const HANDLE file = CreateFileW((kAppFolder + L"\\x\\o.cjs").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    Menuvane app;
    HWND main = app.Main();
    ASSERT_NE(main, nullptr);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(face, RGB(255, 255, 255));
    EXPECT_EQ(PixelAt(main, 60, 560, face), face);
    EXPECT_EQ(PixelAt(main, 7000, 2000, face), face);
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(app.Ended(), 0u);
}

// --- Windows' display language ------------------------------------------------------------

// The translation the locale that Wine was started in names (LC_ALL, else LC_MESSAGES, else
// LANG): "de_DE.UTF-8" is German, "pt_BR.UTF-8" Portuguese of Brazil, "zh_TW.UTF-8" Traditional
// Chinese; none, "C" or any English is English.
std::string CodeOfTheLocale() {
    std::string name = "C";
    for (const wchar_t* variable : {L"LC_ALL", L"LC_MESSAGES", L"LANG"}) {
        wchar_t locale[64];
        const DWORD n = GetEnvironmentVariableW(variable, locale, 64);
        if (n > 0 && n < 64) {
            name = Narrow(std::wstring(locale, n));
            break;
        }
    }
    name = name.substr(0, name.find('.'));
    if (name == "C" || name == "POSIX" || name.rfind("en", 0) == 0) return "en";
    return name.rfind("pt", 0) == 0 || name.rfind("zh", 0) == 0 ? name : name.substr(0, 2);
}

// The screen's DPI for the programs started while it lives (Windows reads it as a program
// starts); the value before it afterwards.
class ScreenScale {
public:
    explicit ScreenScale(DWORD dpi) {
        before_ = Dword(HKEY_CURRENT_USER, kDesktop, L"LogPixels", 0);
        Write(dpi);
    }
    ~ScreenScale() { Write(before_); }
    ScreenScale(const ScreenScale&) = delete;
    ScreenScale& operator=(const ScreenScale&) = delete;

private:
    static constexpr wchar_t kDesktop[] = L"Control Panel\\Desktop";
    static void Write(DWORD dpi) {
        HKEY key;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kDesktop, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != 0)
            return;
        if (dpi)
            RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        else
            RegDeleteValueW(key, L"LogPixels");
        RegCloseKey(key);
    }
    DWORD before_;
};

// Arial as the options window uses it (9 pt bold, 11.25 pt bold for the push buttons), made
// here at the pixel size the window has at that DPI, and what a text needs in it.
class Measure {
public:
    Measure(const wchar_t* face, int hundredthsOfPoint, int dpi) : dc_(GetDC(nullptr)) {
        LOGFONTW lf{};
        lf.lfHeight = -MulDiv(hundredthsOfPoint, dpi, 7200);
        lf.lfWeight = FW_BOLD;
        lf.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        font_ = CreateFontIndirectW(&lf);
        old_ = SelectObject(dc_, font_);
    }
    ~Measure() {
        SelectObject(dc_, old_);
        DeleteObject(font_);
        ReleaseDC(nullptr, dc_);
    }
    Measure(const Measure&) = delete;
    Measure& operator=(const Measure&) = delete;

    // What a caption needs drawn as its control draws it: laid out by DrawText and inked (see
    // DrawnCaption), in its reading order, the access key's "&" hidden.
    int Width(const std::wstring& text, UINT reading) const {
        return kestrel::testing::DrawnCaption(font_, text, reading).need();
    }
    int Ink(const std::wstring& text, UINT reading) const {
        return kestrel::testing::DrawnCaption(font_, text, reading).ink;
    }
    // The runs of a text this font cannot draw by itself (see UnshapedRuns).
    std::wstring Unshaped(const std::wstring& text) const { return kestrel::testing::UnshapedRuns(font_, text); }
    // Wrapped at `width` as a label wraps its text.
    SIZE Wrapped(const std::wstring& text, int width) const {
        RECT r{0, 0, width, 0};
        DrawTextW(dc_, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        return SIZE{r.right, r.bottom};
    }

private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
};

// The window in Windows' display language (here: the locale the test runs in; scripts run it in
// each shipped language), at 100 % and 150 %: every caption, the Help message and an error
// report in that language, and every caption measured in the window's fonts against its control:
// a check box's text with its square and gap, a push button's with its edges, the frame's title
// with its gaps, the note wrapped within its width and height. The controls stay apart and in
// the window.
TEST_F(OptionsWindow, SpeaksWindowsDisplayLanguageAndEveryCaptionFitsAt100And150Percent) {
    using kestrel::Text;
    const kestrel::Language language = kestrel::Language::FromLangId(GetUserDefaultUILanguage());
    ASSERT_EQ(std::string(language.code()), CodeOfTheLocale())
        << "Windows' display language " << GetUserDefaultUILanguage();
    const auto text = [&](kestrel::TextId id) { return kestrel::Utf8ToWide(language(id)); };
    const std::array<std::wstring, 8> boxes = {
        text(Text("options", "&Show Classic Menu and Toolbars in MS Access 2007")),
        text(Text("options", "Show menu tabs on the &left of home tab")),
        text(Text("options", "Show &all items in main menu")),
        text(Text("options", "Hom&e")), text(Text("options", "&Create")), text(Text("options", "E&xternal Data")),
        text(Text("options", "&Database Tools")), text(Text("options", "Hide &built-in tabs"))};
    const std::wstring buttons[] = {text(Text("options", "&Help")), text(Text("options", "&OK")),
                                    text(Text("options", "Ca&ncel"))};
    const std::wstring frameCaption = text(Text("options", "Access Options"));
    const std::wstring note = text(Text("options", "Some options are set by your administrator."));
    EXPECT_EQ(Drawn(boxes[0]) == kBoxCaptions[0], !language.translated());
    const kestrel::testing::WindowLanguage* row = kestrel::testing::FindWindowLanguage(language.code());
    ASSERT_NE(row, nullptr) << "not a row of kWindowLanguages";

    for (const int dpi : {96, 144}) {
        SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
        const ScreenScale scale(static_cast<DWORD>(dpi));
        if (dpi == 96) StoreSetting(L"Classic", L"yes");  // reported as the window opens
        Menuvane app;
        ASSERT_TRUE(app.started()) << "CreateProcess: error " << app.error();
        if (dpi == 96) {
            HWND report = app.Wait(kDialogClass, kestrel::Utf8ToWide(kestrel::ErrorReportTitle(language)).c_str());
            ASSERT_NE(report, nullptr) << "no error report titled in the user's language";
            EXPECT_EQ(MessageText(report), kestrel::Utf8ToWide(kestrel::ErrorReportText(
                                               "Type mismatch", "in Dunmarro2016/06/15.Form1.Form_Initialize ", 104,
                                               language)));
            Dismiss(report);
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kSettingsKey, L"Classic");
        }
        HWND main = app.Main();
        ASSERT_NE(main, nullptr);
        Sleep(500);  // painted before its squares are read from the screen
        RECT client;
        GetClientRect(main, &client);
        MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&client), 2);
        if (client.left > client.right) std::swap(client.left, client.right);  // a mirrored window's corners
        const auto inClient = [&](const RECT& r) {
            return r.left >= client.left && r.top >= client.top && r.right <= client.right && r.bottom <= client.bottom;
        };
        // In the face Windows draws the language in: Arial, or Thai's and Devanagari's own.
        const Measure boxFont(row->face, 900, dpi), buttonFont(row->face, 1125, dpi);
        const UINT reading = language.rightToLeft() ? DT_RTLREADING : 0;
        // Arabic and Hebrew: the window mirrored, and every control with it.
        const auto mirrored = [](HWND hwnd) { return (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0; };
        EXPECT_EQ(mirrored(main), language.rightToLeft());
        std::wstring tightest;
        int tightestRoom = 1 << 30;
        const auto fits = [&](const std::wstring& caption, int need, int room) {
            EXPECT_LE(need, room) << kestrel::WideToUtf8(caption) << " needs " << need << " of " << room << " pixels";
            if (room - need < tightestRoom) {
                tightestRoom = room - need;
                tightest = caption + L": " + std::to_wstring(need) + L" of " + std::to_wstring(room);
            }
        };

        // Drawn in that face, and every letter a glyph of it: a caption drawn in another face
        // leaves ink of another width on screen (read unless control is null), one in boxes or
        // unshaped (Thai or Devanagari in a face without them) has runs that the face does not
        // shape by itself.
        const auto drawnIn = [&](HWND control, const std::wstring& caption, const Measure& font, int inset,
                                 bool checkBox) {
            if (control) {
                EXPECT_NEAR(kestrel::testing::CaptionInkOnScreen(control, inset, checkBox, language.rightToLeft()),
                            font.Ink(caption, reading), 2)
                    << Narrow(caption) << ": on screen, not as drawn in " << Narrow(row->face);
            }
            if (std::wstring(row->face) != L"Arial") {
                EXPECT_EQ(Narrow(font.Unshaped(caption)), "") << Narrow(caption) << " in " << Narrow(row->face);
            }
        };
        std::vector<RECT> placed;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            HWND box = app.Control(boxes[i].c_str());
            ASSERT_NE(box, nullptr) << "no box captioned " << Narrow(boxes[i]);
            const RECT r = ScreenRect(box);
            fits(boxes[i], boxFont.Width(boxes[i], reading) + MulDiv(19, dpi, 96), r.right - r.left);
            // The last box lies on the rectangle's top edge, whose line runs on beside its caption.
            drawnIn(i + 1 < boxes.size() ? box : nullptr, boxes[i], boxFont, 0, true);
            EXPECT_EQ(mirrored(box), language.rightToLeft()) << Narrow(boxes[i]);
            // The square where the caption starts: on the right when the window is mirrored.
            const int square = kestrel::testing::SquareColumn(box), width = r.right - r.left;
            const int height = r.bottom - r.top;
            EXPECT_TRUE(language.rightToLeft() ? square > width - height : square >= 0 && square < height)
                << Narrow(boxes[i]) << ": the square's edge at " << square << " of " << width << " pixels";
            EXPECT_TRUE(inClient(r)) << Narrow(boxes[i]);
            placed.push_back(r);
        }
        for (const std::wstring& caption : buttons) {
            HWND button = app.Control(caption.c_str());
            ASSERT_NE(button, nullptr) << "no button captioned " << Narrow(caption);
            const RECT r = ScreenRect(button);
            fits(caption, buttonFont.Width(caption, reading) + MulDiv(10, dpi, 96), r.right - r.left);
            drawnIn(button, caption, buttonFont, MulDiv(4, dpi, 96), false);
            EXPECT_EQ(mirrored(button), language.rightToLeft()) << Narrow(caption);
            EXPECT_TRUE(inClient(r)) << Narrow(caption);
            placed.push_back(r);
        }
        HWND frame = app.Control(frameCaption.c_str());
        ASSERT_NE(frame, nullptr);
        const RECT f = ScreenRect(frame);
        fits(frameCaption, boxFont.Width(frameCaption, reading) + MulDiv(16, dpi, 96), f.right - f.left);
        EXPECT_EQ(mirrored(frame), language.rightToLeft());
        EXPECT_TRUE(inClient(f));
        HWND noteLabel = app.Control(note.c_str());
        ASSERT_NE(noteLabel, nullptr);
        const RECT n = ScreenRect(noteLabel);
        const SIZE wrapped = boxFont.Wrapped(note, n.right - n.left);
        fits(note + L" (width)", wrapped.cx, n.right - n.left);
        fits(note + L" (height)", wrapped.cy, n.bottom - n.top);
        // The design lets rows touch by a pixel or two; anything more is a clash.
        const auto clash = [slack = MulDiv(2, dpi, 96)](const RECT& a, const RECT& b) {
            RECT both;
            return IntersectRect(&both, &a, &b) && both.right - both.left > slack && both.bottom - both.top > slack;
        };
        const RECT shape = DrawnRectangle(app);
        RECT overlap;
        for (std::size_t i = 0; i < placed.size(); ++i) {
            for (std::size_t j = i + 1; j < placed.size(); ++j)
                EXPECT_FALSE(clash(placed[i], placed[j])) << i << " and " << j;
            EXPECT_FALSE(clash(placed[i], n)) << i << " and the note";
        }
        EXPECT_FALSE(clash(shape, n)) << "the rectangle and the note";
        for (const RECT& inside : {n, shape})
            EXPECT_TRUE(IntersectRect(&overlap, &inside, &f) && EqualRect(&overlap, &inside)) << "outside the frame";
        std::printf("%s at %d DPI: the tightest caption is %s pixels\n", std::string(language.code()).c_str(), dpi,
                    kestrel::WideToUtf8(tightest).c_str());

        if (dpi == 96) {
            app.Press(buttons[0].c_str());
            HWND help = app.Wait(kDialogClass, L"Menuvane");
            ASSERT_NE(help, nullptr);
            const auto contact = Text("options", "Questions? Please contact Team Kestrelby at {1}");
            EXPECT_EQ(MessageText(help), kestrel::Utf8ToWide(kestrel::FormatText(language(contact), {kestrel::kContactPage})));
            Dismiss(help);
        }
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(app.Ended(), 0u);
    }
}

// --- the keyboard and screen readers -------------------------------------------------------

// The window's captions in Windows' display language, in tab order, with the box each check
// box is (-1 for the push buttons).
struct Captioned {
    kestrel::TextId text;
    int box;
};
const Captioned kTabOrder[] = {
    {kestrel::Text("options", "&Help"), -1},
    {kestrel::Text("options", "&Show Classic Menu and Toolbars in MS Access 2007"), 0},
    {kestrel::Text("options", "Show menu tabs on the &left of home tab"), 1},
    {kestrel::Text("options", "Show &all items in main menu"), 2},
    {kestrel::Text("options", "Hide &built-in tabs"), 11},
    {kestrel::Text("options", "Hom&e"), 3},
    {kestrel::Text("options", "&Create"), 4},
    {kestrel::Text("options", "E&xternal Data"), 5},
    {kestrel::Text("options", "&Database Tools"), 6},
    {kestrel::Text("options", "&OK"), -1},
    {kestrel::Text("options", "Ca&ncel"), -1},
};
constexpr std::size_t kHelpAt = 0, kOkAt = 9, kCancelAt = 10;

// The place of a box in States (0, 1, 2, 3, 4, 5, 6, 11).
std::size_t StateOf(int box) { return box == 11 ? 7 : static_cast<std::size_t>(box); }

// A key as a person presses it, with Alt or Shift held: a virtual key, or, for an access key
// that no key of the test's keyboard has, the character itself.
struct Key {
    WORD vk = 0;
    wchar_t character = 0;
    bool alt = false, shift = false;
};
Key Plain(WORD vk) { return Key{vk, 0, false, false}; }
Key Shifted(WORD vk) { return Key{vk, 0, false, true}; }
// Alt and the access key of a caption.
Key AltAnd(const std::wstring& caption) {
    std::wstring key = kestrel::Utf8ToWide(kestrel::AccessKeyOf(kestrel::WideToUtf8(caption)));
    if (key.size() != 1) ADD_FAILURE() << Narrow(caption) << " has no access key";
    const wchar_t c = key.empty() ? L'?' : static_cast<wchar_t>(towupper(key[0]));
    if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return Key{static_cast<WORD>(c), 0, true, false};
    return Key{0, c, true, false};
}

// Types the key into the window, which must be in front to get it, and gives it time.
void Type(HWND window, const Key& key) {
    SetForegroundWindow(window);
    std::vector<INPUT> inputs;
    const auto add = [&](WORD vk, wchar_t character, bool up) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.wScan = character;
        in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (character ? KEYEVENTF_UNICODE : 0);
        inputs.push_back(in);
    };
    if (key.alt) add(VK_MENU, 0, false);
    if (key.shift) add(VK_SHIFT, 0, false);
    add(key.vk, key.character, false);
    add(key.vk, key.character, true);
    if (key.shift) add(VK_SHIFT, 0, true);
    if (key.alt) add(VK_MENU, 0, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(150);
}

template <class Condition>
bool Eventually(Condition condition, DWORD patience = 3000) {
    for (DWORD waited = 0; !condition(); waited += 50) {
        if (waited >= patience) return false;
        Sleep(50);
    }
    return true;
}

HWND FocusOf(HWND main) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    return GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui) ? gui.hwndFocus : nullptr;
}

bool IsDefault(HWND button) { return (GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

// The boxes as the window's rules make them from the first run's choices, clicked in turn.
States ModelOf(const menuvane::Boxes& boxes) {
    States s{};
    for (const Captioned& c : kTabOrder)
        if (c.box >= 0) s[StateOf(c.box)] = boxes[c.box];
    return s;
}

// The window's table of keys, in Windows' display language: Tab visits Help, the eight boxes,
// OK and Cancel and comes back, Shift+Tab goes back; Alt and each box's access key clicks it
// (the rules as a click applies them) and gives it the focus; Enter presses the push button that
// has the focus and OK otherwise, and the default button's look follows; Alt and Help's key
// shows the Help message, which Enter closes; Alt and OK's key stores every box and starts Access.
TEST_F(OptionsWindow, KeysMoveTheFocusAndEveryAccessKeyActs) {
    Menuvane app;
    HWND main = app.Main();
    ASSERT_NE(main, nullptr);
    const auto control = [&](std::size_t at) { return app.Control(Caption(kTabOrder[at].text).c_str()); };
    ASSERT_TRUE(Eventually([&] { return FocusOf(main) == control(kHelpAt); })) << "Help has the focus at first";
    EXPECT_TRUE(IsDefault(control(kHelpAt)));
    for (std::size_t i = 1; i <= std::size(kTabOrder); ++i) {
        const std::size_t at = i % std::size(kTabOrder);
        Type(main, Plain(VK_TAB));
        EXPECT_TRUE(Eventually([&] { return FocusOf(main) == control(at); }))
            << "Tab to " << Narrow(Caption(kTabOrder[at].text));
        // Enter would press the focused push button, or OK.
        const bool pushButton = kTabOrder[at].box < 0;
        EXPECT_TRUE(IsDefault(control(pushButton ? at : kOkAt))) << Narrow(Caption(kTabOrder[at].text));
        EXPECT_EQ(IsDefault(control(kHelpAt)), at == kHelpAt);
    }
    Type(main, Shifted(VK_TAB));
    EXPECT_TRUE(Eventually([&] { return FocusOf(main) == control(kCancelAt); })) << "Shift+Tab from Help";


    menuvane::Boxes model;
    model.Set(menuvane::kClassicBox, 1);  // the first run's choices, as the window makes them
    ASSERT_EQ(ModelOf(model), kFirstRun);
    // Each box's key, in an order that walks the rules: clearing Classic clears all, Hide
    // checks the four tabs, Home and Left exclude each other.
    for (const std::size_t at : {3, 5, 8, 2, 1, 1, 6, 4, 7, 5, 3}) {
        const Captioned& c = kTabOrder[at];
        SCOPED_TRACE(Narrow(Caption(c.text)));
        Type(main, AltAnd(Caption(c.text)));
        model.Click(c.box);
        EXPECT_TRUE(Eventually([&] { return app.Boxes() == ModelOf(model); }));
        EXPECT_TRUE(Eventually([&] { return FocusOf(main) == control(at); }));
    }

    // After Alt, Windows underlines the access keys.
    kestrel::testing::SaveScreenshot(main, ("options-keyboard-" + std::string(DisplayLanguage().code())).c_str());

    Type(main, AltAnd(Caption(kTabOrder[kHelpAt].text)));
    HWND help = app.Wait(kDialogClass, L"Menuvane");
    ASSERT_NE(help, nullptr) << "Alt and Help's key";
    Type(help, Plain(VK_RETURN));
    EXPECT_TRUE(Eventually([&] { return !IsWindow(help); })) << "Enter closes the Help message";

    Type(main, AltAnd(Caption(kTabOrder[kOkAt].text)));
    EXPECT_EQ(app.Ended(), 0u);
    std::vector<std::wstring> stored;
    for (const int state : ModelOf(model)) stored.push_back(std::to_wstring(state));
    EXPECT_EQ(StoredSettings(), stored);
    EXPECT_EQ(Starts(L"MSACCESS.exe"), 1u);
}

// Esc is Cancel; Enter presses OK unless Help or Cancel has the focus, where it presses that.
struct KeyCase {
    const char* name;
    std::vector<std::pair<std::size_t, Key>> keys;  // (where the focus must be first, the key)
    bool stores;  // ends with OK: stores and starts Access; otherwise ends storing nothing
};

TEST_F(OptionsWindow, EscCancelsAndEnterPressesTheDefaultButton) {
    const KeyCase cases[] = {
        {"Esc", {{kHelpAt, Plain(VK_ESCAPE)}}, false},
        {"Enter on a box", {{kHelpAt, Plain(VK_TAB)}, {1, Plain(VK_RETURN)}}, true},
        {"Enter on OK", {{kHelpAt, Shifted(VK_TAB)}, {kCancelAt, Shifted(VK_TAB)}, {kOkAt, Plain(VK_RETURN)}}, true},
        {"Enter on Cancel", {{kHelpAt, Shifted(VK_TAB)}, {kCancelAt, Plain(VK_RETURN)}}, false},
        {"Alt and Cancel's key", {{kHelpAt, AltAnd(Caption(kTabOrder[kCancelAt].text))}}, false},
        {"Esc after a box's key", {{kHelpAt, AltAnd(Caption(kTabOrder[5].text))}, {5, Plain(VK_ESCAPE)}}, false},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        Menuvane app;
        HWND main = app.Main();
        ASSERT_NE(main, nullptr);
        for (const auto& [at, key] : c.keys) {
            HWND expected = app.Control(Caption(kTabOrder[at].text).c_str());
            ASSERT_TRUE(Eventually([&] { return FocusOf(main) == expected; })) << Narrow(Caption(kTabOrder[at].text));
            Type(main, key);
        }
        EXPECT_EQ(app.Ended(), 0u);
        if (c.stores) {
            EXPECT_EQ(StoredSettings(), Texts({L"1", L"1", L"1", L"0", L"0", L"0", L"0", L"0"}));
            EXPECT_EQ(Starts(L"MSACCESS.exe"), 1u);
        } else {
            EXPECT_EQ(StoredSettings(), std::vector<std::wstring>(8, L"(missing)"));
            EXPECT_EQ(Starts(L"MSACCESS.exe"), 0u);
        }
    }

    // Enter on Help shows the message; the window stays.
    SetUp();
    Menuvane app;
    HWND main = app.Main();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(Eventually([&] { return FocusOf(main) == app.Control(Caption(kTabOrder[kHelpAt].text).c_str()); }));
    Type(main, Plain(VK_RETURN));
    HWND help = app.Wait(kDialogClass, L"Menuvane");
    ASSERT_NE(help, nullptr);
    Dismiss(help);
    EXPECT_TRUE(Eventually([&] { return !IsWindow(help); }));
    EXPECT_TRUE(IsWindow(main));
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(app.Ended(), 0u);
    EXPECT_EQ(StoredSettings(), std::vector<std::wstring>(8, L"(missing)"));
}

// A box that a policy decides is passed by Tab, and its access key does nothing.
TEST_F(OptionsWindow, LockedBoxesAreSkippedByTabAndByTheirKeys) {
    using kestrel::testing::PolicyOf;
    using kestrel::testing::SetPolicy;
    ASSERT_EQ(SetPolicy(PolicyOf::Computer, L"Classic", L"REG_DWORD", L"1"), 0u);
    ASSERT_EQ(SetPolicy(PolicyOf::User, L"Home", L"REG_DWORD", L"0"), 0u);
    Menuvane app;
    HWND main = app.Main();
    ASSERT_NE(main, nullptr);
    const auto control = [&](std::size_t at) { return app.Control(Caption(kTabOrder[at].text).c_str()); };
    ASSERT_TRUE(Eventually([&] { return FocusOf(main) == control(kHelpAt); }));
    std::vector<std::wstring> order;
    for (int i = 0; i < 9; ++i) {
        Type(main, Plain(VK_TAB));
        order.push_back(Drawn(TextOf(FocusOf(main))));
    }
    std::vector<std::wstring> expected;
    for (const std::size_t at : {2, 3, 4, 6, 7, 8, 9, 10, 0}) expected.push_back(Drawn(Caption(kTabOrder[at].text)));
    EXPECT_EQ(order, expected);  // Classic (1) and Home (5) passed by
    const States before = app.Boxes();
    for (const std::size_t at : {1, 5}) {
        Type(main, AltAnd(Caption(kTabOrder[at].text)));
        Sleep(300);
        EXPECT_EQ(app.Boxes(), before) << Narrow(Caption(kTabOrder[at].text));
        EXPECT_EQ(FocusOf(main), control(kHelpAt));
    }
    Type(main, Plain(VK_ESCAPE));
    EXPECT_EQ(app.Ended(), 0u);
}

// "Alt+" and the caption's access key in capitals.
std::wstring ShortcutOf(const std::wstring& caption) {
    std::wstring key = kestrel::Utf8ToWide(kestrel::AccessKeyOf(kestrel::WideToUtf8(caption)));
    CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return L"Alt+" + key;
}

// Every control tells a screen reader its name (the caption as drawn), its role, its state and
// its keyboard shortcut, in Windows' display language. The frame is a grouping named by its
// caption; the window a dialog; the hidden text box says it is invisible; the rectangle is no
// control. With boxes that policies decide, those are unavailable and, like the window, carry the
// administrator's note.
TEST_F(OptionsWindow, ScreenReadersHearEveryControl) {
    const std::wstring frameCaption = Caption(kestrel::Text("options", "Access Options"));
    const std::wstring note = Caption(kestrel::Text("options", "Some options are set by your administrator."));
    for (const bool policies : {false, true}) {
        SCOPED_TRACE(policies ? "with policies" : "without policies");
        SetUp();
        if (policies) {
            ASSERT_EQ(kestrel::testing::SetPolicy(kestrel::testing::PolicyOf::User, L"Create", L"REG_DWORD", L"1"), 0u);
        }
        Menuvane app;
        HWND main = app.Main();
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(Eventually([&] { return FocusOf(main) == app.Control(Caption(kTabOrder[kHelpAt].text).c_str()); }));
        const States states = app.Boxes();
        for (std::size_t at = 0; at < std::size(kTabOrder); ++at) {
            const std::wstring caption = Caption(kTabOrder[at].text);
            SCOPED_TRACE(Narrow(caption));
            HWND control = app.Control(caption.c_str());
            ASSERT_NE(control, nullptr);
            const Heard h = Hear(control);
            ASSERT_EQ(h.hr, S_OK);
            EXPECT_EQ(h.name, Drawn(caption));
            EXPECT_EQ(h.shortcut, ShortcutOf(caption));
            const int box = kTabOrder[at].box;
            EXPECT_EQ(h.role, box < 0 ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_CHECKBUTTON);
            const bool locked = policies && box == menuvane::kCreateBox;
            EXPECT_EQ((h.state & STATE_SYSTEM_CHECKED) != 0, box >= 0 && states[StateOf(box)] == 1);
            EXPECT_EQ((h.state & STATE_SYSTEM_UNAVAILABLE) != 0, locked);
            EXPECT_EQ((h.state & STATE_SYSTEM_FOCUSED) != 0, at == kHelpAt);
            EXPECT_EQ((h.state & STATE_SYSTEM_DEFAULT) != 0, at == kHelpAt);  // Enter presses the focused button
            EXPECT_EQ(h.state & STATE_SYSTEM_INVISIBLE, 0);
            EXPECT_EQ(h.description, locked ? note : L"");
        }
        const Heard frame = Hear(app.Control(frameCaption.c_str()));
        EXPECT_EQ(frame.name, frameCaption);
        EXPECT_EQ(frame.role, ROLE_SYSTEM_GROUPING);
        EXPECT_EQ(frame.shortcut, L"");
        const Heard noteHeard = Hear(app.Control(note.c_str()));
        EXPECT_EQ(noteHeard.name, note);
        EXPECT_EQ(noteHeard.role, ROLE_SYSTEM_STATICTEXT);
        EXPECT_EQ((noteHeard.state & STATE_SYSTEM_INVISIBLE) != 0, !policies);
        const Heard window = Hear(main);
        EXPECT_EQ(window.name, L"Menuvane");
        EXPECT_EQ(window.role, ROLE_SYSTEM_DIALOG);
        EXPECT_EQ(window.description, policies ? note : L"");  // read with the window
        const Heard text1 = Hear(FindWindowExW(main, nullptr, L"Edit", nullptr));
        EXPECT_NE(text1.state & STATE_SYSTEM_INVISIBLE, 0) << "the hidden text box";
        // Help, the eight boxes, OK, Cancel, the frame, the note, the text box: no rectangle.
        int children = 0;
        for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++children;
        EXPECT_EQ(children, 14);
        PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(app.Ended(), 0u);
    }
}

// Turns high contrast on inside the running program, where Wine cannot: a thread of its own
// loads the stand-in, after which its calls of SystemParametersInfoW say high contrast is on;
// then its window hears, as from Windows, that the setting changed.
bool TurnOnHighContrast(Menuvane& app) {
    const std::wstring dll = FromBuild(HIGH_CONTRAST_DLL);
    const SIZE_T bytes = (dll.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(app.process(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote || !WriteProcessMemory(app.process(), remote, dll.c_str(), bytes, nullptr)) return false;
    const auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    HANDLE thread = CreateRemoteThread(app.process(), nullptr, 0, load, remote, 0, nullptr);
    if (!thread) return false;
    WaitForSingleObject(thread, kPatience);
    DWORD loaded = 0;
    GetExitCodeThread(thread, &loaded);
    CloseHandle(thread);
    SendMessageW(app.Main(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    return loaded != 0;
}

// In high contrast the window takes the system's colours (here a black scheme): its background
// is the window colour, the skin's button face is not applied, nothing is drawn in the design's
// white, and the rectangle is drawn in the window-frame colour. It follows the setting while it
// is open.
TEST_F(OptionsWindow, HighContrastDrawsOnlyInTheSystemsColours) {
    CreateDirectoryW((kAppFolder + L"\\x").c_str(), nullptr);
    CloseHandle(CreateFileW((kAppFolder + L"\\x\\o.cjs").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    const kestrel::testing::HighContrastColours colours;
    Menuvane app;
    HWND main = app.Main();
    ASSERT_NE(main, nullptr);
    const COLORREF face = GetSysColor(COLOR_BTNFACE), window = GetSysColor(COLOR_WINDOW);
    ASSERT_NE(face, window);
    EXPECT_EQ(PixelAt(main, 60, 560, face), face) << "before: the skin's button face";
    ASSERT_TRUE(TurnOnHighContrast(app));
    EXPECT_EQ(PixelAt(main, 60, 560, window), window) << "the window colour, no skin";
    EXPECT_EQ(PixelAt(main, 7000, 2000, window), window);
    // What the window paints: its background, the rectangle, the frame's title, the labels of
    // the boxes. The push buttons, the boxes' squares and the frame's edge are Windows' own
    // drawing (under Wine, in part in the look of its visual style, which Wine keeps in high
    // contrast).
    RECT client;
    GetClientRect(main, &client);
    std::vector<RECT> windowsOwn;
    HDC screen = GetDC(nullptr);
    const int square = MulDiv(19, GetDeviceCaps(screen, LOGPIXELSY), 96);  // a box's square and the gap after it
    ReleaseDC(nullptr, screen);
    for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        const LONG type = GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK;
        if (_wcsicmp(ClassOf(c).c_str(), L"Button") != 0 || !IsWindowVisible(c)) continue;
        RECT r = ScreenRect(c);
        MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        if (type == BS_GROUPBOX) {  // the corners of its edge
            for (const POINT corner : {POINT{r.left, r.top}, POINT{r.right, r.top}, POINT{r.left, r.bottom},
                                       POINT{r.right, r.bottom}})
                windowsOwn.push_back(RECT{corner.x - 3, corner.y - square, corner.x + 3, corner.y + square});
            continue;
        }
        if (type == BS_3STATE) r.right = r.left + square;
        windowsOwn.push_back(r);
    }
    HDC dc = GetDC(main);
    int designed = 0;
    for (int y = 0; y < client.bottom; ++y)
        for (int x = 0; x < client.right; ++x) {
            const POINT at{x, y};
            bool drawnByWindows = false;
            for (const RECT& r : windowsOwn) drawnByWindows = drawnByWindows || PtInRect(&r, at);
            designed += !drawnByWindows && kestrel::testing::HighContrastColours::Designed(GetPixel(dc, x, y));
        }
    ReleaseDC(main, dc);
    EXPECT_EQ(designed, 0) << "pixels in the design's own colours";
    const RECT shape = DrawnRectangle(app);
    EXPECT_GT(shape.right - shape.left, 100) << "the rectangle, in the window-frame colour";
    kestrel::testing::SaveScreenshot(main, ("options-high-contrast-" + std::string(DisplayLanguage().code())).c_str());
    PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(app.Ended(), 0u);
}

const ::testing::Environment* const kInstalled = ::testing::AddGlobalTestEnvironment(new Installed);

}  // namespace
