// Pellwyn.dll inside a stand-in host, under Wine: registered with the system's regsvr32,
// created by its ProgID, connected to a fake Application, and called the way Access calls it.
#include "control_names.h"
#include "../win_fixtures.h"
#include "host.h"
#include "registration.h"
#include "settings_win.h"
#include "stand_in_host.h"
#include "visibility.h"
#include "win_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

namespace pellwyn::testing {
namespace {

std::wstring WindowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return L"Z:" + kestrel::Utf8ToWide(path);
}

// Installs a copy of the DLL into a folder of its own and registers it there, as the installer does.
class InstalledAddin : public ::testing::Environment {
public:
    void SetUp() override {
        CreateDirectoryW(InstallFolder().c_str(), nullptr);
        ASSERT_TRUE(CopyFileW(WindowsPath(PELLWYN_DLL).c_str(), InstalledDll().c_str(), FALSE));
        ASSERT_EQ(Regsvr32(L"/s"), 0u) << "regsvr32 could not register " << PELLWYN_DLL;
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
    }
    void TearDown() override { CoUninitialize(); }
};
[[maybe_unused]] ::testing::Environment* const kInstalled = ::testing::AddGlobalTestEnvironment(new InstalledAddin);

const std::wstring kClsidKey = L"CLSID\\" + kestrel::Utf8ToWide(kConnectClsid);
const std::wstring kAddinKeyPath = L"Software\\Microsoft\\Office\\Access\\AddIns\\Kavrel.Connect";

// ---- registration ---------------------------------------------------------------------------

void ExpectRegistered() {
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, kClsidKey), L"Connect");
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, kClsidKey + L"\\InprocServer32"), InstalledDll());
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, kClsidKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, kClsidKey + L"\\ProgID"), L"Kavrel.Connect");
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, L"Kavrel.Connect\\CLSID"), kestrel::Utf8ToWide(kConnectClsid));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kAddinKeyPath, L"FriendlyName"), L"Menuvane");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kAddinKeyPath, L"Description"), L"Add-In Project Template");
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kAddinKeyPath, L"LoadBehavior"), 3u);  // REG_DWORD only
}

TEST(Registration, RegsvrWritesTheClassAndTheAddinEntryAndTakesOutOnlyThose) {
    ExpectRegistered();
    CLSID byProgId{}, expected{};
    ASSERT_EQ(CLSIDFromProgID(L"Kavrel.Connect", &byProgId), S_OK);
    CLSIDFromString(kestrel::Utf8ToWide(kConnectClsid).c_str(), &expected);
    EXPECT_TRUE(IsEqualCLSID(byProgId, expected));

    // Others' keys beside ours, and what a registration by a standard user would have left.
    const std::wstring otherAddin = L"Software\\Microsoft\\Office\\Access\\AddIns\\Other.Connect";
    const std::wstring otherClass = L"CLSID\\{0B9C2DB4-6F53-4B4C-9A8E-1F2AE3C4D5E6}";
    const std::wstring userClass = L"Software\\Classes\\" + kClsidKey + L"\\InprocServer32";
    for (auto [root, path] : {std::pair{HKEY_CURRENT_USER, otherAddin}, {HKEY_CLASSES_ROOT, otherClass},
                              {HKEY_CURRENT_USER, userClass}, {HKEY_CURRENT_USER, L"Software\\Classes\\Kavrel.Connect\\CLSID"}})
        ASSERT_EQ(RegSetKeyValueW(root, path.c_str(), nullptr, REG_SZ, L"x", 4), ERROR_SUCCESS);

    ASSERT_EQ(Regsvr32(L"/u /s"), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClsidKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Kavrel.Connect"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\" + kClsidKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"Software\\Classes\\Kavrel.Connect"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kAddinKeyPath));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, otherAddin), L"x");
    EXPECT_EQ(ReadText(HKEY_CLASSES_ROOT, otherClass), L"x");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
    RegDeleteTreeW(HKEY_CURRENT_USER, otherAddin.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, otherClass.c_str());

    EXPECT_EQ(Regsvr32(L"/u /s"), 0u) << "unregistering what is not there is no failure";
    ASSERT_EQ(Regsvr32(L"/s"), 0u);
    ASSERT_EQ(Regsvr32(L"/s"), 0u) << "registering twice is no failure";
    ExpectRegistered();
}

// 64-bit Windows keeps the classes of 32-bit and 64-bit programs apart: Access finds only a
// class registered by the regsvr32 of its own bitness. Access's add-in key is one for both.
TEST(Registration, TheClassIsInThisBuildsRegistryViewOnlyAndTheAddinKeyIsShared) {
    constexpr bool k32Bit = sizeof(void*) == 4;
    const REGSAM own = k32Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    const REGSAM other = k32Bit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    const std::wstring machineClass = L"Software\\Classes\\" + kClsidKey + L"\\InprocServer32";
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, machineClass, own));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, machineClass, other));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kAddinKeyPath, KEY_WOW64_32KEY));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kAddinKeyPath, KEY_WOW64_64KEY));
}

// ---- the markup -----------------------------------------------------------------------------

struct MarkupCase {
    std::string name;
    std::vector<std::pair<std::string, std::string>> settings;
    std::wstring hostName = L"Microsoft Office Access";
    std::string access = "2007";
    std::int32_t language = 1033;  // the LCID LanguageSettings.LanguageID answers
    std::vector<std::pair<std::wstring, std::int32_t>> openings;  // callback name, object type
};

std::vector<MarkupCase> ReadCases() {
    std::ifstream in(std::filesystem::path(WindowsPath(MARKUP_CASES)));
    std::vector<MarkupCase> cases;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::size_t space = line.find(' ');
        const std::string word = line.substr(0, space), rest = line.substr(space + 1);
        if (word == "case") {
            cases.emplace_back();
            cases.back().name = rest;
        } else if (word == "setting") {
            const std::size_t eq = rest.find('=');
            cases.back().settings.push_back({rest.substr(0, eq), rest.substr(eq + 1)});
        } else if (word == "host") {
            cases.back().hostName = kestrel::Utf8ToWide(rest);
        } else if (word == "access") {
            cases.back().access = rest;
        } else if (word == "language") {
            cases.back().language = std::stoi(rest, nullptr, 0);
        } else if (word == "open") {
            const std::size_t colon = rest.find(':');
            cases.back().openings.push_back(
                {L"OnGetContent" + kestrel::Utf8ToWide(rest.substr(0, colon)), std::stoi(rest.substr(colon + 1))});
        }
    }
    return cases;
}

std::string ReadExpected(const std::string& file) {
    std::ifstream in(std::filesystem::path(WindowsPath(std::string(EXPECTED_DIR) + "/" + file)), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(Markup, IsWhatPellwynMarkupPrintsForTheSameSettings) {
    const std::vector<MarkupCase> cases = ReadCases();
    ASSERT_GE(cases.size(), 5u);
    for (const MarkupCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string status = ReadExpected(c.name + ".status");
        ASSERT_FALSE(status.empty()) << "no expected markup: did the addin_expected_markup test run?";
        std::vector<std::wstring> lines;
        std::istringstream out(ReadExpected(c.name + ".out"));
        for (std::string line; std::getline(out, line);) lines.push_back(kestrel::Utf8ToWide(line));

        WriteSettings(c.settings);
        FakeApplication app;
        app.name = c.hostName;
        app.controls = *ControlList::Published(c.access);
        app.SetLanguage(c.language);
        Addin addin;
        ASSERT_EQ(addin.Connect(&app), S_OK);
        BSTR xml = nullptr;
        const HRESULT hr = addin.ribbonExtensibility->GetCustomUI(nullptr, &xml);
        const UniqueBstr owned(xml);
        if (status != "0\n") {  // the tool failed, so must the add-in, handing Access nothing
            EXPECT_TRUE(FAILED(hr));
            EXPECT_EQ(xml, nullptr);
            EXPECT_EQ(Call(addin.dispatch.get(), L"GetRibbonXML")->hr, DISP_E_EXCEPTION);
            continue;
        }
        ASSERT_EQ(hr, S_OK);
        ASSERT_EQ(lines.size(), 1 + c.openings.size());
        EXPECT_EQ(std::wstring(xml ? xml : L""), lines[0]);
        for (std::size_t i = 0; i < c.openings.size(); ++i) {
            app.SetType(c.openings[i].second);
            FakeControl control;
            const auto answer = Call(addin.dispatch.get(), c.openings[i].first, {Object(&control)});
            ASSERT_EQ(answer->hr, S_OK);
            ASSERT_EQ(answer->result.vt, VT_BSTR);
            EXPECT_EQ(answer->Text(), lines[i + 1]) << kestrel::WideToUtf8(c.openings[i].first);
        }
        // The same document through the dispatch interface, built afresh each time.
        EXPECT_EQ(Call(addin.dispatch.get(), L"GetRibbonXML")->Text(), lines[0]);
        VARIANT id = Text(L"Microsoft.Access.Database");
        EXPECT_EQ(Call(addin.dispatch.get(), L"IRibbonExtensibility_GetCustomUI", {id})->Text(), lines[0]);
        VariantClear(&id);
        EXPECT_EQ(addin.Release(), 0u);
    }
    WriteSettings({});
}

// Access is asked about each doubtful name once per connection (and about the successor of
// each name it lacks), and its language once, whatever the add-in builds meanwhile; a new
// connection asks again.
TEST(Markup, AccessIsAskedEachDoubtfulNameOncePerConnection) {
    WriteSettings({});
    FakeApplication app;
    app.controls = *ControlList::Published("365");
    Addin addin;
    std::map<std::wstring, int> once;
    for (const DoubtfulName& d : kDoubtfulNames) {
        once[kestrel::Utf8ToWide(d.name)] = 1;
        if (!app.controls.Knows(d.name) && !d.successor.empty()) once[kestrel::Utf8ToWide(d.successor)] = 1;
    }
    for (int connection = 1; connection <= 2; ++connection) {
        ASSERT_EQ(addin.Connect(&app), S_OK);
        for (int round = 0; round < 2; ++round) {
            BSTR xml = nullptr;
            ASSERT_EQ(addin.ribbonExtensibility->GetCustomUI(nullptr, &xml), S_OK);
            SysFreeString(xml);
            FakeControl control;
            for (const wchar_t* menu : {L"OnGetContentEdit", L"OnGetContentView", L"OnGetContentInsert",
                                        L"OnGetContentFormat", L"OnGetContentQuery", L"OnGetContentRecords"})
                EXPECT_EQ(Call(addin.dispatch.get(), menu, {Object(&control)})->hr, S_OK);
        }
        std::map<std::wstring, int> expected = once;
        for (auto& [name, n] : expected) n = connection;
        EXPECT_EQ(app.labelQuestions, expected);
        EXPECT_EQ(app.languageSettings.Invokes(L"LanguageID"), connection);  // and its language
        addin.Disconnect();
    }
    EXPECT_EQ(addin.Release(), 0u);
}

// Policies decide the document against the user's own settings: the computer's first, then
// the user's; a value that is no DWORD 0 or 1 is passed over.
TEST(Markup, FollowsThePoliciesAgainstTheUsersSettings) {
    using kestrel::testing::PolicyOf;
    using kestrel::testing::SetPolicy;
    auto document = [] {
        FakeApplication app;
        Addin addin;
        EXPECT_EQ(addin.Connect(&app), S_OK);
        BSTR xml = nullptr;
        EXPECT_EQ(addin.ribbonExtensibility->GetCustomUI(nullptr, &xml), S_OK);
        const UniqueBstr owned(xml);
        EXPECT_EQ(addin.Release(), 0u);
        return std::wstring(xml ? xml : L"");
    };
    kestrel::testing::RemovePolicies();
    WriteSettings({{"Left", "0"}, {"All", "0"}, {"Hide built-in Tabs", "1"}, {"Create", "1"}});
    const std::wstring chosen = document();
    WriteSettings({{"Classic", "1"}, {"Left", "1"}, {"All", "1"}});
    const std::wstring own = document();
    ASSERT_NE(chosen, own);

    ASSERT_EQ(SetPolicy(PolicyOf::Computer, L"Left", L"REG_DWORD", L"0"), 0u);
    ASSERT_EQ(SetPolicy(PolicyOf::User, L"All", L"REG_DWORD", L"0"), 0u);
    ASSERT_EQ(SetPolicy(PolicyOf::Computer, L"All", L"REG_SZ", L"1"), 0u);  // no policy of ours
    ASSERT_EQ(SetPolicy(PolicyOf::User, L"Hide built-in Tabs", L"REG_DWORD", L"1"), 0u);
    ASSERT_EQ(SetPolicy(PolicyOf::Computer, L"Create", L"REG_DWORD", L"1"), 0u);
    ASSERT_EQ(SetPolicy(PolicyOf::Computer, L"Home", L"REG_DWORD", L"2"), 0u);  // nor this
    EXPECT_EQ(document(), chosen);

    ASSERT_EQ(SetPolicy(PolicyOf::User, L"Classic", L"REG_DWORD", L"1"), 0u);
    ASSERT_EQ(SetPolicy(PolicyOf::Computer, L"Classic", L"REG_DWORD", L"0"), 0u);
    EXPECT_EQ(document(), L"");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, kestrel::kSettingsKeyPath, L"Classic"), L"1");

    kestrel::testing::RemovePolicies();
    EXPECT_EQ(document(), own);
    WriteSettings({});
}

// ---- the dispatch interface -----------------------------------------------------------------

// The members Access and other callers bind to by name, in the interface's order.
const wchar_t* const kMembers[] = {
    L"oRibbon", L"ribbonLoaded", L"IRibbonExtensibility_GetCustomUI", L"InvalidateRibbon", L"GetRibbonXML",
    L"OnGetVisibleFormOrReport", L"OnGetVisibleTable0", L"OnGetVisibleQuery0", L"OnGetVisibleText",
    L"OnGetVisibleDatasheet", L"ShowAbout0", L"Uninstall0", L"Document0", L"OnGetContentEdit", L"OnGetVisibleEdit",
    L"OnGetContentView", L"OnGetVisibleView", L"OnGetContentInsert", L"OnGetVisibleInsert", L"OnGetContentFormat",
    L"OnGetVisibleFormat", L"OnGetContentQuery", L"OnGetVisibleQuery", L"OnGetContentRecords", L"OnGetVisibleRecords",
};

DISPID IdOf(IDispatch* d, const std::wstring& name, HRESULT expected = S_OK) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    DISPID id = 12345;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), expected) << kestrel::WideToUtf8(name);
    return id;
}

TEST(Dispatch, EveryVtableFindsTheSameFixedIdsWithoutRegardToCase) {
    Addin first, second;
    // Every IDispatch-derived vtable reaches the same GetIDsOfNames.
    IDispatch* const vtables[] = {first.dispatch.get(), first.extensibility.get(), first.ribbonExtensibility.get(),
                                  second.dispatch.get()};
    DISPID previous = DISPID_UNKNOWN;
    for (const wchar_t* name : kMembers) {
        const DISPID id = IdOf(first.dispatch.get(), name);
        EXPECT_GT(id, previous) << "members keep their order";
        EXPECT_NE(id, DISPID_UNKNOWN);
        previous = id;
        std::wstring lower = name, upper = name;
        for (wchar_t& ch : lower) ch = static_cast<wchar_t>(towlower(ch));
        for (wchar_t& ch : upper) ch = static_cast<wchar_t>(towupper(ch));
        for (IDispatch* d : vtables) {
            EXPECT_EQ(IdOf(d, name), id);
            EXPECT_EQ(IdOf(d, lower), id);
            EXPECT_EQ(IdOf(d, upper), id);
        }
    }
    for (const wchar_t* unknown : {L"OnGetVisibleTools", L"OnGetContentEdit0", L"", L"ribbonLoaded "})
        EXPECT_EQ(IdOf(first.dispatch.get(), unknown, DISP_E_UNKNOWNNAME), DISPID_UNKNOWN);
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"ribbonLoaded")};
    DISPID id = 0;
    EXPECT_EQ(first.dispatch->GetIDsOfNames(IID_IUnknown, names, 1, 0, &id), DISP_E_UNKNOWNINTERFACE);
    UINT count = 99;
    EXPECT_EQ(first.dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
}

// A host whose answers a test sets, for computing what the rules must say.
struct StateHost final : Host {
    std::int32_t type = -1;
    bool design = false, datasheet = false;
    std::string Name() override { return "Microsoft Office Access"; }
    std::int32_t CurrentObjectType() override { return type; }
    bool IsPressed(std::string_view id) override {
        return id == kDesignViewButton ? design : id == kDatasheetViewButton ? datasheet : false;
    }
};

TEST(Dispatch, CallbacksTakeTheControlAndAnswerWithTheirTypes) {
    FakeApplication app;
    Addin addin;
    ASSERT_EQ(addin.Connect(&app), S_OK);
    FakeControl control;
    struct State {
        std::int32_t type;
        bool design, datasheet;
    };
    for (const State s : {State{2, true, false}, {0, false, true}, {3, false, false}, {1, true, false}, {-1, false, false},
                          {5, false, false}}) {
        app.SetType(s.type);
        app.design = s.design;
        app.datasheet = s.datasheet;
        StateHost expected;
        expected.type = s.type;
        expected.design = s.design;
        expected.datasheet = s.datasheet;
        for (const VisibilityRule& rule : VisibilityRules()) {
            const std::wstring name = kestrel::Utf8ToWide(rule.callback);
            const auto answer = Call(addin.dispatch.get(), name, {Object(&control)});
            ASSERT_EQ(answer->hr, S_OK) << rule.callback;
            ASSERT_EQ(answer->result.vt, VT_BOOL) << rule.callback;
            EXPECT_EQ(answer->result.boolVal, rule.visible(expected) ? VARIANT_TRUE : VARIANT_FALSE)
                << rule.callback << " for type " << s.type;
        }
        const auto content = Call(addin.dispatch.get(), L"OnGetContentRecords", {Object(&control)});
        ASSERT_EQ(content->result.vt, VT_BSTR);
        EXPECT_EQ(content->Text().rfind(L"<menu xmlns=", 0), 0u);
    }
    // Through another vtable, with a control that is Nothing, with DISPATCH_METHOD alone.
    app.SetType(0);
    const auto viaExtensibility = Call(addin.extensibility.get(), L"OnGetVisibleFormat", {Object(nullptr)},
                                       DISPATCH_METHOD);
    EXPECT_EQ(viaExtensibility->hr, S_OK);
    EXPECT_EQ(viaExtensibility->result.vt, VT_BOOL);
    EXPECT_EQ(viaExtensibility->result.boolVal, VARIANT_TRUE);
    EXPECT_EQ(control.refs(), 1u);
    EXPECT_EQ(addin.Release(), 0u);
    EXPECT_EQ(app.refs(), 1u);
    EXPECT_EQ(app.commandBars.refs(), 1u);
}

TEST(Dispatch, RefusesCallsOfTheWrongShape) {
    FakeApplication app;
    Addin addin;
    ASSERT_EQ(addin.Connect(&app), S_OK);
    FakeControl control;
    IDispatch* d = addin.dispatch.get();
    EXPECT_EQ(Call(d, L"OnGetVisibleEdit")->hr, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(d, L"OnGetVisibleEdit", {Object(&control), Object(&control)})->hr, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(d, L"GetRibbonXML", {Object(&control)})->hr, DISP_E_BADPARAMCOUNT);
    VARIANT number;
    VariantInit(&number);
    number.vt = VT_I4;
    number.lVal = 7;
    const auto mismatch = Call(d, L"OnGetContentEdit", {number});
    EXPECT_EQ(mismatch->hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(mismatch->argError, 0u);
    EXPECT_EQ(mismatch->result.vt, VT_EMPTY);
    VARIANT text = Text(L"Button1");
    EXPECT_EQ(Call(d, L"ShowAbout0", {text})->hr, DISP_E_TYPEMISMATCH);
    VariantClear(&text);
    EXPECT_EQ(Call(d, L"OnGetVisibleEdit", {Object(&control)}, DISPATCH_PROPERTYPUT)->hr, DISP_E_MEMBERNOTFOUND);

    VARIANT arg = Object(&control);
    DISPID named = 0;
    DISPPARAMS withName{&arg, &named, 1, 1};
    UniqueVariant result;
    EXPECT_EQ(d->Invoke(IdOf(d, L"OnGetVisibleEdit"), IID_NULL, 0, kCall, &withName, &result, nullptr, nullptr),
              DISP_E_NONAMEDARGS);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(d->Invoke(9999, IID_NULL, 0, kCall, &none, &result, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(d->Invoke(IdOf(d, L"GetRibbonXML"), IID_IUnknown, 0, kCall, &none, &result, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
    // A caller without EXCEPINFO still learns of a failure.
    app.refuseType = E_FAIL;
    DISPPARAMS one{&arg, nullptr, 1, 0};
    EXPECT_EQ(d->Invoke(IdOf(d, L"OnGetVisibleEdit"), IID_NULL, 0, kCall, &one, &result, nullptr, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(control.refs(), 1u);
    EXPECT_EQ(addin.Release(), 0u);
}

// ---- the host's refusals --------------------------------------------------------------------

TEST(HostFailures, FailTheCallbackWithTheHostsCodeAndTheHostGoesOn) {
    FakeApplication app;
    Addin addin;
    FakeControl control;
    IDispatch* d = addin.dispatch.get();
    // Not connected yet: no Application to ask.
    const auto early = Call(d, L"OnGetVisibleQuery", {Object(&control)});
    EXPECT_EQ(early->hr, DISP_E_EXCEPTION);
    EXPECT_EQ(early->exception.scode, kObjectNotSet);
    ASSERT_EQ(addin.Connect(&app), S_OK);

    constexpr HRESULT kCantDoNow = static_cast<HRESULT>(0x800A09C5);  // a refusal as Access words it
    app.refuseType = kCantDoNow;
    for (const wchar_t* callback : {L"OnGetVisibleQuery", L"OnGetVisibleFormOrReport", L"OnGetContentFormat"}) {
        const auto failed = Call(d, callback, {Object(&control)});
        EXPECT_EQ(failed->hr, DISP_E_EXCEPTION) << kestrel::WideToUtf8(callback);
        EXPECT_EQ(failed->exception.scode, kCantDoNow);
        EXPECT_EQ(failed->result.vt, VT_EMPTY) << "no False, no empty menu";
        EXPECT_NE(failed->exception.bstrDescription, nullptr);
    }
    app.refuseType = S_OK;
    app.SetType(1);
    const auto recovered = Call(d, L"OnGetVisibleQuery", {Object(&control)});
    EXPECT_EQ(recovered->hr, S_OK);
    EXPECT_EQ(recovered->result.boolVal, VARIANT_TRUE);

    app.refusePressed = E_ACCESSDENIED;  // returned directly, without EXCEPINFO
    const auto pressed = Call(d, L"OnGetVisibleDatasheet", {Object(&control)});
    EXPECT_EQ(pressed->hr, DISP_E_EXCEPTION);
    EXPECT_EQ(pressed->exception.scode, E_ACCESSDENIED);
    app.refusePressed = S_OK;

    VariantClear(&app.objectType);
    app.objectType.vt = VT_BSTR;
    app.objectType.bstrVal = SysAllocString(L"table");
    const auto notANumber = Call(d, L"OnGetVisibleInsert", {Object(&control)});
    EXPECT_EQ(notANumber->hr, DISP_E_EXCEPTION);
    EXPECT_EQ(notANumber->exception.scode, DISP_E_TYPEMISMATCH);
    VariantClear(&app.objectType);
    app.objectType.vt = VT_BSTR;
    app.objectType.bstrVal = SysAllocString(L" 2");
    EXPECT_EQ(Call(d, L"OnGetVisibleFormat", {Object(&control)})->result.boolVal, VARIANT_TRUE);

    // Access's Application has no ActiveWindow: the document map toggle fails.
    const auto document = Call(d, L"Document0", {Object(&control)});
    EXPECT_EQ(document->hr, DISP_E_EXCEPTION);
    EXPECT_EQ(document->exception.scode, DISP_E_UNKNOWNNAME);

    // A host by another name gets no document; connecting again replaces the Application.
    FakeApplication nameless;
    nameless.name = L"";
    EXPECT_EQ(addin.Connect(&nameless), S_OK);
    BSTR xml = nullptr;
    EXPECT_EQ(addin.ribbonExtensibility->GetCustomUI(nullptr, &xml), S_OK);
    EXPECT_EQ(std::wstring(xml ? xml : L""), L"") << "a host that is not Access gets no markup";
    SysFreeString(xml);

    EXPECT_EQ(addin.Release(), 0u);
    EXPECT_EQ(app.refs(), 1u);
    EXPECT_EQ(nameless.refs(), 1u);
}

TEST(HostFailures, EachHostMemberIsLookedUpOnceAndReadAsAProperty) {
    FakeApplication app;
    Addin addin;
    ASSERT_EQ(addin.Connect(&app), S_OK);
    FakeControl control;
    for (int i = 0; i < 5; ++i) Call(addin.dispatch.get(), L"OnGetVisibleText", {Object(&control)});
    EXPECT_EQ(app.lookups[L"CurrentObjectType"], 1);
    EXPECT_EQ(app.lookups[L"CommandBars"], 1);
    EXPECT_EQ(app.commandBars.lookups[L"GetPressedMso"], 1);
    EXPECT_EQ(app.Invokes(L"CurrentObjectType"), 10) << "the rule reads the type twice per call";
    EXPECT_EQ(app.commandBars.Invokes(L"GetPressedMso"), 10);
    for (const auto& [member, flags] : app.invokes) EXPECT_EQ(flags, DISPATCH_PROPERTYGET | DISPATCH_METHOD);
    EXPECT_EQ(addin.Release(), 0u);
    EXPECT_EQ(app.commandBars.refs(), 1u);
}

TEST(Commands, DocumentTogglesTheActiveWindowsDocumentMap) {
    FakeApplication app(true);
    Addin addin;
    ASSERT_EQ(addin.Connect(&app), S_OK);
    FakeControl control;
    EXPECT_EQ(Call(addin.dispatch.get(), L"Document0", {Object(&control)})->hr, S_OK);
    EXPECT_EQ(Call(addin.dispatch.get(), L"document0", {Object(&control)})->hr, S_OK);
    EXPECT_EQ(app.documentMapWrites, (std::vector<bool>{true, false}));
    EXPECT_EQ(app.Invokes(L"ActiveWindow"), 4) << "the window is fetched for the read and again for the write";
    EXPECT_EQ(addin.Release(), 0u);
    EXPECT_EQ(app.window.refs(), 1u);
}

// ---- the refresh and the object's lifetime --------------------------------------------------

HWND RefreshWindow() { return FindWindowExW(HWND_MESSAGE, nullptr, L"PellwynRibbonRefresh", nullptr); }

// Pumps messages until `done` or the time is up; says whether it is done.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (!done() && GetTickCount64() < end) Pump(5);
    return done();
}

std::size_t HostCalls(const FakeApplication& app) { return app.invokes.size() + app.commandBars.invokes.size(); }

// After `change`, the ribbon is invalidated once within 300 ms, and not again.
void ExpectOneInvalidationSoonAfter(FakeRibbon& ribbon, const std::function<void()>& change, const std::string& what) {
    const std::size_t before = ribbon.invalidations.size();
    change();
    const ULONGLONG changed = GetTickCount64();
    ASSERT_TRUE(PumpUntil([&] { return ribbon.invalidations.size() > before; }, 1500)) << what << ": no invalidation";
    EXPECT_LE(ribbon.invalidations.back() - changed, 300u) << what;
    Pump(600);
    EXPECT_EQ(ribbon.invalidations.size(), before + 1) << what << ": invalidated once";
}

TEST(Refresh, NothingWhileIdleAndOneInvalidationSoonAfterEachChangeUntilDisconnection) {
    WriteSettings({});
    FakeApplication app;
    app.SetType(kAcTable);
    app.datasheet = true;
    FakeRibbon ribbon;
    Addin addin;
    ASSERT_EQ(addin.Connect(&app), S_OK);
    IDispatch* d = addin.dispatch.get();

    const auto early = Call(d, L"InvalidateRibbon");
    EXPECT_EQ(early->hr, DISP_E_EXCEPTION) << "no ribbon before ribbonLoaded";
    EXPECT_EQ(early->exception.scode, kObjectNotSet);
    EXPECT_EQ(Call(d, L"oRibbon")->result.vt, VT_DISPATCH);
    EXPECT_EQ(Call(d, L"oRibbon")->result.pdispVal, nullptr);
    EXPECT_EQ(RefreshWindow(), nullptr);

    const auto load = Call(d, L"ribbonLoaded", {Object(&ribbon)});
    ASSERT_EQ(load->hr, S_OK);
    EXPECT_EQ(load->result.vt, VT_EMPTY);
    EXPECT_EQ(ribbon.refs(), 3u) << "oRibbon and the refresh's own reference";
    EXPECT_NE(RefreshWindow(), nullptr);
    {
        const auto property = Call(d, L"oRibbon");
        EXPECT_EQ(property->result.vt, VT_DISPATCH);
        EXPECT_EQ(property->result.pdispVal, static_cast<IDispatch*>(&ribbon));
        EXPECT_EQ(ribbon.refs(), 4u);  // and the answer's own
    }

    // Ten idle seconds: the context is read four times a second, the ribbon never invalidated.
    app.invokes.clear();
    app.commandBars.invokes.clear();
    Pump(10000);
    EXPECT_TRUE(ribbon.invalidations.empty()) << ribbon.invalidations.size() << " invalidations while idle";
    const int checks = app.Invokes(L"CurrentObjectType");
    EXPECT_GE(checks, 20) << "the context is watched";
    EXPECT_LE(checks, 41);
    EXPECT_EQ(app.Invokes(L"CommandBars"), checks) << "one CommandBars a check";
    EXPECT_EQ(app.commandBars.Invokes(L"GetPressedMso"), 2 * checks);
    EXPECT_EQ(HostCalls(app), static_cast<std::size_t>(4 * checks)) << "nothing else is asked";

    // Each change of one reading or of several.
    struct Change {
        const char* what;
        std::int32_t type;
        bool design, datasheet;
    };
    for (const Change& c : {Change{"Design view pressed", kAcTable, true, true}, {"Datasheet view released", kAcTable, true, false},
                            {"the object type", kAcForm, true, false}, {"all three", kAcQuery, false, true},
                            {"nothing current", -1, false, false}, {"another kind of object", 7, false, false}})
        ExpectOneInvalidationSoonAfter(ribbon, [&] {
            app.SetType(c.type);
            app.design = c.design;
            app.datasheet = c.datasheet;
        }, c.what);

    // Access refuses an invalidation: the next check asks for it again, and then no more.
    ribbon.failures = 1;
    const std::size_t beforeRefusal = ribbon.invalidations.size();
    app.SetType(kAcReport);
    ASSERT_TRUE(PumpUntil([&] { return ribbon.invalidations.size() >= beforeRefusal + 2; }, 1500));
    Pump(600);
    EXPECT_EQ(ribbon.invalidations.size(), beforeRefusal + 2);
    EXPECT_LE(ribbon.invalidations.back() - ribbon.invalidations[beforeRefusal], 300u);

    // Reads that fail: nothing while Access refuses, then once when it answers again, though
    // nothing changed, so that the callbacks that failed meanwhile are asked again.
    auto refuseFor = [&](const char* what, const std::function<void()>& refuse, const std::function<void()>& answer) {
        const std::size_t before = ribbon.invalidations.size();
        const int checksBefore = app.Invokes(L"CurrentObjectType");
        refuse();
        Pump(800);
        EXPECT_EQ(ribbon.invalidations.size(), before) << what << ": nothing while Access refuses";
        EXPECT_GT(app.Invokes(L"CurrentObjectType"), checksBefore) << what << ": still asked";
        ExpectOneInvalidationSoonAfter(ribbon, answer, std::string(what) + " answers again");
    };
    refuseFor("CurrentObjectType", [&] { app.refuseType = static_cast<HRESULT>(0x800A09C5); },
              [&] { app.refuseType = S_OK; });
    refuseFor("GetPressedMso", [&] { app.refusePressed = E_ACCESSDENIED; }, [&] { app.refusePressed = S_OK; });

    // Asked for, the ribbon is invalidated at once.
    const std::size_t before = ribbon.invalidations.size();
    EXPECT_EQ(Call(d, L"InvalidateRibbon")->hr, S_OK);
    EXPECT_EQ(ribbon.invalidations.size(), before + 1);

    // After the disconnection nothing is read and nothing invalidated, whatever changes.
    EXPECT_EQ(addin.Disconnect(), S_OK);
    EXPECT_EQ(RefreshWindow(), nullptr);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE) << "the object is still there";
    const std::size_t atDisconnection = ribbon.invalidations.size(), callsAtDisconnection = HostCalls(app);
    app.SetType(kAcReport);
    app.design = true;
    Pump(1000);
    EXPECT_EQ(ribbon.invalidations.size(), atDisconnection) << "no invalidation after disconnection";
    EXPECT_EQ(HostCalls(app), callsAtDisconnection) << "no question after disconnection";
    EXPECT_EQ(ribbon.refs(), 3u) << "both references stay until the object goes";
    EXPECT_EQ(addin.Disconnect(), S_OK) << "a second disconnection has nothing to stop";

    EXPECT_EQ(addin.Release(), 0u);
    EXPECT_EQ(ribbon.refs(), 1u);
    EXPECT_EQ(app.refs(), 1u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

TEST(Refresh, ASecondRibbonReplacesTheFirstAndORibbonCanBeSet) {
    FakeApplication app;
    FakeRibbon first, second, third;
    FakeControl notARibbon;
    Addin addin;
    ASSERT_EQ(addin.Connect(&app), S_OK);
    IDispatch* d = addin.dispatch.get();
    ASSERT_EQ(Call(d, L"ribbonLoaded", {Object(&first)})->hr, S_OK);
    const HWND window = RefreshWindow();
    app.SetType(kAcForm);  // before any check: the second ribbon is drawn in this context
    ASSERT_EQ(Call(d, L"ribbonLoaded", {Object(&second)})->hr, S_OK);
    EXPECT_EQ(first.refs(), 1u);
    EXPECT_EQ(second.refs(), 3u);
    EXPECT_EQ(RefreshWindow(), window) << "the same window goes on ticking";
    EXPECT_EQ(Call(d, L"ribbonLoaded", {Object(&notARibbon)})->hr, DISP_E_TYPEMISMATCH);

    // oRibbon is a read/write property: InvalidateRibbon uses it; the refresh keeps its own.
    VARIANT value = Object(&third);
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &put, 1, 1};
    const DISPID id = IdOf(d, L"oRibbon");
    EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUTREF, &params, nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(second.refs(), 2u);
    EXPECT_EQ(third.refs(), 2u);
    EXPECT_EQ(Call(d, L"InvalidateRibbon")->hr, S_OK);
    EXPECT_EQ(third.invalidations.size(), 1u);
    value = Object(&notARibbon);
    EXPECT_EQ(d->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr), DISP_E_TYPEMISMATCH);
    Pump(600);
    EXPECT_TRUE(second.invalidations.empty()) << "the new ribbon's baseline is the context it loaded in";
    app.design = true;
    EXPECT_TRUE(PumpUntil([&] { return !second.invalidations.empty(); }, 1500));
    Pump(300);
    EXPECT_EQ(first.invalidations.size(), 0u);
    EXPECT_EQ(second.invalidations.size(), 1u) << "the refresh invalidates its own ribbon";
    EXPECT_EQ(third.invalidations.size(), 1u);

    // Released without a disconnection: the window goes with the object.
    EXPECT_EQ(addin.Release(), 0u);
    EXPECT_EQ(RefreshWindow(), nullptr);
    EXPECT_EQ(second.refs(), 1u);
    EXPECT_EQ(third.refs(), 1u);
    EXPECT_EQ(notARibbon.refs(), 1u);
}

TEST(Lifetime, TheServerStaysLoadedWhileObjectsOrLocksExist) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(L"Kavrel.Connect", &clsid), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(factory.put())),
              S_OK);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
    FakeControl outer;
    IUnknown* object = nullptr;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&object)), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, reinterpret_cast<void**>(&object)), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(DllCanUnloadNow(), S_OK) << "a failed creation leaves nothing behind";
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);

    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object)), S_OK);
    EXPECT_EQ(DllCanUnloadNow(), S_FALSE);
    IUnknown *a = nullptr, *b = nullptr, *identity = nullptr, *none = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a)), S_OK);
    ASSERT_EQ(object->QueryInterface(__uuidof(IRibbonExtensibility), reinterpret_cast<void**>(&b)), S_OK);
    ASSERT_EQ(b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, a) << "one identity";
    EXPECT_EQ(object->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&none)), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(identity->Release(), 3u);
    EXPECT_EQ(b->Release(), 2u);
    EXPECT_EQ(a->Release(), 1u);
    EXPECT_EQ(object->Release(), 0u);
    EXPECT_EQ(DllCanUnloadNow(), S_OK);
}

}  // namespace
}  // namespace pellwyn::testing
