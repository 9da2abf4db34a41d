// How a setting that the registry holds reads as text, whatever was stored there: by Menuvane
// (REG_SZ), by an administrator's script or policy, or by hand with another type, any length,
// any bytes. The Windows store (settings_win.cpp) hands over the type and the bytes exactly as
// the registry returned them; everything is decided here.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kestrel {

// The registry's value types, numbered as Windows numbers them (REG_SZ, ...).
inline constexpr std::uint32_t kRegNone = 0, kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4,
                               kRegMultiSz = 7, kRegQword = 11;

// The text of the setting `name`, as UTF-8:
// - REG_SZ and REG_EXPAND_SZ: UTF-16 text up to its first NUL, or all of it when the
//   terminating NUL is missing; an odd last byte is no character and is dropped. REG_EXPAND_SZ
//   is not expanded: a setting is a number, and "%...%" in it is none either way.
// - REG_DWORD of exactly 4 bytes: its decimal text (unsigned). Kept for a value set as a DWORD
//   0 or 1 by an administrator, which reads as the text "0" or "1" would.
// - Anything else (REG_BINARY, REG_MULTI_SZ, REG_QWORD, REG_NONE, a DWORD of another size):
//   throws kestrel::Error (type mismatch) naming the setting.
// A UTF-16 surrogate without its partner becomes U+FFFD, as Windows converts it.
std::string SettingText(std::string_view name, std::uint32_t type, std::span<const unsigned char> data);

// What a value under a policy key decides: a REG_DWORD of exactly 4 bytes holding 0 or 1 is that
// state. Anything else (another number, another type or size) decides nothing: policies are
// written by Group Policy from the templates, so such a value is no policy of ours, and the
// setting falls through to the next place as if it were not configured.
std::optional<int> PolicyState(std::uint32_t type, std::span<const unsigned char> data);

}  // namespace kestrel
