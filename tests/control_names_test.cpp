// What each Access gets: the document and every menu in every context by the names that
// Access knows, against Microsoft's published lists; tidy menus where controls were left out;
// one question per name per connection.
#include "control_list.h"
#include "control_names.h"
#include "dynamic_menus.h"
#include "fakes.h"
#include "ribbon.h"
#include "xml_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
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

}  // namespace
}  // namespace pellwyn
