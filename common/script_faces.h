// The faces the windows draw a language in. They are designed in Arial, which Windows draws
// Latin, Greek, Cyrillic, Arabic and Hebrew with (and links to its Chinese, Japanese and Korean
// fonts); Thai and Hindi's Devanagari are not in it. For those the windows take the face Windows
// itself gives that script in its dialogs, as Windows' own programs in that language do.
#pragma once

#include "language.h"

#include <span>
#include <string_view>

namespace kestrel {

// The faces Windows gives the language's script in its dialogs, best first: the newer Windows'
// face, then the one every Windows has. None for a language the designed face draws.
std::span<const std::string_view> ScriptFaces(const Language& language) noexcept;

}  // namespace kestrel
