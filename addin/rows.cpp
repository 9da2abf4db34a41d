#include "rows.h"

#include "error.h"

namespace pellwyn {

void Emitter::Kept() {
    Top().kept = Top().keptSinceSeparator = true;
}

void Emitter::Dropped() {
    Top().dropped = Top().droppedSinceSeparator = true;
}

// Everything after the last separator of the level was left out: the separator ends the
// buffer, and goes.
void Emitter::DropStraySeparatorAtEnd(const Level& level) {
    if (!level.keptSinceSeparator && level.droppedSinceSeparator && level.lastSeparator != std::string::npos)
        m_.xml.resize(level.lastSeparator);
}

void Emitter::Emit(const Row& r) {
    switch (r.op) {
    case Op::Control:
    case Op::IconControl:
    case Op::ComboBox: {
        const std::string_view name = r.doubtful == kNotDoubtful ? r.idMso : m_.names.Resolve(r.doubtful);
        if (name.empty() && !r.idMso.empty()) return Dropped();
        // Outside English, Access's own words: no label or screentip of ours on its controls.
        const bool labels = m_.language.WritesLabels() || r.idMso.empty();
        const std::string_view label = labels ? r.label : std::string_view(), tip = labels ? r.screentip : std::string_view();
        if (r.op == Op::Control) m_.AppendControl(name, label, r.imageMso, tip, r.onAction);
        else if (r.op == Op::IconControl) m_.AppendIconControl(name, tip, r.imageMso, r.onAction, r.getVisible);
        else m_.AppendComboBox(name, r.getVisible);
        return Kept();
    }
    case Op::Separator: {
        Level& level = Top();
        const std::size_t at = m_.xml.size();
        m_.AppendMenuSeparator();
        if (!level.keptSinceSeparator && level.droppedSinceSeparator) {
            m_.xml.resize(at);  // first in its menu, or after another, only because of what was left out
        } else {
            level.lastSeparator = at;
            level.keptSinceSeparator = level.droppedSinceSeparator = false;
        }
        return;
    }
    case Op::OpenMenu:
        if (depth_ + 1 == levels_.size()) throw kestrel::Error(kestrel::kOverflow, "menus nested too deep");
        levels_[++depth_] = Level{m_.xml.size()};
        m_.OpenMenu(Own(r.labelText, r.label), r.imageMso, Own(r.screentipText, r.screentip), r.getVisible,
                    KeyTip(r.keytipText));
        return;
    case Op::CloseMenu:
    case Op::CloseTopMenu: {
        if (depth_ == 0) throw kestrel::Error(kestrel::kOverflow, "a menu closed that is not open");
        const Level level = levels_[depth_--];
        DropStraySeparatorAtEnd(level);
        m_.CloseMenu(r.op == Op::CloseTopMenu);
        if (level.kept || !level.dropped) return Kept();
        m_.xml.resize(level.start);  // emptied by what was left out: the menu goes
        return Dropped();
    }
    case Op::OpenGroup: m_.OpenButtonGroup(r.getVisible); break;
    case Op::CloseGroup: m_.CloseButtonGroup(); break;
    case Op::Spacer: m_.AppendSpacer(r.label, r.getVisible); break;
    case Op::DynamicMenu:
        m_.AppendDynamicMenu(r.label, Own(r.labelText, r.label), r.imageMso, r.screentip, KeyTip(r.keytipText));
        break;
    case Op::OwnButton:
        // Written as one piece: enabled, no image, no getVisible, no counter.
        m_.Append("<button id=\"");
        m_.Append(prefix_);
        m_.Append(r.idMso);
        m_.Append("\" label=\"");
        m_.Append(Own(r.labelText, r.label));
        m_.Append("\"");
        if (const std::string_view keytip = KeyTip(r.keytipText); !keytip.empty()) {
            m_.Append(" keytip=\"");
            m_.Append(keytip);
            m_.Append("\"");
        }
        if (!r.screentip.empty()) {
            m_.Append(" screentip=\"");
            m_.Append(Own(r.screentipText, r.screentip));
            m_.Append("\"");
        }
        m_.Append(" onAction=\"");
        m_.Append(r.onAction);
        m_.Append("\"/>");
        break;
    case Op::Text: m_.Append(r.idMso); break;
    }
    Kept();
}

void Emitter::Finish() { DropStraySeparatorAtEnd(Top()); }

void Emit(Markup& markup, std::span<const Row> rows, std::string_view idPrefix) {
    Emitter e(markup, idPrefix);
    e.Emit(rows);
    e.Finish();
}

}  // namespace pellwyn
