// Makes Access ask the ribbon's callbacks again every two seconds, so that what shows follows
// the object the user works on: a hidden message-only window on Access's thread whose timer
// calls IRibbonUI::Invalidate. It keeps its own reference to the ribbon (beside Connect's
// oRibbon), which goes with the object, not with the window.
#pragma once

#include "com_win.h"
#include "office_win.h"

#include <windows.h>

namespace pellwyn {

inline constexpr UINT kRefreshMilliseconds = 2000;

class RibbonRefresh {
public:
    // `busy` counts the owner's callbacks in progress; a tick that comes while it is not zero
    // (a message box of ours runs a message loop) is skipped instead of re-entering Access.
    // The owner is kept alive across each Invalidate.
    RibbonRefresh(IUnknown& owner, const int& busy) noexcept : owner_(owner), busy_(busy) {}
    ~RibbonRefresh() { Stop(); }
    RibbonRefresh(const RibbonRefresh&) = delete;
    RibbonRefresh& operator=(const RibbonRefresh&) = delete;

    // Keeps the ribbon and starts the ticks, on the calling thread. When they already run, only
    // the ribbon is replaced and the rhythm goes on. Throws kestrel::Error when the window or
    // its timer cannot be made.
    void Start(ComPtr<IRibbonUI> ribbon);
    // Replaces the ribbon without starting the ticks.
    void Keep(ComPtr<IRibbonUI> ribbon) noexcept { ribbon_ = std::move(ribbon); }
    // Destroys the window, which ends the ticks. The ribbon reference stays.
    void Stop() noexcept;
    bool Running() const noexcept { return window_ != nullptr; }
    bool Ticking() const noexcept { return ticking_; }  // inside a tick's Invalidate

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void Tick() noexcept;

    IUnknown& owner_;
    const int& busy_;
    ComPtr<IRibbonUI> ribbon_;
    HWND window_ = nullptr;
    bool ticking_ = false;
};

}  // namespace pellwyn
