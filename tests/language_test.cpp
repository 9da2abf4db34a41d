// Which translation a Windows language gets, and the two helpers every translated text goes
// through.
#include "access_key.h"
#include "fakes.h"
#include "language.h"
#include "text_case.h"

#include <map>
#include <set>

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(Language, WindowsLanguagesFindTheirTranslation) {
    const struct {
        std::uint16_t langId;
        std::string_view code;
        bool english, translated, rightToLeft;
    } cases[] = {
        {0x0409, "en", true, false, false},    {0x0809, "en", true, false, false},
        {0x0000, "en", true, false, false},    {0x007F, "en", true, false, false},  // neutral, invariant
        {0x0407, "de", false, true, false},    {0x0C07, "de", false, true, false},
        {0x0416, "pt_BR", false, true, false}, {0x0816, "pt_PT", false, true, false},
        {0x0016, "pt_PT", false, true, false}, {0x0404, "zh_TW", false, true, false},
        {0x0C04, "zh_TW", false, true, false}, {0x1404, "zh_TW", false, true, false},
        {0x7C04, "zh_TW", false, true, false}, {0x0804, "zh_CN", false, true, false},
        {0x1004, "zh_CN", false, true, false}, {0x0814, "nb", false, true, false},
        {0x0401, "ar", false, true, true},     {0x0C01, "ar", false, true, true},  // Saudi Arabia, Egypt
        {0x3801, "ar", false, true, true},     {0x040D, "he", false, true, true},  // the Emirates; Hebrew
        {0x041A, "hr", false, true, false},    {0x081A, "sr", false, true, false},
        {0x0436, "", false, false, false},  // Afrikaans: no Office language
        {0x045A, "", false, false, false},  // Syriac, written right to left: no Office, English texts
    };
    for (const auto& c : cases) {
        const Language l = Language::FromLangId(c.langId);
        EXPECT_EQ(l.code(), c.code) << std::hex << c.langId;
        EXPECT_EQ(l.english(), c.english) << std::hex << c.langId;
        EXPECT_EQ(l.translated(), c.translated) << std::hex << c.langId;
        EXPECT_EQ(l.rightToLeft(), c.rightToLeft) << std::hex << c.langId;
    }
    // Every shipped translation is reached by a Windows language, and speaks its own words.
    for (const auto& [code, lcid] : pellwyn::testing::kShippedLanguages) {
        const Language l = Language::FromLangId(static_cast<std::uint16_t>(lcid));
        EXPECT_EQ(l.code(), code);
        EXPECT_NE(l(Text("options", "Ca&ncel")), "Ca&ncel") << code;
    }
    EXPECT_EQ(Language::FromLangId(0x045A)(Text("options", "Ca&ncel")), "Ca&ncel");  // English
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
