// The user's language: which of the shipped translations (po/*.po, built in by po-compile)
// speaks it, and the texts in it. Windows names a language by a LANGID (the low 16 bits of an
// LCID): its primary language and a sublanguage, which only Chinese and Portuguese look at.
#pragma once

#include "translations.h"  // made by po-compile from po/

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kestrel {

using TextId = std::uint16_t;
inline constexpr TextId kNoText = 0xFFFF;
static_assert(kTextCount < kNoText);

// The place of an English text in the template, or kNoText. Work it out while compiling
// (Text below): a text that is not in the template then does not compile.
constexpr TextId FindText(std::string_view context, std::string_view english) {
    for (std::size_t i = 0; i < kTextCount; ++i)
        if (kTextKeys[i].context == context && kTextKeys[i].english == english) return static_cast<TextId>(i);
    return kNoText;
}
consteval TextId Text(std::string_view context, std::string_view english) {
    const TextId id = FindText(context, english);
    if (id == kNoText) throw "this text is not in po/menuvane.pot";  // a compile error
    return id;
}

// The translation file's code for a Windows language ("de", "pt_BR", "zh_TW"), "en" for every
// English, or "" for a language Office does not ship in.
std::string_view LanguageCode(std::uint16_t langId);

class Language {
public:
    // English: the texts as the template has them.
    Language() = default;
    // The language Windows names by that LANGID. English for any English; a language we do not
    // ship keeps the English texts but is not English.
    static Language FromLangId(std::uint16_t langId);

    bool english() const noexcept { return english_; }
    // "en", the shipped translation's code, or the code of a language we do not ship ("" when
    // Office has none for it).
    std::string_view code() const noexcept { return code_; }
    bool translated() const noexcept { return texts_ != nullptr; }
    // Written right to left (Arabic, Hebrew): windows in this language are mirrored and their
    // text reads from the right.
    bool rightToLeft() const noexcept { return code_ == "ar" || code_ == "he"; }

    // The text in this language, or in English where we do not ship it.
    std::string_view operator()(TextId id) const noexcept {
        return texts_ ? texts_[id] : kTextKeys[id].english;
    }

    bool operator==(const Language& other) const noexcept {
        return english_ == other.english_ && code_ == other.code_ && texts_ == other.texts_;
    }

private:
    bool english_ = true;
    std::string_view code_ = "en";
    const std::string_view* texts_ = nullptr;
};

// A text with its placeholders {1} to {9} replaced by the arguments, in order. A placeholder
// without an argument stays as it is.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

// A text made fit for an attribute value in double quotes: & < > " written as references.
std::string XmlEscaped(std::string_view text);

}  // namespace kestrel
