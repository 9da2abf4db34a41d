// What both programs' windows do for people who use the keyboard, a screen reader or high
// contrast: Windows' keyboard cues, the default button that follows the focus, each control's
// accessible object, and the high-contrast setting. (Captions are measured as drawn, the "&" of
// an access key taking no room, by TextExtent in window_helpers_win.h.)
#pragma once

#include <windows.h>

#include <string>

namespace kestrel {

// Keyboard cues for a top-level window as it opens: the focus rectangle always shows, the
// access keys' underlines only once the keyboard is used (Alt pressed), unless the user has
// asked Windows to underline them always.
void StartKeyboardCues(HWND window);
// Called with every message before the window's dialog keys: Alt shows the underlines.
void FollowKeyboardCues(HWND window, const MSG& msg);

// The push button that Enter presses in the window: the focused one when the focus is on a
// push button, otherwise `fallback` (which may be none).
HWND DefaultButton(HWND window, HWND fallback);
// Shows that button as the default one (BS_DEFPUSHBUTTON); the window's other buttons lose it.
void ShowDefaultButton(HWND window, HWND button);

// Whether the user has turned high contrast on: then the windows draw only in the system's
// colours, and no skin.
bool HighContrast() noexcept;

// What a screen reader is told, through Microsoft Active Accessibility (and UI Automation,
// which reads it), about a control: its role as given; its name, the caption as drawn (without
// the "&"); its keyboard shortcut, "Alt+" and its access key; its state as Windows has it, with
// checked, default button and link added; and a description, when one is set. Windows' own
// object for the control answers everything else. Works until the control is destroyed.
void ExposeToScreenReaders(HWND control, LONG role) noexcept;
// Sets (or, with "", clears) the description read after the name.
void DescribeToScreenReaders(HWND control, const std::wstring& description) noexcept;

}  // namespace kestrel
