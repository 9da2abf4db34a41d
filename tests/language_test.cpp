// Which translation a Windows language gets, the faces its windows draw it in, and the two
// helpers every translated text goes through.
#include "fakes.h"
#include "language.h"
#include "script_faces.h"

#include <gtest/gtest.h>

#include <vector>

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

}  // namespace
}  // namespace kestrel
