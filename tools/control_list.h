// What a stand-in Access knows of control names, for the tools and tests that play Access:
// every name (Access 2007, for which Microsoft publishes no list), or the names of one of
// Microsoft's published lists (access-lists/), or of a list file.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pellwyn {

class ControlList {
public:
    ControlList() = default;  // knows every name

    // One name a line (LF or CR LF); blank lines are skipped. Names are compared exactly.
    static ControlList FromText(std::string_view text);
    // "2007" knows every name; "2013", "2016", "2019" and "365" are Microsoft's lists (365:
    // the Current Channel). Nothing for any other text.
    static std::optional<ControlList> Published(std::string_view version);
    static std::span<const std::string_view> PublishedVersions();  // those with a list, oldest first

    bool Knows(std::string_view name) const;
    bool KnowsEveryName() const noexcept { return every_; }

private:
    bool every_ = true;
    std::vector<std::string> names_;  // sorted
};

}  // namespace pellwyn
