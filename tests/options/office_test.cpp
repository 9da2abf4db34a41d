// Office's record of our add-in and its policies: which disabled items are ours, what OK
// removes, which policies keep the add-in off and what the user is told.
#include "disabled_items.h"
#include "fake_office.h"
#include "office_policy.h"

#include <gtest/gtest.h>

namespace menuvane {
namespace {

using namespace std::string_view_literals;
using kestrel::kRegBinary, kestrel::kRegDword, kestrel::kRegSz, kestrel::kRegExpandSz, kestrel::kRegQword;
using testing::Bytes, testing::Item;
using kestrel::testing::Utf16;

constexpr auto kPath = u"c:\\program files\\menuvane\\pellwyn.dll\0"sv;

Bytes WithLengths(Bytes b, std::uint32_t pathBytes, std::uint32_t nameBytes) {
    for (int i = 0; i < 4; ++i) {
        b[static_cast<std::size_t>(4 + i)] = static_cast<unsigned char>(pathBytes >> (8 * i));
        b[static_cast<std::size_t>(8 + i)] = static_cast<unsigned char>(nameBytes >> (8 * i));
    }
    return b;
}

TEST(DisabledItems, OnlyAnAddinItemWhosePathEndsInPellwynDllIsOurs) {
    const Bytes ours = Item(1, kPath, u"Menuvane\0"sv);
    const std::uint32_t pathBytes = 2 * static_cast<std::uint32_t>(kPath.size()), nameBytes = 18;
    struct Case { const char* what; std::uint32_t type; Bytes data; bool ours; };
    const Case cases[] = {
        {"ours", kRegBinary, ours, true},
        {"another folder and case", kRegBinary, Item(1, u"D:\\Old Install\\PELLWYN.DLL\0"sv, u"Menuvane\0"sv), true},
        {"forward slashes", kRegBinary, Item(1, u"c:/x/Pellwyn.dll\0"sv, u"Menuvane\0"sv), true},
        {"no folder, empty name", kRegBinary, Item(1, u"pellwyn.dll\0"sv, u"\0"sv), true},
        {"another add-in", kRegBinary, Item(1, u"c:\\x\\other.dll\0"sv, u"Other\0"sv), false},
        {"a longer name", kRegBinary, Item(1, u"c:\\x\\mypellwyn.dll\0"sv, u"Menuvane\0"sv), false},
        {"a backup", kRegBinary, Item(1, u"c:\\x\\pellwyn.dll.old\0"sv, u"Menuvane\0"sv), false},
        {"in a folder named like us", kRegBinary, Item(1, u"c:\\pellwyn.dll\\x.dll\0"sv, u"Menuvane\0"sv), false},
        {"a NUL inside the path", kRegBinary, Item(1, u"c:\\x\\pellwyn.dll\0.bak\0"sv, u"Menuvane\0"sv), false},
        {"a NUL inside the name", kRegBinary, Item(1, kPath, u"Menu\0vane\0"sv), false},
        {"no NUL after the path", kRegBinary, Item(1, u"c:\\x\\pellwyn.dll"sv, u"Menuvane\0"sv), false},
        {"no NUL after the name", kRegBinary, Item(1, kPath, u"Menuvane"sv), false},
        {"an empty path", kRegBinary, Item(1, u"\0"sv, u"Menuvane\0"sv), false},
        {"a document", kRegBinary, Item(2, kPath, u"Menuvane\0"sv), false},
        {"kind 0x101", kRegBinary, Item(0x101, kPath, u"Menuvane\0"sv), false},
        {"REG_SZ", kRegSz, ours, false},
        {"REG_NONE", 0, ours, false},
        {"one byte short", kRegBinary, Bytes(ours.begin(), ours.end() - 1), false},
        {"one byte over", kRegBinary, [&] { Bytes b = ours; b.push_back(0); return b; }(), false},
        {"the header alone", kRegBinary, Bytes(ours.begin(), ours.begin() + 12), false},
        {"eleven bytes", kRegBinary, Bytes(ours.begin(), ours.begin() + 11), false},
        {"empty", kRegBinary, {}, false},
        {"path longer than the value", kRegBinary, WithLengths(ours, 0xFFFFFFF0u, nameBytes), false},
        {"lengths that wrap around to the size", kRegBinary, WithLengths(ours, 0xFFFFFFFEu, nameBytes + pathBytes + 2), false},
        {"odd lengths", kRegBinary, WithLengths(ours, pathBytes - 1, nameBytes + 1), false},
        {"lengths swapped", kRegBinary, WithLengths(ours, nameBytes, pathBytes), false},
        {"a name length short of the name", kRegBinary, WithLengths(ours, pathBytes, 2), false},
    };
    for (const Case& c : cases) EXPECT_EQ(NamesOurAddin(c.type, c.data), c.ours) << c.what;
}

TEST(DisabledItems, VersionKeysAreDigitsPointDigits) {
    for (const char* yes : {"12.0", "16.0", "100.25"}) EXPECT_TRUE(IsOfficeVersion(yes)) << yes;
    for (const char* no : {"", "16", "16.", ".0", "Access", "Common", "16.0.1", "1x.0", "16,0", " 16.0", "16.0 "})
        EXPECT_FALSE(IsOfficeVersion(no)) << no;
}

// Every Office version key's disabled items lose exactly our values; the rest stays, also a
// list outside a version key. A key that cannot be read or changed is named afterwards and does
// not stop the others.
TEST(DisabledItems, ReenablingRemovesExactlyOursFromEveryVersionAndNamesWhatItCouldNot) {
    testing::FakeOffice<OfficeSystem> office;
    EXPECT_EQ(ReenableAddIn(office), 0);  // no Office at all

    const auto set = [&](std::string_view version, const char16_t* name, Bytes data, std::uint32_t type = kRegBinary) {
        office.Set(Hive::CurrentUser, DisabledItemsPath(version), name, type, std::move(data));
    };
    set("12.0", u"a", Item(1, kPath, u"Menuvane\0"sv));
    set("12.0", u"b", Item(1, u"c:\\x\\other.dll\0"sv, u"Other\0"sv));
    set("14.0", u"c", Item(1, u"C:\\OLD\\PELLWYN.DLL\0"sv, u"Menuvane\0"sv));
    set("15.0", u"d", Item(1, kPath, u"Menuvane\0"sv));
    set("16.0", u"e", Item(1, kPath, u"Menuvane\0"sv));
    set("16.0", u"f", Item(1, kPath, u"Menuvane\0"sv), kRegSz);
    set("16.0", u"g", {1, 0, 0, 0});
    set("16.0", u"h", Item(1, kPath, u"Menuvane\0"sv));
    set("Common", u"i", Item(1, kPath, u"Menuvane\0"sv));
    office.unreadable.insert("HKCU\\" + DisabledItemsPath("14.0"));
    office.undeletable.insert("HKCU\\" + DisabledItemsPath("15.0"));
    try {
        ReenableAddIn(office);
        ADD_FAILURE() << "the refusals went unreported";
    } catch (const kestrel::Error& e) {
        EXPECT_EQ(e.code(), kestrel::testing::kAccessDenied);
        EXPECT_EQ(std::string(e.what()), "Office may keep Pellwyn.dll switched off: HKCU\\" + DisabledItemsPath("14.0") +
                                             " cannot be read: Access is denied.; \"d\" of HKCU\\" +
                                             DisabledItemsPath("15.0") + " cannot be deleted");
    }
    EXPECT_EQ(office.log, (std::vector<std::string>{"delete a of HKCU\\" + DisabledItemsPath("12.0"),
                                                    "delete e of HKCU\\" + DisabledItemsPath("16.0"),
                                                    "delete h of HKCU\\" + DisabledItemsPath("16.0")}));
    for (const char16_t* stays : {u"f", u"g"}) EXPECT_TRUE(office.Has(Hive::CurrentUser, DisabledItemsPath("16.0"), stays));
    EXPECT_TRUE(office.Has(Hive::CurrentUser, DisabledItemsPath("12.0"), u"b"));
    EXPECT_TRUE(office.Has(Hive::CurrentUser, DisabledItemsPath("Common"), u"i"));

    try {  // the report's first words in the user's language, Windows' own after them
        ReenableAddIn(office, kestrel::Language::FromLangId(0x0407));
        ADD_FAILURE() << "the refusals went unreported";
    } catch (const kestrel::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Office lässt Pellwyn.dll möglicherweise deaktiviert: HKCU\\" +
                                             DisabledItemsPath("14.0") + " cannot be read: Access is denied.; \"d\" of " +
                                             "HKCU\\" + DisabledItemsPath("15.0") + " cannot be deleted");
    }

    office.unreadable.clear();
    office.undeletable.clear();
    EXPECT_EQ(ReenableAddIn(office), 2);  // what was refused before
    EXPECT_EQ(ReenableAddIn(office), 0);
}

TEST(Policies, TheManagedListDisablesWithTheTextOrTheDwordZero) {
    struct Case { std::uint32_t type; Bytes data; bool disables; };
    const Case cases[] = {
        {kRegSz, Utf16("0"), true},          {kRegSz, Utf16("0", false), true}, {kRegExpandSz, Utf16("0"), true},
        {kRegDword, {0, 0, 0, 0}, true},     {kRegSz, Utf16("1"), false},       {kRegSz, Utf16("2"), false},
        {kRegSz, Utf16(" 0"), false},        {kRegSz, Utf16("00"), false},      {kRegSz, Utf16(""), false},
        {kRegDword, {1, 0, 0, 0}, false},    {kRegDword, {0, 0, 0}, false},     {kRegQword, Bytes(8, 0), false},
        {kRegBinary, {0, 0, 0, 0}, false},   {kRegBinary, Utf16("0"), false},
    };
    for (const Case& c : cases) EXPECT_EQ(AddinListDisables(c.type, c.data), c.disables) << c.type << " " << c.data.size();
    EXPECT_TRUE(RequiresSignedAddins(kRegDword, Bytes{1, 0, 0, 0}));
    EXPECT_FALSE(RequiresSignedAddins(kRegDword, Bytes{0, 0, 0, 0}));
    EXPECT_FALSE(RequiresSignedAddins(kRegSz, Utf16("1")));
    EXPECT_FALSE(RequiresSignedAddins(kRegDword, Bytes{1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(Policies, OneMessageNamesEachPolicyInPlainWords) {
    using Kind = PolicyFinding::Kind;
    EXPECT_EQ(PolicyNoticeText({}, Signature::Missing), "");
    const std::vector<PolicyFinding> both{{Kind::AlwaysDisabled, Hive::CurrentUser, "16.0"},
                                          {Kind::SignatureRequired, Hive::LocalMachine, "12.0"}};
    EXPECT_EQ(PolicyNoticeText(both, Signature::Missing),
              "Menuvane has registered the add-in for the Classic tab, but a policy set by your administrator keeps "
              "Access from loading it:\r\n\r\n"
              "- \"List of managed add-ins\" (Access 2016 and later, set for you) says Kavrel.Connect = 0: always "
              "disabled.\r\n\r\n"
              "- \"Require that application add-ins are signed by Trusted Publisher\" (Access 2007, set for this "
              "computer) is on, and Pellwyn.dll is not signed.\r\n\r\n"
              "Ask your administrator to allow Kavrel.Connect. Access starts now.");
    const std::vector<PolicyFinding> signature{{Kind::SignatureRequired, Hive::CurrentUser, "17.0"}};
    EXPECT_NE(PolicyNoticeText(signature, Signature::NotAccepted)
                  .find("(Access of Office 17.0, set for you) is on, and Windows does not accept the signature of "
                        "Pellwyn.dll.\r\n\r\nAsk your administrator"),
              std::string::npos);
    EXPECT_EQ(PolicyNoticeText(signature, Signature::Accepted),
              "Menuvane has registered the add-in for the Classic tab, but a policy set by your administrator may "
              "still keep Access from loading it:\r\n\r\n"
              "- \"Require that application add-ins are signed by Trusted Publisher\" (Access of Office 17.0, set for "
              "you) is on. Windows accepts the signature of Pellwyn.dll, but Access also wants its publisher among "
              "your Trusted Publishers.\r\n\r\nAccess starts now.");
}

// In German, word for word; in every shipped language, the same lines in the same order, each
// naming what it must, with no placeholder left and nothing in English.
TEST(Policies, TheMessageSpeaksTheUsersLanguage) {
    using Kind = PolicyFinding::Kind;
    const std::vector<PolicyFinding> both{{Kind::AlwaysDisabled, Hive::CurrentUser, "16.0"},
                                          {Kind::SignatureRequired, Hive::LocalMachine, "12.0"}};
    EXPECT_EQ(PolicyNoticeText(both, Signature::Missing, kestrel::Language::FromLangId(0x0407)),
              "Menuvane hat das Add-In für die Registerkarte Klassisch registriert, aber eine von Ihrem Administrator "
              "festgelegte Richtlinie verhindert, dass Access es lädt:\r\n\r\n"
              "- „Liste der verwalteten Add-Ins“ (Access 2016 und höher, für Sie festgelegt) legt Kavrel.Connect = 0 "
              "fest: immer deaktiviert.\r\n\r\n"
              "- „Anwendungs-Add-Ins müssen von einem vertrauenswürdigen Herausgeber signiert sein“ (Access 2007, für "
              "diesen Computer festgelegt) ist aktiviert, und Pellwyn.dll ist nicht signiert.\r\n\r\n"
              "Bitten Sie Ihren Administrator, Kavrel.Connect zuzulassen. Access wird jetzt gestartet.");

    const std::vector<PolicyFinding> three{{Kind::SignatureRequired, Hive::CurrentUser, "17.0"},
                                           {Kind::AlwaysDisabled, Hive::LocalMachine, "15.0"},
                                           {Kind::SignatureRequired, Hive::LocalMachine, "14.0"}};
    const auto count = [](const std::string& text, std::string_view what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    };
    for (std::uint16_t id = 1; id < 0x400; ++id) {
        const kestrel::Language language = kestrel::Language::FromLangId(id);
        if (!language.translated()) continue;
        for (const Signature signature : {Signature::Missing, Signature::NotAccepted, Signature::Accepted}) {
            SCOPED_TRACE(std::string(language.code()) + " " + std::to_string(static_cast<int>(signature)));
            const std::string text = PolicyNoticeText(three, signature, language);
            EXPECT_EQ(text.rfind("Menuvane", 0) == 0 || text.find(" Menuvane") != std::string::npos, true);
            EXPECT_EQ(count(text, "\r\n\r\n- "), 3u);
            EXPECT_EQ(count(text, "Pellwyn.dll"), 2u);
            EXPECT_EQ(count(text, "Kavrel.Connect"), 2u);  // the managed list, and whom to allow
            EXPECT_EQ(count(text, "17.0"), 1u);
            for (std::string_view english :
                 {"{1}", "{2}", "set for", "Access starts now", "your administrator", "Access of Office"})
                EXPECT_EQ(text.find(english), std::string::npos) << english;
        }
    }
}

// Both hives and every version key are read, the ProgID in any case; the signature is checked
// only when a policy asks for it.
TEST(Policies, AreFoundInEitherHiveAndTheSignatureIsCheckedOnlyWhenAskedFor) {
    const std::string policies(kOfficePoliciesKey);
    auto list = [&](const char* version) { return policies + "\\" + version + "\\Access\\Resiliency\\AddinList"; };
    auto security = [&](const char* version) { return policies + "\\" + version + "\\Access\\Security"; };
    testing::FakeOffice<OfficeSystem> office;
    office.Set(Hive::CurrentUser, list("16.0"), u"policyon", kRegDword, {1, 0, 0, 0});
    office.Set(Hive::CurrentUser, list("16.0"), u"Other.Connect", kRegSz, Utf16("0"));
    office.Set(Hive::CurrentUser, list("15.0"), u"Kavrel.Connect", kRegSz, Utf16("1"));
    office.Set(Hive::CurrentUser, security("15.0"), u"RequireAddinSig", kRegDword, {0, 0, 0, 0});
    office.Set(Hive::CurrentUser, policies + "\\Common\\Access\\Resiliency\\AddinList", u"Kavrel.Connect", kRegSz,
               Utf16("0"));
    EXPECT_EQ(PolicyNotice(office, "C:\\Menuvane\\Pellwyn.dll"), "");

    office.Set(Hive::LocalMachine, list("14.0"), u"kavrel.CONNECT", kRegDword, {0, 0, 0, 0});
    EXPECT_EQ(FindPolicies(office).size(), 1u);
    EXPECT_NE(PolicyNotice(office, "C:\\Menuvane\\Pellwyn.dll").find("(Access 2010, set for this computer) says"),
              std::string::npos);
    EXPECT_TRUE(office.log.empty());

    office.Set(Hive::CurrentUser, security("16.0"), u"RequireAddinSig", kRegDword, {1, 0, 0, 0});
    office.signature = Signature::Accepted;
    const std::vector<PolicyFinding> found = FindPolicies(office);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1].kind, PolicyFinding::Kind::SignatureRequired);
    EXPECT_EQ(found[1].hive, Hive::CurrentUser);
    EXPECT_EQ(found[1].version, "16.0");
    EXPECT_EQ(PolicyNotice(office, "C:\\Menuvane\\Pellwyn.dll"), PolicyNoticeText(found, Signature::Accepted));
    EXPECT_EQ(office.log, (std::vector<std::string>{"signature C:\\Menuvane\\Pellwyn.dll"}));
}

}  // namespace
}  // namespace menuvane
