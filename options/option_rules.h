// The eight check boxes of the options window and the rules that tie them together.
// A box is known by its index in the window's box array: 0 to 6 and 11 (7 to 10 do not exist).
// A box holds 0 (clear), 1 (checked) or 2 (grayed: only a stored "2" puts a box there).
//
// Every assignment that changes a box runs that box's rule at once, nested, before the rule
// that made the assignment goes on; an assignment that changes nothing does nothing. So filling
// the boxes from the settings applies the rules exactly as clicks would.
//
// A box whose setting a policy decides is locked in the policy's state: no assignment, click or
// rule changes it afterwards, and the rules of the other boxes go on without it.
#pragma once

#include "settings_keys.h"

#include <array>
#include <span>

namespace menuvane {

inline constexpr int kClear = 0, kChecked = 1, kGrayed = 2;

inline constexpr int kClassicBox = 0;        // Show Classic Menu and Toolbars in MS Access 2007
inline constexpr int kLeftBox = 1;           // Show menu tabs on the left of home tab
inline constexpr int kAllBox = 2;            // Show all items in main menu
inline constexpr int kHomeBox = 3;           // the four built-in tabs to hide
inline constexpr int kCreateBox = 4;
inline constexpr int kExternalDataBox = 5;
inline constexpr int kDatabaseToolsBox = 6;
inline constexpr int kHideTabsBox = 11;      // Hide built-in tabs

struct BoxSetting {
    int box;
    kestrel::SettingKey key;
};

// Every box with its settings key, in the order OK stores them.
inline constexpr std::array<BoxSetting, 8> kBoxSettings{{
    {kClassicBox, kestrel::kClassic},
    {kLeftBox, kestrel::kLeft},
    {kAllBox, kestrel::kAll},
    {kHomeBox, kestrel::kHome},
    {kCreateBox, kestrel::kCreate},
    {kExternalDataBox, kestrel::kExternalData},
    {kDatabaseToolsBox, kestrel::kDatabaseTools},
    {kHideTabsBox, kestrel::kHideBuiltInTabs},
}};

constexpr bool IsBox(int index) { return (index >= 0 && index <= 6) || index == 11; }

class Boxes {
public:
    // All clear, as the window is designed.
    Boxes() = default;

    // The state of a box. Throws std::out_of_range for an index that is no box.
    int operator[](int index) const;

    // Assigns 0, 1 or 2; when that changes the box, its rule runs at once. Throws
    // std::out_of_range for an index that is no box and std::invalid_argument for another state.
    void Set(int index, int state);

    // What a click does: a checked box becomes clear, a clear or grayed one checked (as a
    // Windows check box toggles), and then the box's rule runs. A locked box stays as it is.
    void Click(int index);

    // Puts the box in the state (0 or 1) and locks it there, without running its rule. Throws
    // as Set does.
    void Lock(int index, int state);
    bool Locked(int index) const;
    bool AnyLocked() const;

    friend bool operator==(const Boxes&, const Boxes&) = default;

private:
    void RunRule(int index);
    bool AllClear(std::span<const int> indexes) const;

    std::array<int, 12> states_{};
    std::array<bool, 12> locked_{};
};

}  // namespace menuvane
