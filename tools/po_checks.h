// po-compile's own checks of the texts: what libgettextpo cannot know about these programs.
#pragma once

#include "language_table.h"
#include "po_reader.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace po_compile {

// The template: no English text empty, and its KeyTips and access keys by the same rules as
// every translation's (English is a language too).
void CheckTemplate(const Catalog& tpl, const LanguageTable& languages);

// One translation: its file is named by its header's language, one of the table's languages
// (not a pack, which reads its base language); every text of the template once, translated,
// not fuzzy, with the same placeholders, and nothing else; no KeyTips where Office gives them;
// then its KeyTips and access keys.
//
// KeyTips ("keytip.<menu path>", the path's last part being the English of its title, a
// "ribbon" text): 1 to 3 characters, no blank, no lowercase letter (where the script has case);
// every letter occurs in its title, ignoring case, where the title has letters; unique among
// the KeyTips of the same menu ignoring case, none the start of another's (the menu bar's menus
// and All are one menu); the Classic tab's clashes with none of "access-tab-keytips".
// Access keys (the "options" texts): a caption whose English has an access key ("&" before a
// character, "&&" being an ampersand) has exactly one, before a letter or digit, and no two in
// the window are the same letter ignoring case; a text whose English has none has no "&".
void CheckTranslation(const Catalog& tpl, const Catalog& po, const LanguageTable& languages);

// The file's code: "de" for .../de.po.
std::string FileLanguage(const std::string& path);

// The length of the placeholder that starts at s[i], or 0: {1}, {2}, ... and the setup's $Name
// and ${NAME}.
std::size_t PlaceholderAt(std::string_view s, std::size_t i);

}  // namespace po_compile
