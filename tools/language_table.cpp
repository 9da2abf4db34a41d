#include "language_table.h"

#include "po_reader.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <utility>

namespace po_compile {
namespace {

// "0x1A" (hex, up to the limit) or nullopt.
std::optional<unsigned> Hex(const std::string& s, unsigned limit) {
    if (s.size() < 3 || s.size() > 6 || s[0] != '0' || (s[1] != 'x' && s[1] != 'X')) return std::nullopt;
    unsigned n = 0;
    for (std::size_t i = 2; i < s.size(); ++i) {
        const char c = s[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) return std::nullopt;
        n = n * 16 + static_cast<unsigned>(digit);
    }
    if (n > limit) return std::nullopt;
    return n;
}

// "0x1A" or "0x1A:0x01,0x04" into the row; false when it is neither.
bool ReadLangId(const std::string& s, LanguageRow& row) {
    const std::size_t colon = s.find(':');
    const std::optional<unsigned> primary = Hex(s.substr(0, colon), 0x3FF);
    if (!primary || *primary == 0) return false;  // 0 is the neutral language
    row.primary = *primary;
    if (colon == std::string::npos) return true;
    std::istringstream subs(s.substr(colon + 1));
    for (std::string sub; std::getline(subs, sub, ',');) {
        const std::optional<unsigned> n = Hex(sub, 0x3F);
        if (!n) return false;
        row.sublanguages.push_back(*n);
    }
    return !row.sublanguages.empty();
}

}  // namespace

const LanguageRow* LanguageTable::Language(const std::string& code) const {
    for (const LanguageRow& row : rows)
        if (!row.pack && row.code == code) return &row;
    return nullptr;
}

std::vector<LanguageRoute> LanguageTable::Routes() const {
    std::vector<LanguageRoute> routes;
    for (const LanguageRow& row : rows) {
        const std::string& code = row.pack ? row.base : row.code;
        if (row.sublanguages.empty()) routes.push_back({row.primary, std::nullopt, code, row.pack, &row});
        for (const unsigned sub : row.sublanguages) routes.push_back({row.primary, sub, code, row.pack, &row});
    }
    return routes;
}

std::optional<LanguageTable> ReadLanguageTable(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Report(path, 0, "cannot be read");
        return std::nullopt;
    }
    const std::size_t faultsBefore = faults.size();
    LanguageTable table{path, {}};
    std::string raw;
    for (int line = 1; std::getline(in, raw); ++line) {
        raw = raw.substr(0, raw.find('#'));
        std::istringstream fields(raw);
        std::vector<std::string> f;
        for (std::string word; fields >> word;) f.push_back(word);
        if (f.empty()) continue;
        LanguageRow row;
        row.line = line;
        if (f[0] == "language" && f.size() == 6) {
            row.code = f[1];
            row.culture = f[2];
            row.nsis = f[4] == "-" ? "" : f[4];
            if (f[5] != "yes" && f[5] != "office")
                Report(path, line, "keytips is \"yes\" or \"office\", not \"" + f[5] + "\"");
            row.keyTips = f[5] == "yes";
        } else if (f[0] == "pack" && f.size() == 4) {
            row.pack = true;
            row.code = row.culture = f[1];
            row.base = f[3];
        } else {
            Report(path, line,
                   "a row is \"language code culture langid nsis keytips\" or \"pack culture langid base\"");
            continue;
        }
        if (!ReadLangId(f[row.pack ? 2 : 3], row))
            Report(path, line, "\"" + f[row.pack ? 2 : 3] + "\" is no LANGID: a primary language (0x01 to 0x3FF), "
                               "with \":\" and sublanguages (0x00 to 0x3F) where it takes only those");
        table.rows.push_back(std::move(row));
    }

    // Each code and culture once; each LANGID, and each primary language's "every other
    // sublanguage", in one row only; every pack based on a language.
    std::map<std::string, int> codes, cultures;
    std::map<std::pair<unsigned, int>, int> claimed;  // (primary, sublanguage or -1) -> line
    for (const LanguageRow& row : table.rows) {
        if (!row.pack && !codes.emplace(row.code, row.line).second)
            Report(path, row.line,
                   "the language \"" + row.code + "\" is also on line " + std::to_string(codes[row.code]));
        if (!cultures.emplace(row.culture, row.line).second)
            Report(path, row.line,
                   "the culture " + row.culture + " is also on line " + std::to_string(cultures[row.culture]));
        std::vector<int> subs;
        for (const unsigned s : row.sublanguages) subs.push_back(static_cast<int>(s));
        if (subs.empty()) subs.push_back(-1);
        for (const int s : subs)
            if (const auto [it, added] = claimed.emplace(std::pair(row.primary, s), row.line); !added) {
                char langid[32];
                if (s < 0) std::snprintf(langid, sizeof langid, "0x%02X", row.primary);
                else std::snprintf(langid, sizeof langid, "0x%02X:0x%02X", row.primary, static_cast<unsigned>(s));
                Report(path, row.line, std::string(s < 0 ? "the primary language " : "the LANGID ") + langid +
                                           " is also on line " + std::to_string(it->second));
            }
    }
    for (const LanguageRow& row : table.rows)
        if (row.pack && !table.Language(row.base))
            Report(path, row.line,
                   "the pack " + row.culture + " reads \"" + row.base + "\", which is no language of this table");
    if (!table.Language("en")) Report(path, 0, "has no row for English (\"en\"), the template's language");
    if (faults.size() != faultsBefore) return std::nullopt;
    return table;
}

}  // namespace po_compile
