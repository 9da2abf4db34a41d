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

// The add-in's document from values stored with other types: DWORDs count as their number,
// anything unreadable or a refused key fails the build (Access gets no markup).
TEST(SettingText, TheDocumentTakesDwordsAsNumbersAndFailsOnTheRest) {
    auto build = [](testing::RawRegistrySettings& store) {
        pellwyn::testing::FakeHost host;
        pellwyn::Markup markup;
        return std::string(pellwyn::GetRibbonXml(markup, host, store));
    };
    testing::RawRegistrySettings dwords, texts;
    dwords.Set("Left", kRegDword, {0, 0, 0, 0});
    dwords.Set("All", kRegSz, Utf16("0", false));
    texts.Put("Left", "0");
    texts.Put("All", "0");
    EXPECT_EQ(build(dwords), build(texts));
    dwords.Set("Classic", kRegDword, {0, 0, 0, 0});
    EXPECT_EQ(build(dwords), "");

    for (const std::uint32_t type : {kRegBinary, kRegMultiSz}) {
        testing::RawRegistrySettings store;
        store.Set("All", type, Utf16("1"));
        EXPECT_THROW(build(store), Error);
    }
    testing::RawRegistrySettings refused;
    refused.keyRefused = true;
    try {
        build(refused);
        ADD_FAILURE() << "a refused key built a document";
    } catch (const Error& e) {
        EXPECT_EQ(e.code(), testing::kAccessDenied);
    }
}

}  // namespace
}  // namespace kestrel
