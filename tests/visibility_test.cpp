// The getVisible rules: their answers in every context, and the questions they put to Access.
#include "error.h"
#include "fakes.h"
#include "visibility.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pellwyn {
namespace {

using testing::FakeHost;

struct Context {
    const char* name;
    std::int32_t type;
    bool design, datasheet;
    // FormOrReport, Table0, Query0, Text, Datasheet
    bool formOrReport, table0, query0, text, datasheetRule;
};

class ViewRules : public ::testing::TestWithParam<Context> {};

TEST_P(ViewRules, FollowTheObjectAndTheView) {
    const Context& c = GetParam();
    FakeHost host;
    host.objectType = c.type;
    host.design = c.design;
    host.datasheet = c.datasheet;
    EXPECT_EQ(VisibleFormOrReport(host), c.formOrReport);
    EXPECT_EQ(VisibleTable0(host), c.table0);
    EXPECT_EQ(VisibleQuery0(host), c.query0);
    EXPECT_EQ(VisibleText(host), c.text);
    EXPECT_EQ(VisibleDatasheet(host), c.datasheetRule);
}

INSTANTIATE_TEST_SUITE_P(
    Contexts, ViewRules,
    ::testing::Values(
        //       name                 type design sheet  F/R    tbl0   qry0   text   sheet
        Context{"FormDesign",         2, true,  false, true,  false, false, true,  false},
        Context{"FormDesignSheet",    2, true,  true,  true,  false, false, true,  true},
        Context{"FormView",           2, false, false, false, false, false, false, false},
        Context{"FormDatasheet",      2, false, true,  false, false, false, true,  true},
        Context{"ReportDesign",       3, true,  false, true,  false, false, true,  false},
        Context{"TableDatasheet",     0, false, true,  false, false, false, true,  true},
        Context{"TableDesign",        0, true,  false, false, true,  false, false, false},
        Context{"QueryDesign",        1, true,  false, false, false, true,  false, false},
        Context{"QueryDatasheet",     1, false, true,  false, false, false, true,  true},
        Context{"MacroDesign",        4, true,  false, false, false, false, false, false},
        Context{"NothingCurrent",    -1, false, false, false, false, false, false, false},
        Context{"NothingButSheet",   -1, false, true,  false, false, false, true,  true},
        Context{"OtherKindDesign",    6, true,  false, false, false, false, false, false}),
    [](const ::testing::TestParamInfo<Context>& i) { return std::string(i.param.name); });

TEST(MenuRules, FollowTheObjectType) {
    // Edit, View, Insert, Format, Query, Records for object types -1 to 7.
    const std::vector<std::vector<bool>> expected = {
        /* -1 */ {true, true, false, false, false, false},
        /*  0 */ {true, true, true, true, false, true},
        /*  1 */ {true, true, true, false, true, true},
        /*  2 */ {true, true, true, true, false, false},
        /*  3 */ {true, true, true, true, false, false},
        /*  4 */ {true, true, true, false, false, false},
        /*  5 */ {true, true, true, false, false, false},
        /*  6 */ {true, true, false, false, false, false},
        /*  7 */ {true, true, false, false, false, false},
    };
    for (std::int32_t type = -1; type <= 7; ++type) {
        FakeHost host;
        host.objectType = type;
        host.design = host.datasheet = true;  // views do not matter to the menus
        const std::vector<bool> got = {VisibleEdit(host),   VisibleView(host),  VisibleInsert(host),
                                       VisibleFormat(host), VisibleQuery(host), VisibleRecords(host)};
        EXPECT_EQ(got, expected[static_cast<std::size_t>(type + 1)]) << "object type " << type;
    }
}

// Access is asked the same questions in the same order whatever it answers, and a refusal at
// any of them fails the rule rather than turning into False.
TEST(Rules, AskEveryQuestionInOrderAndFailWhenRefused) {
    using Q = std::vector<std::string>;
    const Q t = {"type"};
    const Q design = {"pressed:ViewsDesignView"};
    const Q sheet = {"pressed:ViewsDatasheetView"};
    auto cat = [](std::initializer_list<Q> parts) {
        Q all;
        for (const Q& p : parts) all.insert(all.end(), p.begin(), p.end());
        return all;
    };
    const std::vector<std::pair<std::string, Q>> expected = {
        {"OnGetVisibleFormOrReport", cat({t, t, design})},
        {"OnGetVisibleTable0", cat({t, design})},
        {"OnGetVisibleQuery0", cat({t, design})},
        {"OnGetVisibleText", cat({t, t, design, sheet})},
        {"OnGetVisibleDatasheet", sheet},
        {"OnGetVisibleEdit", t},
        {"OnGetVisibleView", t},
        {"OnGetVisibleInsert", t},
        {"OnGetVisibleFormat", t},
        {"OnGetVisibleQuery", t},
        {"OnGetVisibleRecords", t},
    };
    ASSERT_EQ(VisibilityRules().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const VisibilityRule& rule = VisibilityRules()[i];
        EXPECT_EQ(rule.callback, expected[i].first);
        // Answers that would let a short-circuit skip a question: nothing is current and no view
        // is pressed, then a form in Design view and Datasheet view.
        for (bool busy : {false, true}) {
            FakeHost host;
            host.objectType = busy ? kAcForm : -1;
            host.design = host.datasheet = busy;
            rule.visible(host);
            EXPECT_EQ(host.queries, expected[i].second) << rule.callback;
        }
        for (std::size_t failAt = 1; failAt <= expected[i].second.size(); ++failAt) {
            FakeHost host;
            host.failAtQuery = static_cast<int>(failAt);
            EXPECT_THROW(rule.visible(host), kestrel::Error) << rule.callback << " refused at question " << failAt;
            EXPECT_EQ(host.queries.size(), failAt) << "no question after the refusal";
        }
    }
}

TEST(Rules, AreFoundByNameWithoutRegardToCase) {
    ASSERT_NE(FindVisibilityRule("ongetvisibleformorreport"), nullptr);
    EXPECT_EQ(FindVisibilityRule("ongetvisibleformorreport")->visible, &VisibleFormOrReport);
    EXPECT_EQ(FindVisibilityRule("OnGetVisibleTools"), nullptr);
}

}  // namespace
}  // namespace pellwyn
