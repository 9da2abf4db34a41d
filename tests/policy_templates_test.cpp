// The administrative templates (installer/PolicyDefinitions): every text the ADMX names is in
// each language's ADML, the policies are the eight settings under the key both programs read,
// and both files validate against the ADMX schema, whose path comes from the environment
// (ADMX_XSD); without it that test reports itself skipped.
#include "run_command.h"
#include "settings_keys.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

std::vector<std::filesystem::path> Languages() {
    std::vector<std::filesystem::path> admls;
    for (const auto& entry : std::filesystem::directory_iterator(kTemplates))
        if (entry.is_directory() && std::filesystem::exists(entry.path() / "Menuvane.adml"))
            admls.push_back(entry.path() / "Menuvane.adml");
    return admls;
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
