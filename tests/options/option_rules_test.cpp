// The click rules of the eight boxes, driven the way a person clicks them.
#include "option_rules.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <stdexcept>

namespace menuvane {
namespace {

// States in the order of boxes 0, 1, 2, 3, 4, 5, 6, 11.
using States = std::array<int, 8>;

States Of(const Boxes& b) {
    States s{};
    for (std::size_t i = 0; i < kBoxSettings.size(); ++i) s[i] = b[kBoxSettings[i].box];
    return s;
}

Boxes AfterClicks(std::initializer_list<int> clicks) {
    Boxes b;
    for (const int i : clicks) b.Click(i);
    return b;
}

//                                 0  1  2  3  4  5  6  11
constexpr States kFirstRun      = {1, 1, 1, 0, 0, 0, 0, 0};
constexpr States kAllClear      = {0, 0, 0, 0, 0, 0, 0, 0};

TEST(ClickRules, ClassicOnFromNothingBringsLeftAndAll) {
    EXPECT_EQ(Of(AfterClicks({0})), kFirstRun);
}

TEST(ClickRules, ClearingClassicClearsEveryBoxAndCheckingItAgainBringsOnlyLeftAndAll) {
    Boxes b = AfterClicks({0, 11, 5});  // box 5 cleared again after 11 checked all four
    ASSERT_EQ(Of(b), (States{1, 0, 1, 1, 1, 0, 1, 1}));
    b.Click(0);
    EXPECT_EQ(Of(b), kAllClear);
    b.Click(0);
    EXPECT_EQ(Of(b), kFirstRun);
}

TEST(ClickRules, ClassicOnWithAnythingCheckedAddsNothing) {
    // Home checks box 0 through its own rule; box 0's rule then finds Home checked.
    EXPECT_EQ(Of(AfterClicks({3})), (States{1, 0, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(Of(AfterClicks({2})), (States{1, 0, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Of(AfterClicks({1})), (States{1, 1, 0, 0, 0, 0, 0, 0}));
}

TEST(ClickRules, HideTabsFromClearChecksAllFourClearsLeftAndChecksClassic) {
    Boxes b = AfterClicks({0});
    b.Click(11);
    EXPECT_EQ(Of(b), (States{1, 0, 1, 1, 1, 1, 1, 1}));
    // From nothing at all: Home's rule checks box 0 before Create is set, so Classic's rule
    // sees Home and adds neither Left nor All.
    EXPECT_EQ(Of(AfterClicks({11})), (States{1, 0, 0, 1, 1, 1, 1, 1}));
}

TEST(ClickRules, HideTabsWithATabBoxAlreadyCheckedChangesNothingElse) {
    Boxes b = AfterClicks({0, 6, 11});  // 6 checks 11; clearing 11 clears 6; now check 11 alone
    ASSERT_EQ(Of(b), (States{1, 1, 1, 0, 0, 0, 0, 0}));
    b.Click(3);  // Home checked (Left cleared), 11 still clear
    ASSERT_EQ(Of(b), (States{1, 0, 1, 1, 0, 0, 0, 0}));
    b.Click(11);
    EXPECT_EQ(Of(b), (States{1, 0, 1, 1, 0, 0, 0, 1}));
}

TEST(ClickRules, ClearingHideTabsClearsTheFourTabBoxesOnly) {
    Boxes b = AfterClicks({0, 11});
    b.Click(11);
    EXPECT_EQ(Of(b), (States{1, 0, 1, 0, 0, 0, 0, 0}));
}

TEST(ClickRules, HomeAndLeftExcludeEachOther) {
    Boxes b = AfterClicks({0});
    b.Click(3);
    EXPECT_EQ(Of(b), (States{1, 0, 1, 1, 0, 0, 0, 0}));
    b.Click(1);
    EXPECT_EQ(Of(b), (States{1, 1, 1, 0, 0, 0, 0, 0}));
}

TEST(ClickRules, CreateExternalDataAndDatabaseToolsCheckHideTabsButHomeDoesNot) {
    for (const int tab : {4, 5, 6}) {
        SCOPED_TRACE(tab);
        const Boxes b = AfterClicks({tab});
        EXPECT_EQ(b[tab], kChecked);
        EXPECT_EQ(b[11], kChecked);
        EXPECT_EQ(b[0], kChecked);
        EXPECT_EQ(b[1], kClear);
        EXPECT_EQ(b[3], kClear);  // box 11 was set after the tab box, so its rule found one checked
    }
    EXPECT_EQ(AfterClicks({3})[11], kClear);
}

TEST(ClickRules, ClearingADependentBoxLeavesTheOthers) {
    Boxes b = AfterClicks({0});
    b.Click(1);
    b.Click(2);
    EXPECT_EQ(Of(b), (States{1, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(ClickRules, AGrayedBoxIsNeitherCheckedNorClear) {
    Boxes b;
    b.Set(5, kGrayed);  // its rule does nothing: box 11 and box 0 stay clear
    EXPECT_EQ(Of(b), (States{0, 0, 0, 0, 0, 2, 0, 0}));
    b.Set(0, kChecked);  // box 5 is not clear, so Left and All are not added
    EXPECT_EQ(Of(b), (States{1, 0, 0, 0, 0, 2, 0, 0}));
    b.Click(11);  // the tab boxes are not all clear: nothing else
    EXPECT_EQ(Of(b), (States{1, 0, 0, 0, 0, 2, 0, 1}));
    b.Click(5);  // a click on a grayed box checks it, and its rule runs
    EXPECT_EQ(Of(b), (States{1, 0, 0, 0, 0, 1, 0, 1}));
    b.Set(0, kGrayed);
    b.Click(0);  // grayed to checked; box 0's rule adds nothing since 5 and 11 are checked
    EXPECT_EQ(Of(b), (States{1, 0, 0, 0, 0, 1, 0, 1}));
    b.Set(2, kGrayed);
    b.Click(0);  // clearing box 0 clears grayed boxes too
    EXPECT_EQ(Of(b), kAllClear);
}

// What a policy decides: no click or rule changes it, and the rules go on without that box.
TEST(ClickRules, LockedBoxesStayAsTheyAreAndTheRulesGoOnWithoutThem) {
    Boxes b;
    EXPECT_FALSE(b.AnyLocked());
    b.Lock(kClassicBox, kClear);
    b.Lock(kHomeBox, kChecked);  // no rule ran: Left stays clear
    EXPECT_TRUE(b.Locked(kClassicBox) && b.Locked(kHomeBox) && !b.Locked(kLeftBox) && b.AnyLocked());
    b.Click(kLeftBox);  // would clear Home and check Classic
    EXPECT_EQ(Of(b), (States{0, 1, 0, 1, 0, 0, 0, 0}));
    b.Click(kExternalDataBox);
    EXPECT_EQ(Of(b), (States{0, 1, 0, 1, 0, 1, 0, 1}));
    b.Click(kHideTabsBox);  // clears the tab boxes but Home
    EXPECT_EQ(Of(b), (States{0, 1, 0, 1, 0, 0, 0, 0}));
    b.Click(kClassicBox);
    b.Click(kHomeBox);
    b.Set(kHomeBox, kClear);
    EXPECT_EQ(Of(b), (States{0, 1, 0, 1, 0, 0, 0, 0}));

    Boxes c;
    c.Lock(kHideTabsBox, kClear);
    c.Click(kClassicBox);
    c.Click(kCreateBox);  // would check box 11
    EXPECT_EQ(Of(c), (States{1, 1, 1, 0, 1, 0, 0, 0}));
    EXPECT_THROW(c.Lock(kAllBox, kGrayed), std::invalid_argument);  // a policy is 0 or 1
    EXPECT_THROW(c.Lock(7, kChecked), std::out_of_range);
}

TEST(ClickRules, OnlyBoxesAndTheirStatesAreAccepted) {
    Boxes b;
    for (const int bad : {-1, 7, 8, 9, 10, 12}) {
        EXPECT_THROW(b.Set(bad, kChecked), std::out_of_range) << bad;
        EXPECT_THROW(b.Click(bad), std::out_of_range) << bad;
        EXPECT_THROW(static_cast<void>(b[bad]), std::out_of_range) << bad;
    }
    EXPECT_THROW(b.Set(0, 3), std::invalid_argument);
    EXPECT_THROW(b.Set(0, -1), std::invalid_argument);
    EXPECT_EQ(Of(b), kAllClear);
}

}  // namespace
}  // namespace menuvane
