#include "control_names.h"

namespace pellwyn {

ControlNames::Answer ControlNames::Ask(Host& host, std::string_view name) noexcept {
    try {
        const std::optional<bool> known = host.KnowsControl(name);
        if (!known) return Answer::CannotTell;
        return *known ? Answer::Known : Answer::Unknown;
    } catch (...) {
        return Answer::CannotTell;  // a question never fails the callback that asks it
    }
}

void ControlNames::Learn(Host& host) {
    for (std::size_t i = 0; i < kDoubtfulCount; ++i) {
        if (names_[i] == Answer::NotAsked) {
            names_[i] = Answer::Asking;
            names_[i] = Ask(host, kDoubtfulNames[i].name);
        }
        if (names_[i] == Answer::Unknown && !kDoubtfulNames[i].successor.empty() &&
            successors_[i] == Answer::NotAsked) {
            successors_[i] = Answer::Asking;
            successors_[i] = Ask(host, kDoubtfulNames[i].successor);
        }
    }
}

std::string_view ControlNames::Resolve(std::uint8_t index) const noexcept {
    const DoubtfulName& d = kDoubtfulNames[index];
    if (names_[index] != Answer::Unknown) return d.name;
    return successors_[index] == Answer::Known ? d.successor : std::string_view();
}

}  // namespace pellwyn
