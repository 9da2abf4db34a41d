// What each Access gets: the document and every menu in every context by the names that
// Access knows, against Microsoft's published lists; tidy menus where controls were left out;
// one question per name per connection.
#include "control_list.h"
#include "control_names.h"
#include "dynamic_menus.h"
#include "fakes.h"
#include "language.h"
#include "ribbon.h"
#include "xml_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace pellwyn {
namespace {

using testing::FakeHost;
using testing::ScanTags;
using testing::Tag;

FakeHost HostOf(const ControlList& list) {
    FakeHost host;
    host.knows = [list](std::string_view name) -> std::optional<bool> { return list.Knows(name); };
    return host;
}

// Every document of the settings variants that change what the tab holds, each followed by
// every dynamic menu in every context, on one connection per document.
std::vector<std::string> Everything(FakeHost& host) {
    const std::vector<std::vector<std::pair<const char*, const char*>>> variants = {
        {}, {{"All", "0"}}, {{"Left", "0"}, {"All", "0"}},
        {{"Hide built-in Tabs", "1"}, {"Home", "1"}, {"Create", "1"}, {"External Data", "1"}, {"Database Tools", "1"}},
    };
    std::vector<std::string> out;
    for (const auto& variant : variants) {
        testing::RecordingSettings settings;
        for (const auto& [name, value] : variant) settings.Put(name, value);
        Markup markup;
        out.emplace_back(GetRibbonXml(markup, host, settings));
        for (DynamicMenu menu : kDynamicMenus)
            for (std::int32_t type = -1; type <= 7; ++type) {
                host.objectType = type;
                out.emplace_back(GetContent(markup, host, menu));
            }
    }
    return out;
}

const DoubtfulName* DoubtfulOf(const std::string& name) {
    const std::uint8_t i = DoubtfulIndex(name);
    return i == kNotDoubtful ? nullptr : &kDoubtfulNames[i];
}

// Separators first or last in their menu or next to another, and menus with nothing in them,
// by id.
std::set<std::string> Untidy(const std::vector<Tag>& tags) {
    std::set<std::string> ids;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const Tag& t = tags[i];
        if (t.name == "menuSeparator" &&
            (tags[i - 1].kind == Tag::Open || tags[i + 1].kind == Tag::Close || tags[i - 1].name == "menuSeparator"))
            ids.insert(t.Attr("id"));
        if (t.name == "menu" && t.kind == Tag::Open && tags[i + 1].kind == Tag::Close) ids.insert(t.Attr("id"));
    }
    return ids;
}

// Compares what a host with that list gets (got) with what Access 2007 gets (full).
void ExpectOnlyKnownNamesAndNoneLost(const ControlList& list, const std::string& full, const std::string& got) {
    const std::vector<Tag> fullTags = ScanTags(full), gotTags = ScanTags(got);
    std::multiset<std::string> written, expected;
    std::vector<const Tag*> fullControls;
    for (const Tag& t : fullTags)
        if (t.Has("idMso") && t.name != "tab") {
            fullControls.push_back(&t);
            const std::string name = t.Attr("idMso");
            const DoubtfulName* d = DoubtfulOf(name);
            if (list.Knows(name)) expected.insert(name);
            else if (d && list.Knows(d->successor)) expected.insert(std::string(d->successor));
        }
    // Each control written is the next one of the full text that it stands for, by its own
    // name or its successor's, with every other attribute unchanged.
    auto next = fullControls.begin();
    for (const Tag& t : gotTags) {
        if (!t.Has("idMso") || t.name == "tab") continue;
        const std::string name = t.Attr("idMso");
        EXPECT_TRUE(list.Knows(name)) << name << " is unknown to this Access";
        written.insert(name);
        for (; next != fullControls.end(); ++next) {
            const DoubtfulName* d = DoubtfulOf((*next)->Attr("idMso"));
            if ((*next)->Attr("idMso") == name || (d && d->successor == name)) break;
        }
        if (next == fullControls.end()) {
            ADD_FAILURE() << name << " stands for no control of the full text";
            return;
        }
        std::map<std::string, std::string> rest = t.attributes, fullRest = (*next)->attributes;
        rest.erase("idMso");
        fullRest.erase("idMso");
        EXPECT_EQ(rest, fullRest) << name;
        ++next;
    }
    EXPECT_EQ(written, expected) << "commands lost or added";

    // Ids: those of the full text, each once. Tidy: nothing untidy that the full text has not.
    std::set<std::string> fullIds, ids;
    for (const std::string& id : testing::Ids(fullTags)) fullIds.insert(id);
    for (const std::string& id : testing::Ids(gotTags)) {
        EXPECT_TRUE(ids.insert(id).second) << id << " twice";
        EXPECT_TRUE(fullIds.count(id)) << id;
    }
    const std::set<std::string> untidy = Untidy(gotTags), fullUntidy = Untidy(fullTags);
    EXPECT_TRUE(std::includes(fullUntidy.begin(), fullUntidy.end(), untidy.begin(), untidy.end()))
        << "stray separators or empty menus in\n" << got;
}

TEST(ControlNames, EachAccessGetsOnlyNamesItKnowsAndLosesNoCommandItHas) {
    FakeHost all = HostOf(ControlList());
    const std::vector<std::string> full = Everything(all);
    FakeHost cannotTell;
    EXPECT_EQ(Everything(cannotTell), full);  // both as the tables have it

    for (std::string_view version : ControlList::PublishedVersions()) {
        SCOPED_TRACE(std::string(version));
        const ControlList list = *ControlList::Published(version);
        FakeHost host = HostOf(list);
        const std::vector<std::string> got = Everything(host);
        ASSERT_EQ(got.size(), full.size());
        for (std::size_t i = 0; i < got.size(); ++i) ExpectOnlyKnownNamesAndNoneLost(list, full[i], got[i]);
    }
}

TEST(ControlNames, SuccessorsAreInEveryListAndNoneIsDoubtfulItself) {
    std::set<std::string_view> successors;
    for (const DoubtfulName& d : kDoubtfulNames) {
        if (d.successor.empty()) continue;
        EXPECT_TRUE(successors.insert(d.successor).second) << d.successor;
        EXPECT_EQ(DoubtfulIndex(d.successor), kNotDoubtful) << d.successor;
        for (std::string_view version : ControlList::PublishedVersions())
            EXPECT_TRUE(ControlList::Published(version)->Knows(d.successor)) << d.successor << " " << version;
    }
}

// The concrete cases: Source Control empties, Macro and Records lose a separator.
TEST(ControlNames, MenusStayTidyOnAccess365) {
    FakeHost host = HostOf(*ControlList::Published("365"));
    testing::RecordingSettings settings;
    settings.Put("All", "0");
    Markup markup;
    const std::string document(GetRibbonXml(markup, host, settings));
    EXPECT_EQ(document.find("Source Control"), std::string::npos);
    const std::size_t macro = document.find("label=\"Macro\"");
    ASSERT_NE(macro, std::string::npos);
    const std::size_t end = document.find("</menu>", macro);
    std::string items;
    for (const Tag& t : ScanTags(document.substr(document.rfind('<', macro), end + 7 - document.rfind('<', macro))))
        if (t.kind != Tag::Close) items += (t.name == "menuSeparator" ? std::string("-") : t.Attr("idMso")) + " ";
    EXPECT_EQ(items, " VisualBasic - MacroRun CreateShortcutMenuFromMacro MacroConvertMacrosToVisualBasic ");

    host.objectType = kAcTable;
    const std::string records(GetContent(markup, host, DynamicMenu::Records));
    EXPECT_TRUE(std::regex_search(records, std::regex(R"(<control idMso="FilterAdvancedMenu" label="Advanced"/>)"
                                                      R"(<menuSeparator id="msep00\d+d"/>)"
                                                      R"(<control idMso="RecordsSaveRecord" label="Save"/>)")))
        << records;
    EXPECT_EQ(records.find("PivotChart"), std::string::npos);
}

TEST(ControlNames, OneQuestionPerNamePerConnection) {
    const ControlList list = *ControlList::Published("2013");
    FakeHost host = HostOf(list);
    Markup markup;
    testing::RecordingSettings settings;
    for (int round = 0; round < 2; ++round) {
        GetRibbonXml(markup, host, settings);
        for (DynamicMenu menu : kDynamicMenus) GetContent(markup, host, menu);
    }
    std::vector<std::string> expected;
    for (const DoubtfulName& d : kDoubtfulNames) {
        expected.emplace_back(d.name);
        if (!list.Knows(d.name) && !d.successor.empty()) expected.emplace_back(d.successor);
    }
    EXPECT_EQ(host.controlQuestions, expected);

    markup.names.Forget();  // a new connection asks again
    GetContent(markup, host, DynamicMenu::Edit);
    EXPECT_EQ(host.controlQuestions.size(), 2 * expected.size());
}

// A successor this Access does not know either, a host that cannot tell or refuses: the
// control goes, or is written as the tables have it; no callback fails.
TEST(ControlNames, UnansweredQuestionsWriteTheTablesNames) {
    FakeHost host;
    host.knows = [](std::string_view name) -> std::optional<bool> {
        if (name == "WindowCascade" || name == "WindowMoveSplit" || name == "WindowSplit") return false;
        if (name == "WindowsCascade") return std::nullopt;
        if (name == "WindowsArrangeAll") throw kestrel::Error(testing::kHostRefused, "refused");
        return true;
    };
    testing::RecordingSettings settings;
    Markup markup;
    const std::string document(GetRibbonXml(markup, host, settings));
    EXPECT_EQ(document.find("\"WindowCascade\""), std::string::npos);   // its successor cannot tell: left out
    EXPECT_EQ(document.find("\"WindowsCascade\""), std::string::npos);
    EXPECT_EQ(document.find("\"WindowMoveSplit\""), std::string::npos);  // its successor unknown: left out
    EXPECT_EQ(document.find("\"WindowSplit\""), std::string::npos);
    EXPECT_NE(document.find("\"WindowsArrangeAll\""), std::string::npos);  // a refusal: as written
}

// A host that builds the document and a menu while it answers: the outer build still comes
// out whole, and no name is asked twice.
TEST(ControlNames, AHostThatCallsBackWhileAnsweringGetsWholeMarkup) {
    const ControlList list = *ControlList::Published("365");
    FakeHost plain = HostOf(list);
    testing::RecordingSettings settings;
    Markup reference;
    const std::string expected(GetRibbonXml(reference, plain, settings));

    FakeHost host;
    Markup markup;
    int depth = 0;
    host.knows = [&](std::string_view name) -> std::optional<bool> {
        if (depth++ == 0) {
            GetRibbonXml(markup, host, settings);
            GetContent(markup, host, DynamicMenu::Records);
        }
        --depth;
        return list.Knows(name);
    };
    EXPECT_EQ(GetRibbonXml(markup, host, settings), expected);
    std::set<std::string> asked(host.controlQuestions.begin(), host.controlQuestions.end());
    EXPECT_EQ(asked.size(), host.controlQuestions.size());
}


// Every Access in every language: the English skeleton, Access's own words on its controls,
// ours on our menus.
namespace languages {

FakeHost Speaking(std::optional<std::int32_t> lcid) {
    FakeHost host;
    host.language = lcid;
    return host;
}

// The dynamic menu whose fragment the n-th text of Everything is, or "" for a document.
std::string RootOf(std::size_t n) {
    const std::size_t inVariant = n % (1 + std::size(kDynamicMenus) * 9);
    return inVariant == 0 ? "" : std::string(Label(kDynamicMenus[(inVariant - 1) / 9]));
}

// got has english's elements in english's order with the same attributes, but: no label or
// screentip on a control placed by idMso, each of our own texts in `language`, and each of our
// KeyTips (none where Office gives them all) in it too. root: see RootOf.
void ExpectSameSkeletonInLanguage(const kestrel::Language& language, const std::string& english, const std::string& got,
                                  const std::string& root) {
    const std::vector<Tag> full = ScanTags(english), tags = ScanTags(got);
    const std::vector<std::string> paths = testing::KeyTipPaths(full, root);
    ASSERT_EQ(tags.size(), full.size());
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const Tag &t = tags[i], &e = full[i];
        ASSERT_EQ(std::tie(t.name, t.kind, t.depth), std::tie(e.name, e.kind, e.depth)) << i;
        std::map<std::string, std::string> expected = e.attributes;
        const bool accessOwn = e.Has("idMso") && e.name != "tab";
        for (const char* text : {"label", "screentip"}) {
            if (!e.Has(text)) continue;
            const kestrel::TextId id = kestrel::FindText("ribbon", e.Attr(text));
            if (accessOwn)
                expected.erase(text);
            else if (id != kestrel::kNoText)
                expected[text] = kestrel::XmlEscaped(language(id));
            else
                EXPECT_TRUE(e.Attr(text).find_first_not_of(' ') == std::string::npos) << e.Attr(text) << ": not ours";
        }
        if (e.Has("keytip")) {
            const kestrel::TextId id = kestrel::FindText("keytip." + paths[i], e.Attr("keytip"));
            ASSERT_NE(id, kestrel::kNoText) << paths[i] << " has no KeyTip " << e.Attr("keytip");
            if (language(id).empty())
                expected.erase("keytip");
            else
                expected["keytip"] = kestrel::XmlEscaped(language(id));
        }
        EXPECT_EQ(t.attributes, expected) << e.name << " " << e.Attr("id") << e.Attr("idMso");
    }
}

TEST(Languages, EnglishAndAnAccessThatCannotTellGetTodaysTab) {
    FakeHost silent;
    const std::vector<std::string> english = Everything(silent);
    EXPECT_EQ(silent.languageQuestions, 4);  // once per connection
    // Any English, and anything that names no language.
    for (std::optional<std::int32_t> lcid : {std::optional<std::int32_t>(0x0409), {0x0809}, {0x0C09}, {0x1009},
                                             {0x00010409}, {0}, {0x007F}, {-1}, {0x00100407}, {}}) {
        FakeHost host = Speaking(lcid);
        EXPECT_EQ(Everything(host), english) << (lcid ? *lcid : -2);
    }
    FakeHost refusing;
    refusing.languageRefused = true;
    EXPECT_EQ(Everything(refusing), english);
}

TEST(Languages, EachLanguageGetsTheEnglishSkeletonWithAccessWordsAndOurs) {
    ASSERT_EQ(std::size(testing::kShippedLanguages), kestrel::kTranslationCount);
    FakeHost silent;
    const std::vector<std::string> english = Everything(silent);
    for (const auto& [code, lcid] : testing::kShippedLanguages) {
        SCOPED_TRACE(std::string(code));
        const kestrel::Language language = kestrel::Language::FromLangId(static_cast<std::uint16_t>(lcid));
        ASSERT_TRUE(language.translated());
        ASSERT_EQ(language.code(), code);
        FakeHost host = Speaking(lcid);
        const std::vector<std::string> got = Everything(host);
        ASSERT_EQ(got.size(), english.size());
        for (std::size_t i = 0; i < got.size(); ++i)
            ExpectSameSkeletonInLanguage(language, english[i], got[i], RootOf(i));
        EXPECT_NE(got[0].find("label=\"" + kestrel::XmlEscaped(language(kestrel::Text("ribbon", "Tools panel")))),
                  std::string::npos);
    }
}

// Sublanguages follow their language; Portuguese and Chinese have two each. A language we do
// not ship keeps our English texts, but Access's own words on its controls.
TEST(Languages, SublanguagesAndLanguagesWeDoNotShip) {
    auto document = [](std::int32_t lcid) {
        FakeHost host = Speaking(lcid);
        testing::RecordingSettings settings;
        Markup markup;
        return std::string(GetRibbonXml(markup, host, settings));
    };
    for (const auto& [sub, main] : {std::pair{0x0C07, 0x0407}, {0x0807, 0x0407}, {0x00010407, 0x0407},
                                    {0x0C04, 0x0404}, {0x1404, 0x0404}, {0x7C04, 0x0404}, {0x1004, 0x0804},
                                    {0x0004, 0x0804}, {0x080C, 0x040C}, {0x0814, 0x0414}})
        EXPECT_EQ(document(sub), document(main)) << std::hex << sub;
    EXPECT_NE(document(0x0416), document(0x0816));
    EXPECT_NE(document(0x0404), document(0x0804));

    FakeHost english;
    const std::vector<std::string> full = Everything(english);
    FakeHost afrikaans = Speaking(0x0436);  // a language interface pack on English: our texts stay English
    const std::vector<std::string> got = Everything(afrikaans);
    for (std::size_t i = 0; i < got.size(); ++i)
        ExpectSameSkeletonInLanguage(kestrel::Language(), full[i], got[i], RootOf(i));
    EXPECT_NE(got[0], full[0]);
}

TEST(Languages, OneQuestionPerConnectionAndAHostThatCallsBackMeanwhile) {
    FakeHost host = Speaking(0x0407);
    Markup markup;
    testing::RecordingSettings settings;
    GetRibbonXml(markup, host, settings);
    for (DynamicMenu menu : kDynamicMenus) GetContent(markup, host, menu);
    EXPECT_EQ(host.languageQuestions, 1);
    markup.language.Forget();
    GetContent(markup, host, DynamicMenu::Edit);
    EXPECT_EQ(host.languageQuestions, 2);

    // Building the document while it answers: the inner build is English, the outer German.
    class Reentrant final : public Host {
    public:
        Markup* markup = nullptr;
        testing::RecordingSettings settings;
        std::string inner;
        std::string Name() override { return "Microsoft Access"; }
        std::int32_t CurrentObjectType() override { return kAcForm; }
        bool IsPressed(std::string_view) override { return false; }
        std::optional<std::int32_t> LanguageId() override {
            inner = GetRibbonXml(*markup, *this, settings);
            return 0x0407;
        }
    } reentrant;
    Markup m;
    reentrant.markup = &m;
    const std::string outer(GetRibbonXml(m, reentrant, reentrant.settings));
    EXPECT_NE(reentrant.inner.find("label=\"Tools panel\""), std::string::npos);
    EXPECT_NE(outer.find("label=\"Werkzeugbereich\""), std::string::npos) << outer.substr(0, 400);
}

}  // namespace languages

}  // namespace
}  // namespace pellwyn
