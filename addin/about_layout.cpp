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

// The window converts each control's position and size to pixels separately: a width of
// TwipsFor(0, n) twips is n pixels wherever the control stands.
AboutLayout LayOutAbout(const AboutNeeds& needs) {
    constexpr int kGap = 105;     // between "Website: " and the link when they move apart
    constexpr int kMargin = 150;  // right of the link and the version, as right of OK
    AboutLayout l = DesignedAboutLayout();
    const auto fit = [dpi = needs.dpi](int& width, int pixels) { width = std::max(width, TwipsFor(0, pixels, dpi)); };
    fit(l.version.width, needs.version);
    fit(l.website.width, needs.website);
    l.link.left = std::max(l.link.left, l.website.right() + kGap);
    fit(l.link.width, needs.link);
    // OK keeps its distance from the right edge and grows to the left.
    const int okMargin = kDesignWidth - l.ok.right();
    fit(l.ok.width, needs.ok);
    l.clientWidth = std::max({l.clientWidth, l.link.right() + kMargin, l.version.right() + kMargin,
                              kMargin + l.ok.width + okMargin});
    l.ok.left = l.clientWidth - okMargin - l.ok.width;
    const int grown = l.clientWidth - kDesignWidth;
    l.lineEnd += grown;
    l.title.left += grown / 2;  // still centred
    return l;
}

}  // namespace pellwyn
