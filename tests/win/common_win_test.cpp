// The registry store and the window helpers on a real (Wine) registry and file system.
#include "error.h"
#include "options_form.h"
#include "ribbon.h"
#include "settings_win.h"
#include "win_handles.h"
#include "win_text.h"
#include "win_fixtures.h"
#include "window_helpers_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

namespace kestrel {
namespace {

void DeleteSettingsKey() { RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKeyPath); }

TEST(RegistrySettings, MissingUntilWrittenThenReadBackAsStored) {
    DeleteSettingsKey();
    RegistrySettings store;
    EXPECT_EQ(store.Get("Classic"), std::nullopt);  // no key at all
    store.Put("Classic", "1");
    EXPECT_EQ(store.Get("Left"), std::nullopt);      // key, but no value
    store.Put("Hide built-in Tabs", "0");
    store.Put("External Data", "Page Setup…");
    EXPECT_EQ(store.Get("Classic"), "1");
    EXPECT_EQ(store.Get("hide BUILT-IN tabs"), "0");  // names match without regard to case
    EXPECT_EQ(store.Get("External Data"), "Page Setup…");
    store.Put("classic", "0");  // replaces, under the name first written
    EXPECT_EQ(store.Get("Classic"), "0");

    UniqueHkey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_QUERY_VALUE, key.put()), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExW(key.get(), L"Hide built-in Tabs", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 2 * sizeof(wchar_t));  // "0" and its terminating zero
    DeleteSettingsKey();
}

TEST(RegistrySettings, ReadsValuesWrittenByHandWithAnyTypeAndLengthThenPutRewritesThemAsText) {
    DeleteSettingsKey();
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE,
                              nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    auto set = [&](const wchar_t* name, DWORD type, const void* data, std::size_t size) {
        ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)),
                  ERROR_SUCCESS);
    };
    const DWORD zero = 0;
    set(L"Classic", REG_DWORD, &zero, sizeof zero);
    const wchar_t unterminated[] = {L'1', L'2'};
    set(L"Left", REG_SZ, unterminated, sizeof unterminated);
    const BYTE bytes[] = {1, 2, 3};
    set(L"All", REG_BINARY, bytes, sizeof bytes);
    set(L"Home", REG_SZ, L"", sizeof(wchar_t));
    const std::wstring overlong(30'000, L'7');  // 60 KB, no terminator
    set(L"Create", REG_SZ, overlong.data(), overlong.size() * sizeof(wchar_t));
    set(L"External Data", REG_SZ, L"1\0" L"2", 4 * sizeof(wchar_t));
    set(L"Database Tools", REG_MULTI_SZ, L"1\0", 3 * sizeof(wchar_t));
    set(L"Hide built-in Tabs", REG_EXPAND_SZ, L"%TEMP%", 7 * sizeof(wchar_t));

    RegistrySettings store;
    EXPECT_EQ(store.Get("Classic"), "0");
    EXPECT_EQ(store.Get("Left"), "12");
    EXPECT_EQ(store.Get("Home"), "");
    EXPECT_EQ(store.Get("Create"), std::string(30'000, '7'));
    EXPECT_EQ(store.Get("External Data"), "1");
    EXPECT_EQ(store.Get("Hide built-in Tabs"), "%TEMP%");
    for (const char* name : {"All", "Database Tools"}) {
        try {
            store.Get(name);
            ADD_FAILURE() << name << ": binary and multi-string values are no settings";
        } catch (const Error& e) {
            EXPECT_EQ(e.code(), kTypeMismatch);
            EXPECT_EQ(std::string(e.what()), "setting \"" + std::string(name) + "\": the stored value is not text");
        }
    }

    // What OK does: every value stored again, as REG_SZ whatever it was.
    for (const char* name : {"Classic", "Left", "All", "Home", "Create", "External Data", "Database Tools",
                             "Hide built-in Tabs"}) {
        store.Put(name, "1");
        EXPECT_EQ(store.Get(name), "1") << name;
        DWORD type = 0, size = 0;
        RegQueryValueExW(key.get(), Utf8ToWide(name).c_str(), nullptr, &type, nullptr, &size);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(size, 2 * sizeof(wchar_t)) << name;
    }
    DeleteSettingsKey();
}

// The add-in's document and the options window over the real registry: a value that cannot
// be read fails the document with the named error (Access gets no markup) and is reported by
// the window with its step; OK then stores all eight as text. A settings key that this user
// may not open or write fails the same way, and the window still goes on to Access.
struct Access final : pellwyn::Host {
    std::string Name() override { return "Microsoft Office Access"; }
    std::int32_t CurrentObjectType() override { return -1; }
    bool IsPressed(std::string_view) override { return false; }
};
struct Window final : menuvane::AddinSystem, menuvane::FormWindow {
    std::vector<std::string> log;
    menuvane::ProcessResult RunRegsvr32(std::string_view arguments, unsigned) override {
        log.push_back("regsvr32 " + std::string(arguments));
        return {};
    }
    bool CreateKey(std::string_view) override { return true; }
    bool DeleteSubkey(std::string_view, std::string_view) override { return true; }
    std::vector<std::string> Subkeys(menuvane::Hive, std::string_view) override { return {}; }  // no Office
    std::vector<menuvane::RegistryValue> Values(menuvane::Hive, std::string_view) override { return {}; }
    void DeleteValue(std::string_view, const std::u16string&) override {}
    menuvane::Signature VerifySignature(std::string_view) override { return menuvane::Signature::Missing; }
    void ApplySkin() override {}
    void SetCaption(std::string_view) override {}
    void SetIcon() override {}
    void Centre() override {}
    void LoadPointer() override {}
    void SetPointer(PointerKind) override {}
    void ShowMessage(std::string_view, std::string_view) override {}
    void ShellOpen(std::string_view target) override { log.push_back("shell " + std::string(target)); }
    void Close() override { log.push_back("close"); }
};

// The document, or the text of the error that stopped it.
std::string Document(SettingsStore& store) {
    try {
        Access host;
        pellwyn::Markup markup;
        return std::string(pellwyn::GetRibbonXml(markup, host, store));
    } catch (const Error& e) {
        return "error " + std::to_string(static_cast<std::uint32_t>(e.code())) + ": " + e.what();
    }
}

// The steps of the reports, in order.
std::vector<std::string> Steps(const std::vector<std::string>& reports) {
    std::vector<std::string> steps;
    for (const std::string& r : reports) steps.push_back(r.substr(r.find(" at line ") + 9, 3));
    return steps;
}

TEST(RegistrySettings, TheDocumentFailsAndTheWindowReportsEachValueItCannotReadThenOkRewritesAll) {
    DeleteSettingsKey();
    UniqueHkey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                              nullptr),
              ERROR_SUCCESS);
    const DWORD one = 1;
    const BYTE bytes[] = {'1', 0};
    const std::wstring overlong(30'000, L'9');
    RegSetValueExW(key.get(), L"Classic", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegSetValueExW(key.get(), L"Left", 0, REG_BINARY, bytes, sizeof bytes);
    RegSetValueExW(key.get(), L"All", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(L"1\0"), 3 * sizeof(wchar_t));
    RegSetValueExW(key.get(), L"Create", 0, REG_SZ, reinterpret_cast<const BYTE*>(overlong.data()),
                   static_cast<DWORD>(overlong.size() * sizeof(wchar_t)));
    RegSetValueExW(key.get(), L"Hide built-in Tabs", 0, REG_BINARY, bytes, sizeof bytes);

    RegistrySettings store;
    EXPECT_EQ(Document(store), "error 2148139021: setting \"Hide built-in Tabs\": the stored value is not text");
    Window w;
    std::vector<std::string> reports;
    menuvane::Form form{store, w, w, [&](const std::string& r) { reports.push_back(r); }, "C:\\Menuvane"};
    menuvane::Boxes boxes;
    menuvane::FormInitialize(form, boxes);
    EXPECT_EQ(Steps(reports), (std::vector<std::string>{"106", "108", "114"}));  // Left, All, Create
    EXPECT_EQ(reports[0].substr(0, reports[0].find('\r')), "setting \"Left\": the stored value is not text");
    reports.clear();
    menuvane::PushButtonClick(form, boxes, menuvane::kOkButton);
    EXPECT_TRUE(reports.empty());
    for (const menuvane::BoxSetting& s : menuvane::kBoxSettings) {
        DWORD type = 0;
        wchar_t text[8] = {};
        DWORD size = sizeof text;
        EXPECT_EQ(RegQueryValueExW(key.get(), Utf8ToWide(s.key.name).c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(text), &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << s.key.name;
        EXPECT_EQ(std::wstring(text, size / sizeof(wchar_t)), std::to_wstring(boxes[s.box]) + L'\0') << s.key.name;
    }
    EXPECT_EQ(Document(store).rfind("<customUI ", 0), 0u);

    // Everyone denied reading and writing the key's values, until the end of the test.
    std::optional<kestrel::testing::KeyLocked> lock;
    lock.emplace(kSettingsKeyPath, KEY_QUERY_VALUE | KEY_SET_VALUE);
    ASSERT_TRUE(lock->locked());
    EXPECT_EQ(Document(store), "error 2147942405: setting \"Classic\": the settings key cannot be opened");
    menuvane::FormInitialize(form, boxes);
    EXPECT_EQ(Steps(reports), (std::vector<std::string>{"104", "106", "108", "114", "114", "114", "114"}));
    reports.clear();
    w.log.clear();
    menuvane::PushButtonClick(form, boxes, menuvane::kOkButton);
    EXPECT_EQ(Steps(reports), (std::vector<std::string>{"104", "106", "108", "114", "114", "114", "114", "114"}));
    EXPECT_EQ(reports[0].substr(0, reports[0].find('\r')), "setting \"Classic\": the settings key cannot be created");
    EXPECT_EQ(w.log, (std::vector<std::string>{"regsvr32 /s \"C:\\Menuvane\\Pellwyn.dll\"", "shell MSACCESS", "close"}));

    lock.reset();  // no list: everyone may do everything again
    key.reset();
    DeleteSettingsKey();
}

TEST(WindowHelpers, FindTheProgramsFolderAndItsFiles) {
    const std::wstring folder = ModuleFolder(nullptr);
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), L'\\');
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    EXPECT_TRUE(FileExists(exe));
    EXPECT_EQ(ModuleFolder(ThisModule()), folder);  // linked into the program itself
    EXPECT_FALSE(FileExists(folder));  // a folder is not a file
    EXPECT_FALSE(FileExists(folder + L"\\no such file.cur"));
    EXPECT_FALSE(FileExists(folder + L"\\no such folder\\o.cjs"));
    EXPECT_FALSE(FileExists(L"<>|"));
}

TEST(WindowHelpers, TheSkinChangesTheBackgroundOnlyWhenItsFileIsThere) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"skin-test";
    CreateDirectoryW(folder.c_str(), nullptr);
    WindowLook look;
    EXPECT_FALSE(look.ApplySkin(folder));
    EXPECT_EQ(look.colour(), RGB(255, 255, 255));
    CreateDirectoryW((folder + L"\\x").c_str(), nullptr);
    EXPECT_FALSE(look.ApplySkin(folder));
    std::ofstream(std::filesystem::path(folder + L"\\x\\o.cjs")) << "skin";
    EXPECT_TRUE(look.ApplySkin(folder));
    EXPECT_EQ(look.colour(), GetSysColor(COLOR_BTNFACE));
    EXPECT_NE(look.brush(), nullptr);
    DeleteFileW((folder + L"\\x\\o.cjs").c_str());
    RemoveDirectoryW((folder + L"\\x").c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(WindowHelpers, APointerFileThatIsNoCursorIsAnError) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"pointer-test";
    CreateDirectoryW(folder.c_str(), nullptr);
    WindowPointer pointer;
    pointer.Load(folder);  // no file: nothing loaded, no error
    EXPECT_FALSE(pointer.HasFile());
    pointer.kind = PointerKind::Custom;
    EXPECT_EQ(pointer.Cursor(), LoadCursorW(nullptr, IDC_HAND));
    std::ofstream(std::filesystem::path(folder + L"\\HAND-M.CUR")) << "not a cursor";
    EXPECT_THROW(pointer.Load(folder), Error);
    DeleteFileW((folder + L"\\HAND-M.CUR").c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST(WinText, RoundTripsUtf8) {
    const std::string text = "Save As … Access 2002 - 2003 Database";
    EXPECT_EQ(Utf8ToWide(text), L"Save As \u2026 Access 2002 - 2003 Database");
    EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
    EXPECT_EQ(Utf8ToWide(""), L"");
}

}  // namespace
}  // namespace kestrel
