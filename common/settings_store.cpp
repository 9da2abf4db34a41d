#include "settings_store.h"

#include "error.h"
#include "number_text.h"
#include "settings_keys.h"

#include <algorithm>

namespace kestrel {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The stored text as an error message shows it: control characters (a NUL among them, which
// would end the message) as \xNN, and no more than the first 64 bytes of a long text.
std::string Shown(std::string_view text) {
    constexpr std::size_t kMost = 64;
    std::size_t end = std::min(text.size(), kMost);
    while (end < text.size() && end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // whole characters
    std::string shown;
    for (const char c : text.substr(0, end)) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            constexpr char kHex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += kHex[u >> 4];
            shown += kHex[u & 0xF];
        } else {
            shown += c;
        }
    }
    if (end < text.size()) shown += "...";
    return shown;
}

[[noreturn]] void Fail(Conversion status, const SettingKey& key, std::string_view text, const char* range) {
    const std::string what = "setting \"" + std::string(key.name) + "\": \"" + Shown(text) + "\" ";
    if (status == Conversion::NotANumber) throw Error(kTypeMismatch, what + "is not a number");
    throw Error(kOverflow, what + "is out of range for " + range);
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

MemorySettings::Value* MemorySettings::Find(std::string_view name) {
    for (Value& v : values_)
        if (EqualsIgnoreCase(v.name, name)) return &v;
    return nullptr;
}

std::optional<std::string> MemorySettings::Get(std::string_view name) {
    if (const Value* v = Find(name)) return v->text;
    return std::nullopt;
}

void MemorySettings::Put(std::string_view name, std::string_view text) {
    if (Value* v = Find(name))
        v->text = text;
    else
        values_.push_back({std::string(name), std::string(text)});
}

std::int32_t ReadInt32(SettingsStore& store, const SettingKey& key) {
    const std::optional<std::string> text = store.Get(key.name);
    if (!text) return key.addinDefault;
    const Int32Result r = TextToInt32(*text);
    if (r.status != Conversion::Ok) Fail(r.status, key, *text, "a 32-bit integer");
    return r.value;
}

double ReadDouble(SettingsStore& store, const SettingKey& key) {
    const std::optional<std::string> text = store.Get(key.name);
    if (!text) return key.addinDefault;
    const DoubleResult r = TextToDouble(*text);
    if (r.status != Conversion::Ok) Fail(r.status, key, *text, "a number");
    return r.value;
}

}  // namespace kestrel
