// Office switches an add-in off for good ("hard disable") when the application closed
// unexpectedly while the add-in was loaded: it adds a value to
// HKCU\Software\Microsoft\Office\<N>.0\Access\Resiliency\DisabledItems (one key per Office
// version, random value names), and Access then skips the add-in whatever its LoadBehavior says.
// Registering again does not undo it; removing our values does.
//
// A disabled item is a REG_BINARY value: a DWORD kind (1 for an add-in), the DWORD byte lengths
// of the path and of the friendly name (each counting its terminating NUL), then the path
// (lower-cased by Office) and the friendly name, both UTF-16LE ending in their NUL.
#pragma once

#include "language.h"
#include "office_system.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace menuvane {

inline constexpr std::string_view kOfficeKey = "Software\\Microsoft\\Office";  // under HKCU

// True when the value is exactly such an add-in item and its path's file name is Pellwyn.dll,
// in any case and any folder. Anything else is not ours: another kind or registry type, lengths
// that do not add up to the value's size, odd lengths, a text without its NUL or with another
// one inside. Reads nothing outside `data`.
bool NamesOurAddin(std::uint32_t type, std::span<const unsigned char> data);

// True for the name of an Office version key: digits, a point, digits ("12.0", "16.0").
bool IsOfficeVersion(std::string_view name);

// HKCU\Software\Microsoft\Office\<version>\Access\Resiliency\DisabledItems, without the hive.
std::string DisabledItemsPath(std::string_view version);

// Deletes our values from the disabled items of every Office version key under HKCU, leaving
// every other value; returns how many it deleted. A key or value that cannot be read or deleted
// does not stop the others; afterwards one kestrel::Error names them all, its first words in the
// language given.
int ReenableAddIn(OfficeSystem& office, const kestrel::Language& language = kestrel::Language());

}  // namespace menuvane
