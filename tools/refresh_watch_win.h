// Plays Access while the add-in's refresh runs: applies the scheduled changes to the stand-in
// Application, and whenever the add-in invalidates the ribbon redraws the tab as Access does
// (every getVisible callback asked again), logging what it saw for refresh_report.h.
#pragma once

#include "classic_tab_view.h"
#include "refresh_report.h"
#include "stand_in_office_win.h"

#include <string_view>
#include <vector>

namespace pellwyn::preview {

WatchLog WatchRefresh(std::string_view document, TabCallbacks& callbacks, standin::StandInApplication& application,
                      standin::StandInRibbon& ribbon, const std::vector<ScheduledChange>& changes, double seconds);

}  // namespace pellwyn::preview
