#include "refresh_win.h"

#include "error.h"
#include "module_win.h"
#include "window_helpers_win.h"

namespace pellwyn {
namespace {

constexpr wchar_t kRefreshClass[] = L"PellwynRibbonRefresh";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

void RibbonRefresh::Start(ComPtr<IRibbonUI> ribbon) {
    Keep(std::move(ribbon));
    if (window_) return;
    const wchar_t* windowClass = module::WindowClass(kRefreshClass, &WindowProc);
    HWND window = CreateWindowExW(0, windowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, kestrel::ThisModule(), this);
    if (!window) ThrowLastError("the refresh window cannot be created");
    if (!SetTimer(window, kTimerId, kRefreshMilliseconds, nullptr)) {
        const DWORD error = GetLastError();
        DestroyWindow(window);
        SetLastError(error);
        ThrowLastError("the refresh timer cannot be started");
    }
    window_ = window;
}

void RibbonRefresh::Stop() noexcept {
    if (HWND window = std::exchange(window_, nullptr)) DestroyWindow(window);  // the timer goes with it
}

void RibbonRefresh::Tick() noexcept {
    if (busy_ != 0 || ticking_ || !ribbon_) return;
    // Should Access let go of Connect while it is being invalidated, both stay until we are done.
    IUnknown& owner = owner_;
    owner.AddRef();
    {
        const ComPtr<IRibbonUI> ribbon = ribbon_;
        ticking_ = true;
        ribbon->Invalidate();  // a failure (Access already let go of its ribbon) waits for the next tick
        ticking_ = false;
    }
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
