// The members of Connect's dispatch interface, which Access calls by name. The markup names the
// callbacks as text (callbacks.h, the visibility rules, the dynamic menus' labels); this table
// is what answers to those names. Each member's DISPID is its position in the table plus one
// and never changes, so a caller may keep it.
#pragma once

#include "dynamic_menus.h"
#include "host.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace pellwyn {

enum class Action : std::uint8_t {
    RibbonProperty,    // oRibbon: read, or replaced with another ribbon object
    RibbonLoaded,      // the document's onLoad: keep the ribbon and start the refresh
    GetCustomUi,       // the markup, as IRibbonExtensibility::GetCustomUI returns it
    InvalidateRibbon,  // ask Access to call every callback again
    GetRibbonXml,      // the markup
    Visible,           // a getVisible callback: a Boolean from a visibility rule
    Content,           // a getContent callback: a dynamic menu's items
    ShowAbout,         // the About window
    Uninstall,         // the uninstall instructions
    Document,          // toggle the active window's document map
};

enum class Argument : std::uint8_t {
    None,
    Object,  // a ribbon control, or the ribbon itself: an object, possibly Nothing
    Text,
};

enum class Result : std::uint8_t { None, Boolean, Text, Object };

struct ConnectMember {
    std::string_view name;
    Action action;
    Argument argument = Argument::None;
    bool (*visible)(Host&) = nullptr;      // Action::Visible
    DynamicMenu menu = DynamicMenu::Edit;  // Action::Content

    Result result() const noexcept;
};

using DispatchId = std::int32_t;

std::span<const ConnectMember> ConnectMembers();
// The DISPID of the member with that name, compared without regard to case.
std::optional<DispatchId> FindConnectMember(std::string_view name);
// The member with that DISPID, or nullptr.
const ConnectMember* ConnectMemberById(DispatchId id);

}  // namespace pellwyn
