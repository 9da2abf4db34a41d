// Small owners for COM pointers, strings and variants, and the guard that keeps C++ exceptions
// on our side of every COM boundary.
#pragma once

#include "win_handles.h"

#include <oaidl.h>
#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

namespace pellwyn {

template <class I>
class ComPtr {
public:
    ComPtr() noexcept = default;
    // Shares p: takes a reference of its own.
    explicit ComPtr(I* p) noexcept : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { reset(); }

    I* get() const noexcept { return p_; }
    I* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    I** put() noexcept {
        reset();
        return &p_;
    }
    void reset() noexcept {
        if (I* p = std::exchange(p_, nullptr)) p->Release();
    }
    I* detach() noexcept { return std::exchange(p_, nullptr); }

    // QueryInterface; never throws.
    template <class J>
    HRESULT As(ComPtr<J>& out) const noexcept {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(__uuidof(J), reinterpret_cast<void**>(out.put()));
    }

private:
    I* p_ = nullptr;
};

using UniqueBstr = kestrel::Unique<BSTR, &SysFreeString>;

struct UniqueVariant : VARIANT {
    UniqueVariant() noexcept { VariantInit(this); }
    ~UniqueVariant() { VariantClear(this); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
};

// A new BSTR holding the UTF-8 text as UTF-16. Throws kestrel::Error (E_OUTOFMEMORY, or
// a text that is not UTF-8).
UniqueBstr MakeBstr(std::string_view utf8);

// Throws kestrel::Error with the calling thread's last Windows error.
[[noreturn]] void ThrowLastError(const char* what);

// What a failure caught in a catch block amounts to for a COM caller: its HRESULT (always a
// failure code) and a description for EXCEPINFO.
struct Failure {
    HRESULT code;
    std::wstring description;
};
// Call only inside a catch block. kestrel::Error gives its own code; bad_alloc E_OUTOFMEMORY;
// anything else E_UNEXPECTED.
Failure CaughtFailure() noexcept;
inline HRESULT CaughtHresult() noexcept { return CaughtFailure().code; }

}  // namespace pellwyn

// Ends a function-try-block of a COM method: whatever was thrown becomes an HRESULT.
#define PELLWYN_CATCH_RETURN()                  \
    catch (...) {                               \
        return ::pellwyn::CaughtHresult();      \
    }
