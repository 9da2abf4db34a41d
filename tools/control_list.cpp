#include "control_list.h"

#include <algorithm>
#include <array>

namespace pellwyn {

// access_lists_data.cpp, made at configure time from access-lists/*.txt.
std::string_view PublishedListText(std::string_view version);

namespace {
constexpr std::array<std::string_view, 4> kVersions = {"2013", "2016", "2019", "365"};
}

ControlList ControlList::FromText(std::string_view text) {
    ControlList list;
    list.every_ = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) list.names_.emplace_back(line);
    }
    std::sort(list.names_.begin(), list.names_.end());
    return list;
}

std::optional<ControlList> ControlList::Published(std::string_view version) {
    if (version == "2007") return ControlList();
    if (std::find(kVersions.begin(), kVersions.end(), version) == kVersions.end()) return std::nullopt;
    return FromText(PublishedListText(version));
}

std::span<const std::string_view> ControlList::PublishedVersions() { return kVersions; }

bool ControlList::Knows(std::string_view name) const {
    return every_ || std::binary_search(names_.begin(), names_.end(), name, std::less<>());
}

}  // namespace pellwyn
