// The product's names and addresses, kept in one place. Strings that Access, the registry or
// the installer match are copied exactly.
#pragma once

#include <string_view>

namespace kestrel {

inline constexpr std::string_view kProductPhrase = "Menuvane";  // window captions, Start menu, add-in name
inline constexpr std::string_view kAddinTitle = "Pellwyn";      // the add-in's application title
inline constexpr std::string_view kProgId = "Kavrel.Connect";
inline constexpr std::string_view kAddinFileName = "Pellwyn.dll";
inline constexpr std::string_view kAddinDescription = "Add-In Project Template";

// Access's per-user add-in entries (under HKEY_CURRENT_USER), and ours among them: the add-in's
// self-registration writes it, the options program creates or deletes it, the preview reads it.
inline constexpr std::string_view kAccessAddinsKey = "Software\\Microsoft\\Office\\Access\\AddIns";
inline constexpr std::string_view kAddinKey = "Software\\Microsoft\\Office\\Access\\AddIns\\Kavrel.Connect";
static_assert(kAddinKey.substr(0, kAccessAddinsKey.size()) == kAccessAddinsKey &&
              kAddinKey[kAccessAddinsKey.size()] == '\\' && kAddinKey.substr(kAccessAddinsKey.size() + 1) == kProgId);
inline constexpr std::string_view kPublisher = "Team Kestrelby";

inline constexpr int kVersionMajor = 7, kVersionMinor = 0, kVersionRevision = 0;

// The maker's addresses: the About window's link, the options window's Help message, and the
// error report's e-mail line.
inline constexpr std::string_view kWebSite = "https://www.kestrelby.example";  // short enough for the About link
inline constexpr std::string_view kContactPage = "https://www.kestrelby.example/contact";
inline constexpr std::string_view kSupportEmail = "support@kestrelby.example";

// Optional files beside each program: a skin, and the hand pointer for clickable elements.
inline constexpr std::string_view kSkinFile = "x\\o.cjs";
inline constexpr std::string_view kPointerFile = "HAND-M.CUR";

}  // namespace kestrel
