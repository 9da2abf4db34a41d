// What a setting reads as when the registry holds it with any type, length or bytes, and what
// the add-in's document makes of such values.
#include "error.h"
#include "fakes.h"
#include "raw_registry.h"
#include "registry_value.h"
#include "ribbon.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

using Bytes = std::vector<unsigned char>;
using testing::Utf16;

TEST(SettingText, TextValuesReadUpToTheirFirstNulWithOrWithoutTerminator) {
    struct Case { std::uint32_t type; Bytes bytes; std::string text; };
    const Bytes embedded{'1', 0, 0, 0, '2', 0, 0, 0};
    const Bytes odd{'1', 0, '2'};
    const Case cases[] = {
        {kRegSz, Utf16("1"), "1"},
        {kRegSz, Utf16("12", false), "12"},          // no terminating NUL
        {kRegSz, embedded, "1"},                     // what follows a NUL is not read
        {kRegSz, odd, "1"},                          // an odd last byte is no character
        {kRegSz, {}, ""},
        {kRegSz, {'1'}, ""},
        {kRegExpandSz, Utf16("%HOME%"), "%HOME%"},   // not expanded
        {kRegSz, {0x26, 0x20, 0, 0}, "\xE2\x80\xA6"},                  // U+2026
        {kRegSz, {0x3D, 0xD8, 0x00, 0xDE}, "\xF0\x9F\x98\x80"},        // a surrogate pair
        {kRegSz, {0x3D, 0xD8, '1', 0}, "\xEF\xBF\xBD" "1"},            // a lone one
        {kRegSz, {0x00, 0xDE}, "\xEF\xBF\xBD"},
        {kRegDword, {1, 0, 0, 0}, "1"},
        {kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
    };
    for (const Case& c : cases) EXPECT_EQ(SettingText("Left", c.type, c.bytes), c.text) << c.text;

    const Bytes overlong = Utf16(std::string(40'000, '1'), false);  // 80 KB, exactly sized
    EXPECT_EQ(SettingText("Left", kRegSz, overlong), std::string(40'000, '1'));
}

TEST(SettingText, OtherTypesAreTheNamedTypeError) {
    for (const auto& [type, bytes] : {std::pair{kRegBinary, Bytes{1, 0, 0, 0}}, std::pair{kRegMultiSz, Utf16("1")},
                                      std::pair{kRegQword, Bytes(8, 0)}, std::pair{kRegNone, Bytes{}},
                                      std::pair{kRegDword, Bytes{1, 0, 0}}, std::pair{kRegDword, Bytes(8, 0)},
                                      std::pair{0x12345u, Utf16("1")}}) {
        try {
            SettingText("All", type, bytes);
            ADD_FAILURE() << "type " << type << " read as text";
        } catch (const Error& e) {
            EXPECT_EQ(e.code(), kTypeMismatch);
            EXPECT_STREQ(e.what(), "setting \"All\": the stored value is not text");
        }
    }
}

std::string Document(SettingsStore& store) {
    pellwyn::testing::FakeHost host;
    pellwyn::Markup markup;
    return std::string(pellwyn::GetRibbonXml(markup, host, store));
}

// The add-in's document from values stored with other types: DWORDs count as their number,
// anything unreadable or a refused key fails the build (Access gets no markup).
TEST(SettingText, TheDocumentTakesDwordsAsNumbersAndFailsOnTheRest) {
    testing::RawRegistrySettings dwords, texts;
    dwords.Set("Left", kRegDword, {0, 0, 0, 0});
    dwords.Set("All", kRegSz, Utf16("0", false));
    texts.Put("Left", "0");
    texts.Put("All", "0");
    EXPECT_EQ(Document(dwords), Document(texts));
    dwords.Set("Classic", kRegDword, {0, 0, 0, 0});
    EXPECT_EQ(Document(dwords), "");

    for (const std::uint32_t type : {kRegBinary, kRegMultiSz}) {
        testing::RawRegistrySettings store;
        store.Set("All", type, Utf16("1"));
        EXPECT_THROW(Document(store), Error);
    }
    testing::RawRegistrySettings refused;
    refused.keyRefused = true;
    try {
        Document(refused);
        ADD_FAILURE() << "a refused key built a document";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), testing::kAccessDenied);
    }
}

Bytes Dword(std::uint32_t v) {
    return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8), static_cast<unsigned char>(v >> 16),
            static_cast<unsigned char>(v >> 24)};
}
constexpr SettingPlace kMachine = SettingPlace::MachinePolicy, kUserPolicy = SettingPlace::UserPolicy;

// The computer's policy, then the user's, then the user's own value, then the reader's default;
// a policy counts only as a DWORD 0 or 1, anything else there is passed over.
TEST(Policies, DecideInOrderBeforeTheUsersValueAndOnlyADwordZeroOrOneCounts) {
    testing::RawRegistrySettings store;
    store.Set("Classic", kRegDword, Dword(0), kMachine);
    store.Set("Classic", kRegDword, Dword(1), kUserPolicy);
    store.Put("Classic", "1");
    store.Set("Left", kRegDword, Dword(0), kUserPolicy);
    store.Set("Left", kRegBinary, {1, 2, 3});  // the user's value, unreadable, is never asked for
    store.Set("Hide built-in Tabs", kRegDword, Dword(1), kMachine);
    EXPECT_EQ(store.Get("Classic"), "0");
    EXPECT_EQ(store.Policy("Classic"), 0);
    EXPECT_EQ(ReadInt32(store, kClassic), 0);  // not the default 1 either
    EXPECT_EQ(store.Get("left"), "0");
    EXPECT_EQ(store.Get("hide BUILT-IN tabs"), "1");
    EXPECT_EQ(store.Get("Create"), std::nullopt);
    EXPECT_EQ(ReadDouble(store, kCreate), 0.0);

    const std::pair<std::uint32_t, Bytes> notPolicies[] = {
        {kRegSz, Utf16("1")},  {kRegDword, Dword(2)},       {kRegDword, Dword(0x101)}, {kRegDword, Dword(0xFFFFFFFF)},
        {kRegDword, {1, 0, 0}}, {kRegDword, {1, 0, 0, 0, 0}}, {kRegQword, Bytes{1, 0, 0, 0, 0, 0, 0, 0}},
        {kRegBinary, Dword(1)}, {kRegNone, {}}};
    for (const auto& [type, bytes] : notPolicies) {
        testing::RawRegistrySettings s;
        s.Set("All", type, bytes, kMachine);
        s.Set("All", type, bytes, kUserPolicy);
        EXPECT_EQ(s.Get("All"), std::nullopt) << type;
        EXPECT_EQ(ReadInt32(s, kAll), 1) << type;
        s.Put("All", "0");
        EXPECT_EQ(s.Get("All"), "0") << type;
        s.Set("All", kRegDword, Dword(1), kUserPolicy);  // a bad computer's value leaves the user's policy
        EXPECT_EQ(s.Get("All"), "1") << type;
    }

    store.Put("Classic", "1");  // the user's own value only
    EXPECT_EQ(store.Get("Classic"), "0");
    EXPECT_EQ(store.At("Classic").bytes, Utf16("1"));
    EXPECT_EQ(store.machinePolicy.at("classic").bytes, Dword(0));
}

// The add-in's document follows the policies whatever the user stored.
TEST(Policies, TheDocumentFollowsThemAgainstTheUsersValues) {
    testing::RawRegistrySettings decided, chosen;
    for (const char* name : {"Left", "All", "Create"}) decided.Put(name, "1");
    decided.Set("Left", kRegDword, Dword(0), kMachine);
    decided.Set("All", kRegDword, Dword(0), kUserPolicy);
    decided.Set("Hide built-in Tabs", kRegDword, Dword(1), kUserPolicy);
    decided.Set("Create", kRegDword, Dword(0), kMachine);
    decided.Set("Home", kRegDword, Dword(1), kMachine);
    chosen.Put("Left", "0");
    chosen.Put("All", "0");
    chosen.Put("Hide built-in Tabs", "1");
    chosen.Put("Home", "1");
    EXPECT_EQ(Document(decided), Document(chosen));
    EXPECT_NE(Document(decided).find(
                  R"(<tab idMso="TabHomeAccess" visible="false"/><tab id="Menus" label="Classic" keytip="L">)"),
              std::string::npos);

    decided.Put("Classic", "1");
    decided.Set("Classic", kRegDword, Dword(0), kUserPolicy);
    EXPECT_EQ(Document(decided), "");
}

}  // namespace
}  // namespace kestrel
