// The tab view drawn from the real markup and the real callbacks, in the contexts a person
// picks: what shows, what hides, and what each dynamic menu holds there.
#include "classic_tab_view.h"
#include "dynamic_menus.h"
#include "fakes.h"
#include "markup_tree.h"
#include "refresh_report.h"
#include "ribbon.h"
#include "visibility.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

namespace pellwyn {
namespace {

// The add-in's callbacks answered by the core, with the host playing a context.
class CoreCallbacks final : public preview::TabCallbacks {
public:
    CoreCallbacks(Markup& markup, testing::FakeHost& host) : markup_(markup), host_(host) {}
    bool Visible(std::string_view callback) override {
        ++visibleCalls;
        const VisibilityRule* rule = FindVisibilityRule(callback);
        if (!rule) throw std::runtime_error("unknown callback");
        return rule->visible(host_);
    }
    std::string Content(std::string_view callback) override {
        const auto menu = FindDynamicMenu(callback.substr(std::string_view("OnGetContent").size()));
        if (!menu) throw std::runtime_error("unknown callback");
        return std::string(GetContent(markup_, host_, *menu));
    }
    int visibleCalls = 0;

private:
    Markup& markup_;
    testing::FakeHost& host_;
};

// Rows are not wrapped unless a test asks, so that checks can look for runs of names.
preview::ViewOptions Unwrapped() {
    preview::ViewOptions o;
    o.width = 100000;
    return o;
}

std::string View(const char* context, std::vector<std::pair<std::string, std::string>> settings = {},
                 preview::ViewOptions options = Unwrapped(), std::optional<std::int32_t> language = {}) {
    const preview::Context* c = preview::FindContext(context);
    if (!c) throw std::runtime_error("no context");
    testing::FakeHost host;
    host.objectType = c->objectType;
    host.design = c->designView;
    host.datasheet = c->datasheetView;
    host.language = language;
    testing::RecordingSettings store;
    for (const auto& [n, v] : settings) store.Put(n, v);
    Markup markup;
    const std::string document(GetRibbonXml(markup, host, store));
    CoreCallbacks callbacks(markup, host);
    return preview::RenderClassicTab(document, callbacks, options);
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// In German: our menus in German, Access's commands by name (Access labels them itself).
TEST(TabView, InGerman) {
    const std::string v = View("table-datasheet", {}, Unwrapped(), 0x0407);
    EXPECT_TRUE(Has(v, "Tab \"Klassisch\" [K], before TabHomeAccess\n")) << v;
    EXPECT_TRUE(Has(v, "Menu bar: Alle [L]  Datei [D]  Bearbeiten [B]  Ansicht [A]  Einfügen [E]  Format [O]"
                       "  Datensätze [S]  Extras [X]  Fenster [F]  Hilfe [H]\n"));
    EXPECT_TRUE(Has(v, "Alle [L]: the menu bar again (Datei [D], Bearbeiten [B], Ansicht [A]"));
    EXPECT_TRUE(Has(v, "\n        FindDialog\n")) << v;
}

// In Japanese Office gives every KeyTip: none beside the titles.
TEST(TabView, InJapaneseOfficeGivesTheKeyTips) {
    const std::string v = View("table-datasheet", {}, Unwrapped(), 0x0411);
    const std::size_t bar = v.find("Menu bar: "), rows = v.find("Standard toolbar: ");
    ASSERT_LT(bar, rows) << v;
    EXPECT_EQ(v.substr(0, rows).find(" ["), std::string::npos) << v;  // the tab, the bar, the menus
    EXPECT_NE(v.find("[Font] [FontSize]", rows), std::string::npos) << v;  // the row's combo boxes
}

TEST(TabView, TableInDatasheetView) {
    const std::string v = View("table-datasheet");
    EXPECT_TRUE(Has(v, "Tab \"Classic\" [L], before TabHomeAccess\n")) << v;
    EXPECT_TRUE(Has(v, "Menu bar: All [A]  File [F]  Edit [E]  View [V]  Insert [I]  Format [O]  Records [R]  Tools [T]"
                       "  Windows [W]  Help [H]\n"))
        << v;
    EXPECT_TRUE(Has(v, "All [A]: the menu bar again (File [F], Edit [E], View [V], Insert [I], Format [O], Records [R],"
                       " Tools [T], Windows [W], Help [H])"));
    // Our submenus and buttons with theirs, Access's commands with none (Office gives them theirs).
    EXPECT_TRUE(Has(v, "\n        Import [I] >\n"
                       "          Saved Imports                           ImportSavedImports\n"))
        << v;
    EXPECT_TRUE(Has(v, "\n          Convert Database [C] >\n"));
    EXPECT_TRUE(Has(v, "\n        About Lorvenne [A]                        runs the add-in's ShowAbout0\n"));
    EXPECT_TRUE(Has(v, "\n      Insert [I]\n        Tables [T] >\n"));
    EXPECT_TRUE(Has(v, "Group \"Controls\": hidden here\n"));
    EXPECT_TRUE(Has(v, "        Find…                                     FindDialog\n")) << v;  // Edit for a table
    EXPECT_TRUE(Has(v, "        Save As … Access 2002 - 2003 Database     FileSaveAsAccess2002_2003\n"));
    EXPECT_TRUE(Has(v, "SortUp SortDown"));      // datasheet buttons of the standard row
    EXPECT_TRUE(Has(v, "[Font] [FontSize] |"));  // text formatting shows in a datasheet
    EXPECT_FALSE(Has(v, "FieldList GridlinesGallery"));  // form design tools do not
    EXPECT_FALSE(Has(v, "QueryRunQuery"));
}

TEST(TabView, FormInDesignView) {
    const std::string v = View("form-design");
    EXPECT_TRUE(Has(v, "Menu bar: All [A]  File [F]  Edit [E]  View [V]  Insert [I]  Format [O]  Tools [T]  Windows [W]"
                       "  Help [H]\n"))
        << v;
    EXPECT_TRUE(Has(v, "Group \"Controls\"\n"));
    EXPECT_TRUE(Has(v, "Controls, row 1: FormControlEditBox FormControlComboBox ControlLine"));
    EXPECT_TRUE(Has(v, "      Control Layout [L] >\n"));  // a submenu of Format for a form
    EXPECT_TRUE(Has(v, "FieldList GridlinesGallery"));
    EXPECT_FALSE(Has(v, "SortUp"));
}

TEST(TabView, NothingCurrentShowsOnlyTheAlwaysMenus) {
    const std::string v = View("none");
    EXPECT_TRUE(Has(v, "Menu bar: All [A]  File [F]  Edit [E]  View [V]  Tools [T]  Windows [W]  Help [H]\n")) << v;
    EXPECT_TRUE(Has(v, "Formatting toolbar: \n")) << v;  // every segment of the row hides
}

TEST(TabView, ToolbarRowsWrapAtTheWidth) {
    const std::string v = View("form-design", {}, preview::ViewOptions{});
    std::size_t start = 0, rows = 0;
    while (start < v.size()) {
        const std::size_t end = v.find('\n', start);
        const std::string line = v.substr(start, end - start);
        // The menu bar's lines ("Menu bar: ...", "All: the menu bar again (...)") are not wrapped.
        if (line.find("enu bar") == std::string::npos && line.find("--") == std::string::npos) {
            std::size_t columns = 0;
            for (char c : line) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
            EXPECT_LE(columns, 100u) << line;
        }
        rows += line.rfind("             ", 0) == 0;  // a continued toolbar row
        start = end + 1;
    }
    EXPECT_GT(rows, 3u);
}

TEST(TabView, HiddenElementsCanBeListedWithAMark) {
    preview::ViewOptions options = Unwrapped();
    options.showHidden = true;
    const std::string v = View("none", {}, options);
    EXPECT_TRUE(Has(v, "Query [Q] (hidden)")) << v;
    EXPECT_TRUE(Has(v, "Group \"Controls\" (hidden)\n"));
    EXPECT_TRUE(Has(v, "[Font](hidden)"));
}

TEST(TabView, FollowsTheSettings) {
    const std::string v = View("table-design", {{"All", "0"}, {"Left", "0"}, {"Hide built-in Tabs", "1"},
                                                {"Home", "1"}, {"Create", "1"}});
    EXPECT_TRUE(Has(v, "Tab \"Classic\" [L], after the built-in tabs\n")) << v;
    EXPECT_TRUE(Has(v, "hidden built-in tabs: TabHomeAccess, TabCreate\n"));
    EXPECT_TRUE(Has(v, "Menu bar: File [F]  Edit [E]")) << v;
    EXPECT_TRUE(Has(View("table-design", {{"Hide built-in Tabs", "1"}, {"Home", "1"}, {"Create", "1"},
                                          {"External Data", "1"}, {"Database Tools", "1"}}),
                    "the built-in tabs are replaced: this is the only tab"));
    EXPECT_EQ(View("form-view", {{"Classic", "0"}}),
              "The add-in gives Access no Classic tab (its setting \"Classic\" is off, or the host is not Access).\n");
}

TEST(TabView, AFailingCallbackIsShownNotHidden) {
    class Failing final : public preview::TabCallbacks {
    public:
        bool Visible(std::string_view) override { throw std::runtime_error("refused"); }
        std::string Content(std::string_view) override { throw std::runtime_error("refused"); }
    } failing;
    testing::FakeHost host;
    testing::RecordingSettings store;
    Markup markup;
    const std::string v = preview::RenderClassicTab(std::string(GetRibbonXml(markup, host, store)), failing);
    EXPECT_TRUE(Has(v, "Group \"Controls\" (its getVisible failed)\n")) << v;
    EXPECT_TRUE(Has(v, "(OnGetContentEdit failed: refused)"));
}

TEST(TabView, RejectsWhatIsNotMarkup) {
    EXPECT_THROW(preview::ParseMarkup("<a><b></a>"), std::runtime_error);
    EXPECT_THROW(preview::ParseMarkup("<a>text</a>"), std::runtime_error);
    EXPECT_THROW(preview::ParseMarkup("<a x=\"1></a>"), std::runtime_error);
    const preview::Element e = preview::ParseMarkup(R"(<a x = "1" y="2"><b/></a>)");
    EXPECT_EQ(e.Attr("x"), "1");
    EXPECT_EQ(e.children.size(), 1u);
}

// ---- the refresh as the preview reports it ---------------------------------------------------

TEST(RefreshReport, ScheduledChangesAreReadOrRefused) {
    struct Case {
        const char* text;
        std::uint32_t at;
        std::int32_t type;
        bool design, datasheet;
    };
    for (const Case& c : {Case{"1500:form-design", 1500, 2, true, false}, {"0:none", 0, -1, false, false},
                          {"250:0+datasheet", 250, 0, false, true}, {"10:2+design+datasheet", 10, 2, true, true},
                          {"10:3+datasheet+design", 10, 3, true, true}, {"600000:-1", 600000, -1, false, false},
                          {"7:12", 7, 12, false, false}}) {
        const preview::ScheduledChange change = preview::ParseScheduledChange(c.text);
        EXPECT_EQ(change.atMilliseconds, c.at) << c.text;
        ASSERT_TRUE(change.context) << c.text;
        EXPECT_EQ(change.context->objectType, c.type) << c.text;
        EXPECT_EQ(change.context->designView, c.design) << c.text;
        EXPECT_EQ(change.context->datasheetView, c.datasheet) << c.text;
        EXPECT_EQ(change.state, std::string(c.text).substr(std::string(c.text).find(':') + 1));
    }
    const preview::ScheduledChange refuse = preview::ParseScheduledChange("3000:refuse");
    EXPECT_EQ(refuse.atMilliseconds, 3000u);
    EXPECT_FALSE(refuse.context);
    for (const char* bad : {"", "form-design", "1500", ":form-design", "-5:none", "600001:none", "1.5:none",
                            "100:form-designer", "100:", "100:2+", "100:2+design+design", "100:2+print", "100:+design",
                            "100:99999999999", "1500 :none"})
        EXPECT_THROW(preview::ParseScheduledChange(bad), std::invalid_argument) << bad;
}

// Logs the watch could see, and the report on them. The add-in asks about 16 questions a
// second and each redraw 100 (50 in the second log); only an idle redraw's count as idle.
TEST(RefreshReport, DelaysIdleRedrawsAndHostCalls) {
    preview::WatchLog log;  // changes followed, one to the same context, a refusal, an idle redraw
    log.seconds = 10;
    log.hostCalls = 560;
    log.changes = {{1.0, "form-design", true, 16, "shows Controls"}, {3.0, "form-design", false, 152, ""},
                   {4.0, "table-datasheet", true, 168, ""}, {6.0, "refuse", false, 400, ""},
                   {7.0, "table-datasheet", true, 404, ""}};
    log.redraws = {{1.2, 20, 100}, {4.25, 172, 100}, {5.0, 284, 100}, {7.3, 408, 100}};
    // Idle: 10 - 0.2 - 0.25 - 0.3 s, (560 - 3 * 4 - 3 * 100) calls.
    EXPECT_EQ(preview::FormatRefresh(log),
              "Refresh, watched for 10.00 s:\n"
              "  1.00 s  form-design: the tab followed after 0.20 s and shows Controls\n"
              "  3.00 s  form-design: nothing to follow (the same context)\n"
              "  4.00 s  table-datasheet: the tab followed after 0.25 s\n"
              "  6.00 s  refuse: Access refuses to say; nothing to follow\n"
              "  7.00 s  table-datasheet: the tab followed after 0.30 s\n"
              "  while nothing changed (9.2 s): 1 redraw, 26.8 host calls a second\n");
    EXPECT_EQ(preview::Summarize(log).idleHostCalls, 560 - 3 * 4 - 3 * 100);

    preview::WatchLog burst;  // two changes wait for one redraw; the last waits to the end
    burst.seconds = 4;
    burst.hostCalls = 114;
    burst.changes = {{1.0, "form-design", true, 16, ""}, {1.1, "form-view", true, 18, ""}, {3.0, "none", true, 98, ""}};
    burst.redraws = {{1.3, 20, 50}};
    // Idle: 4 - 0.3 - 1.0 s, (114 - 4 - 50 - 16) calls.
    EXPECT_EQ(preview::FormatRefresh(burst),
              "Refresh, watched for 4.00 s:\n"
              "  1.00 s  form-design: the tab followed after 0.30 s\n"
              "  1.10 s  form-view: the tab followed after 0.20 s\n"
              "  3.00 s  none: not followed: no redraw before the watch ended\n"
              "  while nothing changed (2.7 s): 0 redraws, 16.3 host calls a second\n");
}

// A redraw from form view to form design, asked of the real rules: what a person sees change.
TEST(RefreshReport, ARedrawSaysWhatShowsAndHides) {
    testing::FakeHost host;
    testing::RecordingSettings store;
    Markup markup;
    const std::string document(GetRibbonXml(markup, host, store));
    const std::vector<preview::VisibleElement> elements = preview::VisibleElements(document);
    EXPECT_EQ(elements.size(), 98u);
    EXPECT_EQ(elements.front().label, "Edit");
    EXPECT_EQ(elements.front().callback, "OnGetVisibleEdit");
    CoreCallbacks callbacks(markup, host);
    auto shown = [&](const char* context) {
        const preview::Context* c = preview::FindContext(context);
        host.objectType = c->objectType;
        host.design = c->designView;
        host.datasheet = c->datasheetView;
        std::vector<bool> answers;
        for (const preview::VisibleElement& e : elements) answers.push_back(callbacks.Visible(e.callback));
        return answers;
    };
    const std::vector<bool> formView = shown("form-view"), formDesign = shown("form-design"),
                            query = shown("query-design");
    EXPECT_EQ(preview::DescribeRedraw(elements, formView, formView), "nothing shows or hides");
    const std::string toDesign = preview::DescribeRedraw(elements, formView, formDesign);
    EXPECT_EQ(toDesign.rfind("shows Controls (", 0), 0u) << toDesign;
    EXPECT_EQ(preview::DescribeRedraw(elements, formDesign, query).rfind("shows Query, Records; hides Format, Controls (", 0),
              0u)
        << preview::DescribeRedraw(elements, formDesign, query);
    EXPECT_TRUE(preview::VisibleElements("").empty());
}

}  // namespace
}  // namespace pellwyn
