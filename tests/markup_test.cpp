// The writers' exact text and their counters.
#include "error.h"
#include "markup.h"
#include "ribbon.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace pellwyn {
namespace {

std::string Text(const Markup& m) { return m.xml; }

TEST(Writers, WriteControlsAsAccessExpectsThem) {
    Markup m;
    m.AppendControl("Cut", "Cut", "", "", "");
    m.AppendControl("Undo", "", "", "", "");
    m.AppendControl("X1", "L", "Img", "Tip", "Act");
    EXPECT_EQ(Text(m), R"(<control idMso="Cut" label="Cut"/><control idMso="Undo"/>)"
                       R"(<control idMso="X1" label="L" imageMso="Img" screentip="Tip" onAction="Act"/>)");
    EXPECT_EQ(m.counters, Counters{});  // an idMso draws no number

    m.xml.clear();
    m.counters.button = 4;
    m.AppendControl("", "X", "", "", "");
    m.AppendControl("", "", "", "", "");
    EXPECT_EQ(Text(m), R"(<button id="sep005" label="X"/><button id="sep006"/>)");
    EXPECT_EQ(m.counters.button, 6);
}

TEST(Writers, IconControlPutsScreentipBeforeImageAndHidesTheLabel) {
    Markup m;
    m.AppendIconControl("FieldList", "", "", "", "OnGetVisibleFormOrReport");
    m.AppendIconControl("A", "Tip", "Img", "Act", "");
    m.AppendIconControl("", "", "", "", "");
    EXPECT_EQ(Text(m), R"(<control idMso="FieldList" getVisible = "OnGetVisibleFormOrReport" showLabel="false"/>)"
                       R"(<control idMso="A" screentip="Tip" imageMso="Img" onAction="Act" showLabel="false"/>)"
                       R"(<button id="sep001" showLabel="false"/>)");
}

TEST(Writers, ComboBoxGroupsAndSeparators) {
    Markup m;
    m.AppendComboBox("Font", "OnGetVisibleText");
    m.AppendComboBox("", "");
    m.counters.group = 2;
    m.OpenButtonGroup("");
    m.OpenButtonGroup("V");
    m.CloseButtonGroup();
    m.counters.separator = 6;
    m.AppendMenuSeparator();
    EXPECT_EQ(Text(m), R"(<comboBox idMso="Font" getVisible = "OnGetVisibleText"/><comboBox idMso=""/>)"
                       R"(<buttonGroup id="btnGr003"><buttonGroup id="btnGr004" getVisible = "V"></buttonGroup>)"
                       R"(<menuSeparator id="msep007d"/>)");
    m.xml.clear();
    m.counters.separator = 0;
    for (int i = 0; i < 3; ++i) m.AppendMenuSeparator();
    EXPECT_EQ(Text(m), R"(<menuSeparator id="msep001d"/><menuSeparator id="msep002d"/><menuSeparator id="msep003d"/>)");
}

TEST(Writers, SpacerAlwaysWritesItsLabel) {
    Markup m;
    m.counters.button = 7;
    m.AppendSpacer(" ", "OnGetVisibleEdit");
    m.AppendSpacer("", "");
    EXPECT_EQ(Text(m), R"(<button id="sep008" label=" " getVisible = "OnGetVisibleEdit" enabled="false"/>)"
                       R"(<button id="sep009" label="" enabled="false"/>)");
}

TEST(Writers, PlaceholdersAndSpacersShareOneCounter) {
    Markup m;
    m.AppendControl("", "", "", "", "");
    m.AppendSpacer("", "");
    m.AppendIconControl("", "", "", "", "");
    EXPECT_EQ(Text(m), R"(<button id="sep001"/><button id="sep002" label="" enabled="false"/>)"
                       R"(<button id="sep003" showLabel="false"/>)");
}

TEST(Writers, MenusAndDynamicMenusShareOneCounter) {
    Markup m;
    m.barMode = kBarInAllMenu;
    m.OpenMenu("All", "", "", "");
    m.AppendDynamicMenu("View", "View", "", "");
    m.OpenMenu("", "Img", "Tip", "Vis");
    EXPECT_EQ(Text(m), R"(<menu id="BR32341" label="All" tag = "BR32341">)"
                       R"(<dynamicMenu id="DynaView2" label="View" getContent = "OnGetContentView")"
                       R"( getVisible = "OnGetVisibleView" invalidateContentOnDrop = "true"/>)"
                       R"(<menu id="BR32343" imageMso="Img" screentip="Tip" getVisible = "Vis" tag = "BR32343">)");
    EXPECT_EQ(m.counters.button, 0);  // no spacer in the copy inside "All"
}

TEST(Writers, OnTheTabDynamicAndTopMenusAreFollowedByAGap) {
    Markup m;
    m.barMode = kBarOnTab;
    m.counters.menu = 2;
    m.AppendDynamicMenu("Edit", "Edit", "", "");
    m.CloseMenu(true);
    m.CloseMenu(false);
    EXPECT_EQ(Text(m), R"(<dynamicMenu id="DynaEdit3" label="Edit" getContent = "OnGetContentEdit")"
                       R"( getVisible = "OnGetVisibleEdit" invalidateContentOnDrop = "true"/>)"
                       R"(<button id="sep001" label=" " getVisible = "OnGetVisibleEdit" enabled="false"/>)"
                       R"(</menu><button id="sep002" label=" " enabled="false"/></menu>)");

    m.xml.clear();
    m.barMode = 7;  // any mode but 1 behaves as the copy inside "All"
    m.CloseMenu(true);
    m.AppendDynamicMenu("Query", "Query", "", "");
    EXPECT_EQ(m.counters.button, 2);
}

TEST(Writers, DynamicMenuCallbackNameTakesTheScreentip) {
    Markup m;
    m.barMode = kBarOnTab;
    m.AppendDynamicMenu("Edit", "Bearbeiten", "", "X");  // the key names it, the label only shows
    EXPECT_NE(Text(m).find(R"(<dynamicMenu id="DynaEdit1" label="Bearbeiten" screentip="X" getContent = "OnGetContentEdit")"
                           R"( getVisible = "OnGetVisibleEditX")"),
              std::string::npos);
    EXPECT_NE(Text(m).find(R"(getVisible = "OnGetVisibleEditX" enabled="false")"), std::string::npos);
}

// A KeyTip follows the label; an empty one writes nothing, and nothing else moves for it.
TEST(Writers, MenusCarryTheirKeyTipAfterTheLabel) {
    Markup m;
    m.barMode = kBarOnTab;
    m.OpenMenu("File", "", "", "", "F");
    m.OpenMenu("", "Img", "Tip", "Vis", "K");
    m.OpenMenu("Import", "", "", "", "");
    m.AppendDynamicMenu("Edit", "Bearbeiten", "", "", "B");
    EXPECT_EQ(Text(m), R"(<menu id="BR32341" label="File" keytip="F" tag = "BR32341">)"
                       R"(<menu id="BR32342" keytip="K" imageMso="Img" screentip="Tip" getVisible = "Vis")"
                       R"( tag = "BR32342">)"
                       R"(<menu id="BR32343" label="Import" tag = "BR32343">)"
                       R"(<dynamicMenu id="DynaEdit4" label="Bearbeiten" keytip="B" getContent = "OnGetContentEdit")"
                       R"( getVisible = "OnGetVisibleEdit" invalidateContentOnDrop = "true"/>)"
                       R"(<button id="sep001" label=" " getVisible = "OnGetVisibleEdit" enabled="false"/>)");
}

TEST(Writers, LabelsGoInUnchanged) {
    Markup m;
    m.AppendControl("PageSetupDialog", "Page Setup…", "", "", "");
    EXPECT_EQ(Text(m), "<control idMso=\"PageSetupDialog\" label=\"Page Setup\xE2\x80\xA6\"/>");
}

TEST(Writers, ACounterNeverWrapsAndStaysWhereItWas) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    Markup m;
    m.counters = {kMax, kMax, kMax, kMax};
    m.counters.button = kMax - 1;
    m.AppendSpacer(" ", "");
    EXPECT_EQ(Text(m), R"(<button id="sep002147483647" label=" " enabled="false"/>)");
    const std::string before = Text(m);
    auto expectOverflow = [&](auto&& write) {
        try {
            write();
            ADD_FAILURE() << "no overflow";
        } catch (const kestrel::Error& e) {
            EXPECT_EQ(e.code(), kestrel::kOverflow);
        }
        EXPECT_EQ(m.counters, (Counters{kMax, kMax, kMax, kMax}));
    };
    expectOverflow([&] { m.AppendSpacer(" ", ""); });
    expectOverflow([&] { m.AppendControl("", "", "", "", ""); });
    expectOverflow([&] { m.OpenButtonGroup(""); });
    expectOverflow([&] { m.AppendMenuSeparator(); });
    expectOverflow([&] { m.OpenMenu("M", "", "", ""); });
    expectOverflow([&] { m.AppendDynamicMenu("Edit", "Edit", "", ""); });
    EXPECT_EQ(Text(m), before);  // every writer checks before it writes
}

}  // namespace
}  // namespace pellwyn
