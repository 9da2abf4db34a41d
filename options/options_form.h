// What the options window does when it opens and when a button is pressed, step by numbered
// step. A step that fails is reported ("Application Error", with the procedure's location and
// the step number) and the next step runs. The window itself (options_win.cpp) only copies the
// boxes in and out and carries out the FormWindow requests; the tests fake all of it.
#pragma once

#include "error_report.h"
#include "option_rules.h"
#include "pointer_rule.h"
#include "registration.h"
#include "settings_store.h"

#include <string>
#include <string_view>

namespace menuvane {

inline constexpr std::string_view kInitializeLocation = "in Dunmarro2016/06/15.Form1.Form_Initialize ";
inline constexpr std::string_view kLoadLocation = "in Dunmarro2016/06/15.Form1.Form_Load ";
inline constexpr std::string_view kClickLocation = "in Dunmarro2016/06/15.Form1.PushButton22_Click ";

inline constexpr std::string_view kAccessShellName = "MSACCESS";

inline constexpr int kHelpButton = 0, kOkButton = 1, kCancelButton = 2;

// The step that reads or stores a box's setting; the four tab boxes and box 11 share one.
int SettingStep(int box);

// The Help message: "Questions? Please contact Team Kestrelby at " and the contact page.
std::string HelpText(const kestrel::Language& language = kestrel::Language());

// What the procedures ask of the window.
class FormWindow {
public:
    virtual ~FormWindow() = default;
    virtual void ApplySkin() = 0;                 // the look of "x\o.cjs", when that file is there
    virtual void SetCaption(std::string_view caption) = 0;
    virtual void SetIcon() = 0;                   // the program's icon
    virtual void Centre() = 0;
    virtual void LoadPointer() = 0;               // "HAND-M.CUR", when that file is there
    virtual void SetPointer(kestrel::PointerKind kind) = 0;
    virtual void ShowMessage(std::string_view title, std::string_view text) = 0;  // OK only
    virtual void ShellOpen(std::string_view target) = 0;  // owned by the window; not waited for
    virtual void Close() = 0;                     // closing ends the program
};

struct Form {
    kestrel::SettingsStore& settings;
    AddinSystem& addin;
    FormWindow& window;
    kestrel::ErrorReporter report;
    std::string folder;  // the program's folder, where Pellwyn.dll is
    kestrel::Language language{};  // Windows' display language: the reports and messages speak it
};

// Reads a box's setting as the window does: the stored text, or the default when missing,
// converted to a 16-bit integer that a check box can hold (0, 1 or 2). Throws kestrel::Error
// ("Type mismatch", "Overflow", "Invalid property value") otherwise.
int ReadBoxState(kestrel::SettingsStore& settings, const kestrel::SettingKey& key, int missing);

// Applies the skin, sets caption and icon, locks each box that a policy decides in the
// policy's state, and fills every other box but 11 from the settings.
void FormInitialize(Form& form, Boxes& boxes);
// Sets the caption again, centres the window and loads the hand pointer.
void FormLoad(Form& form);
// Help shows the contact message; OK stores every box that is not locked, registers the add-in
// (box 0 not clear, as shown: also removes it from Office's disabled items and names any policy
// that still keeps it off) or unregisters it, starts Access and closes; Cancel only closes.
void PushButtonClick(Form& form, const Boxes& boxes, int index);

}  // namespace menuvane
