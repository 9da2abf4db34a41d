// Letters of the scripts our languages write, for tests that compare KeyTips and access keys
// with their titles: code points of UTF-8 text, which are lowercase (a letter that has a capital),
// and one letter for both cases.
#pragma once

#include <locale.h>
#include <wctype.h>

#include <string>

namespace pellwyn::testing {

// Code points of a UTF-8 text.
inline std::u32string Decode(const std::string& utf8) {
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (int k = 1; k < n && i + static_cast<std::size_t>(k) < utf8.size(); ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]) & 0x3F);
        out += c;
        i += static_cast<std::size_t>(n);
    }
    return out;
}

// Case as Unicode has it, in every script our languages write (glibc's C.UTF-8 locale).
inline locale_t Unicode() {
    static const locale_t unicode = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return unicode;
}
inline bool IsLower(char32_t c) {
    const auto w = static_cast<wint_t>(c);
    return Unicode() && iswlower_l(w, Unicode()) && towupper_l(w, Unicode()) != w;
}
// One letter for both cases; Turkish's four i's are one.
inline char32_t Fold(char32_t c) {
    if (c == U'I' || c == 0x130 || c == 0x131) return U'i';
    return Unicode() ? static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), Unicode())) : c;
}

}  // namespace pellwyn::testing
