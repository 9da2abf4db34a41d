// Every document and every menu fragment the add-in can produce validates against the ribbon
// schema. The schema's path comes from the environment (CUSTOMUI_XSD); without it these tests
// report themselves skipped.
#include "control_list.h"
#include "dynamic_menus.h"
#include "fakes.h"
#include "ribbon.h"
#include "run_command.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace pellwyn {
namespace {

using testing::FakeHost;
using testing::TempDir;

class Schema : public ::testing::Test {
protected:
    void SetUp() override {
        const char* xsd = std::getenv("CUSTOMUI_XSD");
        if (!xsd || !*xsd) GTEST_SKIP() << "CUSTOMUI_XSD is not set: nothing to validate against";
        xsd_ = xsd;
        ASSERT_TRUE(std::filesystem::exists(xsd_)) << xsd_;
    }

    std::string Write(const std::string& name, std::string_view xml) {
        const std::filesystem::path p = dir_.path() / name;
        std::ofstream(p, std::ios::binary) << xml;
        return p.string();
    }

    // xmllint's verdict on each file; an empty text when it validates.
    std::string Problems(const std::vector<std::string>& files) {
        std::string problems;
        for (std::size_t i = 0; i < files.size(); i += 40) {  // a few calls, not one per file
            const std::vector<std::string> batch(files.begin() + static_cast<std::ptrdiff_t>(i),
                                                 files.begin() + static_cast<std::ptrdiff_t>(std::min(i + 40, files.size())));
            std::string line = "xmllint --noout --schema " + testing::ShellQuote(xsd_);
            for (const std::string& f : batch) line += " " + testing::ShellQuote(f);
            line += " 2>" + testing::ShellQuote((dir_.path() / "lint.txt").string());
            if (std::system(line.c_str()) != 0) problems += testing::ReadWhole(dir_.path() / "lint.txt");
        }
        return problems;
    }

    std::string xsd_;
    TempDir dir_;
};

TEST_F(Schema, EveryDocumentValidates) {
    std::vector<std::string> files;
    int n = 0;
    for (const char* left : {"0", "1"})
        for (const char* all : {"0", "1"})
            for (const char* hide : {"0", "1"})
                for (int tabs = 0; tabs < 16; ++tabs) {
                    testing::RecordingSettings settings;
                    settings.Put("Left", left);
                    settings.Put("All", all);
                    settings.Put("Hide built-in Tabs", hide);
                    const char* names[] = {"Home", "Create", "External Data", "Database Tools"};
                    for (int bit = 0; bit < 4; ++bit) settings.Put(names[bit], (tabs >> bit) & 1 ? "1" : "0");
                    FakeHost host;
                    Markup markup;
                    files.push_back(Write("doc" + std::to_string(n++) + ".xml", GetRibbonXml(markup, host, settings)));
                }
    EXPECT_EQ(Problems(files), "");
}

// For Access 2007 (every name as the tables have it) and for each published list: the
// documents with and without "All", and every menu fragment.
TEST_F(Schema, EveryMenuFragmentValidatesOnItsOwnAndForEveryAccess) {
    std::vector<std::string> files;
    std::vector<std::string> versions{"2007"};
    for (std::string_view v : ControlList::PublishedVersions()) versions.emplace_back(v);
    for (const std::string& version : versions) {
        const ControlList list = *ControlList::Published(version);
        FakeHost host;
        host.knows = [&list](std::string_view name) -> std::optional<bool> { return list.Knows(name); };
        Markup markup;
        testing::RecordingSettings settings;
        settings.Put("All", "0");
        files.push_back(Write(version + "-doc0.xml", GetRibbonXml(markup, host, settings)));
        settings.Put("All", "1");
        files.push_back(Write(version + "-doc1.xml", GetRibbonXml(markup, host, settings)));
        for (DynamicMenu menu : kDynamicMenus)
            for (std::int32_t type = -1; type <= 7; ++type) {
                host.objectType = type;
                files.push_back(Write(version + "-" + std::string(Label(menu)) + std::to_string(type + 1) + ".xml",
                                      GetContent(markup, host, menu)));
            }
    }
    EXPECT_EQ(Problems(files), "");
}

// Every language's documents and menus: the translated texts go in escaped where they need it.
TEST_F(Schema, EveryLanguageValidates) {
    std::vector<std::string> files;
    for (const auto& [code, lcid] : testing::kShippedLanguages) {
        FakeHost host;
        host.language = lcid;
        Markup markup;
        testing::RecordingSettings settings;
        files.push_back(Write(std::string(code) + "-doc.xml", GetRibbonXml(markup, host, settings)));
        for (DynamicMenu menu : kDynamicMenus)
            for (std::int32_t type : {kAcTable, kAcQuery, kAcForm, kAcReport, -1}) {
                host.objectType = type;
                files.push_back(Write(std::string(code) + "-" + std::string(Label(menu)) + std::to_string(type + 1) + ".xml",
                                      GetContent(markup, host, menu)));
            }
    }
    EXPECT_EQ(Problems(files), "");
}

// The check itself can fail: markup the schema does not allow is reported.
TEST_F(Schema, RejectsWhatTheSchemaForbids) {
    const std::string bad = Write("bad.xml", R"(<menu xmlns="http://schemas.microsoft.com/office/2006/01/customui">)"
                                             R"(<tab id="Menus"/></menu>)");
    EXPECT_NE(Problems({bad}), "");
}

}  // namespace
}  // namespace pellwyn
