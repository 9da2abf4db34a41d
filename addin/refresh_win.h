// Keeps the Classic tab following the object the user works on: a hidden message-only window
// on Access's thread whose timer reads, every quarter second, the object type and the two view
// buttons (context_watch.h), and calls IRibbonUI::Invalidate only when they changed or when a
// read failed since the last invalidation. It keeps its own reference to the ribbon (beside
// Connect's oRibbon), which goes with the object, not with the window.
#pragma once

#include "com_win.h"
#include "context_watch.h"
#include "host.h"
#include "office_win.h"

#include <windows.h>

namespace pellwyn {

inline constexpr UINT kCheckMilliseconds = 250;

class RibbonRefresh {
public:
    // `busy` counts the owner's callbacks in progress; a tick that comes while it is not zero
    // (a message box of ours runs a message loop) is skipped instead of re-entering Access.
    // `host` is asked for the context. The owner is kept alive across each check.
    RibbonRefresh(IUnknown& owner, const int& busy, Host& host) noexcept : owner_(owner), busy_(busy), host_(host) {}
    ~RibbonRefresh() { Stop(); }
    RibbonRefresh(const RibbonRefresh&) = delete;
    RibbonRefresh& operator=(const RibbonRefresh&) = delete;

    // Keeps the ribbon, reads the context it is drawn in (the baseline: no invalidation) and
    // starts the checks, on the calling thread. When they already run, the ribbon and the
    // baseline are replaced and the rhythm goes on. Throws kestrel::Error when the window or
    // its timer cannot be made.
    void Start(ComPtr<IRibbonUI> ribbon);
    // Replaces the ribbon without starting the checks.
    void Keep(ComPtr<IRibbonUI> ribbon) noexcept { ribbon_ = std::move(ribbon); }
    // Destroys the window, which ends the checks. The ribbon reference stays.
    void Stop() noexcept;
    bool Running() const noexcept { return window_ != nullptr; }
    bool Ticking() const noexcept { return invalidating_; }  // inside a check's Invalidate

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void Tick() noexcept;
    std::optional<ViewContext> Read() noexcept;

    IUnknown& owner_;
    const int& busy_;
    Host& host_;
    ContextWatch watch_;
    ComPtr<IRibbonUI> ribbon_;
    HWND window_ = nullptr;
    bool checking_ = false;      // a check is reading the host or invalidating
    bool invalidating_ = false;  // a check is waiting for the host's Invalidate
};

}  // namespace pellwyn
