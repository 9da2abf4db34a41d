// Window layouts are given in twips, 1440 to the inch; the screen has dpi pixels to the inch
// (96 unless the user scales it), so 15 twips make a pixel at 96 DPI.
#pragma once

namespace kestrel {

constexpr int TwipsToPixels(int twips, int dpi) {
    // Rounded to the nearest pixel, halves away from zero.
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

// The fewest twips from `from` (a left or top edge, in twips from the window's corner) that
// span at least `pixels` pixels once both edges are converted as above.
constexpr int TwipsFor(int from, int pixels, int dpi) {
    if (pixels <= 0) return 0;
    const long long end = static_cast<long long>(TwipsToPixels(from, dpi)) + pixels;  // the far edge's pixel
    const long long twips = (end * 1440 - 720 + dpi - 1) / dpi;  // the first edge that rounds to it
    return static_cast<int>(twips) - from;
}

struct TwipsRect {
    int left, top, width, height;
    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    bool operator==(const TwipsRect&) const = default;
};

}  // namespace kestrel
