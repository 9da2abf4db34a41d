// po/languages.tsv: Office's languages (English and one per translation) and its language
// interface packs, each with the Windows languages (LANGIDs) it stands for. See the file's own
// comment for its columns.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace po_compile {

struct LanguageRow {
    bool pack = false;
    std::string code;     // a language: its file's code ("de", "pt_BR"); a pack: its culture
    std::string culture;  // "de-DE"
    unsigned primary = 0;
    std::vector<unsigned> sublanguages;  // empty: every one no other row of the primary names
    std::string nsis;                    // a language: its NSIS language file, "" for none
    bool keyTips = true;                 // a language: whether its file carries KeyTips
    std::string base;                    // a pack: the code of the language whose texts it reads
    int line = 0;
};

// Which texts one LANGID, or every sublanguage of a primary language, reads.
struct LanguageRoute {
    unsigned primary = 0;
    std::optional<unsigned> sublanguage;  // none: every one no other route of the primary names
    std::string code;                     // "en", or a translation's code
    bool pack = false;
    const LanguageRow* row = nullptr;
};

struct LanguageTable {
    std::string path;
    std::vector<LanguageRow> rows;

    // The "language" row of a code, or nullptr.
    const LanguageRow* Language(const std::string& code) const;
    // Every row's LANGIDs and the code of the texts they read, in the file's order.
    std::vector<LanguageRoute> Routes() const;
};

// Reads and checks the table: its columns, numbers, codes (each once), that no LANGID has two
// rows, and that every pack's base is a language. Faults go to Report, with the file's line.
std::optional<LanguageTable> ReadLanguageTable(const std::string& path);

}  // namespace po_compile
