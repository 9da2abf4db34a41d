#include "language.h"

namespace kestrel {
namespace {

// The route of a LANGID in the table po-compile made from po/languages.tsv: the one naming its
// sublanguage, else the one for every other sublanguage of its primary language.
const LanguageRoute* Route(std::uint16_t langId) {
    const std::uint16_t primary = langId & 0x3FF, sub = static_cast<std::uint16_t>(langId >> 10);
    const LanguageRoute* every = nullptr;
    for (const LanguageRoute& r : kLanguageRoutes) {
        if (r.primary != primary) continue;
        if (r.sublanguage == sub) return &r;
        if (r.sublanguage == kEverySublanguage) every = &r;
    }
    return every;
}

}  // namespace

std::string_view LanguageCode(std::uint16_t langId) {
    const LanguageRoute* r = Route(langId);
    return r ? r->code : std::string_view();
}

Language Language::FromLangId(std::uint16_t langId) {
    const std::uint16_t primary = langId & 0x3FF;
    Language l;
    // Neutral and invariant name no language: Access could not tell us one.
    if (primary == 0x00 || primary == 0x7F) return l;
    const LanguageRoute* r = Route(langId);
    l.code_ = r ? r->code : std::string_view();
    // A pack based on English reads English texts, but Office does not speak English: Access
    // shows its own words for its own commands.
    l.english_ = r && r->code == "en" && !r->pack;
    if (l.code_ == "en") return l;
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
