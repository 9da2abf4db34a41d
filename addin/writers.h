// The ten writers, written once for any output that offers Bump (take the next number of a
// counter), Lit (literal text), Num (write a counter's current number) and BarMode. Markup
// runs them at run time; the table compiler (program.h) runs them while compiling, so a
// compiled table writes exactly what the writers would.
#pragma once

#include "markup.h"

#include <string_view>

namespace pellwyn::writers {

using sv = std::string_view;

template <class Out>
constexpr void Attribute(Out& o, sv nameEqualsQuote, sv value) {
    if (value.empty()) return;
    o.Lit(nameEqualsQuote);
    o.Lit(value);
    o.Lit("\"");
}

// `control idMso="..."`, or for an empty idMso the placeholder `button id="sep00<n>"`.
template <class Out>
constexpr void ControlOrPlaceholder(Out& o, sv idMso) {
    if (idMso.empty()) {
        o.Lit("<button id=\"sep00");
        o.Num(Counter::Button);
        o.Lit("\"");
    } else {
        o.Lit("<control idMso=\"");
        o.Lit(idMso);
        o.Lit("\"");
    }
}

template <class Out>
constexpr void AppendControl(Out& o, sv idMso, sv label, sv imageMso, sv screentip, sv onAction) {
    if (idMso.empty()) o.Bump(Counter::Button);
    ControlOrPlaceholder(o, idMso);
    Attribute(o, " label=\"", label);
    Attribute(o, " imageMso=\"", imageMso);
    Attribute(o, " screentip=\"", screentip);
    Attribute(o, " onAction=\"", onAction);
    o.Lit("/>");
}

// The icon-only buttons of the toolbar rows: no label, the screentip before the imageMso,
// and always showLabel="false".
template <class Out>
constexpr void AppendIconControl(Out& o, sv idMso, sv screentip, sv imageMso, sv onAction, sv getVisible) {
    if (idMso.empty()) o.Bump(Counter::Button);
    ControlOrPlaceholder(o, idMso);
    Attribute(o, " screentip=\"", screentip);
    Attribute(o, " imageMso=\"", imageMso);
    Attribute(o, " onAction=\"", onAction);
    Attribute(o, " getVisible = \"", getVisible);
    o.Lit(" showLabel=\"false\"/>");
}

// No placeholder: an empty idMso is written as an empty value.
template <class Out>
constexpr void AppendComboBox(Out& o, sv idMso, sv getVisible) {
    o.Lit("<comboBox idMso=\"");
    o.Lit(idMso);
    o.Lit("\"");
    Attribute(o, " getVisible = \"", getVisible);
    o.Lit("/>");
}

template <class Out>
constexpr void OpenButtonGroup(Out& o, sv getVisible) {
    o.Bump(Counter::Group);
    o.Lit("<buttonGroup id=\"btnGr00");
    o.Num(Counter::Group);
    o.Lit("\"");
    Attribute(o, " getVisible = \"", getVisible);
    o.Lit(">");
}

template <class Out>
constexpr void CloseButtonGroup(Out& o) {
    o.Lit("</buttonGroup>");
}

// A greyed, inert button whose blank label makes a gap; the label is written even when empty.
template <class Out>
constexpr void AppendSpacer(Out& o, sv label, sv getVisible) {
    o.Bump(Counter::Button);
    o.Lit("<button id=\"sep00");
    o.Num(Counter::Button);
    o.Lit("\" label=\"");
    o.Lit(label);
    o.Lit("\"");
    Attribute(o, " getVisible = \"", getVisible);
    o.Lit(" enabled=\"false\"/>");
}

template <class Out>
constexpr void AppendMenuSeparator(Out& o) {
    o.Bump(Counter::Separator);
    o.Lit("<menuSeparator id=\"msep00");
    o.Num(Counter::Separator);
    o.Lit("d\"/>");
}

// The tag repeats the id; nothing reads it.
template <class Out>
constexpr void OpenMenu(Out& o, sv label, sv imageMso, sv screentip, sv getVisible) {
    o.Bump(Counter::Menu);
    o.Lit("<menu id=\"BR3234");
    o.Num(Counter::Menu);
    o.Lit("\"");
    Attribute(o, " label=\"", label);
    Attribute(o, " imageMso=\"", imageMso);
    Attribute(o, " screentip=\"", screentip);
    Attribute(o, " getVisible = \"", getVisible);
    o.Lit(" tag = \"BR3234");
    o.Num(Counter::Menu);
    o.Lit("\">");
}

// The callbacks are "OnGetContent" + label and "OnGetVisible" + label + screentip (every
// caller passes an empty screentip). On the tab a spacer follows that hides with the menu.
template <class Out>
constexpr void AppendDynamicMenu(Out& o, sv label, sv imageMso, sv screentip) {
    o.Bump(Counter::Menu);
    o.Lit("<dynamicMenu id=\"Dyna");
    o.Lit(label);
    o.Num(Counter::Menu);
    o.Lit("\"");
    Attribute(o, " label=\"", label);
    Attribute(o, " imageMso=\"", imageMso);
    Attribute(o, " screentip=\"", screentip);
    o.Lit(" getContent = \"OnGetContent");
    o.Lit(label);
    o.Lit("\" getVisible = \"OnGetVisible");
    o.Lit(label);
    o.Lit(screentip);
    o.Lit("\" invalidateContentOnDrop = \"true\"/>");
    if (o.BarMode() != kBarOnTab) return;
    o.Bump(Counter::Button);
    o.Lit("<button id=\"sep00");
    o.Num(Counter::Button);
    o.Lit("\" label=\" \" getVisible = \"OnGetVisible");
    o.Lit(label);
    o.Lit(screentip);
    o.Lit("\" enabled=\"false\"/>");
}

template <class Out>
constexpr void CloseMenu(Out& o, bool spacerOnTab) {
    o.Lit("</menu>");
    if (spacerOnTab && o.BarMode() == kBarOnTab) AppendSpacer(o, " ", {});
}

}  // namespace pellwyn::writers
