// The registry store and the window helpers on a real (Wine) registry and file system.
#include "error.h"
#include "settings_win.h"
#include "win_handles.h"
#include "win_text.h"
#include "window_helpers_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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
