#include "option_rules.h"

#include <stdexcept>
#include <string>

namespace menuvane {
namespace {

constexpr int kUnderClassic[] = {kLeftBox, kAllBox, kHomeBox, kCreateBox, kExternalDataBox, kDatabaseToolsBox,
                                 kHideTabsBox};
constexpr int kTabBoxes[] = {kHomeBox, kCreateBox, kExternalDataBox, kDatabaseToolsBox};

std::size_t Slot(int index) {
    if (!IsBox(index)) throw std::out_of_range("there is no check box " + std::to_string(index));
    return static_cast<std::size_t>(index);
}

}  // namespace

int Boxes::operator[](int index) const { return states_[Slot(index)]; }

void Boxes::Set(int index, int state) {
    const std::size_t slot = Slot(index);
    if (state != kClear && state != kChecked && state != kGrayed)
        throw std::invalid_argument("a check box holds 0, 1 or 2, not " + std::to_string(state));
    if (states_[slot] == state || locked_[slot]) return;
    states_[slot] = state;
    RunRule(index);
}

void Boxes::Click(int index) { Set(index, (*this)[index] == kChecked ? kClear : kChecked); }

void Boxes::Lock(int index, int state) {
    const std::size_t slot = Slot(index);
    if (state != kClear && state != kChecked)
        throw std::invalid_argument("a policy decides 0 or 1, not " + std::to_string(state));
    states_[slot] = state;
    locked_[slot] = true;
}

bool Boxes::Locked(int index) const { return locked_[Slot(index)]; }

bool Boxes::AnyLocked() const {
    for (const bool locked : locked_)
        if (locked) return true;
    return false;
}

bool Boxes::AllClear(std::span<const int> indexes) const {
    for (const int i : indexes)
        if (states_[Slot(i)] != kClear) return false;
    return true;
}

// Each rule reads the clicked box's new state once, at its start. A grayed box is neither
// checked nor clear, so its rule does nothing.
void Boxes::RunRule(int index) {
    const int now = (*this)[index];
    if (now == kGrayed) return;
    const bool checked = now == kChecked;
    switch (index) {
    case kClassicBox:
        if (checked) {
            // Switching the add-in on from nothing brings the usual choices with it.
            if (AllClear(kUnderClassic)) {
                Set(kLeftBox, kChecked);
                Set(kAllBox, kChecked);
            }
        } else {
            for (const int i : kUnderClassic) Set(i, kClear);
        }
        break;
    case kLeftBox:
        if (checked) {
            Set(kHomeBox, kClear);  // the tab cannot sit left of a Home tab that is hidden
            Set(kClassicBox, kChecked);
        }
        break;
    case kAllBox:
        if (checked) Set(kClassicBox, kChecked);
        break;
    case kHomeBox:
        if (checked) {
            Set(kLeftBox, kClear);  // unlike the other three, Home leaves box 11 alone
            Set(kClassicBox, kChecked);
        }
        break;
    case kCreateBox:
    case kExternalDataBox:
    case kDatabaseToolsBox:
        if (checked) {
            Set(kHideTabsBox, kChecked);
            Set(kClassicBox, kChecked);
        }
        break;
    case kHideTabsBox:
        if (checked) {
            if (AllClear(kTabBoxes)) {
                for (const int i : kTabBoxes) Set(i, kChecked);
                Set(kLeftBox, kClear);
            }
        } else {
            for (const int i : kTabBoxes) Set(i, kClear);
        }
        break;
    default: break;
    }
}

}  // namespace menuvane
