#include "registry_value.h"

#include "error.h"
#include "utf8.h"

namespace kestrel {
namespace {

// UTF-16LE code units from the bytes, up to the first NUL unit or the last whole unit.
std::string Utf16ToUtf8(std::span<const unsigned char> data) {
    const std::size_t units = data.size() / 2;
    auto unit = [&](std::size_t i) -> char16_t { return static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8)); };
    std::string out;
    for (std::size_t i = 0; i < units; ++i) {
        const char16_t u = unit(i);
        if (u == 0) break;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

}  // namespace

std::string SettingText(std::string_view name, std::uint32_t type, std::span<const unsigned char> data) {
    if (type == kRegSz || type == kRegExpandSz) return Utf16ToUtf8(data);
    if (type == kRegDword && data.size() == 4)
        return std::to_string(static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
                              static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24);
    throw Error(kTypeMismatch, "setting \"" + std::string(name) + "\": the stored value is not text");
}

std::optional<int> PolicyState(std::uint32_t type, std::span<const unsigned char> data) {
    if (type != kRegDword || data.size() != 4 || data[1] != 0 || data[2] != 0 || data[3] != 0 || data[0] > 1)
        return std::nullopt;
    return data[0];
}

}  // namespace kestrel
