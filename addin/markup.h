// The markup buffer of the add-in, its four id counters, its bar mode and what the running
// Access knows, with the ten writers that append to the buffer.
//
// The bytes written are Access's contract, compared character for character: no XML
// declaration, no whitespace between elements, nothing escaped, and the odd spacing that some
// attributes carry (` getVisible = "`, ` tag = "`, ` getContent = "`,
// ` invalidateContentOnDrop = "`) kept exactly. Text is UTF-8 here; the Windows layer turns
// the finished text into the UTF-16 string that Access receives.
#pragma once

#include "access_language.h"
#include "control_names.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pellwyn {

inline constexpr std::string_view kCustomUiNamespace = "http://schemas.microsoft.com/office/2006/01/customui";

enum class Counter : std::uint8_t { None, Group, Button, Separator, Menu };

// The last number used for each kind of generated id. The document build sets all four to 0;
// the menus' getContent callbacks go on from where the document left them.
struct Counters {
    std::int32_t group = 0;      // buttonGroup "btnGr00<n>"
    std::int32_t button = 0;     // placeholder and spacer buttons "sep00<n>"
    std::int32_t separator = 0;  // menuSeparator "msep00<n>d"
    std::int32_t menu = 0;       // menu "BR3234<n>" and dynamicMenu "Dyna<label><n>"

    std::int32_t& operator[](Counter c) noexcept {
        switch (c) {
        case Counter::Group: return group;
        case Counter::Button: return button;
        case Counter::Separator: return separator;
        default: return menu;
        }
    }
    bool operator==(const Counters&) const = default;
};

// Bar mode of the menu bar being written: 1 on the tab itself, 2 (or anything else) for the
// copy inside the "All" menu. Only in mode 1 do dynamic menus and closed top-level menus get
// a spacer after them.
inline constexpr std::int32_t kBarOnTab = 1;
inline constexpr std::int32_t kBarInAllMenu = 2;

// Every argument counts as given when it is at least one character long; an empty one writes
// no attribute. Given texts go in as they are, so callers pass no quotes, ampersands or
// angle brackets. A counter that would pass 2147483647 throws kestrel::Error (overflow) and
// stays as it was; the buffer keeps what was written before.
class Markup {
public:
    void AppendControl(std::string_view idMso, std::string_view label, std::string_view imageMso,
                       std::string_view screentip, std::string_view onAction);
    void AppendIconControl(std::string_view idMso, std::string_view screentip, std::string_view imageMso,
                           std::string_view onAction, std::string_view getVisible);
    void AppendComboBox(std::string_view idMso, std::string_view getVisible);
    void OpenButtonGroup(std::string_view getVisible);
    void CloseButtonGroup();
    void AppendSpacer(std::string_view label, std::string_view getVisible);
    void AppendMenuSeparator();
    // The keytip, when given, follows the label: what Alt and then these letters open.
    void OpenMenu(std::string_view label, std::string_view imageMso, std::string_view screentip,
                  std::string_view getVisible, std::string_view keytip = {});
    // The key names the menu for Access: its id "Dyna<key><n>" and its callbacks
    // "OnGetContent<key>" and "OnGetVisible<key><screentip>"; the label is what it shows. In
    // English the two are the same.
    void AppendDynamicMenu(std::string_view key, std::string_view label, std::string_view imageMso,
                           std::string_view screentip, std::string_view keytip = {});
    void CloseMenu(bool spacerOnTab);

    // Literal text: the fixed frame of the document.
    void Append(std::string_view text) { xml.append(text); }

    std::string xml;  // the buffer: the whole document, or the last menu fragment
    Counters counters;
    std::int32_t barMode = 0;
    ControlNames names;        // what this connection's Access knows (rows.h writes by it)
    AccessLanguage language;   // and the language it speaks

private:
    void Bump(Counter c);  // the next number of that kind: checked, then kept
    void Number(Counter c);  // the current number of that kind, in decimal
    void Attribute(std::string_view nameEqualsQuote, std::string_view value);
    void ControlOrPlaceholder(std::string_view idMso);
};

[[noreturn]] void ThrowCounterOverflow(Counter c);

}  // namespace pellwyn
