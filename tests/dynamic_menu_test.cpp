// The six dynamic menus: what each holds for every object type, how their ids go on from the
// document, and what a refusing host leaves behind.
#include "dynamic_menus.h"
#include "error.h"
#include "fakes.h"
#include "ribbon.h"
#include "xml_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace pellwyn {
namespace {

using testing::FakeHost;
using testing::ScanTags;
using testing::Tag;

const std::string kOpening = R"(<menu xmlns="http://schemas.microsoft.com/office/2006/01/customui">)";

struct Opened {
    std::string xml;
    std::vector<Tag> items;  // the tags inside the root, closing tags left out
    int separators = 0, menus = 0;
};

Opened Open(Markup& markup, DynamicMenu menu, std::int32_t type) {
    FakeHost host;
    host.objectType = type;
    Opened o;
    o.xml = std::string(GetContent(markup, host, menu));
    const std::vector<Tag> tags = ScanTags(o.xml);
    for (std::size_t i = 1; i + 1 < tags.size(); ++i)
        if (tags[i].kind != Tag::Close) {
            o.items.push_back(tags[i]);
            o.separators += tags[i].name == "menuSeparator";
            o.menus += tags[i].name == "menu";
        }
    return o;
}

Opened Open(DynamicMenu menu, std::int32_t type) {
    Markup markup;
    return Open(markup, menu, type);
}

// Each item as "idMso label", a separator as "-", a submenu as "[label" ... "]".
std::vector<std::string> Items(const Opened& o) {
    std::vector<std::string> items;
    const std::vector<Tag> tags = ScanTags(o.xml);
    for (std::size_t i = 1; i + 1 < tags.size(); ++i) {
        const Tag& t = tags[i];
        if (t.name == "menuSeparator") items.push_back("-");
        else if (t.name == "menu") items.push_back(t.kind == Tag::Close ? "]" : "[" + t.Attr("label"));
        else items.push_back(t.Attr("idMso") + (t.Has("label") ? " " + t.Attr("label") : ""));
    }
    return items;
}

struct SizeCase {
    DynamicMenu menu;
    std::vector<int> itemsPerType;  // object types -1 to 7; the end of a submenu counts as an item
};

TEST(DynamicMenus, HoldAsManyItemsAsTheirObjectNeeds) {
    const SizeCase cases[] = {
        //                          -1  0   1   2   3   4   5   6   7
        {DynamicMenu::Edit,        {15, 24, 14, 13, 13, 15, 15, 15, 15}},
        {DynamicMenu::View,        {6, 12, 15, 21, 23, 6, 6, 6, 6}},
        {DynamicMenu::Insert,      {0, 38, 33, 41, 41, 32, 32, 0, 0}},
        {DynamicMenu::Format,      {0, 13, 0, 44, 44, 0, 0, 0, 0}},
        {DynamicMenu::Query,       {0, 0, 16, 0, 0, 0, 0, 0, 0}},
        {DynamicMenu::Records,     {0, 29, 29, 0, 0, 0, 0, 0, 0}},
    };
    for (const SizeCase& c : cases)
        for (std::int32_t type = -1; type <= 7; ++type)
            EXPECT_EQ(Items(Open(c.menu, type)).size(), static_cast<std::size_t>(c.itemsPerType[type + 1]))
                << Label(c.menu) << " for object type " << type;
}

TEST(DynamicMenus, AnEmptyMenuMovesNoCounter) {
    for (DynamicMenu menu : {DynamicMenu::Insert, DynamicMenu::Format, DynamicMenu::Query, DynamicMenu::Records}) {
        Markup markup;
        markup.counters = {5, 6, 7, 8};
        EXPECT_EQ(Open(markup, menu, -1).xml, kOpening + "</menu>");
        EXPECT_EQ(markup.counters, (Counters{5, 6, 7, 8}));
    }
}

TEST(DynamicMenus, EditForATable) {
    const Opened o = Open(DynamicMenu::Edit, kAcTable);
    EXPECT_EQ(Items(o), (std::vector<std::string>{
                            "Undo", "Redo", "-", "Cut Cut", "Copy Copy", "ShowClipboard Office Clipboard …",
                            "PasteSpecial Paste", "-", "CreateShortCutMenuFromMacro Create ShortCut…",
                            "ClearMenuAccess Delete", "DatasheetColumnDelete Delete", "SelectMenuAccess Select",
                            "SelectAllAccess Select All", "DatasheetColumnRename Rename", "-", "FindDialog Find…",
                            "FindNext Find Next", "ReplaceDialog Replace", "GoToMenuAccess Go To", "-",
                            "FormattingUnique Unique", "FormattingRequiredField Is Required", "-",
                            "OleDdeLinks Ole /DDE Links"}));
    const std::string start = kOpening + R"(<control idMso="Undo"/><control idMso="Redo"/><menuSeparator )";
    EXPECT_EQ(o.xml.substr(0, start.size()), start);
}

TEST(DynamicMenus, EditForOtherObjectsLeavesOutTheTableCommands) {
    const std::vector<std::string> query = Items(Open(DynamicMenu::Edit, kAcQuery));
    EXPECT_EQ(query[10], "ClearGrid Clear Grid");
    EXPECT_EQ(query.back(), "OleDdeLinks Ole /DDE Links");
    EXPECT_EQ(query[query.size() - 2], "SelectAllAccess Select All");  // no separator before it
    EXPECT_EQ(Items(Open(DynamicMenu::Edit, kAcForm)), Items(Open(DynamicMenu::Edit, kAcReport)));
    const std::vector<std::string> macro = Items(Open(DynamicMenu::Edit, kAcMacro));
    for (std::int32_t type : {kAcModule, -1, 6, 7, 12, 1000})
        EXPECT_EQ(Items(Open(DynamicMenu::Edit, type)), macro) << type;
    EXPECT_EQ(macro[12], "DatasheetColumnRename Rename");
    EXPECT_EQ(macro[13], "-");
}

TEST(DynamicMenus, ViewFollowsTheObject) {
    EXPECT_EQ(Items(Open(DynamicMenu::View, -1)),
              (std::vector<std::string>{"PropertySheet Property Sheet", "ViewVisualBasicCodeAccess View Code",
                                        "DatabaseObjectDependencies Object Dependencies", "ViewMessageBar Message Bar",
                                        "-", "FieldList Add Existing Fields"}));
    const std::vector<std::string> report = Items(Open(DynamicMenu::View, kAcReport));
    EXPECT_EQ(report[4], "SubformInNewWindow Subreport in New Window");
    EXPECT_EQ(std::vector<std::string>(report.end() - 3, report.end()),
              (std::vector<std::string>{"-", "Grouping Group and Sort", "HideDetails Hide Details"}));
    const std::vector<std::string> form = Items(Open(DynamicMenu::View, kAcForm));
    EXPECT_EQ(form[6], "SubformInNewWindow Subform in New Window");
    EXPECT_EQ(form.back(), "FormHeaderOrFooterShowHide Form Header/Footer");
    const std::vector<std::string> query = Items(Open(DynamicMenu::View, kAcQuery));
    EXPECT_EQ(std::vector<std::string>(query.begin(), query.begin() + 3),
              (std::vector<std::string>{"ViewsDesignView Design View", "ViewsAdpDiagramSqlView SQL View",
                                        "ViewsDatasheetView Datasheet View"}));
    EXPECT_EQ(std::vector<std::string>(query.begin() + 5, query.begin() + 9),
              (std::vector<std::string>{"-", "QueryTotalsShowHide Totals", "QueryTableNamesShowHide Table Names", "-"}));
    const std::vector<std::string> table = Items(Open(DynamicMenu::View, kAcTable));
    EXPECT_EQ(table[table.size() - 2], "DatasheetNewField New Field");
    EXPECT_EQ(table.back(), "FieldList Add Existing Fields");
}

TEST(DynamicMenus, InsertOpensFourSubmenusThenWhatFitsTheObject) {
    const std::vector<std::string> table = Items(Open(DynamicMenu::Insert, kAcTable));
    EXPECT_EQ(table[0], "[Tables");
    EXPECT_EQ(std::vector<std::string>(table.begin() + 32, table.end()),
              (std::vector<std::string>{"GoToNewRecord New Record", "-", "QueryInsertColumn Insert Columns",
                                        "DatasheetColumnLookup LookUp Column", "-",
                                        "RecordsInsertSubdatasheet Subdatasheet"}));
    const std::vector<std::string> query = Items(Open(DynamicMenu::Insert, kAcQuery));
    EXPECT_EQ(query.back(), "QueryInsertColumn Insert Columns");
    EXPECT_EQ(query[query.size() - 2], "-");
    EXPECT_EQ(Items(Open(DynamicMenu::Insert, kAcMacro)).back(), "-");
    EXPECT_EQ(Items(Open(DynamicMenu::Insert, kAcModule)), Items(Open(DynamicMenu::Insert, kAcMacro)));
    const Opened form = Open(DynamicMenu::Insert, kAcForm);
    EXPECT_EQ(Items(form), Items(Open(DynamicMenu::Insert, kAcReport)));
    EXPECT_EQ(form.items.back().name, "menuSeparator");
    std::vector<std::string> submenus;
    for (const Tag& t : form.items)
        if (t.name == "menu") submenus.push_back(t.Attr("id") + " " + t.Attr("label"));
    EXPECT_EQ(submenus, (std::vector<std::string>{"BR32341 Tables", "BR32342 Query", "BR32343 Forms", "BR32344 Reports"}));
    EXPECT_NE(form.xml.find(R"(<menu id="BR32341" label="Tables" keytip="T" tag = "BR32341">)"
                            R"(<control idMso="CreateTable" label="Table"/>)"),
              std::string::npos);
}

TEST(DynamicMenus, FormatForTablesAndForDesignSurfaces) {
    EXPECT_EQ(Items(Open(DynamicMenu::Format, kAcTable)).back(), "-");
    const Opened form = Open(DynamicMenu::Format, kAcForm);
    EXPECT_EQ(form.menus, 5);
    EXPECT_EQ(form.separators, 3);
    const std::vector<std::string> items = Items(form);
    const auto size = std::find(items.begin(), items.end(), "[Size");
    ASSERT_NE(size, items.end());
    EXPECT_EQ(std::vector<std::string>(size, size + 10),
              (std::vector<std::string>{"[Size", "PositionAnchoringGallery Anchoring", "SizeToFitAccess To Fit",
                                        "SizeToGridAccess To Grid", "-", "SizeToTallest To Tallest",
                                        "SizeToShortest To Shortest", "-", "SizeToWidest To Widest",
                                        "SizeToNarrowest To Narrowest"}));
}

TEST(DynamicMenus, QueryAndRecords) {
    const std::vector<std::string> query = Items(Open(DynamicMenu::Query, kAcQuery));
    EXPECT_EQ(query.front(), "QueryRunQuery Run");
    EXPECT_EQ(query[2], "RelationshipsHideTable Remove Table");
    EXPECT_EQ(query.back(), "QueryParameters Parameters");
    const std::vector<std::string> records = Items(Open(DynamicMenu::Records, kAcTable));
    EXPECT_EQ(records, Items(Open(DynamicMenu::Records, kAcQuery)));
    EXPECT_EQ(std::vector<std::string>(records.begin(), records.begin() + 9),
              (std::vector<std::string>{"[Filter", "FilterAdvancedByForm Filter By Form",
                                        "FilterBySelection Filter By Selection",
                                        "FilterExcludingSelection Filter Excluding Selection",
                                        "SortAndFilterAdvanced Advanced Filter-Sort", "-", "FiltersMenu Filter",
                                        "SortSelectionMenu Selection", "]"}));
    EXPECT_EQ(records.back(), "-");
}

// Our submenus have a KeyTip too.
TEST(DynamicMenus, ItemsCarryNothingButIdMsoAndLabel) {
    for (DynamicMenu menu : kDynamicMenus)
        for (std::int32_t type = -1; type <= 5; ++type)
            for (const Tag& t : Open(menu, type).items) {
                for (const auto& [name, value] : t.attributes)
                    EXPECT_TRUE(name == "idMso" || name == "label" || name == "id" || name == "tag" ||
                                (name == "keytip" && t.name == "menu"))
                        << name;
                if (t.name == "menu") { EXPECT_EQ(t.Attr("tag"), t.Attr("id")); }
            }
}

TEST(DynamicMenus, IdsGoOnFromTheDocumentAndFromEachOther) {
    for (const char* all : {"0", "1"}) {
        testing::RecordingSettings settings;
        settings.Put("All", all);
        FakeHost host;
        Markup markup;
        GetRibbonXml(markup, host, settings);
        const Counters afterDocument = markup.counters;
        EXPECT_EQ(afterDocument.group, 26);
        EXPECT_EQ(afterDocument.separator, std::string(all) == "1" ? 52 : 29);

        const Opened first = Open(markup, DynamicMenu::Edit, kAcTable);
        const Opened second = Open(markup, DynamicMenu::Edit, kAcTable);
        EXPECT_EQ(first.items[2].Attr("id"), "msep00" + std::to_string(afterDocument.separator + 1) + "d");
        EXPECT_EQ(second.items[2].Attr("id"), "msep00" + std::to_string(afterDocument.separator + 6) + "d");
        std::string expected = first.xml;
        for (int n = 5; n >= 1; --n) {  // the second differs only in its five separator ids, each 5 higher
            const std::string from = "msep00" + std::to_string(afterDocument.separator + n) + "d";
            const std::string to = "msep00" + std::to_string(afterDocument.separator + n + 5) + "d";
            expected.replace(expected.find(from), from.size(), to);
        }
        EXPECT_EQ(second.xml, expected);

        const Counters beforeInsert = markup.counters;
        const Opened insert1 = Open(markup, DynamicMenu::Insert, kAcTable);
        const Opened insert2 = Open(markup, DynamicMenu::Insert, kAcTable);
        EXPECT_EQ(insert1.items[0].Attr("id"), "BR3234" + std::to_string(afterDocument.menu + 1));
        EXPECT_EQ(insert2.items[0].Attr("id"), "BR3234" + std::to_string(afterDocument.menu + 5));
        EXPECT_EQ(markup.counters.separator, beforeInsert.separator + 10);
        EXPECT_EQ(markup.counters.button, afterDocument.button);
        EXPECT_EQ(markup.counters.group, afterDocument.group);
        EXPECT_EQ(markup.xml, insert2.xml);  // the buffer holds the last fragment
    }
}

TEST(DynamicMenus, ARefusingHostFailsTheCallAndLeavesTheOpeningTag) {
    for (DynamicMenu menu : kDynamicMenus) {
        FakeHost host;
        host.objectType = kAcTable;
        host.failAtQuery = 1;
        Markup markup;
        markup.xml.assign("<customUI/>");
        markup.counters = {1, 2, 3, 4};
        try {
            GetContent(markup, host, menu);
            ADD_FAILURE() << Label(menu);
        } catch (const kestrel::Error& e) {
            EXPECT_EQ(e.code(), testing::kHostRefused);
        }
        EXPECT_EQ(markup.xml, kOpening);
        EXPECT_EQ(markup.counters, (Counters{1, 2, 3, 4}));
        EXPECT_EQ(host.queries, std::vector<std::string>{"type"});
    }
}

TEST(DynamicMenus, AFullCounterFailsTheCall) {
    Markup markup;
    markup.counters.separator = 2147483647;
    FakeHost host;
    host.objectType = kAcTable;
    EXPECT_THROW(GetContent(markup, host, DynamicMenu::Edit), kestrel::Error);
    EXPECT_EQ(markup.counters.separator, 2147483647);
}

TEST(DynamicMenus, AreFoundByLabelWithoutRegardToCase) {
    EXPECT_EQ(FindDynamicMenu("records"), DynamicMenu::Records);
    EXPECT_EQ(FindDynamicMenu("EDIT"), DynamicMenu::Edit);
    EXPECT_FALSE(FindDynamicMenu("Tools").has_value());
    EXPECT_FALSE(FindDynamicMenu("").has_value());
}

}  // namespace
}  // namespace pellwyn
