#include "po_checks.h"

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <map>
#include <optional>
#include <sstream>
#include <utility>
#include <vector>

namespace po_compile {
namespace {

// Case, as Unicode has it for every script (the C.UTF-8 locale's, which main sets): a letter
// is lowercase when it is one or has an uppercase form of its own. Scripts without case
// (Arabic, Hebrew, Thai, Devanagari, ...) have neither.
bool IsLetter(char32_t c) { return std::iswalpha(static_cast<std::wint_t>(c)) != 0; }
bool IsLetterOrDigit(char32_t c) { return std::iswalnum(static_cast<std::wint_t>(c)) != 0; }
char32_t Upper(char32_t c) { return static_cast<char32_t>(std::towupper(static_cast<std::wint_t>(c))); }
bool IsLower(char32_t c) { return std::iswlower(static_cast<std::wint_t>(c)) != 0 || Upper(c) != c; }
char32_t Fold(char32_t c) { return static_cast<char32_t>(std::towlower(static_cast<std::wint_t>(Upper(c)))); }
std::u32string Fold(std::u32string s) {
    for (char32_t& c : s) c = Fold(c);
    return s;
}
bool StartsWith(std::u32string_view s, std::u32string_view prefix) { return s.substr(0, prefix.size()) == prefix; }
bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

constexpr std::string_view kKeyTipContext = "keytip.", kTabKeyTip = "keytip.Classic";
constexpr std::string_view kAccessTabs = "access-tab-keytips", kMenuSeparator = " > ";

std::string Where(const Entry& e) { return "\"" + e.id + "\" (" + e.context + ")"; }

// The text of an entry in the language checked: the template's English, or the translation.
struct Language {
    const Catalog& file;
    bool english;
    const std::string& Text(const Entry& e) const { return english ? e.id : e.text; }
    std::string At(const Entry& e) const { return "line " + std::to_string(e.line); }
};

void CheckKeyTips(const Language& l) {
    std::map<std::string, const Entry*> titles;  // the "ribbon" texts, by their English
    for (const Entry& e : l.file.entries)
        if (e.context == "ribbon") titles.emplace(e.id, &e);
    struct Tip {
        const Entry* entry;
        std::string parent;
        std::u32string folded;
    };
    std::vector<Tip> tips;
    std::optional<Tip> tab;
    const Entry* accessTabs = nullptr;
    for (const Entry& e : l.file.entries) {
        if (e.context == kAccessTabs) accessTabs = &e;
        if (!StartsWith(e.context, kKeyTipContext)) continue;
        const std::string& text = l.Text(e);
        const std::optional<std::u32string> tip = Utf32(text);
        if (!tip) continue;  // reading said so
        const std::string where = "KeyTip \"" + text + "\" (" + e.context + ")";
        if (tip->empty() || tip->size() > 3)
            Report(l.file.path, e.line,
                   where + " has " + std::to_string(tip->size()) + " characters: a KeyTip has 1 to 3");
        for (const char32_t c : *tip) {
            if (std::iswspace(static_cast<std::wint_t>(c))) {
                Report(l.file.path, e.line, where + " has a blank");
                break;
            }
            if (IsLetter(c) && IsLower(c)) {
                Report(l.file.path, e.line,
                       where + " has the lowercase letter \"" + Utf8(std::u32string(1, c)) +
                           "\": KeyTips are uppercase (\"" + Utf8(std::u32string(1, Upper(c))) + "\")");
                break;
            }
        }
        const std::string path = e.context.substr(kKeyTipContext.size());
        const std::size_t lastSeparator = path.rfind(kMenuSeparator);
        const std::string last =
            lastSeparator == std::string::npos ? path : path.substr(lastSeparator + kMenuSeparator.size());
        const auto title = titles.find(last);
        if (title == titles.end()) {
            Report(l.file.path, e.line, e.context + ": there is no \"ribbon\" text \"" + last + "\" to be its title");
        } else if (const std::optional<std::u32string> words = Utf32(l.Text(*title->second))) {
            const std::u32string folded = Fold(*words);
            if (std::any_of(words->begin(), words->end(), IsLetter))
                for (const char32_t c : *tip)
                    if (IsLetter(c) && folded.find(Fold(c)) == std::u32string::npos) {
                        Report(l.file.path, e.line,
                               where + ": \"" + Utf8(std::u32string(1, c)) + "\" is no letter of its title \"" +
                                   l.Text(*title->second) + "\" (" + l.At(*title->second) + ")");
                        break;
                    }
        }
        Tip t{&e, lastSeparator == std::string::npos ? "" : path.substr(0, lastSeparator), Fold(*tip)};
        if (e.context == kTabKeyTip) tab = t;
        else tips.push_back(std::move(t));
    }

    // Within one menu, no KeyTip twice and none the start of another: Office would wait for
    // the next key, or never reach one of them.
    for (std::size_t j = 0; j < tips.size(); ++j)
        for (std::size_t i = 0; i < j; ++i) {
            if (tips[i].parent != tips[j].parent) continue;
            const Entry& a = *tips[i].entry;
            const Entry& b = *tips[j].entry;
            const std::string where = "KeyTip \"" + l.Text(b) + "\" (" + b.context + ")";
            if (tips[i].folded == tips[j].folded)
                Report(l.file.path, b.line, where + " is also the KeyTip of " + a.context + " (" + l.At(a) + ")");
            else if (StartsWith(tips[i].folded, tips[j].folded) || StartsWith(tips[j].folded, tips[i].folded))
                Report(l.file.path, b.line, where + " and \"" + l.Text(a) + "\" (" + a.context + ", " + l.At(a) +
                                                "): one is the start of the other in the same menu");
        }

    // The tab's KeyTip beside Access's own tabs': a listed "X" stands for every KeyTip that
    // starts with it.
    if (!tab || !accessTabs) return;
    std::istringstream words(l.Text(*accessTabs));
    std::vector<std::string> listed;
    for (std::string w; words >> w;) listed.push_back(w);
    if (listed.empty()) Report(l.file.path, accessTabs->line, "access-tab-keytips lists no KeyTip");
    for (const std::string& w : listed) {
        const std::optional<std::u32string> other = Utf32(w);
        if (!other) continue;
        const std::u32string folded = Fold(*other);
        if (StartsWith(folded, tab->folded) || StartsWith(tab->folded, folded)) {
            Report(l.file.path, tab->entry->line,
                   "the Classic tab's KeyTip \"" + l.Text(*tab->entry) + "\" clashes with \"" + w +
                       "\", a KeyTip of Access's own tabs (" + std::string(kAccessTabs) + ", " + l.At(*accessTabs) +
                       ")");
            break;
        }
    }
}

// Where the access keys ("&" not part of "&&") of a text are.
std::vector<std::size_t> AccessKeys(std::string_view s) {
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') continue;
        if (i + 1 < s.size() && s[i + 1] == '&') ++i;
        else at.push_back(i);
    }
    return at;
}

void CheckAccessKeys(const Catalog& tpl, const Language& l) {
    std::map<std::pair<std::string, std::string>, const Entry*> entries;
    for (const Entry& e : l.file.entries) entries.emplace(std::pair(e.context, e.id), &e);
    std::map<char32_t, const Entry*> used;  // folded access character -> its caption
    for (const Entry& t : tpl.entries) {
        if (t.context != "options") continue;
        const auto it = entries.find({t.context, t.id});
        if (it == entries.end()) continue;  // said already
        const Entry& e = *it->second;
        const std::string& text = l.Text(e);
        if (AccessKeys(t.id).empty()) {
            if (text.find('&') != std::string::npos)
                Report(l.file.path, e.line, Where(t) + ": English has no access key, so its text has no \"&\"");
            continue;
        }
        const std::vector<std::size_t> keys = AccessKeys(text);
        if (keys.size() != 1) {
            Report(l.file.path, e.line, Where(t) + ": \"" + text + "\" has " + std::to_string(keys.size()) +
                                            " access keys (\"&\"); a caption has exactly one (\"&&\" is an ampersand)");
            continue;
        }
        const std::optional<std::u32string> after = Utf32(std::string_view(text).substr(keys[0] + 1));
        if (!after || after->empty() || !IsLetterOrDigit(after->front())) {
            Report(l.file.path, e.line, Where(t) + ": in \"" + text + "\" the \"&\" stands before no letter or digit");
            continue;
        }
        const auto [other, added] = used.emplace(Fold(after->front()), &e);
        if (!added)
            Report(l.file.path, e.line,
                   Where(t) + ": its access key \"" + Utf8(after->substr(0, 1)) + "\" is also that of \"" +
                       l.Text(*other->second) + "\" (" + l.At(*other->second) + "); each is unique in the window");
    }
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

bool IsKeyTipEntry(std::string_view context) { return StartsWith(context, kKeyTipContext) || context == kAccessTabs; }

}  // namespace

std::string FileLanguage(const std::string& path) {
    std::string name = path.substr(path.find_last_of("/\\") + 1);
    return name.substr(0, name.rfind('.'));
}

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

void CheckTemplate(const Catalog& tpl, const LanguageTable& languages) {
    for (const Entry& e : tpl.entries)
        if (e.id.empty()) Report(tpl.path, e.line, "an empty English text");
    const Language english{tpl, true};
    if (languages.Language("en")->keyTips) CheckKeyTips(english);
    CheckAccessKeys(tpl, english);
}

void CheckTranslation(const Catalog& tpl, const Catalog& po, const LanguageTable& languages) {
    const std::size_t faultsBefore = faults.size();
    const std::string code = FileLanguage(po.path);
    if (po.language != code)
        Report(po.path, po.headerLine,
               "its header says Language: \"" + po.language + "\", its file name says \"" + code + "\"");
    const LanguageRow* row = code == "en" ? nullptr : languages.Language(code);
    if (code == "en") {
        Report(po.path, 1, "English is the template's language (" + tpl.path + "), not a translation");
    } else if (!row) {
        std::string why = "\"" + code + "\" is not one of Office's languages in " + languages.path;
        for (const LanguageRow& pack : languages.rows)
            if (pack.pack && (pack.culture == code || StartsWith(pack.culture, code + "-"))) {
                why = "\"" + code + "\" is a language interface pack (" + pack.culture + ", " + languages.path + ":" +
                      std::to_string(pack.line) + "), which reads the texts of \"" + pack.base +
                      "\", not a file of its own";
                break;
            }
        Report(po.path, 1, why);
    }
    std::map<std::pair<std::string, std::string>, const Entry*> have;
    for (const Entry& e : po.entries) have.emplace(std::pair(e.context, e.id), &e);  // each once: reading says so
    const bool keyTips = !row || row->keyTips;
    for (const Entry& t : tpl.entries) {
        const auto it = have.find({t.context, t.id});
        if (!keyTips && IsKeyTipEntry(t.context)) {
            if (it != have.end()) {
                Report(po.path, it->second->line,
                       Where(t) + ": " + code + " leaves KeyTips to Office, so its file has none");
                have.erase(it);
            }
            continue;
        }
        if (it == have.end()) {
            Report(po.path, 0,
                   "misses \"" + t.id + "\" (" + t.context + ", " + tpl.path + ":" + std::to_string(t.line) + ")");
            continue;
        }
        const Entry& e = *it->second;
        have.erase(it);
        if (e.text.empty())
            Report(po.path, e.line, Where(t) + " is not translated");
        else if (e.fuzzy)
            Report(po.path, e.line, Where(t) + " is marked fuzzy: check it, then drop the mark");
        else if (Placeholders(e.text) != Placeholders(t.id))
            Report(po.path, e.line,
                   Where(t) + " has the placeholders " + Join(Placeholders(e.text)) + ", English has " +
                       Join(Placeholders(t.id)));
    }
    for (const auto& [key, e] : have)
        Report(po.path, e->line, "\"" + key.second + "\" (" + key.first + ") is not in " + tpl.path);
    // The keys, once every text is there to be checked.
    if (faults.size() != faultsBefore) return;
    const Language translation{po, false};
    if (keyTips) CheckKeyTips(translation);
    CheckAccessKeys(tpl, translation);
}

}  // namespace po_compile
