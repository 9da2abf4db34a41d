// Menus and toolbar rows are declared as tables of rows, read top to bottom like a menu is
// read, and walked by Emit, which calls the one writer that each row names. The factories
// carry the writers' names and their arguments in the writers' order, so a table row reads
// like the writer call it stands for.
#pragma once

#include "control_names.h"
#include "language.h"
#include "markup.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
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
    std::uint8_t doubtful = kNotDoubtful;  // the idMso's place in kDoubtfulNames
    // The tab's own texts (a menu's title, an own button's label and screentip): their place
    // among the translations' texts. A control placed by idMso has none: Access has its own.
    kestrel::TextId labelText = kestrel::kNoText;
    kestrel::TextId screentipText = kestrel::kNoText;
    // The KeyTip of one of our menus or buttons (context "keytip.<path>"); none: Office gives one.
    kestrel::TextId keytipText = kestrel::kNoText;
};

// The place of one of the tab's own texts among the translations' texts. Every own text must be
// there (po/menuvane.pot, context "ribbon"): a table that writes one that is not does not compile.
constexpr kestrel::TextId OwnText(std::string_view english) {
    if (english.empty()) return kestrel::kNoText;
    const kestrel::TextId id = kestrel::FindText("ribbon", english);
    if (id == kestrel::kNoText) throw "a text of the tab that po/menuvane.pot does not have";
    return id;
}

// The place of the KeyTip of the menu or button titled `title` inside the menu at `parent` (a
// path of English titles, "Tools > Database Utilities"; empty for the menu bar itself): the
// text with context "keytip.<parent> > <title>", or "keytip.<title>" at the top. A table that
// asks for a KeyTip that po/menuvane.pot does not have does not compile.
constexpr kestrel::TextId KeyTipText(std::string_view parent, std::string_view title) {
    constexpr std::string_view kPrefix = "keytip.", kStep = " > ";
    for (std::size_t i = 0; i < kestrel::kTextCount; ++i) {
        std::string_view path = kestrel::kTextKeys[i].context;
        if (!path.starts_with(kPrefix)) continue;
        path.remove_prefix(kPrefix.size());
        if (!parent.empty()) {
            if (!path.starts_with(parent) || !path.substr(parent.size()).starts_with(kStep)) continue;
            path.remove_prefix(parent.size() + kStep.size());
        }
        if (path == title) return static_cast<kestrel::TextId>(i);
    }
    throw "a KeyTip that po/menuvane.pot does not have";
}

namespace rows {
constexpr Row AppendControl(std::string_view idMso, std::string_view label = {}) {
    return {Op::Control, idMso, label, {}, {}, {}, {}, DoubtfulIndex(idMso)};
}
constexpr Row AppendIconControl(std::string_view idMso, std::string_view getVisible = {}) {
    return {Op::IconControl, idMso, {}, {}, {}, getVisible, {}, DoubtfulIndex(idMso)};
}
constexpr Row AppendComboBox(std::string_view idMso, std::string_view getVisible) {
    return {Op::ComboBox, idMso, {}, {}, {}, getVisible, {}, DoubtfulIndex(idMso)};
}
constexpr Row OpenButtonGroup(std::string_view getVisible = {}) { return {Op::OpenGroup, {}, {}, {}, {}, getVisible}; }
constexpr Row CloseButtonGroup() { return {Op::CloseGroup}; }
constexpr Row AppendSpacer(std::string_view label, std::string_view getVisible = {}) {
    return {Op::Spacer, {}, label, {}, {}, getVisible};
}
constexpr Row AppendMenuSeparator() { return {Op::Separator}; }
constexpr Row OpenMenu(std::string_view label, std::string_view imageMso = {}, std::string_view screentip = {},
                       std::string_view getVisible = {}) {
    return {Op::OpenMenu, {}, label, imageMso, screentip, getVisible, {}, kNotDoubtful, OwnText(label), OwnText(screentip)};
}
// A menu of the menu bar ("File"), with its KeyTip.
constexpr Row OpenBarMenu(std::string_view label) {
    Row r = OpenMenu(label);
    r.keytipText = KeyTipText({}, label);
    return r;
}
// One of our submenus, with the KeyTip it has inside the menu at `parent` ("Insert" for
// "Tables", wherever the Insert menu's submenus appear).
constexpr Row OpenSubmenu(std::string_view parent, std::string_view label) {
    Row r = OpenMenu(label);
    r.keytipText = KeyTipText(parent, label);
    return r;
}
// The English label is also the menu's key: its id and callbacks keep it in every language.
constexpr Row AppendDynamicMenu(std::string_view label) {
    return {Op::DynamicMenu, {}, label, {}, {}, {}, {}, kNotDoubtful, OwnText(label), kestrel::kNoText,
            KeyTipText({}, label)};
}
constexpr Row CloseMenu() { return {Op::CloseMenu}; }
constexpr Row CloseTopMenu() { return {Op::CloseTopMenu}; }
// One of the add-in's own buttons in the menu `parent`, with its KeyTip there.
constexpr Row OwnButton(std::string_view parent, std::string_view idAfterPrefix, std::string_view label,
                        std::string_view screentip, std::string_view onAction) {
    return {Op::OwnButton, idAfterPrefix, label, {}, screentip, {}, onAction, kNotDoubtful, OwnText(label),
            OwnText(screentip), KeyTipText(parent, label)};
}
constexpr Row Text(std::string_view text) { return {Op::Text, text}; }
}  // namespace rows

// The id prefix of the add-in's own buttons: none on the tab, "All" in the copy of the bar.
constexpr std::string_view OwnButtonPrefix(std::int32_t barMode) { return barMode == kBarOnTab ? "" : "All"; }

// Walks rows through the writers, writing each control by the name the running Access knows
// (markup.names) and each text in the language it speaks (markup.language). A control whose command this Access lacks is left out, and the walk tidies
// what that leaves behind: a menu left empty goes, and so does a separator left first or last
// in its menu or next to another. Separators and menus that the tables themselves have stay,
// and the counters advance as if nothing were left out, so every id written is the id that
// element has when Access knows every name.
class Emitter {
public:
    // idPrefix goes before the ids of the add-in's own buttons.
    Emitter(Markup& markup, std::string_view idPrefix) : m_(markup), prefix_(idPrefix) {}

    void Emit(const Row& row);
    void Emit(std::span<const Row> rows) {
        for (const Row& r : rows) Emit(r);
    }
    // The end of the walk: a separator left last at the top level goes too.
    void Finish();

private:
    struct Level {                  // the top level, or a menu being written
        std::size_t start = 0;      // where the menu's opening tag begins
        bool kept = false;          // anything but a separator written in it
        bool dropped = false;       // anything left out of it
        bool keptSinceSeparator = false, droppedSinceSeparator = false;
        std::size_t lastSeparator = std::string::npos;  // where the last separator written begins
    };
    Level& Top() { return levels_[depth_]; }
    std::string_view Own(kestrel::TextId id, std::string_view english) const {
        return id == kestrel::kNoText ? english : m_.language.Own(id);
    }
    // Empty where Office gives the KeyTip: rows without one, and languages that leave them all to Office.
    std::string_view KeyTip(kestrel::TextId id) const {
        return id == kestrel::kNoText ? std::string_view() : m_.language.Own(id);
    }
    void Kept();
    void Dropped();
    void DropStraySeparatorAtEnd(const Level& level);

    Markup& m_;
    std::string_view prefix_;
    std::array<Level, 8> levels_{};  // the tables nest menus four deep at most
    std::size_t depth_ = 0;
};

// Walks whole tables, as the document writes them.
void Emit(Markup& markup, std::span<const Row> rows, std::string_view idPrefix);

}  // namespace pellwyn
