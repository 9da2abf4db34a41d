// pellwyn-markup's command line, as other tools rely on it.
#include "dynamic_menus.h"
#include "fakes.h"
#include "ribbon.h"
#include "run_command.h"

#include <gtest/gtest.h>

#include <fstream>

namespace pellwyn {
namespace {

using testing::RunCommand;

const std::string kTool = PELLWYN_MARKUP;

std::string DocumentFor(const std::vector<std::pair<std::string, std::string>>& settings) {
    testing::RecordingSettings store;
    for (const auto& [n, v] : settings) store.Put(n, v);
    testing::FakeHost host;
    Markup markup;
    return std::string(GetRibbonXml(markup, host, store));
}

TEST(MarkupTool, PrintsTheDocumentOnOneLine) {
    const auto r = RunCommand(kTool, {});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, DocumentFor({}) + "\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(RunCommand(kTool, {"--setting", "All=0", "--setting", "LEFT=0"}).out,
              DocumentFor({{"All", "0"}, {"Left", "0"}}) + "\n");
}

TEST(MarkupTool, ALaterSettingReplacesAnEarlierOne) {
    EXPECT_EQ(RunCommand(kTool, {"--setting", "All=0", "--setting", "all=1"}).out, DocumentFor({}) + "\n");
    EXPECT_EQ(RunCommand(kTool, {"--setting", "Hide built-in Tabs=1", "--setting", "External Data=1"}).out,
              DocumentFor({{"Hide built-in Tabs", "1"}, {"External Data", "1"}}) + "\n");
}

TEST(MarkupTool, NoDocumentIsAnEmptyLine) {
    EXPECT_EQ(RunCommand(kTool, {"--setting", "Classic=0"}).out, "\n");
    EXPECT_EQ(RunCommand(kTool, {"--host-name", "MICROSOFT OFFICE ACCESS"}).out, "\n");
    EXPECT_EQ(RunCommand(kTool, {"--host-name", "Access"}).out, DocumentFor({}) + "\n");
}

TEST(MarkupTool, OpensMenusInOrderOnTheSameCounters) {
    const auto r = RunCommand(kTool, {"--setting", "All=0", "--open", "Edit:0", "--open", "insert:-1", "--open",
                                      "Format:2", "--open", "Edit:0"});
    ASSERT_EQ(r.status, 0) << r.err;
    testing::RecordingSettings store;
    store.Put("All", "0");
    testing::FakeHost host;
    Markup markup;
    std::string expected(GetRibbonXml(markup, host, store));
    expected += '\n';
    for (auto [menu, type] : {std::pair{DynamicMenu::Edit, 0}, {DynamicMenu::Insert, -1}, {DynamicMenu::Format, 2},
                              {DynamicMenu::Edit, 0}}) {
        host.objectType = type;
        expected += GetContent(markup, host, menu);
        expected += '\n';
    }
    EXPECT_EQ(r.out, expected);
}

// The tool plays the Access asked for: a published list, or a file of names.
TEST(MarkupTool, PlaysTheAccessAskedFor) {
    EXPECT_EQ(RunCommand(kTool, {"--access", "2007", "--open", "Edit:0"}).out,
              RunCommand(kTool, {"--open", "Edit:0"}).out);
    const auto on365 = RunCommand(kTool, {"--access", "365", "--open", "Edit:0"});
    ASSERT_EQ(on365.status, 0) << on365.err;
    EXPECT_EQ(on365.out.find("\"WindowCascade\""), std::string::npos);
    EXPECT_NE(on365.out.find("\"WindowsCascade\""), std::string::npos);
    EXPECT_NE(on365.out.find("\"CreateShortcutMenuFromMacro\" label=\"Create ShortCut…\""), std::string::npos);

    testing::TempDir dir;
    const std::string file = (dir.path() / "names.txt").string();
    std::ofstream(file) << "WindowMoveSplit\r\n\nWindowCascade\n";  // and no successor
    const auto listed = RunCommand(kTool, {"--access-list", file});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_NE(listed.out.find("\"WindowMoveSplit\""), std::string::npos);
    EXPECT_EQ(listed.out.find("\"WindowsArrangeAll\""), std::string::npos);
    EXPECT_NE(listed.out.find("\"FileNewDatabase\""), std::string::npos);  // the add-in asks about doubtful names only
    EXPECT_EQ(RunCommand(kTool, {"--access", "2010"}).status, 2);
    EXPECT_EQ(RunCommand(kTool, {"--access-list", file + ".missing"}).status, 2);
}

// --language: the LCID Access answers, decimal or hexadecimal; English by default.
TEST(MarkupTool, SpeaksTheLanguageAskedFor) {
    testing::FakeHost german;
    german.language = 0x0407;
    german.objectType = kAcTable;
    testing::RecordingSettings store;
    Markup markup;
    std::string expected(GetRibbonXml(markup, german, store));
    expected += "\n";
    expected += GetContent(markup, german, DynamicMenu::Edit);
    expected += "\n";
    EXPECT_EQ(RunCommand(kTool, {"--language", "1031", "--open", "Edit:0"}).out, expected);
    EXPECT_EQ(RunCommand(kTool, {"--language", "0x0407", "--open", "Edit:0"}).out, expected);
    EXPECT_EQ(RunCommand(kTool, {"--language", "1033"}).out, DocumentFor({}) + "\n");
    EXPECT_EQ(RunCommand(kTool, {"--language", "none"}).out, DocumentFor({}) + "\n");
    for (const char* bad : {"German", "0x", "-5", "10 33", ""})
        EXPECT_EQ(RunCommand(kTool, {"--language", bad}).status, 2) << bad;
}

TEST(MarkupTool, AFailureOfTheAddinPrintsNothingButTheError) {
    for (std::initializer_list<std::string> args :
         {std::initializer_list<std::string>{"--setting", "Left=abc"}, {"--setting", "Left=1=2"},
          {"--setting", "Classic=3e9"}, {"--setting", "Hide built-in Tabs=1", "--setting", "Home=x"}}) {
        const auto r = RunCommand(kTool, args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.rfind("error: setting \"", 0), 0u) << r.err;
        EXPECT_EQ(r.err.back(), '\n');
    }
    // Not read, so no error: the add-in gives no document before it reaches "Left".
    EXPECT_EQ(RunCommand(kTool, {"--setting", "Classic=0", "--setting", "Left=abc"}).out, "\n");
}

TEST(MarkupTool, OutputThatCannotBeWrittenIsAFailure) {
    for (const char* args : {"", " --help", " --setting Classic=0"}) {  // a large write, a small one
        const int status = std::system((testing::ShellQuote(kTool) + args + " >/dev/full 2>/dev/null").c_str());
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << args;
    }
}

TEST(MarkupTool, UsageErrorsExitWithTwo) {
    for (std::initializer_list<std::string> args :
         {std::initializer_list<std::string>{"--open", "Tools:1"}, {"--open", "Edit"}, {"--open", "Edit:x"},
          {"--open", "Edit:1.5"}, {"--open", "Edit:99999999999"}, {"--open", "Edit:+-1"}, {"--setting", "Left"}, {"--setting", "=1"},
          {"--setting"}, {"--host-name"}, {"--frobnicate"}, {"extra"}}) {
        const auto r = RunCommand(kTool, args);
        EXPECT_EQ(r.status, 2) << *args.begin();
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err, "");
    }
}

TEST(MarkupTool, HelpExplainsTheOptions) {
    const auto r = RunCommand(kTool, {"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* word : {"--setting NAME=VALUE", "--host-name", "--access VERSION", "--access-list FILE",
                             "--language LCID", "--open MENU:TYPE", "Exit status"})
        EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

}  // namespace
}  // namespace pellwyn
