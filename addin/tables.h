// The menu bar and the toolbar rows as the tables they are declared as. The document is built
// from programs compiled from these tables (program.h); the tables themselves are open to
// anyone who wants to walk them another way, such as the tests.
#pragma once

#include "rows.h"

#include <span>

namespace pellwyn {

std::span<const std::span<const Row>> MenuBarTables();  // File, the dynamic menus, Tools, Windows, Help
std::span<const Row> StandardRowTable();
std::span<const Row> FormattingRowTable();
std::span<const Row> ControlsRowTable(int row);  // 1, 2 or 3

}  // namespace pellwyn
