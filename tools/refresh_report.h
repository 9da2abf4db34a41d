// What a person feels of the add-in's refresh, as pellwyn-preview plays Access: the object and
// view change on a schedule (--then MS:STATE), the stand-in redraws the tab whenever the add-in
// invalidates it, and the report says how long the tab took to follow each change, and how
// many redraws and host calls happened while nothing changed.
#pragma once

#include "classic_tab_view.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellwyn::preview {

// One change of what Access shows, MS milliseconds into the watch. STATE is a context's name
// (form-design), an object type with the pressed view buttons (2+design, 0+datasheet, -1), or
// "refuse": Access refuses CurrentObjectType until the next change.
struct ScheduledChange {
    std::uint32_t atMilliseconds = 0;
    std::string state;               // as given
    std::optional<Context> context;  // nothing: Access refuses
};
// Throws std::invalid_argument, saying what is wrong.
ScheduledChange ParseScheduledChange(std::string_view text);

// What the stand-in saw; times in seconds from the start of the watch, host calls counted from
// its start: the add-in's own questions and the callbacks' in each redraw.
struct WatchLog {
    struct Change {
        double at = 0;
        std::string state;
        bool differs = false;     // a context other than the one last drawn (or the first after refusals)
        long hostCallsBefore = 0; // the count just before it
        std::string followed;     // what the redraw that followed it showed and hid, when one did
    };
    struct Redraw {
        double at = 0;
        long hostCallsBefore = 0;
        long hostCalls = 0;  // the callbacks' questions while the tab was redrawn
    };
    std::vector<Change> changes;
    std::vector<Redraw> redraws;  // the add-in's invalidations
    double seconds = 0;           // the whole watch
    long hostCalls = 0;           // at its end
};

struct RefreshFigures {
    struct Followed {
        const WatchLog::Change* change;
        std::optional<double> delay;  // from the change to the invalidation that followed it
    };
    std::vector<Followed> changes;  // only those that differ
    double idleSeconds = 0;         // while no change waited for a redraw
    int idleRedraws = 0;            // invalidations with no change waiting
    long idleHostCalls = 0;         // the idle redraws' included
};
// A change that differs waits from its time until the next invalidation (or the next change
// that differs, or the end); every other moment is idle.
RefreshFigures Summarize(const WatchLog& log);
// The lines pellwyn-preview prints.
std::string FormatRefresh(const WatchLog& log);

// The elements of a document whose visibility a getVisible callback decides, in document order,
// as Access asks them when it redraws the tab.
struct VisibleElement {
    std::string key;       // id, or idMso for a built-in control, with its position for uniqueness
    std::string label;     // what a person reads on it, if anything
    std::string callback;  // its getVisible
};
std::vector<VisibleElement> VisibleElements(std::string_view document);
// What a redraw changed, as a person sees it: "shows Controls, Format; hides Records (34
// elements)"; "nothing shows or hides" when the answers are the same.
std::string DescribeRedraw(const std::vector<VisibleElement>& elements, const std::vector<bool>& before,
                           const std::vector<bool>& after);

}  // namespace pellwyn::preview
