// Which translation a Windows language gets, and the two helpers every translated text goes
// through.
#include "fakes.h"
#include "language.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

TEST(Language, WindowsLanguagesFindTheirTranslation) {
    const struct {
        std::uint16_t langId;
        std::string_view code;
        bool english, translated;
    } cases[] = {
        {0x0409, "en", true, false},     {0x0809, "en", true, false},    {0x0000, "en", true, false},  // neutral
        {0x007F, "en", true, false},     {0x0407, "de", false, true},    {0x0C07, "de", false, true},
        {0x0416, "pt_BR", false, true},  {0x0816, "pt_PT", false, true}, {0x0016, "pt_PT", false, true},
        {0x0404, "zh_TW", false, true},  {0x0C04, "zh_TW", false, true}, {0x1404, "zh_TW", false, true},
        {0x7C04, "zh_TW", false, true},  {0x0804, "zh_CN", false, true}, {0x1004, "zh_CN", false, true},
        {0x0814, "nb", false, true},     {0x0401, "ar", false, false},   {0x041A, "hr", false, false},
        {0x081A, "sr", false, false},    {0x0436, "", false, false},  // Afrikaans: no Office language
    };
    for (const auto& c : cases) {
        const Language l = Language::FromLangId(c.langId);
        EXPECT_EQ(l.code(), c.code) << std::hex << c.langId;
        EXPECT_EQ(l.english(), c.english) << std::hex << c.langId;
        EXPECT_EQ(l.translated(), c.translated) << std::hex << c.langId;
    }
    // Every shipped translation is reached by a Windows language, and speaks its own words.
    for (const auto& [code, lcid] : pellwyn::testing::kShippedLanguages) {
        const Language l = Language::FromLangId(static_cast<std::uint16_t>(lcid));
        EXPECT_EQ(l.code(), code);
        EXPECT_NE(l(Text("options", "Ca&ncel")), "Cancel") << code;
    }
    EXPECT_EQ(Language::FromLangId(0x0401)(Text("options", "Ca&ncel")), "Ca&ncel");  // English
}

TEST(Language, PlaceholdersAndEscapes) {
    EXPECT_EQ(FormatText("{2} vor {1}, {1} {3} {9}", {"a", "b"}), "b vor a, a {3} {9}");
    EXPECT_EQ(FormatText("{1}{1}", {"x{1}"}), "x{1}x{1}");  // an argument is not read again
    EXPECT_EQ(FormatText("{0} {10} {", {"a"}), "{0} {10} {");  // only {1} to {9}
    EXPECT_EQ(XmlEscaped("A & B <\"x\"> 'y' …"), "A &amp; B &lt;&quot;x&quot;&gt; 'y' …");
}

}  // namespace
}  // namespace kestrel
