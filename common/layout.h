// Window layouts are given in twips, 1440 to the inch; the screen has dpi pixels to the inch
// (96 unless the user scales it), so 15 twips make a pixel at 96 DPI.
#pragma once

namespace kestrel {

constexpr int TwipsToPixels(int twips, int dpi) {
    // Rounded to the nearest pixel, halves away from zero.
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

struct TwipsRect {
    int left, top, width, height;
};

}  // namespace kestrel
