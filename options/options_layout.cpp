#include "options_layout.h"

#include "option_rules.h"
#include "options_form.h"

#include <algorithm>

namespace menuvane {
namespace {

using kestrel::TwipsFor;
using kestrel::TwipsRect;
using kestrel::TwipsToPixels;

template <class T>
T& At(std::array<T, 12>& a, int box) {
    return a[static_cast<std::size_t>(box)];
}

// A box of the frame gets at least as many pixels as its caption needs.
void Fit(OptionsLayout& l, const OptionsNeeds& needs, int box) {
    TwipsRect& r = At(l.boxes, box);
    r.width = std::max(r.width, TwipsFor(l.frame.left + r.left, needs.boxes[static_cast<std::size_t>(box)], needs.dpi));
}

}  // namespace

OptionsLayout DesignedOptionsLayout() {
    OptionsLayout l{};
    l.clientWidth = 8040;
    l.clientHeight = 4230;
    l.help = {120, 120, 7800, 405};
    l.frame = {120, 590, 7800, 3015};
    l.ok = {120, 3720, 3840, 405};
    l.cancel = {4080, 3720, 3840, 405};
    l.text1 = {960, 4660, 975, 525};  // below the visible area
    l.boxes[kClassicBox] = {240, 240, 5295, 375};
    l.boxes[kLeftBox] = {600, 600, 3975, 375};
    l.boxes[kAllBox] = {600, 960, 3375, 375};
    l.boxes[kHideTabsBox] = {600, 1560, 1815, 375};  // on the rectangle's top edge, like a group title
    l.boxes[kHomeBox] = {840, 1920, 1095, 225};
    l.boxes[kCreateBox] = {840, 2280, 975, 225};
    l.boxes[kExternalDataBox] = {2040, 1920, 1455, 225};
    l.boxes[kDatabaseToolsBox] = {2040, 2280, 1815, 225};
    l.shape = {600, 1680, 3495, 1095};
    // Shown only when a policy decides a box: in the frame's free right-hand side, level with the
    // Home row, clear of every box.
    l.note = {4680, 1920, kNoteWidth, 585};
    return l;
}

OptionsLayout LayOutOptions(const OptionsNeeds& needs) {
    OptionsLayout l = DesignedOptionsLayout();
    const int dpi = needs.dpi;
    const auto box = [&l](int b) -> TwipsRect& { return At(l.boxes, b); };
    for (const int b : {kClassicBox, kLeftBox, kAllBox, kHideTabsBox, kHomeBox, kCreateBox}) Fit(l, needs, b);

    // The second column of tab boxes keeps its distance from the first.
    const int column2 =
        std::max(box(kExternalDataBox).left, std::max(box(kHomeBox).right(), box(kCreateBox).right()) + kColumnGap);
    for (const int b : {kExternalDataBox, kDatabaseToolsBox}) {
        box(b).left = column2;
        Fit(l, needs, b);
    }
    const int shapeRight =
        std::max({l.shape.right(), box(kExternalDataBox).right() + kInnerMargin,
                  box(kDatabaseToolsBox).right() + kInnerMargin, box(kHideTabsBox).right() + kInnerMargin});
    l.shape.width = shapeRight - l.shape.left;

    l.note.left = std::max(l.note.left, shapeRight + kNoteGap);
    l.note.width = std::max(l.note.width, TwipsFor(l.frame.left + l.note.left, needs.noteWidth, dpi));
    l.note.height = std::max(l.note.height, TwipsFor(l.frame.top + l.note.top, needs.noteHeight, dpi));

    // The frame holds everything with the design's margins; Help spans it, OK and Cancel share it.
    int frameWidth = std::max({l.frame.width, l.note.right() + kInnerMargin,
                               box(kClassicBox).right() + kInnerMargin / 2, box(kLeftBox).right() + kInnerMargin / 2,
                               box(kAllBox).right() + kInnerMargin / 2,
                               TwipsFor(l.frame.left, needs.frameCaption, dpi),
                               TwipsFor(l.help.left, needs.buttons[kHelpButton], dpi)});
    // OK and Cancel share the frame's width, the design's gap between them.
    const int gap = l.cancel.left - l.ok.right();
    const auto share = [&](int width) {
        l.ok.width = (width - gap) / 2;
        l.cancel.left = l.ok.right() + gap;
        l.cancel.width = width - gap - l.ok.width;
        return TwipsToPixels(l.ok.right(), dpi) - TwipsToPixels(l.ok.left, dpi) >= needs.buttons[kOkButton] &&
               TwipsToPixels(l.cancel.right(), dpi) - TwipsToPixels(l.cancel.left, dpi) >= needs.buttons[kCancelButton];
    };
    while (!share(frameWidth)) ++frameWidth;
    const int grownWidth = frameWidth - l.frame.width;
    l.frame.width = frameWidth;
    l.help.width = frameWidth;

    const int frameHeight =
        std::max({l.frame.height, l.note.bottom() + kInnerMargin / 2, l.shape.bottom() + kInnerMargin});
    const int grownHeight = frameHeight - l.frame.height;
    l.frame.height = frameHeight;
    l.ok.top += grownHeight;
    l.cancel.top += grownHeight;
    l.text1.top += grownHeight;  // stays below the visible area
    l.clientWidth += grownWidth;
    l.clientHeight += grownHeight;
    return l;
}

}  // namespace menuvane
