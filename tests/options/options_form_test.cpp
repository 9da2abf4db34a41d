// The options window's procedures against a recorded window, settings store and registry: what
// they read and store, what they start, in which order, and what they report.
#include "error.h"
#include "disabled_items.h"
#include "fake_office.h"
#include "office_policy.h"
#include "options_form.h"
#include "raw_registry.h"
#include "registration.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace menuvane {
namespace {

namespace raw = kestrel::testing;

constexpr char kFolder[] = "C:\\Program Files\\Menuvane";
constexpr char kSupportLine[] = "Please email screenshot of this message to support@kestrelby.example";

// One log for everything the procedures do, so that the order across fakes shows.
struct World final : kestrel::SettingsStore, testing::FakeOffice<AddinSystem>, FormWindow {
    kestrel::MemorySettings stored;
    std::map<std::string, std::string> refusePut;  // name -> message
    std::map<std::string, int> policies;           // what policies decide, by name
    ProcessResult regsvr32;
    bool windowFails = false;  // Centre and LoadPointer throw
    kestrel::Language language;  // Windows' display language

    std::optional<std::string> Get(std::string_view name) override {
        log.push_back("get " + std::string(name));
        return stored.Get(name);
    }
    void Put(std::string_view name, std::string_view text) override {
        if (const auto it = refusePut.find(std::string(name)); it != refusePut.end())
            throw kestrel::Error(kestrel::kUnexpected, it->second);
        log.push_back("put " + std::string(name) + "=" + std::string(text));
        stored.Put(name, text);
    }
    std::optional<int> Policy(std::string_view name) override {
        const auto it = policies.find(std::string(name));
        return it == policies.end() ? std::nullopt : std::optional<int>(it->second);
    }

    ProcessResult RunRegsvr32(std::string_view arguments, unsigned timeoutMs) override {
        log.push_back("regsvr32 " + std::string(arguments) + " within " + std::to_string(timeoutMs));
        return regsvr32;
    }
    bool CreateKey(std::string_view path) override {
        log.push_back("create key " + std::string(path));
        return false;  // a refused key is not reported
    }
    bool DeleteSubkey(std::string_view parent, std::string_view name) override {
        log.push_back("delete " + std::string(name) + " under " + std::string(parent));
        return false;
    }

    void ApplySkin() override { log.push_back("skin"); }
    void SetCaption(std::string_view caption) override { log.push_back("caption " + std::string(caption)); }
    void SetIcon() override { log.push_back("icon"); }
    void Centre() override {
        if (windowFails) throw kestrel::Error(kestrel::kUnexpected, "the window cannot be moved");
        log.push_back("centre");
    }
    void LoadPointer() override {
        if (windowFails) throw kestrel::Error(kestrel::kUnexpected, "the pointer file HAND-M.CUR cannot be read");
        log.push_back("pointer file");
    }
    void SetPointer(kestrel::PointerKind kind) override {
        log.push_back(kind == kestrel::PointerKind::Hourglass ? "hourglass" : "pointer " + std::to_string(static_cast<int>(kind)));
    }
    void ShowMessage(std::string_view title, std::string_view text) override {
        log.push_back("message [" + std::string(title) + "] " + std::string(text));
    }
    void ShellOpen(std::string_view target) override { log.push_back("shell " + std::string(target)); }
    void Close() override { log.push_back("close"); }

    Form form() {
        return Form{*this, *this, *this, [this](const std::string& text) { log.push_back("REPORT " + text); },
                    kFolder, language};
    }
    Boxes Initialize() {
        Boxes boxes;
        Form f = form();
        FormInitialize(f, boxes);
        return boxes;
    }
    void Press(const Boxes& boxes, int button) {
        Form f = form();
        PushButtonClick(f, boxes, button);
    }
    std::vector<std::string> Reports() const {
        std::vector<std::string> r;
        for (const std::string& line : log)
            if (line.rfind("REPORT ", 0) == 0) r.push_back(line.substr(7));
        return r;
    }
    std::vector<std::string> Drain() { return std::exchange(log, {}); }
};

using States = std::array<int, 8>;  // boxes 0, 1, 2, 3, 4, 5, 6, 11
States Of(const Boxes& b) {
    States s{};
    for (std::size_t i = 0; i < kBoxSettings.size(); ++i) s[i] = b[kBoxSettings[i].box];
    return s;
}

std::vector<std::string> Puts(const char* v0, const char* v1, const char* v2, const char* v3, const char* v4,
                              const char* v5, const char* v6, const char* v11) {
    return {std::string("put Classic=") + v0,       std::string("put Left=") + v1,
            std::string("put All=") + v2,           std::string("put Home=") + v3,
            std::string("put Create=") + v4,        std::string("put External Data=") + v5,
            std::string("put Database Tools=") + v6, std::string("put Hide built-in Tabs=") + v11};
}

std::vector<std::string> Then(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Initialize, FirstRunChecksClassicLeftAndAllAndNeverReadsHideTabs) {
    World w;
    const Boxes boxes = w.Initialize();
    EXPECT_EQ(Of(boxes), (States{1, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(w.log, (std::vector<std::string>{"skin", "caption Menuvane", "icon", "get Classic", "get Left",
                                               "get All", "get Home", "get Create", "get External Data",
                                               "get Database Tools"}));
}

TEST(Initialize, StoredHomeAndHideTabsOpenWithClassicAllAndHomeAndOkStoresHideTabsAsZero) {
    World w;
    w.stored.Put("Home", "1");
    w.stored.Put("Hide built-in Tabs", "1");
    const Boxes boxes = w.Initialize();
    EXPECT_EQ(Of(boxes), (States{1, 0, 1, 1, 0, 0, 0, 0}));
    w.Drain();
    w.Press(boxes, kOkButton);
    EXPECT_EQ(w.stored.Get("Hide built-in Tabs"), "0");
    EXPECT_EQ(w.stored.Get("Home"), "1");
    EXPECT_EQ(w.stored.Get("Left"), "0");
}

TEST(Initialize, StoredValuesAreReadAsNumbersAndTheRulesApply) {
    World w;
    w.stored.Put("Classic", " 1 ");
    w.stored.Put("left", "0");  // names match without regard to case
    w.stored.Put("All", "1e0");
    w.stored.Put("Create", "0.5");          // rounds to 0, halves to even
    w.stored.Put("Database Tools", "1.5");  // rounds to 2: grayed
    const Boxes boxes = w.Initialize();
    EXPECT_EQ(Of(boxes), (States{1, 0, 1, 0, 0, 0, 2, 0}));
    EXPECT_TRUE(w.Reports().empty());
}

struct BadValue {
    const char* text;
    const char* description;
};

class MalformedSetting : public ::testing::TestWithParam<BadValue> {};

TEST_P(MalformedSetting, IsReportedWithItsStepAndLeavesTheBoxAsItWas) {
    World w;
    w.stored.Put("Left", "0");
    w.stored.Put("All", "0");
    w.stored.Put("Classic", GetParam().text);
    w.stored.Put("External Data", GetParam().text);
    w.stored.Put("Database Tools", "1");
    const Boxes boxes = w.Initialize();
    // Box 0 stays clear until Database Tools' rule checks it; External Data stays clear.
    EXPECT_EQ(Of(boxes), (States{1, 0, 0, 0, 0, 0, 1, 1}));
    const std::string description = GetParam().description;
    EXPECT_EQ(w.Reports(),
              (std::vector<std::string>{
                  description + "\r\nin Dunmarro2016/06/15.Form1.Form_Initialize at line 104\r\r" + kSupportLine,
                  description + "\r\nin Dunmarro2016/06/15.Form1.Form_Initialize at line 114\r\r" + kSupportLine}));
}

INSTANTIATE_TEST_SUITE_P(Values, MalformedSetting,
                         ::testing::Values(BadValue{"abc", "Type mismatch"}, BadValue{"", "Type mismatch"},
                                           BadValue{"1,0", "Type mismatch"}, BadValue{"40000", "Overflow"},
                                           BadValue{"3", "Invalid property value"},
                                           BadValue{"-1", "Invalid property value"}));

TEST(Initialize, ASettingsStoreThatRefusesIsReportedAndTheNextBoxIsRead) {
    struct Refusing final : kestrel::SettingsStore {
        std::optional<std::string> Get(std::string_view name) override {
            if (name == "All") throw kestrel::Error(kestrel::kTypeMismatch, "setting \"All\": the stored value is not text");
            return std::nullopt;
        }
        void Put(std::string_view, std::string_view) override {}
    } refusing;
    World w;
    Form f{refusing, w, w, [&](const std::string& text) { w.log.push_back("REPORT " + text); }, kFolder};
    Boxes boxes;
    FormInitialize(f, boxes);
    EXPECT_EQ(Of(boxes), (States{1, 1, 1, 0, 0, 0, 0, 0}));  // box 0's rule had checked All already
    ASSERT_EQ(w.Reports().size(), 1u);
    EXPECT_EQ(w.Reports()[0].substr(0, w.Reports()[0].find('\r')), "setting \"All\": the stored value is not text");
    EXPECT_NE(w.Reports()[0].find("at line 108\r\r"), std::string::npos);
}

// Values stored by hand with other types, lengths or bytes: each one that cannot be read is
// reported with its step and the next is read; OK then stores all eight as text.
TEST(Initialize, ValuesStoredByHandAreReportedEachWithItsStepAndOkRewritesAllEight) {
    using kestrel::kRegSz, kestrel::kRegDword, kestrel::kRegBinary, kestrel::kRegMultiSz, kestrel::kRegExpandSz;
    using raw::Utf16;
    raw::RawRegistrySettings store;
    store.Set("Classic", kRegDword, {1, 0, 0, 0});
    store.Set("Left", kRegBinary, {1});
    store.Set("All", kRegMultiSz, Utf16("1"));
    store.Set("Home", kRegSz, Utf16("1", false));
    store.Set("Create", kRegSz, Utf16(std::string(30'000, '9')));
    store.Set("External Data", kRegSz, {'0', 0, 0, 0, '1', 0});
    store.Set("Database Tools", kRegExpandSz, Utf16("0"));
    store.Set("Hide built-in Tabs", kRegBinary, {});  // never read
    World w;
    Form f{store, w, w, [&](const std::string& text) { w.log.push_back("REPORT " + text); }, kFolder};
    Boxes boxes;
    FormInitialize(f, boxes);
    const States expected{1, 0, 1, 1, 0, 0, 0, 0};  // Home's rule cleared Left
    EXPECT_EQ(Of(boxes), expected);
    auto report = [](const std::string& description, int step) {
        return description + "\r\nin Dunmarro2016/06/15.Form1.Form_Initialize at line " + std::to_string(step) +
               "\r\r" + kSupportLine;
    };
    EXPECT_EQ(w.Reports(), (std::vector<std::string>{report("setting \"Left\": the stored value is not text", 106),
                                                     report("setting \"All\": the stored value is not text", 108),
                                                     report("Overflow", 114)}));
    w.Drain();
    PushButtonClick(f, boxes, kOkButton);
    EXPECT_TRUE(w.Reports().empty());
    for (std::size_t i = 0; i < kBoxSettings.size(); ++i) {
        const raw::RawValue& v = store.At(kBoxSettings[i].key.name);
        EXPECT_EQ(v.type, kRegSz) << kBoxSettings[i].key.name;
        EXPECT_EQ(v.bytes, Utf16(std::to_string(expected[i]))) << kBoxSettings[i].key.name;
    }
}

TEST(Initialize, ASettingsKeyThatCannotBeOpenedIsReportedForEveryBoxAndOkStillGoesOn) {
    raw::RawRegistrySettings store;
    store.keyRefused = true;
    World w;
    Form f{store, w, w, [&](const std::string& text) { w.log.push_back("REPORT " + text); }, kFolder};
    Boxes boxes;
    FormInitialize(f, boxes);
    EXPECT_EQ(Of(boxes), (States{0, 0, 0, 0, 0, 0, 0, 0}));
    std::vector<std::string> steps;
    for (const std::string& r : w.Reports()) steps.push_back(r.substr(r.find(" at line ") + 9, 3));
    EXPECT_EQ(steps, (std::vector<std::string>{"104", "106", "108", "114", "114", "114", "114"}));
    EXPECT_EQ(w.Reports()[0].substr(0, w.Reports()[0].find('\r')), "setting \"Classic\": the settings key cannot be opened");
    w.Drain();
    PushButtonClick(f, boxes, kOkButton);
    EXPECT_EQ(w.Reports().size(), 8u);  // each of the eight values
    EXPECT_EQ(w.log[w.log.size() - 2], "shell MSACCESS");
    EXPECT_EQ(w.log.back(), "close");
}

TEST(Load, SetsTheCaptionCentresAndLoadsThePointerReportingEachFailure) {
    World w;
    Form f = w.form();
    FormLoad(f);
    EXPECT_EQ(w.Drain(), (std::vector<std::string>{"caption Menuvane", "centre", "pointer file"}));
    w.windowFails = true;
    FormLoad(f);
    EXPECT_EQ(w.Drain(),
              (std::vector<std::string>{
                  "caption Menuvane",
                  std::string("REPORT the window cannot be moved\r\nin Dunmarro2016/06/15.Form1.Form_Load at line 104\r\r") +
                      kSupportLine,
                  std::string("REPORT the pointer file HAND-M.CUR cannot be read\r\nin Dunmarro2016/06/15.Form1.Form_Load "
                              "at line 108\r\r") +
                      kSupportLine}));
}

TEST(Ok, StoresEveryBoxThenRegistersWaitingUnderTheHourglassThenStartsAccessAndCloses) {
    World w;
    Boxes boxes = w.Initialize();
    boxes.Click(5);
    w.Drain();
    w.Press(boxes, kOkButton);
    EXPECT_EQ(w.log, Then(Puts("1", "1", "1", "0", "0", "1", "0", "1"),
                          {"hourglass", "regsvr32 /s \"C:\\Program Files\\Menuvane\\Pellwyn.dll\" within 60000",
                           "create key Software\\Microsoft\\Office\\Access\\AddIns\\Kavrel.Connect", "pointer 0",
                           "shell MSACCESS", "close"}));
}

TEST(Ok, WithClassicClearStoresZerosUnregistersAndStillStartsAccess) {
    World w;
    Boxes boxes = w.Initialize();
    boxes.Click(0);
    w.Drain();
    w.Press(boxes, kOkButton);
    EXPECT_EQ(w.log, Then(Puts("0", "0", "0", "0", "0", "0", "0", "0"),
                          {"hourglass", "regsvr32 /u /s \"C:\\Program Files\\Menuvane\\Pellwyn.dll\" within 60000",
                           "delete Kavrel.Connect under Software\\Microsoft\\Office\\Access\\AddIns", "pointer 0",
                           "shell MSACCESS", "close"}));
}

// OK clears our entries from Office's disabled items (119) and names a policy that keeps the
// add-in off (121), before Access starts, each failure reported with its step; with the
// Classic box clear it unregisters and does neither.
TEST(Ok, ReenablesTheAddinAndNamesAPolicyBeforeStartingAccessOnlyWhenRegistering) {
    using namespace std::string_view_literals;
    const std::string disabled = DisabledItemsPath("16.0");
    const std::string addinList = std::string(kOfficePoliciesKey) + "\\16.0\\Access\\Resiliency\\AddinList";
    const auto ours = testing::Item(1, u"c:\\old\\pellwyn.dll\0"sv, u"Menuvane\0"sv);
    World w;
    w.Set(Hive::CurrentUser, disabled, u"x1", kestrel::kRegBinary, ours);
    w.Set(Hive::CurrentUser, addinList, u"Kavrel.Connect", kestrel::kRegSz, raw::Utf16("0"));
    Boxes boxes = w.Initialize();
    w.Drain();
    w.Press(boxes, kOkButton);
    const std::vector<std::string> tail(w.log.begin() + 8, w.log.end());
    ASSERT_EQ(tail.size(), 8u);
    EXPECT_EQ(tail[3], "pointer 0");
    EXPECT_EQ(tail[4], "delete x1 of HKCU\\" + disabled);
    EXPECT_EQ(tail[5], "message [Menuvane] " + PolicyNoticeText({{PolicyFinding::Kind::AlwaysDisabled, Hive::CurrentUser,
                                                                  "16.0"}},
                                                                Signature::Missing));
    EXPECT_EQ(tail[6], "shell MSACCESS");
    EXPECT_TRUE(w.Reports().empty());

    w.Set(Hive::CurrentUser, disabled, u"x2", kestrel::kRegBinary, ours);
    w.undeletable.insert("HKCU\\" + disabled);
    w.unreadable.insert("HKCU\\" + addinList);
    w.Drain();
    w.Press(boxes, kOkButton);
    auto report = [](const std::string& description, int step) {
        return description + "\r\nin Dunmarro2016/06/15.Form1.PushButton22_Click at line " + std::to_string(step) +
               "\r\r" + kSupportLine;
    };
    EXPECT_EQ(w.Reports(),
              (std::vector<std::string>{
                  report("Office may keep Pellwyn.dll switched off: \"x2\" of HKCU\\" + disabled + " cannot be deleted", 119),
                  report("HKCU\\" + addinList + " cannot be read: Access is denied.", 121)}));
    EXPECT_EQ(w.log[w.log.size() - 2], "shell MSACCESS");

    boxes.Click(kClassicBox);
    w.undeletable.clear();
    w.unreadable.clear();
    w.Drain();
    w.Press(boxes, kOkButton);
    EXPECT_EQ(w.log[9], "regsvr32 /u /s \"C:\\Program Files\\Menuvane\\Pellwyn.dll\" within 60000");
    EXPECT_EQ(w.log.size(), 14u);  // eight values, hourglass, regsvr32, key, pointer, Access, close
    EXPECT_TRUE(w.Has(Hive::CurrentUser, disabled, u"x2"));
}

TEST(Ok, AGrayedClassicBoxIsStoredAsTwoAndRegisters) {
    World w;
    w.stored.Put("Classic", "2");
    w.stored.Put("Left", "0");  // a checked Left would check box 0 through its rule
    w.stored.Put("All", "0");
    Boxes boxes = w.Initialize();
    EXPECT_EQ(Of(boxes), (States{2, 0, 0, 0, 0, 0, 0, 0}));
    w.Drain();
    w.Press(boxes, kOkButton);
    EXPECT_EQ(w.stored.Get("Classic"), "2");
    EXPECT_EQ(w.log[9], "regsvr32 /s \"C:\\Program Files\\Menuvane\\Pellwyn.dll\" within 60000");
}

TEST(Ok, ASettingThatCannotBeStoredIsReportedAndTheRestGoesOn) {
    World w;
    w.refusePut["Left"] = "setting \"Left\": cannot be written";
    w.refusePut["Create"] = "setting \"Create\": cannot be written";
    const Boxes boxes = w.Initialize();
    w.Drain();
    w.Press(boxes, kOkButton);
    EXPECT_EQ(w.Reports(), (std::vector<std::string>{
                               std::string("setting \"Left\": cannot be written\r\nin Dunmarro2016/06/15.Form1."
                                           "PushButton22_Click at line 106\r\r") + kSupportLine,
                               std::string("setting \"Create\": cannot be written\r\nin Dunmarro2016/06/15.Form1."
                                           "PushButton22_Click at line 114\r\r") + kSupportLine}));
    EXPECT_EQ(w.stored.Get("Hide built-in Tabs"), "0");
    EXPECT_EQ(w.log.back(), "close");
    EXPECT_EQ(w.log[w.log.size() - 2], "shell MSACCESS");
}

// Boxes that policies decide open in the policy's state, whatever the user stored, and stay so
// while the others fill and are clicked; OK stores only the others and registers or
// unregisters by box 0 as it shows.
TEST(Policies, LockTheirBoxesAndOkStoresOnlyTheOthersAndFollowsTheShownClassicBox) {
    World w;
    w.policies = {{"Classic", 0}, {"Home", 1}, {"Hide built-in Tabs", 1}};
    w.stored.Put("Classic", "1");
    w.stored.Put("Home", "0");
    w.stored.Put("Left", "1");  // its rule would clear Home and check Classic
    Boxes boxes = w.Initialize();
    EXPECT_EQ(Of(boxes), (States{0, 1, 1, 1, 0, 0, 0, 1}));
    EXPECT_EQ(w.Drain(), (std::vector<std::string>{"skin", "caption Menuvane", "icon", "get Left", "get All",
                                                   "get Create", "get External Data", "get Database Tools"}));
    boxes.Click(kDatabaseToolsBox);
    EXPECT_EQ(Of(boxes), (States{0, 1, 1, 1, 0, 0, 1, 1}));
    w.Press(boxes, kOkButton);
    EXPECT_EQ(w.log, (std::vector<std::string>{
                         "put Left=1", "put All=1", "put Create=0", "put External Data=0", "put Database Tools=1",
                         "hourglass", "regsvr32 /u /s \"C:\\Program Files\\Menuvane\\Pellwyn.dll\" within 60000",
                         "delete Kavrel.Connect under Software\\Microsoft\\Office\\Access\\AddIns", "pointer 0",
                         "shell MSACCESS", "close"}));
    EXPECT_EQ(w.stored.Get("Classic"), "1");
    EXPECT_EQ(w.stored.Get("Home"), "0");
}

struct Failure {
    bool classic;
    ProcessResult result;
    const char* report;
};

class FailingRegsvr32 : public ::testing::TestWithParam<Failure> {};

TEST_P(FailingRegsvr32, IsReportedAfterTheKeyStepAndAccessStillStarts) {
    World w;
    Boxes boxes = w.Initialize();
    if (!GetParam().classic) boxes.Click(0);
    w.regsvr32 = GetParam().result;
    w.Drain();
    w.Press(boxes, kOkButton);
    const std::vector<std::string> tail(w.log.begin() + 8, w.log.end());
    ASSERT_EQ(tail.size(), 7u);
    EXPECT_EQ(tail[0], "hourglass");
    EXPECT_EQ(tail[2].substr(0, 7), GetParam().classic ? "create " : "delete ");
    EXPECT_EQ(tail[3], "pointer 0");  // the ordinary pointer is back before the report shows
    EXPECT_EQ(tail[4], "REPORT " + std::string(GetParam().report) + "\r\nin Dunmarro2016/06/15.Form1.PushButton22_Click at line " +
                           (GetParam().classic ? "118" : "120") + "\r\r" + kSupportLine);
    EXPECT_EQ(tail[5], "shell MSACCESS");
    EXPECT_EQ(tail[6], "close");
}

using Status = ProcessResult::Status;
INSTANTIATE_TEST_SUITE_P(
    Outcomes, FailingRegsvr32,
    ::testing::Values(
        Failure{true, {Status::Finished, 5, ""},
                "regsvr32 could not register Pellwyn.dll: exit code 5 (its DllRegisterServer function failed)"},
        Failure{false, {Status::Finished, 4, ""},
                "regsvr32 could not unregister Pellwyn.dll: exit code 4 (the file has no DllUnregisterServer entry point)"},
        Failure{true, {Status::Finished, 0xC0000005u, ""}, "regsvr32 could not register Pellwyn.dll: exit code 3221225477"},
        Failure{true, {Status::NotStarted, 0, "The system cannot find the file specified."},
                "regsvr32 could not be started to register Pellwyn.dll: The system cannot find the file specified."},
        Failure{false, {Status::TimedOut, 0, ""}, "regsvr32 did not finish within 60 seconds to unregister Pellwyn.dll"}));

TEST(Buttons, CancelOnlyClosesAndHelpOnlyShowsTheContactMessage) {
    World w;
    const Boxes boxes = w.Initialize();
    w.Drain();
    w.Press(boxes, kCancelButton);
    EXPECT_EQ(w.Drain(), (std::vector<std::string>{"close"}));
    w.Press(boxes, kHelpButton);
    EXPECT_EQ(w.Drain(), (std::vector<std::string>{
                             "message [Menuvane] Questions? Please contact Team Kestrelby at https://www.kestrelby.example/contact"}));
    w.Press(boxes, 3);
    EXPECT_TRUE(w.log.empty());
}

// In Windows' display language: the Help message and the reports' own words, and what OK says
// about policies.
TEST(Buttons, HelpReportsAndThePolicyMessageSpeakWindowsLanguage) {
    World w;
    w.language = kestrel::Language::FromLangId(0x0407);
    const Boxes boxes = w.Initialize();
    w.Drain();
    w.Press(boxes, kHelpButton);
    EXPECT_EQ(w.Drain(), (std::vector<std::string>{
                             "message [Menuvane] Fragen? Wenden Sie sich bitte an Team Kestrelby unter "
                             "https://www.kestrelby.example/contact"}));
    w.windowFails = true;
    Form f = w.form();
    FormLoad(f);
    EXPECT_EQ(w.Reports(), (std::vector<std::string>{
                               "the window cannot be moved\r\nin Dunmarro2016/06/15.Form1.Form_Load in Zeile 104\r\r"
                               "Bitte senden Sie einen Screenshot dieser Meldung per E-Mail an support@kestrelby.example",
                               "the pointer file HAND-M.CUR cannot be read\r\nin Dunmarro2016/06/15.Form1.Form_Load in "
                               "Zeile 108\r\rBitte senden Sie einen Screenshot dieser Meldung per E-Mail an "
                               "support@kestrelby.example"}));
    w.Drain();
    w.Set(Hive::CurrentUser, std::string(kOfficePoliciesKey) + "\\16.0\\Access\\Resiliency\\AddinList",
          u"Kavrel.Connect", kestrel::kRegSz, raw::Utf16("0"));
    w.Press(boxes, kOkButton);
    const std::vector<std::string> messages = [&] {
        std::vector<std::string> m;
        for (const std::string& line : w.log)
            if (line.rfind("message ", 0) == 0) m.push_back(line);
        return m;
    }();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("message [Menuvane] Menuvane hat das Add-In", 0), 0u) << messages[0];
}

}  // namespace
}  // namespace menuvane
