#include "markup.h"

#include "error.h"
#include "writers.h"

#include <charconv>
#include <limits>
#include <string>

namespace pellwyn {

void ThrowCounterOverflow(Counter c) {
    static constexpr const char* kNames[] = {"", "button group", "button", "separator", "menu"};
    throw kestrel::Error(kestrel::kOverflow,
                         std::string("overflow: the ") + kNames[static_cast<int>(c)] + " id counter is full");
}

char* WriteNumber(char* out, std::int32_t n) noexcept {
    if (n >= 0 && n < 10) {
        *out = static_cast<char>('0' + n);
        return out + 1;
    }
    if (n >= 10 && n < 100) {
        out[0] = static_cast<char>('0' + n / 10);
        out[1] = static_cast<char>('0' + n % 10);
        return out + 2;
    }
    return std::to_chars(out, out + 11, n).ptr;
}

void Markup::Bump(Counter c) {
    std::int32_t& n = counters[c];
    if (n == std::numeric_limits<std::int32_t>::max()) ThrowCounterOverflow(c);
    ++n;
}

void Markup::Num(Counter c) { xml.Commit(WriteNumber(xml.Reserve(11), counters[c])); }

void Markup::AppendControl(std::string_view idMso, std::string_view label, std::string_view imageMso,
                           std::string_view screentip, std::string_view onAction) {
    writers::AppendControl(*this, idMso, label, imageMso, screentip, onAction);
}
void Markup::AppendIconControl(std::string_view idMso, std::string_view screentip, std::string_view imageMso,
                               std::string_view onAction, std::string_view getVisible) {
    writers::AppendIconControl(*this, idMso, screentip, imageMso, onAction, getVisible);
}
void Markup::AppendComboBox(std::string_view idMso, std::string_view getVisible) {
    writers::AppendComboBox(*this, idMso, getVisible);
}
void Markup::OpenButtonGroup(std::string_view getVisible) { writers::OpenButtonGroup(*this, getVisible); }
void Markup::CloseButtonGroup() { writers::CloseButtonGroup(*this); }
void Markup::AppendSpacer(std::string_view label, std::string_view getVisible) {
    writers::AppendSpacer(*this, label, getVisible);
}
void Markup::AppendMenuSeparator() { writers::AppendMenuSeparator(*this); }
void Markup::OpenMenu(std::string_view label, std::string_view imageMso, std::string_view screentip,
                      std::string_view getVisible) {
    writers::OpenMenu(*this, label, imageMso, screentip, getVisible);
}
void Markup::AppendDynamicMenu(std::string_view label, std::string_view imageMso, std::string_view screentip) {
    writers::AppendDynamicMenu(*this, label, imageMso, screentip);
}
void Markup::CloseMenu(bool spacerOnTab) { writers::CloseMenu(*this, spacerOnTab); }

}  // namespace pellwyn
