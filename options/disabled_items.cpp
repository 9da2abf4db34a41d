#include "disabled_items.h"

#include "error.h"
#include "product.h"
#include "registry_value.h"

#include <string>
#include <vector>

namespace menuvane {
namespace {

constexpr std::uint32_t kAddinItem = 1;
constexpr std::size_t kHeaderBytes = 12;

std::uint32_t DwordAt(std::span<const unsigned char> data, std::size_t at) {
    return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
           static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
}

char16_t UnitAt(std::span<const unsigned char> text, std::size_t unit) {
    return static_cast<char16_t>(text[2 * unit] | text[2 * unit + 1] << 8);
}

// Whole UTF-16 units whose one NUL is the last.
bool IsTerminatedText(std::span<const unsigned char> text) {
    if (text.size() < 2 || text.size() % 2 != 0) return false;
    const std::size_t units = text.size() / 2;
    for (std::size_t i = 0; i + 1 < units; ++i)
        if (UnitAt(text, i) == 0) return false;
    return UnitAt(text, units - 1) == 0;
}

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace

bool NamesOurAddin(std::uint32_t type, std::span<const unsigned char> data) {
    if (type != kestrel::kRegBinary || data.size() < kHeaderBytes || DwordAt(data, 0) != kAddinItem) return false;
    const std::size_t pathBytes = DwordAt(data, 4), nameBytes = DwordAt(data, 8);
    const std::size_t rest = data.size() - kHeaderBytes;
    if (pathBytes > rest || nameBytes != rest - pathBytes) return false;
    const std::span<const unsigned char> path = data.subspan(kHeaderBytes, pathBytes);
    if (!IsTerminatedText(path) || !IsTerminatedText(data.subspan(kHeaderBytes + pathBytes))) return false;

    // The file name: what follows the last separator.
    const std::size_t end = path.size() / 2 - 1;  // the NUL
    std::size_t start = end;
    while (start > 0 && UnitAt(path, start - 1) != u'\\' && UnitAt(path, start - 1) != u'/') --start;
    const std::string_view ours = kestrel::kAddinFileName;
    if (end - start != ours.size()) return false;
    for (std::size_t i = 0; i < ours.size(); ++i)
        if (AsciiLower(UnitAt(path, start + i)) != AsciiLower(static_cast<char16_t>(ours[i]))) return false;
    return true;
}

bool IsOfficeVersion(std::string_view name) {
    const std::size_t point = name.find('.');
    if (point == std::string_view::npos || point == 0 || point + 1 == name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (i != point && (name[i] < '0' || name[i] > '9')) return false;
    return true;
}

std::string DisabledItemsPath(std::string_view version) {
    return std::string(kOfficeKey) + "\\" + std::string(version) + "\\Access\\Resiliency\\DisabledItems";
}

int ReenableAddIn(OfficeSystem& office, const kestrel::Language& language) {
    int removed = 0;
    std::string failures;
    std::int32_t code = 0;
    auto failed = [&](const kestrel::Error& e) {
        if (!failures.empty()) failures += "; ";
        failures += e.what();
        if (code == 0) code = e.code();
    };
    for (const std::string& version : office.Subkeys(Hive::CurrentUser, kOfficeKey)) {
        if (!IsOfficeVersion(version)) continue;
        const std::string path = DisabledItemsPath(version);
        std::vector<RegistryValue> values;
        try {
            values = office.Values(Hive::CurrentUser, path);
        } catch (const kestrel::Error& e) {
            failed(e);
            continue;
        }
        for (const RegistryValue& value : values) {
            if (!NamesOurAddin(value.type, value.data)) continue;
            try {
                office.DeleteValue(path, value.name);
                ++removed;
            } catch (const kestrel::Error& e) {
                failed(e);
            }
        }
    }
    if (!failures.empty())
        throw kestrel::Error(
            code, kestrel::FormatText(language(kestrel::Text("options", "Office may keep {1} switched off: {2}")),
                                      {kestrel::kAddinFileName, failures}));
    return removed;
}

}  // namespace menuvane
