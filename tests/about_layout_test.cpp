// The About window's layout: the design while every caption fits, and otherwise room for each
// caption, inside the window and clear of each other, at 100 %, 125 % and 150 %.
#include "about_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace pellwyn {
namespace {

using kestrel::TwipsRect;
using kestrel::TwipsToPixels;

// The About window converts a control's width to pixels on its own.
int PixelWidth(const TwipsRect& r, int dpi) { return TwipsToPixels(r.width, dpi); }

TEST(AboutLayout, CaptionsThatFitKeepTheDesignAndLongerOnesGetRoom) {
    const AboutLayout d = DesignedAboutLayout();
    struct Case {
        const char* what;
        int version, website, link, ok;  // pixels at 96 DPI
        bool wider;
    };
    const Case cases[] = {
        {"the design's own room", 0, 0, 0, 0, false},
        {"a longer version", 95, 53, 130, 30, false},
        {"a longer website label", 75, 121, 130, 30, false},
        {"a website label past the link", 75, 300, 130, 30, true},
        {"a long button", 75, 53, 130, 200, false},
        {"a button wider than the window", 75, 53, 130, 420, true},
    };
    for (const int dpi : {96, 120, 144}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(dpi));
            const auto scaled = [dpi](int pixels) { return pixels * dpi / 96; };
            AboutNeeds n{dpi, scaled(c.version), scaled(c.website), scaled(c.link), scaled(c.ok)};
            if (c.version == 0)  // every caption fills its designed control to the last pixel
                n = {dpi, PixelWidth(d.version, dpi), PixelWidth(d.website, dpi), PixelWidth(d.link, dpi),
                     PixelWidth(d.ok, dpi)};
            const AboutLayout l = LayOutAbout(n);
            EXPECT_GE(PixelWidth(l.version, dpi), n.version);
            EXPECT_GE(PixelWidth(l.website, dpi), n.website);
            EXPECT_GE(PixelWidth(l.link, dpi), n.link);
            EXPECT_GE(PixelWidth(l.ok, dpi), n.ok);
            EXPECT_GT(l.link.left, l.website.right());
            EXPECT_EQ(l.clientWidth > d.clientWidth, c.wider);
            EXPECT_EQ(l.clientHeight, d.clientHeight);
            EXPECT_EQ(l.clientWidth - l.ok.right(), 150) << "OK keeps its place at the right";
            EXPECT_GE(l.ok.left, 150);
            EXPECT_LE(l.link.right(), l.clientWidth - 150);
            EXPECT_LE(l.version.right(), l.clientWidth - 150);
            EXPECT_EQ(l.clientWidth - l.lineEnd, d.clientWidth - d.lineEnd);
            const auto offCentre = [](const AboutLayout& a) {
                return a.title.left + a.title.width / 2 - a.clientWidth / 2;
            };
            EXPECT_EQ(offCentre(l), offCentre(d)) << "the title stays centred";
            if (c.version == 0) {
                EXPECT_EQ(l.version, d.version);
                EXPECT_EQ(l.website, d.website);
                EXPECT_EQ(l.link, d.link);
                EXPECT_EQ(l.ok, d.ok);
                EXPECT_EQ(l.lineEnd, d.lineEnd);
            }
        }
    }
}

}  // namespace
}  // namespace pellwyn
