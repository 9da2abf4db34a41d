// The getVisible rules: their answers in every context, and the questions they put to Access;
// and the refresh's decision when to have Access ask them again.
#include "context_watch.h"
#include "error.h"
#include "fakes.h"
#include "visibility.h"

#include <gtest/gtest.h>

#include <optional>
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

// ---- the refresh's decision ------------------------------------------------------------------

// One step of a watch: a check that reads a context ("2dD": type 2, Design pressed, Datasheet
// not; "0sS": type 0, Datasheet pressed; "-1ds": nothing current), a check whose reads fail
// ("fail"), a new ribbon ("load"), or Access refusing the invalidation just asked for
// ("refused"). For a check, whether it invalidates.
struct Step {
    std::string what;
    bool invalidates = false;
};

std::optional<ViewContext> Reading(const std::string& what) {
    if (what == "fail") return std::nullopt;
    const std::size_t views = what.size() - 2;
    return ViewContext{std::stoi(what.substr(0, views)), what[views] == 'D', what[views + 1] == 'S'};
}

struct WatchCase {
    const char* name;
    std::vector<Step> steps;
};

void PrintTo(const WatchCase& c, std::ostream* os) { *os << c.name; }  // not its bytes, in CTest's names

class Watch : public ::testing::TestWithParam<WatchCase> {};

TEST_P(Watch, InvalidatesOnlyForAChangeOrAfterAFailedRead) {
    ContextWatch watch;
    int n = 0;
    for (const Step& s : GetParam().steps) {
        ++n;
        if (s.what == "load") {
            watch.Restart();
        } else if (s.what == "refused") {
            watch.InvalidationFailed();
        } else {
            EXPECT_EQ(watch.Check(Reading(s.what)), s.invalidates) << "step " << n << ": " << s.what;
        }
    }
}

const Step kLoad{"load"};
const Step kFail{"fail"};
const Step kRefused{"refused"};
Step Quiet(const char* c) { return {c, false}; }
Step Redraw(const char* c) { return {c, true}; }

INSTANTIATE_TEST_SUITE_P(
    Sequences, Watch,
    ::testing::Values(
        WatchCase{"IdleNeverInvalidates", {kLoad, Quiet("0sS"), Quiet("0sS"), Quiet("0sS"), Quiet("0sS")}},
        WatchCase{"TheFirstReadingIsTheBaseline", {kLoad, Quiet("2Ds")}},
        WatchCase{"EachOfTheThreeReadings",
                  {kLoad, Quiet("2ds"), Redraw("2Ds"), Quiet("2Ds"), Redraw("2DS"), Redraw("3DS"), Quiet("3DS")}},
        WatchCase{"BackAndForth", {kLoad, Quiet("2Ds"), Redraw("2ds"), Redraw("2Ds"), Redraw("2ds")}},
        WatchCase{"ABurstOfChangesEachDiffering",
                  {kLoad, Quiet("-1ds"), Redraw("0sS"), Redraw("0Ds"), Redraw("1Ds"), Redraw("1dS"), Quiet("1dS")}},
        WatchCase{"NothingCurrentAndOtherKinds", {kLoad, Quiet("-1ds"), Redraw("6ds"), Redraw("-1ds"), Quiet("-1ds")}},
        WatchCase{"AFailedReadInvalidatesOnceWhenReadsSucceedAgain",
                  {kLoad, Quiet("2Ds"), kFail, Redraw("2Ds"), Quiet("2Ds"), Quiet("2Ds")}},
        WatchCase{"FailuresInARowStillOnce",
                  {kLoad, Quiet("0sS"), kFail, kFail, kFail, Redraw("0sS"), Quiet("0sS")}},
        WatchCase{"AChangeBehindAFailureOnce", {kLoad, Quiet("0sS"), kFail, Redraw("2Ds"), Quiet("2Ds")}},
        WatchCase{"FailuresBetweenChanges",
                  {kLoad, Quiet("1Ds"), kFail, Redraw("1dS"), kFail, kFail, Redraw("1dS"), Redraw("0dS"), kFail,
                   Redraw("0dS"), Quiet("0dS")}},
        WatchCase{"AFailureBeforeTheBaselineInvalidates", {kLoad, kFail, Redraw("2Ds"), Quiet("2Ds")}},
        WatchCase{"ANewRibbonTakesANewBaseline", {kLoad, Quiet("2Ds"), kLoad, Quiet("0sS"), Quiet("0sS"), Redraw("1Ds")}},
        WatchCase{"ANewRibbonForgetsAFailure", {kLoad, Quiet("2Ds"), kFail, kLoad, Quiet("2Ds"), Quiet("2Ds")}},
        WatchCase{"ARefusedInvalidationIsAskedForAgain",
                  {kLoad, Quiet("0sS"), Redraw("2Ds"), kRefused, Redraw("2Ds"), Quiet("2Ds")}},
        WatchCase{"ARefusedInvalidationThenAFailedRead",
                  {kLoad, Quiet("0sS"), Redraw("2Ds"), kRefused, kFail, Redraw("2Ds"), Quiet("2Ds")}}),
    [](const ::testing::TestParamInfo<WatchCase>& i) { return std::string(i.param.name); });

// The refresh asks what the rules ask, in their order, and a refusal at any question fails the
// reading rather than giving a default.
TEST(Watch, ReadsTheTypeAndBothViewButtons) {
    FakeHost host;
    host.objectType = kAcReport;
    host.design = false;
    host.datasheet = true;
    EXPECT_EQ(ReadViewContext(host), (ViewContext{kAcReport, false, true}));
    const std::vector<std::string> asked = {"type", "pressed:ViewsDesignView", "pressed:ViewsDatasheetView"};
    EXPECT_EQ(host.queries, asked);
    for (int failAt = 1; failAt <= 3; ++failAt) {
        FakeHost refusing;
        refusing.failAtQuery = failAt;
        EXPECT_THROW(ReadViewContext(refusing), kestrel::Error) << "refused at question " << failAt;
        EXPECT_EQ(refusing.queries.size(), static_cast<std::size_t>(failAt));
    }
}

}  // namespace
}  // namespace pellwyn
