// Where the About window's labels and its button go. The design is in twips and holds for
// English; a caption that needs more room (a longer translation, a larger screen scale) widens
// its control: the version label to the right, "Website: " to the right with the link moving
// along, OK to the left from its right edge, and the window where the link would leave it.
// A caption that fits changes nothing, so English keeps the design.
#pragma once

#include "layout.h"

namespace pellwyn {

// What each caption needs, in pixels at the screen's DPI (for OK, with the button's edges).
struct AboutNeeds {
    int dpi = 96;
    int version = 0, website = 0, link = 0, ok = 0;
};

struct AboutLayout {
    int clientWidth, clientHeight;  // twips
    kestrel::TwipsRect title, version, website, link, ok;
    int lineEnd;  // where the etched separator ends
};

AboutLayout DesignedAboutLayout();
AboutLayout LayOutAbout(const AboutNeeds& needs);

}  // namespace pellwyn
