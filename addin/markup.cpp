#include "markup.h"

#include "error.h"

#include <charconv>
#include <limits>

namespace pellwyn {

void ThrowCounterOverflow(Counter c) {
    static constexpr const char* kNames[] = {"", "button group", "button", "separator", "menu"};
    throw kestrel::Error(kestrel::kOverflow,
                         std::string("overflow: the ") + kNames[static_cast<int>(c)] + " id counter is full");
}

void Markup::Bump(Counter c) {
    std::int32_t& n = counters[c];
    if (n == std::numeric_limits<std::int32_t>::max()) ThrowCounterOverflow(c);
    ++n;
}

void Markup::Number(Counter c) {
    char digits[11];
    xml.append(digits, std::to_chars(digits, digits + sizeof digits, counters[c]).ptr);
}

// Most attributes are empty: inlined, the check costs a compare, not a call.
[[gnu::always_inline]] inline void Markup::Attribute(std::string_view nameEqualsQuote, std::string_view value) {
    if (value.empty()) return;
    xml += nameEqualsQuote;
    xml += value;
    xml += '"';
}

// `control idMso="..."`, or for an empty idMso the placeholder `button id="sep00<n>"`.
void Markup::ControlOrPlaceholder(std::string_view idMso) {
    if (idMso.empty()) {
        xml += "<button id=\"sep00";
        Number(Counter::Button);
        xml += '"';
    } else {
        xml += "<control idMso=\"";
        xml += idMso;
        xml += '"';
    }
}

void Markup::AppendControl(std::string_view idMso, std::string_view label, std::string_view imageMso,
                           std::string_view screentip, std::string_view onAction) {
    if (idMso.empty()) Bump(Counter::Button);
    ControlOrPlaceholder(idMso);
    Attribute(" label=\"", label);
    Attribute(" imageMso=\"", imageMso);
    Attribute(" screentip=\"", screentip);
    Attribute(" onAction=\"", onAction);
    xml += "/>";
}

// The icon-only buttons of the toolbar rows: no label, the screentip before the imageMso,
// and always showLabel="false".
void Markup::AppendIconControl(std::string_view idMso, std::string_view screentip, std::string_view imageMso,
                               std::string_view onAction, std::string_view getVisible) {
    if (idMso.empty()) Bump(Counter::Button);
    ControlOrPlaceholder(idMso);
    Attribute(" screentip=\"", screentip);
    Attribute(" imageMso=\"", imageMso);
    Attribute(" onAction=\"", onAction);
    Attribute(" getVisible = \"", getVisible);
    xml += " showLabel=\"false\"/>";
}

// No placeholder: an empty idMso is written as an empty value.
void Markup::AppendComboBox(std::string_view idMso, std::string_view getVisible) {
    xml += "<comboBox idMso=\"";
    xml += idMso;
    xml += '"';
    Attribute(" getVisible = \"", getVisible);
    xml += "/>";
}

void Markup::OpenButtonGroup(std::string_view getVisible) {
    Bump(Counter::Group);
    xml += "<buttonGroup id=\"btnGr00";
    Number(Counter::Group);
    xml += '"';
    Attribute(" getVisible = \"", getVisible);
    xml += '>';
}

void Markup::CloseButtonGroup() { xml += "</buttonGroup>"; }

// A greyed, inert button whose blank label makes a gap; the label is written even when empty.
void Markup::AppendSpacer(std::string_view label, std::string_view getVisible) {
    Bump(Counter::Button);
    xml += "<button id=\"sep00";
    Number(Counter::Button);
    xml += "\" label=\"";
    xml += label;
    xml += '"';
    Attribute(" getVisible = \"", getVisible);
    xml += " enabled=\"false\"/>";
}

void Markup::AppendMenuSeparator() {
    Bump(Counter::Separator);
    xml += "<menuSeparator id=\"msep00";
    Number(Counter::Separator);
    xml += "d\"/>";
}

// The tag repeats the id; nothing reads it.
void Markup::OpenMenu(std::string_view label, std::string_view imageMso, std::string_view screentip,
                      std::string_view getVisible, std::string_view keytip) {
    Bump(Counter::Menu);
    xml += "<menu id=\"BR3234";
    Number(Counter::Menu);
    xml += '"';
    Attribute(" label=\"", label);
    Attribute(" keytip=\"", keytip);
    Attribute(" imageMso=\"", imageMso);
    Attribute(" screentip=\"", screentip);
    Attribute(" getVisible = \"", getVisible);
    xml += " tag = \"BR3234";
    Number(Counter::Menu);
    xml += "\">";
}

// The callbacks are "OnGetContent" + key and "OnGetVisible" + key + screentip (every caller
// passes an empty screentip). On the tab a spacer follows that hides with the menu.
void Markup::AppendDynamicMenu(std::string_view key, std::string_view label, std::string_view imageMso,
                               std::string_view screentip, std::string_view keytip) {
    Bump(Counter::Menu);
    xml += "<dynamicMenu id=\"Dyna";
    xml += key;
    Number(Counter::Menu);
    xml += '"';
    Attribute(" label=\"", label);
    Attribute(" keytip=\"", keytip);
    Attribute(" imageMso=\"", imageMso);
    Attribute(" screentip=\"", screentip);
    xml += " getContent = \"OnGetContent";
    xml += key;
    xml += "\" getVisible = \"OnGetVisible";
    xml += key;
    xml += screentip;
    xml += "\" invalidateContentOnDrop = \"true\"/>";
    if (barMode != kBarOnTab) return;
    Bump(Counter::Button);
    xml += "<button id=\"sep00";
    Number(Counter::Button);
    xml += "\" label=\" \" getVisible = \"OnGetVisible";
    xml += key;
    xml += screentip;
    xml += "\" enabled=\"false\"/>";
}

void Markup::CloseMenu(bool spacerOnTab) {
    xml += "</menu>";
    if (spacerOnTab && barMode == kBarOnTab) AppendSpacer(" ", {});
}

}  // namespace pellwyn
