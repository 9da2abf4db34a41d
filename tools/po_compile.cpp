// po-compile: reads the English template po/menuvane.pot, one translation per language
// (po/<code>.po) and the table of Office's languages (po/languages.tsv); checks that every
// language has every text with the same placeholders, and its KeyTips and access keys; and writes
// what the programs and the setup are built with: the C++ tables (the texts, and which texts each
// Windows language reads), the setup's languages and texts for NSIS, and the Group Policy
// templates' texts (one ADML per language, made from the English one). The files are read
// through GNU gettext's libgettextpo. Run by the build, on the build machine; every file it reads
// was written by hand, so every fault is reported with its file and line, and nothing is written
// then.
//
//   po-compile --template menuvane.pot --languages languages.tsv [--cpp-header FILE --cpp-source FILE]
//              [--nsis FILE.nsh] [--adml-template en-US/X.adml --adml-dir DIR] [--check] LL.po...
#include "language_table.h"
#include "po_checks.h"
#include "po_reader.h"

#include <algorithm>
#include <cctype>
#include <clocale>
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

namespace po_compile {
namespace {

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

std::string Hex(unsigned n) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", n);
    return hex;
}

std::string Header(const Catalog& tpl, const LanguageTable& languages) {
    std::string h =
        "// Made by po-compile from " + FileLanguage(tpl.path) + ".pot and " +
        std::filesystem::path(languages.path).filename().string() +
        ": the English texts, in the template's order, and which texts each Windows language reads. Do not edit.\n"
        "#pragma once\n\n#include <cstddef>\n#include <cstdint>\n#include <string_view>\n\nnamespace kestrel {\n\n"
        "struct TextKey {\n    std::string_view context, english;\n};\n\n"
        "inline constexpr TextKey kTextKeys[] = {\n";
    for (const Entry& e : tpl.entries) h += "    {" + Literal(e.context) + ", " + Literal(e.id) + "},\n";
    h += "};\ninline constexpr std::size_t kTextCount = std::size(kTextKeys);\n\n"
         "// One shipped translation: its file's code (\"de\", \"pt_BR\") and every text, in the order of\n"
         "// kTextKeys.\n"
         "struct TranslationTable {\n    std::string_view code;\n    const std::string_view* texts;\n};\n"
         "extern const TranslationTable kTranslations[];\nextern const std::size_t kTranslationCount;\n\n"
         "// The texts a Windows language reads, by its primary language (LANG_*) and sublanguage: Office's\n"
         "// languages and its language interface packs. kEverySublanguage: each sublanguage that no other\n"
         "// route of the same primary language names.\n"
         "struct LanguageRoute {\n    std::uint16_t primary, sublanguage;\n"
         "    std::string_view code;  // \"en\", or a translation's code (shipped or not)\n"
         "    bool pack;              // a language interface pack: its base language's texts\n};\n"
         "inline constexpr std::uint16_t kEverySublanguage = 0xFFFF;\n"
         "inline constexpr LanguageRoute kLanguageRoutes[] = {\n";
    for (const LanguageRoute& r : languages.Routes())
        h += "    {" + Hex(r.primary) + ", " + (r.sublanguage ? Hex(*r.sublanguage) : "kEverySublanguage") + ", " +
             Literal(r.code) + ", " + (r.pack ? "true" : "false") + "},  // " + r.row->culture + "\n";
    h += "};\n\n}  // namespace kestrel\n";
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


// The setup's languages for NSIS (menuvane.nsi includes it after its pages): English and every
// translation NSIS has a language file for, a LangString per setup text in each, and
// MENUVANE_CHOOSE_LANGUAGE, which picks the language of Windows' display language as the
// programs do (a language interface pack reads its base language).
std::string Nsis(const Catalog& tpl, const std::vector<Catalog>& pos, const LanguageTable& languages) {
    // The NSIS language of each shipped translation that has one, by code.
    std::map<std::string, std::string> shipped;
    for (const Catalog& po : pos)
        if (const LanguageRow* row = languages.Language(po.language); row && !row->nsis.empty())
            shipped[po.language] = row->nsis;

    std::string s = "\xEF\xBB\xBF; Made by po-compile from " + FileLanguage(tpl.path) +
                    ".pot, the translations and " + std::filesystem::path(languages.path).filename().string() +
                    ": the setup's languages and texts. Do not edit.\n\n"
                    "!insertmacro MUI_LANGUAGE \"English\"\n";
    for (const Catalog& po : pos)
        if (shipped.count(po.language)) s += "!insertmacro MUI_LANGUAGE \"" + shipped[po.language] + "\"\n";
    for (const Entry& t : tpl.entries) {
        if (!StartsWith(t.context, kSetupContext)) continue;
        const std::string name = t.context.substr(kSetupContext.size());
        s += "\nLangString " + name + " ${LANG_ENGLISH} " + NsisQuoted(t.id) + "\n";
        for (const Catalog& po : pos)
            if (shipped.count(po.language))
                for (const Entry& e : po.entries)
                    if (e.context == t.context && e.id == t.id)
                        s += "LangString " + name + " " + NsisLangDefine(shipped[po.language]) + " " +
                             NsisQuoted(e.text) + "\n";
    }

    s += "\n; $LANGUAGE for Windows' display language (GetUserDefaultUILanguage): its translation, its\n"
         "; pack's base language, or English. Uses $0 (the LANGID), $1 (its primary language) and $2\n"
         "; (its sublanguage).\n"
         "!macro MENUVANE_CHOOSE_LANGUAGE\n"
         "  System::Call \"kernel32::GetUserDefaultUILanguage() i .r0\"\n"
         "  IntOp $1 $0 & 0x3FF\n"
         "  IntOp $2 $0 >> 10\n"
         "  StrCpy $LANGUAGE ${LANG_ENGLISH}\n";
    // Each primary language that one of its routes takes out of English, in the table's order.
    const std::vector<LanguageRoute> routes = languages.Routes();
    auto language = [&](const LanguageRoute& r) {
        const auto it = shipped.find(r.code);
        return it == shipped.end() ? std::string("${LANG_ENGLISH}") : NsisLangDefine(it->second);
    };
    auto choose = [&](const LanguageRoute& r, const std::string& indent) {
        return indent + "StrCpy $LANGUAGE " + language(r) + "\n";
    };
    std::vector<unsigned> primaries;
    for (const LanguageRoute& r : routes)
        if (shipped.count(r.code) && std::find(primaries.begin(), primaries.end(), r.primary) == primaries.end())
            primaries.push_back(r.primary);
    for (std::size_t p = 0; p < primaries.size(); ++p) {
        s += std::string(p == 0 ? "  ${If}" : "  ${ElseIf}") + " $1 = " + Hex(primaries[p]) + "\n";
        std::vector<const LanguageRoute*> named;  // by sublanguage, then the one for every other
        const LanguageRoute* every = nullptr;
        for (const LanguageRoute& r : routes) {
            if (r.primary != primaries[p]) continue;
            if (r.sublanguage) named.push_back(&r);
            else every = &r;
        }
        // One language for every sublanguage (a pack on its own language, as Nynorsk on Bokmal).
        auto asEvery = [&](const LanguageRoute* r) { return language(*r) == language(*every); };
        if (every && std::all_of(named.begin(), named.end(), asEvery)) {
            s += choose(*every, "    ");
            continue;
        }
        for (std::size_t i = 0; i < named.size(); ++i) {
            const bool sameRow = i > 0 && named[i - 1]->row == named[i]->row;
            s += std::string(sameRow ? "    ${OrIf}" : i == 0 ? "    ${If}" : "    ${ElseIf}") + " $2 = " +
                 Hex(*named[i]->sublanguage) + "\n";
            if (i + 1 == named.size() || named[i + 1]->row != named[i]->row) s += choose(*named[i], "      ");
        }
        if (every) s += "    ${Else}\n" + choose(*every, "      ");
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
    std::cerr << "usage: po-compile --template FILE.pot --languages FILE.tsv [--cpp-header FILE --cpp-source FILE]\n"
                 "                  [--nsis FILE.nsh] [--adml-template en-US/FILE.adml --adml-dir DIR] [--check] LL.po...\n";
    return 2;
}

}  // namespace
}  // namespace po_compile

int main(int argc, char** argv) {
    using namespace po_compile;
    std::string templatePath, languagesPath, headerPath, sourcePath, nsisPath, admlPath, admlDir;
    std::vector<std::string> poPaths;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (arg == "--template") templatePath = value();
        else if (arg == "--languages") languagesPath = value();
        else if (arg == "--cpp-header") headerPath = value();
        else if (arg == "--cpp-source") sourcePath = value();
        else if (arg == "--nsis") nsisPath = value();
        else if (arg == "--adml-template") admlPath = value();
        else if (arg == "--adml-dir") admlDir = value();
        else if (arg == "--check") continue;  // checking is what every run does first
        else if (arg.rfind("--", 0) == 0) return Usage();
        else poPaths.emplace_back(arg);
    }
    if (templatePath.empty() || languagesPath.empty() || headerPath.empty() != sourcePath.empty() ||
        admlPath.empty() != admlDir.empty())
        return Usage();
    // The KeyTips' case tests take Unicode's case from the C library's UTF-8 locale; the
    // library's messages stay in English.
    if (!std::setlocale(LC_CTYPE, "C.UTF-8")) {
        std::cerr << "po-compile: the C.UTF-8 locale is missing; it tells letters and their case\n";
        return 1;
    }

    const std::optional<LanguageTable> languages = ReadLanguageTable(languagesPath);
    const std::optional<Catalog> tpl = ReadCatalog(templatePath, false);
    std::vector<Catalog> pos;
    if (tpl && languages) {
        CheckTemplate(*tpl, *languages);
        std::sort(poPaths.begin(), poPaths.end());
        for (const std::string& path : poPaths)
            if (std::optional<Catalog> po = ReadCatalog(path, true)) {
                CheckTranslation(*tpl, *po, *languages);
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
        if (!WriteIfChanged(headerPath, Header(*tpl, *languages)) ||
            !WriteIfChanged(sourcePath, Source(*tpl, pos, headerName))) {
            std::cerr << "po-compile: cannot write " << headerPath << " or " << sourcePath << "\n";
            return 1;
        }
    }
    if (!nsisPath.empty() && !WriteIfChanged(nsisPath, Nsis(*tpl, pos, *languages))) {
        std::cerr << "po-compile: cannot write " << nsisPath << "\n";
        return 1;
    }
    if (adml) {
        const std::string name = std::filesystem::path(admlPath).filename().string();
        for (const Catalog& po : pos) {
            const std::string culture = languages->Language(po.language)->culture;
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
