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

// The title and the fixed words follow the window's language; Windows' description and the
// procedure's location stay as they come. Any English, and a language we do not ship, read English.
TEST(ErrorReport, SpeaksTheWindowsLanguage) {
    struct Case {
        std::uint16_t langId;
        std::string_view title, text;
    };
    const Case cases[] = {
        {0x0409, "Application Error",
         "Type mismatch\r\nin X at line 114\r\rPlease email screenshot of this message to support@kestrelby.example"},
        {0x0809, "Application Error",
         "Type mismatch\r\nin X at line 114\r\rPlease email screenshot of this message to support@kestrelby.example"},
        {0x0436, "Application Error",  // Afrikaans: not shipped
         "Type mismatch\r\nin X at line 114\r\rPlease email screenshot of this message to support@kestrelby.example"},
        {0x0C07, "Anwendungsfehler",  // German of Austria
         "Type mismatch\r\nin X in Zeile 114\r\r"
         "Bitte senden Sie einen Screenshot dieser Meldung per E-Mail an support@kestrelby.example"},
        {0x0411, "アプリケーション エラー",
         "Type mismatch\r\nin X 114 行目\r\r"
         "このメッセージのスクリーンショットを support@kestrelby.example にメールで送信してください。"},
    };
    for (const Case& c : cases) {
        const Language language = Language::FromLangId(c.langId);
        EXPECT_EQ(ErrorReportTitle(language), c.title) << c.langId;
        EXPECT_EQ(ErrorReportText("Type mismatch", "in X ", 114, language), c.text) << c.langId;
    }
    std::vector<std::string> reports;
    EXPECT_FALSE(RunStep(Language::FromLangId(0x0407), [&](const std::string& text) { reports.push_back(text); },
                         "in X ", 102, []() -> void { throw Error(kTypeMismatch, "bad number"); }));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].rfind("bad number\r\nin X in Zeile 102\r\rBitte senden", 0), 0u) << reports[0];
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
    // The fewest twips that make so many pixels from an edge, however that edge rounds.
    EXPECT_EQ(TwipsFor(0, 1, 96), 8);
    EXPECT_EQ(TwipsFor(120, 100, 96), 1493);  // pixels 8 to 108; 1492 twips would end at 107
    EXPECT_EQ(TwipsToPixels(120 + 1493, 96) - TwipsToPixels(120, 96), 100);
    EXPECT_EQ(TwipsToPixels(120 + 1492, 96) - TwipsToPixels(120, 96), 99);
    EXPECT_EQ(TwipsFor(590, 0, 144), 0);
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
