// The administrative templates as the build makes them (installer/PolicyDefinitions, and one
// ADML per translation made from po/): every text the ADMX names is in each language's ADML,
// each ADML has exactly the English one's ids and its language's texts, the policies are the
// eight settings under the key both programs read, and every file validates against the ADMX
// schema, whose path comes from the environment (ADMX_XSD); without it that test reports itself
// skipped.
#include "language.h"
#include "run_command.h"
#include "settings_keys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace pellwyn {
namespace {

using testing::ReadWhole;
using testing::ShellQuote;

const std::filesystem::path kTemplates = POLICY_DEFINITIONS;

std::set<std::string> All(const std::string& text, const std::regex& pattern, int group = 1) {
    std::set<std::string> found;
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) found.insert((*it)[group]);
    return found;
}

// Every language's ADML, English first.
std::vector<std::filesystem::path> Languages() {
    std::vector<std::filesystem::path> admls;
    for (const auto& entry : std::filesystem::directory_iterator(kTemplates))
        if (entry.is_directory() && std::filesystem::exists(entry.path() / "Menuvane.adml"))
            admls.push_back(entry.path() / "Menuvane.adml");
    std::sort(admls.begin(), admls.end(), [](const auto& a, const auto& b) {
        return std::pair(a.parent_path().filename() != "en-US", a) < std::pair(b.parent_path().filename() != "en-US", b);
    });
    return admls;
}

// An ADML's texts by their context in po/menuvane.pot ("adml.displayName", "adml.Classic", ...),
// with XML's five entities resolved.
std::map<std::string, std::string> Texts(const std::string& adml) {
    std::map<std::string, std::string> texts;
    const std::regex element(R"re(<(displayName|description)>([\s\S]*?)</\1>|<string id="([^"]+)">([\s\S]*?)</string>)re");
    for (std::sregex_iterator it(adml.begin(), adml.end(), element), end; it != end; ++it) {
        std::string text = (*it)[2].matched ? (*it)[2] : (*it)[4];
        for (const auto& [entity, c] : {std::pair("&lt;", "<"), {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"},
                                        {"&amp;", "&"}})
            for (std::size_t at; (at = text.find(entity)) != std::string::npos;) text.replace(at, std::strlen(entity), c);
        texts.emplace("adml." + ((*it)[1].matched ? (*it)[1] : (*it)[3]).str(), text);
    }
    return texts;
}

// The translation whose file code names the culture's language ("de" for de-DE, "pt_BR" for
// pt-BR), or nullptr.
const kestrel::TranslationTable* TranslationOf(const std::string& culture) {
    const kestrel::TranslationTable* found = nullptr;
    for (std::size_t i = 0; i < kestrel::kTranslationCount; ++i) {
        std::string code(kestrel::kTranslations[i].code);
        std::replace(code.begin(), code.end(), '_', '-');
        if ((culture == code || culture.rfind(code + "-", 0) == 0) && (!found || code.size() > found->code.size()))
            found = &kestrel::kTranslations[i];
    }
    return found;
}

TEST(PolicyTemplates, EveryTextAndPresentationTheAdmxNamesIsInEachAdml) {
    const std::string admx = ReadWhole(kTemplates / "Menuvane.admx");
    const std::set<std::string> strings = All(admx, std::regex(R"(\$\(string\.([^)]+)\))"));
    const std::set<std::string> presentations = All(admx, std::regex(R"(\$\(presentation\.([^)]+)\))"));
    ASSERT_GE(strings.size(), 18u);  // the category, its supportedOn, and two per policy
    const std::vector<std::filesystem::path> admls = Languages();
    ASSERT_FALSE(admls.empty());
    EXPECT_EQ(admls.front().parent_path().filename(), "en-US");
    for (const std::filesystem::path& path : admls) {
        SCOPED_TRACE(path.string());
        const std::string adml = ReadWhole(path);
        const std::set<std::string> defined = All(adml, std::regex(R"(<string\s+id="([^"]+)\")"));
        const std::set<std::string> shown = All(adml, std::regex(R"(<presentation\s+id="([^"]+)\")"));
        for (const std::string& id : strings) EXPECT_TRUE(defined.count(id)) << "no string " << id;
        for (const std::string& id : presentations) EXPECT_TRUE(shown.count(id)) << "no presentation " << id;
    }
}

// Each translation's ADML is the English one with its language's texts: the same string and
// presentation ids, and for each id the text of po/<code>.po.
TEST(PolicyTemplates, EachTranslationHasItsAdmlWithTheEnglishIdsAndItsOwnTexts) {
    const std::vector<std::filesystem::path> admls = Languages();
    ASSERT_EQ(admls.size(), kestrel::kTranslationCount + 1);
    const std::string english = ReadWhole(admls.front());
    const std::regex stringId(R"re(<string\s+id="([^"]+)")re");
    const std::regex presentationId(R"re(<presentation\s+id="([^"]+)")re");
    const std::map<std::string, std::string> englishTexts = Texts(english);
    ASSERT_EQ(englishTexts.size(), All(english, stringId).size() + 2);
    std::set<const kestrel::TranslationTable*> seen;
    for (auto path = admls.begin() + 1; path != admls.end(); ++path) {
        const std::string culture = path->parent_path().filename().string();
        SCOPED_TRACE(culture);
        const std::string adml = ReadWhole(*path);
        EXPECT_EQ(All(adml, stringId), All(english, stringId));
        EXPECT_EQ(All(adml, presentationId), All(english, presentationId));
        const kestrel::TranslationTable* translation = TranslationOf(culture);
        ASSERT_NE(translation, nullptr) << "no translation speaks " << culture;
        EXPECT_TRUE(seen.insert(translation).second) << translation->code << " has two ADMLs";
        const std::map<std::string, std::string> texts = Texts(adml);
        EXPECT_EQ(texts.size(), englishTexts.size());
        for (std::size_t i = 0; i < kestrel::kTextCount; ++i) {
            const kestrel::TextKey& key = kestrel::kTextKeys[i];
            if (key.context.rfind("adml.", 0) != 0) continue;
            ASSERT_EQ(englishTexts.at(std::string(key.context)), key.english) << key.context;
            EXPECT_EQ(texts.at(std::string(key.context)), translation->texts[i]) << key.context;
        }
    }
}

// Enabled writes 1 and Disabled 0, for the computer and for users, under the settings' names.
TEST(PolicyTemplates, OnePolicyPerSettingUnderThePolicyKeyForComputerAndUsers) {
    const std::string admx = ReadWhole(kTemplates / "Menuvane.admx");
    const std::regex policy(R"(<policy\s([^>]*)>([\s\S]*?)</policy>)");
    const std::regex enabled(R"(<enabledValue>\s*<decimal value="1"/>\s*</enabledValue>)");
    const std::regex disabled(R"(<disabledValue>\s*<decimal value="0"/>\s*</disabledValue>)");
    auto attribute = [](const std::string& tag, const std::string& name) {
        std::smatch m;
        return std::regex_search(tag, m, std::regex("\\b" + name + R"(="([^"]*)\")")) ? m[1].str() : std::string();
    };
    std::multiset<std::string> valueNames;
    for (std::sregex_iterator it(admx.begin(), admx.end(), policy), end; it != end; ++it) {
        const std::string tag = (*it)[1], body = (*it)[2];
        SCOPED_TRACE(tag);
        valueNames.insert(attribute(tag, "valueName"));
        EXPECT_EQ(attribute(tag, "class"), "Both");
        EXPECT_EQ(attribute(tag, "key"), kestrel::kPolicyKey);
        EXPECT_TRUE(std::regex_search(body, enabled));
        EXPECT_TRUE(std::regex_search(body, disabled));
        EXPECT_NE(body.find(R"(<parentCategory ref="Menuvane"/>)"), std::string::npos);
    }
    std::multiset<std::string> settings;
    for (const kestrel::SettingKey& key : {kestrel::kClassic, kestrel::kLeft, kestrel::kAll, kestrel::kHome,
                                           kestrel::kCreate, kestrel::kExternalData, kestrel::kDatabaseTools,
                                           kestrel::kHideBuiltInTabs})
        settings.insert(std::string(key.name));
    EXPECT_EQ(valueNames, settings);
}

TEST(PolicyTemplates, ValidateAgainstTheAdmxSchemaWhichRefusesABrokenOne) {
    const char* xsd = std::getenv("ADMX_XSD");
    if (!xsd || !*xsd) GTEST_SKIP() << "ADMX_XSD is not set: nothing to validate against";
    ASSERT_TRUE(std::filesystem::exists(xsd)) << xsd;
    testing::TempDir dir;
    auto lint = [&](const std::vector<std::filesystem::path>& files) {
        std::string line = "xmllint --noout --schema " + ShellQuote(xsd);
        for (const std::filesystem::path& f : files) line += " " + ShellQuote(f.string());
        line += " 2>" + ShellQuote((dir.path() / "lint.txt").string());
        return std::system(line.c_str()) == 0 ? std::string() : ReadWhole(dir.path() / "lint.txt");
    };
    std::vector<std::filesystem::path> files = Languages();
    files.insert(files.begin(), kTemplates / "Menuvane.admx");
    EXPECT_EQ(lint(files), "");

    std::string broken = ReadWhole(kTemplates / "Menuvane.admx");
    broken.replace(broken.find(R"(class="Both")"), 12, R"(class="Everyone")");
    std::ofstream(dir.path() / "broken.admx", std::ios::binary) << broken;
    EXPECT_NE(lint({dir.path() / "broken.admx"}), "");
}

}  // namespace
}  // namespace pellwyn
