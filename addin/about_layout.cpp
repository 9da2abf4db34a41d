#include "about_layout.h"

#include <algorithm>

namespace pellwyn {

using kestrel::TwipsFor;

namespace {
constexpr int kDesignWidth = 5790;
}  // namespace

AboutLayout DesignedAboutLayout() {
    return AboutLayout{kDesignWidth, 3555, {930, 240, 4245, 600}, {1050, 1440, 1125, 225}, {255, 2640, 795, 225},
                       {1800, 2640, 2055, 225}, {4200, 3000, 1440, 405}, 5654};
}

AboutLayout LayOutAbout(const AboutNeeds& needs) {
    constexpr int kGap = 105;     // between "Website: " and the link when they move apart
    constexpr int kMargin = 150;  // right of the link and the version, as right of OK
    AboutLayout l = DesignedAboutLayout();
    const int dpi = needs.dpi;
    l.version.width = std::max(l.version.width, TwipsFor(l.version.left, needs.version, dpi));
    l.website.width = std::max(l.website.width, TwipsFor(l.website.left, needs.website, dpi));
    l.link.left = std::max(l.link.left, l.website.right() + kGap);
    l.link.width = std::max(l.link.width, TwipsFor(l.link.left, needs.link, dpi));
    l.clientWidth = std::max({l.clientWidth, l.link.right() + kMargin, l.version.right() + kMargin});
    // OK keeps its distance from the right edge and grows to the left, the window with it when
    // it would pass the left margin.
    const int okRight = l.ok.right() - kDesignWidth;  // from the window's right edge
    for (;;) {
        const int right = l.clientWidth + okRight;
        const auto pixels = [&](int width) {
            return kestrel::TwipsToPixels(right, dpi) - kestrel::TwipsToPixels(right - width, dpi);
        };
        while (pixels(l.ok.width) < needs.ok) ++l.ok.width;
        l.ok.left = right - l.ok.width;
        if (l.ok.left >= kMargin) break;
        l.clientWidth += kMargin - l.ok.left;
    }
    const int grown = l.clientWidth - kDesignWidth;
    l.lineEnd += grown;
    l.title.left += grown / 2;  // still centred
    return l;
}

}  // namespace pellwyn
