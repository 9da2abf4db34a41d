// What both programs' windows share: their folder, the optional skin and hand pointer files,
// the shell, centring, fonts at the screen's DPI, and the error report box.
#pragma once

#include "language.h"
#include "layout.h"
#include "pointer_rule.h"
#include "win_handles.h"

#include <windows.h>

#include <string>

namespace kestrel {

// The module this code is linked into (the add-in's DLL inside Access, or the program).
HMODULE ThisModule() noexcept;
// The folder of a module's file, without a trailing separator.
std::wstring ModuleFolder(HMODULE module);

// True when the file's last change time can be read: false for a missing file or folder or a
// bad name. Never fails.
bool FileExists(const std::wstring& path) noexcept;

// Asks the shell to open a program name ("MSACCESS") or a web address, with the default verb,
// the given working folder and the normal show state. Failure is silent.
void ShellOpen(HWND owner, const std::wstring& target, const std::wstring& folder) noexcept;

// Puts the window in the middle of the screen without changing its size. Throws kestrel::Error.
void CenterWindow(HWND window);

int ScreenDpi() noexcept;
inline int Px(int twips) { return TwipsToPixels(twips, ScreenDpi()); }

// A font at the screen's DPI; the size in hundredths of a point (9 pt = 900, 11.25 pt = 1125).
UniqueHfont MakeFont(const wchar_t* face, int hundredthsOfPoint, bool bold, bool underline = false);

// The face a window designed in `designed` draws the language in: the first of the faces Windows
// gives its script (ScriptFaces: Thai, Devanagari) that is installed here, else `designed`.
std::wstring WindowFace(const Language& language, const wchar_t* designed);

// The window's background: white as designed, or the button-face colour when the skin file
// "x\o.cjs" is beside the program. Windows paint their background, frames, check boxes and
// labels with it; push buttons, text boxes and shapes keep their own look. In high contrast
// the window takes the system's colours instead, and no skin.
class WindowLook {
public:
    // Returns whether the skin file is there, and so the colour changed (never in high contrast).
    bool ApplySkin(const std::wstring& folder);
    // Reads the high-contrast setting (as the window opens, and again when Windows says that a
    // setting or the system's colours changed). Returns whether the look changed.
    bool FollowHighContrast();
    bool highContrast() const noexcept { return highContrast_; }
    COLORREF colour() const noexcept;
    HBRUSH brush();
    // A colour of the design, or the system colour that stands for it in high contrast.
    COLORREF Pick(COLORREF design, int systemColour) const noexcept {
        return highContrast_ ? GetSysColor(systemColour) : design;
    }

private:
    bool skin_ = false, highContrast_ = false;
    COLORREF brushColour_ = CLR_INVALID;
    UniqueHbrush brush_;
};

// The window's pointer, by the hover rule: custom over clickable elements, default over the
// background, the hourglass kept while it is up. The custom pointer is "HAND-M.CUR" from the
// program's folder when it is there, else the system's hand.
class WindowPointer {
public:
    // Loads the pointer file when it exists. Throws kestrel::Error when it exists but is no cursor.
    void Load(const std::wstring& folder);
    bool HasFile() const noexcept { return static_cast<bool>(custom_); }
    HCURSOR Cursor() const noexcept;

    PointerKind kind = PointerKind::Default;

private:
    UniqueHcursor custom_;
};

// The "Application Error" box, titled in the window's language: exclamation icon, OK only.
void ShowErrorReport(HWND owner, const std::string& text, const Language& language = Language()) noexcept;

// Arabic and Hebrew: the extended style that mirrors a window, which its controls inherit (their
// captions read from the right, a check box's square on the right), the message box flags that
// align a message right and read it from the right, and DrawText's reading order. 0 otherwise.
DWORD MirroredLayout(const Language& language) noexcept;
UINT RightToLeftMessage(const Language& language) noexcept;
UINT ReadingOrder(const Language& language) noexcept;

// How wide a text is drawn in a font, in pixels, on one line, measured as a control draws its
// caption (DrawText): shaped where the script joins or stacks its letters (Arabic, Thai,
// Devanagari), without the "&" that marks an access key, and with any ink that overhangs the
// laid-out text (a final "í" in bold Arial). `format` adds DrawText's flags:
// DT_NOPREFIX for a label that shows "&" as it is, ReadingOrder's for text read from the right.
// With width given, how high (and, for a word longer than the line, how wide) it is wrapped as a
// label wraps it (DT_WORDBREAK, "&" shown as it is).
SIZE TextExtent(HFONT font, const std::wstring& text, UINT format = 0);
SIZE WrappedTextExtent(HFONT font, const std::wstring& text, int width, UINT format = 0);

}  // namespace kestrel
