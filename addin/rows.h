// Menus and toolbar rows are declared as tables of rows, read top to bottom like a menu is
// read, and walked by Emit, which calls the one writer that each row names. The factories
// carry the writers' names and their arguments in the writers' order, so a table row reads
// like the writer call it stands for.
#pragma once

#include "markup.h"
#include "writers.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace pellwyn {

enum class Op : std::uint8_t {
    Control,       // AppendControl
    IconControl,   // AppendIconControl
    ComboBox,      // AppendComboBox
    OpenGroup,     // OpenButtonGroup
    CloseGroup,    // CloseButtonGroup
    Spacer,        // AppendSpacer
    Separator,     // AppendMenuSeparator
    OpenMenu,      // OpenMenu
    DynamicMenu,   // AppendDynamicMenu
    CloseMenu,     // CloseMenu with the flag False
    CloseTopMenu,  // CloseMenu with the flag True: a spacer follows on the tab
    OwnButton,     // one of the add-in's own buttons, written directly (no counter)
    Text,          // literal text, written directly
};

struct Row {
    Op op;
    std::string_view idMso{};  // for OwnButton: the id after the bar's prefix; for Text: the text
    std::string_view label{};
    std::string_view imageMso{};
    std::string_view screentip{};
    std::string_view getVisible{};
    std::string_view onAction{};
};

namespace rows {
constexpr Row AppendControl(std::string_view idMso, std::string_view label = {}) {
    return {Op::Control, idMso, label};
}
constexpr Row AppendIconControl(std::string_view idMso, std::string_view getVisible = {}) {
    return {Op::IconControl, idMso, {}, {}, {}, getVisible};
}
constexpr Row AppendComboBox(std::string_view idMso, std::string_view getVisible) {
    return {Op::ComboBox, idMso, {}, {}, {}, getVisible};
}
constexpr Row OpenButtonGroup(std::string_view getVisible = {}) { return {Op::OpenGroup, {}, {}, {}, {}, getVisible}; }
constexpr Row CloseButtonGroup() { return {Op::CloseGroup}; }
constexpr Row AppendSpacer(std::string_view label, std::string_view getVisible = {}) {
    return {Op::Spacer, {}, label, {}, {}, getVisible};
}
constexpr Row AppendMenuSeparator() { return {Op::Separator}; }
constexpr Row OpenMenu(std::string_view label, std::string_view imageMso = {}, std::string_view screentip = {},
                       std::string_view getVisible = {}) {
    return {Op::OpenMenu, {}, label, imageMso, screentip, getVisible};
}
constexpr Row AppendDynamicMenu(std::string_view label) { return {Op::DynamicMenu, {}, label}; }
constexpr Row CloseMenu() { return {Op::CloseMenu}; }
constexpr Row CloseTopMenu() { return {Op::CloseTopMenu}; }
constexpr Row OwnButton(std::string_view idAfterPrefix, std::string_view label, std::string_view screentip,
                        std::string_view onAction) {
    return {Op::OwnButton, idAfterPrefix, label, {}, screentip, {}, onAction};
}
constexpr Row Text(std::string_view text) { return {Op::Text, text}; }
}  // namespace rows

// Writes one row through the writer it names. idPrefix goes before the ids of the add-in's
// own buttons. Out is Markup at run time, or the table compiler (program.h).
template <class Out>
constexpr void Emit(Out& o, const Row& r, std::string_view idPrefix) {
    switch (r.op) {
    case Op::Control: writers::AppendControl(o, r.idMso, r.label, r.imageMso, r.screentip, r.onAction); break;
    case Op::IconControl:
        writers::AppendIconControl(o, r.idMso, r.screentip, r.imageMso, r.onAction, r.getVisible);
        break;
    case Op::ComboBox: writers::AppendComboBox(o, r.idMso, r.getVisible); break;
    case Op::OpenGroup: writers::OpenButtonGroup(o, r.getVisible); break;
    case Op::CloseGroup: writers::CloseButtonGroup(o); break;
    case Op::Spacer: writers::AppendSpacer(o, r.label, r.getVisible); break;
    case Op::Separator: writers::AppendMenuSeparator(o); break;
    case Op::OpenMenu: writers::OpenMenu(o, r.label, r.imageMso, r.screentip, r.getVisible); break;
    case Op::DynamicMenu: writers::AppendDynamicMenu(o, r.label, r.imageMso, r.screentip); break;
    case Op::CloseMenu: writers::CloseMenu(o, false); break;
    case Op::CloseTopMenu: writers::CloseMenu(o, true); break;
    case Op::OwnButton:
        // Written as one piece: enabled, no image, no getVisible, no counter.
        o.Lit("<button id=\"");
        o.Lit(idPrefix);
        o.Lit(r.idMso);
        o.Lit("\" label=\"");
        o.Lit(r.label);
        o.Lit("\"");
        writers::Attribute(o, " screentip=\"", r.screentip);
        o.Lit(" onAction=\"");
        o.Lit(r.onAction);
        o.Lit("\"/>");
        break;
    case Op::Text: o.Lit(r.idMso); break;
    }
}

template <class Out>
constexpr void Emit(Out& o, std::span<const Row> table, std::string_view idPrefix) {
    for (const Row& r : table) Emit(o, r, idPrefix);
}

// The id prefix of the add-in's own buttons: none on the tab, "All" in the copy of the bar.
constexpr std::string_view OwnButtonPrefix(std::int32_t barMode) { return barMode == kBarOnTab ? "" : "All"; }

}  // namespace pellwyn
