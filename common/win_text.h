// UTF-8 (the portable code's text) to and from UTF-16 (Windows' text).
#pragma once

#include <string>
#include <string_view>

namespace kestrel {

std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

}  // namespace kestrel
