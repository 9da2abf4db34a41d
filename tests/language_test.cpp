// Which translation a Windows language gets, the faces its windows draw it in, and the two
// helpers every translated text goes through.
#include "access_key.h"
#include "fakes.h"
#include "language.h"
#include "script_faces.h"
#include "text_case.h"

#include <map>
#include <set>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace kestrel {
namespace {

// The texts a Windows language reads: its own, for a regional variant its language's, for a
// language interface pack its base language's (Office's published list), English otherwise.
// A pack based on English reads English texts, yet is not English: Access speaks for itself.
TEST(Language, WindowsLanguagesFindTheirTranslation) {
    const struct {
        std::uint16_t langId;
        std::string_view code;
        bool english, rightToLeft;
    } cases[] = {
        {0x0409, "en", true, false},     {0x0809, "en", true, false},    {0x0000, "en", true, false},  // neutral
        {0x007F, "en", true, false},     {0x0400, "en", true, false},    // invariant, user default
        {0x0407, "de", false, false},    {0x0C07, "de", false, false},
        {0x0416, "pt_BR", false, false}, {0x0816, "pt_PT", false, false}, {0x0016, "pt_PT", false, false},
        {0x0404, "zh_TW", false, false}, {0x0C04, "zh_TW", false, false}, {0x1404, "zh_TW", false, false},
        {0x7C04, "zh_TW", false, false}, {0x0804, "zh_CN", false, false}, {0x1004, "zh_CN", false, false},
        {0x0004, "zh_CN", false, false},
        {0x0414, "nb", false, false},    {0x0814, "nb", false, false},    // Nynorsk: a pack on Bokmal
        {0x0401, "ar", false, true},     {0x0C01, "ar", false, true},     // Saudi Arabia, Egypt
        {0x3801, "ar", false, true},     {0x040D, "he", false, true},     // the Emirates; Hebrew
        {0x0408, "el", false, false},
        // Croatian, Serbian and Bosnian share a primary language.
        {0x041A, "hr", false, false},    {0x101A, "hr", false, false},    {0x001A, "hr", false, false},
        {0x241A, "sr", false, false},    {0x081A, "sr", false, false},    {0x2C1A, "sr", false, false},
        {0x7C1A, "sr", false, false},    {0x0C1A, "sr", false, false},    {0x281A, "sr", false, false},  // Cyrillic:
        {0x301A, "sr", false, false},    {0x1C1A, "sr", false, false},    {0x6C1A, "sr", false, false},  // Serbian's
        {0x141A, "en", false, false},    {0x201A, "", false, false},      // Bosnian: Latin a pack on English
        // Packs on a translation.
        {0x0403, "es", false, false},    {0x0803, "es", false, false},    {0x042D, "es", false, false},
        {0x0456, "es", false, false},    {0x046E, "fr", false, false},    {0x0423, "ru", false, false},
        {0x0480, "zh_CN", false, false},
        // Packs on English, right to left ones too: English texts, read left to right.
        {0x0452, "en", false, false},    {0x083C, "en", false, false},    {0x040F, "en", false, false},
        {0x0436, "en", false, false},    {0x0429, "en", false, false},    {0x0420, "en", false, false},
        {0x0462, "", false, false},      {0x0477, "", false, false},      // Frisian, Somali: no Office language
        {0x045A, "", false, false},      // Syriac, written right to left: no Office, English texts
    };
    auto shipped = [](std::string_view code) -> std::optional<std::int32_t> {
        for (const auto& [c, lcid] : pellwyn::testing::kShippedLanguages)
            if (c == code) return lcid;
        return std::nullopt;
    };
    constexpr TextId kCancel = Text("options", "Ca&ncel");
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.langId);
        const Language l = Language::FromLangId(c.langId);
        EXPECT_EQ(l.code(), c.code);
        EXPECT_EQ(LanguageCode(c.langId), c.langId == 0x0000 || c.langId == 0x007F || c.langId == 0x0400 ? "" : c.code);
        EXPECT_EQ(l.english(), c.english);
        EXPECT_EQ(l.rightToLeft(), c.rightToLeft);
        const std::optional<std::int32_t> own = shipped(c.code);
        EXPECT_EQ(l.translated(), own.has_value());
        EXPECT_EQ(l(kCancel), own ? Language::FromLangId(static_cast<std::uint16_t>(*own))(kCancel) : "Ca&ncel");
    }
    // Every shipped translation is reached by a Windows language, and speaks its own words.
    for (const auto& [code, lcid] : pellwyn::testing::kShippedLanguages) {
        const Language l = Language::FromLangId(static_cast<std::uint16_t>(lcid));
        EXPECT_EQ(l.code(), code);
        EXPECT_NE(l(Text("options", "Ca&ncel")), "Ca&ncel") << code;
    }
    EXPECT_EQ(Language::FromLangId(0x0462)(Text("options", "Ca&ncel")), "Ca&ncel");
    EXPECT_EQ(Language::FromLangId(0x045A)(Text("options", "Ca&ncel")), "Ca&ncel");
}

// The windows are designed in Arial; only the scripts it lacks take the faces Windows gives them
// in its dialogs, newer Windows' first, the one every Windows has last: Thai (any region) and
// Hindi. Every other shipped language, English, and one we do not ship keep Arial.
TEST(Language, OnlyThaiAndHindiLeaveArialForTheirScriptsFaces) {
    const struct {
        std::uint16_t langId;
        std::vector<std::string_view> faces;
    } cases[] = {
        {0x041E, {"Leelawadee UI", "Tahoma"}},
        {0x001E, {"Leelawadee UI", "Tahoma"}},  // Thai without a region
        {0x0439, {"Nirmala UI", "Mangal"}},
        {0x0409, {}},
        {0x045A, {}},  // Syriac: not shipped, English texts
        {0x0457, {}},  // Konkani, in Devanagari too: not shipped, English texts in Arial
    };
    for (const auto& c : cases) {
        const std::span<const std::string_view> faces = ScriptFaces(Language::FromLangId(c.langId));
        EXPECT_EQ(std::vector<std::string_view>(faces.begin(), faces.end()), c.faces) << std::hex << c.langId;
    }
    for (const auto& [code, lcid] : pellwyn::testing::kShippedLanguages) {
        if (code == "th" || code == "hi") continue;
        EXPECT_TRUE(ScriptFaces(Language::FromLangId(static_cast<std::uint16_t>(lcid))).empty()) << code;
    }
}

TEST(Language, PlaceholdersAndEscapes) {
    EXPECT_EQ(FormatText("{2} vor {1}, {1} {3} {9}", {"a", "b"}), "b vor a, a {3} {9}");
    EXPECT_EQ(FormatText("{1}{1}", {"x{1}"}), "x{1}x{1}");  // an argument is not read again
    EXPECT_EQ(FormatText("{0} {10} {", {"a"}), "{0} {10} {");  // only {1} to {9}
    EXPECT_EQ(XmlEscaped("A & B <\"x\"> 'y' …"), "A &amp; B &lt;&quot;x&quot;&gt; 'y' …");
}

TEST(AccessKeys, AreReadAsWindowsReadsThem) {
    const struct {
        std::string_view caption, key, drawn;
    } cases[] = {
        {"Ca&ncel", "n", "Cancel"},
        {"&Help", "H", "Help"},
        {"\u30D8\u30EB\u30D7(&H)", "H", "\u30D8\u30EB\u30D7(H)"},  // Japanese: the key in brackets
        {"Сп&равка", "р", "Справка"},                                    // a key of two bytes
        {"&Über", "Ü", "Über"},
        {"A && B", "", "A & B"},  // "&&" draws an "&" and marks nothing
        {"A && &B", "B", "A & B"},
        {"&&&x", "x", "&x"},
        {"No key", "", "No key"},
        {"Ends &", "", "Ends "},  // a lone last "&" marks nothing and is not drawn
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AccessKeyOf(c.caption), c.key) << c.caption;
        EXPECT_EQ(WithoutAccessKeyMark(c.caption), c.drawn) << c.caption;
    }
}

// The options window's table of keys: in English as designed; in every language each caption
// that has a key in English has exactly one, and no two share a key (Windows compares them
// without regard to case).
TEST(AccessKeys, EveryOptionsCaptionHasOneOfItsOwnInEveryLanguage) {
    const std::map<std::string_view, std::string_view> english = {
        {"&Help", "H"}, {"&Show Classic Menu and Toolbars in MS Access 2007", "S"},
        {"Show menu tabs on the &left of home tab", "l"}, {"Show &all items in main menu", "a"},
        {"Hide &built-in tabs", "b"}, {"Hom&e", "e"}, {"&Create", "C"}, {"E&xternal Data", "x"},
        {"&Database Tools", "D"}, {"&OK", "O"}, {"Ca&ncel", "n"}};
    std::vector<TextId> captions;
    for (std::size_t i = 0; i < kTextCount; ++i)
        if (kTextKeys[i].context == "options" && !AccessKeyOf(kTextKeys[i].english).empty())
            captions.push_back(static_cast<TextId>(i));
    ASSERT_EQ(captions.size(), english.size());
    std::vector<Language> languages = {Language()};
    for (const auto& [code, lcid] : pellwyn::testing::kShippedLanguages)
        languages.push_back(Language::FromLangId(static_cast<std::uint16_t>(lcid)));
    for (const Language& language : languages) {
        SCOPED_TRACE(std::string(language.code()));
        std::set<char32_t> keys;
        for (const TextId id : captions) {
            const std::string_view caption = language(id);
            if (language.english()) { EXPECT_EQ(AccessKeyOf(caption), english.at(kTextKeys[id].english)); }
            int marks = 0;
            for (std::size_t i = 0; i < caption.size(); ++i)
                if (caption[i] == '&' && i + 1 < caption.size()) marks += caption[++i] != '&';
            EXPECT_EQ(marks, 1) << caption;
            const std::u32string key = pellwyn::testing::Decode(std::string(AccessKeyOf(caption)));
            ASSERT_EQ(key.size(), 1u) << caption;
            EXPECT_TRUE(keys.insert(pellwyn::testing::Fold(key[0])).second) << caption << ": its key is taken";
        }
    }
}

}  // namespace
}  // namespace kestrel
