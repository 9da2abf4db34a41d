// The customUI document: its frame and settings variants, its ids with and without the "All"
// copy of the menu bar, its shape, and how it reads the settings and the host.
#include "dynamic_menus.h"
#include "error.h"
#include "fakes.h"
#include "ribbon.h"
#include "visibility.h"
#include "xml_scan.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace pellwyn {
namespace {

using testing::FakeHost;
using testing::RecordingSettings;
using testing::ScanTags;
using testing::Tag;
using Settings = std::vector<std::pair<std::string, std::string>>;

std::string Build(const Settings& values, RecordingSettings* record = nullptr) {
    RecordingSettings local;
    RecordingSettings& store = record ? *record : local;
    for (const auto& [name, text] : values) store.Put(name, text);
    FakeHost host;
    Markup markup;
    return std::string(GetRibbonXml(markup, host, store));
}

// The tags inside the element with that id (not including it).
std::vector<Tag> Inside(const std::vector<Tag>& tags, const std::string& id) {
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (tags[i].kind != Tag::Open || tags[i].Attr("id") != id) continue;
        std::vector<Tag> inner;
        for (std::size_t j = i + 1; j < tags.size() && tags[j].depth > tags[i].depth; ++j) inner.push_back(tags[j]);
        return inner;
    }
    ADD_FAILURE() << "no element " << id;
    return {};
}

std::vector<std::string> IdsOf(const std::vector<Tag>& tags, const std::string& name, bool spacersOnly = false) {
    std::vector<std::string> ids;
    for (const Tag& t : tags)
        if (t.kind != Tag::Close && t.name == name && (!spacersOnly || t.Attr("enabled") == "false"))
            ids.push_back(t.Attr("id"));
    return ids;
}

std::string IdOfLabel(const std::vector<Tag>& tags, const std::string& label) {
    for (const Tag& t : tags)
        if (t.kind != Tag::Close && t.Attr("label") == label) return t.Attr("id");
    return {};
}

std::vector<std::string> Numbered(const std::string& prefix, int first, int last, const std::string& suffix = "") {
    std::vector<std::string> ids;
    for (int i = first; i <= last; ++i) ids.push_back(prefix + std::to_string(i) + suffix);
    return ids;
}

// The top level of the bar on the tab: what follows the "All" menu and its gap, if any.
std::vector<Tag> BarOnTab(const std::vector<Tag>& box, bool all) {
    if (!all) return box;
    std::size_t i = 0;
    while (!(box[i].kind == Tag::Close && box[i].depth == box.front().depth)) ++i;  // end of "All"
    return {box.begin() + static_cast<std::ptrdiff_t>(i) + 2, box.end()};           // skip the gap
}

TEST(Document, FirstRunGivesTheClassicTabFirstWithTheAllMenu) {
    const std::string xml = Build({});
    const std::string head =
        R"(<customUI xmlns="http://schemas.microsoft.com/office/2006/01/customui" onLoad="ribbonLoaded">)"
        R"(<ribbon><tabs><tab id="Menus" label="Classic" keytip="L" insertBeforeMso="TabHomeAccess">)"
        R"(<group id="ToolsPanel" label="Tools panel"><box id="boxNew1" boxStyle="horizontal">)"
        R"(<menu id="BR32341" label="All" keytip="A" tag = "BR32341">)"
        R"(<menu id="BR32342" label="File" keytip="F" tag = "BR32342">)";
    EXPECT_EQ(xml.substr(0, head.size()), head);
    EXPECT_NE(xml.find(R"(</box></group ><group id="Controls0" label="Controls" getVisible="OnGetVisibleFormOrReport">)"
                       R"(<box id="boxNew01" boxStyle="horizontal"><buttonGroup id="btnGr0024">)"),
              std::string::npos);
    const std::string tail = R"(</buttonGroup></box></group ></tab></tabs></ribbon></customUI>)";
    EXPECT_EQ(xml.substr(xml.size() - tail.size()), tail);
    EXPECT_EQ(xml.find("<tab idMso"), std::string::npos);
    EXPECT_EQ(xml.find('\n'), std::string::npos);
}

TEST(Document, IdsWithoutTheAllMenu) {
    const std::vector<Tag> tags = ScanTags(Build({{"All", "0"}}));
    const std::vector<Tag> bar = Inside(tags, "boxNew1");
    EXPECT_EQ(IdOfLabel(bar, "File"), "BR32341");
    EXPECT_EQ(IdOfLabel(bar, "Import"), "BR32342");
    EXPECT_EQ(IdOfLabel(bar, "Export"), "BR32343");
    EXPECT_EQ(IdsOf(bar, "dynamicMenu"), (std::vector<std::string>{"DynaEdit7", "DynaView8", "DynaInsert9",
                                                                     "DynaFormat10", "DynaQuery11", "DynaRecords12"}));
    EXPECT_EQ(IdOfLabel(bar, "Tools"), "BR323413");
    EXPECT_EQ(IdOfLabel(bar, "Windows"), "BR323422");
    EXPECT_EQ(IdOfLabel(bar, "Help"), "BR323423");
    EXPECT_EQ(IdsOf(bar, "menuSeparator"), Numbered("msep00", 1, 23, "d"));
    EXPECT_EQ(IdsOf(bar, "button", true), Numbered("sep00", 1, 9));
    std::vector<std::string> gaps;
    for (const Tag& t : bar)
        if (t.Attr("enabled") == "false") gaps.push_back(t.Attr("getVisible"));
    EXPECT_EQ(gaps, (std::vector<std::string>{"", "OnGetVisibleEdit", "OnGetVisibleView", "OnGetVisibleInsert",
                                              "OnGetVisibleFormat", "OnGetVisibleQuery", "OnGetVisibleRecords", "",
                                              ""}));
    EXPECT_EQ(IdOfLabel(bar, "Uninstall Lorvenne"), "d24224025");
    EXPECT_EQ(IdOfLabel(bar, "About Lorvenne"), "d242242");

    const std::vector<Tag> standard = Inside(tags, "boxNew2");
    EXPECT_EQ(IdsOf(standard, "buttonGroup"), Numbered("btnGr00", 1, 11));
    EXPECT_EQ(IdsOf(standard, "button", true), Numbered("sep00", 10, 15));
    EXPECT_EQ(IdsOf(standard, "menu"), Numbered("BR3234", 24, 31));
    EXPECT_EQ(IdsOf(standard, "menuSeparator"), Numbered("msep00", 24, 28, "d"));
    const std::vector<Tag> formatting = Inside(tags, "boxNew3");
    EXPECT_EQ(IdsOf(formatting, "buttonGroup"), Numbered("btnGr00", 12, 23));
    EXPECT_EQ(IdsOf(formatting, "button", true), Numbered("sep00", 16, 26));
    EXPECT_EQ(IdsOf(formatting, "menu"), std::vector<std::string>{"BR323432"});
    EXPECT_EQ(IdsOf(formatting, "menuSeparator"), std::vector<std::string>{"msep0029d"});
    EXPECT_EQ(IdsOf(Inside(tags, "Controls0"), "buttonGroup"), Numbered("btnGr00", 24, 26));
}

TEST(Document, IdsWithTheAllMenu) {
    const std::vector<Tag> tags = ScanTags(Build({}));
    const std::vector<Tag> box = Inside(tags, "boxNew1");
    const std::vector<Tag> copy = Inside(tags, "BR32341");
    EXPECT_EQ(IdOfLabel(copy, "File"), "BR32342");
    EXPECT_TRUE(IdsOf(copy, "button", true).empty()) << "no gaps inside the All menu";
    EXPECT_EQ(IdOfLabel(copy, "Uninstall Lorvenne"), "Alld24224025");
    EXPECT_EQ(IdOfLabel(copy, "About Lorvenne"), "Alld242242");

    const std::vector<Tag> bar = BarOnTab(box, true);
    const Tag& gap = box[copy.size() + 2];  // after the All menu's start, content and end
    EXPECT_EQ(gap.Attr("id"), "sep001");
    EXPECT_EQ(gap.Attr("label"), "  ");
    EXPECT_FALSE(gap.Has("getVisible"));
    EXPECT_EQ(IdOfLabel(bar, "File"), "BR323425");
    EXPECT_EQ(IdsOf(bar, "dynamicMenu"), (std::vector<std::string>{"DynaEdit31", "DynaView32", "DynaInsert33",
                                                                     "DynaFormat34", "DynaQuery35", "DynaRecords36"}));
    EXPECT_EQ(IdsOf(bar, "button", true), Numbered("sep00", 2, 10));
    EXPECT_EQ(IdOfLabel(bar, "Uninstall Lorvenne"), "d24224025");
    EXPECT_EQ(IdOfLabel(bar, "About Lorvenne"), "d242242");

    const std::vector<Tag> standard = Inside(tags, "boxNew2");
    EXPECT_EQ(IdsOf(standard, "buttonGroup"), Numbered("btnGr00", 1, 11));
    EXPECT_EQ(IdsOf(standard, "button", true), Numbered("sep00", 11, 16));
    EXPECT_EQ(IdsOf(standard, "menu"), Numbered("BR3234", 48, 55));
    EXPECT_EQ(IdsOf(standard, "menuSeparator"), Numbered("msep00", 47, 51, "d"));
    const std::vector<Tag> formatting = Inside(tags, "boxNew3");
    EXPECT_EQ(IdsOf(formatting, "button", true), Numbered("sep00", 17, 27));
    EXPECT_EQ(IdsOf(formatting, "menu"), std::vector<std::string>{"BR323456"});
    EXPECT_EQ(IdsOf(formatting, "menuSeparator"), std::vector<std::string>{"msep0052d"});
    EXPECT_EQ(IdsOf(Inside(tags, "Controls0"), "buttonGroup"), Numbered("btnGr00", 24, 26));
}

TEST(Document, BothCopiesOfTheBarAreTheSameMenus) {
    const std::vector<Tag> tags = ScanTags(Build({}));
    const std::vector<Tag> copy = Inside(tags, "BR32341");
    const std::vector<Tag> bar = BarOnTab(Inside(tags, "boxNew1"), true);
    auto shape = [](const std::vector<Tag>& ts) {
        std::vector<std::string> s;
        for (const Tag& t : ts)
            if (t.Attr("enabled") != "false")
                s.push_back(t.name + "|" + t.Attr("idMso") + "|" + t.Attr("label") + "|" + t.Attr("keytip") + "|" +
                            t.Attr("getContent") + "|" + t.Attr("onAction") + "|" + std::to_string(t.kind));
        return s;
    };
    EXPECT_EQ(shape(copy), shape(bar));
    // In the bar on the tab the gaps stand between the top-level menus, outside them.
    std::vector<std::string> top;
    for (const Tag& t : bar)
        if (t.depth == bar.front().depth && t.kind != Tag::Close) top.push_back(t.Attr("label"));
    EXPECT_EQ(top, (std::vector<std::string>{"File", " ", "Edit", " ", "View", " ", "Insert", " ", "Format", " ",
                                             "Query", " ", "Records", " ", "Tools", " ", "Windows", " ", "Help"}));
}

TEST(Document, EveryIdIsDistinctAndEveryCallbackIsOneWeAnswer) {
    for (const char* all : {"0", "1"}) {
        const std::vector<Tag> tags = ScanTags(Build({{"All", all}}));
        std::set<std::string> seen;
        for (const std::string& id : testing::Ids(tags)) EXPECT_TRUE(seen.insert(id).second) << id;
        for (const Tag& t : tags) {
            if (t.Has("getVisible")) { EXPECT_NE(FindVisibilityRule(t.Attr("getVisible")), nullptr) << t.Attr("getVisible"); }
            if (t.Has("getContent")) {
                const std::string name = t.Attr("getContent");
                ASSERT_EQ(name.rfind("OnGetContent", 0), 0u);
                EXPECT_TRUE(FindDynamicMenu(name.substr(12)).has_value()) << name;
            }
            if (t.Has("onAction")) {
                EXPECT_TRUE(t.Attr("onAction") == "ShowAbout0" || t.Attr("onAction") == "Uninstall0");
            }
            if (t.Has("onLoad")) { EXPECT_EQ(t.Attr("onLoad"), "ribbonLoaded"); }
        }
    }
}

TEST(Document, ToolbarRowsHaveTheirShape) {
    const std::vector<Tag> tags = ScanTags(Build({}));
    auto count = [](const std::vector<Tag>& ts, const std::string& name, int depth = -1) {
        int n = 0;
        for (const Tag& t : ts) n += t.kind != Tag::Close && t.name == name && (depth < 0 || t.depth == depth);
        return n;
    };
    const std::vector<Tag> standard = Inside(tags, "boxNew2");
    const int row = standard.front().depth;
    EXPECT_EQ(count(standard, "buttonGroup"), 11);
    int withVisibility = 0;
    for (const Tag& t : standard) withVisibility += t.name == "buttonGroup" && t.Has("getVisible");
    EXPECT_EQ(withVisibility, 4);
    EXPECT_EQ(count(standard, "button"), 6);
    EXPECT_EQ(count(standard, "menuSeparator"), 5);
    EXPECT_EQ(count(standard, "menu", row + 1), 4);
    EXPECT_EQ(count(standard, "menu", row + 2), 4);

    const std::vector<Tag> formatting = Inside(tags, "boxNew3");
    EXPECT_EQ(count(formatting, "buttonGroup"), 12);
    EXPECT_EQ(count(formatting, "comboBox"), 5);
    EXPECT_EQ(count(formatting, "button"), 11);
    EXPECT_EQ(count(formatting, "menu"), 1);
    EXPECT_EQ(count(formatting, "menuSeparator"), 1);
    for (const Tag& t : formatting)
        if (t.depth == row && t.kind != Tag::Close) { EXPECT_TRUE(t.Has("getVisible")) << t.name << " " << t.Attr("id"); }

    const std::vector<Tag> controls = Inside(tags, "Controls0");
    EXPECT_EQ(count(controls, "control"), 21);
    for (const Tag& t : controls) EXPECT_FALSE(t.Has("getVisible"));
}

struct TabCase {
    Settings settings;
    bool fromScratch;
    std::vector<std::string> hidden;
};

TEST(Document, HidesBuiltInTabsOnlyWhenAskedTo) {
    const TabCase cases[] = {
        {{}, false, {}},
        {{{"Hide built-in Tabs", "1"}, {"Home", "1"}, {"Create", "1"}, {"External Data", "1"}, {"Database Tools", "1"}},
         true, {}},
        {{{"Hide built-in Tabs", "1"}, {"Home", "1"}, {"Create", "1"}}, false, {"TabHomeAccess", "TabCreate"}},
        {{{"Hide built-in Tabs", "1"}, {"Create", "1"}, {"External Data", "1"}, {"Database Tools", "1"}},
         false, {"TabCreate", "TabExternalData", "TabDatabaseTools"}},
        {{{"Hide built-in Tabs", "0"}, {"Home", "1"}, {"Create", "1"}, {"External Data", "1"}, {"Database Tools", "1"}},
         false, {}},
        {{{"Hide built-in Tabs", "2"}, {"Home", "1"}}, false, {}},
        // A "2" counts towards the sum but is not hidden by itself.
        {{{"Hide built-in Tabs", "1"}, {"Home", "2"}, {"Create", "1"}, {"External Data", "1"}, {"Database Tools", "0"}},
         true, {}},
        {{{"Hide built-in Tabs", "1"}, {"Home", "2"}, {"Create", "1"}}, false, {"TabCreate"}},
        // The running sum is rounded after each addition: 2.5 + 0.5 + 0.5 + 0.5 sums to 2, not 4;
        // 0.5 + 1.5 + 1 + 1 to 4.
        {{{"Hide built-in Tabs", "1"}, {"Home", "2.5"}, {"Create", "0.5"}, {"External Data", "0.5"},
          {"Database Tools", "0.5"}}, false, {}},
        {{{"Hide built-in Tabs", "1"}, {"Home", "0.5"}, {"Create", "1.5"}, {"External Data", "1"},
          {"Database Tools", "1"}}, true, {}},
        {{{"hide BUILT-IN tabs", "1"}, {"external data", "1.0"}}, false, {"TabExternalData"}},
        {{{"Hide built-in Tabs", "1.4"}, {"Home", "1"}}, false, {"TabHomeAccess"}},
    };
    for (const TabCase& c : cases) {
        const std::string xml = Build(c.settings);
        const std::vector<Tag> tags = ScanTags(xml);
        SCOPED_TRACE(xml.substr(0, 200));
        ASSERT_EQ(tags[1].name, "ribbon");
        EXPECT_EQ(tags[1].Attr("startFromScratch"), c.fromScratch ? "true" : "");
        std::vector<std::string> hidden;
        for (const Tag& t : tags)
            if (t.name == "tab" && t.Has("idMso")) {
                EXPECT_EQ(t.Attr("visible"), "false");
                EXPECT_EQ(t.kind, Tag::Empty);
                hidden.push_back(t.Attr("idMso"));
            }
        EXPECT_EQ(hidden, c.hidden);
    }
    EXPECT_NE(Build({{"Hide built-in Tabs", "1"}, {"Create", "1"}}).find(R"(<tab idMso="TabCreate" visible="false"/>)"),
              std::string::npos);
}

TEST(Document, PlacesTheTabAndTheAllMenuFromTheSettings) {
    auto tabTag = [](const std::string& xml) { return ScanTags(xml)[3]; };
    EXPECT_EQ(tabTag(Build({{"Left", "0"}})).Attr("insertBeforeMso"), "");
    EXPECT_NE(Build({{"Left", "0"}}).find(R"(<tabs><tab id="Menus" label="Classic" keytip="L"><group)"),
              std::string::npos);
    EXPECT_EQ(tabTag(Build({{"Left", "2"}})).Attr("insertBeforeMso"), "");
    EXPECT_EQ(tabTag(Build({{"Left", "1.49"}})).Attr("insertBeforeMso"), "TabHomeAccess");
    EXPECT_EQ(IdOfLabel(ScanTags(Build({{"All", "2"}})), "File"), "BR32341");
    EXPECT_EQ(IdOfLabel(ScanTags(Build({{"All", "0.5"}})), "File"), "BR32341");  // rounds to 0
    EXPECT_EQ(IdOfLabel(ScanTags(Build({{"All", "1.5"}})), "File"), "BR32341");  // rounds to 2
    EXPECT_EQ(IdOfLabel(ScanTags(Build({{"All", " 1 "}})), "All"), "BR32341");
}

TEST(Document, ClassicOffOrAnotherHostGivesNothingAndLeavesTheBuffer) {
    for (const char* classic : {"0", "0.5", "-0.5", "-0"}) EXPECT_EQ(Build({{"Classic", classic}}), "") << classic;
    EXPECT_NE(Build({{"Classic", "2"}}), "");
    EXPECT_NE(Build({{"Classic", "-1"}}), "");

    RecordingSettings store;
    FakeHost host;
    Markup markup;
    markup.xml.assign("<menu/>");
    markup.counters = {1, 2, 3, 4};
    for (const char* name : {"MICROSOFT OFFICE ACCESS", "Microsoft Word", "access", ""}) {
        host.name = name;
        EXPECT_EQ(GetRibbonXml(markup, host, store), "") << name;
        EXPECT_EQ(markup.xml, "<menu/>");
        EXPECT_EQ(markup.counters, Counters{});  // counters are reset before the host is asked
    }
    EXPECT_TRUE(store.reads.empty()) << "settings are not read for another host";
    host.name = "Access";
    EXPECT_NE(GetRibbonXml(markup, host, store), "");
}

TEST(Document, ReadsEachSettingWhereItIsNeededInOrder) {
    using Reads = std::vector<std::string>;
    const Reads tabs = {"Home", "Create", "External Data", "Database Tools"};
    auto readsFor = [](const Settings& s) {
        RecordingSettings store;
        Build(s, &store);
        return store.reads;
    };
    EXPECT_EQ(readsFor({}), (Reads{"Classic", "Hide built-in Tabs", "Left", "All"}));
    EXPECT_EQ(readsFor({{"Classic", "0"}}), Reads{"Classic"});
    Reads twice = {"Classic", "Hide built-in Tabs"};
    twice.insert(twice.end(), tabs.begin(), tabs.end());
    twice.insert(twice.end(), tabs.begin(), tabs.end());
    twice.insert(twice.end(), {"Left", "All"});
    EXPECT_EQ(readsFor({{"Hide built-in Tabs", "1"}, {"Home", "1"}}), twice);
    Reads once = {"Classic", "Hide built-in Tabs"};
    once.insert(once.end(), tabs.begin(), tabs.end());
    once.insert(once.end(), {"Left", "All"});
    EXPECT_EQ(readsFor({{"Hide built-in Tabs", "1"}, {"Home", "1"}, {"Create", "1"}, {"External Data", "1"},
                        {"Database Tools", "1"}}),
              once);
}

TEST(Document, AMalformedSettingEndsTheBuildOnlyWhereItIsRead) {
    struct Case {
        Settings settings;
        std::int32_t code;  // 0: no error
        const char* named;
    };
    const Case cases[] = {
        {{{"Left", "abc"}}, kestrel::kTypeMismatch, "\"Left\""},
        {{{"All", ""}}, kestrel::kTypeMismatch, "\"All\""},
        {{{"Classic", "yes"}}, kestrel::kTypeMismatch, "\"Classic\""},
        {{{"Classic", "3000000000"}}, kestrel::kOverflow, "\"Classic\""},
        {{{"Hide built-in Tabs", "1"}, {"Database Tools", "x"}}, kestrel::kTypeMismatch, "\"Database Tools\""},
        {{{"Hide built-in Tabs", "1"}, {"Home", "2147483647"}, {"Create", "1"}}, kestrel::kOverflow, "\"Create\""},
        {{{"Classic", "0"}, {"Left", "abc"}}, 0, nullptr},
        {{{"Hide built-in Tabs", "0"}, {"Home", "abc"}}, 0, nullptr},
    };
    for (const Case& c : cases) {
        try {
            Build(c.settings);
            EXPECT_EQ(c.code, 0) << "expected an error naming " << c.named;
        } catch (const kestrel::Error& e) {
            EXPECT_EQ(e.code(), c.code) << e.what();
            if (c.named) { EXPECT_NE(std::string(e.what()).find(c.named), std::string::npos) << e.what(); }
        }
    }
}

TEST(Document, AHostThatRefusesItsNameFailsTheBuild) {
    RecordingSettings store;
    FakeHost host;
    host.failAtQuery = 1;
    Markup markup;
    EXPECT_THROW(GetRibbonXml(markup, host, store), kestrel::Error);
    EXPECT_TRUE(store.reads.empty());
}

TEST(Document, TwoBuildsInARowAreIdentical) {
    RecordingSettings store;
    FakeHost host;
    Markup markup;
    const std::string first(GetRibbonXml(markup, host, store));
    host.objectType = kAcForm;
    GetContent(markup, host, DynamicMenu::Format);  // moves the counters and replaces the buffer
    EXPECT_EQ(GetRibbonXml(markup, host, store), first);
    EXPECT_EQ(markup.barMode, kBarOnTab);
}

}  // namespace
}  // namespace pellwyn
