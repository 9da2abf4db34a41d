#include "context_watch.h"

namespace pellwyn {

ViewContext ReadViewContext(Host& host) {
    ViewContext c;
    c.objectType = host.CurrentObjectType();
    const ViewButtons pressed = host.PressedViews();
    c.designView = pressed.design;
    c.datasheetView = pressed.datasheet;
    return c;
}

bool ContextWatch::Check(const std::optional<ViewContext>& reading) noexcept {
    if (!reading) {
        missed_ = true;
        return false;
    }
    const bool invalidate = missed_ || (last_ && *last_ != *reading);
    last_ = reading;
    missed_ = false;
    return invalidate;
}

}  // namespace pellwyn
