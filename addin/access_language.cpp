#include "access_language.h"

namespace pellwyn {

void AccessLanguage::Learn(Host& host) {
    if (state_ != State::NotAsked) return;
    state_ = State::Asking;
    std::optional<std::int32_t> lcid;
    try {
        lcid = host.LanguageId();
    } catch (...) {
        // a question never fails the callback that asks it: English
    }
    kestrel::Language language;
    // An LCID is a language (the low 16 bits) and a sort order (the next four); any other
    // number names no language.
    if (lcid && *lcid > 0 && *lcid <= 0xFFFFF) language = kestrel::Language::FromLangId(static_cast<std::uint16_t>(*lcid & 0xFFFF));
    if (!language.english()) {
        try {
            for (std::size_t i = 0; i < kestrel::kTextCount; ++i)
                if (const std::string_view context = kestrel::kTextKeys[i].context;
                    context == "ribbon" || context.starts_with("keytip."))
                    escaped_[i] = kestrel::XmlEscaped(language(static_cast<kestrel::TextId>(i)));
        } catch (...) {
            language = kestrel::Language();  // no memory for the texts: English, as it always was
        }
    }
    language_ = language;
    state_ = State::Known;
}

}  // namespace pellwyn
