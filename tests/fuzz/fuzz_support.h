// What the fuzz targets share: a failed property ends the run with its reason (libFuzzer keeps
// the input), a fast well-formedness check of our markup, stored settings read from the
// fuzzer's bytes, and slow reference conversions of numbers written apart from number_text.cpp.
#pragma once

#include "error.h"
#include "registry_value.h"
#include "settings_store.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace fuzz {

[[noreturn]] inline void Fail(const char* property, std::string_view detail) {
    std::fprintf(stderr, "property failed: %s\n%.*s\n", property, static_cast<int>(std::min<std::size_t>(detail.size(), 4000)),
                 detail.data());
    std::abort();
}
#define FUZZ_CHECK(condition, detail) \
    do {                              \
        if (!(condition)) ::fuzz::Fail(#condition, (detail)); \
    } while (0)

// ---- Markup ----------------------------------------------------------------------------------

// Empty when xml is one element `root` in the customUI namespace, holding only elements: every
// tag closed in order, attributes name="value" (blanks around '=' allowed, as our format has
// them) without '<' or '&' in a value and none twice in a tag, every id distinct.
inline std::string XmlProblem(std::string_view xml, std::string_view root) {
    constexpr std::string_view kNamespace = "http://schemas.microsoft.com/office/2006/01/customui";
    auto isName = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ':';
    };
    std::vector<std::string_view> open;
    std::unordered_set<std::string_view> ids;
    bool rootDone = false;
    std::size_t i = 0;
    const std::size_t n = xml.size();
    auto name = [&] {
        const std::size_t b = i;
        while (i < n && isName(xml[i])) ++i;
        return xml.substr(b, i - b);
    };
    auto blanks = [&] {
        while (i < n && xml[i] == ' ') ++i;
    };
    auto at = [&](const char* what) { return std::string(what) + " at " + std::to_string(i); };
    while (i < n) {
        if (rootDone) return at("something after the root element");
        if (xml[i] != '<') return at("text outside a tag");
        ++i;
        if (i < n && xml[i] == '/') {
            ++i;
            const std::string_view tag = name();
            blanks();
            if (i >= n || xml[i] != '>') return at("a malformed end tag");
            ++i;
            if (open.empty() || open.back() != tag) return at("an end tag that closes nothing open");
            open.pop_back();
            rootDone = open.empty();
            continue;
        }
        const std::string_view tag = name();
        if (tag.empty()) return at("a tag without a name");
        const bool isRoot = open.empty();
        if (isRoot && tag != root) return at("the wrong root element");
        std::vector<std::string_view> attributes;  // a tag has a handful: a search beats a tree
        bool inNamespace = false;
        for (;;) {
            const std::size_t before = i;
            blanks();
            if (i >= n) return at("an unterminated tag");
            if (xml[i] == '>') {
                ++i;
                open.push_back(tag);
                break;
            }
            if (xml[i] == '/') {
                if (i + 1 >= n || xml[i + 1] != '>') return at("a stray '/'");
                i += 2;
                rootDone = isRoot;
                break;
            }
            if (i == before) return at("an attribute without a blank before it");
            const std::string_view attribute = name();
            if (attribute.empty()) return at("a malformed attribute");
            blanks();
            if (i >= n || xml[i] != '=') return at("an attribute without '='");
            ++i;
            blanks();
            if (i >= n || xml[i] != '"') return at("an unquoted value");
            const std::size_t end = xml.find('"', ++i);
            if (end == std::string_view::npos) return at("an unterminated value");
            const std::string_view value = xml.substr(i, end - i);
            if (value.find_first_of("<&") != std::string_view::npos) return at("'<' or '&' in a value");
            if (std::find(attributes.begin(), attributes.end(), attribute) != attributes.end())
                return at("an attribute twice");
            attributes.push_back(attribute);
            if (attribute == "id" && !ids.insert(value).second) return at("an id twice");
            if (isRoot && attribute == "xmlns") inNamespace = value == kNamespace;
            i = end + 1;
        }
        if (isRoot && !inNamespace) return "the root element is not in the customUI namespace";
    }
    if (!rootDone) return open.empty() ? "no root element" : "<" + std::string(open.back()) + "> is never closed";
    return {};
}

// XmlProblem, remembered: the settings take few distinct shapes, so most documents and menus
// were checked already, and checking is most of the time an input takes.
inline std::string CachedXmlProblem(std::string_view xml, std::string_view root) {
    static std::unordered_set<std::string> good;
    const std::string key = std::string(root) + '\0' + std::string(xml);
    if (good.count(key)) return {};
    std::string problem = XmlProblem(xml, root);
    if (problem.empty()) {
        if (good.size() > 20'000) good.clear();
        good.insert(key);
    }
    return problem;
}

// The values of one attribute in our markup, in order (the writers put one blank before each
// such attribute and no blanks around its '=').
inline std::vector<std::string_view> AttributeValues(std::string_view xml, std::string_view name) {
    const std::string key = " " + std::string(name) + "=\"";
    std::vector<std::string_view> values;
    for (std::size_t at = xml.find(key); at != std::string_view::npos; at = xml.find(key, at)) {
        at += key.size();
        const std::size_t end = xml.find('"', at);
        if (end == std::string_view::npos) break;
        values.push_back(xml.substr(at, end - at));
    }
    return values;
}
inline std::vector<std::string_view> Ids(std::string_view xml) { return AttributeValues(xml, "id"); }

// ---- Stored settings -------------------------------------------------------------------------

// Settings as the registry may hold them, later values replacing earlier ones under any case.
// A raw value is read through SettingText, as the Windows store reads it.
class FuzzSettings final : public kestrel::SettingsStore {
public:
    struct Value {
        std::string name;
        bool raw;            // type and bytes as stored; otherwise the text itself
        std::uint32_t type;
        std::string bytes;
    };
    std::vector<Value> values;

    std::optional<std::string> Get(std::string_view name) override {
        const Value* v = Find(name);
        if (!v) return std::nullopt;
        if (!v->raw) return v->bytes;
        return kestrel::SettingText(
            name, v->type, {reinterpret_cast<const unsigned char*>(v->bytes.data()), v->bytes.size()});
    }
    void Put(std::string_view name, std::string_view text) override { Store({std::string(name), false, 0, std::string(text)}); }
    void Store(Value v) {
        if (Value* old = Slot(v.name)) {
            old->raw = v.raw, old->type = v.type, old->bytes = std::move(v.bytes);
            return;
        }
        values.push_back(std::move(v));
    }
    const Value* Find(std::string_view name) const {
        for (const Value& v : values)
            if (kestrel::EqualsIgnoreCase(v.name, name)) return &v;
        return nullptr;
    }

private:
    Value* Slot(std::string_view name) {
        return const_cast<Value*>(static_cast<const FuzzSettings*>(this)->Find(name));
    }
};

// A stored value that is no text: thrown by ReferenceText with the setting's name.
struct Unreadable {
    std::int32_t code;
    std::string_view name;
    std::string_view why;  // how the error's text ends
};

// A setting's stored text worked out apart from SettingText, or nullopt when missing: a
// 4-byte DWORD as its decimal text; REG_SZ and REG_EXPAND_SZ as ASCII up to the first NUL
// or the last whole unit, a character beyond ASCII as 0x80 (it makes no number either way);
// anything else throws Unreadable (type mismatch).
inline std::optional<std::string> ReferenceText(const FuzzSettings& settings, std::string_view name) {
    const FuzzSettings::Value* v = settings.Find(name);
    if (!v) return std::nullopt;
    if (!v->raw) return v->bytes;
    const std::string& b = v->bytes;
    if (v->type == kestrel::kRegDword && b.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = n * 256 + static_cast<unsigned char>(b[static_cast<std::size_t>(i)]);
        return std::to_string(n);
    }
    if (v->type != kestrel::kRegSz && v->type != kestrel::kRegExpandSz) throw Unreadable{kestrel::kTypeMismatch, name, "the stored value is not text"};
    std::string text;
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        const unsigned unit = static_cast<unsigned char>(b[i]) | static_cast<unsigned char>(b[i + 1]) << 8;
        if (unit == 0) break;
        text += unit < 0x80 ? static_cast<char>(unit) : '\x80';
    }
    return text;
}

// One stored value from a line of fuzzer input: "#" then one byte for the registry type
// (modulo 12) then "NAME=BYTES" a raw registry value; otherwise "NAME=TEXT" a stored text.
// `name` given: the line is the value alone (raw when it starts with "#" and the type byte).
inline void StoreLine(FuzzSettings& settings, std::string_view line, std::string_view name = {}) {
    bool raw = false;
    std::uint32_t type = 0;
    if (line.size() >= 2 && line.front() == '#') {
        raw = true;
        type = static_cast<unsigned char>(line[1]) % 12u;
        line.remove_prefix(2);
    }
    if (name.empty()) {
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return;
        name = line.substr(0, eq);
        line.remove_prefix(eq + 1);
    }
    settings.Store({std::string(name), raw, type, std::string(line)});
}

// The document fuzzer's input, line by line: "@TEXT" the host's name; "#" then one byte for the
// registry type (modulo 12) then "NAME=BYTES" a raw registry value; "NAME=TEXT" a stored text.
struct DocumentInput {
    std::string hostName = "Microsoft Office Access";
    FuzzSettings settings;
};

inline DocumentInput ParseDocumentInput(std::string_view data) {
    DocumentInput in;
    while (!data.empty()) {
        const std::size_t eol = data.find('\n');
        std::string_view line = data.substr(0, eol);
        data = eol == std::string_view::npos ? std::string_view() : data.substr(eol + 1);
        if (!line.empty() && line.front() == '@') {
            in.hostName = line.substr(1);
            continue;
        }
        StoreLine(in.settings, line);
    }
    return in;
}

// ---- Reference conversions -------------------------------------------------------------------
// Slow and plain on purpose: a state machine for the grammar, the C library's strtod for the
// value, the floating-point unit's own ties-to-even rounding for whole numbers.

enum class RefStatus { Ok, NotANumber, OutOfRange };
struct RefDouble { RefStatus status; double value; };

inline RefDouble ReferenceDouble(std::string_view text) {
    enum State { Lead, Sign, Int, Point, Frac, Exp, ExpSign, ExpDigits, Trail } s = Lead;
    bool digits = false;
    std::string kept;
    for (const char c : text) {
        const bool blank = c == ' ' || c == '\t', digit = c >= '0' && c <= '9';
        const bool sign = c == '+' || c == '-', point = c == '.', e = c == 'e' || c == 'E';
        switch (s) {
        case Lead:
            if (blank) continue;
            if (sign) s = Sign;
            else if (digit) s = Int, digits = true;
            else if (point) s = Point;
            else return {RefStatus::NotANumber, 0};
            break;
        case Sign:
            if (digit) s = Int, digits = true;
            else if (point) s = Point;
            else return {RefStatus::NotANumber, 0};
            break;
        case Int:
            if (digit) break;
            if (point) s = Point;
            else if (e) s = Exp;
            else if (blank) s = Trail;
            else return {RefStatus::NotANumber, 0};
            break;
        case Point:
        case Frac:
            if (digit) s = Frac, digits = true;
            else if (e && digits) s = Exp;
            else if (blank && digits) s = Trail;
            else return {RefStatus::NotANumber, 0};
            break;
        case Exp:
            if (sign) s = ExpSign;
            else if (digit) s = ExpDigits;
            else return {RefStatus::NotANumber, 0};
            break;
        case ExpSign:
            if (digit) s = ExpDigits;
            else return {RefStatus::NotANumber, 0};
            break;
        case ExpDigits:
            if (digit) break;
            if (blank) s = Trail;
            else return {RefStatus::NotANumber, 0};
            break;
        case Trail:
            if (!blank) return {RefStatus::NotANumber, 0};
            continue;
        }
        kept += c;
    }
    const bool complete = s == Int || s == ExpDigits || s == Trail || ((s == Point || s == Frac) && digits);
    if (!complete || !digits) return {RefStatus::NotANumber, 0};
    errno = 0;
    const double value = std::strtod(kept.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(value)) return {RefStatus::OutOfRange, 0};
    return {RefStatus::Ok, value};
}

// Ties to even is the default rounding of the floating-point unit, which nearbyint uses.
inline std::optional<std::int64_t> ReferenceRound(double value, std::int64_t min, std::int64_t max) {
    if (std::isnan(value)) return std::nullopt;
    const double r = std::nearbyint(value);
    if (r < static_cast<double>(min) || r > static_cast<double>(max)) return std::nullopt;
    return static_cast<std::int64_t>(r);
}

struct RefInt { RefStatus status; std::int64_t value; };
inline RefInt ReferenceInt(std::string_view text, std::int64_t min, std::int64_t max) {
    const RefDouble d = ReferenceDouble(text);
    if (d.status != RefStatus::Ok) return {d.status, 0};
    const std::optional<std::int64_t> r = ReferenceRound(d.value, min, max);
    if (!r) return {RefStatus::OutOfRange, 0};
    return {RefStatus::Ok, *r};
}

// ---- Office's disabled items -----------------------------------------------------------------

// Whether a DisabledItems value names Pellwyn.dll, worked out apart from disabled_items.cpp:
// REG_BINARY, three little-endian DWORDs (kind 1, the path's and the name's byte lengths, which
// add up exactly, in 64 bits, to the rest), then the whole rest as UTF-16 units, split after the
// path's; each part has its one NUL at its end; the path's last component, lower-cased, is
// "pellwyn.dll".
inline bool ReferenceNamesOurAddin(std::uint32_t type, const std::vector<unsigned char>& value) {
    if (type != 3 || value.size() < 12) return false;
    auto dword = [&](std::size_t at) {
        std::uint64_t n = 0;
        for (std::size_t i = 4; i-- > 0;) n = n * 256 + value[at + i];
        return n;
    };
    const std::uint64_t kind = dword(0), pathBytes = dword(4), nameBytes = dword(8);
    if (kind != 1 || 12 + pathBytes + nameBytes != value.size() || pathBytes % 2 != 0 || nameBytes % 2 != 0) return false;
    std::u16string units;
    for (std::size_t i = 12; i + 1 < value.size(); i += 2)
        units += static_cast<char16_t>(value[i] | value[i + 1] << 8);
    const std::u16string path = units.substr(0, pathBytes / 2), name = units.substr(pathBytes / 2);
    for (const std::u16string* text : {&path, &name})
        if (text->empty() || text->back() != 0 || std::count(text->begin(), text->end(), u'\0') != 1) return false;
    std::u16string file = path.substr(0, path.size() - 1);
    if (const std::size_t cut = file.find_last_of(u"\\/"); cut != std::u16string::npos) file.erase(0, cut + 1);
    for (char16_t& c : file)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + (u'a' - u'A'));
    return file == u"pellwyn.dll";
}

}  // namespace fuzz
