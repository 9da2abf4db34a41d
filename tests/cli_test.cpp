// pellwyn-markup's command line, as other tools rely on it; po-compile's checks of the
// translations and what it makes of them for the setup and the Group Policy templates.
#include "dynamic_menus.h"
#include "fakes.h"
#include "ribbon.h"
#include "run_command.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

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

// po-compile on copies of the real files in a temporary folder, one of them changed: what it
// prints, and what it wrote.
const std::string kPoCompile = PO_COMPILE;
const std::filesystem::path kPoDir = PO_DIR;

class PoFiles {
public:
    PoFiles() {
        for (const char* name : {"menuvane.pot", "de.po"})
            std::filesystem::copy_file(kPoDir / name, dir_.path() / name);
        std::filesystem::copy_file(ENGLISH_ADML, dir_.path() / "Menuvane.adml");
    }
    std::filesystem::path In(const std::string& name) const { return dir_.path() / name; }
    // Changes a copied file: the line holding `find` (the first after the line holding `after`)
    // becomes `replace` (several lines with \n, none when empty). Gives the changed line's number.
    int Change(const std::string& name, const std::string& after, const std::string& find, const std::string& replace) {
        std::istringstream in(testing::ReadWhole(In(name)));
        std::string out, line;
        int number = 0, changed = 0;
        bool seen = after.empty();
        while (std::getline(in, line)) {
            ++number;
            seen = seen || line.find(after) != std::string::npos;
            if (seen && !changed && line.find(find) != std::string::npos) {
                changed = number;
                if (!replace.empty()) out += replace + "\n";
                continue;
            }
            out += line + "\n";
        }
        std::ofstream(In(name), std::ios::binary | std::ios::trunc) << out;
        return changed;
    }
    testing::CommandResult Run() {
        return RunCommand(kPoCompile, {"--template", In("menuvane.pot").string(), "--nsis", In("setup.nsh").string(),
                                       "--adml-template", In("Menuvane.adml").string(), "--adml-dir",
                                       In("PolicyDefinitions").string(), In("de.po").string()});
    }
    int PotLine(const std::string& text) {
        std::istringstream in(testing::ReadWhole(In("menuvane.pot")));
        std::string line;
        for (int number = 1; std::getline(in, line); ++number)
            if (line == text) return number;
        return 0;
    }

private:
    testing::TempDir dir_;
};

TEST(PoCompile, RefusesAFaultyTranslationWithItsFileAndLineAndWritesNothing) {
    const struct {
        const char* what;
        std::function<std::string(PoFiles&)> change;  // makes the fault, gives the message expected
    } cases[] = {
        {"a text missing",
         [](PoFiles& t) {
             t.Change("de.po", "", "msgstr \"Klassisch\"", "");
             t.Change("de.po", "", "msgid \"Classic\"", "");
             t.Change("de.po", "", "msgctxt \"ribbon\"", "");
             return t.In("de.po").string() + ":0: misses \"Classic\" (ribbon, " + t.In("menuvane.pot").string() + ":" + std::to_string(t.PotLine("msgid \"Classic\"") - 1) + ")";
         }},
        {"a fuzzy text",
         [](PoFiles& t) {
             const int line = t.Change("de.po", "", "msgctxt \"ribbon\"", "#, fuzzy\nmsgctxt \"ribbon\"") + 1;
             return t.In("de.po").string() + ":" + std::to_string(line) + ": \"Classic\" (ribbon) is marked fuzzy: check it, then drop the mark";
         }},
        {"a placeholder dropped",
         [](PoFiles& t) {
             const int line = t.Change("de.po", "msgctxt \"uninstall\"", "msgstr", "msgstr \"Start > Alle Programme > {1}\"") - 2;
             return t.In("de.po").string() + ":" + std::to_string(line) + ": \"To uninstall, close Access and then go to\r\rStart > Program Files > {1} > "
                                                      "Uninstall {1}\" (uninstall) has the placeholders {1}, English has {1} {1}";
         }},
        {"a setup text without its variable",
         [](PoFiles& t) {
             const int line = t.Change("de.po", "msgctxt \"setup.FinishText\"", "msgstr", "msgstr \"${PRODUCT}: fertig, $Grund\"") - 2;
             return t.In("de.po").string() + ":" + std::to_string(line) + ": \"${PRODUCT} has been installed on your computer: $Reason\" "
                                                      "(setup.FinishText) has the placeholders $Grund ${PRODUCT}, English has $Reason ${PRODUCT}";
         }},
        {"an English template text that is not the .pot's",
         [](PoFiles& t) {
             const int line = t.Change("Menuvane.adml", "", "<string id=\"All\">",
                                       "      <string id=\"All\">Show every item in the main menu</string>");
             return t.In("Menuvane.adml").string() + ":" + std::to_string(line) + ": its text All differs from " + t.In("menuvane.pot").string() + ":" +
                    std::to_string(t.PotLine("msgctxt \"adml.All\""));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PoFiles files;
        const std::string expected = c.change(files);
        const auto r = files.Run();
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find(expected + "\n"), std::string::npos) << r.err << "\nexpected: " << expected;
        EXPECT_NE(r.err.find("po-compile: 1 fault in the translations; nothing written"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(files.In("setup.nsh")));
        EXPECT_FALSE(std::filesystem::exists(files.In("PolicyDefinitions")));
    }
}

// The setup's texts are NSIS strings: a quote, a line break and a dollar sign that is no
// variable are escaped, the variables are not. The ADML's are XML text.
TEST(PoCompile, WritesTheSetupsTextsForNsisAndTheAdmlsTextsForXml) {
    PoFiles files;
    files.Change("de.po", "msgctxt \"setup.FinishRun\"", "msgstr", "msgstr \"${PRODUCT} kostet 0 $ und \\\"nichts\\\"\\r\\nUS$\"");
    files.Change("de.po", "msgctxt \"adml.All\"", "msgstr", "msgstr \"Alle <Elemente> & \\\"mehr\\\"\"");
    const auto r = files.Run();
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string nsh = testing::ReadWhole(files.In("setup.nsh"));
    for (const char* line :
         {"\n!insertmacro MUI_LANGUAGE \"English\"\n!insertmacro MUI_LANGUAGE \"German\"\n",
          "\nLangString FinishRun ${LANG_GERMAN} \"${PRODUCT} kostet 0 $$ und $\\\"nichts$\\\"$\\r$\\nUS$$\"\n",
          "\nLangString BadBitness ${LANG_ENGLISH} \"/BITNESS= takes 32 or 64, not $\\\"$Bits$\\\".\"\n",
          "\n    StrCpy $LANGUAGE ${LANG_GERMAN}\n"})
        EXPECT_NE(nsh.find(line), std::string::npos) << line;
    std::size_t langStrings = 0;
    for (std::size_t at = 0; (at = nsh.find("\nLangString ", at)) != std::string::npos; ++at) ++langStrings;
    EXPECT_EQ(langStrings, 2 * 17u);  // English and German, every setup text
    const std::string adml = testing::ReadWhole(files.In("PolicyDefinitions/de-DE/Menuvane.adml"));
    EXPECT_NE(adml.find("<string id=\"All\">Alle &lt;Elemente&gt; &amp; \"mehr\"</string>"), std::string::npos);
    EXPECT_NE(adml.find("<string id=\"Left\">Menüregisterkarte links neben Start anzeigen</string>"),
              std::string::npos);
}

}  // namespace
}  // namespace pellwyn
