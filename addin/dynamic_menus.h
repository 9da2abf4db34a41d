// The six menus of the bar that Access fills at run time. Each opening rebuilds the menu's
// items from the type of the object the user works on; nothing else decides them.
#pragma once

#include "host.h"
#include "markup.h"

#include <optional>
#include <string_view>

namespace pellwyn {

enum class DynamicMenu { Edit, View, Insert, Format, Query, Records };

inline constexpr DynamicMenu kDynamicMenus[] = {DynamicMenu::Edit,   DynamicMenu::View,  DynamicMenu::Insert,
                                                DynamicMenu::Format, DynamicMenu::Query, DynamicMenu::Records};

// "Edit", "View", ...: the label, and the tail of the callback names "OnGetContent<label>"
// and "OnGetVisible<label>".
std::string_view Label(DynamicMenu menu);
// The menu with that label, compared without regard to case.
std::optional<DynamicMenu> FindDynamicMenu(std::string_view label);

// The getContent callback: replaces the buffer with the opening `menu` tag, then asks the host
// for the object type once, appends the items that fit it (by the names this Access knows,
// rows.h) and the closing tag, and returns the fragment (a view of the buffer). The counters
// go on from where they stand. When the host refuses the object type, the error propagates and
// the buffer holds just the opening tag. A host that calls the add-in back while it answers
// (another menu, the document) still gets this menu whole.
std::string_view GetContent(Markup& markup, Host& host, DynamicMenu menu);

}  // namespace pellwyn
