// Access keys in captions, as Windows reads them: "&" marks the next character as the key (drawn
// underlined, the "&" itself not drawn), "&&" stands for one "&". "Ca&ncel" draws "Cancel" with
// its key "n"; "ヘルプ(&H)" draws "ヘルプ(H)" with its key "H". Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

// The character that the caption's mark names (one UTF-8 sequence), or "" when it has none.
std::string_view AccessKeyOf(std::string_view caption);

// The caption as drawn: every mark taken out, "&&" as "&". Screen readers read this.
std::string WithoutAccessKeyMark(std::string_view caption);

}  // namespace kestrel
