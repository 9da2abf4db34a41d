#include "error.h"
#include "error_report.h"
#include "layout.h"
#include "pointer_rule.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace kestrel {
namespace {

TEST(ErrorReport, HasItsFourLines) {
    EXPECT_EQ(ErrorReportText("Type mismatch", "in Dunmarro2016/06/15.Form1.Form_Initialize ", 114),
              "Type mismatch\r\nin Dunmarro2016/06/15.Form1.Form_Initialize at line 114\r\r"
              "Please email screenshot of this message to support@kestrelby.example");
}

TEST(ErrorReport, AFailingStepIsReportedAndTheNextOneRuns) {
    std::vector<std::string> reports;
    const ErrorReporter report = [&](const std::string& text) { reports.push_back(text); };
    std::vector<int> ran;
    EXPECT_TRUE(RunStep(report, "in X ", 100, [&] { ran.push_back(100); }));
    EXPECT_FALSE(RunStep(report, "in X ", 102, [&]() -> void { throw Error(kTypeMismatch, "bad number"); }));
    EXPECT_FALSE(RunStep(report, "in X ", 104, [&]() -> void { throw 42; }));
    EXPECT_TRUE(RunStep(report, "in X ", 106, [&] { ran.push_back(106); }));
    EXPECT_EQ(ran, (std::vector<int>{100, 106}));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].substr(0, 25), "bad number\r\nin X at line ");
    EXPECT_NE(reports[0].find("at line 102\r\r"), std::string::npos);
    EXPECT_NE(reports[1].find("at line 104"), std::string::npos);
    // A reporter that fails itself does not break the sequence.
    EXPECT_FALSE(RunStep([](const std::string&) { throw std::runtime_error("no box"); }, "in X ", 108,
                         []() -> void { throw Error(kOverflow, "x"); }));
}

TEST(Layout, TwipsBecomePixelsAtTheScreensDpi) {
    EXPECT_EQ(TwipsToPixels(8040, 96), 536);  // 15 twips a pixel
    EXPECT_EQ(TwipsToPixels(4230, 96), 282);
    EXPECT_EQ(TwipsToPixels(8040, 120), 670);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);
    EXPECT_EQ(TwipsToPixels(8, 96), 1);
    EXPECT_EQ(TwipsToPixels(1440, 144), 144);
}

TEST(PointerRule, TheHourglassStaysExceptOverTheLink) {
    EXPECT_EQ(OverClickable(PointerKind::Default), PointerKind::Custom);
    EXPECT_EQ(OverBackground(PointerKind::Custom), PointerKind::Default);
    EXPECT_EQ(OverClickable(PointerKind::Hourglass), PointerKind::Hourglass);
    EXPECT_EQ(OverBackground(PointerKind::Hourglass), PointerKind::Hourglass);
    EXPECT_EQ(OverLink(PointerKind::Hourglass), PointerKind::Custom);
}

}  // namespace
}  // namespace kestrel
