// Owners for Windows handles: each closes its handle once, when it goes.
#pragma once

#include <windows.h>

#include <utility>

namespace kestrel {

template <class T, auto Close, T Invalid = T{}>
class Unique {
public:
    Unique() noexcept = default;
    explicit Unique(T value) noexcept : value_(value) {}
    Unique(Unique&& other) noexcept : value_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    T get() const noexcept { return value_; }
    T* put() noexcept {
        reset();
        return &value_;
    }
    T release() noexcept { return std::exchange(value_, Invalid); }
    void reset(T value = Invalid) noexcept {
        if (value_ != Invalid) Close(value_);
        value_ = value;
    }
    explicit operator bool() const noexcept { return value_ != Invalid; }

private:
    T value_ = Invalid;
};

using UniqueHkey = Unique<HKEY, &RegCloseKey>;
using UniqueHwnd = Unique<HWND, &DestroyWindow>;
using UniqueHandle = Unique<HANDLE, &CloseHandle>;
using UniqueHfont = Unique<HFONT, &DeleteObject>;
using UniqueHbrush = Unique<HBRUSH, &DeleteObject>;
using UniqueHcursor = Unique<HCURSOR, &DestroyCursor>;

}  // namespace kestrel
