// Where the options window's controls go. The design is in twips and holds for English; a
// caption that needs more room than its control has (a longer translation, a larger screen
// scale) widens that control, and what lies beside it moves along: the second column of tab
// boxes, the rectangle around them, the administrator's note, and where needed the frame, the
// buttons and the window. A caption that fits changes nothing, so English keeps the design.
#pragma once

#include "layout.h"

#include <array>

namespace menuvane {

// Gaps that the design leaves, and that stay when controls move.
inline constexpr int kColumnGap = 105;     // between a tab box and the next column
inline constexpr int kInnerMargin = 240;   // inside the rectangle and the frame, right of their content
inline constexpr int kNoteGap = 585;       // between the rectangle and the note

// The note's designed width: the window measures the note wrapped at NoteWrapWidth pixels.
inline constexpr int kNoteWidth = 2880;
constexpr int NoteWrapWidth(int dpi) { return kestrel::TwipsToPixels(kNoteWidth, dpi) - 1; }

// What each caption needs, in pixels at the screen's DPI: its text plus, for a check box, the
// square and the gap before the text, for a push button its edges, for the frame the gaps
// either side of its title. Zero: nothing to fit.
struct OptionsNeeds {
    int dpi = 96;
    std::array<int, 12> boxes{};    // by box number (0 to 6, 11)
    std::array<int, 3> buttons{};   // Help, OK, Cancel
    int frameCaption = 0;
    int noteWidth = 0, noteHeight = 0;  // the note wrapped at NoteWrapWidth(dpi)
};

struct OptionsLayout {
    int clientWidth, clientHeight;            // twips
    kestrel::TwipsRect help, frame, ok, cancel, text1;  // in the window
    std::array<kestrel::TwipsRect, 12> boxes;  // in the frame
    kestrel::TwipsRect shape, note;            // in the frame
};

// The design as it is (what an English window gets).
OptionsLayout DesignedOptionsLayout();
// The design, grown where the needs ask for it.
OptionsLayout LayOutOptions(const OptionsNeeds& needs);

}  // namespace menuvane
