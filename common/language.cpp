#include "language.h"

namespace kestrel {
namespace {

// Windows' primary language numbers (LANG_*) of the languages Office ships in.
struct Primary {
    std::uint16_t id;
    std::string_view code;
};
constexpr Primary kPrimaries[] = {
    {0x01, "ar"}, {0x02, "bg"}, {0x03, "ca"}, {0x05, "cs"}, {0x06, "da"}, {0x07, "de"}, {0x08, "el"},
    {0x09, "en"}, {0x0A, "es"}, {0x0B, "fi"}, {0x0C, "fr"}, {0x0D, "he"}, {0x0E, "hu"}, {0x10, "it"},
    {0x11, "ja"}, {0x12, "ko"}, {0x13, "nl"}, {0x14, "nb"}, {0x15, "pl"}, {0x18, "ro"}, {0x19, "ru"},
    {0x1B, "sk"}, {0x1D, "sv"}, {0x1E, "th"}, {0x1F, "tr"}, {0x21, "id"}, {0x22, "uk"}, {0x24, "sl"},
    {0x25, "et"}, {0x26, "lv"}, {0x27, "lt"}, {0x2A, "vi"}, {0x2D, "eu"}, {0x39, "hi"}, {0x3E, "ms"},
    {0x3F, "kk"}, {0x56, "gl"},
};

constexpr std::uint16_t kChinese = 0x04, kCroatianSerbian = 0x1A, kPortuguese = 0x16;

}  // namespace

std::string_view LanguageCode(std::uint16_t langId) {
    const std::uint16_t primary = langId & 0x3FF, sub = static_cast<std::uint16_t>(langId >> 10);
    switch (primary) {
    case kChinese:  // Taiwan, Hong Kong, Macao and "Traditional" read Traditional Chinese
        return sub == 0x01 || sub == 0x03 || sub == 0x05 || sub == 0x1F ? "zh_TW" : "zh_CN";
    case kPortuguese: return sub == 0x01 ? "pt_BR" : "pt_PT";
    case kCroatianSerbian: return sub == 0x01 || sub == 0x04 ? "hr" : "sr";
    default: break;
    }
    for (const Primary& p : kPrimaries)
        if (p.id == primary) return p.code;
    return {};
}

Language Language::FromLangId(std::uint16_t langId) {
    const std::uint16_t primary = langId & 0x3FF;
    Language l;
    // Neutral and invariant name no language: Access could not tell us one.
    if (primary == 0x00 || primary == 0x7F) return l;
    l.code_ = LanguageCode(langId);
    l.english_ = l.code_ == "en";
    if (l.english_) return l;
    for (std::size_t i = 0; i < kTranslationCount; ++i)
        if (kTranslations[i].code == l.code_) l.texts_ = kTranslations[i].texts;
    return l;
}

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}' && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                out += args.begin()[n];
                i += 2;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string XmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

}  // namespace kestrel
