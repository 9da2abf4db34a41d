// po-compile: reads the English template po/menuvane.pot and one translation per language
// (po/<code>.po), checks that every language has every text with the same placeholders, and
// writes what the programs and the setup are built with: the C++ tables, the setup's languages
// and texts for NSIS, and the Group Policy templates' texts (one ADML per language, made from
// the English one). Run by the build, on the build machine, with no library beyond the standard
// one; every file it reads was written by hand, so every fault is reported with its file and
// line, and nothing is written then.
//
//   po-compile --template menuvane.pot [--cpp-header FILE --cpp-source FILE] [--nsis FILE.nsh]
//              [--adml-template en-US/X.adml --adml-dir DIR] [--check] LL.po...
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
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

// The length of the placeholder that starts at s[i], or 0: {1}, {2}, ... and the setup's $Name
// and ${NAME}.
std::size_t PlaceholderAt(std::string_view s, std::size_t i) {
    std::size_t end = i;
    if (s[i] == '{') {
        end = i + 1;
        while (end < s.size() && s[end] >= '0' && s[end] <= '9') ++end;
        if (end == i + 1 || end == s.size() || s[end] != '}') return 0;
        ++end;
    } else if (s[i] == '$' && i + 1 < s.size() && s[i + 1] == '{') {
        end = s.find('}', i);
        if (end == std::string_view::npos) return 0;
        ++end;
    } else if (s[i] == '$') {
        end = i + 1;
        while (end < s.size() && (std::isalnum(static_cast<unsigned char>(s[end])) || s[end] == '_')) ++end;
        if (end == i + 1) return 0;
    } else {
        return 0;
    }
    return end - i;
}

// The placeholders of a text, sorted.
std::vector<std::string> Placeholders(std::string_view s) {
    std::vector<std::string> found;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (const std::size_t n = PlaceholderAt(s, i)) {
            found.emplace_back(s.substr(i, n));
            i += n - 1;
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
// the Group Policy templates call them, and the Windows language numbers that name them (the
// primary language of a LANGID, LANG_*; where two languages share one, the sublanguages that
// name the one that lists them, the others naming the other). A file for a language not listed
// here is refused. The setup names each by its NSIS language file (Contrib/Language files);
// Kazakh has none, so its setup stays English.
struct KnownLanguage {
    std::string_view code, nsis, culture;
    unsigned primary;
    std::vector<unsigned> sublanguages;
};

// Chinese, Japanese and Korean are typed through an input method, not with keys that carry the
// title's characters: their Office gives the ribbon's controls KeyTips of its own, and so do we.
// Their files carry no "keytip.*" or "access-tab-keytips" entries.
bool HasKeyTips(std::string_view code) {
    return code != "ja" && code != "ko" && code != "zh_CN" && code != "zh_TW";
}
bool IsKeyTipEntry(std::string_view context) {
    return context.substr(0, 7) == "keytip." || context == "access-tab-keytips";
}
const KnownLanguage kKnownLanguages[] = {
    {"ar", "Arabic", "ar-SA", 0x01, {}},        {"bg", "Bulgarian", "bg-BG", 0x02, {}},
    {"ca", "Catalan", "ca-ES", 0x03, {}},       {"cs", "Czech", "cs-CZ", 0x05, {}},
    {"da", "Danish", "da-DK", 0x06, {}},        {"de", "German", "de-DE", 0x07, {}},
    {"el", "Greek", "el-GR", 0x08, {}},         {"es", "Spanish", "es-ES", 0x0A, {}},
    {"et", "Estonian", "et-EE", 0x25, {}},      {"eu", "Basque", "eu-ES", 0x2D, {}},
    {"fi", "Finnish", "fi-FI", 0x0B, {}},       {"fr", "French", "fr-FR", 0x0C, {}},
    {"gl", "Galician", "gl-ES", 0x56, {}},      {"he", "Hebrew", "he-IL", 0x0D, {}},
    {"hi", "Hindi", "hi-IN", 0x39, {}},         {"hr", "Croatian", "hr-HR", 0x1A, {0x01, 0x04}},
    {"hu", "Hungarian", "hu-HU", 0x0E, {}},     {"id", "Indonesian", "id-ID", 0x21, {}},
    {"it", "Italian", "it-IT", 0x10, {}},       {"ja", "Japanese", "ja-JP", 0x11, {}},
    {"kk", "", "kk-KZ", 0x3F, {}},              {"ko", "Korean", "ko-KR", 0x12, {}},
    {"lt", "Lithuanian", "lt-LT", 0x27, {}},    {"lv", "Latvian", "lv-LV", 0x26, {}},
    {"ms", "Malay", "ms-MY", 0x3E, {}},         {"nb", "Norwegian", "nb-NO", 0x14, {}},
    {"nl", "Dutch", "nl-NL", 0x13, {}},         {"pl", "Polish", "pl-PL", 0x15, {}},
    {"pt_BR", "PortugueseBR", "pt-BR", 0x16, {0x01}}, {"pt_PT", "Portuguese", "pt-PT", 0x16, {}},
    {"ro", "Romanian", "ro-RO", 0x18, {}},      {"ru", "Russian", "ru-RU", 0x19, {}},
    {"sk", "Slovak", "sk-SK", 0x1B, {}},        {"sl", "Slovenian", "sl-SI", 0x24, {}},
    {"sr", "SerbianLatin", "sr-Latn-RS", 0x1A, {}}, {"sv", "Swedish", "sv-SE", 0x1D, {}},
    {"th", "Thai", "th-TH", 0x1E, {}},          {"tr", "Turkish", "tr-TR", 0x1F, {}},
    {"uk", "Ukrainian", "uk-UA", 0x22, {}},     {"vi", "Vietnamese", "vi-VN", 0x2A, {}},
    // Taiwan, Hong Kong, Macao and zh-Hant read Traditional Chinese; China, Singapore and zh-Hans
    // Simplified.
    {"zh_CN", "SimpChinese", "zh-CN", 0x04, {}}, {"zh_TW", "TradChinese", "zh-TW", 0x04, {0x01, 0x03, 0x05, 0x1F}},
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
    const bool keyTips = HasKeyTips(code);
    for (const Entry& t : tpl.entries) {
        const auto it = have.find({t.context, t.id});
        if (!keyTips && IsKeyTipEntry(t.context)) {
            if (it != have.end()) {
                Report(po.path, it->second->line, "\"" + t.id + "\" (" + t.context + "): " + code +
                                                      " leaves KeyTips to Office, so its file has none");
                have.erase(it);
            }
            continue;
        }
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

// The setup's texts: the template's entries whose context is "setup.<Name>".
constexpr std::string_view kSetupContext = "setup.", kAdmlContext = "adml.";

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

// A text as an NSIS string in double quotes: quotes and line breaks as NSIS escapes them, the
// placeholders ($Name, ${NAME}) as they are, and any other $ doubled, so it stays a dollar sign.
std::string NsisQuoted(std::string_view s) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '$') {
            if (const std::size_t n = PlaceholderAt(s, i)) {
                out += s.substr(i, n);
                i += n - 1;
            } else {
                out += "$$";
            }
        } else if (s[i] == '"') {
            out += "$\\\"";
        } else if (s[i] == '\r') {
            out += "$\\r";
        } else if (s[i] == '\n') {
            out += "$\\n";
        } else if (s[i] == '\t') {
            out += "$\\t";
        } else {
            out += s[i];
        }
    }
    return out + "\"";
}

std::string NsisLangDefine(std::string_view nsisName) {
    std::string upper(nsisName);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return "${LANG_" + upper + "}";
}

std::string Hex(unsigned n) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", n);
    return hex;
}

// The setup's languages for NSIS (menuvane.nsi includes it after its pages): English and every
// translation NSIS has a language file for, a LangString per setup text in each, and
// MENUVANE_CHOOSE_LANGUAGE, which picks the language of Windows' display language as the
// programs do.
std::string Nsis(const Catalog& tpl, const std::vector<Catalog>& pos) {
    std::vector<std::pair<const Catalog*, const KnownLanguage*>> shipped;
    for (const Catalog& po : pos)
        if (const KnownLanguage* k = FindKnown(po.language); k && !k->nsis.empty()) shipped.emplace_back(&po, k);
    auto shippedAs = [&](const KnownLanguage& k) {
        for (const auto& [po, known] : shipped)
            if (known == &k) return true;
        return false;
    };

    std::string s = "\xEF\xBB\xBF; Made by po-compile from " + FileLanguage(tpl.path) +
                    ".pot and the translations: the setup's languages and texts. Do not edit.\n\n"
                    "!insertmacro MUI_LANGUAGE \"English\"\n";
    for (const auto& [po, k] : shipped) s += "!insertmacro MUI_LANGUAGE \"" + std::string(k->nsis) + "\"\n";
    for (const Entry& t : tpl.entries) {
        if (!StartsWith(t.context, kSetupContext)) continue;
        const std::string name = t.context.substr(kSetupContext.size());
        s += "\nLangString " + name + " ${LANG_ENGLISH} " + NsisQuoted(t.id) + "\n";
        for (const auto& [po, k] : shipped)
            for (const Entry& e : po->entries)
                if (e.context == t.context && e.id == t.id)
                    s += "LangString " + name + " " + NsisLangDefine(k->nsis) + " " + NsisQuoted(e.text) + "\n";
    }

    s += "\n; $LANGUAGE for Windows' display language (GetUserDefaultUILanguage): its translation, or\n"
         "; English. Uses $0 (the LANGID), $1 (its primary language) and $2 (its sublanguage).\n"
         "!macro MENUVANE_CHOOSE_LANGUAGE\n"
         "  System::Call \"kernel32::GetUserDefaultUILanguage() i .r0\"\n"
         "  IntOp $1 $0 & 0x3FF\n"
         "  IntOp $2 $0 >> 10\n"
         "  StrCpy $LANGUAGE ${LANG_ENGLISH}\n";
    std::vector<unsigned> primaries;
    for (const auto& [po, k] : shipped)
        if (std::find(primaries.begin(), primaries.end(), k->primary) == primaries.end()) primaries.push_back(k->primary);
    auto choose = [&](const KnownLanguage& k, const std::string& indent) {
        return shippedAs(k) ? indent + "StrCpy $LANGUAGE " + NsisLangDefine(k.nsis) + "\n"
                            : indent + "; " + std::string(k.code) + ": no translation, English\n";
    };
    for (std::size_t p = 0; p < primaries.size(); ++p) {
        s += std::string(p == 0 ? "  ${If}" : "  ${ElseIf}") + " $1 = " + Hex(primaries[p]) + "\n";
        std::vector<const KnownLanguage*> sharing;
        for (const KnownLanguage& k : kKnownLanguages)
            if (k.primary == primaries[p]) sharing.push_back(&k);
        if (sharing.size() == 1) {
            s += choose(*sharing.front(), "    ");
            continue;
        }
        bool first = true;
        for (const KnownLanguage* k : sharing) {
            if (k->sublanguages.empty()) continue;
            for (std::size_t i = 0; i < k->sublanguages.size(); ++i)
                s += std::string(i > 0 ? "    ${OrIf}" : first ? "    ${If}" : "    ${ElseIf}") + " $2 = " +
                     Hex(k->sublanguages[i]) + "\n";
            s += choose(*k, "      ");
            first = false;
        }
        for (const KnownLanguage* k : sharing)
            if (k->sublanguages.empty()) s += "    ${Else}\n" + choose(*k, "      ");
        s += "    ${EndIf}\n";
    }
    if (!primaries.empty()) s += "  ${EndIf}\n";
    s += "!macroend\n";
    return s;
}

// The Group Policy template in English, with the places of its texts: displayName, description
// and every <string id="X">, each of which the template has as "adml.displayName", ... "adml.X".
struct AdmlText {
    std::string context;
    std::size_t begin = 0, end = 0;  // the text between the element's tags
};

std::optional<std::string> XmlUnescaped(std::string_view s) {
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        bool known = false;
        for (const auto& [entity, c] : kEntities)
            if (s.substr(i, entity.size()) == entity) {
                out += c;
                i += entity.size() - 1;
                known = true;
                break;
            }
        if (!known) return std::nullopt;
    }
    return out;
}

std::string XmlEscapedText(std::string_view s) {
    std::string out;
    for (const char c : s) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

int LineAt(const std::string& text, std::size_t offset) {
    return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

// Reads the English ADML and checks it against the template: every text it has is the
// template's "adml.*" text, word for word, and the template has no other.
std::optional<std::pair<std::string, std::vector<AdmlText>>> ReadAdml(const std::string& path, const Catalog& tpl) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Report(path, 0, "cannot be read");
        return std::nullopt;
    }
    std::stringstream whole;
    whole << in.rdbuf();
    std::string xml = whole.str();
    xml.erase(std::remove(xml.begin(), xml.end(), '\r'), xml.end());
    const std::size_t faultsBefore = faults.size();
    std::vector<AdmlText> texts;
    auto element = [&](std::string_view open, std::string_view close, std::size_t from, const std::string& context) {
        const std::size_t begin = xml.find(open, from);
        if (begin == std::string::npos) return std::string::npos;
        const std::size_t end = xml.find(close, begin + open.size());
        if (end == std::string::npos) {
            Report(path, LineAt(xml, begin), std::string(open) + " is not closed");
            return std::string::npos;
        }
        texts.push_back({context, begin + open.size(), end});
        return end + close.size();
    };
    element("<displayName>", "</displayName>", 0, "adml.displayName");
    element("<description>", "</description>", 0, "adml.description");
    for (std::size_t at = xml.find("<string id=\""); at != std::string::npos; at = xml.find("<string id=\"", at)) {
        const std::size_t idBegin = at + 12, idEnd = xml.find('"', idBegin);
        const std::size_t tagEnd = idEnd == std::string::npos ? idEnd : xml.find('>', idEnd);
        if (tagEnd == std::string::npos || tagEnd != idEnd + 1) {
            Report(path, LineAt(xml, at), "a <string> po-compile cannot read: write <string id=\"X\">text</string>");
            return std::nullopt;
        }
        const std::string context = std::string(kAdmlContext) + xml.substr(idBegin, idEnd - idBegin);
        at = element(xml.substr(at, tagEnd + 1 - at), "</string>", at, context);
        if (at == std::string::npos) return std::nullopt;
    }
    if (xml.find("<presentation ") != std::string::npos)
        Report(path, LineAt(xml, xml.find("<presentation ")), "has presentations, whose texts po-compile does not translate");

    std::map<std::string, const Entry*> english;
    for (const Entry& e : tpl.entries)
        if (StartsWith(e.context, kAdmlContext)) english[e.context] = &e;
    for (const AdmlText& t : texts) {
        const auto it = english.find(t.context);
        const std::optional<std::string> text = XmlUnescaped(std::string_view(xml).substr(t.begin, t.end - t.begin));
        if (it == english.end())
            Report(path, LineAt(xml, t.begin), "its text " + t.context.substr(kAdmlContext.size()) + " is not in " + tpl.path +
                                                   " (msgctxt \"" + t.context + "\")");
        else if (!text)
            Report(path, LineAt(xml, t.begin), "an entity other than &amp; &lt; &gt; &quot; &apos;");
        else if (*text != it->second->id)
            Report(path, LineAt(xml, t.begin), "its text " + t.context.substr(kAdmlContext.size()) + " differs from " +
                                                   tpl.path + ":" + std::to_string(it->second->line));
        if (it != english.end()) english.erase(it);
    }
    for (const auto& [context, e] : english)
        Report(tpl.path, e->line, "\"" + context + "\" is no text of " + path);
    if (faults.size() != faultsBefore) return std::nullopt;
    return std::pair(xml, texts);
}

// One translation's ADML: the English one with the texts replaced, and its first comment saying
// where it comes from.
std::string Adml(const std::string& xml, const std::vector<AdmlText>& texts, const Catalog& po, const std::string& culture) {
    std::map<std::string, std::string> translated;
    for (const Entry& e : po.entries)
        if (StartsWith(e.context, kAdmlContext)) translated[e.context] = e.text;
    std::string out;
    std::size_t from = 0;
    for (const AdmlText& t : texts) {
        out += xml.substr(from, t.begin - from) + XmlEscapedText(translated[t.context]);
        from = t.end;
    }
    out += xml.substr(from);
    const std::size_t comment = out.find("<!--"), commentEnd = out.find("-->", comment);
    if (comment != std::string::npos && commentEnd != std::string::npos)
        out.replace(comment, commentEnd + 3 - comment,
                    "<!-- The " + culture + " texts of the administrative template, made by po-compile from " +
                        FileLanguage(po.path) + ".po and the English ADML. Do not edit. -->");
    return out;
}

int Usage() {
    std::cerr << "usage: po-compile --template FILE.pot [--cpp-header FILE --cpp-source FILE] [--nsis FILE.nsh]\n"
                 "                  [--adml-template en-US/FILE.adml --adml-dir DIR] [--check] LL.po...\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string templatePath, headerPath, sourcePath, nsisPath, admlPath, admlDir;
    std::vector<std::string> poPaths;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (arg == "--template") templatePath = value();
        else if (arg == "--cpp-header") headerPath = value();
        else if (arg == "--cpp-source") sourcePath = value();
        else if (arg == "--nsis") nsisPath = value();
        else if (arg == "--adml-template") admlPath = value();
        else if (arg == "--adml-dir") admlDir = value();
        else if (arg == "--check") continue;  // checking is what every run does first
        else if (arg.rfind("--", 0) == 0) return Usage();
        else poPaths.emplace_back(arg);
    }
    if (templatePath.empty() || headerPath.empty() != sourcePath.empty() || admlPath.empty() != admlDir.empty())
        return Usage();

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
    std::optional<std::pair<std::string, std::vector<AdmlText>>> adml;
    if (tpl && !admlPath.empty()) adml = ReadAdml(admlPath, *tpl);
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
    if (!nsisPath.empty() && !WriteIfChanged(nsisPath, Nsis(*tpl, pos))) {
        std::cerr << "po-compile: cannot write " << nsisPath << "\n";
        return 1;
    }
    if (adml) {
        const std::string name = std::filesystem::path(admlPath).filename().string();
        for (const Catalog& po : pos) {
            const std::string culture(FindKnown(po.language)->culture);
            const std::filesystem::path out = std::filesystem::path(admlDir) / culture / name;
            std::error_code error;
            std::filesystem::create_directories(out.parent_path(), error);
            if (error || !WriteIfChanged(out.string(), Adml(adml->first, adml->second, po, culture))) {
                std::cerr << "po-compile: cannot write " << out.string() << "\n";
                return 1;
            }
        }
    }
    std::cout << "po-compile: " << tpl->entries.size() << " texts, " << pos.size() << " translation"
              << (pos.size() == 1 ? "" : "s") << " complete\n";
    return 0;
}
