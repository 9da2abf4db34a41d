#include "refresh_report.h"

#include "markup_tree.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <stdexcept>

namespace pellwyn::preview {
namespace {

bool Number(std::string_view text, long& value) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::string Seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", s);
    return text;
}

void Collect(const Element& e, std::vector<VisibleElement>& out) {
    if (e.Has("getVisible")) {
        std::string_view label = e.Attr("label");
        while (!label.empty() && label.front() == ' ') label.remove_prefix(1);
        while (!label.empty() && label.back() == ' ') label.remove_suffix(1);
        const std::string_view id = e.Has("id") ? e.Attr("id") : e.Attr("idMso");
        out.push_back({std::string(id) + "#" + std::to_string(out.size()), std::string(label),
                       std::string(e.Attr("getVisible"))});
    }
    for (const Element& child : e.children) Collect(child, out);
}

std::string Join(const std::vector<std::string>& parts, std::string_view between) {
    std::string text;
    for (const std::string& p : parts) text += (text.empty() ? "" : std::string(between)) + p;
    return text;
}

}  // namespace

ScheduledChange ParseScheduledChange(std::string_view text) {
    const std::size_t colon = text.find(':');
    long ms = 0;
    if (colon == std::string_view::npos || !Number(text.substr(0, colon), ms) || ms < 0 || ms > 600000)
        throw std::invalid_argument("--then expects MS:STATE with MS from 0 to 600000, not \"" + std::string(text) + "\"");
    ScheduledChange c;
    c.atMilliseconds = static_cast<std::uint32_t>(ms);
    c.state = std::string(text.substr(colon + 1));
    if (c.state == "refuse") return c;
    if (const Context* named = FindContext(c.state)) {
        c.context = *named;
        return c;
    }
    // N, then +design and/or +datasheet.
    std::string_view rest = c.state;
    const std::size_t plus = rest.find('+');
    long type = 0;
    if (!Number(rest.substr(0, plus), type) || type < INT32_MIN || type > INT32_MAX)
        throw std::invalid_argument("--then: \"" + c.state +
                                    "\" is no context, object type (2+design, 0+datasheet) or \"refuse\"");
    Context numbered{"", "", static_cast<std::int32_t>(type), false, false};
    rest = plus == std::string_view::npos ? std::string_view() : rest.substr(plus);
    while (!rest.empty()) {
        const std::size_t next = rest.find('+', 1);
        const std::string_view view = rest.substr(1, next == std::string_view::npos ? next : next - 1);
        if (view == "design" && !numbered.designView)
            numbered.designView = true;
        else if (view == "datasheet" && !numbered.datasheetView)
            numbered.datasheetView = true;
        else
            throw std::invalid_argument("--then: \"" + c.state + "\": after the object type come +design and +datasheet");
        rest = next == std::string_view::npos ? std::string_view() : rest.substr(next);
    }
    c.context = numbered;
    return c;
}

RefreshFigures Summarize(const WatchLog& log) {
    RefreshFigures f;
    struct Span {
        double from, to;
        long callsFrom, callsTo;
    };
    std::vector<Span> waiting;
    std::vector<bool> following(log.redraws.size(), false);
    for (const WatchLog::Change& c : log.changes) {
        if (!c.differs) continue;
        auto redraw = std::find_if(log.redraws.begin(), log.redraws.end(),
                                   [&](const WatchLog::Redraw& r) { return r.at >= c.at; });
        if (redraw == log.redraws.end()) {
            f.changes.push_back({&c, std::nullopt});
            waiting.push_back({c.at, log.seconds, c.hostCallsBefore, log.hostCalls});
        } else {
            f.changes.push_back({&c, redraw->at - c.at});
            following[static_cast<std::size_t>(redraw - log.redraws.begin())] = true;
            waiting.push_back({c.at, redraw->at, c.hostCallsBefore, redraw->hostCallsBefore});
        }
    }
    // The spans in which a change waited, merged where they overlap (a burst waits for one redraw).
    std::sort(waiting.begin(), waiting.end(), [](const Span& a, const Span& b) { return a.from < b.from; });
    double waitedSeconds = 0;
    long waitedCalls = 0;
    for (std::size_t i = 0; i < waiting.size();) {
        Span merged = waiting[i];
        for (++i; i < waiting.size() && waiting[i].from <= merged.to; ++i)
            if (waiting[i].to > merged.to) {
                merged.to = waiting[i].to;
                merged.callsTo = waiting[i].callsTo;
            }
        waitedSeconds += merged.to - merged.from;
        waitedCalls += merged.callsTo - merged.callsFrom;
    }
    f.idleSeconds = std::max(0.0, log.seconds - waitedSeconds);
    f.idleHostCalls = log.hostCalls - waitedCalls;
    // A redraw that follows a change is the tab following it: its questions are not idle ones.
    for (std::size_t i = 0; i < log.redraws.size(); ++i)
        if (following[i]) f.idleHostCalls -= log.redraws[i].hostCalls;
    f.idleRedraws = static_cast<int>(std::count(following.begin(), following.end(), false));
    return f;
}

std::string FormatRefresh(const WatchLog& log) {
    const RefreshFigures f = Summarize(log);
    std::string text = "Refresh, watched for " + Seconds(log.seconds) + ":\n";
    std::size_t followed = 0;
    for (const WatchLog::Change& c : log.changes) {
        std::string line = "  " + Seconds(c.at) + "  " + c.state + ": ";
        if (!c.differs) {
            line += c.state == "refuse" ? "Access refuses to say; nothing to follow" : "nothing to follow (the same context)";
        } else {
            const RefreshFigures::Followed& r = f.changes[followed++];
            if (r.delay)
                line += "the tab followed after " + Seconds(*r.delay) + (c.followed.empty() ? "" : " and " + c.followed);
            else
                line += "not followed: no redraw before the watch ended";
        }
        text += line + "\n";
    }
    char line[160];
    std::snprintf(line, sizeof line, "  while nothing changed (%.1f s): %d redraw%s, %.1f host calls a second\n",
                  f.idleSeconds, f.idleRedraws, f.idleRedraws == 1 ? "" : "s",
                  f.idleSeconds > 0 ? static_cast<double>(f.idleHostCalls) / f.idleSeconds : 0.0);
    return text + line;
}

std::vector<VisibleElement> VisibleElements(std::string_view document) {
    std::vector<VisibleElement> out;
    if (!document.empty()) Collect(ParseMarkup(document), out);
    return out;
}

std::string DescribeRedraw(const std::vector<VisibleElement>& elements, const std::vector<bool>& before,
                           const std::vector<bool>& after) {
    std::vector<std::string> shows, hides;
    std::size_t changed = 0;
    for (std::size_t i = 0; i < elements.size() && i < before.size() && i < after.size(); ++i) {
        if (before[i] == after[i]) continue;
        ++changed;
        std::vector<std::string>& list = after[i] ? shows : hides;
        const std::string& label = elements[i].label;
        if (!label.empty() && std::find(list.begin(), list.end(), label) == list.end()) list.push_back(label);
    }
    if (changed == 0) return "nothing shows or hides";
    std::vector<std::string> parts;
    if (!shows.empty()) parts.push_back("shows " + Join(shows, ", "));
    if (!hides.empty()) parts.push_back("hides " + Join(hides, ", "));
    const std::string count = std::to_string(changed) + (changed == 1 ? " element" : " elements");
    return parts.empty() ? count + " show or hide" : Join(parts, "; ") + " (" + count + ")";
}

}  // namespace pellwyn::preview
