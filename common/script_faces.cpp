#include "script_faces.h"

#include <array>

namespace kestrel {
namespace {

struct ScriptOf {
    std::string_view code;  // the translation's
    std::array<std::string_view, 2> faces;
};
// Thai: Leelawadee UI from Windows 8 on, Tahoma (with its Thai) on every Windows. Devanagari:
// Nirmala UI from Windows 8 on, Mangal before.
constexpr ScriptOf kScriptFaces[] = {
    {"th", {"Leelawadee UI", "Tahoma"}},
    {"hi", {"Nirmala UI", "Mangal"}},
};

}  // namespace

std::span<const std::string_view> ScriptFaces(const Language& language) noexcept {
    for (const ScriptOf& s : kScriptFaces)
        if (s.code == language.code()) return s.faces;
    return {};
}

}  // namespace kestrel
