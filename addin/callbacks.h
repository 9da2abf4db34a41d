// Names that the markup hands to Access and that Access calls back by. The markup writes them
// as text and the dispatch table of the COM object answers to them, so both take them from here.
#pragma once

#include <string_view>

namespace pellwyn {

inline constexpr std::string_view kOnLoad = "ribbonLoaded";
inline constexpr std::string_view kShowAbout = "ShowAbout0";
inline constexpr std::string_view kUninstall = "Uninstall0";

// getVisible callbacks of the toolbar rows and the Controls group. The six dynamic menus name
// theirs after their labels ("OnGetVisibleEdit", "OnGetContentEdit").
inline constexpr std::string_view kFormOrReport = "OnGetVisibleFormOrReport";
inline constexpr std::string_view kTable0 = "OnGetVisibleTable0";
inline constexpr std::string_view kQuery0 = "OnGetVisibleQuery0";
inline constexpr std::string_view kText = "OnGetVisibleText";
inline constexpr std::string_view kDatasheet = "OnGetVisibleDatasheet";

}  // namespace pellwyn
