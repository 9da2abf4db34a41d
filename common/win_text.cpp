#include "win_text.h"

#include "error.h"

#include <windows.h>

#include <climits>

namespace kestrel {

std::wstring Utf8ToWide(std::string_view text) {
    if (text.empty()) return {};
    if (text.size() > INT_MAX) throw Error(static_cast<std::int32_t>(E_OUTOFMEMORY), "text too long");
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (wide <= 0) throw Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())), "not UTF-8 text");
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, out.data(), wide);
    return out;
}

std::string WideToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    if (text.size() > INT_MAX / 4) throw Error(static_cast<std::int32_t>(E_OUTOFMEMORY), "text too long");
    const int size = static_cast<int>(text.size());
    const int narrow = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (narrow <= 0) throw Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())), "not UTF-16 text");
    std::string out(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), narrow, nullptr, nullptr);
    return out;
}

}  // namespace kestrel
