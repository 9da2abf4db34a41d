// Whether the ribbon needs redrawing: the refresh reads, a few times a second, the three things
// the visibility rules depend on (the object type and the Design and Datasheet view buttons)
// and has Access ask the callbacks again only when one of them differs from the last check, or
// when a check could not read them (a callback that failed meanwhile is then asked again).
#pragma once

#include "host.h"

#include <cstdint>
#include <optional>

namespace pellwyn {

// What the visibility rules look at, read at one moment.
struct ViewContext {
    std::int32_t objectType = -1;  // Application.CurrentObjectType
    bool designView = false;       // "ViewsDesignView" pressed
    bool datasheetView = false;    // "ViewsDatasheetView" pressed
    friend bool operator==(const ViewContext&, const ViewContext&) = default;
};

// Asks the host, in the rules' order: the object type, then the two view buttons. A refusal
// throws, as in the rules.
ViewContext ReadViewContext(Host& host);

class ContextWatch {
public:
    // A new ribbon, drawn afresh: the next check that reads the context sets the baseline.
    void Restart() noexcept {
        last_.reset();
        missed_ = false;
    }
    // One check: the context read, or nothing when a read failed. True: invalidate the ribbon.
    // True when the context differs from the last one read, or when reads have failed since the
    // last invalidation; never for the first reading after Restart, nor for a failed one.
    bool Check(const std::optional<ViewContext>& reading) noexcept;
    // The invalidation that Check asked for did not happen (Access refused it): the next check
    // that reads the context asks for it again.
    void InvalidationFailed() noexcept { missed_ = true; }

private:
    std::optional<ViewContext> last_;  // as the callbacks last saw it
    bool missed_ = false;              // a read or an invalidation failed since
};

}  // namespace pellwyn
