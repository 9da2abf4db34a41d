#include "refresh_watch_win.h"

#include "addin_client_win.h"

#include <algorithm>
#include <optional>

namespace pellwyn::preview {
namespace {

constexpr HRESULT kRefused = static_cast<HRESULT>(0x800A09C5);  // a refusal as Access words it
constexpr DWORD kSliceMilliseconds = 10;

// Every getVisible of the tab, as a redraw asks it. A callback that fails leaves its element
// as it was (shown, when it never answered).
std::vector<bool> Ask(const std::vector<VisibleElement>& elements, TabCallbacks& callbacks,
                      const std::vector<bool>& before) {
    std::vector<bool> shown;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        try {
            shown.push_back(callbacks.Visible(elements[i].callback));
        } catch (...) {
            shown.push_back(i < before.size() ? static_cast<bool>(before[i]) : true);
        }
    }
    return shown;
}

bool SameContext(const Context& a, const Context& b) {
    return a.objectType == b.objectType && a.designView == b.designView && a.datasheetView == b.datasheetView;
}

class Clock {
public:
    Clock() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_, start_;
};

}  // namespace

WatchLog WatchRefresh(std::string_view document, TabCallbacks& callbacks, standin::StandInApplication& application,
                      standin::StandInRibbon& ribbon, const std::vector<ScheduledChange>& changes, double seconds) {
    const std::vector<VisibleElement> elements = VisibleElements(document);
    std::vector<bool> shown = Ask(elements, callbacks, {});
    Context current{"", "", application.objectType.lVal, application.design, application.datasheet};
    bool refusing = FAILED(application.refuseType);

    const std::size_t callsAtStart = application.invokes.size() + application.commandBars.invokes.size();
    auto hostCalls = [&] {
        return static_cast<long>(application.invokes.size() + application.commandBars.invokes.size() - callsAtStart);
    };

    WatchLog log;
    const Clock clock;
    bool redrawDue = false;
    ribbon.whileInvalidating = [&] {
        log.redraws.push_back({clock.Seconds(), hostCalls(), 0});
        redrawDue = true;
    };
    std::optional<std::size_t> waiting;  // the last change that differs, until a redraw follows it
    std::size_t next = 0;
    for (;;) {
        if (redrawDue) {
            redrawDue = false;
            const long before = hostCalls();
            std::vector<bool> now = Ask(elements, callbacks, shown);
            log.redraws.back().hostCalls = hostCalls() - before;
            if (waiting) log.changes[*waiting].followed = DescribeRedraw(elements, shown, now);
            waiting.reset();
            shown = std::move(now);
            continue;
        }
        const double t = clock.Seconds();
        if (next < changes.size() && t * 1000 >= changes[next].atMilliseconds) {
            const ScheduledChange& c = changes[next++];
            WatchLog::Change entry{t, c.state, false, hostCalls(), {}};
            if (c.context) {
                entry.differs = refusing || !SameContext(current, *c.context);
                current = *c.context;
                application.SetType(current.objectType);
                application.design = current.designView;
                application.datasheet = current.datasheetView;
                application.refuseType = S_OK;
            } else {
                application.refuseType = kRefused;
            }
            refusing = !c.context;
            if (entry.differs) waiting = log.changes.size();
            log.changes.push_back(std::move(entry));
            continue;
        }
        if (t >= seconds) break;
        double until = seconds;
        if (next < changes.size()) until = std::min(until, changes[next].atMilliseconds / 1000.0);
        standin::Pump(static_cast<DWORD>(std::clamp((until - t) * 1000, 1.0, static_cast<double>(kSliceMilliseconds))));
    }
    ribbon.whileInvalidating = nullptr;
    application.refuseType = S_OK;
    log.seconds = clock.Seconds();
    log.hostCalls = hostCalls();
    return log;
}

}  // namespace pellwyn::preview
