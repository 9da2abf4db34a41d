// The options window's layout: the design while every caption fits, and otherwise room for each
// caption with nothing overlapping, at 100 %, 125 % and 150 %.
#include "option_rules.h"
#include "options_form.h"
#include "options_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace menuvane {
namespace {

using kestrel::TwipsRect;
using kestrel::TwipsToPixels;

constexpr int kTabBoxes[] = {kHomeBox, kCreateBox, kExternalDataBox, kDatabaseToolsBox};
constexpr int kAllBoxes[] = {kClassicBox, kLeftBox, kAllBox, kHomeBox, kCreateBox, kExternalDataBox, kDatabaseToolsBox,
                             kHideTabsBox};

const TwipsRect& Box(const OptionsLayout& l, int box) { return l.boxes[static_cast<std::size_t>(box)]; }
int& Need(OptionsNeeds& n, int box) { return n.boxes[static_cast<std::size_t>(box)]; }

// Pixels a control gets at `dpi`, its edges converted one by one as the window converts them.
int PixelWidth(const TwipsRect& r, int offset, int dpi) {
    return TwipsToPixels(offset + r.right(), dpi) - TwipsToPixels(offset + r.left, dpi);
}
int PixelHeight(const TwipsRect& r, int offset, int dpi) {
    return TwipsToPixels(offset + r.bottom(), dpi) - TwipsToPixels(offset + r.top, dpi);
}
bool Overlap(const TwipsRect& a, const TwipsRect& b) {
    return a.left < b.right() && b.left < a.right() && a.top < b.bottom() && b.top < a.bottom();
}
bool Inside(const TwipsRect& inner, int width, int height) {
    return inner.left >= 0 && inner.top >= 0 && inner.right() <= width && inner.bottom() <= height;
}

// What every layout must hold for the needs it was made for.
void ExpectRoomForEveryCaption(const OptionsNeeds& n, const OptionsLayout& l) {
    const int dpi = n.dpi, fx = l.frame.left, fy = l.frame.top;
    for (const int b : kAllBoxes) {
        SCOPED_TRACE("box " + std::to_string(b));
        EXPECT_GE(PixelWidth(Box(l, b), fx, dpi), n.boxes[static_cast<std::size_t>(b)]);
        EXPECT_TRUE(Inside(Box(l, b), l.frame.width, l.frame.height));
    }
    const TwipsRect buttons[] = {l.help, l.ok, l.cancel};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("button " + std::to_string(i));
        EXPECT_GE(PixelWidth(buttons[i], 0, dpi), n.buttons[static_cast<std::size_t>(i)]);
        EXPECT_TRUE(Inside(buttons[i], l.clientWidth, l.clientHeight));
    }
    EXPECT_GE(PixelWidth(l.frame, 0, dpi), n.frameCaption);
    EXPECT_TRUE(Inside(l.frame, l.clientWidth, l.clientHeight));
    EXPECT_GE(PixelWidth(l.note, fx, dpi), n.noteWidth);
    EXPECT_GE(PixelHeight(l.note, fy, dpi), n.noteHeight);
    EXPECT_GE(PixelWidth(l.note, fx, dpi), NoteWrapWidth(dpi)) << "narrower than the note was measured at";
    EXPECT_TRUE(Inside(l.note, l.frame.width, l.frame.height));
    EXPECT_TRUE(Inside(l.shape, l.frame.width, l.frame.height));
    EXPECT_GE(l.text1.top, l.clientHeight) << "Text1 stays out of sight";

    // The tab boxes inside the rectangle, apart from each other and from the note; box 11 on
    // its top edge; OK and Cancel side by side, as wide as each other, under the frame.
    for (const int b : kTabBoxes) {
        const TwipsRect& r = Box(l, b);
        EXPECT_TRUE(r.left > l.shape.left && r.right() < l.shape.right() && r.top > l.shape.top &&
                    r.bottom() < l.shape.bottom())
            << "box " << b;
        EXPECT_FALSE(Overlap(r, l.note)) << "box " << b;
        for (const int other : kTabBoxes)
            if (other != b) {
                EXPECT_FALSE(Overlap(r, Box(l, other))) << b << " and " << other;
            }
    }
    EXPECT_LT(Box(l, kHideTabsBox).right(), l.shape.right());
    EXPECT_FALSE(Overlap(l.note, l.shape));
    EXPECT_FALSE(Overlap(l.note, Box(l, kHideTabsBox)));
    EXPECT_LT(l.ok.right(), l.cancel.left);
    EXPECT_NEAR(l.ok.width, l.cancel.width, 1);
    EXPECT_EQ(l.ok.top, l.frame.bottom() + 115);
    EXPECT_EQ(l.help.width, l.frame.width);
}

// Needs that fill the designed controls to their last pixel.
OptionsNeeds Filling(int dpi) {
    const OptionsLayout d = DesignedOptionsLayout();
    OptionsNeeds n;
    n.dpi = dpi;
    for (const int b : kAllBoxes) Need(n, b) = PixelWidth(Box(d, b), d.frame.left, dpi);
    n.buttons = {PixelWidth(d.help, 0, dpi), PixelWidth(d.ok, 0, dpi), PixelWidth(d.cancel, 0, dpi)};
    n.frameCaption = PixelWidth(d.frame, 0, dpi);
    n.noteWidth = PixelWidth(d.note, d.frame.left, dpi);
    n.noteHeight = PixelHeight(d.note, d.frame.top, dpi);
    return n;
}

TEST(OptionsLayout, CaptionsThatFitKeepTheDesign) {
    const OptionsLayout d = DesignedOptionsLayout();
    EXPECT_EQ(d.clientWidth, 8040);
    EXPECT_EQ(d.clientHeight, 4230);
    for (const int dpi : {96, 120, 144, 192}) {
        SCOPED_TRACE(dpi);
        const OptionsNeeds filling = Filling(dpi);
        for (const OptionsNeeds& n : {OptionsNeeds{dpi}, filling}) {
            const OptionsLayout l = LayOutOptions(n);
            EXPECT_EQ(l.clientWidth, d.clientWidth);
            EXPECT_EQ(l.clientHeight, d.clientHeight);
            for (const auto& [got, designed] : {std::pair{l.help, d.help}, {l.frame, d.frame}, {l.ok, d.ok},
                                                {l.cancel, d.cancel}, {l.text1, d.text1}, {l.shape, d.shape},
                                                {l.note, d.note}})
                EXPECT_EQ(got, designed);
            EXPECT_EQ(l.boxes, d.boxes);
        }
        ExpectRoomForEveryCaption(filling, LayOutOptions(filling));
    }
}

// Longer captions, as translations bring them, at each scale: the second column moves right
// of the first, the rectangle and the note follow, the frame and the window grow to hold them,
// and a note that wraps to more lines makes the frame taller.
TEST(OptionsLayout, LongerCaptionsGetRoomWithNothingOverlapping) {
    struct Case {
        const char* what;
        int home, create, externalData, databaseTools, hideTabs, classic, note, ok;
        bool wider, taller;
    };
    const Case cases[] = {
        {"a long first column", 110, 50, 90, 110, 120, 300, 28, 40, true, false},
        {"both columns long", 120, 60, 120, 210, 200, 330, 28, 60, true, false},
        {"a long group title", 60, 50, 90, 100, 330, 300, 28, 60, true, false},
        {"a long first box", 60, 50, 90, 100, 120, 520, 28, 60, true, false},
        {"a tall note", 60, 50, 90, 100, 120, 300, 120, 60, false, true},
        {"long buttons", 60, 50, 90, 100, 120, 300, 28, 400, true, false},
    };
    for (const int dpi : {96, 120, 144}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(dpi));
            OptionsNeeds n;
            n.dpi = dpi;
            const auto scaled = [dpi](int pixels) { return pixels * dpi / 96; };
            Need(n, kHomeBox) = scaled(c.home);
            Need(n, kCreateBox) = scaled(c.create);
            Need(n, kExternalDataBox) = scaled(c.externalData);
            Need(n, kDatabaseToolsBox) = scaled(c.databaseTools);
            Need(n, kHideTabsBox) = scaled(c.hideTabs);
            Need(n, kClassicBox) = scaled(c.classic);
            Need(n, kLeftBox) = scaled(250);
            Need(n, kAllBox) = scaled(220);
            n.buttons = {scaled(60), scaled(c.ok), scaled(c.ok)};
            n.frameCaption = scaled(120);
            n.noteWidth = scaled(180);
            n.noteHeight = scaled(c.note);
            const OptionsLayout l = LayOutOptions(n), d = DesignedOptionsLayout();
            ExpectRoomForEveryCaption(n, l);
            EXPECT_EQ(l.clientWidth > d.clientWidth, c.wider);
            EXPECT_EQ(l.clientHeight > d.clientHeight, c.taller);
            EXPECT_EQ(l.clientWidth - l.frame.width, 240) << "the frame keeps its margins";
        }
    }
}

}  // namespace
}  // namespace menuvane
