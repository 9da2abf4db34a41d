#include "refresh_win.h"

#include "error.h"
#include "module_win.h"
#include "window_helpers_win.h"

#include <utility>

namespace pellwyn {
namespace {

constexpr wchar_t kRefreshClass[] = L"PellwynRibbonRefresh";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

void RibbonRefresh::Start(ComPtr<IRibbonUI> ribbon) {
    Keep(std::move(ribbon));
    watch_.Restart();
    if (!window_) {
        const wchar_t* windowClass = module::WindowClass(kRefreshClass, &WindowProc);
        HWND window =
            CreateWindowExW(0, windowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, kestrel::ThisModule(), this);
        if (!window) ThrowLastError("the refresh window cannot be created");
        if (!SetTimer(window, kTimerId, kCheckMilliseconds, nullptr)) {
            const DWORD error = GetLastError();
            DestroyWindow(window);
            SetLastError(error);
            ThrowLastError("the refresh timer cannot be started");
        }
        window_ = window;
    }
    // The context the new ribbon is drawn in. Called back from inside a check, that check's
    // reading becomes the baseline instead.
    if (checking_) return;
    checking_ = true;
    watch_.Check(Read());  // the first reading never invalidates; a failed one has the next check do it
    checking_ = false;
}

void RibbonRefresh::Stop() noexcept {
    if (HWND window = std::exchange(window_, nullptr)) DestroyWindow(window);  // the timer goes with it
}

std::optional<ViewContext> RibbonRefresh::Read() noexcept {
    try {
        return ReadViewContext(host_);
    } catch (...) {
        return std::nullopt;  // Access refused, lacks a member for now, or memory ran out
    }
}

void RibbonRefresh::Tick() noexcept {
    if (busy_ != 0 || checking_ || !ribbon_) return;
    // Should Access let go of Connect while it answers or is being invalidated, both stay until
    // we are done.
    IUnknown& owner = owner_;
    owner.AddRef();
    checking_ = true;
    const std::optional<ViewContext> reading = Read();
    // Stopped while Access answered (a disconnection): nothing is invalidated any more.
    if (window_ && watch_.Check(reading)) {
        if (const ComPtr<IRibbonUI> ribbon = ribbon_) {
            invalidating_ = true;
            const HRESULT hr = ribbon->Invalidate();
            invalidating_ = false;
            if (FAILED(hr)) watch_.InvalidationFailed();  // Access let go of its ribbon, or refused for now
        }
    }
    checking_ = false;
    owner.Release();  // may end Connect, and this with it: nothing follows
}

LRESULT CALLBACK RibbonRefresh::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        switch (message) {
        case WM_NCCREATE: {
            const LRESULT created = DefWindowProcW(window, message, wParam, lParam);
            if (!created) return created;
            module::AddRef();  // released at WM_NCDESTROY, the window's last message
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
            return created;
        }
        case WM_TIMER:
            if (wParam == kTimerId) {
                if (auto* self = reinterpret_cast<RibbonRefresh*>(GetWindowLongPtrW(window, GWLP_USERDATA))) self->Tick();
                return 0;
            }
            break;
        case WM_NCDESTROY:
            KillTimer(window, kTimerId);
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            module::Release();
            break;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

}  // namespace pellwyn
