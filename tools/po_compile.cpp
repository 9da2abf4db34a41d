// po-compile: reads the English template po/menuvane.pot and one translation per language
// (po/<code>.po), checks that every language has every text with the same placeholders, and
// writes the C++ tables the programs are built with. Run by the build, on the build machine,
// with no library beyond the standard one; every file it reads was written by hand, so every
// fault is reported with its file and line, and nothing is written then.
//
//   po-compile --template menuvane.pot [--cpp-header FILE --cpp-source FILE] [--check] LL.po...
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

struct Entry {
    std::string context, id, text;  // msgctxt, msgid, msgstr
    bool fuzzy = false;
    int line = 0;                    // where its msgid is
};

struct Catalog {
    std::string path, language;  // the file, and its "Language:" header
    std::vector<Entry> entries;  // without the header entry
};

struct Fault {
    std::string where, what;
};
std::vector<Fault> faults;

void Report(const std::string& path, int line, const std::string& what) {
    faults.push_back({path + ":" + std::to_string(line), what});
}

// A quoted string of a .po line: its text with the escapes resolved.
std::optional<std::string> Unquote(std::string_view s, std::string& error) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    if (s.size() < 2 || s.front() != '"' || s.back() != '"') {
        error = "a text must stand in double quotes";
        return std::nullopt;
    }
    s = s.substr(1, s.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '"') {
            error = "a double quote inside a text must be written \\\"";
            return std::nullopt;
        }
        if (s[i] != '\\') {
            out += s[i];
            continue;
        }
        if (++i == s.size()) {
            error = "a text ends in a lone backslash";
            return std::nullopt;
        }
        switch (s[i]) {
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        default: error = std::string("unknown escape \\") + s[i]; return std::nullopt;
        }
    }
    return out;
}

bool ValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 2) return false;
        i += n;
    }
    return true;
}

// Reads a .po or .pot file. Obsolete entries (#~) and comments are skipped; the header entry
// (empty msgid, no context) gives the language.
std::optional<Catalog> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Report(path, 0, "cannot be read");
        return std::nullopt;
    }
    Catalog c{path, {}, {}};
    const std::size_t faultsBefore = faults.size();
    enum class Field { None, Context, Id, Text } field = Field::None;
    Entry e;
    bool haveId = false, haveText = false, nextFuzzy = false, headerSeen = false;
    auto finish = [&](int line) {
        if (!haveId && !haveText && e.context.empty()) return;
        if (!haveId || !haveText) Report(path, line, "an entry needs both msgid and msgstr");
        if (e.id.empty() && e.context.empty()) {  // the header
            headerSeen = true;
            std::istringstream fields(e.text);
            for (std::string f; std::getline(fields, f);)
                if (f.rfind("Language:", 0) == 0) {
                    c.language = f.substr(9);
                    c.language.erase(0, c.language.find_first_not_of(' '));
                    c.language.erase(c.language.find_last_not_of(" \r") + 1);
                }
        } else {
            c.entries.push_back(e);
        }
        e = Entry();
        haveId = haveText = false;
        field = Field::None;
    };
    std::string raw;
    for (int line = 1; std::getline(in, raw); ++line) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (line == 1 && raw.rfind("\xEF\xBB\xBF", 0) == 0) raw.erase(0, 3);
        if (!ValidUtf8(raw)) Report(path, line, "is not UTF-8");
        std::string_view s(raw);
        const std::size_t start = s.find_first_not_of(" \t");
        if (start == std::string_view::npos) continue;
        s.remove_prefix(start);
        if (s[0] == '#') {
            if (s.rfind("#,", 0) == 0 && s.find("fuzzy") != std::string_view::npos) nextFuzzy = true;
            continue;
        }
        auto keyword = [&](std::string_view k) {
            if (s.rfind(k, 0) != 0 || s.size() == k.size() || (s[k.size()] != ' ' && s[k.size()] != '"')) return false;
            s.remove_prefix(k.size());
            s.remove_prefix(std::min(s.find_first_not_of(' '), s.size()));
            return true;
        };
        std::string* target = nullptr;
        if (keyword("msgctxt")) {
            if (haveId || haveText) finish(line);
            field = Field::Context;
            e.line = line;
            target = &e.context;
        } else if (keyword("msgid")) {
            if (haveId || haveText) finish(line);
            field = Field::Id;
            if (e.line == 0) e.line = line;
            e.fuzzy = std::exchange(nextFuzzy, false);
            haveId = true;
            target = &e.id;
        } else if (keyword("msgstr")) {
            if (!haveId) Report(path, line, "msgstr without msgid");
            field = Field::Text;
            haveText = true;
            target = &e.text;
        } else if (s.rfind("msgid_plural", 0) == 0 || s.rfind("msgstr[", 0) == 0) {
            Report(path, line, "plural forms are not used by these programs");
            continue;
        } else if (s[0] == '"') {
            target = field == Field::Context ? &e.context : field == Field::Id ? &e.id : field == Field::Text ? &e.text : nullptr;
            if (!target) {
                Report(path, line, "a text outside any msgctxt, msgid or msgstr");
                continue;
            }
        } else {
            Report(path, line, "not a line of a .po file");
            continue;
        }
        std::string error;
        if (const std::optional<std::string> text = Unquote(s, error))
            *target += *text;
        else
            Report(path, line, error);
    }
    finish(0);
    if (!headerSeen) Report(path, 1, "has no header entry (msgid \"\")");
    if (faults.size() != faultsBefore) return std::nullopt;
    return c;
}

// The placeholders of a text, sorted: {1}, {2}, ... and the setup's $Name and ${NAME}.
std::vector<std::string> Placeholders(std::string_view s) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < s.size(); ++i) {
        std::size_t end = i;
        if (s[i] == '{') {
            end = i + 1;
            while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
            if (end == i + 1 || end == s.size() || s[end] != '}') continue;
            ++end;
        } else if (s[i] == '$' && i + 1 < s.size() && s[i + 1] == '{') {
            end = s.find('}', i);
            if (end == std::string_view::npos) continue;
            ++end;
        } else if (s[i] == '$') {
            end = i + 1;
            while (end < s.size() && (std::isalnum(static_cast<unsigned char>(s[end])) || s[end] == '_')) ++end;
            if (end == i + 1) continue;
        } else {
            continue;
        }
        found.emplace_back(s.substr(i, end - i));
        i = end - 1;
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string Join(const std::vector<std::string>& v) {
    std::string out;
    for (const std::string& s : v) out += (out.empty() ? "" : " ") + s;
    return out.empty() ? "none" : out;
}

std::string FileLanguage(const std::string& path) {
    std::string name = path.substr(path.find_last_of("/\\") + 1);
    return name.substr(0, name.rfind('.'));
}

// The languages Office ships in, by the code of their translation file: what the setup and
// the Group Policy templates call them. A file for a language not listed here is refused.
struct KnownLanguage {
    std::string_view code, nsis, culture;
};
constexpr KnownLanguage kKnownLanguages[] = {
    {"ar", "Arabic", "ar-SA"},         {"bg", "Bulgarian", "bg-BG"},      {"ca", "Catalan", "ca-ES"},
    {"cs", "Czech", "cs-CZ"},          {"da", "Danish", "da-DK"},         {"de", "German", "de-DE"},
    {"el", "Greek", "el-GR"},          {"es", "Spanish", "es-ES"},        {"et", "Estonian", "et-EE"},
    {"eu", "Basque", "eu-ES"},         {"fi", "Finnish", "fi-FI"},        {"fr", "French", "fr-FR"},
    {"gl", "Galician", "gl-ES"},       {"he", "Hebrew", "he-IL"},         {"hi", "Hindi", "hi-IN"},
    {"hr", "Croatian", "hr-HR"},       {"hu", "Hungarian", "hu-HU"},      {"id", "Indonesian", "id-ID"},
    {"it", "Italian", "it-IT"},        {"ja", "Japanese", "ja-JP"},       {"kk", "Kazakh", "kk-KZ"},
    {"ko", "Korean", "ko-KR"},         {"lt", "Lithuanian", "lt-LT"},     {"lv", "Latvian", "lv-LV"},
    {"ms", "Malay", "ms-MY"},          {"nb", "Norwegian", "nb-NO"},      {"nl", "Dutch", "nl-NL"},
    {"pl", "Polish", "pl-PL"},         {"pt_BR", "PortugueseBR", "pt-BR"}, {"pt_PT", "Portuguese", "pt-PT"},
    {"ro", "Romanian", "ro-RO"},       {"ru", "Russian", "ru-RU"},        {"sk", "Slovak", "sk-SK"},
    {"sl", "Slovenian", "sl-SI"},      {"sr", "SerbianLatin", "sr-Latn-RS"}, {"sv", "Swedish", "sv-SE"},
    {"th", "Thai", "th-TH"},           {"tr", "Turkish", "tr-TR"},        {"uk", "Ukrainian", "uk-UA"},
    {"vi", "Vietnamese", "vi-VN"},     {"zh_CN", "SimpChinese", "zh-CN"}, {"zh_TW", "TradChinese", "zh-TW"},
};

const KnownLanguage* FindKnown(std::string_view code) {
    for (const KnownLanguage& k : kKnownLanguages)
        if (k.code == code) return &k;
    return nullptr;
}

// Every text of the template, once, with the same placeholders; nothing else.
void Check(const Catalog& tpl, const Catalog& po) {
    const std::string code = FileLanguage(po.path);
    if (po.language != code)
        Report(po.path, 1, "its header says Language: \"" + po.language + "\", its file name says \"" + code + "\"");
    if (!FindKnown(code)) Report(po.path, 1, "\"" + code + "\" is not a language these programs know");
    std::map<std::pair<std::string, std::string>, const Entry*> have;
    for (const Entry& e : po.entries) {
        if (!have.emplace(std::pair(e.context, e.id), &e).second)
            Report(po.path, e.line, "\"" + e.id + "\" (" + e.context + ") is there twice");
    }
    for (const Entry& t : tpl.entries) {
        const auto it = have.find({t.context, t.id});
        if (it == have.end()) {
            Report(po.path, 0, "misses \"" + t.id + "\" (" + t.context + ", " + tpl.path + ":" + std::to_string(t.line) + ")");
            continue;
        }
        const Entry& e = *it->second;
        have.erase(it);
        if (e.text.empty())
            Report(po.path, e.line, "\"" + t.id + "\" (" + t.context + ") is not translated");
        else if (e.fuzzy)
            Report(po.path, e.line, "\"" + t.id + "\" (" + t.context + ") is marked fuzzy: check it, then drop the mark");
        else if (Placeholders(e.text) != Placeholders(t.id))
            Report(po.path, e.line, "\"" + t.id + "\" (" + t.context + ") has the placeholders " +
                                        Join(Placeholders(e.text)) + ", English has " + Join(Placeholders(t.id)));
    }
    for (const auto& [key, e] : have)
        Report(po.path, e->line, "\"" + key.second + "\" (" + key.first + ") is not in " + tpl.path);
}

// A C++ string literal of UTF-8 text: only ASCII in the source, so no compiler's idea of the
// source's character set matters.
std::string Literal(std::string_view s) {
    std::string out = "\"";
    bool afterHex = false;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        const bool hexDigit = std::isxdigit(c) != 0;
        if (afterHex && hexDigit) out += "\"\"";  // "\xC3" "A": the escape must end
        afterHex = false;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
            afterHex = true;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

bool WriteIfChanged(const std::string& path, const std::string& text) {
    {
        std::ifstream old(path, std::ios::binary);
        std::stringstream had;
        had << old.rdbuf();
        if (old && had.str() == text) return true;  // unchanged: nothing that includes it rebuilds
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out.flush());
}

std::string Header(const Catalog& tpl) {
    std::string h =
        "// Made by po-compile from " + FileLanguage(tpl.path) +
        ".pot: the English texts, in the template's order. Do not edit.\n"
        "#pragma once\n\n#include <cstddef>\n#include <string_view>\n\nnamespace kestrel {\n\n"
        "struct TextKey {\n    std::string_view context, english;\n};\n\n"
        "inline constexpr TextKey kTextKeys[] = {\n";
    for (const Entry& e : tpl.entries) h += "    {" + Literal(e.context) + ", " + Literal(e.id) + "},\n";
    h += "};\ninline constexpr std::size_t kTextCount = std::size(kTextKeys);\n\n"
         "// One shipped translation: its file's code (\"de\", \"pt_BR\") and every text, in the order of\n"
         "// kTextKeys.\n"
         "struct TranslationTable {\n    std::string_view code;\n    const std::string_view* texts;\n};\n"
         "extern const TranslationTable kTranslations[];\nextern const std::size_t kTranslationCount;\n\n"
         "}  // namespace kestrel\n";
    return h;
}

std::string Source(const Catalog& tpl, const std::vector<Catalog>& pos, const std::string& headerName) {
    std::string s = "// Made by po-compile from the translations. Do not edit.\n#include \"" + headerName +
                    "\"\n\nnamespace kestrel {\nnamespace {\n\n";
    for (const Catalog& po : pos) {
        std::map<std::pair<std::string, std::string>, std::string> texts;
        for (const Entry& e : po.entries) texts[{e.context, e.id}] = e.text;
        s += "constexpr std::string_view k_" + po.language + "[] = {\n";
        for (const Entry& t : tpl.entries) s += "    " + Literal(texts[{t.context, t.id}]) + ",\n";
        s += "};\nstatic_assert(std::size(k_" + po.language + ") == kTextCount);\n\n";
    }
    s += "}  // namespace\n\nconst TranslationTable kTranslations[] = {\n";
    for (const Catalog& po : pos) s += "    {" + Literal(po.language) + ", k_" + po.language + "},\n";
    if (pos.empty()) s += "    {\"\", nullptr},  // English only\n";
    s += "};\nconst std::size_t kTranslationCount = " + std::to_string(pos.size()) + ";\n\n}  // namespace kestrel\n";
    return s;
}

int Usage() {
    std::cerr << "usage: po-compile --template FILE.pot [--cpp-header FILE --cpp-source FILE] [--check] LL.po...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string templatePath, headerPath, sourcePath;
    std::vector<std::string> poPaths;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (arg == "--template") templatePath = value();
        else if (arg == "--cpp-header") headerPath = value();
        else if (arg == "--cpp-source") sourcePath = value();
        else if (arg == "--check") continue;  // checking is what every run does first
        else if (arg.rfind("--", 0) == 0) return Usage();
        else poPaths.emplace_back(arg);
    }
    if (templatePath.empty() || headerPath.empty() != sourcePath.empty()) return Usage();

    const std::optional<Catalog> tpl = Read(templatePath);
    std::vector<Catalog> pos;
    if (tpl) {
        std::map<std::pair<std::string, std::string>, int> seen;
        for (const Entry& e : tpl->entries) {
            if (e.id.empty()) Report(tpl->path, e.line, "an empty English text");
            if (!seen.emplace(std::pair(e.context, e.id), e.line).second)
                Report(tpl->path, e.line, "\"" + e.id + "\" (" + e.context + ") is there twice");
        }
        std::sort(poPaths.begin(), poPaths.end());
        for (const std::string& path : poPaths)
            if (std::optional<Catalog> po = Read(path)) {
                Check(*tpl, *po);
                pos.push_back(std::move(*po));
            }
    }
    if (!faults.empty()) {
        for (const Fault& f : faults) std::cerr << f.where << ": " << f.what << "\n";
        std::cerr << "po-compile: " << faults.size() << " fault" << (faults.size() == 1 ? "" : "s")
                  << " in the translations; nothing written\n";
        return 1;
    }
    if (!headerPath.empty()) {
        const std::string headerName = headerPath.substr(headerPath.find_last_of("/\\") + 1);
        if (!WriteIfChanged(headerPath, Header(*tpl)) || !WriteIfChanged(sourcePath, Source(*tpl, pos, headerName))) {
            std::cerr << "po-compile: cannot write " << headerPath << " or " << sourcePath << "\n";
            return 1;
        }
    }
    std::cout << "po-compile: " << tpl->entries.size() << " texts, " << pos.size() << " translation"
              << (pos.size() == 1 ? "" : "s") << " complete\n";
    return 0;
}
