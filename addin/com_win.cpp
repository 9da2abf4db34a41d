#include "com_win.h"

#include "error.h"
#include "win_text.h"

#include <climits>
#include <new>

namespace pellwyn {

UniqueBstr MakeBstr(std::string_view utf8) {
    // Converted straight into the string's own buffer: the markup is tens of kilobytes.
    if (utf8.size() > INT_MAX) throw kestrel::Error(E_OUTOFMEMORY, "text too long");
    const int size = static_cast<int>(utf8.size());
    const int wide = size == 0 ? 0 : MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (size != 0 && wide <= 0)
        ThrowLastError("not UTF-8 text");
    UniqueBstr bstr(SysAllocStringLen(nullptr, static_cast<UINT>(wide)));
    if (!bstr) throw kestrel::Error(E_OUTOFMEMORY, "out of memory");
    if (wide != 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, bstr.get(), wide);
    return bstr;
}

void ThrowLastError(const char* what) {
    throw kestrel::Error(static_cast<std::int32_t>(HRESULT_FROM_WIN32(GetLastError())), what);
}

Failure CaughtFailure() noexcept {
    try {
        throw;
    } catch (const kestrel::Error& e) {
        const HRESULT code = FAILED(e.code()) ? static_cast<HRESULT>(e.code()) : E_FAIL;
        try {
            return {code, kestrel::Utf8ToWide(e.what())};
        } catch (...) {
            return {code, {}};
        }
    } catch (const std::bad_alloc&) {
        return {E_OUTOFMEMORY, {}};
    } catch (...) {
        return {E_UNEXPECTED, {}};
    }
}

}  // namespace pellwyn
