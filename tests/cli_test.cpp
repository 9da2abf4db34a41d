// pellwyn-markup's command line, as other tools rely on it; po-compile's checks of the
// translations and what it makes of them for the setup and the Group Policy templates.
#include "dynamic_menus.h"
#include "fakes.h"
#include "ribbon.h"
#include "run_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <vector>

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
        for (const char* name : {"menuvane.pot", "de.po", "languages.tsv"})
            std::filesystem::copy_file(kPoDir / name, dir_.path() / name);
        std::filesystem::copy_file(ENGLISH_ADML, dir_.path() / "Menuvane.adml");
    }
    std::filesystem::path In(const std::string& name) const { return dir_.path() / name; }
    std::string Path(const std::string& name) const { return In(name).string(); }
    // The translations po-compile is given.
    std::vector<std::string> translations = {"de.po"};
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
    // The translation of the entry whose msgctxt line is `context` (and whose msgid is `id`, when
    // given) becomes `text`; gives the line of its msgctxt.
    int Translate(const std::string& name, const std::string& context, const std::string& id, const std::string& text) {
        const int line = EntryLine(name, context, id);
        Change(name, id.empty() ? "msgctxt \"" + context + "\"" : "msgid \"" + id + "\"", "msgstr", "msgstr \"" + text + "\"");
        return line;
    }
    // Adds lines at the end of a copied file; gives the number of the first.
    int Append(const std::string& name, const std::string& lines) {
        const std::string had = testing::ReadWhole(In(name));
        std::ofstream(In(name), std::ios::binary | std::ios::app) << "\n" << lines << "\n";
        return static_cast<int>(std::count(had.begin(), had.end(), '\n')) + 2;
    }
    // de.po as a translation that says what English says: the template's entries with their
    // English as the translation (those whose msgctxt `keep` takes), under de.po's header.
    void SpeakEnglish(const std::function<bool(const std::string&)>& keep = {}) {
        const std::string po = testing::ReadWhole(In("de.po")), pot = testing::ReadWhole(In("menuvane.pot"));
        std::string out = po.substr(0, po.find("\n\n", po.find("msgid \"\"")) + 2);
        std::istringstream blocks(pot.substr(pot.find("\n\n", pot.find("msgid \"\"")) + 2));
        std::string block, line;
        auto flush = [&] {
            if (block.empty()) return;
            const std::size_t context = block.find("msgctxt \"");
            const std::string name = block.substr(context + 9, block.find('"', context + 9) - context - 9);
            if (!keep || keep(name)) {
                const std::size_t id = block.find("msgid "), str = block.find("msgstr \"\"\n");
                out += block.substr(0, str) + "msgstr " + block.substr(id + 6, str - id - 6) + "\n";
            }
            block.clear();
        };
        while (std::getline(blocks, line)) {
            if (line.empty()) flush();
            else block += line + "\n";
        }
        flush();
        std::ofstream(In("de.po"), std::ios::binary | std::ios::trunc) << out;
    }
    // Adds a copy of another of the real translations.
    void AddTranslation(const std::string& name) {
        std::filesystem::copy_file(kPoDir / name, In(name));
        translations.push_back(name);
    }
    // Moves a translation to another name, its header's language following.
    void Rename(const std::string& from, const std::string& to, const std::string& language) {
        std::filesystem::rename(In(from), In(to));
        Change(to, "", "\"Language: ", "\"Language: " + language + "\\n\"");
        std::replace(translations.begin(), translations.end(), from, to);
    }
    testing::CommandResult Run() {
        std::vector<std::string> args = {"--template", Path("menuvane.pot"), "--languages", Path("languages.tsv"),
                                         "--nsis", Path("setup.nsh"), "--adml-template", Path("Menuvane.adml"),
                                         "--adml-dir", Path("PolicyDefinitions")};
        for (const std::string& name : translations) args.push_back(Path(name));
        return RunCommand(kPoCompile, args);
    }
    // The number of the first line of a file that is `text`, or that starts with it.
    int Line(const std::string& name, const std::string& text, bool start = false) const {
        std::istringstream in(testing::ReadWhole(In(name)));
        std::string line;
        for (int number = 1; std::getline(in, line); ++number)
            if (line == text || (start && line.rfind(text, 0) == 0)) return number;
        return 0;
    }
    int PotLine(const std::string& text) const { return Line("menuvane.pot", text); }
    // The line of an entry's msgctxt: the first `msgctxt "context"` (followed by `msgid "id"`).
    int EntryLine(const std::string& name, const std::string& context, const std::string& id = "") const {
        std::istringstream in(testing::ReadWhole(In(name)));
        std::string line, next;
        std::getline(in, line);
        for (int number = 1; std::getline(in, next); ++number, line = next)
            if (line == "msgctxt \"" + context + "\"" && (id.empty() || next == "msgid \"" + id + "\"")) return number;
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
        // What libgettextpo finds, with its words.
        {"an escape gettext does not know",
         [](PoFiles& t) {
             const int line = t.Change("de.po", "", "msgstr \"Klassisch\"", "msgstr \"Klassisch\\q\"");
             return t.Path("de.po") + ":" + std::to_string(line) + ": invalid control sequence";
         }},
        {"bytes that are not UTF-8",
         [](PoFiles& t) {
             const int line = t.Change("de.po", "", "msgstr \"Klassisch\"", "msgstr \"Klassisch\xFF\"");
             return t.Path("de.po") + ":" + std::to_string(line) + ": invalid multibyte sequence";
         }},
        {"a text twice",
         [](PoFiles& t) {
             const int line = t.Append("de.po", "msgctxt \"ribbon\"\nmsgid \"Classic\"\nmsgstr \"Klassik\"") + 1;
             return t.Path("de.po") + ":" + std::to_string(line) + ": duplicate message definition (this is the location of "
                    "the first definition: line " + std::to_string(t.EntryLine("de.po", "ribbon", "Classic")) + ")";
         }},
        {"line breaks that differ from English's",
         [](PoFiles& t) {
             const int line = t.Change("de.po", "", "msgstr \"Klassisch\"", "msgstr \"Klassisch\\n\"");
             return t.Path("de.po") + ":" + std::to_string(line) + ": 'msgid' and 'msgstr' entries do not both end with '\\n'";
         }},
        // What these programs cannot use.
        {"an obsolete entry",
         [](PoFiles& t) {
             const int line = t.Append("de.po", "#~ msgctxt \"ribbon\"\n#~ msgid \"Old\"\n#~ msgstr \"Alt\"");
             return t.Path("de.po") + ":" + std::to_string(line) + ": an obsolete entry (#~): the programs do not read it; remove it";
         }},
        {"plural forms",
         [](PoFiles& t) {
             const int line = t.Append("de.po", "msgid \"one\"\nmsgid_plural \"more\"\nmsgstr[0] \"eins\"\nmsgstr[1] \"mehr\"");
             return t.Path("de.po") + ":" + std::to_string(line) + ": plural forms are not used by these programs";
         }},
        {"a file not in UTF-8",
         [](PoFiles& t) {
             t.Change("de.po", "", "charset=UTF-8", "\"Content-Type: text/plain; charset=ISO-8859-1\\n\"");
             return t.Path("de.po") + ":" + std::to_string(t.Line("de.po", "msgid \"\"")) +
                    ": its header must say \"Content-Type: text/plain; charset=UTF-8\"";
         }},
        {"a header that names another language",
         [](PoFiles& t) {
             t.Change("de.po", "", "\"Language: de", "\"Language: fr\\n\"");
             return t.Path("de.po") + ":" + std::to_string(t.Line("de.po", "msgid \"\"")) +
                    ": its header says Language: \"fr\", its file name says \"de\"";
         }},
        {"a file for a language interface pack",
         [](PoFiles& t) {
             t.Rename("de.po", "ca.po", "ca");
             return t.Path("ca.po") + ":1: \"ca\" is a language interface pack (ca-ES, " + t.Path("languages.tsv") + ":" +
                    std::to_string(t.Line("languages.tsv", "pack  ca-ES ", true)) + "), which reads the texts of \"es\", not a "
                    "file of its own";
         }},
        {"a LANGID in two rows of the languages",
         [](PoFiles& t) {
             const int line = t.Append("languages.tsv", "pack  de-XX  0x07  en");
             return t.Path("languages.tsv") + ":" + std::to_string(line) + ": the primary language 0x07 is also on line " +
                    std::to_string(t.Line("languages.tsv", "language  de ", true));
         }},
        {"a pack based on no language",
         [](PoFiles& t) {
             const int line = t.Append("languages.tsv", "pack  br-FR  0x7E  br");
             return t.Path("languages.tsv") + ":" + std::to_string(line) + ": the pack br-FR reads \"br\", which is no language of this table";
         }},
        // KeyTips, in a translation that says what English says but where changed.
        {"a lowercase KeyTip",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int line = t.Translate("de.po", "keytip.File", "", "f");
             return t.Path("de.po") + ":" + std::to_string(line) + ": KeyTip \"f\" (keytip.File) has the lowercase letter \"f\": "
                                                                   "KeyTips are uppercase (\"F\")";
         }},
        {"a lowercase KeyTip in Cyrillic",
         [](PoFiles& t) {
             t.SpeakEnglish();
             t.Translate("de.po", "ribbon", "Edit", "Правка");
             const int line = t.Translate("de.po", "keytip.Edit", "", "п");
             return t.Path("de.po") + ":" + std::to_string(line) + ": KeyTip \"п\" (keytip.Edit) has the lowercase letter \"п\": "
                                                                   "KeyTips are uppercase (\"П\")";
         }},
        {"a KeyTip of four characters",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int line = t.Translate("de.po", "keytip.File", "", "FILE");
             return t.Path("de.po") + ":" + std::to_string(line) + ": KeyTip \"FILE\" (keytip.File) has 4 characters: a KeyTip has 1 to 3";
         }},
        {"a KeyTip with a letter its title lacks",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int line = t.Translate("de.po", "keytip.Edit", "", "X");
             return t.Path("de.po") + ":" + std::to_string(line) + ": KeyTip \"X\" (keytip.Edit): \"X\" is no letter of its title \"Edit\" (line " +
                    std::to_string(t.EntryLine("de.po", "ribbon", "Edit")) + ")";
         }},
        {"a Thai KeyTip with a letter its title lacks",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int title = t.Translate("de.po", "ribbon", "Edit", "แก้ไข");
             const int line = t.Translate("de.po", "keytip.Edit", "", "ฟ");
             return t.Path("de.po") + ":" + std::to_string(line) + ": KeyTip \"ฟ\" (keytip.Edit): \"ฟ\" is no letter of its title \"แก้ไข\" (line " +
                    std::to_string(title) + ")";
         }},
        {"two menus of the menu bar with one KeyTip",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int edit = t.Translate("de.po", "keytip.Edit", "", "I");
             return t.Path("de.po") + ":" + std::to_string(t.EntryLine("de.po", "keytip.Insert")) +
                    ": KeyTip \"I\" (keytip.Insert) is also the KeyTip of keytip.Edit (line " + std::to_string(edit) + ")";
         }},
        {"a menu with the KeyTip of All, its sibling",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int line = t.Translate("de.po", "keytip.Format", "", "A");
             return t.Path("de.po") + ":" + std::to_string(line) + ": KeyTip \"A\" (keytip.Format) is also the KeyTip of keytip.All (line " +
                    std::to_string(t.EntryLine("de.po", "keytip.All")) + ")";
         }},
        {"a submenu's KeyTip the start of another's",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int line = t.Translate("de.po", "keytip.File > Collect data", "", "LE");
             return t.Path("de.po") + ":" + std::to_string(t.EntryLine("de.po", "keytip.File > SharePoint Lists")) +
                    ": KeyTip \"L\" (keytip.File > SharePoint Lists) and \"LE\" (keytip.File > Collect data, line " + std::to_string(line) +
                    "): one is the start of the other in the same menu";
         }},
        {"the Classic tab's KeyTip starting as one of Access's tabs'",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int line = t.Translate("de.po", "keytip.Classic", "", "CL");
             return t.Path("de.po") + ":" + std::to_string(line) + ": the Classic tab's KeyTip \"CL\" clashes with \"C\", a KeyTip of "
                    "Access's own tabs (access-tab-keytips, line " + std::to_string(t.EntryLine("de.po", "access-tab-keytips")) + ")";
         }},
        {"a KeyTip in a language that leaves them to Office",
         [](PoFiles& t) {
             t.SpeakEnglish([](const std::string& context) {
                 return (context.rfind("keytip.", 0) != 0 && context != "access-tab-keytips") || context == "keytip.Classic";
             });
             t.Rename("de.po", "ko.po", "ko");
             return t.Path("ko.po") + ":" + std::to_string(t.EntryLine("ko.po", "keytip.Classic")) +
                    ": \"L\" (keytip.Classic): ko leaves KeyTips to Office, so its file has none";
         }},
        // Access keys of Menuvane's captions.
        {"a caption without access key",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int line = t.Translate("de.po", "options", "Ca&ncel", "Cancel");
             return t.Path("de.po") + ":" + std::to_string(line) + ": \"Ca&ncel\" (options): \"Cancel\" has 0 access keys (\"&\"); a caption "
                                                                   "has exactly one (\"&&\" is an ampersand)";
         }},
        {"a caption with two access keys",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int line = t.Translate("de.po", "options", "Ca&ncel", "&Can&cel");
             return t.Path("de.po") + ":" + std::to_string(line) + ": \"Ca&ncel\" (options): \"&Can&cel\" has 2 access keys (\"&\"); a caption "
                                                                   "has exactly one (\"&&\" is an ampersand)";
         }},
        {"an access key twice in the window, ignoring case",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int line = t.Translate("de.po", "options", "Ca&ncel", "C&Ancel");
             return t.Path("de.po") + ":" + std::to_string(line) + ": \"Ca&ncel\" (options): its access key \"A\" is also that of \"Show &all "
                    "items in main menu\" (line " + std::to_string(t.EntryLine("de.po", "options", "Show &all items in main menu")) +
                    "); each is unique in the window";
         }},
        {"an access key before no letter",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int line = t.Translate("de.po", "options", "Ca&ncel", "Cancel &");
             return t.Path("de.po") + ":" + std::to_string(line) + ": \"Ca&ncel\" (options): in \"Cancel &\" the \"&\" stands before no letter or digit";
         }},
        {"an access key where English has none",
         [](PoFiles& t) {
             t.SpeakEnglish();
             const int line = t.Translate("de.po", "options", "Access Options", "Access-&Optionen");
             return t.Path("de.po") + ":" + std::to_string(line) + ": \"Access Options\" (options): English has no access key, so its text "
                                                                   "has no \"&\"";
         }},
        // English is held to the same rules.
        {"a lowercase KeyTip in the template",
         [](PoFiles& t) {
             t.translations.clear();
             t.Change("menuvane.pot", "msgctxt \"keytip.Edit\"", "msgid", "msgid \"e\"");
             return t.Path("menuvane.pot") + ":" + std::to_string(t.PotLine("msgctxt \"keytip.Edit\"")) +
                    ": KeyTip \"e\" (keytip.Edit) has the lowercase letter \"e\": KeyTips are uppercase (\"E\")";
         }},
        {"a KeyTip of the template without its title",
         [](PoFiles& t) {
             t.translations.clear();
             const int line = t.Change("menuvane.pot", "", "msgctxt \"keytip.Tools > Macro\"", "msgctxt \"keytip.Tools > Macros\"");
             return t.Path("menuvane.pot") + ":" + std::to_string(line) +
                    ": keytip.Tools > Macros: there is no \"ribbon\" text \"Macros\" to be its title";
         }},
        {"an English access key twice",
         [](PoFiles& t) {
             t.translations.clear();
             t.Change("menuvane.pot", "", "msgid \"Ca&ncel\"", "msgid \"&Cancel\"");
             return t.Path("menuvane.pot") + ":" + std::to_string(t.EntryLine("menuvane.pot", "options", "&Cancel")) +
                    ": \"&Cancel\" (options): its access key \"C\" is also that of \"&Create\" (line " +
                    std::to_string(t.EntryLine("menuvane.pot", "options", "&Create")) + "); each is unique in the window";
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PoFiles files;
        const std::string expected = c.change(files);
        const auto r = files.Run();
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(r.err.find(expected + "\n"), std::string::npos) << r.err << "\nexpected: " << expected;
        EXPECT_NE(r.err.find("po-compile: 1 fault in the translations; nothing written"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(files.In("setup.nsh")));
        EXPECT_FALSE(std::filesystem::exists(files.In("PolicyDefinitions")));
    }
}

// What the rules allow: KeyTips in scripts with and without case, a title without letters,
// ampersands and access keys as Windows writes them in every language.
TEST(PoCompile, AcceptsTheKeysOfEveryScript) {
    // Each case: de.po as it is, or (with changes) saying what English says but where changed:
    // msgctxt, msgid ("" for a KeyTip), translation.
    struct Change {
        const char *context, *id, *text;
    };
    const struct {
        const char* what;
        bool english;
        std::vector<Change> changes;
    } cases[] = {
        {"the translation as it is", false, {}},
        {"English's texts", true, {}},
        {"Cyrillic", true, {{"ribbon", "Edit", "Правка"}, {"keytip.Edit", "", "П"}}},
        {"Thai, without case", true, {{"ribbon", "File", "แฟ้ม"}, {"keytip.File", "", "ฟ"}}},
        {"Hebrew, without case", true, {{"ribbon", "Edit", "עריכה"}, {"keytip.Edit", "", "ע"}}},
        {"Turkish dotted and dotless i", true,
         {{"ribbon", "Import", "İçeri Al"}, {"keytip.File > Import", "", "Ç"}, {"ribbon", "Export", "Dışarı Ver"},
          {"keytip.File > Export", "", "ŞI"}}},
        {"a title without letters", true, {{"ribbon", "Help", "?"}}},
        {"KeyTips of several letters, none the start of another", true,
         {{"keytip.File > Import", "", "IM"}, {"keytip.File > Export", "", "EX"}, {"keytip.File > Page Layout", "", "PL"}}},
        {"an ampersand beside the access key, a digit for one, and Windows' \"(&X)\"", true,
         {{"options", "Ca&ncel", "Ca&ncel && Co"}, {"options", "&OK", "&1 OK"}, {"options", "&Help", "ヘルプ(&H)"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PoFiles files;
        if (c.english) files.SpeakEnglish();
        for (const Change& change : c.changes) files.Translate("de.po", change.context, change.id, change.text);
        const auto r = files.Run();
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_TRUE(std::filesystem::exists(files.In("setup.nsh")));
    }
}

// The setup picks the language of Windows' display language; a language interface pack reads
// its base language, when that is given.
TEST(PoCompile, TheSetupReadsAPacksBaseLanguage) {
    PoFiles files;
    files.AddTranslation("es.po");
    const auto r = files.Run();
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string nsh = testing::ReadWhole(files.In("setup.nsh"));
    const struct {
        const char* lines;
        bool there;
    } cases[] = {
        {"  ${If} $1 = 0x07\n    StrCpy $LANGUAGE ${LANG_GERMAN}\n", true},
        {"  ${ElseIf} $1 = 0x0A\n    StrCpy $LANGUAGE ${LANG_SPANISH}\n", true},
        {"  ${ElseIf} $1 = 0x03\n    StrCpy $LANGUAGE ${LANG_SPANISH}\n", true},  // Catalan, Valencian
        {"  ${ElseIf} $1 = 0x2D\n    StrCpy $LANGUAGE ${LANG_SPANISH}\n", true},  // Basque
        {"  ${ElseIf} $1 = 0x56\n    StrCpy $LANGUAGE ${LANG_SPANISH}\n", true},  // Galician
        {"$1 = 0x6E", false},                                                     // Luxembourgish: no French
        {"$1 = 0x52", false},                                                     // Welsh: English
        {"$1 = 0x0C", false},                                                     // French: not given
    };
    for (const auto& c : cases) EXPECT_EQ(nsh.find(c.lines) != std::string::npos, c.there) << c.lines;
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
