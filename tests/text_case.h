// Letters of the scripts our languages write, for tests that compare KeyTips and access keys
// with their titles: code points of UTF-8 text, which are lowercase, and one letter for both cases.
#pragma once

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

// Case, for the scripts of our languages: Latin (ASCII, Latin-1, Latin Extended-A) and Cyrillic.
inline bool IsLower(char32_t c) {
    if ((c >= U'a' && c <= U'z') || (c >= 0xDF && c <= 0xFF && c != 0xF7) || (c >= 0x430 && c <= 0x45F)) return true;
    if (c < 0x100 || c > 0x17F) return false;
    if (c == 0x138 || c == 0x149 || c == 0x17F) return true;
    if (c == 0x178) return false;
    const bool oddIsUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    return oddIsUpper ? c % 2 == 0 : c % 2 == 1;
}
// One letter for both cases; Turkish's four i's are one.
inline char32_t Fold(char32_t c) {
    if (c == U'I' || c == 0x130 || c == 0x131) return U'i';
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F && !IsLower(c)) return c + 1;
    return c;
}

}  // namespace pellwyn::testing
