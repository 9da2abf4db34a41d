// The customUI document that the add-in hands to Access, and the builders it is made of.
#pragma once

#include "host.h"
#include "markup.h"
#include "settings_store.h"

#include <cstdint>
#include <string_view>

namespace pellwyn {

// Builds the whole document afresh in markup.xml and returns it (a view of the buffer, valid
// until the buffer changes). Returns the empty text, leaving the buffer as it was, when the
// host's name does not contain "Access" (exactly that case) or the setting "Classic" is 0.
// The four counters are set to 0 first in every case, and again once the host has answered
// (it may have called a menu back meanwhile). Before the first document or menu of a
// connection the host is asked which of the doubtful names it knows (control_names.h). Each setting is read only where the
// document needs it, in document order. Throws kestrel::Error when the host refuses its name
// or a setting is not a number or does not fit; then Access gets no markup.
std::string_view GetRibbonXml(Markup& markup, Host& host, kestrel::SettingsStore& settings);

// The builders. Each appends its part to markup.xml through the writers.
void AppendMenuBar(Markup& markup, std::int32_t barMode);
void AppendStandardRow(Markup& markup);
void AppendFormattingRow(Markup& markup);
void AppendControlsRow1(Markup& markup);
void AppendControlsRow2(Markup& markup);
void AppendControlsRow3(Markup& markup);

}  // namespace pellwyn
