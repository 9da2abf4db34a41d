// The tab view drawn from the real markup and the real callbacks, in the contexts a person
// picks: what shows, what hides, and what each dynamic menu holds there.
#include "classic_tab_view.h"
#include "dynamic_menus.h"
#include "fakes.h"
#include "markup_tree.h"
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
    EXPECT_TRUE(Has(v, "Tab \"Klassisch\", before TabHomeAccess\n")) << v;
    EXPECT_TRUE(Has(v, "Menu bar: Alle  Datei  Bearbeiten  Ansicht  Einfügen  Format  Datensätze  Extras  Fenster  Hilfe\n"));
    EXPECT_TRUE(Has(v, "Alle: the menu bar again (Datei, Bearbeiten, Ansicht"));
    EXPECT_TRUE(Has(v, "\n        FindDialog\n")) << v;
}

TEST(TabView, TableInDatasheetView) {
    const std::string v = View("table-datasheet");
    EXPECT_TRUE(Has(v, "Tab \"Classic\", before TabHomeAccess\n")) << v;
    EXPECT_TRUE(Has(v, "Menu bar: All  File  Edit  View  Insert  Format  Records  Tools  Windows  Help\n")) << v;
    EXPECT_TRUE(Has(v, "All: the menu bar again (File, Edit, View, Insert, Format, Records, Tools, Windows, Help)"));
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
    EXPECT_TRUE(Has(v, "Menu bar: All  File  Edit  View  Insert  Format  Tools  Windows  Help\n")) << v;
    EXPECT_TRUE(Has(v, "Group \"Controls\"\n"));
    EXPECT_TRUE(Has(v, "Controls, row 1: FormControlEditBox FormControlComboBox ControlLine"));
    EXPECT_TRUE(Has(v, "      Control Layout >\n"));  // a submenu of Format for a form
    EXPECT_TRUE(Has(v, "FieldList GridlinesGallery"));
    EXPECT_FALSE(Has(v, "SortUp"));
}

TEST(TabView, NothingCurrentShowsOnlyTheAlwaysMenus) {
    const std::string v = View("none");
    EXPECT_TRUE(Has(v, "Menu bar: All  File  Edit  View  Tools  Windows  Help\n")) << v;
    EXPECT_TRUE(Has(v, "Formatting toolbar: \n")) << v;  // every segment of the row hides
}

TEST(TabView, ToolbarRowsWrapAtTheWidth) {
    const std::string v = View("form-design", {}, preview::ViewOptions{});
    std::size_t start = 0, rows = 0;
    while (start < v.size()) {
        const std::size_t end = v.find('\n', start);
        const std::string line = v.substr(start, end - start);
        if (line.find("Menu bar") == std::string::npos && line.find("--") == std::string::npos) {
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
    EXPECT_TRUE(Has(v, "Query (hidden)")) << v;
    EXPECT_TRUE(Has(v, "Group \"Controls\" (hidden)\n"));
    EXPECT_TRUE(Has(v, "[Font](hidden)"));
}

TEST(TabView, FollowsTheSettings) {
    const std::string v = View("table-design", {{"All", "0"}, {"Left", "0"}, {"Hide built-in Tabs", "1"},
                                                {"Home", "1"}, {"Create", "1"}});
    EXPECT_TRUE(Has(v, "Tab \"Classic\", after the built-in tabs\n")) << v;
    EXPECT_TRUE(Has(v, "hidden built-in tabs: TabHomeAccess, TabCreate\n"));
    EXPECT_TRUE(Has(v, "Menu bar: File  Edit")) << v;
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

}  // namespace
}  // namespace pellwyn
